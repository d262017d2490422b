#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"
#include "MasterTestSupport.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/drawables/VXRegularPolygonPath.h"
#include "platform/vantrix/model/VXMetadataItem.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "symbols/manager/VXQSymbolManager.h"
#include "symbols/placed/VXQSymbol.h"

#include <QObject>
#include <gtest/gtest.h>

namespace {

using mastertest::Instance;
using mastertest::rectangleMaster;

// Notifications about `master`, by name, in the order posted.
class MasterJournal : public QObject {
public:
    QStringList names;

    explicit MasterJournal(const VXQSymbolMaster& master)
    {
        for (const QString& name : {kVXQSymbolMasterWillChange, kVXQSymbolMasterDidChange, kVXQSymbolMasterNameDidChange,
                                    kVXQSymbolMasterLockStateDidChange}) {
            platform::NotificationCenter::defaultCenter().addObserver(
                this, name, const_cast<VXQSymbolMaster*>(&master),
                [this](const platform::Notification& notification) { names.append(notification.name); });
        }
    }
    ~MasterJournal() override { platform::NotificationCenter::defaultCenter().removeObserver(this); }
};

VXStylePtr textStyleShowing(const QString& text)
{
    VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(Qt::yellow, QColor());
    auto adornment = std::make_shared<VXTextAdornment>();
    adornment->setString(text);
    style->addRenderer(adornment);
    return style;
}

QVariant templateValue(const VXQSymbolMaster& master, const QString& key)
{
    const auto item = std::dynamic_pointer_cast<VXMetadataItem>(master.attributesTemplate().value(key).value<ZQObjectPtr>());
    return item ? item->value() : QVariant();
}

class MasterTest : public ::testing::Test {
protected:
    VXQSymbolManager::SharedRegistryScope registry;
};

TEST_F(MasterTest, SettingTheGraphicTakesAPrivateCopyAtTheOriginWithItsAttributesAsTemplate)
{
    const auto donor = VXDrawableShape::drawableShapeWithRect(QRectF(100, 200, 30, 20), VXStyle::defaultStyle());
    donor->setMetadataItemValueForKey(QStringLiteral("oak"), QStringLiteral("species"));
    const VXStylePtr donorStyle = donor->style();

    const VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithObjectName(*donor, QStringLiteral("Tree"));
    VXDrawableObject* graphic = master->object();
    ASSERT_NE(graphic, nullptr);
    EXPECT_NE(graphic, donor.get());
    EXPECT_EQ(graphic->container(), master.get());
    EXPECT_EQ(graphic->location(), QPointF(0, 0));
    EXPECT_EQ(master->objectBoundsIgnoringLabels().center(), QPointF(0, 0));
    EXPECT_EQ(master->objectSize(), QSizeF(30, 20));
    EXPECT_TRUE(graphic->metadata().isEmpty());
    EXPECT_EQ(templateValue(*master, QStringLiteral("species")), QVariant(QStringLiteral("oak")));
    // The donor is left as it was, and the master has a style of its own.
    EXPECT_EQ(donor->location(), QPointF(115, 210));
    EXPECT_EQ(donor->metadataValueForKey(QStringLiteral("species")), QVariant(QStringLiteral("oak")));
    EXPECT_NE(master->style(), donorStyle);

    master->setDetachesStyle(false);
    master->setObject(donor.get());
    EXPECT_EQ(master->style(), donorStyle);
}

TEST_F(MasterTest, APlacedSymbolAsGraphicGivesItsMastersGraphicTurnedAndScaled)
{
    const VXQSymbolMasterPtr box = rectangleMaster(); // 20 x 10 about the origin
    box->setAttributesTemplate({{QStringLiteral("kind"), QStringLiteral("crate")}});
    const VXQSymbolPtr placed = box->symbolWithLocation(QPointF(300, 400));
    placed->setScaleFactor(2.0);
    placed->setAngle(M_PI / 2);

    const VXQSymbolMasterPtr baked = VXQSymbolMaster::symbolMasterWithObjectName(*placed, QStringLiteral("Big box"));
    ASSERT_NE(baked->object(), nullptr);
    EXPECT_FALSE(qobject_cast<const VXQSymbol*>(baked->object())) << "the symbol's graphic, not the symbol";
    EXPECT_EQ(baked->object()->location(), QPointF(0, 0));
    EXPECT_NEAR(baked->object()->angle(), M_PI / 2, 1e-9);
    const QRectF bounds = baked->objectBoundsIgnoringLabels();
    EXPECT_NEAR(bounds.width(), 20.0, 1e-6) << "turned a quarter: twice the height across";
    EXPECT_NEAR(bounds.height(), 40.0, 1e-6);
    EXPECT_EQ(baked->attributesTemplate().keys(), QStringList{QStringLiteral("kind")});
    EXPECT_EQ(box->objectSize(), QSizeF(20, 10)) << "the symbol's own master is left alone";

    // An absolute angle is not shown, so it is not baked either.
    placed->setObjectAngleIsAbsolute(true);
    baked->setObject(placed.get());
    EXPECT_NEAR(baked->objectBoundsIgnoringLabels().width(), 40.0, 1e-6);
    EXPECT_NEAR(baked->object()->angle(), 0.0, 1e-9);
}

// Records what sendInitialValuesForAllPropertiesToObserver tells it.
class InitialValues : public platform::KeyValueObserver {
public:
    QStringList keyPaths;
    QVariantMap values;
    void* context = nullptr;
    void observeValueForKeyPathOfObjectChangeContext(const QString& keyPath, ZQObject*, const platform::KeyValueChange& change,
                                                     void* passed) override
    {
        keyPaths.append(keyPath);
        values.insert(keyPath, change.newValue);
        context = passed;
    }
};

TEST_F(MasterTest, InitialValuesReachTheObserverInObservableOrder)
{
    const VXQSymbolMasterPtr master = rectangleMaster(QStringLiteral("Crate"));
    master->setPrescale(1.5);
    master->setLocked(true);
    InitialValues observer;
    int context = 0;
    master->sendInitialValuesForAllPropertiesToObserver(&observer, &context);
    EXPECT_EQ(observer.keyPaths, VXQSymbolMaster::observableKeyPaths());
    EXPECT_EQ(observer.context, &context);
    EXPECT_EQ(observer.values.value(QStringLiteral("name")), QVariant(QStringLiteral("Crate")));
    EXPECT_EQ(observer.values.value(QStringLiteral("prescale")).toDouble(), 1.5);
    EXPECT_TRUE(observer.values.value(QStringLiteral("locked")).toBool());
    EXPECT_FALSE(observer.values.value(QStringLiteral("image")).value<QImage>().isNull());
    master->sendInitialValuesForAllPropertiesToObserver(nullptr, nullptr); // nobody to tell
}

TEST_F(MasterTest, TheSequencePlaceholderInAnyCaseMakesTheMasterSequenceable)
{
    const auto plain = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 10, 10), textStyleShowing(QStringLiteral("No %%name")));
    const VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithObjectName(*plain, QStringLiteral("Post"));
    EXPECT_FALSE(master->sequenceable());

    const auto numbered = VXDrawableShape::drawableShapeWithRect(
        QRectF(0, 0, 10, 10), textStyleShowing(QStringLiteral("Stop %%qvnl_Sequence_number")));
    master->setObject(numbered.get());
    EXPECT_TRUE(master->styleSuggestsSequenceable());
    EXPECT_TRUE(master->sequenceable());

    master->setObject(plain.get());
    EXPECT_FALSE(master->sequenceable());
}

TEST_F(MasterTest, EditsNotifyWillThenNameThenDidAndALockedMasterRefusesThem)
{
    const VXQSymbolMasterPtr master = rectangleMaster();
    MasterJournal journal(*master);

    master->setName(QStringLiteral("Crate"));
    EXPECT_EQ(journal.names, (QStringList{kVXQSymbolMasterWillChange, kVXQSymbolMasterNameDidChange, kVXQSymbolMasterDidChange}));
    journal.names.clear();
    master->setName(QStringLiteral("Crate"));
    master->setPrescale(std::nan(""));
    master->setPrescale(-2);
    EXPECT_TRUE(journal.names.isEmpty()) << "unchanged and impossible values are no change";

    master->setLocked(true);
    EXPECT_EQ(journal.names, (QStringList{kVXQSymbolMasterWillChange, kVXQSymbolMasterLockStateDidChange, kVXQSymbolMasterDidChange}));
    journal.names.clear();
    VXDrawableObject* graphic = master->object();
    const auto other = VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 5, 5), VXStyle::defaultStyle());
    master->setName(QStringLiteral("Barrel"));
    master->setUserDescription(QStringLiteral("round"));
    master->setPrescale(2);
    master->setSequenceable(true);
    master->setObject(other.get());
    master->addDataTransformer(std::make_shared<ZQObject>());
    EXPECT_EQ(master->name(), QStringLiteral("Crate"));
    EXPECT_TRUE(master->userDescription().isEmpty());
    EXPECT_EQ(master->prescale(), 1.0);
    EXPECT_FALSE(master->sequenceable());
    EXPECT_EQ(master->object(), graphic);
    EXPECT_TRUE(master->dataTransformers().isEmpty());
    EXPECT_TRUE(journal.names.isEmpty());

    master->setLocked(false);
    master->setName(QStringLiteral("Barrel"));
    EXPECT_EQ(master->name(), QStringLiteral("Barrel"));
}

TEST_F(MasterTest, ClientsHearOfChangesInSlotOrderAndFreedSlotsAreNeverReused)
{
    const VXQSymbolMasterPtr master = rectangleMaster();
    QStringList journal;
    auto first = std::make_shared<Instance>(&journal, QStringLiteral("first"));
    auto second = std::make_shared<Instance>(&journal, QStringLiteral("second"));
    master->addSymbolMasterClient(first.get());
    master->addSymbolMasterClient(second.get());
    master->addSymbolMasterClient(std::make_shared<ZQObject>().get()); // not a client: refused
    EXPECT_EQ(first->slot, 0u);
    EXPECT_EQ(second->slot, 1u);
    EXPECT_EQ(master->symbolSlotCount(), 2);

    master->setUserDescription(QStringLiteral("wooden"));
    EXPECT_EQ(journal, (QStringList{QStringLiteral("first will"), QStringLiteral("second will"), QStringLiteral("first did"),
                                    QStringLiteral("second did")}));

    master->removeSymbolMasterClient(first.get());
    auto third = std::make_shared<Instance>(&journal, QStringLiteral("third"));
    master->addSymbolMasterClient(third.get());
    EXPECT_EQ(third->slot, 2u);
    second.reset(); // a client that goes away leaves its slot without telling
    EXPECT_EQ(master->symbols(), (QList<ZQObject*>{third.get()}));
    EXPECT_EQ(master->symbolSlotCount(), 3);

    journal.clear();
    master->setPrescale(3);
    EXPECT_EQ(journal, (QStringList{QStringLiteral("third will"), QStringLiteral("third did")}));
}

TEST_F(MasterTest, ACopyKeepsTemplateAndSequencingButHasAKeyOfItsOwn)
{
    const VXQSymbolMasterPtr master = rectangleMaster();
    master->setUserDescription(QStringLiteral("a box"));
    master->setAttributesTemplate({{QStringLiteral("kind"), QStringLiteral("crate")}});
    master->setSequenceable(true); // by hand: the graphic does not suggest it
    master->setDefaultSequenceKind(4);
    master->setAutoDetachesInstances(true);
    master->setPrescale(2.5);
    master->setLocked(true);

    const auto copy = std::dynamic_pointer_cast<VXQSymbolMaster>(master->clone());
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->uniqueKey(), master->uniqueKey());
    EXPECT_FALSE(copy->isEqualToSymbolMaster(master.get()));
    EXPECT_EQ(copy->name(), QStringLiteral("Box"));
    EXPECT_EQ(copy->userDescription(), QStringLiteral("a box"));
    EXPECT_EQ(copy->attributesTemplate(), master->attributesTemplate());
    EXPECT_TRUE(copy->sequenceable());
    EXPECT_EQ(copy->defaultSequenceKind(), 4);
    EXPECT_TRUE(copy->autoDetachesInstances());
    EXPECT_EQ(copy->prescale(), 1.0);
    EXPECT_TRUE(copy->locked());
    ASSERT_NE(copy->object(), nullptr);
    EXPECT_NE(copy->object(), master->object());
    EXPECT_EQ(copy->object()->container(), copy.get());
    EXPECT_EQ(copy->objectSize(), master->objectSize());
}

TEST_F(MasterTest, ArchiveRoundTripKeepsEveryField)
{
    const auto star = std::make_shared<VXRegularPolygonPath>();
    star->setIsStar(true);
    star->setNumberOfSides(7);
    star->setRadius(12);
    star->setMetadataItemValueForKey(QStringLiteral("tall"), QStringLiteral("height"));
    const VXQSymbolMasterPtr master = VXQSymbolMaster::symbolMasterWithObjectName(*star, QStringLiteral("Heptagram"));
    master->setUserDescription(QStringLiteral("seven points"));
    master->setAutoDetachesInstances(true);
    master->setDefaultSequenceKind(6);
    master->setSequenceable(true);
    master->setDetachesStyle(false);
    master->setPrescale(0.3);
    master->setLocked(true);

    const auto read = testsupport::roundTrip<VXQSymbolMaster>(*master);
    ASSERT_TRUE(read);
    EXPECT_NE(read, master) << "the original was never registered";
    EXPECT_EQ(read->uniqueKey(), master->uniqueKey());
    EXPECT_EQ(read->name(), QStringLiteral("Heptagram"));
    EXPECT_EQ(read->userDescription(), QStringLiteral("seven points"));
    EXPECT_TRUE(read->autoDetachesInstances());
    EXPECT_EQ(read->defaultSequenceKind(), 6);
    EXPECT_TRUE(read->sequenceable());
    EXPECT_FALSE(read->detachesStyle());
    EXPECT_FLOAT_EQ(float(read->prescale()), 0.3f);
    EXPECT_TRUE(read->locked());
    EXPECT_DOUBLE_EQ(read->lastModificationTimestamp(), master->lastModificationTimestamp());
    EXPECT_EQ(templateValue(*read, QStringLiteral("height")), QVariant(QStringLiteral("tall")));
    const auto* graphic = qobject_cast<const VXRegularPolygonPath*>(read->object());
    ASSERT_NE(graphic, nullptr);
    EXPECT_EQ(graphic->numberOfSides(), 7);
    EXPECT_EQ(graphic->container(), read.get());
    EXPECT_EQ(read->objectBoundsIgnoringLabels(), master->objectBoundsIgnoringLabels());
    // Registered on the way in, by key.
    EXPECT_EQ(VXQSymbolManager::sharedSymbolForKey(master->uniqueKey()), read);
}

TEST_F(MasterTest, ReadingFallsBackForAbsentOrImpossibleValues)
{
    testsupport::ArchiveStub stub;
    stub.values = {{QStringLiteral("VXQSymbolMaster_uniqueKey"), QStringLiteral("K-1")},
                   {QStringLiteral("VXQSymbolMaster_prescale"), 0.0},
                   {QStringLiteral("VXQSymbolMaster_defaultSeqKind"), 99}};
    const auto read = std::dynamic_pointer_cast<VXQSymbolMaster>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("VXQSymbolMaster"))));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->uniqueKey(), QStringLiteral("K-1"));
    EXPECT_EQ(read->prescale(), 1.0);
    EXPECT_EQ(read->defaultSequenceKind(), 0);
    EXPECT_TRUE(read->detachesStyle());
    EXPECT_TRUE(read->sequenceable());
    EXPECT_EQ(read->object(), nullptr);
    EXPECT_FALSE(VXQSymbolManager::sharedSymbolForKey(QStringLiteral("K-1"))) << "a master without graphic stays unregistered";
}

TEST_F(MasterTest, DecodingSharesTheRegisteredMasterByKey)
{
    const VXQSymbolMasterPtr master = rectangleMaster();
    const QByteArray data = master->fileData();

    // An unknown key with a graphic is registered; the same key read again is that master.
    const VXQSymbolMasterPtr first = VXQSymbolMaster::libraryObjectWithFileData(data);
    ASSERT_TRUE(first);
    EXPECT_EQ(VXQSymbolMaster::libraryObjectWithFileData(data), first);

    // Every reference inside one archive gets the registered object.
    platform::KeyedArchiver writer;
    writer.encodeObject(QVariant(QVariantList{QVariant::fromValue(ZQObjectPtr(master)), QVariant::fromValue(ZQObjectPtr(master))}),
                        QStringLiteral("masters"));
    platform::KeyedUnarchiver reader(writer.finishEncoding());
    ASSERT_TRUE(reader.isValid());
    const QVariantList masters = reader.decodeValue(QStringLiteral("masters")).toList();
    ASSERT_EQ(masters.size(), 2);
    EXPECT_EQ(masters[0].value<ZQObjectPtr>(), first);
    EXPECT_EQ(masters[1].value<ZQObjectPtr>(), first);
}

TEST_F(MasterTest, SwatchIsCachedUntilAStyleOfTheGraphicChanges)
{
    const VXQSymbolMasterPtr master = rectangleMaster();
    const QImage swatch = master->imageToFitSize(QSizeF(36, 24));
    ASSERT_FALSE(swatch.isNull());
    EXPECT_EQ(master->imageToFitSizeAllowScaleUp(QSizeF(300, 300), true).cacheKey(), swatch.cacheKey());
    EXPECT_EQ(master->image().cacheKey(), swatch.cacheKey());

    MasterJournal journal(*master);
    master->style()->setFillColour(Qt::red);
    EXPECT_EQ(journal.names, (QStringList{kVXQSymbolMasterWillChange, kVXQSymbolMasterDidChange}));
    EXPECT_TRUE(master->swatchCache().isEmpty());
    const QImage redder = master->imageToFitSize(QSizeF(36, 24));
    EXPECT_NE(redder.cacheKey(), swatch.cacheKey());
    EXPECT_EQ(redder.pixelColor(redder.rect().center()), QColor(Qt::red));
}

} // namespace

TEST_F(MasterTest, AGraphicHoldingAnInstanceOfItsOwnMasterIsReadWithoutEndlessRecursion)
{
    // A damaged or hostile file can make a master's graphic hold an instance of that master:
    // reading it must end, with or without the master.
    const VXQSymbolMasterPtr inner = rectangleMaster(QStringLiteral("Inner"));
    const auto group = VXShapeGroup::groupWithObjects(
        {VXQSymbol::symbolWithMaster(inner), VXDrawableShape::drawableShapeWithRect(QRectF(0, 0, 8, 8), nullptr)});
    const VXQSymbolMasterPtr outer = VXQSymbolMaster::symbolMasterWithObjectName(*group, QStringLiteral("Outer"));

    // Point the instance's master reference at the outer master's own entry.
    QVariantMap plist = platform::PropertyList::fromData(platform::KeyedArchiver::archivedDataWithRootObject(outer.get()))->toMap();
    QVariantList objects = plist[QStringLiteral("$objects")].toList();
    const QVariant outerEntry = plist[QStringLiteral("$top")].toMap()[QStringLiteral("root")];
    int redirected = 0;
    for (QVariant& object : objects) {
        QVariantMap entry = object.toMap();
        if (entry.contains(QStringLiteral("VXQSymbol_master"))) {
            entry[QStringLiteral("VXQSymbol_master")] = outerEntry;
            object = entry;
            ++redirected;
        }
    }
    ASSERT_EQ(redirected, 1);
    plist[QStringLiteral("$objects")] = objects;
    const auto data = platform::PropertyList::toData(plist, platform::PropertyList::Format::Binary);
    ASSERT_TRUE(data);
    const auto read = std::dynamic_pointer_cast<VXQSymbolMaster>(platform::KeyedUnarchiver::unarchiveObjectWithData(*data));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->object(), nullptr) << "the graphic is left out";
    EXPECT_EQ(read->name(), QStringLiteral("Outer"));

    // Nor can an edit make two masters show each other.
    const VXQSymbolMasterPtr second = VXQSymbolMaster::symbolMasterWithObjectName(
        *VXShapeGroup::groupWithObjects({VXQSymbol::symbolWithMaster(outer)}), QStringLiteral("Second"));
    outer->setObject(VXShapeGroup::groupWithObjects({VXQSymbol::symbolWithMaster(second)}).get());
    EXPECT_EQ(qobject_cast<const VXShapeGroup*>(outer->object())->groupObjects().size(), 2) << "the graphic is kept";
    EXPECT_TRUE(outer->objectBoundsIgnoringLabels().isValid());
}

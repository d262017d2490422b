#include "symbols/transformers/VXQBinningDataTransformer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NamedException.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "symbols/placed/VXQSymbol.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"

#include <QMimeData>
#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

VXQSymbolPtr boxSymbol()
{
    const auto box = VXDrawableShape::drawableShapeWithRect({-10, -5, 20, 10},
                                                            VXStyle::styleWithFillColourStrokeColour(Qt::red, {}));
    return VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*box, QStringLiteral("Town")));
}

std::shared_ptr<VXQBinningDataTransformer> binsAt(std::initializer_list<double> starts)
{
    auto transformer = std::make_shared<VXQBinningDataTransformer>();
    for (double start : starts)
        transformer->addBinForStartValue(start);
    return transformer;
}

QList<double> startValues(const VXQBinningDataTransformer& transformer)
{
    QList<double> starts;
    for (const VXQBinPtr& bin : transformer.bins())
        starts.append(bin->startValue());
    return starts;
}

// Archives written the way another writer (or damage) might: the stubs are read as bins
// and binning transformers through the decoder's class-name mapping.
class BinStub : public ZQObject {
    Q_OBJECT
public:
    double start = 0;
    QVariantMap objects;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override
    {
        coder.encodeDouble(start, QStringLiteral("VXQBin_startValue"));
        coder.encodeObject(QVariant(objects), QStringLiteral("VXQBin_repObjects"));
    }
};

class BinningStub : public ZQObject {
    Q_OBJECT
public:
    QString formula;
    qint64 dataType = 0;
    QList<std::shared_ptr<BinStub>> bins;
    void encodeWithCoder(platform::KeyedArchiver& coder) const override
    {
        coder.encodeString(formula, QStringLiteral("VXQNumericDataTransformer_formula"));
        coder.encodeInt(dataType, QStringLiteral("VXQBinningTransformer_binDataType"));
        QVariantList list;
        for (const auto& bin : bins)
            list.append(QVariant::fromValue(ZQObjectPtr(bin)));
        coder.encodeObject(QVariant(list), QStringLiteral("VXQBinningDataTransformer_bins"));
    }
};

std::shared_ptr<VXQBinningDataTransformer> decodeStub(const BinningStub& stub)
{
    platform::KeyedUnarchiver::setClassForClassName(QStringLiteral("VXQBin"), QString::fromLatin1(BinStub::staticMetaObject.className()));
    platform::KeyedUnarchiver::setClassForClassName(QStringLiteral("VXQBinningDataTransformer"),
                                                    QString::fromLatin1(BinningStub::staticMetaObject.className()));
    const ZQObjectPtr decoded = platform::KeyedUnarchiver::unarchiveObjectWithData(
        platform::KeyedArchiver::archivedDataWithRootObject(&stub));
    platform::KeyedUnarchiver::setClassForClassName({}, QString::fromLatin1(BinStub::staticMetaObject.className()));
    platform::KeyedUnarchiver::setClassForClassName({}, QString::fromLatin1(BinningStub::staticMetaObject.className()));
    return std::dynamic_pointer_cast<VXQBinningDataTransformer>(decoded);
}

} // namespace

TEST(DataTransformerTest, FormulaReadsAttributesThenTheInputAsX)
{
    const VXQSymbolPtr symbol = boxSymbol();
    symbol->setMetadataItemValueForKey(25000, QStringLiteral("QVNL_POPULATION"));
    auto transformer = VXQNumericDataTransformer::dataTransformerWithFormula(QStringLiteral("(QVNL_POPULATION / 10000) + 0.5"));
    transformer->setOutputPropertyKey(QStringLiteral("scaleFactor"));
    EXPECT_EQ(transformer->variables(), QStringList{QStringLiteral("QVNL_POPULATION")});
    EXPECT_DOUBLE_EQ(transformer->preflightWithTarget(symbol.get()), 3.0);
    EXPECT_DOUBLE_EQ(symbol->scaleFactor(), 1.0) << "a preflight writes nothing";
    transformer->performTransformationWithTarget(symbol.get());
    EXPECT_DOUBLE_EQ(symbol->scaleFactor(), 3.0);

    // An attribute named "x" loses to the input key path, which is read after the attributes.
    symbol->setMetadataItemValueForKey(7, QStringLiteral("x"));
    transformer->setFormula(QStringLiteral("x / 10000"));
    transformer->setInputPropertyKey(QStringLiteral("QVNL_POPULATION"));
    EXPECT_DOUBLE_EQ(transformer->preflightWithTarget(symbol.get()), 2.5);
    // Without an input key "x" is just an attribute.
    transformer->setInputPropertyKey({});
    EXPECT_DOUBLE_EQ(transformer->preflightWithTarget(symbol.get()), 0.0007);

    // A name the symbol lacks keeps its last value: 0 on a fresh parser, then what it was.
    auto doubler = VXQNumericDataTransformer::dataTransformerWithFormula(QStringLiteral("x * 2"));
    doubler->setInputPropertyKey(QStringLiteral("QVNL_AREA"));
    const VXQSymbolPtr plain = boxSymbol();
    EXPECT_DOUBLE_EQ(doubler->preflightWithTarget(plain.get()), 0);
    const VXQSymbolPtr other = boxSymbol();
    other->setMetadataItemValueForKey(QStringLiteral("12.5"), QStringLiteral("QVNL_AREA"));
    EXPECT_DOUBLE_EQ(doubler->preflightWithTarget(other.get()), 25);
    EXPECT_DOUBLE_EQ(doubler->preflightWithTarget(plain.get()), 25);

    // An output no property has lands in the attributes; one through a missing link nowhere.
    transformer->setOutputPropertyKey(QStringLiteral("QVNL_RANK"));
    transformer->performTransformationWithTarget(symbol.get());
    EXPECT_DOUBLE_EQ(symbol->metadataValueForKey(QStringLiteral("QVNL_RANK")).toDouble(), 0.0007);
    transformer->setOutputPropertyKey(QStringLiteral("QVNL_NOTHING.scaleFactor"));
    EXPECT_NO_THROW(transformer->performTransformationWithTarget(symbol.get()));
    transformer->setOutputPropertyKey(QStringLiteral("scaleFactor"));

    // Disabled, formula-less and output-less transformers write nothing.
    transformer->setFormula(QStringLiteral("5"));
    transformer->setEnabled(false);
    transformer->performTransformationWithTarget(symbol.get());
    EXPECT_DOUBLE_EQ(symbol->scaleFactor(), 3.0);
    auto empty = std::make_shared<VXQNumericDataTransformer>();
    empty->setOutputPropertyKey(QStringLiteral("scaleFactor"));
    EXPECT_NO_THROW(empty->performTransformationWithTarget(symbol.get()));
    EXPECT_DOUBLE_EQ(empty->preflightWithTarget(symbol.get()), 0);
    EXPECT_DOUBLE_EQ(symbol->scaleFactor(), 3.0);
}

TEST(DataTransformerTest, MastersRunTransformersOnlyOnSymbolsThatTakeThem)
{
    const VXQSymbolPtr symbol = boxSymbol();
    symbol->setMetadataItemValueForKey(40000, QStringLiteral("QVNL_POPULATION"));
    auto scale = VXQNumericDataTransformer::dataTransformerWithFormula(QStringLiteral("QVNL_POPULATION / 10000"));
    scale->setOutputPropertyKey(QStringLiteral("scaleFactor"));
    auto turn = VXQNumericDataTransformer::dataTransformerWithFormula(QStringLiteral("0.5"));
    turn->setOutputPropertyKey(QStringLiteral("angle"));
    symbol->master()->addDataTransformer(scale);
    symbol->master()->addDataTransformer(turn);

    ASSERT_TRUE(symbol->ignoresDataTransformers());
    symbol->applyDataTransformations();
    EXPECT_DOUBLE_EQ(symbol->scaleFactor(), 1.0);
    symbol->setIgnoresDataTransformers(false);
    EXPECT_DOUBLE_EQ(symbol->scaleFactor(), 4.0);
    EXPECT_DOUBLE_EQ(symbol->angle(), 0.5);

    // The master's archive keeps its transformers; the symbol read back ignores them again.
    const auto master = testsupport::roundTrip<VXQSymbolMaster>(*symbol->master());
    ASSERT_TRUE(master);
    ASSERT_EQ(master->dataTransformers().size(), 2);
    const auto first = std::dynamic_pointer_cast<VXQNumericDataTransformer>(master->dataTransformerAtIndex(0));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->formula(), QStringLiteral("QVNL_POPULATION / 10000"));
    EXPECT_EQ(first->outputPropertyKey(), QStringLiteral("scaleFactor"));
}

TEST(DataTransformerTest, SymbolsOfferFourOutputProperties)
{
    EXPECT_EQ(VXQSymbol::availableOutputProperties(),
              (QStringList{"scaleFactor", "style", "angle", "labelAttributes"}));
    const QVariantMap types = VXQSymbol::acceptableTypesForOutputProperties();
    EXPECT_EQ(types.value("scaleFactor").toList(), QVariantList{4});
    EXPECT_EQ(types.value("style").toList(), (QVariantList{0, 1, 2, 3, 4}));
    EXPECT_EQ(types.value("angle").toList(), QVariantList{4});
    EXPECT_EQ(types.value("labelAttributes").toList(), (QVariantList{0, 1, 3, 4, 5}));
    const QVariantMap names = VXQSymbol::displayNamesForOutputProperties();
    EXPECT_EQ(names.value("Label Style").toString(), QStringLiteral("labelAttributes"));
    EXPECT_EQ(names.value("Scale Factor").toString(), QStringLiteral("scaleFactor"));
    EXPECT_EQ(names.size(), 4);
    EXPECT_EQ(VXQSymbol::displayNameForProperty("angle"), QStringLiteral("Angle"));
    EXPECT_TRUE(VXQSymbol::displayNameForProperty("location").isEmpty());
}

TEST(DataTransformerTest, ValuesFallIntoTheLastBinStartingAtOrBelowThem)
{
    const auto transformer = binsAt({20, -kInfinity, 10});
    EXPECT_EQ(startValues(*transformer), (QList<double>{-kInfinity, 10, 20}));
    const QList<VXQBinPtr> bins = transformer->bins();
    EXPECT_EQ(transformer->binForValue(-5), bins[0]);
    EXPECT_EQ(transformer->binForValue(10), bins[1]);
    EXPECT_EQ(transformer->binForValue(19.999), bins[1]);
    EXPECT_EQ(transformer->binForValue(20), bins[2]);
    EXPECT_EQ(transformer->binForValue(1e9), bins[2]);
    EXPECT_EQ(bins[1]->index(), 2);
    EXPECT_EQ(transformer->underflowBin(), bins[0]);
    EXPECT_EQ(transformer->overflowBin(), bins[2]);

    // Ends are the next starts; the last has none, and setting it changes nothing.
    EXPECT_EQ(bins[0]->endValue(), 10);
    EXPECT_EQ(bins[2]->endValue(), kInfinity);
    bins[2]->setEndValue(50);
    EXPECT_EQ(bins[2]->endValue(), kInfinity);
    bins[1]->setEndValue(15);
    EXPECT_EQ(startValues(*transformer), (QList<double>{-kInfinity, 10, 15}));

    // Edits that overtake a neighbour re-sort, so lookups stay right.
    bins[1]->setStartValue(30);
    EXPECT_EQ(startValues(*transformer), (QList<double>{-kInfinity, 15, 30}));
    EXPECT_EQ(transformer->binForValue(20), bins[2]);
    EXPECT_EQ(transformer->binForValue(31), bins[1]);
    bins[0]->setEndValue(40);
    EXPECT_EQ(startValues(*transformer), (QList<double>{-kInfinity, 30, 40}));
    bins[1]->setStartValue(std::nan(""));
    EXPECT_EQ(bins[1]->startValue(), 30);

    EXPECT_FALSE(std::make_shared<VXQBinningDataTransformer>()->binForValue(1));
}

TEST(DataTransformerTest, EvenBinsAndANewTransformersOpenBin)
{
    const auto transformer = VXQBinningDataTransformer::dataTransformerWithFormula(QStringLiteral("x"));
    EXPECT_EQ(transformer->binDataType(), 0);
    EXPECT_FALSE(transformer->binningEnabled());
    EXPECT_EQ(startValues(*transformer), QList<double>{-kInfinity});
    transformer->removeAllBins();
    transformer->addNumberOfBinsStartingAtValueEndingAtValue(4, 0, 100);
    EXPECT_EQ(startValues(*transformer), (QList<double>{0, 25, 50, 75}));
    transformer->addNumberOfBinsStartingAtValueEndingAtValue(0, 0, 100);
    transformer->addNumberOfBinsStartingAtValueEndingAtValue(3, 0, kInfinity);
    EXPECT_EQ(transformer->countOfBins(), 4);
    const VXQBinPtr second = transformer->bins()[1];
    transformer->removeBin(second);
    EXPECT_EQ(second->container(), nullptr);
    EXPECT_EQ(second->index(), 0);
    EXPECT_EQ(startValues(*transformer), (QList<double>{0, 50, 75}));
}

TEST(DataTransformerTest, BinsKeepAnObjectOfEachKind)
{
    const auto transformer = binsAt({0, 10});
    const VXQBinPtr bin = transformer->bins()[0];
    transformer->setBinDataType(1);
    bin->setRepresentedObject(QColor(Qt::green));
    bin->setRepresentedObject(QStringLiteral("not a colour"));
    bin->setRepresentedObject(QVariant());
    EXPECT_EQ(bin->representedObject().value<QColor>(), QColor(Qt::green));

    transformer->setBinDataType(3);
    EXPECT_EQ(bin->representedObject().toString(), QString()) << "an empty text";
    EXPECT_EQ(bin->representedObject().metaType(), QMetaType::fromType<QString>());
    bin->setRepresentedObjectValue(QStringLiteral("Village"));
    transformer->setBinDataType(4);
    EXPECT_EQ(bin->representedObject(), QVariant(0.0));
    bin->setRepresentedObjectValue(7);
    EXPECT_EQ(bin->representedObject(), QVariant(7.0));
    transformer->setBinDataType(9);
    EXPECT_EQ(transformer->binDataType(), 4);
    transformer->setBinDataType(1);
    EXPECT_EQ(bin->representedObject().value<QColor>(), QColor(Qt::green));
    transformer->setBinDataType(3);
    EXPECT_EQ(bin->representedObject().toString(), QStringLiteral("Village"));

    // Styles show as their swatch and cannot be set from one.
    transformer->setBinDataType(0);
    EXPECT_FALSE(bin->representedObject().isValid());
    bin->setRepresentedObject(QVariant::fromValue(VXStyle::styleWithFillColourStrokeColour(Qt::blue, {})));
    const QImage swatch = bin->representedObjectValue().value<QImage>();
    EXPECT_FALSE(swatch.isNull());
    bin->setRepresentedObjectValue(QImage(4, 4, QImage::Format_ARGB32));
    EXPECT_TRUE(bin->representedObject().value<VXStylePtr>());

    // A copy keeps the objects and the start; the copied transformer's bins are its own.
    const auto copy = std::static_pointer_cast<VXQBinningDataTransformer>(transformer->copy());
    ASSERT_EQ(copy->countOfBins(), 2);
    EXPECT_NE(copy->bins()[0], bin);
    EXPECT_EQ(copy->bins()[0]->container(), copy.get());
    copy->setBinDataType(1);
    EXPECT_EQ(copy->bins()[0]->representedObject().value<QColor>(), QColor(Qt::green));
    copy->bins()[0]->setRepresentedObject(QColor(Qt::red));
    transformer->setBinDataType(1);
    EXPECT_EQ(bin->representedObject().value<QColor>(), QColor(Qt::green));
}

TEST(DataTransformerTest, BinnedOutputIsValidatedBeforeItIsWritten)
{
    const VXQSymbolPtr symbol = boxSymbol();
    symbol->setMetadataItemValueForKey(15, QStringLiteral("rank"));
    auto transformer = VXQBinningDataTransformer::dataTransformerWithFormula(QStringLiteral("rank"));
    transformer->removeAllBins();
    transformer->addNumberOfBinsStartingAtValueEndingAtValue(2, 0, 20);
    transformer->setBinningEnabled(true);
    transformer->setOutputPropertyKey(QStringLiteral("style"));
    transformer->setBinDataType(1);
    transformer->bins()[1]->setRepresentedObject(QColor(Qt::yellow));

    // A colour becomes a style holding it.
    symbol->setUsesLocalStyle(true);
    const VXStylePtr ownStyle = symbol->style();
    transformer->performTransformationWithTarget(symbol.get());
    ASSERT_TRUE(symbol->style());
    EXPECT_NE(symbol->style(), ownStyle);

    // Text is no number: refused with code 55, logged, and the scale stays.
    transformer->setOutputPropertyKey(QStringLiteral("scaleFactor"));
    transformer->setBinDataType(3);
    transformer->bins()[1]->setRepresentedObject(QStringLiteral("big"));
    {
        testsupport::LogCapture log;
        transformer->performTransformationWithTarget(symbol.get());
        EXPECT_TRUE(log.contains("couldn't set output - type mismatch (keypath 'scaleFactor', output object = big)"));
        EXPECT_TRUE(log.contains("Quorvane Error 55"));
    }
    EXPECT_DOUBLE_EQ(symbol->scaleFactor(), 1.0);

    // Values pass; a bin holding nothing of the kind, or binning off, writes the number.
    transformer->setBinDataType(4);
    transformer->bins()[1]->setRepresentedObject(2.5);
    transformer->performTransformationWithTarget(symbol.get());
    EXPECT_DOUBLE_EQ(symbol->scaleFactor(), 2.5);
    symbol->setMetadataItemValueForKey(4, QStringLiteral("rank"));
    transformer->performTransformationWithTarget(symbol.get());
    EXPECT_DOUBLE_EQ(symbol->scaleFactor(), 4);
    symbol->setMetadataItemValueForKey(6, QStringLiteral("rank"));
    transformer->setBinningEnabled(false);
    transformer->performTransformationWithTarget(symbol.get());
    EXPECT_DOUBLE_EQ(symbol->scaleFactor(), 6);

    // A group master takes no style: the symbol stays as it was.
    const auto group = VXShapeGroup::groupWithObjects({VXDrawableShape::drawableShapeWithRect({0, 0, 8, 8}, {})});
    const VXQSymbolPtr grouped = VXQSymbol::symbolWithMaster(VXQSymbolMaster::symbolMasterWithObjectName(*group, "G"));
    transformer->setBinningEnabled(true);
    transformer->setOutputPropertyKey(QStringLiteral("style"));
    transformer->setBinDataType(1);
    testsupport::LogCapture log;
    grouped->setMetadataItemValueForKey(15, QStringLiteral("rank"));
    const VXStylePtr groupStyle = grouped->style();
    transformer->performTransformationWithTarget(grouped.get());
    EXPECT_TRUE(log.contains("Quorvane Error 55"));
    EXPECT_EQ(grouped->style(), groupStyle);
}

TEST(DataTransformerTest, ArchivesAndPasteboardsGiveTheTransformerBack)
{
    auto transformer = VXQBinningDataTransformer::dataTransformerWithFormula(QStringLiteral("sqrt(AREA) * 2"));
    transformer->setName(QStringLiteral("Towns by size"));
    transformer->setInputPropertyKey(QStringLiteral("QVNL_POPULATION"));
    transformer->setOutputPropertyKey(QStringLiteral("style"));
    transformer->setEnabled(false);
    transformer->setBinningEnabled(true);
    transformer->addBinForStartValue(100);
    transformer->setBinDataType(1);
    transformer->bins()[1]->setRepresentedObject(QColor(10, 20, 30));
    transformer->setBinDataType(5);
    transformer->bins()[0]->setRepresentedObject(QFont(QStringLiteral("Helvetica"), 14));
    transformer->setBinDataType(2);

    const auto check = [](const std::shared_ptr<VXQBinningDataTransformer>& read) {
        ASSERT_TRUE(read);
        EXPECT_EQ(read->name(), QStringLiteral("Towns by size"));
        EXPECT_EQ(read->formula(), QStringLiteral("sqrt(AREA) * 2"));
        EXPECT_EQ(read->variables(), QStringList{QStringLiteral("AREA")});
        EXPECT_EQ(read->inputPropertyKey(), QStringLiteral("QVNL_POPULATION"));
        EXPECT_EQ(read->outputPropertyKey(), QStringLiteral("style"));
        EXPECT_FALSE(read->enabled());
        EXPECT_TRUE(read->binningEnabled());
        EXPECT_EQ(read->binDataType(), 2);
        EXPECT_EQ(startValues(*read), (QList<double>{-kInfinity, 100}));
        EXPECT_EQ(read->bins()[1]->container(), read.get());
        read->setBinDataType(1);
        EXPECT_EQ(read->bins()[1]->representedObject().value<QColor>(), QColor(10, 20, 30));
        read->setBinDataType(5);
        EXPECT_EQ(read->bins()[0]->representedObject().value<QFont>().pointSize(), 14);
    };
    check(testsupport::roundTrip<VXQBinningDataTransformer>(*transformer));

    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    EXPECT_TRUE(transformer->writeToPasteboard(pasteboard));
    check(std::dynamic_pointer_cast<VXQBinningDataTransformer>(VXQDataTransformer::dataTransformerFromPasteboard(&pasteboard)));

    // Garbage, another class's archive, or nothing at all reads as no transformer.
    QMimeData garbage;
    garbage.setData(platform::mimeTypeForPasteboardType(kVXQDataTransformerPasteboardType), "not an archive");
    const platform::Pasteboard garbageBoard(&garbage);
    EXPECT_FALSE(VXQDataTransformer::dataTransformerFromPasteboard(&garbageBoard));
    QMimeData other;
    platform::Pasteboard otherBoard(&other);
    otherBoard.declareTypes({kVXQDataTransformerPasteboardType});
    otherBoard.setArchivedObjectForType(std::make_shared<VXQBin>().get(), kVXQDataTransformerPasteboardType);
    EXPECT_FALSE(VXQDataTransformer::dataTransformerFromPasteboard(&otherBoard));
    QMimeData none;
    const platform::Pasteboard emptyBoard(&none);
    EXPECT_FALSE(VXQDataTransformer::dataTransformerFromPasteboard(&emptyBoard));
    EXPECT_THROW(VXQDataTransformer::dataTransformerFromPasteboard(nullptr), std::exception);

    // Targets are conditional: alone in an archive they are not kept.
    const VXQSymbolPtr symbol = boxSymbol();
    transformer->setInputTarget(symbol.get());
    const auto read = testsupport::roundTrip<VXQBinningDataTransformer>(*transformer);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->inputTarget(), nullptr);
    EXPECT_EQ(std::static_pointer_cast<VXQDataTransformer>(transformer->copy())->inputTarget(), symbol.get());
}

TEST(DataTransformerTest, DamagedArchivesReadAsUsableTransformers)
{
    BinningStub stub;
    stub.formula = QStringLiteral("(1 +");
    stub.dataType = 9;
    for (double start : {20.0, std::nan(""), 20.0, -5.0, kInfinity}) {
        auto bin = std::make_shared<BinStub>();
        bin->start = start;
        stub.bins.append(bin);
    }
    stub.bins[0]->objects = {{"QColor", QStringLiteral("red")}, {"QString", QStringLiteral("Hamlet")}, {"Bogus", 1}};
    stub.bins[3]->objects = {{"QColor", QColor(Qt::red)}, {"double", QStringLiteral("three")}};

    std::shared_ptr<VXQBinningDataTransformer> read;
    {
        testsupport::LogCapture log;
        read = decodeStub(stub);
        EXPECT_TRUE(log.contains("(1 +"));
    }
    ASSERT_TRUE(read);
    EXPECT_EQ(read->formula(), QStringLiteral("(1 +")) << "kept, though it does not parse";
    EXPECT_THROW(read->preflightWithTarget(boxSymbol().get()), platform::NamedException);
    EXPECT_EQ(read->binDataType(), 0);
    EXPECT_EQ(startValues(*read), (QList<double>{-5, 20, 20, kInfinity}));
    EXPECT_EQ(read->bins()[1]->repObjects().keys(), QStringList{"QString"});
    EXPECT_EQ(read->bins()[0]->repObjects().keys(), QStringList{"QColor"});
    EXPECT_EQ(read->binForValue(20), read->bins()[2]) << "of two bins sharing a start the later one counts";

    stub.bins.clear();
    stub.formula.clear();
    read = decodeStub(stub);
    ASSERT_TRUE(read);
    EXPECT_EQ(startValues(*read), QList<double>{-kInfinity});
    EXPECT_EQ(read->name(), QStringLiteral("untitled"));
}

#include "DataTransformerTest.moc"

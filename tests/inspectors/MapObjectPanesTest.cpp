#include "InspectorTesting.h"

#include "inspectors/geometry/GeometryDisplayUnits.h"
#include "inspectors/panes/TrackPanes.h"
#include "inspectors/panes/VLTM_VXDrawableObjectController.h"
#include "inspectors/panes/VLTM_VXQSliceController.h"
#include "inspectors/panes/VLTM_VXQSymbolController.h"
#include "symbols/placed/VXQSymbol.h"
#include "symbols/sequences/VXQSymbolSequence.h"
#include "tracks/model/VXQTrack.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <gtest/gtest.h>

using namespace inspectortest;

namespace {

VXQTrackPtr track(const QString& type = kVXQRoadTrackType, QPointF end = {200, 10})
{
    platform::BezierPath path;
    path.moveToPoint({10, 10});
    path.lineToPoint(end);
    return VXQTrack::trackWithPathType(path, type);
}

VXQSymbolMasterPtr master(const QString& name)
{
    const auto square = VXDrawableShape::drawableShapeWithRect({-5, -5, 10, 10}, nullptr);
    return VXQSymbolMaster::symbolMasterWithObjectName(*square, name);
}

VXQSymbolPtr symbolOf(const VXQSymbolMasterPtr& of, QPointF at)
{
    VXQSymbolPtr symbol = VXQSymbol::symbolWithMaster(of);
    symbol->setLocation(at);
    return symbol;
}

} // namespace

TEST(TrackPane, TracksShowTheirPaneAndMixedWithSymbolsOnlyPositionAndSize)
{
    TabFixture fixture;
    VXQTrackPtr road = fixture.add(track());
    fixture.select({road});
    EXPECT_EQ(fixture.installedPanes().mid(0, 2),
              (QStringList{QStringLiteral("VLTM_VXDrawableObjectController"), QStringLiteral("VLTM_VXQTrackController")}));
    VXQSymbolPtr town = fixture.add(symbolOf(master(QStringLiteral("Town")), {50, 50}));
    fixture.select({road, town});
    EXPECT_EQ(fixture.installedPanes().value(0), QStringLiteral("VLTM_VXDrawableObjectController"));
    EXPECT_FALSE(fixture.installedPanes().contains(QStringLiteral("VLTM_VXQTrackController")));
    EXPECT_FALSE(fixture.installedPanes().contains(QStringLiteral("VLTM_VXQSymbolController")));
    fixture.select({town});
    EXPECT_EQ(fixture.installedPanes().mid(0, 2),
              (QStringList{QStringLiteral("VLTM_VXDrawableObjectController"), QStringLiteral("VLTM_VXQSymbolController")}));
}

TEST(TrackPane, TypesAreWrittenByNameToUnlockedTracks)
{
    TabFixture fixture;
    VXQTrackPtr rail = fixture.add(track(kVXQRailTrackType));
    VXQTrackPtr river = fixture.add(track(kVXQWatercourseTrackType, {10, 300}));
    VXQTrackPtr locked = fixture.add(track(kVXQGenericTrackType, {300, 300}));
    locked->setLocked(true);
    fixture.select({rail, river, locked});
    auto* pane = fixture.paneFor<VLTM_VXQTrackController>(QStringLiteral("VXQTrack"));
    QComboBox* types = pane->rowControl(QStringLiteral("trackType"))->popUp();
    EXPECT_EQ(types->currentIndex(), -1);
    auto* model = qobject_cast<QStandardItemModel*>(types->model());
    EXPECT_EQ(model->item(2)->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(model->item(3)->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(model->item(1)->checkState(), Qt::Unchecked);
    fixture.forgetEdits();

    types->setCurrentIndex(1);
    pane->rowControl(QStringLiteral("trackType"))->rowAction(types);
    EXPECT_EQ(rail->trackType(), kVXQRoadTrackType);
    EXPECT_EQ(river->trackType(), kVXQRoadTrackType);
    EXPECT_EQ(locked->trackType(), kVXQGenericTrackType);
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Change Track Type"));

    pane->insertAdaptorsCheckbox()->setChecked(false);
    pane->insertAdaptorsAction();
    EXPECT_FALSE(rail->autoInsertsShims());
    EXPECT_TRUE(locked->autoInsertsShims());
    EXPECT_EQ(fixture.undo.undoActionName(), QStringLiteral("Use Width Adaptors"));
}

TEST(TrackPane, SpecialItemsAndLengthNeedOneStraightTrack)
{
    TabFixture fixture;
    VXQTrackPtr road = fixture.add(track());
    VXQTrackPtr other = fixture.add(track(kVXQRoadTrackType, {10, 300}));
    fixture.select({road, other});
    auto* pane = fixture.paneFor<VLTM_VXQTrackController>(QStringLiteral("VXQTrack"));
    EXPECT_FALSE(pane->canInsertSpecialItem());
    EXPECT_TRUE(pane->rowControl(QStringLiteral("length"))->widget()->isEnabled());
    fixture.select({road});
    EXPECT_EQ(pane->canInsertSpecialItem(), road->canInsertSpecialItem());
    road->setLocked(true);
    TabFixture::settle();
    EXPECT_FALSE(pane->canInsertSpecialItem());
    EXPECT_FALSE(pane->rowControl(QStringLiteral("length"))->widget()->isEnabled());
}

TEST(SymbolPane, ARememberedSequenceServesOnlyItsOwnMaster)
{
    TabFixture fixture;
    VXQSymbolMasterPtr towns = master(QStringLiteral("Town"));
    VXQSymbolMasterPtr wells = master(QStringLiteral("Well"));
    VXQSymbolPtr a1 = fixture.add(symbolOf(towns, {10, 10}));
    VXQSymbolPtr a2 = fixture.add(symbolOf(towns, {40, 10}));
    VXQSymbolPtr b1 = fixture.add(symbolOf(wells, {10, 80}));
    fixture.select({a1, a2});
    auto* pane = fixture.paneFor<VLTM_VXQSymbolController>(QStringLiteral("VXQSymbol"));
    ASSERT_NE(pane, nullptr);
    EXPECT_FALSE(pane->sequencableCheckbox()->isChecked());

    pane->sequencableCheckbox()->setChecked(true);
    pane->sequencableAction();
    VXQSymbolSequence* townSequence = a1->sequence();
    ASSERT_NE(townSequence, nullptr);
    EXPECT_EQ(a2->sequence(), townSequence);
    EXPECT_EQ(pane->localSequence(), townSequence);

    pane->sequencableCheckbox()->setChecked(false);
    pane->sequencableAction();
    EXPECT_EQ(a1->sequence(), nullptr);
    pane->sequencableCheckbox()->setChecked(true);
    pane->sequencableAction();
    EXPECT_EQ(a1->sequence(), townSequence);

    // Another master's symbols get a sequence of their own.
    fixture.select({b1});
    pane->sequencableCheckbox()->setChecked(true);
    pane->sequencableAction();
    ASSERT_NE(b1->sequence(), nullptr);
    EXPECT_NE(b1->sequence(), townSequence);
}

// A symbol not named itself goes by its master's name: a master renamed while its symbol is
// selected (as the Library Manager renames it) shows at once, not when selected again.
TEST(SymbolPane, TheNameShownFollowsAMasterRenamedWhileSelected)
{
    TabFixture fixture;
    VXQSymbolMasterPtr towns = master(QStringLiteral("Town"));
    VXQSymbolMasterPtr wells = master(QStringLiteral("Well"));
    VXQSymbolPtr town = fixture.add(symbolOf(towns, {10, 10}));
    VXQSymbolPtr well = fixture.add(symbolOf(wells, {40, 10}));
    VXQSymbolPtr mill = fixture.add(symbolOf(towns, {70, 10}));
    mill->setName(QStringLiteral("Old Mill"));
    fixture.select({town});
    auto* pane = fixture.paneFor<VLTM_VXQSymbolController>(QStringLiteral("VXQSymbol"));
    ASSERT_NE(pane, nullptr);
    QLabel* name = pane->symbolNameTextField();
    EXPECT_EQ(name->text(), QStringLiteral("Town"));

    towns->setName(QStringLiteral("Village"));
    TabFixture::settle();
    EXPECT_EQ(name->text(), QStringLiteral("Village"));
    wells->setName(QStringLiteral("Spring"));
    TabFixture::settle();
    EXPECT_EQ(name->text(), QStringLiteral("Village"));

    fixture.select({town, well});
    EXPECT_EQ(name->text(), QStringLiteral("Multiple Masters"));
    wells->setName(QStringLiteral("Village"));
    TabFixture::settle();
    EXPECT_EQ(name->text(), QStringLiteral("Village"));

    // A symbol named itself keeps its name.
    fixture.select({mill});
    EXPECT_EQ(name->text(), QStringLiteral("Old Mill"));
    towns->setName(QStringLiteral("Hamlet"));
    TabFixture::settle();
    EXPECT_EQ(name->text(), QStringLiteral("Old Mill"));
}

// The name line above the panes and the Layers-style lines go by the symbol's own "name",
// which follows its master's: a rename in the Library Manager or a new master shows at once.
TEST(SymbolPane, TheTabsNameLineFollowsTheMastersNameAndANewMaster)
{
    TabFixture fixture;
    VXQSymbolMasterPtr towns = master(QStringLiteral("Town"));
    VXQSymbolPtr town = fixture.add(symbolOf(towns, {10, 10}));
    fixture.select({town});
    QLineEdit* nameLine = fixture.tab->typeNameLabel();
    EXPECT_EQ(nameLine->text(), QStringLiteral("Town"));

    towns->setName(QStringLiteral("Village"));
    TabFixture::settle();
    EXPECT_EQ(nameLine->text(), QStringLiteral("Village"));

    town->setMaster(master(QStringLiteral("Well")));
    TabFixture::settle();
    EXPECT_EQ(nameLine->text(), QStringLiteral("Well"));
    fixture.undo.undo();
    TabFixture::settle();
    EXPECT_EQ(nameLine->text(), QStringLiteral("Village"));

    // A master edit that keeps the name changes nothing that shows.
    towns->setUserDescription(QStringLiteral("A small town"));
    TabFixture::settle();
    EXPECT_EQ(nameLine->text(), QStringLiteral("Village"));
}

// The size is the master's times the scale: a scale typed in the symbol pane, the size handle
// and the master's graphic all change the width and height the position pane shows.
TEST(SymbolPane, WidthAndHeightFollowTheScaleAndTheMastersGraphic)
{
    TabFixture fixture;
    fixture.tab->makeFormatterForDisplayUnitsOption(geometryunits::kPointsMode);
    VXQSymbolMasterPtr towns = master(QStringLiteral("Town"));
    VXQSymbolPtr town = fixture.add(symbolOf(towns, {10, 10}));
    VXQSymbolPtr other = fixture.add(symbolOf(towns, {60, 10}));
    fixture.select({town});
    auto* symbolPane = fixture.paneFor<VLTM_VXQSymbolController>(QStringLiteral("VXQSymbol"));
    auto* placement = fixture.paneFor<VLTM_VXDrawableObjectController>(QStringLiteral("VXDrawableObject"));
    ASSERT_TRUE(symbolPane && placement);
    const auto shown = [placement](const char* key) {
        return placement->rowControl(QString::fromLatin1(key))->field()->text();
    };
    EXPECT_EQ(shown("width"), QStringLiteral("10"));

    typeInto(symbolPane->rowControl(QStringLiteral("scaleFactor")), QStringLiteral("3"));
    TabFixture::settle();
    EXPECT_DOUBLE_EQ(town->scaleFactor(), 3.0);
    EXPECT_EQ(shown("width"), QStringLiteral("30"));
    EXPECT_EQ(shown("height"), QStringLiteral("30"));
    fixture.undo.undo();
    TabFixture::settle();
    EXPECT_EQ(shown("width"), QStringLiteral("10"));

    // Two symbols of one size that come apart show mixed, then agree again.
    fixture.select({town, other});
    EXPECT_EQ(shown("width"), QStringLiteral("10"));
    other->setScaleFactor(2);
    TabFixture::settle();
    EXPECT_TRUE(shown("width").isEmpty());
    town->setScaleFactor(2);
    TabFixture::settle();
    EXPECT_EQ(shown("width"), QStringLiteral("20"));

    // A bigger graphic for the master makes every symbol of it bigger.
    towns->setObject(VXDrawableShape::drawableShapeWithRect({-10, -5, 20, 10}, nullptr).get());
    TabFixture::settle();
    EXPECT_EQ(shown("width"), QStringLiteral("40"));
    EXPECT_EQ(shown("height"), QStringLiteral("20"));
}

namespace {

// A slice as the slice pane sees it: the keys it edits, nothing more.
class FakeSlice : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(double xLocation MEMBER m_x)
    Q_PROPERTY(double yLocation MEMBER m_y)
    Q_PROPERTY(double width MEMBER m_width)
    Q_PROPERTY(double height MEMBER m_height)
    Q_PROPERTY(bool visible MEMBER m_visible)
    Q_PROPERTY(bool locked MEMBER m_locked)
    Q_PROPERTY(QString title MEMBER m_title)
    Q_PROPERTY(QColor colour MEMBER m_colour)

public:
    double m_x = 10, m_y = 20, m_width = 100, m_height = 50;
    bool m_visible = true, m_locked = false;
    QString m_title = QStringLiteral("Slice");
    QColor m_colour = Qt::red;
};

class FakeSlicesLayer : public VXLayer {
    Q_OBJECT
    Q_PROPERTY(int toolMode MEMBER m_toolMode)

public:
    bool isSlicesLayer() const override { return true; }
    QList<ZQObjectPtr> selected;
    int m_toolMode = 1;
};

class FakeSliceServices : public VLTMSliceServices {
public:
    const QMetaObject* sliceClass() const override { return &FakeSlice::staticMetaObject; }
    QList<ZQObjectPtr> selectedSlicesOfLayer(VXLayer* layer) const override
    {
        return static_cast<FakeSlicesLayer*>(layer)->selected;
    }
    VXLayer* slicesLayerOfSlice(const ZQObject*) const override { return layer; }
    void exportSlicesOfDrawing(VXDrawing* drawing) override { exported = drawing; }
    VXLayer* layer = nullptr;
    VXDrawing* exported = nullptr;
};

} // namespace

TEST(SlicePane, SlicesShowTheirPaneAloneAndEditTheirKeys)
{
    auto services = std::make_shared<FakeSliceServices>();
    VLTM_VXQSliceController::installWithServices(services);
    {
        TabFixture fixture;
        auto slices = std::make_shared<FakeSlicesLayer>();
        services->layer = slices.get();
        fixture.drawing->addLayer(slices);
        auto slice = std::make_shared<FakeSlice>();
        slices->selected = {slice};
        platform::NotificationCenter::defaultCenter().postNotificationName(QStringLiteral("kVLTMSlicesLayerDidChangeSelection"),
                                                                           slices.get());
        TabFixture::settle();
        EXPECT_EQ(fixture.installedPanes(), QStringList{QStringLiteral("VLTM_VXQSliceController")});
        auto* pane = fixture.paneFor<VLTM_VXQSliceController>(QStringLiteral("FakeSlice"));
        EXPECT_EQ(pane->rowControl(QStringLiteral("title"))->textField()->text(), QStringLiteral("Slice"));
        EXPECT_EQ(pane->toolModeSegmentedControl()->checkedId(), 1);
        typeInto(pane->rowControl(QStringLiteral("width")), QStringLiteral("140"));
        EXPECT_DOUBLE_EQ(slice->m_width, 140.0);

        slices->m_toolMode = 0;
        platform::NotificationCenter::defaultCenter().postNotificationName(QStringLiteral("kVLTMSlicesLayerToolModeDidChange"),
                                                                           slices.get());
        EXPECT_EQ(pane->toolModeSegmentedControl()->checkedId(), 0);
        pane->exportAction();
        EXPECT_EQ(services->exported, fixture.drawing.get());
    }
    VLTMSliceServices::install(nullptr);
}

#include "MapObjectPanesTest.moc"

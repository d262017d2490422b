#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "furniture/grid/VXQSquareAnnotatedGrid.h"
#include "furniture/scalebar/VXQScaleBarShape.h"
#include "mapscale/VXQMapScaleOwner.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/text/VXTextAdornment.h"
#include "platform/ui/Application.h"
#include "platform/ui/FontManager.h"
#include "support/ArchiveTesting.h"
#include "support/MapWindowTesting.h"
#include "GridOwnerForTesting.h"

#include <QFontDialog>
#include <QFontInfo>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

std::shared_ptr<ZQTrueQuorvaneDocument> newMapDocument()
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
    return document;
}

// The distance labels the upper (or lower) bar draws, in order.
QStringList distanceLabels(const VXQScaleBarShape& bar, bool lower = false)
{
    const VXQGridAnnotation* annotation = (lower ? bar.lowerElement() : bar.upperElement())->annotation();
    const auto maximum = annotation->maximumElement();
    QStringList labels;
    for (int i = 0; maximum && i <= *maximum; ++i)
        labels.append(annotation->annotationStringForElementMaxElement(quint64(i), quint64(*maximum)));
    return labels;
}

struct DocumentWithBar {
    std::shared_ptr<ZQTrueQuorvaneDocument> document = newMapDocument();
    VXQScaleBarShapePtr bar = std::make_shared<VXQScaleBarShape>();

    DocumentWithBar()
    {
        auto* layer = dynamic_cast<VXQMappingLayer*>(document->activeLayer());
        EXPECT_TRUE(layer);
        bar->setLocation({300, 300});
        layer->addObject(bar);
        document->undoManager()->removeAllActions();
    }
    // Ends the undo step being built, as the end of an event would.
    void endStep() { document->undoManager()->closeAutomaticGroup(); }
};

TEST(ScaleBarShape, MeasuresAndLabelsAtTheDocumentScale)
{
    DocumentWithBar fixture;
    const VXQScaleBarShape& bar = *fixture.bar;
    EXPECT_EQ(bar.size(), QSizeF(200, 70));
    EXPECT_NEAR(bar.spanLength(), 56.69, 0.005);
    EXPECT_NEAR(bar.borderRect().width(), 170.08, 0.005);
    EXPECT_EQ(bar.borderRect().height(), 0.0);
    EXPECT_DOUBLE_EQ(bar.borderRect().center().y(), 300.0);
    EXPECT_EQ(distanceLabels(bar), QStringList({"0", "0.5", "1", "1.5"}));
    EXPECT_EQ(bar.primaryLabel(), QStringLiteral("Kilometres"));
    EXPECT_EQ(bar.secondaryLabel(), QStringLiteral("Miles"));
    EXPECT_EQ(bar.title(), QStringLiteral("Scale ") + VXQMapScale::defaultScale()->stringValue());
    ASSERT_TRUE(bar.secondaryScale());
    EXPECT_EQ(bar.secondaryScale()->representedMeasurement()->unit()->fullName(), QStringLiteral("miles"));
    EXPECT_NEAR(bar.secondaryScale()->scale(), 25000, 0.01);
    EXPECT_EQ(bar.angle(), 0.0);
    // No divisions of its own: the document's index grid gives them.
    const auto grid = fixture.document->drawing()->firstLayerOfClass<VXQSquareAnnotatedGrid>();
    ASSERT_TRUE(grid);
    EXPECT_EQ(quint64(bar.primaryBarDivisions()), grid->divisionsPerSpan());

    // Without a formatter the owner writes fractions with one decimal and whole numbers bare.
    const auto half = bar.proposedLabelAtIndexMaxIndexFormatter({}, 1, 3, nullptr);
    const auto two = bar.proposedLabelAtIndexMaxIndexFormatter({}, 4, 4, nullptr);
    EXPECT_EQ(half.value_or(QString()), QStringLiteral("0.5"));
    EXPECT_EQ(two.value_or(QString()), QStringLiteral("2"));
}

TEST(ScaleBarShape, ATallerTitleOfTheUsersStaysWithinTheBounds)
{
    DocumentWithBar fixture;
    VXQScaleBarShape& bar = *fixture.bar;
    const QRectF before = bar.bounds();
    bar.setUserTitle(QStringLiteral("Harbour district\nsurveyed 2026"));
    const QRectF title = bar.titleBoundsWithString(bar.userTitle());
    EXPECT_GT(title.height(), bar.titleBoundsWithString(bar.title()).height());
    EXPECT_TRUE(bar.bounds().contains(title));
    EXPECT_LT(bar.bounds().top(), before.top());
    bar.setUserTitle({});
    EXPECT_EQ(bar.bounds(), before);
}

TEST(ScaleBarShape, FollowsItsOwnDocumentsMapScaleOnly)
{
    DocumentWithBar fixture;
    DocumentWithBar other;
    const VXQMapScalePtr halved = VXQMapScale::defaultScale()->mapScaleWithScale(50000);
    ASSERT_TRUE(halved);

    other.document->setMapScale(halved);
    EXPECT_EQ(distanceLabels(*fixture.bar), QStringList({"0", "0.5", "1", "1.5"}));

    fixture.document->setMapScale(halved);
    EXPECT_EQ(distanceLabels(*fixture.bar), QStringList({"0", "1", "2", "3"}));
    EXPECT_EQ(fixture.bar->title(), QStringLiteral("Scale ") + halved->stringValue());
    EXPECT_NEAR(fixture.bar->secondaryScale()->scale(), 50000, 0.01);

    // A locked bar keeps its texts while its distances follow.
    fixture.bar->setLocked(true);
    fixture.document->setMapScale(VXQMapScale::defaultScale());
    EXPECT_EQ(fixture.bar->title(), QStringLiteral("Scale ") + halved->stringValue());
    EXPECT_EQ(distanceLabels(*fixture.bar), QStringList({"0", "0.5", "1", "1.5"}));
}

// Keeps a map scale and announces its changes as a map document does, with nothing else to redraw.
class MapScaleOwnerForTesting : public QObject, public VXQMapScaleOwner {
public:
    VXQMapScalePtr scale = VXQMapScale::defaultScale();
    VXQMapScalePtr mapScale() const override { return scale; }
    void setMapScale(VXQMapScalePtr mapScale) override
    {
        scale = std::move(mapScale);
        platform::NotificationCenter::defaultCenter().postNotificationName(kQuorvaneMapScaleDidChangeNotification, this);
    }
};

TEST(ScaleBarShape, AMapScaleChangeRedrawsOnlyTheBar)
{
    MapScaleOwnerForTesting owner;
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({800, 800});
    drawing->setOwner(&owner);
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    auto bar = std::make_shared<VXQScaleBarShape>();
    bar->setLocation({400, 400});
    layer->addObject(bar);
    EXPECT_EQ(distanceLabels(*bar), QStringList({"0", "0.5", "1", "1.5"}));

    const QRectF before = bar->bounds();
    QList<QRectF> redrawn;
    QObject::connect(drawing.get(), &VXDrawing::needsDisplayInRect, [&](const QRectF& rect) { redrawn.append(rect); });
    owner.setMapScale(VXQMapScale::defaultScale()->mapScaleWithScale(50000));
    EXPECT_EQ(distanceLabels(*bar), QStringList({"0", "1", "2", "3"}));
    const QRectF area = (before | bar->bounds()).adjusted(-1, -1, 1, 1);
    ASSERT_FALSE(redrawn.isEmpty());
    for (const QRectF& rect : redrawn)
        EXPECT_TRUE(area.contains(rect)) << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
}

TEST(ScaleBarShape, SecondaryUnitsDeriveTheLowerBar)
{
    DocumentWithBar fixture;
    VXQScaleBarShape& bar = *fixture.bar;
    bar.setSecondaryScaleUnits(ZQUnitLength::kilometers());
    EXPECT_TRUE(bar.secondaryScale()->isEqualToMapScale(VXQMapScale::defaultScale().get()));
    EXPECT_EQ(bar.secondaryLabel(), QStringLiteral("Kilometres"));
    EXPECT_EQ(fixture.document->undoManager()->undoActionName(), QStringLiteral("Scale Bar Units"));
    fixture.endStep();

    bar.setSecondaryScaleUnits(ZQUnitLength::meters());
    EXPECT_EQ(bar.secondaryScale()->scaleString(), QStringLiteral("2 cm = 500 m"));
    EXPECT_EQ(bar.secondaryLabel(), QStringLiteral("Metres"));
    fixture.endStep();

    fixture.document->undoManager()->undo();
    EXPECT_TRUE(bar.secondaryScaleUnits()->isEqualToUnit(ZQUnitLength::kilometers().get()));
}

TEST(ScaleBarShape, SettersUndoNameTheirActionsAndRespectTheLock)
{
    DocumentWithBar fixture;
    VXQScaleBarShape& bar = *fixture.bar;
    ZQUndoManager* undo = fixture.document->undoManager();

    bar.setSecondaryBarDivisions(10); // unchanged: nothing to undo
    EXPECT_FALSE(undo->canUndo());
    bar.setSecondaryBarDivisions(4);
    EXPECT_EQ(undo->undoActionName(), QStringLiteral("Scale Bar Divisions"));
    fixture.endStep();
    bar.setTitleEnabled(false);
    EXPECT_EQ(undo->undoActionName(), QStringLiteral("Disable Title"));
    fixture.endStep();
    bar.setIsAlternating(false);
    fixture.endStep();
    EXPECT_FALSE(bar.lowerElement()->border()->isAlternating());
    undo->undo();
    EXPECT_TRUE(bar.isAlternating());
    EXPECT_TRUE(bar.lowerElement()->border()->isAlternating());
    undo->undo();
    undo->undo();
    EXPECT_EQ(bar.secondaryBarDivisions(), 10);
    EXPECT_TRUE(bar.titleEnabled());
    undo->redo();
    EXPECT_EQ(bar.secondaryBarDivisions(), 4);

    const qint64 divisions = bar.primaryBarDivisions();
    bar.setLocked(true);
    bar.setUserTitle(QStringLiteral("Refused"));
    bar.setPrimaryBarDivisions(divisions + 1);
    EXPECT_TRUE(bar.userTitle().isEmpty());
    EXPECT_EQ(bar.primaryBarDivisions(), divisions);
    bar.setMainColour(Qt::green); // the colour applies even when locked
    EXPECT_EQ(bar.lowerElement()->border()->fillColour(), QColor(Qt::green));
    bar.setBarWidth(12);
    EXPECT_EQ(bar.lowerElement()->barWidth(), 12.0);
    EXPECT_NEAR(bar.upperElement()->border()->offset(), 2.004, 1e-9);
    EXPECT_EQ(bar.upperElement()->annotation()->offset(), 12.0);
}

TEST(ScaleBarShape, TextAttributesReachBothElementsAndUndo)
{
    DocumentWithBar fixture;
    VXQScaleBarShape& bar = *fixture.bar;
    QVariantMap attributes = bar.textAttributes();
    attributes.insert(platform::kForegroundColourAttributeName, QColor(Qt::blue));
    bar.setTextAttributes(attributes);
    fixture.endStep();
    EXPECT_EQ(bar.lowerElement()->textAttributes().value(platform::kForegroundColourAttributeName).value<QColor>(),
              QColor(Qt::blue));
    fixture.document->undoManager()->undo();
    EXPECT_EQ(bar.lowerElement()->textAttributes().value(platform::kForegroundColourAttributeName).value<QColor>(),
              QColor(Qt::black));
}

TEST(ScaleBarShape, TakesDroppedColoursOnly)
{
    DocumentWithBar fixture;
    VXQScaleBarShape& bar = *fixture.bar;
    const QColor main = bar.mainColour();
    QMimeData colour;
    colour.setColorData(QColor(Qt::magenta));
    EXPECT_TRUE(bar.performDragOperation(&colour, Qt::AltModifier));
    EXPECT_EQ(bar.alternateColour(), QColor(Qt::magenta));
    EXPECT_EQ(bar.mainColour(), main);
    EXPECT_EQ(fixture.document->undoManager()->undoActionName(), QStringLiteral("Drop Colour"));
    EXPECT_TRUE(bar.performDragOperation(&colour, Qt::NoModifier));
    EXPECT_EQ(bar.mainColour(), QColor(Qt::magenta));

    QMimeData text;
    text.setText(QStringLiteral("red"));
    EXPECT_FALSE(bar.performDragOperation(&text, Qt::NoModifier));
    EXPECT_FALSE(bar.performDragOperation(nullptr, Qt::NoModifier));

    // The layer hands a drop on the bar to the bar first.
    auto* layer = dynamic_cast<VXObjectDrawingLayer*>(fixture.document->activeLayer());
    ASSERT_TRUE(layer);
    QMimeData cyan;
    cyan.setColorData(QColor(Qt::cyan));
    const platform::DraggingInfo onBar{&cyan, bar.location(), nullptr};
    EXPECT_NE(layer->draggingEntered(onBar), int(kVXDragOperationNone));
    EXPECT_TRUE(layer->performDragOperation(onBar));
    EXPECT_EQ(bar.mainColour(), QColor(Qt::cyan));
    const platform::DraggingInfo textOnBar{&text, bar.location(), nullptr};
    EXPECT_FALSE(layer->performDragOperation(textOnBar));
    const platform::DraggingInfo besideBar{&cyan, bar.location() + QPointF(500, 500), nullptr};
    EXPECT_EQ(layer->draggingEntered(besideBar), int(kVXDragOperationNone));
}

TEST(ScaleBarShape, DistancesRoundHalfToEvenAlsoOnBarsSavedBefore)
{
    DocumentWithBar fixture;
    // 1:2,500 in kilometres: a span is a sixteenth of a kilometre.
    fixture.document->setMapScale(VXQMapScale::makeWithReferenceMeasurementRepresentedMeasurement(
        ZQMeasurement::make(40, ZQUnitLength::centimeters()), ZQMeasurement::make(1, ZQUnitLength::kilometers())));
    VXQScaleBarShape& bar = *fixture.bar;
    EXPECT_EQ(distanceLabels(bar), QStringList({"0", "0.06", "0.12"}));
    bar.setSize({400, 70}); // spans of an eighth
    EXPECT_EQ(distanceLabels(bar), QStringList({"0", "0.12", "0.25"}));

    // A bar saved while its formatter rounded half up.
    auto halfUp = std::make_shared<platform::NumberFormatter>(*bar.upperElement()->annotation()->formatter());
    halfUp->setRoundingMode(platform::NumberFormatter::Rounding::HalfAwayFromZero);
    auto element = std::make_shared<VXQScaleBarElement>();
    element->annotation()->setFormatter(halfUp);
    const auto reread = testsupport::roundTrip<VXQScaleBarElement>(*element);
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->annotation()->formatter()->stringFromNumber(0.125), "0.12");
}

TEST(ScaleBarShape, RoundTripsThroughTheArchive)
{
    DocumentWithBar fixture;
    VXQScaleBarShape& bar = *fixture.bar;
    bar.setUserTitle(QStringLiteral("Walking distances"));
    bar.setSecondaryBarDivisions(4);
    bar.setPrimaryBarSkipInterval(2);
    bar.setSecondaryBarEnabled(false);
    bar.setSecondaryScaleUnits(ZQUnitLength::meters());
    bar.setExtendedMarkers(false);

    const auto decoded = testsupport::roundTrip<VXQScaleBarShape>(bar);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->userTitle(), QStringLiteral("Walking distances"));
    EXPECT_EQ(decoded->title(), bar.title());
    EXPECT_EQ(decoded->primaryLabel(), QStringLiteral("Kilometres"));
    EXPECT_EQ(decoded->secondaryLabel(), QStringLiteral("Metres"));
    EXPECT_EQ(decoded->secondaryBarDivisions(), 4);
    EXPECT_EQ(decoded->primaryBarSkipInterval(), 2u);
    EXPECT_FALSE(decoded->secondaryBarEnabled());
    EXPECT_FALSE(decoded->extendedMarkers());
    EXPECT_FALSE(decoded->lowerElement()->border()->extendedMarkers());
    EXPECT_TRUE(decoded->secondaryScaleUnits()->isEqualToUnit(ZQUnitLength::meters().get()));
    EXPECT_EQ(decoded->lowerElement()->edge(), int(kVXQGridEdgeBottom));
    EXPECT_EQ(decoded->upperElement()->annotation()->owner(), decoded.get());
    EXPECT_EQ(decoded->size(), bar.size());

    // A copy is a bar of its own.
    auto copy = std::dynamic_pointer_cast<VXQScaleBarShape>(bar.copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->upperElement()->border()->owner(), copy.get());
    EXPECT_EQ(copy->secondaryBarDivisions(), 4);
}

TEST(ScaleBarShape, DamagedArchivesTakeTheDefaults)
{
    testsupport::ArchiveStub stub;
    stub.values.insert("VXQScaleBarShape_upperDivisions", -7);
    stub.values.insert("VXQScaleBarShape_lowerDivisions", qint64(1) << 40);
    stub.values.insert("VXQScaleBarShape_titleEnabled", "yes");
    stub.values.insert("VXQScaleBarShape_upper", 3);
    stub.values.insert("VXQScaleBarShape_secondaryScaleUnits", "miles");
    auto bar = std::dynamic_pointer_cast<VXQScaleBarShape>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs("VXQScaleBarShape")));
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->primaryBarDivisions(), 0);
    EXPECT_EQ(bar->secondaryBarDivisions(), 10);
    EXPECT_TRUE(bar->titleEnabled());
    ASSERT_TRUE(bar->upperElement());
    ASSERT_TRUE(bar->lowerElement());
    EXPECT_EQ(bar->lowerElement()->edge(), int(kVXQGridEdgeBottom));
    EXPECT_TRUE(bar->secondaryScaleUnits()->isEqualToUnit(ZQUnitLength::miles().get()));
    EXPECT_EQ(bar->textAttributes(), bar->textAdornment()->textAttributes());

    // A damaged element keeps its defaults too.
    testsupport::ArchiveStub element;
    element.values.insert("VXQScaleBarElement_edge", 99);
    element.values.insert("VXQScaleBarElement_bar", 1.5);
    auto decoded = std::dynamic_pointer_cast<VXQScaleBarElement>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(element.archiveAs("VXQScaleBarElement")));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->edge(), int(kVXQGridEdgeTop));
    EXPECT_EQ(decoded->barWidth(), 6.0);
    EXPECT_TRUE(decoded->enabled());
}

TEST(ScaleBarShape, StaysSaneWithoutOwnerOrRoom)
{
    // A drawing with no document: no map scale, so nothing to measure and nothing updated.
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({400, 400});
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    drawing->addLayer(layer);
    auto bar = std::make_shared<VXQScaleBarShape>();
    bar->setLocation({200, 200});
    layer->addObject(bar);
    EXPECT_FALSE(bar->mapScale());
    EXPECT_EQ(bar->spanLength(), 0.0);
    EXPECT_TRUE(bar->primaryLabel().isEmpty());
    EXPECT_TRUE(distanceLabels(*bar).isEmpty());
    EXPECT_EQ(bar->divisionsPerSpan(), 0u);
    paintedImage({400, 400}, {}, [&] { bar->drawContent(); });

    // Given a document later, the bar follows that document's scale.
    auto document = newMapDocument();
    drawing->setOwner(document.get());
    document->setMapScale(VXQMapScale::defaultScale()->mapScaleWithScale(50000));
    EXPECT_EQ(bar->primaryLabel(), QStringLiteral("Kilometres"));
    EXPECT_EQ(distanceLabels(*bar), QStringList({"0", "1", "2", "3"}));
    drawing->setOwner(nullptr);

    // Narrower than a span: the span shrinks to the bar, a zero-wide bar has none.
    DocumentWithBar fixture;
    fixture.bar->setSize({30, 70});
    EXPECT_GT(fixture.bar->spanLength(), 0.0);
    EXPECT_LE(fixture.bar->spanLength(), 30.0);
    const QStringList narrow = distanceLabels(*fixture.bar);
    ASSERT_FALSE(narrow.isEmpty());
    EXPECT_LE(narrow.size(), 3);
    EXPECT_EQ(narrow.first(), QStringLiteral("0"));
    fixture.bar->setSize({0, 70});
    EXPECT_EQ(fixture.bar->spanLength(), 0.0);
    EXPECT_TRUE(distanceLabels(*fixture.bar).isEmpty());
    paintedImage({400, 400}, {}, [&] { fixture.bar->drawContent(); });
}

} // namespace

namespace {

// Turns every text blue, as the font panel's text colour would.
class ColouringFontManager : public platform::FontManager {
public:
    platform::TextAttributes convertAttributes(const platform::TextAttributes& attributes) const override
    {
        platform::TextAttributes converted = attributes;
        converted.insert(platform::kForegroundColourAttributeName, QColor(Qt::blue));
        return converted;
    }
};

// A map window whose selection is a scale bar.
class ScaleBarWindow : public testsupport::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        VXObjectDrawingLayer* layer = objectLayer();
        ASSERT_TRUE(layer);
        bar->setLocation({300, 300});
        layer->addObject(bar);
        layer->replaceSelectionWithObject(bar);
        document->undoManager()->removeAllActions();
    }
    QFont barFont() const { return bar->textAttributes().value(platform::kFontAttributeName).value<QFont>(); }
    QColor barColour() const
    {
        return bar->textAttributes().value(platform::kForegroundColourAttributeName).value<QColor>();
    }
    ZQUndoManager& undo() const { return *document->undoManager(); }

    VXQScaleBarShapePtr bar = std::make_shared<VXQScaleBarShape>();
};

} // namespace

TEST_F(ScaleBarWindow, FormatMenuAndFontPanelChangeTheSelectedBarsTextAsOneNamedStep)
{
    ASSERT_FALSE(barFont().bold());
    item("Format", "Bold")->trigger();
    undo().closeAutomaticGroup();
    EXPECT_TRUE(barFont().bold());
    EXPECT_TRUE(bar->lowerElement()->textAttributes().value(platform::kFontAttributeName).value<QFont>().bold());
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Scale Bar Font"));
    undo().undo();
    EXPECT_FALSE(barFont().bold());

    item("Format", "Show Fonts")->trigger();
    QFontDialog* panel = platform::FontManager::sharedFontManager()->fontPanel(false);
    ASSERT_TRUE(panel && panel->isVisible());
    panel->setCurrentFont(QFont(QStringLiteral("DejaVu Serif"), 14));
    undo().closeAutomaticGroup();
    EXPECT_EQ(QFontInfo(barFont()).family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Scale Bar Font"));
    EXPECT_EQ(undo().numberOfUndoActions(), 1);
    panel->hide();

    ColouringFontManager colours;
    platform::Application::sendActionToFrom("changeAttributes", nullptr, &colours);
    undo().closeAutomaticGroup();
    EXPECT_EQ(barColour(), QColor(Qt::blue));
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Scale Bar Text Style"));
    undo().undo();
    EXPECT_EQ(barColour(), QColor(Qt::black));

    // A locked bar keeps its text.
    bar->setLocked(true);
    undo().closeAutomaticGroup();
    const int steps = undo().numberOfUndoActions();
    item("Format", "Bold")->trigger();
    platform::Application::sendActionToFrom("changeAttributes", nullptr, &colours);
    undo().closeAutomaticGroup();
    EXPECT_FALSE(barFont().bold());
    EXPECT_EQ(barColour(), QColor(Qt::black));
    EXPECT_EQ(undo().numberOfUndoActions(), steps);
}

TEST_F(ScaleBarWindow, TheFontManagerKnowsTheSelectedBarsTextAndPanelEffectsArriveAsAttributes)
{
    platform::FontManager* fonts = platform::FontManager::sharedFontManager();
    EXPECT_EQ(fonts->selectedFont(), barFont());
    item("Format", "Bold")->trigger();
    undo().closeAutomaticGroup();
    ASSERT_TRUE(barFont().bold());
    EXPECT_TRUE(fonts->selectedFont().bold());
    item("Format", "Bold")->trigger(); // on a bold bar, Bold takes bold away
    undo().closeAutomaticGroup();
    EXPECT_FALSE(barFont().bold());
    EXPECT_EQ(undo().numberOfUndoActions(), 2);
    undo().undo();
    EXPECT_TRUE(barFont().bold());
    EXPECT_TRUE(fonts->selectedFont().bold()) << "undo tells the manager too";

    // Unit labels add italic to the bar's font; the title is bold and upright.
    const auto fontOf = [](const platform::TextAttributes& attributes) {
        return attributes.value(platform::kFontAttributeName).value<QFont>();
    };
    const QFont unitFont = fontOf(bar->labelAttributesWithTraits(platform::FontManager::ItalicFontMask));
    EXPECT_TRUE(unitFont.bold() && unitFont.italic());
    const QFont titleFont = fontOf(
        bar->labelAttributesWithTraits(platform::FontManager::BoldFontMask | platform::FontManager::UnitalicFontMask));
    EXPECT_TRUE(titleFont.bold() && !titleFont.italic());

    // The panel opens on the bar's font; its Underline box underlines the bar's text.
    QVariantMap attributes = bar->textAttributes();
    attributes.insert(platform::kFontAttributeName, QFont(QStringLiteral("DejaVu Serif"), 11, QFont::Bold));
    bar->setTextAttributes(attributes);
    undo().closeAutomaticGroup();
    const QImage plain = paintedImage({700, 600}, {}, [&] { bar->drawContent(); });
    item("Format", "Show Fonts")->trigger();
    QFontDialog* panel = fonts->fontPanel(false);
    ASSERT_TRUE(panel && panel->isVisible());
    EXPECT_EQ(panel->currentFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(panel->currentFont().pointSizeF(), 11.0);
    const int steps = undo().numberOfUndoActions();
    QFont underlined = panel->currentFont();
    underlined.setUnderline(true);
    panel->setCurrentFont(underlined);
    undo().closeAutomaticGroup();
    EXPECT_EQ(bar->textAttributes().value(platform::kUnderlineStyleAttributeName).toInt(), 1);
    EXPECT_EQ(barFont(), QFont(QStringLiteral("DejaVu Serif"), 11, QFont::Bold)) << "nothing else changes";
    EXPECT_EQ(undo().numberOfUndoActions(), steps + 1);
    EXPECT_EQ(undo().undoActionName(), QStringLiteral("Scale Bar Text Style"));
    EXPECT_NE(paintedImage({700, 600}, {}, [&] { bar->drawContent(); }), plain) << "the underline is drawn";
    underlined.setUnderline(false);
    panel->setCurrentFont(underlined);
    undo().closeAutomaticGroup();
    EXPECT_EQ(bar->textAttributes().value(platform::kUnderlineStyleAttributeName).toInt(), 0);
    EXPECT_EQ(paintedImage({700, 600}, {}, [&] { bar->drawContent(); }), plain);
    panel->hide();
}

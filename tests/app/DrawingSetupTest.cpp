// The drawing set-up dictionary: the unit and size rules, the document building it and applying
// it as a preview or as one undoable step, and the printer margins it may take off.

#include "MapDocumentTestSupport.h"

#include "app/utilities/DictionaryUtilities.h"
#include "app/setup/DrawingSetupSettings.h"
#include "app/setup/PaperMargins.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXIsometricGridLayer.h"
#include "support/LogCapture.h"

#include <QPageLayout>
#include <cmath>
#include <limits>

using mapdocumenttest::newMapDocument;

namespace {

const double kCentimetreFactor = 28.346456692913;

// A dictionary as the sheet holds it after a change into centimetres: the factor in single precision.
QVariantMap centimetreSettings()
{
    QVariantMap settings;
    settings.insert(kQVNDrawingSizeBaseValue, QSizeF(595, 842));
    setFloatValueForKey(settings, float(kCentimetreFactor), kQVNDrawingUnitConversionValue);
    settings.insert(kQVNDrawingSizeHorizontalValue, 21.0);
    settings.insert(kQVNDrawingSizeVerticalValue, 29.7);
    settings.insert(kQVNDrawingMarginTopValue, 1.0);
    settings.insert(kQVNDrawingMarginLeftValue, 1.5);
    settings.insert(kQVNDrawingMarginRightValue, 2.0);
    settings.insert(kQVNDrawingMarginBottomValue, 2.5);
    drawingsetup::setUnits(settings, ZQUnitLength::centimeters());
    return settings;
}

const QStringList kGridKeys{kQVNGridSpanMultiplierValue, kQVNGridDivisionsValue,      kQVNGridMajorsValue,
                            kQVNRulerLabelIntervalValue, kQVNGridSpanColourValue,     kQVNGridThemeColourValue,
                            kQVNGridDivisionsColourValue, kQVNGridMajorsColourValue,  kQVNPrintGridFlagValue,
                            kQVNGridVisibleValue,        kQVNGridLockedValue,         kQVNGridThemeSelectorValue,
                            kQVNGridTypeValue};

} // namespace

TEST(DrawingSetupRulesTest, ChangingUnitsRescalesSizesAndMarginsKeepingTheBaseSize)
{
    QVariantMap settings = centimetreSettings();
    const QVariantMap before = settings;
    drawingsetup::changeUnits(settings, ZQUnitLength::inches());
    const double oldFactor = double(float(kCentimetreFactor));
    for (const QString& key : {kQVNDrawingSizeHorizontalValue, kQVNDrawingSizeVerticalValue, kQVNDrawingMarginTopValue,
                               kQVNDrawingMarginLeftValue, kQVNDrawingMarginRightValue, kQVNDrawingMarginBottomValue})
        EXPECT_EQ(settings.value(key).toDouble(), before.value(key).toDouble() * oldFactor / 72) << qPrintable(key);
    EXPECT_EQ(settings.value(kQVNDrawingSizeBaseValue).toSizeF(), QSizeF(595, 842));
    EXPECT_EQ(settings.value(kQVNDrawingUnitConversionValue).toDouble(), 72.0);
    EXPECT_EQ(settings.value(kQVNDrawingUnitStringValue).toString(), ZQUnitLength::inches()->fullName());
    EXPECT_EQ(settings.value(kQVNDrawingUnitAbbreviatedStringValue).toString(), QStringLiteral("in"));

    // The same factor again changes no number.
    const QVariantMap inInches = settings;
    drawingsetup::changeUnits(settings, ZQUnitLength::inches());
    EXPECT_EQ(settings, inInches);
}

TEST(DrawingSetupRulesTest, AMapScaleFollowsTheUnitsAndSizeEditsRecomputeTheBaseSize)
{
    QVariantMap settings = centimetreSettings();
    drawingsetup::setMapScale(settings, VXQMapScale::defaultScale());
    const double ratio = VXQMapScale::defaultScale()->scale();
    drawingsetup::changeUnits(settings, ZQUnitLength::millimeters());
    const VXQMapScalePtr scale = drawingsetup::mapScale(settings);
    ASSERT_TRUE(scale);
    EXPECT_DOUBLE_EQ(scale->scale(), ratio);
    EXPECT_TRUE(scale->mapScaleWithReferenceUnits(ZQUnitLength::millimeters())->isEqualToMapScale(scale.get()));

    settings = centimetreSettings();
    ASSERT_TRUE(drawingsetup::editDrawingWidth(settings, 10.1));
    const double factor = double(float(kCentimetreFactor));
    EXPECT_EQ(settings.value(kQVNDrawingSizeHorizontalValue).toDouble(), double(10.1f));
    EXPECT_EQ(settings.value(kQVNDrawingSizeBaseValue).toSizeF(), QSizeF(double(10.1f) * factor, 842));
    EXPECT_EQ(settings.value(kQVNDrawingSizeCustomValue).toSizeF(), QSizeF(double(10.1f) * factor, 842));
    ASSERT_TRUE(drawingsetup::editDrawingHeight(settings, 5));
    EXPECT_EQ(settings.value(kQVNDrawingSizeBaseValue).toSizeF(), QSizeF(double(10.1f) * factor, 5 * factor));

    // Bad entries beep in the sheet and keep the old value.
    const QVariantMap kept = settings;
    for (const double bad : {0.0, -3.0, std::nan(""), 1e308, std::numeric_limits<double>::infinity(), 1e9}) {
        EXPECT_FALSE(drawingsetup::editDrawingWidth(settings, bad)) << bad;
        EXPECT_FALSE(drawingsetup::editDrawingHeight(settings, bad)) << bad;
    }
    for (const double bad : {-1.0, std::nan(""), 1e308, 6.0}) // 6 + 2 cm of margins fill 5 cm
        EXPECT_FALSE(drawingsetup::editMargin(settings, kQVNDrawingMarginTopValue, bad)) << bad;
    EXPECT_FALSE(drawingsetup::editMargin(settings, kQVNDrawingSizeHorizontalValue, 1));
    EXPECT_EQ(settings, kept);
    EXPECT_TRUE(drawingsetup::editMargin(settings, kQVNDrawingMarginTopValue, 0));
    EXPECT_FALSE(drawingsetup::isAcceptablePrescale(0));
    EXPECT_FALSE(drawingsetup::isAcceptableSpanMultiplier(std::nan("")));
    EXPECT_FALSE(drawingsetup::isAcceptableGridCount(0.5));
    EXPECT_TRUE(drawingsetup::isAcceptableGridCount(10));
}

TEST(DrawingSetupRulesTest, PrinterMarginsComeFromTheEdgesOfPaperAndPrintableArea)
{
    const QMarginsF margins = paperMarginsForEdges({-18, -18, 774, 594}, {0, 0, 756, 576});
    EXPECT_EQ(margins, QMarginsF(18, 18, 18, 18));
    // An imageable area reaching past the paper, or an absurd one, gives no negative border.
    EXPECT_EQ(paperMarginsForEdges({0, 0, 100, 100}, {-5, 10, 120, std::nan("")}), QMarginsF(10, 0, 0, 0));
    const QPageLayout letter(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(18, 20, 22, 24));
    EXPECT_EQ(paperMargins(letter), QMarginsF(18, 20, 22, 24));
}

TEST(DrawingSetupDocumentTest, TheDictionaryDescribesTheDrawingAndUnlocksItsGridQuietly)
{
    const auto document = newMapDocument();
    VXDrawing& drawing = *document->drawing();
    const std::shared_ptr<VXGridLayer> grid = drawing.gridLayer();
    ASSERT_TRUE(grid);
    grid->setLocked(true);
    drawing.setMarginsLeftTopRightBottom(10, 20, 30, 40);
    document->undoManager()->removeAllActions();

    const QVariantMap settings = document->dictionaryOfDrawingSettings();
    document->undoManager()->closeAutomaticGroup();
    EXPECT_FALSE(document->undoManager()->canUndo());
    EXPECT_FALSE(grid->locked());
    EXPECT_FALSE(boolValueForKey(settings, kQVNGridLockedValue));
    EXPECT_TRUE(boolValueForKey(settings, kQVNIndexGridMissing));
    EXPECT_FALSE(settings.contains(kQVNDrawingGridMissing));
    for (const QString& key : kGridKeys)
        EXPECT_TRUE(settings.contains(key)) << qPrintable(key);
    EXPECT_FALSE(settings.contains(kQVNGridIsoShowVerticalsFlagValue));
    const double factor = drawing.unitToPointsConversionFactor();
    EXPECT_EQ(settings.value(kQVNDrawingMarginBottomValue).toDouble(), double(float(40 / factor)));
    EXPECT_EQ(settings.value(kQVNDrawingSizeBaseValue).toSizeF(), drawing.drawingSize());
    EXPECT_EQ(settings.value(kQVNPaperColourImageNameValue).toString(), kQVNFixedColourTextureName);
    EXPECT_TRUE(drawingsetup::units(settings)->isEqualToUnit(drawing.units().get()));
    EXPECT_TRUE(drawingsetup::mapScale(settings)->isEqualToMapScale(document->mapScale().get()));

    // A texture's name travels with its tile; a drawing without grid says so and carries no grid keys.
    drawing.setPaperImage(QImage(8, 8, QImage::Format_RGB32));
    drawing.setPaperTextureName(QStringLiteral("Old Paper"));
    drawing.removeLayer(grid.get());
    const QVariantMap gridless = document->dictionaryOfDrawingSettings();
    EXPECT_EQ(gridless.value(kQVNPaperColourImageNameValue).toString(), QStringLiteral("Old Paper"));
    EXPECT_EQ(drawingsetup::paper(gridless).style(), Qt::TexturePattern);
    EXPECT_TRUE(boolValueForKey(gridless, kQVNDrawingGridMissing));
    for (const QString& key : kGridKeys)
        EXPECT_FALSE(gridless.contains(key)) << qPrintable(key);
    document->performDrawingSetUpWithOptionsIsPreviewOrCancel(gridless, false);
    EXPECT_FALSE(drawing.gridLayer());
}

TEST(DrawingSetupDocumentTest, ACommitIsOneUndoStepAndPreviewsAndCancelsRegisterNothing)
{
    const auto document = newMapDocument();
    VXDrawing& drawing = *document->drawing();
    ZQUndoManager& undo = *document->undoManager();
    undo.removeAllActions();
    const QVariantMap original = document->dictionaryOfDrawingSettings();
    const QSizeF originalSize = drawing.drawingSize();

    QVariantMap edited = original;
    ASSERT_TRUE(drawingsetup::editDrawingWidth(edited, 10));
    edited.insert(kQVNGridTypeValue, 1);
    setBoolValueForKey(edited, false, kQVNGridIsoShowVerticalsFlagValue);
    edited.insert(kQVNPaperColourValue, QBrush(Qt::yellow));
    document->performDrawingSetUpWithOptionsIsPreviewOrCancel(edited, true);
    undo.closeAutomaticGroup();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(drawing.gridType(), 1);
    EXPECT_EQ(drawing.paperColour(), QColor(Qt::yellow));
    document->performDrawingSetUpWithOptionsIsPreviewOrCancel(original, true);
    undo.closeAutomaticGroup();
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(drawing.gridType(), 0);
    EXPECT_EQ(drawing.drawingSize(), originalSize);

    const double spans = drawing.gridLayer()->spanMultiplier();
    document->performDrawingSetUpWithOptionsIsPreviewOrCancel(edited, false);
    undo.closeAutomaticGroup();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Drawing Setup"));
    const QSizeF editedSize = drawing.drawingSize();
    EXPECT_DOUBLE_EQ(editedSize.width(), 10 * drawing.unitToPointsConversionFactor());
    auto* isometric = qobject_cast<VXIsometricGridLayer*>(drawing.gridLayer().get());
    ASSERT_TRUE(isometric);
    EXPECT_FALSE(isometric->showsVerticals());
    EXPECT_EQ(isometric->spanMultiplier(), spans);
    EXPECT_TRUE(isometric->locked());

    undo.undo();
    EXPECT_EQ(drawing.drawingSize(), originalSize);
    EXPECT_EQ(drawing.gridType(), 0);
    EXPECT_EQ(drawing.paperColour(), QColor(Qt::white));
    undo.redo();
    EXPECT_EQ(drawing.drawingSize(), editedSize);
    EXPECT_EQ(drawing.gridType(), 1);
    EXPECT_EQ(drawing.paperColour(), QColor(Qt::yellow));
    undo.undo();
    EXPECT_EQ(drawing.drawingSize(), originalSize);

    // The sheet's handlers handed nothing log it and leave the drawing alone.
    const testsupport::LogCapture log;
    EXPECT_NO_THROW(document->performDrawingSetUpWithOptionsIsPreviewOrCancel({}, true));
    EXPECT_NO_THROW(document->performDrawingPreviewWithOptions({}));
    EXPECT_TRUE(log.contains(QStringLiteral("settings dictionary was nil")));
    EXPECT_EQ(drawing.drawingSize(), originalSize);
}

TEST(DrawingSetupDocumentTest, TheSubtractFlagTakesThePrinterMarginsOffAndMarginsAreSingleProducts)
{
    const auto document = newMapDocument();
    document->setPrintInfo(QPageLayout(QPageSize(QSizeF(612, 792), QPageSize::Point), QPageLayout::Portrait,
                                       QMarginsF(18, 18, 18, 18)));
    QVariantMap settings = document->dictionaryOfDrawingSettings();
    settings.insert(kQVNDrawingSizeBaseValue, QSizeF(612, 792));
    setBoolValueForKey(settings, true, kQVNSubtractPaperMargins);
    setFloatValueForKey(settings, float(kCentimetreFactor), kQVNDrawingUnitConversionValue);
    settings.insert(kQVNDrawingMarginLeftValue, 1.5);
    settings.insert(kQVNDrawingMarginTopValue, 0.7);
    document->performDrawingSetUpWithOptionsIsPreviewOrCancel(settings, false);
    const VXDrawing& drawing = *document->drawing();
    EXPECT_EQ(drawing.drawingSize(), QSizeF(576, 756));
    EXPECT_EQ(drawing.leftMargin(), double(1.5f * float(kCentimetreFactor)));
    EXPECT_EQ(drawing.topMargin(), double(0.7f * float(kCentimetreFactor)));

    // Printer margins that leave nothing keep the drawing's size.
    document->setPrintInfo(QPageLayout(QPageSize(QSizeF(612, 792), QPageSize::Point), QPageLayout::Portrait,
                                       QMarginsF(300, 18, 312, 18)));
    settings.insert(kQVNDrawingSizeBaseValue, QSizeF(600, 792));
    document->performDrawingSetUpWithOptionsIsPreviewOrCancel(settings, false);
    EXPECT_EQ(drawing.drawingSize(), QSizeF(576, 756));
    EXPECT_DOUBLE_EQ(document->prescale(), floatValueForKey(settings, kQVNDocumentPrescale));
}

namespace {

// An index grid as the furniture library makes it: a grid that is not the master grid.
class IndexLikeGrid : public VXGridLayer {
public:
    bool isMasterGrid() const override { return false; }
};

} // namespace

TEST(DrawingSetupDocumentTest, AnIndexGridStandingInForGraphPaperKeepsItsOwnLock)
{
    const auto document = newMapDocument();
    VXDrawing& drawing = *document->drawing();
    drawing.removeLayer(drawing.gridLayer().get());
    auto index = std::make_shared<IndexLikeGrid>();
    drawing.addLayer(index);
    ASSERT_EQ(drawing.gridLayer(), index);

    QVariantMap settings = document->dictionaryOfDrawingSettings();
    EXPECT_FALSE(boolValueForKey(settings, kQVNGridLockedValue));
    document->performDrawingSetUpWithOptionsIsPreviewOrCancel(settings, false);
    EXPECT_FALSE(index->locked());

    index->setLocked(true);
    settings = document->dictionaryOfDrawingSettings();
    EXPECT_TRUE(index->locked());
    EXPECT_TRUE(boolValueForKey(settings, kQVNGridLockedValue));
}

// The set-up sheet's logic against a delegate that records what it is sent, and against a real
// map document for undo and defaults.

#include "app/utilities/DictionaryUtilities.h"
#include "app/setup/DrawingSetupSheet.h"
#include "app/services/WindowServices.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "windows/setup/DrawingSetupModel.h"

#include <gtest/gtest.h>
#include <cmath>
#include <utility>

namespace {

struct Sent {
    QVariantMap settings;
    bool previewOrCancel;
};

class RecordingDelegate : public DrawingSetupDelegate {
public:
    QVariantMap dictionaryOfDrawingSettings() override { return given; }
    void performDrawingSetUpWithOptionsIsPreviewOrCancel(const QVariantMap& settings, bool flag) override
    {
        sent.append({settings, flag});
    }

    QVariantMap given;
    QList<Sent> sent;
};

QVariantMap documentLikeSettings(bool withGrid)
{
    QVariantMap settings;
    settings.insert(kQVNDrawingSizeBaseValue, QSizeF(595, 842));
    settings.insert(kQVNDrawingUnitConversionValue, 28.346456692913);
    drawingsetup::setUnits(settings, ZQUnitLength::centimeters());
    settings.insert(kQVNDrawingSizeHorizontalValue, 21.0);
    settings.insert(kQVNDrawingSizeVerticalValue, 29.7);
    for (const QString& key : {kQVNDrawingMarginTopValue, kQVNDrawingMarginLeftValue, kQVNDrawingMarginRightValue,
                               kQVNDrawingMarginBottomValue})
        settings.insert(key, 1.0);
    settings.insert(kQVNPaperColourValue, QBrush(Qt::white));
    settings.insert(kQVNPaperColourImageNameValue, kQVNFixedColourTextureName);
    setFloatValueForKey(settings, 1.0f, kQVNDocumentPrescale);
    if (withGrid) {
        settings.insert(kQVNGridThemeSelectorValue, 1);
        settings.insert(kQVNGridLockedValue, false);
        settings.insert(kQVNGridDivisionsValue, 10);
    } else {
        settings.insert(kQVNDrawingGridMissing, true);
    }
    drawingsetup::setMapScale(settings, VXQMapScale::defaultScale());
    settings.insert(kQVNIndexGridMissing, true);
    return settings;
}

} // namespace

TEST(DrawingSetupModelTest, PagesFollowTheGridsAndControlsFollowSelectorAndLock)
{
    RecordingDelegate delegate;
    delegate.given = documentLikeSettings(false);
    DrawingSetupModel model;
    model.setDelegate(&delegate);
    EXPECT_EQ(model.beginWithInitialPage(DrawingSetupModel::kGraphPaperPage), DrawingSetupModel::kDrawingPage);
    EXPECT_EQ(intValueForKey(model.currentSettings(), kQVNInitialPageIndexKey), 0);
    EXPECT_FALSE(model.hasDrawingGrid());
    EXPECT_FALSE(model.maySelectPage(DrawingSetupModel::kIndexGridPage));
    EXPECT_TRUE(delegate.sent.isEmpty());

    delegate.given = documentLikeSettings(true);
    EXPECT_EQ(model.beginWithInitialPage(DrawingSetupModel::kGraphPaperPage), DrawingSetupModel::kGraphPaperPage);
    EXPECT_EQ(model.beginWithInitialPage(DrawingSetupModel::kIndexGridPage), DrawingSetupModel::kDrawingPage);
    EXPECT_EQ(model.beginWithInitialPage(7), DrawingSetupModel::kDrawingPage);
    // The map scale leaves the working copy while the sheet holds it.
    EXPECT_FALSE(model.currentSettings().contains(kQVNMapScaleInfoKey));
    EXPECT_TRUE(model.dictionaryOfCurrentDialogSettings().contains(kQVNMapScaleInfoKey));

    model.setThemeSelector(DrawingSetupModel::kThemeColourSelector);
    auto states = model.controlStates();
    EXPECT_TRUE(states.themeWell);
    EXPECT_FALSE(states.separateWells);
    EXPECT_TRUE(states.gridControls);
    model.setThemeSelector(3);
    states = model.controlStates();
    EXPECT_FALSE(states.themeWell);
    EXPECT_TRUE(states.separateWells);
    delegate.given.insert(kQVNGridLockedValue, true);
    model.beginWithInitialPage(0);
    states = model.controlStates();
    EXPECT_FALSE(states.themeWell || states.separateWells || states.gridControls);
}

TEST(DrawingSetupModelTest, PreviewRoutingApplyOkAndCancelSendWhatTheDocumentExpects)
{
    RecordingDelegate delegate;
    delegate.given = documentLikeSettings(true);
    DrawingSetupModel model;
    model.setDelegate(&delegate);
    model.beginWithInitialPage(0);
    const QVariantMap original = delegate.given;

    ASSERT_TRUE(model.setDrawingWidth(10));
    ASSERT_EQ(delegate.sent.size(), 1);
    EXPECT_TRUE(delegate.sent[0].previewOrCancel);
    EXPECT_EQ(delegate.sent[0].settings.value(kQVNDrawingSizeHorizontalValue).toDouble(), 10.0);
    EXPECT_TRUE(delegate.sent[0].settings.contains(kQVNMapScaleInfoKey));
    EXPECT_FALSE(model.applyEnabled());

    // Preview off restores the original and enables Apply; edits then keep sending it.
    model.setPreviewEnabled(false);
    EXPECT_TRUE(model.applyEnabled());
    ASSERT_EQ(delegate.sent.size(), 2);
    EXPECT_EQ(delegate.sent[1].settings, original);
    EXPECT_TRUE(delegate.sent[1].previewOrCancel);
    model.setGridVisible(false);
    EXPECT_EQ(delegate.sent.last().settings, original);

    // Prescale and both printed flags never preview; refused values send nothing either.
    const qsizetype count = delegate.sent.size();
    EXPECT_TRUE(model.setPrescale(2));
    model.setGridPrinted(true);
    model.setPaperPrinted(true);
    EXPECT_FALSE(model.setDrawingHeight(0));
    EXPECT_FALSE(model.setDivisions(2.5));
    EXPECT_FALSE(model.setSpanMultiplier(-1));
    EXPECT_FALSE(model.setPaperImage(QImage()));
    EXPECT_EQ(delegate.sent.size(), count);

    model.endWithCode(1);
    EXPECT_FALSE(delegate.sent.last().previewOrCancel);
    EXPECT_EQ(delegate.sent.last().settings.value(kQVNDocumentPrescale).toDouble(), 2.0);
    EXPECT_TRUE(delegate.sent.last().settings.contains(kQVNMapScaleInfoKey));
    model.endWithCode(0);
    EXPECT_EQ(delegate.sent.last().settings, original);
    EXPECT_TRUE(delegate.sent.last().previewOrCancel);
    model.endWithCode(5);
    EXPECT_EQ(delegate.sent.size(), count + 2);

    // Apply commits, and what it committed is what Cancel goes back to from then on.
    model.apply();
    EXPECT_FALSE(delegate.sent.last().previewOrCancel);
    const QVariantMap applied = delegate.sent.last().settings;
    model.endWithCode(0);
    EXPECT_EQ(delegate.sent.last().settings, applied);
}

TEST(DrawingSetupModelTest, PaperColourImageAndTexturesKeepNameAndPaperTogether)
{
    RecordingDelegate delegate;
    delegate.given = documentLikeSettings(true);
    DrawingSetupModel model;
    model.setDelegate(&delegate);
    model.beginWithInitialPage(0);

    QImage tile(4, 4, QImage::Format_RGB32);
    tile.fill(Qt::darkYellow);
    model.applyTexture(QBrush(tile));
    model.setBackgroundTextureName(QStringLiteral("Old Paper"));
    EXPECT_EQ(model.currentBackgroundTextureName(), QStringLiteral("Old Paper"));
    EXPECT_EQ(model.currentBackgroundTexture().style(), Qt::TexturePattern);
    model.setPaperColour(Qt::cyan);
    EXPECT_EQ(model.currentBackgroundTextureName(), kQVNFixedColourTextureName);
    EXPECT_EQ(model.currentBackgroundTexture().color(), QColor(Qt::cyan));
    ASSERT_TRUE(model.setPaperImage(tile));
    EXPECT_FALSE(model.currentSettings().contains(kQVNPaperColourImageNameValue));
    model.applyTexture(QBrush());
    model.setBackgroundTextureName(QString());
    EXPECT_EQ(model.currentBackgroundTexture().color(), QColor(Qt::white));
    EXPECT_FALSE(model.currentSettings().contains(kQVNPaperColourImageNameValue));

    EXPECT_EQ(DrawingSetupModel::lighterColour(QColor(0, 50, 255), 0.2).rgb(), qRgb(51, 91, 255));
    EXPECT_EQ(DrawingSetupModel::darkerColour(QColor(90, 60, 30), 1.0 / 3).rgb(), qRgb(60, 40, 20));
}

// The document's own sheet, made through the window services, as a bare model.
class ModelSheet : public DrawingSetupSheet, public DrawingSetupDelegate {
public:
    void beginDialogWithParentWindowDelegateInitialPage(QWidget*, ZQQuorvaneDocument* delegate, int page) override
    {
        document = delegate;
        model.setDelegate(this);
        model.beginWithInitialPage(page);
    }
    QVariantMap originalSettings() const override { return model.originalSettings(); }
    QVariantMap dictionaryOfDrawingSettings() override { return document->dictionaryOfDrawingSettings(); }
    void performDrawingSetUpWithOptionsIsPreviewOrCancel(const QVariantMap& settings, bool flag) override
    {
        document->performDrawingSetUpWithOptionsIsPreviewOrCancel(settings, flag);
    }

    DrawingSetupModel model;
    ZQQuorvaneDocument* document = nullptr;
};

TEST(DrawingSetupModelTest, WithADocumentApplyIsUndoneToTheLastApplyAndDefaultsAreInPoints)
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    ASSERT_TRUE(document->initWithTypeError(kZQMapDocumentType, nullptr));
    auto sheet = std::make_shared<ModelSheet>();
    auto& makeSheet = WindowServices::installed().makeDrawingSetupSheet;
    const auto installed = std::exchange(makeSheet, [sheet] { return sheet; });
    document->openDrawingSizePanel(nullptr);
    makeSheet = installed;
    ASSERT_EQ(sheet->document, document.get());
    DrawingSetupModel& model = sheet->model;
    ZQUndoManager& undo = *document->undoManager();
    undo.removeAllActions();
    const double factor = document->drawing()->unitToPointsConversionFactor();

    // Each Apply is a step back to the one before, though the preview showed every edit at once.
    ASSERT_TRUE(model.setDrawingWidth(10));
    model.apply();
    undo.closeAutomaticGroup();
    ASSERT_TRUE(model.setDrawingWidth(12));
    model.apply();
    undo.closeAutomaticGroup();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Drawing Setup"));
    EXPECT_DOUBLE_EQ(document->drawing()->drawingSize().width(), 12 * factor);
    undo.undo();
    EXPECT_DOUBLE_EQ(document->drawing()->drawingSize().width(), 10 * factor);
    undo.redo();
    EXPECT_DOUBLE_EQ(document->drawing()->drawingSize().width(), 12 * factor);

    // Cancel after previewing puts the drawing back and adds no step.
    ASSERT_TRUE(model.setDrawingHeight(3));
    EXPECT_DOUBLE_EQ(document->drawing()->drawingSize().height(), double(3.0f) * factor);
    model.endWithCode(0);
    undo.closeAutomaticGroup();
    EXPECT_DOUBLE_EQ(document->drawing()->drawingSize().width(), 12 * factor);
    EXPECT_NE(document->drawing()->drawingSize().height(), double(3.0f) * factor);
    undo.undo();
    EXPECT_DOUBLE_EQ(document->drawing()->drawingSize().width(), 10 * factor);

    model.setUnits(ZQUnitLength::inches());
    ASSERT_TRUE(model.setMargin(kQVNDrawingMarginLeftValue, 0.5));
    model.setAsDefault();
    EXPECT_DOUBLE_EQ(ZQQuorvaneDocument::defaultDrawingMargins().left(), 36.0);
    EXPECT_TRUE(ZQQuorvaneDocument::defaultDrawingUnits()->isEqualToUnit(ZQUnitLength::inches().get()));
    for (const QString& key : {kVXDocumentDefaultSize, kVXDocumentDefaultMargins, kVXDocumentDefaultDrawingScale_Quorvane2,
                               kVXDocumentDrawingUnitsDefault, kVXDocumentPrescaleDefault})
        platform::UserDefaults::standardUserDefaults()->removeObjectForKey(key);
}

// The set-up sheet on a map document's window, driven through its controls.

#include "app/utilities/DictionaryUtilities.h"
#include "app/services/WindowServices.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "widgets/fields/SliderAndStepper.h"
#include "widgets/previews/ZQDocumentPreviewView.h"
#include "windows/setup/QVNDrawingGridController.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>

namespace {

void typeInto(QLineEdit* field, const QString& text)
{
    field->setText(text);
    Q_EMIT field->editingFinished();
}

std::shared_ptr<ZQTrueQuorvaneDocument> newMapDocument()
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, nullptr));
    return document;
}

} // namespace

TEST(DrawingSetupSheetTest, EditsPreviewUnitsConvertApplyUndoesAndCancelRestores)
{
    const auto document = newMapDocument();
    QWidget window;
    auto sheet = std::make_shared<QVNDrawingGridController>();
    sheet->beginDialogWithParentWindowDelegateInitialPage(&window, document.get(), 1);
    ASSERT_TRUE(sheet->window()->isVisible());
    EXPECT_EQ(sheet->tabView()->currentIndex(), 1);
    ZQUndoManager& undo = *document->undoManager();
    undo.removeAllActions();
    VXDrawing& drawing = *document->drawing();
    const QSizeF original = drawing.drawingSize();
    const double factor = drawing.unitToPointsConversionFactor();

    typeInto(sheet->widthField(), QStringLiteral("10 cm"));
    EXPECT_DOUBLE_EQ(drawing.drawingSize().width(), 10 * factor);
    typeInto(sheet->widthField(), QStringLiteral("wide"));
    typeInto(sheet->heightField(), QStringLiteral("-4"));
    EXPECT_EQ(sheet->widthField()->text(), QStringLiteral("10 cm"));
    EXPECT_DOUBLE_EQ(drawing.drawingSize().width(), 10 * factor);
    EXPECT_EQ(drawing.drawingSize().height(), original.height());

    const int inches = sheet->unitsPopUp()->findText(ZQUnitLength::inches()->fullName());
    sheet->unitsPopUp()->setCurrentIndex(inches);
    Q_EMIT sheet->unitsPopUp()->activated(inches);
    EXPECT_TRUE(sheet->widthField()->text().endsWith(QStringLiteral(" in")));
    EXPECT_NEAR(QLocale::c().toDouble(sheet->widthField()->text().section(' ', 0, 0)), 10 / 2.54, 0.005);
    EXPECT_TRUE(sheet->marginField(kQVNDrawingMarginTopValue)->text().endsWith(QStringLiteral(" in")));

    sheet->previewCheckBox()->setChecked(false);
    EXPECT_EQ(drawing.drawingSize(), original);
    EXPECT_TRUE(sheet->applyButton()->isEnabled());
    sheet->applyButton()->click();
    undo.closeAutomaticGroup();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Drawing Setup"));
    EXPECT_NEAR(drawing.drawingSize().width(), 10 * factor, 1e-3);
    // Graph paper is locked again on Apply; a map's index grid keeps its own lock.
    EXPECT_EQ(drawing.gridLayer()->locked(), drawing.gridLayer()->isMasterGrid());

    typeInto(sheet->heightField(), QStringLiteral("5"));
    sheet->cancelButtonAction(nullptr);
    undo.closeAutomaticGroup();
    EXPECT_FALSE(sheet->window()->isVisible());
    EXPECT_NEAR(drawing.drawingSize().width(), 10 * factor, 1e-3);
    EXPECT_EQ(drawing.drawingSize().height(), original.height());
    undo.undo();
    EXPECT_EQ(drawing.drawingSize(), original);

    // A bad picture file beeps and keeps the paper; a drawing without grid opens on page 0.
    QTemporaryDir folder;
    QFile junk(folder.filePath(QStringLiteral("junk.png")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("no picture here");
    junk.close();
    drawing.removeLayer(drawing.gridLayer().get());
    sheet->beginDialogWithParentWindowDelegateInitialPage(&window, document.get(), 1);
    EXPECT_FALSE(sheet->takePaperImageFromFile(junk.fileName()));
    EXPECT_EQ(drawingsetup::paper(sheet->model().currentSettings()).style(), Qt::SolidPattern);
    EXPECT_EQ(sheet->tabView()->currentIndex(), 0);
    EXPECT_EQ(sheet->tabView()->count(), 1);
    EXPECT_FALSE(sheet->selectTab(2));
    sheet->okButtonAction(nullptr);
    EXPECT_FALSE(sheet->window()->isVisible());
}

TEST(DrawingSetupSheetTest, MapScaleAndPrescaleChangeFromTheSheetAndUndoRestoresThem)
{
    const auto document = newMapDocument();
    // Opened as File > Drawing Setup does, so the document's undo starts from the sheet's opening.
    auto sheet = std::make_shared<QVNDrawingGridController>();
    auto& makeSheet = WindowServices::installed().makeDrawingSetupSheet;
    const auto installed = std::exchange(makeSheet, [sheet] { return sheet; });
    document->openDrawingSizePanel(nullptr);
    makeSheet = installed;
    ZQUndoManager& undo = *document->undoManager();
    undo.removeAllActions();
    const double originalRatio = document->mapScale()->scale();
    const double originalPrescale = document->prescale();
    ASSERT_NE(originalRatio, 50000.0);

    // Sizes read as rounded lengths; leaving a field untouched does not store the rounded number.
    static const QRegularExpression rounded(QStringLiteral("^[0-9]+(\\.[0-9]{1,2})? [a-z]+$"));
    EXPECT_TRUE(rounded.match(sheet->widthField()->text()).hasMatch()) << sheet->widthField()->text().toStdString();
    const QSizeF size = document->drawing()->drawingSize();
    Q_EMIT sheet->widthField()->editingFinished();
    EXPECT_EQ(document->drawing()->drawingSize(), size);

    QComboBox* scales = sheet->calibrationController()->mapScalePopUpButton();
    const int preset = scales->findData(qint64(50000), QVNCalibrationController::kTagRole);
    ASSERT_GE(preset, 0);
    scales->setCurrentIndex(preset);
    Q_EMIT scales->activated(preset);
    EXPECT_DOUBLE_EQ(document->mapScale()->scale(), 50000.0); // previewed

    typeInto(sheet->prescaleField(), QStringLiteral("2"));
    sheet->prescaleStepper()->stepBy(1);
    EXPECT_EQ(sheet->prescaleField()->text(), QStringLiteral("2.05"));
    sheet->prescaleStepper()->stepBy(1000);
    EXPECT_EQ(sheet->prescaleField()->text(), QStringLiteral("10"));
    typeInto(sheet->prescaleField(), QStringLiteral("1.5"));
    EXPECT_DOUBLE_EQ(sheet->prescaleStepper()->doubleValue(), 1.5);

    sheet->okButtonAction(nullptr);
    undo.closeAutomaticGroup();
    EXPECT_DOUBLE_EQ(document->mapScale()->scale(), 50000.0);
    EXPECT_DOUBLE_EQ(document->prescale(), 1.5);
    undo.undo();
    EXPECT_DOUBLE_EQ(document->mapScale()->scale(), originalRatio);
    EXPECT_DOUBLE_EQ(document->prescale(), originalPrescale);
    undo.redo();
    EXPECT_DOUBLE_EQ(document->mapScale()->scale(), 50000.0);
}

TEST(DrawingSetupSheetTest, ATexturedPaperShowsOnThePagePreviewAndTheImageSwatch)
{
    const auto document = newMapDocument();
    QWidget window;
    auto sheet = std::make_shared<QVNDrawingGridController>();
    sheet->beginDialogWithParentWindowDelegateInitialPage(&window, document.get(), 0);
    EXPECT_TRUE(sheet->paperImageButton()->icon().isNull());

    QImage tile(8, 8, QImage::Format_ARGB32);
    tile.fill(QColor(200, 30, 40));
    sheet->textureControllerApplyTexture(sheet->textureController(), QBrush(tile));
    EXPECT_FALSE(sheet->paperImageButton()->icon().isNull());
    ZQDocumentPreviewView* preview = sheet->pagePreview();
    preview->resize(180, 180);
    const QImage shown = preview->grab().toImage();
    EXPECT_EQ(shown.pixelColor(preview->pageRect().center().toPoint()), QColor(200, 30, 40));

    sheet->textureControllerApplyTexture(sheet->textureController(), QBrush());
    EXPECT_TRUE(sheet->paperImageButton()->icon().isNull());
    EXPECT_EQ(preview->grab().toImage().pixelColor(preview->pageRect().center().toPoint()), QColor(Qt::white));
    sheet->cancelButtonAction(nullptr);
}

TEST(DrawingSetupSheetTest, ARefusedGroundLengthShowsItsWholeReasonInTheSheet)
{
    const auto document = newMapDocument();
    QWidget window;
    auto sheet = std::make_shared<QVNDrawingGridController>();
    sheet->beginDialogWithParentWindowDelegateInitialPage(&window, document.get(), 0);
    QDialog* dialog = sheet->window();
    ASSERT_TRUE(dialog->isVisible());
    dialog->resize(dialog->minimumSize()); // as tight as it may open
    QApplication::processEvents();
    QLabel* reason = sheet->calibrationController()->mapLegendPreviewTextLabel();
    const int oneLine = reason->height();

    QLineEdit* ground = sheet->calibrationController()->mapMeasureTextField();
    ground->setText(QStringLiteral("abc"));
    ground->setModified(true);
    Q_EMIT ground->editingFinished();
    QApplication::processEvents();
    ASSERT_TRUE(reason->text().contains(QStringLiteral("“abc” is not a length")));
    // Several lines, every one of them shown, and the rows above keep their height.
    EXPECT_GT(reason->heightForWidth(reason->width()), oneLine);
    EXPECT_GE(reason->height(), reason->heightForWidth(reason->width()));
    EXPECT_GE(ground->height(), ground->minimumSizeHint().height());
    sheet->cancelButtonAction(nullptr);
}

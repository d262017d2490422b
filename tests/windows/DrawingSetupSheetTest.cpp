// The set-up sheet on a map document's window, driven through its controls.

#include "app/DictionaryUtilities.h"
#include "app/ZQTrueQuorvaneDocument.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "windows/setup/QVNDrawingGridController.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void typeInto(QLineEdit* field, const QString& text)
{
    field->setText(text);
    Q_EMIT field->editingFinished();
}

} // namespace

TEST(DrawingSetupSheetTest, EditsPreviewUnitsConvertApplyUndoesAndCancelRestores)
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    ASSERT_TRUE(document->initWithTypeError(kZQMapDocumentType, nullptr));
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
    EXPECT_NEAR(QLocale::c().toDouble(sheet->widthField()->text().section(' ', 0, 0)), 10 / 2.54, 1e-4);
    EXPECT_TRUE(sheet->marginField(kQVNDrawingMarginTopValue)->text().endsWith(QStringLiteral(" in")));

    sheet->previewCheckBox()->setChecked(false);
    EXPECT_EQ(drawing.drawingSize(), original);
    EXPECT_TRUE(sheet->applyButton()->isEnabled());
    sheet->applyButton()->click();
    undo.closeAutomaticGroup();
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Drawing Setup"));
    EXPECT_NEAR(drawing.drawingSize().width(), 10 * factor, 1e-3);
    EXPECT_TRUE(drawing.gridLayer()->locked());

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

#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "panels/dialogs/DocumentExport.h"
#include "panels/dialogs/ExportSheetRules.h"
#include "panels/dialogs/ExportSourcesTableModel.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "platform/vantrix/model/VXLayerGroup.h"

#include <QAbstractItemModelTester>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace exportsheet;

namespace {

TEST(ExportSheetRules, FormatsSourcesAndNamingEnableTheirControls)
{
    for (qint64 format = kVLTMExportNative; format <= kVLTMExportPNG; ++format) {
        const ControlStates states = controlStates(kVLTMExportLayers, format, kVLTMNameRootAndIndex);
        EXPECT_EQ(states.qualityEnabled, format == kVLTMExportJPEG) << format;
        EXPECT_EQ(states.transparencyEnabled, format == kVLTMExportTIFF || format == kVLTMExportPNG) << format;
        EXPECT_EQ(states.bitmapSettingsEnabled, format >= 0) << format;
    }
    for (int source : {kVLTMExportDrawing, kVLTMExportNothing, kVLTMExportLayers, kVLTMExportSlices,
                       kVLTMExportSelection}) {
        const ControlStates states = controlStates(source, kVLTMExportPNG, kVLTMNameRootAndIndex);
        EXPECT_EQ(states.nativeFormatEnabled, source == kVLTMExportSlices) << source;
        EXPECT_EQ(states.layersMenuShown, source == kVLTMExportSelection) << source;
        // One drawing makes one file: no numbering, whatever the naming says.
        EXPECT_EQ(states.firstIndexEnabled, source != kVLTMExportDrawing) << source;
        EXPECT_EQ(states.namingBySourceEnabled, source != kVLTMExportDrawing) << source;
        EXPECT_EQ(states.checkedNamingButton, source == kVLTMExportDrawing ? kVLTMNameRootOnly : kVLTMNameRootAndIndex)
            << source;
        EXPECT_EQ(formatForSourceType(source, kVLTMExportNative),
                  source == kVLTMExportSlices ? kVLTMExportNative : kVLTMExportPDF);
        EXPECT_EQ(formatForSourceType(source, kVLTMExportJPEG), kVLTMExportJPEG);
    }
    EXPECT_EQ(controlStates(kVLTMExportLayers, 4, kVLTMNameRootAndName).checkedNamingButton, 2);
    EXPECT_FALSE(controlStates(kVLTMExportLayers, 4, kVLTMNameRootAndName).firstIndexEnabled);
    EXPECT_EQ(controlStates(kVLTMExportLayers, 4, kVLTMNameRootOnly).checkedNamingButton, 0);
    EXPECT_EQ(controlStates(kVLTMExportLayers, 4, kVLTMNameIndexToken).checkedNamingButton, -1);
    EXPECT_EQ(controlStates(kVLTMExportLayers, 4, kVLTMNameNameToken).checkedNamingButton, -1);
}

TEST(ExportSheetRules, PrintableLayersSizesAndColumns)
{
    VXDrawingPtr drawing = VXDrawing::drawingWithSize({300, 200});
    auto top = std::make_shared<VXObjectDrawingLayer>(), inGroup = std::make_shared<VXObjectDrawingLayer>();
    auto guides = std::make_shared<VXGuideLayer>();
    auto grid = std::make_shared<VXGridLayer>();
    auto group = std::make_shared<VXLayerGroup>();
    top->setShouldDrawToPrinter(false); // object layers are listed whatever their flag
    guides->setShouldDrawToPrinter(false);
    grid->setShouldDrawToPrinter(true);
    group->addLayer(inGroup);
    drawing->addLayer(grid);
    drawing->addLayer(guides);
    drawing->addLayer(group);
    drawing->addLayer(top);
    EXPECT_EQ(printableLayers(*drawing), (QList<ZQObjectPtr>{top, inGroup, grid}));
    grid->setShouldDrawToPrinter(false);
    EXPECT_EQ(printableLayers(*drawing), (QList<ZQObjectPtr>{top, inGroup}));

    EXPECT_EQ(exportSizeString(top.get(), 1), QStringLiteral("300 x 200 px"));
    EXPECT_EQ(exportSizeString(drawing.get(), 0.5), QStringLiteral("150 x 100 px"));
    auto slice = std::make_shared<VXQSlice>();
    slice->setBounds({10, 10, 100, 50});
    EXPECT_EQ(exportSizeString(slice.get(), 2), QStringLiteral("200 x 100 px"));
    auto shape = VXDrawableShape::drawableShapeWithRect({0, 0, 10.2, 3}, VXStyle::styleWithFillColourStrokeColour(Qt::red, QColor()));
    EXPECT_EQ(exportSizeString(shape.get(), 1), QStringLiteral("11 x 3 px"));
    EXPECT_EQ(exportSizeString(nullptr, 3), QStringLiteral("0 x 0 px"));

    EXPECT_EQ(keyPathForColumnIdentifier(kNameColumn, kVLTMExportLayers), QStringLiteral("layerName"));
    EXPECT_EQ(keyPathForColumnIdentifier(kCheckColumn, kVLTMExportDrawing), QStringLiteral("visible"));
    EXPECT_EQ(keyPathForColumnIdentifier(kNameColumn, kVLTMExportSlices), QStringLiteral("name"));
    EXPECT_EQ(keyPathForColumnIdentifier(kNameColumn, kVLTMExportSelection), QStringLiteral("name"));
    EXPECT_TRUE(keyPathForColumnIdentifier(kNameColumn, kVLTMExportNothing).isEmpty());
}

// --- The sheet on a map document ------------------------------------------------------------------------

class ExportSheetOnADocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        QuorvaneError error;
        ASSERT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
        exporting = DocumentExport::ofDocument(*document);
        layer = qobject_cast<VXQMappingLayer*>(document->activeLayer());
        slices = VLTMSlicesLayer::slicesLayerOfDrawing(document->drawing().get());
        grid = document->drawing()->gridLayer();
        ASSERT_TRUE(exporting && layer && slices && grid);
        ASSERT_TRUE(folder.isValid());
        layer->addObject(VXDrawableShape::drawableShapeWithRect({10, 10, 30, 20}, VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black)));
        for (const QRectF& bounds : {QRectF(0, 0, 40, 20), QRectF(50, 0, 30, 30)})
            slices->addNewSlice()->setBounds(bounds);
        auto operation = VLTMExportOperation::exportOperation();
        operation->setFolderURL(QUrl::fromLocalFile(folder.path()));
        operation->setShowInFinder(false);
        operation->setFormat(kVLTMExportNative);
        document->setExportOperation(operation);
    }

    void TearDown() override
    {
        if (VLTMExportController* sheet = exporting->exportController())
            sheet->cancelAction();
        platform::RunLoop::runUntilIdle();
    }

    VLTMExportController* open(int source)
    {
        exporting->showExportDialogWithPreferredSource(source);
        platform::RunLoop::runUntilIdle();
        return exporting->exportController();
    }
    VLTMExportOperationPtr documentOperation() const
    {
        return std::dynamic_pointer_cast<VLTMExportOperation>(document->exportOperation());
    }
    QStringList writtenFiles() const { return QDir(folder.path()).entryList(QDir::Files, QDir::Name); }

    std::shared_ptr<ZQTrueQuorvaneDocument> document = std::make_shared<ZQTrueQuorvaneDocument>();
    DocumentExport* exporting = nullptr;
    VXQMappingLayer* layer = nullptr;
    VLTMSlicesLayer* slices = nullptr;
    std::shared_ptr<VXGridLayer> grid;
    QTemporaryDir folder;
};

TEST_F(ExportSheetOnADocument, SlicesKeepTheNativeFormatOtherSourcesSwitchToPdf)
{
    // Panels that export slices ask the document by name.
    documentOperation()->setSourceType(kVLTMExportLayers);
    ASSERT_TRUE(document->respondsToSelector("showExportDialogWithPreferredSource"));
    document->performSelector("showExportDialogWithPreferredSource", {int(kVLTMExportSlices)});
    platform::RunLoop::runUntilIdle();
    VLTMExportController* sheet = exporting->exportController();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->sourceButton(kVLTMExportSlices)->isChecked());
    EXPECT_EQ(sheet->formatPopUp()->currentData().toLongLong(), kVLTMExportNative);
    EXPECT_EQ(sheet->exportOperation()->sources().size(), 2);
    EXPECT_TRUE(slices->visible());
    EXPECT_FALSE(sheet->dpiField()->isEnabled());

    sheet->sourceButton(kVLTMExportLayers)->click();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(sheet->exportOperation()->format(), kVLTMExportPDF);
    EXPECT_EQ(sheet->formatPopUp()->currentData().toLongLong(), kVLTMExportPDF);
    // While the sheet is open the grid prints, so it is listed with the object layer.
    EXPECT_EQ(sheet->exportOperation()->sources(), printableLayers(*document->drawing()));
    EXPECT_TRUE(sheet->exportOperation()->sources().contains(grid));
    EXPECT_EQ(sheet->sourcesModel()->headerData(ExportSourcesTableModel::kName, Qt::Horizontal).toString(),
              QStringLiteral("Layers"));

    sheet->sourceButton(kVLTMExportDrawing)->click();
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(sheet->firstIndexField()->isEnabled());
    EXPECT_FALSE(sheet->namingButton(kVLTMNameRootAndIndex)->isEnabled());
}

TEST_F(ExportSheetOnADocument, UncheckingEverySourceDisablesExportAndCancelKeepsTheDocumentsSettings)
{
    {
        const platform::UndoSuspension noUndo(document->undoManager());
        grid->setShouldDrawToPrinter(false);
    }
    VLTMExportController* sheet = open(kVLTMExportSlices);
    ASSERT_TRUE(sheet);
    const QAbstractItemModelTester tester(sheet->sourcesModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_TRUE(sheet->exportButton()->isEnabled());
    sheet->allNoneAction(1);
    EXPECT_FALSE(sheet->exportButton()->isEnabled());
    ExportSourcesTableModel* table = sheet->sourcesModel();
    ZQUndoManager* undo = document->undoManager();
    undo->closeAutomaticGroup();
    const int steps = undo->numberOfUndoActions();
    ASSERT_TRUE(table->setData(table->index(1, ExportSourcesTableModel::kCheck), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(sheet->exportButton()->isEnabled());
    EXPECT_FALSE(slices->slices().at(0)->visible());
    EXPECT_TRUE(slices->slices().at(1)->visible());
    // The check boxes edit the sources themselves, with no undo step.
    undo->closeAutomaticGroup();
    EXPECT_EQ(undo->numberOfUndoActions(), steps);

    // Typed values outside what the fields read leave the resolution alone.
    for (const QString& typed : {QStringLiteral("0"), QStringLiteral("-5"), QStringLiteral("nan"), QString(),
                                 QStringLiteral("1e9"), QStringLiteral("abc")}) {
        sheet->dpiField()->setText(typed);
        sheet->dpiAction();
        EXPECT_EQ(sheet->exportOperation()->dpi(), 72.0) << typed.toStdString();
    }
    sheet->dpiField()->setText("300");
    sheet->dpiAction();
    EXPECT_EQ(sheet->exportOperation()->dpi(), 300.0);
    sheet->firstIndexField()->setText("-3");
    sheet->firstIndexAction();
    EXPECT_EQ(sheet->exportOperation()->firstIndex(), 1u);
    sheet->scaleField()->setValue(2);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(table->index(0, ExportSourcesTableModel::kSize).data().toString(), QStringLiteral("80 x 40 px"));
    // Sizes of many digits stay on one line.
    sheet->scaleField()->setValue(100);
    platform::RunLoop::runUntilIdle();
    const QAbstractItemView* sources = sheet->sourcesTable(); // its width hint is public here
    EXPECT_GE(sheet->sourcesTable()->columnWidth(ExportSourcesTableModel::kSize),
              sources->sizeHintForColumn(ExportSourcesTableModel::kSize));

    const bool gridPrinted = grid->shouldDrawToPrinter();
    sheet->cancelAction();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(documentOperation()->dpi(), 72.0);
    EXPECT_EQ(documentOperation()->scale(), 1.0);
    EXPECT_TRUE(writtenFiles().isEmpty());
    EXPECT_TRUE(gridPrinted);
    EXPECT_FALSE(grid->shouldDrawToPrinter());
}

TEST_F(ExportSheetOnADocument, ExportWritesTheFilesAdoptsTheSettingsAndPutsTheGridFlagBack)
{
    {
        const platform::UndoSuspension noUndo(document->undoManager());
        grid->setShouldDrawToPrinter(true);
        grid->setVisible(false);
    }
    VLTMExportController* sheet = open(kVLTMExportSlices);
    ASSERT_TRUE(sheet);
    sheet->formatPopUp()->setCurrentIndex(sheet->formatPopUp()->findData(qint64(kVLTMExportPNG)));
    sheet->formatAction();
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(sheet->transparentCheckbox()->isEnabled());
    EXPECT_FALSE(sheet->qualityField()->isEnabled());
    sheet->exportAction();
    platform::RunLoop::runUntilIdle();

    EXPECT_EQ(writtenFiles(), (QStringList{"Untitled_0001.png", "Untitled_0002.png"}));
    EXPECT_EQ(documentOperation()->format(), kVLTMExportPNG);
    EXPECT_EQ(documentOperation()->filesWrittenURLs().size(), 2);
    // The grid's own printing flag survives the sheet.
    EXPECT_TRUE(grid->shouldDrawToPrinter());
    EXPECT_FALSE(exporting->exportController());
}

TEST_F(ExportSheetOnADocument, AFolderGoneBeforeExportIsMadeAgainAndAFileInItsPlaceGivesTheErrorAlert)
{
    documentOperation()->setFormat(kVLTMExportPNG);
    VLTMExportController* sheet = open(kVLTMExportSlices);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(folder.remove());
    sheet->exportAction();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(writtenFiles().size(), 2);

    sheet = open(kVLTMExportSlices);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(folder.remove());
    QFile blocking(folder.path());
    ASSERT_TRUE(blocking.open(QIODevice::WriteOnly));
    blocking.close();
    sheet->exportAction();
    platform::RunLoop::runUntilIdle();
    QMessageBox* alert = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            alert = box;
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->text(), QStringLiteral("The Export could not be completed because an error occurred."));
    EXPECT_FALSE(alert->informativeText().isEmpty());
    alert->done(1);
    platform::RunLoop::runUntilIdle();
    QFile::remove(folder.path());
}

TEST_F(ExportSheetOnADocument, SelectedObjectsAreSortedByNameAndAMapWithoutAGridWorks)
{
    document->drawing()->removeLayer(grid.get());
    const VXDrawableObjectPtr first = layer->objectInObjectsAtIndex(0);
    auto second = VXDrawableShape::drawableShapeWithRect({50, 10, 5, 5}, VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black));
    layer->addObject(second);
    first->setName("road");
    second->setName("Quarry");
    layer->exchangeSelectionWithObjectsFromArray({first, second});
    VLTMExportController* sheet = open(kVLTMExportSelection);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->exportOperation()->sources(), (QList<ZQObjectPtr>{second, first}));
    EXPECT_FALSE(sheet->layersPopUp()->isHidden());
    EXPECT_EQ(sheet->layersPopUp()->currentData().value<QObject*>(), layer);
    sheet->formatPopUp()->setCurrentIndex(sheet->formatPopUp()->findData(qint64(kVLTMExportJPEG)));
    sheet->formatAction();
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(sheet->qualityField()->isEnabled());
    EXPECT_FALSE(sheet->transparentCheckbox()->isEnabled());
    sheet->exportAction();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(writtenFiles().size(), 2);
}

TEST_F(ExportSheetOnADocument, UnnamedObjectsSayWhatTheyAreAndASavedMapNamesTheFiles)
{
    const VXDrawableObjectPtr shape = layer->objectInObjectsAtIndex(0);
    shape->setName(QString());
    layer->exchangeSelectionWithObjectsFromArray({shape});
    document->setExportOperation(nullptr);
    VLTMExportController* sheet = open(kVLTMExportSelection);
    ASSERT_TRUE(sheet);
    const QModelIndex name = sheet->sourcesModel()->index(0, ExportSourcesTableModel::kName);
    EXPECT_EQ(name.data().toString(), shape->displayName());
    EXPECT_EQ(name.data(Qt::EditRole).toString(), QString()) << "the object keeps no name of the table's";
    EXPECT_EQ(sheet->exportOperation()->fileNameRoot(), QStringLiteral("Untitled_"));
    sheet->cancelAction();
    platform::RunLoop::runUntilIdle();

    document->setExportOperation(nullptr);
    QuorvaneError error;
    ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(QUrl::fromLocalFile(folder.filePath("town.qvnl")),
                                                              kZQMapDocumentType, platform::Document::SaveOperation,
                                                              &error));
    sheet = open(kVLTMExportDrawing);
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->exportOperation()->fileNameRoot(), QStringLiteral("town_"));
}

} // namespace

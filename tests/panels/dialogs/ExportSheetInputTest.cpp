// The export sheet driven as a user drives it: clicks on its buttons and source rows, typing
// into its fields and Return, so that a control left unconnected fails here.

#include "app/document/VXQMappingLayer.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "panels/dialogs/DocumentExport.h"
#include "panels/dialogs/ExportSourcesTableModel.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/RunLoop.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Where a view draws an item's check box, as its delegate works it out.
class CheckIndicator : public QStyledItemDelegate {
public:
    QPoint centreIn(const QAbstractItemView& view, const QModelIndex& index) const
    {
        QStyleOptionViewItem option;
        option.initFrom(view.viewport());
        option.rect = view.visualRect(index);
        initStyleOption(&option, index);
        return view.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &view).center();
    }
};

QPushButton* buttonTitled(const QWidget& window, const QString& title)
{
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->text() == title)
            return button;
    return nullptr;
}

class ExportSheetInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        QuorvaneError error;
        ASSERT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
        exporting = DocumentExport::ofDocument(*document);
        auto* layer = qobject_cast<VXQMappingLayer*>(document->activeLayer());
        slices = VLTMSlicesLayer::slicesLayerOfDrawing(document->drawing().get());
        ASSERT_TRUE(exporting && layer && slices && folder.isValid());
        layer->addObject(VXDrawableShape::drawableShapeWithRect(
            {10, 10, 30, 20}, VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black)));
        for (const QRectF& bounds : {QRectF(0, 0, 40, 20), QRectF(50, 0, 30, 30)})
            slices->addNewSlice()->setBounds(bounds);
        auto operation = VLTMExportOperation::exportOperation();
        operation->setFolderURL(QUrl::fromLocalFile(folder.path()));
        operation->setShowInFinder(false);
        operation->setFormat(kVLTMExportNative);
        document->setExportOperation(operation);
        exporting->showExportDialogWithPreferredSource(kVLTMExportSlices);
        platform::RunLoop::runUntilIdle();
        sheet = exporting->exportController();
        ASSERT_TRUE(sheet && sheet->window());
        sheet->window()->show();
        sheet->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(sheet->window()));
    }

    void TearDown() override
    {
        if (VLTMExportController* open = exporting->exportController())
            open->cancelAction();
        platform::RunLoop::runUntilIdle();
    }

    // Types over the field's text and ends with `key`: Tab moves on, Return also presses the
    // sheet's default button.
    static void typeInto(QLineEdit* field, const QString& text, Qt::Key key = Qt::Key_Tab)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, key);
    }
    void clickCheckOfRow(int row) const
    {
        QTableView* table = sheet->sourcesTable();
        const QModelIndex check = sheet->sourcesModel()->index(row, ExportSourcesTableModel::kCheck);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, CheckIndicator().centreIn(*table, check));
    }
    QStringList writtenFiles() const { return QDir(folder.path()).entryList(QDir::Files, QDir::Name); }

    std::shared_ptr<ZQTrueQuorvaneDocument> document = std::make_shared<ZQTrueQuorvaneDocument>();
    DocumentExport* exporting = nullptr;
    VLTMSlicesLayer* slices = nullptr;
    VLTMExportController* sheet = nullptr;
    QTemporaryDir folder;
};

TEST_F(ExportSheetInput, ClicksAndTypedEntriesReachTheOperationAndExportWritesWhatTheySay)
{
    const QAbstractItemModelTester tester(sheet->sourcesModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    const VLTMExportOperationPtr& operation = sheet->exportOperation();
    ASSERT_EQ(sheet->sourcesModel()->rowCount(), 2);

    // Unticking a row hides that slice; ticking it again brings it back, and so does All.
    clickCheckOfRow(0);
    EXPECT_FALSE(slices->slices().at(0)->visible());
    EXPECT_TRUE(slices->slices().at(1)->visible());
    clickCheckOfRow(1);
    EXPECT_FALSE(sheet->exportButton()->isEnabled()) << "nothing left to export";
    QTest::mouseClick(buttonTitled(*sheet->window(), QStringLiteral("All")), Qt::LeftButton);
    EXPECT_TRUE(slices->slices().at(0)->visible() && slices->slices().at(1)->visible());
    EXPECT_TRUE(sheet->exportButton()->isEnabled());

    QTest::keyClick(sheet->formatPopUp(), Qt::Key_Down); // Map Document -> PDF
    EXPECT_EQ(operation->format(), kVLTMExportPDF);
    sheet->formatPopUp()->setFocus();
    while (sheet->formatPopUp()->currentData().toLongLong() != kVLTMExportPNG)
        QTest::keyClick(sheet->formatPopUp(), Qt::Key_Down);
    EXPECT_EQ(operation->format(), kVLTMExportPNG);

    typeInto(sheet->dpiField(), QStringLiteral("144"));
    EXPECT_EQ(operation->dpi(), 144.0);
    typeInto(sheet->fileNameRootField(), QStringLiteral("Tile"));
    EXPECT_EQ(operation->fileNameRoot(), QStringLiteral("Tile"));
    QTest::mouseClick(sheet->namingButton(kVLTMNameRootOnly), Qt::LeftButton);
    EXPECT_EQ(operation->fileNamingOption(), kVLTMNameRootOnly);
    QTest::mouseClick(sheet->namingButton(kVLTMNameRootAndIndex), Qt::LeftButton);
    EXPECT_EQ(operation->fileNamingOption(), kVLTMNameRootAndIndex);
    ASSERT_TRUE(writtenFiles().isEmpty());

    // Return takes the typed number and exports.
    typeInto(sheet->firstIndexField(), QStringLiteral("7"), Qt::Key_Return);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(writtenFiles(), (QStringList{"Tile0007.png", "Tile0008.png"}));
    EXPECT_FALSE(exporting->exportController());
    const QImage first(QDir(folder.path()).filePath(QStringLiteral("Tile0007.png")));
    // 40 x 20 points at 144 dpi.
    EXPECT_EQ(first.size(), QSize(80, 40));
}

TEST_F(ExportSheetInput, TheSourceButtonsSwitchTheListAndCancelWritesNothing)
{
    const QAbstractItemModelTester tester(sheet->sourcesModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QTest::mouseClick(sheet->sourceButton(kVLTMExportLayers), Qt::LeftButton);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(sheet->exportOperation()->sourceType(), kVLTMExportLayers);
    EXPECT_EQ(sheet->sourcesModel()->headerData(ExportSourcesTableModel::kName, Qt::Horizontal).toString(),
              QStringLiteral("Layers"));
    QTest::mouseClick(sheet->sourceButton(kVLTMExportSlices), Qt::LeftButton);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(sheet->sourcesModel()->rowCount(), 2);

    QTest::mouseClick(buttonTitled(*sheet->window(), QStringLiteral("Cancel")), Qt::LeftButton);
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(exporting->exportController());
    EXPECT_TRUE(writtenFiles().isEmpty());
}

// Records the folders the sheet asks the desktop to show.
class FolderOpener : public QObject {
    Q_OBJECT

public:
    FolderOpener() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~FolderOpener() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    Q_INVOKABLE void open(const QUrl& url) { opened.append(url); }
    QList<QUrl> opened;
};

TEST_F(ExportSheetInput, ShowFolderOpensTheExportFolderAndOneDrawingIsNamedAsTheSheetSays)
{
    FolderOpener opener;
    QDir(folder.path()).removeRecursively();
    QTest::mouseClick(buttonTitled(*sheet->window(), QStringLiteral("Show Folder")), Qt::LeftButton);
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opener.opened[0].toLocalFile(), folder.path());
    EXPECT_TRUE(QDir(folder.path()).exists()); // made again, as an export would
    EXPECT_TRUE(sheet->window()->isVisible());

    // The whole drawing is one file under the bare root, and the sheet shows no number for it.
    QTest::mouseClick(sheet->namingButton(kVLTMNameRootAndIndex), Qt::LeftButton);
    typeInto(sheet->fileNameRootField(), QStringLiteral("town_"));
    QTest::mouseClick(sheet->sourceButton(kVLTMExportDrawing), Qt::LeftButton);
    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(sheet->namingButton(kVLTMNameRootAndIndex)->isChecked());
    EXPECT_FALSE(sheet->namingButton(kVLTMNameRootAndIndex)->isEnabled());
    EXPECT_TRUE(sheet->namingButton(kVLTMNameRootOnly)->isChecked());
    QTest::mouseClick(sheet->exportButton(), Qt::LeftButton);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(writtenFiles(), QStringList{"town_.pdf"});
    EXPECT_TRUE(opener.opened.size() == 1) << "the folder was not asked to show after exporting";
}

} // namespace

#include "ExportSheetInputTest.moc"

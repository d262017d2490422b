// Map documents with their slices layer and export settings, saved and opened again, and
// slices exported as map documents.

#include "app/document/QuorvaneDocumentController.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "panels/export/ExportFolder.h"
#include "panels/export/VLTMExportOperation.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/DocumentController.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::shared_ptr<ZQTrueQuorvaneDocument> newMapDocument()
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    EXPECT_TRUE(document->initWithTypeError(kZQMapDocumentType, &error));
    return document;
}

std::shared_ptr<ZQTrueQuorvaneDocument> openMapDocument(const QString& path)
{
    auto document = std::make_shared<ZQTrueQuorvaneDocument>();
    QuorvaneError error;
    EXPECT_TRUE(document->readFromURLOfTypeError(QUrl::fromLocalFile(path), kZQMapDocumentType, &error))
        << error.localizedDescription().toStdString();
    return document;
}

int slicesLayerCount(const VXDrawing& drawing)
{
    int count = 0;
    for (const VXLayerPtr& layer : drawing.flattenedLayers())
        count += layer->isSlicesLayer();
    return count;
}

} // namespace

TEST(SlicesDocumentTest, MapsKeepTheirSlicesAndExportSettingsThroughSaving)
{
    QTemporaryDir folder;
    const auto document = newMapDocument();
    VLTMSlicesLayer* layer = VLTMSlicesLayer::slicesLayerOfDrawing(document->drawing().get());
    ASSERT_TRUE(layer);
    EXPECT_FALSE(layer->visible());
    EXPECT_FALSE(document->undoManager()->canUndo());
    layer->addNewSlice()->setBounds({30, 40, 120, 80});
    layer->addNewSlice()->setBounds({200, 40, 60, 60});

    platform::UserDefaults::standardUserDefaults()->setObjectForKey(folder.path(), kVLTMExportOptionsFolderURL);
    const VLTMExportOperationPtr operation = VLTMExportOperation::exportOperation();
    operation->setDpi(200);
    operation->setFileNameRoot(QStringLiteral("Sheet_"));
    document->setExportOperation(operation);

    const QString path = folder.filePath(QStringLiteral("Coast.qvnl"));
    QuorvaneError error;
    ASSERT_TRUE(document->writeToURLOfTypeError(QUrl::fromLocalFile(path), kZQMapDocumentType, &error));
    EXPECT_TRUE(QFileInfo(path + QStringLiteral("/_export_settings.plist")).isFile());

    const auto reopened = openMapDocument(path);
    EXPECT_EQ(slicesLayerCount(*reopened->drawing()), 1);
    VLTMSlicesLayer* read = VLTMSlicesLayer::slicesLayerOfDrawing(reopened->drawing().get());
    ASSERT_TRUE(read);
    ASSERT_EQ(read->countOfSlices(), 2);
    EXPECT_EQ(read->slices().last()->bounds(), QRectF(200, 40, 60, 60));
    EXPECT_EQ(read->slices().last()->name(), QStringLiteral("Slice 2"));
    EXPECT_EQ(read->toolMode(), kVLTMSlicesSelectMode);
    EXPECT_FALSE(read->visible());
    const auto settings = std::dynamic_pointer_cast<VLTMExportOperation>(reopened->exportOperation());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->dpi(), 200);
    EXPECT_EQ(settings->fileNameRoot(), QStringLiteral("Sheet_"));

    // Activating the layer shows it; saved so, it opens shown.
    reopened->drawing()->setActiveLayer(read);
    EXPECT_EQ(reopened->drawing()->activeLayer(), read);
    EXPECT_TRUE(read->visible());
    ASSERT_TRUE(reopened->writeToURLOfTypeError(QUrl::fromLocalFile(path), kZQMapDocumentType, &error));
    const auto editing = openMapDocument(path);
    VLTMSlicesLayer* shown = VLTMSlicesLayer::slicesLayerOfDrawing(editing->drawing().get());
    EXPECT_EQ(editing->drawing()->activeLayer(), shown);
    EXPECT_TRUE(shown->visible());
}

TEST(SlicesDocumentTest, SlicesExportAsMapDocumentsOfTheirRegion)
{
    platform::DocumentController::setSharedDocumentController(std::make_unique<QuorvaneDocumentController>());
    QTemporaryDir folder;
    const auto document = newMapDocument();
    VLTMSlicesLayer* layer = VLTMSlicesLayer::slicesLayerOfDrawing(document->drawing().get());
    ASSERT_TRUE(layer);
    const VXQSlicePtr slice = layer->addNewSlice();
    slice->setBounds({30, 40, 120, 80});
    platform::UserDefaults::standardUserDefaults()->setObjectForKey(folder.path(), kVLTMExportOptionsFolderURL);
    const VLTMExportOperationPtr operation = VLTMExportOperation::exportOperation();
    operation->setDrawing(document->drawing());
    operation->setFormat(kVLTMExportNative);
    operation->setSourceType(kVLTMExportSlices);
    operation->setSources({slice});
    const qsizetype openDocuments = platform::DocumentController::sharedDocumentController()->documents().size();
    ASSERT_TRUE(operation->writeToFiles());
    ASSERT_EQ(operation->filesWrittenURLs().size(), 1);
    EXPECT_EQ(operation->filesWrittenURLs().first().fileName(), QStringLiteral("Untitled_0001.qvnl"));
    EXPECT_EQ(platform::DocumentController::sharedDocumentController()->documents().size(), openDocuments);

    const auto exported = openMapDocument(operation->filesWrittenURLs().first().toLocalFile());
    EXPECT_EQ(exported->drawing()->drawingSize(), QSizeF(120, 80));
    EXPECT_EQ(slicesLayerCount(*exported->drawing()), 1);

    // Map documents are made of slices only: other sources are refused, not half written.
    operation->setSourceType(kVLTMExportDrawing);
    QuorvaneError error;
    EXPECT_FALSE(operation->writeToFiles(&error));
    EXPECT_EQ(error.code(), kQuorvaneValidationError);
}

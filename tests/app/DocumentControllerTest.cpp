#include "app/QuorvaneDocumentController.h"
#include "app/ZQTrueQuorvaneDocument.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo& entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.isDir())
            copyFolder(entry.filePath(), to + '/' + entry.fileName());
        else
            ASSERT_TRUE(QFile::copy(entry.filePath(), to + '/' + entry.fileName()));
    }
}

QStringList layerNames(const VXDrawing& drawing)
{
    QStringList names;
    for (const VXLayerPtr& layer : drawing.flattenedLayers())
        names << layer->layerName();
    return names;
}

class DocumentControllerTypes : public ::testing::Test {
protected:
    QuorvaneDocumentController controller;
    QTemporaryDir folder;
    QuorvaneError error;

    QUrl fileURL(const QString& name) const { return QUrl::fromLocalFile(folder.filePath(name)); }

    // A map with a second, named layer, saved as `name`.
    QStringList saveMap(const QString& name)
    {
        const auto document = std::dynamic_pointer_cast<ZQQuorvaneDocument>(
            controller.makeUntitledDocumentOfTypeError(kZQMapDocumentType, &error));
        EXPECT_TRUE(document);
        document->newDrawingLayer();
        document->drawing()->activeLayer()->setLayerName("Rivers");
        EXPECT_TRUE(document->writeToURLOfTypeError(fileURL(name), kZQMapDocumentType, &error))
            << qPrintable(error.localizedDescription());
        return layerNames(*document->drawing());
    }
};

} // namespace

TEST_F(DocumentControllerTypes, ExtensionsNameTheirTypesAndOtherFilesFailWith101)
{
    EXPECT_EQ(controller.defaultType(), kZQMapDocumentType);
    for (const auto& [extension, type] : {std::pair{"QVNL", kZQMapDocumentType}, std::pair{"quorvane_map", kQuorvaneMapTemplateType},
                                          std::pair{"tiff", kQuorvaneImageType}, std::pair{"svgz", QString()}})
        EXPECT_EQ(controller.typeFromFileExtension(extension), type) << extension;

    EXPECT_FALSE(controller.makeUntitledDocumentOfTypeError("Spreadsheet", &error));
    EXPECT_EQ(error.domain(), "Quorvane Error");
    EXPECT_EQ(error.code(), 101);
    QFile notes(folder.filePath("notes.xyz"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();
    error = {};
    EXPECT_FALSE(controller.openDocumentWithContentsOfURLDisplayError(fileURL("notes.xyz"), false, &error));
    EXPECT_EQ(error.code(), 101);
    EXPECT_TRUE(controller.documents().isEmpty());
}

TEST_F(DocumentControllerTypes, MapAndEarlierMapPackagesOpenAsMapDocuments)
{
    const QStringList saved = saveMap("Coast.qvnl");
    copyFolder(folder.filePath("Coast.qvnl"), folder.filePath("Old Coast.tmsv"));
    for (const char* name : {"Coast.qvnl", "Old Coast.tmsv"}) {
        auto* document = qobject_cast<ZQTrueQuorvaneDocument*>(
            controller.openDocumentWithContentsOfURLDisplayError(fileURL(name), false, &error));
        ASSERT_TRUE(document) << qPrintable(error.localizedDescription());
        EXPECT_EQ(document->fileURL(), fileURL(name));
        EXPECT_EQ(layerNames(*document->drawing()), saved);
        EXPECT_FALSE(document->isDocumentEdited());
    }
    EXPECT_EQ(controller.documents().size(), 2);
}

TEST_F(DocumentControllerTypes, TemplatesOpenAsUntitledMaps)
{
    const QStringList saved = saveMap("Coast.qvnl");
    copyFolder(folder.filePath("Coast.qvnl"), folder.filePath("Coast.vlm"));

    auto* document = qobject_cast<ZQTrueQuorvaneDocument*>(
        controller.openDocumentWithContentsOfURLDisplayError(fileURL("Coast.vlm"), false, &error));
    ASSERT_TRUE(document) << qPrintable(error.localizedDescription());
    EXPECT_TRUE(document->fileURL().isEmpty());
    EXPECT_EQ(document->fileType(), kZQMapDocumentType);
    EXPECT_EQ(layerNames(*document->drawing()), saved);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->undoManager()->canUndo());
    // Opening it again starts another document: the template itself is never edited.
    EXPECT_NE(controller.openDocumentWithContentsOfURLDisplayError(fileURL("Coast.vlm"), false, &error), document);

    // Any map package serves as a template when asked.
    const auto fromMap = controller.makeDocumentFromTemplateURLError(fileURL("Coast.qvnl"), &error);
    ASSERT_TRUE(fromMap);
    EXPECT_TRUE(fromMap->fileURL().isEmpty());

    QFile image(folder.filePath("photo.png"));
    ASSERT_TRUE(image.open(QIODevice::WriteOnly));
    image.close();
    error = {};
    EXPECT_FALSE(controller.makeDocumentFromTemplateURLError(fileURL("photo.png"), &error));
    EXPECT_EQ(error.code(), 101);
}

TEST_F(DocumentControllerTypes, ImagesOpenAsNewMapsHoldingThem)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(folder.filePath("Harbour View.png")));

    auto* document = qobject_cast<ZQQuorvaneDocument*>(
        controller.openDocumentWithContentsOfURLDisplayError(fileURL("Harbour View.png"), false, &error));
    ASSERT_TRUE(document) << qPrintable(error.localizedDescription());
    EXPECT_TRUE(document->fileURL().isEmpty());
    const VXDrawing& drawing = *document->drawing();
    EXPECT_EQ(drawing.drawingSize(), QSizeF(40, 30));

    const VXLayerPtr bottom = drawing.objectInLayersAtIndex(drawing.countOfLayers() - 1);
    EXPECT_EQ(bottom->layerName(), "Harbour View");
    const auto* layer = qobject_cast<VXObjectOwnerLayer*>(bottom.get());
    ASSERT_TRUE(layer);
    ASSERT_EQ(layer->objects().size(), 1);
    const auto shape = std::dynamic_pointer_cast<VXImageShape>(layer->objects().first());
    ASSERT_TRUE(shape);
    EXPECT_TRUE(shape->locked());
    EXPECT_EQ(shape->size(), QSizeF(40, 30));
    EXPECT_EQ(shape->bounds(), drawing.bounds());
    EXPECT_FALSE(document->undoManager()->canUndo());
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(DocumentControllerTypes, ShownImageDocumentsFitTheirWindow)
{
    QImage picture(3000, 2000, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(20, 90, 40)});
    picture.fill(0);
    ASSERT_TRUE(picture.save(folder.filePath("Valley.png")));
    auto* document = qobject_cast<ZQQuorvaneDocument*>(
        controller.openDocumentWithImageAtURLDisplayError(fileURL("Valley.png"), true, &error));
    ASSERT_TRUE(document && document->mainView()) << qPrintable(error.localizedDescription());
    platform::RunLoop::runUntilIdle();
    const QRectF visible = document->mainView()->visibleDrawingRect();
    EXPECT_TRUE(visible.contains(document->drawing()->bounds())) << visible.width() << " x " << visible.height();
    EXPECT_LT(document->mainView()->scale(), 1.0);
    document->close();
}

TEST_F(DocumentControllerTypes, FilesThatAreNoImagesAreRefused)
{
    QFile fake(folder.filePath("fake.png"));
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("this is text, not a picture");
    fake.close();
    for (const char* name : {"fake.png", "absent.png"}) {
        error = {};
        EXPECT_FALSE(controller.openDocumentWithImageAtURLDisplayError(fileURL(name), false, &error)) << qPrintable(name);
        EXPECT_EQ(error.code(), 101);
    }
    EXPECT_TRUE(controller.documents().isEmpty());
}

// The templates the application ships: real maps in their categories, each opening as an
// untitled map with its content, size and scale, each with a thumbnail and a size text.

#include "TemplateTestSupport.h"

#include "app/document/QuorvaneDocumentController.h"
#include "app/document/VXQMappingLayer.h"
#include "windows/templates/QVNTemplateItem.h"
#include "windows/templates/QVNTemplatePickerController.h"

#include <QSet>

using namespace templatetest;

namespace {

int objectCount(const VXDrawing& drawing)
{
    int count = 0;
    for (const VXLayerPtr& layer : drawing.flattenedLayers(true))
        if (const auto* objects = dynamic_cast<const VXQMappingLayer*>(layer.get()))
            count += int(objects->countOfObjects());
    return count;
}

// The class names of the layers a drawing holds, each once.
QSet<QString> layerClasses(const VXDrawing& drawing)
{
    QSet<QString> classes;
    for (const VXLayerPtr& layer : drawing.flattenedLayers(true))
        classes.insert(QString::fromLatin1(layer->metaObject()->className()));
    return classes;
}

} // namespace

TEST(ShippedTemplates, EveryTemplateOpensAsAnUntitledMapWithItsSizeScaleAndThumbnail)
{
    const QString shipped = ZQQuorvaneDocument::documentTemplatesURL().toLocalFile();
    ASSERT_TRUE(QFileInfo(QDir(shipped).filePath(QVNTemplatePickerController::kDefaultCategoryName)).isDir());
    const QList<QUrl> templates = ZQQuorvaneDocument::availableTemplatesAtURLIncludingSubfolders(
        ZQQuorvaneDocument::documentTemplatesURL(), true);
    ASSERT_GE(templates.size(), 6);
    ASSERT_LE(templates.size(), 10);

    QuorvaneDocumentController controller;
    QuorvaneError blankError;
    const auto blank = std::dynamic_pointer_cast<ZQTrueQuorvaneDocument>(
        controller.makeUntitledDocumentOfTypeError(kZQMapDocumentType, &blankError));
    ASSERT_TRUE(blank && blank->mapGrid());
    QSet<QString> sizes;
    QSet<QString> categories;
    for (const QUrl& url : templates) {
        SCOPED_TRACE(url.toLocalFile().toStdString());
        categories.insert(QDir(shipped).relativeFilePath(QFileInfo(url.toLocalFile()).path()));
        const QVNTemplateItemPtr item = QVNTemplateItem::makeWithURL(url);
        EXPECT_FALSE(QVNTemplateItem::thumbnailOfTemplateAtPath(item->path()).isNull());
        const QString sizeText = item->dimensionsAndScaleInfo();
        EXPECT_FALSE(sizeText.isEmpty());
        sizes.insert(sizeText);
        ASSERT_TRUE(item->scale());

        QuorvaneError error;
        const auto document = controller.makeDocumentFromTemplateURLError(url, &error);
        ASSERT_TRUE(document) << error.localizedDescription().toStdString();
        EXPECT_TRUE(document->fileURL().isEmpty());
        EXPECT_GT(objectCount(*document->drawing()), 3);
        // The layers of a blank new map, the index grid (and so its settings command) included.
        EXPECT_TRUE(layerClasses(*document->drawing()).contains(layerClasses(*blank->drawing())));
        const auto map = std::dynamic_pointer_cast<ZQTrueQuorvaneDocument>(document);
        ASSERT_TRUE(map);
        EXPECT_TRUE(map->mapGrid());
        EXPECT_DOUBLE_EQ(document->mapScale()->scale(), item->scale()->scale());
        const VXDrawing& drawing = *document->drawing();
        const QString drawn = QStringLiteral("%1 x %2 %3")
                                  .arg(drawing.convertLength(drawing.drawingSize().width()), 0, 'f', 1)
                                  .arg(drawing.convertLength(drawing.drawingSize().height()), 0, 'f', 1)
                                  .arg(drawing.abbreviatedDrawingUnits());
        EXPECT_EQ(drawn, sizeText);
    }
    EXPECT_GE(sizes.size(), 6);
    EXPECT_TRUE(categories.contains(QVNTemplatePickerController::kDefaultCategoryName));
    EXPECT_GE(categories.size(), 4); // three categories, one with a subfolder
}

// The application's document controller: the types of its files, map packages and templates,
// images and SVG files opened as new untitled maps, and files it cannot read refused with 101.

#include "app/document/MapDocumentPackage.h"
#include "app/document/QuorvaneDocumentController.h"
#include "app/document/ZQTrueQuorvaneDocument.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/DocumentError.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// 300 x 200 points showing a 150 x 100 view box: every user unit is two points.
const QByteArray kHarbourPlan = R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="300" height="200" viewBox="0 0 150 100">
  <rect x="10" y="10" width="50" height="40" fill="#d01010"/>
  <g fill="#1030c0"><path d="M 100 60 h 40 v 30 h -40 z"/></g>
</svg>
)";

void copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
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

    QUrl write(const QString& name, const QByteArray& contents) const
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        return fileURL(name);
    }

    ZQQuorvaneDocument* open(const QString& name)
    {
        return qobject_cast<ZQQuorvaneDocument*>(
            controller.openDocumentWithContentsOfURLDisplayError(fileURL(name), false, &error));
    }

    // File > Open, then the name typed and Return, as a user does it.
    void chooseInOpenPanel(const QString& name)
    {
        controller.openDocument(nullptr);
        auto* dialog = visibleTopLevel<QFileDialog>();
        ASSERT_TRUE(dialog);
        dialog->setDirectory(folder.path());
        auto* field = dialog->findChild<QLineEdit*>("fileNameEdit");
        field->setText(name);
        QTest::keyClick(field, Qt::Key_Return);
        platform::RunLoop::runUntilIdle();
    }

    template <class Window>
    static Window* visibleTopLevel()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
                return window;
        return nullptr;
    }
};

} // namespace

TEST_F(DocumentControllerTypes, UnknownTypesAndUnreadableFilesFailWith101)
{
    EXPECT_EQ(controller.defaultType(), kZQMapDocumentType);
    for (const auto& [extension, type] :
         {std::pair{"QVNL", kZQMapDocumentType}, std::pair{"quorvane_map", kQuorvaneMapTemplateType},
          std::pair{"tiff", kQuorvaneImageType}, std::pair{"SVG", kQuorvaneSVGType}, std::pair{"svgz", QString()}})
        EXPECT_EQ(controller.typeFromFileExtension(extension), type) << extension;
    EXPECT_FALSE(controller.makeUntitledDocumentOfTypeError("Spreadsheet", &error));
    EXPECT_EQ(error.domain(), "Quorvane Error");
    EXPECT_EQ(error.code(), 101);

    const QList<std::pair<QString, QByteArray>> unreadable{
        {"notes.xyz", "notes"},
        {"fake.png", "this is text, not a picture"},
        {"text.svg", "this is text, not a drawing"},
        {"empty.svg", ""},
        {"truncated.svg", kHarbourPlan.left(kHarbourPlan.indexOf("<rect") + 12)},
        {"page.svg", "<html><body>not SVG</body></html>"},
    };
    for (const auto& [name, contents] : unreadable)
        write(name, contents);
    for (const char* name : {"notes.xyz", "fake.png", "absent.png", "text.svg", "empty.svg", "truncated.svg",
                             "page.svg", "absent.svg"}) {
        error = {};
        EXPECT_FALSE(open(name)) << name;
        EXPECT_EQ(error.code(), 101) << name;
        if (QString(name).endsWith(".svg")) {
            EXPECT_TRUE(error.localizedDescription().contains(name)) << qPrintable(error.localizedDescription());
        }
    }
    error = {};
    EXPECT_FALSE(controller.openDocumentWithImageAtURLDisplayError(fileURL("fake.png"), false, &error));
    EXPECT_EQ(error.code(), 101);

    // Special files named as pictures are refused at once, saying what they are.
    for (const char* name : {"pipe.png", "pipe.svg"})
        ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath(name)).constData(), 0600), 0);
    for (const char* name : {"zero.png", "zero.svg"})
        ASSERT_TRUE(QFile::link("/dev/zero", folder.filePath(name)));
    for (const auto& [name, what] : {std::pair{"pipe.png", "it is a pipe, not a file"},
                                     std::pair{"zero.png", "it is a device, not a file"},
                                     std::pair{"pipe.svg", "it is a pipe, not a file"},
                                     std::pair{"zero.svg", "it is a device, not a file"}}) {
        error = {};
        EXPECT_FALSE(open(name)) << name;
        EXPECT_TRUE(platform::DocumentError::failureReason(error).contains(what))
            << qPrintable(platform::DocumentError::failureReason(error));
    }
    EXPECT_TRUE(controller.documents().isEmpty());
}

TEST_F(DocumentControllerTypes, MapPackagesOpenAsMapsAndTemplatesAsUntitledCopies)
{
    const auto saved = std::dynamic_pointer_cast<ZQQuorvaneDocument>(
        controller.makeUntitledDocumentOfTypeError(kZQMapDocumentType, &error));
    ASSERT_TRUE(saved);
    saved->newDrawingLayer();
    saved->drawing()->activeLayer()->setLayerName("Rivers");
    ASSERT_TRUE(saved->writeToURLOfTypeError(fileURL("Coast.qvnl"), kZQMapDocumentType, &error))
        << qPrintable(error.localizedDescription());
    const QStringList names = layerNames(*saved->drawing());
    copyFolder(folder.filePath("Coast.qvnl"), folder.filePath("Old Coast.tmsv"));
    copyFolder(folder.filePath("Coast.qvnl"), folder.filePath("Coast.vlm"));

    for (const char* name : {"Coast.qvnl", "Old Coast.tmsv"}) {
        auto* document = open(name);
        ASSERT_TRUE(qobject_cast<ZQTrueQuorvaneDocument*>(document)) << qPrintable(error.localizedDescription());
        EXPECT_EQ(document->fileURL(), fileURL(name));
        EXPECT_EQ(layerNames(*document->drawing()), names);
        EXPECT_FALSE(document->isDocumentEdited());
    }

    // A template opens as an untitled map each time: the template itself is never edited.
    auto* untitled = open("Coast.vlm");
    ASSERT_TRUE(untitled) << qPrintable(error.localizedDescription());
    EXPECT_TRUE(untitled->fileURL().isEmpty());
    EXPECT_EQ(untitled->fileType(), kZQMapDocumentType);
    EXPECT_EQ(layerNames(*untitled->drawing()), names);
    EXPECT_FALSE(untitled->isDocumentEdited());
    EXPECT_FALSE(untitled->undoManager()->canUndo());
    EXPECT_NE(open("Coast.vlm"), untitled);
    EXPECT_EQ(controller.documents().size(), 4);
    // Any map package serves as a template when asked; other files do not.
    const auto fromMap = controller.makeDocumentFromTemplateURLError(fileURL("Coast.qvnl"), &error);
    ASSERT_TRUE(fromMap);
    EXPECT_TRUE(fromMap->fileURL().isEmpty());
    EXPECT_FALSE(controller.makeDocumentFromTemplateURLError(write("photo.png", {}), &error));
    EXPECT_EQ(error.code(), 101);
}

TEST_F(DocumentControllerTypes, TheOpenPanelOpensMapsAndFlatDrawingsInWindowsAndOnlyWhatOpenedIsRecent)
{
    platform::UserDefaults::standardUserDefaults()->removeObjectForKey(platform::DocumentController::kRecentDocumentsKey);
    const auto saved = std::dynamic_pointer_cast<ZQQuorvaneDocument>(
        controller.makeUntitledDocumentOfTypeError(kZQMapDocumentType, &error));
    ASSERT_TRUE(saved);
    saved->newDrawingLayer();
    saved->drawing()->activeLayer()->setLayerName("Rivers");
    ASSERT_TRUE(saved->writeToURLOfTypeError(fileURL("Coast.qvnl"), kZQMapDocumentType, &error));
    QFile content(folder.filePath("Coast.qvnl/" + MapDocumentPackage::kContentFileName));
    ASSERT_TRUE(content.open(QIODevice::ReadOnly));
    const QByteArray drawing = content.readAll();
    write("Coast.drawing", drawing);
    write("Torn.drawing", drawing.left(drawing.size() / 2));

    for (const char* name : {"Coast.qvnl", "Coast.drawing"}) {
        chooseInOpenPanel(name);
        auto* document = qobject_cast<ZQQuorvaneDocument*>(controller.documentForURL(fileURL(name)));
        ASSERT_TRUE(document) << name;
        EXPECT_TRUE(document->windowForSheet() && document->windowForSheet()->isVisible()) << name;
        EXPECT_EQ(layerNames(*document->drawing()), layerNames(*saved->drawing())) << name;
    }

    // The torn file is an alert naming it and saying why, and stays out of Open Recent.
    chooseInOpenPanel("Torn.drawing");
    auto* alert = visibleTopLevel<QMessageBox>();
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->text(), "The document “Torn.drawing” could not be opened.");
    EXPECT_GT(alert->informativeText().size(), 10) << qPrintable(alert->informativeText());
    alert->buttons().first()->click();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(controller.documents().size(), 2);
    EXPECT_EQ(controller.recentDocumentURLs(), (QList<QUrl>{fileURL("Coast.drawing"), fileURL("Coast.qvnl")}));
    controller.closeAllDocuments();
}

TEST_F(DocumentControllerTypes, ImagesOpenAsNewMapsHoldingThemAndFitTheirWindow)
{
    QImage picture(3000, 2000, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(20, 90, 40)});
    picture.fill(0);
    ASSERT_TRUE(picture.save(folder.filePath("Harbour View.png")));
    auto* document = qobject_cast<ZQQuorvaneDocument*>(
        controller.openDocumentWithImageAtURLDisplayError(fileURL("Harbour View.png"), true, &error));
    ASSERT_TRUE(document && document->mainView()) << qPrintable(error.localizedDescription());
    EXPECT_TRUE(document->fileURL().isEmpty());
    EXPECT_FALSE(document->undoManager()->canUndo());
    EXPECT_FALSE(document->isDocumentEdited());
    const VXDrawing& drawing = *document->drawing();
    EXPECT_EQ(drawing.drawingSize(), QSizeF(3000, 2000));

    // The image, locked, fills the bottom layer named after the file.
    const VXLayerPtr bottom = drawing.objectInLayersAtIndex(drawing.countOfLayers() - 1);
    EXPECT_EQ(bottom->layerName(), "Harbour View");
    const auto* layer = qobject_cast<VXObjectOwnerLayer*>(bottom.get());
    ASSERT_TRUE(layer);
    ASSERT_EQ(layer->objects().size(), 1);
    const auto shape = std::dynamic_pointer_cast<VXImageShape>(layer->objects().first());
    ASSERT_TRUE(shape);
    EXPECT_TRUE(shape->locked());
    EXPECT_EQ(shape->bounds(), drawing.bounds());

    // Zoomed to fit once the window's layout has settled.
    platform::RunLoop::runUntilIdle();
    const QRectF visible = document->mainView()->visibleDrawingRect();
    EXPECT_TRUE(visible.contains(drawing.bounds())) << visible.width() << " x " << visible.height();
    EXPECT_LT(document->mainView()->scale(), 1.0);
    document->close();
}

TEST_F(DocumentControllerTypes, TheOpenPanelNamesItsFiltersByKindAndFitsPicturesToTheirWindow)
{
    controller.openDocument(nullptr);
    auto* dialog = visibleTopLevel<QFileDialog>();
    ASSERT_TRUE(dialog);
    const QStringList filters = dialog->nameFilters();
    ASSERT_EQ(filters.size(), controller.documentTypeNames().size() + 2);
    EXPECT_TRUE(filters.first().startsWith("All Documents (*.qvnl *.tmsv ")) << qPrintable(filters.first());
    EXPECT_TRUE(filters.first().endsWith(" *.gif *.svg)")) << qPrintable(filters.first());
    EXPECT_EQ(filters.at(1), "Maps (*.qvnl)");
    EXPECT_TRUE(filters.contains("Images (*.png *.jpg *.jpeg *.tif *.tiff *.bmp *.gif)"));
    EXPECT_TRUE(filters.contains("SVG Files (*.svg)"));
    EXPECT_EQ(filters.last(), "All Files (*)");
    EXPECT_EQ(dialog->selectedNameFilter(), filters.first());
    // Every column but the name is as wide as its title and its widest text.
    dialog->setDirectory(folder.path());
    write("Harbour View Survey of the Eastern Breakwater.png", {});
    platform::RunLoop::runUntilIdle();
    auto* details = dialog->findChild<QTreeView*>("treeView");
    ASSERT_TRUE(details);
    const QHeaderView* header = details->header();
    for (int column = 1; column < header->count(); ++column) {
        EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column)) << column;
        EXPECT_GE(header->sectionSize(column), static_cast<QAbstractItemView*>(details)->sizeHintForColumn(column)) << column;
    }
    dialog->reject();
    platform::RunLoop::runUntilIdle();

    // A picture chosen in the panel fits its window, as one named at start-up does.
    QImage picture(3000, 2000, QImage::Format_RGB32);
    picture.fill(QColor(20, 90, 40));
    ASSERT_TRUE(picture.save(folder.filePath("Harbour View.png")));
    chooseInOpenPanel("Harbour View.png");
    ASSERT_EQ(controller.documents().size(), 1);
    auto* document = qobject_cast<ZQQuorvaneDocument*>(controller.documents().first());
    ASSERT_TRUE(document && document->mainView());
    platform::RunLoop::runUntilIdle();
    const QRectF visible = document->mainView()->visibleDrawingRect();
    EXPECT_TRUE(visible.contains(document->drawing()->bounds())) << visible.width() << " x " << visible.height();
    EXPECT_LT(document->mainView()->scale(), 1.0);
    controller.closeAllDocuments();
}

TEST_F(DocumentControllerTypes, SVGFilesOpenAsUntitledMapsShowingTheFile)
{
    write("Harbour Plan.svg", kHarbourPlan);
    auto* document = open("Harbour Plan.svg");
    ASSERT_TRUE(document) << qPrintable(error.localizedDescription());
    EXPECT_TRUE(document->fileURL().isEmpty());
    EXPECT_EQ(document->fileType(), kZQMapDocumentType); // saving writes a map, not SVG
    EXPECT_FALSE(document->undoManager()->canUndo());
    EXPECT_FALSE(document->isDocumentEdited());

    const VXDrawing& drawing = *document->drawing();
    EXPECT_EQ(drawing.drawingSize(), QSizeF(300, 200));
    const auto layer = drawing.firstLayerOfClass<VXObjectOwnerLayer>();
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->layerName(), "Harbour Plan");
    EXPECT_EQ(layer->objects().size(), 2); // the rectangle and the group

    // Red at (10,10)-(60,50) and blue at (100,60)-(140,90) in units, doubled; nothing elsewhere.
    const QImage image = platform::DrawingRenderer::imageOfDrawing(drawing, drawing.bounds(), QSize(300, 200), QColor());
    const auto near = [](const QColor& a, const QColor& b) {
        return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2
               && std::abs(a.blue() - b.blue()) <= 2 && std::abs(a.alpha() - b.alpha()) <= 2;
    };
    for (const QPoint& red : {QPoint(70, 60), QPoint(22, 22)})
        EXPECT_TRUE(near(image.pixelColor(red), QColor(0xd0, 0x10, 0x10)));
    for (const QPoint& blue : {QPoint(240, 150), QPoint(278, 178)})
        EXPECT_TRUE(near(image.pixelColor(blue), QColor(0x10, 0x30, 0xc0)));
    EXPECT_EQ(image.pixelColor(160, 60).alpha(), 0);
    EXPECT_EQ(image.pixelColor(130, 110).alpha(), 0);
}

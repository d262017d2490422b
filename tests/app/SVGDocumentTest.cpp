// SVG files opened as new untitled maps: through the document controller's type and through
// the application delegate, with damaged files refused with the reason.

#include "app/QuorvaneDocumentController.h"
#include "app/VLTMAppDelegate.h"
#include "app/ZQQuorvaneDocument.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// 300 x 200 points showing a 150 x 100 view box: every user unit is two points.
const QByteArray kHarbourPlan = R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="300" height="200" viewBox="0 0 150 100">
  <rect x="10" y="10" width="50" height="40" fill="#d01010"/>
  <g fill="#1030c0"><path d="M 100 60 h 40 v 30 h -40 z"/></g>
</svg>
)";

const QColor kRed(0xd0, 0x10, 0x10);
const QColor kBlue(0x10, 0x30, 0xc0);

bool near(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) <= 2 && std::abs(a.green() - b.green()) <= 2
           && std::abs(a.blue() - b.blue()) <= 2 && std::abs(a.alpha() - b.alpha()) <= 2;
}

QMessageBox* openMessageBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

class SVGDocument : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QuorvaneError error;

    QUrl write(const QString& name, const QByteArray& contents) const
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        return QUrl::fromLocalFile(file.fileName());
    }
};

} // namespace

TEST_F(SVGDocument, OpensAsAnUntitledMapShowingTheFile)
{
    QuorvaneDocumentController controller;
    for (const char* extension : {"svg", "SVG"})
        EXPECT_EQ(controller.typeFromFileExtension(extension), kQuorvaneSVGType) << extension;

    auto* document = qobject_cast<ZQQuorvaneDocument*>(
        controller.openDocumentWithContentsOfURLDisplayError(write("Harbour Plan.svg", kHarbourPlan), false, &error));
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
    EXPECT_EQ(layer->objects().size(), 2); // the rectangle and the group, in file order

    const QImage image = platform::DrawingRenderer::imageOfDrawing(drawing, drawing.bounds(), QSize(300, 200), QColor());
    EXPECT_TRUE(near(image.pixelColor(70, 60), kRed));   // (10,10)-(60,50) in units, doubled
    EXPECT_TRUE(near(image.pixelColor(22, 22), kRed));
    EXPECT_TRUE(near(image.pixelColor(240, 150), kBlue)); // (100,60)-(140,90) in units, doubled
    EXPECT_TRUE(near(image.pixelColor(278, 178), kBlue));
    EXPECT_EQ(image.pixelColor(160, 60).alpha(), 0);
    EXPECT_EQ(image.pixelColor(130, 110).alpha(), 0);
}

TEST_F(SVGDocument, DamagedFilesFailWith101AndTheirName)
{
    QuorvaneDocumentController controller;
    const QList<std::pair<QString, QByteArray>> damaged{
        {"text.svg", "this is text, not a drawing"},
        {"empty.svg", ""},
        {"truncated.svg", kHarbourPlan.left(kHarbourPlan.indexOf("<rect") + 12)},
        {"page.svg", "<html><body>not SVG</body></html>"},
    };
    for (const auto& [name, contents] : damaged)
        write(name, contents);
    for (const QString& name : {QStringLiteral("text.svg"), QStringLiteral("empty.svg"),
                                QStringLiteral("truncated.svg"), QStringLiteral("page.svg"),
                                QStringLiteral("absent.svg")}) {
        error = {};
        EXPECT_FALSE(controller.openDocumentWithContentsOfURLDisplayError(
            QUrl::fromLocalFile(folder.filePath(name)), false, &error))
            << qPrintable(name);
        EXPECT_EQ(error.domain(), "Quorvane Error");
        EXPECT_EQ(error.code(), 101);
        EXPECT_TRUE(error.localizedDescription().contains(name)) << qPrintable(error.localizedDescription());
    }
    EXPECT_TRUE(controller.documents().isEmpty());
}

class SVGDocumentFromDelegate : public SVGDocument {
protected:
    void SetUp() override { ASSERT_TRUE(delegate.applicationWillFinishLaunching()); }
    void TearDown() override
    {
        while (QMessageBox* box = openMessageBox())
            box->done(0);
        controller()->closeAllDocuments();
    }
    platform::DocumentController* controller() const
    {
        return platform::DocumentController::existingSharedDocumentController();
    }

    VLTMAppDelegate delegate;
};

TEST_F(SVGDocumentFromDelegate, ShownDocumentsFitTheirWindow)
{
    const QUrl url = write("Harbour Plan.svg", kHarbourPlan);
    delegate.createDocumentWithSVGAtURL(url);
    ASSERT_EQ(controller()->documents().size(), 1);
    EXPECT_FALSE(openMessageBox());
    auto* document = qobject_cast<ZQQuorvaneDocument*>(controller()->documents().first());
    ASSERT_TRUE(document && document->mainView());
    platform::RunLoop::runUntilIdle();
    const QRectF visible = document->mainView()->visibleDrawingRect();
    EXPECT_TRUE(visible.contains(document->drawing()->bounds())) << visible.width() << " x " << visible.height();

    // The system handing the file over opens a second, separate document.
    EXPECT_TRUE(delegate.applicationOpenFile(qApp, url.toLocalFile()));
    EXPECT_EQ(controller()->documents().size(), 2);
}

TEST_F(SVGDocumentFromDelegate, DamagedFilesGiveAnAlertWithTheReason)
{
    const QUrl url = write("Broken Chart.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect");
    delegate.createDocumentWithSVGAtURL(url);
    EXPECT_TRUE(controller()->documents().isEmpty());
    QMessageBox* box = openMessageBox();
    ASSERT_TRUE(box);
    QuorvaneError expected;
    auto* svgController = qobject_cast<QuorvaneDocumentController*>(controller());
    ASSERT_TRUE(svgController);
    EXPECT_FALSE(svgController->makeDocumentWithSVGAtURLError(url, &expected));
    EXPECT_EQ(box->text(), expected.localizedDescription());
    // The file's name, then the importer's reason.
    EXPECT_TRUE(box->text().startsWith("\"Broken Chart.svg\" could not be opened as an SVG file. "))
        << qPrintable(box->text());
    EXPECT_GT(box->text().size(), 60);
    box->done(0);

    EXPECT_FALSE(delegate.applicationOpenFile(qApp, url.toLocalFile()));
    EXPECT_TRUE(openMessageBox());
    EXPECT_TRUE(controller()->documents().isEmpty());
}

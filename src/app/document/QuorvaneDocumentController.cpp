#include "app/document/QuorvaneDocumentController.h"

#include "app/document/ZQTrueQuorvaneDocument.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/ui/DocumentError.h"
#include "platform/vantrix/drawables/VXImageShape.h"
#include "platform/vantrix/model/VXObjectOwnerLayer.h"
#include "platform/vantrix/svg/SVGLeftOutAlert.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <QFileInfo>
#include <QHash>

namespace {

// Every way of opening a file names it and says why it did not open.
void setOpenError(QuorvaneError* error, const QUrl& url, const QuorvaneError& cause)
{
    if (error)
        *error = platform::DocumentError::couldNotOpen(url, cause);
}

} // namespace

QuorvaneDocumentController::QuorvaneDocumentController()
{
    const auto mapDocument = [] { return std::make_shared<ZQTrueQuorvaneDocument>(); };
    registerDocumentType(kZQMapDocumentType, fileExtensionsOfMapTypes({kZQMapDocumentType}), mapDocument,
                         Storage::Package, tr("Maps"));
    registerDocumentType(kZQLegacyMapDocumentType, fileExtensionsOfMapTypes({kZQLegacyMapDocumentType}), mapDocument,
                         Storage::Package, tr("Maps of Earlier Versions"));
    registerDocumentType(kQuorvaneMapTemplateType, fileExtensionsOfMapTypes({kQuorvaneMapTemplateType}), mapDocument,
                         Storage::Package, tr("Map Templates"));
    // A flat drawing opens in a map window like any other drawing the application shows.
    registerDocumentType(kVXDrawingDocumentType, {QStringLiteral("drawing")}, mapDocument, Storage::File,
                         tr("Drawings"));
    registerDocumentType(kQuorvaneImageType,
                         {QStringLiteral("png"), QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("tif"),
                          QStringLiteral("tiff"), QStringLiteral("bmp"), QStringLiteral("gif")},
                         mapDocument, Storage::File, tr("Images"));
    registerDocumentType(kQuorvaneSVGType, {QStringLiteral("svg")}, mapDocument, Storage::File, tr("SVG Files"));
}

QuorvaneDocumentController::~QuorvaneDocumentController() = default;

QStringList QuorvaneDocumentController::fileExtensionsOfMapTypes(const QStringList& typesOrExtensions)
{
    static const QHash<QString, QStringList> extensions{
        {kZQMapDocumentType, {QStringLiteral("qvnl")}},
        {kZQLegacyMapDocumentType, {QStringLiteral("tmsv")}},
        {kQuorvaneMapTemplateType, {QStringLiteral("vlm"), QStringLiteral("quorvane_map")}},
    };
    QStringList found;
    for (const QString& name : typesOrExtensions)
        for (const QString& extension : extensions.value(name, {name}))
            if (!found.contains(extension))
                found.append(extension);
    return found;
}

bool QuorvaneDocumentController::isTemplateURL(const QUrl& url) const
{
    return typeFromFileExtension(QFileInfo(url.toLocalFile()).suffix()) == kQuorvaneMapTemplateType;
}

std::shared_ptr<ZQQuorvaneDocument> QuorvaneDocumentController::makeUntitledMapDocumentError(QuorvaneError* error)
{
    return std::dynamic_pointer_cast<ZQQuorvaneDocument>(makeUntitledDocumentOfTypeError(kZQMapDocumentType, error));
}

platform::Document* QuorvaneDocumentController::addAndDisplay(const std::shared_ptr<ZQQuorvaneDocument>& document,
                                                              bool display)
{
    if (!document)
        return nullptr;
    addDocument(document);
    if (display) {
        document->makeWindowControllers();
        document->showWindows();
    }
    return document.get();
}

platform::Document* QuorvaneDocumentController::addDisplayAndZoomToFit(
    const std::shared_ptr<ZQQuorvaneDocument>& document, bool display)
{
    platform::Document* opened = addAndDisplay(document, display);
    if (opened && display)
        zoomToFitOnceLaidOut(*document);
    return opened;
}

void QuorvaneDocumentController::zoomToFitOnceLaidOut(const ZQQuorvaneDocument& document)
{
    // Once the new window has laid itself out, or the fit is made for a viewport of another size.
    if (VXDrawingView* view = document.mainView())
        platform::RunLoop::performAfterDelay(view, [view] { view->zoomViewToFitInWindow(); }, 0);
}

// --- Templates ---------------------------------------------------------------------------

std::shared_ptr<ZQQuorvaneDocument> QuorvaneDocumentController::makeDocumentFromTemplateURLError(const QUrl& url,
                                                                                                 QuorvaneError* error)
{
    QString typeName = typeForContentsOfURLError(url, error);
    if (typeName.isEmpty())
        return nullptr;
    if (typeName == kQuorvaneMapTemplateType)
        typeName = kZQMapDocumentType;
    QuorvaneError cause(kQuorvaneDocumentError, tr("Only maps serve as templates."));
    if (typeName != kZQMapDocumentType && typeName != kZQLegacyMapDocumentType) {
        setOpenError(error, url, cause);
        return nullptr;
    }
    std::shared_ptr<ZQQuorvaneDocument> document = makeUntitledMapDocumentError(&cause);
    if (!document || !document->readFromURLOfTypeError(url, typeName, &cause)) {
        setOpenError(error, url, cause);
        return nullptr;
    }
    // Whatever reading did is the starting point, not an edit.
    document->setFileType(kZQMapDocumentType);
    document->undoManager()->removeAllActions();
    document->updateChangeCount(platform::Document::ChangeCleared);
    return document;
}

platform::Document* QuorvaneDocumentController::openDocumentFromTemplateURLDisplayError(const QUrl& url, bool display,
                                                                                       QuorvaneError* error)
{
    return addAndDisplay(makeDocumentFromTemplateURLError(url, error), display);
}

// --- Images ------------------------------------------------------------------------------

std::shared_ptr<ZQQuorvaneDocument> QuorvaneDocumentController::makeDocumentWithImageAtURLError(const QUrl& url,
                                                                                                QuorvaneError* error)
{
    QuorvaneError cause;
    const std::shared_ptr<VXImageShape> shape = VXImageShape::imageShapeWithContentsOfFile(url.toLocalFile(), &cause);
    if (!shape) {
        setOpenError(error, url, cause);
        return nullptr;
    }
    std::shared_ptr<ZQQuorvaneDocument> document = makeUntitledMapDocumentError(error);
    if (!document)
        return nullptr;

    VXDrawing& drawing = *document->drawing();
    const platform::UndoSuspension suspension(document->undoManager());
    const VXLayerPtr layer = document->makeDefaultDrawingLayer();
    layer->setLayerName(QFileInfo(url.toLocalFile()).completeBaseName());
    drawing.insertObjectInLayersAtIndex(layer, drawing.countOfLayers());
    drawing.setDrawingSize(shape->size());
    // The image is the page: without margins the grid and the rulers start at its corner.
    drawing.setMargins({});
    shape->setLocation(drawing.bounds().center());
    if (auto* objectLayer = qobject_cast<VXObjectOwnerLayer*>(layer.get()))
        objectLayer->addObject(shape);
    shape->setLocked(true);
    return document;
}

platform::Document* QuorvaneDocumentController::openDocumentWithImageAtURLDisplayError(const QUrl& url, bool display,
                                                                                      QuorvaneError* error)
{
    return addDisplayAndZoomToFit(makeDocumentWithImageAtURLError(url, error), display);
}

// --- SVG files ---------------------------------------------------------------------------

std::shared_ptr<ZQQuorvaneDocument> QuorvaneDocumentController::makeDocumentWithSVGAtURLError(const QUrl& url,
                                                                                              QuorvaneError* error)
{
    const QString path = url.toLocalFile();
    QuorvaneError cause;
    svgimport::LeftOut leftOut;
    const VXDrawingPtr drawing = VXDrawing::drawingWithContentsOfSVGFile(path, &cause, &leftOut);
    if (!drawing) {
        setOpenError(error, url, cause);
        return nullptr;
    }
    svgimport::alertLeftOut(path, leftOut);
    std::shared_ptr<ZQQuorvaneDocument> document = makeUntitledMapDocumentError(error);
    if (!document)
        return nullptr;
    if (const auto layer = drawing->firstLayerOfClass<VXObjectOwnerLayer>())
        layer->setLayerName(QFileInfo(path).completeBaseName());
    document->setDrawing(drawing);
    // The converted file is the starting point, not an edit.
    document->undoManager()->removeAllActions();
    document->updateChangeCount(platform::Document::ChangeCleared);
    return document;
}

platform::Document* QuorvaneDocumentController::openDocumentWithSVGAtURLDisplayError(const QUrl& url, bool display,
                                                                                    QuorvaneError* error)
{
    return addDisplayAndZoomToFit(makeDocumentWithSVGAtURLError(url, error), display);
}

std::shared_ptr<platform::Document> QuorvaneDocumentController::makeDocumentWithContentsOfURLOfTypeError(
    const QUrl& url, const QString& typeName, QuorvaneError* error)
{
    if (typeName == kQuorvaneMapTemplateType)
        return makeDocumentFromTemplateURLError(url, error);
    if (typeName == kQuorvaneImageType)
        return makeDocumentWithImageAtURLError(url, error);
    if (typeName == kQuorvaneSVGType)
        return makeDocumentWithSVGAtURLError(url, error);
    return DocumentController::makeDocumentWithContentsOfURLOfTypeError(url, typeName, error);
}

platform::Document* QuorvaneDocumentController::openDocumentWithContentsOfURLDisplayError(const QUrl& url, bool display,
                                                                                        QuorvaneError* error)
{
    platform::Document* document = DocumentController::openDocumentWithContentsOfURLDisplayError(url, display, error);
    const QString typeName = typeFromFileExtension(QFileInfo(url.toLocalFile()).suffix());
    const auto* map = qobject_cast<ZQQuorvaneDocument*>(document);
    if (map && display && (typeName == kQuorvaneImageType || typeName == kQuorvaneSVGType))
        zoomToFitOnceLaidOut(*map);
    return document;
}

#pragma once

// The application's document controller: the file types Quorvane opens and the documents
// it makes for them.
//
//   "Map"           .qvnl          a map document package (the default type)
//   "Tms"           .tmsv          the earlier product's map package, read as a map
//   "Map Template"  .vlm .quorvane_map   a template package: opens as a new untitled map
//   "Drawing"       .drawing       the drawing framework's flat file, shown in a map window
//   "Image"         png, jpeg, tiff, bmp, gif: a new untitled map holding the image
//   "Scalable Vector Graphics"  .svg  a new untitled map holding the SVG's objects
//
// Panels show the packages as documents. Any other file, and any file that cannot be read,
// fails with "Quorvane Error" 101 naming the file and giving the reason.

#include "platform/ui/DocumentController.h"

class ZQQuorvaneDocument;

inline const QString kQuorvaneMapTemplateType = QStringLiteral("Map Template");
inline const QString kQuorvaneImageType = QStringLiteral("Image");
inline const QString kQuorvaneSVGType = QStringLiteral("Scalable Vector Graphics");

class QuorvaneDocumentController : public platform::DocumentController {
    Q_OBJECT

public:
    QuorvaneDocumentController();
    ~QuorvaneDocumentController() override;

    // The extensions the map types ("Map", "Tms", "Map Template") are registered with, in the
    // order given, each once; a name that is no map type is taken as an extension itself.
    static QStringList fileExtensionsOfMapTypes(const QStringList& typesOrExtensions);

    // Whether the file is one that starts new documents rather than being edited itself.
    bool isTemplateURL(const QUrl& url) const;

    // A new untitled map with the contents of the template at `url` (any map package will do).
    std::shared_ptr<ZQQuorvaneDocument> makeDocumentFromTemplateURLError(const QUrl& url, QuorvaneError* error);
    platform::Document* openDocumentFromTemplateURLDisplayError(const QUrl& url, bool display, QuorvaneError* error);

    // A new untitled map whose drawing is the image's size, holding the image as one locked
    // shape in a bottom layer named after the file. Building it is not an undoable change.
    std::shared_ptr<ZQQuorvaneDocument> makeDocumentWithImageAtURLError(const QUrl& url, QuorvaneError* error);
    // The same, added and shown, zoomed to fit its window.
    platform::Document* openDocumentWithImageAtURLDisplayError(const QUrl& url, bool display, QuorvaneError* error);

    // A new untitled map whose drawing is the SVG's: its size, one object layer named after the
    // file holding the converted objects. Damage fails with "Quorvane Error" 101 and the reason.
    std::shared_ptr<ZQQuorvaneDocument> makeDocumentWithSVGAtURLError(const QUrl& url, QuorvaneError* error);
    // The same, added and shown, zoomed to fit its window.
    platform::Document* openDocumentWithSVGAtURLDisplayError(const QUrl& url, bool display, QuorvaneError* error);

    // Templates, images and SVG files become untitled documents; other types read as they are.
    std::shared_ptr<platform::Document> makeDocumentWithContentsOfURLOfTypeError(const QUrl& url, const QString& typeName,
                                                                       QuorvaneError* error) override;
    // However a file is opened, a map made from an image or SVG file is shown zoomed to fit.
    platform::Document* openDocumentWithContentsOfURLDisplayError(const QUrl& url, bool display,
                                                                  QuorvaneError* error) override;

private:
    std::shared_ptr<ZQQuorvaneDocument> makeUntitledMapDocumentError(QuorvaneError* error);
    // Adds the document and shows its window when asked.
    platform::Document* addAndDisplay(const std::shared_ptr<ZQQuorvaneDocument>& document, bool display);
    // The same, then fits the drawing to the window: for documents made from pictures.
    platform::Document* addDisplayAndZoomToFit(const std::shared_ptr<ZQQuorvaneDocument>& document, bool display);
    static void zoomToFitOnceLaidOut(const ZQQuorvaneDocument& document);
};

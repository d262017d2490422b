#pragma once

// The map document's part in the library store. The document owns one; the library, built
// above the application, is reached only through LibraryServices.
//
// Once the document's window is loaded it makes a document library of the styles and symbol
// masters the drawing uses that no library knows, and from then on listens for
// "kVXQStyleSubstitutionWasPerformed": a style the library swapped for its own copy is
// replaced throughout the drawing and forgotten by the document library. A document read
// from a file takes the libraries' versions of its styles. Closing hands the document library
// back.

#include "platform/foundation/ZQObject.h"

#include <QList>
#include <QUrl>

class ZQQuorvaneDocument;
namespace platform {
struct Notification;
} // namespace platform

class MapDocumentLibrary {
public:
    explicit MapDocumentLibrary(ZQQuorvaneDocument& document) : m_document(document) {}
    MapDocumentLibrary(const MapDocumentLibrary&) = delete;
    MapDocumentLibrary& operator=(const MapDocumentLibrary&) = delete;

    // The drawing's styles and symbol masters, each once.
    QList<ZQObjectPtr> allLibraryObjects() const;
    // Opaque: the library's object; null without one.
    const ZQObjectPtr& library() const { return m_library; }
    void setLibrary(const ZQObjectPtr& library) { m_library = library; }

    // Makes the document library when the drawing holds library objects and starts listening
    // for style substitutions (once).
    void makeTemporaryDocumentLibrary();
    void updateTemporaryDocumentLibraryWithItems(const QList<ZQObjectPtr>& objects);
    // {"old_style", "new_style"}: the old one goes throughout the drawing.
    void styleSubstitutionNotification(const platform::Notification& notification);
    // Replaces the styles by the libraries' versions of them (same unique key), as part of
    // reading: no undo step.
    void remergeStylesReadFromURL(const QList<ZQObjectPtr>& styles, const QUrl& url);
    // Stops listening and hands the document library back.
    void cleanUpIfNeeded();

private:
    ZQQuorvaneDocument& m_document;
    ZQObjectPtr m_library;
    quint64 m_styleSubstitutionObservation = 0;
};

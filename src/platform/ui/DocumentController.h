#pragma once

// The document controller: the document types the application knows, the open documents,
// and the recent documents. It is the last object of the responder chain, where New,
// Open and Open Recent arrive.
//
// A type has a name, file extensions, a factory for its documents and a storage: one file,
// or a package (a folder that panels show and choose as one document). A file is of the
// type its extension names, and a file of no known type fails to open with an error (101).
// Every failure to open names the file and gives the reason (see DocumentError).
// Recent documents persist in the user defaults; files that have gone are left out.

#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQObject.h"

#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace platform {

class Document;
class Menu;
class MenuItem;

class DocumentController : public ZQObject {
    Q_OBJECT

public:
    using DocumentFactory = std::function<std::shared_ptr<Document>()>;
    enum class Storage { File, Package };

    static inline const QString kRecentDocumentsKey = QStringLiteral("RecentDocumentPaths");

    DocumentController();
    ~DocumentController() override;

    // The shared controller, made on first use unless one was installed.
    static DocumentController* sharedDocumentController();
    static DocumentController* existingSharedDocumentController();
    // Installs the application's controller, replacing (and deleting) the previous one.
    static void setSharedDocumentController(std::unique_ptr<DocumentController> controller);

    // --- Types --------------------------------------------------------------------------
    // `displayName` is what users read for the type ("Images"); empty: the type's name.
    void registerDocumentType(const QString& typeName, const QStringList& extensions, DocumentFactory factory,
                              Storage storage = Storage::File, const QString& displayName = {});
    QStringList documentTypeNames() const;
    QString displayNameForType(const QString& typeName) const;
    // The first registered type.
    QString defaultType() const;
    QStringList fileExtensionsFromType(const QString& typeName) const;
    // The extensions of every package type.
    QStringList packageFileExtensions() const;
    // Case-insensitive; empty for an unknown extension.
    QString typeFromFileExtension(const QString& extension) const;
    // The type of the file at `url`, or empty with an error (101).
    virtual QString typeForContentsOfURLError(const QUrl& url, QuorvaneError* error) const;

    // --- Making and opening documents ---------------------------------------------------
    virtual std::shared_ptr<Document> makeUntitledDocumentOfTypeError(const QString& typeName, QuorvaneError* error);
    virtual std::shared_ptr<Document> makeDocumentWithContentsOfURLOfTypeError(const QUrl& url, const QString& typeName,
                                                                               QuorvaneError* error);
    // Makes an untitled document of the default type, adds it and, with `display`, shows it.
    Document* openUntitledDocumentAndDisplayError(bool display, QuorvaneError* error);
    // Answers the open document of that file, or reads, adds and (with `display`) shows it.
    // Only a file that opened is noted among the recent documents.
    virtual Document* openDocumentWithContentsOfURLDisplayError(const QUrl& url, bool display, QuorvaneError* error);

    // --- Open documents -----------------------------------------------------------------
    void addDocument(std::shared_ptr<Document> document);
    void removeDocument(Document* document);
    QList<Document*> documents() const;
    Document* documentForURL(const QUrl& url) const;
    Document* documentForWindow(const QWidget* window) const;
    // The document of the main window.
    Document* currentDocument() const;
    // Closes every document without asking to save.
    void closeAllDocuments();
    // "Untitled", then "Untitled 2", "Untitled 3", ...
    QString nextUntitledDocumentName();

    // --- Recent documents ---------------------------------------------------------------
    void noteNewRecentDocumentURL(const QUrl& url);
    // Newest first, files that still exist only.
    QList<QUrl> recentDocumentURLs() const;
    int maximumRecentDocumentCount() const { return m_maximumRecentDocumentCount; }
    void setMaximumRecentDocumentCount(int count);
    // Fills the menu with an item per recent document and a "Clear Menu" item.
    void populateOpenRecentMenu(Menu* menu) const;

    // Shows the error in an alert.
    void presentError(const QuorvaneError& error) const;

    // --- Actions ------------------------------------------------------------------------
    Q_INVOKABLE void newDocument(QObject* sender);
    // The open panel offers every document it can open, then each kind, then all files.
    Q_INVOKABLE void openDocument(QObject* sender);
    // Opens the file that the sender (an Open Recent item) represents.
    Q_INVOKABLE void openRecentDocument(QObject* sender);
    Q_INVOKABLE void clearRecentDocuments(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

private:
    struct DocumentType {
        QString name;
        QStringList extensions;
        DocumentFactory factory;
        Storage storage;
        QString displayName;
    };
    const DocumentType* typeNamed(const QString& typeName) const;
    QStringList storedRecentPaths() const;

    std::vector<DocumentType> m_types;
    std::vector<std::shared_ptr<Document>> m_documents;
    int m_maximumRecentDocumentCount = 10;
    int m_untitledCount = 0;
};

} // namespace platform

#include "platform/ui/DocumentController.h"

#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentError.h"
#include "platform/ui/Menu.h"
#include "platform/ui/OpenPanel.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/WindowController.h"

#include <QFileInfo>
#include <algorithm>

namespace platform {

namespace {

// Never destroyed: documents own windows, which cannot outlive the application object.
DocumentController*& sharedSlot()
{
    static DocumentController* shared = nullptr;
    return shared;
}

QuorvaneError unsupportedTypeError(const QString& what)
{
    return QuorvaneError(kQuorvaneDocumentError, QStringLiteral("unsupported document type: %1").arg(what));
}

} // namespace

DocumentController::DocumentController() = default;

DocumentController::~DocumentController()
{
    closeAllDocuments();
}

DocumentController* DocumentController::sharedDocumentController()
{
    if (!sharedSlot())
        sharedSlot() = new DocumentController;
    return sharedSlot();
}

DocumentController* DocumentController::existingSharedDocumentController()
{
    return sharedSlot();
}

void DocumentController::setSharedDocumentController(std::unique_ptr<DocumentController> controller)
{
    delete sharedSlot();
    sharedSlot() = controller.release();
}

// --- Types -------------------------------------------------------------------------------

void DocumentController::registerDocumentType(const QString& typeName, const QStringList& extensions,
                                              DocumentFactory factory, Storage storage, const QString& displayName)
{
    ZQ_ASSERT(!typeName.isEmpty() && factory, QStringLiteral("a document type needs a name and a factory"));
    const auto existing = std::find_if(m_types.begin(), m_types.end(),
                                       [&](const DocumentType& type) { return type.name == typeName; });
    DocumentType type{typeName, extensions, std::move(factory), storage, displayName};
    if (existing != m_types.end())
        *existing = std::move(type);
    else
        m_types.push_back(std::move(type));
}

QString DocumentController::displayNameForType(const QString& typeName) const
{
    const DocumentType* type = typeNamed(typeName);
    return type && !type->displayName.isEmpty() ? type->displayName : typeName;
}

QStringList DocumentController::documentTypeNames() const
{
    QStringList names;
    for (const DocumentType& type : m_types)
        names << type.name;
    return names;
}

QString DocumentController::defaultType() const
{
    return m_types.empty() ? QString() : m_types.front().name;
}

QStringList DocumentController::fileExtensionsFromType(const QString& typeName) const
{
    const DocumentType* type = typeNamed(typeName);
    return type ? type->extensions : QStringList();
}

QStringList DocumentController::packageFileExtensions() const
{
    QStringList extensions;
    for (const DocumentType& type : m_types)
        if (type.storage == Storage::Package)
            extensions << type.extensions;
    return extensions;
}

QString DocumentController::typeFromFileExtension(const QString& extension) const
{
    for (const DocumentType& type : m_types)
        if (type.extensions.contains(extension, Qt::CaseInsensitive))
            return type.name;
    return {};
}

QString DocumentController::typeForContentsOfURLError(const QUrl& url, QuorvaneError* error) const
{
    const QString extension = QFileInfo(url.toLocalFile()).suffix();
    const QString typeName = typeFromFileExtension(extension);
    if (typeName.isEmpty() && error) {
        const QString reason = extension.isEmpty()
                                   ? tr("There is no document type for files without an extension.")
                                   : tr("There is no document type for files ending in “.%1”.").arg(extension);
        *error = DocumentError::couldNotOpen(url, QuorvaneError(kQuorvaneDocumentError, reason));
    }
    return typeName;
}

// --- Making and opening documents --------------------------------------------------------

std::shared_ptr<Document> DocumentController::makeUntitledDocumentOfTypeError(const QString& typeName,
                                                                              QuorvaneError* error)
{
    const DocumentType* type = typeNamed(typeName);
    if (!type) {
        if (error)
            *error = unsupportedTypeError(typeName);
        return nullptr;
    }
    std::shared_ptr<Document> document = type->factory();
    if (!document || !document->initWithTypeError(typeName, error))
        return nullptr;
    return document;
}

std::shared_ptr<Document> DocumentController::makeDocumentWithContentsOfURLOfTypeError(const QUrl& url,
                                                                                      const QString& typeName,
                                                                                      QuorvaneError* error)
{
    const DocumentType* type = typeNamed(typeName);
    if (!type) {
        if (error)
            *error = unsupportedTypeError(typeName);
        return nullptr;
    }
    std::shared_ptr<Document> document = type->factory();
    if (!document || !document->initWithContentsOfURLOfTypeError(url, typeName, error))
        return nullptr;
    return document;
}

Document* DocumentController::openUntitledDocumentAndDisplayError(bool display, QuorvaneError* error)
{
    std::shared_ptr<Document> document = makeUntitledDocumentOfTypeError(defaultType(), error);
    if (!document)
        return nullptr;
    addDocument(document);
    if (display) {
        document->makeWindowControllers();
        document->showWindows();
    }
    return document.get();
}

Document* DocumentController::openDocumentWithContentsOfURLDisplayError(const QUrl& url, bool display,
                                                                        QuorvaneError* error)
{
    if (Document* open = documentForURL(url)) {
        if (display)
            open->showWindows();
        return open;
    }
    const QString typeName = typeForContentsOfURLError(url, error);
    if (typeName.isEmpty())
        return nullptr;
    QuorvaneError cause;
    std::shared_ptr<Document> document = makeDocumentWithContentsOfURLOfTypeError(url, typeName, &cause);
    if (!document) {
        if (error)
            *error = DocumentError::couldNotOpen(url, cause);
        return nullptr;
    }
    addDocument(document);
    noteNewRecentDocumentURL(url);
    if (display) {
        document->makeWindowControllers();
        document->showWindows();
    }
    return document.get();
}

// --- Open documents ----------------------------------------------------------------------

void DocumentController::addDocument(std::shared_ptr<Document> document)
{
    if (document && std::find(m_documents.begin(), m_documents.end(), document) == m_documents.end())
        m_documents.push_back(std::move(document));
}

void DocumentController::removeDocument(Document* document)
{
    std::erase_if(m_documents, [&](const auto& entry) { return entry.get() == document; });
}

QList<Document*> DocumentController::documents() const
{
    QList<Document*> documents;
    for (const auto& document : m_documents)
        documents.append(document.get());
    return documents;
}

Document* DocumentController::documentForURL(const QUrl& url) const
{
    const QString path = QFileInfo(url.toLocalFile()).absoluteFilePath();
    for (const auto& document : m_documents)
        if (!document->fileURL().isEmpty() && QFileInfo(document->fileURL().toLocalFile()).absoluteFilePath() == path)
            return document.get();
    return nullptr;
}

Document* DocumentController::documentForWindow(const QWidget* window) const
{
    const WindowController* controller = WindowController::controllerForWindow(window);
    return controller ? controller->document() : nullptr;
}

Document* DocumentController::currentDocument() const
{
    return documentForWindow(ResponderChain::mainWindow());
}

void DocumentController::closeAllDocuments()
{
    const auto documents = m_documents;
    for (const auto& document : documents)
        document->close();
    m_documents.clear();
}

QString DocumentController::nextUntitledDocumentName()
{
    ++m_untitledCount;
    return m_untitledCount == 1 ? tr("Untitled") : tr("Untitled %1").arg(m_untitledCount);
}

// --- Recent documents --------------------------------------------------------------------

QStringList DocumentController::storedRecentPaths() const
{
    QStringList paths;
    for (const QVariant& entry : UserDefaults::standardUserDefaults()->arrayForKey(kRecentDocumentsKey))
        if (entry.typeId() == QMetaType::QString)
            paths << entry.toString();
    return paths;
}

void DocumentController::noteNewRecentDocumentURL(const QUrl& url)
{
    if (!url.isLocalFile())
        return;
    const QString path = QFileInfo(url.toLocalFile()).absoluteFilePath();
    QStringList paths = storedRecentPaths();
    paths.removeAll(path);
    paths.prepend(path);
    UserDefaults::standardUserDefaults()->setObjectForKey(QVariant(paths.mid(0, m_maximumRecentDocumentCount)),
                                                          kRecentDocumentsKey);
}

QList<QUrl> DocumentController::recentDocumentURLs() const
{
    QList<QUrl> urls;
    for (const QString& path : storedRecentPaths())
        if (QFileInfo::exists(path) && urls.size() < m_maximumRecentDocumentCount)
            urls << QUrl::fromLocalFile(path);
    return urls;
}

void DocumentController::setMaximumRecentDocumentCount(int count)
{
    m_maximumRecentDocumentCount = std::max(0, count);
}

void DocumentController::populateOpenRecentMenu(Menu* menu) const
{
    menu->clear();
    for (const QUrl& url : recentDocumentURLs()) {
        MenuItem* item = menu->addItemWithTitleActionKeyEquivalent(QFileInfo(url.toLocalFile()).fileName(),
                                                                   "openRecentDocument");
        item->setRepresentedObject(url);
    }
    menu->addSeparator();
    menu->addItemWithTitleActionKeyEquivalent(tr("Clear Menu"), "clearRecentDocuments");
}

void DocumentController::presentError(const QuorvaneError& error) const
{
    Alert::presentErrorModalForWindow(error, nullptr);
}

// --- Actions -----------------------------------------------------------------------------

void DocumentController::newDocument(QObject*)
{
    QuorvaneError error;
    if (!openUntitledDocumentAndDisplayError(true, &error))
        presentError(error);
}

void DocumentController::openDocument(QObject*)
{
    OpenPanel panel;
    QList<SavePanel::FileTypeFilter> kinds;
    QStringList extensions;
    for (const DocumentType& type : m_types) {
        kinds.append({displayNameForType(type.name), type.extensions});
        extensions << type.extensions;
    }
    kinds.prepend({tr("All Documents"), extensions});
    kinds.append({tr("All Files"), {}});
    panel.setFileTypeFilters(kinds);
    panel.setPackageFileTypes(packageFileExtensions());
    panel.setAllowsMultipleSelection(true);
    const QPointer<DocumentController> self(this);
    panel.beginSheetModalForWindowCompletionHandler(nullptr, [self, panel](int result) {
        if (!self || result != 1)
            return;
        for (const QUrl& url : panel.URLs()) {
            QuorvaneError error;
            if (!self->openDocumentWithContentsOfURLDisplayError(url, true, &error))
                self->presentError(error);
        }
    });
}

void DocumentController::openRecentDocument(QObject* sender)
{
    const QUrl url = sender ? sender->property("representedObject").toUrl() : QUrl();
    QuorvaneError error;
    if (!url.isEmpty() && !openDocumentWithContentsOfURLDisplayError(url, true, &error))
        presentError(error);
}

void DocumentController::clearRecentDocuments(QObject*)
{
    UserDefaults::standardUserDefaults()->removeObjectForKey(kRecentDocumentsKey);
}

bool DocumentController::validateMenuItem(MenuItem* item)
{
    if (item->action() == "clearRecentDocuments")
        return !recentDocumentURLs().isEmpty();
    return true;
}

const DocumentController::DocumentType* DocumentController::typeNamed(const QString& typeName) const
{
    const auto found = std::find_if(m_types.begin(), m_types.end(),
                                    [&](const DocumentType& type) { return type.name == typeName; });
    return found == m_types.end() ? nullptr : &*found;
}

} // namespace platform

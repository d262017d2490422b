#include "platform/ui/Document.h"

#include "platform/foundation/FreedMemory.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Application.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/DocumentError.h"
#include "platform/ui/FileWrapper.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/SavePanel.h"
#include "platform/ui/WindowController.h"

#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <exception>

namespace platform {

namespace {

QuorvaneError documentError(const QString& description)
{
    return QuorvaneError(kQuorvaneDocumentError, description);
}

void setError(QuorvaneError* error, const QuorvaneError& value)
{
    if (error)
        *error = value;
}

QuorvaneError exceptionError(const QString& exceptionText)
{
    LogEvent(kFileEvent, QStringLiteral("reading or writing a document raised: %1").arg(exceptionText));
    return documentError(exceptionText);
}

// Runs a read or write; an exception becomes an error (101) that gives its text.
bool runDocumentOperation(QuorvaneError* error, const std::function<bool(QuorvaneError*)>& operation)
{
    try {
        return operation(error);
    } catch (const std::exception& exception) {
        *error = exceptionError(QString::fromUtf8(exception.what()));
    } catch (...) {
        *error = exceptionError(QStringLiteral("unknown exception"));
    }
    return false;
}

} // namespace

Document::Document()
    : m_undoManager(std::make_unique<ZQUndoManager>())
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, ZQUndoManagerDidCloseTopLevelGroup, m_undoManager.get(), [this](const Notification& n) {
        // An undo's or redo's inverse is counted by the did-undo or did-redo that follows.
        if (!n.userInfo.value(ZQUndoManagerGroupIsInverse).toBool())
            updateChangeCount(ChangeDone);
    });
    center.addObserver(this, ZQUndoManagerDidUndoChangeNotification, m_undoManager.get(),
                       [this](const Notification&) { updateChangeCount(ChangeUndone); });
    center.addObserver(this, ZQUndoManagerDidRedoChangeNotification, m_undoManager.get(),
                       [this](const Notification&) { updateChangeCount(ChangeRedone); });
}

Document::~Document()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

bool Document::initWithTypeError(const QString& typeName, QuorvaneError*)
{
    setFileType(typeName);
    return true;
}

bool Document::initWithContentsOfURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error)
{
    QuorvaneError cause;
    if (!runDocumentOperation(&cause, [&](QuorvaneError* e) { return readFromURLOfTypeError(url, typeName, e); })) {
        setError(error, DocumentError::couldNotOpen(url, cause));
        return false;
    }
    setFileURL(url);
    setFileType(typeName);
    m_undoManager->removeAllActions();
    updateChangeCount(ChangeCleared);
    return true;
}

// --- Where it lives ----------------------------------------------------------------------

void Document::setFileURL(const QUrl& url)
{
    if (url == m_fileURL)
        return;
    announceChangeForKeys({QStringLiteral("displayName"), QStringLiteral("fileURL")}, [&] { m_fileURL = url; });
}

void Document::setFileType(const QString& typeName)
{
    announceChangeForKey(QStringLiteral("fileType"), [&] { m_fileType = typeName; });
}

QString Document::displayName() const
{
    if (!m_fileURL.isEmpty())
        return QFileInfo(m_fileURL.toLocalFile()).completeBaseName();
    if (m_untitledName.isEmpty())
        m_untitledName = DocumentController::sharedDocumentController()->nextUntitledDocumentName();
    return m_untitledName;
}

// --- Reading and writing -----------------------------------------------------------------

bool Document::readFromURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error)
{
    std::optional<FileWrapper> wrapper = FileWrapper::readFromPath(
        url.toLocalFile(), error, readsPackageFilesOnDemand() ? FileWrapper::Reading::OnDemand : FileWrapper::Reading::Whole);
    return wrapper && readFromFileWrapperOfTypeError(*wrapper, typeName, error);
}

bool Document::readFromFileWrapperOfTypeError(const FileWrapper& wrapper, const QString& typeName,
                                              QuorvaneError* error)
{
    if (!wrapper.isRegularFile()) {
        setError(error, documentError(QStringLiteral("documents of type “%1” are not folders").arg(typeName)));
        return false;
    }
    return readFromDataOfTypeError(wrapper.regularFileContents(), typeName, error);
}

bool Document::readFromDataOfTypeError(const QByteArray&, const QString& typeName, QuorvaneError* error)
{
    setError(error, documentError(QStringLiteral("documents of type “%1” cannot be read").arg(typeName)));
    return false;
}

bool Document::writeToURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error)
{
    std::optional<FileWrapper> wrapper = fileWrapperOfTypeError(typeName, error);
    return wrapper && wrapper->writeToPath(url.toLocalFile(), error);
}

std::optional<FileWrapper> Document::fileWrapperOfTypeError(const QString& typeName, QuorvaneError* error)
{
    std::optional<QByteArray> data = dataOfTypeError(typeName, error);
    if (!data)
        return std::nullopt;
    return FileWrapper::regularFile(*data);
}

std::optional<QByteArray> Document::dataOfTypeError(const QString& typeName, QuorvaneError* error)
{
    setError(error, documentError(QStringLiteral("documents of type “%1” cannot be written").arg(typeName)));
    return std::nullopt;
}

bool Document::saveToURLOfTypeForSaveOperationError(const QUrl& url, const QString& typeName,
                                                    SaveOperationType operation, QuorvaneError* error)
{
    ++m_savesUnderWay;
    const auto ended = qScopeGuard([this] { saveEnded(); });
    QuorvaneError cause;
    if (!runDocumentOperation(&cause, [&](QuorvaneError* e) { return writeToURLOfTypeError(url, typeName, e); })) {
        setError(error, DocumentError::couldNotSave(url, cause));
        return false;
    }
    if (operation != SaveToOperation) {
        setFileURL(url);
        setFileType(typeName);
        updateChangeCount(ChangeCleared);
        DocumentController::sharedDocumentController()->noteNewRecentDocumentURL(url);
    }
    return true;
}

bool Document::revertToContentsOfURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error)
{
    return initWithContentsOfURLOfTypeError(url, typeName, error);
}

// --- Changes and undo --------------------------------------------------------------------

void Document::updateChangeCount(ChangeType change)
{
    switch (change) {
    case ChangeDone:
        // Undone past the saved state, a new change drops the way back to it.
        setChangeCount(m_changeCount + 1, m_savedStateReachable && m_changeCount >= 0);
        break;
    case ChangeUndone:
        setChangeCount(m_changeCount - 1, m_savedStateReachable);
        break;
    case ChangeRedone:
        setChangeCount(m_changeCount + 1, m_savedStateReachable);
        break;
    case ChangeCleared:
        setChangeCount(0, true);
        break;
    }
}

bool Document::isDocumentEdited() const
{
    return m_changeCount != 0 || !m_savedStateReachable;
}

void Document::setChangeCount(int count, bool savedStateReachable)
{
    const bool wasEdited = isDocumentEdited();
    const bool willBeEdited = count != 0 || !savedStateReachable;
    if (wasEdited == willBeEdited) {
        m_changeCount = count;
        m_savedStateReachable = savedStateReachable;
        return;
    }
    announceChangeForKey(QStringLiteral("documentEdited"), [&] {
        m_changeCount = count;
        m_savedStateReachable = savedStateReachable;
    });
}

void Document::undo(QObject*)
{
    if (m_undoManager->canUndo())
        m_undoManager->undo();
}

void Document::redo(QObject*)
{
    if (m_undoManager->canRedo())
        m_undoManager->redo();
}

// --- Windows -----------------------------------------------------------------------------

void Document::addWindowController(std::shared_ptr<WindowController> controller)
{
    ZQ_ASSERT(controller, QStringLiteral("cannot add a null window controller"));
    if (std::find(m_windowControllers.begin(), m_windowControllers.end(), controller) != m_windowControllers.end())
        return;
    m_windowControllers.push_back(controller);
    controller->setDocument(this);
}

void Document::removeWindowController(WindowController* controller)
{
    const auto found = std::find_if(m_windowControllers.begin(), m_windowControllers.end(),
                                    [&](const auto& entry) { return entry.get() == controller; });
    if (found == m_windowControllers.end())
        return;
    const std::shared_ptr<WindowController> kept = *found; // outlives the erase below
    m_windowControllers.erase(found);
    kept->setDocument(nullptr);
}

QList<WindowController*> Document::windowControllers() const
{
    QList<WindowController*> controllers;
    for (const auto& controller : m_windowControllers)
        controllers.append(controller.get());
    return controllers;
}

void Document::showWindows()
{
    for (const auto& controller : m_windowControllers)
        controller->showWindow(this);
}

QWidget* Document::windowForSheet() const
{
    for (const auto& controller : m_windowControllers)
        if (controller->isWindowLoaded())
            return controller->window();
    return nullptr;
}

void Document::close()
{
    if (isSaving()) {
        if (!std::exchange(m_closesAfterSave, true))
            afterSave([self = QPointer<Document>(this)] {
                if (self)
                    self->close();
            });
        return;
    }
    m_closesAfterSave = false;
    documentWillClose();
    // The controller may hold the last reference to this document.
    const std::shared_ptr<ZQObject> keepAlive = weak_from_this().lock();
    const auto controllers = m_windowControllers;
    for (const auto& controller : controllers) {
        controller->close();
        removeWindowController(controller.get());
    }
    if (DocumentController* documentController = DocumentController::existingSharedDocumentController())
        documentController->removeDocument(this);
    // A large map leaves the allocator holding its freed pages (objects made on import threads
    // lie in arenas of their own, interleaved with what stays): give them back once its window
    // and views, deleted later, have let go of it too, and no other map is worked in.
    returnFreedMemoryWhenIdle([] {
        const DocumentController* controller = DocumentController::existingSharedDocumentController();
        return controller && !controller->documents().isEmpty();
    });
}

void Document::canCloseDocument(std::function<void(bool shouldClose)> completion)
{
    if (isSaving()) {
        tellDuringSave(tr("Closing “%1” waits for the save to end.").arg(displayName()));
        afterSave([self = QPointer<Document>(this), completion] {
            if (self)
                self->canCloseDocument(completion);
            else
                completion(true);
        });
        return;
    }
    if (!isDocumentEdited()) {
        completion(true);
        return;
    }
    Alert alert = Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("Do you want to save the changes made to the document “%1”?").arg(displayName()), tr("Save"), tr("Cancel"),
        tr("Don't Save"), tr("Your changes will be lost if you don't save them."));
    const QPointer<Document> self(this);
    alert.beginSheetModalForWindowCompletionHandler(windowForSheet(), [self, completion](int code) {
        if (!self)
            return;
        if (code == Alert::kDefaultReturn)
            self->saveWithCompletion(completion);
        else
            completion(code == Alert::kOtherReturn);
    });
}

void Document::presentError(const QuorvaneError& error)
{
    Alert::presentErrorModalForWindow(error, windowForSheet());
}

void Document::prepareSavePanel(SavePanel& panel)
{
    const DocumentController* controller = DocumentController::sharedDocumentController();
    const QStringList extensions = controller->fileExtensionsFromType(m_fileType);
    panel.setAllowedFileTypes(extensions);
    panel.setFileTypeFilters({{controller->displayNameForType(m_fileType), extensions}});
    panel.setPackageFileTypes(controller->packageFileExtensions());
}

// --- Actions -----------------------------------------------------------------------------

void Document::saveDocument(QObject*)
{
    if (!refusedDuringSave(tr("Save")))
        saveWithCompletion({});
}

void Document::saveDocumentAs(QObject*)
{
    if (!refusedDuringSave(tr("Save As...")))
        runSavePanel(SaveAsOperation, {});
}

void Document::saveDocumentTo(QObject*)
{
    if (!refusedDuringSave(tr("Save To...")))
        runSavePanel(SaveToOperation, {});
}

void Document::revertDocumentToSaved(QObject*)
{
    if (m_fileURL.isEmpty() || refusedDuringSave(tr("Revert to Saved")))
        return;
    // Reverting drops every unsaved change and cannot be undone, so Cancel is the default.
    Alert alert = Alert::alertWithMessageTextDefaultButtonAlternateButtonOtherButtonInformativeText(
        tr("Do you want to revert to the most recently saved version?"), tr("Cancel"), tr("Revert"), QString(),
        tr("Your current changes will be lost."));
    const QPointer<Document> self(this);
    alert.beginSheetModalForWindowCompletionHandler(windowForSheet(), [self](int code) {
        if (!self || code != Alert::kAlternateReturn)
            return;
        QuorvaneError error;
        if (!self->revertToContentsOfURLOfTypeError(self->m_fileURL, self->m_fileType, &error))
            self->presentError(error);
    });
}

bool Document::validateMenuItem(MenuItem* item)
{
    const QByteArray action = item->action();
    if (action == "undo") {
        item->setTitle(m_undoManager->undoMenuItemTitle());
        return m_undoManager->canUndo();
    }
    if (action == "redo") {
        item->setTitle(m_undoManager->redoMenuItemTitle());
        return m_undoManager->canRedo();
    }
    if (action == "revertDocumentToSaved")
        return !m_fileURL.isEmpty() && isDocumentEdited();
    return true;
}

void Document::saveWithCompletion(std::function<void(bool saved)> completion)
{
    if (m_fileURL.isEmpty()) {
        runSavePanel(SaveAsOperation, std::move(completion));
        return;
    }
    // Not the members themselves: the save changes them.
    const QUrl url = m_fileURL;
    const QString typeName = m_fileType;
    QuorvaneError error;
    const bool saved = saveToURLOfTypeForSaveOperationError(url, typeName, SaveOperation, &error);
    if (!saved)
        presentError(error);
    if (completion)
        completion(saved);
}

void Document::tellDuringSave(const QString&)
{
    Application::beep();
}

bool Document::refusedDuringSave(const QString& command)
{
    if (!isSaving())
        return false;
    tellDuringSave(tr("“%1” is being saved: choose %2 again once the save has ended.").arg(displayName(), command));
    return true;
}

void Document::afterSave(std::function<void()> request)
{
    m_afterSave.push_back(std::move(request));
}

void Document::saveEnded()
{
    if (--m_savesUnderWay > 0 || m_afterSave.empty())
        return;
    // Overrides carry on with the save once this returns: what waited runs on a later turn,
    // in the order asked, unless another save has begun by then (its end runs them). A
    // request may close the document: each minds that itself.
    RunLoop::performAfterDelay(this, [this] {
        if (!isSaving())
            for (const auto& request : std::exchange(m_afterSave, {}))
                request();
    }, 0);
}

void Document::runSavePanel(SaveOperationType operation, std::function<void(bool saved)> completion)
{
    SavePanel panel;
    panel.setNameFieldStringValue(displayName());
    prepareSavePanel(panel);
    const QPointer<Document> self(this);
    panel.beginSheetModalForWindowCompletionHandler(windowForSheet(), [self, panel, operation, completion](int result) {
        bool saved = false;
        if (self && result == 1) {
            QuorvaneError error;
            saved = self->saveToURLOfTypeForSaveOperationError(panel.URL(), self->m_fileType, operation, &error);
            if (!saved)
                self->presentError(error);
        }
        if (completion)
            completion(saved);
    });
}

} // namespace platform

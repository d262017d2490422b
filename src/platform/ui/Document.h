#pragma once

// A document: its contents, where they live on disk, whether they changed since, and the
// windows that show them.
//
// Reading and writing go through three levels that subclasses override as they need: a
// URL (the default reads or writes a file wrapper), a file wrapper (the default treats a
// plain file as data) and data. Package documents override the file-wrapper level. Saving
// is atomic; a failed save leaves the file on disk as it was. Any failure, including an
// exception thrown while reading or writing, ends in a QuorvaneError that names the file
// and carries the reason (see DocumentError).
//
// A save holds the main thread while its progress window runs events, and through them the
// user may ask for more. Closing the document (from its window, or to quit) waits until the
// save has ended and then goes on as asked; another save or a revert is refused. Either way
// the user is told at once (see tellDuringSave).
//
// Each document has its own undo manager. Every new group it closes marks a change, and
// its undos and redos take it back and forth, whoever sends them, so undoing to the state
// last saved leaves the document unedited. A change made after undoing past that state makes it unreachable: the
// document then stays edited until it is saved.

#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQObject.h"

#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QWidget;
class ZQUndoManager;

namespace platform {

class FileWrapper;
class MenuItem;
class SavePanel;
class WindowController;

class Document : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(bool documentEdited READ isDocumentEdited)
    Q_PROPERTY(QString displayName READ displayName)
    Q_PROPERTY(QUrl fileURL READ fileURL WRITE setFileURL)
    Q_PROPERTY(QString fileType READ fileType WRITE setFileType)

public:
    enum ChangeType { ChangeDone = 0, ChangeUndone = 1, ChangeCleared = 2, ChangeRedone = 5 };
    enum SaveOperationType { SaveOperation = 0, SaveAsOperation = 1, SaveToOperation = 2 };

    Document();
    ~Document() override;

    // An untitled document of the type.
    virtual bool initWithTypeError(const QString& typeName, QuorvaneError* error);
    // A document read from the file at `url`.
    bool initWithContentsOfURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error);

    // --- Where it lives -----------------------------------------------------------------
    QUrl fileURL() const { return m_fileURL; }
    void setFileURL(const QUrl& url);
    QString fileType() const { return m_fileType; }
    void setFileType(const QString& typeName);
    // The file name without extension; "Untitled", "Untitled 2", ... before the first save.
    QString displayName() const;

    // --- Reading and writing ------------------------------------------------------------
    virtual bool readFromURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error);
    virtual bool readFromFileWrapperOfTypeError(const FileWrapper& wrapper, const QString& typeName,
                                                QuorvaneError* error);
    virtual bool readFromDataOfTypeError(const QByteArray& data, const QString& typeName, QuorvaneError* error);
    // Whether a package's files are read only as the document asks for each (see
    // FileWrapper::Reading): so for a document that keeps files it never reads.
    virtual bool readsPackageFilesOnDemand() const { return false; }

    virtual bool writeToURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error);
    virtual std::optional<FileWrapper> fileWrapperOfTypeError(const QString& typeName, QuorvaneError* error);
    virtual std::optional<QByteArray> dataOfTypeError(const QString& typeName, QuorvaneError* error);

    // Writes the document; a Save or Save As then makes `url` the document's file, clears
    // the change count and notes the file among the recent documents. What was asked of the
    // document meanwhile and waits for the save runs on a later turn of the event loop.
    virtual bool saveToURLOfTypeForSaveOperationError(const QUrl& url, const QString& typeName, SaveOperationType operation,
                                              QuorvaneError* error);
    // Re-reads the file, dropping the changes and the undo history.
    bool revertToContentsOfURLOfTypeError(const QUrl& url, const QString& typeName, QuorvaneError* error);

    // --- Changes and undo ---------------------------------------------------------------
    void updateChangeCount(ChangeType change);
    bool isDocumentEdited() const;
    ZQUndoManager* undoManager() const { return m_undoManager.get(); }

    // --- Windows ------------------------------------------------------------------------
    // Makes the document's window controllers; the default makes none.
    virtual void makeWindowControllers() {}
    void addWindowController(std::shared_ptr<WindowController> controller);
    void removeWindowController(WindowController* controller);
    QList<WindowController*> windowControllers() const;
    void showWindows();
    // The window that carries the document's sheets: its first window, or null.
    QWidget* windowForSheet() const;
    // Closes the windows and leaves the document controller, without asking anything; during
    // a save, once it has ended.
    void close();
    // Answers through `completion` whether the document may close, first asking to save
    // unsaved changes in a sheet (save, cancel, or close without saving); during a save,
    // once it has ended (true if the document has gone by then).
    void canCloseDocument(std::function<void(bool shouldClose)> completion);

    // Shows the error in a sheet on the document's window (or an alert without one).
    void presentError(const QuorvaneError& error);

    // Sets up the save panel: title, allowed types, an accessory. The default allows the
    // extensions the document controller knows for the document's type, in a filter named
    // for the type, and shows packages of every type as documents, which saving replaces whole.
    virtual void prepareSavePanel(SavePanel& panel);

    // Whether a save of the document is under way.
    bool isSaving() const { return m_savesUnderWay > 0; }

    // --- Actions ------------------------------------------------------------------------
    // Saving and reverting are refused while a save is under way.
    Q_INVOKABLE void saveDocument(QObject* sender);
    Q_INVOKABLE void saveDocumentAs(QObject* sender);
    Q_INVOKABLE void saveDocumentTo(QObject* sender);
    // Asks first (Cancel is the default), then re-reads the saved file.
    Q_INVOKABLE void revertDocumentToSaved(QObject* sender);
    Q_INVOKABLE void undo(QObject* sender);
    Q_INVOKABLE void redo(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

protected:
    // What a subclass lets go of as the document closes, before its windows do.
    virtual void documentWillClose() {}
    // Tells the user, while a save is under way, what became of a request made meanwhile;
    // the default beeps.
    virtual void tellDuringSave(const QString& note);

private:
    // Runs `request` now, or on the turn after the save under way has ended.
    void afterSave(std::function<void()> request);
    void saveEnded();
    // Whether a save refuses `command` (tells the user so).
    bool refusedDuringSave(const QString& command);
    void runSavePanel(SaveOperationType operation, std::function<void(bool saved)> completion);
    void saveWithCompletion(std::function<void(bool saved)> completion);
    void setChangeCount(int count, bool savedStateReachable);

    QUrl m_fileURL;
    QString m_fileType;
    int m_savesUnderWay = 0;
    bool m_closesAfterSave = false;
    std::vector<std::function<void()>> m_afterSave;
    mutable QString m_untitledName;
    int m_changeCount = 0;
    bool m_savedStateReachable = true;
    std::unique_ptr<ZQUndoManager> m_undoManager;
    std::vector<std::shared_ptr<WindowController>> m_windowControllers;
};

} // namespace platform

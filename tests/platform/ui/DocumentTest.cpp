#include "UiTestSupport.h"

#include "platform/foundation/GradualRelease.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/DocumentError.h"
#include "platform/ui/FileWrapper.h"
#include "platform/ui/Menu.h"
#include "platform/ui/WindowController.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QThread>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <atomic>
#include <stdexcept>

#if defined(__GLIBC__)
#include <dlfcn.h>
#include <malloc.h>

// Every return of freed memory asked of the allocator, and whether one kept the main thread.
static std::atomic<int> s_memoryReturns{0};
static std::atomic<bool> s_memoryReturnedOnMainThread{false};

extern "C" int malloc_trim(size_t pad) noexcept
{
    using Trim = int (*)(size_t);
    static const auto allocatorsOwn = reinterpret_cast<Trim>(dlsym(RTLD_NEXT, "malloc_trim"));
    if (QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread())
        s_memoryReturnedOnMainThread = true;
    ++s_memoryReturns;
    return allocatorsOwn ? allocatorsOwn(pad) : 0;
}
#endif

using platform::Document;
using platform::DocumentController;
using platform::FileWrapper;

namespace {

// A package document: "note.plist" holds the text and "pages/<n>.txt" one file per page.
class NoteDocument : public Document {
    Q_OBJECT

public:
    QString text;
    QStringList pages;
    bool breakNextWrite = false;

    void setText(const QString& newText)
    {
        const QString old = text;
        undoManager()->registerUndoWithTargetHandler(this, [this, old] { setText(old); });
        text = newText;
    }

    bool readFromFileWrapperOfTypeError(const FileWrapper& wrapper, const QString&, QuorvaneError* error) override
    {
        const FileWrapper* note = wrapper.fileWrapperNamed("note.plist");
        const FileWrapper* pageFolder = wrapper.fileWrapperNamed("pages");
        if (!note || !pageFolder || !pageFolder->isDirectory()) {
            *error = QuorvaneError(kQuorvaneDocumentError, "the note is incomplete");
            return false;
        }
        const std::optional<QVariant> plist = platform::PropertyList::fromData(note->regularFileContents(), error);
        if (!plist || plist->typeId() != QMetaType::QVariantMap)
            return false;
        text = plist->toMap().value("text").toString();
        ZQ_ASSERT(text != "explode", "a note that cannot be read");
        pages.clear();
        for (const FileWrapper& page : pageFolder->fileWrappers())
            pages << QString::fromUtf8(page.regularFileContents());
        return true;
    }

    std::optional<FileWrapper> fileWrapperOfTypeError(const QString&, QuorvaneError* error) override
    {
        FileWrapper package = FileWrapper::directory();
        const std::optional<QByteArray> note =
            platform::PropertyList::toData(QVariantMap{{"text", text}}, platform::PropertyList::Format::Xml, error);
        if (!note)
            return std::nullopt;
        package.addRegularFileWithContentsFilename(*note, "note.plist");
        FileWrapper pageFolder = FileWrapper::directory("pages");
        for (int i = 0; i < pages.size(); ++i)
            pageFolder.addRegularFileWithContentsFilename(pages[i].toUtf8(), QString("%1.txt").arg(i));
        if (text == "explode")
            throw std::runtime_error("out of ink");
        // A name no file system takes fails the write after the pages are on disk.
        if (breakNextWrite)
            pageFolder.addRegularFileWithContentsFilename("x", QString(300, QChar('n')));
        package.addFileWrapper(pageFolder);
        return package;
    }
};

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller = DocumentController::sharedDocumentController();
        controller->registerDocumentType("Note", {"note"}, [] { return std::make_shared<NoteDocument>(); },
                                         DocumentController::Storage::File, "Notes");
        platform::UserDefaults::standardUserDefaults()->removeObjectForKey(DocumentController::kRecentDocumentsKey);
    }

    void TearDown() override
    {
        controller->closeAllDocuments();
        platform::RunLoop::runUntilIdle();
    }

    QString path(const QString& name) const { return folder.path() + '/' + name; }
    QUrl url(const QString& name) const { return QUrl::fromLocalFile(path(name)); }
    QStringList entries() const { return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

    std::shared_ptr<NoteDocument> savedNote(const QString& name)
    {
        auto note = std::make_shared<NoteDocument>();
        note->text = "first draft";
        note->pages = {"one", "two"};
        EXPECT_TRUE(save(*note, url(name)));
        return note;
    }

    static bool save(Document& note, const QUrl& to, Document::SaveOperationType operation = Document::SaveOperation,
                     QuorvaneError* error = nullptr)
    {
        QuorvaneError ignored;
        return note.saveToURLOfTypeForSaveOperationError(to, "Note", operation, error ? error : &ignored);
    }

    static void writeFile(const QString& filePath, const QByteArray& bytes)
    {
        QFile::remove(filePath);
        QFile file(filePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir folder;
    DocumentController* controller = nullptr;
};

} // namespace

TEST_F(DocumentTest, PackagesRoundTripAndSavingACopyLeavesTheDocumentAlone)
{
    std::shared_ptr<NoteDocument> note = savedNote("Trip.note");
    EXPECT_TRUE(QFileInfo(path("Trip.note/pages/1.txt")).isFile());
    EXPECT_EQ(note->displayName(), "Trip");
    EXPECT_FALSE(note->isDocumentEdited());

    QuorvaneError error;
    Document* reopened = controller->openDocumentWithContentsOfURLDisplayError(url("Trip.note"), false, &error);
    ASSERT_NE(reopened, nullptr) << error.localizedDescription().toStdString();
    auto* copy = qobject_cast<NoteDocument*>(reopened);
    EXPECT_EQ(copy->text, "first draft");
    EXPECT_EQ(copy->pages, (QStringList{"one", "two"}));
    EXPECT_EQ(copy->fileType(), "Note");
    EXPECT_FALSE(copy->isDocumentEdited());
    // Opening the same file again answers the open document.
    EXPECT_EQ(controller->openDocumentWithContentsOfURLDisplayError(url("./Trip.note"), false, &error), reopened);
    EXPECT_EQ(controller->documents().size(), 1);

    // Save To writes a copy and leaves the document its file, its edited state and the recent list.
    note->setText("changed");
    note->undoManager()->closeAutomaticGroup();
    ASSERT_TRUE(save(*note, url("Copy.note"), Document::SaveToOperation));
    EXPECT_EQ(note->fileURL(), url("Trip.note"));
    EXPECT_TRUE(note->isDocumentEdited());
    EXPECT_TRUE(QFileInfo(path("Copy.note/note.plist")).isFile());
    EXPECT_EQ(controller->recentDocumentURLs(), QList<QUrl>{url("Trip.note")});
}

TEST_F(DocumentTest, FailedSaveLeavesTheOldPackageAndNoDebris)
{
    std::shared_ptr<NoteDocument> note = savedNote("Keep.note");
    const std::optional<FileWrapper> before = FileWrapper::readFromPath(path("Keep.note"));
    ASSERT_TRUE(before);

    note->text = "second draft";
    note->pages = {"uno"};
    note->updateChangeCount(Document::ChangeDone);
    note->breakNextWrite = true;
    QuorvaneError error;
    EXPECT_FALSE(save(*note, url("Keep.note"), Document::SaveOperation, &error));
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    EXPECT_EQ(error.domain(), kQuorvaneErrorDomain);
    // The document by its name and the system's reason, not the hidden place it was written to.
    EXPECT_EQ(error.localizedDescription(), "The document “Keep.note” could not be saved.");
    EXPECT_EQ(error.userInfo().value("exception").toString(), "File name too long");
    EXPECT_TRUE(note->isDocumentEdited());
    EXPECT_EQ(FileWrapper::readFromPath(path("Keep.note")), before);
    EXPECT_EQ(entries(), QStringList{"Keep.note"});

    // The next good save replaces the package as a whole: page 1 is gone.
    note->breakNextWrite = false;
    EXPECT_TRUE(save(*note, url("Keep.note")));
    EXPECT_FALSE(QFileInfo::exists(path("Keep.note/pages/1.txt")));
    EXPECT_EQ(entries(), QStringList{"Keep.note"});
}

TEST_F(DocumentTest, DamagedOrIncompletePackagesFailWithError101)
{
    savedNote("Good.note");
    for (const QString name : {"NoPages.note", "Damaged.note", "WrongRoot.note"}) {
        QDir().mkpath(path(name + "/pages"));
        QFile::copy(path("Good.note/note.plist"), path(name + "/note.plist"));
    }
    QDir(path("NoPages.note/pages")).removeRecursively();
    writeFile(path("Damaged.note/note.plist"), "<?xml version=\"1.0\"?><plist><dict><key>text</key>");
    writeFile(path("WrongRoot.note/note.plist"),
              *platform::PropertyList::toData(QVariantList{1, 2}, platform::PropertyList::Format::Binary));
    writeFile(path("Flat.note"), "not a folder");
    writeFile(path("Picture.png"), "png");

    for (const QString name : {"NoPages.note", "Damaged.note", "WrongRoot.note", "Flat.note", "Missing.note",
                                "Picture.png"}) {
        QuorvaneError error;
        EXPECT_EQ(controller->openDocumentWithContentsOfURLDisplayError(url(name), false, &error), nullptr) << qPrintable(name);
        EXPECT_EQ(error.code(), kQuorvaneDocumentError) << qPrintable(name);
        // The file by name, and why: the alert's message and informative text.
        EXPECT_EQ(error.localizedDescription(), QString("The document “%1” could not be opened.").arg(name));
        EXPECT_FALSE(platform::DocumentError::failureReason(error).isEmpty()) << qPrintable(name);
    }
    EXPECT_TRUE(controller->documents().isEmpty());
}

TEST_F(DocumentTest, ExceptionsWhileReadingOrWritingBecomeErrors)
{
    std::shared_ptr<NoteDocument> note = savedNote("Boom.note");
    note->text = "explode";
    QuorvaneError error;
    EXPECT_FALSE(save(*note, url("Boom.note"), Document::SaveOperation, &error));
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    EXPECT_EQ(error.userInfo().value("exception").toString(), "out of ink");
    EXPECT_TRUE(FileWrapper::readFromPath(path("Boom.note/note.plist"))->regularFileContents().contains("first draft"));

    writeFile(path("Boom.note/note.plist"),
              *platform::PropertyList::toData(QVariantMap{{"text", "explode"}}, platform::PropertyList::Format::Xml));
    error = {};
    EXPECT_EQ(controller->openDocumentWithContentsOfURLDisplayError(url("Boom.note"), false, &error), nullptr);
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    EXPECT_TRUE(error.userInfo().value("VXOriginalException").toString().contains("a note that cannot be read"));
}

TEST_F(DocumentTest, ChangeCountFollowsUndoAndRedoWhoeverSendsThem)
{
    std::shared_ptr<NoteDocument> note = savedNote("Count.note");
    ZQUndoManager* undo = note->undoManager();
    const auto edit = [&](const QString& text) {
        note->setText(text);
        undo->closeAutomaticGroup();
    };
    const auto state = [&] { return std::pair(note->text, note->isDocumentEdited()); };
    using State = std::pair<QString, bool>;
    edit("a");
    ASSERT_TRUE(save(*note, note->fileURL()));
    // Past the saved state and back, in one and two steps, sent straight to the manager as a history panel would.
    undo->undo();
    EXPECT_EQ(state(), State("first draft", true));
    undo->redo();
    EXPECT_EQ(state(), State("a", false));
    edit("ab");
    undo->undo();
    undo->undo();
    EXPECT_EQ(state(), State("first draft", true));
    undo->redo();
    EXPECT_EQ(state(), State("a", false));
    undo->redo();
    EXPECT_EQ(state(), State("ab", true));
    // Mixed senders meet at the same count.
    note->undo(nullptr);
    EXPECT_EQ(state(), State("a", false));
    undo->undo();
    note->redo(nullptr);
    EXPECT_EQ(state(), State("a", false));

    // A failing undo still consumed its group: the document is one step back.
    undo->registerUndoWithTargetHandler(nullptr, [] { throw std::runtime_error("cannot restore"); });
    undo->closeAutomaticGroup();
    EXPECT_TRUE(note->isDocumentEdited());
    EXPECT_THROW(undo->undo(), std::runtime_error);
    EXPECT_EQ(state(), State("a", false));

    // Undo history dropped behind the document's back does not confuse the count.
    undo->removeAllActions();
    edit("b");
    EXPECT_EQ(state(), State("b", true));
    undo->undo();
    EXPECT_EQ(state(), State("a", false));

    // Undone past the saved state, a new change leaves it unreachable by undo or redo.
    undo->redo();
    ASSERT_TRUE(save(*note, note->fileURL()));
    note->undo(nullptr);
    edit("elsewhere");
    undo->undo();
    EXPECT_EQ(state(), State("a", true));
    note->redo(nullptr);
    EXPECT_EQ(state(), State("elsewhere", true));
}

TEST_F(DocumentTest, RecentDocumentsAreNewestFirstDistinctBoundedAndExisting)
{
    for (const QString name : {"a.note", "b.note", "c.note", "a.note"})
        savedNote(name);
    EXPECT_EQ(controller->recentDocumentURLs(), (QList<QUrl>{url("a.note"), url("c.note"), url("b.note")}));
    QDir(path("c.note")).removeRecursively();
    EXPECT_EQ(controller->recentDocumentURLs(), (QList<QUrl>{url("a.note"), url("b.note")}));
    controller->setMaximumRecentDocumentCount(2);
    savedNote("d.note");
    savedNote("e.note");
    EXPECT_EQ(controller->recentDocumentURLs(), (QList<QUrl>{url("e.note"), url("d.note")}));
    controller->setMaximumRecentDocumentCount(10);

    // The Open Recent menu opens what its items represent.
    platform::Menu menu;
    controller->populateOpenRecentMenu(&menu);
    QStringList titles;
    for (QAction* action : menu.actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList{"e.note", "d.note", "", "Clear Menu"}));
    menu.actions().at(1)->trigger();
    ASSERT_EQ(controller->documents().size(), 1);
    EXPECT_EQ(controller->documents().first()->fileURL(), url("d.note"));

    platform::MenuItem* clear = qobject_cast<platform::MenuItem*>(menu.actions().last());
    clear->setTarget(controller);
    EXPECT_TRUE(clear->validate());
    clear->trigger();
    EXPECT_TRUE(controller->recentDocumentURLs().isEmpty());
    EXPECT_FALSE(clear->validate());
}

TEST_F(DocumentTest, TypesComeFromExtensionsAndUnknownOnesAreRefused)
{
    EXPECT_EQ(controller->typeFromFileExtension("NOTE"), "Note");
    EXPECT_EQ(controller->fileExtensionsFromType("Note"), QStringList{"note"});
    QuorvaneError error;
    EXPECT_TRUE(controller->typeForContentsOfURLError(url("x.doc"), &error).isEmpty());
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    error = {};
    EXPECT_EQ(controller->makeUntitledDocumentOfTypeError("Spreadsheet", &error), nullptr);
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
}

namespace {

class NoteWindowController : public platform::WindowController {
    Q_OBJECT
};

// Answers the alert the window shows with the button titled `title` (Escape for an empty title).
void answerAlert(QWidget* window, const QString& title, QString* message = nullptr)
{
    platform::RunLoop::runUntilIdle();
    auto* box = window->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    if (message)
        *message = box->text();
    if (title.isEmpty())
        QTest::keyClick(box, Qt::Key_Escape);
    else
        for (QAbstractButton* button : box->buttons())
            if (button->text() == title)
                button->click();
    platform::RunLoop::runUntilIdle();
}

// Asks the window to close and answers its save alert with the button titled `title`.
void closeAnswering(QWidget* window, const QString& title, QString* message = nullptr)
{
    window->close();
    answerAlert(window, title, message);
}

} // namespace

TEST_F(DocumentTest, RevertToSavedAsksFirstAndOnlyRevertDropsTheChanges)
{
    std::shared_ptr<NoteDocument> note = savedNote("Revert.note");
    controller->addDocument(note);
    auto windowController = std::make_shared<NoteWindowController>();
    note->addWindowController(windowController);
    QWidget* window = windowController->window();
    uitest::activate(window);
    note->setText("unsaved");
    note->undoManager()->closeAutomaticGroup();

    // Cancel is the default and Escape's answer: nothing changes, the edit can still be undone.
    QString message;
    note->revertDocumentToSaved(nullptr);
    auto* box = window->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->defaultButton()->text(), "Cancel");
    answerAlert(window, QString(), &message);
    EXPECT_EQ(message, "Do you want to revert to the most recently saved version?");
    note->revertDocumentToSaved(nullptr);
    answerAlert(window, "Cancel");
    EXPECT_EQ(note->text, "unsaved");
    EXPECT_TRUE(note->isDocumentEdited());
    EXPECT_TRUE(note->undoManager()->canUndo());

    note->revertDocumentToSaved(nullptr);
    answerAlert(window, "Revert");
    EXPECT_EQ(note->text, "first draft");
    EXPECT_FALSE(note->isDocumentEdited());
    EXPECT_FALSE(note->undoManager()->canUndo());
    EXPECT_EQ(window->findChild<QMessageBox*>(), nullptr);
}

TEST_F(DocumentTest, ClosingAnEditedDocumentWindowAsksFirst)
{
    std::shared_ptr<NoteDocument> note = savedNote("Ask.note");
    controller->addDocument(note);
    auto windowController = std::make_shared<NoteWindowController>();
    note->addWindowController(windowController);
    QWidget* window = windowController->window();
    uitest::activate(window);
    EXPECT_EQ(window->windowTitle(), "Ask[*]");
    EXPECT_FALSE(window->isWindowModified());
    note->setText("unsaved");
    note->undoManager()->closeAutomaticGroup();
    EXPECT_TRUE(window->isWindowModified());

    // Cancel keeps everything open; Save writes the package, then the document closes.
    QString message;
    closeAnswering(window, "Cancel", &message);
    EXPECT_TRUE(message.contains("“Ask”"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(controller->documents().size(), 1);
    closeAnswering(window, "Save");
    EXPECT_TRUE(controller->documents().isEmpty());
    EXPECT_TRUE(note->windowControllers().isEmpty());
    auto reread = std::make_shared<NoteDocument>();
    QuorvaneError error;
    ASSERT_TRUE(reread->initWithContentsOfURLOfTypeError(url("Ask.note"), "Note", &error));
    EXPECT_EQ(reread->text, "unsaved");
}

#if defined(__GLIBC__)
TEST_F(DocumentTest, ClosingReturnsFreedMemoryOffTheMainThreadOnceReleasedAndNoMapIsWorkedIn)
{
    // The return locks each heap arena for its whole pass, which a window worked in would wait
    // for: none while another document is open and a window active; then once, after the
    // objects let go a slice per turn have all gone, off the main thread.
    const auto waitForReturns = [](int count) {
        QElapsedTimer waited;
        waited.start();
        while (s_memoryReturns < count && waited.elapsed() < 5000)
            QThread::msleep(5);
        QThread::msleep(50);
    };
    QWidget window;
    uitest::activate(&window);
    std::vector<std::shared_ptr<NoteDocument>> notes{savedNote("One.note"), savedNote("Two.note")};
    for (const auto& note : notes)
        controller->addDocument(note);
    const int before = s_memoryReturns;
    notes[0]->close();
    platform::RunLoop::runFor(3000);
    waitForReturns(before + 1);
    EXPECT_EQ(s_memoryReturns, before) << "while the other is worked in";

    // Slow objects of the closed one still waiting: the return comes after the last.
    std::atomic<int> released{0};
    QList<std::shared_ptr<int>> slow;
    for (int i = 0; i < 40; ++i)
        slow << std::shared_ptr<int>(new int(i), [&released](int* value) {
            QThread::msleep(2);
            ++released;
            delete value;
        });
    platform::GradualRelease::releaseLater(std::move(slow));
    notes[1]->close();
    int returnsWhilePending = 0;
    while (platform::GradualRelease::pendingCount() > 0) {
        platform::RunLoop::runFor(50);
        returnsWhilePending += s_memoryReturns - before;
    }
    EXPECT_EQ(returnsWhilePending, 0);
    EXPECT_EQ(released, 40);
    platform::RunLoop::runFor(500);
    waitForReturns(before + 1);
    EXPECT_EQ(s_memoryReturns, before + 1);
    EXPECT_FALSE(s_memoryReturnedOnMainThread);
}

TEST_F(DocumentTest, ClosingReturnsNoFreedMemoryWhileThePointerMovesOverAnotherDocumentsWindow)
{
    // The window closed had the keys and no other takes them, as with no window manager; the
    // return waits while the pointer moves over the window left, then comes once it rests.
    // A return started goes off the main thread: waits for the one expected, a while for none.
    const auto returnsWithin = [](int before, qint64 milliseconds, int expected) {
        platform::RunLoop::runFor(milliseconds);
        QElapsedTimer waited;
        waited.start();
        while (s_memoryReturns - before < std::max(expected, 1) && waited.elapsed() < (expected ? 5000 : 100))
            QThread::msleep(5);
        return s_memoryReturns - before;
    };
    std::vector<std::shared_ptr<NoteDocument>> notes{savedNote("One.note"), savedNote("Two.note")};
    for (const auto& note : notes)
        controller->addDocument(note);
    QWidget left;
    left.resize(200, 200);
    left.show();
    auto closing = std::make_unique<QWidget>();
    uitest::activate(closing.get());
    const int before = s_memoryReturns;
    notes[0]->close();
    closing.reset();
    ASSERT_EQ(QGuiApplication::focusWindow(), nullptr);
    for (int step = 0; step < 100; ++step) {
        QTest::mouseMove(left.windowHandle(), QPoint(10 + step, 10 + step / 2));
        platform::RunLoop::runFor(50);
    }
    EXPECT_EQ(returnsWithin(before, 0, 0), 0) << "while the pointer moved over the window left";
    EXPECT_EQ(returnsWithin(before, 3000, 1), 1) << "once it rested";
    EXPECT_FALSE(s_memoryReturnedOnMainThread);
}
#endif

TEST_F(DocumentTest, UntitledDocumentSavesThroughTheSavePanel)
{
    Document* untitled = controller->openUntitledDocumentAndDisplayError(false, nullptr);
    ASSERT_NE(untitled, nullptr);
    EXPECT_TRUE(untitled->displayName().startsWith("Untitled"));
    auto windowController = std::make_shared<NoteWindowController>();
    untitled->addWindowController(windowController);
    uitest::activate(windowController->window());

    untitled->saveDocument(nullptr);
    auto* dialog = windowController->window()->findChild<QFileDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->nameFilters(), QStringList{"Notes (*.note)"});
    dialog->setDirectory(folder.path());
    dialog->selectFile("Fresh"); // the panel adds the type's extension
    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
    platform::RunLoop::runUntilIdle();

    EXPECT_EQ(untitled->fileURL(), url("Fresh.note"));
    EXPECT_TRUE(QFileInfo(path("Fresh.note/note.plist")).isFile());
    EXPECT_EQ(windowController->window()->windowTitle(), "Fresh[*]");
}

#include "DocumentTest.moc"

// What the user asks of a map while it is being saved: the save's progress window runs events,
// so a quit, a close of the window or of the map, another save or a revert can arrive with the
// save still on the stack. Closing waits until the save has ended and then happens once; saving
// again and reverting are refused, and the progress window says why.

#include "MapDocumentTestSupport.h"
#include "support/ChildRun.h"
#include "support/MapWindowTesting.h"

#include "app/document/DocumentWorkProgress.h"
#include "app/progress/ZQProgressController.h"
#include "app/progress/ZQProgressView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

using mapdocumenttest::activeMappingLayer;
using mapdocumenttest::addSquares;

namespace {

QList<ZQProgressView*> saveRows()
{
    QList<ZQProgressView*> rows = ZQProgressController::sharedProgress()->displayedProgressViews();
    rows.removeIf([](ZQProgressView* row) {
        return !row->isInProgress() || !qobject_cast<DocumentWorkProgress*>(dynamic_cast<QObject*>(row->delegate()));
    });
    return rows;
}

// Questions, alerts and save panels shown.
int shownDialogs()
{
    int shown = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        shown += widget->isVisible() && (qobject_cast<QMessageBox*>(widget) || qobject_cast<QFileDialog*>(widget));
    return shown;
}

QMessageBox* shownQuestion()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

class RequestsDuringASave : public testsupport::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        m_previousDelay = DocumentWorkProgress::setShowDelay({});
        // Enough objects for the save to report, and so run events, a few dozen times.
        addSquares(*activeMappingLayer(*document), 3000);
        QuorvaneError error;
        ASSERT_TRUE(document->saveToURLOfTypeForSaveOperationError(url(), kZQMapDocumentType,
                                                                   platform::Document::SaveAsOperation, &error));
        platform::RunLoop::runUntilIdle();
        dialogsBefore = shownDialogs();
    }

    void TearDown() override
    {
        DocumentWorkProgress::setShowDelay(m_previousDelay);
        MapWindowTest::TearDown();
    }

    QUrl url() const { return QUrl::fromLocalFile(folder.filePath(QStringLiteral("Harbour.qvnl"))); }

    void addOneSquare()
    {
        addSquares(*activeMappingLayer(*document), 1);
        document->undoManager()->closeAutomaticGroup();
        ASSERT_TRUE(document->isDocumentEdited());
    }

    bool documentOpen() const
    {
        return platform::DocumentController::sharedDocumentController()->documents().contains(document);
    }

    // Saves as Ctrl+S does and makes `request` once the save shows its progress, noting what
    // the save's later turns find.
    void saveAsking(const std::function<void()>& request)
    {
        asked = false;
        turnsAfterRequest = mostSaveRows = mostDialogs = 0;
        openThroughout = true;
        note.clear();
        const QPointer<QWidget> mapWindow(window);
        QTimer turn;
        turn.setInterval(0);
        QObject::connect(&turn, &QTimer::timeout, [&] {
            const QList<ZQProgressView*> rows = saveRows();
            if (rows.isEmpty())
                return;
            mostSaveRows = std::max(mostSaveRows, int(rows.size()));
            if (!asked) {
                asked = true;
                request();
                return;
            }
            ++turnsAfterRequest;
            openThroughout = openThroughout && documentOpen() && mapWindow && mapWindow->isVisible();
            mostDialogs = std::max(mostDialogs, shownDialogs() - dialogsBefore);
            note = rows.first()->additionalInfoString();
        });
        turn.start();
        document->saveDocument(nullptr);
        turn.stop();
        ASSERT_TRUE(asked);
    }

    // The objects of the package on disk.
    qsizetype objectsSaved() const
    {
        auto reopened = std::make_shared<ZQTrueQuorvaneDocument>();
        QuorvaneError error;
        if (!reopened->initWithContentsOfURLOfTypeError(url(), kZQMapDocumentType, &error))
            return -1;
        return activeMappingLayer(*reopened)->countOfObjects();
    }

    QTemporaryDir folder;
    int dialogsBefore = 0;
    bool asked = false;
    int turnsAfterRequest = 0;
    bool openThroughout = true;
    int mostSaveRows = 0;
    int mostDialogs = 0;
    QString note;

private:
    std::chrono::milliseconds m_previousDelay{};
};

} // namespace

TEST_F(RequestsDuringASave, AQuitWaitsForTheSaveThenClosesTheMapAndEndsTheApplicationOnce)
{
    // Quitting ends the event loop: run where the loop may end, in a process of its own.
    if (!testsupport::isChildRun("QUORVANE_QUIT_DURING_SAVE")) {
        testsupport::expectThisTestPassesInAChild("QUORVANE_QUIT_DURING_SAVE", {}, 120000);
        return;
    }
    platform::RunLoop::setManualClock(false); // the loop runs on its own here
    // Unedited, as a map opened and saved again: nothing holds the quit back but the save.
    int quits = 0;
    bool saveReturned = false;
    bool savedBeforeQuit = false;
    struct QuitCounter : QObject {
        std::function<void()> counted;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (watched == qApp && event->type() == QEvent::Quit)
                counted();
            return false;
        }
    } counter;
    counter.counted = [&] {
        ++quits;
        savedBeforeQuit = saveReturned;
    };
    qApp->installEventFilter(&counter);
    QTimer::singleShot(0, [&] {
        saveAsking([&] {
            delegate.terminate(nullptr);
            delegate.terminate(nullptr); // pressed again: brings the map forward, nothing more
        });
        saveReturned = true;
    });
    QTimer::singleShot(60000, qApp, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    qApp->removeEventFilter(&counter);

    EXPECT_GT(turnsAfterRequest, 0);
    EXPECT_TRUE(openThroughout);
    EXPECT_EQ(note, QStringLiteral("Closing “Harbour” waits for the save to end."));
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(savedBeforeQuit);
    EXPECT_FALSE(documentOpen());
    EXPECT_EQ(objectsSaved(), 3000);
}

TEST_F(RequestsDuringASave, ClosingTheWindowWaitsForTheSaveAndAsksNothingOnceItIsSaved)
{
    addOneSquare();
    saveAsking([&] {
        window->close(); // as Close in the File menu does
        window->close();
    });
    EXPECT_GT(turnsAfterRequest, 0);
    EXPECT_TRUE(openThroughout);
    EXPECT_EQ(note, QStringLiteral("Closing waits until this has ended."));
    EXPECT_EQ(mostDialogs, 0);
    EXPECT_EQ(objectsSaved(), 3001);
    EXPECT_FALSE(document->isDocumentEdited());

    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(shownDialogs(), dialogsBefore);
    EXPECT_FALSE(documentOpen());
}

TEST_F(RequestsDuringASave, ClosingTheMapWaitsForTheSave)
{
    addOneSquare();
    const QPointer<QWidget> mapWindow(window); // goes with the map
    saveAsking([&] {
        document->close();
        document->close();
    });
    EXPECT_GT(turnsAfterRequest, 0);
    EXPECT_TRUE(openThroughout);
    EXPECT_EQ(objectsSaved(), 3001);

    platform::RunLoop::runUntilIdle();
    EXPECT_FALSE(documentOpen());
    EXPECT_TRUE(!mapWindow || !mapWindow->isVisible());
}

TEST_F(RequestsDuringASave, AQuestionToCloseAnEditedMapWaitsAndIsAskedOnlyIfTheSaveFailed)
{
    addOneSquare();
    std::vector<bool> answers;
    const auto answered = [&](bool shouldClose) { answers.push_back(shouldClose); };
    saveAsking([&] { document->canCloseDocument(answered); });
    EXPECT_GT(turnsAfterRequest, 0);
    EXPECT_EQ(mostDialogs, 0);
    EXPECT_TRUE(answers.empty());
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(answers, std::vector<bool>{true}); // saved: nothing to ask

    // Stopped, the map is still edited: the question comes after the save, not over it.
    addOneSquare();
    answers.clear();
    saveAsking([&] {
        document->canCloseDocument(answered);
        saveRows().first()->stopButton()->click();
    });
    EXPECT_EQ(mostDialogs, 0);
    EXPECT_TRUE(document->isDocumentEdited());
    platform::RunLoop::runUntilIdle();
    EXPECT_TRUE(answers.empty());
    QMessageBox* question = shownQuestion();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), QStringLiteral("Do you want to save the changes made to the document “Harbour”?"));
    for (QAbstractButton* button : question->buttons())
        if (button->text() == QStringLiteral("Cancel"))
            button->click();
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(answers, std::vector<bool>{false});
}

TEST_F(RequestsDuringASave, SavingAgainOrRevertingDuringASaveIsRefusedAndSaid)
{
    addOneSquare();
    const QList<std::pair<std::function<void()>, QString>> requests{
        {[&] { document->saveDocument(nullptr); }, QStringLiteral("Save")},
        {[&] { document->saveDocumentAs(nullptr); }, QStringLiteral("Save As...")},
        {[&] { document->saveDocumentTo(nullptr); }, QStringLiteral("Save To...")},
        {[&] { document->revertDocumentToSaved(nullptr); }, QStringLiteral("Revert to Saved")},
    };
    for (const auto& [request, command] : requests) {
        SCOPED_TRACE(command.toStdString());
        saveAsking(request);
        EXPECT_EQ(mostSaveRows, 1);
        EXPECT_EQ(mostDialogs, 0);
        EXPECT_EQ(note, QStringLiteral("“Harbour” is being saved: choose %1 again once the save has ended.").arg(command));
        platform::RunLoop::runUntilIdle();
        EXPECT_EQ(shownDialogs(), dialogsBefore);
        EXPECT_FALSE(document->isDocumentEdited());
        addOneSquare();
    }
    EXPECT_EQ(objectsSaved(), 3004);
}

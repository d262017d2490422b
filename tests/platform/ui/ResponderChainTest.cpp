#include "UiTestSupport.h"

#include "platform/foundation/ProblemReporter.h"
#include "platform/foundation/WholeEdit.h"
#include "platform/ui/Application.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/ResponderChain.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WindowController.h"
#include "support/LogCapture.h"

#include <QLineEdit>
#include <QStringList>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

using platform::Application;
using platform::ResponderChain;

namespace {

// Every responder logs "<who>.<action>" into one shared journal.
QStringList journal;

class FocusField : public QLineEdit {
    Q_OBJECT

public:
    Q_INVOKABLE void fieldAction(QObject*) { journal << "field.fieldAction"; }
    Q_INVOKABLE void sharedAction(QObject*) { journal << "field.sharedAction"; }
    // Named like an action but taking no sender, as a text editor's zoomIn(int range = 1).
    Q_INVOKABLE void windowAction(int steps = 1) { journal << QStringLiteral("field.windowAction %1").arg(steps); }
};

class Container : public QWidget {
    Q_OBJECT

public:
    Q_INVOKABLE void containerAction(QObject*) { journal << "container.containerAction"; }
    Q_INVOKABLE void sharedAction(QObject*) { journal << "container.sharedAction"; }
};

class Label : public QObject {
    Q_OBJECT

public:
    explicit Label(QString name) : name(std::move(name)) {}
    QString name;
    Q_INVOKABLE void boldAction(QObject*) { journal << name + ".boldAction"; }
};

// Passes what it lacks to its selected labels, as a label container does.
class PaneController : public platform::ViewController {
    Q_OBJECT

public:
    FocusField* field = nullptr;
    Label north{"north"};
    Label south{"south"};
    QList<QObject*> selectedLabels;

    QList<QObject*> forwardingTargetsForSelector(const QByteArray&) const override { return selectedLabels; }

    Q_INVOKABLE void paneAction(QObject* sender) { journal << "pane.paneAction"; lastSender = sender; }
    QObject* lastSender = nullptr;

protected:
    QWidget* loadView() override
    {
        auto* view = new Container;
        field = new FocusField;
        (new QVBoxLayout(view))->addWidget(field);
        return view;
    }
};

class MapWindowController : public platform::WindowController {
    Q_OBJECT

public:
    PaneController pane;

    Q_INVOKABLE void windowAction(QObject*) { journal << "windowController.windowAction"; }

protected:
    QWidget* loadWindow() override
    {
        auto* window = new QWidget(nullptr, Qt::Window);
        (new QVBoxLayout(window))->addWidget(pane.view());
        return window;
    }
};

class NoteDocument : public platform::Document {
    Q_OBJECT

public:
    Q_INVOKABLE void onlyDocumentAction(QObject*) { journal << "document.onlyDocumentAction"; }
    Q_INVOKABLE void failingAction(QObject*) { throw std::runtime_error("disk on fire"); }
    Q_INVOKABLE void allocatingAction(QObject*) { throw std::bad_alloc(); }
    // Edits that failed: one out of memory and taken back, one stuck half way.
    Q_INVOKABLE void undoneEditAction(QObject*) { failEdit(true, std::make_exception_ptr(std::bad_alloc())); }
    Q_INVOKABLE void stuckEditAction(QObject*)
    {
        failEdit(false, std::make_exception_ptr(std::runtime_error("disk on fire")));
    }

private:
    static void failEdit(bool undone, const std::exception_ptr& cause)
    {
        throw platform::EditNotDone(QStringLiteral("Difference"), undone, cause);
    }
};

class Delegate : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void delegateAction(QObject*) { journal << "delegate.delegateAction"; }
    Q_INVOKABLE void onlyDocumentAction(QObject*) { journal << "delegate.onlyDocumentAction"; }
};

class ResponderChainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        journal.clear();
        document = std::make_shared<NoteDocument>();
        controller = std::make_shared<MapWindowController>();
        document->addWindowController(controller);
        Application::setDelegate(&delegate);
        uitest::activate(controller->window());
        controller->pane.field->setFocus();
        platform::RunLoop::runUntilIdle();
    }

    void TearDown() override
    {
        Application::setDelegate(nullptr);
        document->close();
        platform::RunLoop::runUntilIdle();
    }

    std::shared_ptr<NoteDocument> document;
    std::shared_ptr<MapWindowController> controller;
    Delegate delegate;
};

} // namespace

TEST_F(ResponderChainTest, FirstResponderWithTheMethodHandlesTheAction)
{
    const QList<QObject*> expected{controller->pane.field, controller->pane.view(), &controller->pane,
                                   controller->window(), controller.get(), document.get(), &delegate};
    EXPECT_EQ(ResponderChain::responders().mid(0, expected.size()), expected);

    for (const char* action : {"sharedAction", "containerAction", "paneAction", "windowAction", "onlyDocumentAction",
                               "delegateAction"})
        EXPECT_TRUE(Application::sendActionToFrom(action, nullptr, nullptr)) << action;
    EXPECT_EQ(journal, (QStringList{"field.sharedAction", "container.containerAction", "pane.paneAction",
                                    "windowController.windowAction", "document.onlyDocumentAction",
                                    "delegate.delegateAction"}));

    // The field's windowAction(int), with or without its argument, is passed by.
    EXPECT_FALSE(ResponderChain::respondsToAction(controller->pane.field, "windowAction"));
    EXPECT_EQ(Application::targetForActionToFrom("windowAction", nullptr, nullptr), controller.get());

    // Unknown actions and signals ("textChanged" of the focus field) find no handler.
    journal.clear();
    EXPECT_FALSE(Application::sendActionToFrom("noSuchAction", nullptr, nullptr));
    EXPECT_FALSE(Application::sendActionToFrom("", nullptr, nullptr));
    EXPECT_EQ(Application::targetForActionToFrom("textChanged", nullptr, nullptr), nullptr);
    EXPECT_TRUE(journal.isEmpty());

    // An exception in a handler is logged and contained.
    testsupport::LogCapture log;
    EXPECT_TRUE(Application::sendActionToFrom("failingAction", nullptr, nullptr));
    EXPECT_TRUE(log.contains("disk on fire"));
}

TEST_F(ResponderChainTest, ACommandThatRunsOutOfMemoryIsToldToTheUserOnce)
{
    QStringList told;
    platform::ProblemReporter::setHandler([&told](const QString& message, const QString&) { told << message; });
    testsupport::LogCapture log;
    EXPECT_TRUE(Application::sendActionToFrom("allocatingAction", nullptr, nullptr));
    EXPECT_TRUE(Application::sendActionToFrom("failingAction", nullptr, nullptr)); // logged only
    platform::RunLoop::runUntilIdle();
    platform::ProblemReporter::setHandler({});
    EXPECT_EQ(told.count(QStringLiteral("There was not enough memory to finish the command.")), 1);
    EXPECT_EQ(told.filter(QStringLiteral("disk on fire")), QStringList());
    EXPECT_TRUE(log.contains("allocatingAction"));
}

TEST_F(ResponderChainTest, AnEditThatFailedIsToldByNameWithWhatBecameOfTheMap)
{
    QStringList told;
    platform::ProblemReporter::setHandler([&told](const QString& message, const QString& detail) {
        told << message + QLatin1Char('|') + detail.section(QLatin1Char('.'), 0, 0);
    });
    EXPECT_TRUE(Application::sendActionToFrom("undoneEditAction", nullptr, nullptr));
    EXPECT_TRUE(Application::sendActionToFrom("stuckEditAction", nullptr, nullptr));
    platform::RunLoop::runUntilIdle();
    platform::ProblemReporter::setHandler({});
    EXPECT_EQ(told, (QStringList{"There was not enough memory to finish “Difference”.|The map is as it was before it",
                                 "“Difference” could not be finished.|Part of it may have been done and could not be "
                                 "taken back"}));
}

TEST_F(ResponderChainTest, SendersArriveExplicitTargetsStayAndForwardedActionsReachEverySelectedLabel)
{
    QObject sender;
    EXPECT_TRUE(Application::sendActionToFrom("paneAction", nullptr, &sender));
    EXPECT_EQ(controller->pane.lastSender, &sender);
    // A target without the method handles nothing, even though the chain has it.
    EXPECT_FALSE(Application::sendActionToFrom("paneAction", &delegate, &sender));
    EXPECT_EQ(Application::targetForActionToFrom("delegateAction", &delegate, nullptr), &delegate);

    EXPECT_EQ(Application::targetForActionToFrom("boldAction", nullptr, nullptr), nullptr);
    controller->pane.selectedLabels = {&controller->pane.north, &controller->pane.south};
    EXPECT_EQ(Application::targetForActionToFrom("boldAction", nullptr, nullptr), &controller->pane);
    EXPECT_TRUE(Application::sendActionToFrom("boldAction", nullptr, nullptr));
    EXPECT_EQ(journal, (QStringList{"pane.paneAction", "north.boldAction", "south.boldAction"}));
}

TEST_F(ResponderChainTest, PanelAsKeyWindowFallsBackToTheMainWindowChain)
{
    QWidget panel(nullptr, Qt::Tool);
    auto* panelField = new FocusField;
    (new QVBoxLayout(&panel))->addWidget(panelField);
    uitest::activate(&panel);
    panelField->setFocus();
    platform::RunLoop::runUntilIdle();

    EXPECT_EQ(ResponderChain::keyWindow(), &panel);
    EXPECT_EQ(ResponderChain::mainWindow(), controller->window());
    // The panel's field first, then the document window's chain.
    for (const char* action : {"fieldAction", "windowAction", "onlyDocumentAction"})
        EXPECT_TRUE(Application::sendActionToFrom(action, nullptr, nullptr)) << action;
    EXPECT_EQ(journal, (QStringList{"field.fieldAction", "windowController.windowAction", "document.onlyDocumentAction"}));
    EXPECT_EQ(platform::DocumentController::sharedDocumentController()->documentForWindow(controller->window()),
              document.get());
}

#include "ResponderChainTest.moc"

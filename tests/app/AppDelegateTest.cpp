#include "app/ModalWindowEventFilter.h"
#include "app/QuorvaneDocumentController.h"
#include "app/VLTMAppDelegate.h"
#include "app/VLTMApplication.h"
#include "app/ZQTrueQuorvaneDocument.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"

#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/tools/VXToolRegistry.h"
#include "platform/vantrix/tools/VXZoomTool.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::UserDefaults;

namespace {

// The steps a phase logged, in order, without the note on steps this build lacks.
QStringList loggedSteps(const testsupport::LogCapture& log, const QString& phase)
{
    QStringList steps;
    const QString prefix = phase + QStringLiteral(": ");
    for (const QString& line : log.lines)
        if (line.startsWith(prefix))
            steps << line.mid(prefix.size()).remove(QStringLiteral(" (not in this build)"));
    return steps;
}

QMessageBox* openMessageBox()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

void clickButton(QMessageBox* box, const QString& title)
{
    for (QAbstractButton* button : box->buttons())
        if (button->text() == title)
            return button->click();
    FAIL() << "no button " << qPrintable(title);
}

class AppDelegate : public ::testing::Test {
protected:
    void TearDown() override
    {
        while (QMessageBox* box = openMessageBox())
            box->done(0);
        if (auto* controller = platform::DocumentController::existingSharedDocumentController())
            controller->closeAllDocuments();
    }

    VLTMAppDelegate delegate;
};

} // namespace

TEST_F(AppDelegate, LaunchAndTerminationRunTheirStepsInOrder)
{
    testsupport::LogCapture log;
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    EXPECT_EQ(loggedSteps(log, "launch"),
              QStringList({"create the document controller", "start loading the photo library",
                           "map renamed archive classes", "set the default style", "install the object name provider",
                           "register the user defaults", "point the SVG thumbnail cache at its folder",
                           "let text shapes and text paths take graphic styles", "install the drawing dearchiving helper",
                           "stop drawing views making drawings of their own", "let tools activate a valid layer",
                           "read the default quality modulation", "substitute the labelled shape for the plain shape",
                           "install the cartographic abbreviation table", "self-installation"}));
    EXPECT_EQ(VXStyle::defaultStyle()->fillColour(), QColor("#AAD0E5"));
    EXPECT_EQ(VXStyle::defaultStyle()->strokeColour(), QColor("#333333"));
    log.lines.clear();
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(loggedSteps(log, "launch"),
              QStringList({"run the library migration when needed", "load the saved searches",
                           "let the colour panel show opacity", "prepare the cloud storage",
                           "migrate the earlier version's collections and templates",
                           "show the template chooser when asked", "register the drawing tools",
                           "restore the inspector states", "observe the style history", "enable the tool palette",
                           "show the welcome window when asked"}));
    log.lines.clear();
    delegate.applicationWillTerminate();
    EXPECT_EQ(loggedSteps(log, "terminate"),
              QStringList({"save the tool defaults", "save the saved searches", "save the dash table",
                           "save the inspector states", "save the default quality modulation"}));
}

TEST_F(AppDelegate, DefaultsAreRegisteredBeforeAnyStepReadsThem)
{
    UserDefaults::resetStandardUserDefaults(); // drops what earlier registrations put in
    UserDefaults::standardUserDefaults()->removeObjectForKey("kVLTMTabViewOptionsPreferencesKey");
    ASSERT_EQ(UserDefaults::standardUserDefaults()->integerForKey("kVLTMTabViewOptionsPreferencesKey"), 0);
    UserDefaults::standardUserDefaults()->setBoolForKey(true, kZQPlotDemoDefaultQualityModulationFlag);

    testsupport::LogCapture log;
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    const QStringList steps = loggedSteps(log, "launch");
    EXPECT_LT(steps.indexOf("register the user defaults"), steps.indexOf("read the default quality modulation"));
    EXPECT_EQ(UserDefaults::standardUserDefaults()->integerForKey("kVLTMTabViewOptionsPreferencesKey"), 2);
    EXPECT_TRUE(ZQQuorvaneDocument::defaultQualityModulation());

    // Quitting stores the flag as it is then.
    ZQQuorvaneDocument::setDefaultQualityModulation(false);
    delegate.applicationWillTerminate();
    UserDefaults::resetStandardUserDefaults();
    EXPECT_FALSE(UserDefaults::standardUserDefaults()->objectForKey(kZQPlotDemoDefaultQualityModulationFlag).isNull());
    EXPECT_FALSE(UserDefaults::standardUserDefaults()->boolForKey(kZQPlotDemoDefaultQualityModulationFlag));
}

TEST_F(AppDelegate, RenamedArchiveClassesDecodeAsTheirCurrentClasses)
{
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    const ZQObjectPtr gradient =
        platform::KeyedUnarchiver::unarchiveObjectWithData(testsupport::ArchiveStub().archiveAs("VXQGradientFill"));
    EXPECT_TRUE(std::dynamic_pointer_cast<VXGradientFill>(gradient));

    // The tapered and tagged strokes come with the track part; their old names already lead to them.
    for (const auto& [oldName, currentName] : {std::pair{"VXQTaperedStrokeRasterizer", "VXQTaperedStroke"},
                                               std::pair{"VXQTaggedStrokeRasterizer", "VXQTaggedStroke"}}) {
        testsupport::LogCapture log;
        QuorvaneError error;
        EXPECT_FALSE(platform::KeyedUnarchiver::unarchiveObjectWithData(testsupport::ArchiveStub().archiveAs(oldName), &error));
        EXPECT_EQ(error.code(), kQuorvaneDocumentError);
        const QString expected = QStringLiteral("unknown class %1").arg(currentName);
        EXPECT_TRUE(std::any_of(log.lines.begin(), log.lines.end(),
                                [&](const QString& line) { return line.endsWith(expected); }))
            << qPrintable(log.lines.join('\n'));
    }
}

TEST_F(AppDelegate, ZoomOutToolIsRegisteredAndZoomsOut)
{
    delegate.registerQuorvaneTools();
    const auto tool = std::dynamic_pointer_cast<VXZoomTool>(VXToolRegistry::sharedToolRegistry().drawingToolWithName("Zoom Out"));
    ASSERT_TRUE(tool);
    EXPECT_TRUE(tool->zoomsOut());
    EXPECT_EQ(tool->keyboardEquivalent(), "x");
    EXPECT_FALSE(VXToolRegistry::sharedToolRegistry().drawingToolWithName("Smart Select"));

    VXDrawingView view;
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize(QSizeF(400, 300));
    drawing->addLayer(std::make_shared<VXObjectDrawingLayer>());
    view.setDrawing(drawing);
    view.resize(500, 400);
    view.show();
    view.setScale(2.0);
    ASSERT_TRUE(view.toolController()->selectDrawingToolWithKeyboardEquivalent("x"));
    EXPECT_EQ(view.toolController()->drawingTool(), tool.get());
    const QPointF centre = view.viewport()->rect().center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, centre, view.viewport()->mapToGlobal(centre), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
        QApplication::sendEvent(view.viewport(), &click);
    }
    EXPECT_DOUBLE_EQ(view.scale(), 1.0);
}

TEST_F(AppDelegate, OpenFileAnswersWhatTheDocumentControllerDid)
{
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    QTemporaryDir folder;
    const QString mapPath = folder.filePath("Coast.qvnl");
    {
        ZQTrueQuorvaneDocument document;
        QuorvaneError error;
        ASSERT_TRUE(document.initWithTypeError(kZQMapDocumentType, &error));
        ASSERT_TRUE(document.writeToURLOfTypeError(QUrl::fromLocalFile(mapPath), kZQMapDocumentType, &error))
            << qPrintable(error.localizedDescription());
    }
    platform::DocumentController* controller = platform::DocumentController::existingSharedDocumentController();
    EXPECT_TRUE(delegate.applicationOpenFile(qApp, mapPath));
    ASSERT_EQ(controller->documents().size(), 1);
    EXPECT_TRUE(qobject_cast<ZQTrueQuorvaneDocument*>(controller->documents().first()));
    EXPECT_EQ(controller->documents().first()->fileURL(), QUrl::fromLocalFile(mapPath));

    QFile unknown(folder.filePath("notes.xyz"));
    ASSERT_TRUE(unknown.open(QIODevice::WriteOnly));
    unknown.close();
    QDir(folder.path()).mkdir("Damaged.qvnl");
    QDir(folder.path()).mkdir("Birds.symlibrary");
    for (const char* name : {"notes.xyz", "Damaged.qvnl", "Birds.symlibrary", "missing.qvnl"})
        EXPECT_FALSE(delegate.applicationOpenFile(qApp, folder.filePath(name))) << qPrintable(name);
    EXPECT_EQ(controller->documents().size(), 1);
}

TEST_F(AppDelegate, ResettingPreferencesAsksFirst)
{
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    UserDefaults::standardUserDefaults()->setIntegerForKey(7, "kVLTMTabViewOptionsPreferencesKey");

    delegate.confirmAndDiscardApplicationPreferences();
    QMessageBox* box = openMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), "Do you really want to reset all preferences?");
    EXPECT_TRUE(box->informativeText().startsWith("This restores everything to its original state"));
    clickButton(box, "Cancel");
    EXPECT_EQ(UserDefaults::standardUserDefaults()->integerForKey("kVLTMTabViewOptionsPreferencesKey"), 7);

    delegate.confirmAndDiscardApplicationPreferences();
    ASSERT_TRUE((box = openMessageBox()));
    clickButton(box, "Reset Preferences");
    // The stored value is gone and the shipped default is back.
    EXPECT_EQ(UserDefaults::standardUserDefaults()->integerForKey("kVLTMTabViewOptionsPreferencesKey"), 2);
    UserDefaults::resetStandardUserDefaults();
    EXPECT_TRUE(UserDefaults::standardUserDefaults()->objectForKey("kVLTMTabViewOptionsPreferencesKey").isNull());
}

// --- The application object ------------------------------------------------------------------

TEST(Application, NamesTheUserEvenWithoutAFullName)
{
    EXPECT_FALSE(VLTMApplication::registeredUserName().trimmed().isEmpty());
}

namespace {

class PressCounter : public QWidget {
public:
    using QWidget::QWidget;
    int inputs = 0;

    void press()
    {
        QMouseEvent mouse(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, {});
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, {}, "a");
        QApplication::sendEvent(this, &mouse);
        QApplication::sendEvent(this, &key);
    }

protected:
    void mousePressEvent(QMouseEvent*) override { ++inputs; }
    void keyPressEvent(QKeyEvent*) override { ++inputs; }
};

} // namespace

TEST(Application, ModalWindowKeepsTheInputAndBeepsAtMouseDownsElsewhere)
{
    QWidget modal, other;
    auto* field = new PressCounter(&modal);
    auto* popup = new PressCounter(&modal, Qt::Popup); // opened from the modal window
    auto* button = new PressCounter(&other);
    ModalWindowEventFilter filter(field); // any widget of the window names it
    int beeps = 0;
    filter.setRejectionHandler([&] { ++beeps; });
    qApp->installEventFilter(&filter);
    for (PressCounter* target : {button, field, popup})
        target->press();
    qApp->removeEventFilter(&filter);

    EXPECT_EQ(button->inputs, 0);
    EXPECT_EQ(beeps, 1); // the mouse down elsewhere; the key goes without a beep
    EXPECT_EQ(field->inputs, 2);
    EXPECT_EQ(popup->inputs, 2);
}

#include "app/LaunchSettingsScope.h"
#include "app/services/LibraryServices.h"
#include "app/application/ModalWindowEventFilter.h"
#include "app/document/QuorvaneDocumentController.h"
#include "app/application/VLTMAppDelegate.h"
#include "app/application/VLTMApplication.h"
#include "app/document/ZQTrueQuorvaneDocument.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"

#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/DocumentError.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "platform/vantrix/styles/VXGradientFill.h"
#include "platform/vantrix/styles/VXStrokeDash.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/tools/VXToolController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
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

    const testsupport::LaunchSettingsScope launchSettings;
    VLTMAppDelegate delegate;
};

} // namespace

TEST_F(AppDelegate, LaunchStepsRunInOrderWithTheDefaultsRegisteredBeforeAnyIsRead)
{
    UserDefaults::resetStandardUserDefaults(); // drops what earlier registrations put in
    UserDefaults::standardUserDefaults()->removeObjectForKey("kVLTMTabViewOptionsPreferencesKey");
    ASSERT_EQ(UserDefaults::standardUserDefaults()->integerForKey("kVLTMTabViewOptionsPreferencesKey"), 0);
    UserDefaults::standardUserDefaults()->setBoolForKey(true, kZQPlotDemoDefaultQualityModulationFlag);

    testsupport::LogCapture log;
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    const QStringList steps = loggedSteps(log, "launch");
    ASSERT_EQ(steps.size(), 15);
    EXPECT_EQ(steps.first(), "create the document controller");
    EXPECT_LT(steps.indexOf("map renamed archive classes"), steps.indexOf("install the drawing dearchiving helper"));
    EXPECT_LT(steps.indexOf("register the user defaults"), steps.indexOf("read the default quality modulation"));
    EXPECT_EQ(steps.last(), "self-installation");
    EXPECT_EQ(UserDefaults::standardUserDefaults()->integerForKey("kVLTMTabViewOptionsPreferencesKey"), 2);
    EXPECT_TRUE(ZQQuorvaneDocument::defaultQualityModulation());
    EXPECT_EQ(VXStyle::defaultStyle()->fillColour(), QColor("#AAD0E5"));
    EXPECT_EQ(VXStyle::defaultStyle()->strokeColour(), QColor("#333333"));
    // The saved dashes are named by their file alone, keeping the user's folders out of the log.
    const QString dashLine = log.lines.filter(" saved dashes from ").value(0);
    EXPECT_TRUE(dashLine.endsWith(" from " + QFileInfo(VXStrokeDash::registeredDashesFilePath()).fileName()))
        << qPrintable(dashLine);
    EXPECT_FALSE(dashLine.contains('/')) << qPrintable(dashLine);
    log.lines.clear();
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(loggedSteps(log, "launch").size(), 13);
    EXPECT_TRUE(loggedSteps(log, "launch").contains("register the drawing tools"));
    EXPECT_TRUE(loggedSteps(log, "launch").contains("open the terrain panel's help in the help book"));

    // Quitting stores the flag as it is then, last of its steps.
    ZQQuorvaneDocument::setDefaultQualityModulation(false);
    log.lines.clear();
    delegate.applicationWillTerminate();
    EXPECT_EQ(loggedSteps(log, "terminate").size(), 5);
    EXPECT_EQ(loggedSteps(log, "terminate").last(), "save the default quality modulation");
    UserDefaults::resetStandardUserDefaults();
    EXPECT_FALSE(UserDefaults::standardUserDefaults()->objectForKey(kZQPlotDemoDefaultQualityModulationFlag).isNull());
    EXPECT_FALSE(UserDefaults::standardUserDefaults()->boolForKey(kZQPlotDemoDefaultQualityModulationFlag));
}

TEST_F(AppDelegate, RenamedArchiveClassesDecodeAsTheirCurrentClasses)
{
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    const auto decode = [](const char* className, QuorvaneError* error = nullptr) {
        return platform::KeyedUnarchiver::unarchiveObjectWithData(testsupport::ArchiveStub().archiveAs(className), error);
    };
    EXPECT_TRUE(std::dynamic_pointer_cast<VXGradientFill>(decode("VXQGradientFill")));
    // The tapered and tagged strokes come with the track part; their old names already lead to them.
    for (const auto& [oldName, currentName] : {std::pair{"VXQTaperedStrokeRasterizer", "VXQTaperedStroke"},
                                               std::pair{"VXQTaggedStrokeRasterizer", "VXQTaggedStroke"}}) {
        testsupport::LogCapture log;
        QuorvaneError error;
        EXPECT_FALSE(decode(oldName, &error));
        EXPECT_EQ(error.code(), kQuorvaneDocumentError);
        EXPECT_TRUE(log.contains(QStringLiteral("unknown class %1").arg(currentName))) << qPrintable(log.lines.join('\n'));
    }
}

TEST_F(AppDelegate, ZoomOutToolIsRegisteredAndZoomsOut)
{
    delegate.registerQuorvaneTools();
    VXDrawingView view;
    const VXDrawingPtr drawing = VXDrawing::drawingWithSize(QSizeF(400, 300));
    drawing->addLayer(std::make_shared<VXObjectDrawingLayer>());
    view.setDrawing(drawing);
    view.resize(500, 400);
    view.show();
    view.setScale(2.0);
    ASSERT_TRUE(view.toolController()->selectDrawingToolWithKeyboardEquivalent("x"));
    EXPECT_EQ(view.toolController()->drawingTool()->registeredName(), "Zoom Out");
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.viewport()->rect().center());
    EXPECT_DOUBLE_EQ(view.scale(), 1.0);
}

TEST_F(AppDelegate, OpenFileAnswersWhatTheDocumentControllerDidAndSVGFilesBecomeMaps)
{
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    platform::DocumentController* controller = platform::DocumentController::existingSharedDocumentController();
    QTemporaryDir folder;
    const auto write = [&](const QString& name, const QByteArray& contents) {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        return file.fileName();
    };
    const QString mapPath = folder.filePath("Coast.qvnl");
    {
        ZQTrueQuorvaneDocument document;
        QuorvaneError error;
        ASSERT_TRUE(document.initWithTypeError(kZQMapDocumentType, &error));
        ASSERT_TRUE(document.writeToURLOfTypeError(QUrl::fromLocalFile(mapPath), kZQMapDocumentType, &error))
            << qPrintable(error.localizedDescription());
    }
    EXPECT_TRUE(delegate.applicationOpenFile(qApp, mapPath));
    ASSERT_EQ(controller->documents().size(), 1);
    EXPECT_TRUE(qobject_cast<ZQTrueQuorvaneDocument*>(controller->documents().first()));
    EXPECT_EQ(controller->documents().first()->fileURL(), QUrl::fromLocalFile(mapPath));
    controller->closeAllDocuments();

    // An SVG file becomes a new map that fits its window, once its layout has settled.
    const QString plan = write("Plan.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="3000" height="2000">
        <rect x="10" y="10" width="50" height="40" fill="red"/></svg>)");
    delegate.createDocumentWithSVGAtURL(QUrl::fromLocalFile(plan));
    ASSERT_EQ(controller->documents().size(), 1);
    auto* document = qobject_cast<ZQQuorvaneDocument*>(controller->documents().first());
    ASSERT_TRUE(document && document->mainView());
    platform::RunLoop::runUntilIdle();
    const QRectF visible = document->mainView()->visibleDrawingRect();
    EXPECT_TRUE(visible.contains(document->drawing()->bounds())) << visible.width() << " x " << visible.height();
    EXPECT_TRUE(delegate.applicationOpenFile(qApp, plan)); // a second, separate document
    EXPECT_EQ(controller->documents().size(), 2);
    controller->closeAllDocuments();

    // A damaged one is an alert naming the file, with the importer's reason as its informative text.
    const QString broken = write("Broken Chart.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect");
    EXPECT_FALSE(openMessageBox());
    delegate.createDocumentWithSVGAtURL(QUrl::fromLocalFile(broken));
    QMessageBox* box = openMessageBox();
    ASSERT_TRUE(box);
    QuorvaneError expected;
    EXPECT_FALSE(qobject_cast<QuorvaneDocumentController*>(controller)->makeDocumentWithSVGAtURLError(
        QUrl::fromLocalFile(broken), &expected));
    EXPECT_EQ(box->text(), "The document “Broken Chart.svg” could not be opened.");
    const QString reason = platform::DocumentError::failureReason(expected);
    EXPECT_GT(reason.size(), 20) << qPrintable(reason);
    EXPECT_TRUE(box->informativeText().startsWith(reason.left(1).toUpper() + reason.mid(1)))
        << qPrintable(box->informativeText());

    write("notes.xyz", {});
    QDir(folder.path()).mkdir("Damaged.qvnl");
    QDir(folder.path()).mkdir("Birds.symlibrary");
    for (const char* name : {"Broken Chart.svg", "notes.xyz", "Damaged.qvnl", "Birds.symlibrary", "missing.qvnl"})
        EXPECT_FALSE(delegate.applicationOpenFile(qApp, folder.filePath(name))) << qPrintable(name);
    EXPECT_TRUE(controller->documents().isEmpty());
}

TEST_F(AppDelegate, ALibraryInstalledAtLaunchLeavesTheLaunchToGiveTheUserAMap)
{
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    auto& services = LibraryServices::installed();
    const auto restore = qScopeGuard([&services, saved = services.confirmAndImportLibraryFile] {
        services.confirmAndImportLibraryFile = saved;
    });
    bool installs = true;
    QStringList offered;
    services.confirmAndImportLibraryFile = [&](const QString& path) {
        offered << QFileInfo(path).fileName();
        return installs;
    };
    QTemporaryDir folder;
    QDir(folder.path()).mkdir("Birds.symlibrary");
    const QString library = folder.filePath("Birds.symlibrary");

    EXPECT_TRUE(delegate.applicationOpenFile(qApp, library));
    EXPECT_FALSE(delegate.applicationOpenFiles({library})) << "installed, but there is no map to work on";
    installs = false;
    EXPECT_FALSE(delegate.applicationOpenFile(qApp, library)) << "the install was cancelled";
    EXPECT_FALSE(delegate.applicationOpenFiles({library}));
    EXPECT_EQ(offered, QStringList(4, QStringLiteral("Birds.symlibrary")));
    EXPECT_TRUE(platform::DocumentController::existingSharedDocumentController()->documents().isEmpty());
}

TEST_F(AppDelegate, ALaunchThatOpensNoneOfItsFilesStillEndsWithAWindow)
{
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    QTemporaryDir folder;
    const QStringList missing{folder.filePath("Gone.qvnl"), folder.filePath("Also Gone.svg")};
    testsupport::LogCapture log;
    EXPECT_FALSE(delegate.applicationOpenFiles(missing));
    // The log says what failed and why, in the user's terms.
    ASSERT_EQ(log.lines.filter("could not open ").size(), 2);
    EXPECT_FALSE(log.contains("VLTMAppDelegate")) << qPrintable(log.lines.join('\n'));
    delegate.applicationDidFinishLaunching();
    delegate.applicationOpenUntitledFile();
    platform::RunLoop::runUntilIdle();

    // The alert stays in front of the new window; once answered, the window is still there.
    QMessageBox* box = openMessageBox();
    ASSERT_TRUE(box);
    EXPECT_TRUE(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
    EXPECT_TRUE(box->text().contains("Gone"));
    while ((box = openMessageBox()))
        clickButton(box, "OK");
    platform::RunLoop::runUntilIdle();
    const QList<platform::Document*> documents = platform::DocumentController::existingSharedDocumentController()->documents();
    ASSERT_EQ(documents.size(), 1);
    EXPECT_TRUE(documents.first()->fileURL().isEmpty());
    ASSERT_TRUE(documents.first()->windowForSheet());
    EXPECT_TRUE(documents.first()->windowForSheet()->isVisible());
}

TEST_F(AppDelegate, ResettingPreferencesAsksFirst)
{
    ASSERT_TRUE(delegate.applicationWillFinishLaunching());
    UserDefaults::standardUserDefaults()->setIntegerForKey(7, "kVLTMTabViewOptionsPreferencesKey");
    for (const char* button : {"Cancel", "Reset Preferences"}) {
        delegate.confirmAndDiscardApplicationPreferences();
        QMessageBox* box = openMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text(), "Do you really want to reset all preferences?");
        clickButton(box, button);
    }
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

TEST(Application, PalettesAloneDoNotKeepItRunning)
{
    QWidget map;
    QWidget palette(nullptr, Qt::Tool);
    QWidget dialog(nullptr, Qt::Dialog);
    palette.show();
    EXPECT_FALSE(VLTMApplication::keepsApplicationRunning(palette));
    EXPECT_FALSE(VLTMApplication::keepsApplicationRunning(map)); // not shown
    map.show();
    dialog.show();
    EXPECT_TRUE(VLTMApplication::keepsApplicationRunning(map));
    EXPECT_TRUE(VLTMApplication::keepsApplicationRunning(dialog));
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

// One QApplication for the whole executable; tests never call exec().
#include "TestSupport.h"

#include "platform/foundation/EnglishPlurals.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/RunLoop.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    platform::EnglishPluralTranslator::install();
    QApplication::setApplicationName(QStringLiteral("QuorvaneTests"));
    testsupport::isolateUserFolders();
    registerFoundationClasses();
    platform::RunLoop::setManualClock(true); // runFor() advances time without sleeping
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

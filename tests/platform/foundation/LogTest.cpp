#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/LaunchLogLevel.h"
#include "platform/foundation/ZQLog.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

using testsupport::LogCapture;

namespace {

struct Widget {
    void fail() { ZQ_ASSERT(1 + 1 == 3, QStringLiteral("arithmetic is broken")); }
    void log() { ZQLogObjCMethod(QStringLiteral("hello")); }
};

} // namespace

TEST(Log, LevelFiltersKindsSinkCapturesLinesAndMethodsNameThemselves)
{
    LogCapture log;
    LogEvent(kFileEvent, QStringLiteral("read file"));
    platform::Log::setLevel(kLifeEvent);
    LogEvent(kFileEvent, QStringLiteral("dropped"));
    LogEvent(kUserEvent, QStringLiteral("kept"));
    EXPECT_EQ(log.lines, (QStringList{"read file", "kept"}));
    EXPECT_EQ(log.kinds, (QList<LogEventKind>{kFileEvent, kUserEvent}));

    // Trace lines, one per record of a large file, only when the level asks for them.
    platform::Log::setLevel(0);
    EXPECT_FALSE(platform::Log::isEnabled(kTraceEvent));
    LogEvent(kTraceEvent, QStringLiteral("record #1"));
    platform::Log::setLevel(kTraceEvent);
    EXPECT_TRUE(platform::Log::isEnabled(kTraceEvent));
    LogEvent(kTraceEvent, QStringLiteral("record #2"));
    EXPECT_EQ(log.lines.takeLast(), QStringLiteral("record #2"));
    EXPECT_EQ(log.kinds.takeLast(), kTraceEvent);

    // The method prefix names class and method.
    platform::Log::setLevel(0);
    Widget().log();
    ASSERT_EQ(log.lines.size(), 3);
    EXPECT_TRUE(log.lines[2].startsWith("[") && log.lines[2].contains("Widget log]")) << qPrintable(log.lines[2]);
    EXPECT_TRUE(log.lines[2].endsWith("] hello"));
}

TEST(Log, LevelIsChosenAtLaunchByEnvironmentThenOptionAndTheOptionIsNoFile)
{
    EXPECT_EQ(platform::logLevelNamed(QStringLiteral("TRACE")), int(kTraceEvent));
    EXPECT_EQ(platform::logLevelNamed(QStringLiteral("user")), int(kUserEvent));
    EXPECT_EQ(platform::logLevelNamed(QStringLiteral("-1")), -1);
    EXPECT_EQ(platform::logLevelNamed(QStringLiteral("loud")), std::nullopt);
    EXPECT_EQ(platform::logLevelNamed(QString()), std::nullopt);

    qputenv("QUORVANE_LOG_LEVEL", "file");
    QStringList arguments{QStringLiteral("quorvane"), QStringLiteral("Town.qvnl")};
    platform::setLogLevelFromLaunch(arguments);
    EXPECT_EQ(platform::Log::level(), int(kFileEvent));
    EXPECT_EQ(arguments.size(), 2);

    // The option wins over the environment and is taken out of the files to open.
    arguments.insert(1, QStringLiteral("--log-level=trace"));
    platform::setLogLevelFromLaunch(arguments);
    EXPECT_TRUE(platform::Log::isEnabled(kTraceEvent));
    EXPECT_EQ(arguments, (QStringList{QStringLiteral("quorvane"), QStringLiteral("Town.qvnl")}));

    // A name that is no level leaves the level as it was.
    qunsetenv("QUORVANE_LOG_LEVEL");
    arguments.append(QStringLiteral("--log-level=loud"));
    platform::setLogLevelFromLaunch(arguments);
    EXPECT_EQ(platform::Log::level(), int(kTraceEvent));
    EXPECT_EQ(arguments.size(), 2);
    platform::Log::setLevel(0);
}

TEST(Log, NoOptionIsTakenForAFileToOpen)
{
    const struct {
        QStringList arguments;
        QStringList files;
        int level;
    } launches[] = {
        {{"--log-level", "user", "Town.qvnl"}, {"Town.qvnl"}, int(kUserEvent)},
        // "debug" is no level: said, and opened neither.
        {{"Town.qvnl", "--log-level", "debug"}, {"Town.qvnl"}, 0},
        {{"--unknown", "-x", "Town.qvnl", "Roads.qvnl"}, {"Town.qvnl", "Roads.qvnl"}, 0},
        {{"Town.qvnl", "--", "--log-level=trace", "-Dash.qvnl"}, {"Town.qvnl", "--log-level=trace", "-Dash.qvnl"}, 0},
        {{"Town.qvnl", "--log-level"}, {"Town.qvnl"}, 0},
    };
    for (const auto& launch : launches) {
        platform::Log::setLevel(0);
        QStringList arguments = QStringList{"quorvane"} + launch.arguments;
        platform::setLogLevelFromLaunch(arguments);
        EXPECT_EQ(arguments, QStringList{"quorvane"} + launch.files) << qPrintable(launch.arguments.join(' '));
        EXPECT_EQ(platform::Log::level(), launch.level) << qPrintable(launch.arguments.join(' '));
    }
    platform::Log::setLevel(0);
}

TEST(Assert, FailureNamesMethodFileAndLineAndIsCaughtByGuard)
{
    LogCapture log;
    EXPECT_THROW(Widget().fail(), platform::AssertionFailure);
    ASSERT_FALSE(log.lines.isEmpty());
    EXPECT_TRUE(log.lines[0].contains("fail")) << qPrintable(log.lines[0]);
    EXPECT_TRUE(log.lines[0].contains("LogTest.cpp:"));
    EXPECT_TRUE(log.lines[0].contains("arithmetic is broken"));

    bool after = false;
    EXPECT_FALSE(platform::runGuarded("test", [] { Widget().fail(); }));
    EXPECT_TRUE(platform::runGuarded("test", [&] { after = true; }));
    EXPECT_TRUE(after);
    EXPECT_TRUE(log.lines.last().contains("exception caught in test"));
}

TEST(Assert, BrokenExpectationsAreLoggedAndAnsweredNotThrown)
{
    LogCapture log;
    int evaluations = 0;
    const auto holds = [&](bool value) {
        ++evaluations;
        return value;
    };
    EXPECT_TRUE(ZQ_EXPECT(holds(true), QStringLiteral("never logged")));
    EXPECT_TRUE(log.lines.isEmpty());
    bool returnedEarly = false;
    [&] {
        if (!ZQ_EXPECT(holds(false), QStringLiteral("no symbol master chosen"))) {
            returnedEarly = true;
            return;
        }
    }();
    EXPECT_TRUE(returnedEarly);
    EXPECT_EQ(evaluations, 2); // the condition is evaluated once per check
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].contains("LogTest.cpp:"));
    EXPECT_TRUE(log.lines[0].contains("no symbol master chosen"));
}

#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct CapturedLog {
    CapturedLog() { previous = platform::Log::setSink([this](LogEventKind k, const QString& l) { lines << l; kinds << k; }); }
    ~CapturedLog() { platform::Log::setSink(previous); platform::Log::setLevel(0); }
    QStringList lines;
    QList<LogEventKind> kinds;
    platform::Log::Sink previous;
};

struct Widget {
    void fail() { ZQ_ASSERT(1 + 1 == 3, QStringLiteral("arithmetic is broken")); }
    void log() { ZQLogObjCMethod(QStringLiteral("hello")); }
};

} // namespace

TEST(Log, LevelFiltersKindsAndSinkCapturesLines)
{
    CapturedLog log;
    LogEvent(kFileEvent, QStringLiteral("read file"));
    platform::Log::setLevel(kLifeEvent);
    LogEvent(kFileEvent, QStringLiteral("dropped"));
    LogEvent(kUserEvent, QStringLiteral("kept"));
    EXPECT_EQ(log.lines, (QStringList{"read file", "kept"}));
    EXPECT_EQ(log.kinds, (QList<LogEventKind>{kFileEvent, kUserEvent}));
}

TEST(Log, MethodPrefixNamesClassAndMethod)
{
    CapturedLog log;
    Widget().log();
    ASSERT_EQ(log.lines.size(), 1);
    EXPECT_TRUE(log.lines[0].startsWith("[") && log.lines[0].contains("Widget log]")) << qPrintable(log.lines[0]);
    EXPECT_TRUE(log.lines[0].endsWith("] hello"));
}

TEST(Assert, FailureNamesMethodFileAndLineAndIsCaughtByGuard)
{
    CapturedLog log;
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

#pragma once

// Runs the current test again in a child process of this executable, for what is fixed when a
// process starts (allocator settings, the device pixel ratio). The child has `marker` set, so
// the test knows to run its own checks there; the parent fails unless the child passes.

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>
#include <utility>

namespace testsupport {

inline bool isChildRun(const char* marker)
{
    return qEnvironmentVariableIsSet(marker);
}

// `variables` are added to the child's environment; `context` opens the failure message.
inline void expectThisTestPassesInAChild(const char* marker, const QList<std::pair<QString, QString>>& variables,
                                         int timeoutMs, const char* context = "")
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(marker), QStringLiteral("1"));
    for (const auto& [name, value] : variables)
        environment.insert(name, value);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=%1.%2").arg(QString::fromLatin1(test->test_suite_name()),
                                                             QString::fromLatin1(test->name()))});
    ASSERT_TRUE(child.waitForFinished(timeoutMs));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << context << output.constData();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.constData();
}

} // namespace testsupport

#pragma once

// Start-up shared by the fuzz targets (one offscreen application that prints and logs nothing),
// and what every refusal must look like.

#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/ZQLog.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <cstdio>

namespace fuzz {

// Makes the application once; `name` is the program name it sees.
template <class Application = QGuiApplication>
void startQuietApplication(const char* name)
{
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    static Application app(argc, argv);
    platform::Log::setSink([](LogEventKind, const QString&) {});
}

// Ends the run unless `error` is a reading error (101) a user can read: it gives a reason, and
// neither it nor its details show a source location.
inline void requireReadableError(const QuorvaneError& error, const char* refused)
{
    if (error.code() != kQuorvaneDocumentError || error.localizedDescription().isEmpty())
        qFatal("%s was refused without error 101 and a reason", refused);
    static const QRegularExpression sourceLocation(QStringLiteral(R"(\.(cpp|h):\d)"));
    QStringList texts{error.localizedDescription()};
    for (const QVariant& detail : error.userInfo())
        texts << detail.toString();
    for (const QString& text : texts) {
        if (text.contains(sourceLocation))
            qFatal("%s was refused with a source location: %s", refused, qPrintable(text));
    }
}

} // namespace fuzz

#pragma once

// Start-up shared by the fuzz targets: one offscreen application that prints and logs nothing.

#include "platform/foundation/ZQLog.h"

#include <QGuiApplication>

namespace fuzz {

// Makes the application once; `name` is the program name it sees.
template <class Application = QGuiApplication>
void startQuietApplication(const char* name)
{
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(name), nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static Application app(argc, argv);
    platform::Log::setSink([](LogEventKind, const QString&) {});
}

} // namespace fuzz

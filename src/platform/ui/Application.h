#pragma once

// The application object. No exception crosses the event loop: event delivery is
// guarded, and a failure is logged where it happened.

#include <QApplication>

namespace platform {

class Application : public QApplication {
    Q_OBJECT

public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace platform

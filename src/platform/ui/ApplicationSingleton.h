#pragma once

// The one instance of a controller that serves the whole application: made on first use and
// owned by the application object. The controller's destructor calls forget(this), so one
// that goes early (a test deletes it) is never handed out again.

#include <QCoreApplication>

namespace platform {

template <class Controller>
class ApplicationSingleton {
public:
    static Controller* instance()
    {
        if (!s_instance) {
            s_instance = new Controller;
            s_instance->setParent(QCoreApplication::instance());
        }
        return s_instance;
    }
    // Null until instance() has made it; asking never makes it.
    static Controller* existing() { return s_instance; }
    static void forget(const Controller* controller)
    {
        if (s_instance == controller)
            s_instance = nullptr;
    }

private:
    static inline Controller* s_instance = nullptr;
};

} // namespace platform

#pragma once

// The one instance of a controller that serves the whole application: made on first use and
// owned by the application object. The controller's destructor calls forget(this), so one
// that goes early (a test deletes it) is never handed out again.
//
// The controllers hold windows, which Qt takes down only while the application object is whole;
// its children go after that. So the instance goes when the event loop ends, and with the
// application object only when the loop never ran.

#include <QCoreApplication>
#include <utility>

namespace platform {

template <class Controller>
class ApplicationSingleton {
public:
    static Controller* instance()
    {
        if (!s_instance) {
            s_instance = new Controller;
            QCoreApplication* application = QCoreApplication::instance();
            s_instance->setParent(application);
            QObject::connect(application, &QCoreApplication::aboutToQuit, s_instance,
                             [] { delete std::exchange(s_instance, nullptr); });
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

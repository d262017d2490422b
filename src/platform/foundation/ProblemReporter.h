#pragma once

// Tells the user of a problem found away from any window: a settings file or a library that
// could not be read or written. The application installs how it is shown (an alert); until
// then problems wait, so that what went wrong at launch is still said once the launch ends.
// Any thread; the handler runs on the main thread, in a later turn of its event loop.

#include <QString>
#include <functional>

namespace platform {

class ProblemReporter {
public:
    // `message` is one sentence naming what failed; `detail` says why and what happened instead.
    using Handler = std::function<void(const QString& message, const QString& detail)>;

    static void report(const QString& message, const QString& detail);
    // For what is found while the application quits, when no later turn of the loop comes: the
    // quitting handler (lacking one, the ordinary handler) runs at once, on the calling main
    // thread, and should not return before the user has seen the problem.
    static void reportWhileQuitting(const QString& message, const QString& detail);
    // Hands the problems waiting to `handler` at once, then the later ones as they come.
    // An empty handler makes problems wait again.
    static void setHandler(Handler handler);
    static void setQuittingHandler(Handler handler);
};

} // namespace platform

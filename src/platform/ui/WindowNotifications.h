#pragma once

// Posted by the responder chain's window tracking (ResponderChain::trackWindowActivation) as
// the main window changes; the sender is the window.

#include <QString>

namespace platform {

inline const QString kNSWindowDidBecomeMainNotification = QStringLiteral("NSWindowDidBecomeMainNotification");
inline const QString kNSWindowDidResignMainNotification = QStringLiteral("NSWindowDidResignMainNotification");

} // namespace platform

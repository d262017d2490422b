#pragma once

// Tells of every change made through any UserDefaults instance. It outlives the shared
// instance, which resetStandardUserDefaults replaces, so a window that shows preferences
// keeps hearing of them. Receivers on another thread than the change get it queued.

#include <QObject>
#include <QString>

namespace platform {

class UserDefaultsChanges : public QObject {
    Q_OBJECT

public:
    static UserDefaultsChanges& instance();

Q_SIGNALS:
    // The key that changed; empty when many may have (a registration, a domain removed).
    void defaultsDidChange(const QString& key);

private:
    UserDefaultsChanges() = default;
};

} // namespace platform

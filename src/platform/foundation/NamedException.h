#pragma once

// An exception that carries a name callers can tell apart ("Error in expression",
// "Too Many Files!") and a reason for the log. The event-loop boundaries catch it as
// any std::exception; code that expects a particular failure catches it and checks name().

#include <QString>
#include <stdexcept>

namespace platform {

class NamedException : public std::runtime_error {
public:
    NamedException(const QString& name, const QString& reason)
        : std::runtime_error(QStringLiteral("%1: %2").arg(name, reason).toStdString()), m_name(name), m_reason(reason)
    {
    }

    const QString& name() const { return m_name; }
    const QString& reason() const { return m_reason; }

private:
    QString m_name;
    QString m_reason;
};

} // namespace platform

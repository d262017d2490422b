#pragma once

// The error value that reading, writing and validation hand back instead of crashing.

#include <QString>
#include <QVariantMap>

inline const QString kQuorvaneErrorDomain = QStringLiteral("Quorvane Error");

enum QuorvaneErrorCode {
    kQuorvaneValidationError = 55,    // key-value validation refused a value
    kQuorvaneDocumentError = 101,     // unsupported type, or reading/writing raised
    kQuorvaneNoDrawingDataError = 102 // writing produced no drawing data
};

class QuorvaneError {
public:
    QuorvaneError() = default;
    QuorvaneError(int code, QString description, QVariantMap userInfo = {},
                  QString domain = kQuorvaneErrorDomain);

    // A default-constructed error means "no error".
    bool isError() const { return m_code != 0; }
    explicit operator bool() const { return isError(); }

    const QString& domain() const { return m_domain; }
    int code() const { return m_code; }
    const QString& localizedDescription() const { return m_description; }
    const QVariantMap& userInfo() const { return m_userInfo; }

    bool operator==(const QuorvaneError&) const = default;

private:
    QString m_domain;
    int m_code = 0;
    QString m_description;
    QVariantMap m_userInfo;
};

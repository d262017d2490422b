#pragma once

// Reads the values of one archived object with a default for each. Archives come from
// anywhere: an absent key, a value of the wrong type or a number that is not finite
// answers the default, so a damaged entry gives a usable object rather than a crash.

#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/BezierPath.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>

namespace platform {

class ArchiveReader {
public:
    explicit ArchiveReader(KeyedUnarchiver& coder) : m_coder(coder) {}

    bool contains(const QString& key) const { return m_coder.containsValueForKey(key); }

    bool boolean(const QString& key, bool fallback) const;
    // Values outside [minimum, maximum] answer the default.
    qint64 integer(const QString& key, qint64 fallback, qint64 minimum, qint64 maximum) const;
    double real(const QString& key, double fallback) const;
    // Finite values are clamped to [minimum, maximum].
    double real(const QString& key, double fallback, double minimum, double maximum) const;
    QString string(const QString& key, const QString& fallback = {}) const;
    QByteArray data(const QString& key) const;
    QPointF point(const QString& key, QPointF fallback = {}) const;
    QSizeF size(const QString& key, QSizeF fallback = QSizeF(0, 0)) const;
    QRectF rect(const QString& key, const QRectF& fallback = {}) const;
    QColor colour(const QString& key, const QColor& fallback) const;
    QVariantMap dictionary(const QString& key) const;
    // The path with its winding rule; empty when a point is not finite.
    platform::BezierPath path(const QString& key) const;

    template <class T>
    std::shared_ptr<T> object(const QString& key) const
    {
        return m_coder.decodeObjectOfClass<T>(key);
    }
    // The members of an archived list that are T; others are skipped.
    template <class T>
    QList<std::shared_ptr<T>> objects(const QString& key) const
    {
        QList<std::shared_ptr<T>> result;
        const QVariant value = m_coder.decodeValue(key);
        if (value.metaType() != QMetaType::fromType<QVariantList>())
            return result;
        for (const QVariant& member : value.toList()) {
            if (auto typed = std::dynamic_pointer_cast<T>(member.value<ZQObjectPtr>()))
                result.append(std::move(typed));
        }
        return result;
    }

private:
    QVariant value(const QString& key) const;

    KeyedUnarchiver& m_coder;
};

} // namespace platform

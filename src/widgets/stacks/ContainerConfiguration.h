#pragma once

// The saved structure of a container stack: identifiers, titles, frames and collapsed states,
// read from and written to XML property lists. Reading trusts nothing: a root that is no
// dictionary is refused, keys of the wrong type are ignored, sub-containers that are not data
// holding such a dictionary are skipped, and so is whatever lies deeper than kMaximumDepth or
// beyond kMaximumCount sub-containers.

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <optional>
#include <vector>

struct ContainerConfiguration {
    static constexpr int kMaximumDepth = 32;
    static constexpr int kMaximumCount = 1000;

    QString identifier;
    QString title; // null when there is none
    std::optional<QRectF> frame;
    std::optional<bool> collapsed;
    std::vector<ContainerConfiguration> subcontainers;

    // Nullopt when the data is not a property list with a dictionary at its root.
    static std::optional<ContainerConfiguration> fromData(const QByteArray& data);
};

// The rectangle in the text form "{{x, y}, {w, h}}", and back (nullopt for any other text).
QString stringFromRect(const QRectF& rect);
std::optional<QRectF> rectFromString(const QString& text);

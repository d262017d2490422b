#pragma once

// An SVG document read into a small element tree, so that references (use, gradients,
// style sheets) can point anywhere in it. Reading guards against hostile files: malformed
// XML, entity declarations beyond a small size, nesting deeper than kMaximumDepth and
// more than kMaximumElements elements end in an error. Elements and attributes of other
// XML vocabularies (editor metadata) are dropped; xlink:href reads as "href".

#include "platform/foundation/QuorvaneError.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>
#include <vector>

namespace platform {

struct SVGElement {
    QString name; // the local name; "#text" for character data inside text content
    QHash<QString, QString> attributes;
    QString text; // of "#text" nodes
    std::vector<std::unique_ptr<SVGElement>> children;

    QString attribute(const QString& key) const { return attributes.value(key); }
    bool hasAttribute(const QString& key) const { return attributes.contains(key); }
};

class SVGElementTree {
public:
    static constexpr int kMaximumDepth = 256;
    static constexpr qsizetype kMaximumElements = 2'000'000;
    // The sum of the sizes of a DTD's internal entities.
    static constexpr qsizetype kMaximumEntityText = 4096;

    // The root "svg" element, or null with an error 101 saying why.
    static std::unique_ptr<SVGElement> read(const QByteArray& data, QuorvaneError* error);
};

} // namespace platform

#pragma once

// An SVG document read into a compact element tree, so that references (use, gradients,
// style sheets) can point anywhere in it. Elements, attributes and text lie in flat arrays
// sized by a first pass over the markup (SVGMarkupScan) and names are stored once, so the
// tree takes a few times the file's size whatever the file holds.
//
// Reading guards against hostile files: malformed XML, what SVGMarkupScan refuses, entity
// declarations beyond a small size, nesting deeper than kMaximumDepth, more than
// kMaximumElements elements and more than kMaximumNames different names end in an error.
// Elements and attributes of other XML vocabularies (editor metadata) are dropped;
// xlink:href reads as "href".

#include "platform/foundation/QuorvaneError.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <compare>
#include <memory>
#include <vector>

namespace platform {

class SVGElementTree;

// An element of a tree, or a run of text inside text content (named "#text"). A small
// value that stays valid while its tree lives; a default-made one is null.
class SVGElement {
public:
    class Children;

    SVGElement() = default;
    explicit operator bool() const { return m_tree; }

    const QString& name() const;
    // Empty when the element has no such attribute.
    QStringView attribute(const QString& key) const;
    bool hasAttribute(const QString& key) const;
    // The attributes in document order.
    qsizetype attributeCount() const;
    const QString& attributeName(qsizetype i) const;
    QStringView attributeValue(qsizetype i) const;
    // Of "#text" runs, and the style sheet of <style> elements.
    QStringView text() const;
    Children children() const;

    friend bool operator==(const SVGElement&, const SVGElement&) = default;
    friend auto operator<=>(const SVGElement&, const SVGElement&) = default;
    friend size_t qHash(const SVGElement& element, size_t seed = 0) { return qHashMulti(seed, element.m_tree, element.m_index); }

private:
    friend class SVGElementTree;
    SVGElement(const SVGElementTree* tree, qint32 index) : m_tree(tree), m_index(index) {}
    SVGElement nextSibling() const;
    qint32 attributeIndex(const QString& key) const;

    const SVGElementTree* m_tree = nullptr;
    qint32 m_index = -1;
};

class SVGElement::Children {
public:
    class iterator {
    public:
        SVGElement operator*() const { return m_element; }
        iterator& operator++();
        bool operator==(const iterator&) const = default;

    private:
        friend class Children;
        explicit iterator(SVGElement element) : m_element(element) {}
        SVGElement m_element;
    };

    iterator begin() const { return iterator(m_first); }
    iterator end() const { return iterator(SVGElement()); }

private:
    friend class SVGElement;
    explicit Children(SVGElement first) : m_first(first) {}
    SVGElement m_first;
};

class SVGElementTree {
public:
    static constexpr int kMaximumDepth = 256;
    static constexpr qsizetype kMaximumElements = 2'000'000;
    static constexpr qsizetype kMaximumNames = 10'000;
    // The sum of the sizes of a DTD's internal entities.
    static constexpr qsizetype kMaximumEntityText = 4096;

    // The tree, or null with an error 101 saying why.
    static std::unique_ptr<SVGElementTree> read(const QByteArray& data, QuorvaneError* error);

    // The "svg" element.
    SVGElement root() const { return SVGElement(this, 0); }
    // The first element in document order with that id; null for none.
    SVGElement elementById(QStringView id) const;

private:
    friend class SVGElement;
    friend class SVGTreeBuilder;

    SVGElementTree();

    struct Node {
        qsizetype textStart = 0;
        qint32 textLength = 0;
        qint32 name = 0;
        qint32 firstChild = -1;
        qint32 nextSibling = -1;
        qint32 firstAttribute = 0;
        qint32 attributeCount = 0;
    };
    struct Attribute {
        qsizetype valueStart = 0;
        qint32 valueLength = 0;
        qint32 name = 0;
    };
    // An element's id, in an array sorted by the ids' text.
    struct Identifier {
        qsizetype start = 0;
        qint32 length = 0;
        qint32 node = 0;
    };

    QStringView characters(qsizetype start, qint32 length) const
    {
        return QStringView(m_characters).sliced(start, length);
    }
    QStringView text(const Identifier& identifier) const { return characters(identifier.start, identifier.length); }
    void indexIdentifiers();

    std::vector<Node> m_nodes; // in document order
    std::vector<Attribute> m_attributes;
    std::vector<Identifier> m_identifiers;
    QString m_characters; // attribute values and text, one after the other
    QStringList m_names;
    QHash<QString, qint32> m_nameIndexes;
};

} // namespace platform

#include "platform/vantrix/svg/SVGElementTree.h"

#include "platform/vantrix/svg/SVGMarkupScan.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QXmlStreamReader>

#include <algorithm>

namespace platform {

namespace {

const QString kSVGNamespace = QStringLiteral("http://www.w3.org/2000/svg");
const QString kXLinkNamespace = QStringLiteral("http://www.w3.org/1999/xlink");
const QString kTextName = QStringLiteral("#text");
constexpr qint32 kTextNameIndex = 0;

bool isTextContent(const QString& name)
{
    return name == u"text" || name == u"tspan";
}

QString tr(const char* text)
{
    return QCoreApplication::translate("SVG", text);
}

} // namespace

// --- Elements ------------------------------------------------------------------------------

const QString& SVGElement::name() const
{
    return m_tree->m_names[m_tree->m_nodes[size_t(m_index)].name];
}

SVGElement SVGElement::nextSibling() const
{
    const qint32 next = m_tree->m_nodes[size_t(m_index)].nextSibling;
    return next < 0 ? SVGElement() : SVGElement(m_tree, next);
}

qint32 SVGElement::attributeIndex(const QString& key) const
{
    const qint32 name = m_tree->m_nameIndexes.value(key, -1);
    const SVGElementTree::Node& node = m_tree->m_nodes[size_t(m_index)];
    for (qint32 i = 0; name >= 0 && i < node.attributeCount; ++i) {
        if (m_tree->m_attributes[size_t(node.firstAttribute + i)].name == name)
            return i;
    }
    return -1;
}

QStringView SVGElement::attribute(const QString& key) const
{
    const qint32 i = attributeIndex(key);
    return i < 0 ? QStringView() : attributeValue(i);
}

bool SVGElement::hasAttribute(const QString& key) const
{
    return attributeIndex(key) >= 0;
}

qsizetype SVGElement::attributeCount() const
{
    return m_tree->m_nodes[size_t(m_index)].attributeCount;
}

const QString& SVGElement::attributeName(qsizetype i) const
{
    const SVGElementTree::Node& node = m_tree->m_nodes[size_t(m_index)];
    return m_tree->m_names[m_tree->m_attributes[size_t(node.firstAttribute + i)].name];
}

QStringView SVGElement::attributeValue(qsizetype i) const
{
    const SVGElementTree::Node& node = m_tree->m_nodes[size_t(m_index)];
    const SVGElementTree::Attribute& attribute = m_tree->m_attributes[size_t(node.firstAttribute + i)];
    return m_tree->characters(attribute.valueStart, attribute.valueLength);
}

QStringView SVGElement::text() const
{
    const SVGElementTree::Node& node = m_tree->m_nodes[size_t(m_index)];
    return m_tree->characters(node.textStart, node.textLength);
}

SVGElement::Children SVGElement::children() const
{
    const qint32 first = m_tree->m_nodes[size_t(m_index)].firstChild;
    return Children(first < 0 ? SVGElement() : SVGElement(m_tree, first));
}

SVGElement::Children::iterator& SVGElement::Children::iterator::operator++()
{
    m_element = m_element.nextSibling();
    return *this;
}

// --- Reading ---------------------------------------------------------------------------------

class SVGTreeBuilder {
public:
    SVGTreeBuilder(const QByteArray& data, SVGElementTree& tree) : m_tree(tree)
    {
        // Read from a device, the reader decodes a block at a time instead of the whole file.
        m_input.setData(data);
        m_input.open(QIODevice::ReadOnly);
        m_reader.setDevice(&m_input);
        m_reader.setNamespaceProcessing(true);
        m_reader.setEntityExpansionLimit(int(SVGElementTree::kMaximumEntityText));
    }

    bool read(const SVGMarkupScan::Counts& counts, QString& reason)
    {
        m_tree.m_nodes.reserve(size_t(std::min(counts.elements, SVGElementTree::kMaximumElements)));
        m_tree.m_attributes.reserve(size_t(counts.attributes));
        while (!m_reader.atEnd() && m_reason.isEmpty()) {
            switch (m_reader.readNext()) {
            case QXmlStreamReader::DTD: m_reason = checkedEntities(); break;
            case QXmlStreamReader::StartElement: startElement(); break;
            case QXmlStreamReader::EndElement: endElement(); break;
            case QXmlStreamReader::Characters:
                if (m_foreignDepth == 0 && !m_open.empty())
                    appendText();
                break;
            default: break;
            }
        }
        if (m_reason.isEmpty() && m_reader.hasError())
            m_reason = tr("The XML is malformed at line %1: %2").arg(m_reader.lineNumber()).arg(m_reader.errorString());
        if (m_reason.isEmpty() && (m_tree.m_nodes.empty() || m_tree.root().name() != u"svg"))
            m_reason = tr("The file is not an SVG document.");
        reason = m_reason;
        return m_reason.isEmpty();
    }

private:
    // An element still open: where its next child goes, and the text of a style sheet.
    struct OpenElement {
        qint32 node = 0;
        qint32 lastChild = -1;
        QString styleText;
    };

    // Files without a namespace declaration are accepted as SVG too.
    static bool isSVG(QStringView uri) { return uri.isEmpty() || uri == kSVGNamespace; }

    QString checkedEntities() const
    {
        qsizetype total = 0;
        for (const QXmlStreamEntityDeclaration& entity : m_reader.entityDeclarations()) {
            total += entity.name().size() + entity.value().size();
            if (!entity.systemId().isEmpty() || !entity.publicId().isEmpty())
                return tr("The file declares external entities.");
        }
        if (total > SVGElementTree::kMaximumEntityText)
            return tr("The file declares entities beyond the size allowed.");
        return {};
    }

    void startElement()
    {
        const QXmlStreamAttributes attributes = m_reader.attributes();
        if (m_open.size() + size_t(m_foreignDepth) >= size_t(SVGElementTree::kMaximumDepth))
            m_reason = tr("The elements are nested too deeply.");
        else if (++m_elementCount > SVGElementTree::kMaximumElements)
            m_reason = tr("The file has too many elements.");
        else if (attributes.size() > SVGMarkupScan::kMaximumAttributes) // defaults of the document type included
            m_reason = tr("The element <%1> on line %2 has %L3 attributes; no drawing needs more than %L4.")
                           .arg(m_reader.name())
                           .arg(m_reader.lineNumber())
                           .arg(attributes.size())
                           .arg(SVGMarkupScan::kMaximumAttributes);
        else if (m_foreignDepth > 0 || !isSVG(m_reader.namespaceUri()))
            ++m_foreignDepth;
        else if (m_open.empty() && !m_tree.m_nodes.empty())
            m_reason = tr("The file has more than one root element.");
        else
            addElement(attributes);
    }

    void addElement(const QXmlStreamAttributes& attributes)
    {
        const qint32 index = addNode(nameIndex(m_reader.name()));
        SVGElementTree::Node& node = m_tree.m_nodes[size_t(index)];
        node.firstAttribute = qint32(m_tree.m_attributes.size());
        for (const QXmlStreamAttribute& attribute : attributes) {
            const QStringView uri = attribute.namespaceUri();
            if (uri.isEmpty() || uri == kXLinkNamespace)
                setAttribute(node, nameIndex(attribute.name()), attribute.value());
        }
        m_open.push_back({index, -1, {}});
    }

    // A node as the last child of the innermost open element.
    qint32 addNode(qint32 name)
    {
        const qint32 index = qint32(m_tree.m_nodes.size());
        m_tree.m_nodes.push_back({});
        m_tree.m_nodes.back().name = name;
        if (!m_open.empty()) {
            OpenElement& parent = m_open.back();
            if (parent.lastChild < 0)
                m_tree.m_nodes[size_t(parent.node)].firstChild = index;
            else
                m_tree.m_nodes[size_t(parent.lastChild)].nextSibling = index;
            parent.lastChild = index;
        }
        return index;
    }

    // A repeated name (href and xlink:href) keeps the later value.
    void setAttribute(SVGElementTree::Node& node, qint32 name, QStringView value)
    {
        std::vector<SVGElementTree::Attribute>& all = m_tree.m_attributes;
        auto found = std::find_if(all.begin() + node.firstAttribute, all.end(),
                                  [name](const SVGElementTree::Attribute& a) { return a.name == name; });
        if (found == all.end()) {
            found = all.emplace(all.end());
            found->name = name;
            ++node.attributeCount;
        }
        found->valueStart = appendCharacters(value);
        found->valueLength = qint32(value.size());
    }

    qsizetype appendCharacters(QStringView text)
    {
        const qsizetype start = m_tree.m_characters.size();
        m_tree.m_characters.append(text);
        return start;
    }

    qint32 nameIndex(QStringView name)
    {
        // A lookup with the reader's characters in place; only new names are copied.
        const qint32 known = m_tree.m_nameIndexes.value(QString::fromRawData(name.data(), name.size()), -1);
        if (known >= 0)
            return known;
        if (m_tree.m_names.size() >= SVGElementTree::kMaximumNames) {
            m_reason = tr("The file uses more than %L1 different names for its elements and attributes.")
                           .arg(SVGElementTree::kMaximumNames);
            return kTextNameIndex;
        }
        const qint32 index = qint32(m_tree.m_names.size());
        m_tree.m_names.append(name.toString());
        m_tree.m_nameIndexes.insert(m_tree.m_names.last(), index);
        return index;
    }

    void endElement()
    {
        if (m_foreignDepth > 0) {
            --m_foreignDepth;
            return;
        }
        if (m_open.empty())
            return;
        const OpenElement& closing = m_open.back();
        if (!closing.styleText.isEmpty()) {
            SVGElementTree::Node& node = m_tree.m_nodes[size_t(closing.node)];
            node.textStart = appendCharacters(closing.styleText);
            node.textLength = qint32(closing.styleText.size());
        }
        m_open.pop_back();
    }

    void appendText()
    {
        OpenElement& parent = m_open.back();
        const QString& parentName = m_tree.m_names[m_tree.m_nodes[size_t(parent.node)].name];
        const QStringView text = m_reader.text();
        if (parentName == u"style") {
            parent.styleText += text;
        } else if (isTextContent(parentName)) {
            // Runs split by comments, entities or CDATA sections stay one.
            SVGElementTree::Node* last = parent.lastChild < 0 ? nullptr : &m_tree.m_nodes[size_t(parent.lastChild)];
            const bool continues = last && last->name == kTextNameIndex
                && last->textStart + last->textLength == m_tree.m_characters.size();
            if (!continues) {
                last = &m_tree.m_nodes[size_t(addNode(kTextNameIndex))];
                last->textStart = m_tree.m_characters.size();
            }
            appendCharacters(text);
            last->textLength += qint32(text.size());
        }
    }

    SVGElementTree& m_tree;
    QBuffer m_input;
    QXmlStreamReader m_reader;
    std::vector<OpenElement> m_open;
    qsizetype m_elementCount = 0;
    int m_foreignDepth = 0; // > 0 inside an element of another vocabulary
    QString m_reason;
};

SVGElement SVGElementTree::elementById(QStringView id) const
{
    const auto found = std::lower_bound(m_identifiers.begin(), m_identifiers.end(), id,
                                        [this](const Identifier& entry, QStringView key) { return text(entry) < key; });
    return found != m_identifiers.end() && text(*found) == id ? SVGElement(this, found->node) : SVGElement();
}

void SVGElementTree::indexIdentifiers()
{
    const qint32 idName = m_nameIndexes.value(QStringLiteral("id"), -1);
    for (qint32 node = 0; idName >= 0 && node < qint32(m_nodes.size()); ++node) {
        const Node& element = m_nodes[size_t(node)];
        for (qint32 i = element.firstAttribute; i < element.firstAttribute + element.attributeCount; ++i) {
            const Attribute& attribute = m_attributes[size_t(i)];
            if (attribute.name == idName && attribute.valueLength > 0)
                m_identifiers.push_back({attribute.valueStart, attribute.valueLength, node});
        }
    }
    // Stable, so the first of equal ids in document order comes first.
    std::stable_sort(m_identifiers.begin(), m_identifiers.end(),
                     [this](const Identifier& a, const Identifier& b) { return text(a) < text(b); });
}

SVGElementTree::SVGElementTree() : m_names{kTextName}
{
    m_nameIndexes.insert(kTextName, kTextNameIndex);
}

std::unique_ptr<SVGElementTree> SVGElementTree::read(const QByteArray& data, QuorvaneError* error)
{
    QString reason;
    std::unique_ptr<SVGElementTree> tree;
    if (const std::optional<SVGMarkupScan::Counts> counts = SVGMarkupScan::scan(data, &reason)) {
        tree.reset(new SVGElementTree);
        if (SVGTreeBuilder(data, *tree).read(*counts, reason))
            tree->indexIdentifiers();
        else
            tree.reset();
    }
    if (!tree && error)
        *error = QuorvaneError(kQuorvaneDocumentError, reason);
    return tree;
}

} // namespace platform

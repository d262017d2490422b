#include "platform/vantrix/svg/SVGElementTree.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace platform {

namespace {

const QString kSVGNamespace = QStringLiteral("http://www.w3.org/2000/svg");
const QString kXLinkNamespace = QStringLiteral("http://www.w3.org/1999/xlink");

bool isTextContent(const QString& name)
{
    return name == u"text" || name == u"tspan";
}

class TreeReader {
public:
    explicit TreeReader(const QByteArray& data) : m_reader(data)
    {
        m_reader.setNamespaceProcessing(true);
        m_reader.setEntityExpansionLimit(int(SVGElementTree::kMaximumEntityText));
    }

    std::unique_ptr<SVGElement> read(QString& reason)
    {
        std::unique_ptr<SVGElement> root;
        std::vector<SVGElement*> open;
        int foreignDepth = 0; // > 0 inside an element of another vocabulary
        while (!m_reader.atEnd() && reason.isEmpty()) {
            switch (m_reader.readNext()) {
            case QXmlStreamReader::DTD:
                reason = checkedEntities();
                break;
            case QXmlStreamReader::StartElement:
                if (open.size() + size_t(foreignDepth) >= size_t(SVGElementTree::kMaximumDepth)) {
                    reason = QCoreApplication::translate("SVG", "The elements are nested too deeply.");
                } else if (++m_elementCount > SVGElementTree::kMaximumElements) {
                    reason = QCoreApplication::translate("SVG", "The file has too many elements.");
                } else if (foreignDepth > 0 || !isSVG(m_reader.namespaceUri())) {
                    ++foreignDepth;
                } else if (open.empty() && root) {
                    reason = QCoreApplication::translate("SVG", "The file has more than one root element.");
                } else {
                    auto element = makeElement();
                    SVGElement* raw = element.get();
                    if (open.empty())
                        root = std::move(element);
                    else
                        open.back()->children.push_back(std::move(element));
                    open.push_back(raw);
                }
                break;
            case QXmlStreamReader::EndElement:
                if (foreignDepth > 0)
                    --foreignDepth;
                else if (!open.empty())
                    open.pop_back();
                break;
            case QXmlStreamReader::Characters:
                if (foreignDepth == 0 && !open.empty())
                    appendText(*open.back());
                break;
            default:
                break;
            }
        }
        if (reason.isEmpty() && m_reader.hasError())
            reason = QCoreApplication::translate("SVG", "The XML is malformed at line %1: %2")
                         .arg(m_reader.lineNumber())
                         .arg(m_reader.errorString());
        if (reason.isEmpty() && (!root || root->name != u"svg"))
            reason = QCoreApplication::translate("SVG", "The file is not an SVG document.");
        return reason.isEmpty() ? std::move(root) : nullptr;
    }

private:
    // Files without a namespace declaration are accepted as SVG too.
    bool isSVG(QStringView uri) const { return uri.isEmpty() || uri == kSVGNamespace; }

    QString checkedEntities() const
    {
        qsizetype total = 0;
        for (const QXmlStreamEntityDeclaration& entity : m_reader.entityDeclarations()) {
            total += entity.name().size() + entity.value().size();
            if (!entity.systemId().isEmpty() || !entity.publicId().isEmpty())
                return QCoreApplication::translate("SVG", "The file declares external entities.");
        }
        if (total > SVGElementTree::kMaximumEntityText)
            return QCoreApplication::translate("SVG", "The file declares entities beyond the size allowed.");
        return {};
    }

    std::unique_ptr<SVGElement> makeElement() const
    {
        auto element = std::make_unique<SVGElement>();
        element->name = m_reader.name().toString();
        const QXmlStreamAttributes attributes = m_reader.attributes();
        element->attributes.reserve(attributes.size());
        for (const QXmlStreamAttribute& attribute : attributes) {
            const QStringView uri = attribute.namespaceUri();
            if (uri.isEmpty() || uri == kXLinkNamespace)
                element->attributes.insert(attribute.name().toString(), attribute.value().toString());
        }
        return element;
    }

    void appendText(SVGElement& parent) const
    {
        if (isTextContent(parent.name)) {
            auto text = std::make_unique<SVGElement>();
            text->name = QStringLiteral("#text");
            text->text = m_reader.text().toString();
            parent.children.push_back(std::move(text));
        } else if (parent.name == u"style") {
            parent.text += m_reader.text();
        }
    }

    QXmlStreamReader m_reader;
    qsizetype m_elementCount = 0;
};

} // namespace

std::unique_ptr<SVGElement> SVGElementTree::read(const QByteArray& data, QuorvaneError* error)
{
    QString reason;
    std::unique_ptr<SVGElement> root = TreeReader(data).read(reason);
    if (!root && error)
        *error = QuorvaneError(kQuorvaneDocumentError, reason);
    return root;
}

} // namespace platform

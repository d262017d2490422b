#include "platform/vantrix/VXTextPath.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/ArchiveReader.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextBoundaryFinder>

namespace {

const QString kStringKey = QStringLiteral("VXTextPath_string");
const QString kFontKey = QStringLiteral("VXTextPath_font");
const QString kColourKey = QStringLiteral("VXTextPath_textColour");
const QString kAdornmentKey = QStringLiteral("VXTextPath_textAdornment");

} // namespace

VXTextPath::VXTextPath() : m_font(platform::systemFontOfSize(14)) {}

std::shared_ptr<VXTextPath> VXTextPath::textPathWithStringOnPath(const QString& string, const platform::BezierPath& path)
{
    auto object = std::make_shared<VXTextPath>();
    object->m_string = string;
    object->setPath(path);
    return object;
}

void VXTextPath::setString(const QString& string)
{
    changeValueForKey(m_string, string, "string", Change::Appearance);
}

void VXTextPath::setFont(const QFont& font)
{
    changeValueForKey(m_font, font, "font", Change::Appearance);
}

void VXTextPath::setTextColour(const QColor& colour)
{
    if (colour.isValid())
        changeValueForKey(m_textColour, colour, "textColour", Change::Appearance);
}

void VXTextPath::setTextAdornment(const VXRasterizerPtr& adornment)
{
    changeValueForKey(m_textAdornment, adornment, "textAdornment", Change::Appearance);
}

void VXTextPath::drawContent() const
{
    VXDrawablePath::drawContent();
    if (ghosted())
        return;
    if (m_textAdornment)
        m_textAdornment->render(*this);
    else
        drawTextAlongPath();
}

void VXTextPath::drawTextAlongPath() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    const platform::BezierPath along = renderingPath();
    if (!context || m_string.isEmpty() || along.isEmpty())
        return;
    QPainter* painter = context->painter();
    painter->save();
    painter->setFont(m_font);
    painter->setPen(m_textColour);
    const QFontMetricsF metrics(m_font);
    const double length = along.length();
    double position = 0;
    // Whole graphemes, so accents and surrogate pairs stay with their letters.
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, m_string);
    for (qsizetype start = 0, end = graphemes.toNextBoundary(); end >= 0; start = end, end = graphemes.toNextBoundary()) {
        const QString glyph = m_string.mid(start, end - start);
        const double advance = metrics.horizontalAdvance(glyph);
        if (position + advance > length)
            break;
        double slope = 0;
        const QPointF centre = along.pointOnPathAtLengthSlope(position + advance / 2, &slope);
        painter->save();
        painter->translate(centre);
        painter->rotate(qRadiansToDegrees(slope));
        painter->drawText(QPointF(-advance / 2, 0), glyph);
        painter->restore();
        position += advance;
    }
    painter->restore();
}

void VXTextPath::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawablePath::encodeWithCoder(coder);
    coder.encodeString(m_string, kStringKey);
    coder.encodeFont(m_font, kFontKey);
    coder.encodeColor(m_textColour, kColourKey);
    coder.encodeObject(m_textAdornment.get(), kAdornmentKey);
}

void VXTextPath::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawablePath::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_string = reader.string(kStringKey);
    if (reader.contains(kFontKey))
        m_font = coder.decodeFont(kFontKey);
    m_textColour = reader.colour(kColourKey, m_textColour);
    m_textAdornment = reader.object<VXRasterizer>(kAdornmentKey);
}

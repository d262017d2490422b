#include "platform/vantrix/VXTextShape.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/graphics/FontUtilities.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/ArchiveReader.h"

#include <QPainter>

namespace {

const QString kStringKey = QStringLiteral("VXTextShape_string");
const QString kFontKey = QStringLiteral("VXTextShape_font");
const QString kColourKey = QStringLiteral("VXTextShape_textColour");
const QString kAlignmentKey = QStringLiteral("VXTextShape_alignment");
const QString kAdornmentKey = QStringLiteral("VXTextShape_textAdornment");

bool s_allowsInlineImages = false;
bool s_returnInsertsNewline = true;
bool s_startEditingOnObjectCreation = true;

Qt::Alignment qtAlignment(int alignment)
{
    switch (alignment) {
    case 1: return Qt::AlignRight;
    case 2: return Qt::AlignHCenter;
    case 3: return Qt::AlignJustify;
    default: return Qt::AlignLeft;
    }
}

} // namespace

VXTextShape::VXTextShape() : m_font(platform::systemFontOfSize(18)) {}

std::shared_ptr<VXTextShape> VXTextShape::textShapeWithStringInRect(const QString& string, const QRectF& rect)
{
    auto shape = std::make_shared<VXTextShape>();
    shape->m_string = string;
    shape->setSize(rect.size());
    shape->setLocation(rect.center());
    return shape;
}

void VXTextShape::setString(const QString& string)
{
    changeValueForKey(m_string, string, "string", Change::Appearance);
}

void VXTextShape::setFont(const QFont& font)
{
    changeValueForKey(m_font, font, "font", Change::Appearance);
}

void VXTextShape::setTextColour(const QColor& colour)
{
    if (colour.isValid())
        changeValueForKey(m_textColour, colour, "textColour", Change::Appearance);
}

void VXTextShape::setAlignment(int alignment)
{
    changeValueForKey(m_alignment, std::clamp(alignment, 0, 3), "alignment", Change::Appearance);
}

void VXTextShape::setTextAdornment(const VXRasterizerPtr& adornment)
{
    changeValueForKey(m_textAdornment, adornment, "textAdornment", Change::Appearance);
}

bool VXTextShape::allowsInlineImages()
{
    return s_allowsInlineImages;
}

void VXTextShape::setAllowsInlineImages(bool allows)
{
    s_allowsInlineImages = allows;
}

bool VXTextShape::returnInsertsNewline()
{
    return s_returnInsertsNewline;
}

void VXTextShape::setReturnInsertsNewline(bool inserts)
{
    s_returnInsertsNewline = inserts;
}

bool VXTextShape::startEditingOnObjectCreation()
{
    return s_startEditingOnObjectCreation;
}

void VXTextShape::setStartEditingOnObjectCreation(bool starts)
{
    s_startEditingOnObjectCreation = starts;
}

void VXTextShape::drawContent() const
{
    VXDrawableShape::drawContent();
    if (ghosted())
        return;
    if (m_textAdornment)
        m_textAdornment->render(*this);
    else
        drawPlainText();
}

void VXTextShape::drawPlainText() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || m_string.isEmpty())
        return;
    QPainter* painter = context->painter();
    const QSizeF box(std::abs(size().width()), std::abs(size().height()));
    painter->save();
    painter->setTransform(QTransform().translate(locationIgnoringOffset().x(), locationIgnoringOffset().y())
                              .rotateRadians(angle())
                          * containerTransform() * painter->worldTransform());
    painter->setFont(m_font);
    painter->setPen(m_textColour);
    painter->drawText(QRectF(-box.width() / 2, -box.height() / 2, box.width(), box.height()),
                      int(qtAlignment(m_alignment) | Qt::AlignTop | Qt::TextWordWrap), m_string);
    painter->restore();
}

void VXTextShape::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableShape::encodeWithCoder(coder);
    coder.encodeString(m_string, kStringKey);
    coder.encodeFont(m_font, kFontKey);
    coder.encodeColor(m_textColour, kColourKey);
    coder.encodeInt(m_alignment, kAlignmentKey);
    coder.encodeObject(m_textAdornment.get(), kAdornmentKey);
}

void VXTextShape::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableShape::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_string = reader.string(kStringKey);
    if (reader.contains(kFontKey))
        m_font = coder.decodeFont(kFontKey);
    m_textColour = reader.colour(kColourKey, m_textColour);
    m_alignment = int(reader.integer(kAlignmentKey, 0, 0, 3));
    m_textAdornment = reader.object<VXRasterizer>(kAdornmentKey);
}

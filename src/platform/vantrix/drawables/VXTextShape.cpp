#include "platform/vantrix/drawables/VXTextShape.h"

#include "platform/graphics/FontUtilities.h"

namespace {

const QString kAdornmentKey = QStringLiteral("VXTextShape_textAdornment");

bool s_allowsInlineImages = false;
bool s_returnInsertsNewline = true;
bool s_startEditingOnObjectCreation = true;

VXTextAdornmentPtr textInBox()
{
    auto adornment = std::make_shared<VXTextAdornment>();
    adornment->setLayoutMode(VXTextAdornment::kLayoutInBox);
    adornment->setFont(platform::systemFontOfSize(18));
    return adornment;
}

} // namespace

VXTextShape::VXTextShape() : TextAdornmentOwner(textInBox()) {}

std::shared_ptr<VXTextShape> VXTextShape::textShapeWithStringInRect(const QString& string, const QRectF& rect)
{
    auto shape = std::make_shared<VXTextShape>();
    shape->setString(string);
    shape->setSize(rect.size());
    shape->setLocation(rect.center());
    return shape;
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

void VXTextShape::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableShape::encodeWithCoder(coder);
    encodeTextAdornment(coder, kAdornmentKey);
}

void VXTextShape::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableShape::initWithCoder(coder);
    decodeTextAdornment(coder, kAdornmentKey);
}

#include "platform/vantrix/drawables/VXTextShape.h"

#include "platform/graphics/FontUtilities.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"

namespace {

const QString kAdornmentKey = QStringLiteral("VXTextShape_textAdornment");

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
    return VXDrawingPreferences::current().allowsInlineImages;
}

bool VXTextShape::returnInsertsNewline()
{
    return VXDrawingPreferences::current().returnInsertsNewline;
}

bool VXTextShape::startEditingOnObjectCreation()
{
    return VXDrawingPreferences::current().startEditingOnObjectCreation;
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

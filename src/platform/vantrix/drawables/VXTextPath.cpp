#include "platform/vantrix/drawables/VXTextPath.h"

#include "platform/graphics/FontUtilities.h"

namespace {

const QString kAdornmentKey = QStringLiteral("VXTextPath_textAdornment");

VXTextAdornmentPtr textAlongThePath()
{
    auto adornment = std::make_shared<VXTextAdornment>();
    adornment->setLayoutMode(VXTextAdornment::kLayoutAlongPath);
    adornment->setVerticalAlignment(VXTextAdornment::kAlignBottom);
    adornment->setFont(platform::systemFontOfSize(14));
    return adornment;
}

} // namespace

VXTextPath::VXTextPath() : TextAdornmentOwner(textAlongThePath()) {}

std::shared_ptr<VXTextPath> VXTextPath::textPathWithStringOnPath(const QString& string, const platform::BezierPath& path)
{
    auto object = std::make_shared<VXTextPath>();
    object->setString(string);
    object->setPath(path);
    return object;
}

void VXTextPath::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawablePath::encodeWithCoder(coder);
    encodeTextAdornment(coder, kAdornmentKey);
}

void VXTextPath::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawablePath::initWithCoder(coder);
    decodeTextAdornment(coder, kAdornmentKey);
}

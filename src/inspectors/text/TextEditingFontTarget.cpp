#include "inspectors/text/TextEditingFontTarget.h"

#include "inspectors/InspectedObjects.h"
#include "platform/ui/FontManager.h"
#include "platform/vantrix/text/VXTextAdornment.h"

namespace {

VXTextAdornment* adornmentOf(const ZQObject& object)
{
    if (object.metaObject()->indexOfProperty("textAdornment") < 0 && !object.respondsToSelector("textAdornment"))
        return nullptr;
    return qobject_cast<VXTextAdornment*>(platform::objectFromVariant(object.valueForKey(QStringLiteral("textAdornment"))));
}

} // namespace

TextEditingFontTarget::TextEditingFontTarget(const QList<ZQObjectPtr>& objects)
{
    for (const ZQObjectPtr& object : objects) {
        if (object && adornmentOf(*object))
            m_objects.append(object);
    }
}

QList<VXTextAdornment*> TextEditingFontTarget::textAdornments() const
{
    QList<VXTextAdornment*> adornments;
    for (const ZQObjectPtr& object : m_objects) {
        if (!inspectors::objectIsLocked(*object))
            adornments.append(adornmentOf(*object));
    }
    return adornments;
}

void TextEditingFontTarget::changeFont(QObject* sender)
{
    const auto* manager = qobject_cast<platform::FontManager*>(sender);
    if (!manager)
        return;
    for (VXTextAdornment* adornment : textAdornments())
        adornment->changeFont(manager->convertFont(adornment->font()));
}

void TextEditingFontTarget::changeAttributes(QObject* sender)
{
    const auto* manager = qobject_cast<platform::FontManager*>(sender);
    if (!manager)
        return;
    for (VXTextAdornment* adornment : textAdornments())
        adornment->changeAttributes(manager->convertAttributes(adornment->textAttributes()));
}

#include "tracks/styles/StyleLibraryCoding.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/text/VXTextAdornment.h"

namespace StyleLibraryCoding {

QByteArray fileData(const VXStyle& style)
{
    return platform::KeyedArchiver::archivedDataWithRootObject(&style);
}

VXStylePtr libraryObjectWithFileData(const QByteArray& data)
{
    if (data.isEmpty()) {
        ZQLogObjCMethod(QStringLiteral("no style data"));
        return nullptr;
    }
    QuorvaneError error;
    const ZQObjectPtr root = platform::KeyedUnarchiver::unarchiveObjectWithData(data, &error);
    if (!root) {
        ZQLogObjCMethod(QStringLiteral("style data could not be read: %1").arg(error.localizedDescription()));
        return nullptr;
    }
    VXStylePtr style = std::dynamic_pointer_cast<VXStyle>(root);
    if (!style)
        ZQLogObjCMethod(QStringLiteral("style data holds a %1, not a style").arg(root->className()));
    return style;
}

void drawRect(const VXStyle& style, const QRectF& rect)
{
    const VXDrawableShapePtr shape = VXDrawableShape::drawableShapeWithRect(rect, nullptr);
    style.render(*shape);
}

QString searchableStringForObject(const VXStyle& style, const VXRenderable& object)
{
    return VXTextAdornment::searchableStringOfStyleForObject(style, object);
}

} // namespace StyleLibraryCoding

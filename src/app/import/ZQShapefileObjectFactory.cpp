#include "app/import/ZQShapefileObjectFactory.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/graphics/BezierPath.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/styles/VXRastGroup.h"

#include <QThread>
#include <cmath>

namespace {

enum ShapeType : qint32 { Point = 1, PolyLine = 3, Polygon = 5 };

const QString kAutocolourEnableKey = QStringLiteral("kImportOptionSettingAutocolourEnable");
const QString kAutocolourListNameKey = QStringLiteral("kImportOptionAutocolourListName");
const QString kMapcolorAttributeNameKey = QStringLiteral("kImportOptionMapcolorAttributeName");

// The placed symbol's class, registered by the symbols library above this one.
const QString kSymbolClassName = QStringLiteral("VXQSymbol");

constexpr double kStrokeWidth = 0.1;
constexpr int kStyleCacheLimit = 256;
constexpr double kPointOvalSize = 4;

ZQShapefileObjectFactory::SymbolMasterProvider& symbolMasterProvider()
{
    static ZQShapefileObjectFactory::SymbolMasterProvider provider;
    return provider;
}

VXStylePtr styleWithFill(const QColor& fill)
{
    return VXStyle::styleWithFillColourStrokeColourStrokeWidth(fill, Qt::black, kStrokeWidth);
}

// The palette entry an attribute picks, when it is a positive whole number. Zero, negative
// values (no-data codes), text that is no number and reals beyond exact integers pick none.
std::optional<qint64> paletteIndexOf(const geodata::AttributeValue& value)
{
    constexpr double kLargestExactInteger = 9007199254740992.0; // 2^53
    double number = 0;
    switch (value.type()) {
    case geodata::AttributeValue::Integer: {
        const qint64 integer = value.value().toLongLong();
        return integer > 0 ? std::optional(integer) : std::nullopt;
    }
    case geodata::AttributeValue::Real: number = value.value().toDouble(); break;
    case geodata::AttributeValue::String: {
        bool ok = false;
        number = value.value().toString().trimmed().toDouble(&ok);
        if (!ok)
            return std::nullopt;
        break;
    }
    default: return std::nullopt;
    }
    if (!std::isfinite(number) || number < 1 || number >= kLargestExactInteger)
        return std::nullopt;
    return qint64(number);
}

// Named palettes of the "mapcolor" attributes; other names take seven colours.
qint64 paletteSizeForAttributeName(const QString& name)
{
    if (name == QLatin1String("mapcolor8"))
        return 8;
    if (name == QLatin1String("mapcolor9"))
        return 9;
    if (name == QLatin1String("mapcolor13"))
        return 13;
    return 7;
}

// The class made for a framework class, which the application may substitute.
const QMetaObject* madeClassOr(const QMetaObject& plain)
{
    const QMetaObject* made = platform::ClassRegistry::metaObjectOfClassMadeForName(QString::fromLatin1(plain.className()));
    return made ? made : &plain;
}

// A new object of `metaObject`'s class, or of T itself when that class cannot be made as a T.
template <class T>
std::shared_ptr<T> instanceOf(const QMetaObject* metaObject)
{
    auto object = std::dynamic_pointer_cast<T>(platform::ClassRegistry::create(QString::fromLatin1(metaObject->className())));
    return object ? object : std::make_shared<T>();
}

// Moves the components of a style made on this thread; styles made elsewhere (the defaults)
// are not this thread's to move.
void moveComponentsToThread(const VXRasterizerPtr& component, QThread* thread)
{
    if (component->thread() != QThread::currentThread())
        return;
    component->moveToThread(thread);
    if (auto* group = dynamic_cast<VXRastGroup*>(component.get())) {
        for (const VXRasterizerPtr& member : group->renderList())
            moveComponentsToThread(member, thread);
    }
}

} // namespace

ZQShapefileObjectFactory::ZQShapefileObjectFactory() : m_cachedStyles(kStyleCacheLimit) {}

ZQShapefileObjectFactory::~ZQShapefileObjectFactory() = default;

void ZQShapefileObjectFactory::init()
{
    m_defaultLineStyle = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), Qt::black, kStrokeWidth);
    m_defaultShapeStyle = styleWithFill(QColor::fromRgbF(0.875f, 0.91f, 0.78f, 1.0f));
    m_defaultShapeStyle->setStyleSharable(false);
    if (const SymbolMasterProvider& provider = symbolMasterProvider())
        m_defaultSymbol = provider();
    const platform::UserDefaults& defaults = *platform::UserDefaults::standardUserDefaults();
    m_autoColour = defaults.boolForKey(kAutocolourEnableKey);
    setAutoColourList(platform::ColourList::colourListNamed(defaults.stringForKey(kAutocolourListNameKey)));
    m_mapcolorAttributeName = defaults.stringForKey(kMapcolorAttributeNameKey);
}

std::shared_ptr<ZQShapefileObjectFactory> ZQShapefileObjectFactory::makeFactory()
{
    auto factory = std::make_shared<ZQShapefileObjectFactory>();
    factory->init();
    return factory;
}

void ZQShapefileObjectFactory::setDefaultSymbolMasterProvider(SymbolMasterProvider provider)
{
    symbolMasterProvider() = std::move(provider);
}

void ZQShapefileObjectFactory::setAutoColourList(platform::ColourListPtr list)
{
    m_autoColourList = list ? std::move(list) : platform::ColourList::colourListNamed(kDefaultColourListName);
    m_cachedStyles.clear();
}

const QMetaObject* ZQShapefileObjectFactory::classForShape(qint32 shapeType)
{
    switch (shapeType) {
    case Polygon: return madeClassOr(VXDrawableShape::staticMetaObject);
    case PolyLine: return madeClassOr(VXDrawablePath::staticMetaObject);
    case Point: return platform::ClassRegistry::metaObjectForName(kSymbolClassName);
    default: return nullptr;
    }
}

std::shared_ptr<ZQObject> ZQShapefileObjectFactory::objectForShapeWithPathAttributes(
    qint32 shapeType, const QPainterPath& path, const geodata::AttributeDictionary* attributes)
{
    // Called on the import's worker: what the new objects and styles announce has no listener.
    const platform::NotificationSuspension privateObjects;
    std::shared_ptr<VXDrawableObject> object;
    switch (shapeType) {
    case Polygon: {
        auto shape = instanceOf<VXDrawableShape>(classForShape(Polygon));
        shape->setStyle(polygonStyleForAttributes(attributes));
        shape->adoptPathFromDrawing(platform::BezierPath(path));
        object = shape;
        break;
    }
    case PolyLine: {
        auto line = instanceOf<VXDrawablePath>(classForShape(PolyLine));
        line->setStyle(m_defaultLineStyle);
        line->setPath(platform::BezierPath(path));
        object = line;
        break;
    }
    case Point:
        object = symbolWithPathAttributes(path, attributes);
        if (!object) {
            // The plain class: a marker, not a shape to be labelled.
            auto oval = std::make_shared<VXDrawableShape>();
            oval->setStyle(m_defaultShapeStyle);
            const QPointF centre = path.elementAt(0);
            oval->adoptPathFromDrawing(platform::BezierPath::bezierPathWithOvalInRect(
                QRectF(centre.x() - kPointOvalSize / 2, centre.y() - kPointOvalSize / 2, kPointOvalSize, kPointOvalSize)));
            object = oval;
        }
        break;
    default: return nullptr;
    }
    if (attributes && !attributes->isEmpty())
        object->initMetadata(m_attributeValues.valuesFor(*attributes));
    return object;
}

void ZQShapefileObjectFactory::setUserInfoObjectForKey(const std::shared_ptr<ZQObject>& object, const QVariant& value,
                                                       const QString& key)
{
    // Called for every record: a direct call, not a look-up of the setter by name.
    if (auto* drawable = dynamic_cast<VXDrawableObject*>(object.get()))
        drawable->setUserInfoObjectForKey(value, key);
}

void ZQShapefileObjectFactory::moveObjectToThread(const std::shared_ptr<ZQObject>& object, QThread* thread)
{
    object->moveToThread(thread);
    if (auto* drawable = dynamic_cast<VXDrawableObject*>(object.get())) {
        for (const VXStylePtr& style : drawable->allStyles())
            moveComponentsToThread(style, thread);
    }
}

std::shared_ptr<VXDrawableObject> ZQShapefileObjectFactory::symbolWithPathAttributes(const QPainterPath& path,
                                                                                     const geodata::AttributeDictionary*)
{
    ZQ_ASSERT(path.elementCount() > 0 && path.elementAt(0).isMoveTo(), QStringLiteral("bad path passed to object factory (symbol)"));
    return m_defaultSymbol ? m_defaultSymbol->symbolWithLocation(path.elementAt(0)) : nullptr;
}

VXStylePtr ZQShapefileObjectFactory::polygonStyleForAttributes(const geodata::AttributeDictionary* attributes)
{
    if (!m_autoColour)
        return m_defaultShapeStyle;
    if (!m_mapcolorAttributeName.isEmpty() && attributes) {
        // Attribute keys are lower-cased field names; the option may keep the field's case.
        const QString name = m_mapcolorAttributeName.toLower();
        if (attributes->contains(name)) {
            if (const std::optional<qint64> index = paletteIndexOf(attributes->value(name)))
                return styleForMapcolorAttributeNameIndex(name, *index);
        }
    }
    return nextAutoColourStyle();
}

VXStylePtr ZQShapefileObjectFactory::nextAutoColourStyle()
{
    // With no colours to cycle through, polygons keep the plain style.
    if (!m_autoColourList || m_autoColourList->isEmpty())
        return m_defaultShapeStyle;
    m_autoColourIndex = (m_autoColourIndex + 1) % quint64(m_autoColourList->count());
    return styleWithFill(m_autoColourList->colourAtIndex(qsizetype(m_autoColourIndex)));
}

VXStylePtr ZQShapefileObjectFactory::styleForMapcolorAttributeNameIndex(const QString& name, qint64 index)
{
    const qint64 colours = m_autoColourList ? m_autoColourList->count() : 0;
    const qint64 paletteSize = std::min(paletteSizeForAttributeName(name), colours);
    if (paletteSize == 0 || index <= 0)
        return m_defaultShapeStyle;
    const QString key = QStringLiteral("MAPCOLOR_%1.%2").arg(index).arg(paletteSize);
    if (const VXStylePtr* cached = m_cachedStyles.object(key))
        return *cached;
    VXStylePtr style = styleWithFill(m_autoColourList->colourAtIndex(qsizetype((index - 1) % paletteSize)));
    style->setStyleSharable(true);
    m_cachedStyles.insert(key, new VXStylePtr(style));
    return style;
}

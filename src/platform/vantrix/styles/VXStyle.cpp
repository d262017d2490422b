#include "platform/vantrix/styles/VXStyle.h"

#include "platform/vantrix/render/DeviceLayer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXRenderable.h"
#include "platform/vantrix/model/VXUniqueID.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/styles/VXFill.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/styles/VXStyleRegistry.h"
#include "platform/vantrix/text/VXTextAdornment.h"

#include <QDateTime>
#include <QMimeData>
#include <QPainter>

namespace {

const QString kUniqueKeyKey = QStringLiteral("VXStyle_uniqueKey");
const QString kTimestampKey = QStringLiteral("VXStyle_lastModificationTimestamp");
constexpr QSizeF kDefaultImageSize(64, 64);
// Swatches are for the screen; a larger request is a mistake that must not exhaust memory.
constexpr QSize kMaximumImageSize(4096, 4096);

QSize imagePixels(QSizeF size)
{
    return size.toSize().expandedTo(QSize(1, 1)).boundedTo(kMaximumImageSize);
}

QString freshKey()
{
    return VXUniqueID::randomUuid().toString(QUuid::WithoutBraces);
}

double now()
{
    return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

// A rectangle to draw swatches on.
class SwatchRenderable : public VXRenderable {
public:
    explicit SwatchRenderable(const QRectF& rect) : m_rect(rect) {}
    platform::BezierPath renderingPath() const override { return platform::BezierPath::bezierPathWithRect(m_rect); }
    double angle() const override { return 0; }
    QSizeF size() const override { return m_rect.size(); }
    QPointF location() const override { return m_rect.center(); }
    QRectF bounds() const override { return m_rect; }
    QTransform containerTransform() const override { return {}; }
    quint64 geometryChecksum() const override { return 0; }

private:
    QRectF m_rect;
};

// Enabled components of the class inside enabled groups, in drawing order.
template <class T>
QList<std::shared_ptr<T>> activeRenderersOfClass(const VXRastGroup& group)
{
    QList<std::shared_ptr<T>> found;
    for (const VXRasterizerPtr& renderer : group.renderList()) {
        if (!renderer->enabled())
            continue;
        if (auto typed = std::dynamic_pointer_cast<T>(renderer))
            found.append(std::move(typed));
        if (const auto* subgroup = qobject_cast<const VXRastGroup*>(renderer.get()))
            found += activeRenderersOfClass<T>(*subgroup);
    }
    return found;
}

struct StyleSettings {
    VXStylePtr defaultStyle;
    VXStylePtr defaultTextStyle;
    VXStyleNameProvider* nameProvider = nullptr;
    QPointer<QObject> nameProviderObject;
    bool nameProviderIsObject = false;
    int nameProviderDisabled = 0;
};

StyleSettings& settings()
{
    static StyleSettings s;
    return s;
}

VXStyleNameProvider* activeNameProvider()
{
    const StyleSettings& s = settings();
    if (s.nameProviderDisabled > 0 || (s.nameProviderIsObject && !s.nameProviderObject))
        return nullptr;
    return s.nameProvider;
}

VXStylePtr builtInDefaultStyle()
{
    VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(QColor(0xAA, 0xD0, 0xE5), QColor(0x33, 0x33, 0x33));
    style->setName(QObject::tr("Default Style"));
    return style;
}

VXStylePtr builtInDefaultTextStyle()
{
    auto style = std::make_shared<VXStyle>();
    style->setName(QObject::tr("Default Text Style"));
    return style;
}

} // namespace

VXStyle::VXStyle()
    : m_styleSharable(stylesAreSharableByDefault())
    , m_uniqueKey(freshKey())
    , m_lastModificationTimestamp(now())
{
}

VXStyle::~VXStyle() = default;

QString VXStyle::displayName() const
{
    return tr("Style");
}

void VXStyle::setName(const QString& name)
{
    setValueForKeyWithUndo(m_name, name, "name");
}

void VXStyle::setOpacity(double opacity)
{
    setValueForKeyWithUndo(m_opacity, std::clamp(opacity, 0.0, 1.0), "opacity");
}

void VXStyle::setIsStyleRegistered(bool registered)
{
    // The registry's bookkeeping: neither undoable nor subject to the lock.
    if (registered == m_isStyleRegistered)
        return;
    announceChangeForKey(QStringLiteral("isStyleRegistered"), [&] { m_isStyleRegistered = registered; });
}

void VXStyle::setStyleSharable(bool sharable)
{
    setValueForKeyWithUndo(m_styleSharable, sharable, "styleSharable");
}

QString VXStyle::userDescription() const
{
    QStringList parts;
    if (hasFill())
        parts.append(tr("fill %1").arg(platform::hexString(fillColour())));
    if (hasStroke())
        parts.append(tr("stroke %1 pt %2").arg(maxStrokeWidth()).arg(platform::hexString(strokeColour())));
    if (parts.isEmpty())
        parts.append(tr("%n component(s)", nullptr, countOfRenderList()));
    QString description = parts.join(QStringLiteral(", "));
    description[0] = description[0].toUpper();
    return description;
}

bool VXStyle::isPureTextStyle() const
{
    const QList<VXRasterizerPtr> all = renderersOfClass(&VXRasterizer::staticMetaObject);
    const bool anyText = std::any_of(all.begin(), all.end(), [](const VXRasterizerPtr& r) {
        return r->isKindOfClass("VXTextAdornment");
    });
    return anyText && std::all_of(all.begin(), all.end(), [](const VXRasterizerPtr& r) {
        return r->isKindOfClass("VXTextAdornment") || r->isKindOfClass("VXRastGroup");
    });
}

bool VXStyle::hasStroke() const
{
    const auto strokes = activeRenderersOfClass<VXStroke>(*this);
    return std::any_of(strokes.begin(), strokes.end(), [](const VXStrokePtr& s) { return s->isValid(); });
}

bool VXStyle::hasFill() const
{
    const auto fills = activeRenderersOfClass<VXFill>(*this);
    return std::any_of(fills.begin(), fills.end(), [](const VXFillPtr& f) { return f->isValid(); });
}

QColor VXStyle::fillColour() const
{
    const auto fills = activeRenderersOfClass<VXFill>(*this);
    return fills.isEmpty() ? QColor() : fills.first()->colour();
}

QColor VXStyle::strokeColour() const
{
    const auto strokes = activeRenderersOfClass<VXStroke>(*this);
    return strokes.isEmpty() ? QColor() : strokes.first()->colour();
}

void VXStyle::setFillColour(const QColor& colour)
{
    const auto fills = renderersOfClass<VXFill>();
    if (!colour.isValid()) {
        for (const VXFillPtr& fill : fills)
            fill->removeFromContainer();
    } else if (!fills.isEmpty()) {
        fills.first()->setColour(colour);
    } else {
        insertObjectInRenderListAtIndex(VXFill::fillWithColour(colour), 0);
    }
}

void VXStyle::setStrokeColour(const QColor& colour)
{
    const auto strokes = renderersOfClass<VXStroke>();
    if (!colour.isValid()) {
        for (const VXStrokePtr& stroke : strokes)
            stroke->removeFromContainer();
    } else if (!strokes.isEmpty()) {
        strokes.first()->setColour(colour);
    } else {
        addRenderer(VXStroke::strokeWithWidthColour(1.0, colour));
    }
}

double VXStyle::maxStrokeWidth() const
{
    double widest = 0;
    for (const VXStrokePtr& stroke : activeRenderersOfClass<VXStroke>(*this))
        widest = std::max(widest, stroke->width());
    return widest;
}

std::shared_ptr<ZQObject> VXStyle::copy() const
{
    auto made = std::static_pointer_cast<VXStyle>(VXRastGroup::copy());
    made->m_uniqueKey = m_uniqueKey;
    made->m_lastModificationTimestamp = m_lastModificationTimestamp;
    return made;
}

VXStylePtr VXStyle::copyNamedByProvider() const
{
    auto made = std::static_pointer_cast<VXStyle>(copy());
    const RestoringScope restoring(made.get());
    made->setLocked(false);
    if (const VXStyleNameProvider* provider = activeNameProvider())
        made->setName(provider->nameForCopyOfStyle(*this));
    return made;
}

VXStylePtr VXStyle::mutableCopy() const
{
    return copyNamedByProvider();
}

VXStylePtr VXStyle::clone() const
{
    VXStylePtr made = copyNamedByProvider();
    made->m_uniqueKey = freshKey();
    return made;
}

bool VXStyle::isEqualToStyle(const VXStyle* other) const
{
    return other && isEqualToRasterizer(*other);
}

bool VXStyle::isEqualToRasterizer(const VXRasterizer& other) const
{
    const auto* style = qobject_cast<const VXStyle*>(&other);
    return style && style->metaObject() == metaObject() && style->m_opacity == m_opacity && renderListIsEqual(*style);
}

QImage VXStyle::image() const
{
    return swatchImageWithSize(kDefaultImageSize);
}

QImage VXStyle::imageToFitSize(QSizeF size, qreal pixelRatio) const
{
    // The swatch is square, centred in the image.
    const QSize pixels = imagePixels(size * pixelRatio);
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const double side = std::min(pixels.width(), pixels.height());
    {
        QPainter painter(&image);
        painter.drawImage(QRectF((pixels.width() - side) / 2, (pixels.height() - side) / 2, side, side),
                          swatchImageWithSize(QSizeF(side, side) / pixelRatio, pixelRatio));
    }
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

QImage VXStyle::swatchImageWithSize(QSizeF size, qreal pixelRatio) const
{
    const QSize pixels = imagePixels(size * pixelRatio);
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QSizeF units = QSizeF(pixels) / pixelRatio;
    // Room for strokes and shadows, but never so much that nothing of the shape is left.
    const QSizeF extra = extraSpaceNeeded().boundedTo(units / 3.0);
    const QRectF shape = QRectF(QPointF(), units).adjusted(extra.width(), extra.height(), -extra.width(),
                                                           -extra.height());
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(pixelRatio, pixelRatio);
        const platform::GraphicsContext::Scope scope(&painter);
        render(SwatchRenderable(shape));
    }
    image.setDevicePixelRatio(pixelRatio);
    return image;
}

void VXStyle::render(const VXRenderable& object) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || m_opacity <= 0)
        return;
    QPainter* painter = context->painter();
    const bool antialiased = painter->testRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::Antialiasing, shouldAntialias());
    if (m_opacity >= 1)
        VXRastGroup::render(object);
    else
        renderInTransparencyLayer(object);
    painter->setRenderHint(QPainter::Antialiasing, antialiased);
}

void VXStyle::renderInTransparencyLayer(const VXRenderable& object) const
{
    QPainter* painter = platform::GraphicsContext::current()->painter();
    const QSizeF extra = extraSpaceNeeded();
    const QRectF area = object.renderingPath().bounds().adjusted(-extra.width(), -extra.height(), extra.width(),
                                                                 extra.height());
    platform::drawInFadedLayer(*painter, area, m_opacity, [&] { VXRastGroup::render(object); });
}

void VXStyle::copyToPasteboard(QMimeData* mimeData) const
{
    mimeData->setData(kVXStylePasteboardType, platform::KeyedArchiver::archivedDataWithRootObject(this));
    mimeData->setData(kVXStyleKeyPasteboardType, m_uniqueKey.toUtf8());
}

VXStylePtr VXStyle::styleFromPasteboard(const QMimeData* mimeData)
{
    if (!mimeData)
        return nullptr;
    if (mimeData->hasFormat(kVXStylePasteboardType)) {
        QuorvaneError error;
        const ZQObjectPtr object =
            platform::KeyedUnarchiver::unarchiveObjectWithData(mimeData->data(kVXStylePasteboardType), &error);
        if (auto style = std::dynamic_pointer_cast<VXStyle>(object))
            return style;
        ZQLogObjCMethod(QStringLiteral("the pasteboard holds no usable style: %1").arg(error.localizedDescription()));
    }
    const VXStyleRegistry* registry = VXStyleRegistry::styleRegistry();
    if (registry && mimeData->hasFormat(kVXStyleKeyPasteboardType))
        return registry->styleForKey(QString::fromUtf8(mimeData->data(kVXStyleKeyPasteboardType)));
    return nullptr;
}

bool VXStyle::canInitWithPasteboard(const QMimeData* mimeData)
{
    if (!mimeData)
        return false;
    if (mimeData->hasFormat(kVXStylePasteboardType))
        return true;
    const VXStyleRegistry* registry = VXStyleRegistry::styleRegistry();
    return registry && mimeData->hasFormat(kVXStyleKeyPasteboardType)
        && registry->containsKey(QString::fromUtf8(mimeData->data(kVXStyleKeyPasteboardType)));
}

VXStylePtr VXStyle::defaultStyle()
{
    VXStylePtr& prototype = settings().defaultStyle;
    if (!prototype)
        prototype = builtInDefaultStyle();
    return std::static_pointer_cast<VXStyle>(prototype->copy());
}

void VXStyle::setDefaultStyle(const VXStylePtr& style)
{
    settings().defaultStyle = style ? std::static_pointer_cast<VXStyle>(style->copy()) : nullptr;
}

VXStylePtr VXStyle::defaultTextStyle()
{
    VXStylePtr& prototype = settings().defaultTextStyle;
    if (!prototype)
        prototype = builtInDefaultTextStyle();
    return std::static_pointer_cast<VXStyle>(prototype->copy());
}

void VXStyle::setDefaultTextStyle(const VXStylePtr& style)
{
    settings().defaultTextStyle = style ? std::static_pointer_cast<VXStyle>(style->copy()) : nullptr;
}

VXStylePtr VXStyle::defaultShapeStyle()
{
    return styleWithFillColourStrokeColour(Qt::white, Qt::black);
}

VXStylePtr VXStyle::defaultLineStyle()
{
    return styleWithFillColourStrokeColour(QColor(), Qt::black);
}

std::shared_ptr<VXShadow> VXStyle::defaultShadow()
{
    return VXShadow::shadowWithOffsetBlurRadiusColour(QSizeF(3, 3), 4, QColor(0, 0, 0, 85));
}

VXStylePtr VXStyle::styleWithFillColourStrokeColour(const QColor& fill, const QColor& stroke)
{
    return styleWithFillColourStrokeColourStrokeWidth(fill, stroke, 1.0);
}

VXStylePtr VXStyle::styleWithFillColourStrokeColourStrokeWidth(const QColor& fill, const QColor& stroke,
                                                               double strokeWidth)
{
    auto style = std::make_shared<VXStyle>();
    if (fill.isValid())
        style->addRenderer(VXFill::fillWithColour(fill));
    if (stroke.isValid())
        style->addRenderer(VXStroke::strokeWithWidthColour(strokeWidth, stroke));
    return style;
}

void VXStyle::setNameProvider(VXStyleNameProvider* provider)
{
    StyleSettings& s = settings();
    s.nameProvider = provider;
    s.nameProviderObject = dynamic_cast<QObject*>(provider);
    s.nameProviderIsObject = s.nameProviderObject != nullptr;
}

void VXStyle::disableNameProvider()
{
    ++settings().nameProviderDisabled;
}

void VXStyle::enableNameProvider()
{
    StyleSettings& s = settings();
    s.nameProviderDisabled = std::max(0, s.nameProviderDisabled - 1);
}

bool VXStyle::styleSharingEnabled()
{
    return VXDrawingPreferences::current().styleSharingEnabled;
}

bool VXStyle::stylesAreSharableByDefault()
{
    return VXDrawingPreferences::current().stylesAreSharableByDefault;
}

bool VXStyle::shouldAntialias()
{
    return VXDrawingPreferences::current().shouldAntialias;
}

bool VXStyle::willDrawShadows()
{
    return VXDrawingPreferences::current().willDrawShadows;
}

struct VXStyle::SettingsScope::Saved {
    StyleSettings settings;
};

VXStyle::SettingsScope::SettingsScope()
    : m_saved(std::make_unique<Saved>(Saved{settings()}))
{
}

VXStyle::SettingsScope::~SettingsScope()
{
    settings() = m_saved->settings;
}

void VXStyle::componentDidChangeKeyPath(VXRasterizer* component, const QString& keyPath)
{
    touch();
    // A style put together on a worker (an import's) is not yet known to anyone who listens,
    // and notifications belong to the main thread.
    if (!platform::RunLoop::isMainThread()) {
        VXRastGroup::componentDidChangeKeyPath(component, keyPath);
        return;
    }
    auto& center = platform::NotificationCenter::defaultCenter();
    if (component == this && keyPath == QLatin1String("name"))
        center.postNotificationName(kVXStyleNameChangedNotification, this);
    if (component == this && keyPath == QLatin1String("locked"))
        center.postNotificationName(kVXStyleLockStateChangedNotification, this);
    center.postNotificationName(kVXStyleDidChangeNotification, this, {{QStringLiteral("keyPath"), keyPath}});
    VXRastGroup::componentDidChangeKeyPath(component, keyPath);
}

void VXStyle::touch()
{
    m_lastModificationTimestamp = now();
}

void VXStyle::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXRastGroup::encodeWithCoder(coder);
    coder.encodeString(m_uniqueKey, kUniqueKeyKey);
    coder.encodeDouble(m_lastModificationTimestamp, kTimestampKey);
}

void VXStyle::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXRastGroup::initWithCoder(coder);
    if (const QString key = coder.decodeString(kUniqueKeyKey); !key.isEmpty())
        m_uniqueKey = key;
    else
        ZQLogObjCMethod(QStringLiteral("the archived style has no key; it gets a new one"));
    if (const double timestamp = coder.decodeDouble(kTimestampKey); std::isfinite(timestamp) && timestamp > 0)
        m_lastModificationTimestamp = timestamp;
}

// --- Text ------------------------------------------------------------------------------------

namespace {

// The text component values are set on: the last one, or a new one on top.
VXTextAdornmentPtr textComponentOf(VXStyle& style)
{
    const QList<VXTextAdornmentPtr> texts = style.renderersOfClass<VXTextAdornment>();
    if (!texts.isEmpty())
        return texts.last();
    auto text = std::make_shared<VXTextAdornment>();
    style.addRenderer(text);
    return text;
}

VXStylePtr textStyleNamedAfterItsFont(const VXStylePtr& style)
{
    const QFont font = textComponentOf(*style)->font();
    style->setName(VXStyle::tr("%1 %2 pt").arg(font.family()).arg(font.pointSizeF()));
    return style;
}

} // namespace

bool VXStyle::hasTextAdornment() const
{
    return !renderersOfClass<VXTextAdornment>().isEmpty();
}

bool VXStyle::hasTextAttributes() const
{
    return hasTextAdornment();
}

QVariantMap VXStyle::textAttributes() const
{
    const QList<VXTextAdornmentPtr> texts = renderersOfClass<VXTextAdornment>();
    return texts.isEmpty() ? QVariantMap() : texts.last()->textAttributes();
}

bool VXStyle::addOrSetComponentForObject(const QVariant& object)
{
    const QMetaType type = object.metaType();
    if (type == QMetaType::fromType<QColor>() && object.value<QColor>().isValid()) {
        setFillColour(object.value<QColor>());
        return true;
    }
    if (type == QMetaType::fromType<QFont>()) {
        textComponentOf(*this)->setFont(object.value<QFont>());
        return true;
    }
    if (type == QMetaType::fromType<QVariantMap>()) {
        textComponentOf(*this)->setTextAttributes(object.toMap());
        return true;
    }
    QVariant converted = object;
    if (!converted.convert(QMetaType::fromType<ZQObjectPtr>()))
        return false;
    const auto component = std::dynamic_pointer_cast<VXRasterizer>(converted.value<ZQObjectPtr>());
    if (!component || qobject_cast<const VXStyle*>(component.get()) || containsRenderer(component.get()))
        return false;
    addRenderer(component);
    return true;
}

VXStylePtr VXStyle::textStyleWithFont(const QFont& font)
{
    auto style = std::make_shared<VXStyle>();
    textComponentOf(*style)->setFont(font);
    return textStyleNamedAfterItsFont(style);
}

VXStylePtr VXStyle::textStyleWithAttributes(const QVariantMap& attributes)
{
    auto style = std::make_shared<VXStyle>();
    textComponentOf(*style)->setTextAttributes(attributes);
    return textStyleNamedAfterItsFont(style);
}

VXStylePtr VXStyle::styleWithObject(const QVariant& object)
{
    auto style = std::make_shared<VXStyle>();
    return style->addOrSetComponentForObject(object) ? style : nullptr;
}

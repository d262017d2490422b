#include "platform/vantrix/drawables/VXImageShape.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/QuorvaneError.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/ZQLog.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXShapeGroup.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/tracing/ImageTracing.h"

#include <QFileInfo>
#include <QPainter>

namespace {

const QString kDataKey = QStringLiteral("VXImageShape_imageData");
const QString kOpacityKey = QStringLiteral("VXImageShape_imageOpacity");
const QString kScaleKey = QStringLiteral("VXImageShape_imageScale");
const QString kOnTopKey = QStringLiteral("VXImageShape_imageDrawsOnTop");
const QString kCompositingKey = QStringLiteral("VXImageShape_compositingOperation");

constexpr int kLastCompositionMode = QPainter::RasterOp_SourceAndNotDestination;

QVariantMap& classTracingParameters()
{
    static QVariantMap parameters = platform::defaultTracingParameters();
    return parameters;
}

} // namespace

VXImageShape::VXImageShape() : m_content(platform::SharedImage::forData({})) {}

std::shared_ptr<VXImageShape> VXImageShape::imageShapeWithImageData(const QByteArray& data)
{
    return imageShapeWithSharedImage(platform::SharedImage::forData(data));
}

std::shared_ptr<VXImageShape>
VXImageShape::imageShapeWithSharedImage(std::shared_ptr<const platform::SharedImage> content)
{
    const QImage image = content->image();
    if (image.isNull())
        return nullptr;
    auto shape = std::make_shared<VXImageShape>();
    shape->m_imageData = content->data();
    shape->m_content = std::move(content);
    shape->setSize(QSizeF(image.size()));
    shape->setLocation(QPointF(image.width() / 2.0, image.height() / 2.0));
    return shape;
}

std::shared_ptr<VXImageShape> VXImageShape::imageShapeWithContentsOfFile(const QString& path, QuorvaneError* error)
{
    const QString name = QFileInfo(path).fileName();
    const auto fail = [&](const QString& description) {
        if (error)
            *error = QuorvaneError(kQuorvaneDocumentError, description);
        return nullptr;
    };
    QString reason;
    const std::optional<QByteArray> data = platform::readRegularFile(path, kMaximumImageFileSize, &reason);
    if (!data)
        return fail(tr("The image \"%1\" could not be read: %2.").arg(name, reason));
    std::shared_ptr<VXImageShape> shape = imageShapeWithImageData(*data);
    if (!shape)
        return fail(tr("\"%1\" is not an image Quorvane can read.").arg(name));
    return shape;
}

void VXImageShape::setImageData(const QByteArray& data)
{
    // The new image is in place before observers hear of the change.
    std::shared_ptr<const platform::SharedImage> previous =
        std::exchange(m_content, platform::SharedImage::forData(data));
    if (!changeValueForKey(m_imageData, m_content->data(), "imageData", Change::Appearance))
        m_content = std::move(previous);
}

void VXImageShape::setImageOpacity(double opacity)
{
    if (std::isfinite(opacity))
        changeValueForKey(m_imageOpacity, std::clamp(opacity, 0.0, 1.0), "imageOpacity", Change::Appearance);
}

void VXImageShape::setImageScale(double scale)
{
    if (std::isfinite(scale))
        changeValueForKey(m_imageScale, std::clamp(scale, 0.01, 100.0), "imageScale", Change::Appearance);
}

void VXImageShape::setImageDrawsOnTop(bool onTop)
{
    changeValueForKey(m_imageDrawsOnTop, onTop, "imageDrawsOnTop", Change::Appearance);
}

void VXImageShape::setCompositingOperation(int operation)
{
    changeValueForKey(m_compositingOperation, std::clamp(operation, 0, kLastCompositionMode), "compositingOperation",
                      Change::Appearance);
}

QImage VXImageShape::resampledAndCroppedImage() const
{
    const QImage picture = image();
    const QSizeF box(std::abs(size().width()), std::abs(size().height()));
    if (picture.isNull() || box.isEmpty())
        return {};
    const double pixels = box.width() * box.height();
    const double factor = pixels > kMaximumTracedPixels ? std::sqrt(kMaximumTracedPixels / pixels) : 1.0;
    const QSize pixelSize(std::max(1, qRound(box.width() * factor)), std::max(1, qRound(box.height() * factor)));
    QImage shown(pixelSize, QImage::Format_ARGB32_Premultiplied);
    shown.fill(Qt::transparent);
    QPainter painter(&shown);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(pixelSize.width(), pixelSize.height());
    painter.translate(0.5, 0.5);
    painter.setClipPath(unitPath().painterPathWithWindingRule());
    const double half = m_imageScale / 2;
    painter.drawImage(QRectF(-half, -half, m_imageScale, m_imageScale), picture);
    return shown;
}

QVariantMap VXImageShape::tracingParameters()
{
    return classTracingParameters();
}

void VXImageShape::setTracingParameters(const QVariantMap& parameters)
{
    classTracingParameters() = parameters;
}

QList<VXDrawableObjectPtr> VXImageShape::vectorizedObjects() const
{
    const QImage shown = resampledAndCroppedImage();
    if (shown.isNull())
        return {};
    // Pixels -> the unit box -> the shape's container.
    const QTransform toContainer = QTransform::fromScale(1.0 / shown.width(), 1.0 / shown.height())
        * QTransform::fromTranslate(-0.5, -0.5) * transform();
    QList<VXDrawableObjectPtr> objects;
    for (const platform::TracedLevel& level : tracedLevelsWithParameters(shown, tracingParameters())) {
        platform::BezierPath path = level.vectorPath();
        if (path.isEmpty())
            continue;
        path.transformUsingAffineTransform(toContainer);
        const VXStylePtr style = VXStyle::styleWithFillColourStrokeColour(level.colour(), QColor());
        objects.append(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, style));
    }
    return objects;
}

bool VXImageShape::canBeVectorized() const
{
    return qobject_cast<VXObjectDrawingLayer*>(container()) && !locked();
}

void VXImageShape::vectorize(QObject* sender)
{
    if (!canBeVectorized()) {
        LogEvent(kInfoEvent, QStringLiteral("only a free image shape on an object layer can be vectorized"));
        return;
    }
    auto* layer = qobject_cast<VXObjectDrawingLayer*>(container());
    const QList<VXDrawableObjectPtr> traced = vectorizedObjects();
    if (traced.isEmpty()) {
        LogEvent(kInfoEvent, QStringLiteral("the image traced to nothing"));
        return;
    }
    const VXShapeGroupPtr group = VXShapeGroup::groupWithObjects(traced);
    const QString actionName = sender ? sender->property("title").toString() : QString();
    const auto keepAlive = shared_from_this(); // until the layer is done removing it
    const int index = layer->indexOfObject(this);
    layer->editWithSelectionUndo(actionName, [&] {
        layer->insertObjectInObjectsAtIndex(group, index + 1);
        layer->removeObject(this);
        layer->replaceSelectionWithObject(group);
    });
}

void VXImageShape::drawContent() const
{
    if (ghosted()) {
        VXDrawableShape::drawContent();
        return;
    }
    if (!m_imageDrawsOnTop)
        drawImage();
    VXDrawableShape::drawContent();
    if (m_imageDrawsOnTop)
        drawImage();
}

void VXImageShape::drawImage() const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    const QImage picture = image();
    if (!context || picture.isNull() || m_imageOpacity <= 0)
        return;
    QPainter* painter = context->painter();
    painter->save();
    painter->setClipPath(renderingPath().painterPathWithWindingRule(), Qt::IntersectClip);
    // The unit box of the shape, in which the image fills -0.5..0.5 scaled about the centre.
    painter->setTransform(transform() * containerTransform() * painter->worldTransform());
    painter->setOpacity(painter->opacity() * m_imageOpacity);
    painter->setCompositionMode(QPainter::CompositionMode(m_compositingOperation));
    const double half = m_imageScale / 2;
    painter->drawImage(QRectF(-half, -half, m_imageScale, m_imageScale), picture);
    painter->restore();
}

int VXImageShape::hitPart(QPointF point) const
{
    // While cropping, a press anywhere on the shape drags the crop rectangle.
    if (m_presentationMode == kCropPresentation && visible() && renderingPath().containsPoint(point))
        return kCropPart;
    if (visible() && renderingPath().containsPoint(point))
        return kVXDrawingEntireObjectPart;
    return VXDrawableShape::hitPart(point);
}

void VXImageShape::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXDrawableShape::encodeWithCoder(coder);
    coder.encodeData(m_imageData, kDataKey);
    coder.encodeDouble(m_imageOpacity, kOpacityKey);
    coder.encodeDouble(m_imageScale, kScaleKey);
    coder.encodeBool(m_imageDrawsOnTop, kOnTopKey);
    coder.encodeInt(m_compositingOperation, kCompositingKey);
}

void VXImageShape::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXDrawableShape::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    m_content = platform::SharedImage::forData(reader.data(kDataKey));
    m_imageData = m_content->data();
    m_imageOpacity = reader.real(kOpacityKey, 1.0, 0.0, 1.0);
    m_imageScale = reader.real(kScaleKey, 1.0, 0.01, 100.0);
    m_imageDrawsOnTop = reader.boolean(kOnTopKey, false);
    m_compositingOperation = int(reader.integer(kCompositingKey, 0, 0, kLastCompositionMode));
}

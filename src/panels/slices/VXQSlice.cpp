#include "panels/slices/VXQSlice.h"

#include "panels/export/ExportRaster.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Pasteboard.h"
#include "platform/vantrix/render/DeviceLayer.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QTextOption>
#include <cmath>

namespace {

const QString kSlicesLayerKey = QStringLiteral("VXQSlice_slicesLayer");
const QString kBoundsKey = QStringLiteral("VXQSlice_bounds");
const QString kTitleKey = QStringLiteral("VXQSlice_title");
const QString kColourKey = QStringLiteral("VXQSlice_colour");
const QString kShowsDimensionsKey = QStringLiteral("VXQSlice_showsDimensions");
const QString kShowsTitleKey = QStringLiteral("VXQSlice_showsTitle");
const QString kVisibleKey = QStringLiteral("VXQSlice_visible");
const QString kPasteboardRootKey = QStringLiteral("slice");

constexpr double kExtentMargin = 16;
constexpr double kHandleSide = 4;
constexpr double kHitMargin = 1;
constexpr double kTitlePadding = 8;
constexpr double kTitleCornerRadius = 4;
constexpr double kLabelFontSize = 10;


// The small system font, sized in points of the drawing (one unit per point).
QFont labelFont()
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(int(kLabelFontSize));
    return font;
}

bool isFiniteRect(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
           && std::isfinite(rect.height());
}

} // namespace

VXQSlice::VXQSlice() = default;

// --- Geometry ------------------------------------------------------------------------------------

void VXQSlice::postBoundsNotification(const QString& name)
{
    const ZQObjectPtr self = weak_from_this().lock();
    platform::NotificationCenter::defaultCenter().postNotificationName(
        name, m_slicesLayer, {{QStringLiteral("slice"), QVariant::fromValue(self)}});
}

void VXQSlice::setBounds(const QRectF& bounds)
{
    if (bounds == m_bounds)
        return;
    setNeedsDisplay();
    postBoundsNotification(kVLTMSlicesLayerSliceBoundsWillChange);
    announceChangeForKey(QStringLiteral("bounds"), [&] { m_bounds = bounds; });
    setNeedsDisplay();
    postBoundsNotification(kVLTMSlicesLayerSliceBoundsDidChange);
}

void VXQSlice::setXLocation(double x) { setBounds(QRectF(x, m_bounds.y(), m_bounds.width(), m_bounds.height())); }
void VXQSlice::setYLocation(double y) { setBounds(QRectF(m_bounds.x(), y, m_bounds.width(), m_bounds.height())); }
void VXQSlice::setWidth(double width) { setBounds(QRectF(m_bounds.topLeft(), QSizeF(width, m_bounds.height()))); }
void VXQSlice::setHeight(double height) { setBounds(QRectF(m_bounds.topLeft(), QSizeF(m_bounds.width(), height))); }

QRectF VXQSlice::extent() const
{
    return m_bounds.adjusted(-kExtentMargin, -kExtentMargin, kExtentMargin, kExtentMargin);
}

QRectF VXQSlice::resizeRect() const
{
    return {m_bounds.right() - kHandleSide, m_bounds.bottom() - kHandleSide, kHandleSide, kHandleSide};
}

// --- Appearance and naming -------------------------------------------------------------------------

void VXQSlice::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    announceChangeForKey(QStringLiteral("visible"), [&] { m_visible = visible; });
    setNeedsDisplay();
}

void VXQSlice::setShowsTitle(bool flag)
{
    announceChangeForKey(QStringLiteral("showsTitle"), [&] { m_showsTitle = flag; });
    setNeedsDisplay();
}

void VXQSlice::setShowsDimensions(bool flag)
{
    announceChangeForKey(QStringLiteral("showsDimensions"), [&] { m_showsDimensions = flag; });
    setNeedsDisplay();
}

void VXQSlice::setColour(const QColor& colour)
{
    announceChangeForKey(QStringLiteral("colour"), [&] { m_colour = colour; });
    setNeedsDisplay();
}

void VXQSlice::setTitle(const QString& title)
{
    announceChangeForKey(QStringLiteral("title"), [&] { m_title = title; });
    setNeedsDisplay();
}

qint64 VXQSlice::index() const { return m_slicesLayer ? m_slicesLayer->indexOfSlice(this) : -1; }

QString VXQSlice::name() const { return QStringLiteral("%1 %2").arg(m_title).arg(index() + 1); }

QString VXQSlice::size() const
{
    return QStringLiteral("%1 x %2 px").arg(m_bounds.width(), 0, 'f', 0).arg(m_bounds.height(), 0, 'f', 0);
}

QIcon VXQSlice::icon() const
{
    static const QIcon shared(QStringLiteral(":/bundle/images/VL_Layer_Single_Slice-Template.svg"));
    return shared;
}

QString VXQSlice::displayName() { return tr("Slice"); }

// --- Layer ---------------------------------------------------------------------------------------

void VXQSlice::setSlicesLayer(VLTMSlicesLayer* layer)
{
    m_slicesLayer = layer;
    setColour(layer ? layer->selectionColour() : QColor());
}

VXDrawing* VXQSlice::drawing() const { return m_slicesLayer ? m_slicesLayer->drawing() : nullptr; }

VXDrawingView* VXQSlice::currentView() const { return m_slicesLayer ? m_slicesLayer->currentView() : nullptr; }

void VXQSlice::setNeedsDisplay() const
{
    if (m_slicesLayer)
        m_slicesLayer->setNeedsDisplayInRect(extent());
}

void VXQSlice::removeFromLayer()
{
    if (m_slicesLayer)
        m_slicesLayer->removeSlice(this);
}

QString VXQSlice::dimensionStringForLength(double length) const
{
    return m_slicesLayer ? m_slicesLayer->dimensionStringForLength(length) : QString();
}

// --- Drawing and hit testing ---------------------------------------------------------------------

void VXQSlice::drawInContextSelected(platform::GraphicsContext& context, bool selected)
{
    QPainter& painter = *context.painter();
    painter.save();
    QColor stroke = m_colour.isValid() ? m_colour : QColor(Qt::black);
    if (!selected)
        stroke.setAlphaF(0.5);
    QPen pen(stroke, lineWidth());
    pen.setDashPattern({3, 2});
    pen.setDashOffset(0);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setCosmetic(false);
    // The outline on pixel centres, so a one-point dash stays crisp at any zoom.
    const QTransform toDevice = platform::DeviceLayer::userToDevicePixels(painter);
    bool invertible = false;
    const QTransform toUser = toDevice.inverted(&invertible);
    QRectF outline = m_bounds;
    if (invertible) {
        QRectF device = toDevice.mapRect(m_bounds);
        device = QRectF(std::floor(device.x()) - 0.5, std::floor(device.y()) - 0.5, std::ceil(device.width()),
                        device.height());
        outline = toUser.mapRect(device);
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outline);
    if (selected)
        painter.fillRect(resizeRect(), m_colour.isValid() ? m_colour : QColor(Qt::black));
    if (selected && m_showsDimensions) {
        painter.save();
        drawDimensionsInContext(painter);
        painter.restore();
    }
    if (m_showsTitle)
        drawTitleInContextSelected(painter, selected);
    painter.restore();
}

void VXQSlice::drawTitleInContextSelected(QPainter& painter, bool selected)
{
    const QString text = name();
    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    const double textWidth = metrics.horizontalAdvance(text);
    const double textHeight = metrics.height();
    m_titleRect = QRectF(m_bounds.left() - 0.5, m_bounds.top() - textHeight,
                         std::min(textWidth + kTitlePadding, m_bounds.width() + 1), textHeight);
    const QColor base = m_colour.isValid() ? m_colour : QColor(Qt::black);
    QColor fill = base;
    if (!selected)
        fill.setAlphaF(0.2);
    const platform::BezierPath tab = platform::BezierPath::bezierPathWithRoundedRectCornerRadiusCornerOptions(
        m_titleRect, kTitleCornerRadius, platform::kRoundedCornerMinXMinY | platform::kRoundedCornerMaxXMinY);
    painter.fillPath(tab.painterPath(), fill);
    painter.setFont(font);
    painter.setPen(selected ? QColor(Qt::white) : QColor(Qt::black));
    QTextOption option(Qt::AlignCenter);
    option.setWrapMode(QTextOption::NoWrap);
    // Truncated at the head, so the number at the end stays readable.
    painter.drawText(m_titleRect, metrics.elidedText(text, Qt::ElideLeft, m_titleRect.width()), option);
}

void VXQSlice::drawDimensionsInContext(QPainter& painter) const
{
    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(m_colour.isValid() ? m_colour : QColor(Qt::black));
    const double x = m_bounds.x(), y = m_bounds.y(), w = m_bounds.width(), h = m_bounds.height();
    const QString widthLabel = dimensionStringForLength(w);
    const double widthTextWidth = metrics.horizontalAdvance(widthLabel);
    if (widthTextWidth <= w)
        painter.drawText(QPointF(x + w / 2 - widthTextWidth / 2, y + h + metrics.ascent()), widthLabel);
    const QString heightLabel = dimensionStringForLength(h);
    const double heightTextWidth = metrics.horizontalAdvance(heightLabel);
    if (heightTextWidth <= h) {
        const double tx = x - metrics.height();
        const double ty = y + h / 2;
        painter.translate(tx, ty);
        painter.rotate(-90);
        painter.translate(-tx - heightTextWidth / 2, -ty);
        painter.drawText(QPointF(tx, ty + metrics.ascent()), heightLabel);
    }
}

int VXQSlice::hitTest(QPointF point) const
{
    if (!m_visible)
        return kVXQSliceNoPart;
    if (m_bounds.adjusted(-kHitMargin, -kHitMargin, kHitMargin, kHitMargin).contains(point))
        return resizeRect().contains(point) ? kVXQSliceResizeHandle : kVXQSliceBody;
    return m_titleRect.contains(point) ? kVXQSliceBody : kVXQSliceNoPart;
}

QList<QPointF> VXQSlice::snappingPointsWithOffset(QPointF offset) const
{
    const QRectF r = m_bounds.translated(offset);
    const double midX = r.center().x(), midY = r.center().y();
    return {{r.left(), r.top()},    {r.right(), r.top()},   {midX, r.top()},     {midX, r.bottom()},
            {r.left(), r.bottom()}, {r.right(), r.bottom()}, {r.right(), midY}, {r.left(), midY}};
}

// --- Output --------------------------------------------------------------------------------------

QByteArray VXQSlice::pdfData() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->pdfDataWithMediaBox(m_bounds) : QByteArray();
}

QByteArray VXQSlice::imageDataInFormatOptionsDpiScaleColorspaceDrawPaperBackground(
    platform::ImageFileType format, const platform::ImageWriteOptions& options, double dpi, double scale,
    const QString& colourSpace, bool drawPaperBackground, QuorvaneError* error) const
{
    const VXDrawing* owner = drawing();
    if (!owner)
        return {};
    exportraster::Parameters parameters;
    parameters.format = format;
    parameters.quality = options.compressionFactor;
    parameters.dpi = dpi;
    parameters.scale = scale > 0 ? scale : 1.0;
    parameters.colourSpace = colourSpace;
    if (drawPaperBackground)
        parameters.background = owner->paperColour();
    return exportraster::imageData(m_bounds, parameters, exportraster::drawingRenderer(*owner, m_bounds), error);
}

VXDrawingPtr VXQSlice::extractDrawing() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->drawingByExtractingFromRectOptions(m_bounds, 0) : nullptr;
}

// --- Menu, pasteboard and actions ------------------------------------------------------------------

std::unique_ptr<platform::Menu> VXQSlice::menuForEventInView(QPointF, VXDrawingView*)
{
    auto menu = std::make_unique<platform::Menu>();
    menu->addItemWithTitleActionKeyEquivalent(tr("Copy Slice"), "copy")->setTarget(this);
    menu->addItemWithTitleActionKeyEquivalent(tr("Delete Slice"), "delete_")->setTarget(this);
    menu->addItemWithTitleActionKeyEquivalent(tr("Zoom To Slice"), "zoomToSlice")->setTarget(this);
    menu->addItemWithTitleActionKeyEquivalent(tr("Extract As New Document"), "extractDrawingAction")
        ->setTarget(m_slicesLayer);
    return menu;
}

QByteArray VXQSlice::pasteboardArchive() const
{
    platform::KeyedArchiver archiver;
    archiver.encodeObject(this, kPasteboardRootKey);
    return archiver.finishEncoding();
}

VXQSlicePtr VXQSlice::sliceFromPasteboardArchive(const QByteArray& archive)
{
    platform::KeyedUnarchiver unarchiver(archive);
    return unarchiver.isValid() ? unarchiver.decodeObjectOfClass<VXQSlice>(kPasteboardRootKey) : nullptr;
}

void VXQSlice::writeToPasteboard(platform::Pasteboard& pasteboard) const
{
    pasteboard.addTypes({platform::kPasteboardTypePDF, kVXQSlicePasteboardType});
    pasteboard.setDataForType(pdfData(), platform::kPasteboardTypePDF);
    pasteboard.setDataForType(pasteboardArchive(), kVXQSlicePasteboardType);
}

QList<VXQSlicePtr> VXQSlice::readSlicesFromPasteboard(const platform::Pasteboard& pasteboard)
{
    const QByteArray data = pasteboard.dataForType(kVXQSlicePasteboardType);
    if (data.isEmpty())
        return {};
    if (VXQSlicePtr slice = sliceFromPasteboardArchive(data))
        return {slice};
    return {};
}

bool VXQSlice::canInitWithPasteboard(const platform::Pasteboard& pasteboard)
{
    return !pasteboard.availableTypeFromArray({kVXQSlicePasteboardType}).isEmpty();
}

void VXQSlice::copy(QObject*)
{
    platform::Pasteboard pasteboard = platform::Pasteboard::generalPasteboard();
    pasteboard.clearContents();
    writeToPasteboard(pasteboard);
}

void VXQSlice::delete_(QObject*) { removeFromLayer(); }

void VXQSlice::zoomToSlice(QObject*)
{
    if (m_slicesLayer)
        m_slicesLayer->zoomToRect(extent());
}

// --- Archiving -----------------------------------------------------------------------------------

QStringList VXQSlice::keyPathsForValuesAffectingValueForKey(const QString& key) const
{
    static const QHash<QString, QStringList> dependencies{
        {QStringLiteral("name"), {QStringLiteral("title")}},
        {QStringLiteral("size"), {QStringLiteral("bounds")}},
        {QStringLiteral("xLocation"), {QStringLiteral("bounds")}},
        {QStringLiteral("yLocation"), {QStringLiteral("bounds")}},
        {QStringLiteral("width"), {QStringLiteral("bounds")}},
        {QStringLiteral("height"), {QStringLiteral("bounds")}},
    };
    return dependencies.value(key, ZQObject::keyPathsForValuesAffectingValueForKey(key));
}

void VXQSlice::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeConditionalObject(m_slicesLayer.data(), kSlicesLayerKey);
    coder.encodeRect(m_bounds, kBoundsKey);
    coder.encodeObject(m_title.isNull() ? QVariant() : QVariant(m_title), kTitleKey);
    coder.encodeColor(m_colour, kColourKey);
    coder.encodeBool(m_showsDimensions, kShowsDimensionsKey);
    coder.encodeBool(m_showsTitle, kShowsTitleKey);
    coder.encodeBool(m_visible, kVisibleKey);
}

void VXQSlice::initWithCoder(platform::KeyedUnarchiver& coder)
{
    m_slicesLayer = coder.decodeObjectOfClass<VLTMSlicesLayer>(kSlicesLayerKey).get();
    if (m_slicesLayer)
        m_colour = m_slicesLayer->selectionColour();
    // Damage gives an empty slice, which exports nothing, rather than geometry no one can draw.
    const QRectF bounds = coder.decodeRect(kBoundsKey);
    m_bounds = isFiniteRect(bounds) ? bounds : QRectF();
    if (const QVariant title = coder.decodeValue(kTitleKey); title.typeId() == QMetaType::QString)
        m_title = title.toString();
    if (coder.containsValueForKey(kColourKey))
        if (const QColor colour = coder.decodeColor(kColourKey); colour.isValid())
            m_colour = colour;
    if (coder.containsValueForKey(kShowsDimensionsKey))
        m_showsDimensions = coder.decodeBool(kShowsDimensionsKey);
    if (coder.containsValueForKey(kShowsTitleKey))
        m_showsTitle = coder.decodeBool(kShowsTitleKey);
    m_visible = true;
}

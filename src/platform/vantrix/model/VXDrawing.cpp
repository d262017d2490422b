#include "platform/vantrix/model/VXDrawing.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/WholeEdit.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "platform/vantrix/model/VXIsometricGridLayer.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/settings/VXDrawingPreferences.h"
#include "platform/vantrix/svg/SVGLeftOutAlert.h"
#include "platform/vantrix/svg/VXSVGImporter.h"

#include <QBuffer>
#include <QDateTime>
#include <QImageReader>
#include <QMetaProperty>
#include <QPainter>
#include <QThread>
#include <algorithm>
#include <cmath>

namespace {

const QString kSizeKey = QStringLiteral("VXDrawing_size");
const QString kMarginLeftKey = QStringLiteral("VXDrawing_marginLeft");
const QString kMarginTopKey = QStringLiteral("VXDrawing_marginTop");
const QString kMarginRightKey = QStringLiteral("VXDrawing_marginRight");
const QString kMarginBottomKey = QStringLiteral("VXDrawing_marginBottom");
const QString kPaperColourKey = QStringLiteral("VXDrawing_paperColour");
const QString kPaperPrintedKey = QStringLiteral("VXDrawing_paperColourIsPrinted");
const QString kInfoKey = QStringLiteral("VXDrawing_info");
const QString kPaperImageKey = QStringLiteral("VXDrawing_paperImage");
// The texture name is kept under the key the set-up settings know it by.
const QString kPaperTextureNameKey = QStringLiteral("kQVNPaperColourImageNameValue");
const QString kUnitsKey = QStringLiteral("VXDrawing_units");
const QString kUnitFactorKey = QStringLiteral("VXDrawing_unitToPointsConversionFactor");
const QString kSnapsToGridKey = QStringLiteral("VXDrawing_snapsToGrid");
const QString kSnapsToGuidesKey = QStringLiteral("VXDrawing_snapsToGuides");
const QString kActiveLayerKey = QStringLiteral("VXDrawing_activeLayer");

constexpr double kMaximumSide = 1e7; // points; about 3.5 km of paper

QSize tileSizeFor(QSize size)
{
    const int side = VXDrawing::kMaximumPaperTileSide;
    if (size.width() <= side && size.height() <= side)
        return size;
    return size.scaled(side, side, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

QImage paperTile(const QImage& image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    const QSize size = tileSizeFor(image.size());
    const QImage tile = size == image.size() ? image : image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return tile.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage paperTileFromData(const QByteArray& data)
{
    if (data.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return VXDrawing::readPaperTile(buffer);
}

QByteArray pngDataOf(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// The stored settings of one grid copied onto another of a different kind.
void copyGridSettings(const VXGridLayer& from, VXGridLayer& to)
{
    const QMetaObject& meta = VXGridLayer::staticMetaObject;
    for (int i = 0; i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (property.isStored() && property.isWritable())
            property.write(&to, property.read(&from));
    }
}

bool isUsableSize(QSizeF size)
{
    return VXDrawing::isUsableDrawingSize(size);
}

QList<ZQUnitLengthPtr> allUnits()
{
    return {ZQUnitLength::points(), ZQUnitLength::millimeters(), ZQUnitLength::centimeters(),
            ZQUnitLength::meters(), ZQUnitLength::kilometers(),  ZQUnitLength::inches(),
            ZQUnitLength::feet(),   ZQUnitLength::yards(),       ZQUnitLength::rods(),
            ZQUnitLength::furlongs(), ZQUnitLength::miles(),     ZQUnitLength::nauticalMiles()};
}

// "Centimeters", "centimetres" and "Centimetre" all name one unit.
QString normalisedUnitName(const QString& name)
{
    QString text = name.trimmed().toLower();
    text.replace(QLatin1String("meter"), QLatin1String("metre"));
    if (text.endsWith(u's'))
        text.chop(1);
    if (text == QLatin1String("foot"))
        text = QStringLiteral("feet");
    if (text == QLatin1String("inche"))
        text = QStringLiteral("inch");
    return text;
}

// Only values a property list can hold survive archiving; anything else is dropped.
QVariant archivableValue(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::QByteArray:
    case QMetaType::QColor:
    case QMetaType::QDateTime: return value;
    case QMetaType::QStringList:
    case QMetaType::QVariantList: {
        QVariantList list;
        for (const QVariant& element : value.toList())
            if (const QVariant kept = archivableValue(element); kept.isValid())
                list.append(kept);
        return list;
    }
    case QMetaType::QVariantMap: {
        QVariantMap map;
        const QVariantMap source = value.toMap();
        for (auto it = source.cbegin(); it != source.cend(); ++it)
            if (const QVariant kept = archivableValue(it.value()); kept.isValid())
                map.insert(it.key(), kept);
        return map;
    }
    default: return {};
    }
}

} // namespace

VXDrawing::VXDrawing() : m_units(ZQUnitLength::centimeters()), m_unitToPoints(m_units->conversionFactorForPoints()) {}

VXDrawing::~VXDrawing() = default;

VXDrawingPtr VXDrawing::drawingWithSize(QSizeF size)
{
    auto drawing = std::make_shared<VXDrawing>();
    drawing->setDrawingSize(size);
    return drawing;
}

VXDrawingPtr VXDrawing::defaultDrawingWithSize(QSizeF size)
{
    VXDrawingPtr drawing = drawingWithSize(size);
    auto grid = std::make_shared<VXGridLayer>();
    grid->setLayerName(tr("Grid"));
    drawing->addLayer(grid);
    grid->setDistanceForUnitSpanDrawingUnitsSpanDivisionsMajorsRulerSteps(
        ZQUnitLength::centimeters()->conversionFactorForPoints(), ZQUnitLength::centimeters(), 1, 10, 5, 2);
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    layer->setLayerName(tr("Layer 1"));
    drawing->addLayer(layer);
    auto guides = std::make_shared<VXGuideLayer>();
    guides->setLayerName(tr("Guides"));
    drawing->addLayer(guides);
    drawing->setActiveLayer(layer.get());
    return drawing;
}

VXDrawingPtr VXDrawing::drawingWithContentsOfSVGFile(const QString& path, QuorvaneError* error,
                                                     svgimport::LeftOut* leftOut)
{
    const std::optional<VXSVGImporter::Result> svg = VXSVGImporter::importFile(path, error);
    if (!svg)
        return nullptr;
    if (leftOut)
        *leftOut = {svg->skipped, svg->skipReasons};
    VXDrawingPtr drawing = drawingWithSize(svg->size);
    auto layer = std::make_shared<VXObjectDrawingLayer>();
    layer->setLayerName(tr("Layer 1"));
    drawing->addLayer(layer);
    layer->addObjectsFromArray(svg->objects);
    drawing->setActiveLayer(layer.get());
    return drawing;
}

VXStylePtr VXDrawing::ownCopyOfToolStyle(const VXStylePtr& toolStyle)
{
    if (!toolStyle)
        return nullptr;
    std::erase_if(m_toolStyleCopies, [](const auto& entry) { return entry.first.expired(); });
    VXStylePtr& copy = m_toolStyleCopies[toolStyle];
    if (!copy)
        copy = std::static_pointer_cast<VXStyle>(toolStyle->copy());
    return copy;
}

// --- Owner -------------------------------------------------------------------------------------

void VXDrawing::setOwner(QObject* owner)
{
    if (m_owner == owner)
        return;
    m_owner = owner;
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXDrawingDidGetNewOwner, this);
}

void VXDrawing::setUndoManager(ZQUndoManager* undoManager)
{
    m_undoManager = undoManager;
}

// --- Paper ----------------------------------------------------------------------------------------

bool VXDrawing::isUsableDrawingSize(QSizeF size)
{
    return std::isfinite(size.width()) && std::isfinite(size.height()) && size.width() > 0 && size.height() > 0
           && size.width() <= kMaximumSide && size.height() <= kMaximumSide;
}

void VXDrawing::setDrawingSize(QSizeF size)
{
    if (!isUsableSize(size))
        return;
    const QRectF old = bounds();
    if (changeValueForKey(m_drawingSize, size, "drawingSize")) {
        drawingSizeDidChange();
        setNeedsDisplayInRect(old.united(bounds()));
    }
}

void VXDrawing::setMargins(const QMarginsF& margins)
{
    const bool sound = std::isfinite(margins.left()) && std::isfinite(margins.top()) && std::isfinite(margins.right())
                       && std::isfinite(margins.bottom()) && margins.left() >= 0 && margins.top() >= 0
                       && margins.right() >= 0 && margins.bottom() >= 0
                       && margins.left() + margins.right() < m_drawingSize.width()
                       && margins.top() + margins.bottom() < m_drawingSize.height();
    if (sound)
        changeValueForKey(m_margins, margins, "margins");
}

void VXDrawing::setMarginsLeftTopRightBottom(double left, double top, double right, double bottom)
{
    setMargins(QMarginsF(left, top, right, bottom));
}

QRectF VXDrawing::interior() const
{
    return bounds().marginsRemoved(m_margins);
}

void VXDrawing::setPaperColour(const QColor& colour)
{
    if (colour.isValid())
        changeValueForKey(m_paperColour, colour, "paperColour");
}

void VXDrawing::setPaperColourIsPrinted(bool printed)
{
    changeValueForKey(m_paperColourIsPrinted, printed, "paperColourIsPrinted");
}

// Decoded straight to tile size, so a vast image never lands in memory whole.
QImage VXDrawing::readPaperTile(QIODevice& device)
{
    QImageReader reader(&device);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {};
    reader.setScaledSize(tileSizeFor(size));
    return paperTile(reader.read());
}

void VXDrawing::setPaperImage(const QImage& image)
{
    changeValueForKey(m_paperImage, paperTile(image), "paperImage");
}

void VXDrawing::setPaperTextureName(const QString& name)
{
    changeValueForKey(m_paperTextureName, name, "paperTextureName");
}

QBrush VXDrawing::paperBrush() const
{
    return m_paperImage.isNull() ? QBrush(m_paperColour) : QBrush(m_paperImage);
}

void VXDrawing::drawPaperInRect(QPainter& painter, const QRectF& rect) const
{
    const QRectF area = rect & bounds();
    if (area.isEmpty())
        return;
    painter.fillRect(area, m_paperColour);
    if (m_paperImage.isNull())
        return;
    // Textures follow the painter's transform: tiles start at the drawing's origin on every device.
    painter.save();
    painter.setBrushOrigin(QPointF());
    painter.fillRect(area, QBrush(m_paperImage));
    painter.restore();
}

void VXDrawing::setDrawingInfo(const QVariantMap& info)
{
    changeValueForKey(m_drawingInfo, info, "drawingInfo");
}

// --- Units -------------------------------------------------------------------------------------------

void VXDrawing::setUnits(const ZQUnitLengthPtr& units)
{
    if (units)
        setUnitsUnitToPointsConversionFactor(units, units->conversionFactorForPoints());
}

void VXDrawing::setUnitsUnitToPointsConversionFactor(const ZQUnitLengthPtr& units, double factor)
{
    if (!units || !std::isfinite(factor) || factor <= 0)
        return;
    if (units->isEqualToUnit(m_units.get()) && factor == m_unitToPoints)
        return;
    if (ZQUndoManager* undo = undoManager()) {
        const ZQUnitLengthPtr oldUnits = m_units;
        const double oldFactor = m_unitToPoints;
        undo->registerUndoWithTargetHandler(this, [this, oldUnits, oldFactor] {
            setUnitsUnitToPointsConversionFactor(oldUnits, oldFactor);
        });
    }
    const QStringList keys{QStringLiteral("drawingUnits"), QStringLiteral("abbreviatedDrawingUnits"),
                           QStringLiteral("unitToPointsConversionFactor")};
    announceChangeForKeys(keys, [&] {
        m_units = units;
        m_unitToPoints = factor;
    });
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXDrawingUnitsDidChangeNotification, this);
}

QString VXDrawing::drawingUnits() const
{
    return m_units->fullName();
}

QString VXDrawing::abbreviatedDrawingUnits() const
{
    return m_units->symbol();
}

double VXDrawing::convertLength(double points) const
{
    return points / m_unitToPoints;
}

QPointF VXDrawing::convertPoint(QPointF point) const
{
    return (point - interior().topLeft()) / m_unitToPoints;
}

double VXDrawing::convertLengthToBase(double length) const
{
    return length * m_unitToPoints;
}

QPointF VXDrawing::convertPointToBase(QPointF point) const
{
    return point * m_unitToPoints + interior().topLeft();
}

QString VXDrawing::formattedConvertedLength(double points) const
{
    return QStringLiteral("%1 %2").arg(convertLength(points), 0, 'f', 2).arg(abbreviatedDrawingUnits());
}

QString VXDrawing::abbreviationForDrawingUnits(const QString& fullName)
{
    const QString wanted = normalisedUnitName(fullName);
    for (const ZQUnitLengthPtr& unit : allUnits())
        if (normalisedUnitName(unit->fullName()) == wanted)
            return unit->symbol();
    return fullName;
}

ZQUnitLengthPtr VXDrawing::unitsForLegacyUnitName(const QString& name)
{
    const QString wanted = normalisedUnitName(name);
    if (wanted == QLatin1String("pixel") || wanted == QLatin1String("point"))
        return ZQUnitLength::points();
    if (wanted == QLatin1String("inch"))
        return ZQUnitLength::inches();
    for (const ZQUnitLengthPtr& unit : allUnits())
        if (normalisedUnitName(unit->fullName()) == wanted || unit->symbol() == name.trimmed())
            return unit;
    return nullptr;
}

// --- Grid and guides ------------------------------------------------------------------------------------

int VXDrawing::gridType() const
{
    return qobject_cast<const VXIsometricGridLayer*>(gridLayer().get()) ? 1 : 0;
}

void VXDrawing::setGridType(int type)
{
    const std::shared_ptr<VXGridLayer> grid = gridLayer();
    if (!grid || (type != 0 && type != 1) || type == gridType())
        return;
    VXLayerGroup* group = grid->layerGroup();
    const int index = group ? group->indexOfLayer(grid.get()) : -1;
    if (index < 0)
        return;
    const bool replacesInPlace = grid->metaObject() == &VXGridLayer::staticMetaObject
                                 || grid->metaObject() == &VXIsometricGridLayer::staticMetaObject;
    if (type == 0 && !replacesInPlace)
        return;
    const bool laidOverAnotherGrid = type == 0 && [&] {
        for (const VXLayerPtr& layer : flattenedLayers())
            if (layer != grid && qobject_cast<VXGridLayer*>(layer.get()))
                return true;
        return false;
    }();
    if (laidOverAnotherGrid) {
        group->removeObjectFromLayersAtIndex(index);
        return;
    }
    std::shared_ptr<VXGridLayer> swapped;
    if (type == 1)
        swapped = std::make_shared<VXIsometricGridLayer>();
    else
        swapped = std::make_shared<VXGridLayer>();
    copyGridSettings(*grid, *swapped);
    if (replacesInPlace)
        group->removeObjectFromLayersAtIndex(index);
    group->insertObjectInLayersAtIndex(swapped, index);
}

std::shared_ptr<VXGridLayer> VXDrawing::gridLayer() const
{
    std::shared_ptr<VXGridLayer> first;
    for (const VXLayerPtr& layer : flattenedLayers()) {
        auto grid = std::dynamic_pointer_cast<VXGridLayer>(layer);
        if (grid && grid->isMasterGrid())
            return grid;
        if (grid && !first)
            first = grid;
    }
    return first;
}

std::shared_ptr<VXGuideLayer> VXDrawing::guideLayer() const
{
    return firstLayerOfClass<VXGuideLayer>();
}

void VXDrawing::setSnapsToGrid(bool snaps)
{
    changeValueForKey(m_snapsToGrid, snaps, "snapsToGrid");
}

void VXDrawing::setSnapsToGuides(bool snaps)
{
    changeValueForKey(m_snapsToGuides, snaps, "snapsToGuides");
}

bool VXDrawing::snapToGridOnGridVisible()
{
    return VXDrawingPreferences::current().snapToGridOnGridVisible;
}

QPointF VXDrawing::snapToGridWithControlFlag(QPointF point, bool controlFlag) const
{
    const std::shared_ptr<VXGridLayer> grid = gridLayer();
    if (!grid || m_snapsToGrid == controlFlag || (snapToGridOnGridVisible() && !grid->visible()))
        return point;
    return grid->nearestGridIntersectionToPoint(point);
}

QPointF VXDrawing::snapToGuides(QPointF point) const
{
    const std::shared_ptr<VXGuideLayer> guides = guideLayer();
    return guides && m_snapsToGuides ? guides->snapPointToGuide(point) : point;
}

QPointF VXDrawing::snapPointsToGuide(const QList<QPointF>& points) const
{
    const std::shared_ptr<VXGuideLayer> guides = guideLayer();
    return guides && m_snapsToGuides ? guides->offsetToSnapPointsToGuide(points) : QPointF();
}

// --- Layers ---------------------------------------------------------------------------------------------

bool VXDrawing::setActiveLayer(VXLayer* layer)
{
    if (layer == m_activeLayer)
        return true;
    if (layer && (layer == this || !containsLayer(layer) || !layer->layerMayBecomeActive()))
        return false;
    VXLayer* previous = m_activeLayer;
    m_activeLayer = layer;
    if (previous)
        previous->layerDidResignActiveLayer();
    if (layer)
        layer->layerDidBecomeActiveLayer();
    LogEvent(kReactiveEvent, QStringLiteral("active layer: '%1'").arg(layer ? layer->layerName() : QString()));
    platform::NotificationCenter::defaultCenter().postNotificationName(kVXDrawingActiveLayerDidChange, this);
    return true;
}

VXLayer* VXDrawing::activeLayerOfClass(const QMetaObject& layerClass) const
{
    return m_activeLayer && m_activeLayer->metaObject()->inherits(&layerClass) ? m_activeLayer.data() : nullptr;
}

QString VXDrawing::uniqueLayerNameForName(const QString& name) const
{
    QSet<QString> taken;
    for (const VXLayerPtr& layer : flattenedLayers(true))
        taken.insert(layer->layerName());
    // "Layer 1" is the first of the "Layer" family as much as a bare "Layer" is.
    if (!taken.contains(name) && !taken.contains(QStringLiteral("%1 1").arg(name)))
        return name;
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 %2").arg(name).arg(n);
        if (!taken.contains(candidate))
            return candidate;
    }
}

void VXDrawing::layerDidJoinDrawing(VXLayer* layer)
{
    layerStructureDidChange();
    if (!m_activeLayer && qobject_cast<VXObjectOwnerLayer*>(layer))
        setActiveLayer(layer);
}

void VXDrawing::layerDidLeaveDrawing(VXLayer* layer)
{
    layerStructureDidChange();
    const auto* group = qobject_cast<const VXLayerGroup*>(layer);
    if (m_activeLayer && (m_activeLayer == layer || (group && group->containsLayer(m_activeLayer))))
        fixActiveLayer();
}

void VXDrawing::fixActiveLayer()
{
    // The active layer left: the topmost object layer that may be active takes over.
    setActiveLayer(firstActivateableLayerOfClass(VXObjectOwnerLayer::staticMetaObject));
}

VXLayer* VXDrawing::firstActivateableLayerOfClass(const QMetaObject& layerClass) const
{
    for (const VXLayerPtr& candidate : flattenedLayers())
        if (candidate->metaObject()->inherits(&layerClass) && candidate->layerMayBecomeActive())
            return candidate.get();
    return nullptr;
}

// --- Styles ------------------------------------------------------------------------------------------------

void VXDrawing::replaceStylesWithStyles(const QList<VXStylePtr>& oldStyles, const QList<VXStylePtr>& newStyles)
{
    ZQ_ASSERT(oldStyles.size() == newStyles.size(), QStringLiteral("style lists differ in length"));
    QHash<const VXStyle*, VXStylePtr> replacements;
    for (qsizetype i = 0; i < oldStyles.size(); ++i)
        if (oldStyles[i])
            replacements.insert(oldStyles[i].get(), newStyles[i]);
    if (replacements.isEmpty())
        return;
    platform::WholeEdit::run(undoManager(), tr("Replace Styles"), [&] { replaceStyles(replacements); });
}

// --- Display and output -------------------------------------------------------------------------------------

namespace {

thread_local int t_openThreadDisplayBatches = 0;
constexpr qsizetype kFewDisplayChanges = 32;
thread_local QList<QPointer<const VXDrawing>> t_drawingsHeldByThreadBatch;

} // namespace

void VXDrawing::setNeedsDisplayInRect(const QRectF& rect) const
{
    if (rect.isNull())
        return;
    if ((m_openDisplayBatches == 0 && t_openThreadDisplayBatches == 0) || QThread::currentThread() != thread()) {
        Q_EMIT needsDisplayInRect(rect, false);
        return;
    }
    m_batchedDisplay |= rect;
    if (t_openThreadDisplayBatches > 0 && !m_heldByThreadBatch) {
        m_heldByThreadBatch = true;
        t_drawingsHeldByThreadBatch.append(this);
    }
}

void VXDrawing::setNeedsLiveDisplayInRect(const QRectF& rect) const
{
    if (!rect.isNull())
        Q_EMIT needsDisplayInRect(rect, true);
}

void VXDrawing::sendBatchedDisplay() const
{
    if (const QRectF batched = std::exchange(m_batchedDisplay, QRectF()); !batched.isNull())
        Q_EMIT needsDisplayInRect(batched, false);
}

VXDrawing::DisplayBatch::DisplayBatch(const VXDrawing* drawing)
    : m_drawing(drawing && QThread::currentThread() == drawing->thread() ? drawing : nullptr)
{
    if (m_drawing)
        ++m_drawing->m_openDisplayBatches;
}

VXDrawing::DisplayBatch::DisplayBatch(const VXDrawing* drawing, qsizetype changes)
    : DisplayBatch(changes > kFewDisplayChanges ? drawing : nullptr)
{
}

VXDrawing::DisplayBatch::~DisplayBatch()
{
    if (!m_drawing || --m_drawing->m_openDisplayBatches > 0 || m_drawing->m_heldByThreadBatch)
        return;
    m_drawing->sendBatchedDisplay();
}

VXDrawing::ThreadDisplayBatch::ThreadDisplayBatch()
{
    ++t_openThreadDisplayBatches;
}

VXDrawing::ThreadDisplayBatch::~ThreadDisplayBatch()
{
    if (--t_openThreadDisplayBatches > 0)
        return;
    for (const QPointer<const VXDrawing>& drawing : std::exchange(t_drawingsHeldByThreadBatch, {})) {
        if (!drawing)
            continue;
        drawing->m_heldByThreadBatch = false;
        if (drawing->m_openDisplayBatches == 0)
            drawing->sendBatchedDisplay();
    }
}

VXLayer* VXDrawing::slicesLayer() const
{
    const QList<VXLayerPtr> layers = flattenedLayers();
    const auto found = std::find_if(layers.cbegin(), layers.cend(), [](const VXLayerPtr& layer) { return layer->isSlicesLayer(); });
    return found == layers.cend() ? nullptr : found->get();
}

QString VXDrawing::size() const
{
    return QStringLiteral("%1 x %2 px").arg(std::ceil(m_drawingSize.width()), 0, 'f', 0).arg(std::ceil(m_drawingSize.height()), 0, 'f', 0);
}

QByteArray VXDrawing::pdf() const
{
    return pdfDataWithMediaBox(bounds());
}

QByteArray VXDrawing::pdfDataWithMediaBox(const QRectF& mediaBox) const
{
    return platform::DrawingRenderer::pdfOfDrawingRect(*this, mediaBox);
}

QByteArray VXDrawing::imageDataWithFormatOptionsPdfDataColourspaceSourceRectDestSizeBackgroundColor(
    platform::ImageFileType format, const platform::ImageWriteOptions& options, const QByteArray& /*pdfData*/,
    const QColorSpace& colourspace, const QRectF& sourceRect, QSize destSize, const QColor& backgroundColour) const
{
    QImage image = platform::DrawingRenderer::imageOfDrawing(*this, sourceRect, destSize, backgroundColour);
    if (image.isNull())
        return {};
    if (colourspace.isValid() && colourspace != QColorSpace(QColorSpace::SRgb))
        image.convertToColorSpace(colourspace);
    return platform::ImageWriter::representationUsingTypeProperties(image, format, options);
}

VXDrawingPtr VXDrawing::drawingByExtractingFromRectOptions(const QRectF& rect, int options) const
{
    const bool visibleOnly = options & kVXDrawingExtractVisibleOnly;
    auto extract = std::make_shared<VXDrawing>();
    if (!isUsableSize(rect.size()))
        return extract;
    extract->m_drawingSize = rect.size();
    extract->m_paperColour = m_paperColour;
    extract->m_paperColourIsPrinted = m_paperColourIsPrinted;
    extract->m_paperImage = m_paperImage;
    extract->m_paperTextureName = m_paperTextureName;
    extract->m_units = m_units;
    extract->m_unitToPoints = m_unitToPoints;
    const QTransform shift = QTransform::fromTranslate(-rect.left(), -rect.top());
    // Bottom layer first, so adding each on top keeps the order.
    const QList<VXLayerPtr> layers = flattenedLayers();
    for (auto it = layers.crbegin(); it != layers.crend(); ++it) {
        const auto* source = qobject_cast<const VXObjectOwnerLayer*>(it->get());
        if (!source || (visibleOnly && !source->visible()))
            continue;
        auto layer = std::make_shared<VXObjectDrawingLayer>();
        layer->setLayerName(source->layerName());
        layer->setAlpha(source->alpha());
        layer->setVisible(source->visible());
        for (const VXDrawableObject* object : source->objectsInRect(rect)) {
            if (visibleOnly && !object->visible())
                continue;
            VXDrawableObjectPtr copy = object->copyDrawable();
            copy->applyTransform(shift);
            layer->addObject(copy);
        }
        extract->addLayer(layer);
    }
    return extract;
}

void VXDrawing::printDrawingWithPrinter(QPrinter& printer) const
{
    platform::DrawingRenderer::printDrawing(*this, printer);
}

// --- Archiving ------------------------------------------------------------------------------------------------

void VXDrawing::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXLayerGroup::encodeWithCoder(coder);
    coder.encodeSize(m_drawingSize, kSizeKey);
    coder.encodeDouble(m_margins.left(), kMarginLeftKey);
    coder.encodeDouble(m_margins.top(), kMarginTopKey);
    coder.encodeDouble(m_margins.right(), kMarginRightKey);
    coder.encodeDouble(m_margins.bottom(), kMarginBottomKey);
    coder.encodeColor(m_paperColour, kPaperColourKey);
    coder.encodeBool(m_paperColourIsPrinted, kPaperPrintedKey);
    if (!m_paperImage.isNull())
        coder.encodeData(pngDataOf(m_paperImage), kPaperImageKey);
    if (!m_paperTextureName.isEmpty())
        coder.encodeString(m_paperTextureName, kPaperTextureNameKey);
    coder.encodeObject(archivableValue(m_drawingInfo), kInfoKey);
    coder.encodeObject(m_units.get(), kUnitsKey);
    coder.encodeDouble(m_unitToPoints, kUnitFactorKey);
    coder.encodeBool(m_snapsToGrid, kSnapsToGridKey);
    coder.encodeBool(m_snapsToGuides, kSnapsToGuidesKey);
    coder.encodeObject(m_activeLayer.data(), kActiveLayerKey);
}

void VXDrawing::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXLayerGroup::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    const QSizeF size = reader.size(kSizeKey, m_drawingSize);
    m_drawingSize = isUsableSize(size) ? size : m_drawingSize;
    const QMarginsF margins(reader.real(kMarginLeftKey, 0), reader.real(kMarginTopKey, 0),
                            reader.real(kMarginRightKey, 0), reader.real(kMarginBottomKey, 0));
    m_margins = QMarginsF();
    setMargins(margins);
    m_paperColour = reader.colour(kPaperColourKey, m_paperColour);
    m_paperColourIsPrinted = reader.boolean(kPaperPrintedKey, false);
    m_paperImage = paperTileFromData(reader.data(kPaperImageKey));
    m_paperTextureName = reader.string(kPaperTextureNameKey);
    m_drawingInfo = reader.dictionary(kInfoKey);
    if (const auto units = reader.object<ZQUnitLength>(kUnitsKey))
        m_units = units;
    const double factor = reader.real(kUnitFactorKey, m_units->conversionFactorForPoints());
    m_unitToPoints = factor > 0 ? factor : m_units->conversionFactorForPoints();
    m_snapsToGrid = reader.boolean(kSnapsToGridKey, false);
    m_snapsToGuides = reader.boolean(kSnapsToGuidesKey, true);
    const VXLayerPtr active = reader.object<VXLayer>(kActiveLayerKey);
    if (active && containsLayer(active.get()) && active->layerMayBecomeActive())
        m_activeLayer = active.get();
    else
        fixActiveLayer();
    for (const VXLayerPtr& layer : layers())
        layer->wasAddedToDrawing(this);
}

#include "furniture/grid/VXQSquareAnnotatedGrid.h"

#include "app/utilities/DictionaryUtilities.h"
#include "furniture/edges/GridSettingsKeys.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/foundation/ZQLog.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/ui/FontManager.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "tracks/styles/StyleLibraryCoding.h"

#include <QPainter>
#include <QScopeGuard>
#include <cmath>

namespace {

const QString kHorizontalAnnotationKey = QStringLiteral("VXQSquareAnnotatedGrid_hAnnotation");
const QString kVerticalAnnotationKey = QStringLiteral("VXQSquareAnnotatedGrid_vAnnotation");
const QString kBordersKey = QStringLiteral("VXQSquareAnnotatedGrid_borders");
const QString kAnnotationEdgesKey = QStringLiteral("VXQSquareAnnotatedGrid_anno_edges");
const QString kGridHiddenKey = QStringLiteral("VXQSquareAnnotatedGrid_grid_hidden");
const QString kBorderLineHiddenKey = QStringLiteral("VXQSquareAnnotatedGrid_borderline_hidden");
const QString kBorderLineStyleKey = QStringLiteral("VXQSquareAnnotatedGrid_borderline_style");

// A labelled span is at least this long (a centimetre less a point) where the divisions allow.
constexpr double kMinimumLabelledSpan = 27.346456692913;
constexpr double kCentimetre = 28.346456692913;
constexpr quint64 kDefaultReferencePrecision = 6;

// Edge bits and the settings keys of their labels.
const std::pair<int, const QString*> kAnnotationEdgeKeys[] = {
    {kVXQGridEdgeLeft, &kVXQMapGridHasLeftAnnotation},
    {kVXQGridEdgeRight, &kVXQMapGridHasRightAnnotation},
    {kVXQGridEdgeTop, &kVXQMapGridHasTopAnnotation},
    {kVXQGridEdgeBottom, &kVXQMapGridHasBottomAnnotation},
};

} // namespace

VXQSquareAnnotatedGrid::VXQSquareAnnotatedGrid()
    : m_drop(*this, [this](const VXStylePtr& style) { setBorderlineStyle(style); })
{
    setHorizontalAnnotation(VXQGridAnnotation::defaultAnnotation());
    auto vertical = VXQGridAnnotation::defaultAnnotation();
    vertical->setIsReversed(true);
    setVerticalAnnotation(vertical);
    addBorder(VXQGridBorder::defaultBorder());
    setGridThemeColour(VXQGridAnnotation::defaultAnnotationColour());
    setDivisionsHidden(true);
}

VXQSquareAnnotatedGrid::~VXQSquareAnnotatedGrid() = default;

void VXQSquareAnnotatedGrid::initAsDefaultMapGrid()
{
    setDistanceForUnitSpanDrawingUnitsSpanDivisionsMajorsRulerSteps(kCentimetre, ZQUnitLength::kilometers(), 4.0, 10,
                                                                   5, 2);
    setLayerName(tr("Index Grid"));
    setShouldDrawToPrinter(true);
    setVisible(true);
}

std::shared_ptr<VXQSquareAnnotatedGrid> VXQSquareAnnotatedGrid::defaultMapGrid()
{
    auto grid = std::make_shared<VXQSquareAnnotatedGrid>();
    grid->initAsDefaultMapGrid();
    return grid;
}

// --- Labels and bands ------------------------------------------------------------------------------

void VXQSquareAnnotatedGrid::adoptAnnotation(VXQGridAnnotationPtr& field, const VXQGridAnnotationPtr& annotation,
                                             bool vertical)
{
    if (!annotation)
        return;
    annotation->setOwner(this);
    annotation->setOrientationIsVertical(vertical);
    field = annotation;
    setNeedsDisplay();
}

void VXQSquareAnnotatedGrid::setHorizontalAnnotation(const VXQGridAnnotationPtr& annotation)
{
    adoptAnnotation(m_horizontalAnnotation, annotation, false);
}

void VXQSquareAnnotatedGrid::setVerticalAnnotation(const VXQGridAnnotationPtr& annotation)
{
    adoptAnnotation(m_verticalAnnotation, annotation, true);
}

void VXQSquareAnnotatedGrid::setAnnotationEdges(int edges)
{
    changeValueForKey(m_annotationEdges, edges & kVXQGridAllEdges, "annotationEdges");
}

void VXQSquareAnnotatedGrid::addBorder(const VXQGridBorderPtr& border)
{
    if (!border)
        return;
    border->setOwner(this);
    m_borders.append(border);
    border->setNeedsDisplay();
}

void VXQSquareAnnotatedGrid::removeBorder(const VXQGridBorder* border)
{
    if (m_borders.size() <= 1)
        return;
    m_borders.removeIf([&](const VXQGridBorderPtr& each) { return each.get() == border; });
    setNeedsDisplay();
}

void VXQSquareAnnotatedGrid::setBorders(const QList<VXQGridBorderPtr>& borders)
{
    QList<VXQGridBorderPtr> kept = borders;
    kept.removeAll(nullptr);
    if (kept.isEmpty())
        return;
    m_borders = kept;
    setNeedsDisplay();
}

QVariantList VXQSquareAnnotatedGrid::bordersValue() const
{
    QVariantList value;
    for (const VXQGridBorderPtr& border : m_borders)
        value.append(QVariant::fromValue(ZQObjectPtr(border)));
    return value;
}

// --- Border line and grid lines ----------------------------------------------------------------------

void VXQSquareAnnotatedGrid::setBorderlineStyle(const VXStylePtr& style)
{
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, previous = m_borderlineStyle] { setBorderlineStyle(previous); });
    m_borderlineStyle = style ? style->mutableCopy() : nullptr;
    setNeedsDisplay();
}

void VXQSquareAnnotatedGrid::clearBorderStyle(QObject*)
{
    setBorderlineStyle(nullptr);
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(tr("Clear Border"));
}

void VXQSquareAnnotatedGrid::setDrawsBorderLine(bool draws)
{
    changeValueForKey(m_drawsBorderLine, draws, "drawsBorderLine");
}

void VXQSquareAnnotatedGrid::setGridVisible(bool visible)
{
    changeValueForKey(m_gridVisible, visible, "gridVisible");
}

// --- Label font -------------------------------------------------------------------------------------------

platform::TextAttributes VXQSquareAnnotatedGrid::labelAttributes() const
{
    return m_horizontalAnnotation->textAttributes();
}

void VXQSquareAnnotatedGrid::setLabelAttribute(const char* key, const QString& attribute, const QVariant& value)
{
    platform::TextAttributes attributes = labelAttributes();
    attributes.insert(attribute, value);
    announceChangeForKey(QString::fromLatin1(key), [&] {
        m_horizontalAnnotation->setTextAttributes(attributes);
        m_verticalAnnotation->setTextAttributes(attributes);
    });
}

QFont VXQSquareAnnotatedGrid::font() const
{
    return labelAttributes().value(platform::kFontAttributeName).value<QFont>();
}

void VXQSquareAnnotatedGrid::setFont(const QFont& font)
{
    setLabelAttribute("font", platform::kFontAttributeName, font);
}

QString VXQSquareAnnotatedGrid::fontName() const
{
    return font().family();
}

void VXQSquareAnnotatedGrid::setFontName(const QString& family)
{
    if (family.isEmpty())
        return;
    setLabelAttribute("font", platform::kFontAttributeName,
                      platform::FontManager::sharedFontManager()->convertFontToFamily(font(), family));
}

double VXQSquareAnnotatedGrid::fontSize() const
{
    return font().pointSizeF();
}

void VXQSquareAnnotatedGrid::setFontSize(double size)
{
    if (!std::isfinite(size) || size <= 0)
        return;
    setLabelAttribute("font", platform::kFontAttributeName,
                      platform::FontManager::sharedFontManager()->convertFontToSize(font(), size));
}

QColor VXQSquareAnnotatedGrid::fontColour() const
{
    return labelAttributes().value(platform::kForegroundColourAttributeName).value<QColor>();
}

void VXQSquareAnnotatedGrid::setFontColour(const QColor& colour)
{
    if (colour.isValid())
        setLabelAttribute("fontColour", platform::kForegroundColourAttributeName, colour);
}

QStringList VXQSquareAnnotatedGrid::keyPathsForValuesAffectingValueForKey(const QString& key) const
{
    // Name and size are read from the font; their setters change the font.
    if (key == QLatin1String("fontName") || key == QLatin1String("fontSize"))
        return {QStringLiteral("font")};
    return VXGridLayer::keyPathsForValuesAffectingValueForKey(key);
}

// --- Grid references -------------------------------------------------------------------------------------

VXQGridReference VXQSquareAnnotatedGrid::gridReferenceForPoint(QPointF point) const
{
    return gridReferenceForPointWithPrecision(point, kDefaultReferencePrecision);
}

VXQGridReference VXQSquareAnnotatedGrid::gridReferenceForPointWithPrecision(QPointF point, quint64 precision) const
{
    return VXQGridReference(point, *this, precision);
}

// --- Settings ---------------------------------------------------------------------------------------------

void VXQSquareAnnotatedGrid::applySettings(const QVariantMap& settings)
{
    if (locked())
        return;
    ZQUndoManager* undo = undoManager();
    if (undo)
        undo->registerUndoWithTargetHandler(this, [this, previous = this->settings()] { applySettings(previous); });
    const platform::UndoSuspension oneStep(undo);

    m_horizontalAnnotation->applySettings(settings);
    m_verticalAnnotation->applySettings(settings);
    m_borders.first()->applySettings(settings);

    assignSpanMultiplierDivisionsMajors(std::max(1.0, floatValueForKey(settings, kVXQMapGridSpanMultiplier)),
                                       intValueForKey(settings, kVXQMapGridDivisions),
                                       intValueForKey(settings, kVXQMapGridMajors));
    setGridThemeColour(settings.value(kVXQMapGridColour).value<QColor>());
    setDivisionsHidden(!boolValueForKey(settings, kVXQMapGridShowsDivisions));
    setGridVisible(boolValueForKey(settings, kVXQMapGridEnabled));
    setDrawsBorderLine(boolValueForKey(settings, kVXQMapGridBorderLineEnabled));
    invalidateCache();

    int edges = 0;
    for (const auto& [edge, key] : kAnnotationEdgeKeys)
        if (boolValueForKey(settings, *key))
            edges |= edge;
    setAnnotationEdges(edges);
    setNeedsDisplay();
}

QVariantMap VXQSquareAnnotatedGrid::settings() const
{
    QVariantMap settings = m_horizontalAnnotation->settings();
    settings.insert(m_verticalAnnotation->settings());
    settings.insert(m_borders.first()->settings());
    for (const auto& [edge, key] : kAnnotationEdgeKeys)
        setBoolValueForKey(settings, (m_annotationEdges & edge) != 0, *key);
    setFloatValueForKey(settings, float(spanMultiplier()), kVXQMapGridSpanMultiplier);
    setIntValueForKey(settings, divisions(), kVXQMapGridDivisions);
    setIntValueForKey(settings, majors(), kVXQMapGridMajors);
    settings.insert(kVXQMapGridColour, spanColour());
    setBoolValueForKey(settings, !divisionsHidden(), kVXQMapGridShowsDivisions);
    setBoolValueForKey(settings, m_gridVisible, kVXQMapGridEnabled);
    setBoolValueForKey(settings, m_drawsBorderLine, kVXQMapGridBorderLineEnabled);
    return settings;
}

// --- VXQGridInfoProtocol ------------------------------------------------------------------------------------

VXDrawing* VXQSquareAnnotatedGrid::drawing() const
{
    return VXGridLayer::drawing();
}

QRectF VXQSquareAnnotatedGrid::borderRect() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->interior() : QRectF();
}

double VXQSquareAnnotatedGrid::spanLength() const
{
    // Points per drawing unit: a span is spanMultiplier units.
    const double unitSpan = spanDistance() / spanMultiplier();
    if (!std::isfinite(unitSpan) || unitSpan <= 0)
        return 0;
    const double spans = std::ceil(std::min(kMinimumLabelledSpan, 2.0 * divisions() * unitSpan) / unitSpan);
    const double length = unitSpan * spanMultiplier() * spans;
    return std::isfinite(length) && length > 0 ? length : 0;
}

quint64 VXQSquareAnnotatedGrid::divisionsPerSpan() const
{
    return quint64(std::max(divisions(), 0));
}

double VXQSquareAnnotatedGrid::borderAllowance() const
{
    return m_borders.isEmpty() ? 0 : m_borders.first()->width() + m_borders.first()->offset();
}

void VXQSquareAnnotatedGrid::setNeedsDisplayInRect(const QRectF& rect) const
{
    VXGridLayer::setNeedsDisplayInRect(rect);
}

// --- Layer ----------------------------------------------------------------------------------------------------

QIcon VXQSquareAnnotatedGrid::icon() const
{
    return QIcon(QStringLiteral(":/bundle/images/VL_Layer_IndexGrid-Template.svg"));
}

void VXQSquareAnnotatedGrid::drawRectInViewShowingHighlighting(const QRectF& rect, VXDrawingView* view,
                                                               bool highlighting) const
{
    if (m_gridVisible)
        VXGridLayer::drawRectInViewShowingHighlighting(rect, view, highlighting);
    else
        drawBorderInContext(rect);
    for (const VXQGridBorderPtr& border : m_borders)
        border->drawInRect(rect);
    m_horizontalAnnotation->drawInRectAtEdge(rect, m_annotationEdges & (kVXQGridEdgeTop | kVXQGridEdgeBottom));
    m_verticalAnnotation->drawInRectAtEdge(rect, m_annotationEdges & (kVXQGridEdgeLeft | kVXQGridEdgeRight));
    m_drop.drawDragHighlight(borderRect());
}

void VXQSquareAnnotatedGrid::drawBorderInContext(const QRectF& rect) const
{
    if (!m_drawsBorderLine)
        return;
    if (!m_borderlineStyle) {
        VXGridLayer::drawBorderInContext(rect);
        return;
    }
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    QPainter& painter = *context->painter();
    painter.save();
    const auto restore = qScopeGuard([&] { painter.restore(); });
    StyleLibraryCoding::drawRect(*m_borderlineStyle, borderRect());
}

std::unique_ptr<platform::Menu> VXQSquareAnnotatedGrid::menuForEventInView(QPointF point, VXDrawingView* view)
{
    std::unique_ptr<platform::Menu> menu = VXGridLayer::menuForEventInView(point, view);
    if (!menu)
        menu = std::make_unique<platform::Menu>();
    menu->addItemWithTitleActionKeyEquivalent(tr("Clear Border"), "clearBorderStyle")->setTarget(this);
    return menu;
}

bool VXQSquareAnnotatedGrid::validateMenuItem(platform::MenuItem* item)
{
    if (item->action() == "clearBorderStyle")
        return m_borderlineStyle != nullptr;
    return true;
}

QStringList VXQSquareAnnotatedGrid::pasteboardTypesForOperation(int operation) const
{
    return BorderStyleDrop::pasteboardTypesForOperation(operation);
}

int VXQSquareAnnotatedGrid::draggingEntered(const platform::DraggingInfo&)
{
    return m_drop.draggingEntered();
}

int VXQSquareAnnotatedGrid::draggingUpdated(const platform::DraggingInfo&)
{
    return kVXDragOperationGeneric;
}

void VXQSquareAnnotatedGrid::draggingExited(const platform::DraggingInfo&)
{
    m_drop.draggingExited();
}

bool VXQSquareAnnotatedGrid::performDragOperation(const platform::DraggingInfo& info)
{
    return m_drop.performDragOperation(info);
}

// --- Archive ---------------------------------------------------------------------------------------------------

QList<VXStylePtr> VXQSquareAnnotatedGrid::allStyles() const
{
    return m_borderlineStyle ? QList<VXStylePtr>{m_borderlineStyle} : QList<VXStylePtr>{};
}

void VXQSquareAnnotatedGrid::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXGridLayer::encodeWithCoder(coder);
    coder.encodeObject(m_horizontalAnnotation.get(), kHorizontalAnnotationKey);
    coder.encodeObject(m_verticalAnnotation.get(), kVerticalAnnotationKey);
    coder.encodeObject(bordersValue(), kBordersKey);
    coder.encodeInt(m_annotationEdges, kAnnotationEdgesKey);
    coder.encodeBool(!m_gridVisible, kGridHiddenKey);
    coder.encodeBool(!m_drawsBorderLine, kBorderLineHiddenKey);
    coder.encodeObject(m_borderlineStyle.get(), kBorderLineStyleKey);
}

void VXQSquareAnnotatedGrid::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXGridLayer::initWithCoder(coder);
    const platform::ArchiveReader reader(coder);
    setHorizontalAnnotation(reader.object<VXQGridAnnotation>(kHorizontalAnnotationKey));
    setVerticalAnnotation(reader.object<VXQGridAnnotation>(kVerticalAnnotationKey));
    const QList<VXQGridBorderPtr> borders = reader.objects<VXQGridBorder>(kBordersKey);
    if (borders.isEmpty())
        ZQLogObjCMethod(QStringLiteral("an index grid without borders keeps its default border"));
    setBorders(borders);
    // A border archived without its owner would draw nothing.
    for (const VXQGridBorderPtr& border : m_borders)
        if (border->owner() != this)
            border->setOwner(this);
    m_annotationEdges = int(reader.integer(kAnnotationEdgesKey, kVXQGridAllEdges, 0, kVXQGridAllEdges));
    m_drawsBorderLine = !reader.boolean(kBorderLineHiddenKey, false);
    m_gridVisible = !reader.boolean(kGridHiddenKey, false);
    m_borderlineStyle = reader.object<VXStyle>(kBorderLineStyleKey);
}

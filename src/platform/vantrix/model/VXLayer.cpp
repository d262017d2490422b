#include "platform/vantrix/model/VXLayer.h"

#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/Menu.h"
#include "platform/ui/ZQInfoFloater.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "platform/vantrix/model/VXLayerGroup.h"
#include "platform/vantrix/render/DrawingRenderer.h"
#include "platform/vantrix/view/VXDrawingView.h"

#include <array>
#include <atomic>

namespace {

const QString kNameKey = QStringLiteral("VXLayer_name");
const QString kVisibleKey = QStringLiteral("VXLayer_visible");
const QString kLockedKey = QStringLiteral("VXLayer_locked");
const QString kAlphaKey = QStringLiteral("VXLayer_alpha");
const QString kSelectionColourKey = QStringLiteral("VXLayer_selectionColour");
const QString kPrintsKey = QStringLiteral("VXLayer_shouldDrawToPrinter");

// New layers take the next of these, so neighbouring layers show their selections apart.
QColor nextSelectionColour()
{
    static const std::array<QColor, 6> colours{QColor(0x33, 0x66, 0xff), QColor(0xe6, 0x33, 0x33),
                                               QColor(0x33, 0xb3, 0x4d), QColor(0xe6, 0x80, 0x1a),
                                               QColor(0x99, 0x33, 0xcc), QColor(0x1a, 0xa6, 0xb3)};
    // Layers are also made on import workers.
    static std::atomic<size_t> next = 0;
    return colours[next++ % colours.size()];
}

} // namespace

VXLayer::VXLayer() : m_selectionColour(nextSelectionColour()) {}

VXLayer::~VXLayer() = default;

void VXLayer::setLayerName(const QString& name)
{
    changeValueForKey(m_layerName, name, "layerName");
}

void VXLayer::setVisible(bool visible)
{
    if (changeValueForKey(m_visible, visible, "visible"))
        layerStructureDidChange();
}

void VXLayer::setLocked(bool locked)
{
    changeValueForKey(m_locked, locked, "locked");
}

void VXLayer::setAlpha(double alpha)
{
    if (std::isfinite(alpha) && changeValueForKey(m_alpha, std::clamp(alpha, 0.0, 1.0), "alpha"))
        layerStructureDidChange();
}

void VXLayer::setSelectionColour(const QColor& colour)
{
    if (colour.isValid())
        changeValueForKey(m_selectionColour, colour, "selectionColour");
}

void VXLayer::setShouldDrawToPrinter(bool flag)
{
    changeValueForKey(m_shouldDrawToPrinter, flag, "shouldDrawToPrinter");
}

void VXLayer::showInfoWindowWithStringAtPoint(const QString& text, QPointF point)
{
    if (!m_infoWindow)
        m_infoWindow = ZQInfoFloater::infoFloater();
    m_infoWindow->setStringValue(text);
    VXDrawingView* view = VXDrawingView::currentView();
    if (!view)
        return;
    m_infoWindow->positionNearPointInView(view->convertPointFromDrawing(point), view->viewport());
    m_infoWindow->show();
}

void VXLayer::hideInfoWindow()
{
    if (m_infoWindow)
        m_infoWindow->hide();
}

VXLayerGroup* VXLayer::layerGroup() const
{
    return m_layerGroup;
}

void VXLayer::setLayerGroup(VXLayerGroup* group)
{
    m_layerGroup = group;
}

VXDrawing* VXLayer::drawing() const
{
    const VXLayer* layer = this;
    while (layer->layerGroup())
        layer = layer->layerGroup();
    return layer == this ? nullptr : layer->drawing();
}

int VXLayer::level() const
{
    int level = 0;
    for (const VXLayer* group = layerGroup(); group && group->layerGroup(); group = group->layerGroup())
        ++level;
    return level;
}

ZQUndoManager* VXLayer::undoManager() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->undoManager() : nullptr;
}

void VXLayer::setNeedsDisplayInRect(const QRectF& rect) const
{
    if (const VXDrawing* owner = drawing())
        owner->setNeedsDisplayInRect(rect);
}

void VXLayer::setNeedsLiveDisplayInRect(const QRectF& rect) const
{
    if (const VXDrawing* owner = drawing())
        owner->setNeedsLiveDisplayInRect(rect);
}

void VXLayer::layerStructureDidChange() const
{
    if (VXDrawing* owner = drawing())
        owner->layerStructureDidChange();
}

void VXLayer::setNeedsDisplay() const
{
    if (const VXDrawing* owner = drawing())
        owner->setNeedsDisplayInRect(owner->bounds());
}

bool VXLayer::isActive() const
{
    const VXDrawing* owner = drawing();
    return owner && owner->activeLayer() == this;
}

bool VXLayer::attemptToMakeActive()
{
    VXDrawing* owner = drawing();
    return owner && owner->setActiveLayer(this);
}

VXLayerPtr VXLayer::duplicateLayer() const
{
    auto duplicate = std::dynamic_pointer_cast<VXLayer>(copy());
    const QString name = tr("%1 copy").arg(m_layerName);
    const VXDrawing* owner = drawing();
    duplicate->m_layerName = owner ? owner->uniqueLayerNameForName(name) : name;
    return duplicate;
}

QByteArray VXLayer::pdf() const
{
    return platform::DrawingRenderer::pdfOfLayer(*this);
}

std::shared_ptr<ZQObject> VXLayer::copy() const
{
    // The archive is the one description of a layer's state, so copies cannot miss a field.
    const QByteArray data = platform::KeyedArchiver::archivedDataForCopyingRootObject(this);
    auto duplicate = std::dynamic_pointer_cast<VXLayer>(platform::KeyedUnarchiver::unarchiveObjectForCopyingWithData(data));
    ZQ_ASSERT(duplicate, QStringLiteral("%1 could not be copied").arg(className()));
    duplicate->adoptStylesFrom(*this);
    return duplicate;
}

void VXLayer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    coder.encodeString(m_layerName, kNameKey);
    coder.encodeBool(m_visible, kVisibleKey);
    coder.encodeBool(m_locked, kLockedKey);
    coder.encodeDouble(m_alpha, kAlphaKey);
    coder.encodeColor(m_selectionColour, kSelectionColourKey);
    coder.encodeBool(m_shouldDrawToPrinter, kPrintsKey);
}

void VXLayer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    const platform::ArchiveReader reader(coder);
    m_layerName = reader.string(kNameKey);
    m_visible = reader.boolean(kVisibleKey, true);
    m_locked = reader.boolean(kLockedKey, false);
    m_alpha = reader.real(kAlphaKey, 1.0, 0.0, 1.0);
    m_selectionColour = reader.colour(kSelectionColourKey, m_selectionColour);
    m_shouldDrawToPrinter = reader.boolean(kPrintsKey, m_shouldDrawToPrinter);
}

std::unique_ptr<platform::Menu> VXLayer::menuForEventInView(QPointF, VXDrawingView*) { return nullptr; }

#include "furniture/border/VXQBorderLayer.h"

#include "app/application/VLTMHelpTrampoline.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQUndoManager.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/model/ArchiveReader.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "tracks/styles/StyleLibraryCoding.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QScopeGuard>

namespace {

const QString kBorderStyleKey = QStringLiteral("VXQBorderLayer_borderStyle");
constexpr double kDefaultStrokeWidth = 4.0;
const QColor kDefaultStrokeColour = QColor::fromRgbF(0.5, 0.5, 0.5);

const QMimeData* clipboardData()
{
    return QGuiApplication::clipboard()->mimeData();
}

} // namespace

VXQBorderLayer::VXQBorderLayer()
    : m_borderStyle(defaultBorderStyle())
    , m_drop(*this, [this](const VXStylePtr& style) { setBorderStyle(style); })
{
}

VXQBorderLayer::~VXQBorderLayer() = default;

VXStylePtr VXQBorderLayer::defaultBorderStyle()
{
    return VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), kDefaultStrokeColour, kDefaultStrokeWidth);
}

void VXQBorderLayer::setBorderStyle(const VXStylePtr& style)
{
    if (ZQUndoManager* undo = undoManager())
        undo->registerUndoWithTargetHandler(this, [this, previous = m_borderStyle] { setBorderStyle(previous); });
    VXStylePtr kept;
    if (style) {
        kept = style->mutableCopy();
        kept->setName(style->name());
    }
    m_borderStyle = kept;
    setNeedsDisplay();
}

QRectF VXQBorderLayer::interior() const
{
    const VXDrawing* owner = drawing();
    return owner ? owner->interior() : QRectF();
}

void VXQBorderLayer::nameUndoAction(const QString& name) const
{
    if (ZQUndoManager* undo = undoManager())
        undo->setActionName(name);
}

// --- Actions -------------------------------------------------------------------------------------

void VXQBorderLayer::clearBorderStyle(QObject*)
{
    if (locked())
        return;
    setBorderStyle(nullptr);
    nameUndoAction(tr("Clear Border"));
}

void VXQBorderLayer::copyDrawingStyle(QObject*)
{
    if (!m_borderStyle)
        return;
    auto* data = new QMimeData;
    m_borderStyle->copyToPasteboard(data);
    QGuiApplication::clipboard()->setMimeData(data);
}

void VXQBorderLayer::pasteDrawingStyle(QObject*)
{
    if (locked())
        return;
    if (const VXStylePtr style = VXStyle::styleFromPasteboard(clipboardData())) {
        setBorderStyle(style);
        nameUndoAction(tr("Paste Border Style"));
    }
}

void VXQBorderLayer::borderLayerHelpAction(QObject*)
{
    VLTMHelpTrampoline::sharedHelpTrampoline()->showHelpForIdentifier(QStringLiteral("border-layer"));
}

bool VXQBorderLayer::validateMenuItem(platform::MenuItem* item)
{
    const QByteArray action = item->action();
    if (action == "clearBorderStyle")
        return m_borderStyle && !locked();
    if (action == "pasteDrawingStyle") {
        if (locked())
            return false;
        const VXStylePtr pasted = VXStyle::styleFromPasteboard(clipboardData());
        item->setTitle(pasted && !pasted->name().isEmpty() ? tr("Paste '%1' As Border").arg(pasted->name())
                                                           : tr("Paste Style As Border"));
        return pasted && !pasted->isEqualToStyle(m_borderStyle.get());
    }
    if (action == "copyDrawingStyle") {
        item->setTitle(m_borderStyle && !m_borderStyle->name().isEmpty()
                           ? tr("Copy Border Style '%1'").arg(m_borderStyle->name())
                           : tr("Copy Border Style"));
        return m_borderStyle != nullptr;
    }
    return true;
}

std::unique_ptr<platform::Menu> VXQBorderLayer::menuForEventInView(QPointF point, VXDrawingView* view)
{
    std::unique_ptr<platform::Menu> menu = VXLayer::menuForEventInView(point, view);
    if (!menu)
        menu = std::make_unique<platform::Menu>();
    const auto addItem = [&](const QString& title, const QByteArray& action) {
        menu->addItemWithTitleActionKeyEquivalent(title, action)->setTarget(this);
    };
    addItem(tr("Copy Border Style"), "copyDrawingStyle");
    if (!locked())
        addItem(tr("Paste Style As Border"), "pasteDrawingStyle");
    menu->addSeparator();
    addItem(tr("Border Layer Help..."), "borderLayerHelpAction");
    return menu;
}

// --- Selection colour ------------------------------------------------------------------------------

QColor VXQBorderLayer::selectionColour() const
{
    if (m_borderStyle && m_borderStyle->hasStroke())
        return m_borderStyle->strokeColour();
    if (m_borderStyle && m_borderStyle->hasFill())
        return m_borderStyle->fillColour();
    return VXLayer::selectionColour();
}

void VXQBorderLayer::setSelectionColour(const QColor& colour)
{
    if (!colour.isValid())
        return;
    VXStylePtr recoloured;
    if (m_borderStyle && m_borderStyle->hasStroke()) {
        recoloured = m_borderStyle->mutableCopy();
        recoloured->setStrokeColour(colour);
    } else if (m_borderStyle && m_borderStyle->hasFill()) {
        recoloured = m_borderStyle->mutableCopy();
        recoloured->setFillColour(colour);
    } else {
        recoloured = VXStyle::styleWithFillColourStrokeColourStrokeWidth(QColor(), colour, kDefaultStrokeWidth);
    }
    setBorderStyle(recoloured);
    VXLayer::setSelectionColour(colour);
}

QIcon VXQBorderLayer::icon() const
{
    return QIcon(QStringLiteral(":/bundle/images/VL_Layer_Border-Template.svg"));
}

// --- Drawing -----------------------------------------------------------------------------------------

void VXQBorderLayer::drawRectInViewShowingHighlighting(const QRectF&, VXDrawingView*, bool) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    if (m_borderStyle) {
        QPainter& painter = *context->painter();
        painter.save();
        const auto restore = qScopeGuard([&] { painter.restore(); });
        StyleLibraryCoding::drawRect(*m_borderStyle, interior());
    }
    m_drop.drawDragHighlight(interior());
}

// --- Drop target -------------------------------------------------------------------------------------

QStringList VXQBorderLayer::pasteboardTypesForOperation(int operation) const
{
    return BorderStyleDrop::pasteboardTypesForOperation(operation);
}

int VXQBorderLayer::draggingEntered(const platform::DraggingInfo&)
{
    return m_drop.draggingEntered();
}

int VXQBorderLayer::draggingUpdated(const platform::DraggingInfo&)
{
    return kVXDragOperationGeneric;
}

void VXQBorderLayer::draggingExited(const platform::DraggingInfo&)
{
    m_drop.draggingExited();
}

bool VXQBorderLayer::performDragOperation(const platform::DraggingInfo& info)
{
    return m_drop.performDragOperation(info);
}

// --- Archive -----------------------------------------------------------------------------------------

QList<VXStylePtr> VXQBorderLayer::allStyles() const
{
    return m_borderStyle ? QList<VXStylePtr>{m_borderStyle} : QList<VXStylePtr>{};
}

void VXQBorderLayer::encodeWithCoder(platform::KeyedArchiver& coder) const
{
    VXLayer::encodeWithCoder(coder);
    coder.encodeObject(m_borderStyle.get(), kBorderStyleKey);
}

void VXQBorderLayer::initWithCoder(platform::KeyedUnarchiver& coder)
{
    VXLayer::initWithCoder(coder);
    m_borderStyle = platform::ArchiveReader(coder).object<VXStyle>(kBorderStyleKey);
}

#include "panels/layers/LayerRowDelegate.h"

#include "panels/layers/LayerTreeModel.h"
#include "panels/layers/ObjectRowWatcher.h"
#include "panels/layers/VLTMLayersController.h"
#include "panels/slices/VLTMSlicesLayer.h"
#include "platform/vantrix/drawables/VXDrawableObject.h"
#include "platform/vantrix/model/VXDrawing.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/paint/KitImage.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QVariantAnimation>

namespace {

constexpr int kControlSide = 16;
constexpr int kIconSide = 20;
constexpr int kMargin = 4;

bool isTopRow(const QObject* item)
{
    return qobject_cast<const VXDrawing*>(item) != nullptr;
}

// The controls a row of this item has, from the right edge leftwards; NoControl keeps the place
// of one hidden there, so that the wells of all layer rows line up.
QList<LayerRowDelegate::Control> controlsOfItem(const QObject* item)
{
    if (const auto* layer = qobject_cast<const VXLayer*>(item)) {
        // The drawing's own row cannot be deleted, locked or hidden; it keeps its colour.
        QList<LayerRowDelegate::Control> controls;
        if (isTopRow(item))
            controls = {LayerRowDelegate::NoControl, LayerRowDelegate::NoControl, LayerRowDelegate::NoControl};
        else
            controls = {LayerRowDelegate::DeleteControl, LayerRowDelegate::LockControl,
                        LayerRowDelegate::VisibilityControl};
        if (layer->selectionColour().isValid())
            controls.append(LayerRowDelegate::ColourControl);
        return controls;
    }
    if (qobject_cast<const VXQSlice*>(item))
        return {LayerRowDelegate::ColourControl, LayerRowDelegate::VisibilityControl};
    return {LayerRowDelegate::LockControl, LayerRowDelegate::VisibilityControl};
}

bool isEnabledControl(const QObject* item, LayerRowDelegate::Control control)
{
    if (const auto* layer = qobject_cast<const VXLayer*>(item)) {
        if (control == LayerRowDelegate::DeleteControl)
            return !layer->locked() && layer->layerMayBeDeleted();
        if (control == LayerRowDelegate::ActiveControl)
            return layer->layerMayBecomeActive() && !isTopRow(layer);
        return true;
    }
    if (const auto* object = qobject_cast<const VXDrawableObject*>(item))
        return control == LayerRowDelegate::LockControl || !object->locked();
    return control != LayerRowDelegate::ActiveControl;
}

// A layer's selection colour, a slice's colour.
QColor colourOfItem(const QObject* item)
{
    if (const auto* layer = qobject_cast<const VXLayer*>(item))
        return layer->selectionColour();
    return item->property("colour").value<QColor>();
}

QString glyphForControl(const QObject* item, LayerRowDelegate::Control control)
{
    switch (control) {
    case LayerRowDelegate::VisibilityControl: {
        if (!item->property("visible").toBool())
            return QStringLiteral("VL_Layer_Hide-Template");
        const auto* layer = qobject_cast<const VXLayer*>(item);
        return layer && layer->alpha() < 1.0 ? QStringLiteral("VL_Layer_Opacity3-Template")
                                             : QStringLiteral("VL_Layer_Show-Template");
    }
    case LayerRowDelegate::LockControl:
        return item->property("locked").toBool() ? QStringLiteral("VL_Layer_Lock-Template")
                                                 : QStringLiteral("VL_Layer_Unlock-Template");
    case LayerRowDelegate::DeleteControl:
        return QStringLiteral("NSRemoveTemplate");
    default:
        return {};
    }
}


} // namespace

LayerRowDelegate::LayerRowDelegate(VLTMLayersController* controller, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_controller(controller)
    , m_infoOpacity(controller->compactRows() ? 0.0 : 1.0)
{
}

void LayerRowDelegate::layoutViewsForSmallRowHeightAnimated(bool small, bool animated)
{
    if (m_fade)
        m_fade->stop();
    const double target = small ? 0.0 : 1.0;
    auto* view = qobject_cast<QAbstractItemView*>(parent());
    if (!animated || small || !view) {
        m_infoOpacity = target;
        if (view)
            view->viewport()->update();
        return;
    }
    if (!m_fade) {
        m_fade = new QVariantAnimation(this);
        m_fade->setDuration(kFadeDuration);
        connect(m_fade, &QVariantAnimation::valueChanged, this, [this, view](const QVariant& value) {
            m_infoOpacity = value.toDouble();
            view->viewport()->update();
        });
    }
    m_fade->setStartValue(m_infoOpacity);
    m_fade->setEndValue(target);
    m_fade->start();
}

const LayerTreeModel& LayerRowDelegate::model() const
{
    return m_controller->model();
}

// --- Geometry --------------------------------------------------------------------------------------

LayerRowDelegate::Layout LayerRowDelegate::layoutOfCell(const QRect& rect, const QObject* item, int column,
                                                        bool compact)
{
    Layout layout;
    if (column == LayerTreeModel::ActiveColumn) {
        layout.indicator = QRect(0, 0, 12, 12);
        layout.indicator.moveCenter(rect.center());
        return layout;
    }
    const int middle = rect.center().y();
    int right = rect.right() - kMargin;
    for (Control control : controlsOfItem(item)) {
        QRect box(right - kControlSide + 1, middle - kControlSide / 2, kControlSide, kControlSide);
        switch (control) {
        case VisibilityControl: layout.visibility = box; break;
        case LockControl: layout.lock = box; break;
        case DeleteControl: layout.remove = box; break;
        case ColourControl: layout.indicator = box; break;
        default: break;
        }
        right -= kControlSide + kMargin;
    }
    layout.icon = QRect(rect.left() + kMargin, middle - kIconSide / 2, kIconSide, kIconSide);
    const int textLeft = layout.icon.right() + 1 + kMargin;
    const int textWidth = std::max(0, right - textLeft);
    const bool twoLines = !compact && qobject_cast<const VXLayer*>(item);
    // The name field is 18 high in small rows, 22 in tall ones.
    if (twoLines) {
        layout.name = QRect(textLeft, middle - 21, textWidth, 22);
        layout.info = QRect(textLeft, middle + 1, textWidth, 16);
    } else {
        layout.name = QRect(textLeft, middle - 9, textWidth, 18);
    }
    return layout;
}

LayerRowDelegate::Control LayerRowDelegate::controlAtPoint(const QRect& cell, const QObject* item, int column,
                                                           bool compact, QPoint point)
{
    if (!item)
        return NoControl;
    const Layout layout = layoutOfCell(cell, item, column, compact);
    Control hit = NoControl;
    if (column == LayerTreeModel::ActiveColumn) {
        if (qobject_cast<const VXLayer*>(item) && layout.indicator.adjusted(-4, -4, 4, 4).contains(point))
            hit = ActiveControl;
    } else if (layout.visibility.contains(point)) {
        hit = VisibilityControl;
    } else if (layout.lock.contains(point)) {
        hit = LockControl;
    } else if (layout.remove.contains(point)) {
        hit = DeleteControl;
    } else if (layout.indicator.contains(point)) {
        hit = ColourControl;
    }
    return hit != NoControl && isEnabledControl(item, hit) ? hit : NoControl;
}

// --- Clicks -----------------------------------------------------------------------------------------

void LayerRowDelegate::performControl(QObject* item, Control control, Qt::KeyboardModifiers modifiers) const
{
    auto* layer = qobject_cast<VXLayer*>(item);
    switch (control) {
    case VisibilityControl:
        if (layer && (modifiers & Qt::AltModifier) && layer->drawing()) {
            if (modifiers & Qt::ControlModifier)
                layer->drawing()->showAll();
            else
                layer->drawing()->hideAllExcept(layer);
        } else {
            item->setProperty("visible", !item->property("visible").toBool());
        }
        break;
    case LockControl:
        item->setProperty("locked", !item->property("locked").toBool());
        break;
    case DeleteControl:
        if (layer)
            m_controller->confirmDeleteLayer(layer);
        break;
    case ActiveControl:
        // The active layer's mark is its selection colour, which a click changes.
        if (layer && layer->isActive())
            m_controller->chooseColourForItem(layer);
        else if (layer)
            layer->attemptToMakeActive();
        break;
    case ColourControl:
        m_controller->chooseColourForItem(item);
        break;
    default:
        break;
    }
}

// --- Painting ---------------------------------------------------------------------------------------

QSize LayerRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {index.column() == LayerTreeModel::ActiveColumn ? 28 : option.rect.width(),
            m_controller->heightOfRowByItem(model().itemForIndex(index))};
}

void LayerRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QObject* item = model().itemForIndex(index);
    if (!item)
        return;
    painter->save();
    if (index.column() == LayerTreeModel::ActiveColumn)
        paintActiveCell(*painter, option, item);
    else
        paintNameCell(*painter, option, item);
    painter->restore();
}

void LayerRowDelegate::paintNameCell(QPainter& painter, const QStyleOptionViewItem& option, QObject* item) const
{
    const bool compact = m_controller->compactRows();
    const Layout layout = layoutOfCell(option.rect, item, LayerTreeModel::MainColumn, compact);
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QPixmap icon;
    if (const auto* layer = qobject_cast<const VXLayer*>(item))
        icon = layer->icon().pixmap(layout.icon.size(), ratio);
    else if (const auto* slice = qobject_cast<const VXQSlice*>(item))
        icon = slice->icon().pixmap(layout.icon.size(), ratio);
    else if (auto* object = qobject_cast<VXDrawableObject*>(item))
        icon = m_controller->rowWatcher().iconForObject(object);
    if (!icon.isNull())
        painter.drawPixmap(layout.icon, icon);

    const bool locked = item->property("locked").toBool();
    const QColor text = locked ? QColor(Qt::gray) : VLTMUnselectedTitleTextColour();
    QFont font = option.font;
    font.setPointSizeF(compact ? 12 : 13);
    if (qobject_cast<const VXLayer*>(item) && !compact)
        font.setBold(true);
    painter.setFont(font);
    painter.setPen(text);
    const QString name = model().data(model().indexForItem(item), Qt::DisplayRole).toString();
    painter.drawText(layout.name, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(name, Qt::ElideRight, layout.name.width()));
    if (!layout.info.isNull()) {
        if (const QString info = static_cast<const VXLayer*>(item)->auxiliaryInfoString(); !info.isEmpty()) {
            QFont small = option.font;
            small.setPointSizeF(10);
            painter.setFont(small);
            painter.setOpacity(m_infoOpacity);
            painter.drawText(layout.info, Qt::AlignLeft | Qt::AlignVCenter,
                             painter.fontMetrics().elidedText(info, Qt::ElideRight, layout.info.width()));
        }
    }
    for (Control control : controlsOfItem(item)) {
        if (control == NoControl)
            continue;
        QRect box = control == VisibilityControl ? layout.visibility
            : control == LockControl             ? layout.lock
            : control == DeleteControl           ? layout.remove
                                                 : layout.indicator;
        if (control == ColourControl) {
            const QColor colour = colourOfItem(item);
            painter.setPen(VLTMControlFrameColour());
            painter.setBrush(colour.isValid() ? colour : QColor(Qt::white));
            painter.drawRect(QRectF(box).adjusted(1.5, 1.5, -1.5, -1.5));
            continue;
        }
        // A layer that may not go shows no delete button.
        if (control == DeleteControl && !isEnabledControl(item, control))
            continue;
        imageNamed(glyphForControl(item, control)).drawInRect(painter, box, isEnabledControl(item, control) ? 1.0 : 0.4);
    }
}

void LayerRowDelegate::paintActiveCell(QPainter& painter, const QStyleOptionViewItem& option, const QObject* item) const
{
    // Object and slice rows hold no layer: their indicator stays hidden.
    const auto* layer = qobject_cast<const VXLayer*>(item);
    if (!layer || !layer->isActive())
        return;
    const Layout layout = layoutOfCell(option.rect, item, LayerTreeModel::ActiveColumn, m_controller->compactRows());
    const QColor colour = layer->selectionColour();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(VLTMControlFrameColour(), 1));
    painter.setBrush(colour.isValid() ? colour : QColor(Qt::white));
    painter.drawEllipse(QRectF(layout.indicator).adjusted(0.5, 0.5, -0.5, -0.5));
}

// --- Editing names ----------------------------------------------------------------------------------

QWidget* LayerRowDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    if (index.column() != LayerTreeModel::MainColumn)
        return nullptr;
    auto* editor = new QLineEdit(parent);
    editor->setFrame(true);
    // The outline's clear highlight (rows paint their own) would leave the selected name white on grey.
    QPalette colours = editor->palette();
    colours.setColor(QPalette::Highlight, QApplication::palette(editor).color(QPalette::Highlight));
    editor->setPalette(colours);
    return editor;
}

void LayerRowDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* field = qobject_cast<QLineEdit*>(editor)) {
        field->setText(index.data(Qt::EditRole).toString());
        field->selectAll();
    }
}

void LayerRowDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (const auto* field = qobject_cast<QLineEdit*>(editor))
        model->setData(index, field->text(), Qt::EditRole);
}

void LayerRowDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const
{
    const Layout layout =
        layoutOfCell(option.rect, model().itemForIndex(index), LayerTreeModel::MainColumn, m_controller->compactRows());
    editor->setGeometry(layout.name.adjusted(-2, -1, 2, 1));
}

#pragma once

// What a map feature that carries text labels offers them (tracks, labelled shapes, placed
// symbols). Mixed into the feature's class; the text inspector takes only objects that are
// VXQTextLabelContainers. The container owns its labels in creation order and sets each
// label's (non-owning) container when it adopts it.
//
// Labels reach the rest of their feature's services (undo manager, layer, refreshes,
// checksums, ghosting, size) through the drawable the container is, when it is one. Block
// labels also ask the optional placement operations at the end, whose defaults stand for
// "the container does not answer".
//
// TextLabelCollection implements the common part of this protocol for a container.

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

class VXDrawingView;
class VXQTextLabel;
using VXQTextLabelPtr = std::shared_ptr<VXQTextLabel>;

// Posted with the container as sender whenever its label selection changes.
inline const QString kVXQTextLabelSelectionDidChange = QStringLiteral("kVXQTextLabelSelectionDidChange");

// Labels travel on the pasteboard as a keyed archive of the label under this type, then as
// the label's plain text.
inline const QString kVXQTextLabelPasteboardType = QStringLiteral("com.veltrum.pbtype.textlabel");

// Part codes of labels start here; below them are the feature's own parts.
inline constexpr int kVXQTextLabelPartBase = 256001;

class VXQTextLabelContainer {
public:
    virtual ~VXQTextLabelContainer() = default;

    // --- The labels ------------------------------------------------------------------------
    virtual QList<VXQTextLabelPtr> textLabels() const = 0;
    // Replaces the labels (no undo), adopts each and clears the label selection.
    virtual void setTextLabels(const QList<VXQTextLabelPtr>& labels) = 0;
    // Appends and adopts a label not yet present, with undo; null is an assertion failure.
    virtual void addTextLabel(const VXQTextLabelPtr& label) = 0;
    // Gives up a present label, with undo: it is redrawn, detached and deselected.
    virtual void removeTextLabel(const VXQTextLabelPtr& label) = 0;
    // The first label whose hitTest answers a part there.
    virtual VXQTextLabel* textLabelAtPoint(QPointF point) const = 0;

    // --- Selection (each change posts kVXQTextLabelSelectionDidChange) ------------------------
    // Without extending, the selection is emptied first; a null label then selects nothing.
    virtual void selectTextLabelExtendingSelection(VXQTextLabel* label, bool extend) = 0;
    virtual void deselectTextLabel(VXQTextLabel* label) = 0;
    virtual void selectAllTextLabels() = 0;
    virtual void deselectAllTextLabels() = 0;
    // In label order.
    virtual QList<VXQTextLabelPtr> selectedTextLabels() const = 0;

    // --- Drawing and state -------------------------------------------------------------------
    // Every label's drawInView, unless labels are hidden.
    virtual void drawTextLabelsInView(VXDrawingView* view) const = 0;
    virtual bool labelsHidden() const = 0;
    // Undoable; hidden labels are neither drawn nor hit.
    virtual void setLabelsHidden(bool hidden) = 0;
    // The feature's lock; labels report it as their own.
    virtual bool locked() const = 0;
    virtual void setLocked(bool locked) = 0;
    // The feature's attributes, which fill a label's "%%key" substitutions.
    virtual QVariant metadataObjectForKey(const QString& key) const = 0;
    // The feature's own bounds, labels left out.
    virtual QRectF boundsIgnoringLabels() const = 0;
    // One rectangle per label (hidden ones included): the label's bounds.
    virtual QList<QRectF> textLabelBounds() const = 0;

    // --- Told around every change of a label's text or attributes ----------------------------
    virtual void textLabelContentWillChange(VXQTextLabel* label) = 0;
    virtual void textLabelContentDidChange(VXQTextLabel* label) = 0;
    virtual void textLabelAttributesWillChange(VXQTextLabel* label) = 0;
    virtual void textLabelAttributesDidChange(VXQTextLabel* label) = 0;

    // --- Placement of block labels (optional) --------------------------------------------------
    // The point, in drawing coordinates, a block label is placed from; none when not answered.
    virtual std::optional<QPointF> referencePointForLabel(const VXQTextLabel& label) const { return std::nullopt; }
    // How far from the reference point the label's placement puts it.
    virtual double labelOffsetRadiusForLabel(const VXQTextLabel& label) const { return 0; }
    // From the reference point to the feature's visual centre; none when not answered.
    virtual std::optional<QSizeF> centroidOffset() const { return std::nullopt; }
};

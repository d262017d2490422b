#pragma once

// The label container of a drawable that carries block labels: labelled shapes and placed
// symbols mix it in beside their drawable base and answer the protocol through it. It keeps
// the labels (m_labels) and answers from them; additions, removals and hiding register their
// inverse with the drawable's undo manager and redraw what they change; a label's text or
// attribute change redraws the drawable's bounds before and after.
//
// It also runs what both do with their labels: a press on a label selects it (see
// TextLabelCollection::mouseDownOnLabel), a drag turns it by its knob, moves its body to the
// placement the drawable picks or, with Shift, to a free offset, and the release names the
// step after what changed ("Rotate Label", "Move Label", "Label Placement"); pasting, deleting
// and hiding labels as commands; in-place editing on a double click.
//
// What differs between its users stays theirs: the lock (here the drawable's), attributes,
// bounds without labels, placement, templates for new labels, and whether a lock forbids
// adding, pasting, removing, deleting and dragging labels (labelEditsRespectLock). Hiding
// labels and editing them are refused while locked for every user.

#include "symbols/labels/TextLabelCollection.h"
#include "symbols/labels/VXQTextBlockLabel.h"
#include "symbols/labels/VXQTextLabelContainer.h"

class QObject;
class VXDrawableObject;

class DrawableTextLabelContainer : public VXQTextLabelContainer {
public:
    // `drawable` is the object this container is; it outlives the container.
    explicit DrawableTextLabelContainer(VXDrawableObject& drawable);
    ~DrawableTextLabelContainer() override;

    // --- VXQTextLabelContainer --------------------------------------------------------------
    QList<VXQTextLabelPtr> textLabels() const override { return m_labels.labels(); }
    void setTextLabels(const QList<VXQTextLabelPtr>& labels) override { m_labels.setLabels(labels); }
    void addTextLabel(const VXQTextLabelPtr& label) override;
    void removeTextLabel(const VXQTextLabelPtr& label) override;
    VXQTextLabel* textLabelAtPoint(QPointF point) const override { return m_labels.labelAtPoint(point); }
    void selectTextLabelExtendingSelection(VXQTextLabel* label, bool extend) override
    {
        m_labels.selectExtendingSelection(label, extend);
    }
    void deselectTextLabel(VXQTextLabel* label) override { m_labels.deselect(label); }
    void selectAllTextLabels() override { m_labels.selectAll(); }
    void deselectAllTextLabels() override { m_labels.deselectAll(); }
    QList<VXQTextLabelPtr> selectedTextLabels() const override { return m_labels.selectedLabels(); }
    void drawTextLabelsInView(VXDrawingView* view) const override;
    bool labelsHidden() const override { return m_labels.hidden(); }
    void setLabelsHidden(bool hidden) override;
    QList<QRectF> textLabelBounds() const override { return m_labels.labelBounds(); }
    void textLabelContentWillChange(VXQTextLabel* label) override;
    void textLabelContentDidChange(VXQTextLabel* label) override;
    void textLabelAttributesWillChange(VXQTextLabel* label) override { textLabelContentWillChange(label); }
    void textLabelAttributesDidChange(VXQTextLabel* label) override { textLabelContentDidChange(label); }

    // --- Block labels ---------------------------------------------------------------------------
    // The label of a local part code (4 x index + 4 + the label's own part); null for none.
    VXQTextLabel* textLabelForPartcode(int partcode) const { return m_labels.labelForPartcode(partcode); }
    // A drag step of the label of a local part code toward `point` (see the top).
    void moveTextLabelWithPartcodeToPoint(int partcode, QPointF point, Qt::KeyboardModifiers modifiers);
    // The placement a label's body dragged to `point` takes.
    virtual int placementForLabelDraggedToPoint(const VXQTextLabel& label, QPointF point) const = 0;
    // The text adornment a new label copies; null when the label keeps its own.
    virtual VXTextAdornmentPtr templateAdornmentForNewLabels() const = 0;
    // Every label takes the attributes; the drawable redraws what they covered and cover.
    void applyTextAttributesToLabels(const QVariantMap& attributes);

    // --- Searching ---------------------------------------------------------------------------
    // The drawable's own searchable text (when it has any) followed by its labels' texts.
    QStringList searchableStringsWithLabels(const QString& ownText) const;
    // Those joined by a blank; the drawable's own answer (none or empty) when there are none.
    QString searchableStringWithLabels(const QString& ownText) const;

protected:
    // Whether a locked drawable refuses label additions and removals.
    virtual bool labelEditsRespectLock() const = 0;

    // A press on a label part selects the label and starts its gesture; other parts end none.
    void beginLabelGesture(int partcode, Qt::KeyboardModifiers modifiers);
    // The undo step's name for the gesture that ends; empty when nothing changed.
    QString endLabelGesture();
    // Edits the label of the part code in place (in the current view, else through its command).
    void editLabelWithPartcode(int partcode);

    // Commands, each one undo step named by it.
    void newTextLabelWithPlacement(int placement);
    void pasteLabelFromGeneralPasteboard();
    void deleteSelectedLabels();
    // Named after the sender's title ("Hide Labels", "Show Labels").
    void toggleLabelsVisibleNamedBy(QObject* sender);

    TextLabelCollection m_labels{*this};

private:
    bool refusesLabelEdits() const;
    void nameUndoStep(const QString& name) const;

    VXDrawableObject& m_drawable;
    QRectF m_boundsBeforeLabelChange;
    // The label being dragged, as it was when the press came.
    struct LabelGesture {
        VXQTextBlockLabel* label = nullptr;
        int placement = 0;
        QPointF freePosition;
        double angle = 0;
    } m_gesture;
};

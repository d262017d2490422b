#pragma once

// The labels of one container with their selection and hidden flag: the part of
// VXQTextLabelContainer every container shares. The container keeps one as a member and
// answers the protocol through it, adding its own rules (locks, undo of additions, bounds).
//
// Selection changes redraw the labels concerned, call their selection hooks, update the font
// panel and post kVXQTextLabelSelectionDidChange with the container as sender. Labels are
// detached when the collection goes, so none is left pointing at a dead container.
//
// Part codes of block labels: 4 x index + 4 + the label's own part (0 body, 3 rotation knob);
// a container reports them from its hitPart as kVXQTextLabelPartBase + that code.

#include "symbols/labels/VXQTextLabel.h"

#include <QList>
#include <optional>
#include <QSet>
#include <Qt>

class QObject;

class TextLabelCollection {
public:
    // `owner` is the container this collection belongs to; `ownerObject` the feature it stands
    // for, when the container is not that object itself (labels borrow its services, menu
    // items aim at it, notifications come from it).
    explicit TextLabelCollection(VXQTextLabelContainer& owner, QObject* ownerObject = nullptr);
    ~TextLabelCollection();
    TextLabelCollection(const TextLabelCollection&) = delete;
    TextLabelCollection& operator=(const TextLabelCollection&) = delete;

    const QList<VXQTextLabelPtr>& labels() const { return m_labels; }
    bool isEmpty() const { return m_labels.isEmpty(); }
    bool contains(const VXQTextLabel* label) const { return indexOf(label) >= 0; }
    qsizetype indexOf(const VXQTextLabel* label) const;
    // The shared pointer of one of the labels; null for others.
    VXQTextLabelPtr labelPtr(const VXQTextLabel* label) const;
    // Adopts every label and clears the selection; no undo, no redraw.
    void setLabels(const QList<VXQTextLabelPtr>& labels);
    // Adopts and appends / detaches and removes (deselecting it); no undo, no redraw.
    void append(const VXQTextLabelPtr& label);
    void remove(const VXQTextLabelPtr& label);
    // Copies of every label, detached.
    QList<VXQTextLabelPtr> copiesOfLabels() const;

    // --- Selection ------------------------------------------------------------------------
    // In label order.
    QList<VXQTextLabelPtr> selectedLabels() const;
    bool hasSelection() const { return !m_selected.isEmpty(); }
    bool isSelected(const VXQTextLabel* label) const { return m_selected.contains(label); }
    // As the protocol says; with a null label and extending set, nothing happens at all.
    void selectExtendingSelection(VXQTextLabel* label, bool extend);
    void deselect(VXQTextLabel* label);
    void selectAll();
    void deselectAll();
    // A press on a label: Command (Ctrl) on a selected label deselects it alone; otherwise the
    // label is selected, extending the selection while Shift or Command is held.
    void mouseDownOnLabel(VXQTextLabel* label, Qt::KeyboardModifiers modifiers);
    // Tells the shared font manager the font and attributes of the selection, unless the
    // container keeps the font panel out of its labels (symbols do).
    void updateFontPanel() const;
    void setUpdatesFontPanel(bool updates) { m_updatesFontPanel = updates; }

    // --- Hidden flag ------------------------------------------------------------------------
    bool hidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }

    // --- Geometry and drawing ----------------------------------------------------------------
    QList<QRectF> labelBounds() const;
    // The feature's bounds with every label's.
    QRectF boundsWithLabels(const QRectF& featureBounds) const;
    // First label, in order, whose hitTest answers a part; none while hidden.
    VXQTextLabel* labelAtPoint(QPointF point) const;
    // The block-label part code at the point (0 for none; none while hidden).
    int partcodeHit(QPointF point) const;
    // The label of a part code; null for codes that name none.
    VXQTextLabel* labelForPartcode(int partcode) const;
    void drawLabels(VXDrawingView* view) const;
    void drawSelectionHighlights(VXDrawingView* view) const;

    // --- Commands and forwarding --------------------------------------------------------------
    // Messages the container lacks go to the selected labels.
    QList<QObject*> forwardingTargets() const;
    // Enabled when a selected label validates the item; its state is theirs, mixed when they differ.
    bool validateLabelMenuItem(platform::MenuItem* item) const;
    // The container's own label commands (new, select and deselect all, paste, delete, show or
    // hide, whose title it sets): whether the item is enabled; nothing for any other action.
    std::optional<bool> validateContainerMenuItem(platform::MenuItem* item, bool containerLocked) const;
    void applyTextAttributes(const QVariantMap& attributes) const;
    // The items of a context click at the point: the hit label's own first, then (unless
    // `respectLock` and the container is locked) "New Label" at the top, "Paste Label" when
    // the clipboard holds a label, "Hide Labels" / "Show Labels" and a separator, all sent
    // to the container.
    void addTextItemsToMenuAtPoint(platform::Menu* menu, QPointF point, bool respectLock) const;
    QStringList searchableStrings() const;
    static bool canPasteLabel(const platform::Pasteboard& pasteboard);

private:
    void postSelectionChange() const;
    QObject* ownerObject() const;

    VXQTextLabelContainer& m_owner;
    QObject* m_ownerObject;
    QList<VXQTextLabelPtr> m_labels;
    QSet<const VXQTextLabel*> m_selected;
    bool m_hidden = false;
    bool m_updatesFontPanel = true;
};

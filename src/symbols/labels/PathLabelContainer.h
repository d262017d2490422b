#pragma once

// The label container of one multi-style path: the labels along it (VXQTextPathLabel), their
// selection, knobs, gestures and commands, and how they follow the path when it is cut, joined
// or turned round. The path keeps the labels' state for archiving (TextLabelFields); this
// object is kept with it and is the labels' container. PathLabelContainer::Behaviour is the
// PathTextLabels hook the path calls.
//
// Part codes: 4 x index + 1 the start knob or the label on the line (move), + 2 the end knob
// (resize), + 3 the baseline knob (offset); the earlier label wins. Knobs are hit and drawn
// only while the path is selected; a locked path refuses gestures, commands and editing.
//
// Ranges are converted to path lengths before they are fitted, moved, split or offset, so a
// relative range (from a migrated style or an old document) keeps its place.

#include "symbols/labels/TextLabelCollection.h"
#include "symbols/labels/VXQTextPathLabel.h"
#include "tracks/model/PathTextLabels.h"
#include "tracks/styles/ZQRangeDrawingStyle.h"

#include <memory>

class PartDrag;

class PathLabelContainer : public VXQTextLabelContainer {
public:
    explicit PathLabelContainer(ZQMultiStylePath& path);
    ~PathLabelContainer() override;

    // The container kept with `path`, made on first use from the path's label fields.
    static PathLabelContainer& of(const ZQMultiStylePath& path);

    ZQMultiStylePath& path() const { return m_path; }
    QList<VXQTextPathLabelPtr> pathLabels() const;

    // --- VXQTextLabelContainer ---------------------------------------------------------------
    QList<VXQTextLabelPtr> textLabels() const override { return m_labels.labels(); }
    // Undoable; adopts every label and clears the selection.
    void setTextLabels(const QList<VXQTextLabelPtr>& labels) override;
    void addTextLabel(const VXQTextLabelPtr& label) override;
    void removeTextLabel(const VXQTextLabelPtr& label) override;
    VXQTextLabel* textLabelAtPoint(QPointF point) const override;
    void selectTextLabelExtendingSelection(VXQTextLabel* label, bool extend) override;
    void deselectTextLabel(VXQTextLabel* label) override;
    void selectAllTextLabels() override;
    void deselectAllTextLabels() override;
    QList<VXQTextLabelPtr> selectedTextLabels() const override { return m_labels.selectedLabels(); }
    void drawTextLabelsInView(VXDrawingView* view) const override;
    bool labelsHidden() const override;
    void setLabelsHidden(bool hidden) override;
    bool locked() const override;
    void setLocked(bool locked) override;
    QVariant metadataObjectForKey(const QString& key) const override;
    QRectF boundsIgnoringLabels() const override;
    QList<QRectF> textLabelBounds() const override { return m_labels.labelBounds(); }
    void textLabelContentWillChange(VXQTextLabel* label) override;
    void textLabelContentDidChange(VXQTextLabel* label) override;
    void textLabelAttributesWillChange(VXQTextLabel* label) override { textLabelContentWillChange(label); }
    void textLabelAttributesDidChange(VXQTextLabel* label) override { textLabelContentDidChange(label); }

    // --- Hit testing, knobs, gestures --------------------------------------------------------------
    int textLabelPartcodeHit(QPointF point) const;
    // The label at index code >> 2; null for a code past the labels.
    VXQTextPathLabel* textLabelForPartcode(int partcode) const;
    // Where the baseline knob of the label sits, and the line's direction there.
    QPointF baselineMidPointForPathLabel(const VXQTextPathLabel& label, double* angle = nullptr) const;
    void drawTextLabelSelectionHighlights() const;
    void mouseDown(int partcode, QPointF point, QMouseEvent* event);
    // One step of the drag begun at the press; see the top. `point` off the path's span changes
    // nothing for moves and resizes.
    void moveTextLabelWithPartcodeToPoint(int partcode, QPointF point);
    QString mouseUp(int partcode);
    void doubleClick(int partcode);

    // --- Menus and commands ------------------------------------------------------------------------
    void addTextItemsToMenuAtPoint(platform::Menu* menu, QPointF point);
    std::optional<bool> validateMenuItem(platform::MenuItem* item);
    // A label sized to its text, centred where the next label goes ("New Label").
    void newTextLabel();
    // Centred on the selected stretch, else on the whole path ("Paste Label").
    void pasteLabel();
    // Every label, not only the selected ones ("Delete Labels").
    void deleteLabels();
    void toggleLabelsVisible(QObject* sender);

    // --- Templates ---------------------------------------------------------------------------------
    // A copy of the text adornment of the range style at the position (else of the first range
    // style that has one); null when none has.
    VXTextAdornmentPtr templateAdornmentForPosition(double position) const;
    // With dynamic templates on, each label takes the template under its start when it differs.
    void updateLabelsForNewStyles();

    // --- Following the path ----------------------------------------------------------------------------
    // Labels starting at or after `from` (path lengths) move along by `offset` and, for another
    // target, over to it.
    void assignLabelsToPath(PathLabelContainer& target, double from, double offset);
    void reverseLabels();
    // Overlays that only carried text become labels over their range; answers the others.
    QList<ZQRangeDrawingStylePtr> migrateAuxiliaryTextStylesToLabels(const QList<ZQRangeDrawingStylePtr>& overlays);

    class Behaviour;

private:
    void storeFields() const;
    void nameUndoStep(const QString& name) const;

    ZQMultiStylePath& m_path;
    TextLabelCollection m_labels;
    QRectF m_boundsBeforeLabelChange;
    // The distance from the range start to where a move began.
    double m_grabOffset = 0;
    std::unique_ptr<PartDrag> m_drag;
};

// The hook the tracks call, installed by registerSymbolClasses().
class PathLabelContainer::Behaviour : public PathTextLabels {
public:
    QRectF labelBounds(const ZQMultiStylePath& path) const override;
    void drawLabels(const ZQMultiStylePath& path, VXDrawingView* view) const override;
    void drawSelectionHighlights(const ZQMultiStylePath& path) const override;
    int partcodeHit(const ZQMultiStylePath& path, QPointF point) const override;
    void mouseDown(ZQMultiStylePath& path, int partcode, QPointF point, QMouseEvent* event) override;
    void mouseDragged(ZQMultiStylePath& path, int partcode, QPointF point, QMouseEvent* event) override;
    QString mouseUp(ZQMultiStylePath& path, int partcode) override;
    void doubleClick(ZQMultiStylePath& path, int partcode) override;
    void addItemsToMenu(ZQMultiStylePath& path, platform::Menu* menu, QPointF point) override;
    std::optional<bool> validateMenuItem(ZQMultiStylePath& path, platform::MenuItem* item) override;
    void performCommand(ZQMultiStylePath& path, const QByteArray& action, QObject* sender) override;
    void pathWasRead(ZQMultiStylePath& path) override;
    void assignLabels(ZQMultiStylePath& from, ZQMultiStylePath& to, double at, double offset) override;
    void reverseLabels(ZQMultiStylePath& path) override;
    void stylesDidChange(ZQMultiStylePath& path) override;
};

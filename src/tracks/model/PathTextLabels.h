#pragma once

// The behaviour of a multi-style path's text labels. The labels belong to a library above
// the tracks: the path keeps their state (TextLabelFields) and calls this interface where its
// own behaviour meets theirs. registerSymbolClasses() installs the implementation; while none
// is installed, paths keep, archive and copy their labels but neither draw nor edit them.
//
// Part codes handed over are the labels' own (4 x index + 1 body or start knob, + 2 end knob,
// + 3 baseline knob); the path reports them as kZQTextLabelPartBase + that code.

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <optional>

class QMouseEvent;
class QObject;
class VXDrawingView;
class ZQMultiStylePath;
namespace platform {
class Menu;
class MenuItem;
} // namespace platform

class PathTextLabels {
public:
    virtual ~PathTextLabels() = default;

    // The installed implementation (not owned), or null.
    static PathTextLabels* installed();
    static void install(PathTextLabels* labels);

    // --- Geometry and drawing ---------------------------------------------------------------
    // Every label's bounds together, hidden ones included; empty without labels.
    virtual QRectF labelBounds(const ZQMultiStylePath& path) const = 0;
    virtual void drawLabels(const ZQMultiStylePath& path, VXDrawingView* view) const = 0;
    // Knobs and baselines of the labels of a selected path, and the selected labels' highlights.
    virtual void drawSelectionHighlights(const ZQMultiStylePath& path) const = 0;

    // --- Hit testing and gestures (the path's lock is checked here) ---------------------------
    // The label part code at the point; 0 for none.
    virtual int partcodeHit(const ZQMultiStylePath& path, QPointF point) const = 0;
    virtual void mouseDown(ZQMultiStylePath& path, int partcode, QPointF point, QMouseEvent* event) = 0;
    virtual void mouseDragged(ZQMultiStylePath& path, int partcode, QPointF point, QMouseEvent* event) = 0;
    // The gesture's undo step name; empty when it changed nothing.
    virtual QString mouseUp(ZQMultiStylePath& path, int partcode) = 0;
    virtual void doubleClick(ZQMultiStylePath& path, int partcode) = 0;

    // --- Menus and commands --------------------------------------------------------------------
    virtual void addItemsToMenu(ZQMultiStylePath& path, platform::Menu* menu, QPointF point) = 0;
    // None for an item that is not a label command.
    virtual std::optional<bool> validateMenuItem(ZQMultiStylePath& path, platform::MenuItem* item) = 0;
    // "newTextLabel", "pasteLabel", "deleteLabels", "toggleLabelsVisible", "selectAllLabels",
    // "deselectAllLabels".
    virtual void performCommand(ZQMultiStylePath& path, const QByteArray& action, QObject* sender) = 0;

    // --- Keeping labels in step with the path ---------------------------------------------------
    // After reading or copying: the labels are adopted, and overlays that only carried text
    // (documents from before path labels) become labels.
    virtual void pathWasRead(ZQMultiStylePath& path) = 0;
    // Labels of `from` starting at or after `at` (in path lengths) move to `to`, moved along
    // by `offset`; with `to` the same path they only move along.
    virtual void assignLabels(ZQMultiStylePath& from, ZQMultiStylePath& to, double at, double offset) = 0;
    // Each label's stretch seen from the other end, after the path's direction turned round.
    virtual void reverseLabels(ZQMultiStylePath& path) = 0;
    // The range styles changed: labels may take their templates again.
    virtual void stylesDidChange(ZQMultiStylePath& path) = 0;
};

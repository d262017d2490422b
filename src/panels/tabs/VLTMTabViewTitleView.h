#pragma once

// The 29-point strip of tab buttons at the top of a side-panel tab view. It paints the buttons
// (the current one last, over the neighbours it overlaps), shows each button's tool tip,
// offers the options, alignment and tab list in its context menu and receives tabs dragged
// from the other sidebar. Presses pass through to the tab view.

#include <QHash>
#include <QPointer>
#include <QRectF>
#include <QWidget>

namespace platform {
class Menu;
}
class EffectAnimation;
class QMimeData;
class VLTMTabView;

class VLTMTabViewTitleView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kStripHeight = 29;

    explicit VLTMTabViewTitleView(VLTMTabView& parentView);
    ~VLTMTabViewTitleView() override;

    VLTMTabView& parentView() const { return m_parentView; }

    // The menu for the strip: options and alignment, then one item per tab when the tab view
    // adds them. The caller owns it.
    platform::Menu* makeMenu();

    // After the tabs changed, buttons slide for a quarter second from where they were shown.
    void glideToNewPlaces();
    // Where the button of the tab at `index` is drawn now: its place, or on its way there.
    QRectF shownRectOfTabAtIndex(qsizetype index) const;

    // Drop handling, shared by the event handlers and the tests. Each answers whether the
    // tab drag is accepted.
    bool tabDragEntered(const QMimeData* data, QObject* source, const QPointF& point);
    bool tabDragMoved(const QMimeData* data, QObject* source, const QPointF& point);
    void tabDragExited();
    bool tabDropped(const QMimeData* data);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool acceptsDrag(const QMimeData* data, QObject* source) const;
    void drawBottomLine(QPainter& painter);

    VLTMTabView& m_parentView;
    QHash<const void*, QRectF> m_shownRects; // keyed by tab, as last painted
    QHash<const void*, QRectF> m_glideStarts; // empty when no glide runs
    double m_glideProgress = 0.0;
    QPointer<EffectAnimation> m_glide;
};

#pragma once

// The widget of a side-panel tab view: the strip of tab buttons across the top and the
// current tab's panel below it. A click selects a tab on release; pressing a tab for half a
// second, or with Ctrl held, picks it up to drag it within the strip or to the other sidebar
// of the same window.

#include <QList>
#include <QPixmap>
#include <functional>
#include <memory>
#include <QPointer>
#include <QRectF>
#include <QWidget>

class QStackedLayout;
class SidebarTabView;
class VLTMTabViewModel;
class VLTMTabViewTitleView;

inline const QString kVLTMTabViewPasteboardType = QStringLiteral("com.veltrum.private.tabview");

class VLTMTabView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDragDelay = 500;

    // A tab view model with its widget, for the side panels of map windows.
    static std::unique_ptr<SidebarTabView> makeSidebarTabView();

    // Becomes the model's widget, which the model deletes.
    explicit VLTMTabView(VLTMTabViewModel& model, QWidget* parent = nullptr);
    ~VLTMTabView() override;

    VLTMTabViewModel& model() const { return *m_model; }
    VLTMTabViewTitleView* titleView() const { return m_strip; }

    // Geometry, in this widget's coordinates.
    QRectF tabsRect() const;
    QRectF rectOfTabAtIndex(qsizetype index) const;
    QList<QRectF> tabRects() const;
    // -1 when no tab holds the point.
    qsizetype indexOfTabContainingPoint(const QPointF& point) const;

    bool allowsTabDragging() const { return m_allowsTabDragging; }
    void setAllowsTabDragging(bool allows) { m_allowsTabDragging = allows; }
    bool dragsLimitedToSameWindow() const { return m_dragsLimitedToSameWindow; }
    void setDragsLimitedToSameWindow(bool limited) { m_dragsLimitedToSameWindow = limited; }
    bool addTabTitlesToMenu() const { return m_addTabTitlesToMenu; }
    void setAddTabTitlesToMenu(bool add) { m_addTabTitlesToMenu = add; }

    // The tab under the press; -1 when none.
    qsizetype trackingIndex() const { return m_trackingIndex; }
    // Picks up the tracked tab and drags it; when the drag ends in no move, the tab goes back
    // to where it was picked up.
    void beginTabDrag();
    // The dragged tab trades places with a neighbour once the point passes its middle.
    void moveCurrentTabWithPoint(const QPointF& point);

    // Runs the drag of a tab from `source` and answers whether it ended in a move; the default
    // runs a QDrag, tests drop the tab where they like.
    using DragRunner = std::function<bool(VLTMTabView& source, const QPixmap& image)>;
    static void setDragRunnerForTesting(DragRunner runner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // The panels are laid out by hand: their widest minimum is passed on, so that a side panel
    // never opens narrower than the controls of its tabs.
    QSize minimumSizeHint() const override;
    bool event(QEvent* event) override;
    void layOutChildren();

private:
    void tabsDidChange();
    void showCurrentPanel();
    void cancelDragStart();
    void endTabDrag(bool moved, qsizetype startIndex);
    // The panel framed in black under the button of the tab at `index`, the size of this view.
    QPixmap dragImageOfTab(qsizetype index);
    bool runDrag(const QPixmap& image);

    VLTMTabViewModel* m_model;
    VLTMTabViewTitleView* m_strip;
    QWidget* m_panelArea;
    QStackedLayout* m_panels;
    qsizetype m_trackingIndex = -1;
    QPointF m_pressPoint;
    bool m_allowsTabDragging = true;
    bool m_dragsLimitedToSameWindow = true;
    bool m_addTabTitlesToMenu = true;
};

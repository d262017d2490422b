#pragma once

// A thin row of icons used as tabs, with single or multiple selection, selection by pressing
// and dragging across the icons and a tool tip per icon. Every change the user makes sends
// the control's action and then tells the delegate (its invokable tabBarChangedSelection(bar),
// when it has one). With the focus, the arrow keys move the selection and Space toggles it.

#include "widgets/controls/ControlAction.h"

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <set>

class XQIconTabBar;

class XQIconTabBarItem : public QObject {
    Q_OBJECT

public:
    XQIconTabBarItem(const QImage& icon, const QString& tooltip);
    static std::shared_ptr<XQIconTabBarItem> itemWithIconTooltip(const QImage& icon, const QString& tooltip);

    QImage icon() const { return m_icon; }
    // A different icon redraws the bar.
    void setIcon(const QImage& icon);
    QString tooltip() const { return m_tooltip; }
    void setTooltip(const QString& tooltip) { m_tooltip = tooltip; }
    XQIconTabBar* tabBar() const { return m_tabBar; }
    void setTabBar(XQIconTabBar* bar) { m_tabBar = bar; }

private:
    QImage m_icon;
    QString m_tooltip;
    QPointer<XQIconTabBar> m_tabBar;
};

class XQIconTabBar : public QWidget, public ControlAction {
    Q_OBJECT

public:
    using Item = std::shared_ptr<XQIconTabBarItem>;
    using IndexSet = std::set<int>;
    static constexpr int kNotFound = -1;
    static constexpr double startX = 4.0;

    explicit XQIconTabBar(QWidget* parent = nullptr);

    const QList<Item>& items() const { return m_items; }
    // Selects the first item when nothing is selected.
    void setItems(const QList<Item>& items);
    XQIconTabBarItem* itemAtX(double x) const;
    int indexOfItem(const XQIconTabBarItem* item) const;

    double itemWidth() const { return m_itemWidth; }
    void setItemWidth(double width);
    bool multipleSelection() const { return m_multipleSelection; }
    // Switching it off keeps only the first selected index.
    void setMultipleSelection(bool multiple);
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    XQIconTabBarItem* selectedItem() const;
    int selectedIndex() const;
    QList<XQIconTabBarItem*> selectedItems() const;
    IndexSet selectedIndexes() const { return m_selectedIndexes; }

    void selectIndexesByExtendingSelection(const IndexSet& indexes, bool extend);
    void selectIndex(int index);
    void selectItem(XQIconTabBarItem* item);
    void deselectIndexes(const IndexSet& indexes);
    void deselectIndex(int index);
    void deselectItem(XQIconTabBarItem* item);
    void deselectAll();
    void selectAll();

    // Sends the action, then tells the delegate.
    void notify();

    // Where item `index` lies: its left edge and its tab rectangle.
    double itemX(int index) const { return startX + index * m_itemWidth; }
    QRectF itemRect(int index) const;

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool isSelected(const XQIconTabBarItem* item) const;
    void drawSelection(QPainter& painter, int index, bool key) const;

    IndexSet m_selectedIndexes;
    XQIconTabBarItem* m_pressedItem = nullptr;
    bool m_firstItemWasSelected = false;
    bool m_dragging = false;
    bool m_multipleSelection = false;
    QList<Item> m_items;
    double m_itemWidth = 32.0;
    QPointer<QObject> m_delegate;
};

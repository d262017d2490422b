#include "../ActionRecorder.h"
#include "support/LogCapture.h"
#include "widgets/tabs/XQIconTabBar.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

class TabBarDelegate : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE void tabBarChangedSelection(XQIconTabBar*) { ++changes; }
    int changes = 0;
};

QList<XQIconTabBar::Item> items(int count)
{
    QList<XQIconTabBar::Item> list;
    for (int i = 0; i < count; ++i) {
        QImage icon(16, 16, QImage::Format_ARGB32_Premultiplied);
        icon.fill(Qt::darkBlue);
        list << XQIconTabBarItem::itemWithIconTooltip(icon, QStringLiteral("tab %1").arg(i));
    }
    return list;
}

QPoint centreOf(const XQIconTabBar& bar, int index)
{
    return QPoint(int(bar.itemX(index) + bar.itemWidth() / 2), 10);
}

} // namespace

TEST(IconTabBar, SelectionRules)
{
    XQIconTabBar bar;
    EXPECT_EQ(bar.selectedIndex(), XQIconTabBar::kNotFound);
    bar.setItems(items(3));
    EXPECT_EQ(bar.selectedIndex(), 0) << "a bar given items selects the first";
    EXPECT_EQ(bar.items()[1]->tabBar(), &bar);
    EXPECT_EQ(bar.itemAtX(3.9), nullptr);
    EXPECT_EQ(bar.itemAtX(4 + 32 * 2 + 1), bar.items()[2].get());
    EXPECT_EQ(bar.itemAtX(4 + 32 * 3), nullptr);

    bar.selectIndexesByExtendingSelection({1, 2}, false);
    EXPECT_EQ(bar.selectedIndexes(), XQIconTabBar::IndexSet{1}) << "single selection takes the first";
    {
        testsupport::LogCapture log;
        bar.selectIndexesByExtendingSelection({}, true);
        bar.deselectIndexes({});
        EXPECT_TRUE(log.contains("Selection indexset empty."));
        EXPECT_TRUE(log.contains("Deselection indexset empty."));
    }
    bar.setMultipleSelection(true);
    bar.selectIndexesByExtendingSelection({0, 2}, true);
    EXPECT_EQ(bar.selectedIndexes(), (XQIconTabBar::IndexSet{0, 1, 2}));
    bar.deselectAll();
    bar.selectAll();
    EXPECT_EQ(bar.selectedItems().size(), 3) << "every item, the last included";
    bar.setMultipleSelection(false);
    EXPECT_EQ(bar.selectedIndexes(), XQIconTabBar::IndexSet{0});
}

TEST(IconTabBar, PressAndDragSelectsAndNotifies)
{
    ActionRecorder target;
    TabBarDelegate delegate;
    XQIconTabBar bar;
    bar.resize(200, 24);
    bar.setItems(items(4));
    bar.setTarget(&target);
    bar.setAction("changeAction");
    bar.setDelegate(&delegate);

    // Single selection: a drag moves the one selection, notifying once per item entered.
    QTest::mousePress(&bar, Qt::LeftButton, {}, centreOf(bar, 1));
    QTest::mouseMove(&bar, centreOf(bar, 2));
    QTest::mouseMove(&bar, centreOf(bar, 2) + QPoint(3, 0));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, centreOf(bar, 2));
    EXPECT_EQ(bar.selectedIndexes(), XQIconTabBar::IndexSet{2});
    EXPECT_EQ(target.actions, 2);
    EXPECT_EQ(delegate.changes, 2);

    // Multiple selection: pressing a selected item and dragging over neighbours deselects them all.
    bar.setMultipleSelection(true);
    bar.selectIndexesByExtendingSelection({1, 2, 3}, false);
    QTest::mousePress(&bar, Qt::LeftButton, {}, centreOf(bar, 2));
    QTest::mouseMove(&bar, centreOf(bar, 1));
    QTest::mouseMove(&bar, centreOf(bar, 3));
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, centreOf(bar, 3));
    EXPECT_TRUE(bar.selectedIndexes().empty());

    // Beside the items nothing happens.
    const int actions = target.actions;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(2, 10));
    EXPECT_EQ(target.actions, actions);

    // Keys: arrows move the selection, Space toggles it off in multiple mode.
    bar.selectIndexesByExtendingSelection({1}, false);
    QTest::keyClick(&bar, Qt::Key_Right);
    EXPECT_EQ(bar.selectedIndexes(), XQIconTabBar::IndexSet{2});
    QTest::keyClick(&bar, Qt::Key_Space);
    EXPECT_TRUE(bar.selectedIndexes().empty());
    EXPECT_EQ(target.actions, actions + 2);
}

#include "IconTabBarTests.moc"

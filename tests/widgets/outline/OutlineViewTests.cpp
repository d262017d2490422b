#include "widgets/outline/IndexRuns.h"
#include "widgets/outline/VLTMCustomHighlightOutlineView.h"
#include "widgets/paint/ApplicationColours.h"

#include <QApplication>
#include <QStandardItemModel>
#include <gtest/gtest.h>

namespace {

struct Outline {
    QStandardItemModel model;
    VLTMCustomHighlightOutlineView view;

    explicit Outline(int rows)
    {
        for (int i = 0; i < rows; ++i)
            model.appendRow(new QStandardItem(QStringLiteral("row %1").arg(i)));
        view.setModel(&model);
        view.setHeaderHidden(true);
        view.resize(200, 400);
    }
    void select(std::initializer_list<int> rows)
    {
        view.selectionModel()->clear();
        for (int row : rows)
            view.selectionModel()->select(model.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QRect rowRect(int row) { return view.visualRect(model.index(row, 0)); }
};

} // namespace

TEST(IndexRuns, RunsAndBisection)
{
    EXPECT_EQ(indexRuns({5, 2, 3, 3, 4, 9}), (std::vector<IndexRun>{{2, 5}, {9, 9}}));
    EXPECT_TRUE(indexRuns({}).empty());
    const std::vector<IndexRun> runs{{0, 0}, {2, 4}, {8, 8}, {10, 20}};
    const auto [begin, end] = runsMeeting(runs, 3, 9);
    EXPECT_EQ(std::vector<IndexRun>(begin, end), (std::vector<IndexRun>{{2, 4}, {8, 8}}));
    const auto [none, noneEnd] = runsMeeting(runs, 5, 7);
    EXPECT_EQ(none, noneEnd);
}

TEST(CustomHighlightOutline, OneGradientPerRunOfSelectedRows)
{
    Outline outline(10);
    outline.view.show();
    EXPECT_EQ(outline.view.focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(outline.view.selectedRuns().empty());

    outline.select({2, 3, 4});
    ASSERT_EQ(outline.view.selectedRuns(), (std::vector<IndexRun>{{2, 4}}));
    const QRect area = outline.view.areaOfRun({2, 4});
    EXPECT_EQ(area.top(), outline.rowRect(2).top());
    EXPECT_EQ(area.bottom(), outline.rowRect(4).bottom());

    // Each row shows its slice of the one gradient: darkest at the run's bottom, lightest at its top.
    const QImage image = outline.view.viewport()->grab().toImage();
    const auto shade = [&](int y) { return image.pixelColor(150, y).lightnessF(); };
    const QColor top = VLTMSelectedTableRowGradient().endingColour();
    EXPECT_NEAR(shade(area.top() + 1), top.lightnessF(), 0.02);
    EXPECT_LT(shade(area.bottom() - 1), shade(area.top() + 1));
    EXPECT_LT(shade(outline.rowRect(4).center().y()), shade(outline.rowRect(2).center().y()));
    EXPECT_NE(image.pixelColor(150, outline.rowRect(6).center().y()), image.pixelColor(150, outline.rowRect(3).center().y()));

    outline.select({2, 5});
    EXPECT_EQ(outline.view.selectedRuns(), (std::vector<IndexRun>{{2, 2}, {5, 5}}));
    EXPECT_EQ(outline.view.areaOfRun({5, 5}).height(), outline.rowRect(5).height());

    // Rows beyond the count are ignored.
    outline.view.invalidateCustomRowsAtIndexes({3, 4, 500, -1});
    QApplication::processEvents();
}

TEST(CustomHighlightOutline, ChildrenCountInDisplayOrder)
{
    Outline outline(3);
    auto* parent = outline.model.item(0);
    parent->appendRow(new QStandardItem("child a"));
    parent->appendRow(new QStandardItem("child b"));
    outline.view.expand(parent->index());
    EXPECT_EQ(outline.view.displayRowOf(outline.model.index(1, 0)), 3);
    outline.view.selectionModel()->select(parent->child(1)->index(), QItemSelectionModel::Select);
    outline.view.selectionModel()->select(outline.model.index(1, 0), QItemSelectionModel::Select);
    EXPECT_EQ(outline.view.selectedRuns(), (std::vector<IndexRun>{{2, 3}}));
    outline.view.collapse(parent->index());
    EXPECT_EQ(outline.view.selectedRuns(), (std::vector<IndexRun>{{1, 1}})) << "hidden children drop out";
}

// What one paint of a large selection measures once and reads again: a layer's selected
// objects found and highlighted in one walk, the knob boxes the tool's rotation knobs reuse,
// and the bounds a path keeps of its path. Each must follow the objects as they change.

#include "platform/vantrix/view/ViewTestSupport.h"

#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/model/VXObjectDrawingLayer.h"
#include "platform/vantrix/view/DrawnKnobBoxes.h"
#include "support/TestSupport.h"

#include <QImage>

using namespace viewtest;

namespace {

bool sameBox(const std::optional<platform::KnobBox>& box, const platform::KnobBox& expected)
{
    return box && box->box == expected.box && box->angle == expected.angle;
}

// The view's pixels with `line` alone selected under the selection tool.
QImage shownSelected(ViewFixture& f, const VXDrawableObjectPtr& line)
{
    f.layer->replaceSelectionWithObject(line);
    f.view.finishRendering();
    return f.view.viewport()->grab().toImage();
}

} // namespace

TEST(KnobBoxKeeping, KeptBoxesComeBackOnlyInTheOrderEachLayerKeptThem)
{
    EXPECT_EQ(platform::DrawnKnobBoxes::current(), nullptr) << "nothing is kept outside a paint";
    const auto a = std::make_shared<VXObjectDrawingLayer>();
    const auto b = std::make_shared<VXObjectDrawingLayer>();
    const VXDrawableObjectPtr first = lineFrom({0, 0}, {1, 1}), second = lineFrom({5, 5}, {1, 2}),
                              other = lineFrom({9, 9}, {3, 1});
    const platform::KnobBox one{{0, 0, 1, 1}, 0}, two{{5, 5, 1, 2}, 0.5}, three{{9, 9, 3, 1}, 0};
    {
        platform::DrawnKnobBoxes kept;
        EXPECT_EQ(platform::DrawnKnobBoxes::current(), &kept);
        kept.add(a.get(), *first, one);
        kept.add(b.get(), *other, three);
        kept.add(a.get(), *second, two);
        EXPECT_FALSE(kept.boxOf(a.get(), *second)) << "asked for out of turn";
        EXPECT_FALSE(kept.boxOf(b.get(), *first)) << "another layer's";
        EXPECT_TRUE(sameBox(kept.boxOf(a.get(), *first), one));
        EXPECT_TRUE(sameBox(kept.boxOf(b.get(), *other), three));
        EXPECT_TRUE(sameBox(kept.boxOf(a.get(), *second), two));
        EXPECT_FALSE(kept.boxOf(a.get(), *second)) << "each box is given once";
        {
            const platform::DrawnKnobBoxes inner;
            EXPECT_EQ(platform::DrawnKnobBoxes::current(), &inner);
        }
        EXPECT_EQ(platform::DrawnKnobBoxes::current(), &kept);
    }
    EXPECT_EQ(platform::DrawnKnobBoxes::current(), nullptr);
}

TEST(KnobBoxKeeping, AViewsListsOutliveAPaintOnlyWhileThatPaintKeptBoxesInThem)
{
    const auto layer = std::make_shared<VXObjectDrawingLayer>();
    QList<VXDrawableObjectPtr> lines;
    for (int i = 0; i < 1000; ++i)
        lines.append(lineFrom({double(i), 0}, {1, 1}));
    layer->addObjectsFromArray(lines);
    const platform::KnobBox first{{0, 0, 1, 1}, 0}, moved{{5, 5, 1, 1}, 0.25};
    platform::KnobBoxLists lists;
    {
        platform::DrawnKnobBoxes kept(lists);
        for (const VXDrawableObjectPtr& line : lines)
            kept.add(layer.get(), *line, first);
    }
    const size_t full = lists.bytesKept();
    EXPECT_GE(full, lines.size() * sizeof(platform::KnobBox));
    {
        platform::DrawnKnobBoxes kept(lists);
        EXPECT_EQ(lists.bytesKept(), 0u) << "taken by the paint under way";
        kept.add(layer.get(), *lines[5], moved);
        EXPECT_FALSE(kept.boxOf(layer.get(), *lines[0])) << "the last paint's boxes are gone";
        EXPECT_TRUE(sameBox(kept.boxOf(layer.get(), *lines[5]), moved));
    }
    EXPECT_EQ(lists.bytesKept(), full) << "the same memory, not made again";
    {
        const platform::DrawnKnobBoxes nothingSelectedShown(lists);
    }
    EXPECT_EQ(lists.bytesKept(), 0u);
}

TEST(KnobBoxKeeping, ALayerVisitsWhatItDrawsHighlightedInOrderFoundOrKept)
{
    ViewFixture f;
    const QList<VXDrawableObjectPtr> lines{lineFrom({10, 10}, {5, 5}), lineFrom({150, 150}, {5, 5}),
                                           lineFrom({20, 30}, {4, 1}), lineFrom({30, 20}, {1, 4})};
    f.layer->addObjectsFromArray(lines);
    f.layer->selectAll();
    lines[3]->setVisible(false);
    const QRectF area(0, 0, 60, 60); // the second line's knobs stay clear of it
    const QList<const VXDrawableObject*> expected{lines[0].get(), lines[2].get()};
    QList<QList<const VXDrawableObject*>> visits, answers;
    const auto ask = [&] {
        QList<const VXDrawableObject*> visited;
        answers.append(f.layer->objectsDrawnAsSelectedInRect(
            area, &f.view, [&](const VXDrawableObject& object) { visited.append(&object); }));
        visits.append(visited);
    };
    const auto owner = std::make_unique<QObject>();
    f.view.setOverlay(owner.get(), [&](QPainter&, const QRectF&) {
        ask(); // the layer found them earlier in this paint
        ask();
    });
    f.view.viewport()->grab();
    ask(); // outside a paint, found afresh
    using Lists = QList<QList<const VXDrawableObject*>>;
    EXPECT_EQ(visits, Lists({expected, expected, expected}));
    EXPECT_EQ(answers, Lists({expected, expected, expected}));
}

TEST(KnobBoxKeeping, APathsKeptBoundsAndItsKnobsFollowItsEdits)
{
    // Shown selected, moved, turned and undone: the bounds and the knobs drawn over the line
    // are those of a line made where it ends up.
    ViewFixture f;
    f.useTool(kVXStandardSelectionToolName);
    const VXDrawablePathPtr line = lineFrom({40, 50}, {30, 10});
    f.layer->addObject(line);
    f.forgetEdits();
    const QImage before = shownSelected(f, line);
    EXPECT_EQ(line->logicalBounds(), QRectF(40, 50, 30, 10));

    line->applyTransform(QTransform::fromTranslate(25, 35));
    f.endStep();
    EXPECT_EQ(line->logicalBounds(), QRectF(65, 85, 30, 10));
    const QImage moved = shownSelected(f, line);
    {
        ViewFixture fresh;
        fresh.useTool(kVXStandardSelectionToolName);
        fresh.layer->setSelectionColour(f.layer->selectionColour());
        const VXDrawablePathPtr there = lineFrom({65, 85}, {30, 10});
        fresh.layer->addObject(there);
        EXPECT_EQ(moved, shownSelected(fresh, there)) << "the knobs follow the moved line";
    }

    line->rotateByAngle(M_PI / 2);
    f.endStep();
    expectRectNear(line->logicalBounds(), QRectF(75, 75, 10, 30));

    f.undo->undo();
    f.undo->undo();
    EXPECT_EQ(line->logicalBounds(), QRectF(40, 50, 30, 10));
    EXPECT_EQ(shownSelected(f, line), before) << "and come back with the undone edits";
}

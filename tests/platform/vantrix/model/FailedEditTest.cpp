// Edits of many objects that run out of memory part way, at each report of their progress
// (where the progress window paints), are taken back whole: the map, its selection, the undo
// stack and the change count as they were, and later edits undoable and counted.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/foundation/WholeEdit.h"
#include "platform/vantrix/view/ObjectLayerEditing.h"
#include "support/EditProgressRecorder.h"

#include <tuple>

using namespace drawingtest;
using platform::ObjectLayerEditing;

namespace {

// Each object in stacking order with its style, bounds and whether it is selected.
using MapState = QList<std::tuple<const VXDrawableObject*, const VXStyle*, QRectF, bool>>;

// Overlapping squares, all selected, more than a report interval of them; the clipboard holds
// them, and an earlier edit is on the undo stack.
struct ManySquares : Fixture {
    VXDrawableObjectPtr earlier = square(100);

    static VXDrawableObjectPtr square(double at)
    {
        QPainterPath outline;
        outline.addRect(QRectF(at, at, 50, 50));
        return VXDrawablePath::drawablePathWithBezierPathWithStyle(platform::BezierPath(outline), fillStyle(Qt::blue));
    }
    ManySquares()
    {
        QList<VXDrawableObjectPtr> squares;
        for (int i = 0; i < 300; ++i)
            squares.append(square(i * 0.1));
        layer->addObjectsFromArray(squares);
        undo->removeAllActions();
        layer->editWithSelectionUndo(QStringLiteral("Earlier"), [&] { layer->addObject(earlier); });
        layer->exchangeSelectionWithObjectsFromArray(squares);
        ObjectLayerEditing(drawing.get()).copy();
        endStep();
    }
    MapState state() const
    {
        MapState state;
        for (const VXDrawableObjectPtr& object : layer->objects())
            state.append({object.get(), object->style().get(), object->bounds(), layer->isSelectedObject(object.get())});
        return state;
    }
};

struct NamedEdit {
    const char* name;
    std::function<void(ManySquares&)> run;
};

void PrintTo(const NamedEdit& edit, std::ostream* out)
{
    *out << edit.name;
}

using Conversion = ObjectLayerEditing::Conversion;
const NamedEdit kEdits[] = {
    {"Union", [](ManySquares& f) { f.layer->unionSelectedObjects(); }},
    {"Intersection", [](ManySquares& f) { f.layer->intersectionSelectedObjects(); }},
    {"Combine", [](ManySquares& f) { f.layer->combineSelectedObjects(); }},
    {"Difference", [](ManySquares& f) { f.layer->diffSelectedObjects(); }},
    {"Divide", [](ManySquares& f) { f.layer->cookieCutterSelectedObjects(); }},
    {"ConvertToShape", [](ManySquares& f) { ObjectLayerEditing(f.drawing.get()).convertSelection(Conversion::ToShape); }},
    {"Paste", [](ManySquares& f) { ObjectLayerEditing(f.drawing.get()).paste(); }},
    {"Duplicate", [](ManySquares& f) { ObjectLayerEditing(f.drawing.get()).duplicate(); }},
    {"Delete", [](ManySquares& f) { ObjectLayerEditing(f.drawing.get()).deleteSelection(); }},
    {"Cut", [](ManySquares& f) { ObjectLayerEditing(f.drawing.get()).cut(); }},
    {"ApplyStyle", [](ManySquares& f) { f.layer->applyStyle(fillStyle(Qt::red)); }},
};

class FailedEdit : public ::testing::TestWithParam<NamedEdit> {};

} // namespace

TEST_P(FailedEdit, IsTakenBackWholeAtEachReportAndLeavesUndoAndTheChangeCountWorking)
{
    int reports = 0;
    {
        ManySquares f;
        const MapState before = f.state();
        testsupport::FailingEditProgress counting(-1);
        GetParam().run(f);
        reports = counting.reports;
        ASSERT_NE(f.state(), before) << "the edit changed nothing";
    }
    ASSERT_GE(reports, 2);
    for (int at = 0; at < reports; ++at) {
        SCOPED_TRACE(at);
        ManySquares f;
        const MapState before = f.state();
        NotificationRecorder changes(ZQUndoManagerDidCloseTopLevelGroup, f.undo.get());
        try {
            testsupport::FailingEditProgress failing(at);
            GetParam().run(f);
        } catch (const platform::EditNotDone& failure) {
            EXPECT_TRUE(failure.isUndone() && failure.ranOutOfMemory());
        } catch (const std::exception&) {
            // reading or copying the objects failed: nothing to add, before the edit
        }
        EXPECT_EQ(f.undo->groupingLevel(), 0);
        f.endStep();
        EXPECT_TRUE(f.state() == before);
        EXPECT_EQ(f.undo->numberOfUndoActions(), 1);
        EXPECT_EQ(f.undo->numberOfRedoActions(), 0);
        EXPECT_TRUE(changes.received.isEmpty());

        // A later edit is counted and undone on its own, then the earlier one.
        const VXDrawableObjectPtr first = f.layer->objectInObjectsAtIndex(0);
        f.layer->editWithSelectionUndo(QStringLiteral("Later"), [&] { f.layer->removeObject(first.get()); });
        EXPECT_EQ(changes.received.size(), 1);
        f.undo->undo();
        EXPECT_TRUE(f.state() == before);
        f.undo->undo();
        EXPECT_FALSE(f.layer->containsObject(f.earlier.get()));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryBatchedEdit, FailedEdit, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<NamedEdit>& info) { return std::string(info.param.name); });

// What the edits that take seconds on a large map report while they run: Delete and its undo,
// each one batch, and a change to a style that thousands of objects share.

#include "platform/vantrix/DrawingTestSupport.h"

#include "platform/foundation/EditProgress.h"
#include "platform/vantrix/styles/VXStroke.h"
#include "platform/vantrix/view/ObjectLayerEditing.h"
#include "support/EditProgressRecorder.h"

#include <QThread>
#include <vector>

using namespace drawingtest;
using platform::EditProgress;

namespace {

using RecordingPresenter = testsupport::EditProgressRecorder;

struct ManyLines : Fixture {
    VXStylePtr shared = strokeStyle(Qt::black, 1);
    QList<VXDrawableObjectPtr> lines;

    ManyLines()
    {
        for (int i = 0; i < 2000; ++i) {
            platform::BezierPath path;
            path.moveToPoint({double(i % 100), double(i / 100)});
            path.lineToPoint({i % 100 + 0.5, i / 100 + 0.5});
            lines.append(VXDrawablePath::drawablePathWithBezierPathWithStyle(path, shared));
        }
        layer->addObjectsFromArray(lines);
        layer->selectAll();
        undo->removeAllActions();
    }
};

} // namespace

TEST(LongEditProgress, DeleteAndItsUndoAndRedoReportPartWayThroughTheirOneBatch)
{
    ManyLines f;
    RecordingPresenter presenter;
    platform::ObjectLayerEditing(f.drawing.get()).deleteSelection();
    f.endStep();
    EXPECT_GE(presenter.partWay(), 2);
    for (const auto step : {&ZQUndoManager::undo, &ZQUndoManager::redo}) {
        presenter.fractions.clear();
        (f.undo.get()->*step)();
        EXPECT_GE(presenter.partWay(), 2);
        EXPECT_TRUE(std::is_sorted(presenter.fractions.begin(), presenter.fractions.end()));
        EXPECT_EQ(presenter.fractions.back(), 1.0);
    }
    EXPECT_EQ(f.layer->countOfObjects(), 0);
    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), f.lines);
}

TEST(LongEditProgress, AStyleSharedByThousandsReportsAsItTellsThemAndAWorkerStaysSilent)
{
    ManyLines f;
    RecordingPresenter presenter;
    f.shared->renderersOfClass<VXStroke>().first()->setWidth(3);
    EXPECT_GE(presenter.partWay(), 4);
    EXPECT_TRUE(presenter.events.contains(QStringLiteral("begin Restyle Objects")));

    // A style changed on a worker (an import building its map) reports nothing, and leaves
    // the main thread's edit as it was.
    presenter.fractions.clear();
    presenter.events.clear();
    {
        EditProgress::Scope edit(QStringLiteral("Edit"), 2);
        QThread* worker = QThread::create([] {
            const VXStylePtr own = strokeStyle(Qt::red, 1);
            EditProgress::Scope silent(QStringLiteral("Worker"), 1);
            silent.longStep();
            own->renderersOfClass<VXStroke>().first()->setWidth(2);
        });
        worker->start();
        worker->wait();
        delete worker;
        edit.longStep();
    }
    EXPECT_EQ(presenter.events, (QStringList{"begin Edit", "end"}));
    EXPECT_EQ(presenter.fractions, (std::vector<double>{0.5}));
}

TEST(LongEditProgress, AFlipAndAnAlignmentOfThousandsReportPartWayAndAskTheViewsToRedrawOnce)
{
    ManyLines f;
    int redraws = 0;
    QObject::connect(f.drawing.get(), &VXDrawing::needsDisplayInRect, [&](const QRectF&, bool liveOnly) {
        if (!liveOnly)
            ++redraws;
    });
    const QRectF firstBefore = f.lines.first()->bounds();
    const auto edits = std::vector<std::pair<QString, std::function<void()>>>{
        {QStringLiteral("Flip Horizontally"), [&] { platform::ObjectLayerEditing(f.drawing.get()).flip(Qt::Horizontal); }},
        {QStringLiteral("Align Left Edges"), [&] { f.layer->alignLeftEdges(); }},
    };
    for (const auto& [name, edit] : edits) {
        RecordingPresenter presenter;
        redraws = 0;
        edit();
        f.endStep();
        EXPECT_EQ(presenter.events.value(0), QStringLiteral("begin %1").arg(name));
        EXPECT_GE(presenter.partWay(), 4) << name.toStdString();
        EXPECT_EQ(redraws, 1) << name.toStdString();
    }
    // The alignment moved every line to the left edge of them all, the first one included.
    EXPECT_DOUBLE_EQ(f.lines.last()->bounds().left(), firstBefore.left());
    f.undo->undo();
    f.undo->undo();
    EXPECT_EQ(f.lines.first()->bounds(), firstBefore);
}

TEST(LongEditProgress, ADuplicateOfThousandsReportsAsItCopiesAndAddsThem)
{
    ManyLines f;
    RecordingPresenter presenter;
    platform::ObjectLayerEditing(f.drawing.get()).duplicate();
    f.endStep();
    EXPECT_EQ(presenter.events, QStringList({QStringLiteral("begin Duplicate"), QStringLiteral("end")}));
    EXPECT_GE(presenter.partWay(), 4);
    ASSERT_EQ(f.layer->countOfObjects(), 2 * f.lines.size());
    EXPECT_EQ(f.layer->countOfSelection(), f.lines.size());
    EXPECT_EQ(f.layer->objectInObjectsAtIndex(f.lines.size() + 7)->bounds(), f.lines[7]->bounds().translated(10, 10));
}

TEST(LongEditProgress, ACopyAndACutOfThousandsReportAsTheyArchive)
{
    ManyLines f;
    RecordingPresenter presenter;
    platform::ObjectLayerEditing editing(f.drawing.get());
    editing.copy();
    EXPECT_EQ(presenter.events, QStringList({QStringLiteral("begin Copy"), QStringLiteral("end")}));
    EXPECT_GE(presenter.partWay(), 2);
    EXPECT_EQ(presenter.fractions.back(), 1.0);
    presenter.events.clear();
    presenter.fractions.clear();
    editing.cut();
    f.endStep();
    EXPECT_EQ(presenter.events, QStringList({QStringLiteral("begin Cut"), QStringLiteral("end")}));
    EXPECT_TRUE(std::is_sorted(presenter.fractions.begin(), presenter.fractions.end()));
    EXPECT_GE(presenter.partWay(), 2);
    EXPECT_EQ(f.layer->countOfObjects(), 0);
}

TEST(LongEditProgress, AConversionOfThousandsReportsAndPutsEachReplacementInItsOriginalsPlace)
{
    ManyLines f;
    QList<VXDrawableObjectPtr> everyOther;
    for (qsizetype i = 0; i < f.lines.size(); i += 2)
        everyOther.append(f.lines[i]);
    f.layer->exchangeSelectionWithObjectsFromArray(everyOther);
    f.endStep();
    RecordingPresenter presenter;
    platform::ObjectLayerEditing(f.drawing.get()).convertSelection(platform::ObjectLayerEditing::Conversion::ToShape);
    f.endStep();
    EXPECT_EQ(presenter.events.value(0), QStringLiteral("begin Convert To Shape"));
    EXPECT_GE(presenter.partWay(), 4);
    ASSERT_EQ(f.layer->countOfObjects(), f.lines.size());
    for (qsizetype i = 0; i < f.lines.size(); ++i) {
        const VXDrawableObjectPtr object = f.layer->objectInObjectsAtIndex(int(i));
        if (i % 2) {
            EXPECT_EQ(object, f.lines[i]);
        } else {
            EXPECT_TRUE(qobject_cast<VXDrawableShape*>(object.get())) << i;
            EXPECT_EQ(object->bounds(), f.lines[i]->bounds());
        }
    }
    EXPECT_EQ(f.layer->countOfSelection(), everyOther.size());
    f.undo->undo();
    EXPECT_EQ(f.layer->objects(), f.lines);
}

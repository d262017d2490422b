#include "style_editor/StyleEditorTesting.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/vantrix/tools/VXToolController.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "style_editor/dropper/VXQStylePickUpTool.h"
#include "style_editor/swatch/StyleDragging.h"
#include "style_editor/swatch/VXQStyleImageView.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace styleeditortest;

namespace {

// Counts the actions a control sends.
class ActionTarget : public QObject {
    Q_OBJECT
public:
    int received = 0;
    Q_INVOKABLE void takeStyle(QObject*) { ++received; }
};

TEST(StyleSwatch, RefreshesOnStyleChangesAndTakesOnlyForeignStyleDrops)
{
    VXQStyleImageView view;
    view.resize(64, 64);
    const VXStylePtr style = styleOf({std::make_shared<VXFill>()});
    view.setStyle(style);
    const QImage before = view.image();
    ASSERT_FALSE(before.isNull());
    style->setFillColour(Qt::red);
    EXPECT_NE(view.image(), before);
    EXPECT_EQ(view.image(), style->image());

    ActionTarget target;
    view.setTarget(&target);
    view.setAction("takeStyle");
    const VXStylePtr other = styleOf({std::make_shared<VXStroke>()}, QStringLiteral("Other"));
    QMimeData data;
    other->copyToPasteboard(&data);
    // Its own drag is refused, whatever it carries.
    EXPECT_FALSE(view.canAcceptDropFromSource(&data, &view));
    EXPECT_FALSE(view.performDropFromSource(&data, &view));
    EXPECT_EQ(view.style(), style);
    // Damaged data is refused and the action not sent.
    QMimeData damaged;
    damaged.setData(kVXStylePasteboardType, QByteArray("not an archive"));
    EXPECT_TRUE(view.canAcceptDropFromSource(&damaged, nullptr));
    EXPECT_FALSE(view.performDropFromSource(&damaged, nullptr));
    EXPECT_EQ(target.received, 0);
    EXPECT_TRUE(view.performDropFromSource(&data, nullptr));
    ASSERT_TRUE(view.style());
    EXPECT_EQ(view.style()->name(), QStringLiteral("Other"));
    EXPECT_EQ(target.received, 1);
    view.setStyle(nullptr);
    EXPECT_TRUE(view.image().isNull());
}

TEST(StyleSwatch, DragsCarryTheStyleWithItsImageCentredAndTheRightSource)
{
    const VXStylePtr style = styleOf({std::make_shared<VXFill>()});
    VXQStyleImageView swatch;
    const QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
    std::unique_ptr<QDrag> drag(StyleDragging::makeDragOfStyleOrSymbol(&swatch, style, &press));
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->source(), &swatch);
    EXPECT_EQ(VXStyle::styleFromPasteboard(drag->mimeData())->uniqueKey(), style->uniqueKey());
    const QSizeF imageSize = drag->pixmap().deviceIndependentSize();
    EXPECT_EQ(drag->hotSpot(), QPoint(qRound(imageSize.width() / 2), qRound(imageSize.height() / 2)));

    // A view that is no dragging source passes none; a given source wins.
    QWidget plain;
    std::unique_ptr<QDrag> fromPlain(StyleDragging::makeDragOfStyleOrSymbol(&plain, style, &press));
    EXPECT_NE(fromPlain->source(), &plain);
    QObject given;
    std::unique_ptr<QDrag> fromGiven(StyleDragging::makeDragOfStyleOrSymbol(&plain, style, &press, &given));
    EXPECT_EQ(fromGiven->source(), &given);
}

TEST(StyleDropper, PicksUpThenAppliesOneUndoStepPerClick)
{
    EditorFixture f;
    const VXStylePtr red = styleOf({std::make_shared<VXFill>()}, QStringLiteral("Red"));
    const VXStylePtr blue = styleOf({std::make_shared<VXFill>(), std::make_shared<VXStroke>()}, QStringLiteral("Blue"));
    const VXDrawableObjectPtr source = f.addShape(red, QRectF(20, 20, 40, 40));
    const VXDrawableObjectPtr first = f.addShape(blue, QRectF(120, 20, 40, 40));
    const VXDrawableObjectPtr second = f.addShape(blue, QRectF(220, 20, 40, 40));
    f.endStep();
    f.undo.removeAllActions();

    VXDrawingView view;
    view.setFrameShape(QFrame::NoFrame);
    view.resize(500, 500);
    view.setDrawing(f.drawing);
    view.show();
    const auto tool = VXQStylePickUpTool::make();
    EXPECT_EQ(tool->keyboardEquivalent(), QStringLiteral("d"));
    EXPECT_EQ(tool->supportedLibraryItemKind(), 1);
    view.toolController()->setDrawingTool(tool);
    view.toolController()->setAutomaticallyRevertsToSelectionTool(false);
    int changes = 0;
    QObject receiver;
    platform::NotificationCenter::defaultCenter().addObserver(&receiver, kVXQStylePickUpToolDidChangeStyle, tool.get(),
                                                              [&](const platform::Notification&) { ++changes; });
    const auto click = [&](QPointF point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, view.convertPointFromDrawing(point).toPoint());
        f.endStep();
    };

    click({40, 40});
    EXPECT_EQ(tool->style(), red);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(f.undo.canUndo());
    // The clicked object is selected, so the Style tab shows what was picked.
    EXPECT_EQ(f.layer->selection(), QList<VXDrawableObjectPtr>{source});
    EXPECT_EQ(f.editor->style(), red);

    click({140, 40});
    click({240, 40});
    EXPECT_EQ(first->style(), red);
    EXPECT_EQ(second->style(), red);
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Apply Style"));
    f.undo.undo();
    EXPECT_EQ(second->style(), blue);
    EXPECT_EQ(first->style(), red);
    f.undo.undo();
    EXPECT_EQ(first->style(), blue);

    // Picking up an equal style announces nothing; Alt picks up again; nothing under the click forgets.
    tool->setStyle(red->clone());
    EXPECT_EQ(changes, 1);
    tool->setPerformsResetOnSelection(false);
    f.select({});
    click({140, 40}, Qt::AltModifier);
    EXPECT_EQ(tool->style(), blue);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(f.layer->selection().isEmpty());
    click({350, 350});
    EXPECT_EQ(tool->style(), nullptr);
    EXPECT_EQ(changes, 3);
}

} // namespace

#include "SwatchAndDropperTest.moc"

#include "style_editor/StyleEditorTesting.h"

#include "style_editor/dash/ZQDashEditView.h"
#include "style_editor/dash/ZQDashEditor.h"
#include "style_editor/panes/strokes/DashMenu.h"
#include "style_editor/panes/strokes/PaneDashEditing.h"
#include "style_editor/panes/strokes/VLTMStyleEditSub_VXStroke.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace styleeditortest;

namespace {

struct RecordingDelegate : ZQDashEditorDelegate {
    int changes = 0;
    QList<VXStrokeDashPtr> registered;
    void dashDidChange(ZQDashEditor&) override { ++changes; }
    void dashEditorDidRegisterDash(ZQDashEditor&, const VXStrokeDashPtr& dash) override { registered.append(dash); }
};

TEST(DashEditor, CountsKeepLengthsAndTypedTextThatIsNoNumberCountsAsZero)
{
    ZQDashEditor editor;
    RecordingDelegate delegate;
    const VXStrokeDashPtr saved = VXStrokeDash::dashWithPatternPhase({4, 2});
    editor.setDash(saved);
    editor.openDashEditorInParentWindowDelegate(nullptr, &delegate);
    EXPECT_EQ(delegate.changes, 1);
    ASSERT_NE(editor.dash(), saved);
    EXPECT_TRUE(editor.dash()->isBeingEdited());

    editor.dashCountMatrixAction(2);
    EXPECT_EQ(editor.dash()->dashPattern(), (QList<double>{4, 2, 1, 1, 1, 1}));
    EXPECT_TRUE(editor.field(5)->isEnabled());
    EXPECT_FALSE(editor.field(6)->isEnabled());
    EXPECT_TRUE(editor.field(6)->text().isEmpty());
    EXPECT_EQ(editor.countButtons()->checkedId(), 2);
    editor.dashCountMatrixAction(0);
    EXPECT_EQ(editor.dash()->dashPattern(), (QList<double>{4, 2}));
    EXPECT_EQ(saved->dashPattern(), (QList<double>{4, 2})) << "the saved dash is not edited";

    editor.field(0)->setText(QStringLiteral("7.5"));
    editor.field(1)->setText(QStringLiteral("wide"));
    editor.dashValueAction();
    EXPECT_EQ(editor.dash()->dashPattern(), (QList<double>{7.5, 0}));
    editor.field(0)->setText(QString());
    editor.dashValueAction();
    EXPECT_FALSE(editor.dash()->isValid()) << "a dash of no length strokes solid";
    editor.scaleCheckbox()->click();
    EXPECT_EQ(editor.dash()->scalesToLineWidth(), editor.scaleCheckbox()->isChecked());
    EXPECT_EQ(delegate.changes, 6);
    editor.cancel();
    EXPECT_FALSE(editor.window()->isVisible());
    EXPECT_EQ(delegate.changes, 7);
    EXPECT_FALSE(editor.dash());
}

TEST(DashEditor, HandlesDragLengthsAndThePhaseNeverBelowZero)
{
    ZQDashEditView view;
    view.resize(300, 80);
    int changes = 0;
    view.dashChanged = [&changes] { ++changes; };
    const VXStrokeDashPtr dash = VXStrokeDash::dashWithPatternPhase({4, 2, 3, 1});
    dash->setScalesToLineWidth(false);
    view.setDash(dash);
    const QList<QRectF> handles = view.calcHandles();
    ASSERT_EQ(handles.size(), 4);
    // Each handle is centred on the end of its element: 8 + 4 = 12, then 14, 17, 18; the later
    // ones overlap their neighbours and stack below them.
    EXPECT_DOUBLE_EQ(handles[0].center().x(), 12);
    EXPECT_DOUBLE_EQ(handles[1].center().x(), 14);
    EXPECT_GT(handles[1].top(), handles[0].top());
    for (const QRectF& handle : handles)
        EXPECT_LE(handle.bottom(), view.height());
    EXPECT_EQ(view.mouseInHandle(handles[0].center()), 0);
    EXPECT_EQ(view.mouseInHandle(view.phaseHandle().center()), ZQDashEditView::kPhaseHandle);

    view.selectHandle(2);
    view.dragSelectedTo(40); // element 2 starts at 8 + 4 + 2 = 14
    EXPECT_DOUBLE_EQ(dash->dashPattern()[2], 26);
    view.dragSelectedTo(3);
    EXPECT_DOUBLE_EQ(dash->dashPattern()[2], 0);
    view.selectHandle(ZQDashEditView::kPhaseHandle);
    view.dragSelectedTo(-20);
    EXPECT_DOUBLE_EQ(dash->phase(), 0);
    view.dragSelectedTo(13);
    EXPECT_DOUBLE_EQ(dash->phase(), 5);
    EXPECT_EQ(changes, 4);

    // Scaled by the line width: lengths are in widths.
    dash->setScalesToLineWidth(true);
    view.setLineWidth(2);
    dash->setPhase(0);
    view.selectHandle(0);
    view.dragSelectedTo(18);
    EXPECT_DOUBLE_EQ(dash->dashPattern()[0], 5);
}

TEST(DashEditor, RegisteringAnEqualDashDoesNothing)
{
    // The registered dashes are the application's: the test's additions go when it ends.
    struct ForgetAddedDashes {
        ~ForgetAddedDashes()
        {
            QFile::remove(VXStrokeDash::registeredDashesFilePath());
            VXStrokeDash::reloadRegisteredDashes();
        }
    } forget;
    ZQDashEditor editor;
    RecordingDelegate delegate;
    editor.setDash(VXStrokeDash::registeredDashes().first());
    editor.openDashEditorInParentWindowDelegate(nullptr, &delegate);
    const qsizetype before = VXStrokeDash::registeredDashes().size();
    editor.registerDashAction();
    EXPECT_TRUE(delegate.registered.isEmpty());
    EXPECT_EQ(VXStrokeDash::registeredDashes().size(), before);
    editor.field(0)->setText(QStringLiteral("13.25"));
    editor.dashValueAction();
    editor.registerDashAction();
    ASSERT_EQ(delegate.registered.size(), 1);
    EXPECT_EQ(VXStrokeDash::registeredDashes().size(), before + 1);
    EXPECT_FALSE(VXStrokeDash::registeredDashes().constLast()->isBeingEdited());
    editor.ok();
}

TEST(DashEditor, TheStrokeFollowsLiveAndCancelRestoresItsDash)
{
    EditorFixture f;
    auto stroke = std::make_shared<VXStroke>();
    const VXStrokeDashPtr saved = VXStrokeDash::dashWithPatternPhase({6, 3});
    stroke->setDash(saved);
    f.select({f.addShape(styleOf({stroke}))});
    f.forgetEdits();
    auto* pane = dynamic_cast<VLTMStyleEditSub_VXStroke*>(f.editor->subcontrollerForComponent(stroke.get()));
    ASSERT_TRUE(pane);
    pane->dashMenu()->dashMenu()->actions().constLast()->trigger(); // "Custom..."
    ZQDashEditor* editor = pane->dashEditing()->dashEditor();
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->window()->isVisible());
    editor->field(0)->setText(QStringLiteral("9"));
    editor->dashValueAction();
    EXPECT_EQ(stroke->dash()->dashPattern(), (QList<double>{9, 3}));
    EXPECT_FALSE(stroke->dash()->isBeingEdited());
    EXPECT_EQ(f.undo.undoActionName(), QStringLiteral("Stroke Dash"));
    editor->cancel();
    EXPECT_EQ(stroke->dash(), saved);

    pane->dashMenu()->dashMenu()->actions().constLast()->trigger();
    editor->dashCountMatrixAction(1);
    editor->ok();
    EXPECT_EQ(stroke->dash()->dashPattern(), (QList<double>{6, 3, 1, 1}));
}

} // namespace

// The Layers tab driven as a user drives it: clicks on rows and buttons, keys in the outline,
// a double click and typing in the name field, so that a control left unconnected fails here.

#include "panels/layers/LayerRowDelegate.h"
#include "panels/layers/LayerTreeModel.h"
#include "panels/layers/LayersOutlineView.h"

#include "LayersTesting.h"

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

using layerstest::LayersPanelFixture;

namespace {

class LayersPanelInput : public LayersPanelFixture {
protected:
    void SetUp() override
    {
        LayersPanelFixture::SetUp();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(controller->view()));
    }
    // The middle of the row's name, away from its buttons.
    QPoint nameOf(const QObject* item) const
    {
        const QRect cell = outline->visualRect(indexOf(item));
        return LayerRowDelegate::layoutOfCell(cell, item, LayerTreeModel::MainColumn, controller->compactRows())
            .name.center();
    }
    void clickRow(const QObject* item, Qt::KeyboardModifiers modifiers = {}) const
    {
        QTest::mouseClick(outline->viewport(), Qt::LeftButton, modifiers, nameOf(item));
    }
    // As the system delivers one: a click, then the second press as a double click and its release.
    void doubleClickRow(const QObject* item) const
    {
        QWidget* viewport = outline->viewport();
        const QPoint point = nameOf(item);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, point);
        QMouseEvent second(QEvent::MouseButtonDblClick, point, viewport->mapToGlobal(point), Qt::LeftButton,
                           Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &second);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, point);
    }
    QPushButton* button(const QString& title) const
    {
        for (QPushButton* each : controller->view()->findChildren<QPushButton*>())
            if (each->text() == title)
                return each;
        return nullptr;
    }
    static QMessageBox* openAlert()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                return box;
        return nullptr;
    }
};

TEST_F(LayersPanelInput, ClickedRowsDecideWhereTheButtonsAddAndWhatTheyDelete)
{
    const QAbstractItemModelTester tester(&controller->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    clickRow(a.get());
    EXPECT_EQ(controller->selectedItems(), QList<QObject*>{a.get()});
    QTest::mouseClick(button(QStringLiteral("+")), Qt::LeftButton);
    ASSERT_EQ(drawing->countOfLayers(), 4);
    const VXLayerPtr added = drawing->objectInLayersAtIndex(0);
    EXPECT_EQ(added->layerName(), QStringLiteral("Drawing Layer"));
    EXPECT_TRUE(added->isActive());
    EXPECT_EQ(undoName(), QStringLiteral("Add Layer"));

    // Inside the clicked group.
    clickRow(g.get());
    QTest::mouseClick(button(QStringLiteral("+ Group")), Qt::LeftButton);
    ASSERT_EQ(g->countOfLayers(), 2);
    EXPECT_TRUE(qobject_cast<VXLayerGroup*>(g->objectInLayersAtIndex(0).get()));
    EXPECT_EQ(drawing->countOfLayers(), 4);

    // The top row cannot go; a layer goes once the alert is answered.
    clickRow(drawing.get());
    EXPECT_FALSE(controller->deleteButton()->isEnabled());
    clickRow(a.get());
    ASSERT_TRUE(controller->deleteButton()->isEnabled());
    QTest::mouseClick(controller->deleteButton(), Qt::LeftButton);
    QMessageBox* alert = openAlert();
    ASSERT_TRUE(alert);
    for (QAbstractButton* choice : alert->buttons())
        if (choice->text() == QStringLiteral("Delete"))
            QTest::mouseClick(choice, Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(drawing->indexOfLayer(a.get()), -1);
    EXPECT_EQ(undoName(), QStringLiteral("Delete Layer"));
    endStep();
    undo->undo();
    EXPECT_GE(drawing->indexOfLayer(a.get()), 0);
}

TEST_F(LayersPanelInput, KeysOpenGroupsAndClickedObjectRowsBecomeTheLayersSelection)
{
    const QAbstractItemModelTester tester(&controller->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    clickRow(g.get());
    outline->setFocus();
    QTest::keyClick(outline, Qt::Key_Right);
    EXPECT_TRUE(outline->isExpanded(indexOf(g.get())));
    QTest::keyClick(outline, Qt::Key_Down);
    EXPECT_EQ(controller->selectedItems(), QList<QObject*>{b.get()});
    QTest::keyClick(outline, Qt::Key_Left);
    QTest::keyClick(outline, Qt::Key_Left);
    EXPECT_FALSE(outline->isExpanded(indexOf(g.get())));

    controller->setShowsGraphicObjects(true);
    outline->expand(indexOf(a.get()));
    QApplication::processEvents();
    const VXDrawableObjectPtr top = a->objectInObjectsAtIndex(2), bottom = a->objectInObjectsAtIndex(0);
    clickRow(top.get());
    clickRow(bottom.get(), Qt::ControlModifier);
    EXPECT_EQ(a->countOfSelection(), 2);
    EXPECT_TRUE(a->selection().contains(top) && a->selection().contains(bottom));
    // A row of another layer is refused and the two stay.
    clickRow(b.get(), Qt::ControlModifier);
    EXPECT_EQ(a->countOfSelection(), 2);
}

TEST_F(LayersPanelInput, ADoubleClickedNameIsTypedOverAndReturnMakesItOneUndoStep)
{
    doubleClickRow(a.get());
    QApplication::processEvents();
    auto* field = outline->findChild<QLineEdit*>();
    ASSERT_TRUE(field);
    QTest::keyClicks(field, QStringLiteral("Roads"));
    QTest::keyClick(field, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(a->layerName(), QStringLiteral("Roads"));
    endStep();
    undo->undo();
    EXPECT_EQ(a->layerName(), QStringLiteral("A"));
}

} // namespace

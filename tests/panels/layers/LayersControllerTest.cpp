#include "panels/layers/LayerRowDelegate.h"
#include "panels/layers/LayerTreeModel.h"
#include "panels/layers/LayersOutlineView.h"
#include "panels/layers/VLTMLayerOpacityPopoverController.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Popover.h"
#include "platform/vantrix/model/VXGridLayer.h"
#include "platform/vantrix/model/VXGuideLayer.h"
#include "support/MenuTesting.h"

#include "LayersTesting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

using layerstest::LayersPanelFixture;

namespace {

QColorDialog* openColourDialog()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QColorDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    return nullptr;
}

class LayersControllerTest : public LayersPanelFixture {
protected:
    // The rows as the outline shows them, top to bottom.
    QList<QModelIndex> shownRows() const
    {
        QList<QModelIndex> rows;
        for (QModelIndex row = model().index(0, 0); row.isValid(); row = outline->indexBelow(row))
            rows.append(row);
        return rows;
    }
    void selectRows(const QList<QModelIndex>& rows, bool extend = false)
    {
        auto flags = QItemSelectionModel::Rows |
            (extend ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
        for (const QModelIndex& row : rows) {
            outline->selectionModel()->select(row, flags);
            flags = QItemSelectionModel::Rows | QItemSelectionModel::Select;
        }
    }
    QMessageBox* openAlert() const
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
                return box;
        return nullptr;
    }
    static void clickButton(QMessageBox* box, const QString& title)
    {
        for (QAbstractButton* button : box->buttons())
            if (button->text() == title)
                button->click();
    }
    QPoint centreOfControl(const QObject* item, int column, LayerRowDelegate::Control control) const
    {
        const QRect cell = outline->visualRect(model().indexForItem(item, column));
        const LayerRowDelegate::Layout layout =
            LayerRowDelegate::layoutOfCell(cell, item, column, controller->compactRows());
        switch (control) {
        case LayerRowDelegate::VisibilityControl: return layout.visibility.center();
        case LayerRowDelegate::LockControl: return layout.lock.center();
        case LayerRowDelegate::DeleteControl: return layout.remove.center();
        default: return layout.indicator.center();
        }
    }
    // Clicks the selection colour well of the item's row and picks `colour` in the dialog it
    // opens; answers where the well is.
    QPoint pickColourInWellOf(const QObject* item, const QColor& colour)
    {
        const QPoint well = centreOfControl(item, LayerTreeModel::MainColumn, LayerRowDelegate::ColourControl);
        EXPECT_EQ(LayerRowDelegate::controlAtPoint(outline->visualRect(model().indexForItem(item)), item,
                                                   LayerTreeModel::MainColumn, false, well),
                  LayerRowDelegate::ColourControl);
        QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, well);
        QColorDialog* dialog = openColourDialog();
        EXPECT_TRUE(dialog);
        if (dialog) {
            dialog->setCurrentColor(colour);
            dialog->accept();
        }
        endStep();
        return well;
    }
};

TEST_F(LayersControllerTest, RowHeightsFollowKindAndCompactRows)
{
    controller->setShowsGraphicObjects(true);
    outline->expandAll();
    QApplication::processEvents();
    const QObject* object = a->objectInObjectsAtIndex(0).get();
    const QObject* slice = slices->slices().first().get();
    EXPECT_EQ(outline->visualRect(indexOf(a.get())).height(), VLTMLayersController::kLayerRowHeight);
    EXPECT_EQ(outline->visualRect(indexOf(drawing.get())).height(), VLTMLayersController::kLayerRowHeight);
    EXPECT_EQ(outline->visualRect(indexOf(object)).height(), VLTMLayersController::kItemRowHeight);
    EXPECT_EQ(outline->visualRect(indexOf(slice)).height(), VLTMLayersController::kItemRowHeight);

    controller->toggleCompactRowsAction();
    outline->doItemsLayout();
    for (const QObject* item : {static_cast<const QObject*>(a.get()), static_cast<const QObject*>(g.get()), object, slice})
        EXPECT_EQ(outline->visualRect(indexOf(item)).height(), VLTMLayersController::kItemRowHeight);
    EXPECT_TRUE(VLTMLayersController::compactRowsDefault());
    // The next panel starts compact, and shows objects, as this one left it.
    EXPECT_TRUE(VLTMLayersController::make()->compactRows());
    EXPECT_TRUE(VLTMLayersController::make()->showsGraphicObjects());
}

TEST_F(LayersControllerTest, SelectedObjectRowsSelectTheLayersObjects)
{
    controller->setShowsGraphicObjects(true);
    outline->expand(indexOf(a.get()));
    const QList<QModelIndex> rows = shownRows();
    const int layerRow = int(rows.indexOf(indexOf(a.get())));
    ASSERT_GE(layerRow, 0);
    const int count = a->countOfObjects();
    // Flat rows r select the objects at count + layerRow - r.
    selectRows({rows[layerRow + 1], rows[layerRow + 3]});
    const QList<VXDrawableObjectPtr> selected = a->selection();
    ASSERT_EQ(selected.size(), 2);
    EXPECT_EQ(selected[0], a->objectInObjectsAtIndex(count + layerRow - (layerRow + 3)));
    EXPECT_EQ(selected[1], a->objectInObjectsAtIndex(count + layerRow - (layerRow + 1)));

    // Rows of two layers are refused: the selection stays as it was.
    outline->expand(indexOf(b.get()));
    selectRows({indexOf(b->objectInObjectsAtIndex(0).get())}, true);
    EXPECT_EQ(controller->selectedItems().size(), 2);
    EXPECT_EQ(a->countOfSelection(), 2);
    EXPECT_EQ(b->countOfSelection(), 0);

    // The active layer's own selection comes back to the outline.
    a->exchangeSelectionWithObjectsFromArray({a->objectInObjectsAtIndex(1)});
    ASSERT_EQ(controller->selectedItems().size(), 1);
    EXPECT_EQ(controller->selectedItems().first(), a->objectInObjectsAtIndex(1).get());
}

TEST_F(LayersControllerTest, ActiveFollowsSelectionWhenAsked)
{
    selectRows({indexOf(b.get())});
    EXPECT_TRUE(a->isActive());
    controller->toggleActiveFollowsSelectionAction();
    EXPECT_TRUE(VLTMLayersController::activeFollowsSelectionDefault());
    selectRows({indexOf(slices.get())});
    EXPECT_TRUE(slices->isActive());
    selectRows({indexOf(b.get())});
    EXPECT_TRUE(b->isActive());
}

TEST_F(LayersControllerTest, NewLayersGoOnTopOfTheSelectedGroupUniquelyNamed)
{
    controller->addLayerAction();
    ASSERT_EQ(drawing->countOfLayers(), 4);
    const VXLayerPtr first = drawing->objectInLayersAtIndex(0);
    EXPECT_EQ(first->layerName(), QStringLiteral("Drawing Layer"));
    EXPECT_TRUE(qobject_cast<VXObjectDrawingLayer*>(first.get()));
    EXPECT_TRUE(first->isActive());
    EXPECT_EQ(controller->selectedItems(), QList<QObject*>{first.get()});
    EXPECT_EQ(undoName(), QStringLiteral("Add Layer"));
    endStep();

    // The new layer is selected: the next one goes beside it, named anew.
    controller->addLayerAction();
    EXPECT_EQ(drawing->objectInLayersAtIndex(0)->layerName(), QStringLiteral("Drawing Layer 2"));
    endStep();

    // A group goes into the selected group, at its top.
    selectRows({indexOf(g.get())});
    controller->addlayerGroupAction();
    ASSERT_EQ(g->countOfLayers(), 2);
    EXPECT_TRUE(qobject_cast<VXLayerGroup*>(g->objectInLayersAtIndex(0).get()));
    EXPECT_EQ(g->objectInLayersAtIndex(0)->layerName(), QStringLiteral("Layer Group"));
    endStep();
    undo->undo();
    EXPECT_EQ(g->countOfLayers(), 1);

    // A locked parent group takes nothing.
    selectRows({indexOf(b.get())});
    g->setLocked(true);
    EXPECT_FALSE(controller->canAddLayerOrGroup());
    EXPECT_FALSE(controller->addLayer(std::make_shared<VXObjectDrawingLayer>()));
    EXPECT_EQ(g->countOfLayers(), 1);
    EXPECT_FALSE(controller->canDuplicateLayerOrGroup());
}

TEST_F(LayersControllerTest, OpenGroupsStayOpenWhileLayersComeAndGo)
{
    outline->expand(indexOf(g.get()));
    ASSERT_TRUE(outline->isExpanded(indexOf(g.get())));
    controller->addLayerAction();
    EXPECT_TRUE(outline->isExpanded(indexOf(g.get())));
    EXPECT_TRUE(outline->isExpanded(indexOf(drawing.get())));
    endStep();
    undo->undo(); // the layer goes again
    EXPECT_TRUE(outline->isExpanded(indexOf(g.get())));

    // A group closed by the user stays closed.
    outline->collapse(indexOf(g.get()));
    controller->addlayerGroupAction();
    EXPECT_FALSE(outline->isExpanded(indexOf(g.get())));
}

TEST_F(LayersControllerTest, TheSelectedRowStaysOnItsLayerWhileLayersComeAndGoAboveIt)
{
    selectRows({indexOf(g.get())});
    drawing->insertObjectInLayersAtIndex(std::make_shared<VXObjectDrawingLayer>(), 0);
    EXPECT_EQ(controller->selectedItems(), QList<QObject*>{g.get()});
    drawing->removeObjectFromLayersAtIndex(0);
    EXPECT_EQ(controller->selectedItems(), QList<QObject*>{g.get()});
}

TEST_F(LayersControllerTest, DuplicateGoesAboveInTheSameGroup)
{
    selectRows({indexOf(b.get())});
    ASSERT_TRUE(controller->canDuplicateLayerOrGroup());
    controller->duplicateLayerAction();
    ASSERT_EQ(g->countOfLayers(), 2);
    EXPECT_EQ(qobject_cast<VXObjectDrawingLayer*>(g->objectInLayersAtIndex(0).get())->countOfObjects(), 2);
    EXPECT_EQ(undoName(), QStringLiteral("Duplicate Layer"));
    endStep();
    undo->undo();
    EXPECT_EQ(g->countOfLayers(), 1);
}

TEST_F(LayersControllerTest, DeletingAsksFirstAndLeavesNoActiveLayer)
{
    selectRows({indexOf(a.get())});
    ASSERT_TRUE(controller->canDeleteLayerOrGroup());
    controller->deleteLayerAction();
    QMessageBox* box = openAlert();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->text(), QStringLiteral("Really delete the Layer \u201c""A\u201d?"));
    EXPECT_EQ(box->informativeText(), QStringLiteral("The layer contains 3 objects."));
    clickButton(box, QStringLiteral("No"));
    QApplication::processEvents();
    EXPECT_EQ(drawing->indexOfLayer(a.get()), 0);

    controller->deleteLayerAction();
    box = openAlert();
    ASSERT_TRUE(box);
    clickButton(box, QStringLiteral("Delete"));
    QApplication::processEvents();
    EXPECT_EQ(drawing->indexOfLayer(a.get()), -1);
    EXPECT_EQ(drawing->activeLayer(), nullptr);
    EXPECT_EQ(undoName(), QStringLiteral("Delete Layer"));
    endStep();
    undo->undo();
    EXPECT_EQ(drawing->indexOfLayer(a.get()), 0);

    // A group says how many layers it holds; the drawing and locked layers are not deleted.
    selectRows({indexOf(g.get())});
    controller->deleteLayerAction();
    box = openAlert();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->informativeText(), QStringLiteral("The group contains 1 layer."));
    clickButton(box, QStringLiteral("No"));
    QApplication::processEvents();
    selectRows({indexOf(drawing.get())});
    EXPECT_FALSE(controller->canDeleteLayerOrGroup());
    selectRows({indexOf(b.get())});
    b->setLocked(true);
    EXPECT_FALSE(controller->canDeleteLayerOrGroup());
}

TEST_F(LayersControllerTest, ALayerRemovedWhileItsDeletionIsAskedIsLeftAlone)
{
    selectRows({indexOf(b.get())});
    controller->deleteLayerAction();
    QMessageBox* box = openAlert();
    ASSERT_TRUE(box);
    g->removeLayer(b.get());
    endStep();
    clickButton(box, QStringLiteral("Delete"));
    QApplication::processEvents();
    EXPECT_EQ(undoName(), QString());
    undo->undo();
    EXPECT_EQ(g->indexOfLayer(b.get()), 0);
}

TEST_F(LayersControllerTest, ClicksOnRowControlsWorkWithoutSelecting)
{
    using Control = LayerRowDelegate::Control;
    outline->expand(indexOf(g.get()));
    QApplication::processEvents();
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {},
                      centreOfControl(b.get(), LayerTreeModel::MainColumn, Control::VisibilityControl));
    EXPECT_FALSE(b->visible());
    EXPECT_TRUE(controller->selectedItems().isEmpty());
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {},
                      centreOfControl(b.get(), LayerTreeModel::MainColumn, Control::LockControl));
    EXPECT_TRUE(b->locked());

    // Alt-click shows this layer alone, Alt+Ctrl-click shows them all.
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, Qt::AltModifier,
                      centreOfControl(b.get(), LayerTreeModel::MainColumn, Control::VisibilityControl));
    EXPECT_TRUE(b->visible());
    EXPECT_FALSE(a->visible());
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, Qt::AltModifier | Qt::ControlModifier,
                      centreOfControl(b.get(), LayerTreeModel::MainColumn, Control::VisibilityControl));
    EXPECT_TRUE(a->visible());

    // A press released outside its control does nothing.
    const QPoint lock = centreOfControl(a.get(), LayerTreeModel::MainColumn, Control::LockControl);
    QTest::mousePress(outline->viewport(), Qt::LeftButton, {}, lock);
    QTest::mouseRelease(outline->viewport(), Qt::LeftButton, {}, lock + QPoint(0, 40));
    EXPECT_FALSE(a->locked());
    EXPECT_TRUE(controller->selectedItems().isEmpty());

    // The top row has no controls.
    EXPECT_EQ(LayerRowDelegate::controlAtPoint(outline->visualRect(indexOf(drawing.get())), drawing.get(),
                                               LayerTreeModel::MainColumn, false,
                                               centreOfControl(a.get(), 0, Control::VisibilityControl) -
                                                   QPoint(0, VLTMLayersController::kLayerRowHeight)),
              LayerRowDelegate::NoControl);
}

} // namespace

namespace {

QStringList titlesOf(const platform::Menu& menu)
{
    QStringList titles;
    for (QAction* action : menu.actions())
        titles.append(action->isSeparator() ? QStringLiteral("-") : testsupport::entryTitle(action));
    return titles;
}

QAction* actionTitled(const platform::Menu& menu, const QString& title)
{
    for (QAction* action : menu.actions())
        if (testsupport::entryTitle(action) == title)
            return action;
    return nullptr;
}

TEST_F(LayersControllerTest, RowMenusOfferWhatTheRowsKindAllows)
{
    const QStringList panelItems = titlesOf(*controller->contextMenuForItem(nullptr));
    ASSERT_FALSE(panelItems.isEmpty());
    EXPECT_EQ(panelItems.first(), QStringLiteral("New Layer"));
    EXPECT_TRUE(panelItems.contains(QStringLiteral("Hide Top Level")));
    EXPECT_TRUE(panelItems.contains(QStringLiteral("Compact View")));

    // The top row: the drawing's set-up, then the panel's items.
    EXPECT_EQ(titlesOf(*controller->contextMenuForItem(drawing.get())),
              QStringList({QStringLiteral("Drawing Size & Units..."), QStringLiteral("-")}) + panelItems);
    EXPECT_TRUE(QKeySequence::mnemonic(controller->contextMenuForItem(drawing.get())->actions().first()->text()).isEmpty())
        << "the ampersand is shown, not taken as a mnemonic";

    // An active object layer.
    QStringList layerItems = titlesOf(*controller->contextMenuForItem(a.get())).mid(0, 7);
    EXPECT_EQ(layerItems, QStringList({QStringLiteral("Active Layer"), QStringLiteral("-"), QStringLiteral("Rename..."),
                                       QStringLiteral("Delete Layer..."), QStringLiteral("Duplicate"),
                                       QStringLiteral("Hide"), QStringLiteral("Lock")}));
    // Locked and hidden, it offers neither renaming nor deleting, and says so in its titles.
    b->setLocked(true);
    b->setVisible(false);
    layerItems = titlesOf(*controller->contextMenuForItem(b.get())).mid(0, 5);
    EXPECT_EQ(layerItems, QStringList({QStringLiteral("Activate Layer"), QStringLiteral("-"), QStringLiteral("Duplicate"),
                                       QStringLiteral("Show"), QStringLiteral("Unlock")}));
    // A group is never active: its menu starts with renaming.
    EXPECT_EQ(titlesOf(*controller->contextMenuForItem(g.get())).value(0), QStringLiteral("Rename..."));
    EXPECT_EQ(titlesOf(*controller->contextMenuForItem(g.get())).value(1), QStringLiteral("Delete Layer Group..."));

    // A locked graph paper: snapping and a separator, no settings.
    auto grid = std::make_shared<VXGridLayer>();
    auto guides = std::make_shared<VXGuideLayer>();
    drawing->addLayer(grid);
    drawing->addLayer(guides);
    grid->setLocked(true);
    const QStringList gridItems = titlesOf(*controller->contextMenuForItem(grid.get()));
    EXPECT_TRUE(gridItems.contains(QStringLiteral("Snap To Graph Paper")));
    EXPECT_FALSE(gridItems.contains(QStringLiteral("Graph Paper Settings...")));
    EXPECT_EQ(gridItems.indexOf(QStringLiteral("Snap To Graph Paper")) + 2, gridItems.indexOf(QStringLiteral("Hide")));
    // Guides without guides cannot be cleared; slices without slices cannot be exported.
    const auto guidesMenu = controller->contextMenuForItem(guides.get());
    ASSERT_TRUE(actionTitled(*guidesMenu, QStringLiteral("Clear Guides...")));
    EXPECT_FALSE(actionTitled(*guidesMenu, QStringLiteral("Clear Guides..."))->isEnabled());
    const auto slicesMenu = controller->contextMenuForItem(slices.get());
    EXPECT_TRUE(actionTitled(*slicesMenu, QStringLiteral("Export Slices..."))->isEnabled());

    // Object and slice rows zoom and rename.
    controller->setShowsGraphicObjects(true);
    const auto objectMenu = controller->contextMenuForItem(a->objectInObjectsAtIndex(0).get());
    EXPECT_EQ(titlesOf(*objectMenu).mid(0, 3),
              QStringList({QStringLiteral("Zoom Main View to This"), QStringLiteral("Rename \u201c""a0\u201d"),
                           QStringLiteral("-")}));
    EXPECT_EQ(titlesOf(*controller->contextMenuForItem(slices->slices().first().get())).value(1),
              QStringLiteral("Rename Slice \u201cSlice 1\u201d"));
}

TEST_F(LayersControllerTest, MenuCommandsActOnTheirRow)
{
    const auto menu = controller->contextMenuForItem(b.get());
    actionTitled(*menu, QStringLiteral("Lock"))->trigger();
    EXPECT_TRUE(b->locked());
    actionTitled(*menu, QStringLiteral("Activate Layer"))->trigger();
    EXPECT_TRUE(b->isActive());
    actionTitled(*menu, QStringLiteral("Duplicate"))->trigger();
    EXPECT_EQ(g->countOfLayers(), 2);
    EXPECT_EQ(undoName(), QStringLiteral("Duplicate Layer"));

    // A row that went while its menu was open leaves its items doing nothing.
    const auto stale = controller->contextMenuForItem(a.get());
    QAction* hide = actionTitled(*stale, QStringLiteral("Hide"));
    drawing->removeLayer(a.get());
    hide->trigger();
    EXPECT_TRUE(a->visible());

    // Clearing guides asks first, saying it cannot be undone.
    auto guides = std::make_shared<VXGuideLayer>();
    drawing->addLayer(guides);
    guides->addGuide({40, true});
    const auto guidesMenu = controller->contextMenuForItem(guides.get());
    QAction* clear = actionTitled(*guidesMenu, QStringLiteral("Clear Guides..."));
    ASSERT_TRUE(clear && clear->isEnabled());
    clear->trigger();
    QMessageBox* box = openAlert();
    ASSERT_TRUE(box);
    EXPECT_EQ(box->informativeText(), QStringLiteral("This operation cannot be undone."));
    clickButton(box, QStringLiteral("Clear"));
    QApplication::processEvents();
    EXPECT_TRUE(guides->guides().isEmpty());

    // The panel's toggles.
    const auto panel = controller->contextMenuForItem(nullptr);
    actionTitled(*panel, QStringLiteral("Hide Top Level"))->trigger();
    EXPECT_FALSE(controller->showsRoot());
    EXPECT_EQ(model().rowCount(), drawing->countOfLayers());
    EXPECT_FALSE(indexOf(drawing.get()).isValid());
    EXPECT_TRUE(actionTitled(*controller->contextMenuForItem(nullptr), QStringLiteral("Show Top Level")));
}

TEST_F(LayersControllerTest, TypedOrDraggedOpacityIsOneNamedUndoStep)
{
    ASSERT_TRUE(controller->showOpacityPopoverForLayer(a.get(), {0, 0, 16, 16}));
    QSpinBox* stepper = controller->opacityPopoverController()->stepper();
    stepper->selectAll();
    QTest::keyClick(stepper, Qt::Key_4);
    endStep();
    QTest::keyClick(stepper, Qt::Key_0);
    endStep();
    EXPECT_DOUBLE_EQ(a->alpha(), 1.0);
    QTest::keyClick(stepper, Qt::Key_Return);
    endStep();
    EXPECT_DOUBLE_EQ(a->alpha(), 0.4);
    EXPECT_EQ(undoName(), QStringLiteral("Layer Opacity"));

    // A drag shows at once and is undone in one step; a click that moves nothing adds none.
    QSlider* slider = controller->opacityPopoverController()->slider();
    slider->setSliderDown(true);
    for (int position : {35, 30, 20}) {
        slider->setSliderPosition(position);
        EXPECT_DOUBLE_EQ(a->alpha(), position / 100.0);
        endStep();
    }
    slider->setSliderDown(false);
    endStep();
    slider->setSliderDown(true);
    slider->setSliderDown(false);
    endStep();
    EXPECT_DOUBLE_EQ(a->alpha(), 0.2);
    EXPECT_EQ(undoName(), QStringLiteral("Layer Opacity"));
    EXPECT_EQ(stepper->value(), 20);
    undo->undo();
    EXPECT_DOUBLE_EQ(a->alpha(), 0.4);
    undo->undo();
    EXPECT_DOUBLE_EQ(a->alpha(), 1.0);
    controller->opacityPopover()->close();
}

TEST_F(LayersControllerTest, OpacityPopoverSetsTheOpacityOfObjectLayersOnly)
{
    EXPECT_FALSE(controller->showOpacityPopoverForLayer(g.get(), {0, 0, 16, 16}));
    EXPECT_FALSE(controller->showOpacityPopoverForLayer(slices.get(), {0, 0, 16, 16}));
    ASSERT_TRUE(controller->showOpacityPopoverForLayer(a.get(), {0, 0, 16, 16}));
    VLTMLayerOpacityPopoverController* popover = controller->opacityPopoverController();
    EXPECT_EQ(popover->slider()->value(), 100);
    popover->slider()->setValue(40);
    EXPECT_DOUBLE_EQ(a->alpha(), 0.4);
    EXPECT_EQ(popover->stepper()->value(), 40);
    // A change made elsewhere shows in the open popover.
    a->setAlpha(0.25);
    EXPECT_EQ(popover->slider()->value(), 25);
    endStep();

    // The layer leaves the drawing while the popover is up: the controls change nothing.
    drawing->removeLayer(a.get());
    popover->stepper()->setValue(90);
    EXPECT_DOUBLE_EQ(a->alpha(), 0.25);
    controller->opacityPopover()->close();
}

} // namespace

namespace {

TEST_F(LayersControllerTest, TheActiveMarkActivatesAndThenChoosesTheSelectionColour)
{
    using Control = LayerRowDelegate::Control;
    QApplication::processEvents();
    const QPoint mark = centreOfControl(slices.get(), LayerTreeModel::ActiveColumn, Control::ActiveControl);
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {}, mark);
    EXPECT_TRUE(slices->isActive());
    EXPECT_TRUE(controller->selectedItems().isEmpty());

    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {},
                      centreOfControl(a.get(), LayerTreeModel::ActiveColumn, Control::ActiveControl));
    ASSERT_TRUE(a->isActive());
    QTest::mouseClick(outline->viewport(), Qt::LeftButton, {},
                      centreOfControl(a.get(), LayerTreeModel::ActiveColumn, Control::ActiveControl));
    QColorDialog* dialog = openColourDialog();
    ASSERT_TRUE(dialog);
    dialog->setCurrentColor(Qt::blue);
    dialog->accept();
    EXPECT_EQ(a->selectionColour(), QColor(Qt::blue));
    EXPECT_EQ(LayersOutlineView::colourBarColourOfItem(a.get()), QColor(Qt::blue));
    EXPECT_EQ(LayersOutlineView::colourBarColourOfItem(a->objectInObjectsAtIndex(0).get()), QColor(Qt::blue));
    EXPECT_FALSE(LayersOutlineView::colourBarColourOfItem(slices->slices().first().get()).isValid());

    // A slice gone before the colour is chosen keeps nothing.
    controller->setShowsGraphicObjects(true);
    const VXQSlicePtr slice = slices->slices().first();
    controller->chooseColourForItem(slice.get());
    dialog = openColourDialog();
    ASSERT_TRUE(dialog);
    slices->removeSlice(slice.get());
    dialog->setCurrentColor(Qt::green);
    dialog->accept();
    EXPECT_NE(slice->colour(), QColor(Qt::green));
}

TEST_F(LayersControllerTest, ANonActiveLayersSelectionColourIsChangedFromItsRowWell)
{
    outline->expand(indexOf(g.get()));
    QApplication::processEvents();
    ASSERT_FALSE(b->isActive());
    const QColor before = b->selectionColour();
    ASSERT_TRUE(before.isValid());
    const QPoint well = pickColourInWellOf(b.get(), Qt::green);
    EXPECT_EQ(b->selectionColour(), QColor(Qt::green));
    EXPECT_FALSE(b->isActive());
    EXPECT_TRUE(a->isActive());
    undo->undo();
    EXPECT_EQ(b->selectionColour(), before);

    // The well is painted in the layer's colour.
    outline->viewport()->repaint();
    const QImage shown = outline->viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(well), before);
}

TEST_F(LayersControllerTest, TheTopRowKeepsTheDrawingsSelectionColourWellInLineWithTheLayers)
{
    ASSERT_TRUE(drawing->selectionColour().isValid());
    const QPoint well = pickColourInWellOf(drawing.get(), Qt::magenta);
    EXPECT_EQ(well.x(),
              centreOfControl(a.get(), LayerTreeModel::MainColumn, LayerRowDelegate::ColourControl).x());
    EXPECT_EQ(drawing->selectionColour(), QColor(Qt::magenta));
    outline->viewport()->repaint();
    EXPECT_EQ(outline->viewport()->grab().toImage().pixelColor(well), QColor(Qt::magenta));
}

TEST_F(LayersControllerTest, ANewLayerIsActiveAndTheActiveMarksSayWhereTheMapSelects)
{
    controller->addLayerAction(nullptr);
    endStep();
    VXLayer* added = drawing->activeLayer();
    ASSERT_NE(added, nullptr);
    EXPECT_NE(added, a.get());
    const auto tip = [this](const QObject* item) {
        return model().indexForItem(item, LayerTreeModel::ActiveColumn).data(Qt::ToolTipRole).toString();
    };
    EXPECT_TRUE(tip(added).startsWith(QStringLiteral("The active layer")));
    EXPECT_TRUE(tip(a.get()).contains(QStringLiteral("only in the active layer")));
    EXPECT_TRUE(tip(drawing.get()).isEmpty());

    // Choosing a row activates its layer only while the active layer follows the selection.
    selectRows({indexOf(a.get())});
    EXPECT_EQ(drawing->activeLayer(), added);
    controller->toggleActiveFollowsSelectionAction(nullptr);
    selectRows({indexOf(g.get())});
    selectRows({indexOf(a.get())});
    EXPECT_TRUE(a->isActive());
    EXPECT_TRUE(tip(added).contains(QStringLiteral("Click to make this the active layer")));
}

TEST_F(LayersControllerTest, ARowRemovedWhileItsNameIsEditedLeavesTheNameAlone)
{
    outline->expand(indexOf(g.get()));
    QApplication::processEvents();
    controller->editNameOfItem(b.get());
    auto* field = outline->findChild<QLineEdit*>();
    ASSERT_TRUE(field);
    field->setText(QStringLiteral("Rivers"));
    g->removeLayer(b.get());
    QApplication::processEvents();
    EXPECT_EQ(b->layerName(), QStringLiteral("B"));

    // Committed as usual, a typed name with a line break becomes one line.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    controller->editNameOfItem(a.get());
    field = outline->findChild<QLineEdit*>();
    ASSERT_TRUE(field);
    field->setText(QStringLiteral("Roads\nNorth"));
    QTest::keyClick(field, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(a->layerName(), QStringLiteral("Roads North"));
}

TEST_F(LayersControllerTest, TheNameFieldShowsItsSelectedTextReadably)
{
    // The rows paint their own selection, so the outline's highlight is clear: the name field,
    // which opens with its text selected, must not inherit that.
    controller->editNameOfItem(a.get());
    auto* field = outline->findChild<QLineEdit*>();
    ASSERT_TRUE(field);
    EXPECT_TRUE(field->hasSelectedText());
    const QPalette colours = field->palette();
    EXPECT_EQ(colours.color(QPalette::Highlight).alpha(), 255);
    EXPECT_NE(colours.color(QPalette::Highlight), colours.color(QPalette::HighlightedText));
    EXPECT_NE(colours.color(QPalette::Base), colours.color(QPalette::Text));
}

} // namespace

#include "AttributeTesting.h"

#include "app/sidebar/TabControllerRegistry.h"
#include "inspectors/attributes/AttributeTables.h"
#include "support/TabBehindAnother.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace attributetest;

TEST(AttributesTab, IsRegisteredAndNamed)
{
    const TabControllerRegistry::Factory factory =
        TabControllerRegistry::classForTabControllerWithIdentifier(QStringLiteral("VLQNAttributesController"));
    ASSERT_TRUE(factory);
    const auto tab = factory();
    EXPECT_EQ(tab->nibName(), "VLQNAttributesController");
    EXPECT_EQ(tab->tabTooltip(), "Attributes");
}

TEST(AttributesTab, AnEmptySelectionShowsTheLayersOwnAttributes)
{
    AttributesFixture fixture;
    fixture.layer->setLayerName(QStringLiteral("Roads"));
    fixture.layer->setMetadataItemValueForKey(QStringLiteral("survey"), "source");
    VXDrawableObjectPtr shape = fixture.addShape({{"lanes", 2}});
    fixture.select({shape});
    fixture.select({});
    EXPECT_EQ(fixture.tab->nameString(), "Roads");
    EXPECT_EQ(fixture.tab->infoString(), "Mapping Layer");
    EXPECT_EQ(fixture.rows(), QStringList({"SOURCE"}));

    // Edits go to the layer, as one named step.
    fixture.editor().addNewItemWithType(attributetables::kIntegerIndex);
    fixture.endStep();
    EXPECT_TRUE(fixture.layer->metadataKeys().contains("val1"));
    EXPECT_FALSE(shape->metadataKeys().contains("val1"));
    EXPECT_EQ(fixture.undo.undoActionName(), "New Attribute");
    fixture.undo.undo();
    EXPECT_FALSE(fixture.layer->metadataKeys().contains("val1"));

    fixture.select({shape});
    EXPECT_EQ(fixture.rows(), QStringList({"LANES"}));
    EXPECT_EQ(fixture.tab->infoString(), "Shape");
}

TEST(AttributesTab, HeaderFollowsTheSelectionSize)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr a = fixture.addShape();
    VXDrawableObjectPtr b = fixture.addShape();
    VXDrawableObjectPtr c = fixture.addShape();
    a->assignUserNameWithFlag(QStringLiteral("Alpha"), true);
    b->assignUserNameWithFlag(QStringLiteral("Beta"), true);
    fixture.select({a});
    EXPECT_EQ(fixture.tab->nameString(), "Alpha");
    EXPECT_EQ(fixture.tab->infoString(), "Shape");

    fixture.select({a, b, c});
    EXPECT_EQ(fixture.tab->nameString(), "Multiple Selection");
    EXPECT_EQ(fixture.tab->infoString(), "3 items in selection");
    fixture.tab->handleNameDoubleClick();
    EXPECT_FALSE(fixture.tab->renamingModeActive());

    // A name given elsewhere comes back through the editor.
    fixture.select({c});
    c->assignUserNameWithFlag(QStringLiteral("Gamma"), true);
    fixture.settle();
    EXPECT_EQ(fixture.tab->nameString(), "Gamma");
}

TEST(AttributesTab, RenamingNamesOneUnlockedObjectAndIgnoresEmptyText)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape();
    shape->assignUserNameWithFlag(QStringLiteral("Pond"), true);
    fixture.select({shape});
    ASSERT_TRUE(fixture.tab->canRename());
    fixture.tab->handleNameDoubleClick();
    ASSERT_TRUE(fixture.tab->renamingModeActive());
    EXPECT_FALSE(fixture.tab->nameField()->isReadOnly());
    fixture.tab->nameField()->setText(QString());
    fixture.tab->nameFieldAction();
    EXPECT_FALSE(fixture.tab->renamingModeActive());
    EXPECT_TRUE(fixture.tab->nameField()->isReadOnly());
    EXPECT_EQ(shape->name(), "Pond");

    fixture.tab->handleNameDoubleClick();
    fixture.tab->nameField()->setText(QStringLiteral("Lake"));
    fixture.tab->nameFieldAction();
    EXPECT_EQ(shape->name(), "Lake");

    shape->setLocked(true);
    fixture.select({shape});
    EXPECT_FALSE(fixture.tab->canRename());
}

TEST(AttributesTab, SelectionsOfOtherDrawingsAreIgnored)
{
    AttributesFixture fixture;
    VXDrawableObjectPtr shape = fixture.addShape({{"here", 1}});
    fixture.select({shape});

    AttributesFixture elsewhere;
    VXDrawableObjectPtr foreign = elsewhere.addShape({{"there", 1}});
    elsewhere.select({foreign});
    fixture.settle();
    EXPECT_EQ(fixture.rows(), QStringList({"HERE"}));
    EXPECT_EQ(fixture.tab->selectedObjects().size(), 1);
    EXPECT_EQ(fixture.tab->selectedObjects().first(), shape);
}

// Behind another tab the header follows each selection at once and the rows catch up when the
// tab comes to the front; the objects are the layer's, in stacking order, or the layer itself.
TEST(AttributesTab, BehindAnotherTabTheHeaderFollowsAtOnceAndTheRowsWhenShown)
{
    AttributesFixture fixture;
    fixture.layer->setLayerName(QStringLiteral("Roads"));
    fixture.layer->setMetadataItemValueForKey(QStringLiteral("survey"), "source");
    const VXDrawableObjectPtr a = fixture.addShape({{"lanes", 2}});
    const VXDrawableObjectPtr b = fixture.addShape({{"width", 7}});
    const VXDrawableObjectPtr c = fixture.addShape({{"width", 7}});
    fixture.select({a});
    testsupport::TabBehindAnother tab(fixture.tab->view());

    fixture.select({c, b});
    EXPECT_EQ(fixture.tab->infoString(), "2 items in selection");
    EXPECT_EQ(fixture.tab->selectedObjects(), QList<ZQObjectPtr>({b, c}));
    tab.bringToFront();
    fixture.settle();
    EXPECT_EQ(fixture.rows(), QStringList({"WIDTH"}));

    fixture.select({});
    EXPECT_EQ(fixture.tab->nameString(), "Roads");
    EXPECT_EQ(fixture.tab->infoString(), "Mapping Layer");
    EXPECT_EQ(fixture.tab->selectedObjects(), QList<ZQObjectPtr>({fixture.layer}));
    EXPECT_EQ(fixture.rows(), QStringList({"SOURCE"}));
    fixture.tab->setDrawing(nullptr);
    EXPECT_TRUE(fixture.tab->selectedObjects().isEmpty());
}

// A document reopened with a selection hands the tab its drawing before the tab has built its view.
TEST(AttributesTab, ASelectionGivenBeforeTheViewIsBuiltShowsItsNameWithoutACrash)
{
    ConfirmationDefaultUnset unset;
    testsupport::UndoableDrawing<VXQMappingLayer> document({600, 600});
    VXDrawableObjectPtr shape = VXDrawableShape::drawableShapeWithRect(QRectF(10, 10, 50, 40), nullptr);
    shape->assignUserNameWithFlag(QStringLiteral("Alpha"), true);
    document.layer->addObject(shape);
    document.layer->exchangeSelectionWithObjectsFromArray({shape});
    const std::shared_ptr<VLQNAttributesController> tab = VLQNAttributesController::make();
    tab->setDrawing(document.drawing.get());
    EXPECT_EQ(tab->nameString(), "Alpha");
    EXPECT_EQ(tab->infoString(), "Shape");
    EXPECT_EQ(tab->view()->findChildren<QLabel*>().contains(tab->infoField()), true);
    tab->setDrawing(nullptr);
}

#include "panels/search/DocumentSearch.h"

#include "app/commands/MapSearchToolBar.h"
#include "app/document/VXQMappingLayer.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Menu.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "platform/vantrix/view/VXDrawingView.h"
#include "support/MapWindowTesting.h"

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// A map window shown as the key window, as a user meets it.
class SearchField : public testsupport::MapWindowTest {
protected:
    void SetUp() override
    {
        MapWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        layer = qobject_cast<VXQMappingLayer*>(document->activeLayer());
        ASSERT_TRUE(layer);
        DocumentSearch::setBeepHook([this] { ++beeps; });
    }

    void TearDown() override
    {
        DocumentSearch::setBeepHook(nullptr);
        MapWindowTest::TearDown();
    }

    VXDrawableObjectPtr addShape(const QString& name, double x)
    {
        auto shape = VXDrawableShape::drawableShapeWithRect(QRectF(x, 20, 30, 30),
                                                            VXStyle::styleWithFillColourStrokeColour(Qt::red, Qt::black));
        shape->setMetadataItemValueForKey(name, QStringLiteral("name"));
        layer->addObject(shape);
        return shape;
    }

    void typeSearch(const QString& text)
    {
        QLineEdit* field = MapSearchToolBar::searchField(window);
        ASSERT_TRUE(field);
        field->setFocus();
        field->clear();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
        platform::RunLoop::runUntilIdle();
    }

    platform::Menu* optionsMenu() const
    {
        auto* button = window->findChild<QToolButton*>(QStringLiteral("searchOptionsButton"));
        return button ? qobject_cast<platform::Menu*>(button->menu()) : nullptr;
    }

    platform::MenuItem* optionItem(int tag) const
    {
        platform::Menu* menu = optionsMenu();
        return menu ? menu->itemWithTag(tag) : nullptr;
    }

    VXQMappingLayer* layer = nullptr;
    int beeps = 0;
};

} // namespace

TEST_F(SearchField, TypedSearchesSelectAndOptionsAreChecked)
{
    const VXDrawableObjectPtr mill = addShape("Mill Lane", 0), hill = addShape("Hill Road", 50);
    typeSearch("lane");
    EXPECT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{mill});
    // The search hands the keyboard back to the drawing.
    EXPECT_TRUE(document->mainView()->hasFocus());

    platform::MenuItem* startsWith = optionItem(kSimpleSearchStartsWith);
    ASSERT_TRUE(startsWith);
    platform::Menu::validateActions(optionsMenu()->actions());
    EXPECT_EQ(optionItem(kSimpleSearchContains)->state(), platform::MenuItem::OnState);
    startsWith->trigger();
    platform::Menu::validateActions(optionsMenu()->actions());
    EXPECT_EQ(startsWith->state(), platform::MenuItem::OnState);
    EXPECT_EQ(optionItem(kSimpleSearchContains)->state(), platform::MenuItem::OffState);

    typeSearch(" hill");
    EXPECT_EQ(layer->selection(), QList<VXDrawableObjectPtr>{hill});
    typeSearch("road"); // no text starts with it: nothing stays selected
    EXPECT_TRUE(layer->selection().isEmpty());
    EXPECT_EQ(beeps, 1);
}

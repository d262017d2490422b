#include "platform/foundation/RunLoop.h"
#include "platform/vantrix/drawables/VXDrawableShape.h"
#include "style_editor/editor/StyleContentObserver.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

// A selection of thousands costs the observer no watch per object, and a restyle of any of
// them, or of many at once, is told once with the selection's styles.
TEST(StyleContentObserver, FollowsTheStylesOfALargeSelectionAsAWhole)
{
    const VXStylePtr roads = VXStyle::styleWithFillColourStrokeColour(Qt::white, Qt::black);
    const VXStylePtr rivers = VXStyle::styleWithFillColourStrokeColour(Qt::white, Qt::blue);
    QList<VXDrawableObjectPtr> selection;
    for (int i = 0; i < 10000; ++i)
        selection.append(VXDrawableShape::drawableShapeWithRect({0, 0, 10, 10}, roads));
    const VXDrawableObjectPtr unselected = VXDrawableShape::drawableShapeWithRect({0, 0, 10, 10}, roads);

    StyleContentObserver observer;
    QSignalSpy restyled(&observer, &StyleContentObserver::selectionStylesDidChange);
    observer.setSelection(selection);
    EXPECT_TRUE(std::none_of(selection.cbegin(), selection.cend(), [](const auto& object) { return object->hasObservers(); }));

    unselected->setStyle(rivers);
    platform::RunLoop::runUntilIdle();
    EXPECT_EQ(restyled.count(), 0);

    for (const int index : {0, 5000, 9999}) {
        SCOPED_TRACE(index);
        selection[index]->setStyle(rivers);
        platform::RunLoop::runUntilIdle();
        ASSERT_EQ(restyled.count(), 1);
        // In selection order.
        const QList<VXStylePtr> expected = index == 0 ? QList<VXStylePtr>{rivers, roads} : QList<VXStylePtr>{roads, rivers};
        EXPECT_EQ(restyled.takeFirst().first().value<QList<VXStylePtr>>(), expected);
        selection[index]->setStyle(roads);
        platform::RunLoop::runUntilIdle();
        restyled.clear();
    }
    for (const VXDrawableObjectPtr& object : std::as_const(selection))
        object->setStyle(rivers);
    platform::RunLoop::runUntilIdle();
    ASSERT_EQ(restyled.count(), 1);
    EXPECT_EQ(restyled.first().first().value<QList<VXStylePtr>>(), QList<VXStylePtr>({rivers}));
}

// Each style once, where it first shows in the selection, whatever runs and gaps lie between.
TEST(StyleContentObserver, TheSelectionsStylesAreEachListedOnceInSelectionOrder)
{
    const VXStylePtr roads = VXStyle::styleWithFillColourStrokeColour(Qt::white, Qt::black);
    const VXStylePtr rivers = VXStyle::styleWithFillColourStrokeColour(Qt::white, Qt::blue);
    const VXStylePtr paths = VXStyle::styleWithFillColourStrokeColour(Qt::white, Qt::red);
    QList<VXDrawableObjectPtr> selection;
    for (const VXStylePtr& style : {VXStylePtr(), roads, roads, rivers, roads, VXStylePtr(), paths, rivers, paths})
        selection.append(VXDrawableShape::drawableShapeWithRect({0, 0, 10, 10}, style));
    StyleContentObserver observer;
    observer.setSelection(selection);
    EXPECT_EQ(observer.stylesOfSelection(), QList<VXStylePtr>({roads, rivers, paths}));
}

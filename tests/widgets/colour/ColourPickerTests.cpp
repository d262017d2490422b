#include "ColourTestSupport.h"
#include "widgets/colour/ColourWheel.h"
#include "widgets/colour/WebSafeColours.h"
#include "widgets/colour/ZQColourPickerView.h"

#include <QKeyEvent>
#include <QSet>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <cmath>

namespace {

struct Picker {
    Picker(int mode)
    {
        view.setMode(mode);
        view.setShowsInfo(false);
        view.setTarget(&recorder);
        view.setAction("colourChangeFromPicker");
    }

    void scroll(int angleDelta)
    {
        const QPointF at(112, 112);
        QWheelEvent event(at, view.mapToGlobal(at), QPoint(), QPoint(0, angleDelta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&view, &event);
    }

    ColourRecorder recorder;
    ZQColourPickerView view;
};

double distance(QPointF a, QPointF b)
{
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

} // namespace

TEST(ColourPicker, WebSafeSwatchesWrapAfterTheListAndMapPointsToWholeCells)
{
    const QList<QColor>& colours = webSafeColours();
    ASSERT_EQ(colours.size(), 216);
    QSet<QRgb> distinct;
    for (const QColor& colour : colours)
        distinct.insert(colour.rgb());
    EXPECT_EQ(distinct.size(), 216);
    EXPECT_EQ(colours[1], QColor("#000033"));
    EXPECT_EQ(colours[6], QColor("#003300"));
    EXPECT_EQ(colours[215], QColor("#FFFFFF"));

    Picker picker(ZQColourPickerView::SwatchMode);
    ZQColourPickerView& view = picker.view;
    // Swatch 216 onwards (row 13, column 8 onwards) repeats the list from its start.
    for (int index = 216; index < 256; ++index)
        EXPECT_EQ(view.colorForSwatchXY(index % 16, index / 16), colours[index - 216]) << index;
    EXPECT_EQ(view.colorForSwatchXY(7, 13), colours[215]);

    // 225 points: hit cells of 225/16, drawn cells of 14 with one-point gaps.
    EXPECT_EQ(view.swatchAtPoint(QPointF(0, 0)), QPointF(0, 0));
    EXPECT_EQ(view.swatchAtPoint(QPointF(224.9, 14.0)), QPointF(15, 0));
    EXPECT_EQ(view.swatchAtPoint(QPointF(14.1, 14.1)), QPointF(1, 1));
    EXPECT_EQ(view.swatchAtPoint(QPointF(225, 10)), ZQColourPickerView::kNoSelection);
    EXPECT_EQ(view.swatchAtPoint(QPointF(-0.5, 10)), ZQColourPickerView::kNoSelection);
    EXPECT_EQ(view.swatchDrawingRect(15, 15), QRectF(211, 211, 13, 13));
    EXPECT_EQ(view.rectForSwatch(QPointF(2, 3)), QRectF(29, 43, 14, 14));
}

TEST(ColourPicker, WheelMapsAngleToHueAndDistanceToSaturation)
{
    Picker picker(ZQColourPickerView::SpectrumMode);
    ZQColourPickerView& view = picker.view;
    view.setBrightness(1.0);
    const ColourWheel wheel(view.rect());
    EXPECT_DOUBLE_EQ(wheel.radius(), 108.5);
    const QPointF c = wheel.centre();
    EXPECT_EQ(view.colorForSpectrumPoint(c + QPointF(108.5, 0)).rgb(), QColor(255, 0, 0).rgb());
    // Views count y downwards: above the centre is angle 3π/2, hue 0.25.
    EXPECT_NEAR(view.colorForSpectrumPoint(c + QPointF(0, -100)).hsvHueF(), 0.25, 1e-3);
    EXPECT_NEAR(view.colorForSpectrumPoint(c + QPointF(0, 100)).hsvHueF(), 0.75, 1e-3);
    EXPECT_NEAR(view.colorForSpectrumPoint(c + QPointF(54.25, 0)).hsvSaturationF(), 0.5, 1e-3);
    // Beyond the rim: the undefined-selection colour.
    view.setColorForUndefinedSelection(QColor(10, 200, 30));
    EXPECT_EQ(view.colorForSpectrumPoint(c + QPointF(109, 0)), QColor(10, 200, 30));
    EXPECT_TRUE(view.pointIsInColourwheel(c + QPointF(0, 108.5)));
    EXPECT_FALSE(view.pointIsInColourwheel(QPointF(4, 4)));

    for (const QPointF offset : {QPointF(30, 40), QPointF(-70, 10), QPointF(-5, -90), QPointF(60, -60)}) {
        const QColor colour = view.colorForSpectrumPoint(c + offset);
        EXPECT_LT(distance(view.pointForSpectrumColor(colour), c + offset), 1.5) << offset.x() << "," << offset.y();
    }
    EXPECT_EQ(view.pointForSpectrumColor(QColor(128, 128, 128)), c); // no hue, no saturation: the centre
    EXPECT_EQ(view.rectForSpectrumPoint(QPointF(50, 60)), QRectF(46, 56, 8, 8));
}

TEST(ColourPicker, BrightnessFollowsTheScrollWheelInSpectrumModeOnlyAndIsClamped)
{
    Picker picker(ZQColourPickerView::SpectrumMode);
    ZQColourPickerView& view = picker.view;
    EXPECT_NEAR(view.brightness(), 0.5, 1e-4); // from the grey undefined-selection colour
    picker.scroll(120 * 15);                   // −15/150
    EXPECT_NEAR(view.brightness(), 0.4, 1e-4);
    picker.scroll(-120 * 30);
    EXPECT_NEAR(view.brightness(), 0.6, 1e-4);
    EXPECT_EQ(picker.recorder.colours.size(), 2);
    picker.scroll(-120 * 600);
    EXPECT_DOUBLE_EQ(view.brightness(), 1.0);
    picker.scroll(-120);
    EXPECT_EQ(picker.recorder.colours.size(), 3); // unchanged at the bound: nothing sent
    view.setBrightness(std::nan(""));
    view.setBrightness(-3);
    EXPECT_DOUBLE_EQ(view.brightness(), 0.0);

    view.setMode(ZQColourPickerView::SwatchMode);
    const int sent = int(picker.recorder.colours.size());
    picker.scroll(-120 * 15);
    view.setBrightness(0.7); // stored, but swatches do not report it
    EXPECT_DOUBLE_EQ(view.brightness(), 0.7);
    EXPECT_EQ(picker.recorder.colours.size(), sent);
}

TEST(ColourPicker, DraggingReportsSwatchesAndTheStartingColourOffThem)
{
    Picker picker(ZQColourPickerView::SwatchMode);
    ZQColourPickerView& view = picker.view;
    const QColor start(12, 34, 56);
    view.setColorForUndefinedSelection(start);
    picker.recorder.colours.clear();
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(20, 5)); // swatch (1, 0)
    QTest::mouseMove(&view, QPoint(22, 6));                         // same swatch: nothing new
    QTest::mouseMove(&view, QPoint(5, 20));                         // swatch (0, 1)
    QMouseEvent off(QEvent::MouseMove, QPointF(300, 20), view.mapToGlobal(QPointF(300, 20)), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &off);
    EXPECT_EQ(picker.recorder.colours, (QList<QColor>{webSafeColours()[1], webSafeColours()[16], start}));
    EXPECT_EQ(view.selection(), ZQColourPickerView::kNoSelection);
    EXPECT_EQ(view.color(), start);

    // Keys move the swatch selection from the first swatch, within the grid.
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(view.selection(), QPointF(0, 0));
    QTest::keyClick(&view, Qt::Key_Left);
    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_EQ(view.selection(), QPointF(1, 1));
    EXPECT_EQ(view.color(), webSafeColours()[17]);
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_EQ(picker.recorder.colours.last(), start);
}

TEST(ColourPicker, LeavingTheWheelReturnsToTheStartingColourAndBrightness)
{
    Picker picker(ZQColourPickerView::SpectrumMode);
    ZQColourPickerView& view = picker.view;
    const QColor start = QColor::fromHsvF(0.5f, 0.5f, 0.8f);
    view.setColorForUndefinedSelection(start);
    const QPointF c = ColourWheel(view.rect()).centre();
    view.mouseDragged(c + QPointF(108.5, 0));
    EXPECT_EQ(picker.recorder.colours.last().rgb(), QColor::fromHsvF(0, 1, start.valueF()).rgb());
    picker.scroll(120 * 30); // darker
    view.mouseDragged(QPointF(2, 2));
    EXPECT_DOUBLE_EQ(view.brightness(), start.valueF());
    EXPECT_LT(distance(view.selection(), view.pointForSpectrumColor(start)), 1e-9);
    EXPECT_NEAR(view.color().hsvHueF(), 0.5, 0.01);
    EXPECT_NEAR(picker.recorder.colours.last().valueF(), 0.8, 0.01);

    // Alt shows the other mode while held.
    view.flagsChanged(Qt::AltModifier);
    EXPECT_EQ(view.mode(), ZQColourPickerView::SwatchMode);
    view.flagsChanged(Qt::NoModifier);
    EXPECT_EQ(view.mode(), ZQColourPickerView::SpectrumMode);
    QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &altDown);
    EXPECT_EQ(view.mode(), ZQColourPickerView::SwatchMode);
}

TEST(ColourPicker, TheWheelImageIsMadeOncePerSizeAndNeverInADrag)
{
    Picker picker(ZQColourPickerView::SpectrumMode);
    ZQColourPickerView& view = picker.view;
    view.resize(131, 131);
    const QImage first = ColourWheel::image(view.size(), 2.0);
    ASSERT_EQ(first.size(), QSize(262, 262));
    EXPECT_EQ(ColourWheel::image(view.size(), 2.0).cacheKey(), first.cacheKey());
    QImage screen(view.size() * 2, QImage::Format_ARGB32_Premultiplied);
    screen.setDevicePixelRatio(2.0);
    view.render(&screen); // at the widget's own ratio
    const int made = ColourWheel::imagesComputed();
    for (int step = 0; step < 20; ++step) {
        view.mouseDragged(QPointF(30 + step * 3, 60));
        view.render(&screen);
    }
    EXPECT_EQ(ColourWheel::imagesComputed(), made);
    // The wheel's right edge is red at full brightness; the dark corner is outside the clip.
    EXPECT_EQ(QColor(first.pixel(255, 130)).hsvHue(), 0);
    view.setBrightness(1.0);
    view.render(&screen);
    const QColor right = screen.pixelColor(2 * 120, 2 * 65);
    EXPECT_GT(right.red(), 200);
    EXPECT_LT(right.blue(), 60);
}

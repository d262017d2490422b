#include "../ActionRecorder.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/graphics/AttributedStringLayout.h"
#include "widgets/controls/ZQRoundRectSelectorControl.h"
#include "widgets/previews/ZQDocumentPreviewView.h"
#include "widgets/previews/ZQTextPreviewView.h"

#include <QTest>
#include <gtest/gtest.h>

TEST(DocumentPreview, PageShadowAndTexture)
{
    ZQDocumentPreviewView view(QRect(0, 0, 200, 200));
    view.setAspect(QSizeF(595.3, 841.9)); // A4 portrait
    const QRectF page = view.pageRect();
    EXPECT_NEAR(page.width(), 127.3, 0.1);
    EXPECT_NEAR(page.height(), 180.0, 1e-9);
    EXPECT_NEAR(page.center().x(), 100.0, 1e-9);
    EXPECT_FALSE(view.isOpaque());
    view.setBackgroundColour(QColor(0, 0, 0, 128));
    EXPECT_FALSE(view.isOpaque());
    view.setBackgroundColour(Qt::gray);
    EXPECT_TRUE(view.isOpaque());

    QImage image = view.grab().toImage();
    EXPECT_EQ(image.pixelColor(100, 100), QColor(Qt::white)) << "white without a document colour";
    // The shadow falls right and down on screen.
    const int right = int(page.right()) + 3, bottom = int(page.bottom()) + 3;
    EXPECT_LT(image.pixelColor(right, 100).lightness(), QColor(Qt::gray).lightness());
    EXPECT_EQ(image.pixelColor(int(page.left()) - 3, 100), QColor(Qt::gray));
    EXPECT_LT(image.pixelColor(100, bottom).lightness(), QColor(Qt::gray).lightness());
    EXPECT_EQ(image.pixelColor(100, int(page.top()) - 3), QColor(Qt::gray));

    view.setDrawsShadow(false);
    view.setDocumentColour(Qt::yellow);
    QImage texture(8, 8, QImage::Format_ARGB32_Premultiplied);
    texture.fill(Qt::blue);
    view.setContentImage(texture);
    image = view.grab().toImage();
    EXPECT_EQ(image.pixelColor(right, 100), QColor(Qt::gray));
    const QColor textured = image.pixelColor(100, 100);
    EXPECT_GT(textured.blue(), textured.red()) << "the texture over the yellow page at 0.67";
    EXPECT_GT(textured.red(), 50);
}

TEST(RoundRectSelector, ClicksToggleTheirCorner)
{
    ActionRecorder target;
    ZQRoundRectSelectorControl control;
    control.resize(60, 44);
    control.setTarget(&target);
    control.setAction("changeAction");
    EXPECT_EQ(control.corners(), 15);

    const QRectF r = control.frameRect(1.0);
    QTest::mouseClick(&control, Qt::LeftButton, {}, (r.topLeft() + QPointF(5, 5)).toPoint());
    EXPECT_EQ(control.corners(), 14);
    EXPECT_EQ(target.actions, 1);
    EXPECT_EQ(control.trackingCorner(), 0);

    // Released outside the pressed quarter: nothing; dragged back in first: toggles.
    const QPoint bottomRight = (r.bottomRight() - QPointF(5, 5)).toPoint();
    QTest::mousePress(&control, Qt::LeftButton, {}, bottomRight);
    QTest::mouseMove(&control, (r.topLeft() + QPointF(5, 5)).toPoint());
    QTest::mouseRelease(&control, Qt::LeftButton, {}, (r.topLeft() + QPointF(5, 5)).toPoint());
    EXPECT_EQ(control.corners(), 14);
    EXPECT_EQ(target.actions, 1);
    QTest::mousePress(&control, Qt::LeftButton, {}, bottomRight);
    QTest::mouseMove(&control, QPoint(1, 1));
    QTest::mouseMove(&control, bottomRight);
    QTest::mouseRelease(&control, Qt::LeftButton, {}, bottomRight);
    EXPECT_EQ(control.corners(), 6);
    EXPECT_EQ(target.actions, 2);

    // The margin outside R does nothing; the middle lines count to the right and lower side.
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(control.corners(), 6);
    EXPECT_EQ(control.cornerAt(r.center()), 8);
    EXPECT_EQ(control.cornerAt(QPointF(r.left() + 1, r.center().y())), 2);

    // Keys: Down then Space switches the bottom-left corner.
    QTest::keyClick(&control, Qt::Key_Down);
    QTest::keyClick(&control, Qt::Key_Space);
    EXPECT_EQ(control.corners(), 4);
    EXPECT_EQ(target.actions, 3);
    EXPECT_TRUE(control.description().endsWith("corners=4"));

    // Mixed: the outline is dashed, so some of its pixels along the top edge are unpainted.
    control.setCorners(15);
    const QImage solid = control.grab().toImage();
    control.setState(ZQRoundRectSelectorControl::kMixedState);
    const QImage dashed = control.grab().toImage();
    EXPECT_NE(solid, dashed);
}

TEST(TextPreview, BisectionFitsAndAlwaysEnds)
{
    const auto text = [](const QString& string) { return platform::AttributedString(string); };
    // One letter in a large view: the maximum.
    EXPECT_EQ(ZQTextPreviewView::fittedFontSize(text("A"), QRectF(0, 0, 400, 300), 10, 48), 48.0);
    // Placeholder sizes: min = max.
    EXPECT_EQ(ZQTextPreviewView::fittedFontSize(text("Placeholder"), QRectF(0, 0, 20, 20), 18, 18), 18.0);
    // A long string shrinks towards the minimum and stays within the bounds.
    const double small = ZQTextPreviewView::fittedFontSize(text(QString(100000, 'w')), QRectF(0, 0, 100, 40), 10, 48);
    EXPECT_GE(small, 10.0);
    EXPECT_LT(small, 10.5);
    // A middling string fits the whole view and fills the inner one, or stops on the tolerance.
    const QRectF view(0, 0, 200, 60);
    const double size = ZQTextPreviewView::fittedFontSize(text("Quorvane"), view, 10, 48);
    EXPECT_GT(size, 10.0);
    EXPECT_LT(size, 48.0);
    // Bounds a hair apart end at once.
    EXPECT_EQ(ZQTextPreviewView::fittedFontSize(text(QString(50, 'w')), view, 10, std::nextafter(10.0, 11.0)),
              std::nextafter(10.0, 11.0));
    EXPECT_EQ(ZQTextPreviewView::fittedFontSize(text("x"), view, 20, 10), 20) << "reversed bounds answer the minimum";

    // Drawn: the placeholder when there is no string, white all round.
    ZQTextPreviewView preview;
    preview.resize(200, 60);
    preview.setPlaceholderString(text("Aa"));
    const QImage image = preview.grab().toImage();
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::white));
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += image.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_GT(inked, 20);
}

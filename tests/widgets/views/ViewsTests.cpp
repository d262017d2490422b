#include "support/LogCapture.h"
#include "widgets/formatters/ZQPrefixedDateFormatter.h"
#include "widgets/views/SmallViews.h"
#include "widgets/views/ZQDebuggingScrollView.h"
#include "widgets/views/ZQLineEdgeView.h"

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

TEST(LineEdgeView, LineRunsAlongTheLongerSide)
{
    EXPECT_EQ(ZQLineEdgeView::edgeLineInBounds(QRectF(0, 0, 1, 40)), QLineF(0.5, 40, 0.5, 0));
    EXPECT_EQ(ZQLineEdgeView::edgeLineInBounds(QRectF(0, 0, 40, 1)), QLineF(0, 0.5, 40, 0.5));
    EXPECT_EQ(ZQLineEdgeView::edgeLineInBounds(QRectF(0, 0, 20, 20)), QLineF(0, 19.5, 20, 19.5));

    // Drawn at the bottom edge of a wide view, in its colour.
    ZQLineEdgeView view;
    view.resize(40, 10);
    view.setLineColour(Qt::black);
    view.setLineWidth(1.0);
    const QImage image = view.grab().toImage();
    EXPECT_EQ(image.pixelColor(20, 9), QColor(Qt::black));
    EXPECT_NE(image.pixelColor(20, 2), QColor(Qt::black));
    EXPECT_EQ(view.focusPolicy(), Qt::NoFocus);
}

TEST(SmallViews, GradientAndBorderPaintTheirRules)
{
    ZQGradientBackgroundView gradient;
    gradient.resize(10, 100);
    QImage image = gradient.grab().toImage();
    EXPECT_NEAR(image.pixelColor(5, 99).redF(), 0.98, 0.01) << "light at the bottom";
    EXPECT_NEAR(image.pixelColor(5, 0).redF(), 0.88, 0.01);

    ZQBorderView border;
    border.resize(30, 20);
    image = border.grab().toImage();
    EXPECT_NEAR(image.pixelColor(15, 10).redF(), 0.96, 0.01);
    EXPECT_LT(image.pixelColor(15, 19).redF(), 0.7) << "rule at the bottom";
    EXPECT_LT(image.pixelColor(15, 0).redF(), 0.8) << "half of a rule at the top";
}

TEST(SmallViews, LimelightHoggingViewTakesTheFocusBack)
{
    QWidget window;
    auto* hog = new ZQLimelightHoggingView(&window);
    auto* field = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    hog->setFocus();
    field->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(field->hasFocus());
    QCoreApplication::processEvents();
    EXPECT_TRUE(hog->hasFocus());

    ZQControlledView controlled;
    {
        QObject controller;
        controlled.setController(&controller);
        EXPECT_EQ(controlled.controller(), &controller);
    }
    EXPECT_EQ(controlled.controller(), nullptr);
}

TEST(DebuggingScrollView, CountsAndLogsEveryScroll)
{
    testsupport::LogCapture log;
    ZQDebuggingScrollView view;
    auto* content = new QWidget;
    content->resize(500, 500);
    view.setWidget(content);
    view.resize(100, 100);
    view.show();
    view.verticalScrollBar()->setValue(50);
    view.horizontalScrollBar()->setValue(20);
    view.verticalScrollBar()->setValue(50);
    EXPECT_EQ(view.numberOfScrolls(), 2);
    EXPECT_EQ(log.lines, QStringList({QStringLiteral("scroll 1"), QStringLiteral("scroll 2")}));
}

TEST(PrefixedDateFormatter, PrefixSpaceAndTheBaseText)
{
    ZQPrefixedDateFormatter formatter(QLocale::ShortFormat, QLocale::c());
    formatter.setPrefixString(QStringLiteral("Modified"));
    const QDateTime when(QDate(2026, 12, 7), QTime(10, 30));
    EXPECT_EQ(formatter.stringForObjectValue(when),
              QStringLiteral("Modified ") + QLocale::c().toString(when, QLocale::ShortFormat));
    EXPECT_EQ(formatter.stringForObjectValue(QDate(2026, 1, 2)),
              QStringLiteral("Modified ") + QLocale::c().toString(QDate(2026, 1, 2), QLocale::ShortFormat));
    EXPECT_EQ(formatter.stringForObjectValue(QStringLiteral("yesterday")), QString()) << "no date, no text";
    EXPECT_EQ(formatter.stringForObjectValue(QDateTime()), QString());
}

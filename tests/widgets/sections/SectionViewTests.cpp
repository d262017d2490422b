#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "widgets/sections/ZQSectionView.h"
#include "support/LogCapture.h"

#include <QToolButton>
#include <gtest/gtest.h>

using platform::RunLoop;

TEST(SectionViews, StackFromTheTopSharingTitleLines)
{
    ZQMultiSectionView host; // the window itself
    host.resize(200, 300);
    auto* a = new ZQSectionView(QRect(0, 0, 200, 101));
    auto* b = new ZQSectionView(QRect(0, 0, 200, 17));
    auto* c = new ZQSectionView(QRect(0, 0, 200, 51));
    host.addSection(a);
    host.addSection(b);
    host.addSection(c);
    // Bottom edges 100, 116 and 166 below the top: each reaches one point into the one above.
    EXPECT_EQ(a->geometry().bottom() + 1, 100);
    EXPECT_EQ(b->geometry().bottom() + 1, 116);
    EXPECT_EQ(c->geometry().bottom() + 1, 166);
    EXPECT_EQ(host.targetContentHeight(), 166);
    RunLoop::runFor(100);
    EXPECT_GT(host.height(), 166);
    EXPECT_LT(host.height(), 300);
    RunLoop::runFor(300);
    EXPECT_EQ(host.height(), 166) << "the window fits the stack";
    EXPECT_TRUE(a->isOpen());
    EXPECT_FALSE(ZQSectionView(QRect(0, 0, 10, 16)).isOpen());

    // Closing shrinks to the title bar and restacks; an open section opening again tells nobody.
    a->setMaxHeight(85);
    a->close();
    EXPECT_EQ(a->height(), 16);
    EXPECT_FALSE(a->disclosureButton()->isChecked());
    RunLoop::runFor(300);
    EXPECT_EQ(host.height(), 15 + 16 + 50);
    host.resize(200, 400);
    b->open();
    c->open();
    RunLoop::runFor(300);
    EXPECT_EQ(host.height(), 400);
    a->open();
    EXPECT_EQ(a->height(), 101);
    RunLoop::runFor(300);
    EXPECT_EQ(host.height(), 166);

    // Nil sections are programming errors: logged, and the view goes on as it was.
    testsupport::LogCapture log;
    host.addSection(nullptr);
    host.insertSectionAtIndex(nullptr, 0);
    host.removeSection(nullptr);
    host.sectionDidOpen(nullptr);
    host.sectionDidClose(nullptr);
    EXPECT_TRUE(log.contains("cannot add a nil section"));
    EXPECT_TRUE(log.contains("cannot remove a nil section"));
    EXPECT_TRUE(log.contains("received sectionDidOpen with nil"));
    EXPECT_EQ(host.height(), 166);
    EXPECT_EQ(host.sections().size(), 3);
}

TEST(SectionViews, TitleBarGeometryAndDrawing)
{
    ZQSectionView section(QRect(0, 0, 120, 60));
    EXPECT_EQ(section.titleBarRect(), QRectF(0, 0, 120, 16));
    EXPECT_EQ(section.contentRect(), QRectF(0, 16, 120, 44));
    Qt::Alignment alignment;
    section.setTitle("Tools");
    EXPECT_EQ(section.titleRect(&alignment), QRectF(20, 1, 80, 16));
    EXPECT_EQ(alignment, Qt::AlignHCenter);
    section.setTitle(QString(200, 'W'));
    EXPECT_EQ(section.titleRect(&alignment), QRectF(20, 1, 100, 16)) << "to the right edge";
    EXPECT_EQ(alignment, Qt::AlignLeft);

    section.setTitle(QString());
    section.setEnabled(false);
    const QImage disabled = section.grab().toImage();
    EXPECT_NEAR(disabled.pixelColor(60, 8).redF(), 0.8, 0.02) << "flat grey";
    section.setEnabled(true);
    const QImage enabled = section.grab().toImage();
    EXPECT_NE(enabled.pixelColor(60, 3), enabled.pixelColor(60, 13)) << "a gradient";
}

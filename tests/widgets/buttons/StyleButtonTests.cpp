#include "platform/foundation/RunLoop.h"
#include "platform/graphics/ColourUtilities.h"
#include "platform/ui/Pasteboard.h"
#include "widgets/buttons/ZQStyleButton.h"
#include "widgets/buttons/ZQStyleButtonItemDelegate.h"

#include <QMenu>
#include <QPainter>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>

using platform::RunLoop;
using platform::shadowWithLevel;

namespace {

class NamedStyle : public QObject, public ZQPasteboardCopying {
    Q_OBJECT
    Q_PROPERTY(QString name MEMBER name)

public:
    QString name;
    mutable int copies = 0;
    void copyToPasteboard(platform::Pasteboard& pasteboard) const override
    {
        ++copies;
        pasteboard.clearContents();
        pasteboard.setStringForType(name, QStringLiteral("public.utf8-plain-text"));
    }
};

class LatchingPalette : public QObject, public ZQStyleButtonCellDelegate {
    Q_OBJECT

public:
    void zqStyleButtonCellWillDrawBackgroundInFrame(ZQStyleButtonCell& cell, const QRectF& frame) override
    {
        cell.setOnStateColour(Qt::green);
        frames.append(frame);
    }
    QList<QRectF> frames;
};

QImage drawn(ZQStyleButtonCell& cell, QSize size = QSize(40, 40), QWidget* view = nullptr)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    cell.drawWithFrame(painter, QRectF(QPointF(), size), view);
    return image;
}

bool sameColour(const QColor& a, const QColor& b, int tolerance = 2)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance && std::abs(a.alpha() - b.alpha()) <= tolerance;
}

} // namespace

TEST(StyleButtonCell, StateColoursAndGradientsFollowStateAndPress)
{
    EXPECT_EQ(stickyButtonColour(), QColor::fromRgbF(1.0f, 0.65f, 0.2f));
    ZQStyleButtonCell cell;
    EXPECT_EQ(cell.cornerRadius(), 6.0);
    EXPECT_EQ(cell.backgroundColour(), platform::rgbGrey(1.0));
    EXPECT_EQ(ZQStyleButtonCell(true).backgroundColour(), platform::rgbGrey(0.93));

    EXPECT_EQ(cell.colourForCurrentState(), cell.backgroundColour());
    EXPECT_EQ(cell.gradientForCurrentState().endingColour(), shadowWithLevel(cell.backgroundColour(), 0.05));
    cell.setHighlighted(true);
    EXPECT_EQ(cell.colourForCurrentState(), shadowWithLevel(cell.backgroundColour(), 0.1));
    EXPECT_EQ(cell.gradientForCurrentState().endingColour(), shadowWithLevel(cell.colourForCurrentState(), 0.1));
    cell.setHighlighted(false);
    cell.setState(ZQStyleButtonCell::OnState);
    EXPECT_EQ(cell.colourForCurrentState(), shadowWithLevel(stickyButtonColour(), 0.1));
    cell.setState(ZQStyleButtonCell::MixedState);
    EXPECT_EQ(cell.colourForCurrentState(), cell.mixedStateColour()) << "mixed and not pressed is not darkened";
    EXPECT_EQ(cell.gradientForCurrentState().endingColour(), shadowWithLevel(cell.mixedStateColour(), 0.1));
    cell.setBackgroundColour(QColor());
    cell.setState(ZQStyleButtonCell::OffState);
    EXPECT_EQ(cell.colourForCurrentState(), QColor(Qt::transparent));
    EXPECT_EQ(cell.imageRectForBounds(QRectF(0, 0, 10, 10)), QRectF(1, 1, 8, 8));
}

TEST(StyleButtonCell, DrawsBezelByStateWashesDisabledAndSkipsBadFrames)
{
    ZQStyleButtonCell cell;
    cell.setState(ZQStyleButtonCell::MixedState);
    QImage image = drawn(cell);
    const QColor top = image.pixelColor(20, 2);
    const QColor bottom = image.pixelColor(20, 37);
    EXPECT_GT(top.blue(), bottom.blue() + 15) << "darkened from top to bottom";
    EXPECT_TRUE(sameColour(top, QColor(0, 0, 250), 8)) << qPrintable(top.name());

    cell.setState(ZQStyleButtonCell::OffState);
    cell.setEnabled(false);
    image = drawn(cell);
    EXPECT_TRUE(sameColour(image.pixelColor(20, 20), QColor::fromRgbF(1, 1, 1, 0.25f)))
        << "only the white wash: no gradient, no border";
    EXPECT_EQ(image.pixelColor(0, 20).alpha(), 0);

    cell.setEnabled(true);
    cell.setImage(imageNamed(QStringLiteral("smallBlueKnob")));
    QImage nothing(40, 40, QImage::Format_ARGB32_Premultiplied);
    nothing.fill(Qt::transparent);
    {
        QPainter painter(&nothing);
        cell.drawImageWithFrame(painter, QRectF(0, 0, std::numeric_limits<double>::quiet_NaN(), 40), nullptr);
    }
    EXPECT_EQ(nothing.pixelColor(20, 20).alpha(), 0);
}

TEST(StyleButtonCell, DelegateSetsOnColourBeforeTheBezel)
{
    LatchingPalette palette;
    ZQStyleButton button;
    button.resize(30, 30);
    button.setDelegate(&palette);
    button.setState(ZQStyleButtonCell::OnState);
    QImage image = drawn(button.cell(), QSize(30, 30), &button);
    ASSERT_EQ(palette.frames.size(), 1);
    EXPECT_EQ(palette.frames.first(), QRectF(0, 0, 30, 30));
    EXPECT_TRUE(sameColour(image.pixelColor(15, 3), shadowWithLevel(Qt::green, 0.1), 6));
}

TEST(StyleButtonCell, CopyMenuForNamedObjectsAndOwnMenuFirst)
{
    ZQStyleButtonCell cell;
    EXPECT_EQ(cell.menu(), nullptr);
    NamedStyle road;
    road.name = QStringLiteral("Road");
    cell.setRepresentedObject(&road);
    QMenu* menu = cell.menu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().first()->text(), QStringLiteral("Copy 'Road'"));
    menu->actions().first()->trigger();
    EXPECT_EQ(road.copies, 1);
    EXPECT_EQ(platform::Pasteboard::generalPasteboard().stringForType(QStringLiteral("public.utf8-plain-text")),
              QStringLiteral("Road"));

    cell.setShowsMenuAfterDelay(true);
    drawn(cell);
    EXPECT_EQ(cell.menu(), menu) << "drawing keeps the menu, which may be open";
    road.name = QStringLiteral("Track");
    EXPECT_EQ(cell.menu()->actions().first()->text(), QStringLiteral("Copy 'Track'"));

    QMenu own;
    cell.setMenu(&own);
    EXPECT_EQ(cell.menu(), &own);
}

TEST(StyleButton, HeldPressOpensMenuAndLeavesButtonOnWhileShortPressClicks)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Lasso"));
    ZQStyleButton button;
    button.setCheckable(true);
    button.resize(32, 32);
    button.cell().setMenu(&menu);
    button.setShowsMenuAfterDelay(true);
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button.menuTimerPending());
    RunLoop::runFor(999);
    EXPECT_FALSE(menu.isVisible());
    RunLoop::runFor(1);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_FALSE(button.isDown());
    EXPECT_FALSE(button.menuTimerPending());
    menu.hide();
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 0) << "the held press is not a click";
    EXPECT_TRUE(button.isChecked());
    EXPECT_EQ(button.state(), ZQStyleButtonCell::OnState);

    button.setState(ZQStyleButtonCell::OffState);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    RunLoop::runFor(1000);
    EXPECT_FALSE(menu.isVisible()) << "a released press leaves the timer nothing to do";
    EXPECT_TRUE(button.isChecked()) << "the click toggled it";
}

TEST(StyleButton, KeysPressAndOpenTheMenu)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Lasso"));
    ZQStyleButton button;
    button.show();
    int clicks = 0;
    QObject::connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicks, 2);
    QTest::keyClick(&button, Qt::Key_Menu);
    EXPECT_FALSE(menu.isVisible()) << "no menu yet";
    button.cell().setMenu(&menu);
    QTest::keyClick(&button, Qt::Key_Menu);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

TEST(StyleButtonItemDelegate, DrawsSelectedItemsOn)
{
    QStandardItemModel model;
    auto* item = new QStandardItem;
    QImage preview(8, 8, QImage::Format_ARGB32_Premultiplied);
    preview.fill(Qt::red);
    item->setData(preview, Qt::DecorationRole);
    model.appendRow(item);
    ZQStyleButtonItemDelegate delegate;
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 40, 40);
    option.state = QStyle::State_Enabled | QStyle::State_Selected;
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(0, 0));
    }
    EXPECT_EQ(delegate.cell().state(), ZQStyleButtonCell::OnState);
    EXPECT_TRUE(sameColour(image.pixelColor(20, 20), Qt::red)) << "the preview fills the bezel";
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "inset by a point from the item's rectangle";
}

#include "StyleButtonTests.moc"

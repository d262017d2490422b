#include "ColourTestSupport.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/ui/ColourWell.h"
#include "support/LogCapture.h"
#include "widgets/colour/WebSafeColours.h"
#include "widgets/colour/ZQColourCell.h"
#include "widgets/colour/ZQColourTableCellView.h"

#include <QKeyEvent>
#include <QStandardItemModel>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

class RowVeto : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE bool colourCellShouldBeginTrackingInRow(ZQColourCell*, int row) { return row != vetoedRow; }
    int vetoedRow = 3;
};

struct Table {
    Table()
        : cell(new ZQColourCell(&view))
    {
        for (int row = 0; row < 5; ++row) {
            auto* item = new QStandardItem;
            item->setData(QColor::fromHsv(row * 60, 200, 200), Qt::EditRole);
            model.appendRow(item);
        }
        view.setModel(&model);
        view.setItemDelegateForColumn(0, cell);
        view.setGeometry(40, 40, 300, 250);
        view.show();
        cell->setTableDelegate(&veto);
    }

    QColor colour(int row) const { return model.item(row)->data(Qt::EditRole).value<QColor>(); }

    void click(int row, QEvent::Type type, ulong timestamp)
    {
        const QPoint at = view.visualRect(model.index(row, 0)).center();
        QMouseEvent event(type, at, view.viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        event.setTimestamp(timestamp);
        QCoreApplication::sendEvent(view.viewport(), &event);
    }

    RowVeto veto;
    QStandardItemModel model;
    QTableView view;
    QPointer<ZQColourCell> cell;
};

} // namespace

TEST(ColourCell, SwatchAndTriangleGeometry)
{
    EXPECT_EQ(ZQColourCell::swatchRectForFrame(QRectF(10, 100, 60, 30)), QRectF(14, 105, 32, 20));
    EXPECT_EQ(ZQColourCell::swatchRectForFrame(QRectF(10, 100, 60, 24)), QRectF(14, 101, 32, 22));
    EXPECT_EQ(ZQColourCell::swatchRectForFrame(QRectF(0, 0, 30, 20)), QRectF(4, 1, 22, 18));
    // The 7 × 4 triangle sits 3 in from the right and 4 up from the bottom of the swatch.
    EXPECT_EQ(ZQColourCell::menuTriangleRectForSwatch(QRectF(4, 5, 32, 20)), QRectF(26, 17, 7, 4));
}

TEST(ColourCell, AClickPopsUpTheSwatchesAndThePickBecomesTheItemsColour)
{
    Table t;
    bool trackingWhileUp = false;
    whenMenuIsUp([&](ZQWindowMenu* menu) {
        trackingWhileUp = ZQColourCell::isTracking();
        // A second cell cannot start while this one tracks.
        EXPECT_FALSE(t.cell->trackMouseInRectOfView(nullptr, QRect(), &t.view, t.model.index(2, 0)));
        sendToMenu(menu, QEvent::MouseMove, QPointF(33, 5), 1100); // swatch (2, 0)
        EXPECT_EQ(ZQColourCell::trackingColour(), webSafeColours()[2]);
        sendToMenu(menu, QEvent::MouseButtonRelease, QPointF(33, 5), 1400);
    });
    t.click(1, QEvent::MouseButtonPress, 1000);
    EXPECT_TRUE(trackingWhileUp);
    EXPECT_FALSE(ZQColourCell::isTracking());
    EXPECT_FALSE(ZQColourCell::trackingColour().isValid());
    EXPECT_EQ(t.colour(1), webSafeColours()[2]);
    platform::RunLoop::runFor(200);

    // Closed without a pick: a quick release, then a click outside the picker.
    const QColor before = t.colour(0);
    whenMenuIsUp([&](ZQWindowMenu* menu) {
        sendToMenu(menu, QEvent::MouseButtonRelease, QPointF(2, 2), 2050);
        sendToMenu(menu, QEvent::MouseButtonPress, QPointF(-50, -50), 2600);
    });
    t.click(0, QEvent::MouseButtonPress, 2000);
    EXPECT_EQ(t.colour(0), before);
    platform::RunLoop::runFor(200);
}

TEST(ColourCell, SpaceOnTheFocusedCellOpensTheSwatchesForTheKeyboard)
{
    Table t;
    t.view.setFocus();
    t.view.setCurrentIndex(t.model.index(4, 0));
    bool secondPhase = false;
    whenMenuIsUp([&](ZQWindowMenu* menu) {
        secondPhase = menu->isInSecondPhase(); // no button is down: clicks and keys finish it
        for (int key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &press);
        }
    });
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QCoreApplication::sendEvent(&t.view, &space);
    EXPECT_TRUE(secondPhase);
    EXPECT_EQ(t.colour(4), webSafeColours()[18]);
    platform::RunLoop::runFor(200);

    // Escape puts the starting colour back.
    const QColor start = t.colour(4);
    whenMenuIsUp([&](ZQWindowMenu* menu) {
        for (int key : {Qt::Key_Right, Qt::Key_Escape}) {
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &press);
        }
    });
    QCoreApplication::sendEvent(&t.view, &space);
    EXPECT_EQ(t.colour(4), start);
    platform::RunLoop::runFor(200);
}

TEST(ColourCell, DoubleClicksVetoesAndDisabledMenusOpenNothing)
{
    Table t;
    bool popped = false;
    const MenuWatcher watcher([&](ZQWindowMenu* menu) {
        popped = true;
        menu->hide();
    });
    const QColor third = t.colour(3);
    t.click(3, QEvent::MouseButtonPress, 1000); // the delegate says no for row 3
    EXPECT_FALSE(ZQColourCell::isTracking());
    const QModelIndex second = t.model.index(2, 0);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                            Qt::NoModifier);
    EXPECT_FALSE(t.cell->trackMouseInRectOfView(&doubleClick, t.view.visualRect(second), &t.view, second));
    t.cell->setMenuEnabled(false);
    t.click(2, QEvent::MouseButtonPress, 5000);
    platform::RunLoop::runFor(100);
    EXPECT_FALSE(popped);
    EXPECT_EQ(t.colour(3), third);
}

TEST(ColourCell, DeletedWhileItsMenuIsUpLeavesNoTrackingBehind)
{
    Table t;
    QPointer<ZQColourCell> loose = new ZQColourCell; // not the view's: the view's frames stay out of it
    whenMenuIsUp([&](ZQWindowMenu* menu) {
        delete loose;
        sendToMenu(menu, QEvent::MouseMove, QPointF(33, 5), 1100);
        sendToMenu(menu, QEvent::MouseButtonRelease, QPointF(33, 5), 1400);
    });
    const QModelIndex index = t.model.index(1, 0);
    const QPoint at = t.view.visualRect(index).center();
    QMouseEvent press(QEvent::MouseButtonPress, at, t.view.viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    press.setTimestamp(1000);
    EXPECT_TRUE(loose->trackMouseInRectOfView(&press, t.view.visualRect(index), &t.view, index));
    EXPECT_FALSE(loose);
    EXPECT_FALSE(ZQColourCell::isTracking());
    EXPECT_FALSE(ZQColourCell::trackingColour().isValid());
    platform::RunLoop::runFor(200);
}

TEST(ColourTableCellView, TakesColoursIgnoresNullAndAssertsOnOtherValues)
{
    ZQColourTableCellView cellView;
    platform::ColourWell well;
    cellView.setColourWell(&well);
    cellView.setRowIndex(4);
    cellView.setObjectValue(QColor(Qt::darkCyan));
    cellView.setObjectValue(QVariant());
    EXPECT_EQ(cellView.objectValue().value<QColor>(), QColor(Qt::darkCyan));
    testsupport::LogCapture log;
    cellView.setObjectValue(QStringLiteral("red"));
    EXPECT_TRUE(log.contains("expected a colour here"));
    EXPECT_EQ(well.color(), QColor(Qt::darkCyan));
    EXPECT_EQ(cellView.rowIndex(), 4);
}

#include "ColourCellTests.moc"

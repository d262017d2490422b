#include "IconViewTestSupport.h"

#include "platform/foundation/KeyedUnarchiver.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"
#include "widgets/cells/JXFinderIconCell.h"
#include "widgets/cells/ZQLabelledIconCell.h"
#include "widgets/iconview/ZQPrintableJXDistributedView.h"

#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Ten points per character.
double tenPerCharacter(const QString& text)
{
    return 10.0 * double(text.size());
}

QString shortened(const QString& title, quint64 mode, float width)
{
    return JXFinderIconCell::shortenedTitle(title, tenPerCharacter, mode, width);
}

QImage render(JXDistributedViewCell& cell, QSize size, bool editing = false)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    cell.setIsEditing(editing);
    cell.drawWithFrame(painter, QRectF(QPointF(0, 0), QSizeF(size)), {});
    return image;
}

} // namespace

TEST(FinderIconCell, TitleShortening)
{
    using Cell = JXFinderIconCell;
    EXPECT_EQ(shortened(QStringLiteral("abcdef"), Cell::TruncateMiddle, 60), QStringLiteral("abcdef"));
    // The middle run grows to the left, then to the right, alternately.
    EXPECT_EQ(shortened(QStringLiteral("abcdefghij"), Cell::TruncateMiddle, 95), QStringLiteral("abc...hij"));
    EXPECT_EQ(shortened(QStringLiteral("abcdefghij"), Cell::TruncateMiddle, 85), QStringLiteral("abc...ij"));
    EXPECT_EQ(shortened(QStringLiteral("abcdefgh"), Cell::TruncateMiddle, 60), QStringLiteral("ab...h"));
    EXPECT_EQ(shortened(QStringLiteral("abcdefgh"), 0, 60), QStringLiteral("ab...h"));
    EXPECT_EQ(shortened(QStringLiteral("abcdefgh"), Cell::TruncateTail, 60), QStringLiteral("abc..."));
    EXPECT_EQ(shortened(QStringLiteral("abcdefgh"), Cell::TruncateHead, 60), QStringLiteral("...fgh"));
    // Short titles that do not fit become "..." at once; head mode removes everything first.
    EXPECT_EQ(shortened(QStringLiteral("abc"), Cell::TruncateMiddle, 20), QStringLiteral("..."));
    EXPECT_EQ(shortened(QStringLiteral("ab"), Cell::TruncateTail, 10), QStringLiteral("..."));
    EXPECT_EQ(shortened(QStringLiteral("abc"), Cell::TruncateHead, 25), QStringLiteral("..."));
    // An empty title in a cell narrower than nothing stays in range.
    EXPECT_EQ(shortened(QString(), Cell::TruncateHead, -5), QStringLiteral("..."));
    EXPECT_EQ(shortened(QString(), Cell::TruncateMiddle, -5), QStringLiteral("..."));
}

TEST(FinderIconCell, FontSizesAndTheWorkedExample)
{
    JXFinderIconCell cell;
    EXPECT_EQ(cell.textSizeForBox(QRectF(0, 0, 100, 100)), 10.0);
    EXPECT_EQ(cell.textSizeForBox(QRectF(0, 0, 100, 60)), 7.0);
    cell.setImagePosition(0);
    EXPECT_EQ(cell.textSizeForBox(QRectF(0, 0, 100, 100)), 9.0);
    cell.setImagePosition(JXFinderIconCell::ImageAbove);
    EXPECT_EQ(cell.alignment(), Qt::AlignHCenter);

    QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::red);
    cell.setImage(image);
    cell.setFlipped(false);
    const auto layout = cell.layoutForFrame(QRectF(0, 0, 100, 100), [](const QString&) { return QSizeF(40, 13); });
    EXPECT_EQ(layout.title, QRectF(30, 1, 40, 13));
    EXPECT_EQ(layout.titleBox, QRectF(21, 0, 58, 15));
    EXPECT_NEAR(layout.imageBox.x(), 8.4, 1e-9);
    EXPECT_NEAR(layout.imageBox.y(), 16.4, 1e-9);
    EXPECT_NEAR(layout.imageBox.width(), 82.2, 1e-9);
    EXPECT_NEAR(layout.imageBox.height(), 82.2, 1e-9);
    EXPECT_EQ(layout.image.topLeft(), QPointF(10, 18));
    EXPECT_NEAR(layout.image.width(), 78.2, 1e-4);

    // Flipped, the image still stands above the title on screen.
    cell.setFlipped(true);
    const auto flipped = cell.layoutForFrame(QRectF(0, 0, 100, 100), [](const QString&) { return QSizeF(40, 13); });
    EXPECT_EQ(flipped.title, QRectF(30, 86, 40, 13));
    EXPECT_LT(flipped.imageBox.bottom(), flipped.titleBox.top() + 1e-9);

    // A small image keeps its own size unless scaling up is asked for.
    cell.setImage(QImage(16, 16, QImage::Format_ARGB32_Premultiplied));
    const auto measure = [](const QString&) { return QSizeF(40, 13); };
    EXPECT_EQ(cell.layoutForFrame(QRectF(0, 0, 100, 100), measure).image.size(), QSizeF(16, 16));
    cell.setImageScaling(JXFinderIconCell::kImageScaleProportionallyUpOrDown);
    EXPECT_GT(cell.layoutForFrame(QRectF(0, 0, 100, 100), measure).image.width(), 70);

    // The cell's natural size grows by the image and a gap of 6.
    const double titleOnly = [&] {
        JXFinderIconCell plain;
        plain.setImage(QImage());
        return plain.cellSize().height();
    }();
    cell.setImage(QImage(40, 30, QImage::Format_ARGB32_Premultiplied));
    EXPECT_EQ(cell.cellSize().height(), titleOnly + 36.0);
    cell.highlightWithFrameInView(true, QRectF(), nullptr);
    EXPECT_TRUE(cell.isHighlighted());

    testsupport::LogCapture log;
    cell.setImagePosition(7);
    cell.layoutForFrame(QRectF(0, 0, 100, 100), measure);
    EXPECT_TRUE(log.contains(QStringLiteral("JXFinderIconCell - Unsupported image position mode.")));
}

TEST(FinderIconCell, ArchiveRoundTripAndDecodeDefaults)
{
    JXFinderIconCell cell;
    cell.setStringValue(QStringLiteral("Quay"));
    cell.setNameColor(QColor(1, 2, 3));
    cell.setBoxColor(QColor(4, 5, 6));
    cell.setSelectionColor(QColor(7, 8, 9));
    cell.setBgColor(QColor(10, 11, 12));
    cell.setImagePosition(JXFinderIconCell::ImageLeft);
    cell.setTruncateMode(JXFinderIconCell::TruncateHead);
    cell.setAlpha(0.5f);
    cell.setHighlighted(true);
    const auto decoded = testsupport::roundTrip<JXFinderIconCell>(cell);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->stringValue(), QStringLiteral("Quay"));
    EXPECT_EQ(decoded->nameColor(), QColor(1, 2, 3));
    EXPECT_EQ(decoded->boxColor(), QColor(4, 5, 6));
    EXPECT_EQ(decoded->selectionColor(), QColor(7, 8, 9));
    EXPECT_EQ(decoded->bgColor(), QColor(10, 11, 12));
    EXPECT_EQ(decoded->imagePosition(), quint64(JXFinderIconCell::ImageLeft));
    EXPECT_EQ(decoded->truncateMode(), quint64(JXFinderIconCell::TruncateHead));
    EXPECT_EQ(decoded->alpha(), 0.5f);
    EXPECT_FALSE(decoded->isHighlighted());
    EXPECT_EQ(decoded->numberOfTitleLines(), 1u);
    EXPECT_FALSE(decoded->image().isNull());

    // Values of the wrong type, and missing ones, give the decode defaults.
    testsupport::ArchiveStub stub;
    stub.values = {{QStringLiteral("JXFICtruncateMode"), QStringLiteral("tail")},
                   {QStringLiteral("JXFICimagePosition"), 2.5},
                   {QStringLiteral("JXFICalpha"), QStringLiteral("opaque")},
                   {QStringLiteral("JXFICnameColor"), 17}};
    testsupport::LogCapture log;
    const auto damaged = std::dynamic_pointer_cast<JXFinderIconCell>(
        platform::KeyedUnarchiver::unarchiveObjectWithData(stub.archiveAs(QStringLiteral("JXFinderIconCell"))));
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->truncateMode(), quint64(JXFinderIconCell::TruncateMiddle));
    EXPECT_EQ(damaged->imagePosition(), quint64(JXFinderIconCell::ImageAbove));
    EXPECT_EQ(damaged->alpha(), 1.0f);
    EXPECT_TRUE(damaged->nameColor().isValid());
    EXPECT_FALSE(damaged->bgColor().isValid());
    EXPECT_FALSE(damaged->image().isNull());
    EXPECT_NE(damaged->boxColor(), JXFinderIconCell().boxColor());

    const auto copied = std::dynamic_pointer_cast<JXFinderIconCell>(cell.copy());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->bgColor(), cell.bgColor());
    EXPECT_EQ(copied->image().cacheKey(), cell.image().cacheKey());
}

TEST(LabelledIconCell, GeometryAndTheFontRule)
{
    ZQLabelledIconCell cell;
    const QRectF frame(0, 0, 100, 100);
    const QRectF band = cell.titleRectForFrame(frame);
    EXPECT_NEAR(band.height(), 100.0 / 6.0, 1e-9);
    EXPECT_NEAR(band.top(), 500.0 / 6.0, 1e-9);
    const QRectF icon = cell.imageRectForFrame(frame);
    EXPECT_NEAR(icon.width(), 500.0 / 6.0 - 4.0, 1e-9);
    EXPECT_NEAR(icon.center().x(), 50.0, 1e-9);
    EXPECT_NEAR(icon.center().y(), 250.0 / 6.0, 1e-9);
    const QRectF badge = cell.badgeRectForFrame(frame);
    EXPECT_EQ(badge.size(), QSizeF(16, 16));
    EXPECT_NEAR(badge.right(), icon.right() - 6.5, 1e-9);
    EXPECT_EQ(cell.titleRectForBounds(frame), cell.titleTextBoxForFrame(frame));
    EXPECT_EQ(cell.titleOptions(), 33u);

    // 0.8 of the text box height per line, kept within 6.5 ... 12.
    EXPECT_NEAR(cell.titleAttributesForFrame(frame).font.pointSizeF(), 0.85 * 100.0 / 6.0 * 0.8, 1e-6);
    render(cell, QSize(600, 600));
    EXPECT_EQ(cell.titleAttributesForFrame(QRectF(0, 0, 600, 600)).font.pointSizeF(), 12.0);
    // The cache belongs to the frame size last drawn; a new size drops it.
    EXPECT_EQ(cell.titleAttributesForFrame(QRectF(0, 0, 20, 20)).font.pointSizeF(), 12.0);
    render(cell, QSize(20, 20));
    EXPECT_EQ(cell.titleAttributesForFrame(QRectF(0, 0, 20, 20)).font.pointSizeF(), 6.5);
    cell.setHighlighted(true);
    EXPECT_TRUE(cell.titleAttributesForFrame(QRectF(0, 0, 20, 20)).font.bold());
    cell.setNumberOfTextLines(2);
    EXPECT_TRUE(cell.titleAttributesForFrame(frame).wordWrap);
}

TEST(LabelledIconCell, PlaceholderIconAndEditingRing)
{
    ZQLabelledIconCell cell;
    cell.setStringValue(QStringLiteral("WWWWWWWW"));
    const QImage placeholder = render(cell, QSize(100, 100));
    const QPoint iconCentre = cell.imageRectForFrame(QRectF(0, 0, 100, 100)).center().toPoint();
    EXPECT_NE(placeholder.pixelColor(iconCentre), QColor(Qt::white));
    QImage icon(16, 16, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::blue);
    cell.setImage(icon);
    cell.setImageScaling(ZQLabelledIconCell::ImageScaleProportionallyDown);
    const QImage small = render(cell, QSize(100, 100));
    EXPECT_EQ(small.pixelColor(iconCentre), QColor(Qt::blue));
    EXPECT_EQ(small.pixelColor(iconCentre + QPoint(12, 0)), QColor(Qt::white));

    // Highlighted: the icon box in the highlight colour, grey when the window is not the main one.
    cell.setHighlighted(true);
    cell.setHighlightColour(QColor(0, 200, 0));
    const QPoint corner = cell.imageRectForFrame(QRectF(0, 0, 100, 100)).topLeft().toPoint() + QPoint(6, 6);
    EXPECT_EQ(render(cell, QSize(100, 100)).pixelColor(corner), QColor(0, 200, 0));
    {
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        JXDistributedViewCell::DrawContext inactive;
        inactive.windowIsMain = false;
        cell.drawWithFrame(painter, QRectF(0, 0, 100, 100), inactive);
        painter.end();
        EXPECT_NE(image.pixelColor(corner), QColor(0, 200, 0));
        EXPECT_EQ(image.pixelColor(corner).red(), image.pixelColor(corner).green());
    }
    // A new frame size gets highlights of its own size.
    const QImage large = render(cell, QSize(200, 200));
    EXPECT_EQ(large.pixelColor(cell.imageRectForFrame(QRectF(0, 0, 200, 200)).bottomRight().toPoint() - QPoint(8, 8)),
              QColor(0, 200, 0));
    cell.setHighlighted(false);

    // Editing shows the ring, not the title.
    const QRectF textBox = cell.titleTextBoxForFrame(QRectF(0, 0, 100, 100));
    const QImage shown = render(cell, QSize(100, 100));
    const QImage editing = render(cell, QSize(100, 100), true);
    EXPECT_NE(shown.copy(textBox.toAlignedRect()), editing.copy(textBox.toAlignedRect()));
    const QPoint ringPoint(int(textBox.left()) - 1, int(textBox.center().y()));
    EXPECT_NE(editing.pixelColor(ringPoint), QColor(Qt::white));
}

namespace {

class PrintDelegate : public JXDistributedViewDelegate, public ZQPrintableJXDistributedViewDelegate {
public:
    std::vector<qint64> headerPages, footerPages;
    QString printableDistributedViewHeaderStringForPage(JXDistributedView*, qint64 page) override
    {
        headerPages.push_back(page);
        return QStringLiteral("Harbours (Category: Coast) 40 items");
    }
    QString printableDistributedViewFooterStringForPage(JXDistributedView*, qint64 page) override
    {
        footerPages.push_back(page);
        return QString();
    }
};

} // namespace

TEST(PrintableIconView, PageBreaksOnWholeRowsAndCounting)
{
    ZQPrintableJXDistributedView view;
    EXPECT_EQ(view.adjustPageHeightNewTopBottomLimit(0, 730, 0), 708);
    // Later pages break on rows too.
    EXPECT_EQ(view.adjustPageHeightNewTopBottomLimit(708, 1438, 708), 1408);
    // An empty view prints one page; a cell taller than the page still moves on.
    EXPECT_EQ(view.pageBands(730).size(), 1);
    auto column = icontest::Items::grid(5, 1, 1000.0);
    view.setDataSource(column.get());
    view.setCellSize(QSizeF(1000, 1000));
    EXPECT_EQ(view.adjustPageHeightNewTopBottomLimit(8, 738, 9), 738);
    const auto bands = view.pageBands(730);
    ASSERT_FALSE(bands.empty());
    EXPECT_LT(bands.size(), 20);
    EXPECT_GE(bands.back().second, 5008);
    for (const auto& [top, bottom] : bands)
        EXPECT_GT(bottom, top);

    EXPECT_EQ(ZQPrintableJXDistributedView::headerBoxForBounds(QRectF(0, 0, 600, 800)), QRectF(10, 10, 580, 24));
    EXPECT_EQ(ZQPrintableJXDistributedView::footerBoxForBounds(QRectF(0, 0, 600, 800)), QRectF(10, 776, 580, 14));

    // Items keep clear of the rules (header down to 34, footer from 776) whatever the margins.
    const QRectF paper(0, 0, 600, 800);
    const QRectF narrow(12, 12, 576, 776), wide(50, 60, 500, 680);
    EXPECT_EQ(view.itemAreaForPage(paper, narrow), narrow);
    view.setShowsHeaders(true);
    view.setShowsFooters(true);
    EXPECT_EQ(view.itemAreaForPage(paper, narrow), QRectF(12, 38, 576, 734));
    EXPECT_EQ(view.itemAreaForPage(paper, wide), wide);
}

TEST(PrintableIconView, PrintsPagesNumberedFromOne)
{
    auto items = icontest::Items::grid(40, 5);
    PrintDelegate delegate;
    ZQPrintableJXDistributedView view;
    view.resize(540, 400);
    view.setDataSource(items.get());
    view.setDelegate(&delegate);
    view.setShowsHeaders(true);
    view.setShowsFooters(true);
    view.selectAll();
    QTemporaryDir folder;
    QPdfWriter writer(folder.filePath(QStringLiteral("items.pdf")));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(36, 36, 36, 36), QPageLayout::Point);
    const int pages = view.printToPdfWriter(writer);
    // Eight rows of 100 on pages of 770 points: seven whole rows on the first.
    EXPECT_EQ(pages, 2);
    EXPECT_EQ(delegate.headerPages, (std::vector<qint64>{1, 2}));
    EXPECT_EQ(delegate.footerPages, (std::vector<qint64>{1, 2}));
}

TEST(IconViewDrawing, HighlightsOnScreenOnlyAndTheGridOfAnEmptyView)
{
    auto items = icontest::Items::grid(3);
    JXDistributedView view;
    view.resize(400, 300);
    auto cell = std::make_shared<ZQLabelledIconCell>();
    cell->setHighlightColour(QColor(0, 200, 0));
    view.setPrototype(cell);
    view.setDataSource(items.get());
    view.selectItemByExtendingSelection(1, false);
    const QPoint corner = cell->imageRectForFrame(view.rectForItemAtIndex(1)).topLeft().toPoint() + QPoint(6, 6);
    const auto draw = [&](bool toScreen) {
        QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        view.drawRect(painter, QRectF(0, 0, 400, 300), toScreen);
        return image;
    };
    const QPoint unselected = cell->imageRectForFrame(view.rectForItemAtIndex(0)).topLeft().toPoint() + QPoint(6, 6);
    // On screen the selected item is highlighted (grey: this window is not the active one);
    // printed, it looks like any other item.
    const QImage screen = draw(true);
    const QImage printed = draw(false);
    EXPECT_NE(screen.pixelColor(corner), screen.pixelColor(unselected));
    EXPECT_EQ(printed.pixelColor(corner), printed.pixelColor(unselected));

    items->items.clear();
    view.reloadData();
    view.setDrawsGrid(true);
    view.setGridColor(QColor(255, 0, 0));
    const QImage grid = draw(true);
    // Lines at the inset plus half a point, every 50 points.
    EXPECT_EQ(grid.pixelColor(58, 30).red(), 255);
    EXPECT_LT(grid.pixelColor(58, 30).green(), 200);
    EXPECT_EQ(grid.pixelColor(80, 30), QColor(Qt::white));
}

TEST(LabelledIconCell, TitlesDrawTheSameWhetherMeasuredBeforeOrNot)
{
    const QString longTitle = QStringLiteral("A rather long symbol title that cannot fit");
    const auto fresh = [](const QString& title, QSize size) {
        ZQLabelledIconCell cell;
        cell.setStringValue(title);
        return render(cell, size);
    };
    // One cell drawing title after title, as an icon view's prototype does.
    ZQLabelledIconCell shared;
    for (const QString& title : {longTitle, QStringLiteral("Short"), longTitle}) {
        shared.setStringValue(title);
        EXPECT_EQ(render(shared, QSize(100, 100)), fresh(title, QSize(100, 100))) << title.toStdString();
    }
    // A narrower cell shortens the same title further.
    shared.setStringValue(longTitle);
    const QImage narrow = render(shared, QSize(60, 100));
    EXPECT_EQ(narrow, fresh(longTitle, QSize(60, 100)));
    EXPECT_NE(narrow.copy(0, 0, 60, 100), render(shared, QSize(100, 100)).copy(0, 0, 60, 100));
}

// Titles laid out once and drawn again must look as text laid out afresh does, at any place
// and pixel ratio, plain or bold, shortened or not, in the first frame and the later ones.
TEST(LabelledIconCell, CachedTitlesDrawTheSamePixelsAsTextLaidOutAfresh)
{
    const QStringList titles = {QStringLiteral("Symbol 17"), QStringLiteral("A rather long symbol title that cannot fit"),
                                QStringLiteral("<b>not bold</b>"), QStringLiteral("Ünïcödé → ∑")};
    for (const qreal ratio : {1.0, 2.0}) {
        for (const QPointF origin : {QPointF(0, 0), QPointF(7.25, 3.5), QPointF(108, 41.667)}) {
            for (const bool highlighted : {false, true}) {
                ZQLabelledIconCell cell;
                cell.setHighlighted(highlighted);
                const QRectF frame(origin, QSizeF(100, 100));
                const auto canvas = [&] {
                    QImage image(QSize(220, 160) * ratio, QImage::Format_ARGB32_Premultiplied);
                    image.setDevicePixelRatio(ratio);
                    image.fill(Qt::white);
                    return image;
                };
                const auto drawCell = [&](const QString& title) {
                    QImage image = canvas();
                    QPainter painter(&image);
                    cell.setStringValue(title);
                    cell.drawWithFrame(painter, frame, {});
                    return image;
                };
                for (const QString& title : titles) {
                    // The cell without a title, then the title as text drawn in its rectangle.
                    QImage expected = drawCell(QString());
                    {
                        QPainter painter(&expected);
                        const ZQLabelledIconCell::TitleAttributes attributes = cell.titleAttributesForFrame(frame);
                        const QRectF box = cell.titleTextBoxForFrame(frame);
                        const QFontMetricsF metrics(attributes.font);
                        const QString shown = metrics.elidedText(title, Qt::ElideMiddle, box.width());
                        const QSizeF size(metrics.horizontalAdvance(shown), metrics.height());
                        painter.setFont(attributes.font);
                        painter.setPen(attributes.colour);
                        painter.drawText(QRectF(box.center().x() - size.width() / 2,
                                                box.center().y() - size.height() / 2 - 1.0, size.width(), size.height()),
                                         Qt::AlignCenter | Qt::TextSingleLine, shown);
                    }
                    EXPECT_EQ(drawCell(title), expected) << title.toStdString() << " at ratio " << ratio;
                    EXPECT_EQ(drawCell(title), expected) << title.toStdString() << " drawn again";
                }
            }
        }
    }
}

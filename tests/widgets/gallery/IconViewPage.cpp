#include "GalleryPages.h"

#include "platform/ui/Pasteboard.h"
#include "widgets/cells/JXFinderIconCell.h"
#include "widgets/cells/ZQLabelledIconCell.h"
#include "widgets/iconview/ZQPrintableJXDistributedView.h"

#include <QCheckBox>
#include <QDir>
#include <QPdfWriter>
#include <QPushButton>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// Fifty map symbols with stored positions, renamed and moved through the view.
class GallerySymbols : public QObject,
                       public JXDistributedViewDataSource,
                       public JXDistributedViewDelegate,
                       public ZQPrintableJXDistributedViewDelegate {
public:
    GallerySymbols(QObject* parent)
        : QObject(parent)
    {
        const QStringList names{QStringLiteral("Lighthouse"), QStringLiteral("Harbour"), QStringLiteral("Bridge"),
                                QStringLiteral("Church"), QStringLiteral("Windmill"), QStringLiteral("Summit"),
                                QStringLiteral("Campsite"), QStringLiteral("Ferry terminal"), QStringLiteral("Well"),
                                QStringLiteral("Ruin")};
        for (int i = 0; i < 50; ++i) {
            Symbol symbol;
            symbol.title = names[i % names.size()] + (i < names.size() ? QString() : QStringLiteral(" %1").arg(i / 10));
            symbol.position = QPointF(8 + (i % 8) * 100, 8 + (i / 8) * 100);
            symbol.icon = iconFor(i);
            m_symbols.push_back(symbol);
        }
    }

    JXDistributedViewDataSource::Messages implementedDataSourceMessages() const override
    {
        using Message = JXDistributedViewDataSource::Message;
        return Message::SetPosition | Message::SetObjectValue | Message::WriteItems | Message::ToolTip
            | Message::DraggingSourceOperationMask;
    }
    qint64 numberOfItemsInDistributedView(JXDistributedView*) override { return qint64(m_symbols.size()); }
    QPointF distributedViewPositionForCellAtItemIndex(JXDistributedView*, JXDistributedViewCell* cell,
                                                      qint64 index) override
    {
        const Symbol& symbol = m_symbols.at(size_t(index));
        if (cell) {
            cell->setStringValue(symbol.title);
            cell->setImage(symbol.icon);
        }
        return symbol.position;
    }
    void distributedViewSetPositionForItemIndex(JXDistributedView*, QPointF position, qint64 index) override
    {
        m_symbols.at(size_t(index)).position = position;
    }
    void distributedViewSetObjectValueForItemIndex(JXDistributedView*, const QString& title, qint64 index) override
    {
        m_symbols.at(size_t(index)).title = title;
    }
    bool distributedViewWriteItemsAtIndexesToPasteboard(JXDistributedView* view, const JXIndexSet& indexes,
                                                        platform::Pasteboard& pasteboard) override
    {
        QStringList titles;
        for (qint64 index : indexes)
            titles << m_symbols.at(size_t(index)).title;
        pasteboard.declareTypes({platform::kPasteboardTypeString});
        pasteboard.setStringForType(titles.join(u'\n'), platform::kPasteboardTypeString);
        view->addPositionsOfItemsToPasteboard(std::vector<qint64>(indexes.begin(), indexes.end()), pasteboard);
        return true;
    }
    QString distributedViewToolTipForItemAtIndex(JXDistributedView*, qint64 index) override
    {
        return QStringLiteral("%1 (symbol %2)").arg(m_symbols.at(size_t(index)).title).arg(index + 1);
    }
    Qt::DropActions distributedViewDraggingSourceOperationMaskForLocal(JXDistributedView*, bool) override
    {
        return Qt::CopyAction;
    }
    QString printableDistributedViewHeaderStringForPage(JXDistributedView*, qint64) override
    {
        return QStringLiteral("Map symbols (Category: Gallery) %1 items").arg(m_symbols.size());
    }
    QString printableDistributedViewFooterStringForPage(JXDistributedView*, qint64 page) override
    {
        return QStringLiteral("Page %1").arg(page);
    }

private:
    struct Symbol {
        QString title;
        QPointF position;
        QImage icon;
    };

    static QImage iconFor(int index)
    {
        QImage image(QSize(128, 128), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2.0);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor::fromHsv((index * 37) % 360, 160, 220));
        painter.setPen(QPen(Qt::darkGray, 2));
        if (index % 3 == 0)
            painter.drawEllipse(QRectF(6, 6, 52, 52));
        else if (index % 3 == 1)
            painter.drawRoundedRect(QRectF(8, 8, 48, 48), 8, 8);
        else
            painter.drawPolygon(QPolygonF({QPointF(32, 4), QPointF(60, 58), QPointF(4, 58)}));
        return image;
    }

    std::vector<Symbol> m_symbols;
};

} // namespace

QWidget* makeIconViewPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* controls = new QHBoxLayout;
    auto* cellChoice = new QComboBox;
    cellChoice->addItems({QStringLiteral("Labelled icon cell"), QStringLiteral("Finder icon cell")});
    auto* snap = new QCheckBox(QStringLiteral("Snap to grid"));
    auto* grid = new QCheckBox(QStringLiteral("Draw grid"));
    auto* moves = new QCheckBox(QStringLiteral("Drag moves items"));
    moves->setChecked(true);
    controls->addWidget(cellChoice);
    controls->addWidget(snap);
    controls->addWidget(grid);
    controls->addWidget(moves);
    auto* print = new QPushButton(QStringLiteral("Print to PDF"));
    controls->addWidget(print);
    controls->addStretch();
    layout->addLayout(controls);

    auto* view = new ZQPrintableJXDistributedView;
    view->setShowsHeaders(true);
    view->setShowsFooters(true);
    auto* symbols = new GallerySymbols(view);
    const auto labelled = std::make_shared<ZQLabelledIconCell>();
    labelled->setEditable(true);
    view->setPrototype(labelled);
    view->setDataSource(symbols);
    view->setDelegate(symbols);
    view->setDragMovesItems(true);
    view->setDragsLocally(true);
    layout->addWidget(view, 1);
    auto* status = new QLabel;
    layout->addWidget(status);
    layout->addWidget(new QLabel(QStringLiteral(
        "Click, Shift-click, rubber-band, arrows, Tab, type a name; double-click a title to rename; drag to move "
        "(Ctrl inverts snapping); drag out of the window to copy the titles.")));

    QObject::connect(cellChoice, &QComboBox::currentIndexChanged, view, [view, labelled](int choice) {
        if (choice == 0) {
            view->setPrototype(labelled);
        } else {
            auto finder = std::make_shared<JXFinderIconCell>();
            finder->setEditable(true);
            view->setPrototype(finder);
        }
    });
    QObject::connect(snap, &QCheckBox::toggled, view, [view](bool on) { view->setSnapToGrid(on); });
    QObject::connect(grid, &QCheckBox::toggled, view, [view](bool on) { view->setDrawsGrid(on); });
    QObject::connect(moves, &QCheckBox::toggled, view, [view](bool on) { view->setDragMovesItems(on); });
    QObject::connect(print, &QPushButton::clicked, view, [view, status] {
        const QString path = QDir::temp().filePath(QStringLiteral("icon-view.pdf"));
        QPdfWriter writer(path);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(36, 48, 36, 48), QPageLayout::Point);
        status->setText(QStringLiteral("%1 pages printed to %2").arg(view->printToPdfWriter(writer)).arg(path));
    });
    page->resize(860, 640);
    return page;
}

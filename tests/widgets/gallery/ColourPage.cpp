#include "GalleryPages.h"

#include "platform/graphics/ColourUtilities.h"
#include "widgets/colour/ColourExtras.h"
#include "widgets/colour/XQPopoverColorWell.h"
#include "widgets/colour/ZQColourCell.h"
#include "widgets/colour/ZQColourPopUpMenuView.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Shows the last colour any control of the page sent.
class ColourReadout : public QLabel {
    Q_OBJECT

public:
    ColourReadout() { setText(tr("Pick a colour: the last one sent shows here.")); }

    Q_INVOKABLE void takeColour(QObject* sender)
    {
        const QColor colour = sender->property("color").value<QColor>();
        setText(tr("%1 sent %2 (alpha %3)")
                    .arg(QString::fromLatin1(sender->metaObject()->className()), platform::hexString(colour))
                    .arg(colour.alphaF(), 0, 'f', 2));
    }
};

QGroupBox* group(const QString& title, QLayout* layout)
{
    auto* box = new QGroupBox(title);
    box->setLayout(layout);
    return box;
}

QWidget* cellTable()
{
    auto* model = new QStandardItemModel(0, 2);
    model->setHorizontalHeaderLabels({QObject::tr("Colour"), QObject::tr("Layer")});
    const QList<std::pair<QColor, QString>> rows{{QColor("#CC3333"), "Roads"},
                                                 {QColor("#3366CC"), "Rivers"},
                                                 {QColor("#99CC66"), "Woods"},
                                                 {QColor("#FFCC00"), "Buildings"},
                                                 {QColor("#333333"), "Contours"},
                                                 {randomColor(), "Random"}};
    for (const auto& [colour, name] : rows) {
        auto* swatch = new QStandardItem;
        swatch->setData(colour, Qt::EditRole);
        model->appendRow({swatch, new QStandardItem(name)});
    }
    auto* table = new QTableView;
    model->setParent(table);
    table->setModel(model);
    table->setItemDelegateForColumn(0, new ZQColourCell(table));
    table->setColumnWidth(0, 60);
    table->verticalHeader()->setDefaultSectionSize(30);
    table->setMinimumHeight(220);
    return table;
}

} // namespace

QWidget* makeColourPage()
{
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Colour kit"));
    auto* readout = new ColourReadout;
    readout->setParent(window);

    auto* controls = new QHBoxLayout;
    const auto addControl = [&](const QColor& colour, bool opaqueOnly, bool enabled) {
        auto* control = new ZQColourPopUpMenuView;
        control->setFixedSize(44, 24);
        control->setDisallowsTransparency(opaqueOnly);
        control->setColor(colour);
        control->setEnabled(enabled);
        control->setTarget(readout);
        control->setAction("takeColour");
        controls->addWidget(control);
    };
    addControl(QColor("#3399FF"), false, true);
    addControl(QColor(255, 153, 0, 128), false, true);
    addControl(QColor("#EEEEEE"), true, true);
    addControl(QColor("#663399"), false, false);
    controls->addStretch();

    auto* wells = new QHBoxLayout;
    const auto addWell = [&](const QColor& colour, int style, bool enabled) {
        auto* well = new XQPopoverColorWell;
        well->setColorWellStyle(style);
        well->setFixedSize(well->sizeHint());
        well->setColor(colour);
        well->setEnabled(enabled);
        well->setTarget(readout);
        well->setAction("takeColour");
        wells->addWidget(well);
    };
    addWell(QColor("#CC3333"), XQPopoverColorWell::PopUpMenuStyle, true);
    addWell(QColor(0, 102, 204, 110), XQPopoverColorWell::PopUpMenuStyle, true);
    addWell(QColor("#99CC66"), XQPopoverColorWell::PopUpMenuStyle, false);
    addWell(QColor("#FFCC00"), XQPopoverColorWell::RoundStyle, true);
    addWell(QColor(204, 0, 153, 90), XQPopoverColorWell::RoundStyle, true);
    wells->addStretch();

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(group(QObject::tr("Colour cells (click a swatch)"), new QVBoxLayout));
    layout->itemAt(0)->widget()->layout()->addWidget(cellTable());
    layout->addWidget(group(QObject::tr("Pop-up controls (click to link to the panel, hold for the menu, Alt for the wheel)"),
                            controls));
    layout->addWidget(group(QObject::tr("Popover wells (pop-up style, round style)"), wells));
    layout->addWidget(readout);
    window->resize(460, 520);
    return window;
}

#include "ColourPage.moc"

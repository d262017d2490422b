#include "GalleryPages.h"

#include "platform/foundation/Markers.h"
#include "platform/ui/NumberFormatterValidator.h"
#include "widgets/badge/CTBadge.h"
#include "widgets/formatters/ZQNumberFormatter.h"
#include "widgets/formatters/ZQPercentFormatter.h"
#include "widgets/paint/ApplicationColours.h"
#include "widgets/paint/CGShinyGradient.h"
#include "widgets/paint/KitImage.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>

namespace {

// A fixed-size area painted by a function, for artwork that is no widget of its own.
class PaintBox : public QWidget {
public:
    using Painter = std::function<void(QPainter&, const QRectF&)>;

    PaintBox(QSize size, Painter paint) : m_paint(std::move(paint)) { setFixedSize(size); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        m_paint(painter, QRectF(rect()));
    }

private:
    Painter m_paint;
};

QGroupBox* section(const QString& title, QLayout* content)
{
    auto* box = new QGroupBox(title);
    box->setLayout(content);
    return box;
}

QWidget* swatch(const QColor& colour)
{
    return new PaintBox({40, 16}, [colour](QPainter& painter, const QRectF& bounds) {
        painter.fillRect(bounds, colour);
        painter.setPen(QPen(Qt::black, 0.5));
        painter.drawRect(bounds.adjusted(0.25, 0.25, -0.25, -0.25));
    });
}

QGroupBox* coloursSection()
{
    auto* grid = new QGridLayout;
    const std::pair<const char*, QColor> colours[] = {
        {"Window background", VLTMWindowBackgroundColour()},     {"Dark background", VLTMDarkBackgroundColour()},
        {"Light background", VLTMLightBackgroundColour()},       {"Medium background", VLTMMediumBackgroundColour()},
        {"Underpage background", VLTMUnderpageBackgroundColour()}, {"Control frame", VLTMControlFrameColour()},
        {"Light control frame", VLTMLightControlFrameColour()},  {"Title text", VLTMTitleTextColour()},
        {"Unselected title text", VLTMUnselectedTitleTextColour()},
    };
    int row = 0;
    for (const auto& [name, colour] : colours) {
        grid->addWidget(swatch(colour), row / 3, (row % 3) * 2);
        grid->addWidget(new QLabel(QString::fromLatin1(name)), row / 3, (row % 3) * 2 + 1);
        ++row;
    }
    const std::pair<const char*, const platform::Gradient*> gradients[] = {
        {"Selected control", &VLTMSelectedControlGradient()},
        {"Unselected control, title bar", &VLTMUnselectedControlGradient()},
        {"Highlighted control", &VLTMHighlightedControlGradient()},
        {"Selected button", &VLTMSelectedButtonGradient()},
        {"Selected table row", &VLTMSelectedTableRowGradient()},
    };
    int index = 0;
    for (const auto& [name, gradient] : gradients) {
        const platform::Gradient* g = gradient;
        grid->addWidget(new PaintBox({80, 20}, [g](QPainter& painter, const QRectF& bounds) {
                            g->drawInRect(painter, bounds, -90);
                        }),
                        3 + index / 3, (index % 3) * 2);
        grid->addWidget(new QLabel(QString::fromLatin1(name)), 3 + index / 3, (index % 3) * 2 + 1);
        ++index;
    }
    auto* title = new QLabel(QStringLiteral("Small title font"));
    title->setFont(VLTMSmallTitleFont());
    grid->addWidget(title, 5, 0, 1, 2);
    return section(QStringLiteral("Application colours, gradients and font"), grid);
}

QGroupBox* glossySection()
{
    auto* row = new QHBoxLayout;
    const QColor colours[] = {QColor(0xd0, 0x30, 0x30), QColor(0x30, 0xa0, 0x40), QColor(0x30, 0x70, 0xd0),
                              QColor(0x80, 0x80, 0x80), QColor(0xa0, 0x40, 0xc0), QColor(0xf0, 0xd0, 0x30),
                              Qt::black,                Qt::white};
    for (const QColor& colour : colours)
        row->addWidget(new PaintBox({40, 16}, [colour](QPainter& painter, const QRectF& bounds) {
            CGContextDrawShinyGradient(&painter, bounds, colour, true);
        }));
    row->addStretch(1);
    return section(QStringLiteral("Glossy fill"), row);
}

QGroupBox* badgesSection()
{
    auto* grid = new QGridLayout;
    const auto red = CTBadge::systemBadge();
    const auto blue = CTBadge::badgeWithColorLabelColor(QColor(0x30, 0x70, 0xd0), Qt::white);
    auto badgeLabel = [](const QImage& image) {
        auto* label = new QLabel;
        label->setPixmap(QPixmap::fromImage(image));
        return label;
    };
    int column = 0;
    for (const quint64 value : {quint64(1), quint64(42), quint64(999), quint64(12345), quint64(100000)}) {
        grid->addWidget(badgeLabel(red->smallBadgeForValue(value)), 0, column);
        grid->addWidget(badgeLabel(blue->smallBadgeForValue(value)), 1, column);
        ++column;
    }
    grid->addWidget(badgeLabel(red->largeBadgeForValue(7)), 0, column, 2, 1);
    grid->addWidget(badgeLabel(blue->largeBadgeForString(QStringLiteral("Sequence"))), 0, column + 1, 2, 1);
    auto* dock = new QPushButton(QStringLiteral("Badge the window icon with 3"));
    QObject::connect(dock, &QPushButton::clicked, [red] { red->badgeApplicationDockIconWithValueInsetXY(3, 0, 0); });
    grid->addWidget(dock, 2, 0, 1, column + 2);
    grid->setColumnStretch(column + 2, 1);
    return section(QStringLiteral("Count badges"), grid);
}

// A field reading through `formatter`, with what it read shown beside it.
QLayout* formatterField(const std::shared_ptr<platform::NumberFormatter>& formatter, const QVariant& value)
{
    auto* row = new QHBoxLayout;
    auto* field = new QLineEdit(formatter->attributedStringForObjectValueWithDefaultAttributes(value, {}).string());
    field->setValidator(new platform::NumberFormatterValidator(formatter, field));
    auto* read = new QLabel;
    auto showRead = [formatter, field, read] {
        QVariant value;
        QString error;
        const bool ok = formatter->getObjectValueForStringErrorDescription(&value, field->text(), &error);
        if (!ok)
            read->setText(error);
        else if (platform::isMultipleValuesMarker(value))
            read->setText(QStringLiteral("reads the multiple-values marker"));
        else
            read->setText(QStringLiteral("reads %1").arg(value.toDouble()));
    };
    QObject::connect(field, &QLineEdit::textChanged, read, showRead);
    showRead();
    row->addWidget(field);
    row->addWidget(read, 1);
    return row;
}

QGroupBox* formattersSection()
{
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Percent (0.125)"),
                 formatterField(std::make_shared<ZQPercentFormatter>(), 0.125));
    form->addRow(QStringLiteral("Percent (mixed)"),
                 formatterField(std::make_shared<ZQPercentFormatter>(), QStringLiteral("--")));
    auto number = std::make_shared<ZQNumberFormatter>();
    number->setNumberStyle(platform::NumberFormatter::Style::Decimal);
    number->setMinimum(0.0);
    number->setMaximum(1000.0);
    form->addRow(QStringLiteral("Number 0…1000"), formatterField(number, 12.5));
    return section(QStringLiteral("Formatters"), form);
}

QGroupBox* artworkSection()
{
    auto* row = new QHBoxLayout;
    for (const char* name : {"NSInfo", "NSRemoveTemplate", "NSApplicationIcon", "CTBadge_1", "CTBadge_5"}) {
        const KitImage image = imageNamed(QString::fromLatin1(name));
        auto* column = new QVBoxLayout;
        column->addWidget(new PaintBox({48, 32}, [image](QPainter& painter, const QRectF& bounds) {
                              painter.fillRect(bounds, QColor(0x70, 0x70, 0x70));
                              image.drawInRect(painter, bounds.adjusted(8, 2, -8, -2));
                          }),
                          0, Qt::AlignHCenter);
        column->addWidget(new QLabel(QString::fromLatin1(name)), 0, Qt::AlignHCenter);
        row->addLayout(column);
    }
    row->addStretch(1);
    return section(QStringLiteral("Artwork"), row);
}

} // namespace

QWidget* makePaintKitArtwork()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(coloursSection());
    layout->addWidget(glossySection());
    layout->addWidget(badgesSection());
    layout->addWidget(formattersSection());
    layout->addWidget(artworkSection());
    return page;
}

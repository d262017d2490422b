#include "GalleryPages.h"

#include "platform/ui/Popover.h"
#include "widgets/buttons/ZQAugmentedButton.h"
#include "widgets/buttons/ZQRoundCornerButton.h"
#include "widgets/buttons/ZQSimpleHoverButtonView.h"
#include "widgets/buttons/ZQStyleButton.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QLabel* caption(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

QImage styleIcon(QStyle::StandardPixmap which, int side = 24)
{
    return QApplication::style()->standardIcon(which).pixmap(side, side).toImage();
}

// A tool palette: latched tools orange, the last with a press-and-hold menu.
QWidget* makeStyleButtons(QWidget* owner)
{
    auto* box = new QGroupBox(QStringLiteral("Style buttons"));
    auto* layout = new QGridLayout(box);
    auto* group = new QButtonGroup(box);
    const QList<QStyle::StandardPixmap> icons{QStyle::SP_ArrowUp, QStyle::SP_DialogSaveButton,
                                              QStyle::SP_FileDialogDetailedView, QStyle::SP_DriveHDIcon};
    auto* menu = new QMenu(owner);
    menu->addAction(QStringLiteral("Select by style"));
    menu->addAction(QStringLiteral("Select by layer"));
    for (int i = 0; i < icons.size(); ++i) {
        auto* button = new ZQStyleButton;
        button->setCheckable(true);
        button->setFixedSize(36, 36);
        button->cell().setImage(styleIcon(icons[i]));
        group->addButton(button);
        if (i == icons.size() - 1) {
            button->cell().setMenu(menu);
            button->setShowsMenuAfterDelay(true);
            button->setToolTip(QStringLiteral("Hold for a menu"));
        }
        layout->addWidget(button, 0, i);
    }
    group->buttons().first()->setChecked(true);
    auto* mixed = new ZQStyleButton;
    mixed->setFixedSize(36, 36);
    mixed->cell().setImage(styleIcon(QStyle::SP_DialogApplyButton));
    mixed->setState(ZQStyleButtonCell::MixedState);
    layout->addWidget(mixed, 1, 0);
    auto* disabled = new ZQStyleButton;
    disabled->setFixedSize(36, 36);
    disabled->cell().setImage(styleIcon(QStyle::SP_DialogCancelButton));
    disabled->setEnabled(false);
    layout->addWidget(disabled, 1, 1);
    layout->addWidget(caption(QStringLiteral("mixed, disabled; hold the last tool for its menu")), 1, 2, 1, 2);
    return box;
}

QWidget* makeRoundCornerGrid()
{
    auto* box = new QGroupBox(QStringLiteral("Round-corner grid"));
    auto* outer = new QVBoxLayout(box);
    auto* gridHost = new QWidget;
    auto* grid = new QGridLayout(gridHost);
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(box);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            auto* button = new ZQRoundCornerButton;
            button->setText(QString::number(row * 3 + column + 1));
            button->setCheckable(true);
            button->setFixedSize(44, 26);
            group->addButton(button);
            grid->addWidget(button, row, column);
        }
    outer->addWidget(gridHost, 0, Qt::AlignLeft);
    auto* alone = new ZQRoundCornerButton;
    alone->setText(QStringLiteral("Alone"));
    alone->setFixedSize(90, 32);
    outer->addWidget(alone, 0, Qt::AlignLeft);
    return box;
}

QWidget* makeHoverButtons()
{
    auto* box = new QGroupBox(QStringLiteral("Hover buttons"));
    auto* layout = new QHBoxLayout(box);
    auto* text = new ZQSimpleHoverButtonView;
    text->setContentAttributedString(ZQSimpleHoverButtonView::attributedStringForHoverButtonWithParts(
        {QStringLiteral("New map"), QStringLiteral("Start from a blank page")}));
    text->setFixedSize(240, 80);
    layout->addWidget(text);
    auto* image = new ZQSimpleHoverButtonView;
    image->setContentImage(styleIcon(QStyle::SP_DirOpenIcon, 32));
    image->setFixedSize(80, 80);
    layout->addWidget(image);
    return box;
}

// Hands the augmented button a popover holding an opacity slider.
class OpacityRow : public QObject, public ZQAugmentedButtonDelegate {
public:
    explicit OpacityRow(QObject* parent)
        : QObject(parent)
    {
        auto* slider = new QSlider(Qt::Horizontal);
        slider->setRange(0, 100);
        slider->setValue(80);
        slider->resize(140, 24);
        m_popover.setContentWidget(slider);
    }
    platform::Popover* popoverForAugmentedButton(ZQAugmentedButton*) override { return &m_popover; }

private:
    platform::Popover m_popover;
};

QWidget* makeAugmentedButton(QWidget* owner)
{
    auto* box = new QGroupBox(QStringLiteral("Augmented button"));
    auto* layout = new QHBoxLayout(box);
    auto* button = new ZQAugmentedButton;
    button->setText(QStringLiteral("Opacity"));
    button->setDelegate(new OpacityRow(owner));
    layout->addWidget(button);
    layout->addWidget(caption(QStringLiteral("Right-click, Control-click or the Menu key")));
    return box;
}

} // namespace

QWidget* makeControlsPage()
{
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Controls"));
    auto* layout = new QGridLayout(window);
    layout->addWidget(makeStyleButtons(window), 0, 0);
    layout->addWidget(makeRoundCornerGrid(), 1, 0);
    layout->addWidget(makeHoverButtons(), 2, 0);
    layout->addWidget(makeAugmentedButton(window), 3, 0);
    return window;
}

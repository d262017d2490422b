#include "GalleryPages.h"

#include "platform/ui/Popover.h"
#include "widgets/buttons/ZQAugmentedButton.h"
#include "widgets/buttons/ZQRoundCornerButton.h"
#include "widgets/buttons/ZQSimpleHoverButtonView.h"
#include "widgets/buttons/ZQStyleButton.h"
#include "widgets/fields/ZQAugmentedTextField.h"
#include "widgets/formatters/ZQPercentFormatter.h"
#include "widgets/minicontrols/ZQMiniControlHost.h"
#include "widgets/minicontrols/ZQMiniRadialControl2.h"
#include "widgets/minicontrols/ZQMiniSlider.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
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

QWidget* makeAugmentedFields()
{
    auto* box = new QGroupBox(QStringLiteral("Augmented fields"));
    auto* form = new QFormLayout(box);
    // The gallery's own defaults domain: start with popovers on; the box turns them off.
    ZQAugmentedTextField::setAugmentedTextFieldPopoversEnabled(true);
    auto* enabled = new QCheckBox(QStringLiteral("Slider popovers (user default)"));
    enabled->setChecked(true);
    QObject::connect(enabled, &QCheckBox::toggled, &ZQAugmentedTextField::setAugmentedTextFieldPopoversEnabled);
    form->addRow(enabled);
    auto* opacity = new ZQAugmentedTextField;
    opacity->makePopover(ZQAugmentedTextField::kStepperOption);
    opacity->setFormatter(std::make_shared<ZQPercentFormatter>());
    opacity->awakeFromInterface();
    opacity->setDoubleValue(0.8);
    form->addRow(QStringLiteral("Opacity"), opacity);
    auto* fontSize = new ZQAugmentedTextField;
    fontSize->awakeFromInterface();
    fontSize->setSliderMinimumValue(6);
    fontSize->setSliderMaximumValue(200);
    fontSize->setDoubleValue(12);
    form->addRow(QStringLiteral("Font size"), fontSize);
    form->addRow(caption(QStringLiteral("Click or Tab into a field, or scroll over it; Tab or Escape closes the slider")));
    return box;
}

// A gradient preview with the mini controls laid over it, drawn from its own paintEvent.
class MiniControlsView : public QWidget {
public:
    MiniControlsView()
        : m_cluster(std::make_shared<ZQMiniControlCluster>())
    {
        setFixedSize(480, 320);
        m_host = new ZQMiniControlHost(this, m_cluster);
        auto slider = makeMiniControl<ZQMiniSlider>(m_cluster.get(), QRectF(20, 284, 180, 20));
        slider->setValue(0.3);
        slider->setInfoWindowMode(ZQMiniControl::kInfoWindowCentred);
        auto dial = makeMiniControl<ZQMiniCircularSlider>(m_cluster.get(), QRectF(14, 14, 120, 120));
        dial->setValue(-std::acos(-1.0) / 6);
        auto radii = makeMiniControl<ZQMiniControlCluster>(m_cluster.get());
        for (const QPointF centre : {QPointF(250, 150), QPointF(380, 210)}) {
            auto radial = makeMiniControl<ZQMiniRadialControl2>(radii.get(), QRectF(150, 10, 320, 300));
            radial->setBounds(QRectF(150, 10, 320, 300));
            radial->setCentre(centre);
            radial->setRadius(centre.x() / 8);
            radial->setTabColor(centre.x() < 300 ? Qt::darkGreen : Qt::darkRed);
        }
        auto target = makeMiniControl<ZQMiniRadialControls>(m_cluster.get(), QRectF(0, 150, 150, 130));
        target->setCentre(QPointF(70, 215));
        target->setRadius(36);
    }
    ZQMiniControlCluster* cluster() const { return m_cluster.get(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QLinearGradient preview(0, 0, width(), height());
        preview.setColorAt(0, QColor(40, 90, 200));
        preview.setColorAt(1, QColor(240, 180, 60));
        painter.fillRect(rect(), preview);
        m_host->draw(painter);
    }

private:
    std::shared_ptr<ZQMiniControlCluster> m_cluster;
    ZQMiniControlHost* m_host = nullptr;
};

QWidget* makeMiniControls()
{
    auto* box = new QGroupBox(QStringLiteral("Mini controls"));
    auto* layout = new QVBoxLayout(box);
    auto* view = new MiniControlsView;
    layout->addWidget(view);
    auto* fade = new QPushButton(QStringLiteral("Fade controls"));
    fade->setCheckable(true);
    QObject::connect(fade, &QPushButton::toggled, view, [view, fade](bool hide) {
        view->cluster()->setVisible(!hide);
        fade->setText(hide ? QStringLiteral("Show controls") : QStringLiteral("Fade controls"));
    });
    layout->addWidget(fade, 0, Qt::AlignLeft);
    layout->addWidget(caption(QStringLiteral("Drag the dial's knob (Shift snaps to 15°), the slider's knob, a ring's tab "
                                             "(its radius) or the ring itself (its centre), and the target.")));
    layout->addStretch();
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
    layout->addWidget(makeAugmentedFields(), 4, 0);
    layout->addWidget(makeMiniControls(), 0, 1, 5, 1);
    return window;
}

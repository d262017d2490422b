#include "platform/ui/ColourPanel.h"

#include "platform/ui/Application.h"
#include "platform/ui/ColourWell.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace platform {

namespace {

// Never destroyed: the panel is a window, which cannot outlive the application.
ColourPanel*& sharedSlot()
{
    static ColourPanel* shared = nullptr;
    return shared;
}

bool& panelDisabled()
{
    static bool disabled = false;
    return disabled;
}

// The dialog as a page: it never closes itself, and Escape goes on to whatever hosts it.
class ColourDialogPage : public QColorDialog {
public:
    ColourDialogPage()
    {
        setWindowFlags(Qt::Widget);
        setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
    }

    void done(int) override {}

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->key() == Qt::Key_Escape)
            event->ignore();
        else
            QColorDialog::keyPressEvent(event);
    }
};

QImage slidersIcon()
{
    QImage icon(24, 24, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor colours[] = {QColor(220, 50, 40), QColor(40, 170, 60), QColor(40, 90, 220)};
    for (int row = 0; row < 3; ++row) {
        const double y = 5.5 + row * 6.5;
        painter.setPen(QPen(QColor(90, 90, 90), 1.5));
        painter.drawLine(QPointF(3, y), QPointF(21, y));
        painter.setPen(Qt::NoPen);
        painter.setBrush(colours[row]);
        painter.drawEllipse(QPointF(7 + row * 5, y), 2.5, 2.5);
    }
    return icon;
}

} // namespace

ColourPanel::ColourPanel()
    : m_window(new QWidget(nullptr, Qt::Tool))
    , m_windowLayout(new QVBoxLayout(m_window))
    , m_modeBar(new QHBoxLayout)
    , m_modeButtons(new QButtonGroup(this))
    , m_content(new QStackedWidget)
    , m_dialog(new ColourDialogPage)
{
    m_window->setWindowTitle(tr("Colours"));
    m_window->installEventFilter(this);
    m_modeBar->setSpacing(2);
    m_modeBar->addStretch();
    m_windowLayout->addLayout(m_modeBar);
    m_windowLayout->addWidget(m_content);
    m_dialog->setCurrentColor(m_color);
    connect(m_dialog, &QColorDialog::currentColorChanged, this, &ColourPanel::userDidPickColor);
    connect(m_modeButtons, &QButtonGroup::idClicked, this,
            [this](int index) { setSelectedPickerMode(m_modes.value(index).identifier); });
    addPickerMode({kDialogModeIdentifier, slidersIcon(), tr("Colour Sliders")}, m_dialog);
}

ColourPanel::~ColourPanel()
{
    delete m_content;
    delete m_window;
}

ColourPanel* ColourPanel::sharedColorPanel()
{
    if (!sharedSlot())
        sharedSlot() = new ColourPanel;
    return sharedSlot();
}

bool ColourPanel::sharedColorPanelExists()
{
    return sharedSlot() != nullptr;
}

void ColourPanel::setColor(const QColor& colour)
{
    if (!colour.isValid() || colour == m_color)
        return;
    m_color = colour;
    showColourInDialog(colour);
    Q_EMIT colorChanged(colour);
}

bool ColourPanel::showsAlpha() const
{
    return m_dialog->testOption(QColorDialog::ShowAlphaChannel);
}

void ColourPanel::setShowsAlpha(bool flag)
{
    m_dialog->setOption(QColorDialog::ShowAlphaChannel, flag);
}

bool ColourPanel::hasPickerMode(const QByteArray& identifier) const
{
    return std::any_of(m_modes.begin(), m_modes.end(),
                       [&](const PickerMode& mode) { return mode.identifier == identifier; });
}

void ColourPanel::addPickerMode(const PickerMode& mode, QWidget* page)
{
    if (!page)
        return;
    if (hasPickerMode(mode.identifier)) {
        delete page;
        return;
    }
    auto* button = new QToolButton;
    button->setCheckable(true);
    button->setIcon(QIcon(QPixmap::fromImage(mode.icon)));
    button->setIconSize(QSize(24, 24));
    button->setToolTip(mode.toolTip);
    m_modeButtons->addButton(button, int(m_modes.size()));
    m_modeBar->insertWidget(int(m_modes.size()), button);
    m_modes << mode;
    m_content->addWidget(page);
    if (m_modes.size() == 1)
        button->setChecked(true);
}

QByteArray ColourPanel::selectedPickerMode() const
{
    return m_modes.value(m_content->currentIndex()).identifier;
}

void ColourPanel::setSelectedPickerMode(const QByteArray& identifier)
{
    for (int index = 0; index < m_modes.size(); ++index) {
        if (m_modes[index].identifier != identifier)
            continue;
        m_modeButtons->button(index)->setChecked(true);
        if (m_content->currentIndex() != index) {
            m_content->setCurrentIndex(index);
            Q_EMIT selectedPickerModeChanged(identifier);
        }
        return;
    }
}

QWidget* ColourPanel::contentView() const
{
    return m_content;
}

QWidget* ColourPanel::lendContentView()
{
    if (!m_contentLent) {
        m_window->hide();
        m_windowLayout->removeWidget(m_content);
        m_content->setParent(nullptr);
        m_contentLent = true;
    }
    return m_content;
}

void ColourPanel::takeBackContentView()
{
    if (!m_contentLent)
        return;
    m_contentLent = false;
    m_windowLayout->addWidget(m_content);
    m_content->show();
}

void ColourPanel::disablePanel()
{
    panelDisabled() = true;
}

void ColourPanel::enablePanel()
{
    panelDisabled() = false;
}

bool ColourPanel::isPanelDisabled()
{
    return panelDisabled();
}

bool ColourPanel::isVisible() const
{
    return m_window->isVisible();
}

void ColourPanel::orderFront(QObject*)
{
    if (isPanelDisabled())
        return;
    takeBackContentView();
    m_window->show();
    m_window->raise();
}

void ColourPanel::orderOut(QObject*)
{
    m_window->hide();
}

void ColourPanel::setFrameForContentRect(const QRect& contentRect)
{
    takeBackContentView();
    m_window->layout()->activate();
    const QPoint contentOrigin = m_content->mapTo(m_window, QPoint(0, 0));
    const QSize chrome = m_window->size() - m_content->size();
    m_window->resize(contentRect.size() + chrome);
    m_window->move(contentRect.topLeft() - contentOrigin);
}

void ColourPanel::userDidPickColor(const QColor& colour)
{
    if (!colour.isValid())
        return;
    m_color = colour;
    showColourInDialog(colour);
    Q_EMIT colorChanged(colour);
    const QList<ColourWell*> wells = activeWells();
    if (wells.isEmpty()) {
        Application::sendActionToFrom(m_action, m_target, this);
        return;
    }
    for (ColourWell* well : wells)
        well->takeColorFrom(colour);
}

QList<ColourWell*> ColourPanel::activeWells() const
{
    QList<ColourWell*> wells;
    for (const QPointer<ColourWell>& well : m_activeWells)
        if (well)
            wells << well;
    return wells;
}

bool ColourPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Close)
        Q_EMIT panelDidClose();
    return false;
}

void ColourPanel::addActiveWell(ColourWell* well)
{
    if (!m_activeWells.contains(well))
        m_activeWells << well;
}

void ColourPanel::removeActiveWell(ColourWell* well)
{
    m_activeWells.removeAll(well);
}

void ColourPanel::showColourInDialog(const QColor& colour)
{
    const QSignalBlocker quiet(m_dialog);
    m_dialog->setCurrentColor(colour);
}

} // namespace platform

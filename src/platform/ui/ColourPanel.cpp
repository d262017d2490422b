#include "platform/ui/ColourPanel.h"

#include "platform/ui/Application.h"
#include "platform/ui/ColourWell.h"

#include <QColorDialog>
#include <QSignalBlocker>

namespace platform {

namespace {

// Never destroyed: the panel is a window, which cannot outlive the application.
ColourPanel*& sharedSlot()
{
    static ColourPanel* shared = nullptr;
    return shared;
}

} // namespace

ColourPanel::ColourPanel()
    : m_dialog(new QColorDialog)
{
    m_dialog->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
    m_dialog->setModal(false);
    m_dialog->setWindowTitle(tr("Colours"));
    m_dialog->setCurrentColor(m_color);
    connect(m_dialog, &QColorDialog::currentColorChanged, this, &ColourPanel::userDidPickColor);
    connect(m_dialog, &QDialog::finished, this, &ColourPanel::panelDidClose);
}

ColourPanel::~ColourPanel()
{
    delete m_dialog;
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
    if (colour == m_color)
        return;
    m_color = colour;
    const QSignalBlocker quiet(m_dialog);
    m_dialog->setCurrentColor(colour);
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

bool ColourPanel::isVisible() const
{
    return m_dialog->isVisible();
}

void ColourPanel::orderFront(QObject*)
{
    m_dialog->show();
    m_dialog->raise();
}

void ColourPanel::orderOut(QObject*)
{
    m_dialog->hide();
}

void ColourPanel::userDidPickColor(const QColor& colour)
{
    m_color = colour;
    {
        const QSignalBlocker quiet(m_dialog);
        m_dialog->setCurrentColor(colour);
    }
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

void ColourPanel::addActiveWell(ColourWell* well)
{
    if (!m_activeWells.contains(well))
        m_activeWells << well;
}

void ColourPanel::removeActiveWell(ColourWell* well)
{
    m_activeWells.removeAll(well);
}

} // namespace platform

#include "widgets/colour/XQColorPickerPopover.h"

#include "platform/foundation/MetaInvoke.h"
#include "platform/ui/ColourPanel.h"
#include "platform/ui/ColourWell.h"
#include "widgets/colour/ColourSwatch.h"
#include "widgets/colour/XQColorPickerViewController.h"

#include <QCoreApplication>
#include <mutex>

namespace {

// Every well's click while the popover exists: an active well deactivates; an inactive one
// first closes the popover (at once) and clears its target, then activates.
void activationClick(platform::ColourWell& well, bool shiftDown)
{
    if (well.isActive()) {
        well.deactivate();
        return;
    }
    XQColorPickerPopover* popover = XQColorPickerPopover::sharedPopover();
    if (popover->isShown()) {
        const bool animated = popover->animates();
        popover->setAnimates(false);
        popover->close();
        popover->setAnimates(animated);
    }
    popover->removeTargetAndAction();
    well.activate(!shiftDown);
}

} // namespace

XQColorPickerPopover::XQColorPickerPopover()
{
    setBehavior(SemitransientBehavior);
    platform::ColourWell::setActivationClickHandler(activationClick);
    // The delegate hears of every close once, whoever starts it.
    connect(this, &Popover::willClose, this, [this](CloseReason reason) {
        if (!m_delegate)
            return;
        const QMetaMethod method = platform::findMethod(m_delegate, "popoverWillClose", 1);
        if (method.isValid())
            platform::invokeMethod(m_delegate, method, {int(m_tearingOff ? DetachToWindowCloseReason : reason)});
    });
}

XQColorPickerPopover* XQColorPickerPopover::sharedPopover()
{
    static std::once_flag once;
    static XQColorPickerPopover* shared = nullptr;
    std::call_once(once, [] {
        shared = new XQColorPickerPopover;
        // Whichever thread asks first, the popover belongs to the interface's thread.
        if (QCoreApplication::instance())
            shared->moveToThread(QCoreApplication::instance()->thread());
    });
    return shared;
}

platform::ColourPanel* XQColorPickerPopover::colorPanel() const
{
    const auto controller = std::dynamic_pointer_cast<XQColorPickerViewController>(contentViewController());
    return controller ? controller->colorPanel() : nullptr;
}

QColor XQColorPickerPopover::color() const
{
    const platform::ColourPanel* panel = colorPanel();
    return panel ? panel->color() : QColor();
}

void XQColorPickerPopover::setColor(const QColor& colour)
{
    if (!isPickableColour(colour))
        return;
    m_color = colour;
    if (isShown())
        if (platform::ColourPanel* panel = colorPanel())
            panel->setColor(colour);
}

void XQColorPickerPopover::removeTargetAndAction()
{
    m_target = nullptr;
    m_action.clear();
}

void XQColorPickerPopover::setObservingColor(bool flag)
{
    platform::ColourPanel* panel = colorPanel();
    if (!panel)
        flag = false;
    if (flag == m_observingColor)
        return;
    m_observingColor = flag;
    disconnect(m_observation);
    if (flag)
        m_observation = connect(panel, &platform::ColourPanel::colorChanged, this,
                                &XQColorPickerPopover::panelColourChanged);
}

void XQColorPickerPopover::showRelativeToRectOfViewPreferredEdge(const QRect& rect, QWidget* view, Edge edge)
{
    if (isShown()) {
        const QPointer<QObject> target = m_target;
        const QByteArray action = m_action;
        const bool animated = animates();
        // The close is the previous well's: it hears of it and is left inactive, while the
        // well this showing is for stays the popover's.
        const QPointer<platform::ColourWell> well = std::exchange(m_colorWell, m_shownWell);
        const QPointer<QObject> delegate = std::exchange(m_delegate, m_shownDelegate);
        setAnimates(false);
        close();
        setAnimates(animated);
        m_target = target;
        m_action = action;
        m_colorWell = well;
        m_delegate = delegate;
    }
    setContentViewController(std::make_shared<XQColorPickerViewController>());
    Popover::showRelativeToRectOfViewPreferredEdge(rect, view, edge);
    if (platform::ColourPanel* panel = colorPanel())
        panel->setColor(m_color);
    setObservingColor(true);
    m_shownWell = m_colorWell;
    m_shownDelegate = m_delegate;
}

void XQColorPickerPopover::close()
{
    closeAndDeactivateColorWellRemoveTargetRemoveObserver(true, true, true);
}

void XQColorPickerPopover::closeAndDeactivateColorWellRemoveTargetRemoveObserver(bool deactivate, bool removeTarget,
                                                                                bool removeObserver)
{
    if (removeTarget)
        removeTargetAndAction();
    if (removeObserver)
        setObservingColor(false);
    platform::ColourPanel* panel = colorPanel();
    const QColor kept = panel ? panel->color() : QColor();
    Popover::close();
    if (panel)
        panel->setColor(kept);
    if (deactivate)
        deactivateColorWell();
}

void XQColorPickerPopover::closeForTearOff()
{
    m_tearingOff = true;
    closeAndDeactivateColorWellRemoveTargetRemoveObserver(false, false, false);
    m_tearingOff = false;
}

void XQColorPickerPopover::cancelOperation(QObject*)
{
    close();
}

void XQColorPickerPopover::deactivateColorWell()
{
    if (m_colorWell)
        m_colorWell->deactivate();
    m_colorWell = nullptr;
}

bool XQColorPickerPopover::eventFilter(QObject* watched, QEvent* event)
{
    // A press on the well being edited is that well's own click, which closes by deactivating.
    if (event->type() == QEvent::MouseButtonPress && m_colorWell && watched == m_colorWell)
        return false;
    return Popover::eventFilter(watched, event);
}

void XQColorPickerPopover::panelColourChanged()
{
    platform::ColourPanel* panel = colorPanel();
    if (!panel || !isPickableColour(panel->color()))
        return;
    m_color = panel->color();
    if (!m_target || m_action.isEmpty())
        return;
    const QMetaMethod method = platform::findMethod(m_target, m_action, 1);
    if (method.isValid())
        platform::invokeMethod(m_target, method, {QVariant::fromValue<QObject*>(this)});
}

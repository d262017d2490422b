#include "platform/ui/ViewController.h"

#include "platform/ui/ResponderChain.h"

namespace platform {

ViewController::ViewController() = default;

ViewController::~ViewController()
{
    releaseView();
}

void ViewController::initWithNibName(const QString& nibName)
{
    m_nibName = nibName;
}

QString ViewController::nibName() const
{
    return m_nibName.isEmpty() ? className() : m_nibName;
}

QWidget* ViewController::view()
{
    if (!m_view) {
        setView(loadView());
        viewDidLoad();
    }
    return m_view;
}

void ViewController::setView(QWidget* view)
{
    if (view == m_view)
        return;
    releaseView();
    m_view = view;
    ResponderChain::setControllerForWidget(view, this);
}

void ViewController::setRepresentedObject(const QVariant& object)
{
    announceChangeForKey(QStringLiteral("representedObject"), [&] { m_representedObject = object; });
}

void ViewController::setTitle(const QString& title)
{
    announceChangeForKey(QStringLiteral("title"), [&] { m_title = title; });
}

ViewController* ViewController::controllerForView(const QWidget* view)
{
    return qobject_cast<ViewController*>(ResponderChain::controllerForWidget(view));
}

QWidget* ViewController::loadView()
{
    return new QWidget;
}

void ViewController::releaseView()
{
    if (!m_view)
        return;
    ResponderChain::setControllerForWidget(m_view, nullptr);
    if (!m_view->parent())
        delete m_view;
    m_view = nullptr;
}

} // namespace platform

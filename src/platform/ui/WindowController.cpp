#include "platform/ui/WindowController.h"

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Document.h"

#include <QCloseEvent>
#include <QEvent>
#include <utility>

namespace platform {

WindowController::WindowController() = default;

WindowController::~WindowController()
{
    if (m_window) {
        ResponderChain::setControllerForWidget(m_window, nullptr);
        m_window->removeEventFilter(this);
        m_window->hide();
        // The controller may go while the window is handling one of its own events.
        m_window->deleteLater();
    }
}

void WindowController::initWithWindowNibName(const QString& windowNibName)
{
    m_windowNibName = windowNibName;
}

QString WindowController::windowNibName() const
{
    return m_windowNibName.isEmpty() ? className() : m_windowNibName;
}

Document* WindowController::document() const
{
    return m_document;
}

QWidget* WindowController::window()
{
    if (!m_window) {
        ResponderChain::trackWindowActivation();
        m_window = loadWindow();
        ResponderChain::setControllerForWidget(m_window, this);
        m_window->installEventFilter(this);
        windowDidLoad();
        synchronizeWindowTitleWithDocumentName();
    }
    return m_window;
}

void WindowController::setDocument(Document* document)
{
    if (document == m_document)
        return;
    if (m_document)
        for (ObservationToken token : std::exchange(m_documentObservations, {}))
            m_document->removeObservation(token);
    m_document = document;
    observeDocument();
}

void WindowController::showWindow(QObject*)
{
    QWidget* shown = window();
    shown->show();
    shown->raise();
    shown->activateWindow();
}

void WindowController::close()
{
    if (!m_window)
        return;
    windowWillClose();
    m_window->hide();
}

QString WindowController::windowTitleForDocumentDisplayName(const QString& displayName) const
{
    return displayName;
}

void WindowController::synchronizeWindowTitleWithDocumentName()
{
    if (!m_window || !m_document)
        return;
    // "[*]" is where Qt shows the edited mark.
    m_window->setWindowTitle(windowTitleForDocumentDisplayName(m_document->displayName()) + QStringLiteral("[*]"));
    m_window->setWindowModified(m_document->isDocumentEdited());
}

QObject* WindowController::nextResponder() const
{
    return m_document;
}

WindowController* WindowController::controllerForWindow(const QWidget* window)
{
    return qobject_cast<WindowController*>(ResponderChain::controllerForWidget(window));
}

QWidget* WindowController::loadWindow()
{
    return new QWidget(nullptr, Qt::Window);
}

bool WindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window || event->type() != QEvent::Close)
        return false;
    if (!windowShouldClose()) {
        event->ignore();
        return true;
    }
    if (!closesDocument()) {
        windowWillClose();
        if (m_document) {
            const QPointer<WindowController> self(this);
            // Removing this controller from its document may destroy it: not inside its own event.
            RunLoop::performAfterDelay(m_document, [document = m_document, self] {
                if (self)
                    document->removeWindowController(self);
            }, 0);
        }
        return false;
    }
    event->ignore();
    const QPointer<Document> document = m_document;
    document->canCloseDocument([document](bool shouldClose) {
        if (document && shouldClose)
            RunLoop::performAfterDelay(document, [document] { document->close(); }, 0);
    });
    return true;
}

void WindowController::observeDocument()
{
    if (!m_document)
        return;
    for (const QString& key : {QStringLiteral("documentEdited"), QStringLiteral("displayName")})
        m_documentObservations << m_document->observeKeyPath(
            key, {}, this, [this](const KeyValueChange&) { synchronizeWindowTitleWithDocumentName(); });
    synchronizeWindowTitleWithDocumentName();
}

bool WindowController::closesDocument() const
{
    return m_document && (m_shouldCloseDocument || m_document->windowControllers().size() == 1);
}

} // namespace platform

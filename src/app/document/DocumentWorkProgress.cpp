#include "app/document/DocumentWorkProgress.h"

#include "app/application/ModalWindowEventFilter.h"
#include "platform/foundation/RunLoop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <utility>

namespace {

std::chrono::milliseconds showDelay{500};

// Input for the progress window only, and no other window closes: each refused is told.
class ProgressOnlyFilter : public ModalWindowEventFilter {
public:
    ProgressOnlyFilter(QWidget* progressWindow, std::function<void(QWidget*)> closeRefused)
        : ModalWindowEventFilter(progressWindow)
        , m_closeRefused(std::move(closeRefused))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Close || !watched->isWidgetType())
            return ModalWindowEventFilter::eventFilter(watched, event);
        auto* widget = static_cast<QWidget*>(watched);
        if (belongsToModalWindow(widget))
            return false;
        event->ignore();
        m_closeRefused(widget);
        return true;
    }

private:
    std::function<void(QWidget*)> m_closeRefused;
};

} // namespace

std::chrono::milliseconds DocumentWorkProgress::setShowDelay(std::chrono::milliseconds delay)
{
    return std::exchange(showDelay, delay);
}

DocumentWorkProgress::DocumentWorkProgress(QString prompt)
    : WorkProgress(std::move(prompt), showDelay, true)
{
}

DocumentWorkProgress::~DocumentWorkProgress()
{
    // On a later turn: what saves or opens goes on after this returns.
    for (const QPointer<QWidget>& window : m_closesRefused)
        if (window) {
            QWidget* closing = window;
            platform::RunLoop::runOnMainThread([closing] { closing->close(); }, closing);
        }
}

void DocumentWorkProgress::runProgressWindowEvents(QWidget* progressWindow)
{
    ProgressOnlyFilter onlyProgress(progressWindow, [this](QWidget* window) {
        if (std::find(m_closesRefused.begin(), m_closesRefused.end(), window) != m_closesRefused.end())
            return;
        m_closesRefused.emplace_back(window);
        setNote(tr("Closing waits until this has ended."));
    });
    QCoreApplication::instance()->installEventFilter(&onlyProgress);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&onlyProgress);
}

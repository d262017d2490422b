#include "app/document/DocumentWorkProgress.h"

#include "app/application/ModalWindowEventFilter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <utility>

namespace {

std::chrono::milliseconds showDelay{500};

// Input for the progress window only, and no other window closes.
class ProgressOnlyFilter : public ModalWindowEventFilter {
public:
    using ModalWindowEventFilter::ModalWindowEventFilter;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close && watched->isWidgetType()
            && !belongsToModalWindow(static_cast<QWidget*>(watched))) {
            event->ignore();
            return true;
        }
        return ModalWindowEventFilter::eventFilter(watched, event);
    }
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

void DocumentWorkProgress::runProgressWindowEvents(QWidget* progressWindow)
{
    ProgressOnlyFilter onlyProgress(progressWindow);
    QCoreApplication::instance()->installEventFilter(&onlyProgress);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&onlyProgress);
}

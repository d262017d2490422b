#include "app/document/DocumentWorkProgress.h"

#include "app/application/ModalWindowEventFilter.h"
#include "app/progress/ZQProgressController.h"
#include "app/progress/ZQProgressView.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <utility>

namespace {

std::chrono::milliseconds showDelay{500};

// Input for the progress window only, and no other window closes: the work may be part-way
// through the map's objects, so nothing may change or close what is being saved or opened.
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
    : m_prompt(std::move(prompt))
{
    m_clock.start();
}

DocumentWorkProgress::~DocumentWorkProgress()
{
    if (m_row)
        m_row->endProgress();
}

bool DocumentWorkProgress::proceed(double fraction)
{
    m_fraction = fraction;
    if (!m_row && std::chrono::milliseconds(m_clock.elapsed()) >= showDelay) {
        m_row = ZQProgressController::sharedProgress()->progressViewForDelegate(this);
        m_row->setPromptString(m_prompt);
        m_row->beginProgress();
    }
    if (!m_row)
        return true;
    m_row->setFraction(fraction);
    ProgressOnlyFilter onlyProgress(m_row->view());
    QCoreApplication::instance()->installEventFilter(&onlyProgress);
    QCoreApplication::processEvents();
    QCoreApplication::instance()->removeEventFilter(&onlyProgress);
    return !m_row->stopRequested();
}

double DocumentWorkProgress::progressFractionForProgressShouldCancel(ZQProgressView*, bool)
{
    return m_fraction;
}

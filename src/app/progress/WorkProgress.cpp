#include "app/progress/WorkProgress.h"

#include "app/progress/ZQProgressController.h"
#include "app/progress/ZQProgressView.h"

#include <QWidget>
#include <utility>

WorkProgress::WorkProgress(QString prompt, std::chrono::milliseconds showDelay, bool stoppable)
    : m_prompt(std::move(prompt))
    , m_showDelay(showDelay)
    , m_stoppable(stoppable)
{
    m_clock.start();
}

WorkProgress::~WorkProgress()
{
    if (m_row)
        m_row->endProgress();
}

bool WorkProgress::proceed(double fraction)
{
    m_fraction = fraction;
    if (!m_row && std::chrono::milliseconds(m_clock.elapsed()) >= m_showDelay) {
        m_row = ZQProgressController::sharedProgress()->progressViewForDelegate(this);
        m_row->setPromptString(m_prompt);
        m_row->setButtonHidden(!m_stoppable);
        m_row->setAdditionalInfoString(m_note);
        m_row->beginProgress();
    }
    if (!m_row)
        return true;
    m_row->setFraction(fraction);
    if (QWidget* view = m_row->view())
        runProgressWindowEvents(view->window());
    return !m_row->stopRequested();
}

void WorkProgress::setNote(const QString& note)
{
    m_note = note;
    if (m_row)
        m_row->setAdditionalInfoString(note);
}

double WorkProgress::progressFractionForProgressShouldCancel(ZQProgressView*, bool)
{
    return m_fraction;
}

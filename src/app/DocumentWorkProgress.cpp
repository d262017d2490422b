#include "app/DocumentWorkProgress.h"

#include "app/ZQProgressController.h"
#include "app/ZQProgressView.h"

#include <QCoreApplication>
#include <utility>

namespace {
std::chrono::milliseconds showDelay{500};
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
    // The window is modal on the map, so only the bar and Stop answer while the work waits.
    QCoreApplication::processEvents();
    return !m_row->stopRequested();
}

double DocumentWorkProgress::progressFractionForProgressShouldCancel(ZQProgressView*, bool)
{
    return m_fraction;
}

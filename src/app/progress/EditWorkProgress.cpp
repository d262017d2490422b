#include "app/progress/EditWorkProgress.h"

#include "app/progress/EventHold.h"

#include <utility>

namespace {

std::chrono::milliseconds showDelay{1000};

} // namespace

std::chrono::milliseconds EditWorkProgress::setShowDelay(std::chrono::milliseconds delay)
{
    return std::exchange(showDelay, delay);
}

EditWorkProgress::EditWorkProgress(QString name)
    : WorkProgress(std::move(name), showDelay, false)
{
}

EditWorkProgress::~EditWorkProgress() = default;

void EditWorkProgress::runProgressWindowEvents(QWidget* progressWindow)
{
    if (!m_eventHold) {
        m_runLoopHold.emplace();
        m_eventHold = std::make_unique<EventHold>(progressWindow);
    }
    m_eventHold->deliverOnlyToWindow();
}

EditProgressPresenter::EditProgressPresenter()
    : m_previous(platform::EditProgress::setPresenter(this))
{
}

EditProgressPresenter::~EditProgressPresenter()
{
    platform::EditProgress::setPresenter(m_previous);
}

void EditProgressPresenter::editBegan(const QString& name)
{
    m_edit = std::make_unique<EditWorkProgress>(name);
}

void EditProgressPresenter::editProgressed(double fraction)
{
    m_edit->proceed(fraction);
}

void EditProgressPresenter::editEnded()
{
    m_edit.reset();
}

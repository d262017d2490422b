#include "inspectors/geometry/StraightLineSelection.h"

#include "platform/foundation/RunLoop.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"

#include <algorithm>

namespace {

const QByteArray kAnswerKey = "answerAgain";

bool isStraight(const ZQObject& path)
{
    return static_cast<const VXDrawablePath&>(path).isSimpleStraightLine();
}

} // namespace

StraightLineSelection::StraightLineSelection(Changed changed)
    : m_changed(std::move(changed))
{
}

StraightLineSelection::~StraightLineSelection()
{
    clear();
}

void StraightLineSelection::follow(const QList<ZQObjectPtr>& paths)
{
    clear();
    m_paths = paths;
    m_curved = firstCurvedPath();
    m_watch = std::make_unique<platform::ObjectsChangeWatch>(
        m_paths, QStringList{QStringLiteral("isSimpleStraightLine")},
        [this](qsizetype, bool prior, const ZQObject& path) { return !prior && mayChangeAnswer(path); },
        [this](qsizetype, bool) { selectedPathChanged(); });
}

void StraightLineSelection::clear()
{
    platform::RunLoop::cancelPreviousPerformRequests(this, kAnswerKey);
    m_watch.reset();
    m_paths.clear();
    m_curved = m_asked = m_changedPath = nullptr;
    m_answerPending = false;
}

bool StraightLineSelection::mayChangeAnswer(const ZQObject& path)
{
    if (m_answerPending)
        return false;
    // Objects of other classes are not selected: their keys mean something else.
    const bool mayChange = m_curved ? &path == m_curved
                                    : dynamic_cast<const VXDrawablePath*>(&path) && !isStraight(path);
    if (mayChange)
        m_asked = &path;
    return mayChange;
}

void StraightLineSelection::selectedPathChanged()
{
    m_changedPath = m_asked;
    m_answerPending = true;
    platform::RunLoop::performAfterDelay(this, [this] { answerAgain(); }, 0, kAnswerKey);
}

void StraightLineSelection::answerAgain()
{
    m_answerPending = false;
    const bool wereStraight = areStraightLines();
    const ZQObject* changed = std::exchange(m_changedPath, nullptr);
    if (changed && !isStraight(*changed))
        m_curved = changed;
    else if (!m_curved || isStraight(*m_curved))
        m_curved = firstCurvedPath();
    if (areStraightLines() != wereStraight && m_changed)
        m_changed();
}

const ZQObject* StraightLineSelection::firstCurvedPath() const
{
    const auto curved = std::find_if(m_paths.cbegin(), m_paths.cend(),
                                     [](const ZQObjectPtr& path) { return !isStraight(*path); });
    return curved == m_paths.cend() ? nullptr : curved->get();
}

#include "media/window/MediaFetchProgress.h"

#include "platform/foundation/RunLoop.h"

namespace {

const QByteArray kHideKey = QByteArrayLiteral("hide");

} // namespace

void MediaFetchProgress::fetchStarted()
{
    if (m_pending == 0) {
        platform::RunLoop::cancelPreviousPerformRequests(this, kHideKey);
        if (!m_showing) {
            m_showing = true;
            Q_EMIT progressShown();
        }
    }
    ++m_pending;
}

void MediaFetchProgress::fetchCompleted()
{
    if (m_pending == 0)
        return;
    if (--m_pending == 0) {
        platform::RunLoop::performAfterDelay(this, [this] { hide(); }, kHideDelay, kHideKey);
        Q_EMIT allFetchesCompleted();
    }
}

void MediaFetchProgress::previewsCancelled()
{
    m_pending = 0;
    platform::RunLoop::cancelPreviousPerformRequests(this, kHideKey);
    hide();
}

void MediaFetchProgress::hide()
{
    if (!m_showing)
        return;
    m_showing = false;
    Q_EMIT progressHidden();
}

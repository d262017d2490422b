#pragma once

// Counts the thumbnails under way so the media browser can show its progress indicator.
// The indicator shows with the first start and hides a moment after the last end, so a run
// of quick fetches does not make it flicker. Ends never outnumber starts: an end with
// nothing pending is ignored, and cancelling the previews forgets whatever was pending,
// as cancelled work may never report its end.

#include <QObject>

class MediaFetchProgress : public QObject {
    Q_OBJECT

public:
    static constexpr int kHideDelay = 500; // milliseconds

    void fetchStarted();
    void fetchCompleted();
    void previewsCancelled();

    int pendingCount() const { return m_pending; }
    bool isShowing() const { return m_showing; }

Q_SIGNALS:
    void progressShown();
    void progressHidden();
    // The count came back to 0 (the browser scrolls to its first item).
    void allFetchesCompleted();

private:
    void hide();

    int m_pending = 0;
    bool m_showing = false;
};

#pragma once

// Painting on threads of Qt's global pool while the caller waits. Qt hands every batch of
// translucent spans to that pool unless the painting thread is one of the pool's own; for maps
// of many small translucent areas the hand-offs cost several times the blending, so images are
// painted on pool threads. The caller blocks, so nothing else changes the drawing meanwhile;
// drawing code still must not post notifications or touch widgets.

#include <QList>
#include <QRect>
#include <QSize>
#include <functional>

class QThreadPool;

namespace platform {

// Starts `work` on `pool` (at once, on a thread reserved for it, when `reserved`). What the
// caller wrote before is handed over through an atomic as well as Qt's locks, which
// ThreadSanitizer does not see.
void startOnPool(QThreadPool& pool, std::function<void()> work, bool reserved = false);

// Runs `paint` on a reserved pool thread (on this one when it already is a pool thread, or when
// the process winds down). Answers false, with a log line, when it threw: failures are never
// carried back into the paint event or export that asked.
bool paintOnPoolThread(const std::function<void()>& paint);

// Runs `paint` for every index below `count`, spread over up to idealThreadCount reserved pool
// threads, and waits for all of them. An index that throws is logged and the others are still
// painted; answers whether every one was. Each index is painted by one thread, in ascending
// order of starting.
bool paintInParallel(qsizetype count, const std::function<void(qsizetype index)>& paint);

// Square tiles of at most `side` pixels covering `pixels`, row by row.
QList<QRect> tilesCovering(QSize pixels, int side);

} // namespace platform

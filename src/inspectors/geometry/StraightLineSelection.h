#pragma once

// Whether every path of a selection of plain paths is a simple straight line, kept true to
// their geometry: a line bent by a curve point, or a curve made straight, changes the answer,
// and the owner hears of it once, on the next turn.
//
// Each change is judged by the path that changed, which the edit has just touched: while every
// path is straight, only a path that turns curved is looked up in the selection; while one is
// curved, only that one is followed. Moving a million selected lines then searches nothing,
// and the selection is walked again only when the answer may have changed.

#include "platform/foundation/ZQObject.h"
#include "platform/vantrix/inspector/ObjectsChangeWatch.h"

#include <QObject>
#include <functional>
#include <memory>

class StraightLineSelection : public QObject {
    Q_OBJECT

public:
    using Changed = std::function<void()>;
    explicit StraightLineSelection(Changed changed);
    ~StraightLineSelection() override;

    // Follows `paths`, every one a path (VXDrawablePath or a class derived from it).
    void follow(const QList<ZQObjectPtr>& paths);
    // Follows nothing; no change is told any more.
    void clear();
    bool isFollowing() const { return m_watch != nullptr; }
    bool areStraightLines() const { return !m_curved; }

private:
    // Whether a change of `path` may change the answer (it is then looked up in the selection).
    bool mayChangeAnswer(const ZQObject& path);
    void selectedPathChanged();
    void answerAgain();
    // The first path that is not straight, null when all are.
    const ZQObject* firstCurvedPath() const;

    Changed m_changed;
    QList<ZQObjectPtr> m_paths;
    std::unique_ptr<platform::ObjectsChangeWatch> m_watch;
    // One path of the selection that is not straight; null when all are.
    const ZQObject* m_curved = nullptr;
    // The path the watch last asked about, and the selected one whose change is to be judged.
    const ZQObject* m_asked = nullptr;
    const ZQObject* m_changedPath = nullptr;
    bool m_answerPending = false;
};

#pragma once

// Stands in for the application's presenter while alive and writes down what edits showed:
// "begin <name>" and "end" in events, each fraction reported in fractions.

#include "platform/foundation/EditProgress.h"

#include <QStringList>
#include <algorithm>
#include <new>
#include <vector>

namespace testsupport {

class EditProgressRecorder : public platform::EditProgress::Presenter {
public:
    EditProgressRecorder() : m_previous(platform::EditProgress::setPresenter(this)) {}
    ~EditProgressRecorder() override { platform::EditProgress::setPresenter(m_previous); }

    void editBegan(const QString& name) override { events << QStringLiteral("begin %1").arg(name); }
    void editProgressed(double fraction) override { fractions.push_back(fraction); }
    void editEnded() override { events << QStringLiteral("end"); }

    // Fractions reported before the end: what a row can show while the edit runs.
    qsizetype partWay() const
    {
        return std::count_if(fractions.begin(), fractions.end(), [](double fraction) { return fraction < 1.0; });
    }

    QStringList events;
    std::vector<double> fractions;

private:
    platform::EditProgress::Presenter* m_previous;
};

// Raises std::bad_alloc at one report (counted from 0; none when negative), as running out of
// memory while the progress paints would, and counts every report.
class FailingEditProgress : public EditProgressRecorder {
public:
    explicit FailingEditProgress(int failAt) : m_failAt(failAt) {}
    void editProgressed(double fraction) override
    {
        if (reports++ == m_failAt)
            throw std::bad_alloc();
        EditProgressRecorder::editProgressed(fraction);
    }

    int reports = 0;

private:
    int m_failAt;
};

} // namespace testsupport

#pragma once

// How a long edit on the main thread says how far it has come.
//
// An edit over many objects opens a Scope naming it and counting its steps, and calls step()
// after each one, where the model is whole: the application may let its progress window paint
// there, and holds everything else until the edit ends. A scope opened inside another counts
// within the outer one's current step, so an undo that replays a move shows the move's
// progress as part of its own, under the outermost scope's name. A step that reads or writes
// an archive (the clipboard's objects) reports as the coder goes.
//
// The application installs one presenter; without one a step costs an increment and a
// compare. Only the main thread reports: a scope on another thread stays silent.
//
// A presenter that raises (out of memory while painting) stops the edit there, as running out
// of memory anywhere in it would. Work that must not stop between its stages holds such a
// failure until it is whole; taking back an edit that failed never stops for one.

#include "platform/foundation/ArchiveProgress.h"

#include <QString>
#include <QtGlobal>
#include <exception>

namespace platform {

class EditProgress {
public:
    class Presenter {
    public:
        virtual ~Presenter() = default;
        // An outermost scope opened.
        virtual void editBegan(const QString& name) = 0;
        // The fraction of the outermost edit done, 0..1, never falling.
        virtual void editProgressed(double fraction) = 0;
        // The outermost scope closed: the edit is over.
        virtual void editEnded() = 0;
    };

    // Steps between reports: a report asks the clock, and a loop over a million objects
    // need not ask a million times.
    static constexpr qsizetype kReportInterval = 256;

    // Answers the previous presenter. Raises while an edit is open.
    static Presenter* setPresenter(Presenter* presenter);

    // What a report that raises does within a scope, and the scopes opened inside it.
    enum class Failures {
        Raise,   // stops the work at once
        Hold,    // stops the reports; finish() raises it once the work is whole
        Ignore,  // logged; the reports stop and the work goes on
    };

    class Scope {
    public:
        Scope(const QString& name, qsizetype steps, Failures failures = Failures::Raise);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

        // One more step is done.
        void step()
        {
            if (++m_done % kReportInterval == 0 || m_done == m_steps)
                report(0.0);
        }
        // One more of a few long steps is done: reported at once.
        void longStep()
        {
            ++m_done;
            report(0.0);
        }

        // A hook for a ProgressScope around a step that encodes or decodes: the coder's
        // fraction is the part of the step done. It never asks to stop.
        archive::Progress archiveProgress();

        // Raises the failure a Hold scope held; nothing otherwise.
        void finish();

    private:
        void report(double partOfStep);
        // The scope, this or one around it, whose rule governs a failing report; null to raise.
        Scope* failureKeeper();
        // The fraction of the outermost edit done once this scope has done `part` of its current step.
        double outermostFraction(double part) const;

        bool m_reports;
        Scope* m_outer;
        qsizetype m_steps;
        qsizetype m_done = 0;
        double m_reported = 0.0; // the outermost scope's, so that it never falls
        Failures m_failures;
        std::exception_ptr m_failure; // once set, reports within this scope stop
    };
};

} // namespace platform

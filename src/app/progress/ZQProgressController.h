#pragma once

// The progress window: a stack of progress rows.
//
// Its default row serves the simple calls below (a job reporting values to a maximum);
// it shows as a window-modal sheet on a parent window from showOnParent until hide.
// Long jobs ask for a row of their own with progressViewForDelegate; each row appears
// with its beginProgress and goes with its endProgress, and the window stays up while
// any row is shown. The user cannot close the window: jobs end through their rows.
//
// sharedProgress is the one window for the whole application; a plain ZQProgressController
// is a separate window. Both start with their display deferred (setDefersDisplay).

#include "platform/ui/Document.h" // WindowController's inline document() needs it complete
#include "platform/ui/WindowController.h"

#include <QPointer>
#include <memory>

class ZQProgressDelegate;
class ZQProgressView;

class ZQProgressController : public platform::WindowController {
    Q_OBJECT

public:
    ZQProgressController();
    ~ZQProgressController() override;

    static ZQProgressController* sharedProgress();

    // A new row for the delegate, shown between its beginProgress and endProgress. The
    // controller keeps the row while it is shown.
    std::shared_ptr<ZQProgressView> progressViewForDelegate(ZQProgressDelegate* delegate);

    // --- The default row (these five are also what library migration reports to) ----------
    Q_INVOKABLE void setPromptString(const QString& prompt);
    Q_INVOKABLE void setAdditionalInfoString(const QString& info);
    Q_INVOKABLE void setProgressBarIndeterminate(bool flag);
    // The value that counts as complete; up to a first positive maximum the bar shows 0.
    Q_INVOKABLE void setMaximumValue(qint64 maximum);
    // Moves the bar to value / maximum and answers whether the user pressed stop.
    Q_INVOKABLE bool setCurrentValue(qint64 value);
    // Hiding the stop button makes the job not cancellable.
    void setButtonHidden(bool flag);

    // While display is deferred showOnParent only records the parent; the sheet appears
    // when deferral is switched off.
    bool defersDisplay() const { return m_defersDisplay; }
    void setDefersDisplay(bool flag);
    // Shows the default row as a sheet on `parent`'s window (a free window without one);
    // a new job starts with its stop request cleared.
    void showOnParent(QWidget* parent);
    void hide();

    ZQProgressView* defaultProgressView() const { return m_defaultRow.get(); }
    // The rows the window shows now, default row first.
    QList<ZQProgressView*> displayedProgressViews() const;

protected:
    QWidget* loadWindow() override;
    bool windowShouldClose() override { return false; }

private:
    friend class ZQProgressView;
    void progressViewDidBegin(ZQProgressView* row);
    void progressViewDidEnd(ZQProgressView* row);
    bool showsDefaultRow() const { return m_defaultRowRequested && !m_defersDisplay; }
    // Shows, moves or hides the window to match the rows that want showing.
    void updateWindow();
    // Shows or hides the window, as a sheet on `host` or as a window of its own.
    void present(QWidget* host, bool visible);

    std::shared_ptr<ZQProgressView> m_defaultRow;
    QList<std::shared_ptr<ZQProgressView>> m_activeRows;
    QPointer<QWidget> m_sheetParent;
    qint64 m_maximumValue = 0;
    bool m_defersDisplay = true;
    bool m_defaultRowRequested = false;
};

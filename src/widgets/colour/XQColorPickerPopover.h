#pragma once

// The one colour popover of the application, in which colour wells edit their colour next
// to themselves instead of in the floating colour panel. Each showing gets a fresh picker
// content (which borrows the panel's own content); while shown it follows the panel's
// colour and sends every change to its target, with itself as the argument (a target that
// lacks the action gets nothing). Escape and close() end the edit: target and action are
// cleared, following stops and the well being edited is deactivated. Tearing the popover
// off hands the editing to the panel with target and well kept.
//
// "shouldHideAnchor" is a plain property here (no arrow is drawn to hide).

#include "platform/ui/ColourWell.h"
#include "platform/ui/Popover.h"

#include <QColor>
#include <QPointer>

namespace platform {
class ColourPanel;
}

class XQColorPickerPopover : public platform::Popover {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(int shouldHideAnchor READ shouldHideAnchor WRITE setShouldHideAnchor)

public:
    // Made once, even when first asked for on several threads at once; lives for the process.
    static XQColorPickerPopover* sharedPopover();

    // The panel of the current content (null until content has been set).
    platform::ColourPanel* colorPanel() const;
    // The panel's colour (invalid without a panel).
    QColor color() const;
    // Kept for the next showing, and shown at once while shown. Colours that are not
    // pickable are ignored.
    void setColor(const QColor& colour);

    QObject* target() const { return m_target; }
    void setTarget(QObject* target) { m_target = target; }
    QByteArray action() const { return m_action; }
    void setAction(const QByteArray& action) { m_action = action; }
    void removeTargetAndAction();

    platform::ColourWell* colorWell() const { return m_colorWell; }
    void setColorWell(platform::ColourWell* well) { m_colorWell = well; }
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    bool observingColor() const { return m_observingColor; }
    // Without a panel following cannot be switched on.
    void setObservingColor(bool flag);

    int shouldHideAnchor() const { return m_shouldHideAnchor; }
    void setShouldHideAnchor(int value) { m_shouldHideAnchor = value; }

    // Shown again while shown: closed first (without animation) keeping target and action.
    void showRelativeToRectOfViewPreferredEdge(const QRect& rect, QWidget* view, Edge edge);
    void close();
    void closeAndDeactivateColorWellRemoveTargetRemoveObserver(bool deactivate, bool removeTarget,
                                                               bool removeObserver);
    // The close of a tear-off: well, target and following stay, and the delegate is told
    // of a detach rather than a standard close.
    void closeForTearOff();
    Q_INVOKABLE void cancelOperation(QObject* sender);
    void deactivateColorWell();

    // The colour the popover keeps for its next showing.
    QColor storedColor() const { return m_color; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    XQColorPickerPopover();
    void panelColourChanged();

    QColor m_color = Qt::white;
    QPointer<QObject> m_target;
    QByteArray m_action;
    QPointer<platform::ColourWell> m_colorWell;
    QPointer<QObject> m_delegate;
    // The well and delegate of the showing under way.
    QPointer<platform::ColourWell> m_shownWell;
    QPointer<QObject> m_shownDelegate;
    QMetaObject::Connection m_observation;
    bool m_observingColor = false;
    bool m_tearingOff = false;
    int m_shouldHideAnchor = 0;
};

#pragma once

// The side panels of a map document's window: which tabs they hold, the window's restorable
// state ({"splits": the split sizes, "left_sidebar", "right_sidebar": each side panel's tab
// view}) and keeping it as the preference new windows start with. The document owns one,
// stays the delegate of both tab views and forwards their messages here.
//
// Before the window exists the state is the one read from the package; once the window is
// set up that state (or the preference's) is applied, and a window left without tabs gets the
// default ones on the right. Every later change of the arrangement saves the preference 2 s
// after the last one.

#include <QCoreApplication>
#include <QVariantMap>

class QWidget;
class SidebarTab;
class SidebarTabView;
class VXDrawing;
class ZQQuorvaneDocument;

inline const QString kVLTMDocument_DefaultRestorableState = QStringLiteral("kVLTMDocument_DefaultRestorableState");

class MapDocumentSidebars {
public:
    static constexpr int kWindowStateSaveDelay = 2000;

    explicit MapDocumentSidebars(ZQQuorvaneDocument& document) : m_document(document) {}
    MapDocumentSidebars(const MapDocumentSidebars&) = delete;
    MapDocumentSidebars& operator=(const MapDocumentSidebars&) = delete;

    // The window's state; before the window exists, the state read from the package.
    QVariantMap restorableStateInfo() const;
    // Applies a state; an empty one is a programming error.
    void restoreWithStateInfo(const QVariantMap& state);
    // The state to restore once the window is made.
    const QVariantMap& windowRestorationState() const { return m_windowRestorationState; }
    void setWindowRestorationState(const QVariantMap& state) { m_windowRestorationState = state; }
    // The preference under "kVLTMDocument_DefaultRestorableState".
    void saveRestorableStateAsPreference() const;
    void restoreStateFromPreference();
    // Saves the preference once the layout has rested for kWindowStateSaveDelay.
    void windowStateDidChange();

    // Makes the document the tab views' delegate and restores the pending state.
    void makeTabViewControllers();
    // Gives the window's tab views up as the document goes.
    void detachFromTabViews();
    // The first tab with that identifier, left side panel first; null without one.
    SidebarTab* tabWithIdentifier(const QString& identifier) const;
    // Makes the tab current in its side panel; false when there is none.
    bool selectTabWithIdentifier(const QString& identifier);
    // The left and right side panels; null before the window is made.
    QWidget* leftSidePanel() const;
    QWidget* rightSidePanel() const;
    // A drawing taken in place of another (a revert) goes to every panel open on the old one.
    void handDrawingToPanels(VXDrawing* drawing) const;

    // A new tab gets its panel controller; identifiers without one, the undo history and
    // duplicates are turned away.
    void tabViewDidAddTab(SidebarTabView& tabView, SidebarTab& tab);
    // An emptied side panel collapses, unless it was emptied by turning a tab away.
    void tabViewDidBecomeEmpty(SidebarTabView& tabView);

private:
    ZQQuorvaneDocument& m_document;
    QVariantMap m_windowRestorationState;
    bool m_turningAwayTab = false;
};

#pragma once

// What a side-panel tab view tells its delegate (the map document). Every message is
// optional: the tab view sends only those that the delegate says it answers.

#include <QFlags>
#include <QtGlobal>

class SidebarTab;
class SidebarTabView;

class SidebarTabViewDelegate {
public:
    enum Message {
        WillAddTab = 0x01,              // not sent while restoring
        DidAddTab = 0x02,
        WillRemoveTab = 0x04,
        DidMoveTab = 0x08,
        DidSelectTab = 0x10,
        DidChangeInterfaceState = 0x20, // not sent while restoring
        DidBecomeEmpty = 0x40,
    };
    Q_DECLARE_FLAGS(Messages, Message)

    virtual ~SidebarTabViewDelegate() = default;

    virtual Messages answeredTabViewMessages() const = 0;

    virtual void tabViewWillAddTab(SidebarTabView&, SidebarTab&, qsizetype /*index*/) {}
    virtual void tabViewDidAddTab(SidebarTabView&, SidebarTab&, qsizetype /*index*/) {}
    virtual void tabViewWillRemoveTab(SidebarTabView&, SidebarTab&) {}
    virtual void tabViewDidMoveTab(SidebarTabView&, SidebarTab&, qsizetype /*toIndex*/) {}
    // The index is SidebarTabView::NotFound when no tab is current any more.
    virtual void tabViewDidSelectTabAtIndex(SidebarTabView&, qsizetype /*index*/) {}
    virtual void tabViewDidChangeInterfaceState(SidebarTabView&) {}
    virtual void tabViewDidBecomeEmpty(SidebarTabView&) {}
};

Q_DECLARE_OPERATORS_FOR_FLAGS(SidebarTabViewDelegate::Messages)

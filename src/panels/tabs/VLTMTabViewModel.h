#pragma once

// The tabs of one side panel: their order, the current one, how their buttons look (titles
// and/or icons, alignment in the strip) and the state the document saves. It tells its
// delegate what changes, and its widget (VLTMTabView) follows through the signals.

#include "app/sidebar/SidebarTabView.h"
#include "app/sidebar/SidebarTabViewDelegate.h"
#include "panels/tabs/VLTMTabContentView.h"
#include "platform/ui/MenuItem.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

class VLTMDragTabProxy;
class VLTMTabContentViewController;

inline const QString kVLTMTabViewAlignmentPreferencesKey = QStringLiteral("kVLTMTabViewAlignmentPreferencesKey");
inline const QString kVLTMTabViewOptionsPreferencesKey = QStringLiteral("kVLTMTabViewOptionsPreferencesKey");

class VLTMTabViewModel : public QObject, public SidebarTabView {
    Q_OBJECT

public:
    enum Option { TitlesShown = 1, IconsShown = 2 };

    // Options and alignment come from the user defaults shared by every tab view.
    VLTMTabViewModel();
    // Deletes the widget too.
    ~VLTMTabViewModel() override;

    QWidget* widget() const override { return m_widget; }
    void setWidget(QWidget* widget) { m_widget = widget; }
    void setDelegate(SidebarTabViewDelegate* delegate) override { m_delegate = delegate; }

    // Tabs ------------------------------------------------------------------------------------
    qsizetype numberOfTabs() const override { return m_tabs.size(); }
    const QList<VLTMTabContentViewPtr>& tabViews() const { return m_tabs; }
    VLTMTabContentView* tabAtIndex(qsizetype index) const override;
    qsizetype indexOfTab(const SidebarTab* tab) const;
    VLTMTabContentView* tabWithIdentifier(const QString& identifier) const override;

    // A detached tab made for this view: hidden, showing what the options say.
    VLTMTabContentViewPtr newTab();
    VLTMTabContentView* addTabWithIdentifier(const QString& identifier) override;
    VLTMTabContentView* addTabWithContentViewController(std::shared_ptr<platform::ViewController> controller);
    void addTab(VLTMTabContentViewPtr tab);
    void removeTabFromView(SidebarTab* tab) override;
    void removeAllTabs();
    void setNumberOfTabs(qsizetype count);
    void moveTabAtIndex(qsizetype from, qsizetype to);

    // Selection -------------------------------------------------------------------------------
    qsizetype currentTab() const override { return m_currentTab; }
    // NotFound leaves no tab current; other indexes out of range are ignored.
    void setCurrentTab(qsizetype index) override;
    void selectTabWithIdentifier(const QString& identifier);
    VLTMTabContentView* selectedTab() const { return tabAtIndex(m_currentTab); }
    VLTMTabContentViewController* selectedTabContentViewController() const;

    // Appearance ------------------------------------------------------------------------------
    int tabOptions() const { return m_tabOptions; }
    void setTabOptions(int options);
    int tabAlignment() const { return m_tabAlignment; }
    void setTabAlignment(int alignment);

    // The strip's menu ------------------------------------------------------------------------
    Q_INVOKABLE void iconAndTextAction(QObject* sender = nullptr);
    Q_INVOKABLE void iconOnlyAction(QObject* sender = nullptr);
    Q_INVOKABLE void textOnlyAction(QObject* sender = nullptr);
    // The item's tag is the alignment.
    Q_INVOKABLE void tabAlignmentAction(QObject* sender);
    // The item's title names the tab.
    Q_INVOKABLE void selectTabWithName(QObject* sender);
    // Sets the check mark of the items above.
    Q_INVOKABLE bool validateMenuItem(platform::MenuItem* item);

    // A tab dragged in from the other sidebar -------------------------------------------------
    // The tab being dragged out of this view, or the placeholder of one dragged in.
    VLTMTabContentView* draggingView() const { return m_draggingView.get(); }
    void setDraggingView(VLTMTabContentViewPtr tab) { m_draggingView = std::move(tab); }
    bool hasExternalDrag() const { return m_externalDrag; }
    // Holds the place of the dragged tab at `index` and makes it current.
    void insertTabViewProxy(std::shared_ptr<VLTMDragTabProxy> proxy, qsizetype index);
    void removeTabViewProxyIfNeeded();
    // Replaces the placeholder with the real tab, which keeps its controller; false without one.
    bool importTabViewProxy();

    // Saved state -----------------------------------------------------------------------------
    QVariantMap restorableStateInfo() const override;
    void restoreWithStateInfo(const QVariantMap& state) override;
    bool isRestoring() const { return m_restoring; }
    // The same state as a keyed archive; unreadable data changes nothing, and no data is
    // refused by assertion.
    QByteArray restorableState() const;
    void restoreFromState(const QByteArray& data);

Q_SIGNALS:
    // The list or the current tab changed: the strip lays out again.
    void tabsChanged();
    // Options or alignment changed.
    void appearanceChanged();

private:
    bool delegateAnswers(SidebarTabViewDelegate::Message message) const;
    void interfaceStateDidChange();
    void removeTabAtIndex(qsizetype index);

    QPointer<QWidget> m_widget;
    VLTMTabContentViewPtr m_draggingView;
    bool m_externalDrag = false;
    SidebarTabViewDelegate* m_delegate = nullptr;
    QList<VLTMTabContentViewPtr> m_tabs;
    qsizetype m_currentTab = NotFound;
    int m_tabOptions = IconsShown;
    int m_tabAlignment = 0;
    bool m_restoring = false;
};

#pragma once

// The object inspector: one floating panel, shared by every document, showing the objects
// selected in the current document under object tabs: General (VXDrawableController) and
// Attributes (VXQAttributeController). It keeps its frame under
// "QVNL_OBJECT_INSPECTOR_FRAME"; closing only hides it, and while hidden it ignores the
// selection changes its base reports. Undo and Redo, while it is the key window, act on
// the current document.

#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "platform/vantrix/inspector/VXVantrixInspectorBase.h"

#include <QPointer>
#include <memory>

class QLabel;
class QStackedWidget;
class QTabBar;
class VXDrawableController;
class VXQAttributeController;

class ZQObjectInspector : public VXVantrixInspectorBase, public VLTMObjectControllerDataSource {
    Q_OBJECT

public:
    static inline const QString kFrameAutosaveName = QStringLiteral("QVNL_OBJECT_INSPECTOR_FRAME");
    // Object tab tags; each shows page tag - 1.
    enum ObjectTab { kGeneralTab = 1, kAttributesTab = 2 };

    ZQObjectInspector();
    ~ZQObjectInspector() override;

    // The shared panel, made on first use and kept for the application's life.
    static ZQObjectInspector* sharedObjectInspector();
    // Shows the shared panel's window on the attributes tab.
    static void showObjectInspectorWithAttributes();
    // Shows the window and the current selection.
    Q_INVOKABLE void showObjectInspector(QObject* sender = nullptr);

    void switchToTab(int tag);
    // The tag of the object tab shown.
    int currentTab();

    // --- The selection --------------------------------------------------------------------------
    // Keeps the objects and hands them to every tab; a tab that fails is logged.
    void setSelection(const QList<ZQObjectPtr>& selection);
    const QList<ZQObjectPtr>& selection() const { return m_selectedObjects; }
    bool isKnownObject(const ZQObject* object) const;
    QString selectionInfoText();
    QString itemCountText();
    // Whether the objects' tabs are shown rather than the empty page.
    bool showsObjectTabs();

    QWidget* windowForSheet() { return window(); }
    QString windowFrameAutosaveName() const { return kFrameAutosaveName; }
    VXDrawableController* generalController() const { return m_generalController.get(); }
    VXQAttributeController* attributeController() const { return m_attributeController.get(); }

    // --- Data source of the attributes tab --------------------------------------------------------
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override;
    // The current document's.
    ZQUndoManager* undoManager() const override;

    // --- Undo ------------------------------------------------------------------------------------
    Q_INVOKABLE void undo(QObject* sender);
    Q_INVOKABLE void redo(QObject* sender);
    Q_INVOKABLE bool willRedirectUndo() const { return true; }
    Q_INVOKABLE bool validateMenuItem(QObject* item);

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void redisplayContentForSelection(const QList<ZQObjectPtr>& selection) override;
    void redisplayContentForSubSelectionOfObject(const QList<ZQObjectPtr>& subSelection, const ZQObjectPtr& object) override;

private:
    void saveFrame();

    std::unique_ptr<VXDrawableController> m_generalController;
    std::shared_ptr<VXQAttributeController> m_attributeController;
    QList<ZQObjectPtr> m_selectedObjects;
    QPointer<QLabel> m_selectionInfoTextField;
    QPointer<QLabel> m_multiInfoItemCountField;
    QPointer<QStackedWidget> m_mainTabView;
    QPointer<QStackedWidget> m_objectTabView;
    QPointer<QTabBar> m_objectTabSwitch;
};

#pragma once

// The main tool palette: a floating window of tool buttons in titled sections (selection,
// graphics, cartography) over a preview of the style or symbol that new objects get. One per
// process.
//
// Each button's id is a tag that names a tool of the shared tool registry (toolNameForTag);
// a click makes that tool current in the main window's drawing view and posts
// "kQuorvaneToolControllerSetTool", and the buttons follow the current tool wherever it is
// changed. The palette keeps the current style (or symbol master) and hands it to the
// creation tools: to the current tool only while "kQuorvaneToolStyleBindingEnabled" is on,
// else to all of them; a symbol master goes to "Place Symbol". It takes new styles from the
// library picker, the style editor and creation tools changed from outside, posting
// "kQuorvaneToolControllerStyleChangedExternally" for the last.
//
// The palette is enabled 0.1 s after the main window changes, exactly when some view can
// take a tool. Its visibility and frame persist in "kTMSVToolsControllerVisible" and
// "kTMSVToolsControllerFrame".

#include "platform/foundation/ZQObject.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/tools/VXDrawingTool.h"
#include "widgets/buttons/ZQStyleButtonCell.h"
#include "widgets/sections/ZQSectionView.h"
#include "windows/palettes/ToolPalettePreview.h"

#include <QHash>
#include <QPointer>

class QButtonGroup;
class QMenu;
class VXStyle;
class VXToolController;
class ZQStyleButton;
namespace platform {
struct Notification;
}

inline const QString kQuorvaneToolControllerSetTool = QStringLiteral("kQuorvaneToolControllerSetTool");
inline const QString kQuorvaneToolStyleBindingEnabled = QStringLiteral("kQuorvaneToolStyleBindingEnabled");
inline const QString kTMSVToolsControllerVisible = QStringLiteral("kTMSVToolsControllerVisible");
inline const QString kTMSVToolsControllerFrame = QStringLiteral("kTMSVToolsControllerFrame");

class QVNToolsController : public platform::WindowController, public ZQStyleButtonCellDelegate {
    Q_OBJECT

public:
    static QVNToolsController* sharedToolsController();
    static bool sharedToolsControllerAvailable();
    // Writes the palette's visibility (NO when it was never made) and, when it exists, its frame.
    static void saveToolsControllerState();
    // Makes the palette, applies a stored frame that lies on a screen, and shows it when it was visible.
    static void restoreToolsControllerState();
    static bool toolStyleBindingEnabled();
    static void setToolStyleBindingEnabled(bool enabled);

    QVNToolsController();
    ~QVNToolsController() override;

    // The registry name of a tag; empty for 0 and unknown tags.
    static QString toolNameForTag(int tag);
    // The tag of a registry name; 6 (Select), logged, for a name not in the table.
    static int tagForToolName(const QString& name);
    int tagForCurrentTool() const;

    // Makes the tag's registered tool current (the selection tool for a tag without a name),
    // zooming in for 3 and out for 4, and posts kQuorvaneToolControllerSetTool; answers the
    // tool, null when its name has no registered tool.
    VXDrawingToolPtr setCurrentToolWithTag(int tag);
    // The main document's drawing tool and tool controller; null without one.
    VXDrawingTool* currentTool() const;
    VXToolController* currentToolController() const;

    // A style, a symbol master or null (see the class comment).
    void setCurrentStyleOrSymbol(const ZQObjectPtr& object);
    ZQObjectPtr representedObject() const { return m_currentStyleOrSymbol; }
    // The current object when it is a style.
    std::shared_ptr<VXStyle> currentStyle() const;
    void setStylePreview(const ZQObjectPtr& object);

    // Selects the button of the tool's registered name and adopts a creation tool's style or
    // symbol master; a tool without a registered name changes nothing.
    void synchronizeUIWithTool(VXDrawingTool* tool);
    // Tag 0 does nothing; otherwise only the tag's button is selected.
    void selectToolButtonWithTag(int tag);
    ZQStyleButton* toolButtonWithTag(int tag) const;
    void updateCellForTag(int tag);

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    // Enabled exactly when some drawing view can take a tool.
    void conditionallyEnable();

    bool stylesAppliedPerTool() const { return toolStyleBindingEnabled(); }
    void setStylesAppliedPerTool(bool);

    // Told of every tool the palette follows (toolsControllerDidSelectTool(QObject*, VXDrawingTool*)).
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }

    // A click on the button with `tag`; a double click.
    void toolsMatrixAction(int tag);
    void toolsDoubleAction(int tag);
    // A style dropped on the preview.
    Q_INVOKABLE void stylePreviewAction(QObject* sender);
    // An item of the smart-select button's menu: its smart search ("All Items", tag -1, none)
    // becomes the query of the "Smart Select" tool, which is made current.
    Q_INVOKABLE void smartSelectSearchAction(QObject* sender);
    // The smart-select button's press-and-hold menu, filled afresh as it opens.
    QMenu* smartSelectMenu() const { return m_smartSelectMenu; }

    // Notification handlers.
    void toolDidChange(const platform::Notification& notification);
    void creationStyleChanged(const platform::Notification& notification);
    void stickyStateChanged(const platform::Notification& notification);
    void newLibToolSelected(const platform::Notification& notification);
    void inspectorStyleChanged(const platform::Notification& notification);
    void windowBecameMain(const platform::Notification& notification);
    void windowResignedMain(const platform::Notification& notification);

    void zqStyleButtonCellWillDrawBackgroundInFrame(ZQStyleButtonCell& cell, const QRectF& frame) override;

    // The tooltip of a tag's button: its translated name, with the key in brackets.
    static QString tooltipForTag(int tag);

    // The tags of each section's buttons, in order.
    static const QList<int>& selectionTags();
    static const QList<int>& drawingTags();
    static const QList<int>& cartographyTags();

    ZQMultiSectionView* multiSectionView() const { return m_sections; }
    ToolPalettePreview* stylePreview() const { return m_preview; }

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    ZQSectionView* makeSection(const QString& title, QWidget* content);
    QWidget* makeButtonMatrix(const QList<int>& tags, QButtonGroup* group, bool takesDoubleClicks);
    void observeNotifications();
    void scheduleConditionalEnable();
    void tellDelegateOfTool(VXDrawingTool* tool);
    void fillSmartSelectMenu();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPointer<ZQMultiSectionView> m_sections;
    QList<QButtonGroup*> m_matrices;
    QPointer<ToolPalettePreview> m_preview;
    QPointer<QMenu> m_smartSelectMenu;
    QPointer<QObject> m_delegate;
    ZQObjectPtr m_currentStyleOrSymbol;
    // Raised while the palette itself hands out a style, so the notification that follows is
    // not taken for an outside change.
    bool m_setting = false;
    bool m_enabled = true;
};

#pragma once

// The Geometry tab of a map window. It stacks the panes that fit the selection: one for each
// class from the root down to the selection's most derived common class that has a pane (see
// GeometryPaneRegistry), then the pseudo panes that act on the selection as a whole (Arrange,
// Boolean operations, Alignment). Above the stack: the name line (renamed by a double click),
// an info line, the display-units pop-up and the percentage toggle.
//
// The tab is the data source of its per-class panes (the selection, the formatter of the
// current display units, the drawing's undo manager) and the delegate of all of them
// (VLTMGeometryPaneDelegate). It follows the drawing: its active layer, the selection of any
// of its object layers, the selected export slices and the units; selections of other
// drawings are ignored. A selection equal to the one shown rebuilds nothing, so the values
// percentages are measured against stay.

#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "app/sidebar/VLTMTabContentViewController.h"
#include "inspectors/geometry/StraightLineSelection.h"
#include "inspectors/geometry/VLTMGeometryPaneDelegate.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/vantrix/model/VXDrawing.h"

#include <QPointer>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
class VXLayer;
class ZQCollapsibleContainerView;

class VLTMGeometryController : public VLTMTabContentViewController,
                               public VLTMObjectControllerDataSource,
                               public VLTMGeometryPaneDelegate {
    Q_OBJECT

public:
    static inline const QString kTabIdentifier = QStringLiteral("VLTMTabViewGeometry");
    // The last display-units mode chosen in the pop-up.
    static inline const QString kUseDrawingUnitsKey = QStringLiteral("kVLTMGeometryControllerUseDrawingUnits");
    static inline const QString kArrangerKey = QStringLiteral("VLTM_Arranger");
    static inline const QString kBooleansKey = QStringLiteral("VLTM_Booleans");
    static inline const QString kAlignmentKey = QStringLiteral("VLTM_Alignment");
    // Options mask bits of the position and size pane.
    enum InterfaceOption : quint32 {
        kPositionOption = 1,
        kSizeOption = 2,
        kAngleOption = 4,
        kVisibleOption = 8,
        kLockOption = 16,
        kAllOptions = 255,
    };

    // Makes one pane of every registered key.
    VLTMGeometryController();
    ~VLTMGeometryController() override;
    // Named after its tab.
    static std::shared_ptr<VLTMGeometryController> make();

    // The options mask for a selection, by its most derived common class compared by
    // identity (a subclass does not match).
    static quint32 interfaceOptionsForSelection(const QList<ZQObjectPtr>& selection);
    // Whether every object is a plain path that is a straight line.
    static bool selectionIsSimpleStraightLines(const QList<ZQObjectPtr>& selection);
    // At least two objects may be operands of a boolean operation.
    static bool selectionIsEligibleForBooleanOperations(const QList<ZQObjectPtr>& selection);

    // --- The drawing ---------------------------------------------------------------------------
    VXDrawing* drawing() const { return m_drawing; }
    // Follows the drawing from now on, starting from the selection its active layer has.
    void setDrawing(VXDrawing* drawing) override;

    // --- The selection -------------------------------------------------------------------------
    // The selection shown; the active object layer's when none was shown yet.
    QList<ZQObjectPtr> selection();
    // Shows the objects, `total` being the number of objects in their layer (0 for slices).
    void setSelectedObjects(const QList<ZQObjectPtr>& objects, qint64 total);
    void activeLayerChanged(const platform::Notification& notification);
    void selectionChanged(const platform::Notification& notification);
    void slicesSelectionChanged(const platform::Notification& notification);

    // --- Panes ---------------------------------------------------------------------------------
    ZQCollapsibleContainerView* containerView();
    // The pane of a key, null for none.
    platform::ViewController* subcontrollerForKey(const QString& key) const;
    // The panes whose views are in the stack, top first.
    QList<platform::ViewController*> installedSubcontrollers() const;
    void removeViewForSubcontroller(platform::ViewController* pane);

    // --- Data source and delegate of the panes ------------------------------------------------
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override;
    ZQUndoManager* undoManager() const override;
    std::shared_ptr<platform::NumberFormatter> numberFormatterForCurrentDisplayUnits() const override
    {
        return m_drawingUnitsFormatter;
    }
    VXObjectDrawingLayer* wantsCurrentDrawingLayerForController(QObject* controller) override;
    qint64 wantsCountOfSelectedObjectsForController(QObject* controller) override;
    quint32 drawableControllerWantsInterfaceOptions(QObject* controller) override;

    // --- Name and info lines --------------------------------------------------------------------
    void setNameString(const QString& name) override;
    void setAuxiliaryInfoString(const QString& info);
    // With one object selected, the info line shows its info.
    void setNeedsInfoUpdate() override;
    QString nameString() const;
    QString auxiliaryInfoString() const;

    // --- Display units and percentages ----------------------------------------------------------
    int drawingUnitsMode() const { return m_drawingUnitsMode; }
    std::shared_ptr<platform::NumberFormatter> drawingUnitsFormatter() const { return m_drawingUnitsFormatter; }
    // Posts kVLTMGeometryControllerFormatterDidChange.
    void setDrawingUnitsFormatter(std::shared_ptr<platform::NumberFormatter> formatter);
    void makeFormatterForDisplayUnitsOption(qint64 mode);
    // The pop-up chose the mode (its item's tag): kept as the default and told to the document.
    void displayUnitsAction(int tag);
    void drawingUnitsChanged(const platform::Notification& notification);
    void mapUnitsChanged(const platform::Notification& notification);
    bool percentDisplay() const { return m_percentDisplay; }
    void percentDisplayAction(bool shown);

    // --- Renaming -------------------------------------------------------------------------------
    // One unlocked object is selected that takes a user's name.
    bool canRename();
    bool renamingModeActive() const { return m_renamingModeActive; }
    void setRenamingMode(bool active);
    Q_INVOKABLE void renameAction(QObject* sender = nullptr);
    // Commits the name line's text (an empty text changes nothing) and leaves renaming.
    Q_INVOKABLE void nameFieldAction(QObject* sender = nullptr);
    Q_INVOKABLE void geometryControllerHelpAction(QObject* sender = nullptr);
    Q_INVOKABLE bool validateMenuItem(QObject* item);

    // The widgets, for tests.
    QLineEdit* typeNameLabel();
    QLabel* auxiliaryInfoLabel();
    QComboBox* drawingUnitsPopUp();
    QCheckBox* percentCheckbox();

protected:
    QWidget* loadView() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The panes a selection shows, top first: those of its common class and the classes above
    // it, then, for objects of a layer of `total` objects, the pseudo panes that apply.
    QList<platform::ViewController*> panesForSelection(const QMetaObject* commonClass, qint64 total);
    // Stacks `panes` (keeping them when they are the ones stacked) and reloads their content.
    void showPanes(const QList<platform::ViewController*>& panes);
    void installSubcontroller(platform::ViewController* pane);
    void showSelectionOfLayer(VXLayer* layer);
    // The selection's most derived common class and selectionIsSimpleStraightLines of it,
    // each found once for each selection: they look at every object, and the panes ask for
    // them with every selection they load. The second then follows the paths' geometry.
    const QMetaObject* selectionCommonClass();
    bool selectedObjectsAreSimpleStraightLines();
    // The selected paths turned all straight or no longer are: the panes change with them.
    void straightLinesChanged();
    void selectUnitsItemForMode();
    bool belongsToDrawing(const VXLayer* layer) const;
    void stopObservingDrawing();

    QPointer<VXDrawing> m_drawing;
    QList<std::pair<QString, std::shared_ptr<platform::ViewController>>> m_subcontrollers;
    QList<platform::ViewController*> m_installed;
    std::optional<QList<ZQObjectPtr>> m_selectionCache;
    // Of the cached selection.
    std::optional<const QMetaObject*> m_selectionCommonClass;
    StraightLineSelection m_straightLines{[this] { straightLinesChanged(); }};
    qint64 m_selectionTotal = 0; // the objects of the shown selection's layer
    bool m_selectionShown = false; // the cache is what the stack shows, not just fetched
    bool m_selectionWaitsForShow = false; // changed while the tab was behind another
    std::shared_ptr<platform::NumberFormatter> m_drawingUnitsFormatter;
    int m_drawingUnitsMode = 0;
    bool m_percentDisplay = false;
    bool m_renamingModeActive = false;

    QPointer<ZQCollapsibleContainerView> m_geometryViewStack;
    QPointer<QWidget> m_stackViewport;
    QPointer<QLineEdit> m_typeNameLabel;
    QPointer<QLabel> m_auxiliaryInfoLabel;
    QPointer<QComboBox> m_drawingUnitsPopUp;
    QPointer<QCheckBox> m_percentCheckbox;
};

#pragma once

// The index grid settings sheet. It edits one grid live through its grid pane, which is
// also its data source client: every change shows on the map at once and registers no undo
// of its own. Cancel has the panes put back what they changed; OK leaves the changes and
// registers one undo step, "Index Grid Settings", that applies the settings the grid had
// when the sheet opened. The controller keeps itself alive while its sheet is up.
//
// Map documents open it through MapDocumentServices::editGridSettings, which the furniture
// library installs.

#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "platform/foundation/UndoSuspension.h"
#include "platform/ui/WindowController.h"
#include "platform/vantrix/model/VXLayer.h"

#include <QVariantMap>
#include <memory>
#include <optional>

class QDialog;
class VLQNSquareAnnotatedGridController;
class VXQSquareAnnotatedGrid;

class VLQNMapGridSettingsController : public platform::WindowController, public VLTMObjectControllerDataSource {
    Q_OBJECT

public:
    VLQNMapGridSettingsController();
    ~VLQNMapGridSettingsController() override;

    static std::shared_ptr<VLQNMapGridSettingsController> mapGridSettingsController();

    // Opens the sheet on `window` for the grid; a layer that is no index grid is ignored.
    void beginModalWithParentWindowForGridLayer(QWidget* window, const VXLayerPtr& grid);

    Q_INVOKABLE void okButtonAction(QObject* sender);     // ends with 1
    Q_INVOKABLE void cancelButtonAction(QObject* sender); // ends with 0
    Q_INVOKABLE void helpButtonAction(QObject* sender);

    VLQNSquareAnnotatedGridController* gridController() const { return m_gridController.get(); }
    VXQSquareAnnotatedGrid* grid() const { return m_grid.get(); }
    const QVariantMap& gridOriginalSettings() const { return m_gridOriginalSettings; }
    QDialog* sheet();

    // --- Data source --------------------------------------------------------------------
    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override;
    ZQUndoManager* undoManager() const override;

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    void sheetDidEnd(int returnCode);

    std::shared_ptr<VLQNSquareAnnotatedGridController> m_gridController;
    std::shared_ptr<VXQSquareAnnotatedGrid> m_grid;
    QVariantMap m_gridOriginalSettings;
    // Edits made while the sheet is up are one step, registered at OK.
    std::optional<platform::UndoSuspension> m_undoSuspension;
    std::shared_ptr<VLQNMapGridSettingsController> m_keepAlive;
};

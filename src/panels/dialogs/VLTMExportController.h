#pragma once

// The export sheet: what to export (the drawing, its layers, its slices or the selected
// objects) and which of those sources, the format, resolution, scale, quality, colour space,
// transparency, file naming and folder. It edits a copy of the document's export operation
// through a trampoline pane, so each control shows and sets one property of the copy; nothing
// reaches the document unless Export is pressed and the delegate takes the copy.
//
// While the sheet is open the grid counts as printable (and is listed among the layers); the
// export itself draws the grid exactly when it is shown, and the grid's own printing flag is
// put back afterwards.

#include "app/sidebar/VLTMGenericObjectTrampoline.h"
#include "app/sidebar/VLTMObjectControllerDataSource.h"
#include "panels/export/VLTMExportOperation.h"
#include "platform/vantrix/inspector/DisplayBindings.h"

#include <QDialog>
#include <QPointer>

class ExportSourcesTableModel;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class VLTMExportController;

// Who the sheet exports for (the document); both answers are optional.
class ExportControllerDelegate {
public:
    virtual ~ExportControllerDelegate() = default;
    // NO cancels the export.
    virtual bool exportControllerWillExportWithOperation(VLTMExportController& controller,
                                                         const VLTMExportOperationPtr& operation) = 0;
    virtual void exportControllerDidExportWithOperation(VLTMExportController& controller,
                                                        const VLTMExportOperationPtr& operation)
    {
        Q_UNUSED(controller) Q_UNUSED(operation)
    }
};

// Watches the edited operation and shows each change on the sheet.
class VLTMExportOperationController : public VLTMGenericObjectTrampoline {
    Q_OBJECT

public:
    const QMetaObject* managedObjectClass() const override { return &VLTMExportOperation::staticMetaObject; }
    QStringList keyPathsOfInterest() const override;
};

class VLTMExportController : public ZQObject,
                             public VLTMObjectControllerDataSource,
                             public platform::DisplayBindingSource {
    Q_OBJECT

public:
    VLTMExportController();
    ~VLTMExportController() override;

    static std::shared_ptr<VLTMExportController> exportController();

    // `delegate` is an ExportControllerDelegate, not owned.
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    ExportControllerDelegate* delegate() const;

    // A copy of `operation` (when given) is edited; the sheet opens on `window`. The sheet
    // keeps this controller alive until it ends.
    void beginSheetExportOperationOnParentWindow(const VLTMExportOperationPtr& operation, QWidget* window);
    const VLTMExportOperationPtr& exportOperation() const { return m_operation; }
    // Keeps a copy.
    void setExportOperation(const VLTMExportOperationPtr& operation);
    QDialog* window() const { return m_window; }

    QList<ZQObjectPtr> selectedContentForObjectController(VLTMGenericObjectController* controller) override;

    // --- Control actions ---------------------------------------------------------------------
    void exportAction();
    void cancelAction();
    void exportSourceTypeAction(int sourceType);
    void namingSchemeAction(int option);
    void formatAction();
    void dpiAction();
    void qualityAction();
    void scaleAction();
    void firstIndexAction();
    void colorspaceAction();
    void activateLayerByName();
    // Segment 0 shows every source, 1 hides them.
    void allNoneAction(int segment);
    void pathToFolderAction();
    // Opens the export folder in the file manager.
    void showInFinderAction();
    void exportHelpAction();

    // --- What the trampoline shows -------------------------------------------------------------
    // Each observed key, bound to its setter below.
    const platform::DisplayBindings& displayBindings() const override;
    void setFolderURL(const QUrl& url);
    void setDpi(double dpi);
    void setQuality(double quality);
    void setSourceType(int sourceType);
    void setSources(const QVariant& sources);
    void setFormat(qint64 format);
    void setScale(double scale);
    void setTransparent(bool transparent);
    void setFileNameRoot(const QString& root);
    void setFileNamingOption(int option);
    void setFirstIndex(quint64 index);
    void setColorspace(const QString& identifier);
    void setShowInFinder(bool flag);
    void setOverwriteExisting(bool flag);

    // --- The sheet's controls (tests drive them) -----------------------------------------------
    QAbstractButton* sourceButton(int sourceType) const;
    QAbstractButton* namingButton(int option) const;
    QComboBox* formatPopUp() const { return m_formatPopUp; }
    QComboBox* colourSpacePopUp() const { return m_colourSpacePopUp; }
    QComboBox* layersPopUp() const { return m_layersPopUp; }
    QTableView* sourcesTable() const { return m_sourcesTable; }
    ExportSourcesTableModel* sourcesModel() const { return m_sourcesModel; }
    QLineEdit* dpiField() const { return m_dpiField; }
    QSpinBox* qualityField() const { return m_qualityField; }
    QDoubleSpinBox* scaleField() const { return m_scaleField; }
    QLineEdit* fileNameRootField() const { return m_rootField; }
    QLineEdit* firstIndexField() const { return m_firstIndexField; }
    QCheckBox* transparentCheckbox() const { return m_transparentCheckbox; }
    QCheckBox* showInFinderCheckbox() const { return m_showInFinderCheckbox; }
    QCheckBox* overwriteCheckbox() const { return m_overwriteCheckbox; }
    QLineEdit* folderField() const { return m_folderField; }
    QPushButton* exportButton() const { return m_exportButton; }

private:
    void windowDidLoad();
    void buildWindow();
    void populateColorspacesMenu();
    void populateLayersActivationMenu();
    void updateActiveLayersControl();
    void prepareSourcesTableForSourceType(int sourceType);
    void applyControlStates();
    void updateExportButton();
    void activeLayerChanged();
    void sheetDidEnd(int returnCode);
    void presentExportError(const QuorvaneError& error, QWidget* window);
    // Writes the edited operation's `keyPath` as the user set it.
    void write(const QVariant& value, const QString& keyPath);
    VXDrawing* drawing() const;
    // Changes the grid's printing flag without an undo step.
    void setGridPrintable(bool printable) const;

    VLTMExportOperationPtr m_operation;
    QPointer<QObject> m_delegate;
    std::unique_ptr<VLTMExportOperationController> m_trampoline;
    QPointer<VXDrawing> m_observedDrawing;
    // The grid's printing flag before the sheet opened.
    std::optional<bool> m_gridWasPrintable;
    std::shared_ptr<VLTMExportController> m_keptAlive;

    QPointer<QDialog> m_window;
    QButtonGroup* m_sourceButtons = nullptr;
    QButtonGroup* m_namingButtons = nullptr;
    QComboBox* m_formatPopUp = nullptr;
    QComboBox* m_colourSpacePopUp = nullptr;
    QComboBox* m_layersPopUp = nullptr;
    QTableView* m_sourcesTable = nullptr;
    ExportSourcesTableModel* m_sourcesModel = nullptr;
    QLineEdit* m_dpiField = nullptr;
    QSpinBox* m_qualityField = nullptr;
    QDoubleSpinBox* m_scaleField = nullptr;
    QLineEdit* m_rootField = nullptr;
    QLineEdit* m_firstIndexField = nullptr;
    QCheckBox* m_transparentCheckbox = nullptr;
    QCheckBox* m_showInFinderCheckbox = nullptr;
    QCheckBox* m_overwriteCheckbox = nullptr;
    QLineEdit* m_folderField = nullptr;
    QPushButton* m_exportButton = nullptr;
};

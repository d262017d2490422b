#pragma once

// The drawing set-up sheet of one map document: drawing size and units, margins, paper colour,
// picture or texture, symbol prescale and map scale on the first page, the graph-paper grid on
// the second (absent for a drawing without grid). The window is built once and reloaded from
// the document's settings at every opening; the logic lives in DrawingSetupModel.

#include "app/setup/DrawingSetupSheet.h"
#include "furniture/calibration/QVNCalibrationController.h"
#include "windows/setup/DrawingSetupModel.h"
#include "windows/textures/VXQBackgroundTextureController.h"

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class ZQDocumentPreviewView;
class ZQStepper;
class ZQQuorvaneDocument;
namespace platform {
class ColourWell;
}

class QVNDrawingGridController : public QObject,
                                 public DrawingSetupSheet,
                                 public DrawingSetupDelegate,
                                 public VXQBackgroundTextureDelegate {
    Q_OBJECT

public:
    QVNDrawingGridController();
    ~QVNDrawingGridController() override;

    // --- DrawingSetupSheet ----------------------------------------------------------------
    void beginDialogWithParentWindowDelegateInitialPage(QWidget* window, ZQQuorvaneDocument* delegate,
                                                        int page) override;
    QVariantMap originalSettings() const override { return m_model.originalSettings(); }

    DrawingSetupModel& model() { return m_model; }
    QDialog* window() const { return m_window; }
    QTabWidget* tabView() const { return m_tabs; }
    // Selects a tab by hand; the index-grid tab beeps without an index grid.
    bool selectTab(int index);

    // --- Actions ------------------------------------------------------------------------------
    Q_INVOKABLE void okButtonAction(QObject* sender);
    Q_INVOKABLE void cancelButtonAction(QObject* sender);
    Q_INVOKABLE void applyButtonAction(QObject* sender);
    Q_INVOKABLE void pageSetupAction(QObject* sender);
    Q_INVOKABLE void setDrawingSizeDefaultsAction(QObject* sender);
    Q_INVOKABLE void paperImageButtonAction(QObject* sender);
    Q_INVOKABLE void themeColourWellAction(QObject* sender);
    Q_INVOKABLE void spanColourAction(QObject* sender);
    Q_INVOKABLE void divisionsColourAction(QObject* sender);
    Q_INVOKABLE void majorsColourAction(QObject* sender);
    Q_INVOKABLE void paperColourAction(QObject* sender);
    // The embedded calibration pane changed the map scale: previews it.
    Q_INVOKABLE void mapScaleChanged(QObject* sender);
    // Takes a picture file as the paper; a file that is no picture beeps and changes nothing.
    bool takePaperImageFromFile(const QString& path);

    // The fields, for tests driving the sheet.
    QLineEdit* widthField() const { return m_width; }
    QLineEdit* heightField() const { return m_height; }
    QComboBox* unitsPopUp() const { return m_units; }
    QLineEdit* marginField(const QString& marginKey) const;
    QPushButton* applyButton() const { return m_apply; }
    QCheckBox* previewCheckBox() const { return m_preview; }
    QLineEdit* prescaleField() const { return m_prescaleField; }
    ZQStepper* prescaleStepper() const { return m_prescaleStepper; }
    QPushButton* paperImageButton() const { return m_paperImage; }
    ZQDocumentPreviewView* pagePreview() const { return m_pagePreview; }
    QVNCalibrationController* calibrationController() const { return m_calibration.get(); }
    VXQBackgroundTextureController* textureController() const { return m_textures; }

    // --- DrawingSetupDelegate -------------------------------------------------------------------
    QVariantMap dictionaryOfDrawingSettings() override;
    void performDrawingSetUpWithOptionsIsPreviewOrCancel(const QVariantMap& settings, bool previewOrCancel) override;

    // --- VXQBackgroundTextureDelegate ------------------------------------------------------------
    void textureControllerApplyTexture(VXQBackgroundTextureController* controller, const QBrush& paper) override;
    void textureControllerSetBackgroundTextureName(VXQBackgroundTextureController* controller,
                                                   const QString& name) override;
    QBrush currentBackgroundTexture() const override { return m_model.currentBackgroundTexture(); }
    QString currentBackgroundTextureName() const override { return m_model.currentBackgroundTextureName(); }

private:
    void makeWindow();
    QWidget* makeDrawingPage();
    QWidget* makeGraphPaperPage();
    QLineEdit* makeField(const std::function<bool(double)>& take);
    void loadControls();
    void loadGridControls();
    void validateControls();
    void dialogDidEnd(int code);
    void loadPaper();
    void takePrescale(double prescale);

    DrawingSetupModel m_model;
    QPointer<ZQQuorvaneDocument> m_document;
    QPointer<QDialog> m_window;
    QPointer<QWidget> m_graphPaperPage;
    VXQBackgroundTextureController* m_textures = nullptr;
    QTabWidget* m_tabs = nullptr;
    QLineEdit* m_width = nullptr;
    QLineEdit* m_height = nullptr;
    QComboBox* m_units = nullptr;
    QCheckBox* m_subtractMargins = nullptr;
    QLineEdit* m_marginFields[4] = {};
    QCheckBox* m_adjustMargins = nullptr;
    platform::ColourWell* m_paperWell = nullptr;
    QPushButton* m_paperImage = nullptr;
    QPushButton* m_texturePopUp = nullptr;
    QCheckBox* m_paperPrinted = nullptr;
    QLineEdit* m_prescaleField = nullptr;
    QSlider* m_prescaleSlider = nullptr;
    ZQStepper* m_prescaleStepper = nullptr;
    std::unique_ptr<QVNCalibrationController> m_calibration;
    ZQDocumentPreviewView* m_pagePreview = nullptr;
    QComboBox* m_gridType = nullptr;
    QCheckBox* m_isoVerticals = nullptr;
    QDoubleSpinBox* m_span = nullptr;
    QLabel* m_spanUnits = nullptr;
    QSpinBox* m_divisions = nullptr;
    QSpinBox* m_majors = nullptr;
    QSpinBox* m_rulerInterval = nullptr;
    QButtonGroup* m_themeSelector = nullptr;
    platform::ColourWell* m_themeWell = nullptr;
    platform::ColourWell* m_spanWell = nullptr;
    platform::ColourWell* m_divisionsWell = nullptr;
    platform::ColourWell* m_majorsWell = nullptr;
    QCheckBox* m_gridVisible = nullptr;
    QCheckBox* m_gridPrinted = nullptr;
    QCheckBox* m_preview = nullptr;
    QPushButton* m_apply = nullptr;
    bool m_loading = false;
};

#pragma once

// The map-scale calibration sheet: the user states that a length on the map (the sample) stands
// for a length on the ground, picks a preset or custom ratio, or picks the ground unit. Every
// edit replaces the working scale, posts kQVNCalibrationControllerDidChangeMapScale (sender:
// the controller) and goes to the delegate at once, so the map follows live. Cancel hands the
// delegate back the scale it had when the sheet opened; OK keeps the last one pushed.
//
// Lengths may be typed with a unit ("200 m" in a field of kilometres). Lengths that are not
// positive, not finite, beyond kLargestTypedLength points or not numbers change nothing: the
// sheet beeps, the field shows the working scale again, the preview line says why, and nothing
// is pushed.
//
// The scale pop-up holds our preset ratios (each item's tag its ratio) and a custom item (tag
// kCustomScaleTag) that shows a ratio no preset has; it is disabled until it holds one.

#include "app/setup/MapScaleCalibration.h"
#include "furniture/MapUnitTags.h"
#include "platform/measurement/ZQUnitLength.h"
#include "platform/ui/WindowController.h"

#include <QPointer>
#include <optional>

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

class QVNCalibrationController : public platform::WindowController, public ZQCalibrationPanel {
    Q_OBJECT

public:
    static constexpr int kCustomScaleTag = -1;
    // About the Earth's circumference eight times over: no map side is longer.
    static constexpr double kLargestTypedLength = 1e12;
    // Item data roles of the pop-ups.
    static constexpr int kTagRole = Qt::UserRole;
    static constexpr int kRepresentedObjectRole = Qt::UserRole + 1;

    QVNCalibrationController();
    ~QVNCalibrationController() override;

    // The preset ratios of the scale pop-up, in menu order.
    static const QList<qint64>& presetScales();
    // The numbered units of older pop-ups, 1 (cm) to 10 (mm); the units pop-up names units by
    // their objects instead.
    static const MapUnitTags& mapUnitTags();

    void beginDialogOnParentWindowCalibrationDelegate(QWidget* window, QVNCalibrationDelegate* delegate) override;
    void setNumeratorFieldEnabled(bool enabled) override;

    QVNCalibrationDelegate* delegate() const { return m_delegate; }
    void setDelegate(QVNCalibrationDelegate* delegate) { m_delegate = delegate; }
    // The scale Cancel restores; null while the sheet is closed.
    const VXQMapScalePtr& originalScale() const { return m_originalScale; }
    void setOriginalScale(const VXQMapScalePtr& scale) { m_originalScale = scale; }

    // --- The working scale ---------------------------------------------------------------------
    const VXQMapScalePtr& mapScale() const { return m_modifiedScale; }
    // Keeps the scale, shows it and posts the change; null is refused.
    void setMapScale(const VXQMapScalePtr& scale);
    // Each derives a new working scale; false, changing nothing, when the value is refused.
    bool setMapUnits(const ZQUnitLengthPtr& units);        // the ratio kept
    bool setMapReferenceValue(double value);               // the ground length kept
    bool setMapRepresentativeValue(double value);          // the map length kept
    bool setMapWithNewScale(double ratio);                 // 1 unit : ratio units, normalized
    // Sends the working scale to the delegate.
    void updateDelegate();
    // For callers that have changed the sample length elsewhere: the working scale already
    // holds it, so the measurement itself is not read. Pushes, posts and shows the scale.
    void setNumeratorMeasurement(const VXQMeasurementPtr& measurement);
    // Takes the delegate's scale as the working one and, unless one is held, the scale to
    // restore on Cancel.
    void loadFromDelegate();

    // --- Actions ---------------------------------------------------------------------------------
    Q_INVOKABLE void okAction(QObject* sender = nullptr);
    Q_INVOKABLE void cancelAction(QObject* sender = nullptr);
    // Only for a delegate that opens the drawing set-up: Cancel, then that sheet.
    Q_INVOKABLE void openAdvancedDialogAction(QObject* sender = nullptr);
    Q_INVOKABLE void sampleMeasureAction(QObject* sender = nullptr);
    Q_INVOKABLE void mapMeasureAction(QObject* sender = nullptr);
    Q_INVOKABLE void mapScalePickerAction(QObject* sender = nullptr);
    Q_INVOKABLE void mapUnitsPickerAction(QObject* sender = nullptr);

    // --- Controls (made with the window) ---------------------------------------------------------
    QDialog* sheet();
    // The controls without OK, Cancel and Advanced, for a sheet that embeds them (the drawing
    // set-up). A controller serves either as its own sheet or as an embedded pane, not both.
    QWidget* embeddedPane();
    QLineEdit* sampleMeasureTextField() const { return m_sampleMeasureTextField; }
    QLineEdit* mapMeasureTextField() const { return m_mapMeasureTextField; }
    QComboBox* mapScalePopUpButton() const { return m_mapScalePopUpButton; }
    QComboBox* mapUnitsPopUpButton() const { return m_mapUnitsPopUpButton; }
    QLabel* mapLegendPreviewTextLabel() const { return m_mapLegendPreviewTextLabel; }
    QPushButton* advancedButton() const { return m_advancedButton; }

protected:
    QWidget* loadWindow() override;

private:
    QWidget* makeControls();
    void makeControlsIfNeeded();
    // Shows the scale in every control.
    void setupWithMapScale(const VXQMapScale& scale);
    void updateScaleMenuWithScale(double ratio);
    void selectMapUnitsItemForUnits(const ZQUnitLength& units);
    // Takes a derived scale as the working one; false for none.
    bool takeDerivedScale(const VXQMapScalePtr& scale);
    // The length typed into the field in `unit`, converted from any unit typed with it.
    static std::optional<double> typedLength(const QLineEdit& field, const ZQUnitLength& unit);
    // Shows the working scale again and says why the text was not taken.
    void refuseTypedLength(const QLineEdit& field);
    // Sets the line under the controls, keeping every wrapped line of it in view.
    void showLegendText(const QString& text);
    void sheetDidEnd(int returnCode);

    QVNCalibrationDelegate* m_delegate = nullptr;
    VXQMapScalePtr m_modifiedScale;
    VXQMapScalePtr m_originalScale;
    QLineEdit* m_sampleMeasureTextField = nullptr;
    QLineEdit* m_mapMeasureTextField = nullptr;
    QComboBox* m_mapScalePopUpButton = nullptr;
    QComboBox* m_mapUnitsPopUpButton = nullptr;
    QLabel* m_mapLegendPreviewTextLabel = nullptr;
    QPushButton* m_advancedButton = nullptr;
    QPointer<QWidget> m_pane;
};

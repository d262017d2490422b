#pragma once

// The map-scale calibration sheet as the rest of the program sees it. The sheet lives in a
// later library ("QVNCalibrationController", made by name); whoever it calibrates for is its
// delegate: the sheet starts from the delegate's scale, pushes every edit to it at once and,
// on Cancel, has it take back the scale it had when the sheet opened.

#include "mapscale/VXQMapScale.h"

class QObject;
class QWidget;

inline const QString kQVNCalibrationControllerDidChangeMapScale =
    QStringLiteral("kQVNCalibrationControllerDidChangeMapScale");
inline const QString kQVNCalibrationControllerClassName = QStringLiteral("QVNCalibrationController");

class QVNCalibrationDelegate {
public:
    virtual ~QVNCalibrationDelegate() = default;

    // The scale the sheet starts from.
    virtual VXQMapScalePtr mapScale() const = 0;
    // The scale Cancel restores; null: the one mapScale gave at opening.
    virtual VXQMapScalePtr mapScaleForCancel(QObject* controller) const { return nullptr; }
    virtual void setMapScale(const VXQMapScalePtr& scale) = 0;
    // A sheet opens, before it pushes anything.
    virtual void calibrationWillBegin(QObject* controller) {}
    // Cancel: the delegate takes back what the sheet pushed since it opened and ends with
    // `original`; by default one more setMapScale. A delegate with an undo history undoes the
    // pushes instead, so that a cancelled sheet leaves no change behind.
    virtual void cancelCalibration(QObject* controller, const VXQMapScalePtr& original) { setMapScale(original); }
    // Whether the delegate opens the drawing set-up sheet (the sheet's Advanced button).
    virtual bool canOpenDrawingSizePanel() const { return false; }
    virtual void openDrawingSizePanel(QObject* controller) {}
};

class ZQCalibrationPanel {
public:
    virtual ~ZQCalibrationPanel() = default;

    // Opens the sheet on `window` for `delegate` (not owned), returning at once.
    virtual void beginDialogOnParentWindowCalibrationDelegate(QWidget* window, QVNCalibrationDelegate* delegate) = 0;
    // Whether the map-side length may be typed.
    virtual void setNumeratorFieldEnabled(bool enabled) = 0;
};

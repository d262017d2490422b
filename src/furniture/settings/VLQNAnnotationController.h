#pragma once

// The pane of one edge annotation of an index grid (the columns' or the rows' labels): where
// the labels start and how they count, numbers or letters, turned or reversed. It edits the
// annotation it is given (setContent), live; revertOrCancel puts back what it changed. The
// placement is shown by the grid pane, which holds the radio buttons both annotations share.

#include "app/sidebar/VLTMGenericObjectController.h"
#include "platform/vantrix/inspector/DisplayBindings.h"


class QCheckBox;
class QRadioButton;
class GridSettingsHost;
class ZQScrollwheelStepper;

class VLQNAnnotationController : public VLTMGenericObjectController, public platform::DisplayBindingSource {
    Q_OBJECT

public:
    VLQNAnnotationController();
    ~VLQNAnnotationController() override;

    const QMetaObject* managedObjectClass() const override;
    QStringList keyPathsOfInterest() const override;
    bool supportsRevertOrCancel() const override { return true; }

    // The annotation edited: the first content object, or null.
    ZQObject* annotation();

    // The grid pane; it outlives the pane. Without one every value is taken.
    GridSettingsHost* gridController() const { return m_gridController; }
    void setGridController(GridSettingsHost* controller) { m_gridController = controller; }

    // --- Display setters ----------------------------------------------------------------
    // Each observed key, bound to its setter below.
    const platform::DisplayBindings& displayBindings() const override;
    void setIsAlphabetic(bool alphabetic);
    void setIsRotated(bool rotated);
    void setIsReversed(bool reversed);
    void setStartingOffset(double value);
    void setIncrement(double value);
    void setDigits(double value);
    // Passed on to the grid pane.
    void setPlacement(int placement);

    // --- Actions ------------------------------------------------------------------------
    Q_INVOKABLE void alphabeticAction(QObject* sender);
    Q_INVOKABLE void rotatedAction(QObject* sender);
    Q_INVOKABLE void reversedAction(QObject* sender);
    Q_INVOKABLE void startAtAction(QObject* sender);
    Q_INVOKABLE void incrementAction(QObject* sender);
    Q_INVOKABLE void digitsAction(QObject* sender);

    // The controls, for the tests.
    ZQScrollwheelStepper* startAtField() const { return m_startAtField; }
    ZQScrollwheelStepper* incrementField() const { return m_incrementField; }
    ZQScrollwheelStepper* digitsField() const { return m_digitsField; }
    QRadioButton* numbersRadio() const { return m_numbersRadio; }
    QRadioButton* lettersRadio() const { return m_lettersRadio; }
    QCheckBox* rotatedCheckbox() const { return m_rotatedCheckbox; }
    QCheckBox* reversedCheckbox() const { return m_reversedCheckbox; }

protected:
    QWidget* loadView() override;
    // Nothing is set while the grid is locked.
    bool shouldSetValueOfObjectForKeyPath(QVariant& value, ZQObject* object, const QString& keyPath) override;

private:
    GridSettingsHost* m_gridController = nullptr;
    ZQScrollwheelStepper* m_startAtField = nullptr;
    ZQScrollwheelStepper* m_incrementField = nullptr;
    ZQScrollwheelStepper* m_digitsField = nullptr;
    QRadioButton* m_numbersRadio = nullptr;
    QRadioButton* m_lettersRadio = nullptr;
    QCheckBox* m_rotatedCheckbox = nullptr;
    QCheckBox* m_reversedCheckbox = nullptr;
};

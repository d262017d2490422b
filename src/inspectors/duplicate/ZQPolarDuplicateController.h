#pragma once

// The polar duplicate sheet: copies of the selection round a centre, each turned a further
// angle and, when asked, turned itself; or, for one selected object, as many copies as fit
// round a circle ("auto-fit"). The centre is typed in grid units or sampled: the sample button
// lets the user click the centre in the drawing (Control snaps it to the grid), while the
// sheet stays open and its OK button disabled.
//
// Each run starts from 7 copies, 45 degrees and turned copies; auto-fit is offered only while
// exactly one object is selected. OK is enabled while the centre reads as two numbers and,
// unless auto-fit is on, the copies field holds a whole number from 1 to the limit and the
// angle is a number.

#include "app/commands/GeometryCommandSheets.h"
#include "platform/ui/WindowController.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <memory>
#include <optional>

class QDialog;
class QGroupBox;
class ScreenPointSampler;

class ZQPolarDuplicateController : public platform::WindowController, public PolarDuplicateSheet {
    Q_OBJECT

public:
    static constexpr int kDefaultCopies = 7;
    static constexpr double kDefaultAngleIncrement = 45;

    ZQPolarDuplicateController();
    ~ZQPolarDuplicateController() override;

    // The delegate is not kept alive.
    void beginPolarDuplicationDialogPolarDelegate(QWidget* window, PolarDuplicateDelegate* delegate) override;
    // Back to the starting values.
    void setup();

    // The angle increment becomes 360 / (copies + 1).
    Q_INVOKABLE void copiesAction(QObject* sender = nullptr);
    // Auto-fit on disables the copies, the angle and the rotate box; both ways the copies turn.
    Q_INVOKABLE void autoFitAction(QObject* sender = nullptr);
    Q_INVOKABLE void centreAction(QObject* sender = nullptr);
    // Starts sampling, or ends it without a point when it runs.
    Q_INVOKABLE void sampleCentrePointModeAction(QObject* sender = nullptr);
    Q_INVOKABLE void duplicateAction(QObject* sender = nullptr);
    // Ends sampling at the zero point, then the sheet with 0.
    Q_INVOKABLE void cancelAction(QObject* sender = nullptr);

    bool isSampling() const { return m_sampleMode; }
    // Nothing unless the delegate locates grid points.
    void startSampleMode();
    // Shows the grid point in the centre fields.
    void updateSampleModeAtGridPoint(QPointF gridPoint);
    // Leaves sampling with the point in the centre fields, or both fields empty without one;
    // nothing unless sampling runs.
    void endSampleModeAtGridPoint(std::optional<QPointF> gridPoint);

    // Parts of the sheet, for tests.
    QDialog* sheet();
    QLineEdit* copiesField() const { return m_copiesTextField; }
    QLineEdit* angleIncrementField() const { return m_angleIncrementTextField; }
    QLineEdit* centreXField() const { return m_centreXTextField; }
    QLineEdit* centreYField() const { return m_centreYTextField; }
    QCheckBox* rotateCopiesCheckbox() const { return m_rotateCopiesCheckbox; }
    QCheckBox* autoFitCircleCheckbox() const { return m_autoFitCircleCheckbox; }
    QPushButton* okButton() const { return m_okButton; }
    QPushButton* sampleModeButton() const { return m_sampleModeButton; }

protected:
    QWidget* loadWindow() override;

private:
    void conditionallyEnableOKButton();
    // Sampling hands over screen points; the delegate turns them into grid points.
    QPointF gridPointForScreenPoint(QPoint point, Qt::KeyboardModifiers modifiers);
    void sheetDidEnd(int returnCode);

    QPointer<QLineEdit> m_copiesTextField;
    QPointer<QLineEdit> m_angleIncrementTextField;
    QPointer<QLineEdit> m_centreXTextField;
    QPointer<QLineEdit> m_centreYTextField;
    QPointer<QCheckBox> m_rotateCopiesCheckbox;
    QPointer<QCheckBox> m_autoFitCircleCheckbox;
    QPointer<QGroupBox> m_manualSettingsBox;
    QPointer<QPushButton> m_okButton;
    QPointer<QPushButton> m_cancelButton;
    QPointer<QPushButton> m_sampleModeButton;
    std::unique_ptr<ScreenPointSampler> m_sampler;
    PolarDuplicateDelegate* m_delegateRef = nullptr;
    bool m_sampleMode = false;
};

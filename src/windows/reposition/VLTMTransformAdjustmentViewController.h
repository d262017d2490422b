#pragma once

// The reposition overlay's button bar: a mode label and Apply, Cancel, Reset and Help over a
// grey gradient, each button passing its action on to the overlay.

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;
class VLTMTransformAdjustmentView;

class VLTMTransformAdjustmentViewController : public QWidget {
    Q_OBJECT

public:
    static constexpr int kHeight = 26;

    explicit VLTMTransformAdjustmentViewController(VLTMTransformAdjustmentView* adjustmentView);

    VLTMTransformAdjustmentView* adjustmentView() const { return m_adjustmentView; }
    QPushButton* applyButton() const { return m_apply; }
    QPushButton* cancelButton() const { return m_cancel; }
    QPushButton* resetButton() const { return m_reset; }
    QPushButton* helpButton() const { return m_help; }

    void setCommitControlEnabled(bool enabled);

    QSize sizeHint() const override;

private:
    QPointer<VLTMTransformAdjustmentView> m_adjustmentView;
    QLabel* m_modeLabel;
    QPushButton* m_apply;
    QPushButton* m_cancel;
    QPushButton* m_reset;
    QPushButton* m_help;
};

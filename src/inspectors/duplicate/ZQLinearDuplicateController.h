#pragma once

// The linear duplicate sheet: a number of copies of the selection, each offset from the one
// before by a fixed distance across and down, in drawing units, whose name stands beside the
// fields. An offset may be typed with any unit ("1 cm", "1cm", "3 mm"), which is converted. OK
// is enabled while the copies field holds a whole number from 1 to the limit and both offsets
// are lengths. The fields keep their contents from one run to the next.

#include "app/commands/GeometryCommandSheets.h"
#include "platform/ui/WindowController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <optional>

class QDialog;

class ZQLinearDuplicateController : public platform::WindowController, public LinearDuplicateSheet {
    Q_OBJECT

public:
    ZQLinearDuplicateController();
    ~ZQLinearDuplicateController() override;

    // The delegate is not kept alive.
    void beginLinearDuplicationDialogLinearDelegate(QWidget* window, LinearDuplicateDelegate* delegate) override;
    Q_INVOKABLE void okAction(QObject* sender = nullptr);
    Q_INVOKABLE void cancelAction(QObject* sender = nullptr);
    void conditionallyEnableOKButton();

    // Parts of the sheet, for tests.
    QDialog* sheet();
    QLineEdit* copiesField() const { return m_numberOfCopiesTextField; }
    QLineEdit* xOffsetField() const { return m_xOffsetTextField; }
    QLineEdit* yOffsetField() const { return m_yOffsetTextField; }
    QLabel* xOffsetUnitsField() const { return m_xOffsetUnitsTextField; }
    QLabel* yOffsetUnitsField() const { return m_yOffsetUnitsTextField; }
    QPushButton* okButton() const { return m_okButton; }

protected:
    QWidget* loadWindow() override;

private:
    void sheetDidEnd(int returnCode);
    // The offset in the delegate's units; null when the text is no length.
    std::optional<double> offsetFromText(const QString& text) const;

    QPointer<QLineEdit> m_numberOfCopiesTextField;
    QPointer<QLineEdit> m_xOffsetTextField;
    QPointer<QLineEdit> m_yOffsetTextField;
    QPointer<QLabel> m_xOffsetUnitsTextField;
    QPointer<QLabel> m_yOffsetUnitsTextField;
    QPointer<QPushButton> m_okButton;
    LinearDuplicateDelegate* m_delegateRef = nullptr;
};

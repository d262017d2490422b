#pragma once

// The buffer sheet: asks for the distance of the zone round the selected object, in the
// drawing's units (shown beside the field). OK hands the distance in points to the delegate
// (the map document), which buffers the object or beeps; an empty field counts as 0.

#include "app/commands/GeometryCommandSheets.h"
#include "platform/ui/WindowController.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

class QDialog;

class ZQQuorvaneBufferController : public platform::WindowController, public BufferSheet {
    Q_OBJECT

public:
    ZQQuorvaneBufferController();
    ~ZQQuorvaneBufferController() override;

    // The delegate is not kept alive.
    void runBufferDialogForWindowBufferDelegate(QWidget* window, BufferDelegate* delegate) override;
    Q_INVOKABLE void okAction(QObject* sender = nullptr);
    Q_INVOKABLE void cancelAction(QObject* sender = nullptr);

    // Parts of the sheet, for tests.
    QDialog* sheet();
    QLineEdit* distanceField() const { return m_bufferDistanceTextField; }
    QLabel* unitsField() const { return m_bufferDistanceUnitsTextField; }
    QPushButton* okButton() const { return m_okButton; }

protected:
    QWidget* loadWindow() override;

private:
    void showDelegateUnits();
    void sheetDidEnd(int returnCode);

    QPointer<QLineEdit> m_bufferDistanceTextField;
    QPointer<QLabel> m_bufferDistanceUnitsTextField;
    QPointer<QPushButton> m_okButton;
    BufferDelegate* m_delegateRef = nullptr;
};

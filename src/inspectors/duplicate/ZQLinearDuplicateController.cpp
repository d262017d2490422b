#include "inspectors/duplicate/ZQLinearDuplicateController.h"

#include "inspectors/duplicate/DuplicateFields.h"
#include "platform/foundation/ZQLog.h"
#include "platform/ui/Sheet.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace duplicatefields;

ZQLinearDuplicateController::ZQLinearDuplicateController()
{
    initWithWindowNibName(QStringLiteral("QuorvaneLinearDuplicateDialog"));
}

ZQLinearDuplicateController::~ZQLinearDuplicateController()
{
    if (isWindowLoaded())
        delete window();
}

QDialog* ZQLinearDuplicateController::sheet()
{
    return qobject_cast<QDialog*>(window());
}

QWidget* ZQLinearDuplicateController::loadWindow()
{
    auto* dialog = new QDialog;
    dialog->setObjectName(windowNibName());
    dialog->setWindowTitle(tr("Linear Duplicate"));
    m_numberOfCopiesTextField = new QLineEdit(dialog);
    m_xOffsetTextField = new QLineEdit(dialog);
    m_yOffsetTextField = new QLineEdit(dialog);
    for (QLineEdit* field : {m_numberOfCopiesTextField.data(), m_xOffsetTextField.data(), m_yOffsetTextField.data()})
        connect(field, &QLineEdit::textChanged, this, &ZQLinearDuplicateController::conditionallyEnableOKButton);
    auto* form = new QFormLayout;
    form->addRow(tr("Number of copies:"), m_numberOfCopiesTextField);
    form->addRow(tr("Horizontal offset:"), m_xOffsetTextField);
    form->addRow(tr("Vertical offset:"), m_yOffsetTextField);

    auto* buttons = new QDialogButtonBox(dialog);
    m_okButton = buttons->addButton(tr("Duplicate"), QDialogButtonBox::AcceptRole);
    m_okButton->setDefault(true);
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(m_okButton, &QPushButton::clicked, this, [this] { okAction(m_okButton); });
    connect(cancel, &QPushButton::clicked, this, [this, cancel] { cancelAction(cancel); });

    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    return dialog;
}

void ZQLinearDuplicateController::conditionallyEnableOKButton()
{
    if (m_okButton)
        m_okButton->setEnabled(copiesFromText(m_numberOfCopiesTextField->text())
                               && numberFromText(m_xOffsetTextField->text())
                               && numberFromText(m_yOffsetTextField->text()));
}

void ZQLinearDuplicateController::beginLinearDuplicationDialogLinearDelegate(QWidget* window,
                                                                            LinearDuplicateDelegate* delegate)
{
    m_delegateRef = delegate;
    QDialog* dialog = sheet();
    conditionallyEnableOKButton();
    m_numberOfCopiesTextField->setFocus();
    platform::Sheet::beginSheetModalForWindowCompletionHandler(dialog, window, [this](int code) { sheetDidEnd(code); });
}

void ZQLinearDuplicateController::okAction(QObject*)
{
    if (m_okButton && m_okButton->isEnabled())
        platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kDefaultReturn);
}

void ZQLinearDuplicateController::cancelAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kCancelReturn);
}

void ZQLinearDuplicateController::sheetDidEnd(int returnCode)
{
    const std::optional<int> copies = copiesFromText(m_numberOfCopiesTextField->text());
    const std::optional<double> x = numberFromText(m_xOffsetTextField->text());
    const std::optional<double> y = numberFromText(m_yOffsetTextField->text());
    if (returnCode != platform::Sheet::kDefaultReturn || !m_delegateRef || !copies || !x || !y)
        return;
    LogEvent(kReactiveEvent, QStringLiteral("dialog data: copies %1; offset {%2,%3}")
                                 .arg(*copies)
                                 .arg(*x, 0, 'f', 2)
                                 .arg(*y, 0, 'f', 2));
    m_delegateRef->doLinearDuplicateCopiesOffset(*copies, QSizeF(*x, *y));
}

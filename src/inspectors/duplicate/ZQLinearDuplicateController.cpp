#include "inspectors/duplicate/ZQLinearDuplicateController.h"

#include "inspectors/duplicate/DuplicateFields.h"
#include "platform/foundation/ZQLog.h"
#include "platform/measurement/ZQTypedLength.h"
#include "platform/ui/Sheet.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
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
    m_xOffsetUnitsTextField = new QLabel(dialog);
    m_yOffsetUnitsTextField = new QLabel(dialog);
    const auto withUnits = [](QLineEdit* field, QLabel* units) {
        auto* row = new QHBoxLayout;
        row->addWidget(field, 1);
        row->addWidget(units);
        return row;
    };
    auto* form = new QFormLayout;
    form->addRow(tr("Number of copies:"), m_numberOfCopiesTextField);
    form->addRow(tr("Horizontal offset:"), withUnits(m_xOffsetTextField, m_xOffsetUnitsTextField));
    form->addRow(tr("Vertical offset:"), withUnits(m_yOffsetTextField, m_yOffsetUnitsTextField));

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
                               && offsetFromText(m_xOffsetTextField->text())
                               && offsetFromText(m_yOffsetTextField->text()));
}

std::optional<double> ZQLinearDuplicateController::offsetFromText(const QString& text) const
{
    const std::optional<ZQTypedLength> typed = ZQTypedLength::fromText(text);
    if (!typed)
        return std::nullopt;
    // Without a delegate no unit other than a bare number's can be converted.
    const double pointsPerUnit = m_delegateRef ? m_delegateRef->unitsConversionFactorForOffsetUnits() : 0;
    if (typed->unit && !(pointsPerUnit > 0))
        return std::nullopt;
    return typed->valueInUnitOfPoints(pointsPerUnit);
}

void ZQLinearDuplicateController::beginLinearDuplicationDialogLinearDelegate(QWidget* window,
                                                                            LinearDuplicateDelegate* delegate)
{
    m_delegateRef = delegate;
    QDialog* dialog = sheet();
    const QString units = delegate ? delegate->unitsStringForOffsetUnits() : QString();
    m_xOffsetUnitsTextField->setText(units);
    m_yOffsetUnitsTextField->setText(units);
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
    const std::optional<double> x = offsetFromText(m_xOffsetTextField->text());
    const std::optional<double> y = offsetFromText(m_yOffsetTextField->text());
    if (returnCode != platform::Sheet::kDefaultReturn || !m_delegateRef || !copies || !x || !y)
        return;
    LogEvent(kReactiveEvent, QStringLiteral("dialog data: copies %1; offset {%2,%3}")
                                 .arg(*copies)
                                 .arg(*x, 0, 'f', 2)
                                 .arg(*y, 0, 'f', 2));
    m_delegateRef->doLinearDuplicateCopiesOffset(*copies, QSizeF(*x, *y));
}

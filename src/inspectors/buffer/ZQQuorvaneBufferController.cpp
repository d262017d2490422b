#include "inspectors/buffer/ZQQuorvaneBufferController.h"

#include "platform/ui/Sheet.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

ZQQuorvaneBufferController::ZQQuorvaneBufferController()
{
    initWithWindowNibName(QStringLiteral("Quorvane Buffer Dialog"));
}

ZQQuorvaneBufferController::~ZQQuorvaneBufferController()
{
    if (isWindowLoaded())
        delete window();
}

QDialog* ZQQuorvaneBufferController::sheet()
{
    return qobject_cast<QDialog*>(window());
}

QWidget* ZQQuorvaneBufferController::loadWindow()
{
    auto* dialog = new QDialog;
    dialog->setObjectName(windowNibName());
    dialog->setWindowTitle(tr("Buffer"));
    auto* prompt = new QLabel(tr("Draw a zone round the selected object, at a distance of:"), dialog);
    m_bufferDistanceTextField = new QLineEdit(dialog);
    m_bufferDistanceUnitsTextField = new QLabel(dialog);
    auto* row = new QHBoxLayout;
    row->addWidget(m_bufferDistanceTextField, 1);
    row->addWidget(m_bufferDistanceUnitsTextField);

    auto* buttons = new QDialogButtonBox(dialog);
    m_okButton = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    m_okButton->setDefault(true);
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(m_okButton, &QPushButton::clicked, this, [this] { okAction(m_okButton); });
    connect(cancel, &QPushButton::clicked, this, [this, cancel] { cancelAction(cancel); });

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(prompt);
    layout->addLayout(row);
    layout->addWidget(buttons);
    return dialog;
}

void ZQQuorvaneBufferController::showDelegateUnits()
{
    if (m_delegateRef && m_bufferDistanceUnitsTextField)
        m_bufferDistanceUnitsTextField->setText(m_delegateRef->unitsStringForBufferUnits());
}

void ZQQuorvaneBufferController::runBufferDialogForWindowBufferDelegate(QWidget* window, BufferDelegate* delegate)
{
    m_delegateRef = delegate;
    QDialog* dialog = sheet();
    showDelegateUnits();
    m_bufferDistanceTextField->setFocus();
    platform::Sheet::beginSheetModalForWindowCompletionHandler(dialog, window, [this](int code) { sheetDidEnd(code); });
}

void ZQQuorvaneBufferController::okAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kDefaultReturn);
}

void ZQQuorvaneBufferController::cancelAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(sheet(), platform::Sheet::kCancelReturn);
}

void ZQQuorvaneBufferController::sheetDidEnd(int returnCode)
{
    if (returnCode != platform::Sheet::kDefaultReturn || !m_delegateRef)
        return;
    // Text that is no number counts as 0, which the delegate refuses.
    const double distance = QLocale().toDouble(m_bufferDistanceTextField->text().trimmed());
    m_delegateRef->bufferControllerPerformBufferingWithDistance(distance * m_delegateRef->unitsConversionFactorForBufferUnits());
}

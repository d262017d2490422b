#include "library/info/VXQLibrarySharingController.h"

#include "library/store/VXQLibrary.h"
#include "platform/ui/Sheet.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

VXQLibrarySharingController::VXQLibrarySharingController() = default;

VXQLibrarySharingController::~VXQLibrarySharingController()
{
    delete m_window;
}

QDialog* VXQLibrarySharingController::window()
{
    if (m_window)
        return m_window;
    auto* sheet = new QDialog;
    sheet->setWindowTitle(tr("Share Collection"));
    auto* layout = new QVBoxLayout(sheet);
    auto* form = new QFormLayout;
    m_libNameTextField = new QLineEdit;
    m_libNameTextField->setReadOnly(true);
    m_libCreditTextField = new QLineEdit;
    m_libBriefDescriptionTextField = new QLineEdit;
    form->addRow(tr("Collection:"), m_libNameTextField);
    form->addRow(tr("Credit:"), m_libCreditTextField);
    form->addRow(tr("Description:"), m_libBriefDescriptionTextField);
    layout->addLayout(form);
    m_termsTextView = new QTextEdit;
    m_termsTextView->setReadOnly(true);
    m_termsTextView->setPlainText(tr("Sharing collections is not available in this version."));
    layout->addWidget(m_termsTextView);
    m_agreeTermsCheckbox = new QCheckBox(tr("I agree to the terms above"));
    layout->addWidget(m_agreeTermsCheckbox);
    m_uploadInfoTextField = new QLabel;
    m_uploadProgress = new QProgressBar;
    layout->addWidget(m_uploadInfoTextField);
    layout->addWidget(m_uploadProgress);
    // Nothing is uploaded, so the upload controls never show.
    m_uploadInfoTextField->hide();
    m_uploadProgress->hide();
    auto* buttons = new QDialogButtonBox;
    QPushButton* cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    m_submitButton = buttons->addButton(tr("Submit"), QDialogButtonBox::AcceptRole);
    m_submitButton->setDefault(true);
    layout->addWidget(buttons);
    connect(m_submitButton, &QPushButton::clicked, this, [this] { submitAction(nullptr); });
    connect(cancel, &QPushButton::clicked, this, [this] { cancelAction(nullptr); });
    m_window = sheet;
    setUIFromLibrary();
    return sheet;
}

QLineEdit* VXQLibrarySharingController::nameField()
{
    window();
    return m_libNameTextField;
}

QLineEdit* VXQLibrarySharingController::creditField()
{
    window();
    return m_libCreditTextField;
}

QLineEdit* VXQLibrarySharingController::briefDescriptionField()
{
    window();
    return m_libBriefDescriptionTextField;
}

QLabel* VXQLibrarySharingController::uploadInfoField()
{
    window();
    return m_uploadInfoTextField;
}

QProgressBar* VXQLibrarySharingController::uploadProgress()
{
    window();
    return m_uploadProgress;
}

void VXQLibrarySharingController::beginShareLibraryDialogWithParentDelegate(QWidget* parent,
                                                                           VXQLibrarySharingDelegate* delegate)
{
    if (delegate)
        if (std::shared_ptr<VXQLibrary> library = delegate->libraryToUpload())
            m_libraryToUpload = library;
    platform::Sheet::beginSheetModalForWindowCompletionHandler(window(), parent, [guard = QPointer(this)](int code) {
        if (guard)
            guard->sheetDidEnd(code);
    });
    setUIFromLibrary();
}

void VXQLibrarySharingController::setUIFromLibrary()
{
    if (!m_window || !m_libraryToUpload)
        return;
    m_libNameTextField->setText(m_libraryToUpload->name());
    m_libCreditTextField->setText(m_libraryToUpload->creator());
    m_libBriefDescriptionTextField->setText(m_libraryToUpload->userDescription());
}

void VXQLibrarySharingController::submitAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(m_window, platform::Sheet::kDefaultReturn);
}

void VXQLibrarySharingController::cancelAction(QObject*)
{
    platform::Sheet::endSheetReturnCode(m_window, platform::Sheet::kCancelReturn);
}

void VXQLibrarySharingController::sheetDidEnd(int returnCode)
{
    if (m_window)
        m_window->hide();
    if (returnCode != platform::Sheet::kDefaultReturn || !m_libraryToUpload)
        return;
    m_libraryToUpload->setUserDescription(m_libBriefDescriptionTextField->text());
    m_libraryToUpload->setCreator(m_libCreditTextField->text());
}

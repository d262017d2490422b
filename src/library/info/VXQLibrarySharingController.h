#pragma once

// The sheet that would share a library: its name, credit and brief description, terms to agree
// to and upload controls. Sharing is not available (sharingAvailable is false) and nothing is
// ever uploaded; confirming the sheet only stores the credit and the description in the library.

#include "platform/foundation/ZQObject.h"

#include <QPointer>
#include <memory>

class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTextEdit;
class VXQLibrary;

class VXQLibrarySharingDelegate {
public:
    virtual ~VXQLibrarySharingDelegate() = default;
    // The library the sheet shows; none keeps the one set before.
    virtual std::shared_ptr<VXQLibrary> libraryToUpload() { return nullptr; }
};

class VXQLibrarySharingController : public ZQObject {
    Q_OBJECT

public:
    VXQLibrarySharingController();
    ~VXQLibrarySharingController() override;

    static bool sharingAvailable() { return false; }

    // Takes the delegate's library, opens the sheet on the window and fills it.
    void beginShareLibraryDialogWithParentDelegate(QWidget* parent, VXQLibrarySharingDelegate* delegate);
    std::shared_ptr<VXQLibrary> library() const { return m_libraryToUpload; }
    void setLibrary(const std::shared_ptr<VXQLibrary>& library) { m_libraryToUpload = library; }
    void setUIFromLibrary();

    Q_INVOKABLE void submitAction(QObject* sender);
    Q_INVOKABLE void cancelAction(QObject* sender);
    Q_INVOKABLE void libNameAction(QObject*) {}
    Q_INVOKABLE void libCreditAction(QObject*) {}
    Q_INVOKABLE void agreeTermsAction(QObject*) {}

    QDialog* window();
    QLineEdit* nameField();
    QLineEdit* creditField();
    QLineEdit* briefDescriptionField();
    QLabel* uploadInfoField();
    QProgressBar* uploadProgress();

private:
    void sheetDidEnd(int returnCode);

    QPointer<QDialog> m_window;
    QPointer<QLineEdit> m_libNameTextField;
    QPointer<QLineEdit> m_libCreditTextField;
    QPointer<QLineEdit> m_libBriefDescriptionTextField;
    QPointer<QTextEdit> m_termsTextView;
    QPointer<QCheckBox> m_agreeTermsCheckbox;
    QPointer<QPushButton> m_submitButton;
    QPointer<QLabel> m_uploadInfoTextField;
    QPointer<QProgressBar> m_uploadProgress;
    std::shared_ptr<VXQLibrary> m_libraryToUpload;
};

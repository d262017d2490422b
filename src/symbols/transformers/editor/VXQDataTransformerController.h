#pragma once

// The data-transformer sheet: name, output property, formula with a check against the
// host's object, and for binning transformers a switch and the bins editor. It edits a copy
// of the transformer and hands the copy back when the sheet ends with OK; Cancel leaves the
// original as it was. Formula errors never reach the user as alerts: setting one beeps and
// selects the formula, checking one shows "error in formula".
//
// Nothing in the program opens the sheet. Its host is the delegate, any QObject answering
// some of these invokable methods (each asked only when present):
//   VXQDataTransformerPtr dataTransformer()                the transformer to edit
//   void setDataTransformer(VXQDataTransformerPtr)          the edited copy, on OK
//   ZQObject* targetForPreflight()                          what the formula check reads
//   QStringList availablePropertiesDisplayNames()           the output property choices
//   QString propertyForDisplayName(QString)                 and their keys,
//   QString displayNameForProperty(QString)                 both ways
//   QVariantMap acceptableTypesForOutputProperties()        key -> bin data types taken

#include "platform/ui/WindowController.h"
#include "symbols/transformers/VXQBinningDataTransformer.h"
#include "symbols/transformers/editor/VXQBinningController.h"

#include <QPointer>
#include <optional>

class QCheckBox;
class QComboBox;
class QDialog;
class QLineEdit;
class QPushButton;
class VXQBinningView;

inline const QString kVXQDataTransformerSheetContext = QStringLiteral("main_dt_sheet");

class VXQDataTransformerController : public platform::WindowController {
    Q_OBJECT

public:
    VXQDataTransformerController();
    ~VXQDataTransformerController() override;

    // Keeps the delegate, loads its transformer and opens the sheet on `parentWindow`.
    void beginDataTransformerEditorInParentWindowWithDelegate(QWidget* parentWindow, QObject* delegate);
    QObject* delegate() const { return m_delegateRef; }

    // Takes the delegate's transformer, copies it for editing and shows the copy.
    void fetchTransformer();
    void reloadData() { fetchTransformer(); }
    void setUpControlsForObject(const VXQDataTransformer* transformer);
    const VXQDataTransformerPtr& dataTransformer() const { return m_dataTransformer; }
    const VXQDataTransformerPtr& originalDataTransformer() const { return m_originalDataTransformer; }

    // --- Actions ---------------------------------------------------------------------------------------
    Q_INVOKABLE void nameAction(QObject* sender);
    // The property named by the sender's text; bins of a type it does not take switch to the
    // first it takes.
    Q_INVOKABLE void outputPropertyAction(QObject* sender);
    Q_INVOKABLE void formulaAction(QObject* sender);
    Q_INVOKABLE void checkFormulaAction(QObject* sender = nullptr);
    Q_INVOKABLE void useBinningAction(QObject* sender);
    Q_INVOKABLE void cancelButtonAction(QObject* sender = nullptr);
    Q_INVOKABLE void okButtonAction(QObject* sender = nullptr);
    // Ends editing, closes the sheet and on 1 hands the working copy to the delegate.
    void sheetDidEndReturnCodeContextInfo(int returnCode, const QString& contextInfo);

    // --- Output properties, from the delegate --------------------------------------------------------------
    QStringList outputPropertyDisplayNames() const;
    // Null without the delegate's dictionary.
    QVariantList acceptableTypesForProperty(const QString& property) const;
    bool propertyAcceptsType(const QString& property, int type) const;
    // The binning editor's question: whether the current output property takes the type.
    Q_INVOKABLE bool binningControllerShouldAllowOutputType(VXQBinningController* controller, int type) const;

    // --- Controls (made with the window) ------------------------------------------------------------------
    QDialog* sheet();
    QLineEdit* nameTextField() const;
    QComboBox* outputPropertiesComboBox() const;
    QLineEdit* formulaTextField() const;
    QPushButton* checkFormulaButton() const;
    QLineEdit* resultTextField() const;
    QCheckBox* useBinningCheckbox() const;
    VXQBinningController* binningController() const { return m_binningController.get(); }

protected:
    QWidget* loadWindow() override;
    void windowDidLoad() override;

private:
    // The delegate's answer, or none when it lacks the method.
    std::optional<QVariant> askDelegate(const char* selector, const QVariantList& arguments = {}) const;
    std::shared_ptr<VXQNumericDataTransformer> numericTransformer() const;
    std::shared_ptr<VXQBinningDataTransformer> binningTransformer() const;
    void enableBinningControls();
    void fillOutputProperties();

    QPointer<QLineEdit> m_nameTextField;
    QPointer<QComboBox> m_outputPropertiesComboBox;
    QPointer<QLineEdit> m_formulaTextField;
    QPointer<QPushButton> m_checkFormulaButton;
    QPointer<QLineEdit> m_resultTextField;
    QPointer<QCheckBox> m_useBinningCheckbox;
    QPointer<VXQBinningView> m_binningView;
    QPointer<QPushButton> m_cancelButton;
    QPointer<QPushButton> m_okButton;
    std::shared_ptr<VXQBinningController> m_binningController;
    QPointer<QObject> m_delegateRef;
    VXQDataTransformerPtr m_dataTransformer;
    VXQDataTransformerPtr m_originalDataTransformer;
};

#pragma once

// A sheet that asks for one line of text: a prompt, a text field, OK and Cancel. It ends
// with 1 (OK) or 0 (Cancel), hands the text to its end handler and then deletes itself.

#include <QDialog>
#include <functional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

class ZQBasicDialog : public QDialog {
    Q_OBJECT

public:
    using CompletionHandler = std::function<void(int returnCode, const QString& stringValue)>;

    explicit ZQBasicDialog(QWidget* parent = nullptr);

    QString promptString() const;
    void setPromptString(const QString& prompt);
    QString stringValue() const;
    void setStringValue(const QString& value);
    // Retitles the OK button ("Rename", "Save").
    void setOKButtonTitle(const QString& title);

    QLineEdit* textField() const { return m_field; }

    // Opens the dialog modal to `window` (to the application without one) and returns.
    void beginSheetModalForWindowCompletionHandler(QWidget* window, CompletionHandler handler);

private:
    QLabel* m_prompt;
    QLineEdit* m_field;
    QDialogButtonBox* m_buttons;
};

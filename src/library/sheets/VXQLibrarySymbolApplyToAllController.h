#pragma once

// The apply-to-all sheet: check boxes choose which of the current symbol's settings (shown
// beside them) go to every symbol being edited. Its delegate (the symbol import sheet) gives
// the count, the default keys and the settings, and hears the chosen keys when it ends with 1.
//
// Apply is enabled while a checked key carries a value: the copy-style setting carries none,
// so it alone, or nothing at all, leaves Apply disabled.

#include "platform/ui/WindowController.h"

#include <QPointer>
#include <QStringList>
#include <QVariantMap>

class QCheckBox;
class QDialog;
class QLabel;
class QPushButton;
class VXQLibrarySymbolApplyToAllController;

class VXQLibrarySymbolApplyToAllDelegate {
public:
    virtual ~VXQLibrarySymbolApplyToAllDelegate() = default;
    virtual qsizetype numberOfItemsForApplyToAllDialog(VXQLibrarySymbolApplyToAllController* dialog) = 0;
    virtual QStringList defaultKeysForApplyToAllDialog(VXQLibrarySymbolApplyToAllController* dialog) = 0;
    virtual QVariantMap settingsForApplyToAllDialog(VXQLibrarySymbolApplyToAllController* dialog) = 0;
    virtual void applyToAllDialogEndedWithKeys(VXQLibrarySymbolApplyToAllController* dialog, const QStringList& keys) = 0;
};

class VXQLibrarySymbolApplyToAllController : public platform::WindowController {
    Q_OBJECT

public:
    VXQLibrarySymbolApplyToAllController();
    ~VXQLibrarySymbolApplyToAllController() override;

    // Opens the sheet on the window (application-modal without one), its key list a copy of
    // the delegate's defaults. The delegate is not kept alive.
    void runApplyToAllDialogOnParentWindowWithDelegate(QWidget* parent, VXQLibrarySymbolApplyToAllDelegate* delegate);
    QStringList keys() const { return m_keys; }
    void setKeyState(const QString& key, bool on);
    void setUIStateFromKeys(const QStringList& keys);

    Q_INVOKABLE void applyAction(QObject* sender);
    Q_INVOKABLE void cancelAction(QObject* sender);

    // Parts of the sheet (for tests): a check box by its key ("sequenceable" for both
    // sequence keys), a value field by its key, the Apply button, the info text.
    QCheckBox* checkBoxForKey(const QString& key) const;
    QLabel* valueFieldForKey(const QString& key) const;
    QPushButton* applyButton() const;
    QLabel* infoTextField() const;
    QDialog* sheet() const;

protected:
    QWidget* loadWindow() override;

private:
    void updateApplyButton();
    void sheetDidEnd(int returnCode);

    QPointer<QPushButton> m_applyButton;
    QPointer<QLabel> m_infoTextField;
    QList<QPair<QString, QCheckBox*>> m_checkBoxes;
    QList<QPair<QString, QLabel*>> m_valueFields;
    VXQLibrarySymbolApplyToAllDelegate* m_delegateRef = nullptr;
    QStringList m_keys;
    QVariantMap m_settings;
};

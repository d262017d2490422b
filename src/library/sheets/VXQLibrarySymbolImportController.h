#pragma once

// The symbol editing sheet: it walks through the symbol items being added to or edited in a
// library, one at a time ("Editing 2 of 5"), and edits their library settings: name,
// description, whether placed copies detach from the master or copy its style, whether it is
// sequenced and how, its lock and its prescale. The controls follow the current symbol master
// by observing it, so a change made anywhere shows at once. From it, the apply-to-all sheet
// gives chosen settings of the current symbol to every symbol being edited.
//
// Items that are not symbols are left out; an item whose master cannot be loaded (a damaged
// package) is dropped with a log line. A name the delegate refuses ("Name In Use"), an empty
// name or a prescale that is not a positive number up to 1000 is refused and the field shows
// the symbol's own value again; a refused name also keeps the sheet where it is.

#include "library/items/VXQLibraryItem.h"
#include "library/sheets/VXQLibrarySymbolApplyToAllController.h"
#include "platform/foundation/KeyValueObserving.h"
#include "platform/ui/WindowController.h"

#include <QPointer>
#include <functional>

class QCheckBox;
class QComboBox;
class QDialog;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class VXQLibrarySymbolImportController;
class VXQSymbolMaster;
namespace platform {
class Alert;
}

// What the sheet asks of its owner (a QObject); both are optional (the defaults accept every
// name and do nothing at the end).
class VXQLibrarySymbolImportDelegate {
public:
    virtual ~VXQLibrarySymbolImportDelegate() = default;
    // Whether the item may take the name; may replace `name` by one it would accept.
    virtual bool validateSymbolNameForLibraryItemEditor(QString& name, VXQLibraryItem* item,
                                                        VXQLibrarySymbolImportController* editor)
    {
        Q_UNUSED(name)
        Q_UNUSED(item)
        Q_UNUSED(editor)
        return true;
    }
    // The sheet ended with Done.
    virtual void symbolEditDidEnd(VXQLibrarySymbolImportController* editor) { Q_UNUSED(editor) }
};

class VXQLibrarySymbolImportController : public platform::WindowController,
                                         public platform::KeyValueObserver,
                                         public VXQLibrarySymbolApplyToAllDelegate {
    Q_OBJECT

public:
    VXQLibrarySymbolImportController();
    ~VXQLibrarySymbolImportController() override;

    // Alerts run to their end through this (a modal run by default; tests answer for the user).
    using AlertRunner = std::function<int(platform::Alert& alert)>;
    static void setAlertRunner(AlertRunner runner);

    // The symbol items among `items` (classCode == 2).
    static QList<VXQLibraryItemPtr> editableSymbolsFromArray(const QList<VXQLibraryItemPtr>& items);

    // Opens the sheet on the window (context "symbol_edit") and edits the symbols among the items.
    void beginSymbolEditWithSymbolsOnParentWindowDelegate(const QList<VXQLibraryItemPtr>& items, QWidget* parent,
                                                          VXQLibrarySymbolImportDelegate* delegate);
    // Ends editing first (nothing changes when the name field refuses), then edits the symbols
    // among the items; the first becomes current on the next turn of the event loop.
    void setSymbols(const QList<VXQLibraryItemPtr>& items);
    QList<VXQLibraryItemPtr> symbols() const { return m_content; }

    // Only when it differs from the current index; an index past the end shows "Nothing To Edit".
    void selectSymbolAtIndex(qsizetype index);
    void selectFirstSymbol() { selectSymbolAtIndex(0); }
    // -1 for none.
    qsizetype selectedIndex() const { return m_selectedItem; }
    VXQSymbolMaster* selectedSymbol() const;
    VXQLibraryItemPtr selectedLibraryItem() const;
    void conditionallyEnableNavigationButtons();
    // Commits the field being edited; false when it refused (a name in use, say).
    bool endEditing();

    // --- Values shown, set from the observed symbol ------------------------------------------
    void setName(const QString& name);
    void setUserDescription(const QString& description);
    void setSequenceable(bool sequenceable);
    void setDefaultSequenceKind(int kind);
    void setAutoDetachesInstances(bool autoDetaches);
    void setDetachesStyle(bool detaches);
    void setImage();
    void setLocked(bool locked);
    void setPrescale(double prescale);

    // --- Actions ---------------------------------------------------------------------------------
    Q_INVOKABLE void saveAction(QObject* sender);
    Q_INVOKABLE void nameAction(QObject* sender);
    Q_INVOKABLE void descriptionAction(QObject* sender);
    Q_INVOKABLE void autoDetachAction(QObject* sender);
    Q_INVOKABLE void copyStylesAction(QObject* sender);
    Q_INVOKABLE void sequenceableAction(QObject* sender);
    Q_INVOKABLE void defaultSequenceKindAction(QObject* sender);
    Q_INVOKABLE void prescaleAction(QObject* sender);
    Q_INVOKABLE void lockAction(QObject* sender);
    Q_INVOKABLE void nextItemAction(QObject* sender);
    Q_INVOKABLE void previousItemAction(QObject* sender);
    Q_INVOKABLE void applyToAllAction(QObject* sender);

    // Sets each key of the list that has a value in the settings on every item (the default
    // keys when none are given), unlocking each meanwhile unless the lock itself is set.
    void applyToAllWithKeyMask(const QVariantMap& settings, const std::optional<QStringList>& keys);

    // --- The apply-to-all sheet's delegate ------------------------------------------------------
    qsizetype numberOfItemsForApplyToAllDialog(VXQLibrarySymbolApplyToAllController* dialog) override;
    QStringList defaultKeysForApplyToAllDialog(VXQLibrarySymbolApplyToAllController* dialog) override;
    // Made from the controls once per apply-to-all command.
    QVariantMap settingsForApplyToAllDialog(VXQLibrarySymbolApplyToAllController* dialog) override;
    void applyToAllDialogEndedWithKeys(VXQLibrarySymbolApplyToAllController* dialog, const QStringList& keys) override;

    void observeValueForKeyPathOfObjectChangeContext(const QString& keyPath, ZQObject* object,
                                                     const platform::KeyValueChange& change, void* context) override;

    // --- Parts of the sheet (for tests) -----------------------------------------------------------
    QDialog* sheet() const;
    QLabel* itemsInfoLabel() const;
    QLabel* previewImage() const;
    QLineEdit* nameField() const;
    QLineEdit* descriptionField() const;
    QCheckBox* sequenceableCheckbox() const;
    QComboBox* defaultSequenceKindPopUp() const;
    QCheckBox* autoDetachCheckbox() const;
    QCheckBox* copyStyleCheckbox() const;
    QCheckBox* lockedCheckbox() const;
    QLineEdit* prescaleField() const;
    QDoubleSpinBox* prescaleStepper() const;
    QPushButton* previousButton() const;
    QPushButton* nextButton() const;
    QPushButton* applyToAllButton() const;
    VXQLibrarySymbolApplyToAllController* applyToAllController() const { return m_applyToAllCllr; }

protected:
    QWidget* loadWindow() override;

private:
    void startObservingSymbol(VXQSymbolMaster* symbol);
    void stopObservingSymbol(VXQSymbolMaster* symbol);
    void applyControlStates();
    void showPreviewOf(const VXQLibraryItemPtr& item);
    void showEditingLabel();
    bool commitName();
    void commitDescription();
    void commitPrescale();
    void sheetDidEnd(int returnCode);
    int runAlert(platform::Alert& alert) const;
    bool delegateIsAlive() const;

    QPointer<QLabel> m_previewImage;
    QPointer<QPushButton> m_previousItemButton;
    QPointer<QPushButton> m_nextItemButton;
    QPointer<QPushButton> m_applyToAllButton;
    QPointer<QProgressBar> m_applyToAllBusyIndicator;
    QPointer<QLabel> m_itemsInfoLabel;
    QPointer<QLineEdit> m_nameTextField;
    QPointer<QLineEdit> m_descriptionTextField;
    QPointer<QCheckBox> m_sequenceableCheckbox;
    QPointer<QComboBox> m_defaultSequenceKindPopUpButton;
    QPointer<QCheckBox> m_autoDetachCheckbox;
    QPointer<QCheckBox> m_copyStyleCheckbox;
    QPointer<QCheckBox> m_lockedCheckbox;
    QPointer<QLineEdit> m_prescaleTextField;
    QPointer<QDoubleSpinBox> m_prescaleStepper;
    QPointer<QPushButton> m_saveButton;
    VXQLibrarySymbolApplyToAllController* m_applyToAllCllr = nullptr;
    QList<VXQLibraryItemPtr> m_content;
    VXQLibrarySymbolImportDelegate* m_delegateRef = nullptr;
    QPointer<QObject> m_delegateObject;
    qsizetype m_selectedItem = -1;
    QPointer<VXQSymbolMaster> m_currSymbolRef;
    std::optional<QVariantMap> m_applyToAllSettings;
    // What the observed symbol shows, for the enabling rules.
    bool m_locked = false;
    bool m_autoDetaches = false;
    bool m_sequenceable = false;
    double m_prescale = 1.0;
};

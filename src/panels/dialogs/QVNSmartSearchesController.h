#pragma once

// The smart-searches sheet, one for the application, opened on the document that asks: the
// saved searches by name with a check mark for those over all layers, the description of the
// selected one, and Add, Edit (both through an advanced search sheet whose Find reads "Save"),
// Delete (no confirmation), Search (the document runs it; the sheet stays) and Close. Names are
// edited in place.

#include "panels/dialogs/AdvancedSearchDelegate.h"

#include <QDialog>
#include <QPointer>

class MPAdvancedSearchController;
class QLabel;
class QPushButton;
class QTableView;
class QVNSmartSearchesController;
class SmartSearchListModel;

// The document the sheet works for: it lends its properties and runs searches.
class SmartSearchesDelegate : public AdvancedSearchDelegate {
public:
    virtual void smartSearchesControllerDidEnd(QVNSmartSearchesController& sheet) { Q_UNUSED(sheet) }
};

class QVNSmartSearchesController : public QDialog, public AdvancedSearchDelegate {
    Q_OBJECT

public:
    explicit QVNSmartSearchesController(QWidget* parent = nullptr);
    ~QVNSmartSearchesController() override;

    // Made on first use (again after its last window closed with it).
    static QVNSmartSearchesController* sharedSmartSearchesController();

    // `delegate` is a SmartSearchesDelegate, not owned.
    void showDialogInParentWindow(QWidget* window, QObject* delegate);
    SmartSearchesDelegate* delegate() const;

    MPSearchQueryPtr selectedQuery() const;
    QString selectedName() const;
    void selectName(const QString& name);

    void addSearchAction();
    void editSearchAction();
    void deleteSearchAction();
    void searchAction();
    void closeAction();

    // --- The advanced sheet's delegate -----------------------------------------------------------
    void searchControllerRequestQuery(MPAdvancedSearchController& sheet) override;
    // Stores the edited search (under its name, or as a new "Untitled Search").
    void searchWithQuery(const MPSearchQueryPtr& query) override;
    QStringList searchableProperties() const override;
    int dataTypeForProperty(const QString& name) const override;
    QString identifierForProperty(const QString& name) const override;

    SmartSearchListModel* listModel() const { return m_model; }
    QTableView* searchesList() const { return m_table; }
    QLabel* descriptionField() const { return m_description; }
    MPAdvancedSearchController* searchEditor() const { return m_searchController; }
    QPushButton* deleteButton() const { return m_deleteButton; }
    QPushButton* editButton() const { return m_editButton; }
    QPushButton* searchButton() const { return m_searchButton; }

private:
    void selectionChanged();
    void conditionallyEnableUI();
    void openSearchEditor();
    void sheetDidEnd();

    SmartSearchListModel* m_model = nullptr;
    QTableView* m_table = nullptr;
    QLabel* m_description = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_editButton = nullptr;
    QPushButton* m_searchButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    QPointer<QObject> m_delegate;
    // The search being edited; empty while one is added.
    QString m_editingQueryKey;
    MPAdvancedSearchController* m_searchController = nullptr;
};

#pragma once

// The advanced search sheet: one row per criterion of a query (property, match kind, value,
// delete button), whether all or any must match, a button adding a row, the all-layers and
// save-as-smart-search options, and Find, which hands the query to the delegate. The map
// document uses one to search; the smart-searches sheet uses one, its Find titled "Save", to
// store what was edited.
//
// The window grows by one row's height for every row past the first and shrinks again as
// rows go, keeping its top edge where it is.

#include "panels/dialogs/AdvancedSearchDelegate.h"
#include "panels/dialogs/SearchCriteriaModel.h"

#include <QDialog>
#include <QPointer>

class MPSearchCriterionController;
class QCheckBox;
class QComboBox;
class QPushButton;
class QVBoxLayout;

class MPAdvancedSearchController : public QDialog, public SearchPropertySource {
    Q_OBJECT

public:
    explicit MPAdvancedSearchController(QWidget* parent = nullptr);
    ~MPAdvancedSearchController() override;

    // An AdvancedSearchDelegate; not owned.
    QObject* delegateObject() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    AdvancedSearchDelegate* delegate() const;

    MPSearchQueryPtr searchQuery() const { return m_model.query(); }
    // Rebuilds the rows; null makes a fresh query for the first property. A query without
    // criteria is a programming error.
    void setSearchQuery(const MPSearchQueryPtr& query);
    SearchCriteriaModel& rowsModel() { return m_model; }

    // Asks the delegate for a query (a fresh one when it gives none) and opens the sheet on
    // `window`, the last row's value field focused.
    void showSheetInParentWindow(QWidget* window, QObject* delegate);
    bool isSheetOperation() const { return m_sheetOperation; }

    // Find: commits the rows in order, closes the sheet (1) and hands the query over.
    void performSearch();
    // Closes the sheet (0); the query is neither committed nor searched.
    void cancel();
    void addNewCriterion();
    void reject() override { cancel(); }

    void setFindButtonLabel(const QString& title);
    void setAuxiliaryControlsHidden(bool hidden);
    void setSmartSearchesCheckboxHidden(bool hidden);
    void setAllLayersCheckboxHidden(bool hidden);
    // Each check box sets its option on the query too.
    void setSmartCheckboxValue(bool on);
    void setAllLayersCheckboxValue(bool on);

    // The delegate's properties (none without one).
    QStringList searchableProperties() const override;
    int dataTypeForProperty(const QString& name) const override;
    QString identifierForProperty(const QString& name) const override;

    qsizetype numberOfRows() const { return m_model.rowCount(); }
    const QList<MPSearchCriterionController*>& rowControllers() const { return m_rowControllers; }
    QWidget* embeddingView() const { return m_embeddingView; }
    QPushButton* findButton() const { return m_findButton; }
    QPushButton* addCriterionButton() const { return m_addButton; }
    QComboBox* searchModePopUp() const { return m_searchModePopUp; }
    QCheckBox* allLayersCheckbox() const { return m_allLayersCheckbox; }
    QCheckBox* saveSmartSearchCheckbox() const { return m_saveCheckbox; }

    // Row views: the first row fills the room the window keeps for it, each further one adds
    // a row's height at the bottom.
    void installViewInWindow(QWidget* view);
    void removeViewFromWindow(QWidget* view);
    void recalculateKeyViewSequence();

private:
    void buildChrome();
    void rebuildRows();
    void rowInserted(qsizetype index);
    void rowRemoved(qsizetype index);
    void rowReplaced(qsizetype index);
    void updateRowCountDependentControls();
    void commitEditing();
    void focusFirstActive();
    void searchModeAction();
    void closeSheet(int returnCode);

    SearchCriteriaModel m_model;
    QPointer<QObject> m_delegate;
    QList<MPSearchCriterionController*> m_rowControllers;
    QWidget* m_embeddingView = nullptr;
    QVBoxLayout* m_rowsLayout = nullptr;
    QComboBox* m_searchModePopUp = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_findButton = nullptr;
    QCheckBox* m_allLayersCheckbox = nullptr;
    QCheckBox* m_saveCheckbox = nullptr;
    QPointer<QWidget> m_firstActive;
    bool m_sheetOperation = false;
};

#pragma once

// Drives one row of the advanced search sheet: shows its criterion in the row widget of the
// criterion's data type and sends the row's edits to the sheet's rows model.

#include "panels/dialogs/SearchCriteriaModel.h"

#include <QObject>
#include <QPointer>

class MPAdvancedSearchController;
class QComboBox;
class QWidget;

class MPSearchCriterionController : public QObject {
    Q_OBJECT

public:
    MPSearchCriterionController(SearchCriterionRowPtr row, MPAdvancedSearchController* owner);
    // Takes the row's view out of the sheet.
    ~MPSearchCriterionController() override;

    const SearchCriterionRowPtr& row() const { return m_row; }
    MPSearchCriterionPtr criterion() const { return m_row->criterion; }
    QWidget* view() const { return m_view; }
    // The value field (the start of a range); null for rows without one.
    QWidget* valueField() const;

    // Builds the row's view for its criterion's data type, replacing an older one in place.
    void setUpView();
    // The criterion's value into the fields.
    void updateValueFields();
    // The fields' value into the criterion; text that does not read as the row's kind of
    // value is ignored.
    void updateCriterionValue();
    void commitEditing() { updateCriterionValue(); }
    void showDeleteButton(bool shown);

    void propertyMenuAction();
    void matchKindMenuAction();
    void controlAction(QObject* control);
    void deleteButtonAction();

private:
    void wireControls();
    void fillPropertyMenu(QComboBox* menu);

    SearchCriterionRowPtr m_row;
    QPointer<MPAdvancedSearchController> m_owner;
    QPointer<QWidget> m_view;
};

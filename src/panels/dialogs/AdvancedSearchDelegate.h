#pragma once

// Who an advanced search sheet works for. The sheet knows nothing of documents: its delegate
// hands it the query to edit, names the searchable properties with their data types and key
// paths, and runs (or stores) the query when the find button is pressed.

#include "panels/search/MPSearchQuery.h"

#include <QStringList>

class MPAdvancedSearchController;

// The properties a criterion may test, by display name.
class SearchPropertySource {
public:
    virtual ~SearchPropertySource() = default;

    // In menu order.
    virtual QStringList searchableProperties() const = 0;
    virtual int dataTypeForProperty(const QString& name) const = 0;
    virtual QString identifierForProperty(const QString& name) const = 0;
};

class AdvancedSearchDelegate : public SearchPropertySource {
public:
    // Gives the sheet its query (setSearchQuery) and sets its check boxes.
    virtual void searchControllerRequestQuery(MPAdvancedSearchController& sheet) = 0;
    virtual void searchWithQuery(const MPSearchQueryPtr& query) = 0;
    virtual void searchControllerWillShowWindow(MPAdvancedSearchController& sheet) { Q_UNUSED(sheet) }
    // After the find or the cancel button closed the sheet.
    virtual void searchControllerDidCloseWindow(MPAdvancedSearchController& sheet) { Q_UNUSED(sheet) }
};

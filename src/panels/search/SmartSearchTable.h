#pragma once

// The application's saved ("smart") searches: queries under unique names, loaded from the user
// default "QVNL_SMART_SEARCHES" at launch and stored there at termination. The table holds the
// queries themselves, so a search run from the table is known to be saved.

#include "panels/search/MPSearchQuery.h"

#include <QMap>

namespace platform {
class Menu;
}

inline const QString kQVNLSmartSearchesDefaultsKey = QStringLiteral("QVNL_SMART_SEARCHES");

class SmartSearchTable {
public:
    using Searches = QMap<QString, MPSearchQueryPtr>;

    // None until a search is stored or loaded.
    static const std::optional<Searches>& smartSearches();
    // Replaces a query of that name. A null query, an empty name and a query without
    // criteria are programming errors.
    static void setSmartSearchForKey(const MPSearchQueryPtr& query, const QString& name);
    static void removeSmartSearchForKey(const QString& name);
    static MPSearchQueryPtr smartSearchForKey(const QString& name);
    // `name`, or the first free of "name 1", "name 2"...
    static QString uniqueSmartSearchKey(const QString& name);
    // Whether this very query is stored (a copy is not).
    static bool isSavedInSmartSearches(const MPSearchQuery* query);

    // Writes the table (an empty archive without one) to the user default.
    static void saveSmartSearches();
    // Adds the stored searches to the table, a stored name replacing the same name. Damaged or
    // foreign data loads what is sound and logs the rest.
    static void loadSmartSearches();
    // Forgets every search (tests; a user default is not touched).
    static void removeAllSmartSearches();

    // "Smart Search™" as title, "All Items" (tag -1), then one item per search in name order,
    // each carrying its query as represented object and its description as tool tip.
    static platform::Menu* menuOfAvailableSearchesWithTargetAction(QObject* target, const QByteArray& action,
                                                                   QWidget* parent = nullptr);
};

// The archived form of the table: the root object of the user default's data.
class SmartSearchArchive : public ZQObject {
    Q_OBJECT

public:
    SmartSearchTable::Searches searches;

    void encodeWithCoder(platform::KeyedArchiver& coder) const override;
    void initWithCoder(platform::KeyedUnarchiver& coder) override;
};

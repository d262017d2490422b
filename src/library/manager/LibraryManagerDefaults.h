#pragma once

// The user-defaults keys of the library manager's settings.

#include "platform/foundation/UserDefaults.h"

#include <QString>

inline const QString kLibManagerShowLibraryCounts = QStringLiteral("LIB_MGR_SHOW_LIB_COUNTS");
inline const QString kLibManagerShowCategoryCounts = QStringLiteral("LIB_MGR_SHOW_CAT_COUNTS");
inline const QString kLibManagerLastCategorySelection = QStringLiteral("LIBRARY_MANAGER_LAST_CAT_SELECTION");
inline const QString kLibManagerLastSelection = QStringLiteral("QVNL_LIB_MANAGER_LAST_SELECTION");
inline const QString kLibManagerShowDocuments = QStringLiteral("QVNL_LIBRARY_MANAGER_SHOW_DOCUMENTS");
inline const QString kLibManagerSortMode = QStringLiteral("QVNL_LIBRARY_MANAGER_SORTMODE");
inline const QString kLibManagerPrintInfo = QStringLiteral("QVNL_LIBRARY_MANAGER_PRINT_INFO");
inline const QString kLibManagerExpandedItems = QStringLiteral("QVNL_LIBRARY_MANAGER_EXPANDED_ITEMS");
inline const QString kLibManagerWindowFrame = QStringLiteral("QVNL_LIBRARY_MANAGER_WFRAME");
inline const QString kVXQLibraryConfirmCategoryDelete = QStringLiteral("kVXQLibraryConfirmCategoryDelete");
inline const QString kVXQLibraryConfirmCategoryCopy = QStringLiteral("kVXQLibraryConfirmCategoryCopy");
inline const QString kLibManagerSettingsRootName = QStringLiteral("QVNL_LIB_MANAGER");

inline platform::UserDefaults& managerDefaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

#pragma once

// A library manager over the scratch libraries of LibraryTest, whose alerts answer from a
// queue instead of the user, with its settings forgotten before and after each test.

#include "LibraryTesting.h"

#include "library/manager/LibraryOutlineView.h"
#include "library/manager/VXQLibraryManagerWindowController.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/Alert.h"

#include <QCheckBox>
#include <QMessageBox>
#include <deque>

inline platform::UserDefaults& storedDefaults()
{
    return *platform::UserDefaults::standardUserDefaults();
}

inline const QStringList kManagerKeys{kLibManagerShowLibraryCounts,     kLibManagerShowCategoryCounts,
                                      kLibManagerLastCategorySelection, kLibManagerLastSelection,
                                      kLibManagerShowDocuments,         kLibManagerSortMode,
                                      kLibManagerPrintInfo,             kLibManagerExpandedItems,
                                      kVXQLibraryConfirmCategoryDelete, kVXQLibraryConfirmCategoryCopy,
                                      kLibManagerWindowFrame,
                                      // The item browser's, under the manager's root name.
                                      kLibManagerSettingsRootName + "_VXLIB_ITEM_VIEW_layoutMode",
                                      kLibManagerSettingsRootName + "_VXLIB_ITEM_VIEW_iconSizing",
                                      kLibManagerSettingsRootName + "_VXLIB_ITEM_VIEW_iconUpscaling",
                                      kLibManagerSettingsRootName + "_VXLIB_ITEM_VIEW_lockBadging",
                                      kLibManagerSettingsRootName + "_bkgColorIndex"};

inline QStringList namesOf(const QList<VXQLibraryItemPtr>& items)
{
    QStringList names;
    for (const VXQLibraryItemPtr& item : items)
        names.append(item->name());
    return names;
}

class ManagerTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        for (const QString& key : kManagerKeys)
            storedDefaults().removeObjectForKey(key);
        // Alerts answer from the queue (1 when it is empty) and may tick their suppression box.
        VXQLibraryManagerWindowController::setAlertRunner([this](platform::Alert& alert) {
            alerts.append(alert.messageText());
            informative.append(alert.informativeText());
            details.append(alert.messageBox()->detailedText());
            styles.append(alert.alertStyle());
            if (alert.showsSuppressionButton() && tickSuppression)
                alert.suppressionButton()->setChecked(true);
            if (answers.empty())
                return 1;
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }

    void TearDown() override
    {
        manager.reset();
        VXQLibraryManagerWindowController::setAlertRunner({});
        for (const QString& key : kManagerKeys)
            storedDefaults().removeObjectForKey(key);
        LibraryTest::TearDown();
    }

    VXQLibraryManagerWindowController& openManager()
    {
        manager = std::make_unique<VXQLibraryManagerWindowController>();
        manager->window();
        return *manager;
    }

    LibraryOutlineView& outline() { return *manager->outlineView(); }

    VXQLibraryPtr libraryWithItems(const QString& name, const QStringList& items)
    {
        VXQLibraryPtr library = makeLibrary(name);
        for (const QString& item : items)
            library->addItem(makeStyleItem(item));
        library->updateOnDisk();
        return library;
    }

    std::unique_ptr<VXQLibraryManagerWindowController> manager;
    QStringList alerts;
    QStringList informative;
    QStringList details;
    QList<platform::Alert::Style> styles;
    std::deque<int> answers;
    bool tickSuppression = false;
};


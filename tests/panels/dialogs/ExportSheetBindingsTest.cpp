// The sheet shows every key of the operation it watches through a bound setter: a key
// without one would leave its control showing the value the sheet opened with.

#include "panels/dialogs/VLTMExportController.h"
#include "platform/vantrix/inspector/InspectorValues.h"

#include <gtest/gtest.h>

namespace {

TEST(ExportSheetBindings, EveryKeyTheSheetWatchesIsBoundAndShown)
{
    VLTMExportController sheet;
    const VLTMExportOperationController watcher;
    QStringList unbound;
    for (const QString& keyPath : watcher.keyPathsOfInterest())
        if (!sheet.displayBindings().binds(platform::lastKeyOfKeyPath(keyPath)))
            unbound.append(keyPath);
    EXPECT_EQ(unbound, QStringList());
}

} // namespace

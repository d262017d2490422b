// The chooser's grid model keeps Qt's model contract through categories listed, filtered,
// changed on disk and gone, and thumbnails arriving. The tester aborts the test at the first
// broken rule.

#include "TemplateTestSupport.h"

#include "app/document/ZQQuorvaneDocument.h"
#include "platform/foundation/UserDefaults.h"
#include "windows/templates/QVNTemplatePickerController.h"
#include "windows/templates/TemplateGridModel.h"

#include <QAbstractItemModelTester>
#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(TemplateGridContract, TheGridThroughCategoriesFiltersChangesOnDiskAndThumbnails)
{
    const QString userFolder = ZQQuorvaneDocument::userTemplatesURL().toLocalFile();
    const QString coastal = QDir(userFolder).filePath(QStringLiteral("Coastal"));
    for (const QString& name : {QStringLiteral("Cape"), QStringLiteral("Bay"), QStringLiteral("Reefs/Atoll")})
        templatetest::packageWithThumbnail(QDir(coastal).filePath(name + QStringLiteral(".qvnl")),
                                           templatetest::jpegData(QSize(8, 8)));
    {
        QVNTemplatePickerController picker;
        picker.window();
        TemplateGridModel* model = picker.gridModel();
        const QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);

        picker.setTemplatesRoot(coastal);
        EXPECT_EQ(model->rowCount(), 3);
        // Thumbnails arrive as changes of their rows.
        model->data(model->index(0), Qt::DecorationRole);
        templatetest::finishThumbnails();
        picker.setFilterString(QStringLiteral("ca"));
        EXPECT_EQ(model->rowCount(), 1);
        picker.setFilterString(QString());
        EXPECT_EQ(model->rowCount(), 3);

        templatetest::packageWithThumbnail(QDir(coastal).filePath(QStringLiteral("Reefs/Key.qvnl")),
                                           templatetest::jpegData(QSize(8, 8)));
        picker.folderBrowserWasNotifiedOfChangeOnDisk(picker.folderController(), nullptr);
        EXPECT_EQ(model->rowCount(), 4);
        QDir(coastal).removeRecursively();
        picker.folderBrowserWasNotifiedOfChangeOnDisk(picker.folderController(), nullptr);
        EXPECT_EQ(model->rowCount(), 0);
    }
    QVNTemplateItem::invalidateCache();
    for (const QString& key : {QVNTemplatePickerController::kSelectedTemplateBookmarkKey,
                               QVNTemplatePickerController::kSelectedTemplateKey})
        platform::UserDefaults::standardUserDefaults()->removeObjectForKey(key);
}

} // namespace

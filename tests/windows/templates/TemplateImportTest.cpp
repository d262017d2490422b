// Copying templates into a category of the user's folder: whole packages without their links,
// never over an existing name, stopping at the first failure.

#include "TemplateTestSupport.h"

#include "windows/templates/TemplateImport.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

using namespace templatetest;

namespace {

class TemplateImportTest : public ::testing::Test {
protected:
    QTemporaryDir sources;
    QTemporaryDir user;

    QString coastal(const QString& name) const { return sources.filePath(QStringLiteral("Coastal/") + name); }
};

} // namespace

TEST_F(TemplateImportTest, CopiesPackagesIntoTheCategoryNamedLikeTheirFolder)
{
    writeFile(coastal(QStringLiteral("Bay.qvnl/VL_Info.plist")), "info");
    writeFile(coastal(QStringLiteral("Bay.qvnl/QuickLook/Thumbnail.jpg")), "jpeg");
    writeFile(coastal(QStringLiteral("Cape.qvnl")), "flat");
    const QStringList files{coastal(QStringLiteral("Bay.qvnl")), coastal(QStringLiteral("Cape.qvnl"))};

    const TemplateImport::Result result = TemplateImport::importFiles(files, user.path());
    EXPECT_EQ(result.destination, user.filePath(QStringLiteral("Coastal")));
    EXPECT_TRUE(result.failure.isEmpty()) << result.failure.toStdString();
    EXPECT_EQ(result.copied, (QStringList{user.filePath(QStringLiteral("Coastal/Bay.qvnl")),
                                          user.filePath(QStringLiteral("Coastal/Cape.qvnl"))}));
    EXPECT_EQ(readFile(user.filePath(QStringLiteral("Coastal/Bay.qvnl/QuickLook/Thumbnail.jpg"))), "jpeg");
    EXPECT_EQ(readFile(user.filePath(QStringLiteral("Coastal/Cape.qvnl"))), "flat");
}

TEST_F(TemplateImportTest, LinksInsidePackagesAreLeftBehind)
{
    writeFile(sources.filePath(QStringLiteral("secret.txt")), "private");
    writeFile(coastal(QStringLiteral("Bay.qvnl/VL_Info.plist")), "info");
    ASSERT_TRUE(QFile::link(sources.filePath(QStringLiteral("secret.txt")), coastal(QStringLiteral("Bay.qvnl/leak"))));
    ASSERT_TRUE(QFile::link(sources.path(), coastal(QStringLiteral("Bay.qvnl/loop"))));

    const TemplateImport::Result result = TemplateImport::importFiles({coastal(QStringLiteral("Bay.qvnl"))}, user.path());
    EXPECT_TRUE(result.failure.isEmpty());
    const QDir copy(user.filePath(QStringLiteral("Coastal/Bay.qvnl")));
    EXPECT_TRUE(QFileInfo::exists(copy.filePath(QStringLiteral("VL_Info.plist"))));
    EXPECT_FALSE(QFileInfo(copy.filePath(QStringLiteral("leak"))).exists());
    EXPECT_FALSE(QFileInfo(copy.filePath(QStringLiteral("loop"))).isSymLink());
}

TEST_F(TemplateImportTest, StopsAtTheFirstNameTakenAndOverwritesNothing)
{
    writeFile(coastal(QStringLiteral("A.qvnl")), "new a");
    writeFile(coastal(QStringLiteral("B.qvnl/VL_Info.plist")), "new b");
    writeFile(coastal(QStringLiteral("C.qvnl")), "new c");
    writeFile(user.filePath(QStringLiteral("Coastal/B.qvnl/VL_Info.plist")), "old b");

    const TemplateImport::Result result = TemplateImport::importFiles(
        {coastal(QStringLiteral("A.qvnl")), coastal(QStringLiteral("B.qvnl")), coastal(QStringLiteral("C.qvnl"))},
        user.path());
    EXPECT_FALSE(result.failure.isEmpty());
    EXPECT_EQ(result.copied, QStringList{user.filePath(QStringLiteral("Coastal/A.qvnl"))});
    EXPECT_EQ(readFile(user.filePath(QStringLiteral("Coastal/B.qvnl/VL_Info.plist"))), "old b");
    EXPECT_FALSE(QFileInfo::exists(user.filePath(QStringLiteral("Coastal/C.qvnl"))));
}

TEST_F(TemplateImportTest, FailedPackageCopyLeavesNothingHalfWritten)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    writeFile(coastal(QStringLiteral("Bay.qvnl/a.plist")), "a");
    writeFile(coastal(QStringLiteral("Bay.qvnl/z.plist")), "z");
    ASSERT_EQ(::chmod(QFile::encodeName(coastal(QStringLiteral("Bay.qvnl/z.plist"))).constData(), 0), 0);

    const TemplateImport::Result result = TemplateImport::importFiles({coastal(QStringLiteral("Bay.qvnl"))}, user.path());
    EXPECT_FALSE(result.failure.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(user.filePath(QStringLiteral("Coastal/Bay.qvnl"))));
}

TEST_F(TemplateImportTest, ReadOnlyUserFolderEndsTheImportBeforeCopying)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    writeFile(coastal(QStringLiteral("Bay.qvnl")), "flat");
    ASSERT_EQ(::chmod(QFile::encodeName(user.path()).constData(), 0555), 0);
    const TemplateImport::Result result = TemplateImport::importFiles({coastal(QStringLiteral("Bay.qvnl"))}, user.path());
    ::chmod(QFile::encodeName(user.path()).constData(), 0755);
    EXPECT_TRUE(result.destination.isEmpty());
    EXPECT_FALSE(result.failure.isEmpty());
    EXPECT_TRUE(result.copied.isEmpty());
}

TEST_F(TemplateImportTest, ThePlainFileCannotStandInForAFolderOfTheSameName)
{
    // A file where the category folder would go: nothing can be made there.
    writeFile(user.filePath(QStringLiteral("Coastal")), "in the way");
    writeFile(coastal(QStringLiteral("Bay.qvnl")), "flat");
    const TemplateImport::Result result = TemplateImport::importFiles({coastal(QStringLiteral("Bay.qvnl"))}, user.path());
    EXPECT_TRUE(result.destination.isEmpty());
    EXPECT_EQ(readFile(user.filePath(QStringLiteral("Coastal"))), "in the way");
}

// A template that is a link to a folder elsewhere would bring that folder in; one whose length
// no map reaches (a sparse file takes no room until copied) would fill the disk.
TEST_F(TemplateImportTest, ALinkedOrOversizedTemplateIsRefusedWithTheReason)
{
    writeFile(sources.filePath(QStringLiteral("system/passwords")), "private");
    QDir().mkpath(coastal(QString()));
    ASSERT_TRUE(QFile::link(sources.filePath(QStringLiteral("system")), coastal(QStringLiteral("Linked.qvnl"))));
    TemplateImport::Result result = TemplateImport::importFiles({coastal(QStringLiteral("Linked.qvnl"))}, user.path());
    EXPECT_TRUE(result.failure.contains(QStringLiteral("symbolic link"))) << result.failure.toStdString();
    EXPECT_FALSE(QFileInfo::exists(user.filePath(QStringLiteral("Coastal/Linked.qvnl"))));

    writeFile(coastal(QStringLiteral("Huge.qvnl/VL_Info.plist")), "info");
    QFile sparse(coastal(QStringLiteral("Huge.qvnl/data")));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
    ASSERT_TRUE(sparse.resize((qint64(1) << 30) + 1));
    sparse.close();
    result = TemplateImport::importFiles({coastal(QStringLiteral("Huge.qvnl"))}, user.path());
    EXPECT_TRUE(result.failure.contains(QStringLiteral("larger than 1 GB"))) << result.failure.toStdString();
    EXPECT_FALSE(QFileInfo::exists(user.filePath(QStringLiteral("Coastal/Huge.qvnl"))));
    EXPECT_TRUE(result.copied.isEmpty());
}

#include "platform/foundation/ZQAssert.h"
#include "platform/ui/FileWrapper.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::FileWrapper;

namespace {

class FileWrapperTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return folder.filePath(name); }

    static FileWrapper package()
    {
        FileWrapper root = FileWrapper::directory();
        root.addRegularFileWithContentsFilename("<plist/>", "VL_Info.plist");
        FileWrapper look = FileWrapper::directory("QuickLook");
        look.addRegularFileWithContentsFilename(QByteArray(3000, '\xff'), "Thumbnail.jpg");
        root.addFileWrapper(look);
        root.addRegularFileWithContentsFilename({}, "empty");
        return root;
    }

    QStringList entries() const
    {
        return QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir folder;
};

} // namespace

TEST_F(FileWrapperTest, ChildrenStaySortedReplaceByNameAndTreesRoundTripThroughDisk)
{
    FileWrapper root = package();
    root.addRegularFileWithContentsFilename("new", "VL_Info.plist");
    root.addRegularFileWithContentsFilename("a", "A_first");
    QStringList names;
    for (const FileWrapper& child : root.fileWrappers())
        names << child.filename();
    EXPECT_EQ(names, (QStringList{"A_first", "QuickLook", "VL_Info.plist", "empty"}));
    EXPECT_EQ(root.fileWrapperNamed("VL_Info.plist")->regularFileContents(), "new");
    EXPECT_EQ(root.fileWrapperNamed("missing"), nullptr);
    EXPECT_TRUE(root.removeFileWrapperNamed("A_first"));
    EXPECT_FALSE(root.removeFileWrapperNamed("A_first"));
    FileWrapper file = FileWrapper::regularFile("x", "x");
    EXPECT_THROW(file.addFileWrapper(FileWrapper::regularFile("y", "y")), platform::AssertionFailure);
    EXPECT_THROW(root.addFileWrapper(FileWrapper::regularFile("no name")), platform::AssertionFailure);

    const FileWrapper written = package();
    ASSERT_TRUE(written.writeToPath(path("Map.qvnl")));
    std::optional<FileWrapper> read = FileWrapper::readFromPath(path("Map.qvnl"));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->filename(), "Map.qvnl");
    read->setFilename({});
    EXPECT_EQ(*read, written);
    // A plain file wrapper writes a plain file, replacing a folder of the same name, and back.
    ASSERT_TRUE(FileWrapper::regularFile("flat").writeToPath(path("Map.qvnl")));
    EXPECT_EQ(FileWrapper::readFromPath(path("Map.qvnl"))->regularFileContents(), "flat");
    ASSERT_TRUE(written.writeToPath(path("Map.qvnl")));
    EXPECT_TRUE(QFileInfo(path("Map.qvnl/QuickLook/Thumbnail.jpg")).isFile());
    EXPECT_EQ(entries(), QStringList{"Map.qvnl"});
}

TEST_F(FileWrapperTest, HostileNamesNeverLeaveThePackage)
{
    ASSERT_TRUE(package().writeToPath(path("Map.qvnl")));
    for (const QString& name : QStringList{"..", ".", "../escaped", QString("nul") + QChar(0)}) {
        FileWrapper hostile = package();
        FileWrapper evil = FileWrapper::regularFile("pwned");
        evil.setFilename(name);
        hostile.addFileWrapper(evil);
        QuorvaneError error;
        EXPECT_FALSE(hostile.writeToPath(path("Map.qvnl"), &error)) << qPrintable(name);
        EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    }
    EXPECT_FALSE(QFileInfo::exists(path("escaped")));
    EXPECT_EQ(entries(), QStringList{"Map.qvnl"});
    FileWrapper expected = package();
    expected.setFilename("Map.qvnl");
    EXPECT_EQ(*FileWrapper::readFromPath(path("Map.qvnl")), expected);
    EXPECT_FALSE(package().writeToPath(path("no/such/folder/Map.qvnl")));
}

TEST_F(FileWrapperTest, ReadingSkipsLinksAndSpecialFilesAndRefusesMissingPathsAndDeepTrees)
{
    ASSERT_TRUE(package().writeToPath(path("Map.qvnl")));
    ASSERT_TRUE(FileWrapper::regularFile("outside the package").writeToPath(path("secret.txt")));
    ASSERT_TRUE(QFile::link(path("secret.txt"), path("Map.qvnl/link.txt")));
    ASSERT_TRUE(QFile::link(folder.path(), path("Map.qvnl/loop")));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("Map.qvnl/pipe")).constData(), 0600), 0);

    testsupport::LogCapture log;
    const std::optional<FileWrapper> read = FileWrapper::readFromPath(path("Map.qvnl"));
    ASSERT_TRUE(read);
    for (const char* skipped : {"link.txt", "loop", "pipe"})
        EXPECT_EQ(read->fileWrapperNamed(skipped), nullptr) << skipped;
    EXPECT_TRUE(log.contains("link.txt"));
    EXPECT_EQ(read->fileWrappers().size(), 3u);

    QuorvaneError error;
    EXPECT_FALSE(FileWrapper::readFromPath(path("Map.qvnl/link.txt"), &error));
    EXPECT_FALSE(FileWrapper::readFromPath(path("nothing-here"), &error));
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);

    QString deep = path("Deep.qvnl");
    for (int level = 0; level <= FileWrapper::kMaximumDepth + 1; ++level)
        deep += "/d";
    ASSERT_TRUE(QDir().mkpath(deep));
    EXPECT_FALSE(FileWrapper::readFromPath(path("Deep.qvnl"), &error));
    EXPECT_TRUE(error.localizedDescription().contains("nested too deeply"));
}

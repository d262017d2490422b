#include "platform/foundation/ZQAssert.h"
#include "platform/ui/FileWrapper.h"
#include "support/AddressSpaceLimit.h"
#include "support/FileSizeLimit.h"
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

    static QString readReason(const QuorvaneError& error)
    {
        return error.userInfo().value("VXOriginalException").toString();
    }

    // A folder of `count` files of one byte each.
    void makeFolder(const QString& name, int count) const
    {
        ASSERT_TRUE(QDir().mkpath(path(name)));
        for (int i = 0; i < count; ++i) {
            QFile file(path(name + QString("/%1").arg(i)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("x") == 1);
        }
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

    // Named as the document, each is refused at once with what it is.
    const QList<QPair<QString, QString>> refused{{path("Map.qvnl/link.txt"), "it is a symbolic link"},
                                                 {path("Map.qvnl/pipe"), "it is a pipe, not a file"},
                                                 {"/dev/zero", "it is a device, not a file"},
                                                 {path("nothing-here"), "No such file or directory"}};
    for (const auto& [refusedPath, reason] : refused) {
        QuorvaneError error;
        EXPECT_FALSE(FileWrapper::readFromPath(refusedPath, &error));
        EXPECT_EQ(error.code(), kQuorvaneDocumentError);
        EXPECT_EQ(readReason(error), reason) << qPrintable(refusedPath);
        EXPECT_EQ(error.localizedDescription(),
                  QString("The document “%1” could not be opened.").arg(QFileInfo(refusedPath).fileName()));
    }

    QString deep = path("Deep.qvnl");
    for (int level = 0; level <= FileWrapper::kMaximumDepth + 1; ++level)
        deep += "/d";
    ASSERT_TRUE(QDir().mkpath(deep));
    QuorvaneError error;
    EXPECT_FALSE(FileWrapper::readFromPath(path("Deep.qvnl"), &error));
    EXPECT_EQ(readReason(error), "its folders are nested too deeply");
}

TEST_F(FileWrapperTest, TreesAreMeasuredBeforeTheyAreReadAndEachFileIsReadAtItsSize)
{
    SKIP_CAPPED_UNDER_ADDRESS_SANITIZER();
    makeFolder("Many.qvnl", 300);
    makeFolder("Crowded.qvnl", FileWrapper::kMaximumEntryCount + 1);
    makeFolder("Sparse.qvnl", 1);
    QFile sparse(path("Sparse.qvnl/hole"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(testsupport::AddressSpaceLimit::kTwoGigabytes));

    testsupport::AddressSpaceLimit limit;
    const std::optional<FileWrapper> many = FileWrapper::readFromPath(path("Many.qvnl"));
    ASSERT_TRUE(many);
    ASSERT_EQ(many->fileWrappers().size(), 300u);
    EXPECT_EQ(many->fileWrapperNamed("299")->regularFileContents(), "x");
    // The limits' own reasons, found before anything is read.
    QuorvaneError error;
    EXPECT_FALSE(FileWrapper::readFromPath(path("Crowded.qvnl"), &error));
    EXPECT_EQ(readReason(error), "it holds too many files (more than 10000)");
    EXPECT_FALSE(FileWrapper::readFromPath(path("Sparse.qvnl"), &error));
    EXPECT_EQ(readReason(error), "its files take 2 GB in all, more than the memory available");
    EXPECT_EQ(error.localizedDescription(), "The document “Sparse.qvnl” could not be opened.");
}

TEST_F(FileWrapperTest, NamesUpToTheSystemsLimitSaveAndFailuresGiveTheSystemsReason)
{
    const QString longest(85, QChar(0x5730)); // 255 bytes in UTF-8
    ASSERT_EQ(QFile::encodeName(longest).size(), 255);
    QuorvaneError error;
    // Made, replaced by a package, replaced by a plain file.
    for (const FileWrapper& wrapper : {package(), package(), FileWrapper::regularFile("flat")})
        ASSERT_TRUE(wrapper.writeToPath(path(longest), &error)) << qPrintable(error.userInfo().value("exception").toString());
    EXPECT_EQ(FileWrapper::readFromPath(path(longest))->regularFileContents(), "flat");

    // A full disk, simulated by a file-size limit below the thumbnail's size.
    const bool written = [&] {
        const testsupport::FileSizeLimit limit(1024);
        return package().writeToPath(path(longest), &error);
    }();
    EXPECT_FALSE(written);
    EXPECT_EQ(error.localizedDescription(), QString("The document “%1” could not be saved.").arg(longest));
    EXPECT_EQ(error.userInfo().value("exception").toString(), "File too large");
    EXPECT_EQ(FileWrapper::readFromPath(path(longest))->regularFileContents(), "flat");
    EXPECT_EQ(entries(), QStringList{longest});
}

TEST_F(FileWrapperTest, FilesReadOnDemandCostNothingUntilAskedAndAreCopiedFileToFile)
{
    SKIP_CAPPED_UNDER_ADDRESS_SANITIZER();
    ASSERT_TRUE(package().writeToPath(path("Map.qvnl")));
    // A sparse file of 2 GB with bytes at its start and its end.
    QFile sparse(path("Map.qvnl/survey.bin"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.write("start") == 5
                && sparse.seek(testsupport::AddressSpaceLimit::kTwoGigabytes - 3) && sparse.write("end") == 3);
    sparse.close();

    std::optional<FileWrapper> read;
    QString reason;
    std::optional<QByteArray> large;
    {
        testsupport::AddressSpaceLimit limit;
        read = FileWrapper::readFromPath(path("Map.qvnl"), nullptr, FileWrapper::Reading::OnDemand);
        ASSERT_TRUE(read);
        large = read->fileWrapperNamed("survey.bin")->readRegularFileContents(&reason);
    }
    EXPECT_FALSE(large);
    EXPECT_EQ(reason, "it takes 2 GB, more than the memory available");
    const FileWrapper* survey = read->fileWrapperNamed("survey.bin");
    EXPECT_EQ(survey->regularFileSize(), testsupport::AddressSpaceLimit::kTwoGigabytes);
    EXPECT_TRUE(survey->regularFileContents().isEmpty());
    EXPECT_EQ(read->fileWrapperNamed("QuickLook")->fileWrapperNamed("Thumbnail.jpg")->readRegularFileContents(),
              QByteArray(3000, '\xff'));

    // Written elsewhere, each file is copied as it is, the sparse one still sparse; pointed at
    // that copy, the tree no longer needs the package it was read from.
    ASSERT_TRUE(read->writeToPath(path("Copy.qvnl")));
    read->relocateTo(path("Copy.qvnl"));
    ASSERT_TRUE(QDir(path("Map.qvnl")).removeRecursively());
    struct stat copied {};
    ASSERT_EQ(::stat(QFile::encodeName(path("Copy.qvnl/survey.bin")).constData(), &copied), 0);
    EXPECT_EQ(copied.st_size, testsupport::AddressSpaceLimit::kTwoGigabytes);
    EXPECT_LT(copied.st_blocks * 512, 1 << 20);
    QFile copy(path("Copy.qvnl/survey.bin"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.read(5), "start");
    ASSERT_TRUE(copy.seek(testsupport::AddressSpaceLimit::kTwoGigabytes - 4));
    EXPECT_EQ(copy.read(4), QByteArray("\0end", 4));

    // Saved over itself, it keeps every file.
    ASSERT_TRUE(read->writeToPath(path("Copy.qvnl")));
    EXPECT_EQ(QFileInfo(path("Copy.qvnl/survey.bin")).size(), testsupport::AddressSpaceLimit::kTwoGigabytes);
    read->removeFileWrapperNamed("survey.bin");
    FileWrapper expected = package();
    expected.setFilename("Map.qvnl");
    EXPECT_EQ(*read, expected);
    EXPECT_EQ(entries(), QStringList{"Copy.qvnl"});
}

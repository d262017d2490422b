#include "LibraryTesting.h"

#include "library/categories/VXQLibraryCategory.h"
#include "library/migration/VXQLibraryMigrationController.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/UserDefaults.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

namespace {

class RecordingProgress : public LibraryMigrationProgress {
public:
    void setPromptString(const QString& prompt) override { prompts.append(prompt); }
    void setAdditionalInfoString(const QString&) override {}
    void setProgressBarIndeterminate(bool) override {}
    void setMaximumValue(qint64 value) override { maximum = value; }
    bool setCurrentValue(qint64 value) override
    {
        current = value;
        return true;
    }
    QStringList prompts;
    qint64 maximum = 0;
    qint64 current = 0;
};

void writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

class MigrationTest : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        helper().setSupportFolder(supportFolder());
        QDir().mkpath(supportFolder());
        helper().setDelegate(&progress);
        // Files hold the name of a fixture below.
        helper().setOldFileReader([this](const QByteArray& contents) -> std::optional<OldSymbolsFile> {
            if (!fixtures.contains(contents))
                return std::nullopt;
            return fixtures.value(contents);
        });
        defaults().removeObjectForKey(kQVNLLibraryFilesMigrationCount);
        defaults().setObjectForKey(QStringLiteral("Migrated"), kVXQLibraryDefaultUserLibraryName);
    }

    void TearDown() override
    {
        helper().setSupportFolder({});
        helper().setDelegate(nullptr);
        helper().setOldFileReader({});
        defaults().removeObjectForKey(kQVNLLibraryFilesMigrationCount);
        LibraryTest::TearDown();
    }

    static VXQLibraryMigrationHelper& helper() { return VXQLibraryMigrationHelper::sharedMigrationHelper(); }
    static platform::UserDefaults& defaults() { return *platform::UserDefaults::standardUserDefaults(); }
    QString supportFolder() const { return userFolder() + QStringLiteral("/../support"); }
    QString movedFolder() const { return supportFolder() + QStringLiteral("/Old Symbols Files (Moved)"); }

    // A master listed in "Recently Used" and Roads, and a style in no category.
    void addRoadsFixture()
    {
        OldObjectSet symbols;
        const auto master = makeSymbolItem(QStringLiteral("Bridge"))->symbolMaster();
        symbols.keys = {master->uniqueKey()};
        symbols.objects.insert(master->uniqueKey(), master);
        symbols.categoriesOfKey.insert(master->uniqueKey(), {QStringLiteral("Recently Used"), QStringLiteral("Roads")});
        symbols.categoryCount = 2;
        OldObjectSet styles;
        const VXStylePtr style = makeStyle(QStringLiteral("Loose"));
        styles.keys = {style->uniqueKey()};
        styles.objects.insert(style->uniqueKey(), style);
        fixtures.insert("roads", OldSymbolsFile{symbols, styles});
        masterKey = master->uniqueKey();
        styleKey = style->uniqueKey();
    }

    RecordingProgress progress;
    QHash<QByteArray, OldSymbolsFile> fixtures;
    QString masterKey;
    QString styleKey;
};

} // namespace

TEST_F(MigrationTest, NoWindowWhenNothingNeedsMigrating)
{
    VXQLibraryMigrationController window;
    EXPECT_FALSE(helper().needsToPerformMigration());
    EXPECT_EQ(window.runModal(), 1);
    writeFile(supportFolder() + QStringLiteral("/Old.symbolslib"), "roads");
    EXPECT_TRUE(helper().needsToPerformMigration());
    defaults().setIntegerForKey(1, kQVNLLibraryFilesMigrationCount);
    EXPECT_FALSE(helper().needsToPerformMigration());
    EXPECT_EQ(window.runModal(), 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.state(), 0u);
}

TEST_F(MigrationTest, OldFilesBecomeItemsOfTheDefaultLibraryOnceAndAreMovedAside)
{
    addRoadsFixture();
    writeFile(supportFolder() + QStringLiteral("/A.symbolslib"), "roads");
    // Unreadable entries count as migrated and are moved aside as well.
    writeFile(supportFolder() + QStringLiteral("/Empty.symbolslib"), "");
    writeFile(supportFolder() + QStringLiteral("/Unknown.symbolslib"), "garbage");
    QDir().mkpath(supportFolder() + QStringLiteral("/Folder.symbolslib"));
    writeFile(supportFolder() + QStringLiteral("/notes.txt"), "roads");

    ASSERT_TRUE(helper().performMigration());
    VXQLibrary* library = VXQLibraryCatalogue::defaultUserLibrary();
    ASSERT_EQ(library->name(), QStringLiteral("Migrated"));
    EXPECT_EQ(library->itemCount(), 2);
    EXPECT_EQ(library->allItemsCategory()->count(), 2);
    VXQLibraryCategory* roads = library->categoryWithName(QStringLiteral("Roads"));
    ASSERT_TRUE(roads);
    ASSERT_EQ(roads->count(), 1);
    EXPECT_EQ(static_cast<VXQLibraryItem*>(roads->elements()[0].get())->uniqueKey(), masterKey);
    EXPECT_EQ(library->itemWithUniqueID(masterKey)->createdBy(),
              QStringLiteral("Quorvane symbol converter (original creator unavailable)"));
    EXPECT_EQ(library->itemWithUniqueID(styleKey)->createdBy(),
              QStringLiteral("Quorvane style converter (original creator unavailable)"));
    EXPECT_EQ(progress.maximum, 4);
    EXPECT_EQ(progress.prompts, QStringList({"Updating Symbol Library...", "Verifying...", "Finishing..."}));
    EXPECT_EQ(defaults().integerForKey(kQVNLLibraryFilesMigrationCount), 1);
    for (const QString& moved : QStringList{"A.symbolslib", "Empty.symbolslib", "Unknown.symbolslib", "Folder.symbolslib"}) {
        EXPECT_TRUE(QFileInfo::exists(movedFolder() + u'/' + moved)) << moved.toStdString();
        EXPECT_FALSE(QFileInfo::exists(supportFolder() + u'/' + moved)) << moved.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(supportFolder() + QStringLiteral("/notes.txt")));
    EXPECT_FALSE(helper().needsToPerformMigration());

    // A second run over the same file adds nothing.
    writeFile(supportFolder() + QStringLiteral("/B.symbolslib"), "roads");
    ASSERT_TRUE(helper().performMigration());
    EXPECT_EQ(library->itemCount(), 2);
    EXPECT_EQ(library->categoryWithName(QStringLiteral("Roads"))->count(), 1);
    EXPECT_EQ(defaults().integerForKey(kQVNLLibraryFilesMigrationCount), 2);
}

TEST_F(MigrationTest, AFailedVerificationKeepsTheFilesButIsNotOfferedAgain)
{
    addRoadsFixture();
    writeFile(supportFolder() + QStringLiteral("/A.symbolslib"), "roads");
    VXQLibraryCatalogue::defaultUserLibrary()->setAllowsContentChanges(false);
    EXPECT_FALSE(helper().performMigration());
    EXPECT_TRUE(QFileInfo::exists(supportFolder() + QStringLiteral("/A.symbolslib")));
    EXPECT_EQ(defaults().integerForKey(kQVNLLibraryFilesMigrationCount), 1);
    EXPECT_FALSE(helper().migrateFileVerify(supportFolder() + QStringLiteral("/missing.symbolslib"), false));
    EXPECT_FALSE(helper().migrateFileVerify(supportFolder() + QStringLiteral("/A.txt"), false));
}

TEST_F(MigrationTest, UpdateWindowContinuesToTheEndAndQuits)
{
    addRoadsFixture();
    writeFile(supportFolder() + QStringLiteral("/A.symbolslib"), "roads");
    helper().setDelegate(nullptr);
    VXQLibraryMigrationController window;
    window.continueAction();
    EXPECT_EQ(window.state(), 1u);
    EXPECT_EQ(window.progressLabel()->text(), QStringLiteral("Update Successful - click 'Continue' to use Quorvane."));
    EXPECT_TRUE(window.continueButton()->isEnabled());
    EXPECT_FALSE(window.quitButton()->isEnabled());
    EXPECT_TRUE(QFileInfo::exists(movedFolder() + QStringLiteral("/A.symbolslib")));
    window.continueAction();
    EXPECT_EQ(window.result(), 1);

    VXQLibraryMigrationController declined;
    declined.quitAction();
    EXPECT_EQ(declined.result(), 0);
    EXPECT_EQ(declined.state(), 0u);
}

TEST_F(MigrationTest, SymbolSetFilesBecomeANewLibraryWithTheirValidCategories)
{
    const VXStylePtr style = makeStyle(QStringLiteral("Coast"));
    const auto master = makeSymbolItem(QStringLiteral("Tower"))->symbolMaster();
    const QVariantMap root{
        {QStringLiteral("ssf_objects_xxy42snig"),
         QVariantList{QVariant::fromValue<ZQObjectPtr>(style), QVariant::fromValue<ZQObjectPtr>(master)}},
        {QStringLiteral("Roads"), QVariantList{style->uniqueKey(), QStringLiteral("not here"), 5}},
        {QStringLiteral("Recently Used"), QVariantList{style->uniqueKey()}},
        {QStringLiteral("Empty"), QVariantList{}},
    };
    platform::KeyedArchiver archiver;
    archiver.encodeObject(QVariant(root), QStringLiteral("root"));
    const QString path = supportFolder() + QStringLiteral("/Coastline.ssf");
    writeFile(path, archiver.finishEncoding());

    const std::shared_ptr<VXQLibrary> library = helper().migrateSSFFile(path);
    ASSERT_TRUE(library);
    EXPECT_EQ(library->name(), QStringLiteral("Coastline"));
    EXPECT_EQ(library->group(), kVXQLibraryUserGroupName);
    EXPECT_EQ(library->itemCount(), 2);
    ASSERT_TRUE(library->categoryWithName(QStringLiteral("Roads")));
    EXPECT_EQ(library->categoryWithName(QStringLiteral("Roads"))->count(), 1);
    EXPECT_EQ(library->categoryWithName(QStringLiteral("Empty")), nullptr);
    EXPECT_EQ(library->itemWithUniqueID(master->uniqueKey())->createdBy(),
              QStringLiteral("Quorvane .ssf file importer (original creator unavailable)"));
    // The same file again makes a second library under a new name.
    EXPECT_EQ(helper().migrateSSFFile(path)->name(), QStringLiteral("Coastline 1"));

    // Bad input makes nothing.
    const QString bad = supportFolder() + QStringLiteral("/Bad.ssf");
    writeFile(bad, "not an archive");
    EXPECT_EQ(helper().migrateSSFFile(bad), nullptr);
    writeFile(bad, "");
    EXPECT_EQ(helper().migrateSSFFile(bad), nullptr);
    platform::KeyedArchiver noObjects;
    noObjects.encodeObject(QVariant(QVariantMap{{QStringLiteral("Roads"), QVariantList{}}}), QStringLiteral("root"));
    writeFile(bad, noObjects.finishEncoding());
    EXPECT_EQ(helper().migrateSSFFile(bad), nullptr);
    platform::KeyedArchiver strangers;
    strangers.encodeObject(QVariant(QVariantMap{{QStringLiteral("ssf_objects_xxy42snig"), QVariantList{1, QStringLiteral("x")}}}),
                           QStringLiteral("root"));
    writeFile(bad, strangers.finishEncoding());
    EXPECT_EQ(helper().migrateSSFFile(bad), nullptr);
    EXPECT_EQ(helper().migrateSSFFile(QString()), nullptr);
    EXPECT_EQ(helper().migrateSSFFile(supportFolder() + QStringLiteral("/A.symbolslib")), nullptr);
    EXPECT_EQ(VXQLibraryCatalogue::libraryWithName(QStringLiteral("Bad")), nullptr);
}

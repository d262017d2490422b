#include "platform/foundation/ProblemReporter.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/ZQAssert.h"
#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointF>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::PropertyList;
using platform::UserDefaults;

namespace {

class UserDefaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        UserDefaults::setStorageLocationForTesting(m_folder.path());
        platform::ProblemReporter::setHandler([this](const QString& message, const QString& detail) {
            problems << message + ' ' + detail;
        });
        problems.clear();
    }
    void TearDown() override
    {
        UserDefaults::setStorageLocationForTesting({});
        platform::ProblemReporter::setHandler({});
    }

    // The problems told to the user so far (they are told in a later event-loop turn).
    QStringList toldProblems()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        return problems;
    }

    static UserDefaults* defaults() { return UserDefaults::standardUserDefaults(); }
    QString domainFile() const { return m_folder.filePath(QCoreApplication::applicationName() + ".plist"); }

    // Runs the write the defaults scheduled for the end of this event-loop turn.
    static void finishEventLoopTurn() { QCoreApplication::sendPostedEvents(defaults()); }

    QTemporaryDir m_folder;
    QStringList problems;
};

} // namespace

TEST_F(UserDefaultsTest, BundleDefaultsReadBackAndAreNeverStored)
{
    ASSERT_TRUE(defaults()->registerDefaultsFromBundleResource("Quorvane_defaults", "plist"));
    EXPECT_EQ(defaults()->integerForKey("kVLTMTabViewOptionsPreferencesKey"), 2);
    EXPECT_EQ(defaults()->arrayForKey("kContourLayerAvailableUnits"), (QVariantList{"Metres", "Feet"}));
    EXPECT_TRUE(defaults()->boolForKey("kTamsiverShouldShowWelcomeVideoCloseAlert"));
    EXPECT_FALSE(defaults()->boolForKey("kVXQLibraryConfirmCategoryDelete"));
    EXPECT_FALSE(QFile::exists(domainFile()));
    EXPECT_FALSE(defaults()->registerDefaultsFromBundleResource("No_such_resource", "plist"));
}

TEST_F(UserDefaultsTest, StoredValuesOverrideRegisteredOnesAndSurviveAReset)
{
    const QDateTime when(QDate(2024, 3, 9), QTime(14, 5, 6), Qt::UTC);
    const QVariantMap nested{{"splits", QVariantList{120.5, 300}}, {"left_sidebar", QVariantMap{{"tab", "Layers"}}}};
    defaults()->registerDefaults({{"kVLTMTabViewOptionsPreferencesKey", 2}, {"kUntouched", "registered"}});
    defaults()->setIntegerForKey(3, "kVLTMTabViewOptionsPreferencesKey");
    defaults()->setBoolForKey(true, "kVXDocumentDontClearUndoOnSave");
    defaults()->setDoubleForKey(0.125, "kVXDocumentPrescaleDefault");
    defaults()->setFloatForKey(1.5f, "kFloat");
    defaults()->setObjectForKey(QByteArray("\x00\xff bookmark", 11), "kVLTMExportOptionsFolderURL");
    defaults()->setObjectForKey(when, "kWhen");
    defaults()->setObjectForKey(nested, "kVLTMDocument_DefaultRestorableState");
    defaults()->setObjectForKey(QStringLiteral("Ünïcode"), "kName");
    defaults()->setURLForKey(QUrl::fromLocalFile("/tmp/exports"), "kFolder");
    defaults()->setURLForKey(QUrl("https://example.org/help?x=1"), "kLink");
    ASSERT_TRUE(defaults()->synchronize());

    QFile file(domainFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("<?xml")) << "stored as an XML property list";

    UserDefaults::resetStandardUserDefaults();
    EXPECT_EQ(defaults()->integerForKey("kVLTMTabViewOptionsPreferencesKey"), 3);
    EXPECT_TRUE(defaults()->stringForKey("kUntouched").isEmpty()) << "registration is not stored";
    EXPECT_TRUE(defaults()->boolForKey("kVXDocumentDontClearUndoOnSave"));
    EXPECT_EQ(defaults()->doubleForKey("kVXDocumentPrescaleDefault"), 0.125);
    EXPECT_EQ(defaults()->floatForKey("kFloat"), 1.5f);
    EXPECT_EQ(defaults()->dataForKey("kVLTMExportOptionsFolderURL"), QByteArray("\x00\xff bookmark", 11));
    EXPECT_EQ(defaults()->objectForKey("kWhen").toDateTime(), when);
    EXPECT_EQ(defaults()->dictionaryForKey("kVLTMDocument_DefaultRestorableState"), nested);
    EXPECT_EQ(defaults()->stringForKey("kName"), QStringLiteral("Ünïcode"));
    EXPECT_EQ(defaults()->urlForKey("kFolder"), QUrl::fromLocalFile("/tmp/exports"));
    EXPECT_EQ(defaults()->urlForKey("kLink"), QUrl("https://example.org/help?x=1"));

    defaults()->registerDefaults({{"kVLTMTabViewOptionsPreferencesKey", 2}});
    defaults()->removeObjectForKey("kVLTMTabViewOptionsPreferencesKey");
    EXPECT_EQ(defaults()->integerForKey("kVLTMTabViewOptionsPreferencesKey"), 2) << "the registered value shows again";
}

TEST_F(UserDefaultsTest, ChangesAreWrittenOncePerEventLoopTurn)
{
    defaults()->setObjectForKey("a", "kFirst");
    defaults()->setObjectForKey("b", "kSecond");
    EXPECT_FALSE(QFile::exists(domainFile()));
    finishEventLoopTurn();
    ASSERT_TRUE(QFile::exists(domainFile()));
    EXPECT_EQ(PropertyList::readFile(domainFile()), QVariant(QVariantMap{{"kFirst", "a"}, {"kSecond", "b"}}));

    defaults()->setObjectForKey("c", "kThird");
    UserDefaults::resetStandardUserDefaults(); // destruction writes what is pending
    EXPECT_EQ(defaults()->stringForKey("kThird"), QStringLiteral("c"));
}

TEST_F(UserDefaultsTest, GettersAnswerEmptyForAbsentAndWrongKinds)
{
    defaults()->setObjectForKey(QVariantList{1, 2}, "kList");
    defaults()->setObjectForKey(QVariantMap{{"a", 1}}, "kMap");
    defaults()->setObjectForKey(QByteArray("raw"), "kData");
    defaults()->setObjectForKey("not a number", "kText");
    EXPECT_FALSE(defaults()->objectForKey("kAbsent").isValid());
    EXPECT_TRUE(defaults()->stringForKey("kAbsent").isNull());
    EXPECT_TRUE(defaults()->dataForKey("kAbsent").isNull());
    // Every getter but the one of the stored kind answers empty, zero or false.
    for (const QString key : {"kAbsent", "kList", "kMap", "kData", "kText"}) {
        SCOPED_TRACE(qPrintable(key));
        EXPECT_EQ(defaults()->stringForKey(key).isEmpty(), key != "kText");
        EXPECT_EQ(defaults()->arrayForKey(key).isEmpty(), key != "kList");
        EXPECT_EQ(defaults()->dictionaryForKey(key).isEmpty(), key != "kMap");
        EXPECT_EQ(defaults()->dataForKey(key).isEmpty(), key != "kData");
        EXPECT_FALSE(defaults()->boolForKey(key));
        EXPECT_EQ(defaults()->integerForKey(key), 0);
        EXPECT_EQ(defaults()->floatForKey(key), 0.0f);
        EXPECT_EQ(defaults()->doubleForKey(key), 0.0);
        EXPECT_TRUE(defaults()->urlForKey(key).isEmpty());
    }
}

TEST_F(UserDefaultsTest, TextAndNumbersConvertLikeThePlatform)
{
    const QList<std::pair<QVariant, bool>> booleans{
        {"YES", true}, {"yes", true}, {"true", true}, {"1", true}, {" 7 ", true},
        {"NO", false}, {"0", false}, {"", false},     {0.0, false}, {0.25, true},
    };
    for (const auto& [value, expected] : booleans) {
        defaults()->setObjectForKey(value, "kFlag");
        EXPECT_EQ(defaults()->boolForKey("kFlag"), expected) << qPrintable(value.toString());
    }

    defaults()->setObjectForKey("42", "kNumber");
    EXPECT_EQ(defaults()->integerForKey("kNumber"), 42);
    defaults()->setObjectForKey("-3.9", "kNumber");
    EXPECT_EQ(defaults()->integerForKey("kNumber"), -3);
    EXPECT_EQ(defaults()->doubleForKey("kNumber"), -3.9);
    defaults()->setDoubleForKey(7.99, "kNumber");
    EXPECT_EQ(defaults()->integerForKey("kNumber"), 7);
    EXPECT_EQ(defaults()->stringForKey("kNumber"), QStringLiteral("7.99"));
    defaults()->setDoubleForKey(1e300, "kNumber");
    EXPECT_EQ(defaults()->integerForKey("kNumber"), std::numeric_limits<qint64>::max());
    defaults()->setBoolForKey(true, "kNumber");
    EXPECT_EQ(defaults()->integerForKey("kNumber"), 1);

    defaults()->setObjectForKey("~/maps", "kPath");
    EXPECT_EQ(defaults()->urlForKey("kPath"), QUrl::fromLocalFile(QDir::homePath() + "/maps"));
}

TEST_F(UserDefaultsTest, RemovingThePersistentDomainForgetsEverythingStored)
{
    defaults()->registerDefaults({{"kRegistered", true}});
    defaults()->setObjectForKey("stored", "kStored");
    ASSERT_TRUE(defaults()->synchronize());
    ASSERT_TRUE(QFile::exists(domainFile()));

    defaults()->removePersistentDomainForName(QCoreApplication::applicationName());
    EXPECT_FALSE(QFile::exists(domainFile()));
    EXPECT_FALSE(defaults()->objectForKey("kStored").isValid());
    EXPECT_TRUE(defaults()->boolForKey("kRegistered"));

    UserDefaults::resetStandardUserDefaults();
    EXPECT_FALSE(defaults()->objectForKey("kStored").isValid());
    EXPECT_FALSE(QFile::exists(domainFile())) << "nothing pending resurrects the file";
}

TEST_F(UserDefaultsTest, ChangesAreSignalledOncePerRealChange)
{
    QStringList changed;
    QObject::connect(defaults(), &UserDefaults::didChange, [&](const QString& key) { changed << key; });
    defaults()->setIntegerForKey(5, "kCount");
    defaults()->setIntegerForKey(5, "kCount");
    defaults()->setObjectForKey(QVariant(), "kCount"); // null removes
    defaults()->removeObjectForKey("kCount");
    defaults()->removePersistentDomainForName(QCoreApplication::applicationName());
    EXPECT_EQ(changed, (QStringList{"kCount", "kCount", QString()}));
    EXPECT_FALSE(defaults()->objectForKey("kCount").isValid());
}

TEST_F(UserDefaultsTest, DamagedFileStartsEmptyAndNonPlistValuesAreRefused)
{
    {
        QFile file(domainFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("bplist00 this is not what it claims");
    }
    {
        testsupport::LogCapture log;
        EXPECT_FALSE(defaults()->objectForKey("kAnything").isValid());
        ASSERT_EQ(log.lines.size(), 1);
        EXPECT_TRUE(log.lines[0].contains("could not be read")) << qPrintable(log.lines[0]);
    }

    EXPECT_THROW(defaults()->setObjectForKey(QPointF(1, 2), "kPoint"), platform::AssertionFailure);
    defaults()->setObjectForKey("fresh", "kAnything");
    ASSERT_TRUE(defaults()->synchronize());
    EXPECT_EQ(PropertyList::readFile(domainFile()), QVariant(QVariantMap{{"kAnything", "fresh"}}));
}

TEST_F(UserDefaultsTest, ADamagedFileIsKeptAsideToldOnceAndReplacedByStandardSettings)
{
    QByteArray stored = *PropertyList::toData(QVariantMap{{"kWidth", 3}}, PropertyList::Format::Xml);
    stored.replace("</dict>", "</dixt>"); // one bad byte
    {
        QFile file(domainFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(stored);
    }
    defaults()->registerDefaults({{"kWidth", 1}});
    EXPECT_EQ(defaults()->integerForKey("kWidth"), 1);
    defaults()->setIntegerForKey(2, "kHeight");
    defaults()->setIntegerForKey(4, "kHeight");
    ASSERT_TRUE(defaults()->synchronize());

    QFile aside(domainFile() + ".damaged");
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), stored);
    EXPECT_EQ(PropertyList::readFile(domainFile()), QVariant(QVariantMap{{"kHeight", 4}}));
    const QStringList told = toldProblems();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(".damaged")) << qPrintable(told[0]);
}

TEST_F(UserDefaultsTest, APipeIsRefusedAtOnceAndALinkIsNeverWrittenThrough)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(domainFile()).constData(), 0600), 0);
    EXPECT_FALSE(defaults()->objectForKey("kAnything").isValid()); // would block on a plain open
    defaults()->setObjectForKey("value", "kAnything");
    EXPECT_FALSE(defaults()->synchronize());
    EXPECT_EQ(QFileInfo(domainFile()).isFile(), false);
    ASSERT_EQ(toldProblems().size(), 1);
    EXPECT_TRUE(problems[0].contains("pipe")) << qPrintable(problems[0]);

    // A link to a file elsewhere is read, but the file it names is never replaced.
    QFile::remove(domainFile());
    const QString elsewhere = m_folder.filePath("elsewhere.plist");
    ASSERT_TRUE(PropertyList::writeFile(QVariantMap{{"kKept", "yes"}}, elsewhere, PropertyList::Format::Xml));
    ASSERT_TRUE(QFile::link(elsewhere, domainFile()));
    UserDefaults::resetStandardUserDefaults();
    problems.clear();
    EXPECT_EQ(defaults()->stringForKey("kKept"), "yes");
    defaults()->setObjectForKey("changed", "kKept");
    EXPECT_FALSE(defaults()->synchronize());
    defaults()->setObjectForKey("again", "kKept");
    EXPECT_FALSE(defaults()->synchronize());
    EXPECT_EQ(PropertyList::readFile(elsewhere), QVariant(QVariantMap{{"kKept", "yes"}}));
    EXPECT_TRUE(QFileInfo(domainFile()).isSymLink());
    ASSERT_EQ(toldProblems().size(), 1);
    EXPECT_TRUE(problems[0].contains("symbolic link")) << qPrintable(problems[0]);
}

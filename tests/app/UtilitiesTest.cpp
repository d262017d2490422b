#include "app/utilities/DictionaryUtilities.h"
#include "app/utilities/FileUtilities.h"
#include "platform/foundation/NamedException.h"
#include "app/utilities/StringUtilities.h"
#include "app/sidebar/ZQHighestCommonClass.h"
#include "platform/foundation/OrderedDictionary.h"
#include "platform/foundation/PropertyList.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXRoundRectShape.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

} // namespace

TEST(StringUtilities, NumericCaseInsensitiveOrderingAndSetterNames)
{
    QStringList names{"Track 10", "track 2", "Track 1", "alpha", "Beta 9", "beta 10"};
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return localisedCaseInsensitiveNumericCompare(a, b) < 0; });
    EXPECT_EQ(names, QStringList({"alpha", "Beta 9", "beta 10", "Track 1", "track 2", "Track 10"}));
    EXPECT_EQ(localisedCaseInsensitiveNumericCompare("Symbol 07", "symbol 07"), 0);

    EXPECT_EQ(capitalizedStringPreservingCamelCase("primaryBarEnabled"), "PrimaryBarEnabled");
    EXPECT_EQ(capitalizedStringPreservingCamelCase("URL"), "URL");
    EXPECT_EQ(capitalizedStringPreservingCamelCase(""), "");
    // The formed name is a selector the runtime finds.
    ZQObject object;
    EXPECT_TRUE(object.respondsToSelector(setterString("objectName").toLatin1()));
    EXPECT_FALSE(object.respondsToSelector(setterString("noSuchKey").toLatin1()));
}

TEST(FileUtilities, UniqueFilenamesCountFromOneAndGiveUpAfter999)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    const auto unique = [&](const QString& name) { return uniqueFilenameForFilenameInDirectory(name, dir.path()); };
    EXPECT_EQ(unique("Map.qvnl"), "Map.qvnl");
    touch(folder.filePath("Map.qvnl"));
    touch(folder.filePath("Map 1.qvnl"));
    EXPECT_EQ(unique("Map.qvnl"), "Map 2.qvnl");

    // No trailing dot without an extension; only the last extension moves; folders count.
    for (const char* name : {"Notes", "roads.tar.gz", ".hidden", "100%1.txt"})
        touch(folder.filePath(name));
    ASSERT_TRUE(folder.mkdir("Towns.qvnlib"));
    EXPECT_EQ(unique("Notes"), "Notes 1");
    EXPECT_EQ(unique("roads.tar.gz"), "roads.tar 1.gz");
    EXPECT_EQ(unique(".hidden"), ".hidden 1");
    EXPECT_EQ(unique("Towns.qvnlib"), "Towns 1.qvnlib");
    EXPECT_EQ(unique("100%1.txt"), "100%1 1.txt");

    touch(folder.filePath("F.x"));
    for (int i = 1; i < 999; ++i)
        touch(folder.filePath(QStringLiteral("F %1.x").arg(i)));
    EXPECT_EQ(unique("F.x"), "F 999.x");
    touch(folder.filePath("F 999.x"));
    try {
        unique("F.x");
        ADD_FAILURE() << "no exception after 999 names";
    } catch (const platform::NamedException& e) {
        EXPECT_EQ(e.name(), "Too Many Files!");
        EXPECT_EQ(e.reason(), QStringLiteral(">999 files in '%1' - are you nuts?").arg(dir.path()));
    }
}

TEST(FileUtilities, FoldersAreCreatedWithTheirParents)
{
    QTemporaryDir dir;
    const QString nested = dir.filePath("a/b/c");
    EXPECT_TRUE(createDirectoryIfNeeded(QUrl::fromLocalFile(nested)));
    EXPECT_TRUE(QFileInfo(nested).isDir());
    EXPECT_TRUE(createDirectoryIfNeeded(QUrl::fromLocalFile(nested))); // already there

    touch(dir.filePath("file"));
    testsupport::LogCapture log;
    EXPECT_FALSE(createDirectoryIfNeeded(QUrl::fromLocalFile(dir.filePath("file"))));
    EXPECT_FALSE(createDirectoryIfNeeded(QUrl::fromLocalFile(dir.filePath("file/below"))));
    EXPECT_FALSE(createDirectoryIfNeeded(QUrl("https://example.invalid/folder")));
    EXPECT_EQ(std::count_if(log.lines.cbegin(), log.lines.cend(),
                            [](const QString& line) { return line.contains("unable to create directory"); }),
              3);
    EXPECT_TRUE(QFileInfo(thisApplicationsSupportFolderURL().toLocalFile()).isDir());
}

TEST(DictionaryUtilities, NumbersAndKeyValuesSurviveAPropertyList)
{
    platform::OrderedDictionary settings;
    setIntValueForKey(settings, 42, "count");
    setBoolValueForKey(settings, true, "visible");
    setFloatValueForKey(settings, 0.1f, "ratio");
    ZQObject track;
    track.setObjectName("Coast road");
    takeValueFromObjectForKeyForDictionaryKey(settings, track, "objectName", "name");

    const auto data = platform::PropertyList::toData(QVariant::fromValue(settings), platform::PropertyList::Format::Binary);
    ASSERT_TRUE(data);
    const auto read = platform::PropertyList::fromData(*data, nullptr, platform::PropertyList::DictionaryType::Ordered);
    ASSERT_TRUE(read);
    const auto back = read->value<platform::OrderedDictionary>();
    EXPECT_EQ(back.keys(), QStringList({"count", "visible", "ratio", "name"}));
    EXPECT_EQ(back.value("count").toInt(), 42);
    EXPECT_EQ(back.value("visible").metaType(), QMetaType::fromType<bool>());
    EXPECT_EQ(back.value("ratio").toDouble(), double(0.1f)); // the float's value, not 0.1
    EXPECT_EQ(back.value("name").toString(), "Coast road");

    QVariantMap map;
    EXPECT_THROW(takeValueFromObjectForKeyForDictionaryKey(map, track, "", "name"), platform::AssertionFailure);
    EXPECT_THROW(takeValueFromObjectForKeyForDictionaryKey(map, track, "objectName", QString()),
                 platform::AssertionFailure);
}

TEST(DictionaryUtilities, MissingMistypedAndNonFiniteEntriesReadZero)
{
    const QVariantMap settings{{"count", 7.9},
                               {"negative", -7.9},
                               {"huge", 1e12},
                               {"nan", std::nan("")},
                               {"flag", true},
                               {"text", QStringLiteral("5")},
                               {"list", QVariantList{1}}};
    EXPECT_EQ(intValueForKey(settings, "count"), 7);
    EXPECT_EQ(intValueForKey(settings, "negative"), -7);
    EXPECT_EQ(intValueForKey(settings, "huge"), INT_MAX);
    EXPECT_EQ(intValueForKey(settings, "flag"), 1);
    for (const char* key : {"nan", "text", "list", "missing"}) {
        EXPECT_EQ(intValueForKey(settings, key), 0) << key;
        EXPECT_EQ(floatValueForKey(settings, key), 0.0) << key;
        EXPECT_FALSE(boolValueForKey(settings, key)) << key;
    }
    EXPECT_TRUE(boolValueForKey(settings, "negative"));
    EXPECT_DOUBLE_EQ(floatValueForKey(settings, "count"), 7.9);
}

TEST(HighestCommonClass, MostDerivedSharedClassOfCollections)
{
    const ZQObjectPtr shape = std::make_shared<VXDrawableShape>();
    const ZQObjectPtr roundRect = std::make_shared<VXRoundRectShape>();
    const ZQObjectPtr path = std::make_shared<VXDrawablePath>();
    const ZQObject plain;

    EXPECT_EQ(ZQHighestCommonClass(QList<ZQObjectPtr>{}), nullptr);
    EXPECT_EQ(ZQHighestCommonClass(QList<ZQObjectPtr>{nullptr, roundRect, nullptr}), &VXRoundRectShape::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QList<ZQObjectPtr>{roundRect, shape}), &VXDrawableShape::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QList<ZQObjectPtr>{roundRect, shape, path}), &VXDrawableObject::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QList<const QObject*>{path.get(), &plain}), &ZQObject::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QList<QPointer<QObject>>{path.get(), roundRect.get()}),
              &VXDrawableObject::staticMetaObject);
    // Dictionaries and variant collections answer for their values.
    EXPECT_EQ(ZQHighestCommonClass(QMap<QString, ZQObjectPtr>{{"a", roundRect}, {"b", shape}}),
              &VXDrawableShape::staticMetaObject);
    const QVariant a = QVariant::fromValue(roundRect), b = QVariant::fromValue(path);
    EXPECT_EQ(ZQHighestCommonClass(QVariant()), nullptr);
    EXPECT_EQ(ZQHighestCommonClass(QVariant(QVariantList{})), nullptr);
    EXPECT_EQ(ZQHighestCommonClass(QVariant(QVariantList{a, b, 5})), &VXDrawableObject::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QVariant(QVariantMap{{"x", a}})), &VXRoundRectShape::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QVariant(QVariantHash{{"x", a}, {"y", b}})), &VXDrawableObject::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QVariant::fromValue(QList<ZQObjectPtr>{roundRect})), &VXRoundRectShape::staticMetaObject);

    for (const QVariant& unsupported : {QVariant(QStringLiteral("objects")), QVariant(3), a}) {
        try {
            ZQHighestCommonClass(unsupported);
            ADD_FAILURE() << "accepted " << unsupported.typeName();
        } catch (const platform::NamedException& e) {
            EXPECT_EQ(e.name(), "ZQUtilitiesDomainError");
            EXPECT_EQ(e.reason(), QStringLiteral("ZQHighestCommonClass - unsupported collection type (%1)")
                                      .arg(QString::fromLatin1(unsupported.typeName())));
        }
    }
}

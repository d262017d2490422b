#include "app/DictionaryUtilities.h"
#include "app/FileUtilities.h"
#include "app/MouseEvents.h"
#include "platform/foundation/NamedException.h"
#include "app/StringUtilities.h"
#include "app/ZQHighestCommonClass.h"
#include "platform/foundation/OrderedDictionary.h"
#include "platform/foundation/PropertyList.h"
#include "platform/vantrix/drawables/VXDrawablePath.h"
#include "platform/vantrix/drawables/VXRoundRectShape.h"
#include "support/LogCapture.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

QMouseEvent mouseEvent(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held)
{
    return QMouseEvent(type, QPointF(1, 1), QPointF(1, 1), button, held, Qt::NoModifier);
}

} // namespace

TEST(StringUtilities, NumericCaseInsensitiveOrdering)
{
    QStringList names{"Track 10", "track 2", "Track 1", "alpha", "Beta 9", "beta 10"};
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return localisedCaseInsensitiveNumericCompare(a, b) < 0; });
    EXPECT_EQ(names, QStringList({"alpha", "Beta 9", "beta 10", "Track 1", "track 2", "Track 10"}));
    EXPECT_LT(localisedCaseInsensitiveNumericCompare("2", "10"), 0);
    EXPECT_GT(localisedCaseInsensitiveNumericCompare("b", "A"), 0);
    EXPECT_EQ(localisedCaseInsensitiveNumericCompare("Symbol 07", "symbol 07"), 0);
}

TEST(StringUtilities, SetterSelectorsResolveOnObjects)
{
    EXPECT_EQ(capitalizedStringPreservingCamelCase("primaryBarEnabled"), "PrimaryBarEnabled");
    EXPECT_EQ(capitalizedStringPreservingCamelCase("URL"), "URL");
    EXPECT_EQ(capitalizedStringPreservingCamelCase(""), "");
    // The formed name is a selector the runtime finds.
    ZQObject object;
    EXPECT_TRUE(object.respondsToSelector(setterString("objectName").toLatin1()));
    EXPECT_FALSE(object.respondsToSelector(setterString("noSuchKey").toLatin1()));
}

TEST(FileUtilities, UniqueFilenamesCountFromOne)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    EXPECT_EQ(uniqueFilenameForFilenameInDirectory("Map.qvnl", dir.path()), "Map.qvnl");
    touch(folder.filePath("Map.qvnl"));
    EXPECT_EQ(uniqueFilenameForFilenameInDirectory("Map.qvnl", dir.path()), "Map 1.qvnl");
    touch(folder.filePath("Map 1.qvnl"));
    EXPECT_EQ(uniqueFilenameForFilenameInDirectory("Map.qvnl", dir.path()), "Map 2.qvnl");

    // No trailing dot without an extension; only the last extension moves; folders count.
    touch(folder.filePath("Notes"));
    EXPECT_EQ(uniqueFilenameForFilenameInDirectory("Notes", dir.path()), "Notes 1");
    touch(folder.filePath("roads.tar.gz"));
    EXPECT_EQ(uniqueFilenameForFilenameInDirectory("roads.tar.gz", dir.path()), "roads.tar 1.gz");
    touch(folder.filePath(".hidden"));
    EXPECT_EQ(uniqueFilenameForFilenameInDirectory(".hidden", dir.path()), ".hidden 1");
    ASSERT_TRUE(folder.mkdir("Towns.qvnlib"));
    EXPECT_EQ(uniqueFilenameForFilenameInDirectory("Towns.qvnlib", dir.path()), "Towns 1.qvnlib");
    touch(folder.filePath("100%1.txt"));
    EXPECT_EQ(uniqueFilenameForFilenameInDirectory("100%1.txt", dir.path()), "100%1 1.txt");
}

TEST(FileUtilities, UniqueFilenamesGiveUpAfter999)
{
    QTemporaryDir dir;
    const QDir folder(dir.path());
    touch(folder.filePath("F.x"));
    for (int i = 1; i < 999; ++i)
        touch(folder.filePath(QStringLiteral("F %1.x").arg(i)));
    EXPECT_EQ(uniqueFilenameForFilenameInDirectory("F.x", dir.path()), "F 999.x");
    touch(folder.filePath("F 999.x"));
    try {
        uniqueFilenameForFilenameInDirectory("F.x", dir.path());
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

    const QUrl support = thisApplicationsSupportFolderURL();
    EXPECT_EQ(support.toLocalFile(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    EXPECT_TRUE(QFileInfo(support.toLocalFile()).isDir());
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

TEST(MouseEvents, ClicksAndDragsByButton)
{
    const auto type = [](QEvent::Type t, Qt::MouseButton button, Qt::MouseButtons held) {
        return mouseEventType(mouseEvent(t, button, held));
    };
    EXPECT_EQ(type(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton), kLeftMouseDown);
    EXPECT_EQ(type(QEvent::MouseButtonDblClick, Qt::RightButton, Qt::RightButton), kRightMouseDown);
    EXPECT_EQ(type(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton), kLeftMouseUp);
    EXPECT_EQ(type(QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton), kRightMouseUp);
    EXPECT_EQ(type(QEvent::MouseButtonPress, Qt::MiddleButton, Qt::MiddleButton), kOtherMouseDown);
    EXPECT_EQ(type(QEvent::MouseButtonRelease, Qt::BackButton, Qt::NoButton), kOtherMouseUp);
    EXPECT_EQ(type(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton | Qt::RightButton), kLeftMouseDragged);
    EXPECT_EQ(type(QEvent::MouseMove, Qt::NoButton, Qt::RightButton | Qt::MiddleButton), kRightMouseDragged);
    EXPECT_EQ(type(QEvent::MouseMove, Qt::NoButton, Qt::MiddleButton), kOtherMouseDragged);

    EXPECT_FALSE(isMouseEventType(mouseEvent(QEvent::MouseMove, Qt::NoButton, Qt::NoButton)));
    EXPECT_FALSE(isMouseEventType(QEvent(QEvent::Enter)));
    EXPECT_FALSE(isMouseEventType(QEvent(QEvent::MouseButtonPress))); // the type alone is not a mouse event
    EXPECT_FALSE(isMouseEventType(QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier)));
    EXPECT_TRUE(isMouseEventType(mouseEvent(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton)));
}

TEST(HighestCommonClass, MostDerivedSharedClass)
{
    const auto shape = std::make_shared<VXDrawableShape>();
    const auto roundRect = std::make_shared<VXRoundRectShape>();
    const auto path = std::make_shared<VXDrawablePath>();

    EXPECT_EQ(ZQHighestCommonClass(QList<ZQObjectPtr>{}), nullptr);
    EXPECT_EQ(ZQHighestCommonClass(QList<ZQObjectPtr>{roundRect}), &VXRoundRectShape::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QList<ZQObjectPtr>{roundRect, shape}), &VXDrawableShape::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QList<ZQObjectPtr>{roundRect, shape, path}), &VXDrawableObject::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QList<ZQObjectPtr>{nullptr, roundRect, nullptr}), &VXRoundRectShape::staticMetaObject);
    const ZQObject plain;
    EXPECT_EQ(ZQHighestCommonClass(QList<const QObject*>{path.get(), &plain}), &ZQObject::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QList<QPointer<QObject>>{path.get(), roundRect.get()}),
              &VXDrawableObject::staticMetaObject);
    // Dictionaries answer for their values.
    const QMap<QString, ZQObjectPtr> byName{{"a", roundRect}, {"b", shape}};
    EXPECT_EQ(ZQHighestCommonClass(byName), &VXDrawableShape::staticMetaObject);
}

TEST(HighestCommonClass, VariantCollectionsAndUnsupportedTypes)
{
    const ZQObjectPtr roundRect = std::make_shared<VXRoundRectShape>();
    const ZQObjectPtr path = std::make_shared<VXDrawablePath>();
    const QVariant a = QVariant::fromValue(roundRect), b = QVariant::fromValue(path);

    EXPECT_EQ(ZQHighestCommonClass(QVariant()), nullptr);
    EXPECT_EQ(ZQHighestCommonClass(QVariant(QVariantList{a, b, 5})), &VXDrawableObject::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QVariant(QVariantMap{{"x", a}})), &VXRoundRectShape::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QVariant(QVariantHash{{"x", a}, {"y", b}})), &VXDrawableObject::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QVariant::fromValue(QList<ZQObjectPtr>{roundRect})), &VXRoundRectShape::staticMetaObject);
    EXPECT_EQ(ZQHighestCommonClass(QVariant(QVariantList{})), nullptr);

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

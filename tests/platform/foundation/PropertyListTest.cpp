#include "platform/foundation/PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QPointF>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

using platform::OrderedDictionary;
using platform::PlistUid;
using platform::PropertyList;
using Format = PropertyList::Format;

namespace {

QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0, int msec = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, msec), Qt::UTC);
}

// A value of every kind, nested, with dates to the second (XML keeps no more).
QVariantMap everyKind()
{
    QVariantMap inner;
    inner["data"] = QByteArray("\x00\x01\xfe\xff", 4);
    inner["empty list"] = QVariantList();
    inner["empty map"] = QVariantMap();
    return QVariantMap{
        {"string", QStringLiteral("Grüße, 東京 & <tags> 🗺")},
        {"empty string", QString("")},
        {"integer", qint64(-42)},
        {"real", 3.141592653589793},
        {"tiny real", 5e-324},
        {"true", true},
        {"false", false},
        {"date", utc(2023, 5, 17, 8, 30, 15)},
        {"uid", QVariant::fromValue(PlistUid{12})},
        {"list", QVariantList{1, QStringLiteral("two"), QVariantList{3.5, QVariantMap{{"deep", true}}}}},
        {"map", inner},
    };
}

QVariant roundTrip(const QVariant& value, Format format,
                   PropertyList::DictionaryType dictionaries = PropertyList::DictionaryType::Map)
{
    QuorvaneError error;
    const auto data = PropertyList::toData(value, format, &error);
    EXPECT_TRUE(data.has_value()) << qPrintable(error.localizedDescription());
    if (!data)
        return {};
    const auto back = PropertyList::fromData(*data, &error, dictionaries);
    EXPECT_TRUE(back.has_value()) << qPrintable(error.localizedDescription());
    return back.value_or(QVariant());
}

void expectReadError(const QByteArray& data, const char* what)
{
    QuorvaneError error;
    EXPECT_FALSE(PropertyList::fromData(data, &error).has_value()) << what;
    EXPECT_EQ(error.code(), kQuorvaneDocumentError) << what;
    EXPECT_EQ(error.domain(), QStringLiteral("Quorvane Error")) << what;
    EXPECT_FALSE(error.localizedDescription().isEmpty()) << what;
}

// Assembles binary property lists object by object, for structures no writer makes.
class BinaryPlistBuilder {
public:
    explicit BinaryPlistBuilder(int offsetSize = 4) : m_offsetSize(offsetSize) {}

    int add(const QByteArray& object)
    {
        m_objects.append(object);
        return int(m_objects.size() - 1);
    }
    static QByteArray reference(int index)
    {
        QByteArray bytes(2, '\0');
        qToBigEndian<quint16>(quint16(index), bytes.data());
        return bytes;
    }
    static QByteArray array(const QList<int>& children)
    {
        QByteArray bytes(1, char(0xA0 | std::min<qsizetype>(children.size(), 0xF)));
        if (children.size() >= 0xF)
            bytes += QByteArray("\x11") + reference(int(children.size()));
        for (int child : children)
            bytes += reference(child);
        return bytes;
    }
    QByteArray build(int top = 0) const
    {
        QByteArray bytes("bplist00");
        QList<quint32> offsets;
        for (const QByteArray& object : m_objects) {
            offsets.append(quint32(bytes.size()));
            bytes += object;
        }
        const quint64 table = quint64(bytes.size());
        for (quint32 offset : offsets) {
            char entry[4];
            qToBigEndian(offset, entry);
            bytes.append(entry + 4 - m_offsetSize, m_offsetSize);
        }
        QByteArray trailer(32, '\0');
        trailer[6] = char(m_offsetSize);
        trailer[7] = 2; // reference size
        qToBigEndian<quint64>(quint64(m_objects.size()), trailer.data() + 8);
        qToBigEndian<quint64>(quint64(top), trailer.data() + 16);
        qToBigEndian<quint64>(table, trailer.data() + 24);
        return bytes + trailer;
    }

private:
    int m_offsetSize;
    QList<QByteArray> m_objects;
};

// `depth` arrays, each holding the next.
QByteArray nestedBinaryArrays(int depth)
{
    BinaryPlistBuilder builder;
    for (int i = 0; i < depth; ++i)
        builder.add(i + 1 < depth ? BinaryPlistBuilder::array({i + 1}) : BinaryPlistBuilder::array({}));
    return builder.build();
}

QByteArray nestedXmlArrays(int depth)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">" + QByteArray("<array>").repeated(depth)
        + QByteArray("</array>").repeated(depth) + "</plist>";
}

int nestingOf(QVariant value)
{
    int depth = 0;
    while (value.typeId() == QMetaType::QVariantList) {
        ++depth;
        const QVariantList list = value.toList();
        value = list.isEmpty() ? QVariant() : list.first();
    }
    return depth;
}

class PropertyListFormats : public ::testing::TestWithParam<Format> {};

} // namespace

// ---------------------------------------------------------------------------------------
// Round trips

TEST_P(PropertyListFormats, EveryKindSurvivesNestedAndTheFormatIsDetectedFromTheBytes)
{
    const QByteArray data = *PropertyList::toData(everyKind(), GetParam());
    EXPECT_TRUE(data.startsWith(GetParam() == Format::Xml ? "<?xml" : "bplist00"));
    EXPECT_EQ(PropertyList::fromData(data), QVariant(everyKind()));
    for (const QVariant& value : {QVariant(qint64(42)), QVariant(QStringLiteral("text")), QVariant(true),
                                  QVariant(QByteArray("raw")), QVariant(utc(1999, 1, 2, 3, 4, 5))})
        EXPECT_EQ(roundTrip(value, GetParam()), value) << value.typeName();

    // The writer takes the other Qt types a caller may hand it.
    const QVariantMap back = roundTrip(QVariantMap{{"int", int(-7)}, {"uint", uint(4000000000u)}, {"float", 0.5f},
                                                   {"date", QDate(2020, 2, 29)}, {"strings", QStringList{"p", "q"}},
                                                   {"hash", QVariantHash{{"b", 2}, {"a", 1}}}},
                                       GetParam()).toMap();
    EXPECT_EQ(back["int"].toLongLong(), -7);
    EXPECT_EQ(back["uint"].toLongLong(), 4000000000LL);
    EXPECT_EQ(back["float"].toDouble(), 0.5);
    EXPECT_EQ(back["date"].toDateTime(), utc(2020, 2, 29));
    EXPECT_EQ(back["strings"].toList(), (QVariantList{"p", "q"}));
    EXPECT_EQ(back["hash"].toMap(), (QVariantMap{{"a", 1}, {"b", 2}}));
}

TEST_P(PropertyListFormats, OrderedDictionaryKeepsInsertionOrder)
{
    OrderedDictionary inner;
    for (const char* key : {"zulu", "alpha", "mike", "bravo"})
        inner.insert(key, QString(key).toUpper());
    OrderedDictionary outer;
    outer.insert("second", QVariant::fromValue(inner));
    outer.insert("first", QVariantList{QVariant::fromValue(inner)});

    const QVariant back = roundTrip(QVariant::fromValue(outer), GetParam(), PropertyList::DictionaryType::Ordered);
    ASSERT_EQ(back.typeId(), qMetaTypeId<OrderedDictionary>());
    const auto read = back.value<OrderedDictionary>();
    EXPECT_EQ(read.keys(), (QStringList{"second", "first"}));
    EXPECT_EQ(read.value("second").value<OrderedDictionary>().keys(), (QStringList{"zulu", "alpha", "mike", "bravo"}));
    EXPECT_EQ(read, outer);
    // Read as maps, the same content.
    EXPECT_EQ(roundTrip(QVariant::fromValue(outer), GetParam()).toMap().value("second").toMap(), inner.toMap());
}

TEST_P(PropertyListFormats, IntegersDatesAndUidsKeepTheirRange)
{
    constexpr qint64 minimum = std::numeric_limits<qint64>::min();
    constexpr qint64 maximum = std::numeric_limits<qint64>::max();
    constexpr quint64 unsignedMaximum = std::numeric_limits<quint64>::max();
    const QVariantList integers{qint64(0), qint64(-1), minimum, maximum, quint64(maximum) + 1, unsignedMaximum};
    const QVariantList back = roundTrip(integers, GetParam()).toList();
    EXPECT_EQ(back, integers);
    ASSERT_EQ(back.size(), integers.size());
    for (int i = 0; i < back.size(); ++i)
        EXPECT_EQ(back[i].typeId(), i < 4 ? QMetaType::LongLong : QMetaType::ULongLong) << i;

    // Dates beyond 32-bit seconds and before 2001, kept to the millisecond in binary.
    QVariantList dates{utc(2001, 1, 1), utc(1900, 2, 28, 23, 59, 59), utc(4001, 1, 1), utc(1601, 7, 4, 12),
                       utc(2000, 12, 31, 23, 59, 59)};
    if (GetParam() == Format::Binary)
        dates << utc(2001, 1, 1, 0, 0, 0, 250) << utc(2000, 12, 31, 23, 59, 59, 500) << utc(1999, 6, 1, 10, 0, 0, 1)
              << utc(2150, 1, 1, 0, 0, 0, 999);
    const QVariantList datesBack = roundTrip(dates, GetParam()).toList();
    ASSERT_EQ(datesBack.size(), dates.size());
    for (int i = 0; i < dates.size(); ++i) {
        EXPECT_EQ(datesBack[i].typeId(), QMetaType::QDateTime);
        EXPECT_EQ(datesBack[i].toDateTime(), dates[i].toDateTime()) << qPrintable(dates[i].toDateTime().toString(Qt::ISODate));
        EXPECT_EQ(datesBack[i].toDateTime().timeSpec(), Qt::UTC);
    }

    const QVariantList uids{QVariant::fromValue(PlistUid{0}), QVariant::fromValue(PlistUid{255}),
                            QVariant::fromValue(PlistUid{70000}), QVariant::fromValue(PlistUid{0xffffffff})};
    const QVariantMap archive{{"$top", QVariantMap{{"root", QVariant::fromValue(PlistUid{1})}}}, {"$objects", uids}};
    const QVariant archiveBack = roundTrip(archive, GetParam());
    EXPECT_EQ(archiveBack, QVariant(archive));
    EXPECT_EQ(archiveBack.toMap()["$top"].toMap()["root"].value<PlistUid>().value, 1u);
    // Wider UIDs would be written but not read back.
    EXPECT_FALSE(PropertyList::toData(QVariant::fromValue(PlistUid{quint64(1) << 32}), GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Formats, PropertyListFormats, ::testing::Values(Format::Xml, Format::Binary),
                         [](const auto& info) { return info.param == Format::Xml ? "Xml" : "Binary"; });

TEST(PropertyList, OddOffsetSizesOfOtherWritersRead)
{
    BinaryPlistBuilder builder(3); // as libplist writes once offsets pass 65535
    builder.add(BinaryPlistBuilder::array({1, 2}));
    builder.add("\x10\x07");
    builder.add("\x51" "x");
    EXPECT_EQ(PropertyList::fromData(builder.build()), QVariant(QVariantList{7, "x"}));
}

// ---------------------------------------------------------------------------------------
// Refused values

TEST(PropertyList, UnsupportedValuesAreRefusedWithAnError)
{
    const QList<QVariant> refused{
        QVariant(),
        QPointF(1, 2),
        QVariantList{1, QPointF(1, 2)},
        QVariantMap{{"inner", QVariantMap{{"bad", QVariant()}}}},
        QDateTime(),
        QString(QStringLiteral("cut") + QChar(0) + QStringLiteral("short")),
        QVariantMap{{QStringLiteral("key") + QChar(0), 1}},
    };
    for (const QVariant& value : refused) {
        for (Format format : {Format::Xml, Format::Binary}) {
            QuorvaneError error;
            EXPECT_FALSE(PropertyList::toData(value, format, &error).has_value()) << value.typeName();
            EXPECT_EQ(error.code(), kQuorvaneDocumentError);
            EXPECT_EQ(error.domain(), kQuorvaneErrorDomain);
        }
        EXPECT_FALSE(PropertyList::isPropertyListValue(value));
    }
    EXPECT_TRUE(PropertyList::isPropertyListValue(everyKind()));
}

// ---------------------------------------------------------------------------------------
// Hostile input

TEST(PropertyList, DamagedBytesEndInErrors)
{
    expectReadError({}, "empty");
    expectReadError("bplist00", "header only");
    expectReadError("bplist00" + QByteArray(40, '\xff'), "garbage trailer");
    expectReadError("<?xml version=\"1.0\"?><plist><dict><key>a</key>", "unterminated XML");
    expectReadError("<plist><integer>12</plist>", "mismatched XML");
    expectReadError("PK\x03\x04 not a plist at all", "wrong magic");

    const QByteArray binary = *PropertyList::toData(everyKind(), Format::Binary);
    for (qsizetype length = 0; length < binary.size(); ++length)
        expectReadError(binary.left(length), "truncated binary");
    const QByteArray xml = *PropertyList::toData(everyKind(), Format::Xml);
    for (qsizetype length = 0; length < xml.size() - 20; length += 7)
        expectReadError(xml.left(length), "truncated XML");
}

TEST(PropertyList, RandomAndMutatedBytesNeverCrash)
{
    QRandomGenerator random(20240611);
    const QByteArray binary = *PropertyList::toData(everyKind(), Format::Binary);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = binary;
        for (int flips = 1 + random.bounded(4); flips > 0; --flips)
            bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
        QuorvaneError error;
        const auto value = PropertyList::fromData(bytes, &error);
        if (value)
            ++accepted;
        else
            EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    }
    for (int round = 0; round < 500; ++round) {
        QByteArray noise(random.bounded(1, 200), '\0');
        for (char& byte : noise)
            byte = char(random.bounded(256));
        if (round % 2)
            noise.replace(0, 8, "bplist00");
        PropertyList::fromData(noise);
    }
    EXPECT_GT(accepted, 0); // flips inside strings and numbers still read
}

TEST(PropertyList, NestingIsCappedWhenWritingAndReading)
{
    const int cap = PropertyList::kMaximumDepth;
    QVariant deepest = QVariantList();
    for (int depth = 1; depth < cap; ++depth)
        deepest = QVariantList{deepest};
    EXPECT_EQ(nestingOf(roundTrip(deepest, Format::Binary)), cap);
    QuorvaneError error;
    EXPECT_FALSE(PropertyList::toData(QVariantList{deepest}, Format::Binary, &error));
    EXPECT_TRUE(error.localizedDescription().contains("deeper"));

    EXPECT_EQ(nestingOf(PropertyList::fromData(nestedXmlArrays(cap)).value_or(QVariant())), cap);
    EXPECT_EQ(nestingOf(PropertyList::fromData(nestedBinaryArrays(cap)).value_or(QVariant())), cap);
    expectReadError(nestedXmlArrays(cap + 1), "XML one level too deep");
    expectReadError(nestedBinaryArrays(cap + 1), "binary one level too deep");
    // Deep enough to overflow the parser's stack if it ever saw it.
    expectReadError(nestedXmlArrays(400000), "XML far too deep");
    expectReadError(nestedBinaryArrays(60000), "binary far too deep");
}

TEST(PropertyList, CyclesAndHugeDeclaredSizesAreRefusedAndSharedLeavesRead)
{
    BinaryPlistBuilder selfReference;
    selfReference.add(BinaryPlistBuilder::array({0}));
    expectReadError(selfReference.build(), "array holding itself");
    BinaryPlistBuilder loop; // dict {"a": [ dict ]}
    loop.add(QByteArray("\xD1") + BinaryPlistBuilder::reference(1) + BinaryPlistBuilder::reference(2));
    loop.add("\x51" "a");
    loop.add(BinaryPlistBuilder::array({0}));
    expectReadError(loop.build(), "dictionary reached again through an array");

    // Sharing a leaf is what ordinary writers do, and reads (exploding shares: BinaryPropertyListCheck).
    BinaryPlistBuilder uniqued;
    uniqued.add(BinaryPlistBuilder::array(QList<int>(100, 1)));
    uniqued.add("\x56" "shared");
    EXPECT_EQ(PropertyList::fromData(uniqued.build()), QVariant(QVariantList(100, QStringLiteral("shared"))));

    const auto withObject = [](const QByteArray& object) {
        BinaryPlistBuilder builder;
        builder.add(object);
        return builder.build();
    };
    expectReadError(withObject(QByteArray("\x4F\x13") + QByteArray("\x7f\xff\xff\xff\xff\xff\xff\xff", 8)), "data");
    expectReadError(withObject(QByteArray("\x6F\x13") + QByteArray("\x40\x00\x00\x00\x00\x00\x00\x00", 8)), "UTF-16");
    expectReadError(withObject(QByteArray("\xAF\x13") + QByteArray("\x10\x00\x00\x00\x00\x00\x00\x00", 8)), "array");
    expectReadError(withObject(QByteArray("\xDF\x12\xff\xff\xff\xff")), "dictionary");
    QByteArray lyingTrailer = withObject("\x09");
    qToBigEndian<quint64>(quint64(1) << 62, lyingTrailer.data() + lyingTrailer.size() - 24);
    expectReadError(lyingTrailer, "object count");
    QByteArray badTop = withObject("\x09");
    qToBigEndian<quint64>(7, badTop.data() + badTop.size() - 16);
    expectReadError(badTop, "top object");
}

// ---------------------------------------------------------------------------------------
// Files

TEST(PropertyList, FilesRoundTripAndFailedWritesKeepTheOldFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("settings.plist");
    ASSERT_TRUE(PropertyList::writeFile(everyKind(), path, Format::Xml));
    EXPECT_EQ(PropertyList::readFile(path), QVariant(everyKind()));

    QuorvaneError error;
    EXPECT_FALSE(PropertyList::writeFile(QVariantMap{{"bad", QPointF()}}, path, Format::Binary, &error));
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    EXPECT_EQ(PropertyList::readFile(path), QVariant(everyKind()));

    EXPECT_FALSE(PropertyList::writeFile(1, folder.filePath("missing/folder/x.plist"), Format::Xml, &error));
    EXPECT_TRUE(error.localizedDescription().contains("missing/folder")) << qPrintable(error.localizedDescription());

    EXPECT_FALSE(PropertyList::readFile(folder.filePath("absent.plist"), &error).has_value());
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
}

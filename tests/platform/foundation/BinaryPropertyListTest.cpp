#include "platform/foundation/BinaryPropertyListCheck.h"
#include "platform/foundation/BinaryPropertyListReader.h"
#include "platform/foundation/BinaryPropertyListWriter.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/ZQAssert.h"

#include <QDateTime>
#include <QtEndian>
#include <gtest/gtest.h>

#include <limits>
#include <vector>

using platform::BinaryPropertyListReader;
using platform::BinaryPropertyListWriter;
using platform::PropertyList;
using Ref = BinaryPropertyListWriter::Ref;

namespace {

constexpr int kDepth = 16;

QString problemOf(const QByteArray& data, int maximumDepth = kDepth)
{
    return platform::binaryPropertyListProblem(data, maximumDepth);
}

// `depth` arrays, each holding the next; the innermost is empty.
Ref nestedArrays(BinaryPropertyListWriter& writer, int depth)
{
    Ref inner = writer.array({});
    for (int level = 1; level < depth; ++level)
        inner = writer.array(std::vector<Ref>{inner});
    return inner;
}

// Object i is an array holding object i+1 `fan` times, so a few hundred bytes stand for
// fan^(levels-1) objects once a parser follows every reference. One-byte offsets and
// references, so single bytes can be patched.
QByteArray sharedSubtreeBomb(int levels, int fan)
{
    QByteArray bytes("bplist00");
    QList<quint8> offsets;
    for (int i = 0; i < levels; ++i) {
        offsets << quint8(bytes.size());
        const int members = i == levels - 1 ? 0 : fan;
        bytes.append(char(0xa0 | members));
        bytes.append(QByteArray(members, char(i + 1)));
    }
    const quint8 table = quint8(bytes.size());
    for (quint8 offset : offsets)
        bytes.append(char(offset));
    QByteArray trailer(32, '\0');
    trailer[6] = 1; // offset size
    trailer[7] = 1; // reference size
    trailer[15] = char(levels);
    trailer[31] = char(table);
    return bytes + trailer;
}

// The same property list with `extra` more objects that nothing refers to: entries of the
// offset table that all lead to the first object.
QByteArray withUnreferencedObjects(const QByteArray& plist, quint64 extra)
{
    const char* trailer = plist.constData() + plist.size() - 32;
    const int offsetSize = trailer[6];
    const quint64 count = qFromBigEndian<quint64>(trailer + 8);
    const qsizetype tableEnd = qsizetype(qFromBigEndian<quint64>(trailer + 24) + count * offsetSize);
    QByteArray aliases(qsizetype(extra) * offsetSize, '\0');
    for (qsizetype at = offsetSize - 1; at < aliases.size(); at += offsetSize)
        aliases[at] = 8; // just after the header
    QByteArray newTrailer(trailer, 32);
    qToBigEndian<quint64>(count + extra, newTrailer.data() + 8);
    return plist.first(tableEnd) + aliases + newTrailer;
}

QByteArray withObjectCount(QByteArray plist, quint64 count)
{
    qToBigEndian<quint64>(count, plist.data() + plist.size() - 24);
    return plist;
}

} // namespace

// ---------------------------------------------------------------------------------------
// Writing

TEST(BinaryPropertyListWriter, LaysOutObjectsOffsetsAndTrailer)
{
    BinaryPropertyListWriter writer;
    const Ref members[] = {writer.integer(1), writer.string("a"), writer.boolean(true)};
    const QByteArray expected = QByteArray("bplist00")
        + QByteArray::fromHex("1001" "5161" "09" "a3000102") // objects at 8, 10, 12, 13
        + QByteArray::fromHex("080a0c0d")                    // offset table at 17
        + QByteArray::fromHex("000000000000" "01" "01" "0000000000000004" "0000000000000003" "0000000000000011");
    EXPECT_EQ(writer.serialize(writer.array(members)).toHex(), expected.toHex());
}

TEST(BinaryPropertyListWriter, EqualScalarsAreSharedAndPendingUidsAreNot)
{
    BinaryPropertyListWriter writer;
    EXPECT_EQ(writer.string("name"), writer.string(QStringLiteral("name")));
    EXPECT_EQ(writer.integer(-3), writer.integer(-3));
    EXPECT_EQ(writer.real(0.1), writer.real(0.1));
    EXPECT_NE(writer.real(0.0), writer.real(-0.0)) << "shared by bits, not by value";
    EXPECT_EQ(writer.uid(7), writer.uid(7));
    EXPECT_NE(writer.integer(7), writer.uid(7));
    EXPECT_EQ(writer.unsignedInteger(5), writer.integer(5));
    EXPECT_NE(writer.unsignedInteger(std::numeric_limits<quint64>::max()), writer.integer(-1));
    const Ref pending = writer.pendingUid();
    EXPECT_NE(pending, writer.pendingUid());
    EXPECT_NE(pending, writer.uid(0));
    EXPECT_THROW(writer.dictionary(std::vector<Ref>{pending}, {}), platform::AssertionFailure);

    // A UID first met above the object count is still shared once objects outnumber it.
    const Ref far = writer.uid(5000);
    for (int i = 0; i < 6000; ++i)
        writer.integer(i);
    EXPECT_EQ(writer.uid(5000), far);
    EXPECT_EQ(writer.uid(5001), writer.uid(5001));
    EXPECT_NE(writer.uid(5001), far);
}

TEST(BinaryPropertyListWriter, ManyObjectsTakeThreeByteReferencesAndOffsets)
{
    BinaryPropertyListWriter writer;
    std::vector<Ref> members;
    QVariantList expected;
    for (int i = 0; i < 70'000; ++i) {
        members.push_back(writer.integer(i));
        expected << qint64(i);
    }
    const QByteArray data = writer.serialize(writer.array(members));
    EXPECT_EQ(int(data[data.size() - 26]), 3) << "offset size";
    EXPECT_EQ(int(data[data.size() - 25]), 3) << "reference size";
    EXPECT_EQ(problemOf(data), QString());
    EXPECT_EQ(PropertyList::fromData(data), QVariant(expected));
}

// ---------------------------------------------------------------------------------------
// The structural check

TEST(BinaryPropertyListCheck, NestingIsCountedInContainersAlsoThroughSharedSubtrees)
{
    BinaryPropertyListWriter writer;
    EXPECT_EQ(problemOf(writer.serialize(nestedArrays(writer, kDepth))), QString());
    const QString tooDeep = problemOf(writer.serialize(nestedArrays(writer, kDepth + 1)));
    EXPECT_TRUE(tooDeep.contains("deeper than 16")) << qPrintable(tooDeep);

    // The chain is measured once, at depth 1; met again one level lower it is too deep.
    BinaryPropertyListWriter shared;
    const Ref chain = nestedArrays(shared, kDepth - 1);
    const Ref members[] = {chain, shared.array(std::vector<Ref>{chain})};
    EXPECT_TRUE(problemOf(shared.serialize(shared.array(members))).contains("deeper"));
    EXPECT_EQ(problemOf(shared.serialize(shared.array(std::vector<Ref>{chain, chain}))), QString());
}

TEST(BinaryPropertyListCheck, SharedSubtreesMayNotExpandBeyondTheBudget)
{
    EXPECT_EQ(problemOf(sharedSubtreeBomb(4, 3)), QString());
    const QByteArray bomb = sharedSubtreeBomb(12, 14);
    EXPECT_TRUE(problemOf(bomb, 64).contains("expand")) << qPrintable(problemOf(bomb, 64));
    EXPECT_FALSE(PropertyList::fromData(bomb).has_value());
    QuorvaneError error;
    EXPECT_EQ(platform::KeyedUnarchiver::unarchiveObjectWithData(bomb, &error), nullptr);
    EXPECT_TRUE(error.localizedDescription().contains("expand")) << qPrintable(error.localizedDescription());

    // About 64 bytes of parsed form per input byte: a leaf shared 60,000 times passes,
    // one whose payload is copied 60,000 times does not.
    BinaryPropertyListWriter flags;
    EXPECT_EQ(problemOf(flags.serialize(flags.array(std::vector<Ref>(60'000, flags.boolean(true))))), QString());
    BinaryPropertyListWriter texts;
    const Ref text = texts.string(QString(200, 'x'));
    EXPECT_TRUE(problemOf(texts.serialize(texts.array(std::vector<Ref>(60'000, text)))).contains("expand"));
}

TEST(BinaryPropertyListCheck, DamagedReferencesAndKeysAreRefused)
{
    QByteArray cyclic = sharedSubtreeBomb(3, 1);
    cyclic[11] = 0; // object 1 (marker at 10) refers back to object 0
    EXPECT_TRUE(problemOf(cyclic).contains("cycle"));
    QByteArray missing = sharedSubtreeBomb(3, 1);
    missing[9] = 7; // object 0 refers to an object that does not exist
    EXPECT_TRUE(problemOf(missing).contains("damaged"));
    QByteArray intoTable = sharedSubtreeBomb(3, 1);
    intoTable[intoTable.size() - 32 - 1] = char(intoTable.size() - 32 - 3); // last offset points into the table
    EXPECT_TRUE(problemOf(intoTable).contains("damaged"));
    QByteArray notBinary = sharedSubtreeBomb(3, 1);
    notBinary[7] = '1';
    EXPECT_FALSE(problemOf(notBinary).isEmpty());

    BinaryPropertyListWriter writer;
    const Ref value = writer.boolean(true);
    const auto dictionaryWithKey = [&](Ref key) {
        return writer.serialize(writer.dictionary(std::vector<Ref>{key}, std::vector<Ref>{value}));
    };
    EXPECT_EQ(problemOf(dictionaryWithKey(writer.string(QString::fromUtf8("schlüssel")))), QString());
    EXPECT_TRUE(problemOf(dictionaryWithKey(writer.integer(1))).contains("not a string"));
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    EXPECT_TRUE(problemOf(dictionaryWithKey(writer.string(withNul))).contains("NUL"));
}

TEST(BinaryPropertyListCheck, TheObjectCountIsBoundByTheOffsetTableInTheFile)
{
    BinaryPropertyListWriter writer;
    const Ref members[] = {writer.integer(7), writer.string("seven")};
    const QByteArray plist = writer.serialize(writer.array(members));
    ASSERT_EQ(problemOf(plist), QString());
    const quint64 count = qFromBigEndian<quint64>(plist.constData() + plist.size() - 24);

    // Large maps archive as more than 2^24 objects; the count is no reason to refuse them.
    const quint64 extra = (quint64(1) << 24) + 3;
    const QByteArray many = withUnreferencedObjects(plist, extra);
    EXPECT_EQ(problemOf(many), QString());
    BinaryPropertyListReader reader;
    ASSERT_EQ(reader.open(many, kDepth), QString());
    EXPECT_EQ(reader.integer(reader.member(reader.top(), 0)), 7u);
    EXPECT_EQ(reader.string(reader.member(reader.top(), 1)), "seven");
    EXPECT_EQ(reader.object(count + extra - 1).type, BinaryPropertyListReader::Type::Integer) << "the last alias";
    EXPECT_FALSE(reader.object(count + extra));

    // A count past what the offset table holds, by one or by far, is damage, refused before
    // anything is allocated for it.
    const QByteArray padded = withUnreferencedObjects(plist, 1000);
    EXPECT_EQ(problemOf(withObjectCount(padded, count + 1000)), QString());
    for (const quint64 claimed : {count + 1001, quint64(1) << 40, std::numeric_limits<quint64>::max()}) {
        EXPECT_TRUE(problemOf(withObjectCount(padded, claimed)).contains("damaged")) << claimed;
        EXPECT_TRUE(problemOf(withObjectCount(plist, claimed)).contains("damaged")) << claimed;
        EXPECT_FALSE(PropertyList::fromData(withObjectCount(plist, claimed)).has_value()) << claimed;
    }
}

TEST(BinaryPropertyListCheck, AKeyedArchiveOfMoreThan2To24ObjectsOpensAndDecodes)
{
    const QVariantList values{QStringLiteral("road"), qint64(42), 0.05};
    platform::KeyedArchiver archiver;
    archiver.encodeObject(QVariant(values), QStringLiteral("root"));
    const QByteArray many = withUnreferencedObjects(archiver.finishEncoding(), (quint64(1) << 24) + 1);
    platform::KeyedUnarchiver unarchiver(many);
    ASSERT_TRUE(unarchiver.isValid()) << qPrintable(unarchiver.error().localizedDescription());
    EXPECT_EQ(unarchiver.decodeValue(QStringLiteral("root")), QVariant(values));
}

// ---------------------------------------------------------------------------------------
// Reading

TEST(BinaryPropertyListReader, ScalarsOfEveryWidthReadBackFromTheirKeys)
{
    BinaryPropertyListWriter writer;
    const QString nul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    const Ref pending = writer.pendingUid();
    const std::pair<const char*, Ref> entries[] = {
        {"byte", writer.integer(200)},
        {"short", writer.integer(300)},
        {"long", writer.integer(70'000)},
        {"negative", writer.integer(std::numeric_limits<qint64>::min())},
        {"wide", writer.unsignedInteger(std::numeric_limits<quint64>::max())},
        {"float", writer.real(0.5)},
        {"double", writer.real(0.1)},
        {"date", writer.date(-1.5)},
        {"ascii", writer.string("plain")},
        {"utf16", writer.string(QString::fromUtf8("Zürich"))},
        {"nul", writer.string(nul)},
        {"data", writer.data(QByteArray("\x00\xff", 2))},
        {"uid", pending},
        {"yes", writer.boolean(true)},
        {"no", writer.boolean(false)},
    };
    std::vector<Ref> keys, values;
    for (const auto& [key, value] : entries) {
        keys.push_back(writer.string(QString::fromLatin1(key)));
        values.push_back(value);
    }
    writer.setUid(pending, 70'000);
    const QByteArray data = writer.serialize(writer.dictionary(keys, values));
    BinaryPropertyListReader reader;
    ASSERT_EQ(reader.open(data, kDepth), QString());
    const BinaryPropertyListReader::Object top = reader.top();
    ASSERT_EQ(top.type, BinaryPropertyListReader::Type::Dictionary);
    ASSERT_EQ(top.count, std::size(entries));
    const auto value = [&](const char* key) {
        const auto position = reader.find(top, QLatin1StringView(key));
        EXPECT_TRUE(position) << key;
        return position ? reader.value(top, *position) : BinaryPropertyListReader::Object();
    };
    EXPECT_EQ(reader.integer(value("byte")), 200u);
    EXPECT_EQ(reader.integer(value("short")), 300u);
    EXPECT_EQ(reader.integer(value("long")), 70'000u);
    EXPECT_EQ(qint64(reader.integer(value("negative"))), std::numeric_limits<qint64>::min());
    EXPECT_EQ(reader.integer(value("wide")), std::numeric_limits<quint64>::max());
    EXPECT_EQ(reader.real(value("float")), 0.5);
    EXPECT_EQ(reader.real(value("double")), 0.1);
    EXPECT_EQ(reader.date(value("date")), -1.5);
    EXPECT_EQ(reader.string(value("ascii")), "plain");
    EXPECT_EQ(reader.string(value("utf16")), QString::fromUtf8("Zürich"));
    EXPECT_EQ(reader.string(value("nul")), nul);
    EXPECT_EQ(reader.data(value("data")), QByteArray("\x00\xff", 2));
    EXPECT_EQ(reader.uid(value("uid")), 70'000u);
    EXPECT_TRUE(reader.boolean(value("yes")));
    EXPECT_FALSE(reader.boolean(value("no")));
    EXPECT_EQ(value("ascii").type, BinaryPropertyListReader::Type::String);

    // Values asked for as another type answer zero or empty.
    EXPECT_EQ(reader.integer(value("ascii")), 0u);
    EXPECT_EQ(reader.string(value("long")), QString());
    EXPECT_EQ(reader.data(value("ascii")), QByteArray());
}

TEST(BinaryPropertyListReader, KeysAreFoundFromAnyStartAndComparedWhole)
{
    BinaryPropertyListWriter writer;
    const QStringList names{"$class", "name", QString::fromUtf8("schlüssel"), "names"};
    std::vector<Ref> keys, values;
    for (qsizetype i = 0; i < names.size(); ++i) {
        keys.push_back(writer.string(names[i]));
        values.push_back(writer.integer(i));
    }
    const Ref members[] = {writer.dictionary(keys, values), writer.string("last")};
    const QByteArray data = writer.serialize(writer.array(members));
    BinaryPropertyListReader reader;
    ASSERT_EQ(reader.open(data, kDepth), QString());
    const auto dictionary = reader.member(reader.top(), 0);
    for (quint64 from = 0; from < 6; ++from) {
        for (qsizetype i = 0; i < names.size(); ++i)
            EXPECT_EQ(reader.find(dictionary, names[i], from), std::optional<quint64>(i)) << from << " " << i;
    }
    EXPECT_FALSE(reader.find(dictionary, u"nam"));
    EXPECT_FALSE(reader.find(dictionary, u"Name"));
    EXPECT_FALSE(reader.find(dictionary, QLatin1StringView("schl\xfcssel!")));
    EXPECT_TRUE(reader.find(dictionary, QLatin1StringView("schl\xfcssel")));
    EXPECT_FALSE(reader.find(reader.top(), u"name")) << "an array has no keys";
    EXPECT_EQ(reader.string(reader.member(reader.top(), 1)), "last");
    EXPECT_FALSE(reader.member(reader.top(), 2)) << "past the last member";
    EXPECT_FALSE(reader.value(dictionary, 4));
    const quint64 objectCount = qFromBigEndian<quint64>(data.constData() + data.size() - 24);
    EXPECT_TRUE(reader.object(objectCount - 1));
    EXPECT_FALSE(reader.object(objectCount)) << "past the last object";
}

TEST(BinaryPropertyListReader, DamagedObjectsReadAsInvalid)
{
    // Objects no reference reaches escape the structural check; reading them must not
    // trust their markers.
    BinaryPropertyListWriter writer;
    const Ref top = writer.array({});
    const Ref text = writer.string("abc");
    const Ref count = writer.data(QByteArray(20, 'x')); // a count in an integer after the marker
    const QByteArray data = writer.serialize(top);
    BinaryPropertyListReader reader;
    ASSERT_EQ(reader.open(data, kDepth), QString());
    ASSERT_EQ(reader.string(reader.object(text)), "abc");
    ASSERT_EQ(reader.data(reader.object(count)).size(), 20);

    const qsizetype offsetTable = qsizetype(qFromBigEndian<quint64>(data.constData() + data.size() - 8));
    const qsizetype textAt = quint8(data[offsetTable + text]);
    const qsizetype countAt = quint8(data[offsetTable + count]);
    const auto patched = [&](qsizetype at, char byte) {
        QByteArray copy = data;
        copy[at] = byte;
        return copy;
    };
    const auto objectIn = [&](const QByteArray& bytes, Ref ref) {
        BinaryPropertyListReader damaged;
        EXPECT_EQ(damaged.open(bytes, kDepth), QString());
        return damaged.object(ref);
    };
    EXPECT_FALSE(objectIn(patched(textAt, char(0x5f)), text)) << "a count that is not an integer";
    EXPECT_FALSE(objectIn(patched(textAt, char(0x00)), text)) << "null";
    EXPECT_FALSE(objectIn(patched(textAt, char(0xc3)), text)) << "set";
    EXPECT_FALSE(objectIn(patched(textAt, char(0x21)), text)) << "two-byte real";
    EXPECT_FALSE(objectIn(patched(textAt, char(0x8f)), text)) << "sixteen-byte UID";
    EXPECT_FALSE(objectIn(patched(countAt + 1, char(0x14)), count)) << "count of sixteen bytes";
    EXPECT_FALSE(objectIn(patched(countAt + 2, char(0x7f)), count)) << "payload running into the offset table";
    EXPECT_FALSE(objectIn(patched(offsetTable + text, char(offsetTable)), text)) << "offset into the table";
    EXPECT_FALSE(objectIn(patched(offsetTable + text, char(3)), text)) << "offset into the header";

    QByteArray refused = data;
    refused[0] = 'x';
    EXPECT_FALSE(BinaryPropertyListReader().open(refused, kDepth).isEmpty());
}

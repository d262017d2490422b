#include "platform/foundation/ArchiveMemoryBudget.h"
#include "platform/foundation/ArchiveValueCoding.h"
#include "platform/foundation/BinaryPropertyListWriter.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/PropertyList.h"
#include "platform/foundation/ZQAssert.h"
#include "support/AddressSpaceLimit.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"
#include "support/SettingScope.h"

#include <QBuffer>
#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPointer>
#include <QScopeGuard>
#include <QTransform>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <tuple>

using platform::ClassRegistry;
using platform::KeyedArchiver;
using platform::KeyedUnarchiver;
using platform::PlistUid;
using platform::PropertyList;
using testsupport::LogCapture;
using testsupport::roundTrip;

// A small model object with the usual field kinds: scalars, a string, a shared object,
// a conditional back-reference to its owner, a list of children and a free value.
class ArchiveNode : public ZQObject {
    Q_OBJECT

public:
    QString name;
    double weight = 0;
    qint64 count = 0;
    bool flag = false;
    ZQObjectPtr shared;
    QPointer<ZQObject> owner;
    QList<ZQObjectPtr> children;
    QVariant extra;

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        coder.encodeString(name, "ArchiveNode_name");
        coder.encodeDouble(weight, "ArchiveNode_weight");
        coder.encodeInt(count, "ArchiveNode_count");
        coder.encodeBool(flag, "ArchiveNode_flag");
        coder.encodeObject(shared.get(), "ArchiveNode_shared");
        coder.encodeConditionalObject(owner.data(), "ArchiveNode_owner");
        QVariantList list;
        for (const ZQObjectPtr& child : children)
            list << QVariant::fromValue(child);
        coder.encodeObject(QVariant(list), "ArchiveNode_children");
        if (extra.isValid())
            coder.encodeObject(extra, "ArchiveNode_extra");
    }

    void initWithCoder(KeyedUnarchiver& coder) override
    {
        name = coder.decodeString("ArchiveNode_name");
        weight = coder.decodeDouble("ArchiveNode_weight");
        count = coder.decodeInt("ArchiveNode_count");
        flag = coder.decodeBool("ArchiveNode_flag");
        shared = coder.decodeObject("ArchiveNode_shared");
        owner = coder.decodeObject("ArchiveNode_owner").get();
        for (const QVariant& child : coder.decodeValue("ArchiveNode_children").toList())
            children << child.value<ZQObjectPtr>();
        extra = coder.decodeValue("ArchiveNode_extra");
    }
};

// Classes for renaming and substitution.
class ArchiveShape : public ZQObject {
    Q_OBJECT
};
class ArchiveLabelledShape : public ArchiveShape {
    Q_OBJECT
};
class ArchiveRenamedStroke : public ZQObject {
    Q_OBJECT
};
class ArchiveCurrentStroke : public ZQObject {
    Q_OBJECT
};

// Decodes as the registered instance of its key, as shared masters do.
class ArchiveMaster : public ZQObject {
    Q_OBJECT

public:
    static inline std::shared_ptr<ArchiveMaster> registered;
    QString key;

    void encodeWithCoder(KeyedArchiver& coder) const override { coder.encodeString(key, "ArchiveMaster_key"); }
    void initWithCoder(KeyedUnarchiver& coder) override { key = coder.decodeString("ArchiveMaster_key"); }
    ZQObjectPtr awakeAfterUsingCoder(KeyedUnarchiver&) override
    {
        return registered && registered->key == key ? ZQObjectPtr(registered) : shared_from_this();
    }
};

// Encodes nodes it makes just for the archive, each gone before the next is made.
class ArchiveOnTheFly : public ZQObject {
    Q_OBJECT

public:
    QStringList names;

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        for (int i = 0; i < names.size(); ++i) {
            auto made = std::make_shared<ArchiveNode>();
            made->name = names[i];
            coder.encodeObject(made.get(), QStringLiteral("made%1").arg(i));
        }
    }
    void initWithCoder(KeyedUnarchiver& coder) override
    {
        for (int i = 0; coder.containsValueForKey(QStringLiteral("made%1").arg(i)); ++i)
            names << std::static_pointer_cast<ArchiveNode>(coder.decodeObject(QStringLiteral("made%1").arg(i)))->name;
    }
};

// A table of nodes archived either as a dictionary of the node objects or as the same
// dictionary written without them.
class ArchiveTable : public ZQObject {
    Q_OBJECT

public:
    bool writeWithoutObjects = false;
    QString title;
    QMap<QString, std::shared_ptr<ArchiveNode>> rows;

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        coder.encodeString(title, "ArchiveTable_title");
        if (writeWithoutObjects) {
            auto row = rows.cbegin();
            coder.encodeUnsharedObjectDictionary(
                rows.keys(), ArchiveNode::staticMetaObject, [&](qsizetype) { (row++).value()->encodeWithCoder(coder); },
                "ArchiveTable_rows");
        } else {
            QVariantMap map;
            for (auto it = rows.cbegin(); it != rows.cend(); ++it)
                map.insert(it.key(), QVariant::fromValue(ZQObjectPtr(it.value())));
            coder.encodeObject(QVariant(map), "ArchiveTable_rows");
        }
        coder.encodeString(title + QStringLiteral(" (end)"), "ArchiveTable_end");
    }
    void initWithCoder(KeyedUnarchiver& coder) override
    {
        title = coder.decodeString("ArchiveTable_title");
        const QVariantMap map = coder.decodeValue("ArchiveTable_rows").toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            rows.insert(it.key(), std::dynamic_pointer_cast<ArchiveNode>(it.value().value<ZQObjectPtr>()));
    }
};

// Entries of one class that each write some of many optional fields, read back by asking for
// every field, written or not, out of the written order.
class ArchiveSparse : public ZQObject {
    Q_OBJECT

public:
    static constexpr int kFields = 100;
    QMap<QString, qint64> fields;
    QList<ZQObjectPtr> more;

    static QString field(int i) { return QStringLiteral("ArchiveSparse_k%1").arg(i); }

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            coder.encodeInt(it.value(), it.key());
        QVariantList list;
        for (const ZQObjectPtr& entry : more)
            list << QVariant::fromValue(entry);
        coder.encodeObject(QVariant(list), "ArchiveSparse_more");
    }
    void initWithCoder(KeyedUnarchiver& coder) override
    {
        for (int i = kFields; i >= 0; --i) {
            if (coder.containsValueForKey(field(i)))
                fields.insert(field(i), coder.decodeInt(field(i)));
        }
        for (const QVariant& entry : coder.decodeValue("ArchiveSparse_more").toList())
            more << entry.value<ZQObjectPtr>();
    }
};

// A dictionary of nodes among other members, one of them a node already decoded elsewhere,
// read back with the nodes' fields read in place.
class ArchiveMixed : public ZQObject {
    Q_OBJECT

public:
    std::shared_ptr<ArchiveNode> first;
    QVariantMap members;
    QMap<QString, QString> readInPlace;  // member name -> its node's name
    QVariantMap decodedAsValues;

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        coder.encodeObject(first.get(), "ArchiveMixed_first");
        coder.encodeObject(QVariant(members), "ArchiveMixed_members");
    }
    void initWithCoder(KeyedUnarchiver& coder) override
    {
        first = coder.decodeObjectOfClass<ArchiveNode>("ArchiveMixed_first");
        coder.decodeDictionaryReadingClass(
            "ArchiveMixed_members", ArchiveNode::staticMetaObject,
            [&](const QString& name) { readInPlace.insert(name, coder.decodeString("ArchiveNode_name")); },
            [&](const QString& name, const QVariant& value) { decodedAsValues.insert(name, value); });
    }
};

class ArchiveFaulty : public ZQObject {
    Q_OBJECT

public:
    void initWithCoder(KeyedUnarchiver&) override { ZQ_ASSERT(false, QStringLiteral("archive refused")); }
};

class ArchiveStarved : public ZQObject {
    Q_OBJECT

public:
    void initWithCoder(KeyedUnarchiver&) override { throw std::bad_alloc(); }
};

// Notes, while decoding goes on, whether the text it read was its own or still shared with
// the decoder.
class ArchiveNameReader : public ZQObject {
    Q_OBJECT

public:
    QString name;
    bool nameWasItsOwn = false;

    void encodeWithCoder(KeyedArchiver& coder) const override { coder.encodeString(name, "ArchiveNameReader_name"); }
    void initWithCoder(KeyedUnarchiver& coder) override
    {
        name = coder.decodeString("ArchiveNameReader_name");
        nameWasItsOwn = name.isDetached();
    }
};

namespace {

void registerTestClasses()
{
    ClassRegistry::registerClass<ArchiveNode>();
    ClassRegistry::registerClass<ArchiveShape>();
    ClassRegistry::registerClass<ArchiveCurrentStroke>();
    ClassRegistry::registerClass<ArchiveMaster>();
    ClassRegistry::registerClass<ArchiveFaulty>();
    ClassRegistry::registerClass<ArchiveStarved>();
    ClassRegistry::registerClass<ArchiveTable>();
    ClassRegistry::registerClass<ArchiveSparse>();
    ClassRegistry::registerClass<ArchiveMixed>();
    ClassRegistry::registerClass<ArchiveOnTheFly>();
    ClassRegistry::registerClass<ArchiveNameReader>();
}

std::shared_ptr<ArchiveNode> node(const QString& name)
{
    auto n = std::make_shared<ArchiveNode>();
    n->name = name;
    return n;
}

QVariant valueRoundTrip(const QVariant& value)
{
    auto holder = node("holder");
    holder->extra = value;
    auto decoded = roundTrip<ArchiveNode>(*holder);
    return decoded ? decoded->extra : QVariant();
}

// --- Crafting archives by hand --------------------------------------------------------

QVariant uid(quint64 value) { return QVariant::fromValue(PlistUid{value}); }
QVariantMap classEntry(const QString& name) { return {{"$classname", name}, {"$classes", QStringList{name}}}; }
QByteArray binary(const QVariant& plist)
{
    const auto data = PropertyList::toData(plist, PropertyList::Format::Binary);
    EXPECT_TRUE(data) << "a hand-made archive must be writable, or refusing it proves nothing";
    return data.value_or(QByteArray());
}

// An archive frame around `objects` (whose first entry should be "$null"), root at `root`.
QByteArray archive(const QVariantList& objects, const QVariant& root = uid(2))
{
    return binary(QVariantMap{{"$archiver", "ZQKeyedArchiver"}, {"$version", 100000},
                              {"$top", QVariantMap{{"root", root}}}, {"$objects", objects}});
}

// Entry 1 is the ArchiveNode class, entry 2 the root node with `fields`; `more` follow from 3.
QByteArray nodeArchive(QVariantMap fields, const QVariantList& more = {})
{
    fields.insert("$class", uid(1));
    return archive(QVariantList{"$null", classEntry("ArchiveNode"), fields} + more);
}

void expectArchiveError(const QByteArray& data, const char* what)
{
    QuorvaneError error;
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(data, &error), nullptr) << what;
    EXPECT_EQ(error.code(), kQuorvaneDocumentError) << what;
    EXPECT_EQ(error.domain(), kQuorvaneErrorDomain) << what;
}

class KeyedArchive : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerTestClasses(); }
};

} // namespace

// --- Graphs ---------------------------------------------------------------------------

TEST_F(KeyedArchive, SharedObjectsConditionalReferencesAndCyclesDecodeAsTheyWere)
{
    auto shared = node("style");
    auto root = node("root");
    root->weight = 0.1;
    root->count = -7'000'000'000'000;
    root->flag = true;
    root->shared = shared;
    for (int i = 0; i < 3; ++i) {
        auto child = node(QStringLiteral("child %1").arg(i));
        child->shared = shared;
        child->count = std::numeric_limits<qint64>::min() + i;
        child->owner = root.get(); // a back-reference to the object being decoded
        root->children << child;
    }
    auto stray = node("stray"), lonely = node("lonely"), first = node("first"), later = node("later");
    lonely->owner = stray.get(); // stray is never encoded unconditionally
    first->owner = later.get();  // encoded conditionally first, unconditionally later
    root->children << lonely << first << later;

    auto decoded = roundTrip<ArchiveNode>(*root);
    ASSERT_TRUE(decoded && decoded->shared);
    EXPECT_EQ(decoded->name, "root");
    EXPECT_EQ(decoded->weight, 0.1);
    EXPECT_EQ(decoded->count, -7'000'000'000'000);
    EXPECT_TRUE(decoded->flag);
    QList<std::shared_ptr<ArchiveNode>> children;
    for (const ZQObjectPtr& child : decoded->children)
        children << std::dynamic_pointer_cast<ArchiveNode>(child);
    ASSERT_EQ(children.size(), 6);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(children[i]);
        EXPECT_EQ(children[i]->name, QStringLiteral("child %1").arg(i));
        EXPECT_EQ(children[i]->count, std::numeric_limits<qint64>::min() + i);
        EXPECT_EQ(children[i]->shared, decoded->shared) << "a shared object must decode as one object";
        EXPECT_EQ(children[i]->owner, decoded.get());
    }
    EXPECT_TRUE(children[3]->owner.isNull());
    EXPECT_EQ(children[4]->owner, children[5].get());

    // Unconditional cycles decode to the object in progress.
    auto a = node("a");
    auto b = node("b");
    a->shared = b;
    b->shared = a;
    auto cycle = roundTrip<ArchiveNode>(*a);
    b->shared.reset();
    ASSERT_TRUE(cycle);
    auto decodedB = std::dynamic_pointer_cast<ArchiveNode>(cycle->shared);
    ASSERT_TRUE(decodedB);
    EXPECT_EQ(decodedB->shared, cycle);
    decodedB->shared.reset();
}

// A value read once is handed to its reader whole: kept by the decoder too, every path or text
// of a million decoded objects would stay shared with it, and be copied at its first change.
// Read again, it is decoded again and then kept, so none is decoded more than twice.
TEST_F(KeyedArchive, AValueReadOnceIsItsReadersOwnAndOneReadAgainDecodesTheSame)
{
    ArchiveNode root;
    const QStringList names{"Roads", "Roads", "Roads", "Rivers"}; // the archive writes each text once
    for (const QString& name : names) {
        auto reader = std::make_shared<ArchiveNameReader>();
        reader->name = name;
        root.children << reader;
    }
    const auto decoded = roundTrip<ArchiveNode>(root);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->children.size(), names.size());
    QStringList decodedNames;
    QList<bool> owned;
    for (const ZQObjectPtr& child : decoded->children) {
        const auto reader = std::dynamic_pointer_cast<ArchiveNameReader>(child);
        ASSERT_TRUE(reader);
        decodedNames << reader->name;
        owned << reader->nameWasItsOwn;
    }
    EXPECT_EQ(decodedNames, names);
    EXPECT_EQ(owned, (QList<bool>{true, false, false, true}));
}

TEST_F(KeyedArchive, RenamedClassesSubstitutesAndReplacementsAreHonoured)
{
    EXPECT_EQ(ClassRegistry::metaObjectForName("ArchiveShape"), &ArchiveShape::staticMetaObject);
    EXPECT_EQ(ClassRegistry::metaObjectForName("ArchiveNothing"), nullptr);
    EXPECT_EQ(ClassRegistry::create("ArchiveNothing"), nullptr);
    EXPECT_EQ(ClassRegistry::create("ZQObject")->className(), "ZQObject") << "registerFoundationClasses ran";

    ClassRegistry::registerClass<ArchiveRenamedStroke>();
    const QByteArray renamed = KeyedArchiver::archivedDataWithRootObject(std::make_shared<ArchiveRenamedStroke>().get());
    {
        const testsupport::SettingScope renaming(
            [] { return KeyedUnarchiver::classForClassName("ArchiveRenamedStroke"); },
            [](const QString& current) { KeyedUnarchiver::setClassForClassName(current, "ArchiveRenamedStroke"); },
            QStringLiteral("ArchiveCurrentStroke"));
        EXPECT_TRUE(std::dynamic_pointer_cast<ArchiveCurrentStroke>(KeyedUnarchiver::unarchiveObjectWithData(renamed)));
    }
    // The mapping is forgotten again: the archive decodes as the class it names.
    EXPECT_EQ(KeyedUnarchiver::classForClassName("ArchiveRenamedStroke"), QString());
    EXPECT_TRUE(std::dynamic_pointer_cast<ArchiveRenamedStroke>(KeyedUnarchiver::unarchiveObjectWithData(renamed)));

    // A substitute is made once it is registered, and only when it is a subclass.
    const auto noSubstitute = qScopeGuard([] { ClassRegistry::setSubstituteClass("ArchiveShape", {}); });
    ClassRegistry::setSubstituteClass("ArchiveShape", "ArchiveLabelledShape");
    EXPECT_EQ(ClassRegistry::create("ArchiveShape")->className(), "ArchiveShape");
    ClassRegistry::registerClass<ArchiveLabelledShape>();
    EXPECT_TRUE(std::dynamic_pointer_cast<ArchiveLabelledShape>(roundTrip<ZQObject>(ArchiveShape())));
    EXPECT_EQ(ClassRegistry::metaObjectForName("ArchiveShape"), &ArchiveShape::staticMetaObject);
    ClassRegistry::setSubstituteClass("ArchiveShape", "ArchiveNode");
    auto plain = roundTrip<ZQObject>(ArchiveShape());
    EXPECT_TRUE(plain && plain->className() == "ArchiveShape");
    ClassRegistry::setSubstituteClass("ArchiveShape", {});
    EXPECT_EQ(ClassRegistry::create("ArchiveShape")->className(), "ArchiveShape");

    ArchiveMaster::registered = std::make_shared<ArchiveMaster>();
    ArchiveMaster::registered->key = "church";
    auto master = std::make_shared<ArchiveMaster>();
    master->key = "church";
    auto a = node("a"), b = node("b"), root = node("root");
    a->shared = master;
    b->shared = master;
    root->children = {a, b};
    auto decoded = roundTrip<ArchiveNode>(*root);
    ASSERT_TRUE(decoded && decoded->children.size() == 2);
    for (const ZQObjectPtr& child : decoded->children)
        EXPECT_EQ(std::dynamic_pointer_cast<ArchiveNode>(child)->shared, ArchiveMaster::registered);
    ArchiveMaster::registered.reset();
}

TEST_F(KeyedArchive, WrongClassesAndMissingKeysAnswerEmpty)
{
    auto root = node("root");
    root->shared = std::make_shared<ArchiveShape>();
    KeyedUnarchiver unarchiver(KeyedArchiver::archivedDataWithRootObject(root.get()));
    LogCapture log;
    const auto decoded = unarchiver.decodeObjectOfClass<ArchiveNode>("root");
    EXPECT_TRUE(decoded && decoded->shared);
    EXPECT_EQ(unarchiver.decodeObjectOfClass<ArchiveShape>("root"), nullptr);

    class Probe : public ZQObject {
    public:
        void initWithCoder(KeyedUnarchiver& coder) override
        {
            EXPECT_EQ(coder.decodeObjectOfClass<ArchiveNode>("ArchiveNode_shared"), nullptr);
            EXPECT_TRUE(coder.decodeObjectOfClass<ArchiveShape>("ArchiveNode_shared"));
            EXPECT_FALSE(coder.containsValueForKey("absent"));
            EXPECT_TRUE(coder.containsValueForKey("ArchiveNode_flag"));
            EXPECT_EQ(coder.decodeInt("absent"), 0);
            EXPECT_EQ(coder.decodeString("absent"), QString());
            EXPECT_EQ(coder.decodeObject("absent"), nullptr);
            EXPECT_EQ(coder.decodeInt("ArchiveNode_name"), 0) << "a string is no integer";
            EXPECT_EQ(coder.decodeObject("ArchiveNode_name"), nullptr) << "a string is no object";
            EXPECT_EQ(coder.decodeColor("ArchiveNode_name"), QColor());
        }
    };
    ClassRegistry::registerFactory(&ArchiveNode::staticMetaObject, [] { return std::make_shared<Probe>(); });
    const auto restore = qScopeGuard([] { ClassRegistry::registerClass<ArchiveNode>(); });
    EXPECT_TRUE(KeyedUnarchiver::unarchiveObjectWithData(KeyedArchiver::archivedDataWithRootObject(root.get())));
    EXPECT_TRUE(log.contains("object of class ArchiveShape"));
    EXPECT_TRUE(log.contains("where an object was expected"));
}

TEST_F(KeyedArchive, ArchiveLayoutIsTheKeyedArchiveFormat)
{
    auto root = node("root");
    root->children = {node("same"), node("same")};
    const QVariantMap plist = PropertyList::fromData(KeyedArchiver::archivedDataWithRootObject(root.get()))->toMap();
    const QVariantList objects = plist["$objects"].toList();
    const auto entry = [&](const QVariant& ref) { return objects.value(qsizetype(ref.value<PlistUid>().value)); };
    EXPECT_EQ(plist["$archiver"].toString(), "ZQKeyedArchiver");
    EXPECT_EQ(plist["$version"].toLongLong(), 100000);
    EXPECT_EQ(objects.value(0).toString(), "$null");
    const QVariantMap rootEntry = entry(plist["$top"].toMap()["root"]).toMap();
    const QVariantMap classMap = entry(rootEntry["$class"]).toMap();
    EXPECT_EQ(classMap["$classname"].toString(), "ArchiveNode");
    EXPECT_EQ(classMap["$classes"].toStringList(), (QStringList{"ArchiveNode", "ZQObject"}));
    EXPECT_EQ(entry(rootEntry["ArchiveNode_name"]).toString(), "root");
    EXPECT_EQ(rootEntry["ArchiveNode_weight"].typeId(), QMetaType::Double) << "scalars are inline";
    EXPECT_EQ(objects.count(QVariant(QStringLiteral("same"))), 1) << "equal strings are written once";
}

// --- Values ---------------------------------------------------------------------------

TEST_F(KeyedArchive, QtValueTypesRoundTrip)
{
    for (const QColor& colour : {QColor::fromRgbF(0.25f, 0.5f, 0.75f, 0.4f), QColor::fromRgbF(1.5f, -0.25f, 0.5f, 1.0f)})
        EXPECT_EQ(valueRoundTrip(colour).value<QColor>(), colour);
    EXPECT_EQ(valueRoundTrip(QColor(Qt::red).toHsv()).value<QColor>().spec(), QColor::Hsv);
    EXPECT_FALSE(valueRoundTrip(QColor()).value<QColor>().isValid());

    QFont font("DejaVu Sans", 13);
    font.setWeight(QFont::DemiBold);
    font.setItalic(true);
    const QFont decodedFont = valueRoundTrip(font).value<QFont>();
    EXPECT_EQ(std::tuple(decodedFont.family(), decodedFont.pointSizeF(), decodedFont.weight(), decodedFont.italic()),
              std::tuple(QStringLiteral("DejaVu Sans"), 13.0, QFont::DemiBold, true));

    for (const QTransform& transform : {QTransform().rotate(30).scale(2, -0.5).translate(1e-9, 12345.678),
                                        QTransform(1, 2, 0.001, 3, 4, 0.002, 5, 6, 1)})
        EXPECT_EQ(valueRoundTrip(transform).value<QTransform>(), transform);

    QPainterPath path;
    path.moveTo(0.1, 0.2);
    path.lineTo(10, -3.5);
    path.cubicTo(1, 2, 3, 4, 5, 6);
    path.closeSubpath();
    path.addEllipse(QRectF(-1, -1, 2, 2));
    path.setFillRule(Qt::WindingFill);
    const QPainterPath decodedPath = valueRoundTrip(QVariant::fromValue(path)).value<QPainterPath>();
    EXPECT_EQ(decodedPath, path);
    EXPECT_EQ(decodedPath.fillRule(), Qt::WindingFill);

    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    image.setPixel(0, 0, qRgba(255, 0, 0, 255));
    image.setPixel(2, 1, qRgba(0, 128, 255, 64));
    EXPECT_EQ(valueRoundTrip(image).value<QImage>().convertToFormat(QImage::Format_ARGB32), image);
    EXPECT_TRUE(valueRoundTrip(QImage()).value<QImage>().isNull());

    const QDateTime when = QDateTime::fromMSecsSinceEpoch(-12'345'678'901'234, Qt::UTC);
    EXPECT_EQ(valueRoundTrip(when).toDateTime(), when);
}

// Bytes this process wrote skip the second reading of their structure: they decode as any
// others, and damage still ends in an error or a skipped entry, never a read past the data.
TEST_F(KeyedArchive, BytesThisProcessWroteDecodeAsAnyOthersAndDamageIsStillRefused)
{
    auto root = node("root");
    root->weight = 2.5;
    root->children = {node("child"), node("other")};
    root->extra = QVariantList{1, QStringLiteral("two")};
    const QByteArray data = KeyedArchiver::archivedDataWithRootObject(root.get());
    for (const auto origin : {KeyedUnarchiver::Origin::Anyone, KeyedUnarchiver::Origin::ThisProcess}) {
        KeyedUnarchiver unarchiver(data, origin);
        const auto decoded = std::dynamic_pointer_cast<ArchiveNode>(unarchiver.decodeRootObject());
        ASSERT_TRUE(decoded);
        EXPECT_EQ(std::tuple(decoded->name, decoded->weight, decoded->extra), std::tuple(root->name, 2.5, root->extra));
        ASSERT_EQ(decoded->children.size(), 2);
        EXPECT_EQ(std::static_pointer_cast<ArchiveNode>(decoded->children[1])->name, QStringLiteral("other"));
    }

    QByteArray farOffsetTable = data;
    farOffsetTable[farOffsetTable.size() - 2] = char(0x7f);
    for (const QByteArray& damaged : {farOffsetTable, data.left(40), QByteArray("bplist00")}) {
        KeyedUnarchiver unarchiver(damaged, KeyedUnarchiver::Origin::ThisProcess);
        EXPECT_FALSE(unarchiver.isValid());
        EXPECT_EQ(unarchiver.decodeRootObject(), nullptr);
    }
    // A reference past the entries is skipped as it is for anyone's bytes.
    KeyedUnarchiver dangling(nodeArchive({{"ArchiveNode_name", "left"}, {"ArchiveNode_shared", uid(99)}}),
                             KeyedUnarchiver::Origin::ThisProcess);
    const auto decoded = std::dynamic_pointer_cast<ArchiveNode>(dangling.decodeRootObject());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->name, QStringLiteral("left"));
    EXPECT_EQ(decoded->shared, nullptr);
}

// A map of a million short lines decodes a million paths: each must hold its elements, not
// the sixteen an empty path sets aside when its first element arrives.
TEST_F(KeyedArchive, ADecodedPathHoldsNoMoreRoomThanItsElements)
{
    QPainterPath segment(QPointF(1, 2));
    segment.lineTo(3, 4);
    QPainterPath open;
    open.lineTo(5, 6); // no move first: the path begins at the origin
    for (const QPainterPath& path : {segment, open}) {
        const QPainterPath decoded = valueRoundTrip(QVariant::fromValue(path)).value<QPainterPath>();
        EXPECT_EQ(decoded, path);
        EXPECT_EQ(decoded.capacity(), decoded.elementCount());
    }
    EXPECT_TRUE(valueRoundTrip(QVariant::fromValue(QPainterPath())).value<QPainterPath>().isEmpty());
}

TEST_F(KeyedArchive, GeometryStringsAreExactAndStrict)
{
    using namespace platform::archive;
    EXPECT_EQ(pointString(QPointF(1.5, -2)), "{1.5, -2}");
    EXPECT_EQ(sizeString(QSizeF(0.1, 1e21)), "{0.1, 1e+21}");
    EXPECT_EQ(rectString(QRectF(0, 0, 10, 20)), "{{0, 0}, {10, 20}}");
    const QRectF awkward(1.0 / 3, -1e-300, 2.0 / 3, 1e300);
    EXPECT_EQ(parseRect(rectString(awkward)), awkward);
    EXPECT_EQ(parsePoint(u" { 1 ,2 } "), QPointF(1, 2));
    for (const char* bad : {"", "{1, 2", "{1 2}", "{1, 2}x", "{{1, 2}, {3}}", "{a, 2}", "1, 2"})
        EXPECT_FALSE(parsePoint(QString::fromLatin1(bad)) || parseRect(QString::fromLatin1(bad))) << bad;

    class Geometry : public ZQObject {
    public:
        void encodeWithCoder(KeyedArchiver& coder) const override
        {
            coder.encodePoint({0.1, -0.2}, "p");
            coder.encodeSize({3, 4}, "s");
            coder.encodeRect(QRectF(1, 2, 3, 4), "r");
        }
    };
    const QByteArray data = KeyedArchiver::archivedDataWithRootObject(std::make_shared<Geometry>().get());
    class Reader : public ZQObject {
    public:
        void initWithCoder(KeyedUnarchiver& coder) override
        {
            EXPECT_EQ(coder.decodePoint("p"), QPointF(0.1, -0.2));
            EXPECT_EQ(coder.decodeSize("s"), QSizeF(3, 4));
            EXPECT_EQ(coder.decodeRect("r"), QRectF(1, 2, 3, 4));
            EXPECT_EQ(coder.decodeString("p"), "{0.1, -0.2}");
        }
    };
    ClassRegistry::registerFactory(&ZQObject::staticMetaObject, [] { return std::make_shared<Reader>(); });
    const auto restore = qScopeGuard([] { ClassRegistry::registerClass<ZQObject>(); });
    EXPECT_TRUE(KeyedUnarchiver::unarchiveObjectWithData(data));
}

TEST_F(KeyedArchive, NestedListsAndDictionariesKeepValuesAndObjects)
{
    auto shared = node("shared");
    const QVariantMap nested{
        {"ints", QVariantList{0, -1, std::numeric_limits<qint64>::max(), true, 2.5}},
        {"strings", QStringList{"", "ä €", "$null"}},
        {"data", QByteArray("\0\1\2", 3)},
        {"objects", QVariantList{QVariant::fromValue<ZQObjectPtr>(shared), QVariant::fromValue<ZQObjectPtr>(shared)}},
        {"deeper", QVariantMap{{"point", QPointF(1, 2)}, {"colour", QColor(Qt::blue)}, {"empty", QVariantList{}}}},
        {"hash", QVariantHash{{"b", 2}, {"a", 1}}},
        {"null", QVariant()},
    };
    const QVariantMap decoded = valueRoundTrip(nested).toMap();
    EXPECT_EQ(decoded.keys(), nested.keys());
    const QVariantList ints = decoded["ints"].toList();
    ASSERT_EQ(ints.size(), 5);
    EXPECT_EQ((QList<qint64>{ints[0].toLongLong(), ints[1].toLongLong(), ints[2].toLongLong()}),
              (QList<qint64>{0, -1, std::numeric_limits<qint64>::max()}));
    EXPECT_EQ(ints[3].metaType(), QMetaType::fromType<bool>());
    EXPECT_EQ(ints[4].toDouble(), 2.5);
    EXPECT_EQ(decoded["strings"].toStringList(), (QStringList{"", "ä €", "$null"}));
    EXPECT_EQ(decoded["data"].toByteArray(), QByteArray("\0\1\2", 3));
    const QVariantList objects = decoded["objects"].toList();
    ASSERT_EQ(objects.size(), 2);
    EXPECT_TRUE(objects[0].value<ZQObjectPtr>());
    EXPECT_EQ(objects[0].value<ZQObjectPtr>(), objects[1].value<ZQObjectPtr>());
    const QVariantMap deeper = decoded["deeper"].toMap();
    EXPECT_EQ(deeper["point"].toPointF(), QPointF(1, 2));
    EXPECT_EQ(deeper["colour"].value<QColor>(), QColor(Qt::blue));
    EXPECT_EQ(deeper["empty"].toList().size(), 0);
    EXPECT_EQ(decoded["hash"].toMap(), (QVariantMap{{"a", 1}, {"b", 2}}));
    EXPECT_FALSE(decoded["null"].isValid());
}

TEST_F(KeyedArchive, UnsupportedValuesAndMisuseAreProgrammingErrors)
{
    KeyedArchiver archiver;
    EXPECT_THROW(archiver.encodeObject(QVariant::fromValue(platform::MultipleValuesMarker{}), "x"), platform::AssertionFailure);
    archiver.encodeRootObject(nullptr);
    EXPECT_FALSE(archiver.finishEncoding().isEmpty());
    EXPECT_THROW(archiver.encodeInt(1, "late"), platform::AssertionFailure);

    QuorvaneError error;
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(KeyedArchiver::archivedDataWithRootObject(nullptr), &error), nullptr);
    EXPECT_FALSE(error) << "a null root is no damage";
}

TEST_F(KeyedArchive, ScalarWidthsAndLargeArchivesRoundTrip)
{
    // Integers change width at these values; reals are narrowed only when exact.
    const QList<qint64> integers{0, 255, 256, 65535, 65536, 0xffffffffLL, 0x100000000LL, -1,
                                 std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()};
    const QList<double> reals{0.5, 0.1, -0.0, 1e300, std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::denorm_min(), 16777217.0};
    QVariantList values;
    for (qint64 i : integers)
        values << i;
    for (double r : reals)
        values << r;
    values << std::numeric_limits<double>::quiet_NaN() << QString::fromUtf8("Zürich \xf0\x9f\x97\xba") << QString(20, u'x')
           << QStringLiteral("nul\0inside");
    // Enough distinct strings for three-byte references and offsets.
    for (int i = 0; i < 70'000; ++i)
        values << QStringLiteral("name %1").arg(i);

    const QVariantList decoded = valueRoundTrip(values).toList();
    ASSERT_EQ(decoded.size(), values.size());
    for (qsizetype i = 0; i < integers.size(); ++i)
        EXPECT_EQ(decoded[i].toLongLong(), integers[i]) << integers[i];
    for (qsizetype i = 0; i < reals.size(); ++i) {
        const QVariant& real = decoded[integers.size() + i];
        EXPECT_EQ(real.metaType(), QMetaType::fromType<double>());
        EXPECT_EQ(std::bit_cast<quint64>(real.toDouble()), std::bit_cast<quint64>(reals[i])) << reals[i];
    }
    const qsizetype rest = integers.size() + reals.size();
    EXPECT_TRUE(std::isnan(decoded[rest].toDouble()));
    EXPECT_EQ(decoded[rest + 1].toString(), QString::fromUtf8("Zürich \xf0\x9f\x97\xba"));
    EXPECT_EQ(decoded[rest + 2].toString(), QString(20, u'x'));
    EXPECT_EQ(decoded[rest + 3].toString(), QStringLiteral("nul\0inside"));
    EXPECT_EQ(decoded.last().toString(), "name 69999");
}

TEST_F(KeyedArchive, DecodingStaysWithinItsMemoryBudgetOrSaysWhy)
{
    // Archives of the smallest entries cost the most per byte; each fits the budget the
    // byte ratio promises, and is refused in plain words when the budget is smaller.
    auto strings = node("strings");
    QVariantList texts;
    for (int i = 0; i < 20'000; ++i)
        texts << QStringLiteral("%1").arg(i);
    strings->extra = texts;
    auto objects = node("objects");
    for (int i = 0; i < 5'000; ++i)
        objects->children << node(QString());
    auto dictionary = node("dictionary");
    QVariantMap members;
    for (int i = 0; i < 10'000; ++i)
        members.insert(QStringLiteral("k%1").arg(i), i);
    dictionary->extra = members;

    for (const auto& root : {strings, objects, dictionary}) {
        const QByteArray data = KeyedArchiver::archivedDataWithRootObject(root.get());
        const platform::archive::MemoryBudgetScope promised(data.size() * platform::archive::kMostBytesPerArchiveByte);
        KeyedUnarchiver fits(data);
        EXPECT_NE(fits.decodeRootObject(), nullptr) << root->name.toStdString();
        EXPECT_TRUE(fits.isValid()) << fits.error().localizedDescription().toStdString();

        const LogCapture log;
        const platform::archive::MemoryBudgetScope tight(data.size());
        KeyedUnarchiver starved(data);
        EXPECT_EQ(starved.decodeRootObject(), nullptr) << root->name.toStdString();
        EXPECT_TRUE(starved.error().localizedDescription().contains("MB of memory"))
            << starved.error().localizedDescription().toStdString();
    }

    // A table of entries larger than the budget is refused before anything is made.
    const QByteArray many = KeyedArchiver::archivedDataWithRootObject(strings.get());
    const platform::archive::MemoryBudgetScope tiny(20'000);
    const KeyedUnarchiver refused(many);
    EXPECT_FALSE(refused.isValid());
    EXPECT_TRUE(refused.error().localizedDescription().contains("MB of memory"));
}

TEST_F(KeyedArchive, TheBudgetGrowsWithTheArchiveAsFarAsTheMemoryAvailableAllows)
{
    SKIP_CAPPED_UNDER_ADDRESS_SANITIZER();
    using platform::archive::MemoryBudgetScope;
    using platform::archive::promisedBudget;
    constexpr qint64 kBudget = platform::archive::kMemoryBudget;
    constexpr qint64 kSmall = kBudget / platform::archive::kMostBytesPerArchiveByte;
    constexpr qint64 kLarge = qint64(500) << 20;
    EXPECT_EQ(promisedBudget(0), kBudget);
    EXPECT_EQ(promisedBudget(kSmall), kBudget);
    EXPECT_EQ(promisedBudget(kLarge), qint64(8000) << 20);
    EXPECT_GE(promisedBudget(std::numeric_limits<qint64>::max()), kBudget) << "no overflow";

    EXPECT_EQ(MemoryBudgetScope::current(kSmall), kBudget);
    EXPECT_LE(MemoryBudgetScope::current(kLarge), promisedBudget(kLarge));
    {
        // The memory available is what the address space leaves.
        const testsupport::AddressSpaceLimit limit;
        EXPECT_LT(MemoryBudgetScope::current(kLarge), testsupport::AddressSpaceLimit::kTwoGigabytes);
        EXPECT_EQ(MemoryBudgetScope::current(kSmall), kBudget);
    }
    const MemoryBudgetScope scoped(20'000);
    EXPECT_EQ(MemoryBudgetScope::current(kLarge), 20'000);
}

TEST_F(KeyedArchive, RunningOutOfMemoryIsSaidPlainly)
{
    const LogCapture log;
    QuorvaneError error;
    EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(archive({"$null", classEntry("ArchiveStarved"),
                                                                 QVariantMap{{"$class", uid(1)}}}),
                                                        &error),
              nullptr);
    EXPECT_EQ(error.localizedDescription(), "The archive could not be read: there is not enough memory to read it");
}

TEST_F(KeyedArchive, KeysMadeOnTheFlyKeepTheirOwnNames)
{
    // Temporary keys free their buffers for the next ones; a key changed in place after
    // use is a different key.
    KeyedArchiver archiver;
    constexpr int kKeys = 200;
    for (int i = 0; i < kKeys; ++i)
        archiver.encodeInt(i, QStringLiteral("key %1").arg(i));
    QString reused = QStringLiteral("ab");
    archiver.encodeInt(-1, reused);
    reused[0] = u'x';
    archiver.encodeInt(-2, reused);

    KeyedUnarchiver unarchiver(archiver.finishEncoding());
    ASSERT_TRUE(unarchiver.isValid());
    for (int step = 0; step < kKeys; ++step) {
        const int i = step * 7 % kKeys; // out of the written order
        EXPECT_TRUE(unarchiver.containsValueForKey(QStringLiteral("key %1").arg(i)));
        EXPECT_EQ(unarchiver.decodeInt(QStringLiteral("key %1").arg(i)), i);
    }
    EXPECT_EQ(unarchiver.decodeInt("ab"), -1);
    EXPECT_EQ(unarchiver.decodeInt("xb"), -2);
    EXPECT_FALSE(unarchiver.containsValueForKey(QStringLiteral("key %1").arg(kKeys)));
    EXPECT_EQ(unarchiver.decodeInt(QStringLiteral("key %1").arg(kKeys)), 0);
}

// --- Damaged and hostile archives -----------------------------------------------------

TEST_F(KeyedArchive, DamagedFramesAreErrors)
{
    auto root = node("root");
    root->children = {node("a"), node("b")};
    root->extra = QVariantMap{{"k", QColor(Qt::red)}};
    const QByteArray valid = KeyedArchiver::archivedDataWithRootObject(root.get());
    ASSERT_TRUE(KeyedUnarchiver::unarchiveObjectWithData(valid));

    LogCapture log;
    for (qsizetype length = 0; length < valid.size(); ++length)
        expectArchiveError(valid.left(length), "truncated");
    QByteArray wrongMagic = valid;
    wrongMagic[6] = '1';
    expectArchiveError(wrongMagic, "wrong magic");
    expectArchiveError("<?xml version=\"1.0\"?><plist><dict/></plist>", "XML");
    expectArchiveError(QByteArray(64, '\xff'), "noise");

    const auto frame = [](QVariantMap parts, const char* archiver = "ZQKeyedArchiver") {
        parts.insert({{"$archiver", archiver}, {"$version", 100000}});
        return binary(parts);
    };
    const QVariantMap top{{"root", uid(1)}};
    expectArchiveError(frame({{"$top", top}}), "$objects missing");
    expectArchiveError(frame({{"$top", top}, {"$objects", "objects"}}), "$objects a string");
    expectArchiveError(frame({{"$top", top}, {"$objects", QVariantList{}}}), "$objects empty");
    expectArchiveError(frame({{"$objects", QVariantList{"$null"}}}), "$top missing");
    expectArchiveError(frame({{"$top", QVariantMap{}}, {"$objects", QVariantList{"$null"}}}), "no root");
    expectArchiveError(frame({{"$top", top}, {"$objects", QVariantList{"$null", classEntry("ArchiveNode")}}}, "Other"),
                       "foreign archiver");
    expectArchiveError(binary(QVariantList{"$null"}), "root not a dictionary");
}

TEST_F(KeyedArchive, DamagedEntriesFailAtTheTopAndAreSkippedInside)
{
    LogCapture log;
    const QVariantMap rootOfClass1{{"$class", uid(1)}};
    expectArchiveError(archive({"$null"}, uid(99)), "root out of range");
    expectArchiveError(nodeArchive({}).replace("ArchiveNode", "NoSuchClass"), "unregistered root class");
    expectArchiveError(archive({"$null", QVariantMap{{"$classes", QVariantList{}}}, rootOfClass1}), "$classname missing");
    expectArchiveError(archive({"$null", QVariantMap{{"$classname", 3}}, rootOfClass1}), "$classname an integer");
    expectArchiveError(archive({"$null", classEntry("ArchiveNode"), QVariantMap{{"$class", uid(2)}}}), "$class is the entry itself");
    expectArchiveError(archive({"$null", classEntry("ArchiveNode"), "text"}), "string as root");
    expectArchiveError(archive({"$null", classEntry("ArchiveNode"), QVariantMap{}}), "no $class");
    const QByteArray faultyArchive = archive({"$null", classEntry("ArchiveFaulty"), rootOfClass1});
    expectArchiveError(faultyArchive, "assertion in initWithCoder");
    KeyedUnarchiver faulty(faultyArchive);
    EXPECT_EQ(faulty.decodeRootObject(), nullptr);
    EXPECT_TRUE(faulty.error().localizedDescription().contains("archive refused"));
    EXPECT_EQ(faulty.decodeString("anything"), QString()) << "a failed unarchiver stays failed";

    // Inside an object: skipped, logged, and the rest of the object still reads.
    const QByteArray nested = nodeArchive(
        {{"ArchiveNode_name", uid(3)},
         {"ArchiveNode_shared", uid(4)},
         {"ArchiveNode_owner", uid(12345)},
         {"ArchiveNode_children", uid(5)},
         {"ArchiveNode_extra", uid(6)}},
        {"kept",
         QVariantMap{{"$class", uid(7)}},
         QVariantMap{{"$class", uid(8)}, {"objects", QVariantList{uid(5), uid(3), uid(4), uid(0), true, uid(2)}}},
         QVariantMap{{"$class", uid(8)}, {"objects", "not an array"}},
         classEntry("NoSuchClass"),
         classEntry("ZQArray")});
    QuorvaneError error;
    auto decoded = std::dynamic_pointer_cast<ArchiveNode>(KeyedUnarchiver::unarchiveObjectWithData(nested, &error));
    ASSERT_TRUE(decoded) << qPrintable(error.localizedDescription());
    EXPECT_EQ(decoded->name, "kept");
    EXPECT_EQ(decoded->shared, nullptr);
    EXPECT_TRUE(decoded->owner.isNull());
    EXPECT_FALSE(decoded->extra.isValid());
    // The list holding itself, a string, an unknown object, a null, a bare bool and the root:
    // its own entry and the unknown object are dropped.
    ASSERT_EQ(decoded->children.size(), 3);
    EXPECT_EQ(decoded->children[2], decoded);
    decoded->children.clear();
    for (const char* logged : {"unknown class NoSuchClass", "out of range", "contains itself"})
        EXPECT_TRUE(log.contains(logged)) << logged;
}

TEST_F(KeyedArchive, DamagedValuesDecodeAsEmptyValues)
{
    const auto decodedExtra = [](const char* className, QVariantMap entry) {
        entry.insert("$class", uid(4));
        auto decoded = std::dynamic_pointer_cast<ArchiveNode>(KeyedUnarchiver::unarchiveObjectWithData(
            nodeArchive({{"ArchiveNode_extra", uid(3)}}, {entry, classEntry(className)})));
        return decoded ? decoded->extra : QVariant();
    };
    LogCapture log;
    const QByteArray lineTo(1, char(QPainterPath::LineToElement)), curveTo(1, char(QPainterPath::CurveToElement));
    const QByteArray origin(16, '\0');
    for (const auto& [types, coordinates] : {std::pair{lineTo, QByteArray(15, '\0')},  // short coordinates
                                            std::pair{QByteArray(1, char(9)), origin}, // unknown element
                                            std::pair{curveTo, origin},                // curve without its points
                                            std::pair{lineTo, QByteArray(QByteArray(8, '\xff') + QByteArray(8, '\0'))}}) { // NaN
        const QVariant path = decodedExtra("ZQPath", {{"elementTypes", types}, {"coordinates", coordinates}});
        ASSERT_EQ(path.metaType(), QMetaType::fromType<QPainterPath>());
        EXPECT_TRUE(path.value<QPainterPath>().isEmpty());
    }
    EXPECT_TRUE(log.contains("malformed path"));

    EXPECT_FALSE(decodedExtra("ZQColor", {{"spec", 99}}).value<QColor>().isValid());
    EXPECT_EQ(decodedExtra("ZQColor", {{"spec", int(QColor::Rgb)}, {"red", 7.0}, {"alpha", -1.0}}).value<QColor>(),
              QColor::fromRgbF(1, 0, 0, 0)); // clamped
    EXPECT_EQ(decodedExtra("ZQFont", {{"description", 1}}).metaType(), QMetaType::fromType<QFont>());
    EXPECT_EQ(decodedExtra("ZQValue", {{"rect", 1}}).toRectF(), QRectF());

    // A small PNG whose pixels would take more memory than an archive may ask for.
    QImage huge(9000, 8000, QImage::Format_Mono);
    huge.fill(0);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(huge.save(&buffer, "PNG"));
    ASSERT_LT(png.size(), 1 << 20);
    EXPECT_TRUE(decodedExtra("ZQImage", {{"png", png}}).value<QImage>().isNull());
    EXPECT_TRUE(log.contains("image refused"));
}

TEST_F(KeyedArchive, DeepNestingOfObjectsListsAndPropertyListsIsRefused)
{
    // Objects each holding the next: 10,000 are refused, the most allowed decode.
    const auto chain = [](int count) {
        QVariantList objects{"$null", classEntry("ArchiveNode")};
        for (int i = 0; i < count; ++i)
            objects << QVariantMap{{"$class", uid(1)}, {"ArchiveNode_shared", uid(i + 1 < count ? i + 3 : 0)}};
        return archive(objects);
    };
    constexpr int depth = 10'000;
    expectArchiveError(chain(depth), "10,000 nested objects");
    EXPECT_TRUE(KeyedUnarchiver::unarchiveObjectWithData(chain(KeyedUnarchiver::kMaximumDepth)));

    // 10,000 lists nested inside one another.
    QVariantList lists{"$null", classEntry("ZQArray")};
    for (int i = 0; i < depth; ++i)
        lists << QVariantMap{{"$class", uid(1)}, {"objects", QVariantList{uid(i + 3 < depth + 2 ? i + 3 : 0)}}};
    lists << classEntry("ArchiveNode") << QVariantMap{{"$class", uid(depth + 2)}, {"ArchiveNode_extra", uid(2)}};
    expectArchiveError(archive(lists, uid(depth + 3)), "10,000 nested lists");

    // Property-list level: nesting too deep for any parser's stack.
    platform::BinaryPropertyListWriter writer;
    auto inner = writer.array({});
    for (int i = 0; i < depth; ++i)
        inner = writer.array(std::vector{inner});
    const platform::BinaryPropertyListWriter::Ref keys[] = {writer.string("$archiver"), writer.string("$objects")};
    const platform::BinaryPropertyListWriter::Ref values[] = {writer.string("ZQKeyedArchiver"), inner};
    expectArchiveError(writer.serialize(writer.dictionary(keys, values)), "deep plist");
}

#include "KeyedArchiveTest.moc"

TEST_F(KeyedArchive, ObjectsMadeOnlyForTheArchiveKeepTheirOwnEntries)
{
    ArchiveOnTheFly root;
    for (int i = 0; i < 50; ++i)
        root.names << QStringLiteral("node %1").arg(i);
    const auto decoded = roundTrip<ArchiveOnTheFly>(root);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->names, root.names);
}

TEST_F(KeyedArchive, ADictionaryWrittenWithoutItsObjectsIsTheSameArchive)
{
    // Rows sharing strings with each other and with the table, a nested list and a shared
    // object inside a row: every entry must land where the objects' own encoding puts it.
    ArchiveTable table;
    table.title = QStringLiteral("Roads");
    const auto shared = std::make_shared<ArchiveNode>();
    shared->name = QStringLiteral("Roads");
    for (const QString& key : {QStringLiteral("name"), QStringLiteral("id"), QStringLiteral("Zone"), QStringLiteral("url")}) {
        auto row = std::make_shared<ArchiveNode>();
        row->name = key == QStringLiteral("id") ? QStringLiteral("Roads") : key + QStringLiteral(" value");
        row->count = key.size();
        row->weight = 0.5 * double(key.size());
        row->shared = shared;
        row->children << std::make_shared<ArchiveNode>();
        row->extra = QVariantList{1, QStringLiteral("name"), 2.5};
        table.rows.insert(key, row);
    }
    const QByteArray withObjects = KeyedArchiver::archivedDataWithRootObject(&table);
    table.writeWithoutObjects = true;
    const QByteArray without = KeyedArchiver::archivedDataWithRootObject(&table);
    EXPECT_EQ(without, withObjects);

    auto decoded = roundTrip<ArchiveTable>(table);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->rows.keys(), table.rows.keys());
    for (auto it = table.rows.cbegin(); it != table.rows.cend(); ++it) {
        const auto& row = decoded->rows.value(it.key());
        ASSERT_TRUE(row) << it.key().toStdString();
        EXPECT_EQ(row->name, it.value()->name);
        EXPECT_EQ(row->count, it.value()->count);
        EXPECT_EQ(row->extra, it.value()->extra);
        EXPECT_EQ(row->shared, decoded->rows.first()->shared) << "the shared node is still one object";
    }

    table.rows.clear();
    const QByteArray emptyWithout = KeyedArchiver::archivedDataWithRootObject(&table);
    table.writeWithoutObjects = false;
    EXPECT_EQ(emptyWithout, KeyedArchiver::archivedDataWithRootObject(&table)) << "an empty table";
}

TEST_F(KeyedArchive, OptionalFieldsAreFoundOrMissedInEveryEntry)
{
    // Each entry writes its own subset of the fields; one more field than any writes is asked
    // for too. Remembering which keys hold other text must never hide a key that is there.
    ArchiveSparse root;
    for (int e = 0; e < 40; ++e) {
        auto entry = std::make_shared<ArchiveSparse>();
        for (int i = 0; i < ArchiveSparse::kFields; ++i) {
            if ((i * 7 + e * 13) % (e % 5 + 2) == 0)
                entry->fields.insert(ArchiveSparse::field(i), e * 1000 + i);
        }
        root.more << entry;
    }
    auto decoded = roundTrip<ArchiveSparse>(root);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->more.size(), root.more.size());
    for (qsizetype e = 0; e < root.more.size(); ++e) {
        EXPECT_EQ(std::static_pointer_cast<ArchiveSparse>(decoded->more[e])->fields,
                  std::static_pointer_cast<ArchiveSparse>(root.more[e])->fields)
            << "entry " << e;
    }
}

TEST_F(KeyedArchive, ADictionaryIsReadWithItsObjectsFieldsInPlace)
{
    ArchiveMixed mixed;
    mixed.first = node("shared");
    mixed.members = {{"a", QVariant::fromValue(ZQObjectPtr(node("alpha")))},
                     {"b", QStringLiteral("text")},
                     {"c", QVariant::fromValue(ZQObjectPtr(std::make_shared<ArchiveShape>()))},
                     {"d", QVariant::fromValue(ZQObjectPtr(mixed.first))},
                     {"e", QVariant::fromValue(ZQObjectPtr(node("epsilon")))},
                     {"f", 7}};
    auto decoded = roundTrip<ArchiveMixed>(mixed);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->readInPlace, (QMap<QString, QString>{{"a", "alpha"}, {"e", "epsilon"}}));
    EXPECT_EQ(decoded->decodedAsValues.keys(), (QStringList{"b", "c", "d", "f"}));
    EXPECT_EQ(decoded->decodedAsValues["b"].toString(), "text");
    EXPECT_TRUE(std::dynamic_pointer_cast<ArchiveShape>(decoded->decodedAsValues["c"].value<ZQObjectPtr>()));
    EXPECT_EQ(decoded->decodedAsValues["d"].value<ZQObjectPtr>(), decoded->first) << "a node made already stays shared";
    EXPECT_EQ(decoded->decodedAsValues["f"].toLongLong(), 7);

    // An empty dictionary reads nothing.
    ArchiveMixed empty;
    empty.first = node("alone");
    auto none = roundTrip<ArchiveMixed>(empty);
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->readInPlace.isEmpty());
    EXPECT_TRUE(none->decodedAsValues.isEmpty());
}

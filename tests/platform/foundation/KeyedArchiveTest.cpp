#include "platform/foundation/ArchiveValueCoding.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQAssert.h"
#include "support/ArchiveTesting.h"
#include "support/LogCapture.h"

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
#include <plist/plist.h>

#include <bit>
#include <cmath>
#include <functional>
#include <limits>

using platform::ClassRegistry;
using platform::KeyedArchiver;
using platform::KeyedUnarchiver;
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

class ArchiveFaulty : public ZQObject {
    Q_OBJECT

public:
    void initWithCoder(KeyedUnarchiver&) override { ZQ_ASSERT(false, QStringLiteral("archive refused")); }
};

namespace {

void registerTestClasses()
{
    ClassRegistry::registerClass<ArchiveNode>();
    ClassRegistry::registerClass<ArchiveShape>();
    ClassRegistry::registerClass<ArchiveLabelledShape>();
    ClassRegistry::registerClass<ArchiveCurrentStroke>();
    ClassRegistry::registerClass<ArchiveMaster>();
    ClassRegistry::registerClass<ArchiveFaulty>();
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

QByteArray toBinary(plist_t plist)
{
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(plist, &bytes, &length);
    QByteArray data(bytes, qsizetype(length));
    plist_to_bin_free(bytes);
    plist_free(plist);
    return data;
}

plist_t dict(std::initializer_list<std::pair<const char*, plist_t>> items)
{
    plist_t d = plist_new_dict();
    for (const auto& [key, value] : items)
        plist_dict_set_item(d, key, value);
    return d;
}

plist_t array(std::initializer_list<plist_t> items)
{
    plist_t a = plist_new_array();
    for (plist_t item : items)
        plist_array_append_item(a, item);
    return a;
}

plist_t uid(quint64 value) { return plist_new_uid(value); }
plist_t string(const char* value) { return plist_new_string(value); }
plist_t classEntry(const char* name) { return dict({{"$classname", string(name)}, {"$classes", array({string(name)})}}); }

// An archive frame around `objects` (whose first entry should be "$null"), root at `root`.
QByteArray archive(plist_t objects, plist_t root = uid(2))
{
    return toBinary(dict({{"$archiver", string("ZQKeyedArchiver")},
                          {"$version", plist_new_uint(100000)},
                          {"$top", dict({{"root", root}})},
                          {"$objects", objects}}));
}

// Entry 1 is the ArchiveNode class, entry 2 the root node with `fields`; `more` follow from 3.
QByteArray nodeArchive(std::initializer_list<std::pair<const char*, plist_t>> fields, std::initializer_list<plist_t> more = {})
{
    plist_t root = dict({{"$class", uid(1)}});
    for (const auto& [key, value] : fields)
        plist_dict_set_item(root, key, value);
    plist_t objects = array({string("$null"), classEntry("ArchiveNode"), root});
    for (plist_t entry : more)
        plist_array_append_item(objects, entry);
    return archive(objects);
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

TEST_F(KeyedArchive, SharedObjectsDecodeOnceAndScalarsSurvive)
{
    auto shared = node("style");
    auto root = node("root");
    root->weight = 0.1;
    root->count = -7'000'000'000'000;
    root->flag = true;
    for (int i = 0; i < 3; ++i) {
        auto child = node(QStringLiteral("child %1").arg(i));
        child->shared = shared;
        child->count = std::numeric_limits<qint64>::min() + i;
        root->children << child;
    }
    root->shared = shared;

    auto decoded = roundTrip<ArchiveNode>(*root);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->name, "root");
    EXPECT_EQ(decoded->weight, 0.1);
    EXPECT_EQ(decoded->count, -7'000'000'000'000);
    EXPECT_TRUE(decoded->flag);
    ASSERT_EQ(decoded->children.size(), 3);
    ASSERT_TRUE(decoded->shared);
    for (int i = 0; i < 3; ++i) {
        auto child = std::dynamic_pointer_cast<ArchiveNode>(decoded->children[i]);
        ASSERT_TRUE(child);
        EXPECT_EQ(child->name, QStringLiteral("child %1").arg(i));
        EXPECT_EQ(child->count, std::numeric_limits<qint64>::min() + i);
        EXPECT_EQ(child->shared, decoded->shared) << "a shared object must decode as one object";
    }
}

TEST_F(KeyedArchive, ConditionalReferencesResolveOnlyToObjectsEncodedElsewhere)
{
    auto layer = node("layer");
    auto inside = node("inside");
    inside->owner = layer.get();
    layer->children << inside;
    auto lonely = node("lonely");
    auto stray = node("stray");
    lonely->owner = stray.get(); // never encoded unconditionally

    auto decodedLayer = roundTrip<ArchiveNode>(*layer);
    ASSERT_TRUE(decodedLayer);
    auto decodedInside = std::dynamic_pointer_cast<ArchiveNode>(decodedLayer->children.value(0));
    ASSERT_TRUE(decodedInside);
    EXPECT_EQ(decodedInside->owner, decodedLayer.get()) << "back-reference resolves to the object being decoded";

    auto decodedLonely = roundTrip<ArchiveNode>(*lonely);
    ASSERT_TRUE(decodedLonely);
    EXPECT_TRUE(decodedLonely->owner.isNull());

    // Encoded conditionally first, unconditionally later: still resolved.
    auto first = node("first");
    auto later = node("later");
    first->owner = later.get();
    auto top = node("top");
    top->children = {first, later};
    auto decodedTop = roundTrip<ArchiveNode>(*top);
    ASSERT_TRUE(decodedTop && decodedTop->children.size() == 2);
    EXPECT_EQ(std::dynamic_pointer_cast<ArchiveNode>(decodedTop->children[0])->owner, decodedTop->children[1].get());
}

TEST_F(KeyedArchive, UnconditionalCyclesDecodeToTheObjectInProgress)
{
    auto a = node("a");
    auto b = node("b");
    a->shared = b;
    b->shared = a;
    auto decoded = roundTrip<ArchiveNode>(*a);
    b->shared.reset();
    ASSERT_TRUE(decoded);
    auto decodedB = std::dynamic_pointer_cast<ArchiveNode>(decoded->shared);
    ASSERT_TRUE(decodedB);
    EXPECT_EQ(decodedB->shared, decoded);
    decodedB->shared.reset();
}

TEST_F(KeyedArchive, RenamedClassesSubstitutesAndReplacementsAreHonoured)
{
    ClassRegistry::registerClass<ArchiveRenamedStroke>();
    const QByteArray renamed = KeyedArchiver::archivedDataWithRootObject(std::make_shared<ArchiveRenamedStroke>().get());
    KeyedUnarchiver::setClassForClassName("ArchiveCurrentStroke", "ArchiveRenamedStroke");
    EXPECT_TRUE(std::dynamic_pointer_cast<ArchiveCurrentStroke>(KeyedUnarchiver::unarchiveObjectWithData(renamed)));

    ClassRegistry::setSubstituteClass("ArchiveShape", "ArchiveLabelledShape");
    EXPECT_TRUE(std::dynamic_pointer_cast<ArchiveLabelledShape>(roundTrip<ZQObject>(ArchiveShape())));
    ClassRegistry::setSubstituteClass("ArchiveShape", "ArchiveNode"); // not a subclass: ignored
    auto plain = roundTrip<ZQObject>(ArchiveShape());
    EXPECT_TRUE(plain && plain->className() == "ArchiveShape");
    ClassRegistry::setSubstituteClass("ArchiveShape", {});

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
    auto a = node("same"), b = node("same");
    auto root = node("root");
    root->children = {a, b};
    const QByteArray data = KeyedArchiver::archivedDataWithRootObject(root.get());
    plist_t plist = nullptr;
    plist_from_bin(data.constData(), uint32_t(data.size()), &plist);
    ASSERT_TRUE(plist);
    uint64_t length = 0;
    const auto text = [&](plist_t n) { return n && plist_get_node_type(n) == PLIST_STRING ? QString::fromUtf8(plist_get_string_ptr(n, &length)) : QString(); };
    const auto uidOf = [](plist_t n) { uint64_t v = ~0ull; plist_get_uid_val(n, &v); return v; };
    EXPECT_EQ(text(plist_dict_get_item(plist, "$archiver")), "ZQKeyedArchiver");
    EXPECT_EQ(plist_uint_val_compare(plist_dict_get_item(plist, "$version"), 100000), 0);
    plist_t objects = plist_dict_get_item(plist, "$objects");
    EXPECT_EQ(text(plist_array_get_item(objects, 0)), "$null");
    plist_t rootEntry = plist_array_get_item(objects, uint32_t(uidOf(plist_access_path(plist, 2, "$top", "root"))));
    plist_t classEntry = plist_array_get_item(objects, uint32_t(uidOf(plist_dict_get_item(rootEntry, "$class"))));
    EXPECT_EQ(text(plist_dict_get_item(classEntry, "$classname")), "ArchiveNode");
    plist_t chain = plist_dict_get_item(classEntry, "$classes");
    ASSERT_EQ(plist_array_get_size(chain), 2u);
    EXPECT_EQ(text(plist_array_get_item(chain, 1)), "ZQObject");
    EXPECT_EQ(text(plist_array_get_item(objects, uint32_t(uidOf(plist_dict_get_item(rootEntry, "ArchiveNode_name"))))), "root");
    plist_t weight = plist_dict_get_item(rootEntry, "ArchiveNode_weight");
    EXPECT_EQ(plist_get_node_type(weight), PLIST_REAL) << "scalars are inline";
    int sameCount = 0;
    for (uint32_t i = 0; i < plist_array_get_size(objects); ++i)
        sameCount += text(plist_array_get_item(objects, i)) == "same";
    EXPECT_EQ(sameCount, 1) << "equal strings are written once";
    plist_free(plist);
}

// --- Values ---------------------------------------------------------------------------

TEST_F(KeyedArchive, QtValueTypesRoundTrip)
{
    const QColor rgb = QColor::fromRgbF(0.25f, 0.5f, 0.75f, 0.4f);
    const QColor extended = QColor::fromRgbF(1.5f, -0.25f, 0.5f, 1.0f);
    EXPECT_EQ(valueRoundTrip(rgb).value<QColor>(), rgb);
    EXPECT_EQ(valueRoundTrip(extended).value<QColor>(), extended);
    EXPECT_EQ(valueRoundTrip(QColor(Qt::red).toHsv()).value<QColor>().spec(), QColor::Hsv);
    EXPECT_FALSE(valueRoundTrip(QColor()).value<QColor>().isValid());

    QFont font("DejaVu Sans", 13);
    font.setWeight(QFont::DemiBold);
    font.setItalic(true);
    const QFont decodedFont = valueRoundTrip(font).value<QFont>();
    EXPECT_EQ(decodedFont.family(), "DejaVu Sans");
    EXPECT_EQ(decodedFont.pointSizeF(), 13);
    EXPECT_EQ(decodedFont.weight(), QFont::DemiBold);
    EXPECT_TRUE(decodedFont.italic());

    const QTransform transform = QTransform().rotate(30).scale(2, -0.5).translate(1e-9, 12345.678);
    const QTransform perspective(1, 2, 0.001, 3, 4, 0.002, 5, 6, 1);
    EXPECT_EQ(valueRoundTrip(transform).value<QTransform>(), transform);
    EXPECT_EQ(valueRoundTrip(perspective).value<QTransform>(), perspective);

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
    const QImage decodedImage = valueRoundTrip(image).value<QImage>();
    ASSERT_EQ(decodedImage.size(), QSize(3, 2));
    EXPECT_EQ(decodedImage.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(decodedImage.pixel(2, 1), qRgba(0, 128, 255, 64));
    EXPECT_TRUE(valueRoundTrip(QImage()).value<QImage>().isNull());

    const QDateTime when = QDateTime::fromMSecsSinceEpoch(-12'345'678'901'234, Qt::UTC);
    EXPECT_EQ(valueRoundTrip(when).toDateTime(), when);
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
    EXPECT_EQ(ints[0].toLongLong(), 0);
    EXPECT_EQ(ints[1].toLongLong(), -1);
    EXPECT_EQ(ints[2].toLongLong(), std::numeric_limits<qint64>::max());
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

    const auto frame = [](plist_t top, plist_t objects, const char* archiver = "ZQKeyedArchiver") {
        plist_t d = dict({{"$archiver", string(archiver)}, {"$version", plist_new_uint(100000)}});
        if (top)
            plist_dict_set_item(d, "$top", top);
        if (objects)
            plist_dict_set_item(d, "$objects", objects);
        return toBinary(d);
    };
    expectArchiveError(frame(dict({{"root", uid(1)}}), nullptr), "$objects missing");
    expectArchiveError(frame(dict({{"root", uid(1)}}), string("objects")), "$objects a string");
    expectArchiveError(frame(dict({{"root", uid(1)}}), array({})), "$objects empty");
    expectArchiveError(frame(nullptr, array({string("$null")})), "$top missing");
    expectArchiveError(frame(dict({}), array({string("$null")})), "no root");
    expectArchiveError(frame(dict({{"root", uid(1)}}), array({string("$null"), classEntry("ArchiveNode")}), "Other"), "foreign archiver");
    expectArchiveError(toBinary(array({string("$null")})), "root not a dictionary");
}

TEST_F(KeyedArchive, DamagedEntriesFailAtTheTopAndAreSkippedInside)
{
    LogCapture log;
    expectArchiveError(archive(array({string("$null")}), uid(99)), "root out of range");
    expectArchiveError(nodeArchive({}, {}).replace("ArchiveNode", "NoSuchClass"), "unregistered root class");
    expectArchiveError(archive(array({string("$null"), dict({{"$classes", array({})}}), dict({{"$class", uid(1)}})})), "$classname missing");
    expectArchiveError(archive(array({string("$null"), dict({{"$classname", plist_new_uint(3)}}), dict({{"$class", uid(1)}})})), "$classname an integer");
    expectArchiveError(archive(array({string("$null"), classEntry("ArchiveNode"), dict({{"$class", uid(2)}})})), "$class is the entry itself");
    expectArchiveError(archive(array({string("$null"), classEntry("ArchiveNode"), string("text")})), "string as root");
    expectArchiveError(archive(array({string("$null"), classEntry("ArchiveNode"), dict({})})), "no $class");
    expectArchiveError(archive(array({string("$null"), classEntry("ArchiveFaulty"), dict({{"$class", uid(1)}})})), "assertion in initWithCoder");
    KeyedUnarchiver faulty(archive(array({string("$null"), classEntry("ArchiveFaulty"), dict({{"$class", uid(1)}})})));
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
        {string("kept"),
         dict({{"$class", uid(7)}}),
         dict({{"$class", uid(8)}, {"objects", array({uid(5), uid(3), uid(4), uid(0), plist_new_bool(1), uid(2)})}}),
         dict({{"$class", uid(8)}, {"objects", string("not an array")}}),
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
    EXPECT_TRUE(log.contains("unknown class NoSuchClass"));
    EXPECT_TRUE(log.contains("out of range"));
    EXPECT_TRUE(log.contains("contains itself"));
}

TEST_F(KeyedArchive, DamagedValuesDecodeAsEmptyValues)
{
    const auto valueArchive = [](const char* className, std::initializer_list<std::pair<const char*, plist_t>> fields) {
        plist_t entry = dict({{"$class", uid(4)}});
        for (const auto& [key, value] : fields)
            plist_dict_set_item(entry, key, value);
        return nodeArchive({{"ArchiveNode_extra", uid(3)}}, {entry, classEntry(className)});
    };
    const auto decodedExtra = [](const QByteArray& data) {
        auto decoded = std::dynamic_pointer_cast<ArchiveNode>(KeyedUnarchiver::unarchiveObjectWithData(data));
        return decoded ? decoded->extra : QVariant();
    };
    const auto bytes = [](const QByteArray& b) { return plist_new_data(b.constData(), quint64(b.size())); };
    LogCapture log;

    const QByteArray lineTo(1, char(QPainterPath::LineToElement)), curveTo(1, char(QPainterPath::CurveToElement));
    const QByteArray origin(16, '\0');
    for (const auto& [types, coordinates] : {std::pair{lineTo, QByteArray(15, '\0')},  // short coordinates
                                            std::pair{QByteArray(1, char(9)), origin}, // unknown element
                                            std::pair{curveTo, origin},                // curve without its points
                                            std::pair{lineTo, QByteArray(QByteArray(8, '\xff') + QByteArray(8, '\0'))}}) { // NaN
        const QVariant path = decodedExtra(valueArchive("ZQPath", {{"elementTypes", bytes(types)}, {"coordinates", bytes(coordinates)}}));
        ASSERT_EQ(path.metaType(), QMetaType::fromType<QPainterPath>());
        EXPECT_TRUE(path.value<QPainterPath>().isEmpty());
    }
    EXPECT_TRUE(log.contains("malformed path"));

    EXPECT_FALSE(decodedExtra(valueArchive("ZQColor", {{"spec", plist_new_uint(99)}})).value<QColor>().isValid());
    const QColor clamped = decodedExtra(valueArchive("ZQColor", {{"spec", plist_new_uint(QColor::Rgb)}, {"red", plist_new_real(7)},
                                                                 {"alpha", plist_new_real(-1)}})).value<QColor>();
    EXPECT_EQ(clamped, QColor::fromRgbF(1, 0, 0, 0));
    EXPECT_EQ(decodedExtra(valueArchive("ZQFont", {{"description", plist_new_uint(1)}})).metaType(), QMetaType::fromType<QFont>());
    EXPECT_EQ(decodedExtra(valueArchive("ZQValue", {{"rect", plist_new_uint(1)}})).toRectF(), QRectF());

    // A small PNG whose pixels would take more memory than an archive may ask for.
    QImage huge(9000, 8000, QImage::Format_Mono);
    huge.fill(0);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(huge.save(&buffer, "PNG"));
    ASSERT_LT(png.size(), 1 << 20);
    EXPECT_TRUE(decodedExtra(valueArchive("ZQImage", {{"png", bytes(png)}})).value<QImage>().isNull());
    EXPECT_TRUE(log.contains("image refused"));
}

TEST_F(KeyedArchive, DeepNestingAndSharedSubtreesAreRefused)
{
    // 10,000 objects, each holding the next.
    plist_t objects = array({string("$null"), classEntry("ArchiveNode")});
    constexpr int depth = 10'000;
    for (int i = 0; i < depth; ++i)
        plist_array_append_item(objects, dict({{"$class", uid(1)}, {"ArchiveNode_shared", uid(i + 3 < depth + 2 ? i + 3 : 0)}}));
    expectArchiveError(archive(objects), "10,000 nested objects");

    // Just inside the limit decodes.
    plist_t shallow = array({string("$null"), classEntry("ArchiveNode")});
    constexpr int allowed = KeyedUnarchiver::kMaximumDepth;
    for (int i = 0; i < allowed; ++i)
        plist_array_append_item(shallow, dict({{"$class", uid(1)}, {"ArchiveNode_shared", uid(i + 1 < allowed ? i + 3 : 0)}}));
    EXPECT_TRUE(KeyedUnarchiver::unarchiveObjectWithData(archive(shallow)));

    // 10,000 lists nested inside one another.
    plist_t lists = array({string("$null"), classEntry("ZQArray")});
    for (int i = 0; i < depth; ++i)
        plist_array_append_item(lists, dict({{"$class", uid(1)}, {"objects", array({uid(i + 3 < depth + 2 ? i + 3 : 0)})}}));
    plist_array_append_item(lists, classEntry("ArchiveNode"));
    plist_array_append_item(lists, dict({{"$class", uid(depth + 2)}, {"ArchiveNode_extra", uid(2)}}));
    expectArchiveError(archive(lists, uid(depth + 3)), "10,000 nested lists");

    // Property-list level: deep nesting and a small file whose shared subtrees expand exponentially.
    plist_t deep = plist_new_array();
    plist_t inner = deep;
    for (int i = 0; i < depth; ++i) {
        plist_t next = plist_new_array();
        plist_array_append_item(inner, next);
        inner = next;
    }
    expectArchiveError(toBinary(dict({{"$archiver", string("ZQKeyedArchiver")}, {"$objects", deep}})), "deep plist");
}

#include "KeyedArchiveTest.moc"

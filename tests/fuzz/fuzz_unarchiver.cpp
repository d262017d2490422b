// Fuzzes the keyed-archive reader with archives of two small registered classes that
// read (and write back) every kind of field. A decoded root is archived and read again,
// so values the reader produces must also be writable.
#include "FuzzSupport.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"
#include "platform/foundation/ZQLog.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainterPath>
#include <QPointer>
#include <QTransform>
#include <cstdint>
#include <vector>

using platform::KeyedArchiver;
using platform::KeyedUnarchiver;

// Every object made, so cycles a hostile archive builds between owning references can
// be broken after each input instead of being reported as leaks.
class FuzzObject : public ZQObject {
    Q_OBJECT

public:
    static inline std::vector<std::weak_ptr<FuzzObject>> made;
    virtual void dropReferences() = 0;

    template <class T>
    static std::shared_ptr<T> make()
    {
        auto object = std::make_shared<T>();
        made.push_back(object);
        return object;
    }
};

class FuzzLeaf : public FuzzObject {
    Q_OBJECT

public:
    QString name;
    QVariant value;

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        coder.encodeString(name, QStringLiteral("name"));
        coder.encodeObject(value, QStringLiteral("value"));
    }
    void initWithCoder(KeyedUnarchiver& coder) override
    {
        name = coder.decodeString(QStringLiteral("name"));
        value = coder.decodeValue(QStringLiteral("value"));
    }
    // Some leaves stand in for another object, as registered masters do.
    ZQObjectPtr awakeAfterUsingCoder(KeyedUnarchiver&) override
    {
        if (name == QLatin1StringView("replace")) {
            auto replacement = make<FuzzLeaf>();
            replacement->name = QStringLiteral("replaced");
            return replacement;
        }
        return shared_from_this();
    }
    void dropReferences() override { value.clear(); }
};

class FuzzNode : public FuzzObject {
    Q_OBJECT

public:
    QString name;
    qint64 integer = 0;
    double real = 0;
    bool flag = false;
    ZQObjectPtr child;
    QPointer<ZQObject> owner;
    std::shared_ptr<FuzzLeaf> leaf;
    QVariant value;
    QByteArray data;
    QColor colour;
    QFont font;
    QTransform transform;
    QPainterPath path;
    QImage image;
    QPointF point;
    QSizeF size;
    QRectF rect;

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        coder.encodeString(name, QStringLiteral("name"));
        coder.encodeInt(integer, QStringLiteral("integer"));
        coder.encodeDouble(real, QStringLiteral("real"));
        coder.encodeBool(flag, QStringLiteral("flag"));
        coder.encodeObject(child.get(), QStringLiteral("child"));
        coder.encodeConditionalObject(owner.data(), QStringLiteral("owner"));
        coder.encodeObject(leaf.get(), QStringLiteral("leaf"));
        coder.encodeObject(value, QStringLiteral("value"));
        coder.encodeData(data, QStringLiteral("data"));
        coder.encodeColor(colour, QStringLiteral("colour"));
        coder.encodeFont(font, QStringLiteral("font"));
        coder.encodeTransform(transform, QStringLiteral("transform"));
        coder.encodePath(path, QStringLiteral("path"));
        coder.encodeImage(image, QStringLiteral("image"));
        coder.encodePoint(point, QStringLiteral("point"));
        coder.encodeSize(size, QStringLiteral("size"));
        coder.encodeRect(rect, QStringLiteral("rect"));
    }

    void initWithCoder(KeyedUnarchiver& coder) override
    {
        name = coder.decodeString(QStringLiteral("name"));
        integer = coder.decodeInt(QStringLiteral("integer"));
        real = coder.decodeDouble(QStringLiteral("real"));
        flag = coder.decodeBool(QStringLiteral("flag"));
        child = coder.decodeObject(QStringLiteral("child"));
        owner = coder.decodeObject(QStringLiteral("owner")).get();
        leaf = coder.decodeObjectOfClass<FuzzLeaf>(QStringLiteral("leaf"));
        value = coder.decodeValue(QStringLiteral("value"));
        data = coder.decodeData(QStringLiteral("data"));
        colour = coder.decodeColor(QStringLiteral("colour"));
        font = coder.decodeFont(QStringLiteral("font"));
        transform = coder.decodeTransform(QStringLiteral("transform"));
        path = coder.decodePath(QStringLiteral("path"));
        image = coder.decodeImage(QStringLiteral("image"));
        point = coder.decodePoint(QStringLiteral("point"));
        size = coder.decodeSize(QStringLiteral("size"));
        rect = coder.decodeRect(QStringLiteral("rect"));
    }

    void dropReferences() override
    {
        child.reset();
        leaf.reset();
        value.clear();
    }
};

namespace {

void breakCycles()
{
    for (const std::weak_ptr<FuzzObject>& weak : FuzzObject::made) {
        if (auto object = weak.lock())
            object->dropReferences();
    }
    FuzzObject::made.clear();
}

void setUp()
{
    fuzz::startQuietApplication("fuzz_unarchiver");
    registerFoundationClasses();
    platform::ClassRegistry::registerFactory(&FuzzLeaf::staticMetaObject, [] { return FuzzObject::make<FuzzLeaf>(); });
    platform::ClassRegistry::registerFactory(&FuzzNode::staticMetaObject, [] { return FuzzObject::make<FuzzNode>(); });
    KeyedUnarchiver::setClassForClassName(QStringLiteral("FuzzLeaf"), QStringLiteral("FuzzOldLeaf"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    static const bool ready = (setUp(), true);
    Q_UNUSED(ready);
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), qsizetype(size));
    if (ZQObjectPtr root = KeyedUnarchiver::unarchiveObjectWithData(data)) {
        const QByteArray again = KeyedArchiver::archivedDataWithRootObject(root.get());
        QuorvaneError error;
        KeyedUnarchiver::unarchiveObjectWithData(again, &error);
        if (error)
            qFatal("a re-archived graph did not read back: %s", qPrintable(error.localizedDescription()));
    }
    breakCycles();
    return 0;
}

#include "fuzz_unarchiver.moc"

#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/inspector/KeyPathReader.h"

#include <QPointF>
#include <QVariantMap>
#include <cmath>
#include <gtest/gtest.h>

namespace {

class Plate : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString text MEMBER text)

public:
    QString text;
};

// A signpost that counts the reads of its plate, with tags and a plate that cannot be read.
class Signpost : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(ZQObjectPtr plate READ plate)
    Q_PROPERTY(QVariantMap tags MEMBER tags)
    Q_PROPERTY(ZQObjectPtr brokenPlate READ brokenPlate)

public:
    std::shared_ptr<Plate> ownPlate = std::make_shared<Plate>();
    QVariantMap tags;
    mutable int plateReads = 0;

    ZQObjectPtr plate() const { return ++plateReads, ownPlate; }
    ZQObjectPtr brokenPlate() const { platform::failAssertion("no plate", Q_FUNC_INFO, __FILE__, __LINE__); }
};

// A road sign with properties of the kinds the inspectors compare.
class RoadSign : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QPointF at MEMBER at)
    Q_PROPERTY(double width MEMBER width)
    Q_PROPERTY(QString text MEMBER text)
    Q_PROPERTY(QVariant tag MEMBER tag)
    Q_PROPERTY(ZQObjectPtr plate READ plate)

public:
    QPointF at;
    double width = 0;
    QString text;
    QVariant tag;
    std::shared_ptr<Plate> ownPlate = std::make_shared<Plate>();

    ZQObjectPtr plate() const { return ownPlate; }
};

} // namespace

TEST(KeyPathReader, GivesTheValueOnlyWhereItDiffersFromTheOneGiven)
{
    const QStringList paths{"at", "width", "text", "tag", "plate.text", "objectName"};
    platform::KeyPathReader reader(paths);
    RoadSign first, near, other;
    first.at = {10, 20};
    near.at = {10, 20.000000000001}; // equal as points compare, within their fuzz
    other.at = {10, 21};
    first.width = 1.0;
    near.width = 1.0;
    other.width = std::nextafter(1.0, 2.0);
    first.text = near.text = "Ford";
    other.text = "ford";
    first.tag = 3;
    near.tag = 3.0; // numbers of different types compare by value
    other.tag = QStringLiteral("three");
    first.ownPlate->text = near.ownPlate->text = "A1";
    other.ownPlate->text = "A2";
    first.setObjectName("sign");
    near.setObjectName("sign");
    QVariantList firstValues;
    reader.setObject(first);
    for (qsizetype k = 0; k < paths.size(); ++k)
        firstValues.append(reader.value(k));
    for (RoadSign* sign : {&first, &near, &other, &near}) {
        reader.setObject(*sign);
        for (qsizetype k = 0; k < paths.size(); ++k) {
            const std::optional<QVariant> differing = reader.differingValue(k, firstValues[k]);
            EXPECT_EQ(differing.has_value(), sign == &other) << paths[k].toStdString();
            if (differing)
                EXPECT_EQ(*differing, reader.value(k)) << paths[k].toStdString();
        }
    }
    // A value of another type than the property's is compared as QVariant compares them.
    reader.setObject(near);
    EXPECT_EQ(reader.differingValue(1, QVariant(1)), std::nullopt);
    EXPECT_EQ(reader.differingValue(1, QVariant(QStringLiteral("wide"))), QVariant(1.0));
}

TEST(KeyPathReader, ReadsEachSharedLinkOncePerObjectAndFailsEveryPathThroughABrokenOne)
{
    const QStringList paths{"plate.text", "tags.ref", "plate.objectName", "brokenPlate.text", "brokenPlate.name"};
    platform::KeyPathReader reader(paths);
    Signpost mill, ford;
    mill.ownPlate->text = "Old Mill";
    mill.tags = {{"ref", "M1"}};
    ford.ownPlate.reset();
    reader.setObject(mill);
    for (qsizetype k = 0; k < 3; ++k)
        reader.value(k);
    EXPECT_EQ(mill.plateReads, 1);
    for (Signpost* post : {&mill, &ford}) {
        reader.setObject(*post);
        for (qsizetype k = 0; k < 3; ++k)
            EXPECT_EQ(reader.value(k), post->valueForKeyPath(paths[k])) << paths[k].toStdString();
        for (qsizetype k : {3, 4, 3})
            EXPECT_THROW(reader.value(k), platform::AssertionFailure);
    }
}

#include "KeyPathReaderTest.moc"

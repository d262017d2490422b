#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/inspector/KeyPathReader.h"

#include <QVariantMap>
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

} // namespace

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

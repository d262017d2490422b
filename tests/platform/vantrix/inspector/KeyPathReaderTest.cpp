#include "platform/foundation/ZQAssert.h"
#include "platform/vantrix/inspector/KeyPathReader.h"

#include <QVariantMap>
#include <gtest/gtest.h>

namespace {

class Plate : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(QString text MEMBER text)
    Q_PROPERTY(double size MEMBER size)

public:
    QString text;
    double size = 0;
};

// A signpost with a plate it counts the reads of, a dictionary of tags, and a plate that
// cannot be read.
class Signpost : public ZQObject {
    Q_OBJECT
    Q_PROPERTY(ZQObjectPtr plate READ plate)
    Q_PROPERTY(QVariantMap tags MEMBER tags)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(ZQObjectPtr brokenPlate READ brokenPlate)

public:
    std::shared_ptr<Plate> ownPlate;
    QVariantMap tags;
    QString name;
    mutable int plateReads = 0;

    ZQObjectPtr plate() const
    {
        ++plateReads;
        return ownPlate;
    }
    ZQObjectPtr brokenPlate() const { platform::failAssertion(QStringLiteral("no plate"), Q_FUNC_INFO, __FILE__, __LINE__); }
};

std::shared_ptr<Signpost> signpost(const QString& name, const QString& text, double size)
{
    auto post = std::make_shared<Signpost>();
    post->name = name;
    post->ownPlate = std::make_shared<Plate>();
    post->ownPlate->text = text;
    post->ownPlate->size = size;
    post->tags = {{QStringLiteral("ref"), name.toUpper()}};
    return post;
}

} // namespace

TEST(KeyPathReader, ReadsWhatKeyPathsReadWithEachSharedLinkReadOncePerObject)
{
    const QStringList paths{"plate.text", "name", "plate.size", "tags.ref"};
    platform::KeyPathReader reader(paths);
    const auto mill = signpost("Mill", "Old Mill", 2.5);
    const auto ford = signpost("Ford", "Ford", 4);
    for (const auto& post : {mill, ford}) {
        reader.setObject(*post);
        QVariantList values;
        for (qsizetype k = 0; k < paths.size(); ++k)
            values.append(reader.value(k));
        EXPECT_EQ(post->plateReads, 1);
        for (qsizetype k = 0; k < paths.size(); ++k)
            EXPECT_EQ(values[k], post->valueForKeyPath(paths[k])) << paths[k].toStdString();
    }
    // A new object is read afresh, not from the last one's link.
    reader.setObject(*mill);
    EXPECT_EQ(reader.value(0).toString(), QStringLiteral("Old Mill"));
    mill->ownPlate.reset();
    reader.setObject(*mill);
    EXPECT_FALSE(reader.value(0).isValid());
    EXPECT_FALSE(reader.value(2).isValid());
    EXPECT_EQ(reader.value(1).toString(), QStringLiteral("Mill"));
}

TEST(KeyPathReader, ALinkThatCannotBeReadFailsEveryPathThroughItEachTime)
{
    platform::KeyPathReader reader({"brokenPlate.text", "name", "brokenPlate.size", "plate.missing"});
    const auto post = signpost("Weir", "Weir", 1);
    reader.setObject(*post);
    EXPECT_THROW(reader.value(0), platform::AssertionFailure);
    EXPECT_EQ(reader.value(1).toString(), QStringLiteral("Weir"));
    EXPECT_THROW(reader.value(2), platform::AssertionFailure);
    EXPECT_THROW(reader.value(0), platform::AssertionFailure);
    // An undefined key beyond a link raises as the object's own reading does.
    EXPECT_THROW(reader.value(3), platform::AssertionFailure);
}

#include "KeyPathReaderTest.moc"

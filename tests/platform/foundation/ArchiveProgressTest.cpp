// Progress and stopping through a large keyed archive: the fractions told rise to 1 in both
// directions, a hook that never stops leaves the archive byte for byte as it was, and a stop
// part-way answers nothing.

#include "platform/foundation/ArchiveProgress.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

#include <gtest/gtest.h>

using platform::KeyedArchiver;
using platform::KeyedUnarchiver;
using platform::archive::ProgressScope;

class ProgressNode : public ZQObject {
    Q_OBJECT

public:
    QString name;
    double value = 0;
    ZQObjectPtr style;
    QVariantMap attributes;
    QVariantList parts;
    // Archived on its own inside this node's entry, as classes keep copies of shared objects.
    ZQObjectPtr embedded;

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        coder.encodeString(name, "ProgressNode_name");
        coder.encodeDouble(value, "ProgressNode_value");
        coder.encodeObject(style.get(), "ProgressNode_style");
        if (!attributes.isEmpty())
            coder.encodeObject(QVariant(attributes), "ProgressNode_attributes");
        coder.encodeObject(QVariant(parts), "ProgressNode_parts");
        if (embedded)
            coder.encodeData(KeyedArchiver::archivedDataWithRootObject(embedded.get()), "ProgressNode_embedded");
    }

    void initWithCoder(KeyedUnarchiver& coder) override
    {
        name = coder.decodeString("ProgressNode_name");
        value = coder.decodeDouble("ProgressNode_value");
        style = coder.decodeObject("ProgressNode_style");
        attributes = coder.decodeValue("ProgressNode_attributes").toMap();
        parts = coder.decodeValue("ProgressNode_parts").toList();
        if (coder.containsValueForKey("ProgressNode_embedded"))
            embedded = KeyedUnarchiver::unarchiveObjectWithData(coder.decodeData("ProgressNode_embedded"));
    }
};

namespace {

std::shared_ptr<ProgressNode> node(const QString& name, const ZQObjectPtr& style = nullptr)
{
    auto made = std::make_shared<ProgressNode>();
    made->name = name;
    made->value = name.size() * 0.25;
    made->style = style;
    return made;
}

// A map-like graph of uneven layers sharing one style; one layer keeps its objects in a
// dictionary, so both kinds of container move the fraction. Each layer embeds an archive of
// its own, whose coders must not report to the same hook.
std::shared_ptr<ProgressNode> largeGraph()
{
    const auto style = node(QStringLiteral("style"));
    auto root = node(QStringLiteral("root"));
    for (int count : {3, 6000, 40, 2500}) {
        auto layer = node(QStringLiteral("layer of %1").arg(count), style);
        layer->embedded = node(QStringLiteral("embedded"));
        for (int i = 0; i < count; ++i)
            layer->parts << QVariant::fromValue<ZQObjectPtr>(node(QStringLiteral("object %1.%2").arg(count).arg(i), style));
        root->parts << QVariant::fromValue<ZQObjectPtr>(layer);
    }
    auto keyed = node(QStringLiteral("keyed"), style);
    for (int i = 0; i < 1500; ++i)
        keyed->attributes.insert(QStringLiteral("k%1").arg(i, 5, 10, QLatin1Char('0')),
                                 QVariant::fromValue<ZQObjectPtr>(node(QStringLiteral("value %1").arg(i))));
    root->parts << QVariant::fromValue<ZQObjectPtr>(keyed);
    return root;
}

// Records what a hook is told, and stops once a fraction reaches `stopAt`.
struct Recorder {
    explicit Recorder(double stop = 2.0) : stopAt(stop) {}

    double stopAt;
    QList<double> fractions;

    platform::archive::Progress hook()
    {
        return [this](double fraction) {
            fractions << fraction;
            return fraction < stopAt;
        };
    }
};

QByteArray archiveWatched(const ZQObject& root, Recorder& recorder)
{
    const ProgressScope scope(recorder.hook());
    return KeyedArchiver::archivedDataWithRootObject(&root);
}

ZQObjectPtr unarchiveWatched(const QByteArray& data, Recorder& recorder, QuorvaneError* error)
{
    const ProgressScope scope(recorder.hook());
    return KeyedUnarchiver::unarchiveObjectWithData(data, error);
}

void expectRisingToOne(const QList<double>& fractions, const char* what)
{
    ASSERT_GT(fractions.size(), 20) << what;
    EXPECT_GE(fractions.first(), 0.0) << what;
    for (qsizetype i = 1; i < fractions.size(); ++i)
        EXPECT_GE(fractions[i], fractions[i - 1]) << what << " at " << i;
    EXPECT_EQ(fractions.last(), 1.0) << what;
    // The bar moves through the work rather than leaping at the end.
    EXPECT_LT(fractions[fractions.size() / 2], 0.9) << what;
    EXPECT_GT(fractions[fractions.size() - 2], 0.5) << what;
}

class ArchiveProgress : public ::testing::Test {
protected:
    static void SetUpTestSuite() { platform::ClassRegistry::registerClass<ProgressNode>(); }
};

} // namespace

TEST_F(ArchiveProgress, FractionsRiseToOneAndAHookThatNeverStopsChangesNoByte)
{
    const auto root = largeGraph();
    const QByteArray plain = KeyedArchiver::archivedDataWithRootObject(root.get());

    Recorder encoding;
    const QByteArray watched = archiveWatched(*root, encoding);
    EXPECT_EQ(watched, plain);
    expectRisingToOne(encoding.fractions, "encoding");

    Recorder decoding;
    QuorvaneError error;
    const auto decoded =
        std::dynamic_pointer_cast<ProgressNode>(unarchiveWatched(plain, decoding, &error));
    ASSERT_TRUE(decoded) << error.localizedDescription().toStdString();
    expectRisingToOne(decoding.fractions, "decoding");
    EXPECT_EQ(KeyedArchiver::archivedDataWithRootObject(decoded.get()), plain);
}

TEST_F(ArchiveProgress, StoppingPartWayAnswersNothingAndIsNotAskedAgain)
{
    const auto root = largeGraph();
    const QByteArray plain = KeyedArchiver::archivedDataWithRootObject(root.get());

    Recorder encoding{0.5};
    EXPECT_TRUE(archiveWatched(*root, encoding).isEmpty());
    ASSERT_FALSE(encoding.fractions.isEmpty());
    EXPECT_GE(encoding.fractions.last(), 0.5);
    EXPECT_LT(encoding.fractions.last(), 1.0);
    EXPECT_EQ(std::count_if(encoding.fractions.cbegin(), encoding.fractions.cend(), [](double f) { return f >= 0.5; }), 1);

    // A stop told with the last fraction still leaves nothing.
    Recorder atTheEnd{1.0};
    EXPECT_TRUE(archiveWatched(*root, atTheEnd).isEmpty());
    EXPECT_EQ(atTheEnd.fractions.last(), 1.0);

    Recorder decoding{0.5};
    QuorvaneError error;
    EXPECT_EQ(unarchiveWatched(plain, decoding, &error), nullptr);
    EXPECT_EQ(error.code(), kQuorvaneDocumentError);
    EXPECT_TRUE(error.localizedDescription().contains(QStringLiteral("stopped")))
        << error.localizedDescription().toStdString();
    EXPECT_EQ(std::count_if(decoding.fractions.cbegin(), decoding.fractions.cend(), [](double f) { return f >= 0.5; }), 1);

    // The same archive reads whole when nobody stops it.
    EXPECT_NE(KeyedUnarchiver::unarchiveObjectWithData(plain), nullptr);
}

#include "ArchiveProgressTest.moc"

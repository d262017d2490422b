// Progress and stopping through a large keyed archive.

#include "platform/foundation/ArchiveProgress.h"
#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

#include <gtest/gtest.h>

using platform::KeyedArchiver;
using platform::KeyedUnarchiver;
using platform::archive::ProgressScope;

// Parts in a list or a dictionary, and an object archived on its own inside the entry, as
// classes keep copies of shared objects: those nested coders must not report.
class ProgressNode : public ZQObject {
    Q_OBJECT

public:
    QString name;
    QVariantList parts;
    QVariantMap keyedParts;
    ZQObjectPtr embedded;

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        coder.encodeString(name, "ProgressNode_name");
        coder.encodeObject(QVariant(parts), "ProgressNode_parts");
        coder.encodeObject(QVariant(keyedParts), "ProgressNode_keyedParts");
        if (embedded)
            coder.encodeData(KeyedArchiver::archivedDataWithRootObject(embedded.get()), "ProgressNode_embedded");
    }

    void initWithCoder(KeyedUnarchiver& coder) override
    {
        name = coder.decodeString("ProgressNode_name");
        parts = coder.decodeValue("ProgressNode_parts").toList();
        keyedParts = coder.decodeValue("ProgressNode_keyedParts").toMap();
        if (coder.containsValueForKey("ProgressNode_embedded"))
            embedded = KeyedUnarchiver::unarchiveObjectWithData(coder.decodeData("ProgressNode_embedded"));
    }
};

namespace {

QVariant node(const QString& name)
{
    auto made = std::make_shared<ProgressNode>();
    made->name = name;
    return QVariant::fromValue<ZQObjectPtr>(made);
}

// Uneven layers, as maps have them.
std::shared_ptr<ProgressNode> largeGraph()
{
    auto root = std::make_shared<ProgressNode>();
    for (int count : {3, 6000, 40, 2500}) {
        auto layer = std::make_shared<ProgressNode>();
        layer->embedded = node(QStringLiteral("embedded")).value<ZQObjectPtr>();
        for (int i = 0; i < count; ++i)
            layer->parts << node(QStringLiteral("object %1.%2").arg(count).arg(i));
        root->parts << QVariant::fromValue<ZQObjectPtr>(layer);
    }
    for (int i = 0; i < 1500; ++i)
        root->keyedParts.insert(QStringLiteral("k%1").arg(i, 5, 10, QLatin1Char('0')), node(QString::number(i)));
    return root;
}

// Hears a coder made in its scope, stopping once a fraction reaches `stopAt`.
struct Recorder : ProgressScope {
    explicit Recorder(double stopAt = 2.0)
        : ProgressScope([this, stopAt](double fraction) {
            fractions << fraction;
            return fraction < stopAt;
        })
    {
    }
    QList<double> fractions;

    void expectRisingToOne() const
    {
        ASSERT_GT(fractions.size(), 20);
        EXPECT_TRUE(std::is_sorted(fractions.cbegin(), fractions.cend()));
        EXPECT_EQ(fractions.last(), 1.0);
        EXPECT_LT(fractions[fractions.size() / 2], 0.9); // moving through the work, not leaping at the end
    }
    qsizetype toldFrom(double fraction) const
    {
        return std::count_if(fractions.cbegin(), fractions.cend(), [=](double f) { return f >= fraction; });
    }
};

} // namespace

TEST(ArchiveProgress, FractionsRiseToOneChangeNoByteAndAStopPartWayAnswersNothing)
{
    platform::ClassRegistry::registerClass<ProgressNode>();
    const auto root = largeGraph();
    const QByteArray plain = KeyedArchiver::archivedDataWithRootObject(root.get());
    {
        const Recorder encoding;
        EXPECT_EQ(KeyedArchiver::archivedDataWithRootObject(root.get()), plain);
        encoding.expectRisingToOne();
    }
    {
        const Recorder decoding;
        const ZQObjectPtr decoded = KeyedUnarchiver::unarchiveObjectWithData(plain);
        ASSERT_TRUE(decoded);
        decoding.expectRisingToOne();
        EXPECT_EQ(KeyedArchiver::archivedDataWithRootObject(decoded.get()), plain);
    }
    // Stopped while walking the graph (whose small layers the fraction leaps) or laying out
    // its bytes, and while checking the structure or reading the entries: heard before
    // `heardBy`, and not asked again.
    for (const auto& [stopAt, heardBy] : {std::pair(0.5, 0.85), std::pair(0.9, 0.95)}) {
        const Recorder encoding(stopAt);
        EXPECT_TRUE(KeyedArchiver::archivedDataWithRootObject(root.get()).isEmpty()) << stopAt;
        EXPECT_EQ(encoding.toldFrom(stopAt), 1) << stopAt;
        EXPECT_LT(encoding.fractions.last(), heardBy) << stopAt;
    }
    for (const auto& [stopAt, heardBy] : {std::pair(0.05, 0.1), std::pair(0.5, 0.55)}) {
        const Recorder decoding(stopAt);
        QuorvaneError error;
        EXPECT_EQ(KeyedUnarchiver::unarchiveObjectWithData(plain, &error), nullptr) << stopAt;
        EXPECT_EQ(error.code(), kQuorvaneDocumentError) << stopAt;
        EXPECT_EQ(decoding.toldFrom(stopAt), 1) << stopAt;
        EXPECT_LT(decoding.fractions.last(), heardBy) << stopAt;
    }
}

#include "ArchiveProgressTest.moc"

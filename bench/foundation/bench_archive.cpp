// Keyed archiving of a large flat graph: 100,000 small objects, each with a few scalars,
// a string and a reference to one shared object. Prints throughput, archive size per
// object and peak memory, then the summary lines.
#include "support/BenchSupport.h"

#include "platform/foundation/ClassRegistry.h"
#include "platform/foundation/FoundationClasses.h"
#include "platform/foundation/KeyedArchiver.h"
#include "platform/foundation/KeyedUnarchiver.h"

#include <QCoreApplication>
#include <cstdio>
#include <sys/resource.h>

using platform::KeyedArchiver;
using platform::KeyedUnarchiver;

class BenchFeature : public ZQObject {
    Q_OBJECT

public:
    QString name;
    double x = 0;
    double y = 0;
    qint64 rank = 0;
    bool visible = true;
    ZQObjectPtr style;

    void encodeWithCoder(KeyedArchiver& coder) const override
    {
        coder.encodeString(name, QStringLiteral("name"));
        coder.encodeDouble(x, QStringLiteral("x"));
        coder.encodeDouble(y, QStringLiteral("y"));
        coder.encodeInt(rank, QStringLiteral("rank"));
        coder.encodeBool(visible, QStringLiteral("visible"));
        coder.encodeObject(style.get(), QStringLiteral("style"));
    }

    void initWithCoder(KeyedUnarchiver& coder) override
    {
        name = coder.decodeString(QStringLiteral("name"));
        x = coder.decodeDouble(QStringLiteral("x"));
        y = coder.decodeDouble(QStringLiteral("y"));
        rank = coder.decodeInt(QStringLiteral("rank"));
        visible = coder.decodeBool(QStringLiteral("visible"));
        style = coder.decodeObject(QStringLiteral("style"));
    }
};

class BenchLayer : public ZQObject {
    Q_OBJECT

public:
    QVariantList features;

    void encodeWithCoder(KeyedArchiver& coder) const override { coder.encodeObject(QVariant(features), QStringLiteral("features")); }
    void initWithCoder(KeyedUnarchiver& coder) override { features = coder.decodeValue(QStringLiteral("features")).toList(); }
};

namespace {

constexpr int kObjects = 100'000;
constexpr int kRuns = 5;

std::shared_ptr<BenchLayer> makeLayer()
{
    auto style = std::make_shared<ZQObject>();
    auto layer = std::make_shared<BenchLayer>();
    layer->features.reserve(kObjects);
    for (int i = 0; i < kObjects; ++i) {
        auto feature = std::make_shared<BenchFeature>();
        feature->name = QStringLiteral("feature %1").arg(i);
        feature->x = i * 0.25;
        feature->y = -i * 0.5;
        feature->rank = i % 10;
        feature->visible = i % 3 != 0;
        feature->style = style;
        layer->features << QVariant::fromValue<ZQObjectPtr>(feature);
    }
    return layer;
}

long peakMemoryKilobytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    registerFoundationClasses();
    platform::ClassRegistry::registerClass<BenchFeature>();
    platform::ClassRegistry::registerClass<BenchLayer>();

    const auto layer = makeLayer();
    QByteArray archive;
    const double encode = bench::medianSeconds(kRuns, [&] { archive = KeyedArchiver::archivedDataWithRootObject(layer.get()); });
    qsizetype decodedCount = 0;
    const double decode = bench::medianSeconds(kRuns, [&] {
        auto decoded = std::dynamic_pointer_cast<BenchLayer>(KeyedUnarchiver::unarchiveObjectWithData(archive));
        decodedCount = decoded ? decoded->features.size() : 0;
    });
    if (decodedCount != kObjects) {
        std::fprintf(stderr, "decoded %lld of %d objects\n", qlonglong(decodedCount), kObjects);
        return 1;
    }
    const double bytesPerObject = double(archive.size()) / kObjects;
    std::printf("encode: %.0f objects/s\n", kObjects / encode);
    std::printf("decode: %.0f objects/s\n", kObjects / decode);
    std::printf("archive: %lld bytes, %.1f bytes/object\n", qlonglong(archive.size()), bytesPerObject);
    std::printf("peak memory: %ld KiB\n", peakMemoryKilobytes());
    bench::printValue("archive_100k_objects_encode", encode, "s", 1.0);
    bench::printValue("archive_100k_objects_decode", decode, "s", 1.0);
    // What the format itself asks of each feature, once the archive holds more than 65,536
    // property-list objects and 65,536 bytes (so references and offsets take three bytes):
    // its entry, a dictionary of seven keys ("$class" and six fields) and seven values, 43 B;
    // its name, an entry of its own, 14 B; the UIDs that lead to the two entries, up to 8 B;
    // x and y, 10 B; the offsets of those six objects, 18 B; their places in "$objects" and
    // in the list, 9 B: about 102 B. Keys, classes and equal scalars are already written
    // once, and integers and reals in their fewest bytes; less would mean holding strings
    // or objects outside "$objects", which the archive's layout does not allow.
    bench::printValue("archive_100k_objects_bytes_per_object", bytesPerObject, "bytes", 102);
    return 0;
}

#include "bench_archive.moc"

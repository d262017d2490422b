#include "geodata/ZQESRIFile.h"

#include "geodata/CompanionFiles.h"
#include "geodata/NumberText.h"
#include "geodata/ProjectionScanner.h"
#include "geodata/RecordMemoryGuard.h"
#include "geodata/RecordRowAttributes.h"
#include "geodata/ShapefileImportServices.h"

#include "platform/foundation/AvailableMemory.h"
#include "platform/foundation/RegularFile.h"
#include "platform/foundation/ZQLog.h"

#include <QCoreApplication>
#include <QLocale>
#include <QThread>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <cmath>
#include <new>

using namespace geodata;

namespace {

constexpr quint32 kFileCode = 9994;
constexpr quint32 kVersion = 1000;
// The format allows 2 GB, but a set that large would not fit in memory once made into objects.
constexpr qint64 kMaximumTableOrGeometrySize = qint64(1) << 30;
// Companion text files are a few lines long; anything larger is not one.
constexpr qint64 kMaximumCompanionSize = 1 << 20;
// What a made line was measured to hold (bench_import_memory_per_object): the object and its
// QObject data, two user-info entries and its place in the layer, some 900 bytes, and 24 per
// path element; the allocator rounds every block up by half as much again. Each point of the
// file takes 16 bytes there, so the file's size bounds its points.
constexpr qint64 kBytesPerShape = 1350;
constexpr qint64 kBytesPerPoint = 36;
constexpr qint64 kFileBytesPerPoint = 16;

double littleEndianDouble(const QByteArray& bytes, qsizetype offset)
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes.constData() + offset));
}

// The text file of the set with that extension; nullopt (logged, with `reason`) when there
// is none or it cannot be read.
std::optional<QByteArray> companion(CompanionFiles& companions, const QString& extension, QString* reason = nullptr)
{
    const std::optional<QString> path = companions.find(extension);
    if (!path)
        return std::nullopt;
    QString problem;
    std::optional<QByteArray> bytes = platform::readRegularFile(*path, kMaximumCompanionSize, &problem);
    if (!bytes) {
        ZQLog(QStringLiteral("shapefile: %1 could not be read: %2").arg(*path, problem));
        if (reason)
            *reason = problem;
    }
    return bytes;
}

QString rectText(const QRectF& r)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// "{key = value; ...}", as the attributes of a record that failed are logged.
QString attributesText(const AttributeDictionary* attributes)
{
    if (!attributes)
        return QStringLiteral("(none)");
    QStringList entries;
    for (const auto& [key, value] : *attributes)
        entries << QStringLiteral("%1 = %2").arg(key, value.value().toString());
    return u'{' + entries.join(QStringLiteral("; ")) + u'}';
}

bool hasDrawablePoint(const ShapeGeometry& geometry)
{
    for (quint32 i = 0; i < geometry.pointCount(); ++i) {
        if (ZQShapefilePathConverter::isDrawable(geometry.point(i)))
            return true;
    }
    return false;
}

bool isUsableTransform(const QTransform& t)
{
    const double values[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    return std::all_of(std::begin(values), std::end(values), [](double v) { return std::isfinite(v); })
        && t.isAffine() && t.isInvertible();
}

} // namespace

ZQESRIFile::ZQESRIFile() : m_pathConverter(std::make_unique<ZQShapefilePathConverter>()) {}

ZQESRIFile::~ZQESRIFile() = default;

void ZQESRIFile::initWithURL(const QUrl& url)
{
    m_url = url;
    m_path = url.toLocalFile();
    CompanionFiles companions(m_path);
    ShapefileContents contents;
    QString problem;
    if ((m_shpFile = MappedFile::open(m_path, kMaximumTableOrGeometrySize, &problem)))
        contents.shp = m_shpFile->bytes();
    else
        m_unreadableGeometry = QCoreApplication::translate("ZQESRIFile", "The shapefile could not be read: %1.").arg(problem);
    // An index only helps past damaged records: one that cannot be read is no error.
    if (const std::optional<QString> indexPath = companions.find(QStringLiteral("shx"));
        indexPath && (m_shxFile = MappedFile::open(*indexPath, kMaximumTableOrGeometrySize)))
        contents.shx = m_shxFile->bytes();
    const std::optional<QString> tablePath = companions.find(QStringLiteral("dbf"));
    m_tablePath = tablePath.value_or(companions.preferredPath(QStringLiteral("dbf")));
    QString tableProblem;
    if (tablePath && (m_dbfFile = MappedFile::open(*tablePath, kMaximumTableOrGeometrySize, &tableProblem)))
        contents.dbf = m_dbfFile->bytes();
    contents.cpg = companion(companions, QStringLiteral("cpg"));
    QString projectionProblem;
    contents.prj = companion(companions, QStringLiteral("prj"), &projectionProblem);
    load(std::move(contents), tableProblem);
    if (!projectionProblem.isEmpty())
        countUnreadCompanion(QCoreApplication::translate(
            "ZQESRIFile", "The projection (.prj) file could not be read (%1); the projection was not read.")
                                 .arg(projectionProblem));
}

void ZQESRIFile::initWithFile(const QString& path)
{
    initWithURL(QUrl::fromLocalFile(path));
}

void ZQESRIFile::initWithContents(ShapefileContents contents)
{
    load(std::move(contents));
}

void ZQESRIFile::load(ShapefileContents contents, const QString& unreadableTable)
{
    m_pathConverter->init();
    if (ShapefileImportServices* services = ShapefileImportServices::installed())
        m_objectFactory = services->makeObjectFactory();
    m_shp = std::move(contents.shp);
    m_shx = std::move(contents.shx).value_or(QByteArray());
    if (contents.dbf) {
        m_dbf = std::move(*contents.dbf);
        QString damage;
        m_table = DBaseTable::read(m_dbf, &damage);
        if (!m_table)
            m_attributesProblem = QCoreApplication::translate(
                "ZQESRIFile", "The database (.dbf) file is damaged: %1. Attributes were not read.").arg(damage);
        else if (!m_table->fieldsLeftOut().isEmpty())
            m_attributesProblem = QCoreApplication::translate("ZQESRIFile", "The database (.dbf) file is damaged. %1")
                                      .arg(m_table->fieldsLeftOut());
    } else if (!unreadableTable.isEmpty()) {
        m_attributesProblem = QCoreApplication::translate(
            "ZQESRIFile", "The database (.dbf) file could not be read (%1); attributes were not read.")
                                  .arg(unreadableTable);
    }
    m_tableMissing = !contents.dbf && unreadableTable.isEmpty();
    if (!m_attributesProblem.isEmpty())
        countUnreadCompanion(m_attributesProblem);
    else if (m_tableMissing)
        countUnreadCompanion(noTableFound());
    if (contents.cpg)
        m_stringEncoding = QString::fromUtf8(*contents.cpg);
    m_textEncoding = m_stringEncoding == QStringLiteral("UTF-8") ? DBaseTable::TextEncoding::Utf8
                                                                 : DBaseTable::TextEncoding::Latin1;
    if (contents.prj) {
        ProjectionScanner scanner(QString::fromLatin1(*contents.prj));
        m_projectionData = recursiveParseWithScanner(scanner);
    }
}

QString ZQESRIFile::noTableFound()
{
    return QCoreApplication::translate("ZQESRIFile", "No database (.dbf) file was found; attributes were not read.");
}

void ZQESRIFile::countUnreadCompanion(const QString& message)
{
    ++m_errorsCount;
    m_errorString = m_errorString.isEmpty() ? message : m_errorString + u' ' + message;
}

bool ZQESRIFile::wasCutShort() const
{
    return (m_shpFile && m_shpFile->changed()) || (m_dbfFile && m_dbfFile->changed())
        || (m_shxFile && m_shxFile->changed());
}

bool ZQESRIFile::checkHeader() const
{
    return headerProblem().isEmpty();
}

QString ZQESRIFile::headerProblem() const
{
    if (!m_unreadableGeometry.isEmpty())
        return m_unreadableGeometry;
    if (m_shp.size() < kShapeFileHeaderLength)
        return QCoreApplication::translate("ZQESRIFile", "It holds %1 bytes, fewer than the %2 of a shapefile's header.")
            .arg(m_shp.size())
            .arg(kShapeFileHeaderLength);
    const char* header = m_shp.constData();
    if (qFromBigEndian<quint32>(header) != kFileCode)
        return QCoreApplication::translate("ZQESRIFile", "It does not begin as a shapefile does.");
    if (const quint32 version = qFromLittleEndian<quint32>(header + 28); version != kVersion)
        return QCoreApplication::translate("ZQESRIFile", "Its header gives version %1, not the %2 of shapefiles.")
            .arg(version)
            .arg(kVersion);
    if (const qint64 declared = 2 * qint64(qFromBigEndian<quint32>(header + 24)); declared != m_shp.size()) {
        const QLocale locale;
        return QCoreApplication::translate("ZQESRIFile", "Its header gives a length of %1 bytes, but the file holds %2: "
                                                         "it was cut short or is damaged.")
            .arg(locale.toString(declared), locale.toString(m_shp.size()));
    }
    return {};
}

QRectF ZQESRIFile::bounds() const
{
    if (m_shp.size() < kShapeFileHeaderLength)
        return {};
    const double xMin = littleEndianDouble(m_shp, 36), yMin = littleEndianDouble(m_shp, 44);
    const double xMax = littleEndianDouble(m_shp, 52), yMax = littleEndianDouble(m_shp, 60);
    return {std::min(xMin, xMax), std::min(yMin, yMax), std::abs(xMax - xMin), std::abs(yMax - yMin)};
}

qint32 ZQESRIFile::fileShapeType() const
{
    return m_shp.size() < kShapeFileHeaderLength ? kNullShape : qFromLittleEndian<qint32>(m_shp.constData() + 32);
}

quint64 ZQESRIFile::countOfObjects() const
{
    if (m_totalCount == 0 && checkHeader()) {
        quint64 count = 0;
        for ([[maybe_unused]] const ShapeRecord& record : records())
            ++count;
        m_totalCount = count;
    }
    return m_totalCount;
}

std::optional<QPainterPath> ZQESRIFile::makePathForShapeEsriRecord(qint32 shapeType, const ShapeRecord& record)
{
    if (shapeType != kPointShape && shapeType != kPolyLineShape && shapeType != kPolygonShape
        && shapeType != kMultiPointShape)
        return std::nullopt;
    const std::optional<ShapeGeometry> geometry = ShapeGeometry::decode(record);
    if (!geometry) {
        countDamagedRecord(record, damageOf(record));
        return std::nullopt;
    }
    if (geometry->shapeType() != shapeType) {
        countDamagedRecord(record, QCoreApplication::translate("ZQESRIFile", "is of shape type %1, not %2")
                                       .arg(geometry->shapeType())
                                       .arg(shapeType));
        return std::nullopt;
    }
    m_pathConverter->beginPath(geometry->pointCount());
    switch (shapeType) {
    case kPointShape: pc_point(*geometry); break;
    case kPolyLineShape: pc_poly(*geometry, false); break;
    case kPolygonShape: pc_poly(*geometry, true); break;
    case kMultiPointShape: pc_multipoint(*geometry); break;
    }
    std::optional<QPainterPath> path = m_pathConverter->endPath();
    if (!path && geometry->pointCount() > 0 && !hasDrawablePoint(*geometry))
        countDamagedRecord(record, QCoreApplication::translate(
                                       "ZQESRIFile", "has no point whose coordinates are finite numbers of a usable size"));
    return path;
}

QString ZQESRIFile::damageOf(const ShapeRecord& record)
{
    if (record.headerIsCut)
        return QCoreApplication::translate("ZQESRIFile", "is cut off within its header");
    if (record.contentLength < 0)
        return QCoreApplication::translate("ZQESRIFile", "declares a negative length");
    if (!record.isComplete())
        return QCoreApplication::translate("ZQESRIFile", "declares %1 bytes, more than the file holds after it")
            .arg(record.contentLength);
    if (!record.shapeType())
        return QCoreApplication::translate("ZQESRIFile", "is too short to hold a shape type");
    return QCoreApplication::translate("ZQESRIFile", "is too short for the parts and points it declares");
}

void ZQESRIFile::countDamagedRecord(const ShapeRecord& record, const QString& damage)
{
    ++m_errorsCount;
    ++m_objectsNotLoadedCount;
    ZQLog(QStringLiteral("shapefile: record #%1 at offset %2 %3; it was skipped")
              .arg(record.number)
              .arg(record.offset)
              .arg(damage));
    const QString lost = bytesLostAfter(record);
    if (m_damagedRecordsCount++ > 0) {
        if (!lost.isEmpty())
            m_lostTail = QCoreApplication::translate("ZQESRIFile", "Record %1 (at byte %2) is damaged too. %3")
                             .arg(record.number)
                             .arg(record.offset)
                             .arg(lost);
        return;
    }
    m_firstDamage = QCoreApplication::translate("ZQESRIFile", "Record %1 (at byte %2) %3.")
                        .arg(record.number)
                        .arg(record.offset)
                        .arg(damage);
    if (!lost.isEmpty())
        m_firstDamage += u' ' + lost;
}

// A record that does not end where it says hides where the next one begins: only the index
// can tell, and when it names none within the file the walk ends here.
QString ZQESRIFile::bytesLostAfter(const ShapeRecord& record) const
{
    if (record.isComplete() || record.headerIsCut)
        return {};
    const qint64 unread = m_shp.size() - record.offset - 8;
    const ShapeIndex index(m_shx);
    if (unread <= 0 || index.nextRecordOffsetAfter(record.offset, m_shp.size()))
        return {};
    return index.isEmpty()
             ? QCoreApplication::translate("ZQESRIFile", "The %1 bytes after its header were not read: without the "
                                                         "shapefile's index (.shx) the records there cannot be found.")
                   .arg(unread)
             : QCoreApplication::translate("ZQESRIFile", "The %1 bytes after its header were not read: the "
                                                         "shapefile's index (.shx) places no record there.")
                   .arg(unread);
}

QString ZQESRIFile::damagedRecordsDescription() const
{
    if (m_damagedRecordsCount == 0)
        return {};
    const QString skipped =
        m_damagedRecordsCount == 1
            ? QCoreApplication::translate("ZQESRIFile", "A damaged record was skipped. %1").arg(m_firstDamage)
            : QCoreApplication::translate("ZQESRIFile", "%1 damaged records were skipped. The first: %2")
                  .arg(m_damagedRecordsCount)
                  .arg(m_firstDamage);
    return m_lostTail.isEmpty() ? skipped : skipped + u' ' + m_lostTail;
}

LeftOutRecords ZQESRIFile::leftOut() const
{
    LeftOutRecords leftOut;
    leftOut.outsideDrawing = m_objectsOutOfViewCount;
    leftOut.placementWasKept = m_transformWasKept;
    leftOut.damaged = m_damagedRecordsCount;
    leftOut.damage = damagedRecordsDescription();
    leftOut.notMade = m_objectsNotLoadedCount - m_damagedRecordsCount;
    leftOut.pointsLeftOut = m_pointsLeftOutCount;
    // The rest of the records walked past made nothing, without an error.
    const quint64 accounted = m_objectsCount + leftOut.outsideDrawing + m_objectsNotLoadedCount;
    leftOut.withoutShape = m_recordsWalked > accounted ? m_recordsWalked - accounted : 0;
    if (m_readMetadata)
        leftOut.attributesProblem = m_tableMissing ? noTableFound() : m_attributesProblem;
    return leftOut;
}

void ZQESRIFile::pc_point(const ShapeGeometry& geometry)
{
    m_pathConverter->beginSubPathAtPoint(geometry.point(0));
}

// Each point is a sub-path of no length: a path cannot hold a move-to followed by another.
void ZQESRIFile::pc_multipoint(const ShapeGeometry& geometry)
{
    for (quint32 i = 0; i < geometry.pointCount(); ++i) {
        const QPointF point = geometry.point(i);
        m_pathConverter->beginSubPathAtPoint(point);
        if (ZQShapefilePathConverter::isDrawable(point)) // one left out is counted once
            m_pathConverter->appendPointsCount(&point, 1);
    }
}

// A point whose index is the start of the next part begins a sub-path; the points up to
// the following part start are appended in one run. Rings close before each later part
// and after the last point.
void ZQESRIFile::pc_poly(const ShapeGeometry& geometry, bool closesRings)
{
    const quint32 points = geometry.pointCount();
    const quint32 parts = geometry.partCount();
    if (parts == 0)
        return;
    quint32 nextPart = 0;
    for (quint32 i = 0; i < points;) {
        if (nextPart < parts && geometry.partStart(nextPart) == i) {
            if (closesRings && nextPart > 0)
                m_pathConverter->closeSubPath();
            m_pathConverter->beginSubPathAtPoint(geometry.point(i));
            ++nextPart;
            ++i;
            continue;
        }
        quint32 runEnd = points;
        if (nextPart < parts && geometry.partStart(nextPart) > i)
            runEnd = std::min(runEnd, geometry.partStart(nextPart));
        appendPoints(geometry, i, runEnd - i);
        i = runEnd;
    }
    if (closesRings)
        m_pathConverter->closeSubPath();
}

void ZQESRIFile::appendPoints(const ShapeGeometry& geometry, quint32 first, quint32 count)
{
    m_scratchPoints.resize(count);
    geometry.copyPoints(first, count, m_scratchPoints.data());
    m_pathConverter->appendPointsCount(m_scratchPoints.data(), count);
}

std::optional<QMap<QString, ZQDBaseFieldInfo>> ZQESRIFile::databaseFieldInfo() const
{
    if (!m_table)
        return std::nullopt;
    QMap<QString, ZQDBaseFieldInfo> fields;
    for (const ZQDBaseFieldInfo& field : m_table->fields())
        fields.insert(field.name(), field);
    return fields;
}

QStringList ZQESRIFile::databaseFieldNames() const
{
    const auto fields = databaseFieldInfo();
    return fields ? fields->keys() : QStringList();
}

std::optional<AttributeDictionary> ZQESRIFile::metadataForRecord(qint64 row, quint64* numbersKeptAsText) const
{
    return m_table ? m_table->attributesOfRow(row, m_textEncoding, numbersKeptAsText) : std::nullopt;
}

qint64 ZQESRIFile::attributeMemoryBudgetForAvailableMemory(qint64 available, qint64 shapes)
{
    return std::max<qint64>(0, std::min(available / 2, available - shapes));
}

qint64 ZQESRIFile::attributeMemoryBudget() const
{
    if (m_attributeMemoryBudget)
        return *m_attributeMemoryBudget;
    constexpr qint64 kBudgetWhenUnknown = qint64(1) << 30;
    const std::optional<qint64> available = availableMemory();
    return available ? attributeMemoryBudgetForAvailableMemory(*available, shapeMemoryBytes()) : kBudgetWhenUnknown;
}

std::optional<qint64> ZQESRIFile::availableMemory() const
{
    return m_availableMemory ? m_availableMemory : platform::availableMemoryBytes();
}

qint64 ZQESRIFile::shapeMemoryBytes() const
{
    return qint64(countOfObjects()) * kBytesPerShape + m_shp.size() / kFileBytesPerPoint * kBytesPerPoint;
}

qint64 ZQESRIFile::keptMemoryBytes(const ShapeRecord& record)
{
    return kBytesPerShape + record.content.size() / kFileBytesPerPoint * kBytesPerPoint;
}

// While a record becomes an object, its points are held several times over: as read, in the
// path built, in the path moved into the drawing and in the object's own, each copy made
// while the one before it is still there.
qint64 ZQESRIFile::transientMemoryBytes(const ShapeRecord& record)
{
    constexpr qint64 kBytesPerPointWhileMade = 128;
    return record.content.size() / kFileBytesPerPoint * kBytesPerPointWhileMade;
}

QString ZQESRIFile::shapeMemoryProblem() const
{
    // Checked on the main thread before the worker starts, and again on it.
    const std::optional<qint64> available = availableMemory();
    const qint64 bytes = shapeMemoryBytes();
    if (!available || bytes <= *available - kWorkerMemoryHeadroom)
        return {};
    const QLocale locale;
    return QCoreApplication::translate("ZQESRIFile", "Its %1 shapes would take about %2 of memory, more than the %3 "
                                                     "this computer has free for them.")
        .arg(locale.toString(qulonglong(countOfObjects())))
        .arg(locale.formattedDataSize(bytes),
             locale.formattedDataSize(std::max<qint64>(0, *available - kWorkerMemoryHeadroom)));
}

QString ZQESRIFile::attributeBudgetProblem() const
{
    if (!m_readMetadata || !m_table)
        return {};
    const qint64 bytes = m_table->attributeBytesOfRows(countOfObjects());
    const qint64 budget = attributeMemoryBudget();
    if (bytes <= budget)
        return {};
    const QLocale locale;
    return QCoreApplication::translate("ZQESRIFile",
                                       "Its attributes (%1 fields for each of %2 records) would take about %3 of "
                                       "memory, more than the %4 an import may use for them now (half the memory "
                                       "this computer has free at most, and what its shapes leave).")
        .arg(m_table->fields().size())
        .arg(locale.toString(qulonglong(std::min<quint64>(countOfObjects(), m_table->recordCount()))))
        .arg(locale.formattedDataSize(bytes), locale.formattedDataSize(budget));
}

// A keyword before "[" opens a level whose values run to the matching "]": quoted strings,
// numbers and nested levels. Malformed text answers nullopt.
std::optional<QVariantMap> ZQESRIFile::recursiveParseWithScanner(ProjectionScanner& scanner)
{
    if (scanner.isAtEnd() || !scanner.enterLevel())
        return std::nullopt;
    struct LevelGuard {
        ProjectionScanner& scanner;
        ~LevelGuard() { scanner.leaveLevel(); }
    } guard{scanner};

    QString keyword;
    QVariantList values;
    auto result = [&]() -> std::optional<QVariantMap> {
        if (keyword.isEmpty())
            return std::nullopt;
        return QVariantMap{{keyword, values}};
    };
    while (!scanner.isAtEnd()) {
        const QStringView token = scanner.scanToken();
        const QChar delimiter = scanner.delimiter();
        if (delimiter != u'[') {
            if (token.startsWith(u'"'))
                values.append(token.size() >= 2 ? token.sliced(1, token.size() - 2).toString() : QString());
            else if (!token.isEmpty())
                values.append(leadingDouble(token.toLatin1()));
            if (delimiter == u']')
                return result();
        } else if (keyword.isEmpty()) {
            if (token.isEmpty())
                return std::nullopt;
            keyword = token.toString();
        } else {
            scanner.moveBackToTokenStart();
            std::optional<QVariantMap> nested = recursiveParseWithScanner(scanner);
            if (!nested)
                return std::nullopt;
            values.append(*nested);
        }
        scanner.skipDelimiter();
    }
    return result();
}

std::optional<QList<ZQObjectPtr>> ZQESRIFile::parseUsingTransform(const QTransform& transform)
{
    if (!isUsableTransform(transform)) {
        m_errorString = QCoreApplication::translate("ZQESRIFile", "The shapefile could not be fitted into the drawing.");
        return std::nullopt;
    }
    if (!checkHeader()) {
        m_errorString = m_unreadableGeometry.isEmpty()
                          ? QCoreApplication::translate("ZQESRIFile", "Bad Header Length or Version")
                          : m_unreadableGeometry;
        return std::nullopt;
    }
    m_memoryShortage = MemoryShortage::None;
    if (const QString problem = shapeMemoryProblem(); !problem.isEmpty()) {
        ++m_errorsCount;
        m_errorString = problem;
        m_memoryShortage = MemoryShortage::Shapes;
        return std::nullopt;
    }
    if (const QString problem = attributeBudgetProblem(); !problem.isEmpty()) {
        ++m_errorsCount;
        m_errorString = problem;
        m_memoryShortage = MemoryShortage::Attributes;
        return std::nullopt;
    }
    m_objectsCount = 0;
    m_recordsWalked = 0;
    m_objectsNotLoadedCount = 0;
    m_objectsOutOfViewCount = 0;
    m_numbersKeptAsTextCount = 0;
    m_damagedRecordsCount = 0;
    m_pointsLeftOutCount = 0;
    m_firstDamage.clear();
    m_lostTail.clear();
    const QRectF box = transform.mapRect(bounds());
    LogEvent(kFileEvent, QStringLiteral("bbox = %1, count = %2 (original bounds = %3)")
                             .arg(rectText(box))
                             .arg(countOfObjects())
                             .arg(rectText(bounds())));

    QList<ZQObjectPtr> objects;
    try {
        readRecords(transform, objects);
    } catch (const std::bad_alloc&) {
        // Every record after would fail the same way: what was made goes at once, and the
        // user hears of it once.
        objects.clear();
        m_memoryShortage = MemoryShortage::Records;
        ++m_errorsCount;
        m_errorString = QCoreApplication::translate("ZQESRIFile", "There was not enough memory to import it: the "
                                                                  "import stopped at record %1 of %2.")
                            .arg(m_recordsWalked.load())
                            .arg(countOfObjects());
        return std::nullopt;
    }
    if (wasCutShort()) {
        ++m_errorsCount;
        m_errorString = QCoreApplication::translate("ZQESRIFile", "The shapefile changed while it was being read.");
        return std::nullopt;
    }
    return objects;
}

void ZQESRIFile::readRecords(const QTransform& transform, QList<ZQObjectPtr>& objects)
{
    const QString tablePath = dBaseFilePath();
    const QRectF view = viewAllowingForRounding(transform);
    std::optional<RecordRowAttributes> rows;
    if (m_readMetadata && m_table)
        rows.emplace(*m_table, m_textEncoding, rowsOfRecords());
    RecordMemoryGuard memory([this] { return availableMemory(); }, kWorkerMemoryHeadroom);
    for (const ShapeRecord& record : records()) {
        if (m_shouldAbort || wasCutShort())
            break;
        ++m_recordsWalked;
        if (!memory.admits(keptMemoryBytes(record), transientMemoryBytes(record)))
            throw std::bad_alloc();
        const std::optional<qint32> shapeType = record.shapeType();
        if (platform::Log::isEnabled(kTraceEvent))
            LogEvent(kTraceEvent, QStringLiteral("record #%1, length=%2, type=%3")
                                      .arg(record.number)
                                      .arg(record.contentLength)
                                      .arg(shapeType.value_or(-1)));
        if (!shapeType) {
            countDamagedRecord(record, damageOf(record));
            continue;
        }
        std::optional<QPainterPath> path = makePathForShapeEsriRecord(*shapeType, record);
        if (!path)
            continue;
        *path = transform.map(*path);
        if (m_discardOutOfViewObjects && !isInView(*path, view)) {
            ++m_objectsOutOfViewCount;
            continue;
        }
        const RecordRowAttributes::Row row = rows ? rows->attributesOfRow(record.number - 1) : RecordRowAttributes::Row();
        const AttributeDictionary* attributes = row.attributes;
        m_numbersKeptAsTextCount += row.numbersKeptAsText;
        if (!m_objectFactory)
            continue;
        ZQObjectPtr object;
        try {
            object = m_objectFactory->objectForShapeWithPathAttributes(*shapeType, *path, attributes);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            ZQLog(QStringLiteral("exception while parsing shapefile - object info will be logged and skipped: "
                                 "#:%1; type = %2, pb = %3, meta = %4, exception = %5")
                      .arg(record.number)
                      .arg(*shapeType)
                      .arg(rectText(path->boundingRect()))
                      .arg(attributesText(attributes))
                      .arg(QString::fromUtf8(e.what())));
            ++m_errorsCount;
            ++m_objectsNotLoadedCount;
        }
        if (!object)
            continue;
        prepareObjectForRecord(object, record, tablePath);
        postProcessObject(object);
        objects.append(object);
        ++m_objectsCount;
        m_pointsLeftOutCount += quint64(m_pathConverter->pointsLeftOut());
    }
}

std::vector<qint64> ZQESRIFile::rowsOfRecords() const
{
    std::vector<qint64> rows;
    rows.reserve(size_t(countOfObjects()));
    for (const ShapeRecord& record : records())
        rows.push_back(qint64(record.number) - 1);
    return rows;
}

void ZQESRIFile::prepareObjectForRecord(const ZQObjectPtr& object, const ShapeRecord& record, const QString& tablePath)
{
    m_objectFactory->setUserInfoObjectForKey(object, record.number - 1, QStringLiteral("QVNL_ORIGINAL_RECORD_NUMBER"));
    m_objectFactory->setUserInfoObjectForKey(object, tablePath, QStringLiteral("QVNL_ORIGINAL_FILE_PATH"));
    QThread* mainThread = QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr;
    if (mainThread && QThread::currentThread() != mainThread)
        m_objectFactory->moveObjectToThread(object, mainThread);
}

void ZQESRIFile::postProcessObject(const ZQObjectPtr& object)
{
    const QMutexLocker lock(&m_delegateMutex);
    if (ZQESRIFileDelegate* target = delegate())
        target->esriFileDidLoadObject(this, object);
}

// Bounds touching the rectangle count as inside, so that a point on its edge and a
// perfectly horizontal or vertical line (bounds without height or width) are kept.
bool ZQESRIFile::isInView(const QPainterPath& path, const QRectF& view)
{
    const QRectF box = path.boundingRect();
    return box.left() <= view.right() && box.right() >= view.left() && box.top() <= view.bottom()
        && box.bottom() >= view.top();
}

// A transform fitted to the data puts its extreme points on the rectangle's edges, give or
// take the rounding of the terms it adds: a billionth of their size is allowed for.
QRectF ZQESRIFile::viewAllowingForRounding(const QTransform& transform) const
{
    const QRectF& view = m_documentRect;
    const double slack = 1e-9 * std::max({1.0, std::abs(transform.dx()), std::abs(transform.dy()), std::abs(view.left()),
                                          std::abs(view.right()), std::abs(view.top()), std::abs(view.bottom())});
    return view.adjusted(-slack, -slack, slack, slack);
}

void ZQESRIFile::setPathConverter(std::unique_ptr<ZQShapefilePathConverter> converter)
{
    m_pathConverter = converter ? std::move(converter) : std::make_unique<ZQShapefilePathConverter>();
}

ZQESRIFileDelegate* ZQESRIFile::delegate() const
{
    return dynamic_cast<ZQESRIFileDelegate*>(m_delegate.data());
}

void ZQESRIFile::setDelegate(QObject* delegate)
{
    const QMutexLocker lock(&m_delegateMutex);
    m_delegate = delegate;
}

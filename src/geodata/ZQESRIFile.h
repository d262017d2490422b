#pragma once

// One shapefile set: the geometry (.shp), its index (.shx), its dBase attribute table (.dbf),
// the code page (.cpg) and the projection (.prj), all of one base name, each only when it is
// a regular file within a size limit. The .shp, .shx and .dbf are mapped, not copied, and
// read in place; a parse that finds one of them cut short by another program meanwhile fails
// with a reason. Every size the files declare is checked before it is used; a damaged record
// is skipped and counted as an error, and the reader tells why.

#include "geodata/AttributeValue.h"
#include "geodata/DBaseTable.h"
#include "geodata/LeftOutRecords.h"
#include "geodata/MappedFile.h"
#include "geodata/ShapeRecord.h"
#include "geodata/ZQDBaseFieldInfo.h"
#include "geodata/ZQESRIFileDelegate.h"
#include "geodata/ZQShapefileObjectMaker.h"
#include "geodata/ZQShapefilePathConverter.h"

#include "platform/foundation/ZQObject.h"

#include <QPointer>
#include <QRecursiveMutex>
#include <QRectF>
#include <QTransform>
#include <QUrl>
#include <QVariantMap>
#include <atomic>
#include <optional>
#include <vector>

namespace geodata {

class ImportProgress;
class ProjectionScanner;

// The files of a set as bytes; absent companions are nullopt.
struct ShapefileContents {
    QByteArray shp;
    std::optional<QByteArray> dbf;
    std::optional<QByteArray> cpg;
    std::optional<QByteArray> prj;
    std::optional<QByteArray> shx;
};

} // namespace geodata

class ZQESRIFile : public ZQObject {
    Q_OBJECT

public:
    ZQESRIFile();
    ~ZQESRIFile() override;

    // Reads the set beside the .shp. A .dbf that is missing, unreadable or damaged counts one
    // error, says so in the error string and leaves records without attributes; an unreadable
    // .shp leaves a reader whose header check fails and whose parse says why.
    void initWithURL(const QUrl& url);
    void initWithFile(const QString& path);
    // The same from bytes in memory (the companions' paths are then empty).
    void initWithContents(geodata::ShapefileContents contents);

    // --- Main file ------------------------------------------------------------------------
    // The whole 100-byte header is there, with file code 9994, version 1000, and a length
    // word that gives the buffer's size exactly.
    bool checkHeader() const;
    // Why the header check fails, as sentences for the user; empty when it passes.
    QString headerProblem() const;
    QRectF bounds() const;
    // The shape type the header declares for the file (informative; records carry their own).
    qint32 fileShapeType() const;
    // Records that start before the end of the buffer; 0 when the header check fails.
    quint64 countOfObjects() const;
    // The records in file order; after a record whose length is damaged the walk goes on at
    // the next record the index names, and without an index it ends there.
    geodata::ShapeRecordRange records() const { return geodata::ShapeRecordRange(m_shp, geodata::ShapeIndex(m_shx)); }

    // The path of a Point, PolyLine, Polygon or MultiPoint record (each of its points a
    // sub-path of no length); nullopt for other shape types, for geometry without points
    // and for damaged records (counted as errors), among them records whose points all have
    // coordinates that are no finite numbers.
    std::optional<QPainterPath> makePathForShapeEsriRecord(qint32 shapeType, const geodata::ShapeRecord& record);

    // --- Attributes -----------------------------------------------------------------------
    // The table found beside the .shp, whatever the case of its extension; without one, where
    // it was looked for first. Empty for a set read from memory.
    QString dBaseFilePath() const { return m_tablePath; }
    // The .cpg text as it stands; nullopt when there is none.
    std::optional<QString> dBaseStringEncoding() const { return m_stringEncoding; }
    // Why the records lack attributes, or some of them: the .dbf is damaged or could not be
    // read (a set without one has none to lack). Empty when every field was read.
    QString attributesProblem() const { return m_attributesProblem; }
    // Fields keyed by name; nullopt without a .dbf or with a damaged header.
    std::optional<QMap<QString, ZQDBaseFieldInfo>> databaseFieldInfo() const;
    QStringList databaseFieldNames() const;
    // Attributes of a dBase row (record number - 1) keyed by lower-cased field name; numbers
    // beyond a double's range stay text and are added to `numbersKeptAsText`.
    std::optional<geodata::AttributeDictionary> metadataForRecord(qint64 row, quint64* numbersKeptAsText = nullptr) const;
    // What the attributes an import keeps with its objects may take when `available` bytes of
    // memory are free and its shapes take `shapes` of them: half of it at most, the other half
    // left for the shapes and everything else, and never more than the shapes leave.
    static qint64 attributeMemoryBudgetForAvailableMemory(qint64 available, qint64 shapes = 0);
    // The budget for the memory free now (1 GiB when that cannot be known), unless one is set.
    qint64 attributeMemoryBudget() const;
    void setAttributeMemoryBudget(std::optional<qint64> bytes) { m_attributeMemoryBudget = bytes; }
    // Why the records' attributes would pass the budget once read; empty when they fit or
    // are not read. Records that name one row share its attributes, so each row counts once.
    // A parse refuses such a set before reading it; without its attributes it may be read.
    QString attributeBudgetProblem() const;

    // --- Memory of the shapes -------------------------------------------------------------
    // About the memory the records' shapes take once made and in a layer: each object with
    // its user info and its place in the layer's tables, and each point its path holds.
    qint64 shapeMemoryBytes() const;
    // The memory free now, unless a figure is set; nullopt when it cannot be known.
    std::optional<qint64> availableMemory() const;
    void setAvailableMemory(std::optional<qint64> bytes) { m_availableMemory = bytes; }
    // Why the shapes alone would not fit in the memory free, less what the import's worker
    // takes besides (its stack and allocator arena); empty when they do or that cannot be known.
    // A parse refuses such a set before reading it, as one that ran out of memory.
    QString shapeMemoryProblem() const;
    static constexpr qint64 kWorkerMemoryHeadroom = qint64(128) << 20;

    // --- Projection -----------------------------------------------------------------------
    // The .prj as nested keyword dictionaries ({keyword: [values and dictionaries]});
    // nullopt without a .prj or when it is malformed.
    std::optional<QVariantMap> projectionData() const { return m_projectionData; }
    static std::optional<QVariantMap> recursiveParseWithScanner(geodata::ProjectionScanner& scanner);

    // --- Import ---------------------------------------------------------------------------
    // Starts an import and returns at once (main thread; the reader must be owned by a
    // shared_ptr, which the worker keeps). The delegate, a QObject implementing
    // ZQESRIFileDelegate, gives the document rectangle and the transform kept from an
    // earlier import; without one the data is fitted into the rectangle. A file that fails
    // the header check is left alone: nothing shows and the delegate is not called.
    // Otherwise a progress row shows while the records are parsed on a worker thread, and the
    // delegate hears esriFileWillFinishLoading on the worker and then esriFileDidFinishLoading
    // on the main thread, with createdObjects set (empty when the parse failed).
    void beginLoadWithDelegate(QObject* delegate);
    // Stops a running import before its next record and forgets the delegate, which is then
    // never called again. A delegate that goes away during an import must call this.
    void cancelLoad();
    // Fits the file's bounds into the document rectangle unless a transform is in use: a
    // uniform scale that fills the rectangle's width or height, north up, the data's top-left
    // corner on the rectangle's origin. Data without extent keeps its size there. Header
    // bounds that are not finite, have no area or do not hold every record's points give way
    // to the bounds of the records' points.
    void calculateTransformIfNeeded();
    void loadingFinished();
    // Asked by the progress row every 0.1 s on the main thread: a stop request becomes the
    // abort flag; answers the part of the records walked so far.
    double progressFractionForProgressShouldCancel(geodata::ImportProgress* progress, bool shouldCancel);

    // Makes one object per record through the object factory, with paths simplified in the
    // file's coordinates and then mapped by `transform`. Records that name the row just read
    // are handed the same attributes, not a new copy. Each object carries the user info
    // "QVNL_ORIGINAL_RECORD_NUMBER" (its dBase row) and "QVNL_ORIGINAL_FILE_PATH" (the .dbf),
    // is handed to the delegate and, when made off the main thread, moved to it. Nullopt,
    // with the error string set, when the header check fails, the transform is not
    // invertible, the .shp or .dbf was cut short meanwhile, or memory ran out (each counted as
    // one error): what was made is then let go at once. Stops before the next record once an
    // abort is asked for.
    std::optional<QList<ZQObjectPtr>> parseUsingTransform(const QTransform& transform);
    std::optional<QList<ZQObjectPtr>> parse() { return parseUsingTransform(QTransform()); }
    // Hands a new object to the delegate (on the parsing thread).
    void postProcessObject(const ZQObjectPtr& object);

    // The transform of the last import: kept from the delegate or fitted.
    std::optional<QTransform> usedTransform() const { return m_usedTransform; }
    void setUsedTransform(const std::optional<QTransform>& transform) { m_usedTransform = transform; }
    // Whether the last import placed the data by a transform kept from an earlier one (the
    // delegate's, or one given to a synchronous entry point) rather than fitting this file.
    bool transformWasKept() const { return m_transformWasKept; }
    // The horizontal stretch of the fitted transform; 1.
    double aspectCorrectionFactor() const { return m_aspectCorrectionFactor; }
    void setAspectCorrectionFactor(double factor) { m_aspectCorrectionFactor = factor; }
    // The objects of the last threaded import, readable once it has finished.
    QList<ZQObjectPtr> createdObjects() const { return m_createdObjects; }

    // --- Synchronous entry points ----------------------------------------------------------
    // The objects of the file at `path` in its own coordinates.
    static std::optional<QList<ZQObjectPtr>> createDrawingObjectsFromESRIFile(const QString& path);
    // The objects of the file mapped by `transform`, or fitted into `rect` without one, while
    // a progress row shows. Errors met are shown in an alert (on the main thread). Nullopt
    // when the header check fails or the parse fails.
    static std::optional<QList<ZQObjectPtr>> createDrawingObjectsFromESRIFileFitToRectDelegateTransform(
        const QString& path, const QRectF& rect, QObject* delegate, const std::optional<QTransform>& transform);
    // The same on a worker thread (then a delegate is required) or here; the delegate's
    // esriFileDidFinishThreadedLoad receives "kESRIInfoFilePath" and "kESRIInfoObjects" on
    // the main thread.
    static void createDrawingObjectsFromESRIFileFitToRectDelegateRunInThreadTransform(
        const QString& path, const QRectF& rect, QObject* delegate, bool runInThread,
        const std::optional<QTransform>& transform);
    // Beeps and shows "Caution: Shapefile errors were encountered." with `text`; main thread.
    static void displayErrorAlertWithString(const QString& text);

    // --- Settings and results -------------------------------------------------------------
    QUrl URL() const { return m_url; }
    bool readMetadata() const { return m_readMetadata; }
    void setReadMetadata(bool read) { m_readMetadata = read; }
    bool discardOutOfViewObjects() const { return m_discardOutOfViewObjects; }
    void setDiscardOutOfViewObjects(bool discard) { m_discardOutOfViewObjects = discard; }
    QRectF documentRect() const { return m_documentRect; }
    void setDocumentRect(const QRectF& rect) { m_documentRect = rect; }

    ZQShapefilePathConverter& pathConverter() const { return *m_pathConverter; }
    void setPathConverter(std::unique_ptr<ZQShapefilePathConverter> converter);
    const std::shared_ptr<ZQShapefileObjectMaker>& objectFactory() const { return m_objectFactory; }
    void setObjectFactory(std::shared_ptr<ZQShapefileObjectMaker> factory) { m_objectFactory = std::move(factory); }
    ZQESRIFileDelegate* delegate() const;
    // `delegate` must be a QObject that implements ZQESRIFileDelegate; it is not owned.
    // Safe while a parse calls it from its worker thread.
    void setDelegate(QObject* delegate);

    QString errorString() const { return m_errorString; }
    void setErrorString(const QString& text) { m_errorString = text; }
    quint64 countOfErrors() const { return m_errorsCount; }
    quint64 countOfObjectsRead() const { return m_objectsCount; }
    quint64 countOfObjectsNotRead() const { return m_objectsNotLoadedCount; }
    // Why the last parse skipped damaged records, beside the error string (which tells of the
    // companion files): how many, and what was wrong with the first. Empty when none was.
    QString damagedRecordsDescription() const;
    // What the last parse left out of the map, by cause: every record it walked past without
    // making an object, and the attributes it could not read or found no table for.
    geodata::LeftOutRecords leftOut() const;
    // Records the last parse left out for lying wholly outside the document rectangle.
    quint64 countOfObjectsOutOfView() const { return m_objectsOutOfViewCount; }
    // Numeric attributes of the last parse beyond a double's range, kept as their text.
    quint64 countOfNumbersKeptAsText() const { return m_numbersKeptAsTextCount; }
    // What the last parse stopped for want of memory at, if it did: its shapes or its
    // attributes would not have fitted, refused before the first record, or memory ran short
    // in the middle of the records.
    enum class MemoryShortage { None, Shapes, Attributes, Records };
    MemoryShortage memoryShortage() const { return m_memoryShortage; }
    // Whether the shapes themselves did not fit: an allocation failed, or would have.
    bool ranOutOfMemory() const
    {
        return m_memoryShortage == MemoryShortage::Shapes || m_memoryShortage == MemoryShortage::Records;
    }
    // Safe from another thread: the parse stops before its next record.
    void setShouldAbort(bool abort) { m_shouldAbort = abort; }
    bool didAbort() const { return m_shouldAbort; }

private:
    // `unreadableTable` says why a .dbf that is there could not be read.
    void load(geodata::ShapefileContents contents, const QString& unreadableTable = {});
    void countUnreadCompanion(const QString& message);
    static QString noTableFound();
    // Why a record that does not decode is damaged, as the sentence after "Record n (at byte m)".
    static QString damageOf(const geodata::ShapeRecord& record);
    void countDamagedRecord(const geodata::ShapeRecord& record, const QString& damage);
    // Why the rest of the file after a damaged record was not read, as a sentence; empty
    // when the walk goes on after it.
    QString bytesLostAfter(const geodata::ShapeRecord& record) const;
    // Whether another program cut the mapped .shp or .dbf short under the reader.
    bool wasCutShort() const;
    void pc_point(const geodata::ShapeGeometry& geometry);
    void pc_poly(const geodata::ShapeGeometry& geometry, bool closesRings);
    void pc_multipoint(const geodata::ShapeGeometry& geometry);
    void appendPoints(const geodata::ShapeGeometry& geometry, quint32 first, quint32 count);
    static bool isInView(const QPainterPath& path, const QRectF& view);
    QRectF viewAllowingForRounding(const QTransform& transform) const;
    // What the object of a record keeps, as shapeMemoryBytes() counts it, and what making it
    // takes besides at most, for a moment.
    static qint64 keptMemoryBytes(const geodata::ShapeRecord& record);
    static qint64 transientMemoryBytes(const geodata::ShapeRecord& record);
    // The record walk of a parse; throws std::bad_alloc on from wherever it ran out of memory,
    // and before a record when too little memory would be left after it.
    void readRecords(const QTransform& transform, QList<ZQObjectPtr>& objects);
    // The dBase row each record names, in file order.
    std::vector<qint64> rowsOfRecords() const;
    // Sets the user info of a new object and, off the main thread, moves it there.
    void prepareObjectForRecord(const ZQObjectPtr& object, const geodata::ShapeRecord& record, const QString& tablePath);
    QRectF extentToFit() const;
    std::optional<QRectF> boundsOfRecords() const;
    // The parse of a threaded import; never throws.
    void runLoad();
    std::optional<QList<ZQObjectPtr>> loadFittedToRect(const QRectF& rect, const std::optional<QTransform>& transform,
                                                       const std::shared_ptr<geodata::ImportProgress>& row);

    QString m_path;
    QString m_tablePath;
    QUrl m_url;
    QString m_unreadableGeometry; // why the .shp could not be read
    std::optional<geodata::MappedFile> m_shpFile;
    std::optional<geodata::MappedFile> m_dbfFile;
    std::optional<geodata::MappedFile> m_shxFile;
    QByteArray m_shp;
    QByteArray m_dbf;
    QByteArray m_shx;
    std::optional<geodata::DBaseTable> m_table;
    QString m_attributesProblem;
    bool m_tableMissing = false; // the set has no table: its shapes land without attributes
    geodata::DBaseTable::TextEncoding m_textEncoding = geodata::DBaseTable::TextEncoding::Latin1;
    std::optional<QString> m_stringEncoding;
    std::optional<QVariantMap> m_projectionData;

    QPointer<QObject> m_delegate;
    mutable QRecursiveMutex m_delegateMutex; // the parse calls the delegate from its worker
    std::unique_ptr<ZQShapefilePathConverter> m_pathConverter;
    std::shared_ptr<ZQShapefileObjectMaker> m_objectFactory;
    std::vector<QPointF> m_scratchPoints;

    mutable std::atomic<quint64> m_totalCount{0};
    std::atomic<quint64> m_errorsCount{0};
    std::atomic<quint64> m_objectsCount{0};
    std::atomic<quint64> m_recordsWalked{0}; // by the parse under way, for its progress
    std::atomic<quint64> m_objectsNotLoadedCount{0};
    std::atomic<quint64> m_objectsOutOfViewCount{0};
    std::atomic<quint64> m_numbersKeptAsTextCount{0};
    std::atomic<bool> m_shouldAbort{false};
    MemoryShortage m_memoryShortage = MemoryShortage::None;
    std::optional<qint64> m_attributeMemoryBudget;
    std::optional<qint64> m_availableMemory;
    QString m_errorString;
    quint64 m_damagedRecordsCount = 0; // by the last parse
    quint64 m_pointsLeftOutCount = 0;  // of the objects the last parse made
    QString m_firstDamage;             // of the last parse, as a sentence
    QString m_lostTail;                // the end of the file a later damaged record hid
    bool m_readMetadata = true;
    bool m_discardOutOfViewObjects = false;
    QRectF m_documentRect;
    std::optional<QTransform> m_usedTransform;
    bool m_transformWasKept = false;
    double m_aspectCorrectionFactor = 1.0;
    QList<ZQObjectPtr> m_createdObjects;
};

// The import road of ZQESRIFile: fitting the data into the drawing, the parse on a worker
// thread with its progress row, and the synchronous entry points.

#include "geodata/ZQESRIFile.h"

#include "geodata/ShapefileImportServices.h"

#include "platform/foundation/RunLoop.h"
#include "platform/foundation/WorkInFlight.h"
#include "platform/foundation/ZQAssert.h"
#include "platform/foundation/ZQLog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThreadPool>
#include <cmath>

using namespace geodata;

namespace {

QString importPrompt(const QString& shpPath)
{
    return ZQESRIFile::tr("%1 “%2”").arg(ZQESRIFile::tr("Importing Shapefile"), QFileInfo(shpPath).fileName());
}

// Scales the data uniformly so that its extent fills the rectangle's width or height, with
// its top-left corner (north up) on the rectangle's origin. Data without any extent (one
// point, or identical points) keeps its size there.
QTransform fittedTransform(const QRectF& bounds, const QRectF& rect, double aspect)
{
    double scale = std::min(rect.width() / bounds.width(), rect.height() / bounds.height());
    if (bounds.width() == 0 && bounds.height() == 0)
        scale = 1;
    return QTransform::fromTranslate(-bounds.x(), -(bounds.y() + bounds.height()))
         * QTransform::fromScale(aspect * scale, -scale) * QTransform::fromTranslate(rect.x(), rect.y());
}

bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

std::shared_ptr<ImportProgress> beginProgress(ZQESRIFile* reader)
{
    ShapefileImportServices* services = ShapefileImportServices::installed();
    return services ? services->beginProgressForReader(reader, importPrompt(reader->URL().toLocalFile())) : nullptr;
}

void endProgress(const std::shared_ptr<ImportProgress>& row)
{
    if (row)
        row->endProgress();
}

// Held by the worker that reads `reader`: a process that ends stops the reading.
platform::WorkInFlight::Ticket readingTicket(const std::shared_ptr<ZQESRIFile>& reader)
{
    return platform::WorkInFlight::begin([weak = std::weak_ptr(reader)] {
        if (const std::shared_ptr<ZQESRIFile> reading = weak.lock())
            reading->cancelLoad();
    });
}

void logParseException(const QString& what)
{
    ZQLog(QStringLiteral("ESRI file exception: %1").arg(what));
}

} // namespace

void ZQESRIFile::beginLoadWithDelegate(QObject* delegate)
{
    ZQ_ASSERT(delegate, QStringLiteral("delegate cannot be nil"));
    auto* target = dynamic_cast<ZQESRIFileDelegate*>(delegate);
    ZQ_ASSERT(target, QStringLiteral("delegate must conform to the ZQESRIFileDelegate protocol"));
    setDelegate(delegate);
    if (!m_usedTransform) {
        m_usedTransform = target->esriFileWantsShapefileTransform(this);
        m_transformWasKept = m_usedTransform.has_value();
    }
    m_documentRect = target->esriFileWantsDocumentRect(this);
    if (!checkHeader())
        return;

    auto self = std::static_pointer_cast<ZQESRIFile>(shared_from_this());
    std::shared_ptr<ImportProgress> row = beginProgress(this);
    countOfObjects(); // counted here, so that the progress polls only read it
    // The reader and the row are QObjects of the main thread: the worker hands its references
    // over there rather than letting the last one go itself.
    QThreadPool::globalInstance()->start([self, row, ticket = readingTicket(self)]() mutable {
        self->runLoad();
        endProgress(row);
        platform::RunLoop::runOnMainThread([self = std::move(self), row = std::move(row)] { self->loadingFinished(); });
    });
}

// Whatever the parse or the delegate throws ends it: it must not escape the worker. A parse
// that threw delivers no objects.
void ZQESRIFile::runLoad()
{
    std::optional<QList<ZQObjectPtr>> objects;
    try {
        // Here rather than on the main thread: fitting may read every point of the file.
        calculateTransformIfNeeded();
        objects = parseUsingTransform(*m_usedTransform);
    } catch (const std::exception& e) {
        logParseException(QString::fromUtf8(e.what()));
    } catch (...) {
        logParseException(QStringLiteral("unknown exception"));
    }
    m_createdObjects = objects.value_or(QList<ZQObjectPtr>());
    const QMutexLocker lock(&m_delegateMutex);
    if (ZQESRIFileDelegate* target = delegate())
        platform::runGuarded("shapefile import hand-over", [&] { target->esriFileWillFinishLoading(this); });
}

void ZQESRIFile::cancelLoad()
{
    setShouldAbort(true);
    setDelegate(nullptr);
}

void ZQESRIFile::calculateTransformIfNeeded()
{
    if (m_usedTransform)
        return;
    m_usedTransform = fittedTransform(extentToFit(), m_documentRect, m_aspectCorrectionFactor);
}

// The header's box tells the extent of the data unless it is damaged: not finite, without an
// area while the records have one, or not holding every record's points.
QRectF ZQESRIFile::extentToFit() const
{
    const QRectF header = bounds();
    const std::optional<QRectF> records = boundsOfRecords();
    if (!records)
        return isFinite(header) ? header : QRectF();
    const bool holdsRecords = records->left() >= header.left() && records->right() <= header.right()
                           && records->top() >= header.top() && records->bottom() <= header.bottom();
    const bool hasArea = header.width() > 0 && header.height() > 0;
    return isFinite(header) && holdsRecords && (hasArea || records->isEmpty()) ? header : *records;
}

// The drawable points of every record; nullopt when there are none.
std::optional<QRectF> ZQESRIFile::boundsOfRecords() const
{
    double left = qInf(), top = qInf(), right = -qInf(), bottom = -qInf();
    for (const ShapeRecord& record : records()) {
        const std::optional<ShapeGeometry> geometry = ShapeGeometry::decode(record);
        for (quint32 i = 0; geometry && i < geometry->pointCount(); ++i) {
            const QPointF point = geometry->point(i);
            if (!ZQShapefilePathConverter::isDrawable(point))
                continue;
            left = std::min(left, point.x());
            right = std::max(right, point.x());
            top = std::min(top, point.y());
            bottom = std::max(bottom, point.y());
        }
    }
    if (left > right)
        return std::nullopt;
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

void ZQESRIFile::loadingFinished()
{
    if (ZQESRIFileDelegate* target = delegate())
        target->esriFileDidFinishLoading(this);
}

double ZQESRIFile::progressFractionForProgressShouldCancel(ImportProgress*, bool shouldCancel)
{
    // Only ever raised here: a stop that came another way must not be taken back.
    if (shouldCancel)
        setShouldAbort(true);
    const quint64 total = m_totalCount;
    // Records walked, not objects made: an import whose records mostly fall out of view
    // still shows how far it has got.
    return total == 0 ? 0.0 : double(m_recordsWalked) / double(total);
}

// --- Synchronous entry points ------------------------------------------------------------------

std::optional<QList<ZQObjectPtr>> ZQESRIFile::createDrawingObjectsFromESRIFile(const QString& path)
{
    auto reader = std::make_shared<ZQESRIFile>();
    reader->initWithFile(path);
    return reader->parse();
}

std::optional<QList<ZQObjectPtr>> ZQESRIFile::createDrawingObjectsFromESRIFileFitToRectDelegateTransform(
    const QString& path, const QRectF& rect, QObject* delegate, const std::optional<QTransform>& transform)
{
    auto reader = std::make_shared<ZQESRIFile>();
    reader->initWithFile(path);
    reader->setDelegate(delegate);
    if (!reader->checkHeader())
        return std::nullopt;
    return reader->loadFittedToRect(rect, transform, beginProgress(reader.get()));
}

std::optional<QList<ZQObjectPtr>> ZQESRIFile::loadFittedToRect(const QRectF& rect,
                                                              const std::optional<QTransform>& transform,
                                                              const std::shared_ptr<ImportProgress>& row)
{
    if (!checkHeader()) {
        endProgress(row);
        return std::nullopt;
    }
    m_documentRect = rect;
    m_transformWasKept = transform && transform->isAffine();
    m_usedTransform = m_transformWasKept ? *transform : fittedTransform(extentToFit(), rect, 1.0);
    std::optional<QList<ZQObjectPtr>> objects;
    try {
        objects = parseUsingTransform(*m_usedTransform);
    } catch (...) {
        endProgress(row);
        throw;
    }
    endProgress(row);
    if (m_errorsCount > 0) {
        const QString text = !m_errorString.isEmpty()
                               ? m_errorString
                               : tr("%1 objects could not be read and were skipped (%2 total errors). %3 Read OK. "
                                    "Check your results.")
                                     .arg(m_objectsNotLoadedCount.load())
                                     .arg(m_errorsCount.load())
                                     .arg(m_objectsCount.load());
        platform::RunLoop::runOnMainThread([text] { displayErrorAlertWithString(text); });
    }
    return objects;
}

void ZQESRIFile::createDrawingObjectsFromESRIFileFitToRectDelegateRunInThreadTransform(
    const QString& path, const QRectF& rect, QObject* delegate, bool runInThread, const std::optional<QTransform>& transform)
{
    ZQ_ASSERT(!runInThread || delegate, QStringLiteral("requires a delegate to run in thread"));
    auto reader = std::make_shared<ZQESRIFile>();
    reader->initWithFile(path);
    reader->setDelegate(delegate);
    std::shared_ptr<ImportProgress> row = reader->checkHeader() ? beginProgress(reader.get()) : nullptr;
    auto load = [reader, rect, transform, row, path, runInThread]() mutable {
        std::optional<QList<ZQObjectPtr>> objects;
        if (runInThread)
            platform::runGuarded("threaded shapefile load", [&] { objects = reader->loadFittedToRect(rect, transform, row); });
        else
            objects = reader->loadFittedToRect(rect, transform, row);
        // The reader and the row belong to the main thread: they are let go of there.
        auto finish = [reader = std::move(reader), row = std::move(row), path, objects] {
            ZQESRIFileDelegate* target = reader->delegate();
            if (objects && target)
                target->esriFileDidFinishThreadedLoad({{QStringLiteral("kESRIInfoFilePath"), path},
                                                       {QStringLiteral("kESRIInfoObjects"), QVariant::fromValue(*objects)}});
        };
        if (runInThread)
            platform::RunLoop::runOnMainThread(std::move(finish));
        else
            finish();
    };
    if (runInThread)
        QThreadPool::globalInstance()->start([load = std::move(load), ticket = readingTicket(reader)]() mutable { load(); });
    else
        load();
}

void ZQESRIFile::displayErrorAlertWithString(const QString& text)
{
    if (ShapefileImportServices* services = ShapefileImportServices::installed())
        services->displayErrorAlertWithString(text);
}

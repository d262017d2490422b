#include "terrain/layer/ContourComputation.h"

#include "geodata/MatrixContourSource.h"
#include "geodata/ZQBezierContourer.h"
#include "platform/foundation/WorkInFlight.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <new>
#include <numeric>
#include <vector>

namespace {

// What every share of the levels spends from.
struct Budget {
    quint64 perLevel = 0;
    quint64 total = 0;
    std::atomic<quint64> spent{0};
    std::atomic<bool> exhausted{false};
    const std::atomic<bool>* cancel = nullptr;

    bool stopped() const
    {
        return exhausted.load(std::memory_order_relaxed) || (cancel && cancel->load(std::memory_order_relaxed));
    }
};

// The cell row the plotter works on, which its progress tells before each row.
class RowTracker : public ZQContourPlotter::ProgressMonitor {
public:
    bool notifyProgressValueMaxPhaseUserInfo(qint64 value, qint64, qint64 phase, const QVariant&) override
    {
        if (phase == 1)
            m_row = value;
        return true;
    }

protected:
    qint64 m_row = 0; // from the plotting's first
};

// Keeps a plotting's segments.
class SegmentRecorder : public QObject, public ZQContourPlotter::DataReceiver, public RowTracker {
public:
    explicit SegmentRecorder(ContourSegments& kept) : m_kept(kept) {}

    void contourWithIndexLineFromPointToPoint(quint64 index, QPointF from, QPointF to) override
    {
        m_kept.add(qsizetype(index), m_row, from, to);
    }

private:
    ContourSegments& m_kept;
};

// Passes one share's segments on to its contourer (and to `kept`, if any) while counting
// them: per level, and in batches against the shared budget (counting each segment there
// would make the cores queue for one counter). As the plotter's monitor it stops the
// plotting once the budget is spent or the computation is cancelled.
class BudgetedReceiver : public QObject, public ZQContourPlotter::DataReceiver, public RowTracker {
public:
    static constexpr quint64 kBatch = 4096;

    BudgetedReceiver(ZQBezierContourer& contourer, qsizetype levelCount, Budget& budget, ContourSegments* kept)
        : m_contourer(contourer), m_counts(size_t(levelCount), 0), m_budget(budget), m_kept(kept)
    {
    }

    void contourWithIndexLineFromPointToPoint(quint64 index, QPointF from, QPointF to) override
    {
        quint64& count = m_counts[size_t(index)];
        if (count > m_budget.perLevel)
            return;
        if (++count > m_budget.perLevel) {
            m_contourer.forgetContourForIndex(index);
            return;
        }
        m_contourer.contourWithIndexLineFromPointToPoint(index, from, to);
        if (m_kept)
            m_kept->add(qsizetype(index), m_row, from, to);
        if (++m_unspent == kBatch)
            spend();
    }

    bool notifyProgressValueMaxPhaseUserInfo(qint64 value, qint64 max, qint64 phase, const QVariant& info) override
    {
        RowTracker::notifyProgressValueMaxPhaseUserInfo(value, max, phase, info);
        spend();
        return !m_budget.stopped();
    }

    bool isLeftOut(qsizetype level) const { return m_counts[size_t(level)] > m_budget.perLevel; }

private:
    void spend()
    {
        const quint64 amount = std::exchange(m_unspent, 0);
        if (m_budget.spent.fetch_add(amount, std::memory_order_relaxed) + amount > m_budget.total)
            m_budget.exhausted.store(true, std::memory_order_relaxed);
    }

    ZQBezierContourer& m_contourer;
    std::vector<quint64> m_counts;
    quint64 m_unspent = 0;
    Budget& m_budget;
    ContourSegments* m_kept;
};

// Contours have threads of their own: on the global pool they would keep the view's painting
// (which shares its work out there and waits) waiting behind them.
QThreadPool& contourPool()
{
    static QThreadPool* const pool = [] {
        auto* made = new QThreadPool;
        made->setObjectName(QStringLiteral("contours"));
        platform::WorkInFlight::waitForPoolAtEnd(made);
        return made;
    }();
    return *pool;
}

struct Share {
    QList<double> levels;
    QList<qsizetype> positions; // in the request's levels
    QList<QPainterPath> paths;
    QList<QList<ContourStrand>> strands;
    QList<qsizetype> leftOut;
    ContourSegments segments;
};

qint64 cellRowsOf(const ZQMatrixArray& grid) { return qint64(grid.count() / grid.rowWidth()) - 1; }

// A level's path and strands from its segments, joined as the request says.
std::pair<QPainterPath, QList<ContourStrand>> joined(const ContourRequest& request, const ContourSegments::Bands& bands)
{
    ZQBezierContourer contourer;
    contourer.setSimplifies(request.simplifies);
    contourer.setSmoothing(request.smoothing);
    for (const ContourSegments::Band& band : bands)
        for (const ContourSegments::Segment& segment : band)
            contourer.contourWithIndexLineFromPointToPoint(0, segment.from, segment.to);
    QPainterPath path = contourer.contourPathForIndex(0).value_or(QPainterPath());
    return {path, ContourComputation::strandsOf(path)};
}

} // namespace

namespace ContourComputation {

QThreadPool& threadPool() { return contourPool(); }

ContourResult compute(const ContourRequest& request, const std::atomic<bool>* cancel)
{
    ContourResult result;
    const qsizetype levelCount = request.levels.size();
    result.paths.resize(levelCount);
    result.strands.resize(levelCount);
    if (levelCount == 0 || !request.grid || request.grid->count() == 0)
        return result;
    // Each level joins on its own, so the levels are dealt out in runs, a run per plotting
    // pass: cells outside a run's heights are passed over at once.
    const qsizetype shareCount = std::min<qsizetype>(levelCount, std::max(1, QThread::idealThreadCount()));
    std::vector<Share> shares(static_cast<size_t>(shareCount));
    for (qsizetype j = 0; j < levelCount; ++j) {
        Share& share = shares[size_t(j * shareCount / levelCount)];
        share.levels.append(request.levels[j]);
        share.positions.append(j);
    }
    const qint64 cellRows = cellRowsOf(*request.grid);
    if (request.keepsSegments)
        for (Share& share : shares)
            share.segments = ContourSegments(share.levels.size(), cellRows);
    Budget budget;
    budget.perLevel = request.maximumSegmentsPerLevel;
    budget.total = request.maximumSegments;
    budget.cancel = cancel;
    const auto plot = [&](Share& share) {
        try {
            geodata::MatrixContourSource source(request.grid, share.levels, request.cellSize, request.origin);
            ZQBezierContourer contourer;
            contourer.setSimplifies(request.simplifies);
            contourer.setSmoothing(request.smoothing);
            BudgetedReceiver receiver(contourer, share.levels.size(), budget,
                                      request.keepsSegments ? &share.segments : nullptr);
            ZQContourPlotter plotter;
            plotter.initWithDataSourceDataReceiver(&source, &receiver);
            plotter.setDataProgressMonitor(&receiver);
            plotter.computeContours();
            if (budget.stopped())
                return;
            for (qsizetype j = 0; j < share.levels.size(); ++j) {
                if (receiver.isLeftOut(j))
                    share.leftOut.append(share.positions[j]);
                share.paths.append(contourer.contourPathForIndex(quint64(j)).value_or(QPainterPath()));
                share.strands.append(strandsOf(share.paths.last()));
            }
        } catch (const std::bad_alloc&) {
            budget.exhausted = true;
        }
    };
    if (shares.size() == 1)
        plot(shares.front());
    else
        QtConcurrent::blockingMap(&contourPool(), shares, plot);
    result.cancelled = cancel && cancel->load();
    result.exhausted = budget.exhausted.load();
    if (result.cancelled || result.exhausted)
        return result;
    for (const Share& share : shares) {
        for (qsizetype j = 0; j < share.positions.size(); ++j) {
            result.paths[share.positions[j]] = share.paths[j];
            result.strands[share.positions[j]] = share.strands[j];
        }
        for (qsizetype position : share.leftOut)
            result.leftOut.insert(position);
    }
    // A level left out kept only some of its segments.
    if (request.keepsSegments && result.leftOut.isEmpty()) {
        result.segments = ContourSegments(levelCount, cellRows);
        for (Share& share : shares)
            for (qsizetype j = 0; j < share.positions.size(); ++j)
                result.segments.setBands(share.positions[j], share.segments.takeBands(j));
    }
    return result;
}

std::optional<ContourResult> recomputeRows(const ContourRequest& request, const QList<qsizetype>& positions,
                                           qint64 firstRow, qint64 lastRow, ContourSegments& segments)
{
    const qsizetype levelCount = request.levels.size();
    if (!request.grid || request.grid->count() == 0 || positions.size() != levelCount)
        return std::nullopt;
    const qint64 cellRows = cellRowsOf(*request.grid);
    if (ContourSegments::bandCountOfRows(cellRows) != segments.bandCount())
        return std::nullopt;
    ContourResult result;
    try {
        firstRow = std::max<qint64>(firstRow, 0);
        lastRow = std::min(lastRow, cellRows - 1);
        if (firstRow <= lastRow && levelCount > 0) {
            // Whole bands, so the plotted ones take the places of those kept.
            const qint64 firstBand = ContourSegments::bandOfRow(firstRow);
            const qint64 top = firstBand * ContourSegments::kBandRows;
            const qint64 bottom = std::min((ContourSegments::bandOfRow(lastRow) + 1) * ContourSegments::kBandRows, cellRows);
            geodata::MatrixContourSource source(request.grid, request.levels, request.cellSize, request.origin);
            source.limitToRows(top, bottom);
            ContourSegments plotted(levelCount, bottom - top);
            SegmentRecorder recorder(plotted);
            ZQContourPlotter plotter;
            plotter.initWithDataSourceDataReceiver(&source, &recorder);
            plotter.setDataProgressMonitor(&recorder);
            plotter.computeContours();
            quint64 spent = 0;
            for (qsizetype j = 0; j < levelCount; ++j) {
                const quint64 count = segments.countOfLevel(positions[j]) -
                                      segments.countOfLevel(positions[j], firstBand, plotted.bandCount()) +
                                      plotted.countOfLevel(j);
                if (count > request.maximumSegmentsPerLevel)
                    return std::nullopt;
                spent += count;
            }
            if (spent > request.maximumSegments)
                return std::nullopt;
            for (qsizetype j = 0; j < levelCount; ++j)
                segments.replaceBands(positions[j], firstBand, plotted.takeBands(j));
        }
        std::vector<std::pair<QPainterPath, QList<ContourStrand>>> levels(static_cast<size_t>(levelCount));
        const auto join = [&](qsizetype j) { levels[size_t(j)] = joined(request, segments.bandsOfLevel(positions[j])); };
        QList<qsizetype> order(levelCount);
        std::iota(order.begin(), order.end(), 0);
        if (levelCount == 1)
            join(0);
        else
            QtConcurrent::blockingMap(&contourPool(), order, join);
        for (auto& [path, strands] : levels) {
            result.paths.append(std::move(path));
            result.strands.append(std::move(strands));
        }
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
    return result;
}

QList<ContourStrand> strandsOf(const QPainterPath& path)
{
    QList<ContourStrand> strands;
    const int count = path.elementCount();
    for (int first = 0; first < count;) {
        int end = first + 1;
        while (end < count && path.elementAt(end).type != QPainterPath::MoveToElement)
            ++end;
        QPainterPath strand;
        int pieces = 0;
        const auto finishStrand = [&] {
            if (!strand.isEmpty())
                strands.append({strand, strand.controlPointRect()});
            strand.clear();
            pieces = 0;
        };
        // Sized once: growing element by element costs more than the copying.
        strand.reserve(std::min(end - first, kMostStrandPieces + 1));
        strand.moveTo(path.elementAt(first));
        for (int i = first + 1; i < end; ++i) {
            // A long strand goes on in another that starts where it ends: each has bounds of its
            // own, and a tile strokes only those that reach it.
            if (pieces == kMostStrandPieces) {
                const QPointF at = strand.currentPosition();
                finishStrand();
                strand.moveTo(at);
            }
            const QPainterPath::Element element = path.elementAt(i);
            if (element.type == QPainterPath::CurveToElement && i + 2 < end) {
                strand.cubicTo(element, path.elementAt(i + 1), path.elementAt(i + 2));
                i += 2;
                ++pieces;
            } else if (element.type == QPainterPath::LineToElement) {
                strand.lineTo(element);
                ++pieces;
            }
        }
        finishStrand();
        first = end;
    }
    return strands;
}

QString problemText(bool exhausted, qsizetype levelsLeftOut)
{
    if (exhausted)
        return QCoreApplication::translate("ZQContourLayer",
                                           "No contours are drawn: these heights would need more than %L1 contour "
                                           "segments. Choose a larger contour interval, or smoother heights.")
            .arg(kMaximumSegments);
    if (levelsLeftOut > 0)
        return QCoreApplication::translate("ZQContourLayer",
                                           "Contour levels not drawn: %1. Each would need more than %L2 segments. "
                                           "Choose a larger contour interval, or smoother heights.")
            .arg(levelsLeftOut)
            .arg(kMaximumSegmentsPerLevel);
    return {};
}

} // namespace ContourComputation

#include "terrain/layer/ContourComputation.h"

#include "geodata/MatrixContourSource.h"
#include "geodata/ZQBezierContourer.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentMap>
#include <new>
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

// Passes one share's segments on to its contourer while counting them: per level, and in
// batches against the shared budget (counting each segment there would make the cores
// queue for one counter). As the plotter's monitor it stops the plotting once the budget
// is spent or the computation is cancelled.
class BudgetedReceiver : public QObject, public ZQContourPlotter::DataReceiver, public ZQContourPlotter::ProgressMonitor {
public:
    static constexpr quint64 kBatch = 4096;

    BudgetedReceiver(ZQBezierContourer& contourer, qsizetype levelCount, Budget& budget)
        : m_contourer(contourer), m_counts(size_t(levelCount), 0), m_budget(budget)
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
        if (++m_unspent == kBatch)
            spend();
    }

    bool notifyProgressValueMaxPhaseUserInfo(qint64, qint64, qint64, const QVariant&) override
    {
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
};

// Contours have threads of their own: on the global pool they would keep the view's painting
// (which shares its work out there and waits) waiting behind them.
QThreadPool& contourPool()
{
    static QThreadPool* const pool = [] {
        auto* made = new QThreadPool;
        made->setObjectName(QStringLiteral("contours"));
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
};

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
            BudgetedReceiver receiver(contourer, share.levels.size(), budget);
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
        // Sized once: growing element by element costs more than the copying.
        QPainterPath strand;
        strand.reserve(end - first);
        strand.moveTo(path.elementAt(first));
        for (int i = first + 1; i < end; ++i) {
            const QPainterPath::Element element = path.elementAt(i);
            if (element.type == QPainterPath::CurveToElement && i + 2 < end) {
                strand.cubicTo(element, path.elementAt(i + 1), path.elementAt(i + 2));
                i += 2;
            } else if (element.type == QPainterPath::LineToElement) {
                strand.lineTo(element);
            }
        }
        if (!strand.isEmpty())
            strands.append({strand, strand.controlPointRect()});
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

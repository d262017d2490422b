#pragma once

// Keeps an import's worker from running out of memory in the middle of its records. The
// path operations of Qt's painting module are built without exceptions: an allocation that
// fails there is not reported but written through, and ends the process. So the worker must
// never get that far: before each record it asks for what the record's object will keep and
// what making it needs besides for a moment, and is refused once the one would leave less
// than a margin free, or the other less than half of it. The memory free is measured again
// whenever what was granted since the last measure passes a quarter of it or a step, so that
// measures stay few while there is plenty and come often as it runs short.

#include <QtGlobal>
#include <functional>
#include <optional>

namespace geodata {

class RecordMemoryGuard {
public:
    // `probe` answers the memory free now, nullopt when that cannot be known (then every
    // request is granted).
    using Probe = std::function<std::optional<qint64>()>;
    RecordMemoryGuard(Probe probe, qint64 margin);

    // Whether a record may be made that keeps `kept` bytes and takes `transient` more while
    // it is made; counts what it keeps when so.
    bool admits(qint64 kept, qint64 transient);

    static constexpr qint64 kMeasureStep = qint64(16) << 20;

private:
    void measure();

    Probe m_probe;
    qint64 m_margin;
    bool m_measured = false;
    std::optional<qint64> m_free; // at the last measure
    qint64 m_granted = 0;         // kept since then
};

} // namespace geodata

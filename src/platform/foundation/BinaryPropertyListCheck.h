#pragma once

// A structural check of a binary property list before libplist parses it or
// BinaryPropertyListReader opens it. libplist 2.2 follows references recursively, copies
// a shared object at every reference to it and aborts on a dictionary key holding a NUL,
// so a few hostile bytes could overflow the stack (deep nesting, cycles), expand into
// gigabytes (layered shared containers) or stop the program. The check walks the
// references without recursion, measuring each object once, and refuses:
// - damage: a bad header or trailer, offsets and sizes past the objects, unknown markers,
//   references to missing objects, more objects than the offset table in the file holds;
// - cycles, and containers nested deeper than `maximumDepth`;
// - dictionary keys that are not strings or hold a NUL;
// - graphs whose parsed form would take more than about 64 bytes per byte of input;
// - files whose table of measures (eight bytes an object) the memory available cannot hold.
// 16-byte integers, dates and 3-byte offsets and references, which other writers use,
// pass.

#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>

namespace platform {

// Where a binary property list's tables lie, as its trailer says.
struct BinaryPropertyListTrailer {
    int offsetSize = 0;    // bytes of each offset in the offset table
    int referenceSize = 0; // bytes of each reference in a container
    quint64 objectCount = 0;
    quint64 topObject = 0;
    qsizetype offsetTable = 0; // where the offset table starts
};
// The trailer of `data` when it has the header and its tables lie inside the data; nullopt
// when not. Reads of the objects must still stay inside the data.
std::optional<BinaryPropertyListTrailer> binaryPropertyListTrailer(QByteArrayView data);

// Answers why `data` must not be parsed, or an empty string when it may.
// `maximumDepth` must be below 16383. `progress`, when given, is told the share of the
// objects checked every few hundred objects; when it answers false the check stops and
// says so.
QString binaryPropertyListProblem(QByteArrayView data, int maximumDepth,
                                  const std::function<bool(double fraction)>& progress = {});
// The same before a parse that builds the whole tree (libplist's): the tree must also fit in
// the memory available.
QString binaryPropertyListTreeProblem(QByteArrayView data, int maximumDepth);

} // namespace platform

#include "platform/foundation/ArchiveBinaryPlistCheck.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace platform {
namespace {

constexpr qsizetype kHeaderSize = 8;
constexpr qsizetype kTrailerSize = 32;
// Roughly what libplist spends per parsed node, and the parsed size allowed per file byte.
constexpr quint64 kNodeCost = 64;
constexpr quint64 kExpansionPerByte = 64;
constexpr quint64 kExpansionAllowance = 1 << 20;

struct Trailer {
    int offsetSize = 0;
    int referenceSize = 0;
    quint64 objectCount = 0;
    quint64 topObject = 0;
    quint64 offsetTable = 0;
};

// One object as seen from the outside: where its references are and what a leaf costs.
struct ObjectShape {
    quint64 referencesAt = 0;
    quint64 referenceCount = 0;
    quint64 cost = kNodeCost;
};

class StructureCheck {
public:
    StructureCheck(QByteArrayView data, int maxDepth) : m_data(data), m_maxDepth(maxDepth) {}

    bool run(QString* problem)
    {
        const bool ok = readTrailer() && walk();
        if (!ok && problem)
            *problem = m_problem;
        return ok;
    }

private:
    std::optional<quint64> bigEndian(quint64 position, int width) const
    {
        if (position > quint64(m_data.size()) || quint64(width) > quint64(m_data.size()) - position)
            return std::nullopt;
        quint64 value = 0;
        for (int i = 0; i < width; ++i)
            value = (value << 8) | quint8(m_data[qsizetype(position) + i]);
        return value;
    }

    bool fail(const QString& why)
    {
        m_problem = why;
        return false;
    }

    bool readTrailer()
    {
        if (m_data.size() < kHeaderSize + 1 + kTrailerSize || !m_data.startsWith("bplist00"))
            return fail(QStringLiteral("not a binary property list"));
        const quint64 at = quint64(m_data.size() - kTrailerSize);
        m_trailer.offsetSize = quint8(m_data[qsizetype(at) + 6]);
        m_trailer.referenceSize = quint8(m_data[qsizetype(at) + 7]);
        m_trailer.objectCount = *bigEndian(at + 8, 8);
        m_trailer.topObject = *bigEndian(at + 16, 8);
        m_trailer.offsetTable = *bigEndian(at + 24, 8);
        const Trailer& t = m_trailer;
        if (t.offsetSize < 1 || t.offsetSize > 8 || t.referenceSize < 1 || t.referenceSize > 8)
            return fail(QStringLiteral("bad integer sizes in the trailer"));
        if (t.offsetTable < quint64(kHeaderSize) || t.offsetTable > at || t.objectCount == 0
            || t.objectCount > (at - t.offsetTable) / quint64(t.offsetSize) || t.topObject >= t.objectCount)
            return fail(QStringLiteral("bad object table in the trailer"));
        m_budget = quint64(m_data.size()) * kExpansionPerByte + kExpansionAllowance;
        return true;
    }

    std::optional<ObjectShape> shape(quint64 index)
    {
        const auto offset = bigEndian(m_trailer.offsetTable + index * quint64(m_trailer.offsetSize),
                                               m_trailer.offsetSize);
        if (!offset || *offset < quint64(kHeaderSize) || *offset >= m_trailer.offsetTable)
            return std::nullopt;
        const quint8 marker = quint8(m_data[qsizetype(*offset)]);
        const int type = marker >> 4;
        const int info = marker & 0x0f;
        quint64 position = *offset + 1;
        quint64 count = quint64(info);
        if (info == 0x0f && type >= 0x4) {
            const auto lengthMarker = bigEndian(position, 1);
            if (!lengthMarker || (*lengthMarker >> 4) != 0x1 || (*lengthMarker & 0x0f) > 3)
                return std::nullopt;
            const int width = 1 << (*lengthMarker & 0x0f);
            const auto length = bigEndian(position + 1, width);
            if (!length)
                return std::nullopt;
            count = *length;
            position += 1 + quint64(width);
        }
        const quint64 room = m_trailer.offsetTable - std::min(position, m_trailer.offsetTable);
        const auto leaf = [&](quint64 payload, quint64 parsedSize) -> std::optional<ObjectShape> {
            if (payload > room)
                return std::nullopt;
            return ObjectShape{position, 0, kNodeCost + parsedSize};
        };
        const auto container = [&](quint64 references) -> std::optional<ObjectShape> {
            if (references > room / quint64(m_trailer.referenceSize))
                return std::nullopt;
            return ObjectShape{position, references, kNodeCost};
        };
        switch (type) {
        case 0x0: return leaf(0, 0);
        case 0x1: return info <= 4 ? leaf(quint64(1) << info, 0) : std::nullopt;
        case 0x2: return info <= 3 ? leaf(quint64(1) << info, 0) : std::nullopt;
        case 0x3: return leaf(8, 0);
        case 0x4:
        case 0x5:
        case 0x7: return leaf(count, count);
        case 0x6: return count <= room / 2 ? leaf(count * 2, count * 3) : std::nullopt;
        case 0x8: return leaf(quint64(info) + 1, 0);
        case 0xa:
        case 0xc: return container(count);
        case 0xd: return count <= room / 2 ? container(count * 2) : std::nullopt;
        default: return std::nullopt;
        }
    }

    // Depth-first over references without recursion; every object is expanded once and
    // its parsed size and height are remembered for later references to it.
    bool walk()
    {
        enum State : quint8 { Unvisited, Open, Done };
        const quint64 n = m_trailer.objectCount;
        std::vector<quint8> state(n, Unvisited);
        std::vector<quint16> height(n, 0);
        std::vector<quint64> cost(n, 0);
        struct Frame {
            quint64 index;
            ObjectShape shape;
            quint64 next = 0;
        };
        std::vector<Frame> path;

        const auto open = [&](quint64 index) {
            const auto s = shape(index);
            if (!s)
                return fail(QStringLiteral("malformed object %1").arg(index));
            state[index] = Open;
            cost[index] = s->cost;
            path.push_back({index, *s});
            return path.size() <= size_t(m_maxDepth) || fail(QStringLiteral("nesting too deep"));
        };
        if (!open(m_trailer.topObject))
            return false;
        while (!path.empty()) {
            Frame& frame = path.back();
            if (frame.next == frame.shape.referenceCount) {
                const quint64 done = frame.index;
                state[done] = Done;
                path.pop_back();
                if (!path.empty()) {
                    const quint64 parent = path.back().index;
                    cost[parent] = std::min(cost[parent] + cost[done], m_budget + 1);
                    height[parent] = std::max<quint16>(height[parent], quint16(height[done] + 1));
                }
                continue;
            }
            const quint64 child = *bigEndian(frame.shape.referencesAt + frame.next * quint64(m_trailer.referenceSize),
                                                      m_trailer.referenceSize);
            ++frame.next;
            if (child >= n)
                return fail(QStringLiteral("reference out of range"));
            if (state[child] == Open)
                return fail(QStringLiteral("reference cycle"));
            if (state[child] == Done) {
                if (path.size() + height[child] >= size_t(m_maxDepth))
                    return fail(QStringLiteral("nesting too deep"));
                const quint64 parent = frame.index;
                cost[parent] = std::min(cost[parent] + cost[child], m_budget + 1);
                height[parent] = std::max<quint16>(height[parent], quint16(height[child] + 1));
            } else if (!open(child)) {
                return false;
            }
            if (cost[path.back().index] > m_budget)
                return fail(QStringLiteral("shared references expand beyond the size limit"));
        }
        return cost[m_trailer.topObject] <= m_budget || fail(QStringLiteral("shared references expand beyond the size limit"));
    }

    QByteArrayView m_data;
    int m_maxDepth;
    Trailer m_trailer;
    quint64 m_budget = 0;
    QString m_problem;
};

} // namespace

bool checkBinaryPlistStructure(QByteArrayView data, int maxDepth, QString* problem)
{
    return StructureCheck(data, qBound(1, maxDepth, int(std::numeric_limits<quint16>::max()))).run(problem);
}

} // namespace platform

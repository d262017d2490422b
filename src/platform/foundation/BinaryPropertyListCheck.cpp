#include "platform/foundation/BinaryPropertyListCheck.h"

#include "platform/foundation/ArchiveProgress.h"
#include "platform/foundation/AvailableMemory.h"
#include "platform/foundation/ZQAssert.h"

#include <QtEndian>

#include <algorithm>
#include <limits>
#include <vector>

namespace platform {
namespace {

constexpr qsizetype kHeaderSize = 8;
constexpr qsizetype kTrailerSize = 32;
// Roughly what libplist spends per parsed object, and the parsed size allowed per input byte.
constexpr quint64 kObjectCost = 64;
constexpr quint64 kCostPerInputByte = 64;
constexpr quint64 kCostAllowance = quint64(1) << 20;

// The budget below stays within the cost bits for files up to a terabyte.
constexpr int kCostBits = 47, kHeightBits = 14;
constexpr qint64 kMostInputBytes = qint64(1) << 40;

constexpr int kAsciiString = 0x5, kUtf16String = 0x6, kDictionary = 0xD;

struct Refusal {
    QString reason;
};

[[noreturn]] void refuse(const QString& reason) { throw Refusal{reason}; }
[[noreturn]] void damaged() { refuse(QStringLiteral("its binary structure is damaged")); }

class StructureCheck {
public:
    StructureCheck(QByteArrayView data, int maximumDepth, const std::function<bool(double)>& progress)
        : m_data(data)
        , m_maximumDepth(quint64(maximumDepth))
        , m_budget(quint64(data.size()) * kCostPerInputByte + kCostAllowance)
        , m_progress(progress)
    {
    }

    // Depth first over the references, with the open containers on an explicit path; answers
    // about how many bytes the parsed tree takes.
    quint64 run()
    {
        readTrailer();
        enter(m_topObject);
        while (!m_path.empty()) {
            Frame& frame = m_path.back();
            if (frame.next == frame.object.count) {
                leave();
                continue;
            }
            const quint64 child = reference(frame.object, frame.next);
            if (frame.object.type == kDictionary && frame.next < frame.object.count / 2)
                checkKey(child);
            ++frame.next;
            enter(child);
        }
        return m_measures[m_topObject].cost;
    }

private:
    // An object's marker read: its payload, or the references of a container.
    struct Object {
        int type = 0;
        quint64 count = 0; // payload units, or references (keys and values for a dictionary)
        qsizetype payloadStart = 0;
        quint64 parsedBytes = 0;
        bool isContainer = false;
    };
    enum class State : quint8 { Unvisited, Open, Done };
    // Eight bytes, as there is one for every object of the file.
    struct Measure {
        quint64 cost : kCostBits = 0; // what the parsed subtree takes, saturated just above the budget
        quint64 height : kHeightBits = 0; // levels of containers, this one included
        quint64 state : 2 = quint64(State::Unvisited);
        quint64 checkedAsKey : 1 = 0;
    };
    struct Frame {
        quint64 index;
        Object object;
        quint64 next = 0;
    };

    quint64 readUnsigned(qsizetype at, int size) const
    {
        if (at < kHeaderSize || size > 8 || at > m_objectsEnd - size)
            damaged();
        quint64 value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | quint8(m_data[at + i]);
        return value;
    }

    void readTrailer()
    {
        if (m_data.size() < kHeaderSize + 1 + kTrailerSize || !m_data.startsWith("bplist00"))
            refuse(QStringLiteral("it is not a binary property list"));
        m_objectsEnd = m_data.size() - kTrailerSize;
        const std::optional<BinaryPropertyListTrailer> trailer = binaryPropertyListTrailer(m_data);
        if (!trailer)
            damaged();
        m_offsetSize = trailer->offsetSize;
        m_referenceSize = trailer->referenceSize;
        m_objectCount = trailer->objectCount;
        m_topObject = trailer->topObject;
        m_offsetTable = trailer->offsetTable;
        if (!memoryIsAvailableFor(qint64(m_objectCount * sizeof(Measure))))
            refuse(QStringLiteral("there is not enough memory to check its %1 objects").arg(m_objectCount));
        m_measures.assign(m_objectCount, Measure{});
    }

    // The count after a marker: its low nibble, or an integer object after it.
    quint64 readCount(qsizetype& at, int lowNibble) const
    {
        if (lowNibble != 0xF)
            return quint64(lowNibble);
        const int marker = int(readUnsigned(at, 1));
        if ((marker >> 4) != 0x1 || (marker & 0xF) > 3)
            damaged();
        const int size = 1 << (marker & 0xF);
        const quint64 count = readUnsigned(at + 1, size);
        at += 1 + size;
        return count;
    }

    // Objects lie between the header and the offset table.
    Object readObject(quint64 index) const
    {
        const quint64 offset = readUnsigned(m_offsetTable + qsizetype(index) * m_offsetSize, m_offsetSize);
        if (offset < quint64(kHeaderSize) || offset >= quint64(m_offsetTable))
            damaged();
        qsizetype at = qsizetype(offset);
        const int marker = quint8(m_data[at++]);
        Object object;
        object.type = marker >> 4;
        const int low = marker & 0xF;
        quint64 unitSize = 1;
        switch (object.type) {
        case 0x0: // null, booleans, fill
            break;
        case 0x1: // integer, up to 16 bytes
        case 0x2: // real, up to 8 bytes
            if (low > (object.type == 0x1 ? 4 : 3))
                damaged();
            unitSize = quint64(1) << low;
            object.count = 1;
            break;
        case 0x3: // date
            unitSize = 8;
            object.count = 1;
            break;
        case 0x8: // UID
            unitSize = quint64(low) + 1;
            object.count = 1;
            break;
        case 0x4: // data
        case kAsciiString:
        case 0x7: // UTF-8 string
            object.count = readCount(at, low);
            object.parsedBytes = object.count;
            break;
        case kUtf16String:
            object.count = readCount(at, low);
            unitSize = 2;
            object.parsedBytes = object.count * 3; // a unit becomes up to three UTF-8 bytes
            break;
        case 0xA: // array
        case 0xB: // ordered set
        case 0xC: // set
        case kDictionary:
            object.count = readCount(at, low);
            if (object.type == kDictionary) {
                if (object.count > std::numeric_limits<quint64>::max() / 2)
                    damaged();
                object.count *= 2;
            }
            unitSize = quint64(m_referenceSize);
            object.isContainer = true;
            break;
        default:
            damaged();
        }
        if (at > m_offsetTable || object.count > quint64(m_offsetTable - at) / unitSize)
            damaged();
        object.payloadStart = at;
        return object;
    }

    quint64 reference(const Object& container, quint64 position) const
    {
        const quint64 index =
            readUnsigned(container.payloadStart + qsizetype(position) * m_referenceSize, m_referenceSize);
        if (index >= m_objectCount)
            damaged();
        return index;
    }

    void checkKey(quint64 index)
    {
        if (m_measures[index].checkedAsKey)
            return;
        const Object key = readObject(index);
        if (key.type != kAsciiString && key.type != kUtf16String)
            refuse(QStringLiteral("a dictionary key is not a string"));
        const qsizetype unitSize = key.type == kUtf16String ? 2 : 1;
        for (quint64 unit = 0; unit < key.count; ++unit) {
            const QByteArrayView character = m_data.sliced(key.payloadStart + qsizetype(unit) * unitSize, unitSize);
            if (std::all_of(character.begin(), character.end(), [](char byte) { return byte == 0; }))
                refuse(QStringLiteral("a dictionary key holds a NUL character"));
        }
        m_measures[index].checkedAsKey = 1;
    }

    [[noreturn]] void refuseTooDeep() const
    {
        refuse(QStringLiteral("it nests deeper than %1 levels").arg(m_maximumDepth));
    }

    // Measures a leaf or an object met before, or opens a container.
    void enter(quint64 index)
    {
        Measure& measure = m_measures[index];
        if (measure.state == quint64(State::Open))
            refuse(QStringLiteral("its objects refer to each other in a cycle"));
        if (measure.state == quint64(State::Unvisited)) {
            tellProgress();
            const Object object = readObject(index);
            if (object.isContainer) {
                if (m_path.size() >= m_maximumDepth)
                    refuseTooDeep();
                measure.cost = kObjectCost;
                measure.height = 1;
                measure.state = quint64(State::Open);
                m_path.push_back({index, object});
                return;
            }
            measure.cost = kObjectCost + object.parsedBytes;
            measure.state = quint64(State::Done);
        }
        if (m_path.size() + measure.height > m_maximumDepth)
            refuseTooDeep();
        addToParent(measure);
    }

    void tellProgress()
    {
        if (m_progress && ++m_visited % archive::kPropertyListProgressInterval == 0 && !m_progress(double(m_visited) / double(m_objectCount)))
            refuse(QStringLiteral("checking it was stopped"));
    }

    void leave()
    {
        Measure& measure = m_measures[m_path.back().index];
        m_path.pop_back();
        measure.state = quint64(State::Done);
        addToParent(measure);
    }

    void addToParent(const Measure& child)
    {
        if (m_path.empty())
            return;
        Measure& parent = m_measures[m_path.back().index];
        parent.cost = std::min<quint64>(parent.cost + child.cost, m_budget + 1);
        parent.height = std::max<quint64>(parent.height, child.height + 1);
        if (parent.cost > m_budget)
            refuse(QStringLiteral("its shared objects expand beyond the size limit"));
    }

    QByteArrayView m_data;
    quint64 m_maximumDepth;
    quint64 m_budget;
    const std::function<bool(double)>& m_progress;
    quint64 m_visited = 0;
    qsizetype m_objectsEnd = 0;
    qsizetype m_offsetTable = 0;
    quint64 m_objectCount = 0;
    quint64 m_topObject = 0;
    int m_offsetSize = 0;
    int m_referenceSize = 0;
    std::vector<Measure> m_measures;
    std::vector<Frame> m_path;
};

// Answers the size of the parsed tree, or throws a refusal.
quint64 checkStructure(QByteArrayView data, int maximumDepth, const std::function<bool(double)>& progress)
{
    ZQ_ASSERT(maximumDepth > 0 && maximumDepth < (1 << kHeightBits) - 1, QStringLiteral("nesting limit out of range"));
    if (data.size() > kMostInputBytes)
        refuse(QStringLiteral("it is larger than %1 bytes").arg(kMostInputBytes));
    try {
        return StructureCheck(data, maximumDepth, progress).run();
    } catch (const std::bad_alloc&) {
        refuse(QStringLiteral("there is not enough memory to check it"));
    }
}

} // namespace

std::optional<BinaryPropertyListTrailer> binaryPropertyListTrailer(QByteArrayView data)
{
    if (data.size() < kHeaderSize + 1 + kTrailerSize || !data.startsWith("bplist00"))
        return std::nullopt;
    const qsizetype objectsEnd = data.size() - kTrailerSize;
    const char* bytes = data.data() + objectsEnd;
    BinaryPropertyListTrailer trailer;
    trailer.offsetSize = quint8(bytes[6]);
    trailer.referenceSize = quint8(bytes[7]);
    trailer.objectCount = qFromBigEndian<quint64>(bytes + 8);
    trailer.topObject = qFromBigEndian<quint64>(bytes + 16);
    const quint64 offsetTable = qFromBigEndian<quint64>(bytes + 24);
    const auto validSize = [](int size) { return size >= 1 && size <= 8; };
    // The offset table lies in the file, so the count is no more than its bytes allow.
    if (!validSize(trailer.offsetSize) || !validSize(trailer.referenceSize) || trailer.objectCount == 0
        || trailer.topObject >= trailer.objectCount || offsetTable < quint64(kHeaderSize)
        || offsetTable > quint64(objectsEnd)
        || trailer.objectCount > (quint64(objectsEnd) - offsetTable) / quint64(trailer.offsetSize))
        return std::nullopt;
    trailer.offsetTable = qsizetype(offsetTable);
    return trailer;
}

QString binaryPropertyListProblem(QByteArrayView data, int maximumDepth, const std::function<bool(double)>& progress)
{
    try {
        checkStructure(data, maximumDepth, progress);
    } catch (const Refusal& refusal) {
        return refusal.reason;
    }
    return {};
}

QString binaryPropertyListTreeProblem(QByteArrayView data, int maximumDepth)
{
    try {
        if (!memoryIsAvailableFor(qint64(checkStructure(data, maximumDepth, {}))))
            refuse(QStringLiteral("there is not enough memory to read it"));
    } catch (const Refusal& refusal) {
        return refusal.reason;
    }
    return {};
}

} // namespace platform

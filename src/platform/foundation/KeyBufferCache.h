#pragma once

// Remembers a value for each QString key that coders are called with, by the key's
// character buffer rather than its text: objects pass the same few QString constants
// over and over, so this spares hashing and comparing their text. An entry holds a copy of
// its key, which keeps the buffer alive and unchanged, so a buffer met again with the same
// length holds the same text. Keys whose buffers share a slot evict each other; that
// costs a recomputation, never a wrong answer.

#include <QString>
#include <array>
#include <optional>

namespace platform {

template <class Value>
class KeyBufferCache {
public:
    // The value remembered for `key`, or an empty slot for the caller to fill.
    std::optional<Value>& valueFor(const QString& key)
    {
        Entry& entry = m_entries[slotOf(key)];
        if (entry.key.constData() != key.constData() || entry.key.size() != key.size())
            entry = {key, std::nullopt};
        return entry.value;
    }

private:
    static constexpr int kSlotBits = 8;

    struct Entry {
        QString key;
        std::optional<Value> value;
    };

    // Fibonacci hashing spreads buffers that lie close together in memory.
    static size_t slotOf(const QString& key)
    {
        return size_t((quint64(quintptr(key.constData())) * 0x9e3779b97f4a7c15ULL) >> (64 - kSlotBits));
    }

    std::array<Entry, size_t(1) << kSlotBits> m_entries;
};

} // namespace platform

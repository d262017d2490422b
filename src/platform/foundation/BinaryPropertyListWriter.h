#pragma once

// Builds a binary property list ("bplist00") object by object: each call adds an object
// (containers after their members) and answers its reference; serialize() lays them out.
// Equal strings and scalars become one shared object. References and offsets take as few
// bytes as the object count and file size need.
//
// Property lists and keyed archives are written through it rather than libplist, whose
// 2.2 writer slows down with the square of the object count, writes nothing for a scalar
// root and cannot make 16-byte integers or dates outside 32-bit seconds.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <span>
#include <vector>

namespace platform {

class BinaryPropertyListWriter {
public:
    using Ref = quint32;

    Ref boolean(bool value);
    Ref integer(qint64 value);
    // Values above INT64_MAX take a 16-byte integer, which readers take as unsigned.
    Ref unsignedInteger(quint64 value);
    // Four bytes when a float holds the value exactly, else eight.
    Ref real(double value);
    Ref date(double secondsSince2001);
    // ASCII, or UTF-16 when the text holds other characters or a NUL (which libplist
    // would take for the end of an ASCII string).
    Ref string(const QString& value);
    // A string no other of the list repeats, such as an identifier: written without looking
    // for an equal one, which over a million of them costs more than the rest of the writing.
    // Equal strings given here stay apart, as they may.
    Ref uniqueString(const QString& value);
    Ref data(QByteArrayView value);
    Ref uid(quint64 value);
    // A UID whose value is set later (not shared with equal UIDs).
    Ref pendingUid();
    void setUid(Ref pending, quint64 value);
    Ref array(std::span<const Ref> members);
    Ref dictionary(std::span<const Ref> keys, std::span<const Ref> values);

    // The whole property list with `top` as its root object. `progress`, when given, is told
    // the share of the objects laid out every few hundred objects; when it answers false
    // the result is empty.
    QByteArray serialize(Ref top, const std::function<bool(double fraction)>& progress = {}) const;

private:
    enum class Kind : quint8 { Bool, Integer, WideInteger, Real, Date, Uid, Ascii, Utf16, Data, Array, Dictionary };
    static constexpr size_t kScalarKinds = size_t(Kind::Uid) + 1;
    // Sixteen bytes, as a large map has tens of millions.
    struct Object {
        Object(Kind kind, quint64 value = 0, quint64 length = 0) : value(value), length(length), kind(kind) {}

        quint64 value;       // the scalar (bits of a double), or where the payload starts in its pool
        quint64 length : 56; // payload bytes or UTF-16 units, members, or key-value pairs
        Kind kind : 8;
    };
    static_assert(QTypeInfo<Object>::isRelocatable, "grown in place");

    static constexpr Ref kNoRef = ~Ref(0);

    Ref add(Object object);
    Ref shared(Kind kind, quint64 value);
    void appendRefs(std::span<const Ref> refs);
    // What writeObject writes of it.
    quint64 objectBytes(const Object& object, int refSize) const;
    char* writeObject(char* out, const Object& object, int refSize) const;

    // QLists rather than vectors: grown, their blocks are moved by the allocator (a remap of the
    // pages for blocks this size) where a vector would copy hundreds of megabytes and fault in
    // every page of each new block.
    QList<Object> m_objects;
    QByteArray m_bytes; // string and data payloads
    QList<Ref> m_refs;  // container members
    QHash<QString, Ref> m_strings;
    std::array<QHash<quint64, Ref>, kScalarKinds> m_scalars; // by kind, then value
    // Archives refer to every entry by UID, so UIDs up to the object count are looked up
    // by value; larger ones go through m_scalars.
    QList<Ref> m_uids;
};

} // namespace platform

#pragma once

// Builds a binary property list ("bplist00") object by object. Equal strings, numbers,
// booleans and UIDs become one object; references and offsets use as few bytes as the
// object count and file size need. Keyed archives are written through it because
// libplist 2.2's writer slows down quadratically on archives of many objects.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <span>
#include <vector>

namespace platform {

class BinaryPlistWriter {
public:
    using Ref = quint32;

    Ref string(const QString& value);
    Ref integer(qint64 value);
    Ref real(double value);
    Ref boolean(bool value);
    Ref uid(quint64 value);
    // A UID whose value is set later (not shared with equal UIDs).
    Ref pendingUid();
    void setUid(Ref pending, quint64 value);
    Ref data(const QByteArray& value);
    Ref array(std::span<const Ref> members);
    Ref dictionary(std::span<const Ref> keys, std::span<const Ref> values);

    // The whole property list with `top` as its root object.
    QByteArray serialize(Ref top) const;

private:
    enum class Kind : quint8 { Bool, Integer, Real, Uid, Ascii, Utf16, Data, Array, Dictionary };
    struct Object {
        Kind kind;
        quint64 value = 0;  // the scalar, or where the payload starts in its pool
        quint64 length = 0; // payload bytes, members, or key-value pairs
    };

    Ref add(Object object);
    Ref memoized(QHash<quint64, Ref>& memo, Kind kind, quint64 value);
    void writeObject(QByteArray& out, const Object& object, int refSize) const;

    std::vector<Object> m_objects;
    QByteArray m_bytes;        // string and data payloads
    std::vector<Ref> m_refs;   // container members
    QHash<QString, Ref> m_strings;
    QHash<quint64, Ref> m_integers, m_reals, m_uids;
    static constexpr Ref kUnset = ~Ref(0);
    Ref m_booleans[2] = {kUnset, kUnset};
};

} // namespace platform

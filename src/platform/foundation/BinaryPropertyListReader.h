#pragma once

// Reads the objects of a binary property list straight from its bytes, without building
// a tree: an Object is a located marker (a few words), and values are decoded only when
// asked for. Opening runs the structural check of BinaryPropertyListCheck over the whole
// graph, except for bytes this process wrote (openWritten); every read is bounds-checked
// again all the same, and damage reads as an object of type Invalid (or a zero or empty
// value), never past the data.
//
// The reader keeps a view of the bytes: they must outlive it.

#include <QByteArray>
#include <QByteArrayView>
#include <QAnyStringView>
#include <QString>
#include <functional>
#include <optional>

namespace platform {

class BinaryPropertyListReader {
public:
    enum class Type : quint8 { Invalid, Boolean, Integer, Real, Date, Data, String, Uid, Array, Dictionary };

    struct Object {
        Type type = Type::Invalid;
        quint8 marker = 0;    // the object's first byte
        qsizetype at = 0;     // where its payload (or member references) starts
        quint64 count = 0;    // string units, data bytes, array members or dictionary pairs
        explicit operator bool() const { return type != Type::Invalid; }
    };

    // Answers why the data is refused, or an empty string when it opened. `progress` hears
    // the structural check (see binaryPropertyListProblem).
    QString open(QByteArrayView data, int maximumDepth, const std::function<bool(double fraction)>& progress = {});
    // Opens bytes this process wrote and has held unchanged since, without the structural
    // check: they hold no cycle, and the reader's own reads stay inside the data. Answers
    // why they are refused (a bad header or trailer), or an empty string.
    QString openWritten(QByteArrayView data);

    Object top() const { return object(m_topObject); }
    Object object(quint64 index) const;

    bool boolean(const Object& object) const { return object.marker == 0x09; }
    // Integers as their 64 bits: eight-byte ones are signed, sixteen-byte ones keep the low half.
    quint64 integer(const Object& object) const;
    double real(const Object& object) const;
    double date(const Object& object) const;
    quint64 uid(const Object& object) const;
    QString string(const Object& object) const;
    QByteArray data(const Object& object) const;
    // Whether a string object holds exactly `text`, compared without decoding it.
    bool equals(const Object& string, QAnyStringView text) const;

    // Members of an array, and keys and values of a dictionary, by position.
    Object member(const Object& array, quint64 position) const;
    Object key(const Object& dictionary, quint64 position) const;
    Object value(const Object& dictionary, quint64 position) const;
    // The position of `key`, searched from `from` round to the position before it, so
    // keys read in the order they were written are found at the first try.
    std::optional<quint64> find(const Object& dictionary, QAnyStringView key, quint64 from = 0) const;
    // The same by the key's object: writers store each distinct key once, so the index
    // a key was found as finds it in other dictionaries without comparing text.
    quint64 keyIndex(const Object& dictionary, quint64 position) const;
    std::optional<quint64> findKeyIndex(const Object& dictionary, quint64 keyIndex, quint64 from = 0) const;

private:
    QString adoptTrailer(QByteArrayView data);
    quint64 readUnsigned(qsizetype at, int size) const;
    quint64 referenceIndex(const Object& container, quint64 position) const;
    Object reference(const Object& container, quint64 position) const;

    QByteArrayView m_data;
    qsizetype m_offsetTable = 0;
    quint64 m_objectCount = 0;
    quint64 m_topObject = 0;
    int m_offsetSize = 0;
    int m_referenceSize = 0;
};

} // namespace platform

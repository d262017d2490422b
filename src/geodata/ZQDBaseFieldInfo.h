#pragma once

// One column of a dBase table: its type letter, its width in bytes and where it lies in
// a row, counted from the first byte after the deletion flag.

#include <QString>

class ZQDBaseFieldInfo {
public:
    ZQDBaseFieldInfo() = default;
    ZQDBaseFieldInfo(char type, quint32 length, quint32 fieldOffset, QString name)
        : m_type(type), m_length(length), m_fieldOffset(fieldOffset), m_name(std::move(name))
    {
    }

    char type() const { return m_type; }
    quint32 length() const { return m_length; }
    quint32 fieldOffset() const { return m_fieldOffset; }
    const QString& name() const { return m_name; }

    bool operator==(const ZQDBaseFieldInfo&) const = default;

private:
    char m_type = 0;
    quint32 m_length = 0;
    quint32 m_fieldOffset = 0;
    QString m_name;
};

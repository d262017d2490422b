#pragma once

// A growable list of numbers stored compactly: in single precision while every value is
// exactly a single-precision number (terrain heights are, and so are whole numbers), in
// double precision from the first value that is not. Values read back exactly as stored.

#include <QtGlobal>
#include <cmath>
#include <vector>

namespace geodata {

class NumberList {
public:
    qsizetype size() const { return m_isDouble ? qsizetype(m_doubles.size()) : qsizetype(m_singles.size()); }
    bool isEmpty() const { return size() == 0; }
    bool isSinglePrecision() const { return !m_isDouble; }

    double at(qsizetype i) const { return m_isDouble ? m_doubles[size_t(i)] : m_singles[size_t(i)]; }
    void set(qsizetype i, double value);
    void append(double value);
    void insert(qsizetype i, double value);
    void removeAt(qsizetype i);
    // Removes every value equal to `value`.
    void removeAll(double value);
    // The first position of a value equal to `value`, or -1.
    qsizetype indexOf(double value) const;
    void clear();
    void reserve(qsizetype count);

    bool operator==(const NumberList& other) const;

private:
    static bool isSingle(double value) { return std::isnan(value) || double(float(value)) == value; }
    void storeDouble(double value)
    {
        if (!m_isDouble && !isSingle(value))
            promote();
    }
    void promote();

    std::vector<float> m_singles;
    std::vector<double> m_doubles;
    bool m_isDouble = false;
};

} // namespace geodata

#include "geodata/NumberList.h"

#include <algorithm>

namespace geodata {

void NumberList::set(qsizetype i, double value)
{
    storeDouble(value);
    if (m_isDouble)
        m_doubles[size_t(i)] = value;
    else
        m_singles[size_t(i)] = float(value);
}

void NumberList::append(double value)
{
    storeDouble(value);
    if (m_isDouble)
        m_doubles.push_back(value);
    else
        m_singles.push_back(float(value));
}

void NumberList::insert(qsizetype i, double value)
{
    storeDouble(value);
    if (m_isDouble)
        m_doubles.insert(m_doubles.begin() + i, value);
    else
        m_singles.insert(m_singles.begin() + i, float(value));
}

void NumberList::removeAt(qsizetype i)
{
    if (m_isDouble)
        m_doubles.erase(m_doubles.begin() + i);
    else
        m_singles.erase(m_singles.begin() + i);
}

void NumberList::removeAll(double value)
{
    if (m_isDouble)
        std::erase(m_doubles, value);
    else if (double(float(value)) == value)
        std::erase(m_singles, float(value));
}

qsizetype NumberList::indexOf(double value) const
{
    for (qsizetype i = 0; i < size(); ++i) {
        if (at(i) == value)
            return i;
    }
    return -1;
}

void NumberList::clear()
{
    m_singles = {};
    m_doubles = {};
    m_isDouble = false;
}

void NumberList::reserve(qsizetype count)
{
    if (m_isDouble)
        m_doubles.reserve(size_t(count));
    else
        m_singles.reserve(size_t(count));
}

bool NumberList::operator==(const NumberList& other) const
{
    if (size() != other.size())
        return false;
    for (qsizetype i = 0; i < size(); ++i) {
        if (at(i) != other.at(i))
            return false;
    }
    return true;
}

void NumberList::promote()
{
    m_doubles.reserve(m_singles.capacity());
    m_doubles.assign(m_singles.begin(), m_singles.end());
    m_singles = {};
    m_isDouble = true;
}

} // namespace geodata

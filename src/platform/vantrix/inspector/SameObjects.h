#pragma once

// Whether two lists of objects hold the same objects, in any order, for the inspectors that
// ask on every selection change whether their selection is still the one they show.
//
// A selection is mostly handed out in one order, so lists of the same objects answer after a
// walk in step. Lists that differ (the pasted copies after their originals, of the same count)
// are told apart by a sum over a mix of each address, which no order changes: only lists
// whose sums agree are compared as sets, so a million objects cost no hash table of their own.

#include <QList>
#include <QSet>
#include <algorithm>
#include <memory>

namespace platform {

namespace detail {

// Spreads an address over 64 bits, so that sums of different lists rarely meet.
inline quint64 mixedAddress(const void* address)
{
    quint64 x = quint64(quintptr(address));
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

template <class T> quint64 addressSum(const QList<std::shared_ptr<T>>& list, qsizetype from)
{
    quint64 sum = 0;
    for (auto it = list.cbegin() + from; it != list.cend(); ++it)
        sum += mixedAddress(it->get());
    return sum;
}

} // namespace detail

// Lists with an object twice are taken as sets: a selection holds each object once.
template <class T> bool sameObjects(const QList<std::shared_ptr<T>>& a, const QList<std::shared_ptr<T>>& b)
{
    if (a.isSharedWith(b))
        return true;
    if (a.size() != b.size())
        return false;
    qsizetype common = 0;
    while (common < a.size() && a[common] == b[common])
        ++common;
    if (common == a.size())
        return true;
    if (detail::addressSum(a, common) != detail::addressSum(b, common))
        return false;
    QSet<const T*> rest;
    rest.reserve(a.size() - common);
    for (qsizetype i = common; i < a.size(); ++i)
        rest.insert(a[i].get());
    return std::all_of(b.cbegin() + common, b.cend(), [&](const std::shared_ptr<T>& object) {
        return rest.contains(object.get());
    });
}

} // namespace platform

#pragma once

// One key of an ordering of library elements: the element's value for `key`, texts compared
// as a file list orders names, numbers and flags by value.

#include <QList>
#include <QString>
#include <vector>

class ZQObject;

struct LibrarySortDescriptor {
    QString key;
    bool ascending = true;

    LibrarySortDescriptor reversed() const { return {key, !ascending}; }
    bool operator==(const LibrarySortDescriptor&) const = default;
};

// Negative, zero or positive as `a` sorts before, with or after `b` under the descriptors
// (later descriptors break ties of earlier ones).
int compareWithSortDescriptors(const ZQObject& a, const ZQObject& b, const QList<LibrarySortDescriptor>& descriptors);

// The stable order of `objects` under the descriptors, as indexes into the list. Each value is
// read once and texts are compared by collation keys, so that sorting a large library does
// no key look-up and no collation per comparison.
std::vector<qsizetype> sortedOrder(const QList<const ZQObject*>& objects, const QList<LibrarySortDescriptor>& descriptors);

#pragma once

// An index set read run by run: each maximal range of consecutive indexes, in order.

#include <QList>
#include <vector>

struct IndexRun {
    int first;
    int last;
    friend bool operator==(const IndexRun&, const IndexRun&) = default;
};

// The runs of `indexes`, which may come in any order and repeat.
std::vector<IndexRun> indexRuns(QList<int> indexes);

// The runs of `runs` (ordered, disjoint) that meet [first, last], found by bisection.
std::pair<std::vector<IndexRun>::const_iterator, std::vector<IndexRun>::const_iterator>
runsMeeting(const std::vector<IndexRun>& runs, int first, int last);

#include "widgets/outline/IndexRuns.h"

#include <algorithm>

std::vector<IndexRun> indexRuns(QList<int> indexes)
{
    std::sort(indexes.begin(), indexes.end());
    std::vector<IndexRun> runs;
    for (int index : indexes) {
        if (!runs.empty() && index <= runs.back().last + 1)
            runs.back().last = std::max(runs.back().last, index);
        else
            runs.push_back({index, index});
    }
    return runs;
}

std::pair<std::vector<IndexRun>::const_iterator, std::vector<IndexRun>::const_iterator>
runsMeeting(const std::vector<IndexRun>& runs, int first, int last)
{
    const auto begin = std::lower_bound(runs.begin(), runs.end(), first,
                                        [](const IndexRun& run, int row) { return run.last < row; });
    const auto end = std::upper_bound(begin, runs.end(), last,
                                      [](int row, const IndexRun& run) { return row < run.first; });
    return {begin, end};
}

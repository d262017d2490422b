#include "geodata/StrandEndTable.h"

#include <QRandomGenerator>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>

using geodata::StrandEndTable;

namespace {

std::vector<std::pair<qint32, qint32>> endsAt(const StrandEndTable& table, quint64 cell)
{
    std::vector<std::pair<qint32, qint32>> ends;
    table.forEachAt(cell, [&](const StrandEndTable::End& end) { ends.emplace_back(end.point, end.strand); });
    std::sort(ends.begin(), ends.end());
    return ends;
}

} // namespace

TEST(StrandEndTable, AgreesWithAPlainMultimapThroughGrowthAndDeletions)
{
    // Few cells and many ends: long probe runs, whose deletions must shift later slots back.
    QRandomGenerator random(12345);
    StrandEndTable table;
    std::multimap<quint64, std::pair<qint32, qint32>> reference;
    qint32 nextPoint = 0;
    for (int step = 0; step < 20'000; ++step) {
        const quint64 cell = random.bounded(40) * 0x100000001ull;
        if (reference.empty() || random.bounded(3) != 0) {
            const qint32 strand = qint32(random.bounded(1000));
            table.insert(cell, {nextPoint, strand});
            reference.emplace(cell, std::pair(nextPoint++, strand));
        } else {
            auto victim = std::next(reference.begin(), qsizetype(random.bounded(quint32(reference.size()))));
            table.erase(victim->first, victim->second.first);
            reference.erase(victim);
        }
    }
    ASSERT_GT(reference.size(), 5000u);
    for (quint64 c = 0; c < 40; ++c) {
        const quint64 cell = c * 0x100000001ull;
        std::vector<std::pair<qint32, qint32>> expected;
        for (auto [at, end] = reference.equal_range(cell); at != end; ++at)
            expected.push_back(at->second);
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(endsAt(table, cell), expected) << "cell " << c;
    }

    // Erasing an end that is not there changes nothing; ends can be retargeted in place.
    table.erase(0, -7);
    table.forEachAt(0, [](StrandEndTable::End& end) { end.strand = -1; });
    for (const auto& [point, strand] : endsAt(table, 0))
        EXPECT_EQ(strand, -1);
    EXPECT_EQ(endsAt(table, 41 * 0x100000001ull), (std::vector<std::pair<qint32, qint32>>{}));
}

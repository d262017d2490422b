// "Sounds like" (phonetic codes compared by similarity) over 100,000 words of the system's
// English word list, against a plain case-insensitive substring scan of the same words.

#include "support/BenchSupport.h"

#include "panels/search/MPSearchCriterion.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <cstdio>

namespace {

constexpr qsizetype kNames = 100000;
constexpr int kRuns = 9;
const QString kWordList = QStringLiteral("/usr/share/dict/american-english"); // Debian's wamerican

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QFile file(kWordList);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no word list at %s (scripts/deps.sh --bench installs it)\n", qPrintable(kWordList));
        return 1;
    }
    QStringList names = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (names.size() < kNames) {
        std::fprintf(stderr, "the word list holds %lld words, fewer than %lld\n", qint64(names.size()), qint64(kNames));
        return 1;
    }
    names.resize(kNames);

    const auto soundsLike = MPSearchCriterion::criterionWithStringMatchKindIdentifier(QStringLiteral("Robert"),
                                                                                       kMPSoundsLike, QString());
    const QString needle = QStringLiteral("robert");
    qsizetype alike = 0, containing = 0;
    const auto [ours, peer] = bench::medianSecondsSideBySide(
        kRuns,
        [&] {
            alike = 0;
            for (const QString& name : names)
                alike += soundsLike->stringMatch(name);
        },
        [&] {
            containing = 0;
            for (const QString& name : names)
                containing += name.contains(needle, Qt::CaseInsensitive);
        });
    std::printf("%lld words sound like Robert, %lld contain it\n", qint64(alike), qint64(containing));
    bench::printComparison(QStringLiteral("sounds_like_100k"), ours, peer, 4);
    return 0;
}

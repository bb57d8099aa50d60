#include "story_counts.h"

#include <numeric>

namespace vorta::checker {

int StoryCounts::stepTold(const QString &path) const
{
    const QList<int> told = variants.value(path);
    return std::accumulate(told.begin(), told.end(), 0);
}

int StoryCounts::endingsWithoutAnyRecord() const
{
    int total = 0;
    for (const QMap<FinalePair, int> &byPair : endingsWithoutRecord)
        total = std::accumulate(byPair.begin(), byPair.end(), total);
    return total;
}

} // namespace vorta::checker

#include "story_counts.h"

#include <QLocale>

#include <numeric>

namespace vorta::author {

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

QString shareText(int part, int whole)
{
    if (whole <= 0)
        return QStringLiteral("—");
    return QLocale(QLocale::Russian).toString(100.0 * part / whole, 'f', 1) + QStringLiteral(" %");
}

} // namespace vorta::author

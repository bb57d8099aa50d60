#include "fragments.h"

#include "engine/data_files.h"
#include "engine/numbers.h"
#include "engine/random_source.h"
#include "engine/story_state.h"

#include <cmath>

namespace vorta {

QString fragmentPath(const StoryState &state, qint32 genre, qint32 step)
{
    // The signed text of the step without its first character: plain digits for 1 and up.
    return QStringLiteral("Genres/") + element(state.genreDirs, genre) + QLatin1Char('/') +
           numberText(step).mid(1) + QStringLiteral(".vtq");
}

qint32 drawVariant(double value, qint32 variantCount)
{
    float single = float(value);
    // A double just below 1 can round up to 1.0f, which would draw a variant past the last.
    if (single >= 1.0f)
        single = std::nextafter(1.0f, 0.0f);
    return qint32(std::floor(double(variantCount) * double(single))) + 1;
}

void readFragment(const StoryState &state, qint32 genre, qint32 step, RandomSource &random,
                  const QDir &dataDir, const std::function<void(const QString &)> &lineHandler)
{
    TextReader reader = TextReader::open(dataDir, fragmentPath(state, genre, step));
    const int countLine = reader.line();
    const qint32 variantCount = reader.readCount();
    if (variantCount < 1)
        reader.fail(ErrorKind::BadNumber, countLine,
                    QStringLiteral("число вариантов %1").arg(variantCount));
    const qint32 k = drawVariant(random.next(), variantCount);
    for (qint32 skipped = 1; skipped < k; ++skipped) {
        const qint32 lineCount = reader.readCount();
        for (qint32 j = 1; j <= lineCount; ++j)
            reader.readLine();
    }
    const qint32 lineCount = reader.readCount();
    for (qint32 j = 1; j <= lineCount; ++j)
        lineHandler(reader.readLine());
}

} // namespace vorta

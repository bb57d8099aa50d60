#pragma once

#include <QDir>
#include <QString>

#include <functional>

namespace vorta {

struct StoryState;
class RandomSource;

// "Genres/<directory of genre g>/<plain digits of s>.vtq", relative to the data folder.
QString fragmentPath(const StoryState &state, qint32 genre, qint32 step);

// Draws one variant of the fragment file of genre g and step s and hands its lines, in file
// order, to the line handler, each before the next line is read.
void readFragment(const StoryState &state, qint32 genre, qint32 step, RandomSource &random,
                  const QDir &dataDir, const std::function<void(const QString &)> &lineHandler);

// The variant k in 1..V drawn from one value, taken in single precision.
qint32 drawVariant(double value, qint32 variantCount);

} // namespace vorta

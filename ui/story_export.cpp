#include "story_export.h"

#include "engine/story_state.h"
#include "format/story_error.h"

#include <QSaveFile>

namespace vorta::ui {

QString storyText(const StoryState &state)
{
    QString text;
    const qsizetype told = qMin(qsizetype(state.nextLine), state.storyLines.size());
    for (qsizetype i = 1; i < told; ++i) {
        text += state.storyLines.at(i);
        text += QLatin1Char('\n');
    }
    return text;
}

QString storyFileName(const QDateTime &when)
{
    return QStringLiteral("рассказ-%1.txt").arg(when.toString(QStringLiteral("yyyy-MM-dd-HHmm")));
}

void writeStoryFile(const QString &path, const StoryState &state)
{
    QSaveFile file(path);
    const QByteArray bytes = storyText(state).toUtf8();
    // commit() would put a file whose flush failed in place of the old one: flush first.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush() ||
        !file.commit())
        throw StoryError(ErrorKind::FileNotWritten, path, 0, file.errorString());
}

} // namespace vorta::ui

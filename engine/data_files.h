#pragma once

#include "format/file_reader.h"
#include "format/story_error.h"

#include <QDir>
#include <QString>

#include <optional>
#include <utility>

namespace vorta {

struct StoryState;

// Sequential reading of one Windows-1251 text file, by delimited values and by whole lines.
// Every failure is a StoryError naming the file and the line where the read stood.
class TextReader
{
public:
    TextReader(QString text, QString fileName);

    // Reads and decodes a whole file of the data folder through the one capped reader.
    static TextReader open(const QDir &dataDir, const QString &relativePath);

    bool atEnd() const { return m_pos >= m_text.size(); }
    // Skips blank lines, then tells whether the file has ended.
    bool atEndAfterBlankLines();

    // One field: ends at a comma or at the line end (consumed with it); spaces before it are
    // skipped, nothing else: a field that starts at a line end is empty. A quoted value may
    // hold commas.
    QString readValue();
    // A delimited value that must be a whole number; blank lines, spaces and tabs before it are
    // skipped.
    qint32 readCount();
    // A genre index of a finale record: read like a count, but a value that is not a whole
    // number is none; a number beyond 32 bits is an overflow like any other.
    std::optional<qint32> readIndex();
    // A number of the settings file: like a value, but spaces end it too.
    qint32 readNumber();
    // Everything up to the line end, verbatim; the line end is consumed.
    QString readLine();

    // The line (from 1) where the next read starts.
    int line() const { return m_line; }
    const QString &fileName() const { return m_fileName; }

    [[noreturn]] void fail(ErrorKind kind, int line, const QString &detail = {}) const;

private:
    int lastLine() const;
    void skipSpacesAndLineEnds();
    bool atLineEnd() const;
    void consumeLineEnd();
    QString readField(bool spaceEnds);
    void skipToDelimiter(bool spaceEnds);
    qint32 parseNumber(const QString &text, int line) const;
    qint32 checkedNumber(qint64 value, const QString &text, int line) const;

    QString m_text;
    QString m_fileName;
    qsizetype m_pos = 0;
    int m_line = 1;
};

// A whole decimal number with an optional sign and surrounding spaces, or nothing.
std::optional<qint64> parseInteger(const QString &text);

// The two settings as the file holds them (the settings dialog shows these).
std::pair<qint32, qint32> readSettingsValues(const QDir &dataDir);

// Sets autoPeriodMs (first value × 5000, or 1000 for 0) and switchPercent (second × 10).
void loadSettings(StoryState &state, const QDir &dataDir);

// Reads Genres/genres.vtq into genreNames, genreDirs and genreCount (at most 10 pairs).
void loadCatalogue(StoryState &state, const QDir &dataDir);

// Replaces the settings file atomically with the two values in the written form.
void saveSettings(const QDir &dataDir, qint32 waitingPeriod, qint32 switchProbability);

// The written form of the settings file, exactly as saveSettings writes it.
QByteArray settingsFileBytes(qint32 waitingPeriod, qint32 switchProbability);

} // namespace vorta

// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "journal_records.h"

#include "core/story_facts.h"
#include "core/text.h"
#include "core/tree_paths.h"
#include "format/qt_text.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace vorta {

namespace {

constexpr quint8 kHeadRecord = 1;
constexpr quint8 kEventRecord = 2;
constexpr quint32 kJournalVersion = 1;
// The stream's version is fixed so that a newer Qt reads the journals of an older one; little
// endian, the text goes into the stream as it lies in memory.
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;
constexpr QDataStream::ByteOrder kByteOrder = QDataStream::LittleEndian;
// A checksum against torn and damaged records, not a seal: the file is the reader's own.
constexpr QCryptographicHash::Algorithm kChecksum = QCryptographicHash::Md5;
constexpr qsizetype kLengthSize = 4;
constexpr qsizetype kChecksumSize = 16;
constexpr qsizetype kFrameSize = kLengthSize + kChecksumSize;

QByteArray journalMagic()
{
    return QByteArrayLiteral("vorta story journal");
}

// One record, framed: the payload is written after room for the frame, which is then filled in.
template <typename Write> QByteArray record(quint8 kind, Write &&write)
{
    QByteArray bytes(kFrameSize, '\0');
    bytes.reserve(1024);
    {
        QDataStream out(&bytes, QIODevice::WriteOnly | QIODevice::Append);
        out.setVersion(kStreamVersion);
        out.setByteOrder(kByteOrder);
        out << kind;
        write(out);
    }
    const QByteArrayView payload = QByteArrayView(bytes).sliced(kFrameSize);
    qToLittleEndian(quint32(payload.size()), bytes.data());
    QCryptographicHash checksum(kChecksum);
    checksum.addData(payload);
    const QByteArrayView sum = checksum.resultView();
    std::copy(sum.begin(), sum.end(), bytes.begin() + kLengthSize);
    return bytes;
}

// The payload of the whole record at `pos`, or none where the journal ends or the record there
// is torn or damaged.
std::optional<QByteArrayView> wholeRecord(QByteArrayView bytes, qsizetype pos)
{
    if (bytes.size() - pos < kFrameSize)
        return std::nullopt;
    const qsizetype length = qFromLittleEndian<quint32>(bytes.data() + pos);
    if (bytes.size() - pos - kFrameSize < length)
        return std::nullopt;
    const QByteArrayView payload = bytes.sliced(pos + kFrameSize, length);
    if (QCryptographicHash::hash(payload, kChecksum) !=
        bytes.sliced(pos + kLengthSize, kChecksumSize))
        return std::nullopt;
    return payload;
}

// Whether a whole event record starts anywhere after `pos`. A crash tears only the last record,
// so one that does not check out with a whole record after it was damaged, its length field
// maybe with it. Only a place where an event's kind and first line could stand is checksummed,
// so that even a journal of noise is searched in one pass.
bool wholeRecordAfter(QByteArrayView bytes, qsizetype pos)
{
    constexpr qsizetype kEventStart = kFrameSize + 1 + 4; // the kind, then the first line
    for (qsizetype at = pos + 1; bytes.size() - at >= kEventStart; ++at) {
        const qint32 firstLine = qFromLittleEndian<qint32>(bytes.data() + at + kFrameSize + 1);
        if (bytes.at(at + kFrameSize) == char(kEventRecord) && firstLine >= 1 &&
            firstLine <= kMaxSavedLines + 1 && wholeRecord(bytes, at))
            return true;
    }
    return false;
}

class RecordReader
{
public:
    RecordReader(QByteArrayView payload, int record)
        : m_bytes(QByteArray::fromRawData(payload.data(), payload.size())), m_in(m_bytes),
          m_record(record)
    {
        m_in.setVersion(kStreamVersion);
        m_in.setByteOrder(kByteOrder);
    }

    template <typename T> T read()
    {
        T value{};
        m_in >> value;
        check();
        return value;
    }

    // A count of items that follow, each taking at least `itemSize` bytes.
    qint32 readCount(qint32 most, qsizetype itemSize)
    {
        const qint32 count = read<qint32>();
        if (count < 0 || count > most || (m_bytes.size() - m_in.device()->pos()) / itemSize < count)
            fail(QStringLiteral("число %1 вне пределов 0..%2").arg(count).arg(most));
        return count;
    }

    void finish()
    {
        if (!m_in.atEnd())
            fail(QStringLiteral("лишние байты"));
    }

    [[noreturn]] void fail(const QString &why) const
    {
        throw StoryError(ErrorKind::SavedStoryUnreadable, kSavedStoryFile, 0,
                         toU16(QStringLiteral("запись %1: %2").arg(m_record).arg(why)));
    }

private:
    void check()
    {
        if (m_in.status() != QDataStream::Ok)
            fail(QStringLiteral("запись обрывается"));
    }

    QByteArray m_bytes;
    QDataStream m_in;
    int m_record;
};

// A string in the stream takes its length, four bytes, at least.
constexpr qsizetype kLeastString = 4;

void readHead(RecordReader &in, SavedStory &story)
{
    if (in.read<QByteArray>() != journalMagic() || in.read<quint32>() != kJournalVersion)
        in.fail(QStringLiteral("это не журнал рассказа"));
    const qint32 genreCount = in.readCount(kMaxGenres, 2 * kLeastString);
    for (qint32 g = 1; g <= genreCount; ++g) {
        story.genreNames.push_back(toU16(in.read<QString>()));
        story.genreDirs.push_back(toU16(in.read<QString>()));
    }
}

void readEvent(RecordReader &in, SavedStory &story)
{
    const qint32 firstLine = in.read<qint32>();
    if (firstLine != story.nextLine)
        in.fail(QStringLiteral("строки с %1, а ждали с %2").arg(firstLine).arg(story.nextLine));
    const qint32 count = in.readCount(kMaxSavedLines - qint32(story.lines.size()), kLeastString);
    for (qint32 i = 0; i < count; ++i)
        story.lines.push_back(toU16(in.read<QString>()));
    story.nextLine = in.read<qint32>();
    if (story.nextLine != firstLine + count)
        in.fail(QStringLiteral("следующая строка %1, а строк до неё %2")
                    .arg(story.nextLine)
                    .arg(firstLine + count - 1));
    story.stepNumber = in.read<qint32>();
    story.currentGenre = in.read<qint32>();
    story.iqValue = in.read<qint32>();
    for (qint32 &uses : story.genreUses)
        uses = in.read<qint32>();
    story.finished = in.read<bool>();
    // Every genre is on offer but the one the story is in.
    const qint32 offered = in.readCount(kMaxGenres - 1, kLeastString);
    story.offeredGenres.clear();
    for (qint32 k = 0; k < offered; ++k)
        story.offeredGenres.push_back(toU16(in.read<QString>()));
}

} // namespace

QByteArray journalHead(const std::vector<std::u16string> &genreNames,
                       const std::vector<std::u16string> &genreDirs)
{
    return record(kHeadRecord, [&](QDataStream &out) {
        out << journalMagic() << kJournalVersion << qint32(genreNames.size());
        for (std::size_t g = 0; g < genreNames.size(); ++g)
            out << toQString(genreNames[g])
                << toQString(g < genreDirs.size() ? genreDirs[g] : std::u16string());
    });
}

QByteArray freshJournal(const StoryState &state)
{
    std::vector<std::u16string> names;
    std::vector<std::u16string> dirs;
    for (qint32 g = 1; g <= state.genreCount; ++g) {
        names.push_back(state.genreNames[std::size_t(g)]);
        dirs.push_back(state.genreDirs[std::size_t(g)]);
    }
    return journalHead(names, dirs) + eventRecord(state, 1);
}

QByteArray eventRecord(const StoryState &state, qint32 firstLine)
{
    return record(kEventRecord, [&state, firstLine](QDataStream &out) {
        out << firstLine << qint32(state.nextLine - firstLine);
        for (qint32 i = firstLine; i < state.nextLine; ++i)
            out << toQString(storyLine(state, i));
        out << state.nextLine << state.stepNumber << state.currentGenre << state.iqValue;
        for (qint32 g = 1; g <= kMaxGenres; ++g)
            out << state.genreUses[std::size_t(g)];
        const std::vector<std::u16string> offered = offeredGenres(state);
        out << (state.stepNumber == kFinaleStep) << qint32(offered.size());
        for (const std::u16string &caption : offered)
            out << toQString(caption);
    });
}

JournalContents readJournal(QByteArrayView bytes)
{
    JournalContents contents;
    SavedStory &story = contents.story;
    int record = 0;
    bool hasEvent = false;
    for (;;) {
        const std::optional<QByteArrayView> payload = wholeRecord(bytes, contents.wholeSize);
        if (!payload) {
            if (wholeRecordAfter(bytes, contents.wholeSize))
                throw StoryError(ErrorKind::SavedStoryUnreadable, kSavedStoryFile, 0,
                                 u"запись " + decimal(record + 1) + u" повреждена");
            break;
        }
        ++record;
        RecordReader in(*payload, record);
        const quint8 kind = in.read<quint8>();
        if (record == 1 && kind == kHeadRecord)
            readHead(in, story);
        else if (record > 1 && kind == kEventRecord)
            readEvent(in, story);
        else
            in.fail(QStringLiteral("запись не на своём месте"));
        in.finish();
        hasEvent = record > 1;
        contents.wholeSize += kFrameSize + payload->size();
    }
    if (!hasEvent)
        throw StoryError(ErrorKind::SavedStoryUnreadable, kSavedStoryFile, 0,
                         u"в нём нет ни одной целой записи");
    return contents;
}

std::optional<SavedStory> readJournalHead(QByteArrayView firstBytes)
{
    const std::optional<QByteArrayView> payload = wholeRecord(firstBytes, 0);
    if (!payload)
        return std::nullopt;
    SavedStory story;
    try {
        RecordReader in(*payload, 1);
        if (in.read<quint8>() != kHeadRecord)
            return std::nullopt;
        readHead(in, story);
        in.finish();
    } catch (const StoryError &) {
        return std::nullopt;
    }
    return story;
}

} // namespace vorta

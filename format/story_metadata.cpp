// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "story_metadata.h"

#include "format/file_reader.h"
#include "format/qt_text.h"

#include "core/unicode.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QStringList>

#include <algorithm>

namespace vorta {

namespace {

// Long enough for any title or name, short enough that a window shows it whole.
constexpr qsizetype kLongestLine = 200;
constexpr qsizetype kLongestAbout = 4000;
constexpr qsizetype kLongestIdentifier = 64;
// A version: up to ten numbers of up to nine digits, each of which fits an int.
constexpr qsizetype kMostVersionNumbers = 10;
constexpr qsizetype kLongestVersionNumber = 9;

const QString kIdentifierKey = QStringLiteral("identifier");
const QString kVersionKey = QStringLiteral("version");
const QString kTitleKey = QStringLiteral("title");
const QString kAuthorKey = QStringLiteral("author");
const QString kAboutKey = QStringLiteral("about");

// A line of text: no line ends, tabs or other control characters, and none of the invisible
// ones that would turn a title around or blank it out.
bool isOneLine(const QString &text)
{
    const std::u16string units = toU16(text);
    for (std::size_t i = 0; i < units.size();) {
        const CodePoint point = codePointAt(units, i);
        if (isControl(point.value) || isFormat(point.value) || point.value == 0x2028 ||
            point.value == 0x2029 || (point.value >= 0xD800 && point.value < 0xE000))
            return false;
        i += point.length;
    }
    return true;
}

bool isJsonSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The keys of the outermost object, each with its line. QJsonDocument keeps no places, so the
// text of a document that parsed is walked, strings skipped whole: a string at the first depth
// followed by a colon is a key.
QList<StoryMetadataKey> keysWithLines(const QByteArray &json)
{
    QList<StoryMetadataKey> keys;
    int depth = 0;
    int line = 1;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json.at(i);
        if (c == '\n') {
            ++line;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        } else if (c == '"') {
            const qsizetype start = i;
            for (++i; i < json.size() && json.at(i) != '"'; ++i) {
                if (json.at(i) == '\\')
                    ++i;
            }
            qsizetype next = i + 1;
            while (next < json.size() && isJsonSpace(json.at(next)))
                ++next;
            if (depth == 1 && next < json.size() && json.at(next) == ':') {
                // The key's escapes read as JSON reads them.
                const QByteArray quotedKey = json.mid(start, i + 1 - start);
                const QJsonDocument key = QJsonDocument::fromJson('[' + quotedKey + ']');
                keys.append({key.array().at(0).toString(), line});
            }
        }
    }
    return keys;
}

// Where the key's value is written, for a message: the line of its first mention.
int lineOfKey(const QByteArray &json, const QString &key)
{
    for (const StoryMetadataKey &written : keysWithLines(json)) {
        if (written.key == key)
            return written.line;
    }
    return 0;
}

class MetadataParser
{
public:
    MetadataParser(const QByteArray &json, const QString &shownName)
        : m_json(json), m_shownName(shownName)
    {}

    StoryMetadata parse() const
    {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(m_json, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            fail(int(m_json.left(parseError.offset).count('\n')) + 1,
                 QStringLiteral("не JSON (%1)").arg(parseError.errorString()));
        if (!document.isObject())
            fail(1, QStringLiteral("ожидается объект JSON в фигурных скобках"));
        const QJsonObject object = document.object();
        StoryMetadata metadata;
        metadata.identifier = field(object, kIdentifierKey);
        if (!isValidStoryIdentifier(metadata.identifier))
            failAt(kIdentifierKey,
                   QStringLiteral("%1 не годится: только строчные латинские буквы, цифры, «.», "
                                  "«-» и «_», первой буква или цифра, не длиннее 64")
                       .arg(quoted(metadata.identifier)));
        metadata.version = field(object, kVersionKey);
        if (!isValidStoryVersion(metadata.version))
            failAt(kVersionKey, QStringLiteral("%1 не годится: нужны числа через точку, "
                                               "например \"1.0\"")
                                    .arg(quoted(metadata.version)));
        metadata.title = line(object, kTitleKey);
        metadata.author = line(object, kAuthorKey);
        metadata.about = field(object, kAboutKey);
        metadata.about.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (metadata.about.size() > kLongestAbout)
            failAt(kAboutKey, QStringLiteral("длиннее %1 знаков").arg(kLongestAbout));
        if (!isOneLine(QString(metadata.about).remove(QLatin1Char('\n'))))
            failAt(kAboutKey,
                   QStringLiteral("управляющие или невидимые знаки кроме перевода строки"));
        return metadata;
    }

private:
    QString field(const QJsonObject &object, const QString &key) const
    {
        const QJsonValue value = object.value(key);
        if (value.isUndefined())
            fail(0, QStringLiteral("нет поля \"%1\"").arg(key));
        if (!value.isString())
            failAt(key, QStringLiteral("ожидается строка в кавычках"));
        return value.toString();
    }

    QString line(const QJsonObject &object, const QString &key) const
    {
        const QString value = field(object, key).trimmed();
        if (value.isEmpty())
            failAt(key, QStringLiteral("пусто"));
        if (value.size() > kLongestLine)
            failAt(key, QStringLiteral("длиннее %1 знаков").arg(kLongestLine));
        if (!isOneLine(value))
            failAt(key,
                   QStringLiteral("должна быть одна строка без управляющих и невидимых знаков"));
        return value;
    }

    [[noreturn]] void failAt(const QString &key, const QString &why) const
    {
        fail(lineOfKey(m_json, key), QStringLiteral("поле \"%1\": %2").arg(key, why));
    }

    [[noreturn]] void fail(int line, const QString &why) const
    {
        throw storyError(ErrorKind::BadStoryFile, m_shownName, line, why);
    }

    const QByteArray &m_json;
    const QString &m_shownName;
};

// A number of a version without its leading zeros, so that numbers compare as strings do once
// their lengths are equal.
QStringView withoutLeadingZeros(QStringView number)
{
    while (number.size() > 1 && number.front() == QLatin1Char('0'))
        number = number.sliced(1);
    return number;
}

} // namespace

// Checked by hand rather than by a pattern: a pattern's "$" also matches before a last line's
// end, and every start would compile it.
bool isValidStoryIdentifier(const QString &identifier)
{
    const auto allowed = [](QChar c, bool first) {
        return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
               (!first && (c == u'.' || c == u'_' || c == u'-'));
    };
    if (identifier.isEmpty() || identifier.size() > kLongestIdentifier)
        return false;
    for (qsizetype i = 0; i < identifier.size(); ++i) {
        if (!allowed(identifier[i], i == 0))
            return false;
    }
    return true;
}

bool isValidStoryVersion(const QString &version)
{
    const QList<QStringView> numbers = QStringView(version).split(u'.');
    return numbers.size() <= kMostVersionNumbers &&
           std::all_of(numbers.cbegin(), numbers.cend(), [](QStringView number) {
               return !number.isEmpty() && number.size() <= kLongestVersionNumber &&
                      std::all_of(number.cbegin(), number.cend(),
                                  [](QChar c) { return c >= u'0' && c <= u'9'; });
           });
}

int compareStoryVersions(const QString &a, const QString &b)
{
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < qMax(left.size(), right.size()); ++i) {
        const QStringView x = withoutLeadingZeros(i < left.size() ? QStringView(left.at(i)) : u"0");
        const QStringView y =
            withoutLeadingZeros(i < right.size() ? QStringView(right.at(i)) : u"0");
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        if (const int order = x.compare(y); order != 0)
            return order < 0 ? -1 : 1;
    }
    return 0;
}

QStringList storyMetadataKeys()
{
    return {kIdentifierKey, kVersionKey, kTitleKey, kAuthorKey, kAboutKey};
}

QList<StoryMetadataKey> unknownStoryMetadataKeys(const QByteArray &json)
{
    QList<StoryMetadataKey> unknown;
    if (!QJsonDocument::fromJson(json).isObject())
        return unknown;
    const QStringList known = storyMetadataKeys();
    for (const StoryMetadataKey &written : keysWithLines(json)) {
        if (!known.contains(written.key))
            unknown.append(written);
    }
    return unknown;
}

StoryMetadata parseStoryMetadata(const QByteArray &json, const QString &shownName)
{
    return MetadataParser(json, shownName).parse();
}

QByteArray storyMetadataJson(const StoryMetadata &metadata)
{
    const QJsonObject object{{kIdentifierKey, metadata.identifier},
                             {kVersionKey, metadata.version},
                             {kTitleKey, metadata.title},
                             {kAuthorKey, metadata.author},
                             {kAboutKey, metadata.about}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

StoryMetadata readStoryMetadataFile(const QString &fullPath, const QString &shownName)
{
    return parseStoryMetadata(readCappedFile(fullPath, shownName, qint64(kStoryMetadataCap)),
                              shownName);
}

} // namespace vorta

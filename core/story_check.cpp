// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_check.h"

#include "core/byte_checks.h"
#include "core/catalogue_file.h"
#include "core/fragment_file.h"
#include "core/line_ends.h"
#include "core/plural.h"
#include "core/settings_file.h"
#include "core/story_error.h"
#include "core/story_facts.h"
#include "core/text.h"
#include "core/text_reader.h"
#include "core/tree_paths.h"
#include "core/unicode.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace vorta {

namespace {

std::u16string numberPairText(std::int64_t least, std::int64_t most)
{
    return u"(" + decimal(least) + u", " + decimal(most) + u")";
}

// Why no story ends with this pair, for a pair that is not reachable.
std::u16string unreachableReason(std::int64_t least, std::int64_t most, int genreCount)
{
    if (least < 1 || least > genreCount || most < 1 || most > genreCount)
        return format(u"в каталоге жанров %1", {decimal(genreCount)});
    if (least == 1)
        return format(
            u"все жанры поровну бывают, только если %1 делятся на число жанров %2",
            {countText(kStepsToldPerStory, u"шаг", u"шага", u"шагов"), decimal(genreCount)});
    return u"наименее и наиболее используемый жанр совпадают, только когда все жанры "
           u"использованы поровну, и тогда оба равны 1";
}

std::u16string charactersText(std::size_t count)
{
    return countText(std::int64_t(count), u"знак", u"знака", u"знаков");
}

// What lies past a row of this many characters, a pair of UTF-16 halves counting as one.
std::u16string tailPast(const std::u16string &text, int characters)
{
    std::size_t at = 0;
    for (int seen = 0; seen < characters && at < text.size(); ++seen)
        at += codePointAt(text, at).length;
    return text.substr(at);
}

// A file's text as its author wrote it: UTF-8 when it reads as UTF-8 (a byte order mark
// dropped), Windows-1251 otherwise, so that quotes and widths show what the author sees.
std::u16string authorsUtf8Text(std::string_view bytes)
{
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (bytes.substr(0, kBom.size()) == kBom)
        bytes.remove_prefix(kBom.size());
    return fromUtf8(bytes);
}

// A file's bytes read once, with what they tell and the text they hold.
struct FileText
{
    ByteFindings bytes;
    std::u16string text; // as the author wrote it
    std::u16string programsText;
};

std::u16string linePlace(const CountedLines &lines)
{
    const std::optional<std::int32_t> count = lines.count();
    if (!count)
        return u", число строк";
    return format(u", строка %1 из %2", {decimal(lines.linesRead() + 1), decimal(*count)});
}

// Where a read of a fragment stood when it failed, for the report of the failure.
std::u16string readPlace(const FragmentReader &reader)
{
    if (reader.variant() == 0)
        return {};
    return format(u"вариант %1 из %2",
                  {decimal(reader.variant()), decimal(reader.variantCount())}) +
           linePlace(reader.lines());
}

std::u16string readPlace(const FinaleReader &reader)
{
    if (reader.record() == 0)
        return {};
    std::u16string place = format(u"запись %1", {decimal(reader.record())});
    if (!reader.pairRead())
        return place;
    return place + linePlace(reader.lines());
}

class TreeChecker
{
public:
    TreeChecker(const DataTree &tree, const DiagnosticSink &sink) : m_tree(tree), m_sink(sink) {}

    CheckResult run()
    {
        std::vector<CatalogueEntry> catalogue;
        const bool catalogueOk = checkCatalogue(catalogue);
        checkGenreFolders(catalogue, catalogueOk);
        checkSettings();
        finishFile();
        return {std::move(m_data), std::move(m_diagnostics), DataTree(m_files)};
    }

private:
    void add(const std::u16string &path, int line, Severity severity, const std::u16string &text)
    {
        m_pending.push_back({path, line, severity, text});
    }

    // Hands on the findings of the file just read, by line.
    void finishFile()
    {
        std::stable_sort(m_pending.begin(), m_pending.end(),
                         [](const Diagnostic &a, const Diagnostic &b) { return a.line < b.line; });
        for (const Diagnostic &diagnostic : m_pending) {
            m_diagnostics.push_back(diagnostic);
            if (m_sink)
                m_sink(diagnostic);
        }
        m_pending.clear();
    }
    void error(const std::u16string &path, int line, const std::u16string &text)
    {
        add(path, line, Severity::Error, text);
    }
    void warning(const std::u16string &path, int line, const std::u16string &text)
    {
        add(path, line, Severity::Warning, text);
    }

    // An error of the program's reader, with where in the file's structure it struck.
    void report(const StoryError &e, const std::u16string &path, const std::u16string &context = {})
    {
        std::u16string text = errorText(e);
        if (!context.empty())
            text += u" (" + context + u")";
        error(e.file().empty() ? path : e.file(), e.line(), text);
    }

    // Reads the file once: its raw bytes for the checks that decoding hides, its text as the
    // author and as the program read it. A file that cannot be read is reported here.
    std::optional<FileText> readFile(const std::u16string &path)
    {
        std::string bytes;
        try {
            bytes = m_tree.readBytes(path);
        } catch (const StoryError &e) {
            m_files->addFailure(path, e);
            report(e, path);
            return std::nullopt;
        }
        FileText file{checkFileBytes(path, bytes), {}, {}};
        if (file.bytes.looksLikeUtf8)
            file.text = authorsUtf8Text(bytes);
        m_files->add(path, std::move(bytes));
        file.programsText = m_files->readText(path);
        if (!file.bytes.looksLikeUtf8)
            file.text = file.programsText;
        m_pending.insert(m_pending.end(), file.bytes.diagnostics.begin(),
                         file.bytes.diagnostics.end());
        return file;
    }

    void checkSettings()
    {
        const std::optional<FileText> file = readFile(kSettingsFile);
        if (!file)
            return;
        struct Setting
        {
            std::int32_t unit;
            std::optional<std::int32_t> (*inForce)(std::int32_t);
        };
        const std::array<Setting, 2> settings{Setting{kPeriodUnitMs, autoPeriodMsOf},
                                              Setting{kPercentUnit, switchPercentOf}};
        try {
            TextReader reader(file->text, kSettingsFile);
            for (const Setting &setting : settings) {
                const SettingValue read = readSettingValue(reader);
                if (!setting.inForce(read.value))
                    error(kSettingsFile, read.line,
                          format(u"%1: %2 × %3 не помещается в 32 бита",
                                 {StoryError(ErrorKind::Overflow).kindText(), decimal(read.value),
                                  decimal(setting.unit)}));
                else if (read.value < kSmallestSetting || read.value > kLargestSetting)
                    warning(kSettingsFile, read.line,
                            format(u"значение %1 вне диапазона %2..%3 окна настроек",
                                   {decimal(read.value), decimal(kSmallestSetting),
                                    decimal(kLargestSetting)}));
            }
        } catch (const StoryError &e) {
            report(e, kSettingsFile);
        }
    }

    // Reads the catalogue's pairs as the program does; the genres are its complete pairs, with
    // their names as the author wrote them.
    bool checkCatalogue(std::vector<CatalogueEntry> &catalogue)
    {
        const std::optional<FileText> file = readFile(kCatalogueFile);
        if (!file)
            return false;
        bool ok = true;
        // The program reads on past a blank line, so what it makes of the pairs after one is
        // reported below; the blank line itself is the cause.
        for (const int line : blankLinesInside(splitLines(file->text)))
            error(kCatalogueFile, line, blankCatalogueLineText());
        CatalogueReader programs(TextReader(file->programsText, kCatalogueFile));
        try {
            while (!programs.atEnd())
                catalogue.push_back(programs.next());
        } catch (const StoryError &e) {
            report(e, kCatalogueFile);
            ok = false;
        }
        // The author's decoding parts the text at the same commas and line ends.
        CatalogueReader authors(TextReader(file->text, kCatalogueFile));
        for (std::size_t g = 0; g < catalogue.size(); ++g) {
            const CatalogueEntry &entry = catalogue[g];
            const Genre genre{authors.next().name, entry.dir, entry.line};
            checkGenreName(genre);
            // The program's click compares names as it reads them.
            for (std::size_t earlier = 0; earlier < g; ++earlier) {
                if (catalogue[earlier].name == entry.name) {
                    warning(kCatalogueFile, genre.line,
                            format(u"жанр %1 уже назван в строке %2: щелчок по этому имени "
                                   u"всегда выбирает первый из них, и читатель не выберет этот "
                                   u"жанр никогда (его выбирает только программа)",
                                   {quoted(genre.name), decimal(catalogue[earlier].line)}));
                    break;
                }
            }
            m_data.genres.push_back(genre);
        }
        if (ok && catalogue.empty()) {
            error(kCatalogueFile, 1,
                  u"в каталоге нет ни одного жанра: первый же ход остановит программу");
            return false;
        }
        return ok;
    }

    // What a choice label would show of the name.
    void checkGenreName(const Genre &genre)
    {
        const std::size_t width = characterCount(genre.name);
        if (genre.name.empty())
            warning(kCatalogueFile, genre.line, u"имя жанра пусто: его метка выбора будет пустой");
        else if (trimmed(genre.name).empty())
            warning(kCatalogueFile, genre.line,
                    format(u"имя жанра %1 из одних пробелов: его метка выбора будет пустой на вид",
                           {quoted(genre.name)}));
        else if (width > std::size_t(kChoiceLabelWidth))
            warning(kCatalogueFile, genre.line,
                    format(u"имя жанра %1 шире метки выбора: %2, а на метке помещается %3",
                           {quoted(genre.name), charactersText(width),
                            charactersText(kChoiceLabelWidth)}));
    }

    // Each folder once, in catalogue order: what is wrong with one goes to its catalogue line,
    // then its files are read.
    void checkGenreFolders(const std::vector<CatalogueEntry> &catalogue, bool catalogueOk)
    {
        std::unordered_map<std::u16string, int> seen;
        std::vector<std::u16string> toRead;
        for (std::size_t g = 0; g < catalogue.size(); ++g) {
            const Genre &genre = m_data.genres[g];
            if (const auto earlier = seen.find(genre.dir); earlier != seen.end()) {
                warning(kCatalogueFile, genre.line,
                        format(u"папка %1 уже названа в строке %2: оба жанра рассказывают один "
                               u"и тот же текст",
                               {quoted(genre.dir), decimal(earlier->second)}));
                continue;
            }
            seen.emplace(genre.dir, genre.line);
            if (!m_tree.hasFolder(genreFolderPath(genre.dir))) {
                error(kCatalogueFile, genre.line,
                      format(u"нет папки жанра %1: %2",
                             {quoted(genre.name), genreFolderPath(genre.dir)}));
                continue;
            }
            toRead.push_back(genre.dir);
        }
        finishFile();
        // With a broken catalogue the program never starts, so which endings a story reaches
        // is moot.
        const int genreCount = int(catalogue.size());
        const std::optional<std::vector<std::pair<int, int>>> wantedPairs =
            catalogueOk ? std::optional(reachableFinalePairs(genreCount)) : std::nullopt;
        for (const std::u16string &dir : toRead) {
            for (std::int32_t step = kFirstStep; step < kFinaleStep; ++step) {
                checkFragment(fragmentFilePath(dir, step), step);
                finishFile();
            }
            checkFinale(fragmentFilePath(dir, kFinaleStep), genreCount, wantedPairs);
            finishFile();
        }
    }

    void checkStoryLine(const std::u16string &path, int line, const std::u16string &text,
                        std::int32_t step)
    {
        if (step == kIqStep) {
            const std::size_t marker = text.find(kIqMarker);
            if (marker == std::u16string::npos)
                error(path, line,
                      format(u"в строке шага %1 нет метки %2 для числа",
                             {decimal(kIqStep), kIqMarker}));
            else if (marker == 0 || marker + kIqMarker.size() >= text.size())
                error(path, line,
                      format(u"первой метке %1 нужно по знаку с каждой стороны: они уступают место "
                             u"числу",
                             {kIqMarker}));
        }
        // Measured in the author's characters, whatever the file's encoding.
        if (const std::size_t width = characterCount(text); width > std::size_t(kRowWidth))
            warning(
                path, line,
                format(u"строка шире окна: %1, а в строке окна помещается %2; не видно конца %3",
                       {charactersText(width), charactersText(kRowWidth),
                        quoted(tailPast(text, kRowWidth))}));
    }

    void warnIfNegative(const std::u16string &path, const CountedLines &lines)
    {
        if (lines.count() < 0)
            warning(path, lines.countLine(),
                    format(u"число строк %1 меньше нуля: программа не прочтёт ни одной",
                           {decimal(*lines.count())}));
    }

    void checkFragment(const std::u16string &path, std::int32_t step)
    {
        const std::optional<FileText> content = readFile(path);
        if (!content)
            return;
        FragmentFile file{path, 0, {}, content->bytes.looksLikeUtf8};
        std::optional<FragmentReader> reader;
        try {
            reader.emplace(TextReader(content->text, path));
            file.variantCount = reader->variantCount();
            reader->requireVariants();
            for (std::int32_t v = 1; v <= file.variantCount; ++v) {
                Variant variant;
                reader->readVariant([&](const std::u16string &text, int line) {
                    checkStoryLine(path, line, text, step);
                    variant.lines.push_back(text);
                });
                variant.countLine = reader->lines().countLine();
                warnIfNegative(path, reader->lines());
                file.variants.push_back(std::move(variant));
            }
            if (!reader->restIsBlank())
                warning(path, reader->line(),
                        u"после последнего варианта есть ещё строки: программа их не читает");
        } catch (const StoryError &e) {
            report(e, path, reader ? readPlace(*reader) : std::u16string());
        }
        m_data.fragments.push_back(std::move(file));
    }

    void checkFinale(const std::u16string &path, int genreCount,
                     const std::optional<std::vector<std::pair<int, int>>> &wantedPairs)
    {
        const std::optional<FileText> content = readFile(path);
        if (!content)
            return;
        FinaleFile file{path, {}, content->bytes.looksLikeUtf8};
        FinaleReader reader(TextReader(content->text, path));
        try {
            while (!reader.atEnd()) {
                FinaleRecord record;
                record.pair = reader.readPair();
                record.line = reader.recordLine();
                reader.readLines([&](const std::u16string &text, int line) {
                    checkStoryLine(path, line, text, kFinaleStep);
                    record.lines.push_back(text);
                });
                record.countLine = reader.lines().countLine();
                warnIfNegative(path, reader.lines());
                file.records.push_back(std::move(record));
            }
        } catch (const StoryError &e) {
            report(e, path, readPlace(reader));
        }
        if (wantedPairs)
            checkFinalePairs(file, genreCount, *wantedPairs);
        m_data.finales.push_back(std::move(file));
    }

    void checkFinalePairs(const FinaleFile &file, int genreCount,
                          const std::vector<std::pair<int, int>> &wantedPairs)
    {
        std::vector<std::pair<int, int>> missing = wantedPairs;
        for (const FinaleRecord &record : file.records) {
            if (!record.pair.leastUsedGenre || !record.pair.mostUsedGenre) {
                warning(file.path, record.line,
                        format(u"номер жанра в паре %1 не число: запись не будет рассказана "
                               u"никогда",
                               {pairText(record.pair)}));
                continue;
            }
            const std::int32_t least = *record.pair.leastUsedGenre;
            const std::int32_t most = *record.pair.mostUsedGenre;
            const bool inRange =
                least >= 1 && least <= genreCount && most >= 1 && most <= genreCount;
            const std::pair<int, int> pair(inRange ? least : 0, inRange ? most : 0);
            if (!inRange ||
                std::find(wantedPairs.begin(), wantedPairs.end(), pair) == wantedPairs.end()) {
                // A genre outside the catalogue is likely a slip; an even split that this
                // catalogue cannot make is kept for a catalogue that can, so only noted.
                add(file.path, record.line, inRange ? Severity::Note : Severity::Warning,
                    format(
                        u"пару %1 не даёт ни один рассказ (%2): запись не будет рассказана "
                        u"никогда",
                        {numberPairText(least, most), unreachableReason(least, most, genreCount)}));
                continue;
            }
            if (record.lines.empty())
                warning(file.path, record.line,
                        format(u"концовка %1 не дописана: в записи нет ни строки",
                               {numberPairText(least, most)}));
            missing.erase(std::remove(missing.begin(), missing.end(), pair), missing.end());
        }
        if (!missing.empty()) {
            std::u16string pairs;
            for (const auto &[least, most] : missing)
                pairs += (pairs.empty() ? u"" : u", ") + numberPairText(least, most);
            warning(file.path, 1,
                    u"нет записи для пар (наименее, наиболее используемый жанр): " + pairs);
        }
    }

    DataTree m_tree;
    const DiagnosticSink &m_sink;
    std::shared_ptr<MemoryTree> m_files = std::make_shared<MemoryTree>();
    StoryData m_data;
    std::vector<Diagnostic> m_pending; // of the file being read
    std::vector<Diagnostic> m_diagnostics;
};

} // namespace

CheckResult checkTree(const DataTree &tree, const DiagnosticSink &sink)
{
    return TreeChecker(tree, sink).run();
}

std::size_t characterCount(std::u16string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += codePointAt(text, i).length)
        ++count;
    return count;
}

std::vector<std::pair<int, int>> reachableFinalePairs(int genreCount)
{
    std::vector<std::pair<int, int>> pairs;
    if (genreCount < 1)
        return pairs;
    if (kStepsToldPerStory % genreCount == 0)
        pairs.emplace_back(1, 1);
    for (int least = 1; least <= genreCount; ++least) {
        for (int most = 1; most <= genreCount; ++most) {
            if (least != most)
                pairs.emplace_back(least, most);
        }
    }
    return pairs;
}

std::u16string pairText(const RecordPair &pair)
{
    auto index = [](const std::optional<std::int32_t> &genre) {
        return genre ? decimal(*genre) : std::u16string(u"?");
    };
    return u"(" + index(pair.leastUsedGenre) + u", " + index(pair.mostUsedGenre) + u")";
}

} // namespace vorta

// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "web/story_reader.h"

#include "core/data_files.h"
#include "core/finale.h"
#include "core/moves.h"
#include "core/saved_story.h"
#include "core/story_file.h"

#include <cmath>

using emscripten::val;
using namespace vorta;

namespace {

constexpr double kLargestSeed = 9007199254740991.0; // 2^53 - 1

std::uint64_t seedOf(double seed)
{
    return std::isfinite(seed) && seed >= 0 && seed <= kLargestSeed ? std::uint64_t(seed) : 0;
}

val stringArray(const std::vector<std::u16string> &strings)
{
    val array = val::array();
    for (const std::u16string &text : strings)
        array.call<void>("push", val(text));
    return array;
}

// The parts of a kept story as the script gave them back: anything but what was kept is a
// story that does not read.
[[noreturn]] void unreadable()
{
    throw StoryError(ErrorKind::SavedStoryUnreadable, {}, 0,
                     u"в хранилище браузера не то, что там было сохранено");
}

std::int32_t wholeNumber(const val &value)
{
    if (!value.isNumber())
        unreadable();
    const double number = value.as<double>();
    if (!(number >= -2147483648.0 && number <= 2147483647.0) || std::floor(number) != number)
        unreadable();
    return std::int32_t(number);
}

std::u16string text(const val &value)
{
    if (!value.isString())
        unreadable();
    return value.as<std::u16string>();
}

std::vector<std::u16string> texts(const val &value, std::size_t most)
{
    if (!value.isArray())
        unreadable();
    const auto length = std::size_t(wholeNumber(value["length"]));
    if (length > most)
        unreadable();
    std::vector<std::u16string> result;
    result.reserve(length);
    for (std::size_t i = 0; i < length; ++i)
        result.push_back(text(value[i]));
    return result;
}

} // namespace

StoryReader::StoryReader() : m_random([this] { return m_seed; }) {}

std::u16string StoryReader::run(const std::function<void()> &event)
{
    try {
        if (!m_tree)
            throw StoryError(ErrorKind::FileNotFound, {}, 0, u"рассказ не открыт");
        event();
        return {};
    } catch (...) {
        return currentError().message();
    }
}

std::u16string StoryReader::open(const std::string &bytes)
{
    return openNamed(bytes, u"story.vorta");
}

std::u16string StoryReader::openNamed(const std::string &bytes, const std::u16string &name)
{
    try {
        StoryFileContents story = readStoryFile(MemoryBytes(bytes), name);
        m_metadataJson = std::move(story.directory.metadataJson);
        m_tree = story.tree();
        m_state = StoryState();
        return {};
    } catch (...) {
        return currentError().message();
    }
}

val StoryReader::settings() const
{
    val result = val::object();
    try {
        if (!m_tree)
            throw StoryError(ErrorKind::FileNotFound, {}, 0, u"рассказ не открыт");
        const auto [waitingPeriod, switchProbability] = readSettingsValues(*m_tree);
        result.set("waitingPeriod", waitingPeriod);
        result.set("switchProbability", switchProbability);
        result.set("error", std::u16string());
    } catch (...) {
        result.set("error", currentError().message());
    }
    return result;
}

std::u16string StoryReader::setSettings(int waitingPeriod, int switchProbability)
{
    return run([&] { saveSettings(*m_tree, waitingPeriod, switchProbability); });
}

std::u16string StoryReader::start(double seed)
{
    m_seed = seedOf(seed);
    return run([&] {
        StoryState state;
        firstStart(state, m_random, *m_tree);
        m_state = std::move(state);
    });
}

std::u16string StoryReader::choose(int slot)
{
    if (slot < 0 || slot >= kOfferedSlots || !m_state.window.offered[std::size_t(slot)].visible)
        return {};
    const std::u16string caption = m_state.window.offered[std::size_t(slot)].caption;
    return run([&] { readerMove(m_state, caption, m_random, *m_tree); });
}

std::u16string StoryReader::tick()
{
    std::u16string settingsFailure;
    std::u16string moveFailure = run([&] {
        if (const std::optional<StoryError> failure = countdownTick(m_state, m_random, *m_tree))
            settingsFailure = failure->message();
    });
    if (settingsFailure.empty() || moveFailure.empty())
        return settingsFailure + moveFailure;
    return settingsFailure + u"\n\n" + moveFailure;
}

void StoryReader::blink()
{
    blinkTick(m_state);
}

std::u16string StoryReader::newStory(double seed)
{
    m_seed = seedOf(seed);
    return run([&] { vorta::newStory(m_state, m_random, *m_tree); });
}

val StoryReader::view() const
{
    const StoryWindow &w = m_state.window;
    val result = val::object();
    result.set("step", m_state.stepNumber);
    result.set("finished", m_state.stepNumber >= kFinaleStep);
    result.set("countdownText", w.countdownText);
    result.set("countdownShown", w.countdownShown);
    result.set("countdownRunning", w.countdownRunning);
    result.set("countdownMs", m_state.countdownMs);
    result.set("blinking", w.blinking);
    result.set("buttonLit", w.blinkLit);
    val choices = val::array();
    for (const OfferedPlace &place : w.offered) {
        val choice = val::object();
        choice.set("caption", place.caption);
        choice.set("visible", place.visible);
        choices.call<void>("push", choice);
    }
    result.set("choices", choices);
    result.set("lineCount", std::max(0, m_state.nextLine - 1));
    return result;
}

val StoryReader::lines(int first, int count) const
{
    val array = val::array();
    for (std::int64_t entry = std::max(1, first);
         entry < std::int64_t(first) + count && entry < std::int64_t(m_state.nextLine); ++entry)
        array.call<void>("push", val(storyLine(m_state, entry)));
    return array;
}

val StoryReader::saved() const
{
    const SavedStory story = savedStoryOf(m_state);
    val result = val::object();
    result.set("genreNames", stringArray(story.genreNames));
    result.set("genreDirs", stringArray(story.genreDirs));
    result.set("lines", stringArray(story.lines));
    result.set("step", story.stepNumber);
    result.set("genre", story.currentGenre);
    val uses = val::array();
    for (const std::int32_t count : story.genreUses)
        uses.call<void>("push", count);
    result.set("uses", uses);
    result.set("iq", story.iqValue);
    result.set("offered", stringArray(story.offeredGenres));
    result.set("finished", story.finished);
    result.set("countdownMs", m_state.countdownMs);
    return result;
}

std::u16string StoryReader::resume(const val &kept)
{
    return run([&] {
        if (kept.isNull() || kept.typeOf().as<std::string>() != "object")
            unreadable();
        SavedStory story;
        story.genreNames = texts(kept["genreNames"], kMaxGenres);
        story.genreDirs = texts(kept["genreDirs"], kMaxGenres);
        story.lines = texts(kept["lines"], kMaxSavedLines);
        story.nextLine = std::int32_t(story.lines.size()) + 1;
        story.stepNumber = wholeNumber(kept["step"]);
        story.currentGenre = wholeNumber(kept["genre"]);
        const val uses = kept["uses"];
        if (!uses.isArray() || wholeNumber(uses["length"]) != kMaxGenres)
            unreadable();
        for (std::size_t g = 0; g < story.genreUses.size(); ++g)
            story.genreUses[g] = wholeNumber(uses[g]);
        story.iqValue = wholeNumber(kept["iq"]);
        story.offeredGenres = texts(kept["offered"], kOfferedSlots);
        const val finished = kept["finished"];
        if (finished.typeOf().as<std::string>() != "boolean")
            unreadable();
        story.finished = finished.as<bool>();
        checkSavedStory(story);
        if (!fitsCatalogue(story, m_state))
            throw StoryError(ErrorKind::SavedStoryDoesNotFit, {}, 0,
                             u"у этой версии рассказа другие жанры");
        StoryState resumed = m_state;
        resumeSavedStory(resumed, story);
        // A page comes back with the countdown where it stood, within the waiting period.
        const val countdown = kept["countdownMs"];
        if (!countdown.isUndefined()) {
            const std::int32_t left = wholeNumber(countdown);
            if (left > 0 && left <= resumed.autoPeriodMs) {
                resumed.countdownMs = left;
                resumed.window.countdownText = countdownCaption(left);
            }
        }
        m_state = std::move(resumed);
    });
}

// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/random_source.h"
#include "core/story_state.h"
#include "core/story_tree.h"

#include <emscripten/val.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// One story told in a page: the page's script calls these with plain values and draws what
// view() says. Nothing throws into the script: a call that fails returns the reader's message,
// and leaves the story as it was.
class StoryReader
{
public:
    StoryReader();

    // The bytes of a story file; "" when it reads, else why not, naming the file as given
    // (the page's own story.vorta when none is).
    std::u16string open(const std::string &bytes);
    std::u16string openNamed(const std::string &bytes, const std::u16string &name);
    // What the story says of itself, as the file holds it (UTF-8 JSON): the script parses it.
    std::string metadataJson() const { return m_metadataJson; }

    // The two settings as the story's settings file holds them, and a message when it does not
    // read: {waitingPeriod, switchProbability, error}.
    emscripten::val settings() const;
    std::u16string setSettings(int waitingPeriod, int switchProbability);

    // The seed is a whole number below 2^53, as a script's number holds it exactly.
    std::u16string start(double seed);
    std::u16string choose(int slot);
    std::u16string tick();
    void blink();
    std::u16string newStory(double seed);

    emscripten::val view() const;
    emscripten::val lines(int first, int count) const;

    // The story in progress as a plain object to keep, with the countdown's milliseconds, and put
    // back after start().
    emscripten::val saved() const;
    std::u16string resume(const emscripten::val &saved);

private:
    std::u16string run(const std::function<void()> &event);

    std::optional<vorta::DataTree> m_tree;
    std::string m_metadataJson;
    std::uint64_t m_seed = 0;
    vorta::SeededRandom m_random;
    vorta::StoryState m_state;
};

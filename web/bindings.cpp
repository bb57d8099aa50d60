// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "web/story_reader.h"

#include <emscripten/bind.h>

// The module's one class, as the page's script sees it.
EMSCRIPTEN_BINDINGS(vorta_core)
{
    emscripten::class_<StoryReader>("StoryReader")
        .constructor<>()
        .function("open", &StoryReader::open)
        .function("open", &StoryReader::openNamed)
        .function("metadataJson", &StoryReader::metadataJson)
        .function("settings", &StoryReader::settings)
        .function("setSettings", &StoryReader::setSettings)
        .function("start", &StoryReader::start)
        .function("choose", &StoryReader::choose)
        .function("tick", &StoryReader::tick)
        .function("blink", &StoryReader::blink)
        .function("newStory", &StoryReader::newStory)
        .function("view", &StoryReader::view)
        .function("lines", &StoryReader::lines)
        .function("saved", &StoryReader::saved)
        .function("resume", &StoryReader::resume);
}

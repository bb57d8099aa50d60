// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The story module's moves timed in WebAssembly under node, exactly as bench/core_moves.cpp
// times the core's natively: through the calls the page makes (choose, tick), on the story file
// opened from memory. Prints the least of the repetitions in nanoseconds of processor time, as
// the native driver does.
//
//   node --no-experimental-fetch bench/web_moves.mjs MODULE.js STORY.vorta
import {readFile} from 'node:fs/promises';
import {createRequire} from 'node:module';
import {resolve} from 'node:path';

const REPETITIONS = 15;
const STORIES = 20;
const MOVES_PER_STORY = 64;
const LONGEST_WAIT = 10;
const TICKS_WITHOUT_MOVE = 49;

const [modulePath, storyPath] = process.argv.slice(2);
const createVortaCore = createRequire(import.meta.url)(resolve(modulePath));
const core = await createVortaCore();
const reader = new core.StoryReader();
const failure = reader.open(await readFile(storyPath)) || reader.start(0) ||
    reader.setSettings(LONGEST_WAIT, 5);
if (failure)
    throw new Error(failure);

const least = (values) => Math.min(...values);
const processorNanoseconds = () => {
    const {user, system} = process.cpuUsage();
    return (user + system) * 1000;
};
const moves = [];
const ticks = [];
// The first round lets the engine compile the module's hot code; it is not kept.
for (let round = 0; round <= REPETITIONS; ++round) {
    let moving = 0;
    let ticking = 0;
    for (let story = 0; story < STORIES; ++story) {
        reader.newStory(story);
        let start = processorNanoseconds();
        for (let tick = 0; tick < TICKS_WITHOUT_MOVE; ++tick)
            reader.tick();
        ticking += processorNanoseconds() - start;
        start = processorNanoseconds();
        for (let move = 0; move < MOVES_PER_STORY; ++move)
            reader.choose(0);
        moving += processorNanoseconds() - start;
    }
    if (round === 0)
        continue;
    moves.push(moving / (STORIES * MOVES_PER_STORY));
    ticks.push(ticking / (STORIES * TICKS_WITHOUT_MOVE));
}
reader.delete();
console.log(`${least(moves).toFixed(0)} ${least(ticks).toFixed(0)}`);

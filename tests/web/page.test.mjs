// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The page as a reader uses it, in headless Chromium: buttons pressed by their names, the story
// read from its log, the page's timers advanced by the test instead of waited for.
import assert from 'node:assert/strict';
import {copyFile, mkdtemp, readFile, rm, writeFile} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {after, before, describe, test} from 'node:test';

import {advance, launch, message, offered, openPage, pick, ready, toldLines} from './support/browser.mjs';
import {serve} from './support/server.mjs';
import {captions, cleanUp, goldenFolder, hostileFiles, makeSite, nextVersion} from './support/site.mjs';

let chromium;
before(async () => { chromium = await launch(); });
after(async () => {
    await chromium.close();
    await cleanUp();
});

// Each case on a site of its own, on a port of its own: a new origin, so its storage and its
// offline copy start empty.
async function withPage({query = '?seed=7', width = 1280, height = 800} = {}, body) {
    const folder = await makeSite();
    const server = await serve(folder);
    const page = await openPage(chromium.browser, server.url + query, width, height);
    try {
        await body(page, {folder, server});
    } finally {
        await page.close();
        await server.stop();
        await rm(folder, {recursive: true, force: true});
    }
}

const button = (page, name) => page.$(`::-p-aria([name="${name}"][role="button"])`);
const click = async (page, name) => (await button(page, name)).click();
const finished = (page) => page.$eval('#new-story', (b) => b.classList.contains('blinking'));
// The countdown's own words, which change every second without being spoken.
const countdown = (page) => page.$eval('[role="status"] > [aria-live="off"]', (s) => s.textContent);

// A golden story: "seed=N picks=FOLDER,…" on its first line, then every line told.
async function golden(name) {
    const [head, ...lines] = (await readFile(join(goldenFolder, name), 'utf8')).replace(/\n$/, '').split('\n');
    const [, seed, picks] = /^seed=(\d+) picks=(.*)$/.exec(head);
    const names = await captions();
    return {seed, picks: picks ? picks.split(',').map((folder) => names[folder]) : [], lines};
}

describe('a seeded story tells what vorta-author story tells for the same picks', () => {
    const rows = [
        {name: 'two genres pressed by turns to the finale, the high IQ branch', golden: 'seed100-pressed.txt'},
        {name: 'two genres pressed by turns to the finale, the low IQ branch', golden: 'seed2026-pressed.txt'},
        {name: 'nothing pressed: the countdown moves to the finale by itself', golden: 'seed7-program.txt'},
    ];
    for (const row of rows)
        test(row.name, async () => {
            const story = await golden(row.golden);
            await withPage({query: `?seed=${story.seed}`}, async (page) => {
                for (let move = 0; move < 100 && !(await finished(page)); ++move) {
                    if (move < story.picks.length)
                        await pick(page, story.picks[move]);
                    else
                        await advance(page, 10000);
                }
                assert.deepEqual(await toldLines(page), story.lines);
                const lit = () => page.$eval('#new-story', (b) => b.classList.contains('lit'));
                const before = await lit();
                await advance(page, 500);
                assert.notEqual(await lit(), before, 'the button blinks after the finale');
            });
        });
});

describe('the story in progress survives', () => {
    const rows = [
        {name: 'a reload', change: 'none'},
        {name: 'a reload with the network gone, from the offline copy', change: 'offline'},
        {name: 'a new version with other genres: it starts afresh and says so once', change: 'version'},
    ];
    for (const row of rows)
        test(row.name, () => withPage({}, async (page, {folder, server}) => {
            await pick(page, (await offered(page))[0]);
            await pick(page, (await offered(page))[2]);
            await advance(page, 3000);
            const seen = async () => ({lines: await toldLines(page), offered: await offered(page),
                                       countdown: await countdown(page)});
            const before = await seen();
            if (row.change === 'offline') {
                await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
                await server.stop();
                await page.setOfflineMode(true);
            } else if (row.change === 'version') {
                await copyFile(await nextVersion(), join(folder, 'story.vorta'));
            }
            await page.reload();
            await ready(page);
            if (row.change !== 'version') {
                assert.deepEqual(await seen(), before);
                return;
            }
            assert.match(await message(page), /не подходит[^]*Начат новый рассказ/);
            assert.deepEqual(await toldLines(page), []);
            assert.ok((await offered(page)).includes('Вестерн'));
            await page.reload();
            await ready(page);
            assert.equal(await message(page), null);
        }));
});

describe('a story file picked', () => {
    const rows = [
        {name: 'cut in half', hostile: 'truncated', said: /обрезан\nФайл: picked\.vorta$/},
        {name: 'a catalogue naming a folder outside the story, ../x', hostile: 'outside',
         said: /папка жанра "\.\.\/x"[^]*Файл: picked\.vorta:Genres\/genres\.vtq/},
        {name: 'a text file renamed', hostile: 'renamedText', said: /это не ZIP-архив/},
        {name: 'a version that is a number in story.json', hostile: 'numberedMetadata',
         said: /в его story\.json нет текстовых полей/},
        {name: 'the next version, which opens in place of the story told'},
    ];
    for (const row of rows)
        test(row.name, () => withPage({}, async (page) => {
            await pick(page, (await offered(page))[0]);
            const before = {lines: await toldLines(page), offered: await offered(page)};
            const folder = await mkdtemp(join(tmpdir(), 'vorta-picked-'));
            const path = join(folder, 'picked.vorta');
            await (row.hostile ? writeFile(path, (await hostileFiles())[row.hostile])
                : copyFile(await nextVersion(), path));
            await (await page.$('#story-file')).uploadFile(path);
            await page.waitForSelector('#message[open]');
            const said = await message(page);
            await rm(folder, {recursive: true});
            if (!row.hostile) {
                assert.match(said, /не подходит/);
                assert.ok((await offered(page)).includes('Вестерн'));
                return;
            }
            assert.match(said, /^Рассказ «picked\.vorta» не открыт\.\n./);
            assert.match(said, row.said);
            assert.deepEqual({lines: await toldLines(page), offered: await offered(page)}, before);
            await pick(page, (await offered(page))[0]);
            assert.ok((await toldLines(page)).length > before.lines.length, 'the story goes on');
        }));
});

// Keys puppeteer's layout lacks are sent as the page receives them from a Russian layout.
async function press(page, key) {
    if (/^[\x20-\x7e]$|^[A-Z][a-z]+$/.test(key))
        await page.keyboard.press(key);
    else
        await page.evaluate((k) => document.activeElement.dispatchEvent(
            new KeyboardEvent('keydown', {key: k, bubbles: true})), key);
}

describe('the keys and the countdown', () => {
    const newStory = 'click:Начать новый рассказ';
    const rows = [
        {name: '2 presses the second genre on offer', act: ['key:2'], told: 'more', pressed: 1},
        {name: 'the countdown running out moves by itself', act: ['wait:10000'], told: 'more'},
        {name: 'P pauses the countdown', setup: ['key:1'], act: ['key:p', 'wait:30000'], told: 'same',
         countdown: 'Отсчёт на паузе, осталось 10 с'},
        {name: 'З, the same key in the Russian layout, resumes it', act: ['key:p', 'key:З', 'wait:10000'],
         told: 'more'},
        {name: 'in the middle of a story, Escape keeps it', setup: ['key:1'], act: [newStory, 'key:Escape'],
         told: 'same'},
        {name: 'in the middle of a story, Return starts a new one', setup: ['key:1'], act: [newStory, 'key:Enter'],
         told: 'none'},
        {name: 'before the first step, a new story starts unasked', act: [newStory], told: 'none'},
    ];
    for (const row of rows)
        test(row.name, () => withPage({}, async (page) => {
            const run = async (steps) => {
                for (const step of steps) {
                    const [verb, what] = step.split(/:(.*)/);
                    await (verb === 'key' ? press(page, what)
                        : verb === 'wait' ? advance(page, Number(what)) : click(page, what));
                    // A dialog's answer arrives in a task of its own.
                    await page.evaluate(() => new Promise((done) => setTimeout(done)));
                }
            };
            await run(row.setup ?? []);
            const before = {lines: await toldLines(page), offered: await offered(page)};
            await run(row.act);
            const lines = await toldLines(page);
            const told = lines.length === 0 ? 'none' : lines.length > before.lines.length ? 'more' : 'same';
            assert.equal(told, row.told);
            assert.equal(await page.$('dialog[open]'), null, 'no dialog is left open');
            if (row.countdown)
                assert.equal(await countdown(page), row.countdown);
            if (row.pressed !== undefined)
                assert.ok(!(await offered(page)).includes(before.offered[row.pressed]));
        }));
});

describe('the page at a width', () => {
    const rows = [
        {name: 'a phone', width: 390, height: 844, rowsOf46: 2},
        {name: 'a desktop', width: 1280, height: 800, rowsOf46: 1},
    ];
    for (const row of rows)
        test(`${row.name}: ${row.width} px`, () => withPage(row, async (page) => {
            await pick(page, (await offered(page))[0]);
            if (process.env.VORTA_SCREENSHOTS)
                await page.screenshot({path: join(process.env.VORTA_SCREENSHOTS, `page-${row.width}.png`)});
            const seen = await page.evaluate(() => {
                const log = document.querySelector('[role="log"]');
                const row = parseFloat(getComputedStyle(log).lineHeight);
                const shown = [...document.querySelectorAll('button')].filter((b) => b.offsetParent);
                // The story's lines are at most 46 characters: one that long joins them to be measured.
                const longest = document.createElement('p');
                longest.textContent = 'Ж'.repeat(46);
                log.append(longest);
                const measured = {
                    sideways: document.documentElement.scrollWidth > innerWidth,
                    rows: Math.round(log.clientHeight / row),
                    small: shown.map((b) => b.getBoundingClientRect())
                        .filter((r) => r.width < 44 || r.height < 44).length,
                    cut: [...log.children].filter((p) => p.scrollWidth > p.clientWidth).length,
                    rowsOf46: Math.round(longest.clientHeight / row),
                };
                longest.remove();
                return measured;
            });
            assert.deepEqual(seen, {sideways: false, rows: 15, small: 0, cut: 0, rowsOf46: row.rowsOf46});
        }));
});

// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The folder a reader's browser is given, as `vorta-author web story/ -o DIR` writes it from the
// sample story's manuscript with the module the web preset built; and the stories the tests
// open in its place, made by the authors' tool or, when made wrong on purpose, by hand.
import {execFile} from 'node:child_process';
import {cp, mkdtemp, readFile, rm, writeFile} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {promisify} from 'node:util';

import {zip} from './zip.mjs';

const root = fileURLToPath(new URL('../../../', import.meta.url));
const author = process.env.VORTA_AUTHOR ?? join(root, 'build/dev/author/vorta-author');
const manuscript = join(root, 'story');
export const goldenFolder = join(root, 'tests/core/golden');

const run = promisify(execFile);
const made = [];

async function folder(name) {
    const path = await mkdtemp(join(tmpdir(), `vorta-${name}-`));
    made.push(path);
    return path;
}

let sample = null;
// The sample story's page, written once; each case reads a copy of it.
async function samplePage() {
    sample ??= (async () => {
        const site = join(await folder('site'), 'site');
        await run(author, ['web', manuscript, '-o', site]);
        return site;
    })();
    return sample;
}

export async function makeSite() {
    const site = await mkdtemp(join(tmpdir(), 'vorta-page-'));
    await cp(await samplePage(), site, {recursive: true});
    return site;
}

// The genres' captions by their folders, from the manuscript's catalogue ("name,folder").
export async function captions() {
    const lines = (await readFile(join(manuscript, 'genres.txt'), 'utf8')).split('\n');
    return Object.fromEntries(lines.filter((line) => line.includes(','))
        .map((line) => /^"?(.*?)"?,([^,]*)$/.exec(line.trim()).slice(1).reverse()));
}

let next = null;
// The sample story's next version, whose catalogue names its first genre «Вестерн»: a story
// kept from the first version no longer fits it.
export async function nextVersion() {
    next ??= (async () => {
        const copy = await folder('next');
        await cp(manuscript, copy, {recursive: true});
        const catalogue = join(copy, 'genres.txt');
        await writeFile(catalogue, (await readFile(catalogue, 'utf8')).replace(/^[^,\n]*,/, 'Вестерн,'));
        const metadata = join(copy, 'story.json');
        await writeFile(metadata, JSON.stringify({...JSON.parse(await readFile(metadata, 'utf8')), version: '2.0'}));
        const file = join(copy, 'next.vorta');
        await run(author, ['pack', copy, '-o', file]);
        return file;
    })();
    return next;
}

// Files that must not open: what each holds.
export async function hostileFiles() {
    const story = await readFile(join(await samplePage(), 'story.vorta'));
    const storyFile = (metadata, catalogue) => zip([
        ['mimetype', Buffer.from('application/x-vorta-story')], ['story.json', Buffer.from(JSON.stringify(metadata))],
        ['vorta.cfg', Buffer.from('2 \r\n5 \r\n')], ['Genres/genres.vtq', Buffer.from(catalogue)]]);
    const metadata = {identifier: 'hostile', version: '1', title: 'Чужой', author: 'Никто', about: ''};
    return {
        truncated: story.subarray(0, story.length >> 1),
        // A catalogue whose genre's folder lies outside the story.
        outside: storyFile(metadata, 'Horror,../x\r\n'),
        // What the story says of itself is not the five texts the page shows.
        numberedMetadata: storyFile({...metadata, version: 1}, 'Horror,horror\r\nFairy,fairy\r\n'),
        renamedText: await readFile(join(manuscript, 'outline.txt')),
    };
}

export async function cleanUp() {
    await Promise.all(made.map((path) => rm(path, {recursive: true, force: true})));
}

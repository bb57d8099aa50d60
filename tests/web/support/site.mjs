// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The folder a reader's browser is given: the page, the module, the story and the icons, laid
// out as `vorta-author web` is to write them. Until that command and the real module exist,
// the module and the stories are the stand-ins in fake/.
import {copyFile, mkdtemp, readdir, readFile, writeFile} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {fileURLToPath} from 'node:url';

const root = fileURLToPath(new URL('../../../', import.meta.url));
const pageFolder = join(root, 'web/page');
const icons = join(root, 'dist/icons');
export const fakeFolder = join(root, 'tests/web/fake');

export const stories = {
    first: join(fakeFolder, 'story.vorta'),
    // The same story's next version, whose genres differ.
    next: join(fakeFolder, 'story-2.0.vorta'),
};

export async function makeSite(story = stories.first) {
    const folder = await mkdtemp(join(tmpdir(), 'vorta-page-'));
    for (const name of await readdir(pageFolder))
        await copyFile(join(pageFolder, name), join(folder, name));
    for (const name of ['vorta-core.js', 'vorta-core.wasm'])
        await copyFile(join(fakeFolder, name), join(folder, name));
    await copyFile(story, join(folder, 'story.vorta'));
    await copyFile(join(icons, 'io.github.vorta.Vorta.svg'), join(folder, 'icon.svg'));
    for (const size of [128, 256])
        await copyFile(join(icons, `${size}x${size}/io.github.vorta.Vorta.png`), join(folder, `icon-${size}.png`));
    const title = JSON.parse(await readFile(story, 'utf8')).metadata.title;
    const manifest = join(folder, 'manifest.webmanifest');
    await writeFile(manifest, (await readFile(manifest, 'utf8')).replace('"@STORY_TITLE@"', JSON.stringify(title)));
    return folder;
}

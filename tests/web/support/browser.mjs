// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Debian's Chromium, headless, on a profile of its own, driving the page as a reader would.
import {mkdtemp, rm} from 'node:fs/promises';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import puppeteer from 'puppeteer-core';

export async function launch() {
    const profile = await mkdtemp(join(tmpdir(), 'vorta-chromium-'));
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
        // Without the background services, a closed network refuses nothing the page asked for.
        args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
               '--disable-background-networking', '--disable-component-update', '--disable-sync',
               `--user-data-dir=${profile}`],
    });
    return {browser, close: async () => {
        await browser.close();
        await rm(profile, {recursive: true, force: true});
    }};
}

// The page at a width, its timers on the test's clock, once it has opened its story.
export async function openPage(browser, url, width = 1280, height = 800) {
    const page = await browser.newPage();
    await page.setViewport({width, height});
    await page.evaluateOnNewDocument(() => { window.vortaTestClock = {}; });
    await page.goto(url);
    await ready(page);
    return page;
}

export const ready = (page) => page.waitForSelector('main[aria-busy="false"]');

// Seconds pass at once: the page's timers fire as they would have.
export const advance = (page, ms) => page.evaluate((t) => window.vortaTestClock.advance(t), ms);

export const toldLines = (page) =>
    page.$$eval('[role="log"] > *', (lines) => lines.map((line) => line.textContent));

export const offered = (page) =>
    page.$$eval('#choices li:not([hidden]) button', (buttons) => buttons.map((b) => b.textContent));

// The genre on offer with this caption, pressed as a reader presses it.
export async function pick(page, caption) {
    const button = await page.$(`::-p-aria([name="${caption}"][role="button"])`);
    if (!button)
        throw new Error(`«${caption}» is not on offer: ${(await offered(page)).join(', ')}`);
    await button.click();
}

// The message shown, if any, and closed with its button.
export async function message(page) {
    const text = await page.$eval('#message', (d) => (d.open
        ? [...d.querySelectorAll('#message-text p')].map((p) => p.textContent).join('\n') : null));
    if (text !== null)
        await page.click('#message button');
    return text;
}

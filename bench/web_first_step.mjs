// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// From the page's load to the first step told after a press, in headless Chromium: each run in
// a browser context of its own (an empty cache, as at a first visit), the page served from
// 127.0.0.1, the press made by the page itself the moment the story is ready, so that no round
// trip to the driver is timed. Prints the medians, in milliseconds from the navigation's start,
// of the story ready and of the step drawn.
//
//   node bench/web_first_step.mjs SITE      (SITE: a folder written by vorta-author web)
import {launch} from '../tests/web/support/browser.mjs';
import {serve} from '../tests/web/support/server.mjs';

const RUNS = 15;

// Installed before the page's own script: waits for the story to be ready, presses the first
// genre on offer, and resolves at the frame after its lines are in the log.
function pressWhenReady() {
    window.vortaFirstStep = new Promise((done) => {
        document.addEventListener('DOMContentLoaded', () => {
            const main = document.getElementById('window');
            const ready = new MutationObserver(() => {
                if (main.getAttribute('aria-busy') !== 'false')
                    return;
                ready.disconnect();
                const loaded = performance.now();
                const told = new MutationObserver(() => {
                    told.disconnect();
                    requestAnimationFrame(() => done({loaded, drawn: performance.now()}));
                });
                told.observe(document.getElementById('story'), {childList: true});
                document.querySelector('#choices li:not([hidden]) button').click();
            });
            ready.observe(main, {attributes: true});
        });
    });
}

const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];

const chromium = await launch();
const server = await serve(process.argv[2]);
const loads = [];
const steps = [];
try {
    for (let run = 0; run < RUNS; ++run) {
        const context = await chromium.browser.createBrowserContext();
        const page = await context.newPage();
        await page.setViewport({width: 390, height: 844});
        await page.evaluateOnNewDocument(pressWhenReady);
        await page.goto(server.url);
        const {loaded, drawn} = await page.evaluate(() => window.vortaFirstStep);
        loads.push(loaded);
        steps.push(drawn);
        await context.close();
    }
} finally {
    await server.stop();
    await chromium.close();
}
console.log(`${median(loads).toFixed(0)} ${median(steps).toFixed(0)}`);

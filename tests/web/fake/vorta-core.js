// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in for the WebAssembly module, keeping its contract with the page: the same factory,
// the same methods, plain values in and out, a message instead of an exception. Its story is a
// JSON file (fake/*.vorta) and its rules are only as rich as the page's tests need: steps 1 to
// 64 with an IQ branch at 37, a finale, a countdown and a blink. Delete this folder once the
// real module is built.
'use strict';

var createVortaCore = (() => {
    const scriptUrl = typeof document === 'undefined' ? null : document.currentScript.src;
    const kPlaceholder = 'Выдоконтрапупить';
    const kSlots = 9;
    const kIqStep = 37;
    const kFinaleStep = 65;

    const periodMs = (w) => (w === 0 ? 1000 : w * 5000);
    const wholeSetting = (n) => Number.isInteger(n) && n >= 0 && n <= 10;

    // mulberry32: a small generator whose whole state is one 32-bit number, easy to keep.
    function draw(story) {
        let t = (story.rng = (story.rng + 0x6d2b79f5) >>> 0);
        t = Math.imul(t ^ (t >>> 15), t | 1);
        t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
        return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    }
    const drawIndex = (story, n) => Math.floor(draw(story) * n);

    class StoryReader {
        open(bytes) {
            let file;
            try {
                file = JSON.parse(new TextDecoder('utf-8', {fatal: true}).decode(bytes));
            } catch (e) {
                return 'Файл не является рассказом: это не архив рассказа.';
            }
            const genres = file && file.genres;
            if (!Array.isArray(genres) || genres.length < 2 || genres.length > kSlots ||
                !file.metadata || !file.settings)
                return 'В рассказе нет списка жанров, описания или установок.';
            this.file = file;
            this.wanted = {...file.settings};
            return '';
        }
        metadata() { return {...this.file.metadata}; }
        settings() { return {...this.wanted}; }
        setSettings(w, p) {
            if (!wholeSetting(w) || !wholeSetting(p))
                return 'Установки должны быть целыми числами от 0 до 10.';
            this.wanted = {waitingPeriod: w, switchProbability: p};
            return '';
        }
        start(seed) { return this.newStory(seed); }
        newStory(seed) {
            if (!Number.isSafeInteger(seed) || seed < 0)
                return 'Начальное число должно быть целым от 0 до 2^53 − 1.';
            const story = {rng: (seed % 4294967296) ^ Math.floor(seed / 4294967296), step: 0,
                           current: 0, uses: this.file.genres.map(() => 0), lines: [], iq: 0,
                           buttonLit: false, genres: this.file.genres};
            story.current = drawIndex(story, story.genres.length);
            this.story = story;
            this.applied = {...this.wanted};
            this.countdownMs = periodMs(this.applied.waitingPeriod);
            return '';
        }
        choose(slot) {
            const offered = this.view().choices[slot];
            if (!offered || !offered.visible)
                return 'Этот жанр сейчас не предлагается.';
            this.story.current = slot;
            this.tell();
            this.countdownMs = periodMs(this.applied.waitingPeriod);
            return '';
        }
        tick() {
            if (this.story.step >= kFinaleStep)
                return '';
            this.applied = {...this.wanted};
            this.countdownMs -= 1000;
            if (this.countdownMs < 1) {
                this.countdownMs = periodMs(this.applied.waitingPeriod);
                if (draw(this.story) * 10 < this.applied.switchProbability)
                    this.story.current = drawIndex(this.story, this.story.genres.length);
                this.tell();
            }
            return '';
        }
        blink() {
            if (this.story.step >= kFinaleStep)
                this.story.buttonLit = !this.story.buttonLit;
        }
        tell() {
            const s = this.story;
            const genre = s.genres[s.current];
            s.uses[s.current] += 1;
            // Step 37's IQ picks step 38 (up to 100) or 39; both go on to 40.
            s.step = s.step === kIqStep ? (s.iq <= 100 ? 38 : 39) : s.step === 38 ? 40 : s.step + 1;
            if (s.step === kFinaleStep) {
                const order = s.uses.map((n, i) => [n, i]).sort((a, b) => a[0] - b[0] || a[1] - b[1]);
                s.lines.push(`Финал: наименее ${s.genres[order[0][1]]}, наиболее ` +
                             `${s.genres[order[order.length - 1][1]]}.`, '');
                return;
            }
            if (s.step === kIqStep)
                s.iq = 80 + drawIndex(s, 40);
            const variant = 1 + drawIndex(s, 3);
            s.lines.push(`Шаг ${s.step}: ${genre}, вариант ${variant}` +
                         (s.step === kIqStep ? `, IQ ${s.iq}.` : '.'));
            if (s.step === 1)
                s.lines.push(...this.file.opening);
            s.lines.push('');
        }
        view() {
            const s = this.story;
            const finished = s.step >= kFinaleStep;
            return {
                step: s.step, finished, countdownShown: !finished, countdownRunning: !finished,
                countdownMs: this.countdownMs,
                countdownText: `До активничания программы осталось: ${Math.floor(this.countdownMs / 1000)}`,
                blinking: finished, buttonLit: s.buttonLit, lineCount: s.lines.length,
                choices: Array.from({length: kSlots}, (_, k) => ({
                    caption: s.genres[k] ?? kPlaceholder,
                    visible: !finished && k < s.genres.length && k !== s.current,
                })),
            };
        }
        lines(first, count) { return this.story.lines.slice(first - 1, first - 1 + count); }
        saved() { return JSON.parse(JSON.stringify(this.story)); }
        resume(saved) {
            if (!saved || !Array.isArray(saved.lines) || !Array.isArray(saved.genres))
                return 'Сохранённый рассказ не читается.';
            if (saved.genres.join('\n') !== this.file.genres.join('\n'))
                return 'Сохранённый рассказ не подходит к этой версии: у неё другие жанры.';
            this.story = JSON.parse(JSON.stringify(saved));
            return '';
        }
        delete() { this.story = null; }
    }

    // The real module instantiates its .wasm beside the script: so does this one, so that the
    // page's offline copy must hold it too.
    return async () => {
        if (scriptUrl !== null) {
            const wasm = await fetch(new URL('vorta-core.wasm', scriptUrl));
            await WebAssembly.instantiate(await wasm.arrayBuffer());
        }
        return {StoryReader};
    };
})();

if (typeof module === 'object')
    module.exports = createVortaCore;

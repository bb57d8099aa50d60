// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a page: the story's rules are the module's; this script draws its view, keeps
// the story in the browser and turns the reader's keys and clicks into the module's events.
'use strict';

const STORY_FILE = 'story.vorta';
const MIB = 1024 * 1024;
// As the program reads a story file: nothing larger is read into memory.
const MOST_STORY_BYTES = 64 * MIB;
const TICK_MS = 1000;
const BLINK_MS = 500;
const SLOTS = 9;
// The settings as the story keeps them, 0 .. 10: units of 5 s (0 waits 1 s) and of 10 %.
const PERIOD_UNIT_S = 5;
const PERCENT_UNIT = 10;
const LARGEST_SEED = Number.MAX_SAFE_INTEGER;
const FINALE_NOTICE = 'Рассказ окончен. Новый начнёт кнопка «Начать новый рассказ».';

const $ = (id) => document.getElementById(id);

// The page's timers run on the browser's clock. A test that sets window.vortaTestClock to an
// object before the page loads drives them through its advance(ms) instead of waiting.
function makeClock() {
    const hook = window.vortaTestClock;
    if (!hook)
        return {every: (ms, run) => { const id = setInterval(run, ms); return () => clearInterval(id); }};
    let now = 0;
    const timers = new Set();
    hook.advance = (ms) => {
        const end = now + ms;
        for (;;) {
            let due = null;
            for (const t of timers)
                if (t.next <= end && (!due || t.next < due.next))
                    due = t;
            if (!due)
                break;
            now = due.next;
            due.next += due.period;
            due.run();
        }
        now = end;
    };
    return {every(ms, run) {
        const timer = {period: ms, next: now + ms, run};
        timers.add(timer);
        return () => timers.delete(timer);
    }};
}

const clock = makeClock();
const running = new Map();

// Starts or stops one of the page's timers; one already running keeps its rhythm.
function follow(name, on, ms, run) {
    if (on && !running.has(name))
        running.set(name, clock.every(ms, run));
    else if (!on && running.has(name)) {
        running.get(name)();
        running.delete(name);
    }
}

let core = null;
let reader = null;
let story = null; // {metadata, seed}
let paused = false;
let shownLines = 0;
let shownFinished = false;
let keepFailed = false;
// The seed the address asks for, if any.
let askedSeed = null;
const messages = [];

function say(text) {
    messages.push(text);
    if (!$('message').open)
        showMessage();
    draw();
}

function showMessage() {
    const text = $('message-text');
    text.replaceChildren(...messages[0].split('\n').map((line) => paragraph(line)));
    $('message').showModal();
}

function paragraph(text) {
    const p = document.createElement('p');
    p.textContent = text;
    return p;
}

// Speaks once through the countdown's status, which otherwise keeps quiet.
function notify(text) {
    const notice = $('notice');
    notice.textContent = '';
    setTimeout(() => { notice.textContent = text; }, 100);
}

const storyKey = (metadata) => `vorta:${metadata.identifier}:story`;
const settingsKey = (metadata) => `vorta:${metadata.identifier}:settings`;

function readKept(key) {
    try {
        const text = localStorage.getItem(key);
        return text === null ? null : JSON.parse(text);
    } catch {
        return null;
    }
}

function storageFailure(error) {
    return error && error.name === 'QuotaExceededError'
        ? 'в хранилище браузера нет места'
        : 'браузер не даёт странице хранить данные';
}

function keep(key, value) {
    try {
        localStorage.setItem(key, JSON.stringify(value));
        keepFailed = false;
    } catch (error) {
        // Said once; the story goes on, and the next move that can be kept keeps it whole.
        if (!keepFailed)
            say(`Рассказ не сохраняется в браузере: ${storageFailure(error)}. Он продолжается, ` +
                'но после перезагрузки страницы начнётся заново.');
        keepFailed = true;
    }
}

// The saved story holds its countdown too, so a reload goes on with the seconds left.
function keepStory() {
    if (!reader)
        return;
    keep(storyKey(story.metadata), {version: story.metadata.version, seed: story.seed,
                                    saved: reader.saved()});
}

// Runs one of the module's events, shows what it says, keeps the story and draws it.
function act(event) {
    let failure = '';
    try {
        failure = event();
    } catch (error) {
        failure = `Внутренняя ошибка страницы: ${error.message}`;
    }
    if (failure)
        say(failure);
    keepStory();
    draw();
}

function randomSeed() {
    const [high, low] = crypto.getRandomValues(new Uint32Array(2));
    return (high >>> 11) * 2 ** 32 + low;
}

function addressSeed() {
    const text = new URLSearchParams(location.search).get('seed');
    if (text === null)
        return null;
    const seed = /^\d{1,16}$/.test(text) ? Number(text) : NaN;
    if (seed <= LARGEST_SEED)
        return seed;
    say(`Число seed=${text} в адресе не подходит: нужно целое от 0 до ${LARGEST_SEED}. ` +
        'Рассказ начат со случайного.');
    return null;
}

// What the story says of itself, from its story.json: five strings, or null.
function metadataOf(opened) {
    let metadata = null;
    try {
        metadata = JSON.parse(opened.metadataJson());
    } catch {
        return null;
    }
    const fields = ['identifier', 'version', 'title', 'author', 'about'];
    return metadata !== null && typeof metadata === 'object' &&
        fields.every((field) => typeof metadata[field] === 'string') ? metadata : null;
}

// Puts an opened story in place of the one told: the kept story of the same identifier is
// resumed, unless the address asks for another seed.
function begin(next, metadata) {
    const kept = readKept(storyKey(metadata));
    const settings = readKept(settingsKey(metadata));
    const resuming = kept !== null && Number.isSafeInteger(kept.seed) &&
        (askedSeed === null || askedSeed === kept.seed);
    const seed = resuming ? kept.seed : askedSeed ?? randomSeed();
    const failure = next.start(seed);
    if (failure) {
        next.delete();
        say(failure);
        return;
    }
    // The reader's own settings, over the story's, from the next tick on as in the window.
    if (settings)
        next.setSettings(settings.waitingPeriod, settings.switchProbability);
    if (reader)
        reader.delete();
    reader = next;
    story = {metadata, seed};
    shownLines = 0;
    $('story').replaceChildren();
    document.title = metadata.title;
    $('title').textContent = metadata.title;
    if (resuming) {
        const refusal = reader.resume(kept.saved);
        if (refusal)
            say(`${refusal}\nНачат новый рассказ.`);
    }
    shownFinished = reader.view().finished;
    keepStory();
    quietly(draw);
}

// The lines a story comes back with are there to reread, not to be read out at once: the log
// speaks only of what is told after them.
function quietly(fill) {
    const log = $('story');
    log.setAttribute('aria-live', 'off');
    fill();
    setTimeout(() => log.removeAttribute('aria-live'), 250);
}

function openStory(bytes, name) {
    const next = new core.StoryReader();
    const failure = next.open(bytes, name);
    const metadata = failure ? null : metadataOf(next);
    if (!metadata) {
        next.delete();
        say(`Рассказ «${name}» не открыт.\n${failure || 'Файл рассказа не читается: в его ' +
            'story.json нет текстовых полей identifier, version, title, author и about.'}`);
        return;
    }
    begin(next, metadata);
}

async function openFile(file) {
    if (file.size > MOST_STORY_BYTES) {
        say(`Рассказ «${file.name}» не открыт: файл больше ${MOST_STORY_BYTES / MIB} МиБ.`);
        return;
    }
    let bytes;
    try {
        bytes = new Uint8Array(await file.arrayBuffer());
    } catch (error) {
        say(`Файл «${file.name}» не читается: ${error.message}`);
        return;
    }
    openStory(bytes, file.name);
}

function choose(slot) {
    if (!reader || !reader.view().choices[slot].visible)
        return;
    act(() => reader.choose(slot));
}

// The n-th key presses the n-th genre on offer, counted from the top.
function chooseShown(n) {
    const slot = reader.view().choices.map((c, k) => (c.visible ? k : -1)).filter((k) => k >= 0)[n];
    if (slot !== undefined)
        choose(slot);
}

function startNew() {
    const seed = randomSeed();
    act(() => {
        const failure = reader.newStory(seed);
        if (!failure) {
            story.seed = seed;
            notify('Начат новый рассказ.');
        }
        return failure;
    });
}

function askNewStory() {
    if (!reader)
        return;
    const v = reader.view();
    // In the middle of a story the reader is asked first; before the first step and after
    // the finale there is nothing to lose.
    if (v.step === 0 || v.finished)
        startNew();
    else
        openDialog('confirm-new');
}

function togglePause() {
    if (!reader || (!paused && !reader.view().countdownShown))
        return;
    paused = !paused;
    draw();
    notify(paused ? 'Отсчёт на паузе.' : 'Отсчёт продолжается.');
}

function draw() {
    if (!reader)
        return;
    const v = reader.view();
    const buttons = $('choices').querySelectorAll('button');
    let key = 0;
    v.choices.forEach((choice, k) => {
        const button = buttons[k];
        button.textContent = choice.caption;
        button.parentElement.hidden = !choice.visible;
        if (choice.visible) {
            ++key;
            button.title = `Клавиша ${key}`;
            button.setAttribute('aria-keyshortcuts', String(key));
        }
    });

    $('countdown').textContent = paused
        ? `Отсчёт на паузе, осталось ${Math.floor(v.countdownMs / 1000)} с`
        : v.countdownText;
    $('countdown').parentElement.hidden = !v.countdownShown;
    $('pause').hidden = !v.countdownShown;
    $('pause').setAttribute('aria-pressed', String(paused));

    drawLines(v.lineCount);
    if (v.finished && !shownFinished)
        notify(FINALE_NOTICE);
    shownFinished = v.finished;

    const button = $('new-story');
    button.classList.toggle('blinking', v.blinking);
    button.classList.toggle('lit', v.blinking && v.buttonLit);

    follow('tick', v.countdownRunning && !paused && messages.length === 0, TICK_MS,
           () => act(() => reader.tick()));
    // The blink is no move: nothing to keep.
    follow('blink', v.blinking, BLINK_MS, () => {
        reader.blink();
        draw();
    });
}

// Appends the lines told since the last drawing; the view follows the end unless the reader
// has scrolled back.
function drawLines(count) {
    const log = $('story');
    if (count < shownLines) {
        log.replaceChildren();
        shownLines = 0;
    }
    if (count === shownLines)
        return;
    const atEnd = log.scrollTop + log.clientHeight >= log.scrollHeight - 4;
    log.append(...reader.lines(shownLines + 1, count - shownLines).map((line) => paragraph(line)));
    shownLines = count;
    if (atEnd)
        log.scrollTop = log.scrollHeight;
}

function secondsInWords(seconds) {
    const tens = seconds % 100;
    const units = seconds % 10;
    const word = tens >= 11 && tens <= 14 ? 'секунд'
        : units === 1 ? 'секунда'
        : units >= 2 && units <= 4 ? 'секунды' : 'секунд';
    return `${seconds} ${word}`;
}

function settingWords() {
    const waiting = Number($('waiting').value);
    const words = [secondsInWords(waiting === 0 ? 1 : waiting), `${$('switching').value} %`];
    [['waiting', words[0]], ['switching', words[1]]].forEach(([id, text]) => {
        $(id).setAttribute('aria-valuetext', text);
        $(`${id}-words`).textContent = text;
    });
}

function openSettings() {
    if (!reader)
        return;
    const now = readKept(settingsKey(story.metadata)) ?? reader.settings();
    // As in the window, settings that do not read open no dialog.
    if (now.error) {
        say(`Установки не открыты.\n${now.error}`);
        return;
    }
    $('waiting').value = now.waitingPeriod * PERIOD_UNIT_S;
    $('switching').value = now.switchProbability * PERCENT_UNIT;
    settingWords();
    openDialog('settings');
}

function applySettings() {
    const chosen = {waitingPeriod: Number($('waiting').value) / PERIOD_UNIT_S,
                    switchProbability: Number($('switching').value) / PERCENT_UNIT};
    act(() => {
        const failure = reader.setSettings(chosen.waitingPeriod, chosen.switchProbability);
        if (!failure)
            keep(settingsKey(story.metadata), chosen);
        return failure;
    });
}

function openAbout() {
    const metadata = story ? story.metadata : null;
    $('about-title').textContent = metadata ? metadata.title : '';
    $('about-author').textContent = metadata ? `Автор: ${metadata.author}` : '';
    $('about-version').textContent = metadata ? `Версия ${metadata.version}` : '';
    $('about-text').replaceChildren(
        ...(metadata ? metadata.about.split('\n') : []).map((line) => paragraph(line)));
    $('about').querySelector('section').hidden = !metadata;
    openDialog('about');
}

// A dialog closed with Escape keeps the last answer given: each opening starts with none.
function openDialog(id) {
    $(id).returnValue = '';
    $(id).showModal();
}

function onKey(event) {
    if (event.ctrlKey || event.altKey || event.metaKey || document.querySelector('dialog[open]'))
        return;
    // The digits by their keys, also where a layout needs Shift for them.
    const digit = /^(?:Digit|Numpad)([1-9])$/.exec(event.code)?.[1] ??
        (/^[1-9]$/.test(event.key) ? event.key : null);
    if (digit !== null && reader) {
        event.preventDefault();
        chooseShown(Number(digit) - 1);
    } else if (event.code === 'KeyP' || /^[pPзЗ]$/.test(event.key)) {
        event.preventDefault();
        togglePause();
    }
}

function wire() {
    const list = $('choices');
    for (let k = 0; k < SLOTS; ++k) {
        const item = document.createElement('li');
        const button = document.createElement('button');
        button.type = 'button';
        button.addEventListener('click', () => choose(k));
        item.append(button);
        item.hidden = true;
        list.append(item);
    }
    $('new-story').addEventListener('click', askNewStory);
    $('pause').addEventListener('click', togglePause);
    $('open-settings').addEventListener('click', openSettings);
    $('open-about').addEventListener('click', openAbout);
    $('open-file').addEventListener('click', () => $('story-file').click());
    $('story-file').addEventListener('change', (event) => {
        const [file] = event.target.files;
        event.target.value = '';
        if (file && core)
            openFile(file);
    });
    $('confirm-new').addEventListener('close', () => {
        if ($('confirm-new').returnValue === 'new')
            startNew();
    });
    $('settings').addEventListener('input', settingWords);
    // As in the window, Enter on a slider confirms nothing: only «ОК» does.
    $('settings').addEventListener('keydown', (event) => {
        if (event.key === 'Enter' && event.target.matches('input'))
            event.preventDefault();
    });
    $('settings').addEventListener('close', () => {
        if ($('settings').returnValue === 'ok')
            applySettings();
    });
    $('message').addEventListener('close', () => {
        messages.shift();
        if (messages.length > 0)
            showMessage();
        draw();
    });
    document.addEventListener('keydown', onKey);
    document.addEventListener('dragover', (event) => {
        if (event.dataTransfer.types.includes('Files'))
            event.preventDefault();
    });
    document.addEventListener('drop', (event) => {
        event.preventDefault();
        const files = event.dataTransfer.files;
        if (files.length !== 1)
            say('Перетащите на страницу один файл рассказа (.vorta).');
        else if (core)
            openFile(files[0]);
    });
}

async function main() {
    wire();
    askedSeed = addressSeed();
    // Offline copies need a service worker, which browsers allow over https and on localhost;
    // elsewhere the page works online only, as it is.
    if ('serviceWorker' in navigator)
        navigator.serviceWorker.register('service-worker.js').catch(() => {});
    const bytes = await loaded();
    if (bytes)
        openStory(bytes, STORY_FILE);
    $('window').setAttribute('aria-busy', 'false');
}

// The module and the story beside the page, or null when either did not come.
async function loaded() {
    const again = 'Проверьте связь и обновите страницу.';
    if (typeof createVortaCore !== 'function') {
        say(`Программа рассказа (vorta-core.js) не загрузилась. ${again}`);
        return null;
    }
    try {
        core = await createVortaCore();
    } catch (error) {
        say(`Программа рассказа (vorta-core.wasm) не запустилась: ${error.message}`);
        return null;
    }
    let response;
    try {
        response = await fetch(STORY_FILE);
    } catch {
        say(`Рассказ (${STORY_FILE}) не загрузился: нет связи с сервером. ${again}`);
        return null;
    }
    if (!response.ok) {
        say(`Рассказ (${STORY_FILE}) не загрузился: сервер ответил кодом ${response.status}.`);
        return null;
    }
    const bytes = new Uint8Array(await response.arrayBuffer());
    if (bytes.length > MOST_STORY_BYTES) {
        say(`Рассказ (${STORY_FILE}) не открыт: он больше ${MOST_STORY_BYTES / MIB} МиБ.`);
        return null;
    }
    return bytes;
}

main();

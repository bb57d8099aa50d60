// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the page, the module and the story for reading offline. Online every file comes from
// the network, so a new version of the story is read at once, and its copy is kept for later.
'use strict';

const CACHE = 'vorta-page';
const FILES = ['./', 'index.html', 'page.js', 'page.css', 'vorta-core.js', 'vorta-core.wasm',
               'story.vorta', 'manifest.webmanifest', 'icon.svg', 'icon-128.png', 'icon-256.png'];
const KEPT = new Set(FILES.map((name) => new URL(name, self.registration.scope).href));

self.addEventListener('install', (event) => {
    event.waitUntil(caches.open(CACHE)
                        .then((cache) => cache.addAll(FILES.map((name) => new Request(name, {cache: 'reload'}))))
                        .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(self.clients.claim());
});

self.addEventListener('fetch', (event) => {
    const request = event.request;
    // The page's address may carry a seed: the page is the same.
    const url = new URL(request.mode === 'navigate' ? self.registration.scope : request.url);
    url.search = '';
    if (request.method !== 'GET' || !KEPT.has(url.href))
        return;
    event.respondWith(fromNetwork(request, url.href));
});

async function fromNetwork(request, name) {
    const cache = await caches.open(CACHE);
    try {
        const response = await fetch(request);
        if (response.ok)
            await cache.put(name, response.clone());
        return response;
    } catch (offline) {
        const kept = await cache.match(name);
        if (kept)
            return kept;
        throw offline;
    }
}

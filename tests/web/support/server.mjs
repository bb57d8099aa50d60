// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A static server of one folder on 127.0.0.1, on a free port, as a plain web server serves the
// page: no caching headers, the types browsers insist on.
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import {extname, join, normalize} from 'node:path';

const TYPES = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.wasm': 'application/wasm',
    '.webmanifest': 'application/manifest+json',
    '.svg': 'image/svg+xml',
    '.png': 'image/png',
};

export async function serve(folder) {
    const server = createServer(async (request, response) => {
        const path = decodeURIComponent(new URL(request.url, 'http://host').pathname);
        const file = join(folder, normalize(path.endsWith('/') ? `${path}index.html` : path));
        try {
            const body = await readFile(file);
            response.writeHead(200, {'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream'});
            response.end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise((done) => server.listen(0, '127.0.0.1', done));
    return {
        url: `http://127.0.0.1:${server.address().port}/`,
        // Stops at once, dropping the connections a browser keeps open.
        stop: () => new Promise((done) => {
            server.close(done);
            server.closeAllConnections();
        }),
    };
}

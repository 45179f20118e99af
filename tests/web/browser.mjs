// SPDX-License-Identifier: MIT
// What the page's tests and its benchmark share: a static file server of
// their own and headless Chromium.
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

import puppeteer from 'puppeteer-core';

// Serves the files of `root` on 127.0.0.1 at the port, or a free one, as any
// static server would: no special headers, the usual types.
export function serve(root, port = 0) {
  const types = {
    '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
    '.webmanifest': 'application/manifest+json', '.png': 'image/png', '.txt': 'text/plain',
  };
  const server = http.createServer((request, response) => {
    const name = new URL(request.url, 'http://page').pathname;
    const file = path.join(root, name === '/' ? 'index.html' : path.normalize(name));
    fs.readFile(file, (error, data) => {
      if (error || !file.startsWith(root)) {
        response.writeHead(404);
        response.end();
        return;
      }
      response.writeHead(200, { 'content-type': types[path.extname(file)] ?? 'application/octet-stream' });
      response.end(data);
    });
  });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}

// Debian's Chromium, headless, as root, with software WebGL, and without the
// calls home that a closed network refuses; its profile in a new folder of
// `work`.
export function launch(work, extraArguments = []) {
  return puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    userDataDir: fs.mkdtempSync(path.join(work, 'profile-')),
    args: [
      '--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', '--disable-quic', ...extraArguments,
    ],
  });
}

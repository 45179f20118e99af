// SPDX-License-Identifier: MIT
// What the page's tests and its benchmark share: a static file server of
// their own, and the three browser engines behind puppeteer's page
// operations: Chromium and Firefox through puppeteer-core, WebKitGTK through
// WebDriver.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

import puppeteer from 'puppeteer-core';

import { consoleCapture, launchWebKit } from './webdriver.mjs';

export const engineNames = ['chromium', 'firefox', 'webkit'];

// Serves the files of `root` on 127.0.0.1 at the port, or a free one, as any
// static server would: the usual types, and no other header than `headers`.
// `served` gets the path of each request.
export function serve(root, port = 0, { headers = {}, served = [] } = {}) {
  const types = {
    '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
    '.webmanifest': 'application/manifest+json', '.png': 'image/png', '.txt': 'text/plain',
  };
  const server = http.createServer((request, response) => {
    const name = new URL(request.url, 'http://page').pathname;
    served.push(name);
    const file = path.join(root, name === '/' ? 'index.html' : path.normalize(name));
    fs.readFile(file, (error, data) => {
      if (error || !file.startsWith(root)) {
        response.writeHead(404);
        response.end();
        return;
      }
      const type = types[path.extname(file)] ?? 'application/octet-stream';
      response.writeHead(200, { ...headers, 'content-type': type });
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

function withHead(html, inject) {
  return html.replace('<head>', `<head>\n${inject}`);
}

// Starts Xvfb, with GLX, on a free display; resolves to its name and process.
function startDisplay(log) {
  return new Promise((resolve, reject) => {
    const server = spawn('Xvfb', ['-displayfd', '3', '-nolisten', 'tcp', '-noreset', '+extension', 'GLX',
      '-screen', '0', '2560x2048x24'], { stdio: ['ignore', 'ignore', fs.openSync(log, 'a'), 'pipe'] });
    let text = '';
    server.stdio[3].on('data', (data) => {
      text += data;
      if (text.includes('\n')) resolve({ name: `:${text.trim()}`, server });
    });
    server.on('exit', () => reject(new Error(`Xvfb did not start: ${log}`)));
  });
}

// One engine's browsers for the cases of a run: a shared one, and others for
// the settings that a browser takes at its start (`webgl: false`, `scale`).
// `open` gives a page and the record of its console, errors and requests;
// `hide` and `show` take a page out of sight and back; `fileUrl` gives the
// address of a local file as the engine must open it.
//
// Downloads (a saved moment's picture) go to `work`/downloads, never to the
// user's own folder.
export async function startEngine(name, work) {
  const display = name === 'chromium' ? null : await startDisplay(path.join(work, 'xvfb.log'));
  const downloads = path.join(work, 'downloads');
  fs.mkdirSync(downloads, { recursive: true });
  const browsers = new Map();
  const others = new Map();

  async function start({ webgl = true, scale = 1 } = {}) {
    switch (name) {
      case 'chromium':
        return launch(work, webgl ? [] : ['--disable-webgl', '--disable-3d-apis']);
      case 'firefox':
        return puppeteer.launch({
          browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true,
          env: { ...process.env, DISPLAY: display.name },
          extraPrefsFirefox: {
            'browser.download.dir': downloads, 'browser.download.folderList': 2,
            'browser.download.useDownloadDir': true,
            'browser.download.always_ask_before_handling_new_types': false,
            ...(webgl ? {} : { 'webgl.disabled': true }),
          },
        });
      case 'webkit':
        return launchWebKit({ display: display.name, scale, log: path.join(work, 'webdriver.log'),
          downloads, browserArguments: webgl ? [] : ['--enable-webgl=false'] });
      default:
        throw new Error(`no engine ${name}`);
    }
  }

  return {
    name,
    downloads,
    async browser(options = {}) {
      const key = JSON.stringify(options);
      if (!browsers.has(key)) browsers.set(key, await start(options));
      return browsers.get(key);
    },

    // `opened` gets the page at once, so that a case's end closes it even
    // when it failed to load.
    async open(browser, url, viewport, opened) {
      const page = await browser.newPage();
      opened.push(page);
      if (name === 'firefox') {
        // NOTE: puppeteer-core asks WebDriver BiDi for a screen orientation
        // with every viewport, a command that Firefox ESR 140 does not know;
        // the viewport itself is set all the same.
        const setViewport = page.setViewport.bind(page);
        page.setViewport = (viewport) => setViewport(viewport).catch((error) => {
          if (!String(error?.message).includes('unknown command emulation.setScreenOrientationOverride')) throw error;
        });
      }
      const record = { console: [], errors: [], requests: [], sync: async () => record };
      if (name === 'webkit') {
        record.sync = async () => {
          const seen = await page.captured({ console: record.console.length, errors: record.errors.length });
          record.console.push(...seen.console);
          record.errors.push(...seen.errors);
          record.requests = await page.evaluate(() => [location.href,
            ...performance.getEntriesByType('resource').map((entry) => entry.name)]);
          return record;
        };
      } else {
        if (name === 'chromium') {
          const session = await page.createCDPSession();
          await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
        }
        page.on('console', (message) => record.console.push({ type: message.type(), text: message.text() }));
        page.on('pageerror', (error) => record.errors.push(String(error)));
        page.on('request', (request) => record.requests.push(request.url()));
      }
      await page.setViewport(viewport);
      await page.goto(url, { waitUntil: 'load' });
      return { page, record };
    },

    async hide(page) {
      if (name === 'webkit') return page.hide();
      const other = await page.browser().newPage();
      others.set(page, other);
      return other.bringToFront();
    },

    async show(page) {
      if (name === 'webkit') return page.show();
      await page.bringToFront();
      await others.get(page)?.close();
      others.delete(page);
    },

    // For WebKit, a copy of the file (with its folder, for a page of more
    // files than one) that carries the console capture.
    fileUrl(file, query = '', { folder = false } = {}) {
      if (name !== 'webkit') return `file://${file}${query}`;
      const where = fs.mkdtempSync(path.join(work, 'file-'));
      if (folder) fs.cpSync(path.dirname(file), where, { recursive: true });
      const copy = path.join(where, path.basename(file));
      fs.writeFileSync(copy, withHead(fs.readFileSync(file, 'utf8'), consoleCapture));
      return `file://${copy}${query}`;
    },

    // What goes first in the <head> of the page's HTML for this engine.
    inject: name === 'webkit' ? consoleCapture : '',

    async close() {
      for (const browser of browsers.values()) await browser.close().catch(() => {});
      display?.server.kill();
    },
  };
}

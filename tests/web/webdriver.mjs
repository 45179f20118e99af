// SPDX-License-Identifier: MIT
// WebKitGTK driven over the W3C WebDriver HTTP protocol (WebKitWebDriver and
// its MiniBrowser), behind the few page operations that the page's tests use
// of puppeteer's, so that the same cases run in it.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';

const miniBrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// What the test's server puts first in <head> for WebKit: the console's
// messages and the uncaught errors kept in the page, since the driver passes
// none of them on.
export const consoleCapture = `<script>
(() => {
  const log = window.__quillantConsole = [];
  const errors = window.__quillantErrors = [];
  for (const type of ['log', 'info', 'warn', 'error', 'debug']) {
    const original = console[type].bind(console);
    console[type] = (...parts) => { log.push({ type, text: parts.map(String).join(' ') }); original(...parts); };
  }
  addEventListener('error', (event) => errors.push(String(event.error ?? event.message)));
  addEventListener('unhandledrejection', (event) => errors.push(String(event.reason)));
})();
</script>`;

// A free TCP port on 127.0.0.1.
function freePort() {
  return new Promise((resolve) => {
    const probe = net.createServer().listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

// Starts WebKitWebDriver on the X display, its windows at the integer
// scale, with MiniBrowser's own switches after --automation; one session.
// Its downloads go to the folder `downloads`, through the XDG user folders
// of a configuration of its own there.
export async function launchWebKit({ display, scale = 1, browserArguments = [], log, downloads }) {
  const port = await freePort();
  const config = `${downloads}/.config`;
  fs.mkdirSync(config, { recursive: true });
  fs.writeFileSync(`${config}/user-dirs.dirs`, `XDG_DOWNLOAD_DIR="${downloads}"\n`);
  const driver = spawn('WebKitWebDriver', [`--port=${port}`], {
    env: { ...process.env, DISPLAY: display, GDK_SCALE: String(scale), XDG_CONFIG_HOME: config },
    stdio: ['ignore', fs.openSync(log, 'a'), fs.openSync(log, 'a')],
  });
  const root = `http://127.0.0.1:${port}`;
  for (let tries = 50; ; tries--) {
    try {
      if ((await fetch(`${root}/status`)).ok) break;
    } catch {
      if (tries === 0) throw new Error(`WebKitWebDriver did not answer on port ${port}`);
    }
    await sleep(100);
  }
  const capabilities = browserArguments.length === 0 ? {} : {
    alwaysMatch: { 'webkitgtk:browserOptions': { binary: miniBrowser, args: ['--automation', ...browserArguments] } },
  };
  const response = await (await fetch(`${root}/session`, {
    method: 'POST', body: JSON.stringify({ capabilities }),
  })).json();
  if (!response.value?.sessionId) throw new Error(`no WebKit session: ${JSON.stringify(response.value)}`);
  return new WebKitBrowser(driver, `${root}/session/${response.value.sessionId}`, scale);
}

class WebKitBrowser {
  constructor(driver, session, scale) {
    this.driver = driver;
    this.session = session;
    this.scale = scale;
    this.current = null;
    this.unused = null;
  }

  // One WebDriver command; its value, or an exception with the driver's message.
  async command(method, where, body) {
    const response = await fetch(`${this.session}${where}`, {
      method, headers: { 'content-type': 'application/json' },
      body: body === undefined ? undefined : JSON.stringify(body),
    });
    const { value } = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${method} ${where}: ${value?.error}: ${value?.message}`);
    return value;
  }

  // The session's first window serves the first page; later pages are
  // windows of their own, as a page in a background tab would be hidden.
  async newPage() {
    let handle;
    if (this.unused === null) {
      handle = await this.command('GET', '/window');
      this.unused = false;
    } else {
      handle = (await this.command('POST', '/window/new', { type: 'window' })).handle;
    }
    const page = new WebKitPage(this, handle);
    await page.bringToFront();
    return page;
  }

  async close() {
    try {
      await fetch(this.session, { method: 'DELETE' });
    } finally {
      this.driver.kill();
    }
  }
}

class WebKitPage {
  constructor(browser, handle) {
    this.browser = browser;
    this.handle = handle;
    this.keyboard = { press: (key) => this.act([{ type: 'key', id: 'keyboard', actions: [
      { type: 'keyDown', value: key }, { type: 'keyUp', value: key }] }]) };
    this.mouse = {
      move: (x, y) => this.act([pointer([{ type: 'pointerMove', x, y }])]),
      click: (x, y, { count = 1 } = {}) => this.act([pointer([{ type: 'pointerMove', x, y },
        ...Array.from({ length: count }, () => [
          { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }]).flat()])]),
    };
  }

  async command(method, where, body) {
    if (this.browser.current !== this.handle) await this.bringToFront();
    return this.browser.command(method, where, body);
  }

  async bringToFront() {
    await this.browser.command('POST', '/window', { handle: this.handle });
    this.browser.current = this.handle;
  }

  async goto(url) {
    await this.command('POST', '/url', { url });
  }

  async reload() {
    await this.command('POST', '/refresh', {});
  }

  // Runs the function in the page with the arguments, as puppeteer's evaluate.
  async evaluate(fn, ...args) {
    return this.command('POST', '/execute/sync', { script: `return (${fn}).apply(null, arguments);`, args });
  }

  async screenshot({ path }) {
    fs.writeFileSync(path, Buffer.from(await this.command('GET', '/screenshot'), 'base64'));
  }

  // Sizes the window so that the page's viewport has the CSS size asked for;
  // the pixel ratio is the browser's scale, fixed when it started.
  async setViewport({ width, height, deviceScaleFactor = 1 }) {
    if (deviceScaleFactor !== this.browser.scale) {
      throw new Error(`WebKit here has the pixel ratio of its start (${this.browser.scale}), not ${deviceScaleFactor}`);
    }
    let rect = { width, height };
    let inner;
    for (let tries = 0; tries < 5; tries++) {
      await this.command('POST', '/window/rect', rect);
      // NOTE: a busy or new window takes a moment to lay its page out anew.
      for (let polls = 0; polls < 20; polls++) {
        inner = await this.evaluate(() => [innerWidth, innerHeight]);
        if (inner[0] === width && inner[1] === height) return;
        if (polls >= 2 && inner[0] === rect.width) break;
        await sleep(100);
      }
      rect = { width: rect.width + width - inner[0], height: rect.height + height - inner[1] };
    }
    throw new Error(`the viewport is ${inner.join(' x ')}, not ${width} x ${height}`);
  }

  // The window minimised, which hides the page, and shown again.
  async hide() {
    await this.command('POST', '/window/minimize', {});
  }

  async show() {
    const [width, height] = await this.evaluate(() => [innerWidth, innerHeight]);
    await this.command('POST', '/window/rect', { x: 0, y: 0 });
    await this.setViewport({ width, height, deviceScaleFactor: this.browser.scale });
  }

  async click(selector) {
    const element = await this.command('POST', '/element', { using: 'css selector', value: selector });
    await this.command('POST', `/element/${Object.values(element)[0]}/click`, {});
  }

  async act(actions) {
    await this.command('POST', '/actions', { actions });
    await this.command('DELETE', '/actions');
  }

  // Closes the tab; the session's last window, which would end the session,
  // is left blank for the next page instead.
  async close() {
    if ((await this.command('GET', '/window/handles')).length > 1) {
      // A session with no current window takes no command, a new tab included.
      const [left] = await this.command('DELETE', '/window');
      await this.browser.command('POST', '/window', { handle: left });
      this.browser.current = left;
    } else {
      await this.goto('about:blank');
      this.browser.unused = null;
    }
  }

  // The console and the errors that the capture script kept since the page
  // loaded, from entry `from` on.
  async captured(from) {
    return this.evaluate((from) => ({
      console: (window.__quillantConsole ?? []).slice(from.console),
      errors: (window.__quillantErrors ?? []).slice(from.errors),
    }), from);
  }
}

function pointer(actions) {
  return { type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions };
}

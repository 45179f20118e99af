// SPDX-License-Identifier: MIT
// The time to open the page on a moment: from the address to the first
// frame drawn, in headless Chromium, for moments 1 minute, 10 minutes and an
// hour in (1,200, 12,000 and 72,000 frames at 20 a second), against the same
// seed opened at its start, and their ratios: what the fast-forward costs.
// Each the median of several loads, each in a page of its own.
//
//   node bench/moment-open.mjs PAGE_DIR QUILLANT_SNAPSHOT [LOADS, default 5]
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import { launch, serve } from '../tests/web/browser.mjs';

const [pageDir, snapshot, loadsText] = process.argv.slice(2);
const loads = Number(loadsText ?? 5);
const seed = 60;
const moments = [['1 minute', 1200], ['10 minutes', 12000], ['1 hour', 72000]];

// The milliseconds from the navigation to the page's first frame, which a
// script of the page's own notes on the animation frame that sees it.
async function firstFrameMs(browser, url) {
  const page = await browser.newPage();
  try {
    await page.setViewport({ width: 1024, height: 768 });
    await page.evaluateOnNewDocument(() => {
      const look = () => {
        if (typeof Module !== 'undefined' && Module.calledRun && Module._quillant_frames_drawn() > 0) {
          window.firstFrameMs = performance.now();
        } else {
          requestAnimationFrame(look);
        }
      };
      requestAnimationFrame(look);
    });
    await page.goto(url, { waitUntil: 'load' });
    await page.waitForFunction(() => window.firstFrameMs !== undefined, { timeout: 60000, polling: 50 });
    return page.evaluate(() => window.firstFrameMs);
  } finally {
    await page.close();
  }
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'moment-open-'));
const server = await serve(path.resolve(pageDir));
const origin = `http://127.0.0.1:${server.address().port}`;
const browser = await launch(work);
try {
  const queries = moments.map(([, frame]) => {
    const said = spawnSync(snapshot, ['--seed', String(seed), '--frame', String(frame), '--size', '64x48',
      '--out', path.join(work, 'shots'), '--quiet'], { encoding: 'utf8' }).stderr;
    const query = /the moment \?(\S+)/.exec(said)?.[1];
    if (!query) throw new Error(`quillant-snapshot said: ${said}`);
    return query;
  });
  // A load first, so that every measured one finds the browser warm.
  await firstFrameMs(browser, `${origin}/?seed=${seed}`);
  const bare = [];
  const opened = moments.map(() => []);
  for (let load = 0; load < loads; load++) {
    bare.push(await firstFrameMs(browser, `${origin}/?seed=${seed}`));
    for (let i = 0; i < moments.length; i++) opened[i].push(await firstFrameMs(browser, `${origin}/?${queries[i]}`));
  }
  const base = median(bare);
  console.log(`moment-open: seed ${seed}, 1024x768, the median of ${loads} loads, from the address to the first frame`);
  console.log(`moment-open:   ${'at its start'.padEnd(12)} ${base.toFixed(0).padStart(6)} ms`);
  moments.forEach(([name, frame], i) => {
    const ms = median(opened[i]);
    console.log(`moment-open:   ${name.padEnd(12)} ${ms.toFixed(0).padStart(6)} ms, ratio ${(ms / base).toFixed(2)}, ` +
      `the fast-forward ${(ms - base).toFixed(0)} ms (frame ${frame}: ?${queries[i].replace(/&orbit=.*/, '')})`);
  });
} finally {
  await browser.close();
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
}

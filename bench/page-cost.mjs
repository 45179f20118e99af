// SPDX-License-Identifier: MIT
// The page's cost: the whole headless Chromium's CPU per frame while the page
// draws at 20 frames a second, against a bare page that only clears the same
// canvas at the same period (bare-page.html), and their ratio; each process
// of the browser apart, to see where the difference goes.
//
//   node bench/page-cost.mjs PAGE_DIR [SECONDS, default 30]
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { launch, serve } from '../tests/web/browser.mjs';

const [pageDir, secondsText] = process.argv.slice(2);
const seconds = Number(secondsText ?? 30);
const warmUp = 5;
const period = 50000;
const here = path.dirname(fileURLToPath(import.meta.url));
const ticksPerSecond = Number(execFileSync('getconf', ['CLK_TCK']));
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The kind of each process of the browser (the browser itself, the renderer,
// the GPU process, ...) with its user and system CPU so far, in ticks.
function browserTicks(rootPid) {
  const children = new Map();
  const ticks = new Map();
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const parent = Number(fields[1]);
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push(Number(entry));
      ticks.set(Number(entry), Number(fields[11]) + Number(fields[12]));
    } catch {
      // It ended meanwhile.
    }
  }
  const byKind = {};
  const visit = (pid) => {
    let kind = 'browser';
    try {
      const line = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      kind = /--type=([a-z-]+)/.exec(line)?.[1] ?? 'browser';
      if (kind === 'utility') kind = /--utility-sub-type=(\w+)/.exec(line)?.[1] ?? kind;
    } catch {
      return;
    }
    byKind[kind] = (byKind[kind] ?? 0) + (ticks.get(pid) ?? 0);
    for (const child of children.get(pid) ?? []) visit(child);
  };
  visit(rootPid);
  return byKind;
}

// The CPU in ms per frame of the browser showing `url`, each kind of process
// apart and in all.
async function costPerFrame(work, url) {
  const browser = await launch(work);
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1024, height: 768 });
    await page.goto(url, { waitUntil: 'load' });
    await sleep(warmUp * 1000);
    const before = browserTicks(browser.process().pid);
    const scriptBefore = (await page.metrics()).ScriptDuration;
    await sleep(seconds * 1000);
    const after = browserTicks(browser.process().pid);
    const scriptAfter = (await page.metrics()).ScriptDuration;
    const frames = seconds * 1e6 / period;
    const cost = {};
    for (const kind of Object.keys(after)) {
      cost[kind] = (1000 * ((after[kind] ?? 0) - (before[kind] ?? 0)) / ticksPerSecond) / frames;
    }
    cost.all = Object.values(cost).reduce((sum, value) => sum + value, 0);
    // The page's own script and WebAssembly on the renderer's main thread.
    cost.script = (1000 * (scriptAfter - scriptBefore)) / frames;
    return cost;
  } finally {
    await browser.close();
  }
}

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'page-cost-'));
const root = path.join(work, 'pages');
fs.cpSync(pageDir, root, { recursive: true });
fs.copyFileSync(path.join(here, 'bare-page.html'), path.join(root, 'bare.html'));
const server = await serve(root);
const origin = `http://127.0.0.1:${server.address().port}`;
try {
  const quillant = await costPerFrame(work, `${origin}/index.html?delay=${period}`);
  const bare = await costPerFrame(work, `${origin}/bare.html?delay=${period}`);
  const format = (value) => (value ?? 0).toFixed(3).padStart(8);
  console.log(`page-cost: 1024x768, one frame every ${period} µs, ${seconds} s measured, whole browser's CPU`);
  console.log(`page-cost: ${'ms of CPU per frame'.padEnd(26)}quillant      bare`);
  const kinds = [...new Set([...Object.keys(quillant), ...Object.keys(bare)])]
    .filter((kind) => kind !== 'all' && kind !== 'script').sort();
  for (const kind of kinds) {
    console.log(`page-cost:   ${kind.padEnd(24)}${format(quillant[kind])}  ${format(bare[kind])}`);
  }
  console.log(`page-cost:   ${'all'.padEnd(24)}${format(quillant.all)}  ${format(bare.all)}`);
  console.log(`page-cost:   ${'of which the page\'s script'.padEnd(24)}${format(quillant.script)}  ${format(bare.script)}`);
  console.log(`page-cost: ratio ${(quillant.all / bare.all).toFixed(2)}`);
} finally {
  server.close();
  fs.rmSync(work, { recursive: true, force: true });
}

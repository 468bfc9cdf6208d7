// node scripts/frame-times.js [--rounds N] [--frames N] [--site DIR]...: the
// viewer's start-up and frame times on the desktop and in the browser, side by
// side, in turns (desktop, browser, desktop, ...) so that a busy machine slows
// both alike.
//
// - Desktop: build/bench/vx_frame_bench in data/, on an Xvfb of its own
//   (Mesa's llvmpipe), paced at 60 Hz as the viewer is.
// - Browser: build-web/site/ (or each --site in turn, to compare builds)
//   served as ./web serves it, in Debian's Chromium headless with software
//   WebGL (SwiftShader), launched as the browser tests launch it.
//   index.html?shot gives the time from the start of the page's load to the
//   first full view ("shot ready" in the title, seen by a mutation observer)
//   and the frames drawn by then; index.html then gives the frame-to-frame
//   times of the same frames, from a timer that reads _voxelview_frames_drawn()
//   whenever the page's thread is free (at most about 4 ms late: browsers
//   clamp chained timers to 4 ms).
//
// --rounds: how many turns (3); --frames: frames of flight timed after the
// first full view (300). Needs the native build with its tests (./test builds
// both) and the browser build (./web --build-only). Prints each round and the
// medians of the rounds.
'use strict';

const fs = require('node:fs');
const path = require('node:path');

const ROOT = path.join(__dirname, '..');
process.env.VX_SOURCE ||= ROOT;
process.env.VX_BUILD ||= path.join(ROOT, 'build');
process.env.VX_WEB_BUILD ||= path.join(ROOT, 'build-web');
process.env.VX_NODE_MODULES ||= path.join(process.env.VX_BUILD, 'tests', 'browser', 'npm', 'node_modules');
const support = require('../tests/browser/support.js');

function parseArguments(argv) {
  const options = { rounds: 3, frames: 300, sites: [] };
  for (let i = 0; i < argv.length; i++) {
    const value = argv[i + 1];
    if ((argv[i] === '--rounds' || argv[i] === '--frames') && /^[1-9][0-9]*$/.test(value || '')) {
      options[argv[i].slice(2)] = Number(value);
    } else if (argv[i] === '--site' && value) {
      options.sites.push(path.resolve(value));
    } else {
      console.error('usage: node scripts/frame-times.js [--rounds N] [--frames N] [--site DIR]...');
      process.exit(2);
    }
    i++;
  }
  if (options.sites.length === 0) options.sites.push(support.SITE);
  return options;
}

const { rounds, frames: flightFrames, sites } = parseArguments(process.argv.slice(2));

// Slow software WebGL on a busy machine takes minutes; each wait ends as soon
// as its condition holds.
const DEADLINE_MS = 900000;

function median(values) {
  const s = [...values].sort((a, b) => a - b);
  const n = s.length;
  return n % 2 ? s[(n - 1) / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
}

function mean(values) {
  return values.reduce((sum, v) => sum + v, 0) / values.length;
}

// Each figure of one phase ('loading' or 'flight'): the median of the rounds.
function pick(list, phase) {
  const of = (key) => median(list.map((r) => r[phase][key]));
  return { median: of('median'), p90: of('p90'), mean: of('mean') };
}

// Nearest rank, as voxeltool bench and vx_frame_bench take it.
function p90(values) {
  const s = [...values].sort((a, b) => a - b);
  return s[Math.ceil(0.9 * s.length) - 1];
}

async function desktopRound() {
  const x = await support.startXServer();
  try {
    const { stdout } = support.run(path.join(process.env.VX_BUILD, 'bench', 'vx_frame_bench'),
      ['--frames', String(flightFrames)],
      { cwd: path.join(ROOT, 'data'), env: { ...process.env, DISPLAY: x.display }, timeout: 600000 });
    const full = /first full view: frame (\d+), (\d+) ms/.exec(stdout);
    const row = (name) => {
      const m = new RegExp(`${name}\\s+(\\d+)\\s+([\\d.]+)\\s+([\\d.]+)\\s+([\\d.]+)`).exec(stdout);
      return { median: Number(m[2]), p90: Number(m[3]), mean: Number(m[4]) };
    };
    return {
      fullMs: Number(full[2]), fullFrame: Number(full[1]),
      loading: row('interval, loading'), flight: row('interval, flight'),
    };
  } finally {
    await x.stop();
  }
}

// CPU ms spent so far by the browser's GPU process (SwiftShader draws there,
// mostly on one thread), from /proc: what the page's WebGL work costs,
// however busy the machine is.
function gpuProcessCpuMs(browser) {
  const processes = new Map();  // pid -> { parent, cpuMs, gpu }
  for (const entry of fs.readdirSync('/proc')) {
    if (!/^[0-9]+$/.test(entry)) continue;
    try {
      const stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
      const cmdline = fs.readFileSync(`/proc/${entry}/cmdline`, 'utf8');
      // The fields after the command's name, which is in parentheses.
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      processes.set(Number(entry), {
        parent: Number(fields[1]),
        cpuMs: (Number(fields[11]) + Number(fields[12])) * 10,  // utime + stime, 100 ticks a second
        gpu: cmdline.includes('--type=gpu-process'),
      });
    } catch {
      // gone meanwhile
    }
  }
  // The browser starts its GPU process through a zygote of its own.
  const descends = (pid) => {
    for (let p = pid; p > 1 && processes.has(p); p = processes.get(p).parent) {
      if (p === browser.process().pid) return true;
    }
    return false;
  };
  for (const [pid, info] of processes) {
    if (info.gpu && descends(pid)) return info.cpuMs;
  }
  throw new Error('the browser has no GPU process');
}

// Installed before the page's own scripts: when the title says the shot is
// ready, and every change of the frame count with its time.
function watchPage() {
  window.__times = { ready: null, readyFrames: null, initialized: null, frames: [] };
  const frames = () => (typeof run !== 'undefined' && run && run.initialized)
    ? run.module._voxelview_frames_drawn() : null;
  new MutationObserver(() => {
    if (window.__times.ready === null && document.title === 'voxelview: shot ready') {
      window.__times.ready = performance.now();
      window.__times.readyFrames = frames();
    }
  }).observe(document, { subtree: true, childList: true, characterData: true });
  let last = 0;
  const poll = () => {
    const n = frames();
    if (n !== null && window.__times.initialized === null) window.__times.initialized = performance.now();
    if (n !== null && n !== last) {
      window.__times.frames.push([performance.now(), n]);
      last = n;
    }
    setTimeout(poll, 0);
  };
  poll();
}

// Waits for `condition` of the page's __times; a failure tells what the page
// had come to.
async function waitOnPage(page, what, condition, argument) {
  // Read once a second from here: one long in-page wait would outlast the
  // browser protocol's own time limit.
  try {
    const deadline = Date.now() + DEADLINE_MS;
    while (!(await page.evaluate(condition, argument))) {
      if (Date.now() > deadline) throw new Error(`not within ${DEADLINE_MS / 1000} s`);
      await new Promise((resolve) => setTimeout(resolve, 1000));
    }
  } catch (error) {
    const state = await page.evaluate(() => ({
      title: document.title, output: document.getElementById('output').textContent,
      last: window.__times.frames[window.__times.frames.length - 1],
    })).catch((e) => `unreadable: ${e.message}`);
    throw new Error(`${what}: ${error.message}; the page: ${JSON.stringify(state)}; ` +
                    `page errors: ${page.errors.join('\n')}`);
  }
}

async function browserRound(browser, server) {
  const shotPage = await support.openPage(browser);
  await shotPage.evaluateOnNewDocument(watchPage);
  await shotPage.goto(server.url('index.html?shot'));
  await waitOnPage(shotPage, 'index.html?shot never showed its first full view',
                   () => window.__times.ready !== null);
  const shot = await shotPage.evaluate(() => window.__times);
  await shotPage.close();

  const page = await support.openPage(browser);
  await page.evaluateOnNewDocument(watchPage);
  const gpuBefore = gpuProcessCpuMs(browser);
  await page.goto(server.url('index.html'));
  const lastFrame = shot.readyFrames + flightFrames;
  await waitOnPage(page, `index.html never drew frame ${lastFrame}`,
                   (n) => window.__times.frames.length > 0 &&
                          window.__times.frames[window.__times.frames.length - 1][1] >= n, lastFrame);
  const { frames } = await page.evaluate(() => window.__times);
  const gpuMs = gpuProcessCpuMs(browser) - gpuBefore;
  await page.close();

  // Frames that passed between two reads share the time between them.
  const loading = [];
  const flight = [];
  let jumps = 0;
  for (let i = 1; i < frames.length; i++) {
    const [t0, n0] = frames[i - 1];
    const [t1, n1] = frames[i];
    if (n1 - n0 > 1) jumps++;
    for (let n = n0 + 1; n <= n1; n++) {
      if (n <= shot.readyFrames) loading.push((t1 - t0) / (n1 - n0));
      else if (n <= lastFrame) flight.push((t1 - t0) / (n1 - n0));
    }
  }
  return {
    fullMs: shot.ready, fullFrame: shot.readyFrames, initializedMs: shot.initialized,
    loading: { median: median(loading), p90: p90(loading), mean: mean(loading) },
    flight: { median: median(flight), p90: p90(flight), mean: mean(flight) },
    jumps, gpuMsPerFrame: gpuMs / frames[frames.length - 1][1],
  };
}

function line(name, r) {
  const f = (v) => v.toFixed(1).padStart(7);
  return `${name.padEnd(8)} ${String(Math.round(r.fullMs)).padStart(8)} ${String(r.fullFrame).padStart(6)} ` +
         `${f(r.loading.median)} ${f(r.loading.p90)} ${f(r.loading.mean)} ` +
         `${f(r.flight.median)} ${f(r.flight.p90)} ${f(r.flight.mean)}` +
         (r.initializedMs !== undefined ? `   (runtime up at ${Math.round(r.initializedMs)} ms; ` +
                                          `GPU process ${r.gpuMsPerFrame.toFixed(1)} CPU ms a frame; ` +
                                          `${r.jumps} reads saw more than one new frame)` : '');
}

async function main() {
  const servers = [];
  for (const site of sites) servers.push(await support.startServer({ site }));
  const browser = await support.launchBrowser();
  const names = ['desktop', ...sites.map((site, n) => sites.length === 1 ? 'browser' : `site ${n + 1}`)];
  const results = names.map(() => []);
  const header = `${''.padEnd(8)} ${'full ms'.padStart(8)} ${'frame'.padStart(6)} ` +
                 `${'load'.padStart(7)} ${'p90'.padStart(7)} ${'mean'.padStart(7)} ` +
                 `${'flight'.padStart(7)} ${'p90'.padStart(7)} ${'mean'.padStart(7)}`;
  try {
    console.log(`${rounds} rounds, ${flightFrames} frames of flight after the first full view; ` +
                'full: ms from the start to the first full view, and its frame; ' +
                'load, flight: frame-to-frame ms, median, p90 and mean (the mean is the ' +
                'frame rate: a browser queues its GPU work and waits only when the queue is full)');
    sites.forEach((site, n) => { if (sites.length > 1) console.log(`site ${n + 1}: ${site}`); });
    console.log(header);
    for (let r = 0; r < rounds; r++) {
      for (let n = 0; n < names.length; n++) {
        const result = n === 0 ? await desktopRound() : await browserRound(browser, servers[n - 1]);
        results[n].push(result);
        console.log(line(names[n], result));
      }
    }
  } finally {
    await browser.close();
    for (const server of servers) await server.close();
  }
  const summary = (list) => ({
    fullMs: median(list.map((r) => r.fullMs)),
    fullFrame: median(list.map((r) => r.fullFrame)),
    loading: pick(list, 'loading'),
    flight: pick(list, 'flight'),
    ...(list[0].initializedMs === undefined ? {} : {
      initializedMs: median(list.map((r) => r.initializedMs)),
      gpuMsPerFrame: median(list.map((r) => r.gpuMsPerFrame)),
      jumps: list.reduce((sum, r) => sum + r.jumps, 0),
    }),
  });
  console.log(`\nmedians of the ${rounds} rounds`);
  console.log(header);
  names.forEach((name, n) => console.log(line(name, summary(results[n]))));
  for (let n = 1; n < names.length; n++) {
    const ratio = (pick) => median(results[0].map((d, r) => pick(results[n][r]) / pick(d))).toFixed(2);
    console.log(`${names[n]} / desktop, median of the rounds' ratios: first full view ` +
                `${ratio((r) => r.fullMs)}x, flight frame interval median ${ratio((r) => r.flight.median)}x, ` +
                `p90 ${ratio((r) => r.flight.p90)}x, mean ${ratio((r) => r.flight.mean)}x`);
  }
}

main().catch((error) => {
  console.error(`frame-times: ${error.stack || error}`);
  process.exit(1);
});

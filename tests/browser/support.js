// What the browser tests share: the site served as ./web serves it, Debian's
// Chromium headless with software WebGL, pages watched for errors, a virtual
// X server of the test's own for the desktop programs, and PNG pixels.
'use strict';

const assert = require('node:assert/strict');
const { spawn, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');

// Set by tests/browser/CMakeLists.txt.
const SOURCE = process.env.VX_SOURCE;
const BUILD = process.env.VX_BUILD;
const WEB_BUILD = process.env.VX_WEB_BUILD;
const MODULES = process.env.VX_NODE_MODULES;
for (const [name, value] of Object.entries({ SOURCE, BUILD, WEB_BUILD, MODULES })) {
  if (!value) throw new Error(`VX_${name} is not set: run the tests through ctest`);
}
const SITE = path.join(WEB_BUILD, 'site');
if (!fs.existsSync(path.join(SITE, 'voxelview.wasm'))) {
  throw new Error(`${SITE} holds no built site: ./web --build-only builds it`);
}

const puppeteer = require(path.join(MODULES, 'puppeteer-core'));
const { PNG } = require(path.join(MODULES, 'pngjs'));
const { serve } = require(path.join(SOURCE, 'browser', 'serve.js'));

// Generous: software WebGL and eight WebAssembly workers on a loaded 2-core
// machine take their time. Every wait is for a condition and ends sooner.
const PAGE_DEADLINE_MS = 240000;

function temporaryDirectory(prefix) {
  return fs.mkdtempSync(path.join(os.tmpdir(), `voxelview-${prefix}-`));
}

async function startServer(options = {}) {
  const server = serve({ site: SITE, port: 0, host: '127.0.0.1', isolation: true, ...options });
  await new Promise((resolve) => server.once('listening', resolve));
  const { port } = server.address();
  return {
    url: (page) => `http://127.0.0.1:${port}/${page}`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

async function launchBrowser() {
  // Its own profile each time, and nothing that would reach the network. No
  // display either, whatever the caller's environment names: headless, it
  // needs none, and given one that does not answer, it gives pages no WebGL.
  const env = { ...process.env };
  for (const name of ['DISPLAY', 'WAYLAND_DISPLAY', 'XAUTHORITY']) delete env[name];
  return puppeteer.launch({
    executablePath: process.env.VX_CHROMIUM || '/usr/bin/chromium',
    env,
    headless: true,
    // A wait for a page's condition is one protocol call that lasts the wait.
    protocolTimeout: PAGE_DEADLINE_MS + 60000,
    args: ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--no-first-run', '--disable-quic', '--window-size=1100,1000'],
  });
}

// A page whose errors are collected: uncaught exceptions and unhandled
// rejections alike; `assertNoErrors` fails a test that had any.
async function openPage(browser, url) {
  const page = await browser.newPage();
  await page.setViewport({ width: 1100, height: 1000 });
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(String(error && error.stack || error)));
  await page.exposeFunction('__reportRejection', (text) => page.errors.push(`unhandled rejection: ${text}`));
  await page.evaluateOnNewDocument(() => {
    window.addEventListener('unhandledrejection', (event) => {
      window.__reportRejection(String(event.reason && event.reason.stack || event.reason));
    });
  });
  if (url) await page.goto(url);
  return page;
}

function assertNoErrors(page) {
  assert.deepEqual(page.errors, [], 'the page had errors');
}

async function waitForTitle(page, pattern, timeout = PAGE_DEADLINE_MS) {
  try {
    await page.waitForFunction((source) => new RegExp(source).test(document.title),
      { timeout, polling: 100 }, pattern.source);
  } catch (error) {
    const output = await page.$eval('#output', (e) => e.textContent).catch(() => '?');
    throw new Error(`the title never matched ${pattern} (it is "${await page.title()}"); ` +
                    `output: ${JSON.stringify(output)}; page errors: ${page.errors.join('\n')}`);
  }
  return page.title();
}

// The running instance's exported functions, once its runtime is up.
async function waitForProgram(page, timeout = PAGE_DEADLINE_MS) {
  await page.waitForFunction(() => typeof run !== 'undefined' && run !== null && run.initialized,
                              { timeout, polling: 100 });
}

async function canvasPixels(page) {
  const canvas = await page.$('#canvas');
  return PNG.sync.read(Buffer.from(await canvas.screenshot({ type: 'png' })));
}

// With VX_KEEP_PICTURES naming a folder, a test's pictures are kept there to
// be looked at.
function keepPicture(name, picture) {
  const dir = process.env.VX_KEEP_PICTURES;
  if (dir) fs.writeFileSync(path.join(dir, name), PNG.sync.write(picture));
}

function readPng(file) {
  return PNG.sync.read(fs.readFileSync(file));
}

// Runs `command` to the end; a failure reports its status and standard error.
function run(command, args, options = {}) {
  const result = spawnSync(command, args, { encoding: 'utf8', maxBuffer: 64 << 20, ...options });
  if (result.error) throw result.error;
  if (result.status !== (options.expectStatus ?? 0)) {
    throw new Error(`${command} ${args.join(' ')} ended with status ${result.status}` +
                    ` (signal ${result.signal}); stderr: ${result.stderr}`);
  }
  return result;
}

// A virtual X server of this test's own, whatever DISPLAY says.
async function startXServer() {
  const server = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'],
                       { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
  let stderr = '';
  server.stderr.on('data', (data) => { stderr += data; });
  const display = await new Promise((resolve, reject) => {
    let number = '';
    const deadline = setTimeout(() => reject(new Error(`Xvfb named no display in 30 s: ${stderr}`)), 30000);
    server.stdio[3].on('data', (data) => {
      number += data;
      if (number.includes('\n')) {
        clearTimeout(deadline);
        resolve(`:${number.trim()}`);
      }
    });
    server.once('exit', (code, signal) => {
      clearTimeout(deadline);
      reject(new Error(`Xvfb ended with status ${code} (signal ${signal}): ${stderr}`));
    });
  });
  return {
    display,
    stop: () => new Promise((resolve) => {
      if (server.exitCode !== null || server.signalCode !== null) return resolve();
      server.once('exit', resolve);
      server.kill('SIGTERM');
    }),
  };
}

// The desktop's `voxeltool shot` of this commit, in data/, on a server of its own.
async function desktopShot(out, args = []) {
  const x = await startXServer();
  try {
    run(path.join(BUILD, 'tools', 'voxeltool'), ['shot', ...args, '--out', out],
        { cwd: path.join(SOURCE, 'data'), env: { ...process.env, DISPLAY: x.display }, timeout: 600000 });
  } finally {
    await x.stop();
  }
  return readPng(out);
}

// How alike two pictures of the same size are.
function comparePictures(a, b, tolerance) {
  assert.equal(a.width, b.width, 'widths differ');
  assert.equal(a.height, b.height, 'heights differ');
  let within = 0;
  let maxDifference = 0;
  for (let i = 0; i < a.width * a.height; i++) {
    let worst = 0;
    for (let c = 0; c < 3; c++) worst = Math.max(worst, Math.abs(a.data[4 * i + c] - b.data[4 * i + c]));
    if (worst <= tolerance) within++;
    maxDifference = Math.max(maxDifference, worst);
  }
  return { within: within / (a.width * a.height), maxDifference };
}

module.exports = {
  SOURCE, BUILD, WEB_BUILD, SITE, PAGE_DEADLINE_MS, PNG,
  assertNoErrors, canvasPixels, comparePictures, desktopShot, keepPicture, launchBrowser, openPage,
  readPng,
  run, startServer, startXServer, temporaryDirectory, waitForProgram, waitForTitle,
};

// The viewer's input in a page: a click captures the pointer, whose motion
// turns the camera as on the desktop (a degree a pixel, pitch within +-90);
// Escape ends the program with status 0, also after the browser took an
// Escape of its own to release the pointer; a host that does not isolate
// the page is made up for by the page's service worker, and where that cannot
// run either the page says why it does not start.
'use strict';

const assert = require('node:assert/strict');
const test = require('node:test');
const support = require('./support');

async function angles(page) {
  return page.evaluate(() => [run.module._voxelview_camera_yaw(), run.module._voxelview_camera_pitch()]);
}

async function waitForAngles(page, yaw, pitch) {
  try {
    await page.waitForFunction((y, p) => run.module._voxelview_camera_yaw() === y &&
                                         run.module._voxelview_camera_pitch() === p,
                               { timeout: support.PAGE_DEADLINE_MS, polling: 50 }, yaw, pitch);
  } catch (error) {
    throw new Error(`the camera turned to ${await angles(page)}, not to [${yaw}, ${pitch}]`);
  }
}

test('the page\'s input', async (t) => {
  const server = await support.startServer();
  const plain = await support.startServer({ isolation: false });
  const browser = await support.launchBrowser();
  t.after(async () => {
    await browser.close();
    await server.close();
    await plain.close();
  });

  await t.test('the pointer turns the view once captured, and Escape ends the viewer', async () => {
    const page = await support.openPage(browser, server.url('index.html'));
    await support.waitForProgram(page);
    await page.waitForFunction(() => run.module._voxelview_frames_drawn() > 0,
                               { timeout: support.PAGE_DEADLINE_MS, polling: 100 });
    const box = await (await page.$('#canvas')).boundingBox();
    const centre = { x: box.x + box.width / 2, y: box.y + box.height / 2 };

    // Not captured yet: the pointer only passes over the view.
    await page.mouse.move(centre.x - 40, centre.y - 40, { steps: 4 });
    await page.mouse.move(centre.x, centre.y, { steps: 4 });
    assert.deepEqual(await angles(page), [90, 0]);

    await page.mouse.click(centre.x, centre.y);
    await page.waitForFunction(() => document.pointerLockElement === document.getElementById('canvas'),
                               { timeout: 30000 });
    // Right and up: yaw grows, and the pitch, which the vertical motion lowers.
    await page.mouse.move(centre.x + 30, centre.y - 20, { steps: 5 });
    await waitForAngles(page, 120, 20);
    // Far down: the pitch stops at -90; back up, it follows at once.
    await page.mouse.move(centre.x + 30, centre.y + 400, { steps: 5 });
    await waitForAngles(page, 120, -90);
    await page.mouse.move(centre.x + 30, centre.y + 390, { steps: 2 });
    await waitForAngles(page, 120, -80);

    await page.keyboard.press('Escape');
    await support.waitForTitle(page, /^voxelview: ended \(status 0\)$/, 60000);
    assert.equal(await page.evaluate(() => document.pointerLockElement), null);
    support.assertNoErrors(page);
    await page.close();
  });

  await t.test('after the browser releases the pointer, the page says so, and Escape ends it', async () => {
    const page = await support.openPage(browser, server.url('index.html'));
    await support.waitForProgram(page);
    const box = await (await page.$('#canvas')).boundingBox();
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
    await page.waitForFunction(() => document.pointerLockElement !== null, { timeout: 30000 });
    // As the browser does with an Escape it keeps for itself.
    await page.evaluate(() => document.exitPointerLock());
    await page.waitForFunction(
        () => /press Escape again to end/.test(document.getElementById('status').textContent),
        { timeout: 30000 });
    assert.equal(await page.title(), 'voxelview');
    await page.keyboard.press('Escape');
    await support.waitForTitle(page, /^voxelview: ended \(status 0\)$/, 60000);
    support.assertNoErrors(page);
    await page.close();
  });

  await t.test('from a host that does not isolate it, the page isolates itself and runs', async () => {
    const page = await support.openPage(browser, plain.url('index.html'));
    await support.waitForProgram(page);
    assert.equal(await page.evaluate(() => self.crossOriginIsolated), true);
    support.assertNoErrors(page);
    await page.close();
  });

  await t.test('where it cannot isolate itself either, the page says what its server must send',
               async () => {
    const page = await support.openPage(browser);
    await page.setBypassServiceWorker(true);
    await page.goto(plain.url('index.html'));
    await page.waitForFunction(
        () => /Cross-Origin-Embedder-Policy: require-corp/.test(document.getElementById('status').textContent),
        { timeout: 60000 });
    assert.equal(await page.evaluate(() => run), null);
    support.assertNoErrors(page);
    await page.close();
  });
});

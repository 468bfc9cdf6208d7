// A block pack given to the page replaces our data files, the rest staying
// ours, and the viewer starts again with it: picked, a red atlas paints the
// world red; dropped, a broken Blocks.lua shows its error as the desktop
// would; "our data again" starts it with our files.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const test = require('node:test');
const support = require('./support');

const BROKEN_SCRIPT = 'Blocks = {\n  { ID = 1,\n';

function redAtlas(file) {
  const png = new support.PNG({ width: 256, height: 256 });
  for (let i = 0; i < 256 * 256; i++) png.data.set([220, 30, 30, 255], 4 * i);
  fs.writeFileSync(file, support.PNG.sync.write(png));
}

// The share of the terrain's pixels (those not the sky's 128/256 grey) whose
// colour leans to `channel` (0 red, 1 green) by 20 levels or more.
function leaning(picture, channel) {
  let count = 0;
  let terrain = 0;
  for (let i = 0; i < picture.width * picture.height; i++) {
    const p = picture.data.subarray(4 * i, 4 * i + 3);
    if (p.every((v) => Math.abs(v - 127.5) < 8)) continue;
    terrain++;
    const others = [0, 1, 2].filter((c) => c !== channel).map((c) => p[c]);
    if (p[channel] >= Math.max(...others) + 20) count++;
  }
  assert.ok(terrain > picture.width * picture.height / 4, 'the picture shows little terrain');
  return count / terrain;
}

test('a block pack of the user\'s own', async () => {
  const dir = support.temporaryDirectory('pack');
  const atlas = path.join(dir, 'Texture.png');
  redAtlas(atlas);
  const expectedError = (() => {
    const scriptDir = support.temporaryDirectory('script');
    fs.writeFileSync(path.join(scriptDir, 'Blocks.lua'), BROKEN_SCRIPT);
    return support.run(path.join(support.BUILD, 'tools', 'voxeltool'), ['blocks'],
                       { cwd: scriptDir, expectStatus: 255 }).stderr;
  })();

  const server = await support.startServer();
  const browser = await support.launchBrowser();
  try {
    const page = await support.openPage(browser, server.url('index.html?shot'));
    // Picked while our world is still loading: that run ends and a new one starts.
    await (await page.$('#pack-files')).uploadFile(atlas);
    await support.waitForTitle(page, /^voxelview: shot ready$/);
    assert.equal(await page.$eval('#pack-state', (e) => e.textContent),
                 'Running with yours: Texture.png; ours for the rest.');
    const redWorld = await support.canvasPixels(page);
    support.keepPicture('pack-red.png', redWorld);
    const red = leaning(redWorld, 0);
    assert.ok(red > 0.9, `only ${(100 * red).toFixed(1)} % of the terrain is red`);

    await page.evaluate((script) => {
      const files = new DataTransfer();
      files.items.add(new File([script], 'Blocks.lua'));
      document.dispatchEvent(new DragEvent('drop', { dataTransfer: files, bubbles: true, cancelable: true }));
    }, BROKEN_SCRIPT);
    await support.waitForTitle(page, /^voxelview: ended \(status 255\)$/);
    assert.equal(await page.$eval('#output', (e) => e.textContent), expectedError);

    await page.click('#our-data');
    await support.waitForProgram(page);
    assert.equal(await page.$eval('#pack-state', (e) => e.textContent), '');
    // The new run's working directory holds our files again.
    for (const name of ['Blocks.lua', 'Texture.png', 'AO.png']) {
      const given = await page.evaluate((n) => Array.from(run.module.FS.readFile(`/voxelview/${n}`)), name);
      assert.ok(Buffer.from(given).equals(fs.readFileSync(path.join(support.SITE, 'data', name))), name);
    }
    support.assertNoErrors(page);
  } finally {
    await browser.close();
    await server.close();
  }
});

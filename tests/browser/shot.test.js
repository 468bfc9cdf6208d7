// index.html?shot shows the picture that the desktop's voxeltool shot of the
// same build saves: the start square loaded, the camera where that command
// takes it.
'use strict';

const assert = require('node:assert/strict');
const path = require('node:path');
const test = require('node:test');
const support = require('./support');

test('the page\'s first full view is the desktop shot\'s picture', async () => {
  const dir = support.temporaryDirectory('shot');
  const desktop = await support.desktopShot(path.join(dir, 'desktop.png'));
  const server = await support.startServer();
  const browser = await support.launchBrowser();
  try {
    const page = await support.openPage(browser, server.url('index.html?shot'));
    await support.waitForTitle(page, /^voxelview: shot ready$/);
    const web = await support.canvasPixels(page);
    support.keepPicture('shot-web.png', web);
    support.keepPicture('shot-desktop.png', desktop);

    const overall = support.comparePictures(desktop, web, 8);
    // The sky: the top quarter of the first view, which the terrain does not
    // reach, is the clear colour, 128/256 grey, in both.
    const skyRows = desktop.height / 4;
    let skyWorst = 0;
    for (let i = 0; i < desktop.width * skyRows; i++) {
      for (let c = 0; c < 3; c++) {
        assert.ok(Math.abs(desktop.data[4 * i + c] - 127.5) < 1, 'the desktop\'s sky is not grey');
        skyWorst = Math.max(skyWorst, Math.abs(web.data[4 * i + c] - desktop.data[4 * i + c]));
      }
    }
    console.log(`pixels within 8 levels: ${(100 * overall.within).toFixed(2)} % ` +
                `(largest difference ${overall.maxDifference}); sky (top ${skyRows} rows): ` +
                `largest difference ${skyWorst}`);
    assert.ok(overall.within >= 0.97, `only ${(100 * overall.within).toFixed(2)} % within 8 levels`);
    assert.ok(skyWorst <= 1, `the sky differs by ${skyWorst} levels`);
    support.assertNoErrors(page);
  } finally {
    await browser.close();
    await server.close();
  }
});

// A fatal error in the page is the desktop's: a broken Blocks.lua among our
// data files shows, in the page's output, exactly what the desktop viewer
// writes to standard output and standard error, and the program ends with
// status 255.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const test = require('node:test');
const support = require('./support');

const CASES = [
  { name: 'a script that does not load', script: 'Blocks = {\n  { ID = 1,\n' },
  { name: 'a script that fails as it runs', script: 'error("no blocks here")\n' },
  { name: 'a script that writes to standard output first',
    script: 'io.write("Blocks says h\\195\\169llo\\n")\nprint("and more")\nerror("after output")\n' },
];

// What the desktop writes of the script: voxeltool blocks loads it as the
// viewer does and ends as the viewer would, its standard output flushed
// before the message.
function desktopOutput(script) {
  const dir = support.temporaryDirectory('script');
  fs.writeFileSync(path.join(dir, 'Blocks.lua'), script);
  const result = support.run(path.join(support.BUILD, 'tools', 'voxeltool'), ['blocks'],
                             { cwd: dir, expectStatus: 255 });
  return result.stdout + result.stderr;
}

// A copy of the site whose data holds `script` as Blocks.lua.
function siteWith(script) {
  const dir = support.temporaryDirectory('site');
  for (const entry of fs.readdirSync(support.SITE)) {
    if (entry !== 'data') fs.symlinkSync(path.join(support.SITE, entry), path.join(dir, entry));
  }
  fs.mkdirSync(path.join(dir, 'data'));
  for (const entry of fs.readdirSync(path.join(support.SITE, 'data'))) {
    fs.copyFileSync(path.join(support.SITE, 'data', entry), path.join(dir, 'data', entry));
  }
  fs.writeFileSync(path.join(dir, 'data', 'Blocks.lua'), script);
  return dir;
}

test('a broken Blocks.lua', async (t) => {
  const browser = await support.launchBrowser();
  t.after(() => browser.close());
  for (const c of CASES) {
    await t.test(c.name, async () => {
      const expected = desktopOutput(c.script);
      const server = await support.startServer({ site: siteWith(c.script) });
      try {
        const page = await support.openPage(browser, server.url('index.html'));
        await support.waitForTitle(page, /^voxelview: ended \(status 255\)$/);
        assert.equal(await page.$eval('#output', (e) => e.textContent), expected);
        support.assertNoErrors(page);
        await page.close();
      } finally {
        await server.close();
      }
    });
  }
});

// The site's server: isolated pages, compressed bodies that decompress to the
// files, and nothing outside the site.
'use strict';

const assert = require('node:assert/strict');
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const test = require('node:test');
const zlib = require('node:zlib');
const { SITE, startServer } = require('./support');

function get(url, { method = 'GET', headers = {} } = {}) {
  return new Promise((resolve, reject) => {
    const request = http.request(url, { method, headers }, (response) => {
      const chunks = [];
      response.on('data', (chunk) => chunks.push(chunk));
      response.on('end', () => resolve({ status: response.statusCode, headers: response.headers,
                                         body: Buffer.concat(chunks) }));
    });
    request.on('error', reject);
    request.end();
  });
}

test('the server', async (t) => {
  const server = await startServer();
  const plain = await startServer({ isolation: false });
  t.after(async () => {
    await server.close();
    await plain.close();
  });

  await t.test('isolates every page it serves, and a host without the headers does not', async () => {
    for (const file of ['', 'index.html', 'voxelview.js', 'voxelview.worker.js', 'data/Texture.png']) {
      const response = await get(server.url(file));
      assert.equal(response.status, 200, file);
      assert.equal(response.headers['cross-origin-opener-policy'], 'same-origin', file);
      assert.equal(response.headers['cross-origin-embedder-policy'], 'require-corp', file);
    }
    const response = await get(plain.url('index.html'));
    assert.equal(response.status, 200);
    assert.equal(response.headers['cross-origin-opener-policy'], undefined);
    assert.equal(response.headers['cross-origin-embedder-policy'], undefined);
  });

  await t.test('sends each file as it is, compressed as the browser asks', async () => {
    const cases = [
      { file: 'voxelview.wasm', encoding: 'br', type: 'application/wasm', decode: zlib.brotliDecompressSync },
      { file: 'voxelview.js', encoding: 'gzip', type: 'text/javascript; charset=utf-8', decode: zlib.gunzipSync },
      { file: 'data/Blocks.lua', encoding: null, type: 'text/plain; charset=utf-8', decode: (b) => b },
      // PNG is compressed already.
      { file: 'data/AO.png', encoding: null, type: 'image/png', decode: (b) => b, accept: 'br, gzip' },
    ];
    for (const c of cases) {
      const response = await get(server.url(c.file),
                                 { headers: { 'Accept-Encoding': c.accept || c.encoding || 'identity' } });
      assert.equal(response.status, 200, c.file);
      assert.equal(response.headers['content-type'], c.type, c.file);
      assert.equal(response.headers['content-encoding'], c.encoding || undefined, c.file);
      assert.ok(c.decode(response.body).equals(fs.readFileSync(path.join(SITE, c.file))), c.file);
    }
  });

  await t.test('serves nothing outside the site, and only reads', async () => {
    for (const name of ['/../CMakeCache.txt', '/%2e%2e/CMakeCache.txt', '/..%2fCMakeCache.txt',
                        '/data/../../CMakeCache.txt', '/no-such-file.js', '/data']) {
      const response = await get(server.url('').replace(/\/$/, '') + name);
      assert.ok(response.status === 404 || response.status === 403, `${name}: ${response.status}`);
    }
    const response = await get(server.url('index.html'), { method: 'POST' });
    assert.equal(response.status, 405);
  });
});

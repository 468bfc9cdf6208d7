// node scripts/web-download-size.js [SITE]: what a first visit to the page
// downloads, file by file, as browser/serve.js sends it: every file of the
// site (build-web/site/ unless told otherwise: the page, the program's script,
// its .wasm and worker script, the data files), asked for once without
// compression and once with each encoding the server offers.
'use strict';

const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { serve } = require('../browser/serve.js');

const site = path.resolve(process.argv[2] || path.join(__dirname, '..', 'build-web', 'site'));
if (!fs.existsSync(path.join(site, 'index.html'))) {
  console.error(`web-download-size: ${site} holds no built site (./web --build-only builds it)`);
  process.exit(2);
}

function filesOf(dir, prefix = '') {
  return fs.readdirSync(dir, { withFileTypes: true }).flatMap((entry) => {
    const name = prefix + entry.name;
    return entry.isDirectory() ? filesOf(path.join(dir, entry.name), name + '/') : [name];
  }).sort();
}

// The body's length as sent, and the encoding the server chose.
function fetchSize(port, name, acceptEncoding) {
  return new Promise((resolve, reject) => {
    const headers = acceptEncoding ? { 'Accept-Encoding': acceptEncoding } : {};
    http.get({ host: '127.0.0.1', port, path: '/' + name, headers }, (response) => {
      let bytes = 0;
      response.on('data', (chunk) => { bytes += chunk.length; });
      response.on('end', () => {
        if (response.statusCode !== 200) reject(new Error(`${name}: status ${response.statusCode}`));
        resolve({ bytes, encoding: response.headers['content-encoding'] || '-' });
      });
    }).on('error', reject);
  });
}

async function main() {
  const server = serve({ site, port: 0, host: '127.0.0.1', isolation: true });
  await new Promise((resolve) => server.once('listening', resolve));
  const { port } = server.address();
  const rows = [];
  for (const name of filesOf(site)) {
    rows.push({
      name,
      raw: await fetchSize(port, name, null),
      gzip: await fetchSize(port, name, 'gzip'),
      br: await fetchSize(port, name, 'br, gzip'),
    });
  }
  server.close();

  const kb = (bytes) => (bytes / 1024).toFixed(1).padStart(9);
  const cell = (r) => kb(r.bytes) + (r.encoding === '-' ? ' (as is)' : ` (${r.encoding})`.padEnd(8));
  console.log(`${'file'.padEnd(24)} ${'KiB as is'.padStart(9)} ${'with gzip'.padStart(17)}  ${'with br'.padStart(16)}`);
  const total = { raw: 0, gzip: 0, br: 0 };
  for (const row of rows) {
    console.log(`${row.name.padEnd(24)} ${kb(row.raw.bytes)} ${cell(row.gzip)} ${cell(row.br)}`);
    for (const key of Object.keys(total)) total[key] += row[key].bytes;
  }
  console.log(`${'total'.padEnd(24)} ${kb(total.raw)} ${kb(total.gzip)}${' '.repeat(8)} ${kb(total.br)}`);
  console.log(`\n${rows.length} files; bodies only (no headers), KiB = 1024 bytes; ` +
              `${(total.br / 1e6).toFixed(2)} MB with br, ${(total.gzip / 1e6).toFixed(2)} MB with gzip.`);
}

main().catch((error) => {
  console.error(`web-download-size: ${error.message}`);
  process.exit(1);
});

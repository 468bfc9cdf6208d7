// node browser/serve.js SITE [--port N] [--host H] [--no-isolation]: serves the
// static files of SITE, cross-origin isolated (the viewer's worker threads
// share memory, which browsers allow only on such a page), compressed when the
// browser takes it. Port 0 takes a free port; the first line printed names the
// address. --no-isolation leaves the isolation headers out, as a host that
// cannot set headers would, for the tests of what the page does then.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.lua': 'text/plain; charset=utf-8',
  '.png': 'image/png',
  '.json': 'application/json',
};
// PNG files are compressed already.
const COMPRESSIBLE = new Set(['.html', '.js', '.wasm', '.lua', '.json']);

function usage(message) {
  console.error(`serve.js: ${message}\nusage: node browser/serve.js SITE [--port N] [--host H] [--no-isolation]`);
  process.exit(2);
}

function parse(argv) {
  const options = { site: null, port: 8080, host: '127.0.0.1', isolation: true };
  for (let i = 0; i < argv.length; i++) {
    const arg = argv[i];
    if (arg === '--port' || arg === '--host') {
      if (i + 1 >= argv.length) usage(`${arg} needs a value`);
      const value = argv[++i];
      if (arg === '--host') {
        options.host = value;
      } else {
        options.port = Number(value);
        if (!Number.isInteger(options.port) || options.port < 0 || options.port > 65535) {
          usage(`not a port: ${value}`);
        }
      }
    } else if (arg === '--no-isolation') {
      options.isolation = false;
    } else if (!arg.startsWith('-') && options.site === null) {
      options.site = path.resolve(arg);
    } else {
      usage(`unknown argument ${arg}`);
    }
  }
  if (options.site === null) usage('SITE is missing');
  return options;
}

// Compressed bodies, made once per file and kept while the file is unchanged.
const compressed = new Map();
function body(file, stat, encoding) {
  if (!encoding) return fs.readFileSync(file);
  const key = `${encoding} ${file}`;
  const kept = compressed.get(key);
  if (kept && kept.mtimeMs === stat.mtimeMs && kept.size === stat.size) return kept.data;
  const raw = fs.readFileSync(file);
  const data = encoding === 'br'
    ? zlib.brotliCompressSync(raw, { params: { [zlib.constants.BROTLI_PARAM_QUALITY]: 11 } })
    : zlib.gzipSync(raw, { level: 9 });
  compressed.set(key, { mtimeMs: stat.mtimeMs, size: stat.size, data });
  return data;
}

function chooseEncoding(request, extension) {
  if (!COMPRESSIBLE.has(extension)) return null;
  const accepted = String(request.headers['accept-encoding'] || '');
  if (/\bbr\b/.test(accepted)) return 'br';
  if (/\bgzip\b/.test(accepted)) return 'gzip';
  return null;
}

function serve(options) {
  const server = http.createServer((request, response) => {
    const headers = { 'Cache-Control': 'no-cache', 'Cross-Origin-Resource-Policy': 'same-origin' };
    if (options.isolation) {
      headers['Cross-Origin-Opener-Policy'] = 'same-origin';
      headers['Cross-Origin-Embedder-Policy'] = 'require-corp';
    }
    if (request.method !== 'GET' && request.method !== 'HEAD') {
      response.writeHead(405, { ...headers, Allow: 'GET, HEAD' });
      response.end();
      return;
    }
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    } catch {
      response.writeHead(400, headers);
      response.end();
      return;
    }
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(options.site, path.normalize(name));
    // Nothing outside the site, whatever the path says.
    if (file !== options.site && !file.startsWith(options.site + path.sep)) {
      response.writeHead(403, headers);
      response.end();
      return;
    }
    let stat;
    try {
      stat = fs.statSync(file);
    } catch {
      stat = null;
    }
    if (!stat || !stat.isFile()) {
      response.writeHead(404, { ...headers, 'Content-Type': 'text/plain; charset=utf-8' });
      response.end(`not found: ${name}\n`);
      return;
    }
    const extension = path.extname(file);
    const encoding = chooseEncoding(request, extension);
    const data = body(file, stat, encoding);
    response.writeHead(200, {
      ...headers,
      'Content-Type': TYPES[extension] || 'application/octet-stream',
      'Content-Length': data.length,
      ...(encoding ? { 'Content-Encoding': encoding, Vary: 'Accept-Encoding' } : {}),
    });
    response.end(request.method === 'HEAD' ? undefined : data);
  });
  server.on('error', (error) => {
    console.error(`serve.js: cannot serve on ${options.host}:${options.port}: ${error.message}`);
    process.exit(1);
  });
  server.listen(options.port, options.host, () => {
    const { port } = server.address();
    const host = options.host.includes(':') ? `[${options.host}]` : options.host;
    console.log(`voxelview: serving ${options.site} at http://${host}:${port}/ (Ctrl-C stops)`);
  });
  return server;
}

if (require.main === module) {
  serve(parse(process.argv.slice(2)));
}

module.exports = { serve, parse };

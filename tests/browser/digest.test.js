// The world in WebAssembly is the world: voxeltool for Node prints, for the
// chunks whose hashes the known-world test pins and for the viewer's start
// square, exactly the lines of the desktop's voxeltool.
'use strict';

const assert = require('node:assert/strict');
const path = require('node:path');
const test = require('node:test');
const { BUILD, WEB_BUILD, run } = require('./support');

const KNOWN = [[0, 0], [4, -5], [-5, 4], [1, 0], [-1, -1], [37, 2]];
const SQUARE = [];
for (let x = 4; x >= -5; x--) for (let z = -5; z <= 4; z++) SQUARE.push([x, z]);

function digest(command, prefix, chunks) {
  return run(command, [...prefix, 'digest', ...chunks.flat().map(String)], { timeout: 600000 }).stdout;
}

test('Node prints the desktop digest lines of the known chunks and of the start square', () => {
  const chunks = [...KNOWN, ...SQUARE];
  const native = digest(path.join(BUILD, 'tools', 'voxeltool'), [], chunks);
  const wasm = digest(process.execPath, [path.join(WEB_BUILD, 'node', 'voxeltool.js')], chunks);
  assert.equal(native.split('\n').length, chunks.length + 1);
  assert.equal(wasm, native);
});

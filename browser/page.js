// The page around the viewer: gives each run its working directory (our data
// files, or the user's where given), shows everything the program writes, and
// tells in the title how it ended. Each run is a new instance of the program
// on a new canvas; a new pack ends the running one, as closing its window
// would, and starts another.
'use strict';

const DATA_FILES = ['Blocks.lua', 'Texture.png', 'AO.png'];
const WORKING_DIRECTORY = '/voxelview';

const output = document.getElementById('output');
const statusLine = document.getElementById('status');
const packState = document.getElementById('pack-state');
const ourDataButton = document.getElementById('our-data');
const shot = new URLSearchParams(location.search).has('shot');

const ours = new Map();   // name -> bytes, fetched once
const theirs = new Map(); // name -> bytes, as the user gave them
let run = null;           // the running instance: { module, ended, closing }

function say(text) {
  statusLine.textContent = text;
}

async function fetchOurs() {
  await Promise.all(DATA_FILES.map(async (name) => {
    const response = await fetch('data/' + name);
    if (!response.ok) throw new Error(`cannot load data/${name}: ${response.status}`);
    ours.set(name, new Uint8Array(await response.arrayBuffer()));
  }));
}

// Standard output and error as they come, byte by byte, in one place: each
// stream has its own decoder, so a character split across writes stays whole.
function outputSink(stream) {
  const decoder = new TextDecoder('utf-8');
  return (byte) => {
    if (byte === null || byte === undefined) return;
    const text = decoder.decode(new Uint8Array([byte]), { stream: true });
    if (text) output.append(text);
  };
}

function freshCanvas() {
  const old = document.getElementById('canvas');
  const canvas = document.createElement('canvas');
  canvas.id = 'canvas';
  canvas.width = 1024;
  canvas.height = 768;
  old.replaceWith(canvas);
  return canvas;
}

function describePack() {
  const given = DATA_FILES.filter((name) => theirs.has(name));
  ourDataButton.hidden = given.length === 0;
  packState.textContent = given.length === 0
    ? ''
    : 'Running with yours: ' + given.join(', ') +
      (given.length < DATA_FILES.length ? '; ours for the rest.' : '.');
}

function start() {
  output.textContent = '';
  document.title = 'voxelview';
  freshCanvas();
  let ended;
  const endedPromise = new Promise((resolve) => { ended = resolve; });
  const module = {
    shot,
    preRun: [(m) => {
      m.FS.mkdir(WORKING_DIRECTORY);
      for (const name of DATA_FILES) {
        m.FS.writeFile(`${WORKING_DIRECTORY}/${name}`, theirs.get(name) || ours.get(name));
      }
      m.FS.chdir(WORKING_DIRECTORY);
      m.FS.init(null, outputSink(1), outputSink(2));
    }],
    onRuntimeInitialized: () => {
      run.initialized = true;
      if (run.closing) module._voxelview_request_close();
    },
    onExit: (status) => {
      run.finished = true;
      // As a shell shows it: the desktop's exit(-1) is 255.
      document.title = `voxelview: ended (status ${status & 255})`;
      // An ended program does not hold the pointer.
      if (document.pointerLockElement) document.exitPointerLock();
      say('The viewer has ended.');
      ended();
    },
    onAbort: (what) => {
      run.finished = true;
      output.append(`\n[the program stopped: ${what}]\n`);
      document.title = 'voxelview: aborted';
      ended();
    },
  };
  run = { module, ended: endedPromise, initialized: false, closing: false, finished: false };
  say(shot ? 'Taking the first full view…' : 'Click the view to look around.');
  createVoxelview(module);
}

// Ends the running instance as a close of its window would, then starts anew.
// An instance still loading takes the request when its runtime is up.
async function restart() {
  const current = run;
  if (current && !current.finished) {
    if (!current.closing) {
      current.closing = true;
      if (current.initialized) current.module._voxelview_request_close();
    }
    await current.ended;
  }
  start();
}

async function takePack(files) {
  const ignored = [];
  let taken = 0;
  for (const file of files) {
    const name = DATA_FILES.find((n) => n.toLowerCase() === file.name.toLowerCase());
    if (!name) {
      ignored.push(file.name);
      continue;
    }
    theirs.set(name, new Uint8Array(await file.arrayBuffer()));
    taken++;
  }
  if (ignored.length) {
    say(`Not a file of a block pack (${DATA_FILES.join(', ')}): ${ignored.join(', ')}`);
  }
  if (taken === 0) return;
  describePack();
  await restart();
}

document.addEventListener('pointerlockchange', () => {
  const canvas = document.getElementById('canvas');
  if (document.pointerLockElement === canvas) {
    say('The mouse turns the view. Escape releases the pointer.');
  } else if (run && !document.title.startsWith('voxelview: ended')) {
    say('The browser took that Escape to release the pointer: press Escape again to end ' +
        'the viewer, or click the view to look around again.');
  }
});

document.addEventListener('dragover', (event) => {
  event.preventDefault();
  document.body.classList.add('dragging');
});
document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  document.body.classList.remove('dragging');
  takePack(Array.from(event.dataTransfer.files)).catch(showError);
});
document.getElementById('pack-files').addEventListener('change', (event) => {
  takePack(Array.from(event.target.files)).catch(showError);
  event.target.value = '';
});
ourDataButton.addEventListener('click', () => {
  theirs.clear();
  describePack();
  restart().catch(showError);
});

function showError(error) {
  say(String(error && error.message ? error.message : error));
}

// Without isolation from the server, the isolation worker gives it from the
// page's second load on; it is asked for once per tab, so a browser that
// will not let it isolate the page gets the explanation, not a reload loop.
async function isolate() {
  const asked = 'voxelview: isolation worker asked';
  if ('serviceWorker' in navigator && self.isSecureContext && !sessionStorage.getItem(asked)) {
    sessionStorage.setItem(asked, '1');
    say('Setting up the page (its server does not isolate it)…');
    await navigator.serviceWorker.register('isolation-worker.js');
    await navigator.serviceWorker.ready;
    location.reload();
    return;
  }
  say('This page is not cross-origin isolated, so the viewer\'s worker threads cannot run: ' +
      'its server must send Cross-Origin-Opener-Policy: same-origin and ' +
      'Cross-Origin-Embedder-Policy: require-corp.');
}

if (self.crossOriginIsolated) {
  fetchOurs().then(start).catch(showError);
} else {
  isolate().catch(showError);
}

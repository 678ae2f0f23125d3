// The page around one of the programs (index.html: the game, editor.html:
// the editor). It gives the program its command line (the query string),
// its start folder (the page's IndexedDB storage over the shipped data),
// a canvas, keys, mouse, gamepad and sound, and the hooks its Allegro
// platform calls (Module.kelwyrm*). Loaded before the data package and the
// program, which both take `Module` from here.
'use strict';

var Module = (function () {
  const program = document.body.dataset.program;
  const isGame = program === 'game';
  const START = '/home/kelwyrm';
  const DATA = '/data';
  // The game takes a screenshot with Print Screen; browsers often keep that
  // key, and leave F12 alone more often (the game has no other use for it).
  const SCREENSHOT = 'screenshot.bmp';

  // The command line: the query string split at '&', each part URL-decoded.
  const args = location.search.slice(1).split('&').filter(a => a !== '')
    .map(a => decodeURIComponent(a));

  const canvas = document.getElementById('kelwyrm-canvas');
  const overlay = document.getElementById('kelwyrm-overlay');
  const ended = document.getElementById('kelwyrm-ended');
  const message = document.getElementById('kelwyrm-message');
  const messageText = document.getElementById('kelwyrm-message-text');
  const openInput = document.getElementById('kelwyrm-open');
  const download = document.getElementById('kelwyrm-download');

  let ready = false, started = false, finished = false;
  let messageOpen = false, syncState = 1;
  let ctx = null, image = null, audio = null, audioNode = null;
  let mouseButtons = 0;

  const M = {
    thisProgram: program,
    arguments: args,
    print: line => console.log(line),
    printErr: line => console.error(line),
    preRun: [mountStorage],
    onRuntimeInitialized: () => {
      ready = true;
      overlay.classList.add('ready');
      if (playtest)
        start();
    },
    onExit: status => end(status),
    kelwyrmShowMessage: showMessage,
    kelwyrmMessageOpen: () => messageOpen,
    kelwyrmOpenCanvas: openCanvas,
    kelwyrmStartAudio: startAudio,
    kelwyrmStopAudio: stopAudio,
    kelwyrmReadPad: readPad,
    kelwyrmSyncStorage: syncStorage,
    kelwyrmSyncState: () => syncState,
    kelwyrmRunGame: runGame,
    kelwyrmGameStatus: () => gameStatus,
  };

  // ---- F6: the game in a frame over the editor ----------------------------

  const GAME_RUNNING = -1000;
  let gameStatus = GAME_RUNNING, gameFrame = null;

  function runGame(joined) {
    const gameArgs = joined.split('\n').filter(a => a !== '');
    gameStatus = GAME_RUNNING;
    console.log('Playing ' + gameArgs.join(' ') + ' in a frame');
    gameFrame = document.createElement('iframe');
    gameFrame.id = 'kelwyrm-game';
    gameFrame.src = 'index.html?' + gameArgs.map(encodeURIComponent).join('&') + '#playtest';
    document.body.appendChild(gameFrame);
    gameFrame.addEventListener('load', () => gameFrame.contentWindow.focus());
  }

  window.addEventListener('message', e => {
    if (e.origin !== location.origin || !gameFrame || typeof e.data.kelwyrmGameEnded !== 'number')
      return;
    gameStatus = e.data.kelwyrmGameEnded;
    gameFrame.remove();
    gameFrame = null;
    canvas.focus();
  });

  // Played from the editor: starts at once and tells the editor how it ended.
  const playtest = location.hash === '#playtest' && window.parent !== window;

  // ---- files ----------------------------------------------------------

  // The start folder is the page's storage, read back before the program
  // starts; the program's working folder is there.
  function mountStorage() {
    const FS = M.FS;
    FS.mkdir(START);
    FS.mount(FS.filesystems.IDBFS, {}, START);
    M.addRunDependency('kelwyrm-storage');
    FS.syncfs(true, err => {
      if (err)
        console.error('Could not read the stored files: ' + err);
      FS.chdir(START);
      M.removeRunDependency('kelwyrm-storage');
    });
  }

  function syncStorage() {
    syncState = 0;
    M.FS.syncfs(false, err => {
      if (err)
        console.error('Could not store the files: ' + err);
      syncState = err ? -1 : 1;
    });
  }

  // What a program writes without the safe writer (Allegro's save_bmp of
  // a screenshot) reaches the storage too: every few seconds while it runs,
  // when the page is left, and when the program ends.
  const KEEP_EVERY_MS = 3000;
  let keeping = false;

  function keepFiles() {
    if (!ready || keeping)
      return;
    keeping = true;
    M.FS.syncfs(false, err => {
      keeping = false;
      if (err)
        console.error('Could not store the files: ' + err);
    });
  }

  setInterval(() => { if (started && !finished) keepFiles(); }, KEEP_EVERY_MS);
  window.addEventListener('pagehide', keepFiles);

  function exists(path) {
    try {
      M.FS.stat(path);
      return true;
    } catch (e) {
      return false;
    }
  }

  const whenReady = new Promise(resolve => {
    const wait = () => ready ? resolve() : setTimeout(wait, 20);
    wait();
  });

  // Chosen files go into the start folder under their own names at once,
  // before the program starts or while it runs.
  openInput.addEventListener('change', async () => {
    const files = Array.from(openInput.files);
    await whenReady;
    for (const f of files) {
      const bytes = new Uint8Array(await f.arrayBuffer());
      M.FS.writeFile(START + '/' + f.name.replace(/.*[\\/]/, ''), bytes);
      console.log('Opened ' + f.name);
    }
    openInput.value = '';
    syncStorage();
  });

  // A file named on the command line that the start folder lacks is
  // fetched from the page's own folder first: levels published as links.
  async function fetchNamedFiles() {
    for (const a of args) {
      if (a.startsWith('-') || a.includes('/') || exists(START + '/' + a))
        continue;
      try {
        const r = await fetch(encodeURIComponent(a));
        if (r.ok)
          M.FS.writeFile(START + '/' + a, new Uint8Array(await r.arrayBuffer()));
      } catch (e) {
        // Not there: the program looks in the shipped data and says so.
      }
    }
  }

  function valueOf(option) {
    const i = args.indexOf(option);
    return i >= 0 && i + 1 < args.length ? args[i + 1] : null;
  }

  // The files this page offers: the editor's map as last saved; the game's
  // newest screenshot and its recording.
  function downloads() {
    if (!isGame)
      return [args.find(a => !a.startsWith('-')) || 'map1.dat'];
    return [SCREENSHOT, valueOf('--record')].filter(n => n);
  }

  download.addEventListener('click', async () => {
    await whenReady;
    let any = false;
    for (const name of downloads()) {
      const path = name.startsWith('/') ? name : [START + '/' + name, DATA + '/' + name].find(exists);
      if (!path || !exists(path))
        continue;
      const blob = new Blob([M.FS.readFile(path)], {type: 'application/octet-stream'});
      const a = document.createElement('a');
      a.href = URL.createObjectURL(blob);
      a.download = name.replace(/.*\//, '');
      document.body.appendChild(a);
      a.click();
      a.remove();
      setTimeout(() => URL.revokeObjectURL(a.href), 10000);
      any = true;
    }
    if (!any)
      console.log('Nothing to download yet');
  });

  // ---- starting and ending ----------------------------------------------

  async function start() {
    if (started || !ready)
      return;
    started = true;
    M.kelwyrmStartTime = performance.now();
    overlay.style.display = 'none';
    // Browsers let sound start only from a click or a key.
    const Audio = window.AudioContext || window.webkitAudioContext;
    if (Audio) {
      audio = new Audio();
      audio.resume();
    }
    await fetchNamedFiles();
    canvas.focus();
    M.callMain(args);
  }

  overlay.addEventListener('click', start);

  function end(status) {
    finished = true;
    stopAudio();
    keepFiles();
    const what = isGame ? 'The game' : 'The editor';
    document.getElementById('kelwyrm-ended-text').textContent =
      what + ' has ended' + (status ? ' (status ' + status + ').' : '.');
    console.log('Program ended with status ' + status);
    if (playtest) {
      window.parent.postMessage({kelwyrmGameEnded: status}, location.origin);
      return;
    }
    ended.style.display = 'flex';
  }

  document.getElementById('kelwyrm-again').addEventListener('click', () => location.reload());

  // ---- messages ---------------------------------------------------------

  function showMessage(text) {
    console.log(text);
    messageText.textContent = text;
    message.style.display = 'flex';
    messageOpen = true;
    document.getElementById('kelwyrm-message-ok').focus();
  }

  function closeMessage() {
    message.style.display = 'none';
    messageOpen = false;
    canvas.focus();
  }

  document.getElementById('kelwyrm-message-ok').addEventListener('click', closeMessage);

  // ---- the canvas -------------------------------------------------------

  // The largest whole scale that fits the window; smaller than the screen
  // only where even 1 does not fit.
  function fit() {
    if (!canvas.width)
      return;
    const room = document.getElementById('kelwyrm-stage').getBoundingClientRect();
    const s = Math.min(room.width / canvas.width, (window.innerHeight - room.top - 8) / canvas.height);
    const scale = s >= 1 ? Math.floor(s) : s;
    canvas.style.width = canvas.width * scale + 'px';
    canvas.style.height = canvas.height * scale + 'px';
  }

  window.addEventListener('resize', fit);

  function openCanvas(w, h) {
    canvas.width = w;
    canvas.height = h;
    ctx = canvas.getContext('2d');
    image = ctx.createImageData(w, h);
    fit();
    requestAnimationFrame(draw);
  }

  function draw() {
    if (finished)
      return;
    const p = M._web_frame();
    if (p) {
      // For measuring how soon a program shows after the click.
      if (!M.kelwyrmFirstFrameTime)
        M.kelwyrmFirstFrameTime = performance.now();
      image.data.set(M.HEAPU8.subarray(p, p + image.data.length));
      ctx.putImageData(image, 0, 0);
    }
    requestAnimationFrame(draw);
  }

  // ---- keys and mouse ---------------------------------------------------

  function asciiOf(e) {
    if (e.key.length === 1)
      return e.key.charCodeAt(0);
    return {Enter: 13, Backspace: 8, Tab: 9, Escape: 27}[e.key] || 0;
  }

  // The key's code in the program's memory. Not through ccall: while the
  // program sleeps, ccall takes any call for one that went to sleep too.
  let codeBuffer = 0;
  const CODE_BYTES = 32;

  function sendKey(code, ascii, down) {
    if (!started || finished)
      return false;
    if (!codeBuffer)
      codeBuffer = M._malloc(CODE_BYTES);
    const bytes = Array.from(code.slice(0, CODE_BYTES - 1), c => c.charCodeAt(0) & 127);
    M.HEAPU8.set(bytes.concat([0]), codeBuffer);
    return M._web_key(codeBuffer, ascii, down ? 1 : 0) !== 0;
  }

  function onKey(e, down) {
    if (e.target === openInput)
      return;
    if (messageOpen) {
      // A message takes the keys while it shows; a key let go still
      // reaches the program, so that none stays held.
      if (down && e.key === 'Enter')
        closeMessage();
      else if (!down)
        sendKey(e.code, 0, false);
      e.preventDefault();
      return;
    }
    if (!started) {
      if (down && ready) {
        e.preventDefault();
        start();
      }
      return;
    }
    const code = isGame && e.code === 'F12' ? 'PrintScreen' : e.code;
    if (sendKey(code, down ? asciiOf(e) : 0, down))
      e.preventDefault();
  }

  window.addEventListener('keydown', e => onKey(e, true));
  window.addEventListener('keyup', e => onKey(e, false));

  function mouse(e, wheel) {
    if (!started || finished || messageOpen || !canvas.width)
      return;
    const r = canvas.getBoundingClientRect();
    const x = Math.floor((e.clientX - r.left) * canvas.width / r.width);
    const y = Math.floor((e.clientY - r.top) * canvas.height / r.height);
    if (e.buttons !== undefined)
      mouseButtons = e.buttons & 7;
    M._web_mouse(x, y, mouseButtons, wheel);
  }

  canvas.addEventListener('mousemove', e => mouse(e, 0));
  canvas.addEventListener('mousedown', e => { canvas.focus(); mouse(e, 0); e.preventDefault(); });
  window.addEventListener('mouseup', e => mouse(e, 0));
  canvas.addEventListener('wheel', e => { mouse(e, e.deltaY < 0 ? 1 : e.deltaY > 0 ? -1 : 0); e.preventDefault(); });
  canvas.addEventListener('contextmenu', e => e.preventDefault());

  // ---- a hidden tab -----------------------------------------------------

  // The game pauses as P does, and the tune with it; P is held while the
  // tab is hidden and pressed once more when it shows again.
  let pausedByHiding = false;
  document.addEventListener('visibilitychange', () => {
    if (!isGame || !started || finished)
      return;
    if (document.hidden && !pausedByHiding) {
      pausedByHiding = true;
      sendKey('KeyP', 112, true);
    } else if (!document.hidden && pausedByHiding) {
      pausedByHiding = false;
      sendKey('KeyP', 0, false);
      setTimeout(() => sendKey('KeyP', 112, true), 150);
      setTimeout(() => sendKey('KeyP', 0, false), 300);
    }
  });

  // ---- sound ------------------------------------------------------------

  function startAudio(frames) {
    if (!audio)
      return 0;
    audioNode = audio.createScriptProcessor(frames, 0, 2);
    audioNode.onaudioprocess = e => {
      const left = e.outputBuffer.getChannelData(0);
      const right = e.outputBuffer.getChannelData(1);
      const p = finished ? 0 : M._web_mix();
      if (!p) {
        left.fill(0);
        right.fill(0);
        return;
      }
      const s = M.HEAP16, base = p >> 1;
      for (let i = 0; i < left.length; i++) {
        left[i] = s[base + 2 * i] / 32768;
        right[i] = s[base + 2 * i + 1] / 32768;
      }
    };
    audioNode.connect(audio.destination);
    return audio.sampleRate;
  }

  function stopAudio() {
    if (audioNode) {
      audioNode.disconnect();
      audioNode = null;
    }
  }

  // ---- gamepad ----------------------------------------------------------

  function readPad(buttons, nbuttons, axes, naxes) {
    const pads = navigator.getGamepads ? Array.from(navigator.getGamepads()).filter(p => p) : [];
    if (!pads.length)
      return 0;
    const pad = pads[0];
    for (let i = 0; i < nbuttons; i++)
      M.HEAP32[(buttons >> 2) + i] = i < pad.buttons.length && pad.buttons[i].pressed ? 1 : 0;
    for (let i = 0; i < naxes; i++)
      M.HEAPF32[(axes >> 2) + i] = i < pad.axes.length ? pad.axes[i] : 0;
    return 1;
  }

  return M;
})();

// The page around the game: it sets up emscripten's Module before movo.js loads, shows
// the download's progress, starts the program on the player's first click or key (a
// browser lets a page play sound only after such a gesture) and says what happened when
// the program ends. With ?replay=NAME it plays /replays/NAME.txt at once instead and
// shows the summary line.
'use strict';

(function () {
  const canvas = document.getElementById('canvas');
  const overlay = document.getElementById('overlay');
  const loading = document.getElementById('loading');
  const status = document.getElementById('status');
  const progress = document.getElementById('progress');
  const start = document.getElementById('start');
  const ended = document.getElementById('ended');
  const endedText = document.getElementById('ended-text');
  const again = document.getElementById('again');
  const summary = document.getElementById('summary');
  const stage = document.getElementById('stage');
  const replay = new URLSearchParams(window.location.search).get('replay');
  let running = false;
  let over = false;
  let replayStart = 0;

  // The keys the game reads scroll the page or press a focused button when nobody stops
  // them; emscripten's SDL stops them only while the program runs.
  const gameKeys = new Set([
    'ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', ' ', 'PageUp', 'PageDown', 'Home', 'End',
  ]);
  window.addEventListener('keydown', (event) => {
    if (gameKeys.has(event.key)) event.preventDefault();
    // SDL keeps stopping keys after the program ended, a focused button's Return too.
    if (over && (event.key === 'Enter' || event.key === ' ')) again.click();
  });

  // Shows the end of the run: what happened and a way on (a fresh page, so the program
  // starts from a clean state).
  function finish(text, buttonText, href) {
    if (over) return;
    over = true;
    running = false;
    endedText.textContent = text;
    again.textContent = buttonText;
    again.onclick = () => window.location.assign(href);
    loading.hidden = true;
    start.hidden = true;
    ended.hidden = false;
    overlay.hidden = false;
    again.focus();
  }

  function fail(message) {
    if (replay !== null) {
      const line = 'replay failed: ' + message;
      summary.textContent = line;
      console.log(line);
      finish(line, 'Play the game', 'index.html');
    } else {
      finish('The game stopped: ' + message, 'Try again', window.location.href);
    }
  }

  function startGame() {
    if (running || over) return;
    running = true;
    overlay.hidden = true;
    canvas.focus();
    try {
      Module.callMain([]);
    } catch (error) {
      if (error !== 'unwind') fail(String(error));
    }
  }

  function startReplay() {
    const text = 'Replaying ' + replay + '...';
    summary.textContent = text;
    status.textContent = text;
    progress.hidden = true;
    running = true;
    // The replay holds the page until it ends: let the browser show the text first.
    requestAnimationFrame(() => setTimeout(() => {
      replayStart = performance.now();
      try {
        Module.callMain(['--replay', replay]);
      } catch (error) {
        if (error !== 'unwind') fail(String(error));
      }
    }, 0));
  }

  function ready() {
    if (replay !== null) {
      startReplay();
      return;
    }
    loading.hidden = true;
    start.hidden = false;
    start.addEventListener('click', startGame);
    window.addEventListener('keydown', startGame, { once: true });
  }

  // Full screen for the area around the canvas, or back; the button and the game's own
  // keys (F11, Alt+Enter) ask for it.
  function toggleFullScreen() {
    const done = () => canvas.focus();
    if (document.fullscreenElement) {
      document.exitFullscreen().then(done, done);
    } else if (stage.requestFullscreen) {
      stage.requestFullscreen().then(done, done);
    }
  }
  document.getElementById('fullscreen').addEventListener('click', toggleFullScreen);
  stage.addEventListener('click', () => {
    if (running) canvas.focus();
  });

  window.addEventListener('error', (event) => fail(event.message || 'a script error'));

  window.Module = {
    noInitialRun: true,
    // The program loads its sounds itself when it plays them, from the bytes in memory;
    // decoding them all at start would only double the work.
    noAudioDecoding: true,
    canvas: canvas,
    print: (text) => console.log(text),
    printErr: (text) => console.error(text),
    // The download of movo.data reports "Downloading data... (LOADED/TOTAL)".
    setStatus: (text) => {
      if (!text || running || over) return;
      const parts = text.match(/^([^(]+)\((\d+)\/(\d+)\)$/);
      if (parts) {
        status.textContent = parts[1].trim();
        progress.value = Number(parts[2]) / Number(parts[3]);
      } else {
        status.textContent = text;
      }
    },
    // What is left to load before the program can start (the data, the compiled code).
    monitorRunDependencies: (left) => {
      if (left === 0 && !running && !over) {
        progress.value = 1;
        status.textContent = 'Starting...';
      }
    },
    onRuntimeInitialized: ready,
    onAbort: (what) => fail(String(what)),
    movoReplaySummary: (line) => {
      const seconds = (performance.now() - replayStart) / 1000;
      summary.textContent = line;
      summary.dataset.seconds = seconds.toFixed(3);
      console.log(line);
      finish('The replay of ' + replay + ' took ' + seconds.toFixed(1) + ' s.', 'Play the game',
        'index.html');
    },
    movoReplayFailed: (message) => fail(message),
    movoToggleFullScreen: toggleFullScreen,
    movoGameEnded: (exitCode) => {
      const text = exitCode === 0 ? 'You left the game with Escape.'
        : 'The game ended with exit code ' + exitCode + ' (the console says why).';
      finish(text, 'Play again', window.location.href);
    },
  };

  const program = document.createElement('script');
  program.src = 'movo.js';
  program.async = true;
  program.addEventListener('error', () => fail('movo.js could not be loaded'));
  document.body.appendChild(program);
})();

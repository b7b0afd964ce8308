#!/usr/bin/python3
"""The web version in headless Chromium, checked against the native program.

Builds the web version (scripts/web --build-only), serves build-web/web/ on a free port
of 127.0.0.1 and drives Chromium through chromedriver: the live menu must equal the
native menu frame pixel for pixel, the replays must end with the native summary lines,
and the level must scroll while Right is held. It also prints the load time, the frames a
second while playing, the replay speed against native and the sizes of the files served.
Exits 77 (skipped) when a tool it needs is missing, after saying which.
"""

import base64
import functools
import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.request

# Debian's python3-selenium and python3-pil; without them the test is skipped.
try:
    from PIL import Image, ImageChops
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
    MISSING_MODULE = None
except ImportError as error:
    MISSING_MODULE = error.name

SKIPPED = 77
ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WEB_DIR = os.path.join(ROOT, 'build-web', 'web')
REPLAY_TOOL = os.path.join(ROOT, 'build', 'tools', 'movo-replay')
REPLAYS = ('level1-win', 'level2-win', 'level3-win')
WIDTH, HEIGHT = 800, 600
# Generous bounds on what must end; none of them is a measurement.
READY_SECONDS = 60
MENU_SECONDS = 20
REPLAY_SECONDS = 180
# How long Right is held in the live game, and the rows below the status line, which
# scroll with the level.
HOLD_SECONDS = 2
LEVEL_TOP = 100

# Counts the frames shown: the game shows a frame by putting its changed areas on the
# canvas with putImageData, all in one go, so the puts before the next microtask make one
# frame. A checksum of the whole canvas after each frame tells when the menu was drawn.
FRAME_COUNTER = """
(() => {
  window.movoFrames = [];
  let pending = false;
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    put.apply(this, args);
    if (pending) return;
    pending = true;
    const context = this;
    const time = performance.now();
    queueMicrotask(() => {
      pending = false;
      const data = context.getImageData(0, 0, context.canvas.width, context.canvas.height).data;
      const words = new Uint32Array(data.buffer);
      let sum = 0;
      for (let i = 0; i < words.length; i += 7) sum = (sum * 31 + words[i]) | 0;
      window.movoFrames.push([time, sum]);
    });
  };
})();
"""
# The canvas's pixels as base64 of R, G, B bytes, read with getImageData.
READ_CANVAS = """
const rgba = document.getElementById('canvas').getContext('2d')
  .getImageData(0, 0, arguments[0], arguments[1]).data;
const rgb = new Uint8Array(rgba.length / 4 * 3);
for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
  rgb[j] = rgba[i]; rgb[j + 1] = rgba[i + 1]; rgb[j + 2] = rgba[i + 2];
}
let text = '';
for (let i = 0; i < rgb.length; i += 0x8000) {
  text += String.fromCharCode.apply(null, rgb.subarray(i, i + 0x8000));
}
return btoa(text);
"""
# Checksum of the last frame drawn, as FRAME_COUNTER computes it.
LAST_SUM = 'const f = window.movoFrames; return f.length ? f[f.length - 1][1] : null;'

measured = []
session = {}


def missing_tools():
    """What the test needs and this machine lacks, as words for the skip line."""
    missing = [tool for tool in ('emcc', 'emcmake', 'node', 'chromium', 'chromedriver')
               if shutil.which(tool) is None]
    if MISSING_MODULE:
        missing.append('python3 module ' + MISSING_MODULE)
    acorn = subprocess.run(['dpkg', '-L', 'node-acorn'], capture_output=True, text=True) \
        if shutil.which('dpkg') else None
    if acorn is None or '/acorn/package.json' not in acorn.stdout:
        missing.append('node-acorn')
    return missing


def build():
    """scripts/web --build-only, its output kept in a log that a failure shows."""
    log = os.path.join(tempfile.gettempdir(), 'movo-web-build.log')
    began = time.monotonic()
    with open(log, 'w') as out:
        done = subprocess.run([os.path.join(ROOT, 'scripts', 'web'), '--build-only'],
                              stdout=out, stderr=subprocess.STDOUT)
    measured.append('web build (scripts/web --build-only): %.1f s' % (time.monotonic() - began))
    if done.returncode != 0:
        with open(log) as out:
            sys.stdout.write(''.join(out.readlines()[-40:]))
        print('web build failed (exit code %d); the whole log is %s' % (done.returncode, log))
        return False
    return True


def native_replay(script, out_dir):
    """Runs build/tools/movo-replay --quiet on script; the summary line and the seconds."""
    began = time.monotonic()
    done = subprocess.run([REPLAY_TOOL, '--quiet', '--out', out_dir, script],
                          capture_output=True, text=True, timeout=REPLAY_SECONDS,
                          env=dict(os.environ, SDL_VIDEODRIVER='dummy', SDL_AUDIODRIVER='dummy'))
    seconds = time.monotonic() - began
    if done.returncode != 0:
        raise RuntimeError('%s %s failed (%d): %s' % (REPLAY_TOOL, script, done.returncode,
                                                      done.stdout + done.stderr))
    lines = [line for line in done.stdout.splitlines() if line.startswith('summary: ')]
    return lines[-1], seconds


def ticks(summary):
    return int(re.search(r'\((\d+) ticks\)', summary).group(1))


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def setUpModule():
    session['tmp'] = tempfile.mkdtemp(prefix='movo-web-test-')
    handler = functools.partial(QuietHandler, directory=WEB_DIR)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    session['server'] = server
    session['url'] = 'http://127.0.0.1:%d/' % server.server_address[1]

    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which('chromium')
    for argument in ('--headless=new', '--no-sandbox', '--disable-gpu',
                     '--autoplay-policy=no-user-gesture-required', '--window-size=1024,800'):
        options.add_argument(argument)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    driver.set_script_timeout(60)
    driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': FRAME_COUNTER})
    session['driver'] = driver


def tearDownModule():
    if 'driver' in session:
        session['driver'].quit()
    if 'server' in session:
        session['server'].shutdown()
        session['server'].server_close()
    if 'tmp' in session:
        shutil.rmtree(session['tmp'], ignore_errors=True)


def wait_for(what, seconds, condition, interval=0.1):
    """Polls condition until it returns something true, which it returns; fails after
    seconds, naming what it waited for."""
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError('no %s within %d s' % (what, seconds))
        time.sleep(interval)


def canvas_image(driver):
    rgb = base64.b64decode(driver.execute_script(READ_CANVAS, WIDTH, HEIGHT))
    return Image.frombytes('RGB', (WIDTH, HEIGHT), rgb)


def difference_mask(a, b):
    """A picture that is 255 where two same-sized RGB pictures differ in any channel and
    0 elsewhere (a grey conversion would drop a difference of one in blue)."""
    red, green, blue = ImageChops.difference(a, b).split()
    most = ImageChops.lighter(ImageChops.lighter(red, green), blue)
    return most.point(lambda v: 255 if v else 0)


def differing_pixels(a, b):
    """How many pixels of two same-sized RGB pictures differ, and their bounding box."""
    mask = difference_mask(a, b)
    return mask.histogram()[255], mask.getbbox()


def native_menu():
    """The native menu frame: movo-replay's screenshot at tick 2 (the menu is drawn by its
    first tick and does not change until a key is pressed)."""
    if 'menu' not in session:
        out = os.path.join(session['tmp'], 'menu')
        os.makedirs(out, exist_ok=True)
        script = os.path.join(out, 'menu.txt')
        with open(script, 'w') as text:
            text.write('at 2 screenshot menu.png\nat 3 press Escape\n')
        native_replay(script, out)
        session['menu'] = Image.open(os.path.join(out, 'menu.png')).convert('RGB')
    return session['menu']


def start_live_game(test):
    """Opens the page, starts the game with a click on the overlay and waits for the
    menu; fails with the count and place of the differing pixels when the menu the
    canvas shows is not the native one. Returns the driver."""
    driver = session['driver']
    driver.get(session['url'])
    start = driver.find_element(By.ID, 'start')
    wait_for('start button', READY_SECONDS, start.is_displayed)
    start.click()
    expected = native_menu()
    last = {}

    def menu_shown():
        if driver.execute_script(LAST_SUM) is None:
            return False
        last['count'], last['box'] = differing_pixels(canvas_image(driver), expected)
        return last['count'] == 0

    try:
        wait_for('menu', MENU_SECONDS, menu_shown, interval=0.25)
        return driver
    except AssertionError:
        pass
    test.fail('the live menu differs from the native one in %s of %d pixels, within %s '
              '(left, top, right, bottom)' % (last.get('count', 'all'), WIDTH * HEIGHT,
                                              last.get('box')))


class ServedFilesTest(unittest.TestCase):
    def test_types_and_sizes(self):
        expected = {'movo.wasm': 'application/wasm', 'movo.js': 'text/javascript',
                    'index.html': 'text/html'}
        for name, content_type in expected.items():
            with self.subTest(name=name):
                request = urllib.request.Request(session['url'] + name, method='HEAD')
                with urllib.request.urlopen(request) as answer:
                    self.assertEqual(answer.headers.get_content_type(), content_type)
        sizes = ', '.join('%s %.1f MB' % (name, os.path.getsize(os.path.join(WEB_DIR, name)) / 1e6)
                          for name in ('movo.wasm', 'movo.js', 'movo.data'))
        measured.append('sizes: ' + sizes)


class LivePageTest(unittest.TestCase):
    def test_menu_equals_native_frame(self):
        driver = start_live_game(self)
        frames = driver.execute_script('return window.movoFrames;')
        menu_sum = frames[-1][1]
        drawn = next(time for time, checksum in frames if checksum == menu_sum)
        measured.append('load: page open to menu drawn %.2f s' % (drawn / 1000))

    def test_level_scrolls_while_right_is_held(self):
        driver = start_live_game(self)
        menu_sum = driver.execute_script(LAST_SUM)
        ActionChains(driver).send_keys(Keys.RETURN).perform()
        wait_for('level after Return', MENU_SECONDS,
                 lambda: driver.execute_script(LAST_SUM) != menu_sum)
        ActionChains(driver).key_down(Keys.ARROW_RIGHT).perform()
        try:
            before = canvas_image(driver)
            count_before = driver.execute_script('return [movoFrames.length, performance.now()];')
            time.sleep(HOLD_SECONDS)
            after = canvas_image(driver)
            count_after = driver.execute_script('return [movoFrames.length, performance.now()];')
        finally:
            ActionChains(driver).key_up(Keys.ARROW_RIGHT).perform()
        fps = (count_after[0] - count_before[0]) * 1000 / (count_after[1] - count_before[1])
        measured.append('frames a second while playing: %.1f' % fps)
        shift, share = best_shift(before, after)
        measured.append('scroll while Right was held: %d pixels in %d s' % (shift, HOLD_SECONDS))
        self.assertGreater(shift, 0, 'the level did not scroll while Right was held')
        self.assertGreater(share, 0.9, 'the level moved by %d pixels, but only %.0f%% of it '
                           'matches the earlier frame' % (shift, share * 100))


def best_shift(before, after):
    """The leftward shift that best carries the level's rows of before onto after, and
    the share of pixels it matches."""
    best = (0, -1.0)
    for shift in range(WIDTH // 2):
        moved = before.crop((shift, LEVEL_TOP, WIDTH, HEIGHT))
        same = after.crop((0, LEVEL_TOP, WIDTH - shift, HEIGHT))
        share = difference_mask(moved, same).histogram()[0] / ((WIDTH - shift) * (HEIGHT - LEVEL_TOP))
        if share > best[1]:
            best = (shift, share)
    return best


def replay_in_page(name):
    """Opens the page with ?replay=name and returns the line it ends with in #summary
    (a summary line, or one starting "replay failed: "), and the element."""
    driver = session['driver']
    driver.get(session['url'] + 'index.html?replay=' + name)
    summary = driver.find_element(By.ID, 'summary')
    line = wait_for('summary of ' + name, READY_SECONDS + REPLAY_SECONDS,
                    lambda: summary.text if summary.text.startswith(
                        ('summary: ', 'replay failed: ')) else None, interval=0.2)
    return line, summary


class ReplayTest(unittest.TestCase):
    def test_summaries_equal_native(self):
        driver = session['driver']
        for name in REPLAYS:
            with self.subTest(replay=name):
                script = os.path.join(ROOT, 'assets', 'replays', name + '.txt')
                expected, native_seconds = native_replay(script, os.path.join(session['tmp'], name))
                line, summary = replay_in_page(name)
                self.assertEqual(line, expected)
                logged = [entry['message'] for entry in driver.get_log('browser')]
                self.assertTrue(any('"%s"' % expected in message for message in logged),
                                'the summary line was not logged: %s' % logged)
                seconds = float(summary.get_attribute('data-seconds'))
                count = ticks(expected)
                measured.append('%s: %.0f ticks/s in the browser, %.0f native'
                                % (name, count / seconds, count / native_seconds))

    def test_missing_script_is_reported(self):
        line, _ = replay_in_page('no-such-script')
        self.assertRegex(line, r'^replay failed: .*/replays/no-such-script\.txt')


def main():
    missing = missing_tools()
    if missing:
        print('web test skipped: missing %s' % ', '.join(missing))
        return SKIPPED
    began = time.monotonic()
    if not build():
        return 1
    result = unittest.main(module=sys.modules[__name__], argv=[sys.argv[0], '-v'],
                           exit=False).result
    measured.append('whole web test: %.0f s' % (time.monotonic() - began))
    print('\n'.join(['Web measurements:'] + ['  ' + line for line in measured]))
    return 0 if result.wasSuccessful() else 1


if __name__ == '__main__':
    sys.exit(main())

// The show's web page in headless Chromium, driven over the DevTools protocol
// (node 20's WebSocket, no packages): the page loads, the show starts, after a
// few seconds the canvas shows the sky and the ship, S reaches the engine, and
// nothing on the console is an error or an uncaught exception.
//
//   node --experimental-websocket page_test.mjs PAGE_DIR [--screenshot FILE] [--size 800x500]
import { writeFileSync } from 'node:fs';
import { runInBrowser, sleep } from './browser.mjs';

const args = process.argv.slice(2);
const pageDir = args[0];
const option = (name, fallback) => (args.indexOf(name) > 0 ? args[args.indexOf(name) + 1] : fallback);
const screenshot = option('--screenshot', '');
const [width, height] = option('--size', '800x500').split('x').map(Number);
const showSeconds = Number(option('--seconds', '4'));

// Counts over the canvas: lit pixels, distinct colours, and the bounding box of
// pixels unlike the sky's commonest colour in the lower half (where the ship flies).
const canvasStatistics = `(() => {
  const canvas = document.getElementById('canvas');
  const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
  const colours = new Map();
  let lit = 0;
  for (let i = 0; i < pixels.length; i += 4) {
    const rgb = (pixels[i] << 16) | (pixels[i + 1] << 8) | pixels[i + 2];
    colours.set(rgb, (colours.get(rgb) || 0) + 1);
    if (rgb !== 0) ++lit;
  }
  return { width: canvas.width, height: canvas.height, pageWidth: innerWidth, pageHeight: innerHeight, lit,
           colours: colours.size };
})()`;

// The share of lit pixels (not the dark sky) inside the ship's rectangle.
const shipStatistics = `(() => {
  const rect = Module.vexmonShip;
  if (!rect) return null;
  const canvas = document.getElementById('canvas');
  const left = Math.max(rect.x, 0), top = Math.max(rect.y, 0);
  const right = Math.min(rect.x + rect.width, canvas.width), bottom = Math.min(rect.y + rect.height, canvas.height);
  const whole = rect.width > 8 && rect.height > 8 && left === rect.x && top === rect.y &&
                right === rect.x + rect.width && bottom === rect.y + rect.height;
  if (!whole) return { rect, whole };
  const pixels = canvas.getContext('2d').getImageData(left, top, right - left, bottom - top).data;
  let lit = 0;
  for (let i = 0; i < pixels.length; i += 4) if (pixels[i] + pixels[i + 1] + pixels[i + 2] > 150) ++lit;
  return { rect, whole, lit, pixels: pixels.length / 4 };
})()`;

// How many 2x2 blocks (from the top left) are not one colour: none when every pixel is shown doubled.
const doubledStatistics = `(() => {
  const canvas = document.getElementById('canvas');
  const pixels = new Uint32Array(canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data.buffer);
  let blocks = 0, unlike = 0;
  for (let y = 0; y + 1 < canvas.height; y += 2)
    for (let x = 0; x + 1 < canvas.width; x += 2) {
      const at = y * canvas.width + x, p = pixels[at];
      ++blocks;
      if (pixels[at + 1] !== p || pixels[at + canvas.width] !== p || pixels[at + canvas.width + 1] !== p) ++unlike;
    }
  return { width: canvas.width, height: canvas.height, blocks, unlike };
})()`;

await runInBrowser({ pageDir, width, height }, async (page) => {
  const { tools, fail, seen, waitFor } = page;
  const console_ = page.console;
  const loadStarted = Date.now();
  await page.open('index.html');

  if (!(await waitFor('vexmon: the show started', 60000))) throw new Error('the show did not start in 60 s');
  console.log(`the show started ${Date.now() - loadStarted} ms after the page was asked for`);
  await sleep(500);
  const before = await tools.evaluate('Module.vexmonStats');
  if (!before) throw new Error('the page gives no Module.vexmonStats');
  await sleep(showSeconds * 1000);
  const after = await tools.evaluate('Module.vexmonStats');
  const frames = after.frames - before.frames, wall = after.wallMs - before.wallMs;
  console.log(`${frames} frames in ${(wall / 1000).toFixed(1)} s, the show working ` +
              `${(100 * (after.busyMs - before.busyMs) / wall).toFixed(1)}% of the time, ` +
              `${((after.busyMs - before.busyMs) / Math.max(frames, 1)).toFixed(2)} ms per frame`);
  if (frames < showSeconds * 5) fail(`only ${frames} frames in ${showSeconds} s`);

  const stats = await tools.evaluate(canvasStatistics);
  console.log(`canvas ${stats.width}x${stats.height}: ${stats.lit} lit pixels, ${stats.colours} colours`);
  if (stats.width !== stats.pageWidth || stats.height !== stats.pageHeight)
    fail(`the canvas is ${stats.width}x${stats.height}, not the page's ${stats.pageWidth}x${stats.pageHeight}`);
  // Stars alone light a few hundred pixels; a blank or black canvas none.
  if (stats.lit < 100) fail('the canvas is black');
  if (stats.colours < 8) fail(`the canvas has only ${stats.colours} colours`);

  // The ship: where the engine says it is drawn, the canvas shows more than
  // the dark sky. Checked once the whole ship is on the page (it flies off
  // and back during scenes), waiting up to 10 s for that.
  let ship = null;
  for (const end = Date.now() + 10000; Date.now() < end; await sleep(250)) {
    ship = await tools.evaluate(shipStatistics);
    if (!ship || ship.whole) break;
  }
  if (!ship) fail('the page gives no Module.vexmonShip');
  else if (!ship.whole) console.log(`the ship stayed partly outside the page (${JSON.stringify(ship.rect)}); not checked`);
  else {
    console.log(`the ship at ${JSON.stringify(ship.rect)}: ${(100 * ship.lit / ship.pixels).toFixed(0)}% of its pixels lit`);
    if (ship.lit < ship.pixels / 4) fail('the ship is not drawn where the engine has it');
  }

  if (screenshot) {
    const shot = await tools.send('Page.captureScreenshot', { format: 'png' });
    writeFileSync(screenshot, Buffer.from(shot.data, 'base64'));
  }

  for (const type of ['keyDown', 'keyUp'])
    await tools.send('Input.dispatchKeyEvent', { type, key: 's', code: 'KeyS', text: type === 'keyDown' ? 's' : undefined,
                                                  windowsVirtualKeyCode: 83, nativeVirtualKeyCode: 83 });
  if (!(await waitFor('vexmon: sound on', 5000))) fail('S did not reach the engine (no "vexmon: sound on")');
  await sleep(3000);
  console.log(`sounds played in 3 s with the sound on: ${await tools.evaluate('Module.vexmonSoundsPlayed || 0')}`);
  for (const type of ['keyDown', 'keyUp'])
    await tools.send('Input.dispatchKeyEvent', { type, key: 's', code: 'KeyS', text: type === 'keyDown' ? 's' : undefined,
                                                  windowsVirtualKeyCode: 83, nativeVirtualKeyCode: 83 });
  if (!(await waitFor('vexmon: sound off', 5000))) fail('a second S did not turn the sound off');
  const settings = await tools.evaluate("localStorage.getItem('vexmon:control.ini')");
  console.log(`settings in local storage: ${settings === null ? 'none yet' : JSON.stringify(settings)}`);
  if (seen('paused')) fail('the page paused while it was shown');

  // A hidden tab pauses the show: no frames until it is shown again.
  const setHidden = (hidden) => tools.evaluate(`Object.defineProperty(document, 'hidden', {value: ${hidden}, configurable: true});
    Object.defineProperty(document, 'visibilityState', {value: '${hidden ? 'hidden' : 'visible'}', configurable: true});
    document.dispatchEvent(new Event('visibilitychange'))`);
  await setHidden(true);
  await sleep(300);
  const hiddenFrom = (await tools.evaluate('Module.vexmonStats')).frames;
  await sleep(1500);
  const hiddenTo = (await tools.evaluate('Module.vexmonStats')).frames;
  await setHidden(false);
  await sleep(1000);
  const shownAgain = (await tools.evaluate('Module.vexmonStats')).frames;
  console.log(`hidden: ${hiddenTo - hiddenFrom} frames in 1.5 s; shown again: ${shownAgain - hiddenTo} frames in 1 s`);
  if (!seen('vexmon: paused')) fail('hiding the page did not pause the show');
  if (hiddenTo !== hiddenFrom) fail('the hidden page kept presenting frames');
  if (shownAgain - hiddenTo < 5) fail('the show did not go on when the page was shown again');

  // A smaller page: the canvas and the show follow it.
  await tools.send('Emulation.setDeviceMetricsOverride', { width: 640, height: 360, deviceScaleFactor: 1, mobile: false });
  // A fade between scenes (about 2 s, dark at its middle) may be under way.
  let smaller = null;
  for (const end = Date.now() + 5000; Date.now() < end; ) {
    await sleep(500);
    smaller = await tools.evaluate(canvasStatistics);
    if (smaller.width === 640 && smaller.height === 360 && smaller.colours >= 8) break;
  }
  console.log(`after resizing to 640x360: canvas ${smaller.width}x${smaller.height}, ${smaller.colours} colours`);
  if (smaller.width !== 640 || smaller.height !== 360) fail(`the canvas did not follow the page (${smaller.width}x${smaller.height})`);
  if (smaller.colours < 8) fail('the resized canvas lost the show');

  // A page wider than 2000 pixels: composed at half size, every pixel shown doubled.
  await tools.send('Emulation.setDeviceMetricsOverride', { width: 2400, height: 800, deviceScaleFactor: 1, mobile: false });
  await tools.send('Page.reload');
  console_.length = 0;
  if (!(await waitFor('vexmon: the show started', 60000))) throw new Error('the wide page did not start in 60 s');
  await sleep(2000);
  const doubled = await tools.evaluate(doubledStatistics);
  console.log(`wide page ${doubled.width}x${doubled.height}: ${doubled.unlike} of ${doubled.blocks} 2x2 blocks not one colour`);
  if (doubled.width !== 2400) fail(`the wide canvas is ${doubled.width} pixels wide`);
  if (doubled.unlike > doubled.blocks / 1000) fail('the wide page is not composed at half size');
});

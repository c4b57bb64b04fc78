// The golden runs played by the web backend in headless Chromium (the page
// built into build/web-golden): every frame without a balloon must match the
// native headless run's manifest, the canvas must show the stage's picture,
// and every sound of the content must play through WebAudio.
//
//   node --experimental-websocket golden_test.mjs PAGE_DIR
import { runInBrowser } from './browser.mjs';

const pageDir = process.argv[2];
// The runs were made at 800x600; the page's canvas is the page.
const width = 800, height = 600;

await runInBrowser({ pageDir, width, height }, async (page) => {
  await page.tools.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: 1, mobile: false });
  const started = Date.now();
  await page.open('golden.html');
  if (!(await page.waitFor('golden: done', 240000))) {
    page.fail('the golden runs did not end in 240 s');
    return;
  }
  console.log(`the golden runs took ${((Date.now() - started) / 1000).toFixed(1)} s`);
  const done = page.console.find((line) => line.text.startsWith('golden: done'));
  if (done.text !== 'golden: done, 0 failures') page.fail(done.text);
});

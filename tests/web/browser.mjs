// Headless Chromium driven over the DevTools protocol (node 20's WebSocket, no
// packages), with a page directory served on 127.0.0.1: the plumbing the web
// page's tests share. The page's console is collected; console errors and
// warnings, uncaught exceptions and browser errors count as failures.
//
//   await runInBrowser({ pageDir, width, height }, async (page) => {
//     await page.open('index.html');
//     if (!(await page.waitFor('started', 60000))) page.fail('it did not start');
//   });   // prints the console and the failures, and exits 1 on any
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { createServer } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function freePort() {
  return new Promise((resolve) => {
    const server = createServer();
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// Resolves with the first match of `pattern` in `stream`, or rejects after `ms`.
function waitForLine(stream, pattern, ms, what) {
  return new Promise((resolve, reject) => {
    let seen = '';
    const timer = setTimeout(() => reject(new Error(`${what} did not start in ${ms} ms:\n${seen}`)), ms);
    stream.on('data', (chunk) => {
      seen += chunk.toString();
      const match = pattern.exec(seen);
      if (match) {
        clearTimeout(timer);
        resolve(match);
      }
    });
  });
}

class DevTools {
  constructor(url) {
    this.socket = new WebSocket(url);
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.socket.onmessage = (message) => {
      const data = JSON.parse(message.data);
      if (data.id && this.pending.has(data.id)) {
        const { resolve, reject } = this.pending.get(data.id);
        this.pending.delete(data.id);
        if (data.error) reject(new Error(JSON.stringify(data.error)));
        else resolve(data.result);
      } else if (data.method) {
        for (const listener of this.listeners) listener(data.method, data.params);
      }
    };
  }
  open() {
    return new Promise((resolve, reject) => {
      this.socket.onopen = resolve;
      this.socket.onerror = () => reject(new Error('the DevTools connection failed'));
    });
  }
  send(method, params = {}) {
    const id = this.nextId++;
    this.socket.send(JSON.stringify({ id, method, params }));
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
  }
  async evaluate(expression) {
    const result = await this.send('Runtime.evaluate', { expression, returnByValue: true });
    return result.result.value;
  }
}

export async function runInBrowser({ pageDir, width, height }, body) {
  const failures = [];
  const consoleLines = [];
  const serverPort = await freePort();
  const server = spawn('python3', ['-m', 'http.server', String(serverPort), '--bind', '127.0.0.1', '--directory', pageDir],
                       { stdio: ['ignore', 'pipe', 'pipe'] });
  const profile = mkdtempSync(join(tmpdir(), 'vexmon-web-'));
  const browser = spawn('chromium', ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--no-first-run',
                                     '--remote-debugging-port=0', '--autoplay-policy=no-user-gesture-required', `--user-data-dir=${profile}`,
                                     `--window-size=${width},${height}`, 'about:blank'],
                        { stdio: ['ignore', 'ignore', 'pipe'], detached: true });
  const page = {
    tools: null,
    console: consoleLines,
    fail: (message) => failures.push(message),
    seen: (text) => consoleLines.some((line) => line.text.includes(text)),
    async waitFor(text, ms) {
      for (const end = Date.now() + ms; Date.now() < end && !page.seen(text); ) await sleep(50);
      return page.seen(text);
    },
    open: (path) => page.tools.send('Page.navigate', { url: `http://127.0.0.1:${serverPort}/${path}` }),
  };
  try {
    const [, browserUrl] = await waitForLine(browser.stderr, /DevTools listening on (ws:\/\/\S+)/, 30000, 'Chromium');
    const debugPort = new URL(browserUrl).port;
    const targets = await (await fetch(`http://127.0.0.1:${debugPort}/json/list`)).json();
    page.tools = new DevTools(targets.find((target) => target.type === 'page').webSocketDebuggerUrl);
    await page.tools.open();
    page.tools.listeners.push((method, params) => {
      if (method === 'Runtime.consoleAPICalled') {
        const text = params.args.map((arg) => arg.value ?? arg.description ?? '').join(' ');
        consoleLines.push({ level: params.type, text });
        if (params.type === 'error' || params.type === 'warning') page.fail(`console ${params.type}: ${text}`);
      } else if (method === 'Runtime.exceptionThrown') {
        page.fail(`uncaught exception: ${params.exceptionDetails.exception?.description ?? params.exceptionDetails.text}`);
      } else if (method === 'Log.entryAdded' && params.entry.level === 'error') {
        page.fail(`browser error: ${params.entry.text} ${params.entry.url ?? ''}`);
      }
    });
    await page.tools.send('Runtime.enable');
    await page.tools.send('Log.enable');
    await page.tools.send('Page.enable');
    await body(page);
  } catch (error) {
    page.fail(error.message);
  } finally {
    const exited = new Promise((resolve) => browser.once('exit', resolve));
    // The browser's own helper processes share its process group.
    try { process.kill(-browser.pid, 'SIGKILL'); } catch { browser.kill('SIGKILL'); }
    server.kill('SIGKILL');
    await exited;
    await sleep(200);
    try { rmSync(profile, { recursive: true, force: true, maxRetries: 5, retryDelay: 200 }); } catch {}
  }
  for (const line of consoleLines) console.log(`console ${line.level}: ${line.text}`);
  for (const failure of failures) console.error(`FAILED: ${failure}`);
  process.exit(failures.length ? 1 : 0);
}

// The file server and the browser that the page's tests, its benchmark and its screenshot share:
// the built site served on a free port of the loopback, and Debian's chromium, headless, with the
// page open. Both end with the process, whichever way it ends, and any console error or warning
// or uncaught error of the page fails whoever opened it.
import { spawn } from 'node:child_process';
import { existsSync } from 'node:fs';
import puppeteer from 'puppeteer-core';

// Serves the folder `site` on 127.0.0.1 at a port the system picks; resolves once it listens.
function serve(site) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1',
    '--directory', site, '0'], { stdio: ['ignore', 'pipe', 'ignore'] });
  process.on('exit', () => server.kill());
  return new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('the file server did not start')), 10000);
    let said = '';
    server.stdout.on('data', (chunk) => {
      const port = (said += chunk).match(/ port (\d+) /);
      if (!port) return;
      clearTimeout(timer);
      resolve({ url: `http://127.0.0.1:${port[1]}/`, stop: () => server.kill() });
    });
    server.on('error', reject);
    server.on('exit', (code) => reject(new Error(`the file server stopped (${code})`)));
  });
}

// puppeteer closes the browser on these signals but would leave the process running.
process.on('SIGTERM', () => process.exit(143));
process.on('SIGHUP', () => process.exit(129));

// Opens the site in a window of the given size once the page's `window.vantu` is there, with
// `beforeLoad` run in the page before its own scripts. Returns the page and close(), which ends
// browser and server and throws if the page complained.
export async function openSite(site, { width = 1280, height = 900, beforeLoad } = {}) {
  if (!existsSync(`${site}/index.html`)) throw new Error(`no site in ${site}: run scripts/web`);
  const server = await serve(site);
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium',
    headless: true,
    defaultViewport: { width, height },
    // No sandbox and no GPU in a container; /dev/shm may be small there; sRGB so that a
    // screenshot keeps the canvas's colours exactly.
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--force-color-profile=srgb',
      '--hide-scrollbars', '--mute-audio', '--no-first-run'],
  });
  const complaints = [];
  const close = async () => {
    await browser.close();
    server.stop();
    if (complaints.length) throw new Error(`the page complained:\n${complaints.join('\n')}`);
  };
  try {
    const page = await browser.newPage();
    page.on('console', (message) => {
      if (['error', 'warn'].includes(message.type())) {
        complaints.push(`console ${message.type()}: ${message.text()}`);
      }
    });
    page.on('pageerror', (error) => complaints.push(`page error: ${error.message}`));
    if (beforeLoad) await page.evaluateOnNewDocument(beforeLoad);
    await page.goto(server.url);
    await page.waitForFunction(() => window.vantu, { timeout: 20000 });
    return { page, close };
  } catch (error) {
    await close().catch((complaint) => { error.message += `\n${complaint.message}`; });
    throw error;
  }
}

// The live page in a real browser (Debian's Chromium, headless, driven by puppeteer-core): it
// shows the round, follows the program within one second, moves the turn highlight, reads well
// on a phone and as an overlay, and shows nothing private of the ham list.
//   node live.test.js PUPPETEER_FOLDER FIXTURE [SCREENSHOT_FOLDER]
'use strict';
const assert = require('assert');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { startProgram } = require('../live_driver.js');
const puppeteer = require(path.resolve(process.argv[2], 'node_modules', 'puppeteer-core'));

const fixturePath = path.resolve(process.argv[3]);
const screenshots = process.argv[4];
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';

// Collects what the page's Content-Security-Policy blocks, from the first script on.
const watchPolicy = (page) => page.evaluateOnNewDocument(() => {
  window.policyViolations = [];
  document.addEventListener('securitypolicyviolation', (e) => window.policyViolations.push(`${e.violatedDirective} ${e.blockedURI}`));
});

async function main() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'kringbaas-live-'));
  const program = await startProgram(fixturePath, folder, 'inherit');
  const base = `http://127.0.0.1:${program.port}/`;

  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--no-first-run'],
  });
  const failures = [];
  const check = async (name, body) => {
    try { await body(); console.log(`ok   ${name}`); } catch (e) { failures.push(name); console.log(`FAIL ${name}\n     ${e.message}`); }
  };
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 1024, height: 768 });
    page.on('dialog', async (dialog) => { failures.push(`a dialog opened: ${dialog.message()}`); await dialog.dismiss(); });
    page.on('pageerror', (error) => failures.push(`page error: ${error.message}`));
    await watchPolicy(page);
    await page.goto(base, { waitUntil: 'load' });

    const text = (selector) => page.$eval(selector, (e) => e.textContent);
    // Sends a command and waits until the page shows its effect, within one second.
    const shown = async (command, predicate, ...args) => {
      const started = Date.now();
      await program.command(command);
      await page.waitForFunction(predicate, { timeout: 1000, polling: 'mutation' }, ...args);
      return Date.now() - started;
    };

    await check('the page shows the station before a round', async () => {
      await page.waitForFunction(() => document.getElementById('state').textContent === 'live', { timeout: 5000 });
      assert.match(await text('#station'), /PI4ZUD/);
      assert.match(await text('#station'), /145\.550 MHz/);
      assert.equal(await page.$$eval('#rows tr', (rows) => rows.length), 0);
      assert.equal(await page.$eval('#empty', (e) => e.hidden), false);
    });

    await check('a round begun shows within one second', async () => {
      const ms = await shown('begin PA3ABC Henk', () => [...document.querySelectorAll('#rows td.call')].some((td) => td.textContent === 'PA3ABC'));
      console.log(`     ${ms} ms`);
      assert.match(await text('#round'), /Ronde \d+/);
      assert.match(await text('#times'), /^Begin \d\d:\d\d  ·  Gepland einde \d\d:\d\d$/);
    });

    await check('a call placed in the program appears within one second', async () => {
      const ms = await shown('place PD1XYZ', () => [...document.querySelectorAll('#rows td.call')].some((td) => td.textContent === 'PD1XYZ'));
      console.log(`     ${ms} ms`);
      const row = await page.$eval('#rows tr[data-number="2"]', (tr) => [...tr.cells].map((td) => td.textContent));
      assert.deepEqual(row.slice(0, 5), ['2', 'PD1XYZ', 'Naam van PD1XYZ', 'GOUDA', row[4]]);
      assert.match(row[4], /^\d+ km$/);
    });

    await check('the turn highlight follows the turns', async () => {
      await shown('turn 2', () => document.querySelector('#rows tr.turn')?.dataset.number === '2');
      assert.equal(await page.$$eval('#rows tr.turn', (rows) => rows.length), 1);
      assert.equal(await text('#rows tr[data-number="2"] td.turns'), '1');
      await shown('turn 1', () => document.querySelector('#rows tr.turn')?.dataset.number === '1');
      assert.equal(await page.$$eval('#rows tr.turn', (rows) => rows.length), 1);
      assert.match(await text('#rows tr[data-number="1"] td.marks'), /aan de beurt/);
    });

    await check('an away mark shows', async () => {
      await shown('away 2', () => document.querySelector('#rows tr[data-number="2"]').classList.contains('away'));
      assert.match(await text('#rows tr[data-number="2"] td.marks'), /afwezig/);
    });

    await check('a name that looks like markup is shown as text', async () => {
      await shown('place PA0XSS', () => [...document.querySelectorAll('#rows td.call')].some((td) => td.textContent === 'PA0XSS'));
      assert.equal(await text('#rows tr[data-number="3"] td.name'), '<img src=x onerror=alert(1)>');
      assert.equal(await page.$$eval('#rows img', (images) => images.length), 0);
    });

    await check('nothing private of the ham list is served', async () => {
      const html = await page.content();
      const json = await page.evaluate(async () => (await fetch('ronde.json')).text());
      for (const what of [html, json]) {
        assert.ok(!/geheim/i.test(what), 'a private field of the ham list is served');
      }
      assert.ok(json.includes('PD1XYZ'));
    });

    await check('on a phone the rows are one column', async () => {
      await page.setViewport({ width: 375, height: 740, isMobile: true, hasTouch: true });
      assert.equal(await page.$eval('thead', (e) => getComputedStyle(e).display), 'none');
      const call = await page.$eval('#rows tr[data-number="2"] td.call', (e) => e.getBoundingClientRect().toJSON());
      const name = await page.$eval('#rows tr[data-number="2"] td.name', (e) => e.getBoundingClientRect().toJSON());
      assert.ok(name.top >= call.bottom - 1, 'the name stands below the call');
      assert.ok(Math.abs(name.left - call.left) < 2, 'call and name start at the same place');
      const width = await page.evaluate(() => document.documentElement.scrollWidth);
      assert.ok(width <= 375, `nothing wider than the screen (${width} px)`);
      if (screenshots) await page.screenshot({ path: path.join(screenshots, 'live-phone.png') });
      await page.setViewport({ width: 1024, height: 768 });
      if (screenshots) await page.screenshot({ path: path.join(screenshots, 'live.png') });
    });

    await check('the overlay is transparent and large', async () => {
      const overlay = await browser.newPage();
      await overlay.setViewport({ width: 1280, height: 720 });
      await watchPolicy(overlay);
      await overlay.goto(base + '?overlay=1', { waitUntil: 'load' });
      await overlay.waitForFunction(() => document.querySelectorAll('#rows tr').length === 3, { timeout: 2000 });
      const style = await overlay.$eval('body', (b) => ({ overlay: b.classList.contains('overlay'), background: getComputedStyle(b).backgroundColor, size: parseFloat(getComputedStyle(b).fontSize) }));
      assert.equal(style.overlay, true);
      assert.equal(style.background, 'rgba(0, 0, 0, 0)');
      assert.ok(style.size >= 24, `large type (${style.size} px)`);
      assert.deepEqual(await overlay.evaluate(() => window.policyViolations), []);
      await overlay.close();
    });

    await check('the page\'s policy lets its own script and style run, and nothing else', async () => {
      assert.deepEqual(await page.evaluate(() => window.policyViolations), []);
      const policy = (await page.goto(base, { waitUntil: 'load' })).headers()['content-security-policy'];
      assert.ok(!policy.includes('unsafe-inline'), policy);
      assert.deepEqual(await page.evaluate(() => window.policyViolations), []);
      await page.waitForFunction(() => document.getElementById('state').textContent === 'live', { timeout: 5000 });
      // A script put in the page by other means does not run.
      const ran = await page.evaluate(() => new Promise((resolve) => {
        const script = document.createElement('script');
        script.textContent = 'window.injected = true;';
        document.body.appendChild(script);
        setTimeout(() => resolve(window.injected === true), 100);
      }));
      assert.equal(ran, false);
      assert.ok((await page.evaluate(() => window.policyViolations)).some((v) => v.startsWith('script-src')));
    });

    await check('a page refused for too many followers follows once there is room', async () => {
      // Streams from this address until the server refuses one: the browser's own page holds one.
      const held = [];
      const follow = () => new Promise((resolve, reject) => {
        const request = http.get({ host: '127.0.0.1', port: program.port, path: '/ronde.events', agent: false }, (response) => {
          if (response.statusCode !== 200) request.destroy();
          resolve(response.statusCode);
        });
        request.on('error', (error) => { if (!request.destroyed) reject(error); });
        held.push(request);
      });
      let status = 200;
      for (let i = 0; i < 16 && status === 200; ++i) status = await follow();
      assert.equal(status, 503);
      const refused = await browser.newPage();
      try {
        await refused.goto(base, { waitUntil: 'load' });
        await refused.waitForFunction(() => document.getElementById('state').textContent === 'verbinding verbroken', { timeout: 5000 });
        for (const request of held) request.destroy();
        // The page asks again after 10 to 12 seconds.
        await refused.waitForFunction(() => document.getElementById('state').textContent === 'live', { timeout: 20000 });
        assert.equal(await refused.$$eval('#rows tr', (rows) => rows.length), 3);
      } finally {
        for (const request of held) request.destroy();
        await refused.close();
      }
    });

    await check('the page says when the program is gone', async () => {
      await program.end();
      await page.waitForFunction(() => document.getElementById('state').textContent === 'verbinding verbroken', { timeout: 5000 });
    });
  } finally {
    await browser.close();
    await program.end();
    fs.rmSync(folder, { recursive: true, force: true });
  }
  if (failures.length) {
    console.log(`\n${failures.length} failed:\n  ${failures.join('\n  ')}`);
    process.exit(1);
  }
}

main().catch((error) => { console.error(error); process.exit(1); });

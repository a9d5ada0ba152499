// The web page in headless chromium against vantu-headless: its log, boards, picture and summary
// must be the native program's for the same seed, values and steps, whether the run is reached
// through window.vantu or through the page's own controls, and refused values change nothing.
//   node tests/test_web.mjs same_run|controls|refusals SITE VANTU_HEADLESS REPO
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync, readFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { setTimeout as sleep } from 'node:timers/promises';
import { openSite } from '../scripts/browser.mjs';

const [name, site, headless, repo] = process.argv.slice(2);
const work = mkdtempSync(join(tmpdir(), 'vantu-web-'));
process.on('exit', () => rmSync(work, { recursive: true, force: true }));
const shipped = join(repo, 'preference.txt');

// vantu-headless's standard output, run from the repository as a person would run the command
// line the page shows.
const output = { maxBuffer: 1 << 28, stdio: ['ignore', 'pipe', 'inherit'] };
const native = (args, cwd = repo) => execFileSync(headless, args, { cwd, ...output }).toString();
const nativeArgs = (seed, values, ticks) => ['--seed', `${seed}`,
  ...Object.entries(values).flatMap(([parameter, value]) => ['--set', `${parameter}=${value}`]),
  '--ticks', `${ticks}`, '--params', shipped];

// The RGB bytes of a PNG file, decoded by ImageMagick.
const rgb = (png) => execFileSync('convert', [png, 'rgb:-'], output);

// The metric columns of a --summary output by name, as text.
function summaryRow(csv) {
  const [header, row] = csv.trim().split('\n').map((line) => line.split(','));
  const from = header.indexOf('steps');
  return Object.fromEntries(header.slice(from).map((column, i) => [column, row[from + i]]));
}

// Fails at the first difference of two logs (by line) or two images (by byte).
function same(actual, expected, what) {
  if (typeof actual === 'string') [actual, expected] = [actual.split('\n'), expected.split('\n')];
  else if (actual.equals(expected)) return;
  const length = Math.max(actual.length, expected.length);
  for (let i = 0; i < length; i++) {
    if (actual[i] !== expected[i]) {
      assert.fail(`${what}: ${actual.length} lines or bytes, not ${expected.length}; at ${i}, ` +
        `${JSON.stringify(actual[i])}, not ${JSON.stringify(expected[i])}`);
    }
  }
}

// The canvas's pixels as RGB; every one must be opaque. Read from a copy, since chromium warns
// when a canvas made for drawing is read back more than once.
async function canvasPixels(page) {
  const pixels = Buffer.from(await page.$eval('#boards', (canvas) => {
    const copy = document.createElement('canvas');
    [copy.width, copy.height] = [canvas.width, canvas.height];
    const context = copy.getContext('2d', { willReadFrequently: true });
    context.drawImage(canvas, 0, 0);
    return Array.from(context.getImageData(0, 0, copy.width, copy.height).data);
  }));
  const alpha = pixels.filter((_, i) => i % 4 === 3);
  assert.ok(alpha.every((value) => value === 255), 'the canvas has pixels that are not opaque');
  return pixels.filter((_, i) => i % 4 !== 3);
}

// The page's log and its boards, read from the canvas and from a screenshot of it, must be those
// of vantu-headless run with `args`.
async function assertNativeRun(page, args) {
  const picture = join(work, 'native.png');
  const shot = join(work, 'shot.png');
  const scale = await page.$eval('#boards', (canvas) => canvas.dataset.scale);
  same(await page.evaluate(() => vantu.log()),
    native([...args, '--picture', picture, '--scale', scale]), 'the log');
  same(await canvasPixels(page), rgb(picture), 'the boards on the canvas');
  await (await page.$('#boards')).screenshot({ path: shot });
  same(rgb(shot), rgb(picture), 'a screenshot of the boards');
}

// The seed; the values named (the rest stay as the form has them); ticks; how the run ends.
const runs = [
  [7, {}, 400, 'ticks'],
  [4294967295, { foodRarity: 3, poisonRarity: 4, regenRarity: 9, foodEnergy: 40 }, 900, 'ticks'],
  [12, { initialEnergy: 20, stepCost: 3 }, 500, 'energy'],
  [0, { initialEnergy: 1000, stepCost: 1, maxSteps: 60 }, 200, 'maxSteps'],
  // Longer than a piece of the replayed log.
  [3, { initialEnergy: 2000000000, maxSteps: 2000000000 }, 150000, 'ticks'],
  ['31', {}, 0, 'ticks'],
];

async function sameRun(page) {
  const values = {};
  const [picture, series] = [join(work, 'picture.png'), join(work, 'series.csv')];
  for (const [seed, named, ticks, end] of runs) {
    Object.assign(values, named);
    const step = await page.evaluate((seed, named, ticks) => {
      vantu.reset(seed, named);
      return vantu.step(ticks);
    }, seed, named, ticks);
    const args = nativeArgs(seed, values, ticks);
    // The charts' samples are a series at a stride of their own: its second row's step.
    const charted = await page.evaluate(() => vantu.series());
    const every = charted.split('\n')[2]?.split(',')[1] || '1';
    const summary = summaryRow(native([...args, '--summary', '--picture', picture,
      '--scale', '3', '--series', series, '--every', every]));
    same(charted, readFileSync(series, 'utf8'), `the charts' samples, every ${every} steps`);
    assert.equal(summary.end, end, `the run from seed ${seed} does not end as the table says`);
    assert.equal(step, Number(summary.steps), `step(${ticks}) from seed ${seed}`);
    assert.deepEqual(await page.evaluate(() => vantu.state()), { step, ...summary }, 'state()');
    writeFileSync(join(work, 'page.png'),
      Buffer.from(await page.evaluate(() => Array.from(vantu.picture(3)))));
    same(rgb(join(work, 'page.png')), rgb(picture), 'picture(3)');
    await assertNativeRun(page, args);
    const [program, ...command] = (await page.evaluate(() => vantu.command())).split(' ');
    assert.equal(program, 'vantu-headless');
    // It names every value, so it runs as well where there is no parameter file.
    same(await page.evaluate(() => vantu.log()), native(command, work), "the command line's log");
  }
}

// Types over an input's text and commits it with `key`, Enter or Tab, as a person would.
async function type(page, input, text, key) {
  await page.click(`input[name=${input}]`, { count: 3 });
  await page.keyboard.type(text);
  await page.keyboard.press(key);
}
const stepShown = (page) => page.$eval('#step-shown', (shown) => Number(shown.textContent));

async function controls(page) {
  await sleep(1000);
  assert.equal(await stepShown(page), 0, 'the page did not open paused');
  assert.equal(await page.evaluate(() => vantu.state().step), 0, 'the page did not open paused');
  await type(page, 'seed', '99', 'Enter');
  await type(page, 'foodRarity', '4', 'Tab');
  for (let i = 0; i < 3; i++) await page.click('#step');
  assert.equal(await stepShown(page), 3, 'three clicks on Step');
  await page.select('select[name=speed]', '1000');
  await page.click('#run');
  await sleep(1500);
  await page.click('#run');
  const furthest = await stepShown(page);
  await sleep(300);
  assert.equal(await stepShown(page), furthest, 'Pause did not stop the run');
  assert.ok(furthest > 200, `at 1000 steps a second the run took ${furthest} steps in 1.5 s`);
  // Back along the slider: a click a third of the way along it, then a step left by the keyboard.
  const slider = await page.$('input[name=time]');
  const box = await slider.boundingBox();
  await page.mouse.click(box.x + box.width / 3, box.y + box.height / 2);
  const clicked = await stepShown(page);
  await page.keyboard.press('ArrowLeft');
  const step = await stepShown(page);
  assert.ok(clicked > 3 && clicked < furthest, `the slider's click went to ${clicked}`);
  assert.equal(step, clicked - 1, 'the left arrow on the slider');
  assert.equal(await slider.evaluate((time) => Number(time.value)), step, "the slider's value");
  await assertNativeRun(page, nativeArgs(99, { foodRarity: 4 }, step));
}

async function refusals(page) {
  const seen = () => page.evaluate(() => ({
    state: vantu.state(), log: vantu.log(),
    form: Array.from(document.querySelectorAll('input[type=text]'), (input) => input.value),
  }));
  const start = await page.evaluate(() => {
    vantu.reset(5);
    return vantu.step(300);
  });
  const good = await seen();
  const refuse = async (seed, values, named) => {
    const refused = await page.evaluate((seed, values) => {
      try {
        vantu.reset(seed, values);
      } catch (error) {
        return error.message;
      }
    }, seed, values);
    assert.match(refused ?? 'nothing refused', named, `reset(${seed}, ${JSON.stringify(values)})`);
    assert.deepEqual(await seen(), good, `a refused reset(${seed}, ...) changed the page`);
  };
  for (const seed of [-1, '4294967296', 1.5]) await refuse(seed, {}, /seed/i);
  await refuse(5, { noSuchThing: 1 }, /noSuchThing/);
  await refuse(5, { foodRarity: 2.5 }, /foodRarity/);

  await type(page, 'poisonRarity', '4x', 'Enter');
  assert.match(await page.$eval('#message', (message) => message.textContent), /poisonRarity/);
  assert.equal(await page.$eval('input[name=poisonRarity]',
    (input) => input.getAttribute('aria-invalid')), 'true');
  good.form = (await seen()).form;
  assert.deepEqual(await seen(), good, 'a refused value changed the run');
  await assertNativeRun(page, nativeArgs(5, {}, start));
  await refuse(5, {}, /poisonRarity/);

  // A file with two values changed, opened through the page, makes the run that file makes.
  const file = join(work, 'changed.txt');
  writeFileSync(file, readFileSync(shipped, 'utf8')
    .replace(/^foodRarity .*/m, 'foodRarity 3').replace(/^poisonRarity .*/m, 'poisonRarity 6'));
  await (await page.$('#open-params')).uploadFile(file);
  await page.waitForFunction(() => document.querySelector('[name=poisonRarity]').value === '6');
  assert.equal(await page.$eval('input[name=foodRarity]', (input) => input.value), '3');
  const step = await page.evaluate(() => vantu.step(400));
  await assertNativeRun(page, ['--seed', '5', '--ticks', `${step}`, '--params', file]);
}

const cases = { same_run: sameRun, controls, refusals };
if (!cases[name]) {
  console.error(`usage: test_web.mjs ${Object.keys(cases).join('|')} SITE VANTU_HEADLESS REPO`);
  process.exit(2);
}
const { page, close } = await openSite(site);
try {
  await cases[name](page);
} catch (error) {
  await close().catch((complaint) => console.error(complaint.message));
  throw error;
}
await close();
console.log(`Web.${name} passed`);

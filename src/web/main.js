// The page's wiring: the module, the run, and the controls and scripts that drive it.
import { loadSimulation } from './module.js';
import { createRun } from './run.js';
import { createBoards } from './boards.js';
import { createCharts } from './charts.js';
import { createClock } from './clock.js';
import { createForm, say } from './form.js';
import { checkSeed, checkSettings } from './settings.js';
import { commandLine, copyToClipboard, downloadLog, downloadPicture, downloadSeries } from './exports.js';
import { createView } from './view.js';
import { exposeApi } from './api.js';

const element = (selector) => document.querySelector(selector);

const simulation = await loadSimulation();
const names = simulation.paramNames;
const run = createRun(simulation);
const form = createForm(names);
const boards = createBoards(element('#boards'), simulation);
const view = createView(run, boards, createCharts(element('#charts'), simulation), names);
const runButton = element('#run');
const slider = element('input[name="time"]');
const clock = createClock(run, view.drawFrame, () => (runButton.textContent = 'Run'));

function showNow() {
  view.drawNow();
  clock.wake();
}

// A new run; the form shows its seed and values, all good, so no earlier refusal stands.
function restart(seed, values) {
  run.start(seed, values);
  form.show(run.seed, run.values);
  say('');
  showNow();
}

// A new run from `seed` and the form's values, those in `given` (name: value) put first; all
// checked before anything changes, and a refusal throws.
function reset(seed, given) {
  const checkedSeed = checkSeed(seed);
  if (typeof given !== 'object' || given === null) {
    throw new Error(`the values are an object of parameter names to whole numbers, not ${given}`);
  }
  const named = (name) => Object.prototype.hasOwnProperty.call(given, name);
  const unknown = Object.entries(given).filter(([name]) => !names.includes(name));
  const settings = names.map((name) => [name, named(name) ? given[name] : form.valueText(name)]);
  restart(checkedSeed, checkSettings(simulation, run.values, [...unknown, ...settings]));
}

// A change the visitor asked for; a refusal goes to the message line and marks its field.
function attempt(change) {
  try {
    change();
  } catch (refusal) {
    say(refusal.message);
    form.markRefused(refusal.field, true);
  }
}

// A field's edit, done: the run restarts with it, keeping the rest of its seed and values.
function commitField(field, text) {
  attempt(() => {
    if (field === 'seed') restart(checkSeed(text), run.values);
    else restart(run.seed, checkSettings(simulation, run.values, [[field, text]]));
  });
}

function openParamFile(name, bytes) {
  const outcome = simulation.readUploadedParamFile(name, bytes);
  if (outcome.refusal) {
    say(outcome.refusal);
    return;
  }
  restart(run.seed, outcome.values);
  say(outcome.warning || `Read the parameters from ${name}.`);
}

const page = {
  run,
  simulation,
  clock,
  reset,
  step(count) {
    run.advance(count);
    showNow();
    return run.shown;
  },
  goTo(step) {
    run.goTo(step);
    showNow();
    return run.shown;
  },
};

function toggleRun() {
  if (clock.isRunning()) {
    clock.pause();
  } else if (clock.start()) {
    runButton.textContent = 'Pause';
  } else {
    say('The run is over: go back with the time slider, or reset.');
  }
}

function randomSeed() {
  return crypto.getRandomValues(new Uint32Array(1))[0];
}

form.onCommit(commitField);
form.onParamFile(openParamFile);
runButton.addEventListener('click', toggleRun);
element('#step').addEventListener('click', () => {
  clock.pause();
  page.step(1);
});
element('#reset').addEventListener('click', () => attempt(() => reset(form.seedText(), {})));
element('#new-seed').addEventListener('click', () => restart(randomSeed(), run.values));
// A reloaded page may keep the speed chosen before; the clock starts at what the list shows.
const speed = element('select[name="speed"]');
clock.setSpeed(speed.value);
speed.addEventListener('change', () => clock.setSpeed(speed.value));
slider.addEventListener('input', () => page.goTo(Number(slider.value)));
element('#copy-command').addEventListener('click', async () => say(await copyToClipboard(commandLine(run, names))));
element('#download-log').addEventListener('click', () => downloadLog(run));
element('#download-series').addEventListener('click', () => downloadSeries(run, simulation));
element('#download-png').addEventListener('click', () => downloadPicture(run, simulation));

const shipped = simulation.readParamFile('');
restart(randomSeed(), shipped.values);
exposeApi(page);

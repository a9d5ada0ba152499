// window.vantu: the page driven from a script (its tests, a benchmark, the console). It does what
// the controls do and never starts the clock.
import { picturePng } from './boards.js';
import { commandLine, seriesCsv } from './exports.js';

export function exposeApi(page) {
  const { run, simulation } = page;
  window.vantu = {
    reset(seed, values = {}) {
      page.reset(seed, values);
    },
    step(count = 1) {
      return page.step(wholeCount('a step count', count));
    },
    goTo(step) {
      return page.goTo(wholeCount('a step', step));
    },
    log() {
      const decoder = new TextDecoder();
      let text = '';
      run.logPieces((bytes) => {
        text += decoder.decode(bytes, { stream: true });
      });
      return text + decoder.decode();
    },
    // The summary row's metric columns, from `steps` on, by name.
    state() {
      const [header, row] = simulation.summary().split('\n').map((line) => line.split(','));
      const first = header.indexOf('steps');
      const metrics = header.slice(first).map((name, index) => [name, row[first + index]]);
      return { step: run.shown, ...Object.fromEntries(metrics) };
    },
    picture: (scale = 8) => picturePng(simulation, scale),
    frames: () => page.clock.frames(),
    command: () => commandLine(run, simulation.paramNames),
    series: () => seriesCsv(run, simulation),
  };
}

function wholeCount(what, count) {
  if (!Number.isInteger(count) || count < 0) throw new Error(`${what} is a whole number from 0 up, not ${count}`);
  return count;
}

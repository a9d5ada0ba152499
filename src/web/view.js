// What the page shows of the run: the boards, the step, the time slider and the command line at
// once after every change; the charts on the next frame, so that many changes in a row (a
// dragged slider, a script's steps) cost one chart update.
import { commandLine } from './exports.js';

export function createView(run, boards, charts, paramNames) {
  const stepShown = document.getElementById('step-shown');
  const command = document.getElementById('command');
  const slider = document.querySelector('input[name="time"]');
  let drawnStep = -1;
  let chartedStep = -1;

  function drawStep() {
    boards.draw();
    stepShown.textContent = String(run.shown);
    slider.max = String(run.furthest);
    slider.value = String(run.shown);
    command.textContent = commandLine(run, paramNames);
    drawnStep = run.shown;
  }

  return {
    // Now, after a change the clock did not make; the charts follow on the next frame.
    drawNow() {
      drawStep();
      chartedStep = -1;
    },
    // Once a frame: whatever the step shown has left behind.
    drawFrame() {
      if (drawnStep !== run.shown) drawStep();
      if (chartedStep !== run.shown) {
        charts.show(run.samples.upTo(run.current()));
        chartedStep = run.shown;
      }
    },
  };
}

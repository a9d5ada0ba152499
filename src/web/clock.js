// The run's clock, on the browser's frames. At a speed of S steps a second the steps due are the
// S a second since the clock started; at `max` each frame steps for BUDGET_MS. Steps are never
// skipped, frames are: a frame never works longer than its budget, and the steps it could not take
// are forgiven (the clock starts again from now) rather than piled up for the next frames.
const BUDGET_MS = 11;
// A longer gap between frames is a hidden or stalled tab: the clock starts again from there.
const STALL_MS = 250;

export function createClock(run, draw, onPause) {
  let running = false;
  let stepsPerSecond = 20;
  let originTime = 0;
  let originStep = 0;
  let lastFrameTime = 0;
  let stepLeftAt = -1;
  let chunk = 64;
  let framePending = false;
  let framesDrawn = 0;

  function frame(now) {
    framePending = false;
    if (running) tick(now);
    draw();
    framesDrawn++;
    if (running) wake();
  }

  function tick(now) {
    // Anything else that moved the run (a step, the slider) starts the clock from there.
    if (run.shown !== stepLeftAt || now - lastFrameTime > STALL_MS) restartFrom(now);
    lastFrameTime = now;
    const deadline = performance.now() + BUDGET_MS;
    if (stepsPerSecond === Infinity) {
      stepUntil(Infinity, deadline);
    } else {
      const due = originStep + Math.floor(((now - originTime) * stepsPerSecond) / 1000) - run.shown;
      if (due > 0 && stepUntil(due, deadline) < due) restartFrom(now);
    }
    stepLeftAt = run.shown;
    if (!run.isLive()) pause();
  }

  function restartFrom(now) {
    originTime = now;
    originStep = run.shown;
  }

  // Up to `due` steps in chunks sized to take about a millisecond each, until the deadline;
  // returns the steps taken. A chunk only grows when it was taken whole and quickly, so that slow
  // speeds, which take a step or two a frame, leave it as it was.
  function stepUntil(due, deadline) {
    let taken = 0;
    let now = performance.now();
    while (taken < due && now < deadline && run.isLive()) {
      const started = now;
      const count = Math.min(chunk, due - taken);
      taken += run.advance(count);
      now = performance.now();
      if (count === chunk && now - started < 0.5) chunk *= 2;
      else if (now - started > 2 && chunk > 1) chunk = Math.ceil(chunk / 2);
    }
    return taken;
  }

  function wake() {
    if (!framePending) {
      framePending = true;
      requestAnimationFrame(frame);
    }
  }

  function pause() {
    running = false;
    onPause();
  }

  return {
    isRunning: () => running,
    frames: () => framesDrawn,
    // A frame to draw what changed, with or without the clock running.
    wake,
    start() {
      if (!run.isLive()) return false;
      running = true;
      stepLeftAt = -1;
      wake();
      return true;
    },
    pause,
    setSpeed(speed) {
      stepsPerSecond = speed === 'max' ? Infinity : Number(speed);
      stepLeftAt = -1;
    },
  };
}

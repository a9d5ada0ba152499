// The run the page shows: its seed and values, the step shown, the furthest step it has reached,
// and the charts' samples. The simulation only goes forward, so going back replays the run from
// its seed, which gives the same steps byte for byte.
import { createSamples } from './samples.js';

export function createRun(simulation) {
  const samples = createSamples();
  const run = {
    seed: 0,
    values: new Int32Array(simulation.paramNames.length),
    shown: 0,
    furthest: 0,
    samples,

    // A new run: step 0 of `seed` with `values`, none of the old run's history kept.
    start(seed, values) {
      run.seed = seed >>> 0;
      run.values = Int32Array.from(values);
      run.furthest = 0;
      restart();
    },

    // Up to `count` steps forward, sampling the charts on the way; returns the steps taken.
    advance(count) {
      const target = run.shown + count;
      while (run.shown < target && simulation.isLive()) {
        const stop = Math.min(target, samples.nextWanted(run.shown));
        run.shown = simulation.advance(stop - run.shown);
        if (samples.wants(run.shown)) samples.add(simulation.sample());
      }
      run.furthest = Math.max(run.furthest, run.shown);
      return count - (target - run.shown);
    },

    // What the time slider does: back by replaying from the seed, forward by running.
    goTo(step) {
      if (step < run.shown) restart();
      run.advance(step - run.shown);
      return run.shown;
    },

    isLive: () => simulation.isLive(),
    log: () => simulation.log(run.shown),
    current: () => simulation.sample(),
  };

  function restart() {
    simulation.start(run.seed, run.values);
    run.shown = 0;
    samples.clear();
    samples.add(simulation.sample());
  }

  return run;
}

// The run's history for the charts, never kept step by step: a sample at every multiple of a
// stride, and when they grow past LIMIT every other one goes and the stride doubles. So a run of
// any length keeps between LIMIT / 2 and LIMIT samples.
const LIMIT = 1000;

export function createSamples() {
  let stride = 1;
  let rows = [];

  return {
    clear() {
      stride = 1;
      rows = [];
    },
    // Whether the step is one the history keeps.
    wants: (step) => step % stride === 0,
    nextWanted: (step) => (Math.floor(step / stride) + 1) * stride,
    add(sample) {
      rows.push(sample);
      if (rows.length > LIMIT) {
        // Samples sit at steps 0, stride, 2 stride...: the even ones are the new stride's.
        rows = rows.filter((_, index) => index % 2 === 0);
        stride *= 2;
      }
    },
    // The samples, with the step shown as the last point when it falls between two.
    upTo(current) {
      const last = rows[rows.length - 1];
      return last && last[0] === current[0] ? rows : rows.concat([current]);
    },
  };
}

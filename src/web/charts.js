// The live charts (uPlot, a global from its own script): energy; food and poison found; the
// squares in each priority band, stacked. Built once; each frame only hands them new data.
const WIDTH = 440;
const GAP = 8;
const HEIGHT = 150;
// Where each chart's numbers sit in a sample: steps, energy, food, poison, restored, visited,
// then the six bands.
const ENERGY = 1;
const FOOD = 2;
const POISON = 3;
const FIRST_BAND = 6;
const BANDS = 6;
// Runs reach millions of steps and billions of energy: axes say 2.5M rather than 2,500,000.
// Every number charted is whole, so are the ticks: 1, 2, 5, 10, 20, 50...
const compact = new Intl.NumberFormat('en', { notation: 'compact', maximumFractionDigits: 1 });
const wholeTicks = Array.from({ length: 30 }, (_, index) => [1, 2, 5][index % 3] * 10 ** Math.floor(index / 3));
const axis = { incrs: wholeTicks, values: (_, ticks) => ticks.map((tick) => compact.format(tick)) };

export function createCharts(container, simulation) {
  const energy = chart(container, 'Energy', WIDTH, [line('energy', '#222')]);
  const palette = simulation.palette().map(css);
  const found = chart(container, 'Food and poison found', WIDTH,
    [line('food', palette[simulation.foodColour]), line('poison', palette[simulation.poisonColour])]);
  const bands = bandChart(container, simulation, palette);

  return {
    // `rows`: the samples to show, the last at the step shown.
    show(rows) {
      const steps = rows.map((row) => row[0]);
      energy.setData([steps, rows.map((row) => row[ENERGY])]);
      found.setData([steps, rows.map((row) => row[FOOD]), rows.map((row) => row[POISON])]);
      bands.setData([steps, ...stackedBands(rows)]);
    },
  };
}

// The bands' series are named as the summary's columns and coloured as the priority board.
// Series k is the sum of bands 0 to k, and its fill stops at the series below it, so each
// band shows as its own layer.
function bandChart(container, simulation, palette) {
  const names = metricNames(simulation).slice(-BANDS);
  const colours = palette.slice(simulation.lowestBandColour);
  const series = names.map((label, band) => ({ label, stroke: colours[band], fill: colours[band], width: 1 }));
  const layers = names.slice(1).map((_, band) => ({ series: [band + 2, band + 1] }));
  return chart(container, 'Squares in each priority band', 2 * WIDTH + GAP, series, layers);
}

// For each band, the squares in it and in all bands below, sample by sample.
function stackedBands(rows) {
  const sums = [];
  let below = rows.map(() => 0);
  for (let band = 0; band < BANDS; band++) {
    below = rows.map((row, index) => below[index] + row[FIRST_BAND + band]);
    sums.push(below);
  }
  return sums;
}

// The summary's metric columns, from `steps` on.
function metricNames(simulation) {
  const header = simulation.summary().split('\n')[0].split(',');
  return header.slice(header.indexOf('steps'));
}

function chart(container, title, width, series, bands = []) {
  const options = {
    title,
    width,
    height: HEIGHT,
    scales: { x: { time: false } },
    series: [{ label: 'step' }, ...series],
    axes: [axis, { ...axis, size: 50 }],
    legend: { live: false },
    bands,
  };
  return new uPlot(options, [[], ...series.map(() => [])], container);
}

function line(label, stroke) {
  return { label, stroke, width: 1.5 };
}

function css([red, green, blue]) {
  return `rgb(${red}, ${green}, ${blue})`;
}

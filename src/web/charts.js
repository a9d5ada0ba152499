// The live charts (uPlot, a global from its own script): energy; food and poison found; the
// squares in each priority band, stacked. Built once; each frame only hands them new data.
const WIDTH = 440;
const HEIGHT = 150;
// Where each chart's numbers sit in a sample: steps, energy, food, poison, restored, visited,
// then the six bands.
const ENERGY = 1;
const FOOD = 2;
const POISON = 3;
const FIRST_BAND = 6;

export function createCharts(container, simulation) {
  const bandNames = metricNames(simulation).slice(-6);
  const bandColours = simulation.palette().slice(simulation.lowestBandColour).map(css);
  const energy = chart(container, 'Energy', [line('energy', '#222')]);
  const found = chart(container, 'Food and poison found', [line('food', '#1b7f2a'), line('poison', '#c22')]);
  const bandSeries = bandNames.map((name, band) => ({ label: name, stroke: bandColours[band], fill: bandColours[band], width: 1 }));
  // Each band's series is the sum of it and the bands below; its fill stops at the one below.
  const between = bandNames.slice(1).map((_, band) => ({ series: [band + 2, band + 1] }));
  const bands = chart(container, 'Squares in each priority band', bandSeries, between);

  return {
    show(rows) {
      const steps = rows.map((row) => row[0]);
      energy.setData([steps, rows.map((row) => row[ENERGY])]);
      found.setData([steps, rows.map((row) => row[FOOD]), rows.map((row) => row[POISON])]);
      bands.setData([steps, ...bandSums(rows)]);
    },
  };
}

// For each band, the squares in it and all bands below, step by step.
function bandSums(rows) {
  const sums = [];
  let below = rows.map(() => 0);
  for (let band = 0; band < 6; band++) {
    below = rows.map((row, index) => below[index] + row[FIRST_BAND + band]);
    sums.push(below);
  }
  return sums;
}

// The summary's metric columns, from `steps` on: the charts' series take their names.
export function metricNames(simulation) {
  const header = simulation.summary().split('\n')[0].split(',');
  return header.slice(header.indexOf('steps'));
}

function chart(container, title, series, bands = []) {
  const options = {
    title,
    width: WIDTH,
    height: HEIGHT,
    scales: { x: { time: false } },
    series: [{ label: 'step' }, ...series],
    axes: [{}, { size: 60 }],
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

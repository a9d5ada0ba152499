// What the visitor takes away: the command line that repeats the step shown with vantu-headless,
// its log, the charts' samples as a series, and the boards as a PNG.
import { pictureCanvas } from './boards.js';

const PNG_SCALE = 8;

export function commandLine(run, paramNames) {
  const settings = paramNames.map((name, index) => `--set ${name}=${run.values[index]}`);
  return ['vantu-headless', `--seed ${run.seed}`, ...settings, `--ticks ${run.shown}`].join(' ');
}

// Resolves to what the message line should say: the clipboard is only there on secure pages
// and may be refused, and neither is an error of the page's.
export async function copyToClipboard(text) {
  if (!navigator.clipboard) return 'No clipboard here: copy the command from the line below.';
  try {
    await navigator.clipboard.writeText(text);
    return 'The command is on the clipboard.';
  } catch (error) {
    return `Could not copy the command (${error.message}): copy it from the line below.`;
  }
}

export function downloadLog(run) {
  const pieces = [];
  run.logPieces((bytes) => pieces.push(bytes));
  save(new Blob(pieces, { type: 'text/plain' }), `${baseName(run)}.log`);
}

// The charts' samples as vantu-headless --series writes a run's rows: at step 0, every stride-th
// step and the step shown, the stride being the charts' own.
export function seriesCsv(run, simulation) {
  const rows = run.samples.upTo(run.current()).map((sample) => `0,${sample.join(',')}\n`);
  return simulation.seriesHeader + rows.join('');
}

export function downloadSeries(run, simulation) {
  save(new Blob([seriesCsv(run, simulation)], { type: 'text/csv' }), `${baseName(run)}.csv`);
}

export function downloadPicture(run, simulation) {
  pictureCanvas(simulation, PNG_SCALE).toBlob((blob) => save(blob, `${baseName(run)}.png`), 'image/png');
}

function baseName(run) {
  return `vantu-seed${run.seed}-step${run.shown}`;
}

function save(blob, fileName) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = fileName;
  link.click();
  // The download has its own copy once it started; a moment later the URL can go.
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

// What the visitor takes away: the command line that repeats the step shown with vantu-headless,
// its log, and the boards as a PNG.
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
  save(new Blob([run.log()], { type: 'text/plain' }), `${baseName(run)}.log`);
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

// The simulation's WebAssembly module behind plain JavaScript calls. The module's memory may grow
// (a long run's log), which replaces its heap views: every call reads M.HEAPU8 / M.HEAP32 afresh.
import createVantu from './vantu.js';

// About seven megabytes of log a piece.
const LOG_PIECE_TICKS = 100000;
const UPLOADS = '/opened';

export async function loadSimulation() {
  const M = await createVantu();
  const count = M._vantu_param_count();
  const paramNames = Array.from({ length: count }, (_, i) => M.UTF8ToString(M._vantu_param_name(i)));
  const valuesView = () => new Int32Array(M.HEAP32.buffer, M._vantu_values(), count);
  const message = () => M.UTF8ToString(M._vantu_message());
  M.FS.mkdir(UPLOADS);

  function withString(text, call) {
    const size = M.lengthBytesUTF8(text) + 1;
    const pointer = M._malloc(size);
    try {
      M.stringToUTF8(text, pointer, size);
      return call(pointer);
    } finally {
      M._free(pointer);
    }
  }

  // A parameter file's values (the shipped file for ''), with the module's warning if any.
  function readParamFile(path) {
    const ok = withString(path, (pointer) => M._vantu_read_param_file(pointer));
    return ok ? { values: valuesView().slice(), warning: message() } : { refusal: message() };
  }

  const columns = M._vantu_picture_columns();
  const rows = M._vantu_picture_rows();

  return {
    paramNames,
    columns,
    rows,
    maxScale: M._vantu_max_scale(),

    // The palette's colours as [red, green, blue], where the six band colours begin, and which
    // are food's and poison's.
    palette() {
      const start = M._vantu_palette();
      const bytes = M.HEAPU8.slice(start, start + 3 * M._vantu_palette_size());
      return Array.from({ length: bytes.length / 3 }, (_, i) => Array.from(bytes.subarray(3 * i, 3 * i + 3)));
    },
    lowestBandColour: M._vantu_lowest_band_colour(),
    foodColour: M._vantu_food_colour(),
    poisonColour: M._vantu_poison_colour(),

    // Checks "NAME=VALUE" against `values` as --set does: the new values, or the reason it is refused.
    applySetting(values, setting) {
      valuesView().set(values);
      const ok = withString(setting, (pointer) => M._vantu_apply_setting(pointer));
      return ok ? { values: valuesView().slice() } : { refusal: message() };
    },

    readParamFile,

    // A file from the visitor's disk, read under its own name in a folder of its own (so that the
    // module's messages name it as the visitor knows it, and it cannot replace the shipped file).
    readUploadedParamFile(name, bytes) {
      const fileName = name.replace(/\//g, '_');
      M.FS.writeFile(`${UPLOADS}/${fileName}`, bytes);
      M.FS.chdir(UPLOADS);
      try {
        return readParamFile(fileName);
      } finally {
        M.FS.unlink(fileName);
        M.FS.chdir('/');
      }
    },

    start(seed, values) {
      valuesView().set(values);
      M._vantu_start(seed >>> 0);
    },
    advance: (ticks) => M._vantu_advance(ticks),
    isLive: () => M._vantu_is_live() === 1,
    // steps, energy, food, poison, restored, visited, then the six priority bands' counts.
    sample: () => new Int32Array(M.HEAP32.buffer, M._vantu_sample(), 12).slice(),
    summary: () => M.UTF8ToString(M._vantu_summary()),
    seriesHeader: M.UTF8ToString(M._vantu_series_header()),

    // The log up to `ticks` in pieces of bytes, each handed to `take` as it is made, so that a
    // long run's log never needs the module's memory whole.
    logPieces(ticks, take) {
      const copy = (pointer) => M.HEAPU8.slice(pointer, pointer + M._vantu_log_length());
      take(copy(M._vantu_log_begin()));
      for (let done = 0; done < ticks; done += LOG_PIECE_TICKS) {
        take(copy(M._vantu_log_more(Math.min(LOG_PIECE_TICKS, ticks - done))));
      }
    },

    // The boards' RGBA pixels at `scale`, a view valid until the module's next call.
    pixels(scale) {
      const pointer = M._vantu_pixels(scale);
      const length = 4 * columns * rows * scale * scale;
      return new Uint8ClampedArray(M.HEAPU8.buffer, pointer, length);
    },
  };
}

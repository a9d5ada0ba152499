// A run's seed and values as the visitor gives them, checked before anything changes: the values
// by the module, with the words vantu-headless --set uses, so the page never disagrees with it.
const MAX_SEED = 4294967295;

// The seed from a number or a digit string, or an Error saying why not.
export function checkSeed(seed) {
  const text = String(seed).trim();
  const whole = typeof seed === 'number' ? Number.isInteger(seed) : /^\d+$/.test(text);
  if (whole && Number(text) >= 0 && Number(text) <= MAX_SEED) return Number(text);
  throw refusal('seed', `seed takes a whole number from 0 to ${MAX_SEED}, not '${seed}'`);
}

// `values` with each [name, value] of `settings` set in turn, or an Error naming the first one
// refused.
export function checkSettings(simulation, values, settings) {
  for (const [name, value] of settings) {
    const outcome = simulation.applySetting(values, `${name}=${value}`);
    if (outcome.refusal) {
      // The module's reason for a bad value leaves out the parameter; an unknown one it names.
      const known = simulation.paramNames.includes(name);
      throw refusal(name, known ? `${name}: ${outcome.refusal}` : outcome.refusal);
    }
    values = outcome.values;
  }
  return values;
}

function refusal(field, message) {
  const error = new Error(message);
  error.field = field;
  return error;
}

// The seed and the 22 parameters as text fields, the page's messages, and the parameter files
// the visitor opens or drops. The form only holds text: the run keeps its own checked values.
export function createForm(paramNames) {
  const seedInput = document.querySelector('input[name="seed"]');
  const inputs = new Map(paramNames.map((name) => [name, addParameterInput(name)]));
  const fieldInput = (field) => (field === 'seed' ? seedInput : inputs.get(field));

  return {
    seedText: () => seedInput.value.trim(),
    valueText: (name) => inputs.get(name).value.trim(),

    // The form as a run's seed and values, every field good again.
    show(seed, values) {
      seedInput.value = String(seed);
      paramNames.forEach((name, index) => (inputs.get(name).value = String(values[index])));
      [seedInput, ...inputs.values()].forEach((input) => input.setAttribute('aria-invalid', 'false'));
    },

    markRefused(field, refused) {
      fieldInput(field)?.setAttribute('aria-invalid', String(refused));
    },

    // `commit(field, text)` when a field's edit is done: 'seed' or a parameter's name.
    onCommit(commit) {
      seedInput.addEventListener('change', () => commit('seed', seedInput.value.trim()));
      inputs.forEach((input, name) => input.addEventListener('change', () => commit(name, input.value.trim())));
    },

    // `open(name, bytes)` for a parameter file from the file picker or dropped on the page.
    onParamFile(open) {
      const read = (file) =>
        file.arrayBuffer().then(
          (buffer) => open(file.name, new Uint8Array(buffer)),
          (error) => say(`Could not read ${file.name}: ${error.message}`),
        );
      const picker = document.getElementById('open-params');
      picker.addEventListener('change', () => {
        if (picker.files.length) read(picker.files[0]);
        picker.value = '';
      });
      document.addEventListener('dragover', (event) => event.preventDefault());
      document.addEventListener('drop', (event) => {
        event.preventDefault();
        const file = event.dataTransfer.files[0];
        if (file) read(file);
      });
    },
  };
}

export function say(text) {
  document.getElementById('message').textContent = text;
}

function addParameterInput(name) {
  const label = document.createElement('label');
  const input = document.createElement('input');
  input.type = 'text';
  input.name = name;
  input.spellcheck = false;
  input.autocomplete = 'off';
  label.append(name, input);
  document.getElementById('parameters').append(label);
  return input;
}

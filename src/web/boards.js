// The boards on the page's canvas: the module's pixels as they are, one putImageData a frame. The
// colours are the module's alone, so the page and the pictures of vantu-headless always agree.
export function createBoards(canvas, simulation) {
  const scale = Number(canvas.dataset.scale);
  canvas.width = simulation.columns * scale;
  canvas.height = simulation.rows * scale;
  canvas.style.width = `${canvas.width}px`;
  canvas.style.height = `${canvas.height}px`;
  const context = canvas.getContext('2d');
  const image = context.createImageData(canvas.width, canvas.height);

  return {
    draw() {
      image.data.set(simulation.pixels(scale));
      context.putImageData(image, 0, 0);
    },
  };
}

// The boards as a PNG at `scale`, drawn off the page, as the bytes of the file.
export function picturePng(simulation, scale) {
  if (!Number.isInteger(scale) || scale < 1 || scale > simulation.maxScale) {
    throw new Error(`a picture's scale is a whole number from 1 to ${simulation.maxScale}, not ${scale}`);
  }
  const url = pictureCanvas(simulation, scale).toDataURL('image/png');
  const text = atob(url.slice(url.indexOf(',') + 1));
  return Uint8Array.from(text, (character) => character.charCodeAt(0));
}

export function pictureCanvas(simulation, scale) {
  const canvas = document.createElement('canvas');
  canvas.width = simulation.columns * scale;
  canvas.height = simulation.rows * scale;
  const context = canvas.getContext('2d');
  const image = context.createImageData(canvas.width, canvas.height);
  image.data.set(simulation.pixels(scale));
  context.putImageData(image, 0, 0);
  return canvas;
}

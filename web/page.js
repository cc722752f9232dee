// The page's own script, run as the page is first laid out, before the program (bezier2d.js):
// tells the program its canvas, registers the service worker that keeps the page working
// offline, and makes the canvas's WebGL context now. Without a GPU a browser takes hundreds of
// milliseconds to start its graphics: better before the page first shows than while it should
// answer. A context lost before the program takes it over is asked back all the same.
var Module = {
  canvas: document.getElementById('canvas'),
  contextAttributes: {alpha: false, depth: false, stencil: false, antialias: true}
};
Module.canvas.addEventListener('webglcontextlost', function(event) {
  event.preventDefault();
});
Module.canvas.getContext('webgl', Module.contextAttributes);
if ('serviceWorker' in navigator && location.protocol.startsWith('http')) {
  navigator.serviceWorker.register('sw.js');
}

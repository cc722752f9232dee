// The page's own script, run as the page is first laid out, before the program (bezier2d.js):
// shows the window, tells the program its canvas, registers the service worker that keeps the
// page working offline, and makes the canvas's WebGL context now (without a GPU a browser takes
// hundreds of milliseconds to start its graphics: better before the page first shows than while
// it should answer). Everything the page says is said here: the program's GLUT and GL tell it
// what happened (Module.page), and it shows that on the page and to a screen reader. It also
// drives the Pause button and follows the system's wish for reduced motion.
var Module = (function() {
  var element = document.getElementById.bind(document);
  var canvas = element('canvas'), pause = element('pause'), status = element('status');
  var reduce = matchMedia('(prefers-reduced-motion: reduce)');
  var attributes = {alpha: false, depth: false, stencil: false, antialias: true};
  var paused = false, failure = null, lostTimer = null;
  // How long a lost WebGL context may stay away before the page says so.
  var LOST_MS = 5000;
  var DESKTOP = ' The desktop program, bezier2d, shows the same curves.';
  var MESSAGES = {
    load: 'The page could not load its program (%). Check the connection and reload the page.',
    stopped: 'The program stopped (%). Reload the page to start it again.',
    webgl:
        'This page needs WebGL, which this browser does not offer (or has turned off).' + DESKTOP,
    lost: "The browser has taken away this page's WebGL drawing context and not given it back. " +
        'Reload the page to see the curves again.',
    shaders: 'This browser cannot draw the curves (%).' + DESKTOP,
  };

  // Shows the picture, or instead a message that says why there is none.
  var show = function(message) {
    element('window').hidden = element('controls').hidden = message != null;
    element('message').textContent = message || '';
  };
  // Says why nothing can be drawn; a lasting failure is not replaced by a passing one.
  var fail = function(kind, detail) {
    if (failure && failure != 'lost') return;
    failure = kind;
    show(MESSAGES[kind].replace('%', detail));
  };
  var setPaused = function(wish, why) {
    paused = wish;
    Module.pause(paused);
    pause.textContent = paused ? 'Play' : 'Pause';
    status.textContent = paused ? 'Paused' + why : 'Playing';
    // The canvas's description says why it holds still, for a screen reader to say at the focus.
    element('motion').textContent = paused && why ? status.textContent : '';
  };

  element('window').hidden = false;
  // A file of the page that did not arrive, or an error that stopped the program.
  addEventListener('error', function(event) {
    var file = event.target.src || event.target.href;
    fail(file ? 'load' : 'stopped', file ? file + ' did not arrive' : event.message);
  }, true);
  canvas.addEventListener('webglcontextlost', function(event) {
    event.preventDefault();  // asks for the context back
  });
  canvas.getContext('webgl', attributes);
  // Without the worker the page still works, only not offline.
  if ('serviceWorker' in navigator && location.protocol.startsWith('http'))
    navigator.serviceWorker.register('sw.js').catch(function() {});

  return {
    canvas: canvas,
    contextAttributes: attributes,
    // The program's WebAssembly is fetched here, so that a file that fails to arrive is said.
    instantiateWasm: function(imports, receive) {
      fetch('bezier2d.wasm', {credentials: 'same-origin'})
          .then(function(response) {
            if (!response.ok) throw 'bezier2d.wasm: ' + response.status + ' ' + response.statusText;
            return response.arrayBuffer();
          })
          .then(function(bytes) {
            return WebAssembly.instantiate(bytes, imports);
          })
          .then(
              function(result) {
                receive(result.instance);
              },
              function(why) {
                fail('load', why);
              });
      return {};
    },
    onAbort: function(what) {
      fail('stopped', what);
    },
    // What the program's GLUT and GL tell the page.
    page: {
      // The first frame is drawn: the canvas names the curves, the hint and the Pause button show
      // (they could not answer before), the page's benchmark finds it marked, and a system that
      // asks for reduced motion gets the page paused. The canvas takes the focus then, unless the
      // visitor has put it elsewhere, so that space works at once and a screen reader says that
      // the curves have come, with a pause at the system's wish and the hint; its ring shows
      // where a keyboard is likely, not on a touch screen.
      drawn: function() {
        performance.mark('bezier2d first frame');
        canvas.setAttribute('aria-label', 'Three Bezier curves easing toward new random targets');
        document.querySelector('main').classList.remove('waiting');
        pause.addEventListener('click', function() {
          setPaused(!paused, '');
        });
        reduce.addEventListener('change', function() {
          setPaused(reduce.matches, ', as the system asks for reduced motion');
        });
        if (reduce.matches) setPaused(true, ', as the system asks for reduced motion');
        if (document.activeElement == document.body)
          canvas.focus({focusVisible: !matchMedia('(pointer: coarse)').matches});
      },
      // The caption's text, for screen readers.
      caption: function(text) {
        element('caption').textContent = text;
      },
      lost: function() {
        lostTimer = setTimeout(fail, LOST_MS, 'lost');
      },
      // The context is back: if the page had said it was gone, the picture and the focus are back,
      // and that is said too.
      restored: function() {
        clearTimeout(lostTimer);
        if (failure != 'lost') return;
        failure = null;
        show(null);
        canvas.focus();
        status.textContent = 'The curves are back';
      },
      failed: fail,
    },
  };
})();

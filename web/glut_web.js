// The GLUT that bezier2d calls, for the web build: the page's canvas is the window, the browser's
// animation frames are the main loop, and the page's visibility is the window's. Keys reach the
// program only while the canvas has the focus, and a tap or a left click on it is the space bar;
// every other key, Tab and the browser's shortcuts among them, stays the browser's. The page
// (page.js) can pause the loop, and hears from here when there is no WebGL.
mergeInto(LibraryManager.library, {
  $glut: {
    startTime: 0,  // performance.now() at glutInit, moved on by the time spent paused
    display: null,
    idle: null,
    keyboard: null,
    visibility: null,
    ignoreKeyRepeat: false,
    redisplay: false,
    frameRequested: false,
    paused: false,
    pausedAt: 0,
    // A step this long puts the shown curves on their targets, as after a long stall.
    STALL_MS: 2500,

    // GLUT's elapsed milliseconds, which stand still while the loop is paused.
    now: function() {
      return (glut.paused ? glut.pausedAt : performance.now()) - glut.startTime;
    },

    // Asks the browser for an animation frame if the next one has anything to do.
    schedule: function() {
      if (glut.frameRequested || !(glut.redisplay || (glut.idle && !glut.paused))) return;
      glut.frameRequested = true;
      requestAnimationFrame(glut.frame);
    },

    // One turn of the main loop, as freeglut takes it on the desktop: the animation step, then
    // the frame it asked for.
    frame: function() {
      glut.frameRequested = false;
      if (glut.idle && !glut.paused) glut.idle();
      if (glut.redisplay && glut.display) {
        glut.redisplay = false;
        glut.display();
      }
      glut.schedule();
    },

    // Paused, the page asks for no frames and runs no step, and GLUT's clock stands still, so the
    // first step after it is as short as any other.
    pause: function(paused) {
      if (paused == glut.paused) return;
      if (paused)
        glut.pausedAt = performance.now();
      else
        glut.startTime += performance.now() - glut.pausedAt;
      glut.paused = paused;
      glut.schedule();
    },

    // A key for the program. Paused, space (and so a tap or a click) shows its new targets at
    // once: one step as long as a stall puts the curves on them, with no motion in between.
    press: function(key) {
      glut.keyboard(key, 0, 0);
      if (key != 32 || !glut.paused || !glut.idle) return;
      glut.startTime -= glut.STALL_MS;
      glut.idle();
      glut.postRedisplay();
    },

    // Asks for the frame to be drawn, paused or not: the program posted a redisplay, or the window
    // changed size or got its context back.
    postRedisplay: function() {
      glut.redisplay = true;
      glut.schedule();
    },
  },

  glutInit__deps: ['$glut'],
  glutInit: function(argc, argv) {
    glut.startTime = performance.now();
  },

  glutCreateWindow__deps: ['$glut', '$webGL'],
  // Without WebGL the page says so instead, and the program goes no further.
  glutCreateWindow: function(title) {
    document.title = UTF8ToString(title);
    if (webGL.create(Module.canvas, glut.postRedisplay)) return 1;
    Module.page.failed('webgl');
    throw 'unwind';
  },

  glutGet__deps: ['$glut'],
  glutGet: function(type) {
    if (type != 700 /* GLUT_ELAPSED_TIME */)
      throw 'glutGet: only GLUT_ELAPSED_TIME is kept here, not ' + type;
    return glut.now() | 0;
  },

  glutDisplayFunc__deps: ['$glut'],
  glutDisplayFunc: function(func) {
    glut.display = getWasmTableEntry(func);
  },

  glutIdleFunc__deps: ['$glut'],
  glutIdleFunc: function(func) {
    glut.idle = func ? getWasmTableEntry(func) : null;
    glut.schedule();
  },

  // The page's visibility stands for the window's.
  glutVisibilityFunc__deps: ['$glut'],
  glutVisibilityFunc: function(func) {
    glut.visibility = getWasmTableEntry(func);
    document.addEventListener('visibilitychange', function() {
      glut.visibility(document.hidden ? 0 /* GLUT_NOT_VISIBLE */ : 1 /* GLUT_VISIBLE */);
    });
  },

  // A key that types a character reaches the program while the canvas has the focus, as
  // freeglut hands it on the desktop: a Latin-1 character (any other reaches it as nothing). Only
  // space, which would scroll the page, is kept from the browser. A tap or a left click on the
  // canvas is the space bar, once per tap or click (the mouse events a browser makes up after a
  // touch are not pointer events).
  glutKeyboardFunc__deps: ['$glut'],
  glutKeyboardFunc: function(func) {
    glut.keyboard = getWasmTableEntry(func);
    Module.canvas.addEventListener('keydown', function(event) {
      if (event.key.length != 1 || event.ctrlKey || event.altKey || event.metaKey) return;
      if (event.key == ' ') event.preventDefault();
      var code = event.key.charCodeAt(0);
      if (code <= 0xFF && !(event.repeat && glut.ignoreKeyRepeat)) glut.press(code);
    });
    // A touch is a tap when its finger lifts and no other came down meanwhile: a pinch is none.
    var fingers = 0, many = false;
    Module.canvas.addEventListener('pointerdown', function(event) {
      if (event.pointerType != 'touch') return event.button == 0 && glut.press(32);
      many = ++fingers > 1;  // only a first finger (a new touch) makes it false
    });
    ['pointerup', 'pointercancel'].forEach(function(type) {
      Module.canvas.addEventListener(type, function(event) {
        if (event.pointerType != 'touch') return;
        fingers = Math.max(0, fingers - 1);  // a finger down before the page listened
        if (!fingers && !many && type == 'pointerup') glut.press(32);
      });
    });
  },

  glutIgnoreKeyRepeat__deps: ['$glut'],
  glutIgnoreKeyRepeat: function(ignore) {
    glut.ignoreKeyRepeat = ignore != 0;
  },

  glutPostWindowRedisplay__deps: ['$glut'],
  glutPostWindowRedisplay: function(window) {
    glut.postRedisplay();
  },

  // Draws the first frame, then returns to the browser, which runs the loop from then on; the
  // page can pause it from here.
  glutMainLoop__deps: ['$glut'],
  glutMainLoop: function() {
    Module.pause = glut.pause;
    glut.postRedisplay();
    throw 'unwind';
  },
});

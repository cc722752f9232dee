// The GLUT calls that Emscripten's GLUT lacks, for the web build of bezier2d, and a few that it
// has but that need more here.
mergeInto(LibraryManager.library, {
  // A multisampled context smooths line edges, as GL_LINE_SMOOTH does on the desktop.
  glutInitDisplayMode__deps: ['$GLUT'],
  glutInitDisplayMode: function(mode) {
    GLUT.initDisplayMode = mode | 0x0080 /* GLUT_MULTISAMPLE */;
  },

  glutGetWindow: function() {
    return Module.ctx ? 1 : 0;  // the one window that glutCreateWindow made
  },

  glutPostWindowRedisplay__deps: ['glutPostRedisplay'],
  glutPostWindowRedisplay: function(window) {
    _glutPostRedisplay();
  },

  // The page's visibility stands for the window's.
  glutVisibilityFunc: function(func) {
    document.addEventListener('visibilitychange', function() {
      {{{ makeDynCall('vi', 'func') }}}(document.hidden ? 0 /* GLUT_NOT_VISIBLE */ : 1 /* GLUT_VISIBLE */);
    });
  },

  // Where there is no keyboard, a tap or a left click on the picture is the space bar: it goes
  // the space bar's way, once per tap (the mouse events a browser makes up after a touch are not
  // pointer-down events).
  glutKeyboardFunc__deps: ['$GLUT'],
  glutKeyboardFunc: function(func) {
    GLUT.keyboardFunc = func;
    Module.canvas.addEventListener('pointerdown', function(event) {
      if (event.button == 0) GLUT.onKeydown({keyCode: 32, preventDefault: function() {}});
    });
  },

  // The browser repeats a held key; GLUT's keydown handler is wrapped once to drop repeats.
  glutIgnoreKeyRepeat__deps: ['$GLUT'],
  glutIgnoreKeyRepeat: function(ignore) {
    if (!GLUT.deliverKeydown) {
      GLUT.deliverKeydown = GLUT.onKeydown;
      window.removeEventListener('keydown', GLUT.onKeydown, true);
      GLUT.onKeydown = function(event) {
        if (!(event.repeat && GLUT.keyRepeatIgnored)) GLUT.deliverKeydown(event);
      };
      window.addEventListener('keydown', GLUT.onKeydown, true);
    }
    GLUT.keyRepeatIgnored = ignore;
  },

  // The browser shows the frame when the program returns to it. The caption's text also goes
  // into the page, for screen readers; the first frame is marked for the page's benchmark.
  glutSwapBuffers__deps: ['$webGL'],
  glutSwapBuffers: function() {
    var text = webGL.raster ? webGL.raster.text : '', caption = document.getElementById('caption');
    if (caption.textContent == text) return;
    if (!caption.textContent) performance.mark('bezier2d first frame');
    caption.textContent = text;
  },
});

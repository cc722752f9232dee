// The GLUT calls that Emscripten's GLUT lacks, for the web build of bezier2d, and two that it
// has but that need more here. The caption's bitmap glyphs become text laid over the canvas.
mergeInto(LibraryManager.library, {
  $bezier2dCaption: {x: 0, y: 0, text: '', shown: null},

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

  // Bitmap text: the raster position starts a line of text, each character extends it, and
  // the buffer swap shows it in the page's #caption element, white, at the same place.
  glRasterPos2i__deps: ['$bezier2dCaption'],
  glRasterPos2i: function(x, y) {
    bezier2dCaption.x = x;
    bezier2dCaption.y = y;
    bezier2dCaption.text = '';
  },

  glutBitmapCharacter__deps: ['$bezier2dCaption'],
  glutBitmapCharacter: function(font, character) {
    bezier2dCaption.text += String.fromCharCode(character);
  },

  glutSwapBuffers__deps: ['$bezier2dCaption'],
  glutSwapBuffers: function() {
    var caption = bezier2dCaption;
    if (caption.shown === caption.text) return;
    if (caption.shown === null) performance.mark('bezier2d first frame');
    var element = document.getElementById('caption');
    element.textContent = caption.shown = caption.text;
    // View units are canvas pixels; the text's baseline is about 15 px below its box's top.
    element.style.left = caption.x + 'px';
    element.style.top = (Module.canvas.height - caption.y - 15) + 'px';
  },
});

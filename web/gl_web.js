// The OpenGL that bezier2d calls, drawn with WebGL for the web build: immediate-mode line strips
// and points in view units under a 2-D projection, blending, and GLUT's bitmap caption in
// freeglut's own Helvetica 18 glyphs. The canvas's backing store follows its shown size times
// the device-pixel ratio, so the picture is sharp on any screen: lines stay one CSS pixel wide,
// smoothed points are round and scale with the window, and so does the caption. When the browser
// takes the WebGL context away, drawing resumes once it gives it back.
mergeInto(LibraryManager.library, {
  $webGL__deps: ['$GL', '$helvetica18'],
  $webGL: {
    projection: [-1, 1, -1, 1],  // left, right, bottom, top
    matrixMode: 0x1700,          // GL_MODELVIEW
    clearColor: [0, 0, 0, 0],
    blend: false,
    blendFunc: [1, 0],
    smooth: {},  // whether GL_LINE_SMOOTH and GL_POINT_SMOOTH are enabled, by their numbers
    color: [1, 1, 1],
    pointSize: 1,
    mode: 0,
    vertices: [],
    raster: null,   // x, y and colour of the raster position, and the text drawn from it
    glyphs: [],     // Helvetica 18's glyphs as bytes, decoded on first use
    program: null,  // made on the first draw, and again after a restored context
    uniforms: {},   // where the program takes its uniforms, by name
    listening: false,
    lostMessage: null,

    // Device pixels per view unit.
    unit: function() {
      return GLctx.drawingBufferWidth / (webGL.projection[1] - webGL.projection[0]);
    },

    // Compiles the one shader program, sets the state a restored context has lost, and answers
    // whether drawing is possible now.
    prepare: function() {
      if (GLctx.isContextLost()) return false;
      if (!webGL.program) {
        webGL.listen();
        var program = GLctx.createProgram();
        [[GLctx.VERTEX_SHADER,
          'attribute vec2 position; uniform vec4 projection; uniform float pointSize;' +
          'void main() { gl_PointSize = pointSize; gl_Position = vec4(2.0 * (position - ' +
          'projection.xz) / (projection.yw - projection.xz) - 1.0, 0.0, 1.0); }'],
         [GLctx.FRAGMENT_SHADER,
          // A round point's alpha falls off over the last device pixel of its radius.
          'precision mediump float; uniform vec3 color; uniform float roundSize;' +
          'void main() { float alpha = roundSize > 0.0 ? clamp((0.5 - length(gl_PointCoord - ' +
          '0.5)) * roundSize + 0.5, 0.0, 1.0) : 1.0; gl_FragColor = vec4(color, alpha); }']]
            .forEach(function(source) {
              var shader = GLctx.createShader(source[0]);
              GLctx.shaderSource(shader, source[1]);
              GLctx.compileShader(shader);
              GLctx.attachShader(program, shader);
            });
        GLctx.bindAttribLocation(program, 0, 'position');
        GLctx.linkProgram(program);
        GLctx.useProgram(program);
        GLctx.bindBuffer(GLctx.ARRAY_BUFFER, GLctx.createBuffer());
        GLctx.enableVertexAttribArray(0);
        GLctx.vertexAttribPointer(0, 2, GLctx.FLOAT, false, 0, 0);
        ['projection', 'color', 'pointSize', 'roundSize'].forEach(function(name) {
          webGL.uniforms[name] = GLctx.getUniformLocation(program, name);
        });
        webGL.program = program;
      }
      return true;
    },

    // Listens, once, for the browser taking the context away and giving it back; says so on the
    // page if it has not come back after a few seconds.
    listen: function() {
      if (webGL.listening) return;
      webGL.listening = true;
      var canvas = Module.canvas, message = document.getElementById('lost');
      canvas.addEventListener('webglcontextlost', function(event) {
        event.preventDefault();  // asks for the context back
        webGL.program = null;
        webGL.lostMessage = setTimeout(function() { message.hidden = false; }, 5000);
      });
      canvas.addEventListener('webglcontextrestored', function() {
        clearTimeout(webGL.lostMessage);
        message.hidden = true;
      });
    },

    // Draws flat x, y pairs in view units as triangles or points in the given colour.
    draw: function(mode, vertices, color, roundSize) {
      if (!webGL.prepare()) return;
      var uniforms = webGL.uniforms;
      webGL.blend ? GLctx.enable(GLctx.BLEND) : GLctx.disable(GLctx.BLEND);
      GLctx.blendFunc(webGL.blendFunc[0], webGL.blendFunc[1]);
      GLctx.uniform4fv(uniforms.projection, webGL.projection);
      GLctx.uniform3fv(uniforms.color, color);
      GLctx.uniform1f(uniforms.pointSize, roundSize || 1);
      GLctx.uniform1f(uniforms.roundSize, roundSize);
      GLctx.bufferData(GLctx.ARRAY_BUFFER, new Float32Array(vertices), GLctx.STREAM_DRAW);
      GLctx.drawArrays(mode, 0, vertices.length / 2);
    },

    // A line strip as a ribbon of triangles one CSS pixel wide, each segment lengthened by half
    // the width at both ends so that consecutive segments overlap at their joints.
    ribbon: function(points) {
      var half = 0.5 * (window.devicePixelRatio || 1) / webGL.unit(), ribbon = [];
      for (var i = 2; i < points.length; i += 2) {
        var x0 = points[i - 2], y0 = points[i - 1], x1 = points[i], y1 = points[i + 1];
        var length = Math.hypot(x1 - x0, y1 - y0);
        if (length == 0) continue;
        var ux = (x1 - x0) / length * half, uy = (y1 - y0) / length * half;
        x0 -= ux, y0 -= uy, x1 += ux, y1 += uy;
        ribbon.push(x0 - uy, y0 + ux, x0 + uy, y0 - ux, x1 - uy, y1 + ux,
                    x1 - uy, y1 + ux, x0 + uy, y0 - ux, x1 + uy, y1 - ux);
      }
      return ribbon;
    },
  },

  glEnable__deps: ['$webGL'],
  glEnable: function(capability) {
    if (capability == 0x0BE2 /* GL_BLEND */) webGL.blend = true;
    else webGL.smooth[capability] = true;  // GL_LINE_SMOOTH, GL_POINT_SMOOTH
  },

  glBlendFunc__deps: ['$webGL'],
  glBlendFunc: function(source, destination) {
    webGL.blendFunc = [source, destination];
  },

  glClearColor__deps: ['$webGL'],
  glClearColor: function(red, green, blue, alpha) {
    webGL.clearColor = [red, green, blue, alpha];
  },

  // A frame starts here: the backing store takes the canvas's shown size in device pixels, and
  // the viewport all of it.
  glClear__deps: ['$webGL'],
  glClear: function(mask) {
    var canvas = Module.canvas, shown = canvas.getBoundingClientRect();
    var ratio = window.devicePixelRatio || 1;
    var width = Math.round(shown.width * ratio), height = Math.round(shown.height * ratio);
    if (width > 0 && height > 0 && (canvas.width != width || canvas.height != height)) {
      canvas.width = width;
      canvas.height = height;
    }
    if (!webGL.prepare()) return;
    GLctx.viewport(0, 0, GLctx.drawingBufferWidth, GLctx.drawingBufferHeight);
    GLctx.clearColor.apply(GLctx, webGL.clearColor);
    GLctx.clear(mask);
  },

  glMatrixMode__deps: ['$webGL'],
  glMatrixMode: function(mode) {
    webGL.matrixMode = mode;
  },

  // The model-view matrix is never moved from the identity, so these have nothing to keep.
  glPushMatrix: function() {},
  glPopMatrix: function() {},

  glLoadIdentity__deps: ['$webGL'],
  glLoadIdentity: function() {
    if (webGL.matrixMode == 0x1701 /* GL_PROJECTION */) webGL.projection = [-1, 1, -1, 1];
  },

  // On an identity projection, as after glLoadIdentity.
  gluOrtho2D__deps: ['$webGL'],
  gluOrtho2D: function(left, right, bottom, top) {
    if (webGL.matrixMode == 0x1701 /* GL_PROJECTION */) webGL.projection = [left, right, bottom, top];
  },

  glColor3f__deps: ['$webGL'],
  glColor3f: function(red, green, blue) {
    webGL.color = [red, green, blue];
  },

  glPointSize__deps: ['$webGL'],
  glPointSize: function(size) {
    webGL.pointSize = size;
  },

  glBegin__deps: ['$webGL'],
  glBegin: function(mode) {
    webGL.mode = mode;
    webGL.vertices = [];
  },

  glVertex2f__deps: ['$webGL'],
  glVertex2f: function(x, y) {
    webGL.vertices.push(x, y);
  },

  // Line strips and points, the two kinds of primitive the program draws. Points are as many
  // view units across as their size, so they scale with the window; smoothed, they are round.
  glEnd__deps: ['$webGL'],
  glEnd: function() {
    if (webGL.mode == 0x0003 /* GL_LINE_STRIP */) {
      webGL.draw(GLctx.TRIANGLES, webGL.ribbon(webGL.vertices), webGL.color, 0);
    } else if (webGL.mode == 0x0000 /* GL_POINTS */) {
      var size = webGL.pointSize * webGL.unit();
      webGL.draw(GLctx.POINTS, webGL.vertices, webGL.color, webGL.smooth[0x0B10] ? size : 0);
    } else {
      throw 'glBegin: only GL_LINE_STRIP and GL_POINTS are drawn here, not ' + webGL.mode;
    }
  },

  // The raster position takes the current colour, as in OpenGL.
  glRasterPos2i__deps: ['$webGL'],
  glRasterPos2i: function(x, y) {
    webGL.raster = {x: x, y: y, color: webGL.color, text: ''};
  },

  // A glyph of freeglut's Helvetica 18 at the raster position, each of its pixels a square view
  // unit, so that at the window's own size it is the desktop's glyph pixel for pixel; then the
  // raster position moves on by the glyph's width.
  glutBitmapCharacter__deps: ['$webGL', '$helvetica18'],
  glutBitmapCharacter: function(font, character) {
    var raster = webGL.raster, index = character - helvetica18.first;
    var hex = helvetica18.glyphs[index];
    if (!hex || !raster) return;
    var glyph = webGL.glyphs[index] = webGL.glyphs[index] ||
        Uint8Array.from(hex.match(/../g), function(byte) { return parseInt(byte, 16); });
    var width = glyph[0], rowBytes = (width + 7) >> 3, squares = [];
    for (var row = 0; row < helvetica18.height; ++row) {
      var y = raster.y - helvetica18.yorig + row;
      for (var column = 0; column < width; ++column) {
        if (!(glyph[1 + row * rowBytes + (column >> 3)] & (0x80 >> (column & 7)))) continue;
        var x = raster.x + column;
        squares.push(x, y, x + 1, y, x, y + 1, x, y + 1, x + 1, y, x + 1, y + 1);
      }
    }
    if (squares.length) webGL.draw(GLctx.TRIANGLES, squares, raster.color, 0);
    raster.x += width;
    raster.text += String.fromCharCode(character);
  },
});

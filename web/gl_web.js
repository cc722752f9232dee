// The OpenGL that bezier2d calls, drawn with WebGL for the web build: immediate-mode line strips
// and points in view units under a 2-D projection, blending, and GLUT's bitmap caption in
// freeglut's own Helvetica 18 glyphs. The canvas's backing store follows its shown size times the
// device-pixel ratio, so the picture is sharp on any screen: lines stay one CSS pixel wide,
// smoothed points are round and scale with the window, and so does the caption.
// A frame makes no garbage: its vertices go into typed arrays made once (and grown only when a
// frame needs more), go to WebGL in one upload at the swap, and the caption, which does not
// change, is drawn from a buffer built once. The program calls nothing else of OpenGL: a call
// that is not here fails the link. The page (page.js) hears when the context is lost and when it
// comes back, and when the shaders fail.
mergeInto(LibraryManager.library, {
  $webGL__deps: ['$helvetica18'],
  $webGL: {
    gl: null,
    program: null,  // made on the first frame, and again after a restored context
    uniforms: {},   // where the program takes its uniforms, by name
    buffer: null,   // the frame's geometry, uploaded at every swap
    bufferSize: 0,
    ready: false,   // whether this frame can be drawn: the context is there and the program made
    broken: false,  // the shaders failed: nothing can be drawn
    shownWidth: 0,  // the canvas's size on the page, in CSS pixels
    shownHeight: 0,

    // The state the program sets.
    projection: [-1, 1, -1, 1],  // left, right, bottom, top
    matrixMode: 0x1700,          // GL_MODELVIEW
    clearColor: [0, 0, 0, 0],
    blend: false,
    blendSource: 1,
    blendDestination: 0,
    pointSmooth: false,

    // The frame: the geometry drawn from the program's vertices, in view units (ribbons for line
    // strips), and the draws to make at the swap, in order.
    geometry: null,  // made with the context (the build would write out an array made here)
    used: 0,
    view: null,  // geometry.subarray(0, used), kept while used does not change
    draws: [],
    drawCount: 0,

    // The caption: one line of bitmap text, its characters, where it starts, and its geometry in
    // its own buffer, built again only when the text or its place changes.
    caption: {
      x: NaN,
      y: NaN,
      chars: [],
      length: 0,
      built: -1,
      buffer: null,
      vertexCount: 0,
      queued: false
    },
    glyphs: [],  // Helvetica 18's glyphs as bytes, decoded on first use

    // Takes the canvas's context over (page.js has made it, or it is made here), if there is one,
    // with listeners for its loss: a context lost at any time is asked back, and the page hears of
    // the loss and of the return. redraw() is called when the context comes back, and when the
    // canvas changes size or moves to a screen of another density.
    create: function(canvas, redraw) {
      webGL.gl = canvas.getContext('webgl', Module.contextAttributes);
      if (!webGL.gl) return false;
      var lost = function() {
        webGL.program = webGL.buffer = webGL.caption.buffer = null;
        Module.page.lost();
      };
      canvas.addEventListener('webglcontextlost', function(event) {
        event.preventDefault();  // asks for the context back
        lost();
      });
      canvas.addEventListener('webglcontextrestored', function() {
        Module.page.restored();
        redraw();
      });
      if (webGL.gl.isContextLost()) lost();
      var shown = canvas.getBoundingClientRect();
      webGL.shownWidth = shown.width;
      webGL.shownHeight = shown.height;
      new ResizeObserver(function(entries) {
        var size = entries[entries.length - 1].contentRect;
        webGL.shownWidth = size.width;
        webGL.shownHeight = size.height;
        redraw();
      }).observe(canvas);
      // Another density leaves the canvas's size in CSS pixels as it is.
      var density = function() {
        var query = matchMedia('(resolution: ' + devicePixelRatio + 'dppx)');
        query.addEventListener('change', function() {
          density();
          redraw();
        }, {once: true});
      };
      density();
      webGL.geometry = new Float32Array(65536);
      return true;
    },

    // Says on the console and on the page that nothing can be drawn, and why.
    fail: function(why) {
      console.error('bezier2d: ' + why);
      Module.page.failed('shaders', why);
      webGL.broken = true;
    },

    // Compiles and links the one shader program and makes the buffers, after the first frame's
    // start or a restored context; answers whether drawing is possible now. Only the link's
    // status is asked for (each question waits for the GPU), and the logs only if it failed.
    prepare: function() {
      var gl = webGL.gl;
      if (webGL.broken || gl.isContextLost()) return false;
      if (webGL.program) return true;
      var program = gl.createProgram();
      var shaders = [
        [
          gl.VERTEX_SHADER,
          'attribute vec2 position; uniform vec4 projection; uniform float pointSize;' +
              'void main() { gl_PointSize = pointSize; gl_Position = vec4(2.0 * (position - ' +
              'projection.xz) / (projection.yw - projection.xz) - 1.0, 0.0, 1.0); }'
        ],
        [
          gl.FRAGMENT_SHADER,
          // A round point's alpha falls off over the last device pixel of its radius.
          'precision mediump float; uniform vec3 color; uniform float roundSize;' +
              'void main() { float alpha = roundSize > 0.0 ? clamp((0.5 - length(gl_PointCoord - ' +
              '0.5)) * roundSize + 0.5, 0.0, 1.0) : 1.0; gl_FragColor = vec4(color, alpha); }'
        ]
      ].map(function(source) {
        var shader = gl.createShader(source[0]);
        gl.shaderSource(shader, source[1]);
        gl.compileShader(shader);
        gl.attachShader(program, shader);
        return shader;
      });
      gl.bindAttribLocation(program, 0, 'position');
      gl.linkProgram(program);
      if (!gl.getProgramParameter(program, gl.LINK_STATUS) && !gl.isContextLost()) {
        webGL.fail(
            "the page's shaders did not build: " +
            shaders
                .map(function(shader) {
                  return gl.getShaderInfoLog(shader);
                })
                .concat(gl.getProgramInfoLog(program))
                .join(' ')
                .trim());
      }
      if (webGL.broken || gl.isContextLost()) return false;
      gl.useProgram(program);
      gl.enableVertexAttribArray(0);
      ['projection', 'color', 'pointSize', 'roundSize'].forEach(function(name) {
        webGL.uniforms[name] = gl.getUniformLocation(program, name);
      });
      webGL.buffer = gl.createBuffer();
      webGL.bufferSize = 0;
      webGL.caption.built = -1;
      webGL.program = program;
      return true;
    },

    // Device pixels per view unit.
    unit: function() {
      return webGL.gl.drawingBufferWidth / (webGL.projection[1] - webGL.projection[0]);
    },

    // A typed array with room for at least `size` numbers: the same one, or a copy twice as large.
    grow: function(array, size) {
      if (size <= array.length) return array;
      var larger = new Float32Array(Math.max(size, 2 * array.length));
      larger.set(array);
      return larger;
    },

    // Adds a draw of the geometry from `first` on (or of the caption) in the colour of the
    // program's drawing state at the address `state` (gl_vertices.cpp).
    queue: function(mode, first, size, caption, state) {
      var draw = webGL.draws[webGL.drawCount++];
      if (!draw) webGL.draws.push(draw = {});
      draw.mode = mode;
      draw.first = first / 2;
      draw.count = (webGL.used - first) / 2;
      draw.red = HEAPF32[state >> 2];
      draw.green = HEAPF32[(state >> 2) + 1];
      draw.blue = HEAPF32[(state >> 2) + 2];
      draw.size = size;
      draw.caption = caption;
    },

    // A line strip of count vertices from HEAPF32[first] on, as a ribbon of triangles one CSS
    // pixel wide in the geometry, each segment lengthened by half the width at both ends so that
    // consecutive segments overlap at their joints. A segment of no length makes triangles of no
    // area.
    ribbon: function(first, count) {
      var half = 0.5 * (window.devicePixelRatio || 1) / webGL.unit(), v = HEAPF32;
      webGL.geometry = webGL.grow(webGL.geometry, webGL.used + 12 * (count - 1));
      var g = webGL.geometry, o = webGL.used;
      for (var i = first + 2; i < first + 2 * count; i += 2) {
        var length = Math.sqrt((v[i] - v[i - 2]) ** 2 + (v[i + 1] - v[i - 1]) ** 2) || 1;
        var ux = (v[i] - v[i - 2]) / length * half, uy = (v[i + 1] - v[i - 1]) / length * half;
        // The segment's ends, each moved out by half the width.
        var x0 = v[i - 2] - ux, y0 = v[i - 1] - uy, x1 = v[i] + ux, y1 = v[i + 1] + uy;
        g[o++] = x0 - uy;  // two triangles: left of the start, right of it, left of the end
        g[o++] = y0 + ux;
        g[o++] = x0 + uy;
        g[o++] = y0 - ux;
        g[o++] = x1 - uy;
        g[o++] = y1 + ux;
        g[o++] = x1 - uy;  // left of the end, right of the start, right of the end
        g[o++] = y1 + ux;
        g[o++] = x0 + uy;
        g[o++] = y0 - ux;
        g[o++] = x1 + uy;
        g[o++] = y1 - ux;
      }
      webGL.used = o;
    },

    // The caption's glyphs from freeglut's Helvetica 18, each of their pixels a square view unit,
    // so that at the window's own size it is the desktop's caption pixel for pixel; each row's
    // runs of set pixels become one rectangle. Its text also goes to the page, for screen
    // readers.
    buildCaption: function() {
      var caption = webGL.caption, squares = [], x = caption.x, gl = webGL.gl;
      for (var k = 0; k < caption.length; ++k) {
        var index = caption.chars[k] - helvetica18.first, hex = helvetica18.glyphs[index];
        if (!hex) continue;
        var glyph = webGL.glyphs[index] =
            webGL.glyphs[index] || Uint8Array.from(hex.match(/../g), function(byte) {
              return parseInt(byte, 16);
            });
        var width = glyph[0], rowBytes = (width + 7) >> 3;
        for (var row = 0; row < helvetica18.height; ++row) {
          var y = caption.y - helvetica18.yorig + row, start = -1;
          for (var column = 0; column <= width; ++column) {
            var set = column < width &&
                glyph[1 + row * rowBytes + (column >> 3)] & (0x80 >> (column & 7));
            if (set && start < 0) start = column;
            if (set || start < 0) continue;
            var x0 = x + start, x1 = x + column;
            squares.push(x0, y, x1, y, x0, y + 1, x0, y + 1, x1, y, x1, y + 1);
            start = -1;
          }
        }
        x += width;
      }
      caption.buffer = caption.buffer || gl.createBuffer();
      gl.bindBuffer(gl.ARRAY_BUFFER, caption.buffer);
      gl.bufferData(gl.ARRAY_BUFFER, new Float32Array(squares), gl.STATIC_DRAW);
      caption.vertexCount = squares.length / 2;
      caption.built = caption.length;
      Module.page.caption(String.fromCharCode.apply(null, caption.chars.slice(0, caption.length)));
    },

    // Line strips and points, the two kinds of primitive the program draws, from count x, y
    // pairs at the address `vertices` in the program's memory, with the colour and point size
    // at `state`. Points are as many view units across as their size, so they scale with the
    // window; smoothed, they are round.
    draw: function(mode, vertices, count, state) {
      var first = webGL.used;
      if (mode == 0x0003 /* GL_LINE_STRIP */) {
        webGL.ribbon(vertices >> 2, count);
        webGL.queue(0x0004 /* GL_TRIANGLES */, first, 0, false, state);
      } else if (mode == 0x0000 /* GL_POINTS */) {
        webGL.geometry = webGL.grow(webGL.geometry, first + 2 * count);
        for (var i = vertices >> 2; i < (vertices >> 2) + 2 * count; ++i)
          webGL.geometry[webGL.used++] = HEAPF32[i];
        var size = HEAPF32[(state >> 2) + 3] * webGL.unit();
        webGL.queue(0x0000 /* GL_POINTS */, first, webGL.pointSmooth ? size : 0, false, state);
      } else {
        throw 'glBegin: only GL_LINE_STRIP and GL_POINTS are drawn here, not ' + mode;
      }
    },

    // The end of a frame: the geometry goes to WebGL in one upload, then every draw in order.
    // Answers whether the frame could be drawn.
    finishFrame: function() {
      var gl = webGL.gl, uniforms = webGL.uniforms, p = webGL.projection, caption = webGL.caption;
      if (!webGL.ready || gl.isContextLost()) return false;
      if (caption.built != caption.length) webGL.buildCaption();
      gl.bindBuffer(gl.ARRAY_BUFFER, webGL.buffer);
      if (webGL.bufferSize < webGL.geometry.length) {
        webGL.bufferSize = webGL.geometry.length;
        gl.bufferData(gl.ARRAY_BUFFER, 4 * webGL.bufferSize, gl.STREAM_DRAW);
      }
      if (!webGL.view || webGL.view.length != webGL.used ||
          webGL.view.buffer != webGL.geometry.buffer) {
        webGL.view = webGL.geometry.subarray(0, webGL.used);
      }
      gl.bufferSubData(gl.ARRAY_BUFFER, 0, webGL.view);
      webGL.blend ? gl.enable(gl.BLEND) : gl.disable(gl.BLEND);
      gl.blendFunc(webGL.blendSource, webGL.blendDestination);
      gl.uniform4f(uniforms.projection, p[0], p[1], p[2], p[3]);
      gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
      var bound = webGL.buffer;
      for (var i = 0; i < webGL.drawCount; ++i) {
        var draw = webGL.draws[i], buffer = draw.caption ? caption.buffer : webGL.buffer;
        if (buffer != bound) {
          gl.bindBuffer(gl.ARRAY_BUFFER, bound = buffer);
          gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);  // the attribute follows the buffer
        }
        gl.uniform3f(uniforms.color, draw.red, draw.green, draw.blue);
        gl.uniform1f(uniforms.pointSize, draw.size || 1);
        gl.uniform1f(uniforms.roundSize, draw.size);
        gl.drawArrays(
            draw.mode, draw.caption ? 0 : draw.first,
            draw.caption ? caption.vertexCount : draw.count);
      }
      return true;
    },
  },

  glEnable__deps: ['$webGL'],
  glEnable: function(capability) {
    if (capability == 0x0BE2 /* GL_BLEND */)
      webGL.blend = true;
    else if (capability == 0x0B10 /* GL_POINT_SMOOTH */)
      webGL.pointSmooth = true;
    // Lines are always smoothed: the context is multisampled.
    else if (capability != 0x0B20 /* GL_LINE_SMOOTH */)
      throw 'glEnable: not kept here: ' + capability;
  },

  glBlendFunc__deps: ['$webGL'],
  glBlendFunc: function(source, destination) {
    webGL.blendSource = source;
    webGL.blendDestination = destination;
  },

  glClearColor__deps: ['$webGL'],
  glClearColor: function(red, green, blue, alpha) {
    webGL.clearColor = [red, green, blue, alpha];
  },

  // A frame starts here: the backing store takes the canvas's shown size in device pixels, and
  // the viewport all of it.
  glClear__deps: ['$webGL'],
  glClear: function(mask) {
    var canvas = Module.canvas, gl = webGL.gl, ratio = window.devicePixelRatio || 1;
    var width = Math.round(webGL.shownWidth * ratio),
        height = Math.round(webGL.shownHeight * ratio);
    var color = webGL.clearColor;
    if (width > 0 && height > 0 && (canvas.width != width || canvas.height != height)) {
      canvas.width = width;
      canvas.height = height;
    }
    webGL.used = webGL.drawCount = 0;
    webGL.caption.queued = false;
    webGL.ready = webGL.prepare();
    if (!webGL.ready) return;
    gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
    gl.clearColor(color[0], color[1], color[2], color[3]);
    gl.clear(mask);
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
    if (webGL.matrixMode == 0x1701 /* GL_PROJECTION */)
      webGL.projection = [left, right, bottom, top];
  },

  // The vertices of a glBegin/glEnd block, from gl_vertices.cpp.
  webGLDraw__deps: ['$webGL'],
  webGLDraw: function(mode, vertices, count, state) {
    webGL.draw(mode, vertices, count, state);
  },

  // glRasterPos2i, from gl_vertices.cpp: the raster position takes the current colour, as in
  // OpenGL, and the caption's draw takes its place among the frame's draws here. One line of
  // text a frame is kept.
  webGLRasterPos__deps: ['$webGL'],
  webGLRasterPos: function(x, y, state) {
    var caption = webGL.caption;
    if (caption.queued) throw 'glRasterPos2i: one line of bitmap text a frame is drawn here';
    if (caption.x != x || caption.y != y) caption.built = -1;
    caption.queued = true;
    caption.x = x;
    caption.y = y;
    caption.length = 0;
    webGL.queue(0x0004 /* GL_TRIANGLES */, webGL.used, 0, true, state);
  },

  // The caption's characters, one at a time from the raster position; its geometry is built at
  // the swap only if they differ from the last frame's.
  glutBitmapCharacter__deps: ['$webGL'],
  glutBitmapCharacter: function(font, character) {
    var caption = webGL.caption;
    if (caption.chars[caption.length] !== character) {
      caption.chars[caption.length] = character;
      caption.built = -1;
    }
    caption.length++;
  },
});

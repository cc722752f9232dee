// What the web build's OpenGL needs of the browser: the canvas's WebGL context and its loss, the
// shaders, and at the end of each frame the upload of the frame that the program recorded in its
// own memory (gl_web.cpp, frame.h), its text only when that changed, and its draws. The canvas's
// backing store follows its shown size times the device-pixel ratio, so the picture is sharp on any
// screen. The page (page.js) hears when the context is lost and when it comes back, when the
// shaders fail, and when the first frame is drawn.
mergeInto(LibraryManager.library, {
  $webGL: {
    gl: null,
    program: null,  // made on the first frame, and again after a restored context
    uniforms: {},   // where the program takes its uniforms, by name
    buffer: null,   // the frame's vertices: the text's when it changes, the rest at every swap
    bufferSize: 0,  // in vertices
    view: null,     // the frame's vertices, seen in the program's memory
    broken: false,  // the shaders failed: nothing can be drawn
    drawn: false,   // whether a frame has been drawn
    shownWidth: 0,  // the canvas's size on the page, in CSS pixels
    shownHeight: 0,

    // Takes the canvas's context over (page.js has made it, or it is made here), if there is one,
    // with listeners for its loss: a context lost at any time is asked back, and the page hears of
    // the loss and of the return. redraw() is called when the context comes back, and when the
    // canvas changes size or moves to a screen of another density.
    create: function(canvas, redraw) {
      webGL.gl = canvas.getContext('webgl', Module.contextAttributes);
      if (!webGL.gl) return false;
      var lost = function() {
        webGL.program = webGL.buffer = null;
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
      return true;
    },

    // Compiles and links the one shader program and makes the buffer, after the first frame's
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
        var logs = shaders.map(function(shader) {
          return gl.getShaderInfoLog(shader);
        });
        var why = "the page's shaders did not build: " +
            logs.concat(gl.getProgramInfoLog(program)).join(' ').trim();
        console.error('bezier2d: ' + why);
        Module.page.failed('shaders', why);
        webGL.broken = true;
      }
      if (webGL.broken || gl.isContextLost()) return false;
      gl.useProgram(program);
      ['projection', 'color', 'pointSize', 'roundSize'].forEach(function(name) {
        webGL.uniforms[name] = gl.getUniformLocation(program, name);
      });
      gl.bindBuffer(gl.ARRAY_BUFFER, webGL.buffer = gl.createBuffer());
      gl.enableVertexAttribArray(0);
      gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
      webGL.bufferSize = 0;
      webGL.program = program;
      return true;
    },

    // The frame's end: its vertices go to WebGL in one upload, then its draws in order (frame.h
    // gives the frame's words). Answers whether it was drawn.
    finish: function(frame) {
      var gl = webGL.gl, u = HEAPU32, f = HEAPF32, w = frame >> 2, uniforms = webGL.uniforms;
      var at = u[w + 22];  // the caption: Latin-1, a byte a character
      if (u[w + 23])
        Module.page.caption(String.fromCharCode.apply(null, HEAPU8.slice(at, at + u[w + 21])));
      if (!u[w + 13] || gl.isContextLost()) return false;
      var count = u[w + 14], first = u[w + 15] >> 2, textFirst = u[w + 25];
      // The text's vertices, after the others, go up only when they change or the buffer is new.
      var textEnd = textFirst + u[w + 26], fresh = webGL.bufferSize < textEnd;
      if (fresh) gl.bufferData(gl.ARRAY_BUFFER, 8 * (webGL.bufferSize = textEnd), gl.STREAM_DRAW);
      if (fresh || u[w + 27])
        gl.bufferSubData(
            gl.ARRAY_BUFFER, 8 * textFirst, f.subarray(first + 2 * textFirst, first + 2 * textEnd));
      // The vertices stay where they are in the program's memory, until that memory is replaced.
      if (!webGL.view || webGL.view.buffer != f.buffer || webGL.view.length != 2 * count)
        webGL.view = f.subarray(first, first + 2 * count);
      gl.bufferSubData(gl.ARRAY_BUFFER, 0, webGL.view);
      gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
      gl.clearColor(f[w + 2], f[w + 3], f[w + 4], f[w + 5]);
      gl.clear(gl.COLOR_BUFFER_BIT);
      u[w + 10] ? gl.enable(gl.BLEND) : gl.disable(gl.BLEND);
      gl.blendFunc(u[w + 11], u[w + 12]);
      gl.uniform4f(uniforms.projection, f[w + 6], f[w + 7], f[w + 8], f[w + 9]);
      for (var i = 0, d = u[w + 17] >> 2; i < u[w + 16]; ++i, d += 8) {
        gl.uniform3f(uniforms.color, f[d + 3], f[d + 4], f[d + 5]);
        gl.uniform1f(uniforms.pointSize, f[d + 6]);
        gl.uniform1f(uniforms.roundSize, f[d + 7]);
        gl.drawArrays(u[d], u[d + 1], u[d + 2]);
      }
      return true;
    },
  },

  // The frame's start: the backing store takes the canvas's shown size in device pixels, and
  // the frame learns the density and the drawing buffer's width. Answers whether it can be drawn.
  webGLStartFrame__deps: ['$webGL'],
  webGLStartFrame: function(frame) {
    var canvas = Module.canvas, gl = webGL.gl, ratio = window.devicePixelRatio || 1;
    var width = Math.round(webGL.shownWidth * ratio),
        height = Math.round(webGL.shownHeight * ratio);
    if (width > 0 && height > 0 && (canvas.width != width || canvas.height != height)) {
      canvas.width = width;
      canvas.height = height;
    }
    HEAPF32[frame >> 2] = ratio;
    HEAPF32[(frame >> 2) + 1] = gl.drawingBufferWidth;
    return webGL.prepare();
  },

  // The page hears of the first frame that could be drawn.
  webGLFinishFrame__deps: ['$webGL'],
  webGLFinishFrame: function(frame) {
    if (!webGL.finish(frame) || webGL.drawn) return;
    webGL.drawn = true;
    Module.page.drawn();
  },
});

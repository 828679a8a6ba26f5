// The page's GL on WebGL, beside gl_layer.cpp: the context with its one buffer
// and one program, the calls that go straight to the context, and the state the
// program set in it, all made and set again when a lost context comes back.
// The program's window is in CSS pixels and the drawing buffer in the screen's
// own: the viewport and the points are scaled from the one to the other.

mergeInto(LibraryManager.library, {
  $velquinGl: {
    gl: null,
    modelView: null,
    projection: null,
    pointSize: null,
    // The uniforms' values as last sent: most frames change none of them.
    sent: null,
    // What the program set (clear colour, viewport, capabilities), by setting:
    // a lost context forgets it.
    settings: {},
    // Device pixels per window pixel, across and up, and the side of a point
    // of size 1 in device pixels: whole, so that a point stays one sharp square.
    scale: [1, 1],
    pointScale: 1,

    // The canvas's WebGL 1 context with the layer's buffer and program in it,
    // or null where the browser gives none.
    create: function(canvas, attributes) {
      velquinGl.gl = canvas.getContext('webgl', attributes);
      if (velquinGl.gl) velquinGl.setUp();
      return velquinGl.gl;
    },

    // The one program and buffer, as for a new context, then the program's settings.
    // Points are 16 bytes: x, y, z as floats, then red, green, blue, alpha bytes.
    setUp: function() {
      var gl = velquinGl.gl;
      var program = gl.createProgram();
      [[gl.VERTEX_SHADER, [
        'attribute vec4 a_position;',
        'attribute vec4 a_color;',
        'varying vec4 v_color;',
        'uniform mat4 u_modelView;',
        'uniform mat4 u_projection;',
        'uniform float u_pointSize;',
        'void main() {',
        '  vec4 ecPosition = u_modelView * a_position;',
        '  gl_Position = u_projection * ecPosition;',
        '  v_color = a_color;',
        '  gl_PointSize = u_pointSize;',
        '}'
      ]], [gl.FRAGMENT_SHADER, [
        'precision mediump float;',
        'varying vec4 v_color;',
        'void main() {',
        '  gl_FragColor = v_color;',
        '}'
      ]]].forEach(function(shader) {
        var made = gl.createShader(shader[0]);
        gl.shaderSource(made, shader[1].join('\n'));
        gl.compileShader(made);
        gl.attachShader(program, made);
      });
      gl.bindAttribLocation(program, 0, 'a_position');
      gl.bindAttribLocation(program, 1, 'a_color');
      gl.linkProgram(program);
      if (!gl.getProgramParameter(program, gl.LINK_STATUS) && !gl.isContextLost())
        throw new Error('the page\'s shaders did not link: ' + gl.getProgramInfoLog(program));
      gl.useProgram(program);
      velquinGl.modelView = gl.getUniformLocation(program, 'u_modelView');
      velquinGl.projection = gl.getUniformLocation(program, 'u_projection');
      velquinGl.pointSize = gl.getUniformLocation(program, 'u_pointSize');
      velquinGl.sent = { modelView: new Float32Array(16).fill(NaN), projection: new Float32Array(16).fill(NaN),
                         pointSize: NaN };
      gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
      gl.vertexAttribPointer(0, 3, gl.FLOAT, false, 16, 0);
      gl.vertexAttribPointer(1, 4, gl.UNSIGNED_BYTE, true, 16, 12);
      gl.enableVertexAttribArray(0);
      gl.enableVertexAttribArray(1);
      for (var key in velquinGl.settings) {
        var setting = velquinGl.settings[key];
        gl[setting[0]].apply(gl, velquinGl.scaled(setting[0], setting[1]));
      }
    },

    // Whether the matrix at `at` in the program's memory differs from `copy`, which then takes it.
    changed: function(copy, at) {
      var differs = false;
      for (var k = 0; k < 16; ++k) {
        var value = HEAPF32[(at >> 2) + k];
        if (copy[k] !== value) differs = true;
        copy[k] = value;
      }
      return differs;
    },

    set: function(key, name, args) {
      velquinGl.settings[key] = [name, args];
      velquinGl.gl[name].apply(velquinGl.gl, velquinGl.scaled(name, args));
    },

    // The program's viewport, in window pixels, as device pixels.
    scaled: function(name, args) {
      if (name != 'viewport') return args;
      var across = velquinGl.scale[0], up = velquinGl.scale[1];
      return [Math.round(args[0] * across), Math.round(args[1] * up), Math.round(args[2] * across),
              Math.round(args[3] * up)];
    },

    // A new density or window size: the viewport follows, and points are
    // round(ratio) device pixels a side from the next frame on.
    rescale: function(across, up) {
      velquinGl.scale = [across, up];
      velquinGl.pointScale = Math.max(1, Math.round(across));
      var viewport = velquinGl.settings['viewport'];
      if (velquinGl.gl && viewport) velquinGl.set('viewport', 'viewport', viewport[1]);
    },
  },

  glClear__deps: ['$velquinGl'],
  glClear: function(mask) {
    velquinGl.gl.clear(mask);
  },
  glClearColor__deps: ['$velquinGl'],
  glClearColor: function(red, green, blue, alpha) {
    velquinGl.set('clearColor', 'clearColor', [red, green, blue, alpha]);
  },
  glEnable__deps: ['$velquinGl'],
  glEnable: function(capability) {
    velquinGl.set('enable ' + capability, 'enable', [capability]);
  },
  glViewport__deps: ['$velquinGl'],
  glViewport: function(x, y, width, height) {
    velquinGl.set('viewport', 'viewport', [x, y, width, height]);
  },
  glFlush__deps: ['$velquinGl'],
  glFlush: function() {
    velquinGl.gl.flush();
  },
  velquinGlContextError__deps: ['$velquinGl'],
  velquinGlContextError: function() {
    return velquinGl.gl.getError();
  },

  // A glBegin/glEnd's points, straight from the program's memory.
  velquinGlDraw__deps: ['$velquinGl'],
  velquinGlDraw: function(points, count, modelView, projection, pointSize) {
    var gl = velquinGl.gl, sent = velquinGl.sent;
    gl.bufferData(gl.ARRAY_BUFFER, HEAPU8.subarray(points, points + 16 * count), gl.STREAM_DRAW);
    if (velquinGl.changed(sent.modelView, modelView)) gl.uniformMatrix4fv(velquinGl.modelView, false, sent.modelView);
    if (velquinGl.changed(sent.projection, projection)) gl.uniformMatrix4fv(velquinGl.projection, false, sent.projection);
    pointSize *= velquinGl.pointScale;
    if (sent.pointSize !== pointSize) gl.uniform1f(velquinGl.pointSize, sent.pointSize = pointSize);
    gl.drawArrays(gl.POINTS, 0, count);
  },
});

// The floor that bench/web_speed.mjs holds the page's frame to, put into the
// page itself: a canvas and context like the program's, in its place, and a
// frame written by hand in plain JavaScript: the disc's step, 22000 points
// placed with Math.sin and Math.cos, one upload, one draw, one flush and one
// getError. window.run(true or false) starts and stops its frames.
(function() {
'use strict';
var canvas = document.getElementById('canvas');
var floorCanvas = document.createElement('canvas');
floorCanvas.width = canvas.width;
floorCanvas.height = canvas.height;
// The program's canvas is drawn at the screen's density: points round(ratio) pixels a side.
var cssWidth = canvas.getBoundingClientRect().width;
var pointSize = Math.max(1, Math.round(canvas.width / cssWidth));
floorCanvas.style.width = cssWidth + 'px';
floorCanvas.style.display = 'none';
canvas.after(floorCanvas);
var gl = floorCanvas.getContext('webgl', { antialias: false, alpha: false, depth: true, stencil: false });
var program = gl.createProgram();
[[gl.VERTEX_SHADER, 'attribute vec4 a_position; attribute vec4 a_color; varying vec4 v_color;' +
  ' uniform mat4 u_modelView; uniform mat4 u_projection; uniform float u_pointSize;' +
  ' void main() { gl_Position = u_projection * (u_modelView * a_position); v_color = a_color; gl_PointSize = u_pointSize; }'],
 [gl.FRAGMENT_SHADER, 'precision mediump float; varying vec4 v_color; void main() { gl_FragColor = v_color; }']
].forEach(function(source) {
  var shader = gl.createShader(source[0]);
  gl.shaderSource(shader, source[1]);
  gl.compileShader(shader);
  gl.attachShader(program, shader);
});
gl.bindAttribLocation(program, 0, 'a_position');
gl.bindAttribLocation(program, 1, 'a_color');
gl.linkProgram(program);
gl.useProgram(program);
gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
gl.vertexAttribPointer(0, 3, gl.FLOAT, false, 16, 0);
gl.vertexAttribPointer(1, 4, gl.UNSIGNED_BYTE, true, 16, 12);
gl.enableVertexAttribArray(0);
gl.enableVertexAttribArray(1);
gl.clearColor(0, 0, 0, 0);
gl.enable(gl.DEPTH_TEST);
gl.viewport(0, 0, floorCanvas.width, floorCanvas.height);
// gluPerspective(60, 2, 0.1, 50), once; the view, six units back, each frame.
var focal = 1 / Math.tan(Math.PI / 6);
gl.uniformMatrix4fv(gl.getUniformLocation(program, 'u_projection'), false,
                    [focal / 2, 0, 0, 0, 0, focal, 0, 0, 0, 0, -50.1 / 49.9, -1, 0, 0, -10 / 49.9, 0]);
gl.uniform1f(gl.getUniformLocation(program, 'u_pointSize'), pointSize);
var modelView = gl.getUniformLocation(program, 'u_modelView');
var view = new Float32Array([1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -6, 1]);

var count = 22000, radius = new Float32Array(count), speed = new Float32Array(count), angle = new Float32Array(count);
var points = new ArrayBuffer(16 * count), place = new Float32Array(points), grey = new Uint8Array(points);
var steps = 0, seed = 1;
function draw() {
  seed = (Math.imul(seed, 214013) + 2531011) >>> 0;
  return ((seed >>> 16) & 0x7fff) / 32767;
}
function step() {
  var first = (steps % 1100) * 20;
  for (var i = first; i < first + 20; ++i) {
    radius[i] = 40 + draw();
    speed[i] = 1 / (radius[i] * Math.sqrt(radius[i]));
    angle[i] = draw() * 2 * 3.14159;
  }
  for (var live = Math.min(count, 20 * steps), i = 0; i < live; ++i) {
    angle[i] += speed[i] * 0.5;
    radius[i] -= 39.9 / 1100;
    speed[i] = 1 / (radius[i] * Math.sqrt(radius[i]));
  }
  ++steps;
}
// The disc full from the start.
while (steps < 1100) step();

var running = false;
function frame() {
  if (!running) return;
  step();
  gl.clear(gl.COLOR_BUFFER_BIT | gl.DEPTH_BUFFER_BIT);
  var live = Math.min(count, 20 * steps);
  for (var i = 0; i < live; ++i) {
    place[4 * i] = Math.cos(angle[i]) * radius[i];
    place[4 * i + 1] = Math.sin(angle[i]) * radius[i];
    place[4 * i + 2] = 0;
    var level = 255 * Math.min(1, (40 - radius[i]) / 40 + 0.2);
    grey[16 * i + 12] = grey[16 * i + 13] = grey[16 * i + 14] = level;
    grey[16 * i + 15] = 255;
  }
  gl.bufferData(gl.ARRAY_BUFFER, grey.subarray(0, 16 * live), gl.STREAM_DRAW);
  gl.uniformMatrix4fv(modelView, false, view);
  gl.drawArrays(gl.POINTS, 0, live);
  gl.flush();
  gl.getError();
  requestAnimationFrame(frame);
}
// Shown in the program's place while it runs.
window.run = function(on) {
  if (on && !running) requestAnimationFrame(frame);
  running = on;
  floorCanvas.style.display = on ? '' : 'none';
  canvas.style.display = on ? 'none' : '';
};
})();

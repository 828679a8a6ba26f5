// Mends to the GLUT of Emscripten 3.1.6 (Debian 12) and 3.1.69 (Debian 13),
// linked after its own library so that these definitions take the place of
// its. Each one says what went wrong, and first checks that what it mends is
// there: if a later Emscripten has changed it, the build stops and says so.

function velquinMends(what, found) {
  if (!found) {
    throw new Error(`web/glut_mends.js: this Emscripten's ${what} is not what the page's mend of it ` +
                    'expects; see how it changed, and mend it anew');
  }
}
var velquinLibrary = LibraryManager.library;
['onMousemove', 'onKeydown', 'onKeyup', 'onMouseButtonDown', 'onMouseButtonUp'].forEach(function(name) {
  velquinMends(`GLUT.${name}`, typeof velquinLibrary.$GLUT[name] == 'function');
});
['exit', 'glutIdleFunc', 'glutPostRedisplay'].forEach(function(name) {
  velquinMends(name, name in velquinLibrary);
});
// The motion callbacks' position: needed while GLUT passes the previous one.
var velquinMotionMend = String(velquinLibrary.$GLUT.onMousemove).includes('(lastX, lastY)');

mergeInto(LibraryManager.library, {
  $GLUT__deps: ['$Browser', 'glutPostRedisplay', '$callUserCallback'],
  $GLUT__postset: function() {
    return (velquinMotionMend ? `
      // GLUT handed the motion callbacks the pointer's previous position, so
      // a drag turned the disc by one event's move too little. This is
      // Emscripten's own handler (src/library_glut.js, Copyright 2012 The
      // Emscripten Authors, MIT licence: NOTICE) with the new position passed.
      GLUT.onMousemove = function(event) {
        var lastX = Browser.mouseX;
        var lastY = Browser.mouseY;
        Browser.calculateMouseEvent(event);
        if (Browser.mouseX == lastX && Browser.mouseY == lastY) return;
        var func = GLUT.buttons != 0 ? GLUT.motionFunc
                                     : (event.target == Module['canvas'] && GLUT.passiveMotionFunc);
        if (!func) return;
        event.preventDefault();
        GLUT.saveModifiers(event);
        {{{ makeDynCall('vii', 'func') }}}(Browser.mouseX, Browser.mouseY);
      };` : '') + `
      // GLUT listens on the whole window and calls the program straight from
      // the listener, so an exit inside a callback escaped as a page error.
      // Here each event goes through the runtime's own guard, none after the
      // program has ended, and keys only while the canvas has the focus.
      // GLUT also took Tab, which the program ignores, and kept the browser
      // from moving the focus with it: the canvas trapped a keyboard user.
      // Tab and Shift+Tab are the browser's.
      ['onKeydown', 'onKeyup', 'onMouseButtonDown', 'onMouseButtonUp', 'onMousemove'].forEach(function(name) {
        var handle = GLUT[name];
        var keys = name.startsWith('onKey');
        GLUT[name] = function(event) {
          if (GLUT.ended || (keys && (event.target != Module['canvas'] || event.keyCode == 9))) return;
          callUserCallback(function() { handle(event); });
        };
      });`;
  },

  // GLUT's exit left the runtime alive while its idle timer was pending: the
  // idle and display callbacks went on after the program had released its
  // arrays, and the step wrote through null pointers into low memory. Here
  // exit is final: no callback of any kind runs after it.
  exit__deps: ['$GLUT'].concat('$ExitStatus' in velquinLibrary ? ['$ExitStatus'] : []),
  exit: function(code) {
    EXITSTATUS = code;
    GLUT.ended = true;
    GLUT.idleFunc = GLUT.displayFunc = GLUT.reshapeFunc = 0;
    GLUT.keyboardFunc = GLUT.keyboardUpFunc = GLUT.specialFunc = GLUT.specialUpFunc = 0;
    GLUT.mouseFunc = GLUT.motionFunc = GLUT.passiveMotionFunc = 0;
    ABORT = true;
    if (Module['onExit']) Module['onExit'](code);
    throw new ExitStatus(code);
  },

  // GLUT stepped on 4 ms timers and drew on the next animation frame after a
  // step, so it took two or three steps a frame drawn and missed a display
  // frame whenever the browser's work delayed its timers. Here, as in a
  // desktop GLUT whose swaps wait for the display, each animation frame takes
  // one idle step and then draws, if a redisplay was asked for. One animation
  // frame is pending at most, so a quick pause and resume (GLUT started a
  // second chain of idle timers then) cannot double the step rate. It takes
  // the browser's own animation frames and the runtime's guard, which both
  // Emscriptens have, not the main loop that each keeps in a place of its own.
  $glutFrame__deps: ['$GLUT', '$callUserCallback'],
  $glutFrame: function() {
    if (GLUT.frameAsked) return;
    GLUT.frameAsked = true;
    requestAnimationFrame(function() {
      GLUT.frameAsked = false;
      if (GLUT.ended || ABORT) return;
      if (GLUT.idleFunc) {
        callUserCallback(function() { {{{ makeDynCall('v', 'GLUT.idleFunc') }}}(); });
      }
      if (GLUT.redisplay && GLUT.displayFunc) {
        GLUT.redisplay = false;
        callUserCallback(function() { {{{ makeDynCall('v', 'GLUT.displayFunc') }}}(); });
      }
      if (GLUT.idleFunc || GLUT.redisplay) glutFrame();
    });
  },
  glutIdleFunc__deps: ['$GLUT', '$glutFrame'],
  glutIdleFunc: function(func) {
    GLUT.idleFunc = func;
    if (func) glutFrame();
  },
  glutPostRedisplay__deps: ['$GLUT', '$glutFrame'],
  glutPostRedisplay: function() {
    GLUT.redisplay = true;
    glutFrame();
  },
});

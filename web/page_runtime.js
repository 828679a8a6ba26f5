// What the page needs from Emscripten's GLUT (3.1.6 and 3.1.69) beyond the
// program's calls: a plain end where the browser gives no WebGL, the context
// kept through a loss, and the count of frames drawn. What it takes the place
// of, and Browser.init, which it calls, are checked as glut_mends.js does.

['glutCreateWindow', 'glutSwapBuffers'].forEach(function(name) {
  velquinMends(name, name in LibraryManager.library);
});
velquinMends('Browser.init', typeof LibraryManager.library.$Browser.init == 'function');

mergeInto(LibraryManager.library, {
  // Emscripten's glutCreateWindow, and then: without a context the program
  // would die at its first GL call, so it ends here with status 1 and says why,
  // as a desktop GLUT does without a display. With one, a loss is let restore
  // (preventDefault), and once restored the page's GL layer puts back what it
  // and the program had put in the context; the disc is not touched.
  glutCreateWindow__deps: ['$GLUT', '$Browser', '$velquinGl', 'exit', 'glutPostRedisplay'],
  glutCreateWindow: function(name) {
    var contextAttributes = {
      antialias: ((GLUT.initDisplayMode & 0x0080 /*GLUT_MULTISAMPLE*/) != 0),
      depth: ((GLUT.initDisplayMode & 0x0010 /*GLUT_DEPTH*/) != 0),
      stencil: ((GLUT.initDisplayMode & 0x0020 /*GLUT_STENCIL*/) != 0),
      alpha: ((GLUT.initDisplayMode & 0x0008 /*GLUT_ALPHA*/) != 0)
    };
    Module.ctx = velquinGl.create(Module['canvas'], contextAttributes);
    if (!Module.ctx) {
      err('Velquin needs WebGL 1, which this browser does not give it: turn on hardware acceleration or ' +
          'WebGL in its settings, or try another browser.');
      _exit(1);
    }
    var canvas = Module['canvas'];
    Browser.init();
    canvas.addEventListener('webglcontextlost', function(event) {
      event.preventDefault();
      if (Module['onContextLost']) Module['onContextLost']();
    });
    canvas.addEventListener('webglcontextrestored', function() {
      if (GLUT.ended) return;
      // The matrices (the last reshape's projection, the camera offset) live
      // in the program's memory and outlast the context.
      velquinGl.setUp();
      if (Module['onContextRestored']) Module['onContextRestored']();
      _glutPostRedisplay();
    });
    return 1;
  },

  // The browser shows the canvas after each animation frame, so there is
  // nothing to swap; the count is what the page's status line reads.
  glutSwapBuffers: function() {
    Module['framesDrawn'] = (Module['framesDrawn'] || 0) + 1;
  },
});

// What the page needs from Emscripten 3.1.6's GLUT and GL beyond the program's
// calls: a plain end where the browser gives no WebGL, the context kept through
// a loss, and the count of frames drawn.

mergeInto(LibraryManager.library, {
  // The GL state that the program sets on the context, which a lost context
  // forgets: the last value of each setter, and each capability turned on or off.
  $velquinGlState: {
    setters: ['clearColor', 'clearDepth', 'depthFunc', 'depthMask', 'depthRange', 'viewport', 'scissor',
              'blendFunc', 'cullFace', 'frontFace', 'colorMask'],
    values: {},
    capabilities: {},
    original: {},

    keep: function(ctx) {
      velquinGlState.setters.forEach(function(name) {
        var set = velquinGlState.original[name] = ctx[name];
        ctx[name] = function() {
          velquinGlState.values[name] = Array.prototype.slice.call(arguments);
          return set.apply(ctx, arguments);
        };
      });
      ['enable', 'disable'].forEach(function(name) {
        var set = velquinGlState.original[name] = ctx[name];
        ctx[name] = function(capability) {
          velquinGlState.capabilities[capability] = name == 'enable';
          return set.call(ctx, capability);
        };
      });
    },

    setAgain: function(ctx) {
      var original = velquinGlState.original;
      for (var name in velquinGlState.values) original[name].apply(ctx, velquinGlState.values[name]);
      for (var capability in velquinGlState.capabilities)
        original[velquinGlState.capabilities[capability] ? 'enable' : 'disable'].call(ctx, Number(capability));
    },
  },

  // Emscripten's glutCreateWindow, and then: without a context the program
  // would die at its first GL call, so it ends here with status 1 and says why,
  // as a desktop GLUT does without a display. With one, a loss is let restore
  // (preventDefault), and once restored the context gets back what the
  // emulation and the program had put in it; the disc is not touched.
  glutCreateWindow__deps: ['$GLUT', '$Browser', '$GL', '$GLImmediate', '$velquinGlState',
                           'exit', 'glutPostRedisplay'],
  glutCreateWindow: function(name) {
    var contextAttributes = {
      antialias: ((GLUT.initDisplayMode & 0x0080 /*GLUT_MULTISAMPLE*/) != 0),
      depth: ((GLUT.initDisplayMode & 0x0010 /*GLUT_DEPTH*/) != 0),
      stencil: ((GLUT.initDisplayMode & 0x0020 /*GLUT_STENCIL*/) != 0),
      alpha: ((GLUT.initDisplayMode & 0x0008 /*GLUT_ALPHA*/) != 0)
    };
    // Emscripten's context creation names WebGLRenderingContext, which a
    // browser with WebGL turned off may not define at all (WebKit's).
    Module.ctx = typeof WebGLRenderingContext == 'undefined' ? null
               : Browser.createContext(Module['canvas'], true, true, contextAttributes);
    if (!Module.ctx) {
      err('Velquin needs WebGL 1, which this browser does not give it: turn on hardware acceleration or ' +
          'WebGL in its settings, or try another browser.');
      _exit(1);
    }
    var ctx = Module.ctx, canvas = Module['canvas'];
    velquinGlState.keep(ctx);
    canvas.addEventListener('webglcontextlost', function(event) {
      event.preventDefault();
      if (Module['onContextLost']) Module['onContextLost']();
    });
    canvas.addEventListener('webglcontextrestored', function() {
      if (GLUT.ended) return;
      // The emulation's buffers and shaders belonged to the lost context; its
      // matrices (the last reshape's projection, the camera offset) live here.
      GL.generateTempBuffers(true, GL.currentContext);
      GLImmediate.rendererCache = GLImmediate.MapTreeLib.create();
      velquinGlState.setAgain(ctx);
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

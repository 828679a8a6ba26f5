// What the page needs from Emscripten's GLUT (3.1.6 and 3.1.69) beyond the
// program's calls: a plain end where the browser gives no WebGL, the context
// kept through a loss, the count of frames drawn, and a window as a HiDPI-aware
// desktop gives one: sized in CSS pixels, drawn in the screen's own. What it
// takes the place of, and the Browser functions it uses, are checked as
// glut_mends.js does.

['glutCreateWindow', 'glutSwapBuffers', 'glutReshapeWindow'].forEach(function(name) {
  velquinMends(name, name in LibraryManager.library);
});
['init', 'calculateMouseEvent'].forEach(function(name) {
  velquinMends('Browser.' + name, typeof LibraryManager.library.$Browser[name] == 'function');
});

mergeInto(LibraryManager.library, {
  // Emscripten's glutCreateWindow, and then: without a context the program
  // would die at its first GL call, so it ends here with status 1 and says why,
  // as a desktop GLUT does without a display. With one, a loss is let restore
  // (preventDefault), and once restored the page's GL layer puts back what it
  // and the program had put in the context; the disc is not touched.
  glutCreateWindow__deps: ['$GLUT', '$Browser', '$velquinGl', '$velquinWindow', 'exit', 'glutPostRedisplay'],
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
    // Pointer positions in the window's CSS pixels, as the program's window
    // is: Emscripten gives them in the drawing buffer's, so a drag turned the
    // disc by the screen's density (84 degrees for 60 px on a phone).
    var calculateMouseEvent = Browser.calculateMouseEvent;
    Browser.calculateMouseEvent = function(event) {
      calculateMouseEvent(event);
      if (Browser.pointerLock || event.type.startsWith('touch')) return;
      var box = canvas.getBoundingClientRect();
      Browser.mouseX = event.clientX - box.left;
      Browser.mouseY = event.clientY - box.top;
    };
    velquinWindow.watch(canvas);
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

  // The window is the canvas's CSS box, which the page lays out: a program's
  // wish for another size is not the page's to grant, as a tiling window
  // manager's. What is left is to tell the program the size it has.
  glutReshapeWindow__deps: ['$GLUT', '$velquinWindow', 'glutPostRedisplay'],
  glutReshapeWindow: function(width, height) {
    if (GLUT.reshapeFunc) {
      {{{ makeDynCall('vii', 'GLUT.reshapeFunc') }}}(velquinWindow.width, velquinWindow.height);
    }
    _glutPostRedisplay();
  },

  $velquinWindow__deps: ['$GLUT', '$velquinGl', '$callUserCallback', 'glutReshapeWindow', 'glutPostRedisplay'],
  $velquinWindow: {
    width: 0,
    height: 0,

    // The canvas's drawing buffer follows its CSS box in device pixels: a
    // resize, a phone turned, the browser's zoom, a screen of another density.
    // Exactly, where the engine counts the device pixels of the box
    // (devicePixelContentBoxSize); else as its CSS size times the ratio. A
    // listener on the ratio itself as well: not every engine reports a new
    // ratio to the observer when the box's CSS size stays.
    watch: function(canvas) {
      var refit = function() {
        var box = canvas.getBoundingClientRect();
        velquinWindow.fit(canvas, box.width, box.height);
      };
      refit();
      var observer = new ResizeObserver(function(entries) {
        var entry = entries[entries.length - 1], css = entry.contentBoxSize[0];
        var device = entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
        velquinWindow.fit(canvas, css.inlineSize, css.blockSize, device && device.inlineSize, device && device.blockSize);
      });
      try {
        observer.observe(canvas, { box: 'device-pixel-content-box' });
      } catch (error) {
        observer.observe(canvas);
      }
      (function listen() {
        matchMedia('(resolution: ' + devicePixelRatio + 'dppx)').addEventListener('change', function() {
          refit();
          listen();
        }, { once: true });
      })();
    },

    fit: function(canvas, cssWidth, cssHeight, deviceWidth, deviceHeight) {
      var width = Math.max(1, Math.round(cssWidth)), height = Math.max(1, Math.round(cssHeight));
      // Chromium's emulation of another screen (its developer tools, the
      // tests) counts the device pixels as CSS pixels: what is off by more
      // than a pixel's rounding is not taken.
      var across = Math.max(1, Math.round(cssWidth * devicePixelRatio));
      var up = Math.max(1, Math.round(cssHeight * devicePixelRatio));
      if (!(Math.abs(deviceWidth - across) <= 1 && Math.abs(deviceHeight - up) <= 1)) {
        deviceWidth = across;
        deviceHeight = up;
      }
      if (canvas.width != deviceWidth) canvas.width = deviceWidth;
      if (canvas.height != deviceHeight) canvas.height = deviceHeight;
      velquinGl.rescale(deviceWidth / width, deviceHeight / height);
      var resized = width != velquinWindow.width || height != velquinWindow.height;
      velquinWindow.width = width;
      velquinWindow.height = height;
      if (GLUT.ended || !GLUT.displayFunc) return;
      if (resized) callUserCallback(_glutReshapeWindow);
      else _glutPostRedisplay();
    },
  },

  // The browser shows the canvas after each animation frame, so there is
  // nothing to swap; the count is what the page's status line reads.
  glutSwapBuffers: function() {
    Module['framesDrawn'] = (Module['framesDrawn'] || 0) + 1;
  },
});

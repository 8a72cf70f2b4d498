// The browser's GLUT loop, made to run the show as the desktop's toolkit
// does: one display per animation frame and one idle call between two
// displays. Emscripten's own idle runs every 4 ms, so the show would take
// most idle calls for a hidden window and run its timeline there, drawing
// outside the animation frame. While the page is hidden, the browser gives
// no animation frames, and idle runs alone, as for a hidden window.
//
// Neither runs while the program waits for the browser inside a call (the
// start-up's decodes): it cannot be entered then; both are tried again.
//
// Module.onFrame(before, after), when the page sets it, is called just
// after each display, in the same task, while the canvas still holds the
// frame, with the show time in seconds read just before and just after it:
// when the two are equal, the frame was drawn at exactly that time.
//
// The main loop keeps the program's runtime alive, and the show's exit()
// ends it all the same: its exit handlers run (the sound stops) and the page
// hears of it (Module.onExit). Emscripten's own exit would only stop the
// current frame while anything keeps the runtime alive.
mergeInto(LibraryManager.library, {
  glutMainLoop__deps: ['$GLUT', 'glutReshapeWindow', 'glutPostRedisplay'],
  glutMainLoop: function() {
    runtimeKeepalivePush();
    _glutReshapeWindow(Module['canvas'].width, Module['canvas'].height);
    _glutPostRedisplay();
    throw 'unwind';
  },

  exit__deps: ['emscripten_force_exit'],
  exit: function(status) {
    _emscripten_force_exit(status);
  },

  glutPostRedisplay__deps: ['$GLUT', '$Browser', '$Asyncify'],
  glutPostRedisplay: function() {
    if (GLUT.displayFunc && !GLUT.requestedAnimationFrame) {
      GLUT.requestedAnimationFrame = true;
      Browser.requestAnimationFrame(function() {
        GLUT.requestedAnimationFrame = false;
        if (Asyncify.currData) {
          _glutPostRedisplay();
          return;
        }
        Browser.mainLoop.runIter(function() {
          var before = _webShowTime();
          {{{ makeDynCall('v', 'GLUT.displayFunc') }}}();
          GLUT.webFrameDrawn = true;
          if (Module['onFrame']) Module['onFrame'](before, _webShowTime());
        });
      });
    }
  },

  glutIdleFunc__deps: ['$GLUT', '$safeSetTimeout', '$Asyncify'],
  glutIdleFunc: function(func) {
    function callback() {
      if (!GLUT.idleFunc) return;
      if (!Asyncify.currData && (GLUT.webFrameDrawn || document.visibilityState !== 'visible')) {
        GLUT.webFrameDrawn = false;
        {{{ makeDynCall('v', 'GLUT.idleFunc') }}}();
      }
      safeSetTimeout(callback, 4);
    }
    if (!GLUT.idleFunc) {
      GLUT.webFrameDrawn = true;
      safeSetTimeout(callback, 0);
    }
    GLUT.idleFunc = func;
  },
});

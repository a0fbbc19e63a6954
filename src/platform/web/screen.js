// The screen while the show runs, for a phone that nobody touches for 106 seconds: a screen wake
// lock keeps it from dimming and locking from the window's opening to its closing (taken again
// when the page comes back from hidden, since the browser lets go of it then), and the show's
// full screen turns a touch phone sideways where the browser lets a page lock the orientation.
// Where a browser has neither, or refuses, the show plays as it would without, with one note on
// the console for each.
"use strict";

(function (page) {
  const noted = new Set();
  function noteOnce(what, text) {
    if (noted.has(what)) return;
    noted.add(what);
    console.warn("screen: " + text);
  }
  const reasonOf = (e) => (e && e.message) || String(e);
  // A call that may throw or reject, as a promise; the call itself is made at once, so that it
  // stays inside the gesture that led here.
  const attempt = (call) => new Promise((resolve) => resolve(call()));

  const wake = { wanted: false, sentinel: null, asking: false };

  // While the show runs and the page is seen, and no lock is held or asked for.
  function askForWakeLock() {
    if (!wake.wanted || wake.asking || document.hidden) return;
    if (wake.sentinel && !wake.sentinel.released) return;
    wake.sentinel = null;
    if (!navigator.wakeLock || !navigator.wakeLock.request)
      return noteOnce("wake", "this browser has no screen wake lock; the screen may dim or lock " +
                              "during the show unless it is touched");
    wake.asking = true;
    attempt(() => navigator.wakeLock.request("screen")).then((sentinel) => {
      wake.asking = false;
      wake.sentinel = sentinel;
      if (!wake.wanted) page.releaseScreen(); // the show ended while the browser was answering
    }).catch((e) => {
      wake.asking = false;
      noteOnce("wake", "the screen wake lock was refused (" + reasonOf(e) + "); the screen may " +
                       "dim or lock during the show unless it is touched");
    });
  }
  document.addEventListener("visibilitychange", askForWakeLock);

  let landscape = false; // a lock was asked for and not yet undone

  // Only a finger's device: a desktop's browser refuses the lock, and its window has no side.
  function lockLandscape() {
    if (landscape || !matchMedia("(pointer: coarse)").matches) return;
    const orientation = screen.orientation;
    if (!orientation || !orientation.lock)
      return noteOnce("orientation", "this browser cannot turn the show sideways; held upright, " +
                                     "the picture stays letterboxed");
    landscape = true;
    attempt(() => orientation.lock("landscape")).catch((e) => {
      landscape = false;
      noteOnce("orientation", "the landscape lock was refused (" + reasonOf(e) + "); held " +
                              "upright, the picture stays letterboxed");
    });
  }

  function unlockOrientation() {
    if (!landscape) return;
    landscape = false;
    try {
      screen.orientation.unlock();
    } catch (e) {
      // Left full screen already, which undoes the lock by itself.
    }
  }

  // The lock needs the document in full screen, and only the show's stage goes full screen.
  function onFullscreenChange() {
    if (page.shared.fullscreenElement()) lockLandscape();
    else unlockOrientation();
  }
  for (const type of ["fullscreenchange", "webkitfullscreenchange"])
    document.addEventListener(type, onFullscreenChange);

  // From the window's opening, which follows the click on RunDemo with no wait for the viewer.
  page.holdScreen = function () {
    wake.wanted = true;
    askForWakeLock();
  };

  // However the show ends: by itself, Escape, the close box, or the program's failure.
  page.releaseScreen = function () {
    wake.wanted = false;
    if (wake.sentinel) wake.sentinel.release().catch(() => {});
    wake.sentinel = null;
    unlockOrientation();
  };
})(lanternwhirlPage);

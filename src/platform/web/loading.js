// Starting the program once its files are in (main, or one of the page's own modes), and what
// the page shows when it ends or stops.
"use strict";

(function (page) {
  function ended(status) {
    page.closeAudio();
    page.closeDialog();
    page.closeWindow();
    page.removeStage();
    window.lanternwhirlExit = status;
    page.setStatus("ended", "The show has ended (status " + status + ").");
  }

  function failed(what) {
    const text = String(what && what.message ? what.message : what);
    window.lanternwhirlAbort = text;
    page.setStatus("failed", "The program stopped: " + text);
  }

  function start() {
    if (page.mode) {
      page.setStatus("mode", "Running the page's " + page.mode + " mode\u2026");
      Module.ccall("lanternwhirlPageMode", "number", [], [], { async: true })
        .then(() => page.setStatus("mode", "Done."))
        .catch(failed);
      return;
    }
    // main runs through waits (the dialog, the boxes, every frame), so it is started as an
    // asynchronous call; its result is the exit status, and the program then exits for real,
    // destroying its global objects.
    Module.ccall("main", "number", ["number", "number"], [0, 0], { async: true })
      .then((status) => {
        try {
          Module._lanternwhirlExit(status);
        } catch (e) {
          if (!(e instanceof ExitStatus) && e !== "unwind") throw e;
        }
      })
      .catch(failed);
  }

  window.Module = {
    print: (text) => console.log(text),
    printErr: (text) => console.error(text),
    onRuntimeInitialized: start,
    onExit: ended,
    onAbort: failed,
    setStatus: () => {},
  };
  document.addEventListener("DOMContentLoaded", () => {
    const again = document.getElementById("lw-again");
    if (again) again.addEventListener("click", () => location.reload());
    page.setStatus("loading", "Loading the show\u2026");
  });
  return page;
})(lanternwhirlPage);

// The page's render window: a canvas in a frame (with a sizing border on a desktop), or full
// screen on a stage, and the browser's events on it in neutral terms, for the program to make
// Windows' messages of.
"use strict";

(function (page) {
  const { el, keyEvent, frameWindow, fullscreenElement, fitWindow } = page.shared;

  let render = null;
  const events = [];
  let stage = null;

  const report = (event) => render && events.push(event);
  const pageHidden = () => document.visibilityState === "hidden";

  // Keys reach here only while no dialog or box is up (dialogs.js takes them first).
  const onKeyDown = (e) => render && report(keyEvent(e, true));
  const onKeyUp = (e) => render && report(keyEvent(e, false));
  // Hidden and shown, and the focus, are separate events: the program decides what a hidden
  // page's focus means, whatever order the browser sends them in.
  const onVisibility = () => report({ kind: "visibility", on: pageHidden() });
  const onFocus = () => report({ kind: "focus", on: true });
  const onBlur = () => report({ kind: "focus", on: false });
  // Leaving full screen (the browser's own Escape) closes the show's window.
  function onFullscreenChange() {
    if (render && render.fullscreen && !fullscreenElement() && !pageFullscreen())
      report({ kind: "close" });
  }
  const fullscreenEvents = ["fullscreenchange", "webkitfullscreenchange"];

  // A box put over the stage while full screen was being left would stay behind it, unseen.
  function rehomeBoxes() {
    if (!stage || fullscreenElement() === stage || pageFullscreen()) return;
    for (const box of stage.querySelectorAll(".lw-modal")) document.body.appendChild(box);
  }
  for (const type of fullscreenEvents) document.addEventListener(type, rehomeBoxes);

  // A phone's tap on the page's own full screen has no Escape: a close box in its corner.
  function makeStage() {
    if (!stage) {
      stage = el("div", "lw-stage", document.body);
      stage.id = "lw-stage";
      const close = el("button", "lw-stage-close", stage);
      close.type = "button";
      close.setAttribute("aria-label", "Close");
      close.textContent = "\u00d7";
      close.addEventListener("click", () => report({ kind: "close" }));
    }
    return stage;
  }
  const pageFullscreen = () => !!stage && stage.classList.contains("lw-page-fullscreen");

  // Full screen is asked for on the stage before the window exists, in the click that
  // started the show. True when the show may fill the screen: the browser granted it, or the
  // browser has no Fullscreen API at all (iPhone Safari), where the stage covers the page's
  // whole viewport instead and nothing was refused. The prefixed API (older iPad Safari)
  // reports its answer only through its change event.
  page.enterFullscreen = async function () {
    const s = makeStage();
    const request = s.requestFullscreen || s.webkitRequestFullscreen;
    if (!request) {
      s.classList.add("lw-page-fullscreen");
      return 1;
    }
    const answered = new Promise((resolve) => {
      const done = () => resolve();
      for (const type of [...fullscreenEvents, "fullscreenerror", "webkitfullscreenerror"])
        document.addEventListener(type, done, { once: true });
      setTimeout(done, 1000);
    });
    try {
      await request.call(s, { navigationUI: "hide" });
    } catch (e) {
      console.error("full screen: " + e.message);
      return 0;
    }
    if (fullscreenElement() !== s) await answered;
    return fullscreenElement() === s ? 1 : 0;
  };

  page.leaveFullscreen = function () {
    if (render) render.fullscreen = false;
    if (stage) stage.classList.remove("lw-page-fullscreen");
    rehomeBoxes();
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else if (document.webkitFullscreenElement) document.webkitExitFullscreen();
  };

  page.showCursor = function (show) {
    document.documentElement.classList.toggle("lw-no-cursor", !show);
  };

  // The window's events, while it exists; how is "addEventListener" or "removeEventListener".
  function listen(how) {
    const on = { keydown: onKeyDown, keyup: onKeyUp, visibilitychange: onVisibility };
    for (const type of fullscreenEvents) on[type] = onFullscreenChange;
    for (const [type, handler] of Object.entries(on)) document[how](type, handler);
    window[how]("focus", onFocus);
    window[how]("blur", onBlur);
  }

  // The sizing border of an overlapped window: its edges and corners. Dragging one resizes the
  // client area, the far edges staying where they are, and reports the new size; the program
  // sizes the canvas's drawing buffer to it. A window scaled down to fit a small screen shows
  // none (page.css).
  const minClient = [120, 20];
  function addSizingBorder(frame, client) {
    frame.classList.add("lw-sizable");
    for (const edge of ["n", "s", "e", "w", "ne", "nw", "se", "sw"]) {
      const handle = el("div", "lw-size lw-size-" + edge, frame);
      handle.addEventListener("pointerdown", (e) => dragBorder(e, handle, edge, frame, client));
    }
  }

  function dragBorder(e, handle, edge, frame, client) {
    if (!render || e.button !== 0) return;
    e.preventDefault();
    handle.setPointerCapture(e.pointerId);
    const start = { x: e.clientX, y: e.clientY, left: frame.offsetLeft, top: frame.offsetTop,
                    width: render.width, height: render.height };
    const chrome = [frame.offsetWidth - start.width, frame.offsetHeight - start.height];
    const room = [document.documentElement.clientWidth - chrome[0], window.innerHeight - chrome[1]];
    const along = (d, grow, shrink) => (edge.includes(grow) ? d : edge.includes(shrink) ? -d : 0);
    const clamp = (v, i) => Math.max(minClient[i], Math.min(room[i], Math.round(v)));
    const move = (m) => {
      if (!render) return end();
      const width = clamp(start.width + along(m.clientX - start.x, "e", "w"), 0);
      const height = clamp(start.height + along(m.clientY - start.y, "s", "n"), 1);
      frame.style.left = start.left + (edge.includes("w") ? start.width - width : 0) + "px";
      frame.style.top = start.top + (edge.includes("n") ? start.height - height : 0) + "px";
      if (width === render.width && height === render.height) return;
      render.width = width;
      render.height = height;
      client.style.width = width + "px";
      client.style.height = height + "px";
      report({ kind: "resize", x: width, y: height });
    };
    function end() {
      handle.removeEventListener("pointermove", move);
      handle.removeEventListener("pointerup", end);
      handle.removeEventListener("pointercancel", end);
    }
    handle.addEventListener("pointermove", move);
    handle.addEventListener("pointerup", end);
    handle.addEventListener("pointercancel", end);
  }

  // The canvas's element id. In a window the canvas is the client area of a frame centred as
  // the window is on the screen; in full screen it fills the stage, scaled with its aspect.
  page.openWindow = function (title, width, height, fullscreen, sizable) {
    const canvas = el("canvas");
    canvas.id = "lanternwhirl-canvas";
    canvas.width = width;
    canvas.height = height;
    let frame;
    if (fullscreen) {
      frame = makeStage();
      canvas.className = "lw-fullscreen-canvas";
      frame.appendChild(canvas);
    } else {
      const w = frameWindow("lw-render lw-centred", title, () => report({ kind: "close" }));
      w.client.appendChild(canvas);
      w.client.style.width = width + "px";
      w.client.style.height = height + "px";
      // The outer frame's corner sits at half the screen less half the client size, so the
      // title bar pushes the canvas a little down of the centre.
      w.frame.style.setProperty("--half-width", Math.trunc(width / 2) + "px");
      w.frame.style.setProperty("--half-height", Math.trunc(height / 2) + "px");
      if (sizable) addSizingBorder(w.frame, w.client);
      frame = w.frame;
      frame.hidden = true;
      document.getElementById("lw-desktop").appendChild(frame);
    }
    canvas.addEventListener("mousemove", (e) =>
      report({ kind: "pointer", x: Math.trunc(e.offsetX), y: Math.trunc(e.offsetY) }));
    // The browser may take WebGL away (a phone after backgrounding, a GPU reset): the music
    // stops at once, and the program ends the show at its next message.
    canvas.addEventListener("webglcontextlost", () => {
      console.error("WebGL: the context was lost");
      if (render && render.canvas === canvas) render.lost = true;
      page.muteAudio();
    });
    render = { frame, canvas, width, height, fullscreen, lost: false };
    events.length = 0;
    listen("addEventListener");
    // A page hidden already is a window minimised from the start.
    if (pageHidden()) onVisibility();
    page.holdScreen();
    return canvas.id;
  };

  page.showWindow = function () {
    if (!render) return;
    render.frame.hidden = false;
    if (render.frame !== stage) fitWindow(render.frame);
    render.canvas.tabIndex = -1;
    render.canvas.focus();
    page.setStatus("show");
  };

  page.closeWindow = function () {
    if (!render) return;
    listen("removeEventListener");
    page.releaseScreen();
    if (render.frame === stage) render.canvas.remove();
    else render.frame.remove();
    render = null;
    events.length = 0;
  };

  page.takeEvent = () => events.shift() || null;

  page.contextLost = () => !!(render && render.lost);

  // The program's frame is shown when it gives the browser control: at the next animation
  // frame, or at once while the page is hidden (the browser runs no animation frames then).
  page.nextFrame = function () {
    page.pumpAudio();
    return new Promise((resolve) => {
      if (pageHidden()) setTimeout(resolve, 0);
      else requestAnimationFrame(() => resolve());
    });
  };

  // The stage goes with the program's end.
  page.removeStage = function () {
    if (stage) stage.remove();
  };
})(lanternwhirlPage);

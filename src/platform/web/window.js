// The page's render window: a canvas in a frame, or full screen on a stage, and the queue of
// window messages made from the browser's events.
"use strict";

(function (page) {
  const WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_CLOSE = 0x0010;
  const WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_MOUSEMOVE = 0x0200;
  const { el, frameWindow, fullscreenElement, fitWindow } = page.shared;

  let render = null;
  const messages = [];
  let stage = null;

  function post(type, wParam, lParam) {
    messages.push([type >>> 0, wParam >>> 0, lParam | 0]);
  }

  function keyMessage(e, down) {
    if (!render || page.boxOpen()) return;
    const vk = e.keyCode;
    if (!vk || vk > 255) return;
    // Keys the browser keeps for itself stay with it: reload, full screen, the tools.
    if (!(e.ctrlKey || e.metaKey || [116, 122, 123].includes(vk))) e.preventDefault();
    // lParam as Windows fills it: repeat count 1, bit 30 = already down, bit 31 = released.
    post(down ? WM_KEYDOWN : WM_KEYUP, vk, 1 | (e.repeat || !down ? 1 << 30 : 0) | (down ? 0 : 1 << 31));
  }
  const onKeyDown = (e) => keyMessage(e, true);
  const onKeyUp = (e) => keyMessage(e, false);

  // A hidden page is a minimised window: no frames, a size of 0 x 0, and back again.
  function onVisibility() {
    if (!render) return;
    if (document.hidden) {
      post(WM_ACTIVATE, 0 | (1 << 16), 0);
      post(WM_SIZE, 0, 0);
    } else {
      post(WM_ACTIVATE, 1, 0);
      post(WM_SIZE, 0, (render.width & 0xffff) | (render.height << 16));
    }
  }
  const onFocus = () => render && post(WM_ACTIVATE, 1, 0);
  const onBlur = () => render && post(WM_ACTIVATE, 0, 0);
  // Leaving full screen (the browser's own Escape) closes the show's window.
  function onFullscreenChange() {
    if (render && render.fullscreen && !fullscreenElement() && !pageFullscreen())
      post(WM_CLOSE, 0, 0);
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
      close.addEventListener("click", () => render && post(WM_CLOSE, 0, 0));
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

  // The canvas's element id. In a window the canvas is the client area of a frame centred as
  // the window is on the screen; in full screen it fills the stage, scaled with its aspect.
  page.openWindow = function (title, width, height, fullscreen) {
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
      const w = frameWindow("lw-render lw-centred", title, () => post(WM_CLOSE, 0, 0));
      w.client.appendChild(canvas);
      w.client.style.width = width + "px";
      w.client.style.height = height + "px";
      // The outer frame's corner sits at half the screen less half the client size, so the
      // title bar pushes the canvas a little down of the centre.
      w.frame.style.setProperty("--half-width", Math.trunc(width / 2) + "px");
      w.frame.style.setProperty("--half-height", Math.trunc(height / 2) + "px");
      frame = w.frame;
      frame.hidden = true;
      document.getElementById("lw-desktop").appendChild(frame);
    }
    canvas.addEventListener("mousemove", (e) =>
      post(WM_MOUSEMOVE, 0, (e.offsetX & 0xffff) | ((e.offsetY & 0xffff) << 16)));
    // The browser may take WebGL away (a phone after backgrounding, a GPU reset): the music
    // stops at once, and the program ends the show at its next message.
    canvas.addEventListener("webglcontextlost", () => {
      console.error("WebGL: the context was lost");
      if (render && render.canvas === canvas) render.lost = true;
      page.muteAudio();
    });
    render = { frame, canvas, width, height, fullscreen, lost: false };
    messages.length = 0;
    listen("addEventListener");
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
    messages.length = 0;
  };

  page.takeMessage = function () {
    return messages.length ? messages.shift() : null;
  };

  page.contextLost = () => !!(render && render.lost);

  // The program's frame is shown when it gives the browser control: at the next animation
  // frame, or at once while the page is hidden (the browser runs no animation frames then).
  page.nextFrame = function () {
    page.pumpAudio();
    return new Promise((resolve) => {
      if (document.hidden) setTimeout(resolve, 0);
      else requestAnimationFrame(() => resolve());
    });
  };

  // The stage goes with the program's end.
  page.removeStage = function () {
    if (stage) stage.remove();
  };
})(lanternwhirlPage);

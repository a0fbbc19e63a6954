// The page's render window: a canvas in a frame, or full screen on a stage, and the queue of
// window messages made from the browser's events.
"use strict";

(function (page) {
  const WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_CLOSE = 0x0010;
  const WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_MOUSEMOVE = 0x0200;
  const { el, mnemonicText, keyLetter, frameWindow, makeQueue, paintRgb } = page.shared;

  // ---- The render window ------------------------------------------------------------------

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
    if (render && render.fullscreen && !document.fullscreenElement) post(WM_CLOSE, 0, 0);
  }

  function makeStage() {
    if (!stage) {
      stage = el("div", "lw-stage", document.body);
      stage.id = "lw-stage";
    }
    return stage;
  }

  // Full screen is asked for on the stage before the window exists, in the click that
  // started the show. True when the browser grants it.
  page.enterFullscreen = async function () {
    const s = makeStage();
    if (!s.requestFullscreen) return 0;
    try {
      await s.requestFullscreen({ navigationUI: "hide" });
      return document.fullscreenElement === s ? 1 : 0;
    } catch (e) {
      console.error("full screen: " + e.message);
      return 0;
    }
  };

  page.leaveFullscreen = function () {
    if (render) render.fullscreen = false;
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  };

  page.showCursor = function (show) {
    document.documentElement.classList.toggle("lw-no-cursor", !show);
  };

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
    render = { frame, canvas, width, height, fullscreen };
    messages.length = 0;
    document.addEventListener("keydown", onKeyDown);
    document.addEventListener("keyup", onKeyUp);
    document.addEventListener("visibilitychange", onVisibility);
    document.addEventListener("fullscreenchange", onFullscreenChange);
    window.addEventListener("focus", onFocus);
    window.addEventListener("blur", onBlur);
    return canvas.id;
  };

  page.showWindow = function () {
    if (!render) return;
    render.frame.hidden = false;
    render.canvas.tabIndex = -1;
    render.canvas.focus();
    page.setStatus("show");
  };

  page.closeWindow = function () {
    if (!render) return;
    document.removeEventListener("keydown", onKeyDown);
    document.removeEventListener("keyup", onKeyUp);
    document.removeEventListener("visibilitychange", onVisibility);
    document.removeEventListener("fullscreenchange", onFullscreenChange);
    window.removeEventListener("focus", onFocus);
    window.removeEventListener("blur", onBlur);
    if (render.frame === stage) render.canvas.remove();
    else render.frame.remove();
    render = null;
    messages.length = 0;
  };

  page.takeMessage = function () {
    return messages.length ? messages.shift() : null;
  };

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

// The page around the program: it starts the program (or one of the page's own modes), and
// gives it what a desktop gives a Windows program: the setup dialog and message boxes as HTML,
// the render window as a canvas in a frame (or full screen), the browser's events in neutral
// terms (the program makes Windows' messages of them and decides what each key does), and a
// Web Audio output. The page draws what the program decides. The program calls in through the
// small functions of src/platform/web/*.cpp; everything it waits for is a promise here. This file
// makes the namespace and the pieces every part uses; dialogs.js, window.js, sound.js, screen.js
// and loading.js add the rest, in that order.
"use strict";

var lanternwhirlPage = (function () {
  const params = new URLSearchParams(location.search);
  const pageMode = ["capture", "music", "bench"].find((m) => params.has(m)) || null;

  const el = (tag, className, parent) => {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (parent) parent.appendChild(e);
    return e;
  };

  // "&Window" as text with its mnemonic letter underlined ("&&" is a plain "&").
  function mnemonicText(target, text) {
    for (let i = 0; i < text.length; ++i) {
      if (text[i] === "&" && text[i + 1] === "&") {
        target.appendChild(document.createTextNode("&"));
        ++i;
      } else if (text[i] === "&" && i + 1 < text.length) {
        el("u", null, target).textContent = text[++i];
      } else {
        target.appendChild(document.createTextNode(text[i]));
      }
    }
  }

  // A keyboard event as the program takes it: its keyCode, the one character it types (0 for
  // a named key such as "Enter"), its place on a US keyboard from its code, and the modifiers.
  // Keys the browser keeps for itself stay with it: reload, full screen, the tools, and every
  // chord with Ctrl or the command key.
  function keyEvent(e, down) {
    const chars = [...(e.key || "")];
    const place = /^(?:Key|Digit)([A-Z0-9])$/.exec(e.code || "");
    if (!(e.ctrlKey || e.metaKey || ["F5", "F11", "F12"].includes(e.key))) e.preventDefault();
    return { kind: "key", down, repeat: e.repeat, keyCode: e.keyCode,
             character: chars.length === 1 ? chars[0].codePointAt(0) : 0,
             place: place ? place[1].charCodeAt(0) : 0,
             alt: e.altKey, ctrl: e.ctrlKey, shift: e.shiftKey, meta: e.metaKey };
  }

  const fullscreenElement = () => document.fullscreenElement || document.webkitFullscreenElement || null;

  // A window too large for the viewport (a phone) is scaled down as a whole, its layout and
  // the canvas's drawing buffer untouched; at today's desktop sizes nothing changes. Under a
  // finger the title bar and its close box grow, so that they stay large enough to tap.
  const fitMargin = 8, tapSize = 28;
  function fitWindow(frame) {
    frame.style.removeProperty("--bar");
    if (!frame.offsetWidth) return;
    const fit = () => Math.min(1, (document.documentElement.clientWidth - 2 * fitMargin) / frame.offsetWidth,
                               (window.innerHeight - 2 * fitMargin) / frame.offsetHeight);
    let scale = fit();
    if (matchMedia("(pointer: coarse)").matches) {
      frame.style.setProperty("--bar", Math.max(18, Math.ceil((tapSize + 4) / scale)) + "px");
      scale = fit();
    }
    frame.style.setProperty("--fit", scale);
    frame.classList.toggle("lw-fitted", scale < 1);
    // A fitted window stands in the middle, wherever its sizing border had moved it.
    if (scale < 1) for (const side of ["left", "top"]) frame.style.removeProperty(side);
  }
  window.addEventListener("resize", () => document.querySelectorAll(".lw-window").forEach(fitWindow));

  // A window of the classic desktop: a frame with a title bar and a close box.
  function frameWindow(className, caption, onClose) {
    const frame = el("div", "lw-window " + className);
    const bar = el("div", "lw-titlebar", frame);
    el("span", "lw-title", bar).textContent = caption;
    const close = el("button", "lw-close", bar);
    close.type = "button";
    close.title = "Close";
    close.setAttribute("aria-label", "Close");
    close.tabIndex = -1;
    close.textContent = "\u00d7";
    if (onClose) close.addEventListener("click", onClose);
    else close.disabled = true;
    const client = el("div", "lw-client", frame);
    frame.setAttribute("aria-label", caption);
    return { frame, client, close };
  }

  // One waiter at a time takes the values a queue is given, in order.
  function makeQueue() {
    const items = [];
    let waiter = null;
    return {
      push(v) {
        if (waiter) {
          const w = waiter;
          waiter = null;
          w(v);
        } else {
          items.push(v);
        }
      },
      next() {
        if (items.length) return Promise.resolve(items.shift());
        return new Promise((resolve) => (waiter = resolve));
      },
      clear() {
        items.length = 0;
      },
    };
  }

  function paintRgb(canvas, rgb, width, height) {
    canvas.width = width;
    canvas.height = height;
    const context = canvas.getContext("2d");
    const image = context.createImageData(width, height);
    for (let i = 0, j = 0; i < width * height * 3; i += 3, j += 4) {
      image.data[j] = rgb[i];
      image.data[j + 1] = rgb[i + 1];
      image.data[j + 2] = rgb[i + 2];
      image.data[j + 3] = 255;
    }
    context.putImageData(image, 0, 0);
  }


  const page = {
    mode: pageMode,
    params,
    // The helpers the other parts of the page share.
    shared: { el, mnemonicText, keyEvent, frameWindow, makeQueue, paintRgb, fullscreenElement,
              fitWindow },
  };

  // ---- The page's own modes ---------------------------------------------------------------

  page.captureCanvas = function () {
    let canvas = document.getElementById("lanternwhirl-capture");
    if (!canvas) {
      canvas = el("canvas", "lw-capture", document.getElementById("lw-desktop"));
      canvas.id = "lanternwhirl-capture";
    }
    return canvas.id;
  };

  let pictureCanvas = null;
  page.pngDataUrl = function (rgb, width, height) {
    if (!pictureCanvas) pictureCanvas = el("canvas");
    paintRgb(pictureCanvas, rgb, width, height);
    return pictureCanvas.toDataURL("image/png");
  };

  page.dataUrl = function (bytes, mediaType) {
    let text = "";
    for (let i = 0; i < bytes.length; i += 0x8000)
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return "data:" + mediaType + ";base64," + btoa(text);
  };

  page.setStatus = function (state, text) {
    document.body.dataset.state = state;
    const status = document.getElementById("lw-status");
    if (status) status.textContent = text || "";
  };

  return page;
})();

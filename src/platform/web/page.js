// The page around the program: it starts the program (or one of the page's own modes), and
// gives it what a desktop gives a Windows program: the setup dialog and message boxes as HTML,
// the render window as a canvas in a frame (or full screen), a queue of window messages made
// from the browser's events, and a Web Audio output. The program calls in through the small
// functions of src/platform/web/*.cpp; everything it waits for is a promise here. This file
// makes the namespace and the pieces every part uses; dialogs.js, window.js, sound.js and
// loading.js add the rest, in that order.
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

  // "&Window" as text with its mnemonic underlined; the mnemonic letter, upper case, or "".
  function mnemonicText(target, text) {
    let mnemonic = "";
    for (let i = 0; i < text.length; ++i) {
      const c = text[i];
      if (c === "&" && text[i + 1] === "&") {
        target.appendChild(document.createTextNode("&"));
        ++i;
      } else if (c === "&" && i + 1 < text.length) {
        const u = el("u", null, target);
        u.textContent = text[++i];
        if (!mnemonic) mnemonic = text[i].toUpperCase();
      } else {
        target.appendChild(document.createTextNode(c));
      }
    }
    return mnemonic;
  }

  // The key of a keyboard event as a mnemonic letter: the character the key types in the
  // viewer's layout (the key marked Y answers "&Yes" on a German keyboard too), or, when that is
  // no letter or digit (Alt+N types a dead key on a Mac), the key's place on a US keyboard.
  function keyLetter(e) {
    if (e.key && /^[\p{L}\p{N}]$/u.test(e.key)) return e.key.toUpperCase();
    if (/^Key[A-Z]$/.test(e.code)) return e.code.slice(3);
    if (/^Digit[0-9]$/.test(e.code)) return e.code.slice(5);
    return "";
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
    shared: { el, mnemonicText, keyLetter, frameWindow, makeQueue, paintRgb, fullscreenElement,
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

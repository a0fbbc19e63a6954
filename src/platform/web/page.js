// The page around the program: it starts the program (or one of the page's own modes), and
// gives it what a desktop gives a Windows program: the setup dialog and message boxes as HTML,
// the render window as a canvas in a frame (or full screen), a queue of window messages made
// from the browser's events, and a Web Audio output. The program calls in through the small
// functions of src/platform/web/*.cpp; everything it waits for is a promise here.
"use strict";

var lanternwhirlPage = (function () {
  const WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_CLOSE = 0x0010;
  const WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_MOUSEMOVE = 0x0200;
  const IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;
  const MB_YESNO = 0x04;
  const closeRequest = -1;

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

  // The key of a keyboard event as a mnemonic letter, whatever the keyboard layout.
  function keyLetter(e) {
    if (/^Key[A-Z]$/.test(e.code)) return e.code.slice(3);
    if (/^Digit[0-9]$/.test(e.code)) return e.code.slice(5);
    return e.key && e.key.length === 1 ? e.key.toUpperCase() : "";
  }

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

  const page = {
    mode: pageMode,
    params,
  };

  // ---- The setup dialog -------------------------------------------------------------------

  let dialog = null;
  const dialogEvents = makeQueue();

  page.beginDialog = function (caption, font, points, width, height, centred) {
    const w = frameWindow("lw-dialog", caption, () => dialogEvents.push(closeRequest));
    w.frame.setAttribute("role", "dialog");
    w.client.style.width = width + "px";
    w.client.style.height = height + "px";
    w.client.style.font = points + 'pt "' + font + '", Tahoma, "DejaVu Sans", sans-serif';
    if (centred) w.frame.classList.add("lw-centred");
    // Controls in the template's order; static ones share the id -1.
    dialog = { window: w, controls: [], defaultId: IDOK, radioGroup: 0, lastWasRadio: false,
               keyHandler: null };
  };

  page.addControl = function (id, kind, text, x, y, width, height, tabStop, centred, sunken) {
    const d = dialog;
    let node, input = null, mnemonic = "";
    const place = (n) => {
      n.style.left = x + "px";
      n.style.top = y + "px";
      n.style.width = width + "px";
      n.style.height = height + "px";
    };
    if (kind === "default-button") {
      node = el("button", "lw-button lw-default", d.window.client);
      node.type = "button";
      mnemonic = mnemonicText(node, text);
      d.defaultId = id;
      node.addEventListener("click", () => dialogEvents.push(id));
    } else if (kind === "radio" || kind === "check") {
      node = el("label", "lw-" + kind, d.window.client);
      input = el("input", null, node);
      input.type = kind === "radio" ? "radio" : "checkbox";
      if (kind === "radio") {
        if (!d.lastWasRadio) ++d.radioGroup;
        input.name = "lw-group-" + d.radioGroup;
      }
      mnemonic = mnemonicText(el("span", null, node), text);
      input.addEventListener("click", () => dialogEvents.push(id));
    } else if (kind === "group") {
      node = el("fieldset", "lw-group", d.window.client);
      const legend = el("legend", null, node);
      mnemonicText(legend, text);
      if (centred) legend.classList.add("lw-centred-legend");
    } else {
      node = el("div", "lw-picture" + (sunken ? " lw-sunken" : ""), d.window.client);
      el("canvas", null, node);
    }
    place(node);
    const focusable = input || (kind === "default-button" ? node : null);
    if (focusable) focusable.tabIndex = tabStop || kind === "radio" ? 0 : -1;
    d.lastWasRadio = kind === "radio";
    d.controls.push({ id, kind, node, input, mnemonic });
  };

  // Sizes canvas to width x height and fills it with rgb's pixels (3 bytes each, rows top down).
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

  page.setPicture = function (id, rgb, size) {
    const c = dialog.controls.findLast((x) => x.id === id && x.kind === "picture");
    if (!c) return;
    paintRgb(c.node.querySelector("canvas"), rgb, size, size);
  };

  const inputOf = (id) => dialog && dialog.controls.find((x) => x.id === id && x.input);

  page.isChecked = function (id) {
    const c = inputOf(id);
    return !!(c && c.input && c.input.checked);
  };

  page.setChecked = function (id, checked) {
    const c = inputOf(id);
    if (c && c.input) c.input.checked = checked;
  };

  // The keys a Windows dialog manager handles itself: Alt with a mnemonic clicks its control,
  // Enter is the default button's command, Escape the Cancel command, Alt+F4 the close box.
  function dialogKey(e) {
    if (!dialog || modalBox) return;
    const d = dialog;
    const plain = !e.altKey && !e.ctrlKey && !e.metaKey && !e.shiftKey;
    unlockAudio();
    if (e.key === "Escape" && plain) {
      e.preventDefault();
      dialogEvents.push(IDCANCEL);
    } else if (e.key === "Enter" && plain) {
      e.preventDefault();
      dialogEvents.push(d.defaultId);
    } else if (e.altKey && !e.ctrlKey && !e.metaKey && e.key === "F4") {
      e.preventDefault();
      dialogEvents.push(closeRequest);
    } else if (e.altKey && !e.ctrlKey && !e.metaKey) {
      const letter = keyLetter(e);
      for (const c of d.controls) {
        if (!letter || c.mnemonic !== letter) continue;
        e.preventDefault();
        if (c.input) {
          c.input.focus();
          c.input.click(); // toggles or selects it, and reports the click
        } else if (c.kind === "default-button") {
          c.node.focus();
          dialogEvents.push(c.id);
        }
        break;
      }
    }
  }

  page.showDialog = function (foreground) {
    const d = dialog;
    dialogEvents.clear();
    document.getElementById("lw-desktop").appendChild(d.window.frame);
    d.keyHandler = dialogKey;
    document.addEventListener("keydown", d.keyHandler);
    d.window.frame.addEventListener("pointerdown", unlockAudio);
    // The first control with a tab stop has the focus, as in a Windows dialog.
    const first = d.window.client.querySelector("[tabindex='0']");
    if (first && foreground) first.focus();
    page.setStatus("dialog");
    // How long the page took to reach the dialog, for whoever measures it.
    if (!performance.getEntriesByName("lanternwhirl-dialog").length)
      performance.mark("lanternwhirl-dialog");
  };

  page.nextDialogEvent = function () {
    return dialogEvents.next();
  };

  page.closeDialog = function () {
    if (!dialog) return;
    document.removeEventListener("keydown", dialog.keyHandler);
    dialog.window.frame.remove();
    dialog = null;
  };

  // ---- Message boxes ----------------------------------------------------------------------

  let modalBox = null;
  const iconOf = { 0x10: "stop", 0x20: "question", 0x30: "exclamation", 0x40: "information" };
  const iconGlyph = { stop: "\u2716", question: "?", exclamation: "!", information: "i" };

  // Resolves with the button's result. The first button is the default; Escape answers an OK
  // box with OK and does nothing in a Yes/No box, which has no Cancel.
  page.messageBox = function (caption, text, type) {
    const yesNo = (type & 0x0f) === MB_YESNO;
    // Nobody answers boxes while the page plays one of its own modes: the default button.
    if (page.mode) return Promise.resolve(yesNo ? IDYES : IDOK);
    return new Promise((resolve) => {
      const box = el("div", "lw-modal");
      let answer;
      const w = frameWindow("lw-box lw-centred", caption, yesNo ? null : () => answer(IDOK));
      w.frame.setAttribute("role", "alertdialog");
      box.appendChild(w.frame);
      const body = el("div", "lw-box-body", w.client);
      const icon = iconOf[type & 0xf0];
      if (icon) {
        const i = el("div", "lw-icon lw-icon-" + icon, body);
        i.textContent = iconGlyph[icon];
      }
      const message = el("div", "lw-box-text", body);
      message.textContent = text.replace(/\n$/, "");
      const row = el("div", "lw-box-buttons", w.client);
      const buttons = (yesNo ? [["&Yes", IDYES], ["&No", IDNO]] : [["OK", IDOK]]).map(
        ([label, result]) => {
          const b = el("button", "lw-button", row);
          b.type = "button";
          const mnemonic = mnemonicText(b, label);
          b.addEventListener("click", () => answer(result));
          return { b, mnemonic, result };
        });
      const onKey = (e) => {
        e.stopPropagation();
        const letter = keyLetter(e);
        const hit = buttons.find((x) => x.mnemonic && x.mnemonic === letter && !e.ctrlKey);
        if (e.key === "Escape") {
          e.preventDefault();
          if (!yesNo) answer(IDOK);
        } else if (e.key === "Enter") {
          e.preventDefault();
          const focused = buttons.find((x) => x.b === document.activeElement) || buttons[0];
          answer(focused.result);
        } else if (hit) {
          e.preventDefault();
          answer(hit.result);
        }
      };
      const previous = modalBox;
      answer = (result) => {
        document.removeEventListener("keydown", onKey, true);
        box.remove();
        modalBox = previous;
        resolve(result);
      };
      document.addEventListener("keydown", onKey, true);
      document.body.appendChild(box);
      modalBox = box;
      buttons[0].b.classList.add("lw-default");
      buttons[0].b.focus();
    });
  };

  // ---- The render window ------------------------------------------------------------------

  let render = null;
  const messages = [];
  let stage = null;

  function post(type, wParam, lParam) {
    messages.push([type >>> 0, wParam >>> 0, lParam | 0]);
  }

  function keyMessage(e, down) {
    if (!render || modalBox) return;
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
    pumpAudio();
    return new Promise((resolve) => {
      if (document.hidden) setTimeout(resolve, 0);
      else requestAnimationFrame(() => resolve());
    });
  };

  // ---- Sound ------------------------------------------------------------------------------

  // Music queued ahead of what is heard: enough to ride over a slow frame, more while the page
  // is hidden and its timers run only once a second.
  const aheadSeconds = 0.25, hiddenAheadSeconds = 2.5, startLeadSeconds = 0.02;
  const audio = { context: null, next: 0, frames: 0, timer: 0, sources: new Set() };

  // Browsers start sound only in a user's gesture: the dialog's keys and clicks open the
  // context, which the program takes when it starts its music.
  function unlockAudio() {
    if (page.mode) return;
    if (audio.context) {
      if (audio.context.state === "suspended") audio.context.resume().catch(() => {});
      return;
    }
    // A modifier key alone is no gesture: the context would be made but not allowed to start.
    if (navigator.userActivation && !navigator.userActivation.isActive) return;
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    try {
      audio.context = new Context({ latencyHint: "interactive", sampleRate: 44100 });
    } catch (e) {
      try {
        audio.context = new Context();
      } catch (e2) {
        return;
      }
    }
    audio.context.resume().catch(() => {});
  }

  // The context's rate, or 0 when there is no audio output or it will not start.
  page.openAudio = async function (rate) {
    unlockAudio();
    const context = audio.context;
    if (!context) {
      console.error("sound: this browser has no Web Audio");
      return 0;
    }
    if (context.state !== "running") {
      const wait = new Promise((resolve) => setTimeout(resolve, 2000));
      await Promise.race([context.resume().catch(() => {}), wait]);
    }
    if (context.state !== "running") {
      console.error("sound: the audio output did not start (" + context.state + ")");
      return 0;
    }
    return Math.round(context.sampleRate);
  };

  function mixInto(frames) {
    const pointer = Module._lanternwhirlMixSound(frames);
    return pointer ? Module.HEAPF32.subarray(pointer >> 2, (pointer >> 2) + 2 * frames) : null;
  }

  function pumpAudio() {
    const context = audio.context;
    if (!audio.frames || !context) return;
    const rate = context.sampleRate;
    // Music the page could not queue in time is mixed and dropped, so that the song keeps its
    // place against the clock, as a device that played on would.
    if (audio.next < context.currentTime) {
      let late = Math.round((context.currentTime - audio.next) * rate);
      while (late > 0) {
        const n = Math.min(late, audio.frames);
        mixInto(n);
        late -= n;
      }
      audio.next = context.currentTime + startLeadSeconds;
    }
    const ahead = document.hidden ? hiddenAheadSeconds : aheadSeconds;
    while (audio.next < context.currentTime + ahead) {
      const samples = mixInto(audio.frames);
      if (!samples) return;
      const buffer = context.createBuffer(2, audio.frames, rate);
      const left = buffer.getChannelData(0), right = buffer.getChannelData(1);
      for (let i = 0; i < audio.frames; ++i) {
        left[i] = samples[2 * i];
        right[i] = samples[2 * i + 1];
      }
      const source = context.createBufferSource();
      source.buffer = buffer;
      source.connect(context.destination);
      source.onended = () => audio.sources.delete(source);
      audio.sources.add(source);
      source.start(audio.next);
      audio.next += audio.frames / rate;
    }
  }

  page.startAudio = function (frames) {
    if (!audio.context) return;
    audio.frames = frames;
    audio.next = audio.context.currentTime + startLeadSeconds;
    pumpAudio();
    audio.timer = setInterval(pumpAudio, 20);
  };

  page.closeAudio = function () {
    clearInterval(audio.timer);
    audio.timer = 0;
    audio.frames = 0;
    for (const source of audio.sources) source.stop();
    audio.sources.clear();
    if (audio.context) audio.context.close().catch(() => {});
    audio.context = null;
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

  // ---- Start and end ----------------------------------------------------------------------

  page.setStatus = function (state, text) {
    document.body.dataset.state = state;
    const status = document.getElementById("lw-status");
    if (status) status.textContent = text || "";
  };

  function ended(status) {
    page.closeAudio();
    page.closeDialog();
    page.closeWindow();
    if (stage) stage.remove();
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
})();

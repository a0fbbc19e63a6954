// Starting the program: the page first makes sure the browser can play at all, then loads the
// program and the show with a progress line, and starts the program (main, or one of the page's
// own modes) once they are in. Whatever fails on the way ends in a message naming the file or
// the reason. Served, the program and the show come as binary files; opened from a folder
// (file://), where browsers refuse fetch and XMLHttpRequest but still run scripts, they come as
// scripts carrying them in base64. Served, a service worker then keeps the site for offline use.
"use strict";

(function (page) {
  const fromFolder = location.protocol === "file:";
  // What the progress line counts: the program and the show, in the form this page loads.
  const counted = fromFolder ? ["lanternwhirl.wasm.js", "show.data.js"]
                             : ["lanternwhirl.wasm", "show.data"];
  const received = {};
  let loading = true;

  // The smallest module with a v128 instruction (i8x16.splat): it validates only with SIMD.
  const simdModule = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2,
                                     1, 0, 10, 8, 1, 6, 0, 65, 0, 253, 15, 11]);

  function noSimd() {
    if (typeof WebAssembly === "object" && WebAssembly.validate(simdModule)) return null;
    return "This browser cannot play the show: it has no WebAssembly with SIMD instructions, " +
           "which current Chrome, Edge, Firefox and Safari all have.";
  }

  function noWebGl() {
    const gl = document.createElement("canvas").getContext("webgl");
    if (!gl)
      return "This browser cannot play the show: it gives the page no WebGL, as browsers do " +
             "when the graphics card or its driver is missing or blocked for them, or when " +
             "hardware acceleration is switched off in their settings.";
    // Browsers allow only a few live contexts; the program makes its own.
    const lose = gl.getExtension("WEBGL_lose_context");
    if (lose) lose.loseContext();
    return null;
  }

  // The line waits for site.js, which has the sizes.
  function showProgress(file, bytes) {
    if (file) received[file] = bytes;
    const site = window.lanternwhirlSite;
    if (!loading || !site) return;
    const sum = (of) => counted.reduce((total, f) => total + (of[f] || 0), 0);
    const mb = (n) => (n / 1e6).toFixed(1);
    page.setStatus("loading", "Loading the show\u2026 " + mb(sum(received)) + " of " +
                   mb(sum(site.sizes)) + " MB");
  }

  // Why the show cannot start: a reason it could not be loaded, or a sentence of its own.
  function cannotLoad(reason, sentence) {
    if (!loading) return;
    loading = false;
    let text = sentence || "The show could not be loaded: " + reason;
    if (fromFolder && !sentence)
      text += " Opened from a folder, some browsers keep files from the page: serve the folder " +
              "with scripts/run-web or any static web server and open its address instead.";
    window.lanternwhirlAbort = text;
    page.setStatus("failed", text);
  }

  const reasonOf = (e) => String(e && e.message ? e.message : e);
  // What the program's scripts throw while they load would otherwise reach only the console.
  const onError = (e) => cannotLoad(reasonOf(e.error || e.message) + ".");
  const onRejection = (e) => cannotLoad(reasonOf(e.reason) + ".");

  // Resolves once the script has run.
  function addScript(file) {
    const script = document.createElement("script");
    script.src = file;
    script.async = false; // they run in the order they are added, whenever each arrives
    script.onerror = () => cannotLoad(file + " is missing or could not be read.");
    document.body.appendChild(script);
    return new Promise((resolve) => (script.onload = resolve)).then(() => {
      if (counted.includes(file)) showProgress(file, window.lanternwhirlSite?.sizes[file]);
      else showProgress();
    });
  }

  // A file carried by its script, as bytes; the script's text is let go.
  function unpack(name) {
    const text = window.lanternwhirlFiles[name];
    delete window.lanternwhirlFiles[name];
    if (Uint8Array.fromBase64) return Uint8Array.fromBase64(text);
    const binary = atob(text);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  }

  // The show package, served: a copy of its response is counted as it arrives.
  async function fetchShow(signal) {
    const response = await fetch("show.data", { signal });
    if (!response.ok) throw new Error("HTTP " + response.status + " " + response.statusText);
    const reader = response.clone().body.getReader();
    let bytes = 0;
    const count = ({ done, value }) => {
      if (done) return;
      showProgress("show.data", (bytes += value.length));
      return reader.read().then(count);
    };
    reader.read().then(count).catch(() => {});
    return response.arrayBuffer();
  }

  // The program, served, compiles while it arrives (counted once compiled: counting it on the
  // way would hold the compiler to the page's thread); from a host that gives .wasm another
  // type, once it is in.
  async function compileServed(signal) {
    const response = await fetch("lanternwhirl.wasm", { signal });
    if (!response.ok) throw new Error("HTTP " + response.status + " " + response.statusText);
    const type = response.headers.get("Content-Type") || "";
    const module = await (WebAssembly.compileStreaming && type.startsWith("application/wasm")
      ? WebAssembly.compileStreaming(response) : WebAssembly.compile(await response.arrayBuffer()));
    showProgress("lanternwhirl.wasm", window.lanternwhirlSite?.sizes["lanternwhirl.wasm"]);
    return module;
  }

  let program = null; // served: the program's module, compiling
  let showPackage = null; // served: the show package's bytes, once in
  let showLoader = null; // served: show.js, once it has run

  // The show's loader must have run before the program is received, which starts its run.
  function instantiateWasm(imports, receive) {
    const compiled = program || WebAssembly.compile(unpack("lanternwhirl.wasm"));
    Promise.all([compiled, showLoader])
      .then(([module]) => WebAssembly.instantiate(module, imports)
                            .then((instance) => receive(instance, module)))
      .catch((e) => cannotLoad("lanternwhirl.wasm: " + reasonOf(e) + "."));
    return {}; // the exports come with receive
  }

  // Served and in no mode of the page's own (those measure, and must load as the page does),
  // the site is kept for offline use, copied once the dialog is up so that the copy does not
  // slow the way there.
  function keepOffline() {
    if (fromFolder || page.mode || !("serviceWorker" in navigator)) return;
    new PerformanceObserver((marks, observer) => {
      if (!marks.getEntriesByName("lanternwhirl-dialog").length) return;
      observer.disconnect();
      navigator.serviceWorker.register("sw.js").catch((e) => console.warn("No offline copy: " + e));
    }).observe({ type: "mark" });
  }

  // A new release's service worker waits while a page runs the old one; once the show is over
  // nothing more is loaded from the old release, so "Start again" may load the new one.
  function letNewReleaseIn() {
    if (fromFolder || !("serviceWorker" in navigator)) return;
    navigator.serviceWorker.getRegistration().then((r) => {
      if (r && r.waiting) r.waiting.postMessage("take over");
    });
  }

  function ended(status) {
    page.closeAudio();
    page.closeDialog();
    page.closeWindow();
    page.removeStage();
    window.lanternwhirlExit = status;
    page.setStatus("ended", "The show has ended (status " + status + ").");
    letNewReleaseIn();
  }

  function failed(what) {
    if (loading) return cannotLoad(reasonOf(what) + ".");
    // The program is gone: its music stops, and the screen may dim and turn again.
    page.closeAudio();
    page.releaseScreen();
    const text = reasonOf(what);
    window.lanternwhirlAbort = text;
    page.setStatus("failed", "The program stopped: " + text);
    letNewReleaseIn();
  }

  function start() {
    if (!loading) return;
    loading = false;
    window.removeEventListener("error", onError);
    window.removeEventListener("unhandledrejection", onRejection);
    keepOffline();
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
    instantiateWasm,
    // The show package, fetched by the page when served, from its script opened from a folder.
    getPreloadedPackage: (name) => showPackage || unpack(name).buffer,
  };

  function load() {
    const missing = noSimd();
    if (missing) return cannotLoad(null, missing);
    addScript("site.js"); // the release and the sizes the progress line counts
    // Served, the program and the show are on their way while the slower check runs (the first
    // WebGL context can take a while), and called back if it fails; the scripts are fetched, to
    // be run after the check.
    const stop = new AbortController();
    if (!fromFolder) {
      program = compileServed(stop.signal);
      program.catch((e) => cannotLoad("lanternwhirl.wasm: " + reasonOf(e) + "."));
      showLoader = fetchShow(stop.signal).then((bytes) => {
        showPackage = bytes;
        return addScript("show.js");
      }, (e) => cannotLoad("show.data: " + reasonOf(e) + "."));
      for (const href of ["show.js", "lanternwhirl.js"]) {
        const preload = { rel: "preload", as: "script", href };
        document.head.appendChild(Object.assign(document.createElement("link"), preload));
      }
    }
    const noGl = noWebGl();
    if (noGl) {
      stop.abort();
      return cannotLoad(null, noGl);
    }
    page.setStatus("loading", "Loading the show\u2026");
    window.addEventListener("error", onError);
    window.addEventListener("unhandledrejection", onRejection);
    const files = fromFolder ? ["lanternwhirl.wasm.js", "show.data.js", "show.js"] : [];
    for (const file of [...files, "lanternwhirl.js"]) addScript(file);
  }

  document.addEventListener("DOMContentLoaded", () => {
    const again = document.getElementById("lw-again");
    if (again) again.addEventListener("click", () => location.reload());
    load();
  });
  return page;
})(lanternwhirlPage);

// Launching the browsers that the web tests (tests/web/harness.mjs) and the web bench
// (bench/) drive, in one place, and the plain static server both put the site behind:
// - chromium: Debian's headless shell, WebGL on SwiftShader;
// - firefox: Firefox ESR with a window (puppeteer over WebDriver BiDi), WebGL on Mesa's llvmpipe
//   through GLX: it needs a display (xvfb-run);
// - webkit: WebKitGTK's MiniBrowser through its WebDriver (./webkit.mjs), also in a window.
// Every browser started here is killed when the process exits, also half-way through a run.
import http from "node:http";
import fs from "node:fs";
import path from "node:path";
import puppeteer from "puppeteer-core";
import { WebDriverSession } from "./webkit.mjs";

const running = new Set();
process.on("exit", () => { for (const kill of running) kill(); });

// Kills with the process; the returned function forgets it again.
export function killAtExit(kill) {
  running.add(kill);
  return () => running.delete(kill);
}

// Chromium or Firefox through puppeteer; firefoxPrefs are laid over Firefox's own settings.
// Resolves with the browser and its close(), which also forgets it.
export async function launch(name, { firefoxPrefs } = {}) {
  const browser = await puppeteer.launch(name === "firefox" ? {
    browser: "firefox", executablePath: process.env.LW_FIREFOX || "/usr/bin/firefox-esr",
    headless: false, protocolTimeout: 900000, ...(firefoxPrefs ? { extraPrefsFirefox: firefoxPrefs } : {}),
  } : {
    executablePath: process.env.LW_CHROMIUM || "/usr/bin/chromium-headless-shell",
    args: ["--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
           "--disable-background-networking", "--disable-component-update", "--no-first-run",
           "--disable-sync", "--autoplay-policy=user-gesture-required"],
    protocolTimeout: 900000,
  });
  const forget = killAtExit(() => browser.process()?.kill("SIGKILL"));
  return { browser, close: () => browser.close().then(forget) };
}

// MiniBrowser with a viewport of width x height, through WebKitWebDriver.
export async function launchWebKit(size) {
  const session = await WebDriverSession.start(size);
  const forget = killAtExit(() => session.kill());
  return { session, close: () => session.close().then(forget) };
}

// Firefox drops a style sheet served with any other type than text/css.
const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".css": "text/css", ".webmanifest": "application/manifest+json", ".png": "image/png",
                ".wav": "audio/wav", ".data": "application/octet-stream" };

// Serves root with the folders in overlays laid over it, with extra response headers, on
// 127.0.0.1; resolves with the base address.
export function serve(root, overlays = [], headers = {}) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, "http://x").pathname).replace(/\/$/, "/index.html");
    const file = [...overlays, root].map((r) => path.join(r, path.normalize(name)))
      .find((f) => fs.existsSync(f) && fs.statSync(f).isFile());
    if (!file) return response.writeHead(404).end();
    response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream", ...headers });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => {
    resolve({ url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close() });
  }));
}

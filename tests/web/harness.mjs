// What the web tests share: the site served on 127.0.0.1 by a plain static server (with
// files of a test's own laid over it), one of three browser engines (LW_ENGINE: chromium,
// firefox or webkit) and a few ways to drive and read the page like a person would. Chromium is
// Debian's headless shell with WebGL on SwiftShader; Firefox ESR (puppeteer over WebDriver
// BiDi) and WebKitGTK's MiniBrowser (W3C WebDriver) run in a window on an X server that draws
// WebGL with Mesa's llvmpipe.
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import assert from "node:assert/strict";
import * as browsers from "../../tools/web-driver/browsers.mjs";

export const site = process.env.LW_SITE;
export const hostBuild = process.env.LW_HOST_BUILD;
assert.ok(site && fs.existsSync(path.join(site, "index.html")), "LW_SITE must name the built site");
export const engine = process.env.LW_ENGINE || "chromium";
// What an engine can give here. Firefox's AudioContext never starts without a sound device
// (its audio backend finds no output), so its shows play silently.
export const can = { chromium: { startAudio: true }, firefox: { startAudio: false },
                     webkit: { startAudio: true } }[engine];
assert.ok(can, "LW_ENGINE must be chromium, firefox or webkit, not " + engine);

// Serves site/ with the folders in overlays laid over it, with extra response headers;
// resolves with the base address.
export const serve = (overlays = [], headers = {}) => browsers.serve(site, overlays, headers);

// Browsers die with the test (tools/web-driver/browsers.mjs), also when it fails half-way or
// is stopped.
for (const signal of ["SIGINT", "SIGTERM"]) process.on(signal, () => process.exit(128 + os.constants.signals[signal]));

// A browser with one page at url, as a run: the engine-neutral operations the shared tests
// use, and for Chromium and Firefox the puppeteer Page as .page. Every console line is kept
// (the program writes each message box there as "caption: text"). noAudio: the page has no
// Web Audio at all.
export async function open(url, { noAudio = false } = {}) {
  return engine === "webkit" ? openWebDriver(url) : openPuppeteer(url, noAudio);
}

async function openPuppeteer(url, noAudio) {
  const { browser, close } = await browsers.launch(engine);
  const page = await browser.newPage();
  const console_ = [];
  page.on("console", (m) => console_.push(m.text()));
  page.on("pageerror", (e) => console_.push("page error: " + e.message));
  if (noAudio)
    await page.evaluateOnNewDocument(() => { delete window.AudioContext; delete window.webkitAudioContext; });
  await page.setViewport({ width: 1024, height: 768 });
  await page.goto(url);
  return {
    browser, page, console: console_,
    evaluate: (f, ...args) => page.evaluate(f, ...args),
    waitFor: (expression, seconds) => waitFor(page, expression, seconds),
    press: (chord) => press(page, chord),
    click: (selector) => page.click(selector),
    screenshot: async (selector) => (await page.$(selector)).screenshot({ encoding: "base64" }),
    lines: async () => console_,
    exitStatus: (seconds) => exitStatus(page, seconds),
    close,
  };
}

// Classic WebDriver has no console events: the page's console is wrapped once it has loaded,
// so lines written before its load event are not seen.
function keepConsole() {
  window.lanternwhirlConsoleLines = [];
  for (const level of ["log", "info", "warn", "error"]) {
    const original = console[level];
    console[level] = (...args) => {
      window.lanternwhirlConsoleLines.push(args.map(String).join(" "));
      original.apply(console, args);
    };
  }
  window.addEventListener("error", (e) => window.lanternwhirlConsoleLines.push("page error: " + e.message));
}

async function openWebDriver(url) {
  const { session, close } = await browsers.launchWebKit({ width: 1024, height: 768 });
  await session.navigate(url);
  const evaluate = (f, ...args) =>
    session.execute(typeof f === "function" ? `return (${f}).apply(null, arguments)` : `return (${f})`, args);
  await evaluate(keepConsole);
  const run = {
    session,
    evaluate,
    async waitFor(expression, seconds = 30) {
      for (const end = Date.now() + seconds * 1000; ; await new Promise((r) => setTimeout(r, 100))) {
        const value = await evaluate(expression);
        if (value) return value;
        if (Date.now() > end) throw new Error(`waited ${seconds} s for ${expression}`);
      }
    },
    press: (chord) => session.press(chord),
    click: (selector) => session.click(selector),
    screenshot: (selector) => session.screenshot(selector),
    lines: () => evaluate("window.lanternwhirlConsoleLines || []"),
    async exitStatus(seconds = 30) {
      await run.waitFor("window.lanternwhirlExit !== undefined", seconds);
      return evaluate("window.lanternwhirlExit");
    },
    close,
  };
  return run;
}

export async function waitFor(page, expression, seconds = 30) {
  await page.waitForFunction(expression, { timeout: seconds * 1000, polling: 100 });
  return page.evaluate(expression);
}

// Presses a chord such as "Alt+KeyW" or "Enter".
export async function press(page, chord) {
  const keys = chord.split("+");
  for (const k of keys) await page.keyboard.down(k);
  for (const k of keys.reverse()) await page.keyboard.up(k);
}

// The caption, text and buttons of the next message box, once it is up.
export async function box(page) {
  await page.waitForSelector(".lw-box:not([data-read])", { timeout: 30000 });
  return page.evaluate(() => {
    const b = document.querySelector(".lw-box:not([data-read])");
    b.dataset.read = "1";
    return { caption: b.querySelector(".lw-title").textContent,
             text: b.querySelector(".lw-box-text").textContent,
             buttons: [...b.querySelectorAll(".lw-box-buttons button")].map((x) => x.textContent) };
  });
}

export async function clickButton(page, label) {
  const buttons = await page.$$(".lw-box[data-read] .lw-box-buttons button");
  for (const b of buttons)
    if ((await b.evaluate((x) => x.textContent)) === label) return b.click();
  assert.fail("no button " + label);
}

export async function exitStatus(page, seconds = 30) {
  await waitFor(page, "window.lanternwhirlExit !== undefined", seconds);
  return page.evaluate("window.lanternwhirlExit");
}

export function report(line) {
  process.stdout.write(line + "\n");
}

// The dialog answers its keys as a Windows dialog does (bare and Alt mnemonics, Tab over its tab
// stops, Escape ignored) and its close box; the show runs in a window of exactly the chosen
// size and ends on Escape; in Chromium it also plays to its end by itself, through a resize by
// its sizing border and a spell hidden; every end is status 0. The same checks run in each
// engine (LW_ENGINE).
import assert from "node:assert/strict";
import { serve, open, report, engine, can } from "./harness.mjs";

const server = await serve();
const boxesIn = (lines) => lines.filter((l) => /^(Error|ERROR|SHUTDOWN ERROR|Ruva GL): /.test(l));
const checked = (run) => run.evaluate(() =>
  [...document.querySelectorAll(".lw-dialog input")].map((i) => i.checked));
const focused = (run) => run.evaluate(() => document.querySelector(".lw-dialog .lw-focused")?.textContent);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function dialogKeysAndCloseBox() {
  const run = await open(server.url);
  await run.waitFor("document.querySelector('.lw-dialog')");
  const layout = await run.evaluate(() => {
    const client = document.querySelector(".lw-dialog .lw-client").getBoundingClientRect();
    const picture = document.querySelector(".lw-picture canvas");
    const pixels = picture.getContext("2d").getImageData(0, 0, 256, 256).data;
    return { title: document.querySelector(".lw-dialog .lw-title").textContent,
             size: [client.width, client.height],
             labels: [...document.querySelectorAll(".lw-dialog .lw-client > *")].map((c) => c.textContent),
             pictureLit: pixels.some((v, i) => i % 4 !== 3 && v > 64) };
  });
  assert.equal(layout.title, "Ketterfold: Lanternwhirl");
  assert.deepEqual(layout.size, [446, 309]); // 297 x 190 dialog units
  assert.deepEqual(layout.labels, ["RunDemo", "640x480", "800x600", "Options:", "Window", "No sound", ""]);
  assert.ok(layout.pictureLit, "the dialog's picture is drawn");
  assert.deepEqual(await checked(run), [true, false, false, false]);
  const tabs = [await focused(run)];
  for (const k of ["Tab", "Tab", "Tab", "Tab", "Shift+Tab"]) {
    await run.press(k);
    tabs.push(await focused(run));
  }
  // The ticked radio button has a tab stop too, as Windows' buttons give it one.
  assert.deepEqual(tabs, ["RunDemo", "640x480", "Window", "No sound", "RunDemo", "No sound"]);
  await run.press("Escape"); // the Cancel command leaves the dialog open
  await run.press("Digit8");
  await run.press("KeyW");
  await run.press("Alt+KeyN");
  assert.deepEqual(await checked(run), [false, true, true, true]);
  assert.equal(await focused(run), "No sound");
  await run.press("Alt+Digit6");
  await run.press("Alt+KeyN");
  assert.deepEqual(await checked(run), [true, false, true, false]);
  assert.equal(await run.evaluate("window.lanternwhirlExit === undefined"), true);
  await run.click(".lw-dialog .lw-close");
  assert.equal(await run.exitStatus(), 0);
  assert.equal(await run.evaluate("document.querySelector('canvas#lanternwhirl-canvas')"), null);
  assert.deepEqual(boxesIn(await run.lines()), []);
  await run.close();
  report(`${engine} dialog: Tab over the tab stops, bare and Alt mnemonics, Escape ignored, close box ends with 0`);
}

// The share of a screenshot's pixels that are lit, decoded by the page.
const litShare = (run, png) => run.evaluate(async (png) => {
  const image = new Image();
  image.src = "data:image/png;base64," + png;
  await image.decode();
  const c = new OffscreenCanvas(image.width, image.height).getContext("2d");
  c.drawImage(image, 0, 0);
  const d = c.getImageData(0, 0, image.width, image.height).data;
  let lit = 0;
  for (let i = 0; i < d.length; i += 4) if (d[i] + d[i + 1] + d[i + 2] > 60) ++lit;
  return lit / (d.length / 4);
}, png);

// Chooses the options with the keys, runs, and looks at the window once the show is up: its
// size, and how much of it the screen shows lit once the title has faded in (later in engines
// that draw slower).
async function startShow(keys, ticks) {
  const run = await open(server.url);
  await run.waitFor("document.querySelector('.lw-dialog')");
  for (const k of keys) await run.press(k);
  assert.deepEqual(await checked(run), ticks);
  await run.press("Enter");
  await run.waitFor("document.body.dataset.state === 'show'");
  run.window = await run.evaluate(() => {
    const canvas = document.getElementById("lanternwhirl-canvas");
    const shown = canvas.getBoundingClientRect();
    return { buffer: [canvas.width, canvas.height], shown: [shown.width, shown.height] };
  });
  for (let wait = 4; wait <= 8 && !(run.lit > 0.02); ++wait) {
    await new Promise((resolve) => setTimeout(resolve, wait === 4 ? 4000 : 1000));
    run.lit = await litShare(run, await run.screenshot("#lanternwhirl-canvas"));
  }
  return run;
}

// WebGL's draws and viewports, counted and kept.
function countDraws() {
  window.testDraws = 0;
  const proto = WebGLRenderingContext.prototype;
  for (const name of ["drawArrays", "drawElements"]) {
    const draw = proto[name];
    proto[name] = function (...args) { ++window.testDraws; return draw.apply(this, args); };
  }
  const viewport = proto.viewport;
  proto.viewport = function (...args) { window.testViewport = args; return viewport.apply(this, args); };
}

// The sizing border's bottom-right corner dragged by (dx, dy): the canvas's buffer, its place on
// the screen, the viewport and what is lit at the new size.
async function dragCorner(run, dx, dy) {
  const r = await run.evaluate(() => JSON.parse(JSON.stringify(
    document.querySelector(".lw-render .lw-size-se").getBoundingClientRect())));
  await run.page.mouse.move(r.right - 2, r.bottom - 2);
  await run.page.mouse.down();
  await run.page.mouse.move(r.right - 2 + dx, r.bottom - 2 + dy, { steps: 8 });
  await run.page.mouse.up();
  await sleep(1500);
  const sized = await run.evaluate(() => {
    const canvas = document.getElementById("lanternwhirl-canvas");
    const shown = canvas.getBoundingClientRect();
    return { buffer: [canvas.width, canvas.height], shown: [shown.width, shown.height],
             viewport: window.testViewport };
  });
  return { ...sized, lit: await litShare(run, await run.screenshot("#lanternwhirl-canvas")) };
}

// The page hidden (a stand-in for visibilityState), then blurred: the order in which a hidden
// page's focus used to make it draw again. The draws counted while hidden, then once shown.
async function hiddenSpell(run) {
  await run.evaluate(() => {
    window.testHidden = true;
    Object.defineProperty(document, "visibilityState",
                          { configurable: true, get: () => (window.testHidden ? "hidden" : "visible") });
    document.dispatchEvent(new Event("visibilitychange"));
    window.dispatchEvent(new Event("blur"));
  });
  await sleep(500);
  const before = await run.evaluate("window.testDraws");
  await sleep(2000);
  const hidden = (await run.evaluate("window.testDraws")) - before;
  await run.evaluate(() => {
    window.testHidden = false;
    document.dispatchEvent(new Event("visibilitychange"));
    window.dispatchEvent(new Event("focus"));
  });
  await sleep(1000);
  return { hidden, shown: (await run.evaluate("window.testDraws")) - before - hidden };
}

async function windowedToTheEnd() {
  const run = await startShow(["KeyW", "KeyN"], [true, false, true, true]);
  assert.deepEqual(run.window, { buffer: [640, 480], shown: [640, 480] });
  assert.ok(run.lit > 0.02, "the scenes are drawn (" + run.lit + " of the pixels lit)");
  await run.evaluate(countDraws);
  const sized = await dragCorner(run, 80, 60);
  assert.deepEqual([sized.buffer, sized.shown, sized.viewport], [[720, 540], [720, 540], [0, 0, 720, 540]]);
  assert.ok(sized.lit > 0.02, "drawn at the new size (" + sized.lit + " of the pixels lit)");
  const draws = await hiddenSpell(run);
  assert.equal(draws.hidden, 0, "no draws while hidden");
  assert.ok(draws.shown > 0, "drawn again once shown");
  assert.equal(await run.exitStatus(150), 0);
  assert.deepEqual(boxesIn(await run.lines()), []);
  await run.close();
  report(`window 640x480 by bare W, N: drawn, resized to 720x540 (${(sized.lit * 100).toFixed(0)} % lit), ` +
         `no draws hidden (${draws.shown} once shown), played to its end, status 0`);
}

// With music: no box may say the output device failed, and where the engine starts its audio
// the page may not have fallen back to a silent show.
async function escapeWithMusic() {
  const run = await startShow(["Alt+Digit8", "Alt+KeyW"], [false, true, true, false]);
  assert.deepEqual(run.window, { buffer: [800, 600], shown: [800, 600] });
  assert.ok(run.lit > 0.02, "the scenes are drawn (" + run.lit + " of the pixels lit)");
  await run.press("Escape");
  assert.equal(await run.exitStatus(), 0);
  const lines = await run.lines();
  assert.deepEqual(boxesIn(lines), []);
  const silent = lines.some((l) => l.startsWith("sound: the audio output has not started"));
  if (can.startAudio) assert.ok(!silent, "the music plays");
  await run.close();
  report(`${engine} window 800x600 with music (${silent ? "silent: the audio never started" : "audio running"}): ` +
         `${(run.lit * 100).toFixed(0)} % lit, Escape ends it, status 0`);
}

await dialogKeysAndCloseBox();
// The run to the end takes the show's whole length: Chromium alone keeps CI short.
await Promise.all([...(engine === "chromium" ? [windowedToTheEnd()] : []), escapeWithMusic()]);
server.close();

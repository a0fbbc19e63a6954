// The dialog answers its keys and its close box; the show runs in a window of exactly the
// chosen size and ends on Escape; in Chromium it also plays to its end by itself; every end is
// status 0. The same checks run in each engine (LW_ENGINE).
import assert from "node:assert/strict";
import { serve, open, report, engine, can } from "./harness.mjs";

const server = await serve();
const boxesIn = (lines) => lines.filter((l) => /^(Error|ERROR|SHUTDOWN ERROR|Ruva GL): /.test(l));
const checked = (run) => run.evaluate(() =>
  [...document.querySelectorAll(".lw-dialog input")].map((i) => i.checked));

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
  await run.press("Escape"); // the Cancel command leaves the dialog open
  await run.press("Alt+Digit8");
  await run.press("Alt+KeyW");
  await run.press("Alt+KeyN");
  assert.deepEqual(await checked(run), [false, true, true, true]);
  await run.press("Alt+Digit6");
  await run.press("Alt+KeyN");
  assert.deepEqual(await checked(run), [true, false, true, false]);
  assert.equal(await run.evaluate("window.lanternwhirlExit === undefined"), true);
  await run.click(".lw-dialog .lw-close");
  assert.equal(await run.exitStatus(), 0);
  assert.equal(await run.evaluate("document.querySelector('canvas#lanternwhirl-canvas')"), null);
  assert.deepEqual(boxesIn(await run.lines()), []);
  await run.close();
  report(`${engine} dialog: keys, Escape ignored, close box ends with 0`);
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
async function startShow(keys) {
  const run = await open(server.url);
  await run.waitFor("document.querySelector('.lw-dialog')");
  for (const k of keys) await run.press(k);
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

async function windowedToTheEnd() {
  const run = await startShow(["Alt+KeyW", "Alt+KeyN"]);
  assert.deepEqual(run.window, { buffer: [640, 480], shown: [640, 480] });
  assert.ok(run.lit > 0.02, "the scenes are drawn (" + run.lit + " of the pixels lit)");
  assert.equal(await run.exitStatus(150), 0);
  assert.deepEqual(boxesIn(await run.lines()), []);
  await run.close();
  report("window 640x480: drawn, played to its end, status 0");
}

// With music: no box may say the output device failed, and where the engine starts its audio
// the page may not have fallen back to a silent show.
async function escapeWithMusic() {
  const run = await startShow(["Alt+Digit8", "Alt+KeyW"]);
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

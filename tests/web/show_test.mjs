// The dialog answers its keys and its close box; the show runs in a window of exactly the
// chosen size, plays to its end by itself, and ends early on Escape; every end is status 0.
import assert from "node:assert/strict";
import { serve, open, waitFor, press, exitStatus, report } from "./harness.mjs";

const server = await serve();
const boxesIn = (lines) => lines.filter((l) => /^(Error|ERROR|SHUTDOWN ERROR|Ruva GL): /.test(l));
const checked = (page) => page.evaluate(() =>
  [...document.querySelectorAll(".lw-dialog input")].map((i) => i.checked));

async function dialogKeysAndCloseBox() {
  const { page, console: lines, close } = await open(server.url);
  await waitFor(page, "document.querySelector('.lw-dialog')");
  const layout = await page.evaluate(() => {
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
  assert.deepEqual(await checked(page), [true, false, false, false]);
  await press(page, "Escape"); // the Cancel command leaves the dialog open
  await press(page, "Alt+Digit8");
  await press(page, "Alt+KeyW");
  await press(page, "Alt+KeyN");
  assert.deepEqual(await checked(page), [false, true, true, true]);
  await press(page, "Alt+Digit6");
  await press(page, "Alt+KeyN");
  assert.deepEqual(await checked(page), [true, false, true, false]);
  assert.equal(await page.evaluate("window.lanternwhirlExit"), undefined);
  await page.click(".lw-dialog .lw-close");
  assert.equal(await exitStatus(page), 0);
  assert.equal(await page.evaluate("document.querySelector('canvas#lanternwhirl-canvas')"), null);
  assert.deepEqual(boxesIn(lines), []);
  await close();
  report("dialog: keys, Escape ignored, close box ends with 0");
}

// Chooses the options with the keys, runs, and looks at the window once the show is up.
async function startShow(keys) {
  const run = await open(server.url);
  await waitFor(run.page, "document.querySelector('.lw-dialog')");
  for (const k of keys) await press(run.page, k);
  await press(run.page, "Enter");
  await waitFor(run.page, "document.body.dataset.state === 'show'");
  await new Promise((resolve) => setTimeout(resolve, 4000));
  run.window = await run.page.evaluate(() => {
    const canvas = document.getElementById("lanternwhirl-canvas");
    const shown = canvas.getBoundingClientRect();
    return { buffer: [canvas.width, canvas.height], shown: [shown.width, shown.height] };
  });
  const shot = await run.page.screenshot({ clip: await run.page.evaluate(() => {
    const r = document.getElementById("lanternwhirl-canvas").getBoundingClientRect();
    return { x: r.x, y: r.y, width: r.width, height: r.height };
  }), encoding: "base64" });
  run.lit = await run.page.evaluate(async (png) => {
    const image = new Image();
    image.src = "data:image/png;base64," + png;
    await image.decode();
    const c = new OffscreenCanvas(image.width, image.height).getContext("2d");
    c.drawImage(image, 0, 0);
    const d = c.getImageData(0, 0, image.width, image.height).data;
    let lit = 0;
    for (let i = 0; i < d.length; i += 4) if (d[i] + d[i + 1] + d[i + 2] > 60) ++lit;
    return lit / (d.length / 4);
  }, shot);
  return run;
}

async function windowedToTheEnd() {
  const run = await startShow(["Alt+KeyW", "Alt+KeyN"]);
  assert.deepEqual(run.window, { buffer: [640, 480], shown: [640, 480] });
  assert.ok(run.lit > 0.02, "the scenes are drawn (" + run.lit + " of the pixels lit)");
  assert.equal(await exitStatus(run.page, 150), 0);
  assert.deepEqual(boxesIn(run.console), []);
  await run.close();
  report("window 640x480: drawn, played to its end, status 0");
}

async function escapeWithMusic() {
  const run = await startShow(["Alt+Digit8", "Alt+KeyW"]);
  assert.deepEqual(run.window, { buffer: [800, 600], shown: [800, 600] });
  await press(run.page, "Escape");
  assert.equal(await exitStatus(run.page), 0);
  assert.deepEqual(boxesIn(run.console), []); // the music started: no device error
  await run.close();
  report("window 800x600 with music: Escape ends it, status 0");
}

await dialogKeysAndCloseBox();
await Promise.all([windowedToTheEnd(), escapeWithMusic()]);
server.close();

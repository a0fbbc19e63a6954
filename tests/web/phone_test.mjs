// The page on a phone (Chromium's device emulation: touch, device scale 3), upright and on its
// side: the dialog and the show's window fit the viewport with every control inside it and
// large enough for a finger, the show is started and ended by taps, a tap starts the sound, and
// a phone without a Fullscreen API (iPhone Safari) gets the page's own full screen, no question.
// Screenshots go to $LW_SHOTS (or the temporary folder).
import assert from "node:assert/strict";
import os from "node:os";
import path from "node:path";
import fs from "node:fs";
import { serve, open, waitFor, exitStatus, report } from "./harness.mjs";

const server = await serve();
const shots = process.env.LW_SHOTS || os.tmpdir();
fs.mkdirSync(shots, { recursive: true });

async function phone(width, height, init) {
  const run = await open(server.url);
  await run.page.setViewport({ width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  if (init) await run.page.evaluateOnNewDocument(init);
  await run.page.reload();
  await waitFor(run.page, "document.querySelector('.lw-dialog')");
  return run;
}

// Each selector's boxes: inside the viewport, the element a finger at its middle reaches, and
// at least minimum CSS pixels a side where a minimum is given.
async function fits(page, what, selectors) {
  const boxes = await page.evaluate((selectors) => selectors.flatMap(([selector, minimum]) =>
    [...document.querySelectorAll(selector)].map((e) => {
      const r = e.getBoundingClientRect();
      const hit = document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2);
      return { selector, minimum, box: [r.left, r.top, r.right, r.bottom].map(Math.round),
               reached: !!hit && (e.contains(hit) || hit.contains(e)) };
    })), selectors);
  const [width, height] = await page.evaluate(() => [innerWidth, innerHeight]);
  assert.ok(boxes.length >= selectors.length, what + ": every control is there");
  for (const { selector, minimum, box, reached } of boxes) {
    const [l, t, r, b] = box;
    assert.ok(l >= 0 && t >= 0 && r <= width && b <= height, `${what}: ${selector} at ${box} is outside ${width}x${height}`);
    assert.ok(reached, `${what}: ${selector} is covered`);
    if (minimum) assert.ok(r - l >= minimum && b - t >= minimum, `${what}: ${selector} is ${r - l}x${b - t}`);
  }
}

async function tap(page, selector) {
  const r = await page.evaluate((s) => {
    const b = document.querySelector(s).getBoundingClientRect();
    return { x: b.x + b.width / 2, y: b.y + b.height / 2 };
  }, selector);
  await page.touchscreen.tap(r.x, r.y);
}

const shoot = (page, name) => page.screenshot({ path: path.join(shots, `phone-${name}.png`) });

async function windowedByTaps(width, height) {
  const size = `${width}x${height}`;
  const run = await phone(width, height);
  await fits(run.page, size + " dialog", [[".lw-dialog .lw-close", 24], [".lw-dialog .lw-button", 0],
    [".lw-dialog .lw-radio", 0], [".lw-dialog .lw-check", 0], [".lw-dialog .lw-picture", 0]]);
  await shoot(run.page, size + "-dialog");
  await tap(run.page, ".lw-dialog .lw-check"); // Window
  await tap(run.page, ".lw-dialog .lw-button"); // RunDemo
  await waitFor(run.page, "document.body.dataset.state === 'show'");
  await new Promise((resolve) => setTimeout(resolve, 3000));
  await fits(run.page, size + " window", [[".lw-render .lw-close", 24], ["#lanternwhirl-canvas", 0]]);
  const shown = await run.page.evaluate(() => {
    const c = document.getElementById("lanternwhirl-canvas");
    const r = c.getBoundingClientRect();
    return { buffer: [c.width, c.height], aspect: r.width / r.height, sound: lanternwhirlPage.audioState().state };
  });
  assert.deepEqual(shown.buffer, [640, 480]);
  assert.ok(Math.abs(shown.aspect - 4 / 3) < 0.01, "aspect kept: " + shown.aspect);
  assert.equal(shown.sound, "running", "the tap on RunDemo started the sound");
  await shoot(run.page, size + "-window");
  await tap(run.page, ".lw-render .lw-close");
  assert.equal(await exitStatus(run.page), 0);
  await run.close();
  report(`${size}: dialog and window inside the viewport, started and ended by taps with sound, status 0`);
}

async function noFullscreenApi() {
  const run = await phone(390, 844, () => {
    delete Element.prototype.requestFullscreen;
    delete Element.prototype.webkitRequestFullscreen;
  });
  await tap(run.page, ".lw-dialog .lw-button"); // RunDemo, full screen
  await waitFor(run.page, "document.body.dataset.state === 'show'");
  await new Promise((resolve) => setTimeout(resolve, 3000));
  const stage = await run.page.evaluate(() => {
    const c = document.getElementById("lanternwhirl-canvas");
    const r = c.getBoundingClientRect();
    return { box: !!document.querySelector(".lw-box"), rect: [r.width, r.height], fit: getComputedStyle(c).objectFit,
             buffer: [c.width, c.height] };
  });
  assert.deepEqual(stage, { box: false, rect: [390, 844], fit: "contain", buffer: [640, 480] });
  await fits(run.page, "page full screen", [[".lw-stage-close", 24]]);
  await shoot(run.page, "390x844-page-fullscreen");
  await tap(run.page, ".lw-stage-close");
  assert.equal(await exitStatus(run.page), 0);
  await run.close();
  report("no Fullscreen API: the stage covers the viewport, no question, its close box ends it, status 0");
}

await Promise.all([windowedByTaps(390, 844), noFullscreenApi()]);
await windowedByTaps(844, 390);
report("screenshots in " + shots);
server.close();

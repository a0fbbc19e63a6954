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

// Stand-ins note each request in lwAsked with the page's state ("tapped" in a gesture); lwHide(h)
// hides or shows the page as a lock button does. iPhone: an older iPhone's Safari, with none.
function standIns(iPhone) {
  const asked = (window.lwAsked = []), held = new Set(), tapped = () => navigator.userActivation.isActive;
  const ask = (...what) => asked.push(`${what.join(" ")} in ${document.body.dataset.state}${tapped() ? " tapped" : ""}`);
  let hidden = false, type = "auto";
  Object.defineProperty(document, "hidden", { get: () => hidden });
  window.lwHide = (h) => {
    if ((hidden = h)) for (const s of held) s.released = held.delete(s); // as browsers let go
    asked.push(h ? "hidden" : "shown");
    document.dispatchEvent(new Event("visibilitychange"));
  };
  if (iPhone) {
    for (const name of ["requestFullscreen", "webkitRequestFullscreen"]) delete Element.prototype[name];
    delete Navigator.prototype.wakeLock;
    HTMLMediaElement.prototype.play = async function () { ask("play", this.loop); };
    return Object.defineProperty(navigator, "userAgent", { value: "Mozilla/5.0 (iPhone; CPU iPhone OS 15_8 like Mac OS X)" });
  }
  const request = async (kind) => {
    const s = { released: false, release: async () => held.delete(s) && ask("release") };
    return ask("wake", kind) && held.add(s) && s;
  };
  const audioSession = { get type() { return type; }, set type(t) { ask("session", (type = t)); } };
  Object.defineProperties(navigator, { wakeLock: { value: { request } }, audioSession: { value: audioSession } });
  Object.assign(ScreenOrientation.prototype, { lock: async (o) => ask("lock", o), unlock: () => ask("unlock") });
}

async function phone(width, height, iPhone = false) {
  const run = await open(server.url);
  await run.page.setViewport({ width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
  await run.page.evaluateOnNewDocument(standIns, iPhone);
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
  assert.deepEqual(await run.page.evaluate("lwAsked"), ["session playback in dialog tapped", "wake screen in dialog tapped",
                                                        "session auto in show tapped", "release in show tapped"]);
  await run.close();
  report(`${size}: dialog and window inside the viewport, started and ended by taps with sound, status 0`);
}

async function noFullscreenApi() {
  const run = await phone(390, 844, true);
  await (await run.page.createCDPSession()).send("Emulation.setSafeAreaInsetsOverride", { insets: { top: 47, bottom: 34 } });
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
  assert.deepEqual(await run.page.evaluate(() => [getComputedStyle(document.getElementById("lanternwhirl-canvas")).padding,
    document.querySelector(".lw-stage-close").getBoundingClientRect().top]), ["47px 0px 34px", 55], "clear of the notch");
  await fits(run.page, "page full screen", [[".lw-stage-close", 24]]);
  await shoot(run.page, "390x844-page-fullscreen");
  await run.page.evaluate("lwHide(true), lwHide(false)");
  await tap(run.page, ".lw-stage-close");
  assert.equal(await exitStatus(run.page), 0);
  assert.deepEqual(await run.page.evaluate("lwAsked"), ["play true in dialog tapped", "hidden", "shown"]);
  assert.equal(run.console.filter((line) => line.startsWith("screen:")).length, 1, "one note: no wake lock");
  await run.close();
  report("no Fullscreen API: the stage covers the viewport clear of the notch, no question, silence looping, status 0");
}

// The whole show in full screen without sound, hidden and shown again on the way, ending by itself.
async function fullscreenToTheEnd() {
  const run = await phone(390, 844);
  await tap(run.page, ".lw-dialog label.lw-check:last-of-type"); // No sound
  await tap(run.page, ".lw-dialog .lw-button"); // RunDemo, full screen
  await waitFor(run.page, "document.body.dataset.state === 'show'");
  for (const h of [true, false]) await new Promise((resolve) => setTimeout(resolve, 2000)).then(() => run.page.evaluate(`lwHide(${h})`));
  assert.equal(await exitStatus(run.page, 150), 0);
  assert.deepEqual(await run.page.evaluate("lwAsked"), ["wake screen in dialog", "lock landscape in show", "hidden", "shown",
                                                        "wake screen in show tapped", "release in show", "unlock in show"]);
  await run.close();
  report("full screen to the end without sound: no audio session, landscape, the wake lock again once shown, all let go, status 0");
}

await Promise.all([windowedByTaps(390, 844), noFullscreenApi(), fullscreenToTheEnd()]);
await windowedByTaps(844, 390);
report("screenshots in " + shots);
server.close();

// What the browser can do to a show under way, and how the page answers: WebGL taken away, the
// sound suspended and resumed by a key, the page frozen for a minute (what a hidden page's
// timers come to), and an output that never starts.
import assert from "node:assert/strict";
import { serve, open, waitFor, press, box, clickButton, exitStatus, report } from "./harness.mjs";

const server = await serve();
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const audioState = (page) => page.evaluate(() => lanternwhirlPage.audioState());

// Every AudioContext the page makes is kept in window.testContexts; withoutStart: none of them
// ever starts, as in a browser that holds sound back. countMixing counts the frames mixed.
function instrument({ withoutStart = false } = {}) {
  window.testContexts = [];
  window.testMixed = 0;
  const Base = window.AudioContext;
  window.AudioContext = class extends Base {
    constructor(...args) {
      super(...args);
      window.testContexts.push(this);
      if (withoutStart) {
        super.suspend();
        this.resume = () => new Promise(() => {});
      }
    }
  };
}

function countMixing() {
  const mix = Module._lanternwhirlMixSound;
  Module._lanternwhirlMixSound = (n) => ((window.testMixed += n), mix(n));
}

// A show in a 640x480 window with music, once it draws.
async function showWithMusic(options = {}) {
  const run = await open(server.url);
  await run.page.evaluateOnNewDocument(instrument, options);
  await run.page.reload();
  await waitFor(run.page, "document.querySelector('.lw-dialog')");
  await press(run.page, "Alt+KeyW");
  await press(run.page, "Enter");
  await waitFor(run.page, "document.body.dataset.state === 'show'");
  await sleep(2000);
  await run.page.evaluate(countMixing);
  return run;
}

// The music heard now against the show's clock, within one chunk. A starved browser can leave
// a moment with nothing queued (null), which is read again; an offset is never.
async function inStep(page, what) {
  await sleep(1000);
  let state = await audioState(page);
  for (let i = 0; i < 10 && state.offset === null; ++i) state = (await sleep(100), await audioState(page));
  assert.equal(state.state, "running", what);
  assert.ok(state.offset !== null && Math.abs(state.offset) <= state.chunk,
            `${what}: the music is ${state.offset} frames off the clock`);
  return state;
}

async function contextLost() {
  const run = await showWithMusic();
  await run.page.evaluate(() =>
    document.getElementById("lanternwhirl-canvas").getContext("webgl")
      .getExtension("WEBGL_lose_context").loseContext());
  const b = await box(run.page);
  assert.deepEqual([b.caption, b.text], ["ERROR", "The GL Rendering Context Was Lost."]);
  assert.notEqual((await audioState(run.page)).state, "running", "the music stops with the picture");
  await clickButton(run.page, "OK");
  assert.equal(await exitStatus(run.page), 1);
  assert.ok(await run.page.evaluate(() => document.getElementById("lw-again").offsetWidth > 0));
  await run.close();
  report("WebGL context lost: the music stops, \"The GL Rendering Context Was Lost.\", status 1");
}

async function suspendedThenKey() {
  const run = await showWithMusic();
  await inStep(run.page, "before");
  await run.page.evaluate(() => window.testContexts.at(-1).suspend());
  await sleep(3000);
  assert.equal((await audioState(run.page)).state, "suspended");
  await press(run.page, "KeyA"); // any key resumes it
  const after = await inStep(run.page, "after a 3 s suspension and a key");
  assert.ok(after.skipped >= 2.5 * 44100, `skipped ${after.skipped} frames`);
  await press(run.page, "Escape");
  assert.equal(await exitStatus(run.page), 0);
  await run.close();
  report(`audio suspended 3 s, a key resumes it: back in step (${after.offset} frames off)`);
}

async function frozenMinute() {
  const run = await showWithMusic();
  const cdp = await run.page.createCDPSession();
  await cdp.send("Page.setWebLifecycleState", { state: "frozen" });
  await sleep(60000);
  const mixedBefore = await run.page.evaluate("window.testMixed");
  await cdp.send("Page.setWebLifecycleState", { state: "active" });
  const after = await inStep(run.page, "after a minute frozen");
  const mixed = (await run.page.evaluate("window.testMixed")) - mixedBefore;
  // What is queued ahead (up to 2.5 s while hidden) and a second of playing, not the minute.
  assert.ok(mixed < 5 * 44100, `${mixed} frames mixed on waking: the gap is skipped, not mixed`);
  assert.ok(after.skipped >= 55 * 44100, `skipped ${after.skipped} frames`);
  // Headless Chromium keeps a page it has frozen hidden: no frames or keys reach it any more.
  await run.close();
  report(`frozen 60 s: ${mixed} frames mixed on waking, back in step (${after.offset} frames off)`);
}

async function outputNeverStarts() {
  const run = await showWithMusic({ withoutStart: true });
  assert.ok(run.console.some((l) => l.includes("the show plays silently")), "a note on the console");
  assert.ok(!run.console.some((l) => l.startsWith("Error: ")), "no error box");
  await press(run.page, "Escape");
  assert.equal(await exitStatus(run.page), 0);
  await run.close();
  report("an output that never starts: the show plays silently with a note, status 0");
}

// Two at a time: each plays a show.
await Promise.all([frozenMinute(), (async () => {
  await contextLost();
  await suspendedThenKey();
  await outputNeverStarts();
})()]);
server.close();

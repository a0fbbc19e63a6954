// Full screen, granted and refused, and what goes wrong: each failure says so in the boxes the
// native program shows and ends as it does: full screen refused (the question, then No), a show
// without data/2.chk, and a page without audio output.
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { execFileSync } from "node:child_process";
import { serve, open, waitFor, press, box, clickButton, exitStatus, report, hostBuild } from "./harness.mjs";

// A package of the baked show without data/2.chk, laid over the site.
const overlay = fs.mkdtempSync(path.join(os.tmpdir(), "lw-web-"));
const show = path.join(overlay, "show");
fs.cpSync(path.join(hostBuild, "show"), show, { recursive: true });
fs.rmSync(path.join(show, "data", "2.chk"));
execFileSync("python3", [process.env.LW_FILE_PACKAGER, path.join(overlay, "show.data"), "--preload",
  `${show}/data@/data`, `${show}/gfx@/gfx`, `--js-output=${path.join(overlay, "show.js")}`]);
// A site whose pages may not go full screen, as a browser's policy can have it.
const [server, brokenServer, noFullscreen] = await Promise.all([
  serve(), serve([overlay]), serve([], { "Permissions-Policy": "fullscreen=()" })]);

// Answers each expected box in turn with its button, then reads the exit status.
async function expectBoxes(run, expected) {
  for (const [caption, text, button] of expected) {
    const b = await box(run.page);
    assert.deepEqual([b.caption, b.text], [caption, text]);
    assert.ok(run.console.join("\n").includes(caption + ": " + text), "on the console too: " + text);
    await clickButton(run.page, button);
  }
  return exitStatus(run.page);
}

async function startWith(url, keys, options) {
  const run = await open(url, options);
  await waitFor(run.page, "document.querySelector('.lw-dialog')");
  for (const k of keys) await press(run.page, k);
  await press(run.page, "Enter");
  return run;
}

const neverDrawn = (run) => run.page.evaluate("!document.getElementById('lanternwhirl-canvas')");

async function fullscreenGranted() {
  const run = await startWith(server.url, ["Alt+KeyN"]);
  await waitFor(run.page, "document.body.dataset.state === 'show'");
  const shown = await run.page.evaluate(() => {
    const canvas = document.getElementById("lanternwhirl-canvas");
    const r = canvas.getBoundingClientRect();
    return { stage: document.fullscreenElement && document.fullscreenElement.id,
             buffer: [canvas.width, canvas.height], fit: getComputedStyle(canvas).objectFit,
             shown: [r.width, r.height], cursor: document.documentElement.classList.contains("lw-no-cursor") };
  });
  assert.deepEqual(shown, { stage: "lw-stage", buffer: [640, 480], fit: "contain",
                            shown: [1024, 768], cursor: true });
  await press(run.page, "Escape");
  assert.equal(await exitStatus(run.page), 0);
  assert.equal(await run.page.evaluate("document.fullscreenElement"), null);
  await run.close();
  report("full screen granted: 640x480 drawn scaled to 1024x768, Escape ends it, status 0");
}

async function fullscreenRefused() {
  const run = await startWith(noFullscreen.url, ["Alt+KeyN"]);
  assert.equal(await expectBoxes(run, [
    ["Ruva GL", "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?", "No"],
    ["ERROR", "Program Will Now Close.", "OK"]]), 0);
  assert.ok(await neverDrawn(run));
  await run.close();
  report("full screen refused: the question, No, \"Program Will Now Close.\", status 0");
}

// In full screen: the first box shows inside the full-screen stage, where it can be seen.
async function meshMissing() {
  const run = await startWith(brokenServer.url, ["Alt+KeyN"]);
  await run.page.waitForSelector(".lw-box");
  assert.ok(await run.page.evaluate(() => !!document.fullscreenElement?.querySelector(".lw-box")),
            "the box is inside the full-screen element");
  assert.equal(await expectBoxes(run, [["Error", "MESH error: couldn't load!", "OK"],
                                       ["ERROR", "Initialization Failed.", "OK"]]), 0);
  await run.close();
  report("data/2.chk missing in full screen: \"MESH error: couldn't load!\" seen over the stage, \"Initialization Failed.\", status 0");
}

async function noAudioOutput() {
  const run = await startWith(server.url, ["Alt+KeyW"], { noAudio: true });
  assert.equal(await expectBoxes(run, [["Error", "Error initializing output device.", "OK"]]), 1);
  assert.ok(await neverDrawn(run));
  await run.close();
  report("no audio output: \"Error initializing output device.\", status 1, nothing drawn");
}

await Promise.all([fullscreenGranted(), fullscreenRefused(), meshMissing(), noAudioOutput()]);
for (const s of [server, brokenServer, noFullscreen]) s.close();
fs.rmSync(overlay, { recursive: true });

// The page's music mode renders what the capture tool's --wav renders: the same length, and
// the loudness of every second within 0.5 dB (the page's libopenmpt is of the 0.7 branch,
// Debian's of 0.6, and their mixers round differently). The page mixes it itself, without
// Web Audio, so every engine renders it.
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { execFileSync } from "node:child_process";
import { serve, open, report, hostBuild, engine } from "./harness.mjs";

const [from, to] = [20, 40];
const work = fs.mkdtempSync(path.join(os.tmpdir(), "lw-music-"));
const nativeWav = path.join(work, "native.wav");
execFileSync(path.join(hostBuild, "bin", "lanternwhirl-capture"), ["--show", path.join(hostBuild, "show"),
  "--from", String(from), "--to", String(to), "--jump", "--fps", "10", "--wav", nativeWav, "--quiet"]);

const server = await serve();
const run = await open(`${server.url}index.html?music=${from},${to}`);
await run.waitFor("window.lanternwhirlMusic && window.lanternwhirlMusic.done", 300);
const music = await run.evaluate("window.lanternwhirlMusic");
await run.close();
server.close();
assert.equal(music.error ?? null, null);

// 16-bit stereo samples after the 44-byte header; the loudness of each second in dB (RMS).
function loudness(bytes) {
  assert.equal(bytes.toString("ascii", 0, 4), "RIFF");
  const samples = new Int16Array(bytes.buffer.slice(bytes.byteOffset + 44, bytes.byteOffset + bytes.length));
  const perSecond = [];
  for (let s = 0; s + 88200 <= samples.length; s += 88200) {
    let sum = 0;
    for (let i = s; i < s + 88200; ++i) sum += samples[i] * samples[i];
    perSecond.push(10 * Math.log10(sum / 88200 / (32768 * 32768) + 1e-12));
  }
  return { length: samples.length, perSecond };
}
const web = loudness(Buffer.from(music.wav.split(",")[1], "base64"));
const native = loudness(fs.readFileSync(nativeWav));
fs.rmSync(work, { recursive: true });
assert.equal(web.length, native.length);
assert.equal(web.length, (to - from) * 44100 * 2);
const differences = web.perSecond.map((db, i) => Math.abs(db - native.perSecond[i]));
report(`${engine} music ${from}-${to} s: ${web.length / 2} frames each; loudness difference per second ` +
       `at most ${Math.max(...differences).toFixed(3)} dB (` + differences.map((d) => d.toFixed(2)).join(" ") + ")");
differences.forEach((d, i) => assert.ok(d <= 0.5, `second ${from + i}: ${d.toFixed(3)} dB apart`));

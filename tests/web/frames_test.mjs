// The page's capture mode draws the frames the capture tool draws: times in every section of
// the show, at both sizes, each within 30 dB PSNR of lanternwhirl-capture --png at the same
// time (the rasterisers differ: SwiftShader or llvmpipe behind WebGL and gl4es, Mesa's
// llvmpipe natively). Both draw every frame up to the last time, since fades step per frame.
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { execFile } from "node:child_process";
import { promisify } from "node:util";
import { serve, open, report, hostBuild, engine } from "./harness.mjs";

const allTimes = [3, 11, 17, 22, 27, 32, 37, 41, 47, 58, 66, 74, 80, 85, 90, 96, 101, 104.5];
const allSections = ["0", "0", "1", "1", "2", "2", "3", "3", "4", "4", "4+pulsar", "4+pulsar",
                     "4+env", "4+env", "5+warp", "5+warp", "5", "5"];
// Two times a section in Chromium; Firefox and WebKit draw a frame on llvmpipe in the page's
// process, several times slower, so they take one a section at fewer frames a second.
const [fps, every] = engine === "chromium" ? [15, 1] : [6, 2];
const times = allTimes.filter((t, i) => i % every === every - 1);
const sections = allSections.filter((t, i) => i % every === every - 1);
const work = fs.mkdtempSync(path.join(os.tmpdir(), "lw-frames-"));
const server = await serve([work]);

async function compare(size) {
  const native = path.join(work, size);
  const capture = promisify(execFile)(path.join(hostBuild, "bin", "lanternwhirl-capture"),
    ["--show", path.join(hostBuild, "show"), "--size", size, "--fps", String(fps), "--at",
     times.join(","), "--png", native, "--quiet"]);
  const run = await open(`${server.url}index.html?capture=${size}&fps=${fps}&at=${times.join(",")}`);
  await run.waitFor("window.lanternwhirlCapture && window.lanternwhirlCapture.done", 900);
  await capture;
  const result = await run.evaluate(() => ({ error: window.lanternwhirlCapture.error || null,
                                             n: window.lanternwhirlCapture.frames.map((f) => f.n) }));
  assert.equal(result.error, null);
  assert.deepEqual(result.n, times.map((t) => Math.round(t * fps)));
  // The mean squared error of each frame against the native one, both decoded by the page.
  const mse = await run.evaluate(async (size) => {
    const pixels = async (src) => {
      const image = new Image();
      image.src = src;
      await image.decode();
      const c = new OffscreenCanvas(image.width, image.height).getContext("2d");
      c.drawImage(image, 0, 0);
      return c.getImageData(0, 0, image.width, image.height).data;
    };
    const out = [];
    for (const f of window.lanternwhirlCapture.frames) {
      const [a, b] = [await pixels(f.png), await pixels(`/${size}/frame-${String(f.n).padStart(6, "0")}.png`)];
      if (a.length !== b.length) return `frame ${f.n}: ${a.length} bytes against ${b.length}`;
      let sum = 0;
      for (let i = 0; i < a.length; ++i) if (i % 4 !== 3) sum += (a[i] - b[i]) ** 2;
      out.push(sum / (a.length / 4 * 3));
    }
    return out;
  }, size);
  assert.ok(Array.isArray(mse), mse);
  const psnr = mse.map((m) => (m === 0 ? Infinity : 10 * Math.log10(255 * 255 / m)));
  await run.close();
  const table = psnr.map((p, i) => `${times[i]}s(${sections[i]}) ${p.toFixed(1)}`).join(", ");
  const worst = psnr.indexOf(Math.min(...psnr));
  report(`${engine} ${size} at ${fps} fps: PSNR dB ${table}; lowest ${psnr[worst].toFixed(2)} dB at ${times[worst]} s`);
  psnr.forEach((p, i) => assert.ok(p >= 30, `${size} at ${times[i]} s: ${p.toFixed(2)} dB`));
}

await compare("640x480");
await compare("800x600");
server.close();
fs.rmSync(work, { recursive: true });

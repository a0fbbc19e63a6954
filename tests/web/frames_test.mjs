// The page's capture mode draws the frames the capture tool draws: two times in every section
// of the show, at both sizes, each within 30 dB PSNR of lanternwhirl-capture --png at the same
// time (the rasterisers differ: SwiftShader behind WebGL and gl4es, Mesa's llvmpipe natively).
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { execFile } from "node:child_process";
import { promisify } from "node:util";
import { serve, open, waitFor, report, hostBuild } from "./harness.mjs";

const fps = 15;
const times = [3, 11, 17, 22, 27, 32, 37, 41, 47, 58, 66, 74, 80, 85, 90, 96, 101, 104.5];
const sections = ["0", "0", "1", "1", "2", "2", "3", "3", "4", "4", "4+pulsar", "4+pulsar",
                  "4+env", "4+env", "5+warp", "5+warp", "5", "5"];
const work = fs.mkdtempSync(path.join(os.tmpdir(), "lw-frames-"));
const server = await serve([work]);

async function compare(size) {
  const native = path.join(work, size);
  const capture = promisify(execFile)(path.join(hostBuild, "bin", "lanternwhirl-capture"),
    ["--show", path.join(hostBuild, "show"), "--size", size, "--fps", String(fps), "--at",
     times.join(","), "--png", native, "--quiet"]);
  const run = await open(`${server.url}index.html?capture=${size}&fps=${fps}&at=${times.join(",")}`);
  const result = await waitFor(run.page, "window.lanternwhirlCapture && window.lanternwhirlCapture.done", 600)
    .then(() => run.page.evaluate("window.lanternwhirlCapture"));
  await capture;
  assert.equal(result.error, undefined);
  assert.deepEqual(result.frames.map((f) => f.n), times.map((t) => Math.round(t * fps)));
  const psnr = await run.page.evaluate(async (size, frames) => {
    const pixels = async (src) => {
      const image = new Image();
      image.src = src;
      await image.decode();
      const c = new OffscreenCanvas(image.width, image.height).getContext("2d");
      c.drawImage(image, 0, 0);
      return c.getImageData(0, 0, image.width, image.height).data;
    };
    const out = [];
    for (const f of frames) {
      const [a, b] = [await pixels(f.png), await pixels(`/${size}/frame-${String(f.n).padStart(6, "0")}.png`)];
      let sum = 0;
      for (let i = 0; i < a.length; ++i) if (i % 4 !== 3) sum += (a[i] - b[i]) ** 2;
      const mse = sum / (a.length / 4 * 3);
      out.push(mse === 0 ? Infinity : 10 * Math.log10(255 * 255 / mse));
    }
    return out;
  }, size, result.frames);
  await run.close();
  const table = psnr.map((p, i) => `${times[i]}s(${sections[i]}) ${p.toFixed(1)}`).join(", ");
  const worst = psnr.indexOf(Math.min(...psnr));
  report(`${size}: PSNR dB ${table}; lowest ${psnr[worst].toFixed(2)} dB at ${times[worst]} s`);
  psnr.forEach((p, i) => assert.ok(p >= 30, `${size} at ${times[i]} s: ${p.toFixed(2)} dB`));
}

await compare("640x480");
await compare("800x600");
server.close();
fs.rmSync(work, { recursive: true });

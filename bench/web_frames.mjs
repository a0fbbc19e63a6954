// The page's capture mode in one engine, its frames written as PNG files with a digest of each
// frame's pixels, so that two builds' frames can be compared byte for byte (a change to how
// vertices reach WebGL must leave every pixel as it was; Firefox's PNG files of the same pixels
// differ from run to run, so the pixels, decoded by the page, are compared):
//   node bench/web_frames.mjs SITE OUT ENGINE [SIZE] [FPS] [TIMES]
// writes OUT/ENGINE-SIZE/frame-NNNNNN.png and pixels.json (ENGINE: chromium, firefox or webkit;
// defaults: 640x480, 6 frames a second, a time in every section). With REFERENCE=DIR set it
// compares them with DIR/ENGINE-SIZE and exits 1 on any frame that differs. Firefox and WebKit
// need a display (xvfb-run with GLX).
import fs from "node:fs";
import path from "node:path";
import { serve, launch, launchWebKit } from "../tools/web-driver/browsers.mjs";

const [site, out, engine, size = "640x480", fps = "6",
       times = "3,11,17,22,27,32,37,41,47,58,66,74,80,85,90,96,101,104.5"] = process.argv.slice(2);
const server = await serve(site);
const url = `${server.url}index.html?capture=${size}&fps=${fps}&at=${times}`;
const done = "window.lanternwhirlCapture && window.lanternwhirlCapture.done";
const framesJson = "JSON.stringify(window.lanternwhirlCapture)";
// The SHA-256 of each frame's RGBA pixels, decoded by the page.
async function pixelDigests() {
  const hex = (b) => [...new Uint8Array(b)].map((x) => x.toString(16).padStart(2, "0")).join("");
  const out = {};
  for (const f of window.lanternwhirlCapture.frames) {
    const image = new Image();
    image.src = f.png;
    await image.decode();
    const c = document.createElement("canvas");
    [c.width, c.height] = [image.width, image.height];
    const g = c.getContext("2d");
    g.drawImage(image, 0, 0);
    out[f.n] = hex(await crypto.subtle.digest("SHA-256", g.getImageData(0, 0, c.width, c.height).data));
  }
  return JSON.stringify(out);
}

let capture;
if (engine === "webkit") {
  const { session, close } = await launchWebKit({ width: 1024, height: 768 });
  await session.navigate(url);
  for (const end = Date.now() + 1800e3; !(await session.execute(`return !!(${done})`));) {
    if (Date.now() > end) throw new Error("the capture did not finish");
    await new Promise((r) => setTimeout(r, 500));
  }
  capture = JSON.parse(await session.execute(`return ${framesJson}`));
  capture.digests = JSON.parse(await session.execute(`return (${pixelDigests})()`));
  await close();
} else {
  const { browser, close } = await launch(engine);
  const page = await browser.newPage();
  await page.setViewport({ width: 1024, height: 768 });
  await page.goto(url);
  await page.waitForFunction(done, { timeout: 1800e3, polling: 500 });
  capture = JSON.parse(await page.evaluate(framesJson));
  capture.digests = JSON.parse(await page.evaluate(pixelDigests));
  await close();
}
server.close();
if (capture.error) throw new Error(capture.error);

const dir = path.join(out, `${engine}-${size}`);
fs.mkdirSync(dir, { recursive: true });
for (const f of capture.frames)
  fs.writeFileSync(path.join(dir, `frame-${String(f.n).padStart(6, "0")}.png`),
                   Buffer.from(f.png.slice(f.png.indexOf(",") + 1), "base64"));
fs.writeFileSync(path.join(dir, "pixels.json"), JSON.stringify(capture.digests, null, 1));
const reference = process.env.REFERENCE && path.join(process.env.REFERENCE, `${engine}-${size}`);
const was = reference && JSON.parse(fs.readFileSync(path.join(reference, "pixels.json"), "utf8"));
const differing = was ? capture.frames.map((f) => f.n).filter((n) => was[n] !== capture.digests[n]) : [];
process.stdout.write(`${engine} ${size}: ${capture.frames.length} frames in ${dir}` + (reference
  ? (differing.length ? `; frames ${differing.join(", ")} differ from ${reference}\n` : `; all identical to ${reference}\n`)
  : "\n"));
process.exit(differing.length ? 1 : 0);

// The site without its server: the unzipped zip opened from its folder (file://), in the engine
// LW_ENGINE names; and in Chromium, served once (with its progress line, manifest and icons), the
// service worker's copy playing with no network.
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { execFileSync } from "node:child_process";
import { serve, open, waitFor, report, site, engine } from "./harness.mjs";

// The dialog, the show in a window drawing lit pixels, Escape, status 0.
async function play(where, run) {
  await run.waitFor("document.querySelector('.lw-dialog')", 60);
  for (const k of ["Alt+KeyW", "Alt+KeyN", "Enter"]) await run.press(k);
  await run.waitFor("document.body.dataset.state === 'show'", 60);
  // The share of the window's pixels that are lit, up to 30 s into the show (it fades in).
  let lit = 0;
  for (let s = 0; s < 30 && lit <= 0.02; ++s, await new Promise((resolve) => setTimeout(resolve, 1000)))
    lit = await run.evaluate(async (png) => {
      const b = await createImageBitmap(await (await fetch("data:image/png;base64," + png)).blob());
      const c = Object.assign(document.createElement("canvas"), { width: b.width, height: b.height }).getContext("2d");
      const d = (c.drawImage(b, 0, 0), c.getImageData(0, 0, b.width, b.height).data);
      return d.filter((v, i) => i % 4 === 0 && v + d[i + 1] + d[i + 2] > 60).length / (d.length / 4);
    }, await run.screenshot("#lanternwhirl-canvas"));
  assert.ok(lit > 0.02, where + ": the show draws (" + lit + " lit)");
  await run.press("Escape");
  assert.equal(await run.exitStatus(), 0, where);
  report(`${where}: the dialog, the show (${(100 * lit).toFixed(0)} % lit), Escape, status 0`);
}

const folder = fs.mkdtempSync(path.join(os.tmpdir(), "lw-folder-"));
execFileSync("unzip", ["-q", path.join(site, "..", "lanternwhirl-web.zip"), "-d", folder]);
const fromFolder = await open("file://" + path.join(folder, "site", "index.html"));
await play(engine + " from file://", fromFolder).finally(() => fromFolder.close());
fs.rmSync(folder, { recursive: true });
if (engine !== "chromium") process.exit(0); // the rest needs Chromium's own protocol
// The manifest as Chromium reads it, its icons and the one for iOS: PNGs of the stated sizes.
const pngSize = (file, png = fs.readFileSync(path.join(site, file))) =>
  png.toString("latin1", 0, 8) === "\x89PNG\r\n\x1a\n" && png.readUInt32BE(16) + "x" + png.readUInt32BE(20);
const manifest = JSON.parse(fs.readFileSync(path.join(site, "manifest.webmanifest"), "utf8"));
assert.deepEqual([manifest.name, manifest.display, manifest.orientation, ...manifest.icons.map((i) => [pngSize(i.src), i.sizes])],
                 ["Ketterfold: Lanternwhirl", "fullscreen", "landscape", ["192x192", "192x192"], ["512x512", "512x512"]]);
// Every line the status shows on the way to the dialog, at 2 MB/s.
const server = await serve();
const run = await open("about:blank"), page = run.page;
await page.emulateNetworkConditions({ download: 2e6, upload: 2e6, latency: 20 });
await page.evaluateOnNewDocument(() => new MutationObserver(() => (window.statusLines ||= [])
  .push(document.getElementById("lw-status")?.textContent)).observe(document, { subtree: true, childList: true, characterData: true }));
await page.goto(server.url);
await waitFor(page, "document.querySelector('.lw-dialog')");
const lines = [...new Set(await page.evaluate("window.statusLines"))];
const mb = (["lanternwhirl.wasm", "show.data"].reduce((n, f) => n + fs.statSync(path.join(site, f)).size, 0) / 1e6).toFixed(1);
const counts = lines.map((l) => /^Loading the show\u2026 (\d+\.\d) of (\d+\.\d) MB$/.exec(l)).filter(Boolean);
assert.ok(counts.length > 1 && counts.every((c) => c[2] === mb) && counts.at(-1)[1] === mb, lines.join(" | "));
report(`progress: ${counts.length} lines, "${counts[0][0]}" to "${counts.at(-1)[0]}"`);
const { url, errors } = await (await page.createCDPSession()).send("Page.getAppManifest");
assert.deepEqual([url, errors], [server.url + "manifest.webmanifest", []]);
assert.equal(pngSize(await page.$eval("link[rel=apple-touch-icon]", (l) => l.getAttribute("href"))), "180x180");
await waitFor(page, "navigator.serviceWorker.controller");
// No network and no server: the page still comes, and the show plays.
await page.setOfflineMode(true);
server.close();
await page.reload();
await play("offline, reloaded with no network and no server", run);
await run.close();

// The web build's figures beside the native build's, measured in one run on one machine, as
// Markdown tables (scripts/bench-web runs it):
// - the site's size, raw and gzipped, and the time from opening the page to the dialog;
// - every section's frame time: the page's bench mode (the whole show in real time, silent) in
//   headless Chromium on SwiftShader, and the native capture tool's report on Mesa's llvmpipe;
// - one metaball frame, the same program as WebAssembly under Node and native.
import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";
import { execFileSync } from "node:child_process";
import { serve, open, waitFor } from "../tests/web/harness.mjs";

const [nativeBuild, webBuild, out] = process.argv.slice(2);
const site = path.join(webBuild, "site");
const sizes = ["640x480", "800x600"];
fs.mkdirSync(out, { recursive: true });
const print = (line = "") => process.stdout.write(line + "\n");
const fixed = (v, digits = 2) => Number(v).toFixed(digits);

// Size: every file of the site, and what a visitor loads (the site without its licences).
function siteFiles(dir) {
  return fs.readdirSync(dir, { withFileTypes: true }).flatMap((e) =>
    e.isDirectory() ? siteFiles(path.join(dir, e.name)) : [path.join(dir, e.name)]);
}
const files = siteFiles(site);
const weigh = (list) => list.reduce((sum, f) => {
  const bytes = fs.readFileSync(f);
  return [sum[0] + bytes.length, sum[1] + zlib.gzipSync(bytes, { level: 9 }).length];
}, [0, 0]);
const whole = weigh(files);
const loaded = weigh(files.filter((f) => !f.includes(`${path.sep}licenses${path.sep}`)));
const kib = (bytes) => (bytes / 1024).toFixed(0) + " KiB";

const server = await serve();
const dialogMs = [];
for (let i = 0; i < 5; ++i) {
  const run = await open(server.url);
  const mark = "performance.getEntriesByName('lanternwhirl-dialog')";
  await waitFor(run.page, `${mark}.length`, 60);
  dialogMs.push(await run.page.evaluate(`${mark}[0].startTime`));
  await run.close();
}
dialogMs.sort((a, b) => a - b);

// Where the time goes: the CPU time of Chromium's renderer (the program, its JavaScript) and of
// its GPU process (SwiftShader drawing the WebGL commands), sampled ten times a second.
function chromiumProcesses(browserPid) {
  const parentOf = {}, cmdlineOf = {};
  for (const pid of fs.readdirSync("/proc").filter((p) => /^\d+$/.test(p))) {
    try {
      parentOf[pid] = fs.readFileSync(`/proc/${pid}/stat`, "utf8").split(") ")[1].split(" ")[1];
      cmdlineOf[pid] = fs.readFileSync(`/proc/${pid}/cmdline`, "utf8");
    } catch { continue; }
  }
  const descends = (pid) => pid && pid !== "0" && (pid === String(browserPid) || descends(parentOf[pid]));
  const found = {};
  for (const pid of Object.keys(cmdlineOf).filter(descends)) {
    const type = /--type=(gpu-process|renderer)/.exec(cmdlineOf[pid]);
    if (type) found[type[1]] = (found[type[1]] || []).concat(pid);
  }
  return found;
}
const cpuMs = (pids) => (pids || []).reduce((sum, pid) => {
  try {
    const fields = fs.readFileSync(`/proc/${pid}/stat`, "utf8").split(") ")[1].split(" ");
    return sum + (Number(fields[11]) + Number(fields[12])) * 10; // utime + stime, 100 a second
  } catch { return sum; }
}, 0);
function valueAt(samples, time, key) {
  const after = samples.findIndex((x) => x.time >= time);
  if (after < 0) return samples[samples.length - 1][key];
  if (after === 0) return samples[0][key];
  const [a, b] = [samples[after - 1], samples[after]];
  return a[key] + (b[key] - a[key]) * (time - a.time) / (b.time - a.time || 1);
}

const web = {}, native = {}, processCpu = {};
for (const size of sizes) {
  const run = await open(`${server.url}index.html?bench=${size}`);
  const browserPid = run.browser.process().pid;
  const samples = [];
  const sampler = setInterval(() => {
    const p = chromiumProcesses(browserPid);
    samples.push({ time: Date.now(), gpu: cpuMs(p["gpu-process"]), renderer: cpuMs(p.renderer) });
  }, 100);
  web[size] = await waitFor(run.page,
    "window.lanternwhirlBench && window.lanternwhirlBench.done && window.lanternwhirlBench", 300);
  const origin = await run.page.evaluate("performance.timeOrigin");
  clearInterval(sampler);
  await run.close();
  processCpu[size] = web[size].sections.map((x) => Object.fromEntries(["gpu", "renderer"].map((key) =>
    [key, (valueAt(samples, origin + x.endMs, key) - valueAt(samples, origin + x.startMs, key)) / x.frames])));
  if (web[size].error) throw new Error(web[size].error);
  const report = path.join(out, `show-${size}.json`);
  execFileSync(path.join(nativeBuild, "bin", "lanternwhirl-capture"), ["--show",
    path.join(nativeBuild, "show"), "--size", size, "--fps", "60", "--report", report, "--quiet"]);
  native[size] = JSON.parse(fs.readFileSync(report, "utf8"));
}
server.close();

// Three processes each, every point keeping its lowest: V8 sometimes leaves a Node process on
// its baseline compiler for good (about 1.4x slower throughout), and one vCPU here is at times
// shared with another guest.
const metaballsOnce = (command, args) => Object.fromEntries(execFileSync(command, args, { encoding: "utf8" })
  .trim().split("\n").map((l) => l.split(" ")).map(([g, f, us]) => [`${g} ${f}`, Number(us)]));
const metaballs = (command, args) => [1, 2, 3].map(() => metaballsOnce(command, args)).reduce((a, b) =>
  Object.fromEntries(Object.keys(a).map((key) => [key, Math.min(a[key], b[key])])));
const metaNative = metaballs(path.join(nativeBuild, "bin", "bench-metaballs-frames"), []);
const metaWeb = metaballs("node", ["--no-experimental-fetch", path.join(webBuild, "bin", "bench-metaballs-frames.js")]);

print(`load average before the run: ${fs.readFileSync("/proc/loadavg", "utf8").split(" ").slice(0, 3).join(" ")}`);
print();
print("| site | raw | gzip -9 |");
print("|---|---|---|");
print(`| everything (${files.length} files) | ${kib(whole[0])} | ${kib(whole[1])} |`);
print(`| what a visitor loads (page, scripts, .wasm, show package) | ${kib(loaded[0])} | ${kib(loaded[1])} |`);
print();
print(`Page to dialog on 127.0.0.1, 5 loads: median ${fixed(dialogMs[2], 0)} ms (${dialogMs.map((v) => fixed(v, 0)).join(", ")}).`);
print();
print("| section | " + sizes.map((s) => `${s} web: median / p95 ms (frames); renderer + GPU process CPU ms a frame | ${s} native: median / p95 ms`).join(" | ") + " |");
print("|---|" + sizes.map(() => "---|---|").join(""));
const sectionsOf = (size) => native[size].sections;
sectionsOf(sizes[0]).forEach((section, i) => {
  const cells = sizes.map((size) => {
    const w = web[size].sections[i], n = sectionsOf(size)[i], cpu = processCpu[size][i];
    const slow = w.medianMs >= 16.7 ? " !" : "";
    return `${fixed(w.medianMs)} / ${fixed(w.p95Ms)} (${w.frames})${slow}; ${fixed(cpu.renderer, 1)} + ${fixed(cpu.gpu, 1)} | ` +
      `${fixed(n.medianMs)} / ${fixed(n.p95Ms)}`;
  });
  print(`| ${section.name} (${section.firstSecond}-${section.lastSecond} s) | ${cells.join(" | ")} |`);
});
print(`| start-up | ${sizes.map((s) => `${fixed(web[s].startUpMs, 1)} ms | ${fixed(native[s].startUpMs, 1)} ms`).join(" | ")} |`);
print("(! marks a web median at or above 16.7 ms: under 60 frames a second.)");
print();
print("| metaball frame | WebAssembly (Node) µs | native µs | ratio |");
print("|---|---|---|---|");
for (const key of Object.keys(metaNative))
  print(`| ${key} | ${fixed(metaWeb[key], 1)} | ${fixed(metaNative[key], 1)} | ${fixed(metaWeb[key] / metaNative[key])} |`);

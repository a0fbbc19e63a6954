// The web build's figures beside the native build's, measured in one run on one machine, as
// Markdown tables (scripts/bench-web runs it):
// - the site's size, raw and gzipped, and the time from opening the page to the dialog;
// - every section's frame time: the page's bench mode (the whole show in real time, silent) in
//   headless Chromium on SwiftShader and in Firefox ESR on Mesa's llvmpipe, beside the native
//   capture tool's report on llvmpipe, with each browser's CPU a frame by process;
// - where a 640x480 frame's time goes in each browser: the bench mode again with the draws
//   left out (the program, gl4es and the WebGL commands, no pixels) and with every WebGL call
//   left out (the program and gl4es), and the WebGL floor (bench/webgl_floor.js: the same
//   pixel work drawn by a page that does nothing else);
// - what a frame asks of GL: the program's OpenGL 1.1 calls and the WebGL calls gl4es makes of
//   them (bench/gl_counts.mjs);
// - one metaball frame, the same program as WebAssembly under Node and native.
// Firefox needs a display (scripts/bench-web gives it one with xvfb-run); without one its
// columns are left out. LW_BENCH_BROWSERS=chromium (or firefox) measures in one browser only;
// LW_BENCH_COUNTS=DIR takes the counts and the floor's workload from an earlier run's output
// folder instead of counting again (they do not depend on the machine's load).
import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";
import { execFileSync } from "node:child_process";
import { fileURLToPath } from "node:url";
import { serve, openPage, waitFor, sampleCpu, hasDisplay } from "./browsers.mjs";
import { webglProbe } from "./webgl_probe.mjs";
import { nativeCounts, webglCounts, countsTable, floorWorkload } from "./gl_counts.mjs";

const [nativeBuild, webBuild, out] = process.argv.slice(2);
const benchDir = path.dirname(fileURLToPath(import.meta.url));
const site = path.join(webBuild, "site");
const sizes = ["640x480", "800x600"];
const countSize = sizes[0];
const browsersToRun = (process.env.LW_BENCH_BROWSERS || "chromium,firefox").split(",")
  .filter((b) => b !== "firefox" || hasDisplay());
fs.mkdirSync(out, { recursive: true });
const print = (line = "") => process.stdout.write(line + "\n");
const fixed = (v, digits = 2) => Number(v).toFixed(digits);
const loadAverage = () => fs.readFileSync("/proc/loadavg", "utf8").split(" ").slice(0, 3).join(" ");
const loadBefore = loadAverage();

// Size: every file of the site, and what a served visitor loads: not the licences, the icons
// (fetched only to install the page), the service worker, nor the program and show carried by
// scripts for a page opened from its folder.
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
const loaded = weigh(files.filter((f) => !f.includes(`${path.sep}licenses${path.sep}`) &&
                                 !/(\.wasm\.js|show\.data\.js|icon-\d+\.png|sw\.js)$/.test(f)));
const kib = (bytes) => (bytes / 1024).toFixed(0) + " KiB";

// Everything measured, kept in OUT/web-bench.json: LW_BENCH_RESULTS=that file prints the
// tables again without measuring.
async function measure() {
  // The floor page and its workload are laid over the site.
  const server = await serve(site, [benchDir, out]);

  // The counts first: the floor draws what they found.
  let sectionsOfCount, nativeCount, webCount = {};
  const countsFrom = process.env.LW_BENCH_COUNTS || out;
  if (process.env.LW_BENCH_COUNTS) {
    ({ sections: sectionsOfCount, native: nativeCount, web: webCount } =
      JSON.parse(fs.readFileSync(path.join(countsFrom, "counts.json"), "utf8")));
  } else {
    nativeCount = nativeCounts(nativeBuild, countSize, out);
    sectionsOfCount = JSON.parse(fs.readFileSync(path.join(out, `native-counted-${countSize}.json`), "utf8")).sections;
    for (const b of browsersToRun) webCount[b] = await webglCounts(b, server.url, countSize, sectionsOfCount);
    fs.writeFileSync(path.join(out, "counts.json"), JSON.stringify({ sections: sectionsOfCount, native: nativeCount, web: webCount }));
  }
  // The workload is what the first browser counted: both draw the same frames from the same calls.
  const workloadFrom = Object.keys(webCount)[0];
  fs.writeFileSync(path.join(out, "floor-workload.json"),
    JSON.stringify(floorWorkload(sectionsOfCount, webCount[workloadFrom])));

  const dialogMs = {};
  for (const b of browsersToRun) {
    dialogMs[b] = [];
    for (let i = 0; i < 5; ++i) {
      const run = await openPage(b, server.url);
      const mark = "performance.getEntriesByName('lanternwhirl-dialog')";
      await waitFor(run.page, `${mark}.length`, 60);
      dialogMs[b].push(await run.page.evaluate(`${mark}[0].startTime`));
      await run.close();
    }
    dialogMs[b].sort((a, c) => a - c);
  }

  // One run of the page's bench mode with the probe in the given mode (none: the page alone),
  // with the CPU of the browser's page and GL processes a frame, section by section.
  async function benchRun(browser, size, probeMode) {
    const run = await openPage(browser, `${server.url}index.html?bench=${size}`,
      probeMode ? webglProbe : null, probeMode);
    const cpu = sampleCpu(browser, run.browser.process().pid);
    try {
      const result = await waitFor(run.page,
        "window.lanternwhirlBench && window.lanternwhirlBench.done && window.lanternwhirlBench", 400);
      if (result.error) throw new Error(`${browser} ${size}: ${result.error}`);
      const origin = await run.page.evaluate("performance.timeOrigin");
      cpu.stop();
      result.sections.forEach((x) => {
        for (const role of ["page", "gl"])
          x[`${role}CpuMs`] = (cpu.at(origin + x.endMs, role) - cpu.at(origin + x.startMs, role)) / x.frames;
      });
      return result;
    } finally {
      cpu.stop();
      await run.close();
    }
  }

  const web = {}, parts = {}, floor = {}, native = {};
  for (const b of browsersToRun) {
    web[b] = {};
    for (const size of sizes) web[b][size] = await benchRun(b, size, null);
    parts[b] = { "no-draws": await benchRun(b, countSize, "no-draws"), "no-webgl": await benchRun(b, countSize, "no-webgl") };
    const run = await openPage(b, `${server.url}webgl_floor.html?workload=floor-workload.json&size=${countSize}&seconds=4`);
    floor[b] = await waitFor(run.page, "window.webglFloor && window.webglFloor.done && window.webglFloor", 300);
    await run.close();
    if (floor[b].error) throw new Error(`${b} floor: ${floor[b].error}`);
  }
  for (const size of sizes) {
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
  return { loadBefore, loadAfter: loadAverage(), sectionsOfCount, nativeCount, webCount, dialogMs, web, parts, floor,
           native, metaNative, metaWeb };
}
const results = process.env.LW_BENCH_RESULTS ? JSON.parse(fs.readFileSync(process.env.LW_BENCH_RESULTS, "utf8"))
  : await measure();
fs.writeFileSync(path.join(out, "web-bench.json"), JSON.stringify(results));
const { sectionsOfCount, nativeCount, webCount, dialogMs, web, parts, floor, native, metaNative, metaWeb } = results;
const browsers = Object.keys(web);
const workloadFrom = Object.keys(webCount)[0];

const label = { chromium: "Chromium (SwiftShader)", firefox: "Firefox (llvmpipe)" };
print(`load average before the run: ${results.loadBefore}; after: ${results.loadAfter}`);
print();
print("| site | raw | gzip -9 |");
print("|---|---|---|");
print(`| everything (${files.length} files) | ${kib(whole[0])} | ${kib(whole[1])} |`);
print(`| what a visitor loads (page, scripts, .wasm, show package) | ${kib(loaded[0])} | ${kib(loaded[1])} |`);
print();
for (const b of browsers)
  print(`Page to dialog on 127.0.0.1 in ${label[b]}, 5 loads: median ${fixed(dialogMs[b][2], 0)} ms (${dialogMs[b].map((v) => fixed(v, 0)).join(", ")}).`);
print();

const sectionsOf = (size) => native[size].sections;
for (const size of sizes) {
  print(`| ${size} section | ` + browsers.map((b) => `${label[b]}: median / p95 ms (frames); page + GL process CPU ms a frame`).join(" | ") +
    " | native: median / p95 ms | " + browsers.map((b) => `${b} / native`).join(" | ") + " |");
  print("|---|" + browsers.map(() => "---|").join("") + "---|" + browsers.map(() => "---|").join(""));
  sectionsOf(size).forEach((section, i) => {
    const n = sectionsOf(size)[i];
    const cells = browsers.map((b) => {
      const w = web[b][size].sections[i];
      return `${fixed(w.medianMs)} / ${fixed(w.p95Ms)} (${w.frames})${w.medianMs >= 16.7 ? " !" : ""}; ` +
        `${fixed(w.pageCpuMs, 1)} + ${fixed(w.glCpuMs, 1)}`;
    });
    const ratios = browsers.map((b) => {
      const r = web[b][size].sections[i].medianMs / n.medianMs;
      return `${fixed(r, 1)}${r > 2 ? " *" : ""}`;
    });
    print(`| ${section.name} (${section.firstSecond}-${section.lastSecond} s) | ${cells.join(" | ")} | ` +
      `${fixed(n.medianMs)} / ${fixed(n.p95Ms)} | ${ratios.join(" | ")} |`);
  });
  print(`| start-up | ${browsers.map((b) => `${fixed(web[b][size].startUpMs, 1)} ms`).join(" | ")} | ` +
    `${fixed(native[size].startUpMs, 1)} ms | ${browsers.map(() => "").join(" | ")} |`);
  print("(! marks a web median at or above 16.7 ms: under 60 frames a second; * a median over twice native's.)");
  print();
}

// Where the time goes: each run's median frame beside the full one's.
print(`Where a ${countSize} frame's time goes: median ms of the bench mode as it is, with the draw calls left out ` +
  "(the program, gl4es and the WebGL commands, no pixels), with every WebGL call left out (the program and gl4es " +
  "alone), and the WebGL floor (the same pixel work from a page that does nothing else; bench/webgl_floor.js); " +
  "page + GL process CPU ms a frame after each of the first two.");
print();
print("| section | " + browsers.map((b) => `${label[b]}: full | no draws | no WebGL | floor`).join(" | ") + " | native |");
print("|---|" + browsers.map(() => "---|---|---|---|").join("") + "---|");
sectionsOf(countSize).forEach((section, i) => {
  const cells = browsers.map((b) => {
    const full = web[b][countSize].sections[i], noDraws = parts[b]["no-draws"].sections[i];
    const noWebgl = parts[b]["no-webgl"].sections[i], fl = floor[b].sections[i];
    return `${fixed(full.medianMs)} | ${fixed(noDraws.medianMs)}; ${fixed(noDraws.pageCpuMs, 1)} + ${fixed(noDraws.glCpuMs, 1)} | ` +
      `${fixed(noWebgl.medianMs)}; ${fixed(noWebgl.pageCpuMs, 1)} + ${fixed(noWebgl.glCpuMs, 1)} | ${fixed(fl.medianMs)}`;
  });
  print(`| ${section.name} | ${cells.join(" | ")} | ${fixed(sectionsOf(countSize)[i].medianMs)} |`);
});
print();

print(`What a ${countSize} frame asks of GL, on average over each section's frames at 60 a second (the capture modes, ` +
  "the same frames natively and in the page): the program's OpenGL 1.1 calls, counted natively, and the WebGL calls gl4es " +
  `makes of them; and the fragments the draws rasterise (every 30th frame, before the depth test), in screens of ${countSize}.`);
print();
print(countsTable(sectionsOfCount, nativeCount, webCount));
print();
print("| metaball frame | WebAssembly (Node) µs | native µs | ratio |");
print("|---|---|---|---|");
for (const key of Object.keys(metaNative))
  print(`| ${key} | ${fixed(metaWeb[key], 1)} | ${fixed(metaNative[key], 1)} | ${fixed(metaWeb[key] / metaNative[key])} |`);

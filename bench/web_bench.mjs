// The web build's figures, measured in one sitting on one machine, as Markdown (scripts/bench-web
// runs it and writes what it prints into docs/performance.md):
// - the sitting: date, machine (CPU model, cores), browsers, and the load average before,
//   during (sampled every 5 s) and after;
// - the site's size, raw and gzipped, and the time from opening the page to the dialog;
// - where a 640x480 frame's time goes, section by section, in headless Chromium on SwiftShader
//   and in Firefox ESR on Mesa's llvmpipe: the page's bench mode (the whole show in real time,
//   silent) with its frames in turn as they are, with the draw calls left out (the program,
//   gl4es and the WebGL commands, no pixels) and with every WebGL call left out (the program
//   and gl4es), and between them a frame of the WebGL floor (the same pixel work from WebGL
//   calls that do nothing else; bench/webgl_floor.js), all in the one page, so that the two
//   sides of every ratio felt the same load (bench/webgl_probe.mjs, "alternate"); each browser
//   runs the show LW_BENCH_RUNS times (2 unless given), the browsers taking turns;
// - the native capture tool's frame times, measured after the browsers, so with no ratio;
// - what a frame asks of GL: the program's OpenGL 1.1 calls and the WebGL calls gl4es makes of
//   them, and the bytes uploaded (bench/gl_counts.mjs), in the first browser, beside a baseline
//   build's;
// - one metaball frame, the same program as WebAssembly under Node and native, the two run in
//   turn;
// - how far each ratio is from the previous sitting's.
// Firefox needs a display (scripts/bench-web gives it one with xvfb-run); without one its
// columns are left out. LW_BENCH_BROWSERS=chromium (or firefox) measures in one browser only;
// LW_BENCH_COUNTS=DIR takes the counts and the floor's workload from an earlier run's output
// folder instead of counting again (they do not depend on the machine's load);
// LW_BENCH_BASELINE=DIR puts the counts of an earlier run there (another build's) beside this
// one's; LW_BENCH_RESULTS=FILE prints the tables of an earlier run (its web-bench.json) again.
// Each run keeps the one before as OUT/web-bench-previous.json, which the agreement compares.
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";
import { execFileSync } from "node:child_process";
import { fileURLToPath } from "node:url";
import { serve, openPage, waitFor, hasDisplay } from "./browsers.mjs";
import { webglProbe } from "./webgl_probe.mjs";
import { nativeCounts, webglCounts, countsTable, floorWorkload } from "./gl_counts.mjs";

const [nativeBuild, webBuild, out] = process.argv.slice(2);
const benchDir = path.dirname(fileURLToPath(import.meta.url));
const site = path.join(webBuild, "site");
const size = "640x480";
const [width, height] = size.split("x").map(Number);
const browsersToRun = (process.env.LW_BENCH_BROWSERS || "chromium,firefox").split(",")
  .filter((b) => b !== "firefox" || hasDisplay());
fs.mkdirSync(out, { recursive: true });
const print = (line = "") => process.stdout.write(line + "\n");
const fixed = (v, digits = 2) => (Number.isFinite(v) ? Number(v).toFixed(digits) : "-");
const loadAverage = () => fs.readFileSync("/proc/loadavg", "utf8").split(" ").slice(0, 3).join(" ");
const median = (list) => {
  const v = [...list].sort((a, b) => a - b);
  return v.length ? (v.length % 2 ? v[(v.length - 1) / 2] : (v[v.length / 2 - 1] + v[v.length / 2]) / 2) : NaN;
};

// The mean of the middle 80 %: a frame held up by the machine's other work weighs no more than
// any other slow frame.
const trimmedMean = (list) => {
  const v = [...list].sort((a, b) => a - b);
  const middle = v.slice(Math.floor(v.length / 10), v.length - Math.floor(v.length / 10));
  return middle.reduce((sum, x) => sum + x, 0) / middle.length;
};
const runsPerBrowser = Number(process.env.LW_BENCH_RUNS || 2);

// Size: every file of the site, and what a served visitor loads: not the licences, the icons
// (fetched only to install the page), the service worker, nor the program and show carried by
// scripts for a page opened from its folder.
function siteFiles(dir) {
  return fs.readdirSync(dir, { withFileTypes: true }).flatMap((e) =>
    e.isDirectory() ? siteFiles(path.join(dir, e.name)) : [path.join(dir, e.name)]);
}
function siteSizes() {
  const files = siteFiles(site);
  const weigh = (list) => list.reduce((sum, f) => {
    const bytes = fs.readFileSync(f);
    return [sum[0] + bytes.length, sum[1] + zlib.gzipSync(bytes, { level: 9 }).length];
  }, [0, 0]);
  return { files: files.length, whole: weigh(files),
           loaded: weigh(files.filter((f) => !f.includes(`${path.sep}licenses${path.sep}`) &&
                                       !/(\.wasm\.js|show\.data\.js|icon-\d+\.png|sw\.js)$/.test(f))) };
}
const kib = (bytes) => (bytes / 1024).toFixed(0) + " KiB";

// One run of the page's bench mode with its frames alternated: each section's turns (a full
// frame and the three drawn after it, some 50 ms), from the frames that began within the
// section's span on the page's clock.
async function alternatedRun(browser, url, sections, workload) {
  const floorSource = fs.readFileSync(path.join(benchDir, "webgl_floor.js"), "utf8");
  const run = await openPage(browser, `${url}index.html?bench=${size}`, [[floorSource],
    [webglProbe, "alternate", null, { width, height, workload, sections: sections.map((s) => [s.firstSecond, s.lastSecond]) }]]);
  try {
    const result = await waitFor(run.page,
      "window.lanternwhirlBench && window.lanternwhirlBench.done && window.lanternwhirlBench", 600);
    if (result.error) throw new Error(`${browser}: ${result.error}`);
    const frames = JSON.parse(await run.page.evaluate("JSON.stringify(window.lanternwhirlAlternation.frames)"));
    return { version: await run.browser.version(), sections: result.sections.map((s, i) => {
      const turns = [];
      for (const f of frames.filter((f) => f.start >= s.startMs && f.start < s.endMs && (f.kind !== "floor" || f.section === i))) {
        if (f.kind === "full" || !turns.length) turns.push({});
        turns[turns.length - 1][f.kind] = f.ms;
      }
      return turns;
    }) };
  } finally {
    await run.close();
  }
}

// The runs of one browser pooled: each section's median of each kind of frame, and its ratios
// from the turns that have all four kinds. Chromium does WebGL's commands in another process,
// on the other core, so a frame without draws there is sometimes no longer than one without
// WebGL and sometimes half as long again; the median of that ratio moves by up to 15 % between
// halves of one run, the ratio of the trimmed means by less.
const kinds = ["full", "no-draws", "no-webgl", "floor"];
function pooled(runs) {
  return { version: runs[0].version, runs: runs.length, sections: runs[0].sections.map((_, i) => {
    const turns = runs.flatMap((r) => r.sections[i]);
    const of = (kind) => turns.filter((t) => t[kind] > 0).map((t) => t[kind]);
    const whole = turns.filter((t) => kinds.every((k) => t[k] > 0));
    const mean = (kind) => trimmedMean(whole.map((t) => t[kind]));
    return { ...Object.fromEntries(kinds.map((k) => [k, { medianMs: median(of(k)), frames: of(k).length }])),
             ratios: { "no draws / no WebGL": mean("no-draws") / mean("no-webgl"),
                       "full / floor": mean("full") / mean("floor"),
                       "(floor + no WebGL) / floor": (mean("floor") + mean("no-webgl")) / mean("floor") } };
  }) };
}

async function measure() {
  const loads = [];
  const loadTimer = setInterval(() => loads.push(Number(loadAverage().split(" ")[0])), 5000);
  const sitting = { date: new Date().toISOString().replace(/\.\d+Z$/, "Z"),
                    cpu: (fs.readFileSync("/proc/cpuinfo", "utf8").match(/model name\s*:\s*(.*)/) || [])[1] || "?",
                    cores: os.cpus().length, loadBefore: loadAverage() };
  // Cross-origin isolated, Chromium times frames to 5 µs instead of 100 µs, which on a frame of
  // 2 ms moves a ratio by up to 5 %. (Firefox's timers are set to full precision by its prefs.)
  const server = await serve(site, [], { "Cross-Origin-Opener-Policy": "same-origin",
                                         "Cross-Origin-Embedder-Policy": "require-corp" });

  // The counts first: the floor draws what they found.
  let sections, nativeCount, webCount = {};
  if (process.env.LW_BENCH_COUNTS) {
    ({ sections, native: nativeCount, web: webCount } =
      JSON.parse(fs.readFileSync(path.join(process.env.LW_BENCH_COUNTS, "counts.json"), "utf8")));
  } else {
    nativeCount = nativeCounts(nativeBuild, size, out);
    sections = JSON.parse(fs.readFileSync(path.join(out, `native-counted-${size}.json`), "utf8")).sections;
    // In the first browser only: the program, gl4es and Emscripten's GL layer make the same
    // calls in both (earlier runs counted both and found them equal), and a count takes minutes.
    webCount[browsersToRun[0]] = await webglCounts(browsersToRun[0], server.url, size, sections);
  }
  fs.writeFileSync(path.join(out, "counts.json"), JSON.stringify({ sections, native: nativeCount, web: webCount }));
  const workload = floorWorkload(sections, webCount[Object.keys(webCount)[0]]);

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

  // The browsers take turns, run after run, so that a slow spell of the machine falls on both.
  const runs = Object.fromEntries(browsersToRun.map((b) => [b, []]));
  for (let i = 0; i < runsPerBrowser; ++i)
    for (const b of browsersToRun) runs[b].push(await alternatedRun(b, server.url, sections, workload));
  const web = Object.fromEntries(browsersToRun.map((b) => [b, pooled(runs[b])]));
  fs.writeFileSync(path.join(out, "turns.json"), JSON.stringify(runs));
  server.close();
  const report = path.join(out, `show-${size}.json`);
  execFileSync(path.join(nativeBuild, "bin", "lanternwhirl-capture"), ["--show",
    path.join(nativeBuild, "show"), "--size", size, "--fps", "60", "--report", report, "--quiet"]);
  const native = JSON.parse(fs.readFileSync(report, "utf8"));

  // Three processes each, in turn, every point keeping its lowest: V8 sometimes leaves a Node
  // process on its baseline compiler for good (about 1.4x slower throughout).
  const metaballsOnce = (command, args) => Object.fromEntries(execFileSync(command, args, { encoding: "utf8" })
    .trim().split("\n").map((l) => l.split(" ")).map(([g, f, us]) => [`${g} ${f}`, Number(us)]));
  const lowest = (a, b) => (a ? Object.fromEntries(Object.keys(a).map((key) => [key, Math.min(a[key], b[key])])) : b);
  let metaNative = null, metaWeb = null;
  for (let i = 0; i < 3; ++i) {
    metaNative = lowest(metaNative, metaballsOnce(path.join(nativeBuild, "bin", "bench-metaballs-frames"), []));
    metaWeb = lowest(metaWeb, metaballsOnce("node", ["--no-experimental-fetch", path.join(webBuild, "bin", "bench-metaballs-frames.js")]));
  }
  clearInterval(loadTimer);
  return { sitting: { ...sitting, loadAfter: loadAverage(), loadLow: Math.min(...loads), loadHigh: Math.max(...loads) },
           site: siteSizes(), sections, nativeCount, webCount, dialogMs, web, native, metaNative, metaWeb };
}

const resultsFile = path.join(out, "web-bench.json");
let results, previous = null;
if (process.env.LW_BENCH_RESULTS) {
  results = JSON.parse(fs.readFileSync(process.env.LW_BENCH_RESULTS, "utf8"));
  const before = path.join(path.dirname(process.env.LW_BENCH_RESULTS), "web-bench-previous.json");
  if (fs.existsSync(before) && path.resolve(before) !== path.resolve(process.env.LW_BENCH_RESULTS))
    previous = JSON.parse(fs.readFileSync(before, "utf8"));
} else {
  results = await measure();
  if (fs.existsSync(resultsFile)) {
    fs.renameSync(resultsFile, path.join(out, "web-bench-previous.json"));
    previous = JSON.parse(fs.readFileSync(path.join(out, "web-bench-previous.json"), "utf8"));
  }
  fs.writeFileSync(resultsFile, JSON.stringify(results));
}
const baselineFile = process.env.LW_BENCH_BASELINE && path.join(process.env.LW_BENCH_BASELINE, "counts.json");
const baseline = baselineFile ? JSON.parse(fs.readFileSync(baselineFile, "utf8")) : null;

const { sitting, sections, nativeCount, webCount, dialogMs, web, native, metaNative, metaWeb } = results;
const browsers = Object.keys(web);
const label = { chromium: "Chromium (SwiftShader)", firefox: "Firefox (llvmpipe)" };

print(`Sitting of ${sitting.date} on ${sitting.cpu}, ${sitting.cores} cores; ` +
  browsers.map((b) => `${label[b]}: ${web[b].version}`).join(", ") + `. Load average (1, 5, 15 minutes) ` +
  `before: ${sitting.loadBefore}; during, every 5 s: ${fixed(sitting.loadLow)}-${fixed(sitting.loadHigh)}; after: ${sitting.loadAfter}.`);
print();
print("| site | raw | gzip -9 |");
print("|---|---|---|");
print(`| everything (${results.site.files} files) | ${kib(results.site.whole[0])} | ${kib(results.site.whole[1])} |`);
print(`| what a visitor loads (page, scripts, .wasm, show package) | ${kib(results.site.loaded[0])} | ${kib(results.site.loaded[1])} |`);
print();
for (const b of browsers)
  print(`Page to dialog on 127.0.0.1 in ${label[b]}, 5 loads: median ${fixed(dialogMs[b][2], 0)} ms (${dialogMs[b].map((v) => fixed(v, 0)).join(", ")}).`);
print();

// The ratios, by browser and section: what the goals and the agreement between sittings read.
const ratiosOf = (r) => Object.fromEntries(Object.keys(r.web).map((b) => [b, r.web[b].sections.map((s) => s.ratios || ({
  "no draws / no WebGL": s["no-draws"].medianMs / s["no-webgl"].medianMs,
  "full / floor": s.full.medianMs / s.floor.medianMs,
  "(floor + no WebGL) / floor": (s.floor.medianMs + s["no-webgl"].medianMs) / s.floor.medianMs }))]));
const ratios = ratiosOf(results);
const goals = { "no draws / no WebGL": 2, "full / floor": 1.25 };

print(`Where a ${size} frame's time goes: median ms of each kind of frame, drawn in turn in the page's bench ` +
  "mode: as it is (full), with the draw calls left out (the program, gl4es and the WebGL commands, no pixels), with every " +
  "WebGL call left out (the program and gl4es alone), and the WebGL floor (the same pixel work from WebGL calls that do " +
  `nothing else). The frames of each kind a section had follow the times, from ${results.web[browsers[0]].runs || 1} runs of the show ` +
  "a browser, the browsers taking turns. The ratios are of the means of the middle 80 % of each kind's frames, from the turns " +
  "that drew all four one after the other (within some 50 ms). * marks a ratio above its goal (no draws at " +
  "most 2x no WebGL; full within 1.25x of the floor). (floor + no WebGL) / floor is what full / floor comes to if WebGL's " +
  "commands cost nothing and the program's own work does not overlap the pixels (each frame ends with a pixel read, " +
  "so it does not): above 1.25, the program and gl4es alone keep that section from the goal.");
print();
for (const b of browsers) {
  print(`| ${label[b]}, section | full | no draws | no WebGL | floor | no draws / no WebGL | full / floor | (floor + no WebGL) / floor | frames: full, no draws, no WebGL, floor |`);
  print("|---|---|---|---|---|---|---|---|---|");
  web[b].sections.forEach((s, i) => {
    const r = ratios[b][i];
    const mark = (key) => `${fixed(r[key])}${r[key] > goals[key] ? " *" : ""}`;
    print(`| ${sections[i].name} | ${fixed(s.full.medianMs)} | ${fixed(s["no-draws"].medianMs)} | ${fixed(s["no-webgl"].medianMs)} | ` +
      `${fixed(s.floor.medianMs)} | ${mark("no draws / no WebGL")} | ${mark("full / floor")} | ` +
      `${fixed(r["(floor + no WebGL) / floor"])} | ` +
      `${s.full.frames}, ${s["no-draws"].frames}, ${s["no-webgl"].frames}, ${s.floor.frames} |`);
  });
  print();
}
print(`The native capture tool at ${size}, 60 frames a second, run after the browsers (not in turn with them, so no ratio ` +
  "to the browsers is given): " + native.sections.map((n) => `${n.name} ${fixed(n.medianMs)} ms`).join("; ") + ".");
print();

print(`What a ${size} frame asks of GL, on average over each section's frames at 60 a second (the capture modes, ` +
  "the same frames natively and in the page): the program's OpenGL 1.1 calls, counted natively, and the WebGL calls gl4es " +
  `makes of them; and the fragments the draws rasterise (every 30th frame, before the depth test), in screens of ${size}.`);
print();
print(countsTable(sections, nativeCount, webCount));
print();
if (baseline) {
  const b = Object.keys(webCount)[0];
  print(`The same counts beside the baseline's (${path.basename(process.env.LW_BENCH_BASELINE)}, another build's run), in ${b}: buffer uploads ` +
    "KiB a frame and WebGL calls a frame, baseline -> this build (this build / baseline).");
  print();
  print("| section | buffer KiB a frame | WebGL calls a frame |");
  print("|---|---|---|");
  sections.forEach((s, i) => {
    const [was, now] = [baseline.web[b][i], webCount[b][i]];
    print(`| ${s.name} | ${fixed(was.bufferKiB, 0)} -> ${fixed(now.bufferKiB, 0)} (${fixed(now.bufferKiB / was.bufferKiB)}) | ` +
      `${fixed(was.calls, 0)} -> ${fixed(now.calls, 0)} (${fixed(now.calls / was.calls)}) |`);
  });
  print();
}

print("| metaball frame | WebAssembly (Node) µs | native µs | ratio |");
print("|---|---|---|---|");
for (const key of Object.keys(metaNative))
  print(`| ${key} | ${fixed(metaWeb[key], 1)} | ${fixed(metaNative[key], 1)} | ${fixed(metaWeb[key] / metaNative[key])} |`);
print();

// Agreement: every ratio of this sitting against the previous one's.
if (previous) {
  const before = ratiosOf(previous);
  const differences = [];
  for (const b of browsers.filter((x) => before[x]))
    ratios[b].forEach((r, i) => Object.keys(goals).forEach((key) =>
      differences.push({ what: `${b} ${sections[i].name} ${key}`, now: r[key], was: before[b][i][key] })));
  for (const key of Object.keys(metaNative))
    if (previous.metaWeb[key])
      differences.push({ what: `metaball ${key}`, now: metaWeb[key] / metaNative[key], was: previous.metaWeb[key] / previous.metaNative[key] });
  differences.forEach((d) => (d.off = Math.abs(d.now / d.was - 1)));
  const worst = differences.reduce((a, d) => (d.off > a.off ? d : a), { off: 0 });
  const over = differences.filter((d) => d.off > 0.1);
  print(`Against the previous sitting (${previous.sitting ? previous.sitting.date : "?"}), ${differences.length} ratios: ` +
    `the largest difference is ${fixed(100 * worst.off, 1)} % (${worst.what || "-"}: ${fixed(worst.was)} then, ${fixed(worst.now)} now); ` +
    (over.length ? `${over.length} differ by more than 10 %: ${over.map((d) => `${d.what} ${fixed(d.was)} -> ${fixed(d.now)}`).join("; ")}.`
      : "all agree within 10 %."));
}

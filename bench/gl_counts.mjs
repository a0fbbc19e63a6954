// What one frame of each section asks of GL: the program's OpenGL 1.1 calls (counted natively,
// bench/gl_call_counter.c preloaded into the capture tool) against the WebGL calls that gl4es
// makes of them in each browser (bench/webgl_probe.mjs in the page's capture mode). Both play
// the same frames on the same simulated clock: 60 a second from second 0 to the end.
// Alone: node bench/gl_counts.mjs NATIVE_BUILD SITE OUT [chromium] [firefox] (writes OUT/counts.json)
import fs from "node:fs";
import path from "node:path";
import { execFileSync } from "node:child_process";
import { fileURLToPath } from "node:url";
import { serve, openPage, waitFor } from "./browsers.mjs";
import { webglProbe } from "./webgl_probe.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
export const countFps = 60;
// The show's last second: the capture mode draws every frame up to it.
const lastSecond = 106;

const mean = (frames, f) => frames.reduce((s, x) => s + f(x), 0) / Math.max(1, frames.length);
// Frames of the run split by section, frame n drawn at n / fps seconds.
function bySection(frames, sections) {
  return sections.map((s) => frames.filter((_, n) =>
    Math.floor(n / countFps) >= s.firstSecond && Math.floor(n / countFps) <= s.lastSecond));
}

// The capture tool run through the call counter; its report names the sections.
export function nativeCounts(nativeBuild, size, out) {
  const counter = path.join(out, "gl_call_counter.so");
  execFileSync("cc", ["-O2", "-shared", "-fPIC", "-o", counter, path.join(here, "gl_call_counter.c"), "-ldl"]);
  const countsFile = path.join(out, `native-gl-calls-${size}.txt`);
  const report = path.join(out, `native-counted-${size}.json`);
  execFileSync(path.join(nativeBuild, "bin", "lanternwhirl-capture"), ["--show",
    path.join(nativeBuild, "show"), "--size", size, "--fps", String(countFps), "--report", report, "--quiet"],
    { env: { ...process.env, LD_PRELOAD: counter, LW_GL_COUNTS: countsFile } });
  return readNativeCounts(countsFile, report);
}

// The counter's output (a line of names, start-up, then a line a frame), averaged over each
// section of the report.
export function readNativeCounts(countsFile, report) {
  const [header, , ...lines] = fs.readFileSync(countsFile, "utf8").trim().split("\n");
  const names = header.split(" ");
  const frames = lines.map((l) => Object.fromEntries(l.split(" ").map((v, i) => [names[i], Number(v)])));
  const sections = JSON.parse(fs.readFileSync(report, "utf8")).sections;
  const sum = (f, re) => Object.keys(f).filter((k) => re.test(k)).reduce((s, k) => s + f[k], 0);
  return bySection(frames, sections).map((list) => ({
    calls: mean(list, (f) => sum(f, /./)),
    blocks: mean(list, (f) => f.glBegin),
    vertices: mean(list, (f) => sum(f, /^glVertex/)),
    attributes: mean(list, (f) => sum(f, /^gl(Color|Normal|TexCoord)/)),
    state: mean(list, (f) => sum(f, /^(glEnable|glDisable|glBlendFunc|glBindTexture)$/)),
    matrices: mean(list, (f) => sum(f, /^(glMatrixMode|glLoadIdentity|glPushMatrix|glPopMatrix|glTranslatef|gluOrtho2D)$/)),
  }));
}

const webglKinds = {
  draws: /^(drawArrays|drawElements|.*Instanced)/,
  buffers: /^buffer(Sub)?Data$/,
  textures: /^tex(Sub)?Image2D$/,
  programs: /^useProgram$/,
  uniforms: /^uniform/,
  attributes: /([vV]ertexAttrib|^bindBuffer$|VertexArray)/,
  errors: /^getError$/,
};
const kindOf = (name) => Object.keys(webglKinds).find((k) => webglKinds[k].test(name)) || "state";

// The page's capture mode with every WebGL call counted, drawn to the show's last frame.
export async function webglCounts(browser, baseUrl, size, sections) {
  const run = await openPage(browser, `${baseUrl}index.html?capture=${size}&fps=${countFps}&at=${lastSecond}`,
    [[webglProbe, "count"]]);
  try {
    const done = await waitFor(run.page, "window.lanternwhirlCapture && window.lanternwhirlCapture.done && window.lanternwhirlCapture", 1200);
    if (done.error) throw new Error(`${browser}: ${done.error}`);
    // Sent as one string: a structured answer of this size crawls through the driver.
    const frames = JSON.parse(await run.page.evaluate("JSON.stringify(window.lanternwhirlWebGl.frames)")).slice(1);
    return bySection(frames, sections).map((list) => {
      const perKind = Object.fromEntries(Object.keys(webglKinds).concat("state").map((k) => [k,
        mean(list, (f) => Object.entries(f.calls).filter(([n]) => kindOf(n) === k).reduce((s, [, v]) => s + v, 0))]));
      // Fragments are counted on every 30th frame only.
      const draws = {}, measured = list.filter((f) => f.measured).length;
      for (const f of list)
        for (const [key, d] of Object.entries(f.draws)) {
          const to = draws[key] || (draws[key] = { draws: 0, triangles: 0, fragments: 0 });
          to.draws += d.draws / list.length;
          to.triangles += d.triangles / list.length;
          if (f.measured) to.fragments += d.fragments / measured;
        }
      const names = {};
      for (const f of list)
        for (const [n, v] of Object.entries(f.calls)) names[n] = (names[n] || 0) + v / list.length;
      const [w, h] = size.split("x").map(Number);
      const screens = Object.values(draws).reduce((sum, d) => sum + d.fragments, 0) / (w * h);
      return { frames: list.length, screens, calls: mean(list, (f) => Object.values(f.calls).reduce((s, v) => s + v, 0)),
               ...perKind, triangles: mean(list, (f) => f.triangles),
               bufferKiB: mean(list, (f) => f.bufferBytes) / 1024, textureKiB: mean(list, (f) => f.textureBytes) / 1024,
               drawsByState: draws, callsByName: names };
    });
  } finally {
    await run.close();
  }
}

// The floor page's workload (bench/webgl_floor.js): each section's layers, one a drawing
// state, with the triangles and fragments of an average frame.
export function floorWorkload(sections, counts) {
  return { sections: sections.map((s, i) => ({ name: s.name, layers:
    Object.entries(counts[i].drawsByState).map(([key, d]) => {
      const blend = /blend (\w+) (\w+)/.exec(key);
      return { blend: blend ? [parseInt(blend[1], 16), parseInt(blend[2], 16)] : null,
               depth: !key.includes("no depth"), texture: /texture (\S+)/.exec(key)[1],
               triangles: d.triangles, fragments: d.fragments };
    }) })) };
}

const f0 = (v) => Number(v).toFixed(0);
const f1 = (v) => Number(v).toFixed(1);
// The Markdown table: one row a section, the program's calls beside each browser's.
export function countsTable(sections, native, web) {
  const browsers = Object.keys(web);
  const lines = [];
  lines.push("| section | program: GL 1.1 calls (glBegin blocks, vertices) | " + browsers.map((b) =>
    `${b}: WebGL calls (draws, triangles; buffer uploads, KiB; texture uploads; programs; uniforms; attribute set-up; other state; getError); fragments in screens`).join(" | ") + " |");
  lines.push("|---|---|" + browsers.map(() => "---|").join(""));
  sections.forEach((s, i) => {
    const n = native[i];
    const cells = browsers.map((b) => {
      const w = web[b][i];
      return `${f0(w.calls)} (${f0(w.draws)}, ${f0(w.triangles)}; ${f0(w.buffers)}, ${f0(w.bufferKiB)}; ` +
        `${f1(w.textures)}; ${f1(w.programs)}; ${f0(w.uniforms)}; ${f0(w.attributes)}; ${f0(w.state)}; ${f0(w.errors)}); ${f1(w.screens)}`;
    });
    lines.push(`| ${s.name} | ${f0(n.calls)} (${f0(n.blocks)}, ${f0(n.vertices)}) | ${cells.join(" | ")} |`);
  });
  return lines.join("\n");
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [nativeBuild, site, out, ...browsers] = process.argv.slice(2);
  fs.mkdirSync(out, { recursive: true });
  const size = "640x480";
  const native = nativeCounts(nativeBuild, size, out);
  const sections = JSON.parse(fs.readFileSync(path.join(out, `native-counted-${size}.json`), "utf8")).sections;
  const server = await serve(site);
  const web = {};
  for (const b of browsers.length ? browsers : ["chromium"]) {
    web[b] = await webglCounts(b, server.url, size, sections);
    fs.writeFileSync(path.join(out, `webgl-counts-${b}-${size}.json`), JSON.stringify(web[b], null, 1));
  }
  server.close();
  // As the web bench keeps them: LW_BENCH_BASELINE can name this folder.
  fs.writeFileSync(path.join(out, "counts.json"), JSON.stringify({ sections, native, web }));
  process.stdout.write(countsTable(sections, native, web) + "\n");
}

// The two browsers the web bench measures in, launched as the web tests launch them
// (tools/web-driver/browsers.mjs) and asked alike where their CPU goes:
// - chromium: Debian's headless shell, WebGL on SwiftShader (the web tests' flags);
// - firefox: Firefox ESR with a window, WebGL on Mesa's llvmpipe through GLX, driven over
//   WebDriver BiDi. It needs a display: scripts/bench-web runs the bench under xvfb-run.
// A page script (bench/webgl_probe.mjs) can be put in before the page's own.
import fs from "node:fs";
import { launch } from "../tools/web-driver/browsers.mjs";

export { serve } from "../tools/web-driver/browsers.mjs";
export const browserNames = ["chromium", "firefox"];
export const hasDisplay = () => Boolean(process.env.DISPLAY);

// WebGL on llvmpipe, which Firefox would otherwise refuse as software; timers at full
// precision (frames are timed with performance.now); no throttling in the background.
const firefoxPrefs = { "webgl.force-enabled": true, "privacy.reduceTimerPrecision": false,
                       "dom.min_background_timeout_value": 0, "media.autoplay.default": 5 };

// A browser with one page at url, probe(probeArg) run in it before the page's scripts.
export async function openPage(name, url, probe, ...probeArgs) {
  const { browser, close } = await launch(name, { firefoxPrefs });
  const page = await browser.newPage();
  if (probe) await page.evaluateOnNewDocument(probe, ...probeArgs);
  await page.setViewport({ width: 1024, height: 768 });
  await page.goto(url);
  return { browser, page, close };
}

export async function waitFor(page, expression, seconds) {
  await page.waitForFunction(expression, { timeout: seconds * 1000, polling: 200 });
  return page.evaluate(expression);
}

// The browser's processes by role: "page" runs the page's script (Chromium's renderer,
// Firefox's content processes), "gl" runs the WebGL commands (Chromium's GPU process;
// Firefox has no GPU process here, so its parent process does, with the compositor).
export function processesOf(name, browserPid) {
  const parentOf = {}, argsOf = {};
  for (const pid of fs.readdirSync("/proc").filter((p) => /^\d+$/.test(p))) {
    try {
      parentOf[pid] = fs.readFileSync(`/proc/${pid}/stat`, "utf8").split(") ")[1].split(" ")[1];
      // Firefox's fork server leaves its children one string of arguments joined by spaces.
      argsOf[pid] = fs.readFileSync(`/proc/${pid}/cmdline`, "utf8").split(/[\0 ]/).filter(Boolean);
    } catch { continue; }
  }
  const descends = (pid) => pid && pid !== "0" && (pid === String(browserPid) || descends(parentOf[pid]));
  const found = { page: [], gl: [] };
  if (name === "firefox") found.gl.push(String(browserPid));
  for (const pid of Object.keys(argsOf).filter((p) => p !== String(browserPid) && descends(p))) {
    const args = argsOf[pid];
    if (name === "chromium") {
      if (args.includes("--type=renderer")) found.page.push(pid);
      if (args.includes("--type=gpu-process")) found.gl.push(pid);
    } else if (args[args.length - 1] === "tab") {
      found.page.push(pid);
    }
  }
  return found;
}

// User and system CPU of the processes, in ms.
export const cpuMs = (pids) => pids.reduce((sum, pid) => {
  try {
    const fields = fs.readFileSync(`/proc/${pid}/stat`, "utf8").split(") ")[1].split(" ");
    return sum + (Number(fields[11]) + Number(fields[12])) * 10; // utime + stime, 100 a second
  } catch { return sum; }
}, 0);

// Samples the CPU of each role ten times a second until stopped; at(time, role) reads the
// sampled curve at a wall-clock time (ms since the epoch).
export function sampleCpu(name, browserPid) {
  const samples = [];
  let pids = processesOf(name, browserPid), tick = 0;
  const timer = setInterval(() => {
    if (++tick % 20 === 0) pids = processesOf(name, browserPid); // pages start processes late
    samples.push({ time: Date.now(), page: cpuMs(pids.page), gl: cpuMs(pids.gl) });
  }, 100);
  return {
    stop: () => clearInterval(timer),
    at(time, role) {
      const after = samples.findIndex((x) => x.time >= time);
      if (after < 0) return samples[samples.length - 1][role];
      if (after === 0) return samples[0][role];
      const [a, b] = [samples[after - 1], samples[after]];
      return a[role] + (b[role] - a[role]) * (time - a.time) / (b.time - a.time || 1);
    },
  };
}

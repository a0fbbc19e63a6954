// The two browsers the web bench measures in, launched as the web tests launch them
// (tools/web-driver/browsers.mjs):
// - chromium: Debian's headless shell, WebGL on SwiftShader (the web tests' flags);
// - firefox: Firefox ESR with a window, WebGL on Mesa's llvmpipe through GLX, driven over
//   WebDriver BiDi. It needs a display: scripts/bench-web runs the bench under xvfb-run.
// Page scripts (bench/webgl_probe.mjs, bench/webgl_floor.js) can be put in before the page's own.
import { launch } from "../tools/web-driver/browsers.mjs";

export { serve } from "../tools/web-driver/browsers.mjs";
export const hasDisplay = () => Boolean(process.env.DISPLAY);

// WebGL on llvmpipe, which Firefox would otherwise refuse as software; timers at full
// precision (frames are timed with performance.now); no throttling in the background.
const firefoxPrefs = { "webgl.force-enabled": true, "privacy.reduceTimerPrecision": false,
                       "dom.min_background_timeout_value": 0, "media.autoplay.default": 5 };

// A browser with one page at url; scripts, each [function, ...arguments] or [source text], run
// in it in turn before the page's own.
export async function openPage(name, url, scripts = []) {
  const { browser, close } = await launch(name, { firefoxPrefs });
  const page = await browser.newPage();
  for (const [script, ...args] of scripts) await page.evaluateOnNewDocument(script, ...args);
  await page.setViewport({ width: 1024, height: 768 });
  await page.goto(url);
  return { browser, page, close };
}

export async function waitFor(page, expression, seconds) {
  await page.waitForFunction(expression, { timeout: seconds * 1000, polling: 200 });
  return page.evaluate(expression);
}

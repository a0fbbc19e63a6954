// What the page says when it cannot play: the sentence for a browser without WebGL or
// WebAssembly SIMD, or the message naming a file that does not come, each within 10 s and
// without the dialog. (The progress line is seen in offline_test.mjs's first visit.)
import assert from "node:assert/strict";
import { serve, open, waitFor, report } from "./harness.mjs";

const server = await serve();
const removeWebGl = (get = HTMLCanvasElement.prototype.getContext) =>
  (HTMLCanvasElement.prototype.getContext = function (t, ...a) { return t === "webgl" ? null : get.call(this, t, ...a); });
// [what, the status it must end in, a script run before the page's, a file the server lacks]
const faults = [["no WebGL", /^This browser cannot play the show: it gives the page no WebGL/, removeWebGl],
                ["no SIMD", /^This browser cannot play the show: .*SIMD/, () => { WebAssembly.validate = () => false; }],
                ...["show.data", "lanternwhirl.wasm", "show.js", "lanternwhirl.js"].map((f) => ["no " + f, new RegExp("^The show could not be loaded: " + f), null, f])];
for (const [what, expected, script, file] of faults) {
  const { page, close } = await open("about:blank");
  if (script) await page.evaluateOnNewDocument(script);
  await page.setRequestInterception(true);
  page.on("request", (r) => (r.url().endsWith("/" + file) ? r.respond({ status: 404 }) : r.continue()));
  await page.goto(server.url);
  const text = await waitFor(page, "document.body.dataset.state === 'failed' && document.getElementById('lw-status').textContent", 10);
  assert.match(text, expected, what);
  assert.equal(await page.$(".lw-dialog"), null, what);
  await close();
  report(what + ": " + text);
}
server.close();

// A W3C WebDriver client over Node's fetch, for WebKitGTK's WebKitWebDriver driving its
// MiniBrowser: just the commands the web tests use.
import { spawn } from "node:child_process";
import net from "node:net";

const miniBrowser = process.env.LW_MINIBROWSER || "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser";
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The keys of a chord ("Alt+KeyW") as WebDriver's key values: modifiers and named keys are
// code points of the private use area; KeyW is "w" and Digit8 is "8".
const named = { Alt: "\uE00A", Control: "\uE009", Shift: "\uE008", Enter: "\uE007",
                Escape: "\uE00C", F4: "\uE034", Tab: "\uE004", Space: "\uE00D" };
const keyValue = (k) => named[k] ?? k.replace(/^Key([A-Z])$/, (_, c) => c.toLowerCase()).replace(/^Digit/, "");

async function freePort() {
  const server = net.createServer();
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  const { port } = server.address();
  await new Promise((resolve) => server.close(resolve));
  return port;
}

export class WebDriverSession {
  // Starts the driver and a browser session with a viewport of width x height.
  static async start({ width, height }) {
    const port = await freePort();
    // In a process group of its own, so that the browser it starts dies with it.
    const driver = spawn("WebKitWebDriver", [`--port=${port}`],
                         { stdio: ["ignore", "ignore", "pipe"], detached: true });
    let log = "";
    driver.stderr.on("data", (d) => (log = (log + d).slice(-4000)));
    const session = new WebDriverSession(`http://127.0.0.1:${port}`, driver, () => log);
    for (let tries = 0; ; ++tries) {
      try {
        if ((await session.call("GET", "/status")).ready) break;
      } catch (e) {
        if (tries > 100 || driver.exitCode !== null) throw new Error("WebKitWebDriver did not start: " + log);
      }
      await sleep(100);
    }
    const created = await session.call("POST", "/session", { capabilities: { alwaysMatch: {
      browserName: "MiniBrowser",
      "webkitgtk:browserOptions": { binary: miniBrowser, args: ["--automation", "--autoplay-policy=allow"] },
    } } });
    session.id = created.sessionId;
    await session.command("POST", "/timeouts", { script: 900000, pageLoad: 120000 });
    // The window's chrome takes some of its height: grow it until the viewport is as asked.
    await session.command("POST", "/window/rect", { x: 0, y: 0, width, height });
    const inner = await session.execute("return [innerWidth, innerHeight]");
    await session.command("POST", "/window/rect", { width: 2 * width - inner[0], height: 2 * height - inner[1] });
    return session;
  }

  constructor(base, driver, log) {
    Object.assign(this, { base, driver, log, id: null });
  }

  async call(method, path, body) {
    const response = await fetch(this.base + path, { method, body: body && JSON.stringify(body),
      headers: { "Content-Type": "application/json; charset=utf-8" } });
    const { value } = await response.json();
    if (value && value.error) throw new Error(`WebDriver ${method} ${path}: ${value.error}: ${value.message}`);
    return value;
  }

  command(method, path, body) {
    return this.call(method, `/session/${this.id}${path}`, body);
  }

  navigate(url) {
    return this.command("POST", "/url", { url });
  }

  // Runs a script body in the page; a promise it returns is waited for.
  execute(script, args = []) {
    return this.command("POST", "/execute/sync", { script, args });
  }

  async press(chord) {
    const keys = chord.split("+").map(keyValue);
    const actions = [...keys.map((value) => ({ type: "keyDown", value })),
                     ...keys.reverse().map((value) => ({ type: "keyUp", value }))];
    await this.command("POST", "/actions", { actions: [{ type: "key", id: "keyboard", actions }] });
    await this.command("DELETE", "/actions");
  }

  async element(selector) {
    const found = await this.command("POST", "/element", { using: "css selector", value: selector });
    return Object.values(found)[0];
  }

  async click(selector) {
    await this.command("POST", `/element/${await this.element(selector)}/click`, {});
  }

  // The element as the screen shows it, a base64 PNG.
  async screenshot(selector) {
    return this.command("GET", `/element/${await this.element(selector)}/screenshot`);
  }

  async close() {
    if (this.id) await this.command("DELETE", "").catch(() => {});
    this.id = null;
    this.kill();
  }

  kill() {
    try {
      process.kill(-this.driver.pid, "SIGKILL");
    } catch (e) {
      if (e.code !== "ESRCH") throw e;
    }
  }
}

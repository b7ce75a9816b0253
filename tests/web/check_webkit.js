// The page in WebKitGTK: WebKitWebDriver driving MiniBrowser (which has no
// headless mode) on a private Xvfb, over classic WebDriver (HTTP; WebDriver
// BiDi is refused). One driver and browser per page, the pages side by side;
// the checks are checks.js's, as in Chromium and Firefox:
//   keys    vantrel.html: title, button, Enter starts the show, input during
//           the show is dropped, Enter closes the greeting, Alt+S presses
//   seeded  vantrel-seeded.html: the greeting on time with its role and text,
//           the finale equal to the trace tool's picture, redrawn equal in a
//           400 px viewport; then a run-time error ends the page
//   hidden  vantrel-seeded.html at devicePixelRatio 2 (GDK_SCALE=2), its
//           window minimised during the show (a window in front does not
//           hide a page under Xvfb): the greeting on time, the picture right
// No script runs before the page's own here, so each page is a copy with the
// recorder of checks.js put first in its head; MiniBrowser does not print
// console messages under automation.
//   node check_webkit.js PAGE_DIR VANTREL_TRACE WORK_DIR
"use strict";
const fs = require("fs");
const net = require("net");
const path = require("path");
const {execFileSync, spawn} = require("child_process");
const checks = require("./checks.js");

const [pageDir, trace, work] = process.argv.slice(2);
const t = checks.reporter("webkit");
const refs = checks.references(trace, work);
const kBrowser = execFileSync("dpkg", ["-L", "libwebkit2gtk-4.1-0"], {encoding: "utf8"})
                     .split("\n").find((line) => line.endsWith("/MiniBrowser"));
const children = [];

function xvfb() {
  const server = spawn("Xvfb", ["-displayfd", "3", "-screen", "0", "3200x2400x24", "-nolisten", "tcp"],
                       {stdio: ["ignore", "ignore", "ignore", "pipe"]});
  children.push(server);
  return new Promise((resolve, reject) => {
    server.stdio[3].once("data", (data) => resolve(`:${String(data).trim()}`));
    server.once("exit", () => reject(new Error("Xvfb did not start")));
  });
}

function freePort() {
  return new Promise((resolve) => {
    const server = net.createServer().listen(0, "127.0.0.1", () => {
      const {port} = server.address();
      server.close(() => resolve(port));
    });
  });
}

// One WebKitWebDriver and its MiniBrowser, at GDK_SCALE `scale`.
async function session(display, scale) {
  const port = await freePort();
  const driver = spawn("WebKitWebDriver", [`--port=${port}`], {
    env: {...process.env, DISPLAY: display, GDK_SCALE: String(scale)}, stdio: "ignore"});
  children.push(driver);
  const base = `http://127.0.0.1:${port}`;
  const send = async (method, where, body) => {
    const response = await fetch(base + where, {
      method, headers: {"content-type": "application/json"}, body: body && JSON.stringify(body)});
    const {value} = await response.json();
    if (value && value.error) {
      throw new Error(`WebDriver ${method} ${where}: ${value.error}: ${value.message}`);
    }
    return value;
  };
  for (let i = 0; ; i++) {
    try {
      await send("GET", "/status");
      break;
    } catch (error) {
      if (i === 50) {
        throw error;
      }
      await checks.sleep(100);
    }
  }
  const {sessionId} = await send("POST", "/session", {capabilities: {alwaysMatch: {
    browserName: "MiniBrowser", "webkitgtk:browserOptions": {binary: kBrowser, args: ["--automation"]}}}});
  return (method, where, body) => send(method, `/session/${sessionId}${where}`, body);
}

const kKeys = {Enter: "\uE007", Escape: "\uE00C", Space: "\uE00D"};

async function open(display, name, file, {scale = 1, size = {width: 800, height: 600}}) {
  // The page with the recorder first in its head.
  const copy = path.join(work, `webkit-${file}`);
  const html = fs.readFileSync(path.join(pageDir, file), "utf8");
  fs.writeFileSync(copy, html.replace("<head>", `<head>\n<script>(${checks.instrument})();</script>`));
  const send = await session(display, scale);
  await send("POST", "/url", {url: `file://${copy}`});
  const evaluate = async (fn, ...args) => {
    const result = await send("POST", "/execute/async", {args, script: `
      const done = arguments[arguments.length - 1];
      const args = Array.prototype.slice.call(arguments, 0, -1);
      Promise.resolve().then(() => (${typeof fn === "function" ? fn : `() => { ${fn}\n }`})(...args))
        .then((value) => done({value}), (error) => done({error: String(error && error.stack || error)}));`});
    if (result.error !== undefined) {
      throw new Error(`${name}: in the page: ${result.error}`);
    }
    return result.value;
  };
  const pointer = (x, y, click = true) => send("POST", "/actions", {actions: [{type: "pointer", id: "mouse",
    parameters: {pointerType: "mouse"}, actions: [{type: "pointerMove", x: Math.round(x), y: Math.round(y),
    origin: "viewport"}, ...(click ? [{type: "pointerDown", button: 0}, {type: "pointerUp", button: 0}] : [])]}]});
  const [chromeWidth, chromeHeight] = await evaluate(() => [outerWidth - innerWidth, outerHeight - innerHeight]);
  const resize = async ({width, height}) => {
    await send("POST", "/window/rect", {width: width + chromeWidth, height: height + chromeHeight});
    for (let i = 0; i < 50 && !(await evaluate((w, h) => innerWidth === w && innerHeight === h, width, height)); i++) {
      await checks.sleep(100);
    }
    // The browser's window takes its new size some time after the page
    // does; until then a click lands where the old layout had it.
    for (let i = 0; i < 50; i++) {
      await pointer(5 + i, 5, false);
      await checks.sleep(50);
      if (`${await evaluate(() => window.__vt.pointer)}` === `${5 + i},5`) {
        break;
      }
    }
  };
  await resize(size);
  for (let i = 0; i < 100 && !(await evaluate(() => !document.getElementById("start").disabled)); i++) {
    await checks.sleep(100);
  }
  return {
    name,
    evaluate,
    click: async (selector) => {
      const [x, y] = await evaluate((s) => {
        const r = document.querySelector(s).getBoundingClientRect();
        return [(r.left + r.right) / 2, (r.top + r.bottom) / 2];
      }, selector);
      await pointer(x, y);
    },
    mouseClick: pointer,
    key: async (key) => {
      const keys = key === "Alt+S" ? ["\uE00A", "s"] : [kKeys[key]];
      await send("POST", "/actions", {actions: [{type: "key", id: "keyboard", actions: [
        ...keys.map((value) => ({type: "keyDown", value})), ...keys.reverse().map((value) => ({type: "keyUp", value}))]}]});
    },
    hide: () => send("POST", "/window/minimize", {}),
    unhide: () => resize(size),
    resize,
    errors: () => evaluate(() => window.__vt.errors),
    keep: (file, png) => fs.writeFileSync(path.join(work, file), Buffer.from(png.split(",")[1], "base64")),
    close: () => send("DELETE", ""),
  };
}

const guarded = (name, run) => run().catch((error) => t.check(`${name}: ran to its end`, false, error.stack));

(async () => {
  try {
    const display = await xvfb();
    const [keys, seeded, hidden] = await Promise.all([
      open(display, "keys", "vantrel.html", {}),
      open(display, "seeded", "vantrel-seeded.html", {}),
      open(display, "hidden", "vantrel-seeded.html", {scale: 2}),
    ]);
    await Promise.all([
      guarded("keys", () => checks.keys(t, keys)),
      guarded("seeded", () => checks.seeded(t, seeded, refs, [{width: 520, height: 600}])),
      guarded("hidden", () => checks.hidden(t, hidden, refs)),
    ]);
    await Promise.all([keys, seeded, hidden].map((page) => page.close()));
  } catch (error) {
    t.check("the driver ran to its end", false, error.stack);
  } finally {
    for (const child of children.reverse()) {
      child.kill();
    }
  }
  console.log(`webkit: ${t.passes} passed, ${t.failures} failed`);
  process.exit(t.failures === 0 ? 0 : 1);
})();

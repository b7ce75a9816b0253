// WebKitGTK for the page's test and the CPU benchmark: WebKitWebDriver
// driving MiniBrowser (no headless mode) on a private Xvfb, over classic
// WebDriver (HTTP; WebDriver BiDi is refused). One driver and browser per
// page, so that pages run side by side.
"use strict";
const net = require("net");
const {execFileSync, spawn} = require("child_process");

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
// MiniBrowser is not on PATH: WebKitGTK keeps it in its library folder.
const kBrowser = execFileSync("dpkg", ["-L", "libwebkit2gtk-4.1-0"], {encoding: "utf8"})
                     .split("\n").find((line) => line.endsWith("/MiniBrowser"));
const children = [];

function stopAll() {
  for (const child of children.reverse()) {
    child.kill();
  }
}

function xvfb() {
  const server = spawn("Xvfb", ["-displayfd", "3", "-screen", "0", "3200x2400x24", "-nolisten", "tcp"],
                       {stdio: ["ignore", "ignore", "ignore", "pipe"]});
  children.push(server);
  return new Promise((resolve, reject) => {
    server.stdio[3].once("data", (data) => resolve({display: `:${String(data).trim()}`, pid: server.pid}));
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

// A WebDriver session in a MiniBrowser of its own at GDK_SCALE `scale`:
// send(method, path, body) within the session, and the driver's pid (the
// browser's processes run below it).
async function session(display, scale) {
  const port = await freePort();
  const driver = spawn("WebKitWebDriver", [`--port=${port}`], {
    env: {...process.env, DISPLAY: display, GDK_SCALE: String(scale)}, stdio: "ignore"});
  children.push(driver);
  const base = `http://127.0.0.1:${port}`;
  const raw = async (method, where, body) => {
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
      await raw("GET", "/status");
      break;
    } catch (error) {
      if (i === 50) {
        throw error;
      }
      await sleep(100);
    }
  }
  const {sessionId} = await raw("POST", "/session", {capabilities: {alwaysMatch: {
    browserName: "MiniBrowser", "webkitgtk:browserOptions": {binary: kBrowser, args: ["--automation"]}}}});
  return {send: (method, where, body) => raw(method, `/session/${sessionId}${where}`, body), pid: driver.pid};
}

const kKeys = {Enter: "\uE007", Escape: "\uE00C", Space: "\uE00D", Alt: "\uE00A"};

// The page at `url` in a session of its own, as checks.js's page object.
async function open(display, name, url, {scale = 1, size = {width: 800, height: 600}} = {}) {
  const {send, pid} = await session(display, scale);
  await send("POST", "/url", {url});
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
  await evaluate(() => window.addEventListener("mousemove", (event) => {
    window.__pointer = [event.clientX, event.clientY];
  }, true));
  const resize = async ({width, height}) => {
    await send("POST", "/window/rect", {width: width + chromeWidth, height: height + chromeHeight});
    for (let i = 0; i < 50 && !(await evaluate((w, h) => innerWidth === w && innerHeight === h, width, height)); i++) {
      await sleep(100);
    }
    // The browser's window takes its new size some time after the page
    // does; until then a click lands where the old layout had it.
    for (let i = 0; i < 50; i++) {
      await pointer(5 + i, 5, false);
      await sleep(50);
      if (`${await evaluate(() => window.__pointer)}` === `${5 + i},5`) {
        break;
      }
    }
  };
  await resize(size);
  return {
    name,
    pid,
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
      const keys = key === "Alt+S" ? [kKeys.Alt, "s"] : [kKeys[key]];
      await send("POST", "/actions", {actions: [{type: "key", id: "keyboard", actions: [
        ...keys.map((value) => ({type: "keyDown", value})), ...keys.reverse().map((value) => ({type: "keyUp", value}))]}]});
    },
    // A window in front does not hide a page under Xvfb; a minimised one is hidden.
    hide: () => send("POST", "/window/minimize", {}),
    unhide: () => resize(size),
    resize,
    goto: (to) => send("POST", "/url", {url: to}),
    close: () => send("DELETE", ""),
  };
}

module.exports = {xvfb, open, stopAll};

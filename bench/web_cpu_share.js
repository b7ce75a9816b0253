// The browser's CPU share during a whole show of the page, against the floor
// of any canvas animation in the same browser: a page that puts a small image
// on its canvas every displayed frame. Both in one run, one after the other,
// in Chromium or Firefox ESR (headless, puppeteer-core) or WebKitGTK
// (MiniBrowser on a private Xvfb, tests/web/webkit.js); CPU is utime + stime
// of the browser's whole process tree from /proc, for WebKit with its X
// server's (it renders in software there, so only the ratio means anything).
// Prints one JSON line. A figure for tools/bench.sh, not a test.
//   node bench/web_cpu_share.js PAGE.html [FLOOR_SECONDS] [chromium|firefox|webkit]
// (the floor is measured before and after the show)
"use strict";
const fs = require("fs");
const os = require("os");
const path = require("path");
// The browser drivers the page's test installs (tests/web/package-lock.json).
const puppeteer = require(path.join(__dirname, "../tests/web/node_modules/puppeteer-core"));
const webkit = require(path.join(__dirname, "../tests/web/webkit.js"));

const page = path.resolve(process.argv[2]);
const floorSeconds = Number(process.argv[3] || 10);
const engine = process.argv[4] || "chromium";
const ticks = 100;  // clock ticks per second of /proc/PID/stat (USER_HZ)
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Seconds of CPU used so far by the `roots` and every process below them.
function treeCpu(roots) {
  const parents = new Map();
  const cpu = new Map();
  for (const pid of fs.readdirSync("/proc").filter((name) => /^\d+$/.test(name))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, "utf8");
      const fields = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
      parents.set(pid, fields[1]);
      cpu.set(pid, (Number(fields[11]) + Number(fields[12])) / ticks);
    } catch {
      // gone meanwhile
    }
  }
  const wanted = new Set(roots.map(String));
  let total = 0;
  for (const pid of cpu.keys()) {
    for (let p = pid; p !== undefined && p !== "0"; p = parents.get(p)) {
      if (wanted.has(p)) {
        total += cpu.get(pid);
        break;
      }
    }
  }
  return total;
}

// A canvas of the window's size with a 16 x 16 image put on it every frame.
const kFloor = `<!DOCTYPE html><title>floor</title><body style="margin:0;background:#000">
<canvas id="c" width="715" height="487"></canvas><script>
const context = document.getElementById("c").getContext("2d");
const image = context.createImageData(16, 16);
image.data.fill(255);
let frame = 0;
(function step() {
  frame++;
  context.putImageData(image, (frame * 7) % 699, (frame * 3) % 471);
  requestAnimationFrame(step);
})();
</script>`;

// The browser as {pids, goto(url), evaluate(fn), close()}.
async function launch() {
  if (engine === "webkit") {
    const server = await webkit.xvfb();
    const tab = await webkit.open(server.display, "bench", "about:blank");
    return {pids: [tab.pid, server.pid], goto: tab.goto, evaluate: tab.evaluate,
            close: async () => {
              await tab.close();
              webkit.stopAll();
            }};
  }
  const browser = await puppeteer.launch(engine === "firefox" ?
    {browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true} :
    {executablePath: "/usr/bin/chromium", headless: true, pipe: true, args: ["--no-sandbox"]});
  const tab = await browser.newPage();
  await tab.setViewport({width: 800, height: 600});
  return {pids: [browser.process().pid], goto: (url) => tab.goto(url), evaluate: (fn) => tab.evaluate(fn),
          close: () => browser.close()};
}

async function measure(pids, during) {
  const started = treeCpu(pids);
  const wall = process.hrtime.bigint();
  const result = await during();
  const elapsed = Number(process.hrtime.bigint() - wall) / 1e9;
  return {cpu: treeCpu(pids) - started, wall: elapsed, result};
}

(async () => {
  const floorPage = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "vantrel-floor-")), "floor.html");
  fs.writeFileSync(floorPage, kFloor);
  const browser = await launch();
  try {
    const floorRun = async () => {
      await browser.goto(`file://${floorPage}`);
      await sleep(1000);
      return measure(browser.pids, () => sleep(floorSeconds * 1000));
    };
    // The floor before and after the show, so that a change in the machine's
    // load shows as two different floors.
    const before = await floorRun();

    await browser.goto(`file://${page}`);
    while (!(await browser.evaluate(() => !document.getElementById("start").disabled))) {
      await sleep(100);
    }
    await sleep(1000);
    const show = await measure(browser.pids, async () => {
      const pressed = await browser.evaluate(() => {
        window.__greeted = null;
        document.getElementById("box").addEventListener("toggle", () => {
          window.__greeted = window.__greeted || performance.now();
        });
        document.getElementById("start").click();
        return performance.now();
      });
      for (let i = 0; i < 360 && (await browser.evaluate(() => window.__greeted)) === null; i++) {
        await sleep(250);
      }
      return (await browser.evaluate(() => window.__greeted)) - pressed;
    });
    const after = await floorRun();
    const floor = {cpu: before.cpu + after.cpu, wall: before.wall + after.wall};
    const share = (m) => (100 * m.cpu) / m.wall;
    // One line, "key": value, as tools/bench.sh reads it.
    console.log(JSON.stringify({
      engine,
      show_cpu_pct: Number(share(show).toFixed(1)),
      floor_cpu_pct: Number(share(floor).toFixed(1)),
      ratio_to_floor: Number((share(show) / share(floor)).toFixed(2)),
      press_to_greeting_s: Number((show.result / 1000).toFixed(3)),
      floor_before_cpu_pct: Number(share(before).toFixed(1)),
      floor_after_cpu_pct: Number(share(after).toFixed(1)),
    }, null, 1).replace(/\n\s*/g, " "));
  } finally {
    await browser.close();
    fs.rmSync(path.dirname(floorPage), {recursive: true, force: true});
  }
})();

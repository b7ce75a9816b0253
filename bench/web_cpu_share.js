// The browser's CPU share during a whole show of the page, against the floor
// of any canvas animation in the same browser: a page that puts a small image
// on its canvas every displayed frame. Both in one run, one after the other,
// in headless Chromium; CPU is utime + stime of the browser's whole process
// tree from /proc. Prints one JSON line. A figure for tools/bench.sh, not a test.
//   node bench/web_cpu_share.js PAGE.html [FLOOR_SECONDS]   (the floor is measured before and after the show)
"use strict";
const fs = require("fs");
const path = require("path");
// The browser driver the page's test installs (tests/web/package-lock.json).
const puppeteer = require(path.join(__dirname, "../tests/web/node_modules/puppeteer-core"));

const page = path.resolve(process.argv[2]);
const floorSeconds = Number(process.argv[3] || 10);
const ticks = 100;  // clock ticks per second of /proc/PID/stat (USER_HZ)

// Seconds of CPU used so far by `root` and every process below it.
function treeCpu(root) {
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
  let total = 0;
  for (const pid of cpu.keys()) {
    for (let p = pid; p !== undefined && p !== "0"; p = parents.get(p)) {
      if (p === String(root)) {
        total += cpu.get(pid);
        break;
      }
    }
  }
  return total;
}

// A canvas of the window's size with a 16 x 16 image put on it every frame.
const kFloor = `<!doctype html><title>floor</title><body style="margin:0;background:#000">
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

async function measure(pid, during) {
  const started = treeCpu(pid);
  const wall = process.hrtime.bigint();
  const result = await during();
  const elapsed = Number(process.hrtime.bigint() - wall) / 1e9;
  return {cpu: treeCpu(pid) - started, wall: elapsed, result};
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    pipe: true,
    args: ["--no-sandbox"],
  });
  const pid = browser.process().pid;
  try {
    const tab = await browser.newPage();
    await tab.setViewport({width: 800, height: 600});
    const floorRun = async () => {
      await tab.setContent(kFloor);
      await new Promise((resolve) => setTimeout(resolve, 1000));
      return measure(pid, () => new Promise((resolve) => setTimeout(resolve, floorSeconds * 1000)));
    };
    // The floor before and after the show, so that a change in the machine's
    // load shows as two different floors.
    const before = await floorRun();

    await tab.goto(`file://${page}`);
    await tab.waitForFunction(() => !document.getElementById("start").disabled);
    await new Promise((resolve) => setTimeout(resolve, 1000));
    const show = await measure(pid, async () => {
      const pressed = await tab.evaluate(() => {
        window.__greeted = null;
        document.getElementById("box").addEventListener("toggle", () => {
          window.__greeted = window.__greeted || performance.now();
        });
        document.getElementById("start").click();
        return performance.now();
      });
      await tab.waitForFunction(() => window.__greeted !== null, {timeout: 90000, polling: 250});
      return (await tab.evaluate(() => window.__greeted)) - pressed;
    });
    const after = await floorRun();
    const floor = {cpu: before.cpu + after.cpu, wall: before.wall + after.wall};
    const share = (m) => (100 * m.cpu) / m.wall;
    // One line, "key": value, as tools/bench.sh reads it.
    console.log(JSON.stringify({
      show_cpu_pct: Number(share(show).toFixed(1)),
      floor_cpu_pct: Number(share(floor).toFixed(1)),
      ratio_to_floor: Number((share(show) / share(floor)).toFixed(2)),
      press_to_greeting_s: Number((show.result / 1000).toFixed(3)),
      floor_before_cpu_pct: Number(share(before).toFixed(1)),
      floor_after_cpu_pct: Number(share(after).toFixed(1)),
    }, null, 1).replace(/\n\s*/g, " "));
  } finally {
    await browser.close();
  }
})();

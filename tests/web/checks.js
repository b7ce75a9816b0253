// The page's checks, shared by every engine's driver (check_page.js for
// Chromium and Firefox, check_webkit.js for WebKitGTK). A driver hands each
// check a page: an object with
//   name, evaluate(fn, ...args), click(selector), mouseClick(x, y),
//   key("Enter" | "Escape" | "Space" | "Alt+S"), hide(), unhide(),
//   resize({width, height, ratio, mobile}), canSetRatio, errors()
// and, where the engine can, accessibility(), screenshot() (base64 PNG in
// device pixels), tap(x, y) and pinch(x, y, spread); and gate(name), which
// the driver makes with gates() to hold its pages' shows together.
// Functions passed to evaluate run in the page: they may use nothing from here.
"use strict";
const fs = require("fs");
const path = require("path");
const {execFileSync} = require("child_process");

const kShow = 25.585;  // seconds from press to greeting
const kGreeting = "Merry Chritmas from the Quorvel!!!";
// The canvas may be larger than the picture so that its CSS box falls on the
// engine's layout grid; at 2.625 Chromium's whole-pixel step is 21 device px.
const kMaxExtra = 21;

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The shows are timed, and what follows a greeting (pictures compared at new
// ratios, audits) is heavy: a driver's pages press together and go on only
// once every one has its greeting, so that none of that work holds up
// another page's last steps. `count` pages pass each gate; a page that failed
// before it holds the others up for at most 40 s.
function gates(count) {
  const waits = new Map();
  return (name) => {
    if (!waits.has(name)) {
      let open;
      waits.set(name, {passed: 0, opened: new Promise((resolve) => { open = resolve; }), open: () => open()});
    }
    const wait = waits.get(name);
    if (++wait.passed >= count) {
      wait.open();
    }
    return Promise.race([wait.opened, sleep(40000)]);
  };
}
const pass = (page, name) => (page.gate ? page.gate(name) : Promise.resolve());

function reporter(engine) {
  const r = {passes: 0, failures: 0};
  r.check = (what, ok, detail) => {
    if (ok) {
      r.passes++;
      console.log(`ok   ${engine}: ${what}`);
    } else {
      r.failures++;
      console.log(`FAIL ${engine}: ${what}${detail === undefined ? "" : `: ${detail}`}`);
    }
    return ok;
  };
  return r;
}

// Runs in the page before its own script where the driver can, else right
// after load: each press (the button turning busy), each dialog shown, every
// script error, and the layout shifts not caused by input.
function instrument() {
  const vt = {busy: [], boxes: [], errors: [], shift: 0};
  window.__vt = vt;
  window.addEventListener("error", (event) => vt.errors.push(String(event.message)));
  window.addEventListener("unhandledrejection", (event) => vt.errors.push(String(event.reason)));
  const showModal = HTMLDialogElement.prototype.showModal;
  HTMLDialogElement.prototype.showModal = function () {
    vt.boxes.push(performance.now());
    return showModal.call(this);
  };
  const watch = () => {
    const start = document.getElementById("start");
    new MutationObserver(() => {
      if (start.getAttribute("aria-busy") === "true") {
        vt.busy.push(performance.now());
      }
    }).observe(start, {attributes: true, attributeFilter: ["aria-busy"]});
  };
  if (document.getElementById("start")) {
    watch();
  } else {
    document.addEventListener("DOMContentLoaded", watch);
  }
  if (window.PerformanceObserver && PerformanceObserver.supportedEntryTypes.includes("layout-shift")) {
    vt.shiftSeen = true;
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) {
        vt.shift += entry.hadRecentInput ? 0 : entry.value;
      }
    }).observe({type: "layout-shift", buffered: true});
  }
}

// Pictures of `vantrel-trace --seed 1 --png F --scale R`, made when first
// asked for, as data: URLs.
function references(trace, dir) {
  const made = new Map();
  return (ratio) => {
    const scale = String(ratio);
    if (!made.has(scale)) {
      const file = path.join(dir, `trace-${scale}.png`);
      execFileSync(trace, ["--seed", "1", "--png", file, "--scale", scale], {stdio: ["ignore", "ignore", "inherit"]});
      made.set(scale, `data:image/png;base64,${fs.readFileSync(file).toString("base64")}`);
    }
    return made.get(scale);
  };
}

// --- in the page

function frames() {
  return new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve)));
}

// The reference at the canvas's top-left, the rest of the canvas black.
async function comparePicture(url, maxExtra) {
  const canvas = document.getElementById("picture");
  const image = new Image();
  image.src = url;
  await image.decode();
  const extraX = canvas.width - image.width;
  const extraY = canvas.height - image.height;
  if (extraX < 0 || extraY < 0 || extraX > maxExtra || extraY > maxExtra) {
    return `canvas ${canvas.width} x ${canvas.height}, reference ${image.width} x ${image.height}`;
  }
  const scratch = document.createElement("canvas");
  scratch.width = image.width;
  scratch.height = image.height;
  const context = scratch.getContext("2d");
  context.drawImage(image, 0, 0);
  const want = context.getImageData(0, 0, image.width, image.height).data;
  const got = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
  let differ = 0;
  let lit = 0;
  for (let y = 0; y < canvas.height; y++) {
    for (let x = 0; x < canvas.width; x++) {
      const g = 4 * (y * canvas.width + x);
      if (x >= image.width || y >= image.height) {
        lit += got[g] || got[g + 1] || got[g + 2] ? 1 : 0;
        continue;
      }
      const w = 4 * (y * image.width + x);
      differ += want[w] !== got[g] || want[w + 1] !== got[g + 1] || want[w + 2] !== got[g + 2] ? 1 : 0;
    }
  }
  return differ === 0 && lit === 0 ? "" : `${differ} pixels differ, ${lit} lit outside the picture`;
}

// Everything the layout checks read, in CSS px of the viewport.
function probe() {
  const rect = (element) => {
    const r = element.getBoundingClientRect();
    return {left: r.left, top: r.top, right: r.right, bottom: r.bottom, width: r.width, height: r.height};
  };
  const canvas = document.getElementById("picture");
  const start = document.getElementById("start");
  const label = start.querySelector("span") || start;
  const root = document.documentElement;
  const c = rect(start);
  const cx = (c.left + c.right) / 2;
  const cy = (c.top + c.bottom) / 2;
  let missed = 0;
  for (let i = 0; i <= 10; i++) {
    for (let j = 0; j <= 10; j++) {
      const hit = document.elementFromPoint(cx - 21.5 + 4.3 * i, cy - 21.5 + 4.3 * j);
      missed += hit && hit.closest("#start") ? 0 : 1;
    }
  }
  // A transform scales what getComputedStyle reports; offsetWidth is before it.
  const shrink = label.offsetWidth > 0 ? label.getBoundingClientRect().width / label.offsetWidth : 1;
  return {
    dpr: devicePixelRatio, ratio: Vantrel.ratio(), layout: Vantrel.layout ? Vantrel.layout() : null,
    viewport: {width: innerWidth, height: innerHeight}, zoom: window.visualViewport ? visualViewport.scale : 1,
    scroll: {width: root.scrollWidth, height: root.scrollHeight, clientWidth: root.clientWidth,
             clientHeight: root.clientHeight},
    canvas: rect(canvas), backing: {width: canvas.width, height: canvas.height}, button: c, missed,
    label: parseFloat(getComputedStyle(label).fontSize) * shrink, accessKey: start.accessKey,
  };
}

// A one-device-pixel pattern on the canvas, as a screenshot must show it
// unless the canvas was resampled.
function pattern(x, y) {
  return [((x ^ y) & 1) * 255, (x & 1) * 255, (y & 1) * 255];
}

function drawPattern(patternSource) {
  const at = new Function(`return (${patternSource})`)();
  const canvas = document.getElementById("picture");
  const context = canvas.getContext("2d");
  const image = context.createImageData(canvas.width, canvas.height);
  for (let y = 0, i = 0; y < canvas.height; y++) {
    for (let x = 0; x < canvas.width; x++, i += 4) {
      const [r, g, b] = at(x, y);
      image.data[i] = r;
      image.data[i + 1] = g;
      image.data[i + 2] = b;
      image.data[i + 3] = 255;
    }
  }
  context.putImageData(image, 0, 0);
}

// The screenshot's pixels over the canvas, but for the button's rectangle.
async function comparePattern(url, patternSource) {
  const at = new Function(`return (${patternSource})`)();
  const image = new Image();
  image.src = url;
  await image.decode();
  const scratch = document.createElement("canvas");
  scratch.width = image.width;
  scratch.height = image.height;
  const context = scratch.getContext("2d");
  context.drawImage(image, 0, 0);
  const shot = context.getImageData(0, 0, image.width, image.height).data;
  const canvas = document.getElementById("picture");
  const box = canvas.getBoundingClientRect();
  const button = document.getElementById("start").getBoundingClientRect();
  const left = Math.round(box.left * devicePixelRatio);
  const top = Math.round(box.top * devicePixelRatio);
  let differ = 0;
  let compared = 0;
  for (let y = 0; y < canvas.height; y++) {
    for (let x = 0; x < canvas.width; x++) {
      const cssX = (left + x) / devicePixelRatio;
      const cssY = (top + y) / devicePixelRatio;
      const onButton = cssX >= button.left - 2 && cssX <= button.right + 2 && cssY >= button.top - 2 &&
                       cssY <= button.bottom + 2;
      if (onButton || left + x >= image.width || top + y >= image.height) {
        continue;
      }
      const s = 4 * ((top + y) * image.width + left + x);
      const want = at(x, y);
      compared++;
      differ += shot[s] !== want[0] || shot[s + 1] !== want[1] || shot[s + 2] !== want[2] ? 1 : 0;
    }
  }
  return {differ, compared};
}

// axe-core with every rule it has, experimental ones included.
async function runAxe() {
  const rules = {};
  for (const rule of axe.getRules()) {
    rules[rule.ruleId] = {enabled: true};
  }
  const result = await axe.run(document, {rules, resultTypes: ["violations"]});
  return result.violations.map((v) => `${v.id} (${v.nodes.map((n) => n.target.join(" ")).join(", ")})`);
}

// --- checks

// Polled, not awaited in the page: a hidden page runs no frames.
async function greeting(page, count) {
  for (let i = 0; i < 600; i++) {
    if ((await page.evaluate(() => window.__vt.boxes.length)) >= count) {
      return page.evaluate(() => {
        const box = document.getElementById("box");
        const title = document.getElementById(box.getAttribute("aria-labelledby") || "");
        const icon = box.querySelector("svg.info");
        return {
          seconds: (window.__vt.boxes.at(-1) - window.__vt.busy.at(-1)) / 1000,
          role: box.getAttribute("role"), open: box.open, title: title && title.textContent,
          text: document.getElementById("box-text").textContent, focused: document.activeElement.id,
          described: box.getAttribute("aria-describedby"), icon: !!icon && getComputedStyle(icon).display !== "none",
          busy: window.__vt.busy.length, boxes: window.__vt.boxes.length,
        };
      });
    }
    await sleep(100);
  }
  const seen = await page.evaluate(() => JSON.stringify({busy: window.__vt.busy, boxes: window.__vt.boxes}));
  throw new Error(`${page.name}: no greeting within 60 s: ${seen}`);
}

function onTime(t, name, seconds) {
  t.check(`${name}: press to greeting ${seconds.toFixed(3)} s, ${kShow} s within 1 %`,
          Math.abs(seconds - kShow) <= kShow * 0.01);
}

async function samePicture(t, page, refs, what) {
  const ratio = await page.evaluate(() => Vantrel.ratio());
  const result = await page.evaluate(comparePicture, refs(ratio), kMaxExtra);
  if (result !== "" && page.keep) {
    page.keep(`${page.name}-${what}.png`.replace(/[^\w.-]+/g, "-"),
              await page.evaluate(() => document.getElementById("picture").toDataURL("image/png")));
  }
  t.check(`${page.name}: ${what}: the canvas equals vantrel-trace --scale ${ratio}`, result === "", result);
}

// The canvas's CSS box is its backing in device pixels, from a whole device pixel.
async function crisp(t, page, what) {
  const p = await page.evaluate(probe);
  const w = p.canvas.width * p.dpr;
  const h = p.canvas.height * p.dpr;
  const whole = (v) => Math.abs(v - Math.round(v)) < 0.01;
  t.check(`${page.name}: ${what}: canvas ${p.backing.width} x ${p.backing.height} laid out over ` +
              `${w.toFixed(2)} x ${h.toFixed(2)} device px from ${(p.canvas.left * p.dpr).toFixed(2)}, ` +
              `${(p.canvas.top * p.dpr).toFixed(2)}`,
          Math.abs(w - p.backing.width) < 0.01 && Math.abs(h - p.backing.height) < 0.01 &&
              whole(p.canvas.left * p.dpr) && whole(p.canvas.top * p.dpr));
  return p;
}

async function loaded(t, page) {
  const errors = await page.errors();
  t.check(`${page.name}: loaded with no script error`, errors.length === 0, errors.join(" | "));
}

// vantrel.html: the button in its place, keys press it, input mid-show is
// dropped, Enter closes the greeting. `during` runs after load, mid-show and
// with the greeting open (the audits).
async function keys(t, page, during = async () => {}) {
  await loaded(t, page);
  t.check(`${page.name}: title`, (await page.evaluate(() => document.title)) === "Vantrel v2.0");
  const p = await page.evaluate(probe);
  const where = [p.button.left - p.canvas.left, p.button.top - p.canvas.top, p.button.width, p.button.height,
                 p.accessKey];
  t.check(`${page.name}: button at 288, 416, 145 x 41 in the window, access key S`, `${where}` === "288,416,145,41,s",
          `${where}`);
  if (page.accessibility) {
    const snapshot = await page.accessibility();
    const tree = JSON.stringify(snapshot);
    const nodes = (node) => [node, ...(node.children || []).flatMap(nodes)];
    const buttons = nodes(snapshot).filter((node) => node.role === "button");
    t.check(`${page.name}: accessibility: one button, named Start the show, Alt+S`,
            buttons.length === 1 && buttons[0].name === "Start the show" && /^Alt\+s$/i.test(buttons[0].keyshortcuts),
            tree);
    t.check(`${page.name}: accessibility: the hidden label is not exposed`, !tree.includes("Label1"), tree);
  }
  await during("after load");
  await pass(page, "press");
  await page.evaluate(() => document.getElementById("start").focus());
  await page.key("Enter");
  await sleep(1000);
  t.check(`${page.name}: Enter starts the show: the button busy`,
          await page.evaluate(() => document.getElementById("start").getAttribute("aria-busy") === "true"));
  // Everything a user might do mid-show: none of it may start another show.
  await page.click("#start");
  for (const key of ["Enter", "Space", "Alt+S"]) {
    await page.key(key);
  }
  await page.mouseClick(300, 200);
  await during("mid-show");
  const box = await greeting(page, 1);
  await pass(page, "greeted");
  onTime(t, page.name, box.seconds);
  await during("with the greeting open");
  await page.key("Enter");
  await sleep(500);
  const after = await page.evaluate(() => ({
    busy: window.__vt.busy.length, boxes: window.__vt.boxes.length, open: document.getElementById("box").open}));
  t.check(`${page.name}: Enter closes the greeting; input during the show was dropped (one show, one greeting)`,
          !after.open && after.busy === 1 && after.boxes === 1, JSON.stringify(after));
  await unshifted(t, page, "from load through a show");
  await page.key("Alt+S");
  await sleep(300);
  t.check(`${page.name}: Alt+S starts the next show`, await page.evaluate(() => window.__vt.busy.length === 2));
}

function greetingChecks(t, page, box) {
  t.check(`${page.name}: greeting: an open alert dialog titled Vantrel v2.0 with the greeting's text, OK focused, ` +
              "the information icon",
          box.role === "alertdialog" && box.open && box.title === "Vantrel v2.0" && box.described === "box-text" &&
              box.text === kGreeting && box.focused === "box-ok" && box.icon,
          JSON.stringify(box));
}

// vantrel-seeded.html: the finale equal to the trace tool's at the page's
// ratio, then redrawn at each ratio of `ratios` ({width, height, ratio}:
// a new devicePixelRatio where the engine can set one, or a narrower
// viewport); then a planted run-time error ends the page.
async function seeded(t, page, refs, ratios) {
  await loaded(t, page);
  await pass(page, "press");
  await page.click("#start");
  const box = await greeting(page, 1);
  await pass(page, "greeted");
  onTime(t, page.name, box.seconds);
  greetingChecks(t, page, box);
  if (page.accessibility) {
    const tree = await page.accessibility();
    const dialog = (tree.children || []).find((node) => node.role === "alertdialog");
    t.check(`${page.name}: accessibility: an alert dialog named Vantrel v2.0, described by the greeting, modal`,
            dialog !== undefined && dialog.name === "Vantrel v2.0" && dialog.description === kGreeting &&
                dialog.modal === true,
            JSON.stringify(dialog));
  }
  if (page.screenshot && process.env.VANTREL_SCREENSHOT) {  // the README's picture of the page
    fs.writeFileSync(process.env.VANTREL_SCREENSHOT, Buffer.from(await page.screenshot(), "base64"));
  }
  await samePicture(t, page, refs, "the finale");
  await crisp(t, page, "the finale");
  await page.key("Escape");
  t.check(`${page.name}: Escape closes the greeting`, await page.evaluate(() => !document.getElementById("box").open));
  for (const size of ratios) {
    const before = await page.evaluate(() => [Vantrel.ratio(), document.getElementById("picture").width]);
    await page.resize(size);
    await settled(page, before);
    const what = `redrawn at ${size.width} x ${size.height}${size.ratio ? ` @${size.ratio}` : ""}`;
    await samePicture(t, page, refs, what);
    await crisp(t, page, what);
  }
  await plantedError(t, page);
}

// Until the ratio and the canvas have moved on from `before` and kept still.
async function settled(page, before) {
  let last = JSON.stringify(before);
  let same = 0;
  for (let i = 0; i < 100 && same < 3; i++) {
    await sleep(100);
    const now = JSON.stringify(await page.evaluate(() => [Vantrel.ratio(), document.getElementById("picture").width]));
    same = now !== JSON.stringify(before) && now === last ? same + 1 : 0;
    last = now;
  }
}

async function plantedError(t, page) {
  await page.evaluate(() => Module._vantrel_test_fail_on_line(30));
  const shows = await page.evaluate(() => window.__vt.boxes.length);
  await page.click("#start");
  const box = await greeting(page, shows + 1);
  t.check(`${page.name}: run-time error: its box`, box.text === "Vantrel stopped because of a run-time error:\n\n" +
          "The page reported a failure." && box.role === "alertdialog", JSON.stringify(box.text));
  await page.key("Enter");
  await sleep(200);
  await page.click("#start");
  await sleep(300);
  const after = await page.evaluate(() => ({
    disabled: document.getElementById("start").disabled, busy: window.__vt.busy.length,
    boxes: window.__vt.boxes.length}));
  t.check(`${page.name}: run-time error: the page ends (button disabled, no further press)`,
          after.disabled && after.busy === shows + 1 && after.boxes === shows + 1, JSON.stringify(after));
}

// The seeded show in a page hidden right after the press.
async function hidden(t, page, refs) {
  await loaded(t, page);
  await page.unhide();
  await pass(page, "press");
  await page.click("#start");
  await page.hide();
  t.check(`${page.name}: the page is hidden during the show`, await page.evaluate(() => document.hidden));
  const box = await greeting(page, 1);
  await pass(page, "greeted");
  onTime(t, page.name, box.seconds);
  await page.unhide();
  for (let i = 0; i < 50 && (await page.evaluate(() => document.hidden)); i++) {
    await sleep(100);
  }
  await page.evaluate(frames);
  await samePicture(t, page, refs, "seen again");
}

// --- phones and audits (Chromium's emulation)

// One viewport as a phone shows it: nothing scrolls, the window and the
// button inside the viewport, the canvas not resampled, a target a finger can
// hit with a label an eye can read, the button off the picture where the
// window is too small for it, and no layout shift since load.
async function fits(t, page, size) {
  const name = `${page.name} ${size.width} x ${size.height} @${size.ratio}`;
  const p = await page.evaluate(probe);
  const inside = (r) => r.left >= -0.01 && r.top >= -0.01 && r.right <= p.viewport.width + 0.01 &&
                        r.bottom <= p.viewport.height + 0.01;
  t.check(`${name}: nothing scrolls; window and button inside the viewport`,
          p.scroll.width <= p.scroll.clientWidth && p.scroll.height <= p.scroll.clientHeight && inside(p.canvas) &&
              inside(p.button),
          JSON.stringify({scroll: p.scroll, canvas: p.canvas, button: p.button}));
  t.check(`${name}: a 44 x 44 target around the button's centre hits it, its label ${p.label.toFixed(2)} px`,
          p.missed === 0 && p.label >= 12 - 0.01, `${p.missed} of 121 points missed`);
  const layout = p.layout || {scale: p.canvas.width / 715, inside: true};
  const s = layout.scale;
  if (s * 13 < 12) {
    t.check(`${name}: scale ${s.toFixed(3)}: the button below the window, centred under it`,
            !layout.inside && p.button.top >= p.canvas.bottom - 0.01 &&
                Math.abs((p.button.left + p.button.right) / 2 - (p.canvas.left + p.canvas.right) / 2) <= 0.5,
            JSON.stringify({layout, canvas: p.canvas, button: p.button}));
  } else {
    const at = [p.button.left - p.canvas.left, p.button.top - p.canvas.top, p.button.width, p.button.height];
    t.check(`${name}: scale ${s.toFixed(3)}: the button in its place in the window`,
            layout.inside && [288, 416, 145, 41].every((v, i) => Math.abs(at[i] - v * s) <= 0.5),
            JSON.stringify({layout, at}));
  }
  return p;
}

// Where the engine reports layout shifts (Chromium): none not caused by input.
async function unshifted(t, page, when) {
  const {shift, seen} = await page.evaluate(() => ({shift: window.__vt.shift, seen: window.__vt.shiftSeen}));
  if (seen) {
    t.check(`${page.name}: no layout shift ${when} (${shift})`, shift === 0);
  }
}

// The one-pixel pattern through a screenshot: a resampled canvas blurs it.
async function sharp(t, page, size) {
  await page.evaluate(drawPattern, pattern.toString());
  await page.evaluate(frames);
  const shot = `data:image/png;base64,${await page.screenshot()}`;
  const {differ, compared} = await page.evaluate(comparePattern, shot, pattern.toString());
  t.check(`${page.name} ${size.width} x ${size.height} @${size.ratio}: a one-device-pixel pattern on the canvas ` +
              `shows unresampled (${compared} px compared)`,
          differ === 0 && compared > 0, `${differ} differ`);
}

async function audit(t, page, axeSource, when) {
  if (!(await page.evaluate(() => typeof axe !== "undefined"))) {
    await page.evaluate(axeSource);
  }
  const violations = await page.evaluate(runAxe);
  t.check(`${page.name}: axe-core, every rule, ${when}: no violation`, violations.length === 0, violations.join("; "));
}

// A phone's show: a tap starts it; taps, a double tap and a pinch mid-show
// start nothing and do not zoom; the phone turned mid-show still gives one
// greeting on time, the picture redrawn exactly at the new ratio.
async function phoneShow(t, page, refs, turnTo, axeSource) {
  await loaded(t, page);
  await audit(t, page, axeSource, "after load");
  let p = await page.evaluate(probe);
  const centre = (r) => [(r.left + r.right) / 2, (r.top + r.bottom) / 2];
  await pass(page, "press");
  await page.tap(...centre(p.button));
  await sleep(500);
  t.check(`${page.name}: a tap on the button starts the show`,
          await page.evaluate(() => window.__vt.busy.length === 1));
  await page.tap(...centre(p.button));
  await page.tap(...centre(p.canvas));
  await sleep(60);
  await page.tap(...centre(p.canvas));
  await page.pinch(...centre(p.canvas), 100);
  await sleep(300);
  p = await page.evaluate(probe);
  t.check(`${page.name}: taps, a double tap and a pinch mid-show: no second show, no zoom (scale ${p.zoom})`,
          p.zoom === 1 && (await page.evaluate(() => window.__vt.busy.length)) === 1);
  await audit(t, page, axeSource, "mid-show");
  const before = await page.evaluate(() => [Vantrel.ratio(), document.getElementById("picture").width]);
  await page.resize(turnTo);
  await settled(page, before);
  const box = await greeting(page, 1);
  await pass(page, "greeted");
  onTime(t, `${page.name} turned to ${turnTo.width} x ${turnTo.height} mid-show`, box.seconds);
  t.check(`${page.name}: turned mid-show: one show, one greeting`, box.busy === 1 && box.boxes === 1,
          JSON.stringify(box));
  await samePicture(t, page, refs, `turned to ${turnTo.width} x ${turnTo.height}`);
  await crisp(t, page, `turned to ${turnTo.width} x ${turnTo.height}`);
  await audit(t, page, axeSource, "with the greeting open");
}

module.exports = {
  reporter, instrument, references, gates, keys, seeded, hidden, fits, sharp, audit, phoneShow, crisp, unshifted, sleep,
};

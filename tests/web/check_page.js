// The page in headless Chromium or Firefox ESR (puppeteer-core; Firefox over
// WebDriver BiDi), from file://, its pages side by side; the checks
// themselves are in checks.js, shared with check_webkit.js:
//   keys    vantrel.html: title, button, Enter starts the show, input during
//           the show is dropped, Enter closes the greeting, Alt+S presses
//   seeded  vantrel-seeded.html: click, the greeting on time with its role
//           and text, the finale equal to the trace tool's picture, redrawn
//           equal at devicePixelRatio 2 and in a 400 px viewport; then a
//           run-time error ends the page
//   hidden  vantrel-seeded.html at devicePixelRatio 2 behind another tab: the
//           greeting still on time, the picture right once the page is seen again
// and no page asks for anything but itself and data: URLs. In Chromium also:
//   the accessibility tree; axe-core (every rule) after load, mid-show and
//   with the greeting open at 1350 x 940 and on a phone; no layout shift
//   through the keys page's show and after each phone size's load; phones
//   (isMobile, hasTouch) from 320 x 480 to 844 x 390 @3 and a desktop at
//   1.25: fit, crisp (a one-pixel pattern through a screenshot), a 44 px
//   target with a 12 px label; a tap starts the show, taps, a double tap and
//   a pinch mid-show do nothing, a turn mid-show redraws the picture exactly.
// Firefox's key presses go to the window in front, one page at a time.
// "phones" runs the phone sizes alone (in Chromium): their screenshots are
// heavy, so check.sh runs them when no timed show is playing.
//   node check_page.js chromium|firefox|phones PAGE_DIR VANTREL_TRACE WORK_DIR
// Pictures that differ are left in WORK_DIR.
"use strict";
const fs = require("fs");
const path = require("path");
const puppeteer = require("puppeteer-core");
const checks = require("./checks.js");

const [engine, pageDir, trace, work] = process.argv.slice(2);
const t = checks.reporter(engine);
const refs = checks.references(trace, work);
const phonesOnly = engine === "phones";
const chromium = engine === "chromium" || phonesOnly;

const kPhones = [
  {width: 320, height: 480, ratio: 2, mobile: true},
  {width: 390, height: 844, ratio: 3, mobile: true},
  {width: 844, height: 390, ratio: 3, mobile: true},
  {width: 412, height: 915, ratio: 2.625, mobile: true},
  {width: 393, height: 873, ratio: 2.75, mobile: true},
  {width: 1350, height: 940, ratio: 1.25},
];

function viewport(size) {
  return {width: size.width, height: size.height, deviceScaleFactor: size.ratio || 1, isMobile: !!size.mobile,
          hasTouch: !!size.mobile};
}

const elsewhere = [];

// Firefox gives keys only to the window in front: whatever brings a window
// to the front (a key press, hiding or showing a page) takes its turn.
let turns = Promise.resolve();
function inFront(tab, run = async () => {}) {
  const turn = turns.then(async () => {
    await tab.bringToFront();
    for (let i = 0; i < 40 && !chromium && !(await tab.evaluate(() => document.hasFocus())); i++) {
      await checks.sleep(50);
    }
    await run();
  });
  turns = turn.catch(() => {});
  return turn;
}

async function open(browser, name, file, options) {
  const tab = await browser.newPage(options.window ? {type: "window"} : {});
  const url = `file://${path.join(pageDir, file)}`;
  const errors = [];
  tab.on("pageerror", (error) => errors.push(error.message));
  tab.on("request", (request) => {
    if (!request.url().startsWith("data:") && request.url() !== url) {
      elsewhere.push(request.url());
    }
  });
  await tab.setViewport(viewport(options.size || {width: 800, height: 600}));
  await tab.evaluateOnNewDocument(checks.instrument);
  await tab.goto(url);
  await tab.waitForFunction(() => !document.getElementById("start").disabled, {timeout: 10000});
  const page = {
    name: `${name}`,
    evaluate: (fn, ...args) => tab.evaluate(fn, ...args),
    click: (selector) => tab.click(selector),
    mouseClick: (x, y) => tab.mouse.click(x, y),
    // Chromium gives keys to a page in the background as well.
    key: (key) => {
      const press = async () => {
        if (key === "Alt+S") {
          await tab.keyboard.down("Alt");
          await tab.keyboard.press("s");
          await tab.keyboard.up("Alt");
        } else {
          await tab.keyboard.press(key === "Space" ? " " : key);
        }
      };
      return chromium ? press() : inFront(tab, press);
    },
    unhide: () => inFront(tab),
    resize: (size) => tab.setViewport(viewport(size)),
    errors: async () => [...new Set([...errors, ...(await tab.evaluate(() => window.__vt.errors))])],
    keep: (file, png) => fs.writeFileSync(path.join(work, file), Buffer.from(png.split(",")[1], "base64")),
    close: () => tab.close(),
  };
  if (chromium) {
    page.accessibility = () => tab.accessibility.snapshot();
    page.screenshot = () => tab.screenshot({encoding: "base64", captureBeyondViewport: false});
    page.tap = (x, y) => tab.touchscreen.tap(x, y);
    // Two fingers moving `spread` px apart each (the synthesized pinch
    // gesture does not zoom here; under some 40 px a pinch is taken for a tap).
    page.pinch = async (x, y, spread) => {
      const session = await tab.createCDPSession();
      const fingers = (d) => [{x: x - d, y, id: 1}, {x: x + d, y, id: 2}];
      await session.send("Input.dispatchTouchEvent", {type: "touchStart", touchPoints: fingers(20)});
      for (let i = 1; i <= 20; i++) {
        await session.send("Input.dispatchTouchEvent", {type: "touchMove", touchPoints: fingers(20 + spread * i / 20)});
        await checks.sleep(16);
      }
      await session.send("Input.dispatchTouchEvent", {type: "touchEnd", touchPoints: []});
      await session.detach();
    };
  }
  return page;
}

// Each size loaded afresh. Chromium reports no layout shift under a phone's
// emulation, so the shifts are looked for in a second load without it.
async function phoneSizes(browser) {
  for (const size of kPhones) {
    const page = await open(browser, "phone", "vantrel-seeded.html", {size});
    await checks.fits(t, page, size);
    await checks.crisp(t, page, `${size.width} x ${size.height} @${size.ratio}`);
    await checks.sharp(t, page, size);
    await page.close();
    const desktop = await open(browser, `${size.width} x ${size.height} @${size.ratio} unemulated`,
                               "vantrel-seeded.html", {size: {...size, mobile: false}});
    await checks.sleep(1000);
    await checks.unshifted(t, desktop, "in the second after load");
    await desktop.close();
  }
}

const guarded = (name, run) => run().catch((error) => t.check(`${name}: ran to its end`, false, error.stack));

async function shows(browser) {
  if (chromium) {
    const size = fs.statSync(path.join(pageDir, "vantrel.html")).size;
    t.check(`vantrel.html is ${size} bytes, at most 300 KB`, size <= 300 * 1024);
  }
  const axeSource = fs.readFileSync(require.resolve("axe-core/axe.min.js"), "utf8");
  // Opened one after the other: a new tab goes into the window made last.
  const hidden = await open(browser, "hidden", "vantrel-seeded.html", {window: true, size: {width: 800,
                            height: 600, ratio: 2}});
  const cover = await browser.newPage();
  const hiddenPage = Object.assign(hidden, {hide: () => inFront(cover)});
  const keys = await open(browser, "keys", "vantrel.html", {window: true, size: chromium ?
                          {width: 1350, height: 940} : {width: 800, height: 600}});
  const seeded = await open(browser, "seeded", "vantrel-seeded.html", {window: true});
  // The hidden show apart: a page in the background gets the processor last,
  // and its last wakes queued behind the other shows' frames (up to 4 % late).
  await guarded("hidden", () => checks.hidden(t, hiddenPage, refs));
  const gate = checks.gates(chromium ? 3 : 2);
  for (const page of [keys, seeded]) {
    page.gate = gate;
  }
  const runs = [
    guarded("keys", () => checks.keys(t, keys, chromium ? (when) => checks.audit(t, keys, axeSource, when) :
                                                              undefined)),
    guarded("seeded", () => checks.seeded(t, seeded, refs, [{width: 801, height: 600, ratio: 2},
                                                             {width: 400, height: 600, ratio: 1}])),
  ];
  if (chromium) {
    const phone = await open(browser, "phone 390 x 844 @3", "vantrel-seeded.html", {window: true, size: kPhones[1]});
    phone.gate = gate;
    runs.push(guarded("phone show", () => checks.phoneShow(t, phone, refs, kPhones[2], axeSource)));
  }
  await Promise.all(runs);
}

(async () => {
  const browser = await puppeteer.launch(chromium ? {
    executablePath: "/usr/bin/chromium",
    headless: true,
    pipe: true,
    args: ["--no-sandbox"],
    // What a user's browser does to a hidden tab: its timers wake once a second.
    ignoreDefaultArgs: ["--disable-background-timer-throttling", "--disable-renderer-backgrounding",
                        "--disable-backgrounding-occluded-windows"],
  } : {browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true});
  try {
    if (phonesOnly) {
      await guarded("phone sizes", () => phoneSizes(browser));
    } else {
      await shows(browser);
    }
    t.check("no request but the page itself and data: URLs", elsewhere.length === 0, elsewhere.join(" "));
  } catch (error) {
    t.check("the driver ran to its end", false, error.stack);
  } finally {
    await browser.close();
  }
  console.log(`${engine}: ${t.passes} passed, ${t.failures} failed`);
  process.exit(t.failures === 0 ? 0 : 1);
})();

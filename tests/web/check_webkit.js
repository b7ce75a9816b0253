// The page in WebKitGTK (webkit.js: WebKitWebDriver and MiniBrowser on a
// private Xvfb, classic WebDriver), one browser per page, side by side; the
// checks are checks.js's, as in Chromium and Firefox:
//   keys    vantrel.html: title, button, Enter starts the show, input during
//           the show is dropped, Enter closes the greeting, Alt+S presses
//   seeded  vantrel-seeded.html: the greeting on time with its role and text,
//           the finale equal to the trace tool's picture, redrawn equal in a
//           520 px viewport; then a run-time error ends the page
//   hidden  vantrel-seeded.html at devicePixelRatio 2 (GDK_SCALE=2), its
//           window minimised during the show: the greeting on time, the
//           picture right once it is seen again
// No script runs before the page's own here, and MiniBrowser prints no
// console messages under automation, so each page is a copy with the
// recorder of checks.js first in its head.
//   node check_webkit.js PAGE_DIR VANTREL_TRACE WORK_DIR
"use strict";
const fs = require("fs");
const path = require("path");
const checks = require("./checks.js");
const webkit = require("./webkit.js");

// No GPU here: WebKit's default (DMA-BUF) renderer composites through GL in
// software, about a core per page, which would hold up the other engines'
// timed shows; its shared-memory renderer costs a tenth of that and the
// checks read the canvas's own pixels, not the screen's.
process.env.WEBKIT_DISABLE_DMABUF_RENDERER = "1";

const [pageDir, trace, work] = process.argv.slice(2);
const t = checks.reporter("webkit");
const refs = checks.references(trace, work);

async function open(display, name, file, options) {
  const copy = path.join(work, `webkit-${file}`);
  const html = fs.readFileSync(path.join(pageDir, file), "utf8");
  fs.writeFileSync(copy, html.replace(/<head>/i, `<head>\n<script>(${checks.instrument})();</script>`));
  const page = await webkit.open(display, name, `file://${copy}`, options);
  for (let i = 0; i < 100 && !(await page.evaluate(() => !document.getElementById("start").disabled)); i++) {
    await checks.sleep(100);
  }
  return Object.assign(page, {
    errors: () => page.evaluate(() => window.__vt.errors),
    keep: (file, png) => fs.writeFileSync(path.join(work, file), Buffer.from(png.split(",")[1], "base64")),
  });
}

const guarded = (name, run) => run().catch((error) => t.check(`${name}: ran to its end`, false, error.stack));

(async () => {
  try {
    const {display} = await webkit.xvfb();
    const [keys, seeded, hidden] = await Promise.all([
      open(display, "keys", "vantrel.html"),
      open(display, "seeded", "vantrel-seeded.html"),
      open(display, "hidden", "vantrel-seeded.html", {scale: 2}),
    ]);
    // The minimised show apart, as in check_page.js.
    await guarded("hidden", () => checks.hidden(t, hidden, refs));
    const gate = checks.gates(2);
    for (const page of [keys, seeded]) {
      page.gate = gate;
    }
    await Promise.all([
      guarded("keys", () => checks.keys(t, keys)),
      guarded("seeded", () => checks.seeded(t, seeded, refs, [{width: 520, height: 600}])),
    ]);
    await Promise.all([keys, seeded, hidden].map((page) => page.close()));
  } catch (error) {
    t.check("the driver ran to its end", false, error.stack);
  } finally {
    webkit.stopAll();
  }
  console.log(`webkit: ${t.passes} passed, ${t.failures} failed`);
  process.exit(t.failures === 0 ? 0 : 1);
})();

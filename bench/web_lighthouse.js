// Lighthouse's scores for the page, mobile (its default: a phone of 412 x 823
// at 1.75, throttled) and desktop, in Debian's headless Chromium. Lighthouse
// wants the page over http: a server of its own on 127.0.0.1 serves the
// page's folder. Needs the Node that bench/web/package.json brings (Lighthouse
// 13 wants Node 22). Prints one JSON line per form factor. A figure for
// tools/bench.sh, not a test.
//   bench/web/node_modules/.bin/node bench/web_lighthouse.js PAGE.html
"use strict";
const fs = require("fs");
const http = require("http");
const path = require("path");

const page = path.resolve(process.argv[2]);
const modules = path.join(__dirname, "web/node_modules");

function serve(file) {
  const server = http.createServer((request, response) => {
    if (request.url.split("?")[0] === `/${path.basename(file)}`) {
      response.writeHead(200, {"content-type": "text/html; charset=utf-8"});
      response.end(fs.readFileSync(file));
    } else {
      response.writeHead(404);
      response.end();
    }
  });
  return new Promise((resolve) => server.listen(0, "127.0.0.1", () => resolve(server)));
}

(async () => {
  const {default: lighthouse} = await import(path.join(modules, "lighthouse/core/index.js"));
  const desktop = (await import(path.join(modules, "lighthouse/core/config/desktop-config.js"))).default;
  const chromeLauncher = await import(path.join(modules, "chrome-launcher/dist/index.js"));
  const server = await serve(page);
  const url = `http://127.0.0.1:${server.address().port}/${path.basename(page)}`;
  const chrome = await chromeLauncher.launch({chromePath: "/usr/bin/chromium",
                                              chromeFlags: ["--headless=new", "--no-sandbox"]});
  try {
    for (const [formFactor, config] of [["mobile", undefined], ["desktop", desktop]]) {
      const {lhr} = await lighthouse(url, {port: chrome.port, output: "json", logLevel: "error"}, config);
      const score = (category) => Math.round(100 * lhr.categories[category].score);
      const failed = Object.values(lhr.audits)
                         .filter((audit) => audit.score !== null && audit.score < 1 &&
                                            audit.scoreDisplayMode !== "informative" &&
                                            audit.scoreDisplayMode !== "manual")
                         .map((audit) => audit.id);
      console.log(JSON.stringify({
        form_factor: formFactor,
        lighthouse: lhr.lighthouseVersion,
        performance: score("performance"),
        accessibility: score("accessibility"),
        best_practices: score("best-practices"),
        seo: score("seo"),
        cls: Number(lhr.audits["cumulative-layout-shift"].numericValue.toFixed(3)),
        fcp_ms: Math.round(lhr.audits["first-contentful-paint"].numericValue),
        lcp_ms: Math.round(lhr.audits["largest-contentful-paint"].numericValue),
        tbt_ms: Math.round(lhr.audits["total-blocking-time"].numericValue),
        below_full_marks: failed.join(" "),
      }, null, 1).replace(/\n\s*/g, " "));
    }
  } finally {
    chrome.kill();
    server.close();
  }
})();

// Opens pages in headless Chromium and reports what a reader may see: each page's text (laid
// out or not, scripts and styles left out), and for an index, the answer its search gives to
// each of the words. Prints JSON:
// {"texts": {PAGE: TEXT, …}, "answers": {WORDS: STATUS, …}, "console": […], "requests": […]}.
// Usage: node archivecheck.js TASK.json   (TASK: {"pages": [PATH, …], "index": PATH, "words": […]})
'use strict';
const fs = require('fs');
const {launch, openTab} = require('./cdp.js');

const task = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));

(async () => {
  const browser = await launch();
  const tab = await openTab(browser, {width: 1280, height: 900});
  const out = {texts: {}, answers: {}};
  const text = `(() => { const body = document.body.cloneNode(true);
    body.querySelectorAll('script, style').forEach((e) => e.remove());
    return body.textContent; })()`;
  for (const page of task.pages) {
    await tab.goto('file://' + page);
    out.texts[page] = await tab.eval(text);
  }
  if (task.index) {
    await tab.goto('file://' + task.index);
    out.texts[task.index] = await tab.eval(text);
    for (const words of task.words) {
      out.answers[words] = await tab.eval(`new Promise((resolve) => {
        const status = document.getElementById('status'), q = document.getElementById('q');
        status.textContent = '';
        const observer = new MutationObserver(() => {
          if (!/(件|見つかりませんでした。)/.test(status.textContent)) return;
          observer.disconnect();
          resolve(status.textContent);
        });
        observer.observe(status, {childList: true, characterData: true, subtree: true});
        q.value = ${JSON.stringify(words)};
        q.dispatchEvent(new Event('input'));
      })`);
    }
  }
  out.console = tab.console;
  out.requests = tab.requests;
  await browser.close();
  process.stdout.write(JSON.stringify(out));
})().catch((e) => {
  process.stdout.write(JSON.stringify({error: String(e.stack)}));
  process.exit(0);
});

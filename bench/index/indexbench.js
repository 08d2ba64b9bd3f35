// Times the search of an index page in headless Chromium over the DevTools protocol:
// node indexbench.js INDEX.htm WORDS...
// Prints "key value" lines: how long the search data takes to load (from the first focus of the
// search box until it is ready), how soon the first hits show when the words are typed at
// once (searched among the pages in so far), the tab's JavaScript heap, and for each query the time
// from the input event to the answer shown (the 100 ms the box waits for more typing
// included), the hits, and the longest task meanwhile.
'use strict';
const path = require('path');
const {launch, openTab} = require(path.join(__dirname, '../../tests/browser/cdp.js'));

const [index, ...queries] = process.argv.slice(2);

(async () => {
  const browser = await launch();
  const first = await openTab(browser, {width: 1280, height: 900});
  await first.goto('file://' + index);
  const early = await first.eval(`new Promise((resolve) => {
    const hits = document.getElementById('hits'), q = document.getElementById('q');
    const start = performance.now();
    const observer = new MutationObserver(() => {
      if (!hits.firstChild) return;
      observer.disconnect();
      resolve({ms: performance.now() - start, status: document.getElementById('status').textContent});
    });
    observer.observe(hits, {childList: true});
    q.focus();
    q.value = ${JSON.stringify(queries[0])};
    q.dispatchEvent(new Event('input'));
  })`);
  console.log(`first_hits_ms ${early.ms.toFixed(0)}: ${early.status}`);
  await first.send('Page.close');
  const tab = await openTab(browser, {width: 1280, height: 900});
  await tab.goto('file://' + index);
  await tab.eval(`window.longest = 0; new PerformanceObserver((list) => {
    list.getEntries().forEach((e) => { window.longest = Math.max(window.longest, e.duration); });
  }).observe({type: 'longtask'})`);
  const loadMs = await tab.eval(`new Promise((resolve) => {
    const status = document.getElementById('status');
    const start = performance.now();
    document.getElementById('q').focus();
    (function poll() {
      if (status.textContent === '') resolve(performance.now() - start);
      else setTimeout(poll, 20);
    })();
  })`);
  console.log('load_ms ' + loadMs.toFixed(0));
  const heap = await tab.send('Runtime.getHeapUsage');
  console.log('heap_mb ' + (heap.usedSize / 1048576).toFixed(0));
  for (const words of queries) {
    const r = await tab.eval(`new Promise((resolve) => {
      const status = document.getElementById('status');
      const q = document.getElementById('q');
      window.longest = 0;
      status.textContent = '';
      const start = performance.now();
      const observer = new MutationObserver(() => {
        if (!/(件|見つかりませんでした。)/.test(status.textContent)) return;
        observer.disconnect();
        const ms = performance.now() - start;
        setTimeout(() => resolve({ms, status: status.textContent, longest: window.longest}), 50);
      });
      observer.observe(status, {childList: true, characterData: true, subtree: true});
      q.value = ${JSON.stringify(words)};
      q.dispatchEvent(new Event('input'));
    })`);
    console.log(`query ${JSON.stringify(words)} ${r.ms.toFixed(0)} ms, longest task ${r.longest.toFixed(0)} ms: ${r.status}`);
  }
  console.log('console ' + tab.console.length);
  await browser.close();
})().catch((e) => { console.error(e); process.exit(1); });

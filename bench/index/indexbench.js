// Times the search of an index page in headless Chromium over the DevTools protocol:
// node indexbench.js INDEX.htm WORDS...
// Prints "key value" lines: how long the index page takes to open (until its load event), and
// for each query the time from the input event (the 100 ms the box waits for more typing
// included) to the first hits shown and to the whole answer (the list and its count), the
// answer, the longest task meanwhile; then the tab's JavaScript heap after all queries.
'use strict';
const path = require('path');
const {launch, openTab} = require(path.join(__dirname, '../../tests/browser/cdp.js'));

const [index, ...queries] = process.argv.slice(2);

(async () => {
  const browser = await launch();
  const tab = await openTab(browser, {width: 1280, height: 900});
  await tab.goto('file://' + index);
  const open = await tab.eval(`(() => { const n = performance.getEntriesByType('navigation')[0];
    return [n.domContentLoadedEventEnd, n.loadEventEnd]; })()`);
  console.log(`index_open_ms ${open[1].toFixed(0)} (document ready ${open[0].toFixed(0)}; goal <= 1000)`);
  await tab.eval(`window.longest = 0; new PerformanceObserver((list) => {
    list.getEntries().forEach((e) => { window.longest = Math.max(window.longest, e.duration); });
  }).observe({type: 'longtask'})`);
  for (const words of queries) {
    const r = await tab.eval(`new Promise((resolve) => {
      const status = document.getElementById('status'), hits = document.getElementById('hits');
      const q = document.getElementById('q');
      window.longest = 0;
      status.textContent = '';
      hits.textContent = '';
      let first = -1;
      const start = performance.now();
      const observer = new MutationObserver(() => {
        if (first < 0 && hits.firstChild) first = performance.now() - start;
        if (!/(件|見つかりませんでした。)/.test(status.textContent)) return;
        observer.disconnect();
        const ms = performance.now() - start;
        if (first < 0) first = ms;
        setTimeout(() => resolve({first, ms, status: status.textContent, longest: window.longest}), 50);
      });
      observer.observe(status, {childList: true, characterData: true, subtree: true});
      observer.observe(hits, {childList: true});
      q.focus();
      q.value = ${JSON.stringify(words)};
      q.dispatchEvent(new Event('input'));
    })`);
    console.log(`query ${JSON.stringify(words)} first hits ${r.first.toFixed(0)} ms (goal <= 500), `
                + `all ${r.ms.toFixed(0)} ms (goal <= 2000), longest task ${r.longest.toFixed(0)} ms: ${r.status}`);
  }
  const heap = await tab.send('Runtime.getHeapUsage');
  console.log(`heap_mb ${(heap.usedSize / 1048576).toFixed(0)} (goal < 300)`);
  console.log('console ' + tab.console.length);
  await browser.close();
})().catch((e) => { console.error(e); process.exit(1); });

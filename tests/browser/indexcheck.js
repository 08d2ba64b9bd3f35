// Works an index page in headless Chromium as a reader would: searches every page listed,
// follows the hits and the links between pages, at a desktop's and a phone's width in both
// themes. Prints {"check": {ok, actual, expected}, …} as JSON.
// Usage: node indexcheck.js INDEX.htm EXPECTED.json [SCREENSHOT_DIR]
'use strict';
const fs = require('fs');
const path = require('path');
const {launch, openTab} = require('./cdp.js');

const [indexPath, expectedPath, shots] = process.argv.slice(2);
const expected = JSON.parse(fs.readFileSync(expectedPath, 'utf8'));
const indexUrl = 'file://' + indexPath;
const folderUrl = indexUrl.slice(0, indexUrl.lastIndexOf('/') + 1);
const results = {};
function check(name, actual, wanted) {
  const a = JSON.stringify(actual), w = JSON.stringify(wanted);
  results[name] = {ok: a === w, actual: a, expected: w};
}

async function waitFor(tab, expression, timeoutMs) {
  const until = Date.now() + (timeoutMs || 20000);
  for (;;) {
    const value = await tab.eval(expression).catch(() => null);
    if (value || Date.now() > until)
      return value;
    await new Promise((r) => setTimeout(r, 50));
  }
}

async function search(tab, words) {
  // The last answer is cleared first, so that only the answer to these words is waited for.
  await tab.eval(`(() => { const q = document.getElementById('q'); q.focus();
    document.getElementById('status').textContent = '';
    q.value = ${JSON.stringify(words)}; q.dispatchEvent(new Event('input')); })()`);
  await waitFor(tab, `/(件|見つかりませんでした。)/.test(document.getElementById('status').textContent)`);
  return tab.eval(`Array.from(document.querySelectorAll('#hits a')).map((a) => ({
    href: a.getAttribute('href'), page: a.querySelector('.hit-page').textContent,
    date: (a.querySelector('.hit-date') || {}).textContent || '',
    who: a.querySelector('.hit-who').textContent, snippet: a.querySelector('.snip').textContent,
    mark: (a.querySelector('mark') || {}).textContent || ''}))`);
}

// Clicks a link of the page and waits until the tab shows `target` (through the index).
async function follow(tab, selector, target) {
  await tab.eval(`document.querySelector(${JSON.stringify(selector)}).click()`);
  return waitFor(tab, `location.href.endsWith(${JSON.stringify(target)}) && document.readyState === 'complete' && location.href`);
}

(async () => {
  const browser = await launch();
  const all = [];
  for (const [width, dark] of [[1280, false], [390, true], [1280, true], [390, false]]) {
    const label = width + (dark ? ' dark' : ' light');
    const tab = await openTab(browser, {width, height: 900, dark, mobile: width < 500});
    all.push(tab);
    await tab.goto(indexUrl);
    check(label + ': rows newest first', await tab.eval(
      `Array.from(document.querySelectorAll('tbody tr')).map((r) => r.getAttribute('data-page'))`),
      expected.rows);
    tab.files.length = 0;
    const hits = await search(tab, expected.search);
    check(label + ': hits across pages', hits.map((h) => h.href), expected.hits);
    // The term files tell which pages hold the words: no other page's text is read.
    check(label + ': text read', tab.files.map((f) => decodeURIComponent(f.slice(f.lastIndexOf('/') + 1)))
      .filter((n) => n.endsWith('.htm.js')).sort(), expected.read);
    check(label + ': no sideways scrolling',
          await tab.eval('document.documentElement.scrollWidth <= innerWidth'), true);
    if (shots)
      await tab.screenshot(path.join(shots, `index-${width}-${dark ? 'dark' : 'light'}.png`));
    if (width !== 1280 || dark)
      continue;

    // Each dated page's utterances per month, drawn as a line whose title gives the figures.
    check('months of each row', await tab.eval(
      `Array.from(document.querySelectorAll('tbody tr')).map((r) => r.getAttribute('data-months'))`),
      expected.months);
    check('sparklines', await tab.eval(`Array.from(document.querySelectorAll('tbody tr')).map((r) => {
      const line = r.querySelector('svg.spark');
      return line && [line.querySelector('title').textContent,
                      line.querySelector('polyline').points.numberOfItems,
                      Math.round(line.getBoundingClientRect().width) > 0];
    })`), expected.sparklines);

    // The timeline: a cell per month with utterances, which lists the pages of its month, each
    // linked to its first day there; the link lands on that day's heading.
    check('timeline', await tab.eval(`Array.from(document.querySelectorAll('.tl button')).map((b) => {
      b.click();
      return [b.getAttribute('aria-label'), Array.from(document.querySelectorAll('.tl-list a'))
        .map((a) => [a.textContent, a.getAttribute('href')])];
    })`), expected.timeline);
    // By keyboard: one Tab stop, the latest month; the arrows go from month to month.
    check('timeline by keyboard', await tab.eval(`(() => {
      const stops = Array.from(document.querySelectorAll('.tl button')).filter((b) => b.tabIndex === 0);
      stops[0].focus();
      stops[0].dispatchEvent(new KeyboardEvent('keydown', {key: 'ArrowLeft', bubbles: true}));
      return [stops.length, stops[0].getAttribute('aria-label'), document.activeElement.getAttribute('aria-label')];
    })()`), [1, expected.timeline[expected.timeline.length - 1][0], expected.timeline[0][0]]);
    for (const [, pages] of expected.timeline) {
      for (const [, href] of pages) {
        await tab.goto(folderUrl + href);
        const target = JSON.stringify(href.split('#')[1] || '');
        check('timeline link ' + href + ' shows its day', await waitFor(tab,
          `(() => { const day = document.getElementById(${target});
            const box = day && day.matches('h2.day') && day.getBoundingClientRect();
            return !!box && box.top >= document.getElementById('tools').getBoundingClientRect().bottom
              && box.bottom <= innerHeight; })()`, 8000) || false, true);
      }
    }
    await tab.goto(indexUrl);

    // Matching ignores case and width and takes hiragana and katakana alike.
    for (const [words, links] of expected.alike)
      check('matches "' + words + '"', (await search(tab, words)).map((h) => h.href), links);
    // Every hit links to the message that holds the words.
    for (const h of hits) {
      await tab.goto(folderUrl + h.href);
      const target = h.href.split('#')[1];
      check('hit ' + h.href + ' opens its message', await tab.eval(
        `(document.getElementById(${JSON.stringify(target)}) || {}).textContent.toLowerCase().includes(${JSON.stringify(expected.search)})`), true);
      check('hit ' + h.href + ' shows its message below the tools', await waitFor(tab,
        `(() => { const box = document.getElementById(${JSON.stringify(target)}).getBoundingClientRect();
          return box.top >= document.getElementById('tools').getBoundingClientRect().bottom
            && box.bottom <= innerHeight; })()`, 5000) || false, true);
      await tab.goto(indexUrl);
    }
    // Chat text that tries to be markup stays text, in the snippets and in the data files.
    for (const [words, snippet] of expected.snippets) {
      const found = await search(tab, words);
      check('snippet of "' + words + '"', found.map((h) => h.snippet), [snippet]);
    }
    check('hostile text inert', await tab.eval(
      `document.querySelectorAll('#hits img, #hits script, #hits b, #hits iframe').length + String(window.PELORIN_INJECTED)`),
      '0undefined');
    const first = (await search(tab, expected.search))[0];
    check('hit names its page, date and speaker', [first.page, first.date, first.who], expected.firstHit);

    // Between pages, through the index: older, newer, and the end of the folder.
    for (const [from, link, to] of expected.nav) {
      await tab.goto(folderUrl + from);
      check(`${from} ${link} goes to ${to}`,
            !!(await follow(tab, `nav.pages a[rel=${link}]`, to)), true);
    }
    const newest = expected.rows[0];
    await tab.goto(folderUrl + newest);
    await follow(tab, 'nav.pages a[rel=next]', 'newer=' + newest);
    check('after the newest page', await waitFor(tab,
      `document.getElementById('status').textContent`), 'これより後のページはありません。');
    if (shots) {
      await tab.goto(folderUrl + newest);
      await tab.screenshot(path.join(shots, 'page-1280-light.png'));
      await tab.eval(`document.getElementById('stats').scrollIntoView()`);
      await tab.screenshot(path.join(shots, 'stats-1280-light.png'));
    }
  }
  if (shots) {
    const phone = await openTab(browser, {width: 390, height: 900, dark: true, mobile: true});
    all.push(phone);
    await phone.goto(folderUrl + expected.rows[1]);
    await phone.screenshot(path.join(shots, 'page-390-dark.png'));
    await phone.eval(`document.getElementById('stats').scrollIntoView()`);
    await phone.screenshot(path.join(shots, 'stats-390-dark.png'));
  }
  check('console messages', [].concat(...all.map((t) => t.console)), []);
  check('requests outside the files', [].concat(...all.map((t) => t.requests)), []);
  await browser.close();
  process.stdout.write(JSON.stringify(results));
})().catch((e) => {
  process.stdout.write(JSON.stringify({'check script': {ok: false, actual: String(e.stack), expected: ''}}));
  process.exit(0);
});

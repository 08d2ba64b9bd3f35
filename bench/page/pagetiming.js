// Opens a page in headless Chromium over the DevTools protocol and works it as a reader would,
// recording every task of the page's main thread meanwhile. Prints "key value" lines:
//   fcp, load       first contentful paint and the load event, ms from navigation start
//   longest.load    the longest task from navigation to two seconds after the load event
// and on a modern page also
//   first           ms from typing a word to its first match marked on screen
//   count           ms from typing it to all its matches counted ("n / N")
//   matches         how many there were
//   miss            ms from typing a word the page lacks to "0 件"
//   longest.search  the longest task while searching (both words)
//   longest.next    ... while going to the next match twenty times with Enter
//   longest.jump    ... while going back from the first match to the last (the page's end)
//   longest.filter  ... while showing one speaker only, and everyone again
//   longest.hits    ... while showing only the utterances that match
//   cpu.PHASE       the CPU time of that longest task (on a busy machine a task can take longer
//                   than the page made it work)
// Usage: node pagetiming.js PAGE [WORD]
'use strict';
const path = require('path');
const {Browser, TaskRecorder} = require('./devtools');

const page = path.resolve(process.argv[2]);
const word = process.argv[3] || 'てすと';

function report(key, value) {
    console.log(`${key} ${value}`);
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// Resolves in the page once #found reads as `pattern` says (unless `now`, only after it
// changed), with the ms since the last input event and the text.
function watchFound(pattern, now = false) {
    return `window.__watch = new Promise(function (resolve) {
        var found = document.getElementById('found');
        function look() {
            if (!${pattern}.test(found.textContent))
                return false;
            requestAnimationFrame(function () {
                resolve({ms: performance.now() - window.__typed, text: found.textContent});
            });
            return true;
        }
        if (${now} && look())
            return;
        var watch = new MutationObserver(function () {
            if (look())
                watch.disconnect();
        });
        watch.observe(found, {childList: true, characterData: true, subtree: true});
    }); 0`;
}

async function type(browser, text) {
    await browser.evaluate(`(function () {
        var q = document.getElementById('q');
        q.value = '';
        q.focus();
        q.addEventListener('input', function () { window.__typed = performance.now(); },
                           {capture: true, once: true});
    })()`);
    await browser.page('Input.insertText', {text});
}

async function key(browser, name, shift = false) {
    const code = {Enter: 13}[name];
    const common = {key: name, code: name, windowsVirtualKeyCode: code, modifiers: shift ? 8 : 0};
    await browser.page('Input.dispatchKeyEvent', {type: 'rawKeyDown', ...common});
    await browser.page('Input.dispatchKeyEvent', {type: 'char', text: '\r', ...common});
    await browser.page('Input.dispatchKeyEvent', {type: 'keyUp', ...common});
}

// Waits until #found matches `pattern` after `act` ran; gives {ms, text}.
async function until(browser, pattern, act) {
    await browser.evaluate(watchFound(pattern));
    await act();
    return browser.evaluate('window.__watch');
}

async function main() {
    const browser = await Browser.launch({width: 1000, height: 800});
    const tasks = new TaskRecorder(browser);
    try {
        await browser.page('Page.enable');
        await browser.page('Runtime.enable');
        await tasks.start();
        await tasks.mark('load');
        const loaded = browser.waitFor('Page.loadEventFired');
        await browser.page('Page.navigate', {url: 'file://' + page});
        await loaded;
        await sleep(2000);
        const timing = await browser.evaluate(`(function () {
            var nav = performance.getEntriesByType('navigation')[0];
            var fcp = performance.getEntriesByName('first-contentful-paint')[0];
            return {fcp: fcp ? fcp.startTime : -1, load: nav.loadEventStart,
                    modern: !!document.getElementById('q')};
        })()`);
        report('fcp', timing.fcp.toFixed(0));
        report('load', timing.load.toFixed(0));
        if (timing.modern) {
            await tasks.mark('search');
            const first = await until(browser, /^\d+ \//, () => type(browser, word));
            const count = await browser.evaluate(watchFound(/^(\d+ \/ \d+|0 件)$/, true) +
                                                 ';window.__watch');
            report('first', first.ms.toFixed(0));
            report('count', count.ms.toFixed(0));
            report('matches', count.text.replace(/.*\/ /, ''));
            const miss = await until(browser, /^0 件$/, () => type(browser, 'zzzzqqq'));
            report('miss', miss.ms.toFixed(0));
            await until(browser, /^\d+ \/ \d+$/, () => type(browser, word));

            await tasks.mark('next');
            for (let i = 0; i < 20; i++) {
                await key(browser, 'Enter');
                await sleep(60);
            }
            await sleep(300);

            // Back to the first match, then once more back: the last match, at the page's end.
            for (let i = 0; i < 20; i++)
                await key(browser, 'Enter', true);
            await sleep(300);
            await tasks.mark('jump');
            await key(browser, 'Enter', true);
            await sleep(1000);

            await tasks.mark('filter');
            await until(browser, /件$/, () => browser.evaluate(`(function () {
                document.getElementById('all').click();
                document.querySelector('button.only[data-s="s1"]').click();
            })()`));
            await until(browser, /^$/, () => browser.evaluate(
                `document.querySelector('button.only[data-s="s1"]').click()`));
            await sleep(300);

            await tasks.mark('hits');
            await until(browser, /^\d+ \/ \d+$/, () => type(browser, word));
            await until(browser, /^\d+ \/ \d+$/, () => browser.evaluate(
                `document.getElementById('hits').click()`));
            await sleep(500);
            await until(browser, /^\d+ \/ \d+$/, () => browser.evaluate(
                `document.getElementById('hits').click()`));
            await sleep(500);
        }
        await tasks.mark('end');
        const phases = await tasks.tasks();
        for (const [name, list] of Object.entries(phases)) {
            if (name === 'end')
                continue;
            const longest = list.reduce((a, t) => (t.ms > a.ms ? t : a), {ms: 0, cpu: 0});
            report(`longest.${name}`, longest.ms.toFixed(0));
            report(`cpu.${name}`, longest.cpu.toFixed(0));
        }
    } finally {
        await browser.close();
    }
}

main().catch((e) => {
    console.error(e.stack || String(e));
    process.exit(1);
});

// Appended to a copy of a modern page; works the page as a reader would (theme switch, speaker
// filter, search) and reports what is shown. Waits for the page's own sliced work by polling.
window.addEventListener('load', function () {
    var results = {};
    var c = window.PELORIN_EXPECTED;
    function check(name, actual, expected) {
        results[name] = {ok: actual === expected, actual: String(actual), expected: String(expected)};
    }
    function channels(color) {
        return color.match(/[\d.]+/g).slice(0, 3).map(Number);
    }
    function luminance(color) {
        var v = channels(color).map(function (x) {
            x /= 255;
            return x <= 0.04045 ? x / 12.92 : Math.pow((x + 0.055) / 1.055, 2.4);
        });
        return 0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2];
    }
    function contrast(a, b) {
        var la = luminance(a), lb = luminance(b);
        return (Math.max(la, lb) + 0.05) / (Math.min(la, lb) + 0.05);
    }
    function shown(el) {
        return el.closest('[hidden]') === null && getComputedStyle(el).display !== 'none';
    }
    function all(selector) {
        return Array.prototype.slice.call(document.querySelectorAll(selector));
    }
    function visibleBlocks() {
        return all('main .u, main .note, main .plain').filter(shown);
    }
    function lowestContrast() {
        var bg = getComputedStyle(document.body).backgroundColor;
        var lowest = 99;
        all('.legend .n, .u > a').forEach(function (el) {
            lowest = Math.min(lowest, contrast(getComputedStyle(el).color, bg));
        });
        all('.note').forEach(function (el) {
            var style = getComputedStyle(el);
            lowest = Math.min(lowest, contrast(style.color, style.backgroundColor));
        });
        return Math.round(lowest * 100) / 100;
    }
    function isDark() {
        return luminance(getComputedStyle(document.body).backgroundColor) < 0.2;
    }
    function finished() {
        return /件$/.test(document.getElementById('found').textContent);
    }
    function waitFor(condition, then) {
        var tries = 0;
        (function poll() {
            if (condition() || ++tries > 300)
                then();
            else
                setTimeout(poll, 20);
        })();
    }
    function click(selector) {
        document.querySelector(selector).click();
    }
    var steps = [
        function (next) {
            check('standards mode', document.compatMode, 'CSS1Compat');
            check('character set', document.characterSet, 'UTF-8');
            check('language', document.documentElement.lang, 'ja');
            var viewport = document.querySelector('meta[name=viewport]');
            check('viewport', viewport && viewport.content, 'width=device-width, initial-scale=1');
            // A request the policy refused still leaves an entry; the network log tells.
            if (!c.slip)
                check('nothing fetched', performance.getEntriesByType('resource').length, 0);
            check('follows the system theme', isDark(), c.systemDark);
            var text = document.querySelector('.u > p');
            check('text of at least 14 px', parseFloat(getComputedStyle(text).fontSize) >= 14, true);
            check('no sideways scrolling', document.documentElement.scrollWidth <= innerWidth, true);
            var controls = all('.top input, .top button');
            check('every control reachable by keyboard', controls.length > 0 && controls.every(
                function (el) { return el.tabIndex >= 0 && !el.disabled && shown(el); }), true);
            next();
        },
        function (next) {
            var first = lowestContrast();
            click('#theme');
            var second = lowestContrast();
            var dark = isDark();
            check('theme switch changes the theme', dark !== c.systemDark, true);
            check('light theme contrast of at least 4.5', (dark ? first : second) >= 4.5, true);
            results['light theme contrast of at least 4.5'].actual = String(dark ? first : second);
            check('dark theme contrast of at least 4.5', (dark ? second : first) >= 4.5, true);
            results['dark theme contrast of at least 4.5'].actual = String(dark ? second : first);
            next();
        },
        function (next) {
            if (!c.full)
                return next();
            click('button.only[data-s="s1"]');
            waitFor(finished, function () {
                var blocks = visibleBlocks();
                check('show only one speaker', blocks.length > 0 && blocks.every(
                    function (el) { return el.classList.contains('s1'); }), true);
                check('its utterances counted', document.getElementById('found').textContent,
                      c.firstSpeakerUtterances + ' 件');
                click('button.hide[data-s="s1"]');
                waitFor(finished, function () {
                    var blocks = visibleBlocks();
                    check('hide one speaker', blocks.length > 0 && blocks.every(
                        function (el) { return !el.classList.contains('s1'); }), true);
                    next();
                });
            });
        },
        function (next) {
            if (!c.full)
                return next();
            click('#all');
            var query = document.getElementById('q');
            query.value = c.search;
            query.dispatchEvent(new Event('input'));
            waitFor(finished, function () {
                var blocks = visibleBlocks();
                check('search shows the matching utterances', blocks.length === c.searchMatches
                      && blocks.every(function (el) { return el.textContent.indexOf(c.search) >= 0; }),
                      true);
                query.dispatchEvent(new KeyboardEvent('keydown', {key: 'Escape'}));
                waitFor(function () { return document.getElementById('found').textContent === ''; },
                        function () {
                    check('clearing the search shows everything', visibleBlocks().length,
                          all('main .u, main .note, main .plain').length);
                    next();
                });
            });
        },
        function (next) {
            var links = all('main a[href]');
            var outside = links.filter(function (a) { return a.getAttribute('href')[0] !== '#'; });
            check('links open only http and https', outside.every(function (a) {
                return /^https?:\/\//.test(a.getAttribute('href')) && a.rel === 'noopener noreferrer';
            }), true);
            check('links made', outside.length, c.links);
            check('utterance anchors', all('main .u[id^="u"] > a[href^="#u"]').length, c.utterances);
            if (!c.full)
                return next();
            check('no injected script ran', String(window.PELORIN_INJECTED), 'undefined');
            check('no injected image shown', all('img').filter(function (img) {
                return img.naturalWidth > 0;
            }).length, 0);
            check('no injected frame or form',
                  document.querySelectorAll('iframe, object, embed, form').length, 0);
            check('injected text shown', document.body.textContent.indexOf('<script>window') >= 0,
                  true);
            check('chat bold markup shows', getComputedStyle(
                      document.querySelector('main b')).fontWeight, '700');
            next();
        },
    ];
    function run(i) {
        if (i < steps.length) {
            try {
                steps[i](function () { run(i + 1); });
            } catch (e) {
                results['check script'] = {ok: false, actual: String(e), expected: 'no exception'};
                run(steps.length);
            }
            return;
        }
        var out = document.createElement('pre');
        out.id = 'pelorin-result';
        out.textContent = JSON.stringify(results);
        document.body.appendChild(out);
    }
    run(0);
});

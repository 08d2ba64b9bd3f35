// Appended to a copy of a modern page; works the page as a reader would (theme switch, speaker
// filter, search and its matches, links, grouped messages) and reports what is shown. Waits for
// the page's own sliced work by polling.
window.addEventListener('load', function () {
    var results = {};
    var c = window.PELORIN_EXPECTED;
    function check(name, actual, expected) {
        results[name] = {ok: actual === expected, actual: String(actual), expected: String(expected)};
    }
    function atLeast(name, actual, least) {
        results[name] = {ok: actual >= least, actual: String(actual), expected: '>= ' + least};
    }
    function channels(color) {
        return color.match(/[\d.]+/g).slice(0, 3).map(Number);
    }
    function linear(x) {
        x /= 255;
        return x <= 0.04045 ? x / 12.92 : Math.pow((x + 0.055) / 1.055, 2.4);
    }
    function luminance(color) {
        var v = channels(color).map(linear);
        return 0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2];
    }
    function contrast(a, b) {
        var la = luminance(a), lb = luminance(b);
        return (Math.max(la, lb) + 0.05) / (Math.min(la, lb) + 0.05);
    }
    // OKLab, the page's own measure of how different two colours look.
    function oklab(color) {
        var v = channels(color).map(linear);
        var l = Math.cbrt(0.4122214708 * v[0] + 0.5363325363 * v[1] + 0.0514459929 * v[2]);
        var m = Math.cbrt(0.2119034982 * v[0] + 0.6806995451 * v[1] + 0.1073969566 * v[2]);
        var s = Math.cbrt(0.0883024619 * v[0] + 0.2817188376 * v[1] + 0.6299787005 * v[2]);
        return [0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
                1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
                0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s];
    }
    // CIELAB under D65, for the CIE76 ΔE.
    function cielab(color) {
        var v = channels(color).map(linear);
        var xyz = [(0.4124 * v[0] + 0.3576 * v[1] + 0.1805 * v[2]) / 0.9505,
                   0.2126 * v[0] + 0.7152 * v[1] + 0.0722 * v[2],
                   (0.0193 * v[0] + 0.1192 * v[1] + 0.9505 * v[2]) / 1.089];
        var f = xyz.map(function (t) {
            return t > 0.008856 ? Math.cbrt(t) : 7.787 * t + 16 / 116;
        });
        return [116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])];
    }
    function distance(p, q) {
        return Math.hypot(p[0] - q[0], p[1] - q[1], p[2] - q[2]);
    }
    function shown(el) {
        return el.closest('[hidden]') === null && getComputedStyle(el).display !== 'none';
    }
    function all(selector) {
        return Array.prototype.slice.call(document.querySelectorAll(selector));
    }
    function blocks() {
        return all('main .u, main .note, main .plain');
    }
    function visibleBlocks() {
        return blocks().filter(shown);
    }
    function round(x) {
        return Math.round(x * 1000) / 1000;
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
        return round(lowest);
    }
    // The smallest difference between two speakers' colours in the legend, in OKLab and as ΔE.
    function closestColours() {
        var colours = all('.legend .n').map(function (el) { return getComputedStyle(el).color; });
        var least = [99, 999];
        for (var i = 0; i < colours.length; i++) {
            for (var j = i + 1; j < colours.length; j++) {
                least = [Math.min(least[0], distance(oklab(colours[i]), oklab(colours[j]))),
                         Math.min(least[1], distance(cielab(colours[i]), cielab(colours[j])))];
            }
        }
        return least.map(round);
    }
    // Each speaker's bar in the statistics has the colour of its swatch in the legend.
    function statsInSpeakerColours() {
        return all('#stats .who tbody tr').every(function (row) {
            var swatch = document.querySelector('.legend li.' + row.className.match(/s\d+/)[0]
                                                + ' .sw');
            return getComputedStyle(row.querySelector('rect')).fill
                === getComputedStyle(swatch).backgroundColor;
        });
    }
    function same(name, actual, expected) {
        check(name, JSON.stringify(actual), JSON.stringify(expected));
    }
    function texts(selector) {
        return all(selector).map(function (el) { return el.textContent; });
    }
    function isDark() {
        return luminance(getComputedStyle(document.body).backgroundColor) < 0.2;
    }
    var found = document.getElementById('found');
    var query = document.getElementById('q');
    function waitFor(condition, then) {
        var tries = 0;
        (function poll() {
            if (condition() || ++tries > 300)
                then();
            else
                setTimeout(poll, 20);
        })();
    }
    function settled() {
        return /件$|^\d+ \/ \d+$|^$/.test(found.textContent);
    }
    function click(selector) {
        document.querySelector(selector).click();
    }
    function search(words, then) {
        query.value = words;
        query.dispatchEvent(new Event('input'));
        setTimeout(function () { waitFor(settled, then); }, 60);
    }
    function press(shift) {
        query.dispatchEvent(new KeyboardEvent('keydown', {key: 'Enter', shiftKey: !!shift}));
    }
    function marked(name) {
        var h = CSS.highlights.get(name);
        var texts = [];
        if (h) {
            h.forEach(function (r) {
                var range = document.createRange();
                range.setStart(r.startContainer, r.startOffset);
                range.setEnd(r.endContainer, r.endOffset);
                texts.push(range.toString());
            });
        }
        return texts.join('|');
    }
    function inView(el) {
        var box = el.getBoundingClientRect();
        return box.top >= document.getElementById('tools').getBoundingClientRect().bottom
            && box.bottom <= innerHeight;
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
            var controls = all('.tools input, .tools button, .legend button');
            check('every control reachable by keyboard', controls.length > 0 && controls.every(
                function (el) { return el.tabIndex >= 0 && !el.disabled && shown(el); }), true);
            next();
        },
        function (next) {
            // The charts after the utterances: a row for each speaker, and a dated chat's
            // figures as the page states them.
            check('statistics linked from the head',
                  !!document.querySelector('.facts a[href="#stats"]'), true);
            check('a row per speaker in the statistics', all('#stats .who tbody tr').length,
                  all('.legend li').length);
            if (c.stats) {
                same('utterances per speaker', all('#stats .who tbody tr').map(function (row) {
                    return row.cells[0].textContent + ': ' + row.cells[1].textContent;
                }), c.stats.speakers);
                same('utterances per month', texts('#stats .mb title'), c.stats.months);
                same('first and last utterance, longest run', texts('#stats .moments dd'),
                     c.stats.moments);
                same('busiest hour and weekday', texts('#stats .hc.q4 title'), c.stats.busiest);
                check('names in the statistics stay text',
                      document.querySelectorAll('#stats script').length
                      + String(window.PELORIN_INJECTED), '0undefined');
            }
            next();
        },
        function (next) {
            var first = lowestContrast(), firstApart = closestColours();
            var firstStats = statsInSpeakerColours();
            click('#theme');
            var second = lowestContrast(), secondApart = closestColours();
            check('statistics in the speakers\' colours in both themes',
                  firstStats && statsInSpeakerColours(), true);
            var dark = isDark();
            check('theme switch changes the theme', dark !== c.systemDark, true);
            atLeast('light theme contrast', dark ? first : second, 4.5);
            atLeast('dark theme contrast', dark ? second : first, 4.5);
            if (c.apart) {
                var lightApart = dark ? firstApart : secondApart;
                var darkApart = dark ? secondApart : firstApart;
                atLeast('light theme speaker colours apart (OKLab)', lightApart[0], c.apart);
                atLeast('dark theme speaker colours apart (OKLab)', darkApart[0], c.apart);
                atLeast('light theme speaker colours apart (CIE76)', lightApart[1], c.deltaE);
                atLeast('dark theme speaker colours apart (CIE76)', darkApart[1], c.deltaE);
                check('speakers in the legend', all('.legend .n').length, c.speakers);
            }
            next();
        },
        function (next) {
            if (!c.full)
                return next();
            click('button.only[data-s="s1"]');
            waitFor(settled, function () {
                var shownNow = visibleBlocks();
                check('show only one speaker', shownNow.length > 0 && shownNow.every(
                    function (el) { return el.classList.contains('s1'); }), true);
                check('its utterances counted', found.textContent, c.firstSpeakerUtterances + ' 件');
                click('button.hide[data-s="s1"]');
                setTimeout(function () {
                    waitFor(settled, function () {
                        var rest = visibleBlocks();
                        check('hide one speaker', rest.length > 0 && rest.every(
                            function (el) { return !el.classList.contains('s1'); }), true);
                        click('#all');
                        next();
                    });
                }, 20);
            });
        },
        // A search keeps the conversation: every block stays, the matches are marked, Enter and
        // Shift+Enter go through them, and the one shown is on screen.
        function (next) {
            if (!c.full)
                return next();
            search(c.search, function () {
                check('search counts its matches', found.textContent, '1 / ' + c.searchMatches);
                check('search keeps every block', visibleBlocks().length, blocks().length);
                check('matches marked', marked('hit'), Array(c.searchMatches + 1).join('|' + c.search)
                      .slice(1));
                check('the match shown marked', marked('hit-now'), c.search);
                press();
                check('Enter goes to the next match', found.textContent, '2 / ' + c.searchMatches);
                var now = document.querySelector('.now');
                check('the match shown is on screen', !!now && inView(now), true);
                press(true);
                check('Shift+Enter goes back', found.textContent, '1 / ' + c.searchMatches);
                press(true);
                check('going back from the first wraps to the last', found.textContent,
                      c.searchMatches + ' / ' + c.searchMatches);
                click('#next');
                check('the next button', found.textContent, '1 / ' + c.searchMatches);
                click('#hits');
                setTimeout(function () {
                    waitFor(settled, function () {
                        var matching = visibleBlocks();
                        check('only the matching utterances', matching.length === c.searchMatches
                              && matching.every(function (el) {
                                  return el.textContent.indexOf(c.search) >= 0;
                              }), true);
                        check('their names all shown', matching.every(function (el) {
                            return el.firstElementChild.getBoundingClientRect().width > 0;
                        }), true);
                        click('#hits');
                        query.dispatchEvent(new KeyboardEvent('keydown', {key: 'Escape'}));
                        setTimeout(function () {
                            waitFor(function () { return found.textContent === ''; }, function () {
                                check('clearing the search shows everything',
                                      visibleBlocks().length, blocks().length);
                                check('and marks nothing', marked('hit') + marked('hit-now'), '');
                                next();
                            });
                        }, 20);
                    });
                }, 20);
            });
        },
        // Matching ignores case and width and takes katakana for hiragana: each query finds the
        // text as the log wrote it, and marks just that.
        function (next) {
            var pairs = (c.fold || []).slice();
            (function one() {
                var pair = pairs.shift();
                if (!pair)
                    return next();
                search(pair[0], function () {
                    check('"' + pair[0] + '" finds "' + pair[1] + '"',
                          found.textContent + ' ' + marked('hit-now'), '1 / 1 ' + pair[1]);
                    one();
                });
            })();
        },
        function (next) {
            var links = all('main a[href]');
            var outside = links.filter(function (a) { return a.getAttribute('href')[0] !== '#'; });
            check('links open only http and https', outside.every(function (a) {
                return /^https?:\/\//.test(a.getAttribute('href')) && a.rel === 'noopener noreferrer';
            }), true);
            check('links made', outside.length, c.links);
            check('link text is the address as written', outside.every(function (a) {
                return a.textContent === a.getAttribute('href');
            }), true);
            if (c.address)
                check('an address with parameters', outside.some(function (a) {
                    return a.textContent === c.address;
                }), true);
            check('utterance anchors', all('main .u[id^="u"] > a[href^="#u"]').length, c.utterances);
            if (c.grouped !== undefined) {
                var grouped = all('main .u.g');
                check('a speaker\'s run under one name', grouped.length, c.grouped);
                check('its later names not shown', grouped.every(function (el) {
                    return el.firstElementChild.getBoundingClientRect().width === 0;
                }), true);
                location.hash = '#' + grouped[0].id;
                var target = document.querySelector(':target');
                check('a linked utterance is marked', target === grouped[0]
                      && getComputedStyle(target).outlineStyle, 'solid');
            }
            // Measured laid out: a part of the page out of view may not be (content-visibility),
            // and the checks before may have scrolled the first message out of it.
            var first = all('main .u > a')[0], shown = [];
            for (var el = first; el; el = el.parentElement) {
                if (el.classList.contains('chap') || el.classList.contains('part')) {
                    shown.push(el);
                    el.style.contentVisibility = 'visible';
                }
            }
            var mark = getComputedStyle(first, '::after');
            var side = Math.min(parseFloat(mark.width), parseFloat(mark.height));
            shown.forEach(function (el) { el.style.contentVisibility = ''; });
            atLeast('the "#" link a 24 px target', side, 24);
            if (c.days !== undefined)
                check('day headings', all('main h2.day').length, c.days);
            if (c.days > 2) {
                // A jump to a day's first message, as the page makes it: its heading shows too.
                var day = all('main h2.day')[2];
                location.hash = '#' + day.nextElementSibling.id;
                day.nextElementSibling.scrollIntoView({block: 'start'});
                atLeast('a day heading below the toolbar after a jump',
                        Math.round(day.getBoundingClientRect().top),
                        Math.round(document.querySelector('.tools').getBoundingClientRect().bottom));
            }
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
        // The calendar: its days and counts, and a day's link landing on the day's heading below
        // the toolbar, also when the sections on the way are drawn only as they come into view.
        function (next) {
            if (!c.calendar)
                return next();
            same('calendar days', all('#cal .cd a').map(function (a) { return a.title; }),
                 c.calendar.days);
            check('the latest year open', all('#cal details[open]').map(function (d) {
                return d.querySelector('summary').firstChild.textContent;
            }).join(), c.calendar.open);
            document.querySelector('#cal a[href="#' + c.calendar.jump + '"]').click();
            var day = document.getElementById(c.calendar.jump), waited = 0;
            (function look() {
                var top = day.getBoundingClientRect().top;
                var shown = top >= document.getElementById('tools').getBoundingClientRect().bottom
                    && top < innerHeight;
                if (!shown && (waited += 100) < 8000)
                    return setTimeout(look, 100);
                check('a calendar day lands on its heading', shown && day.matches('h2.day'), true);
                next();
            })();
        },
        // The head's link to the statistics: their heading ends up below the toolbar, also
        // when the sections on the way are drawn only as they come into view.
        function (next) {
            // The page settles it over frames, which a busy machine draws late: looked at until
            // it is in view, for some seconds at most.
            click('.facts a[href="#stats"]');
            var waited = 0;
            (function look() {
                var top = document.querySelector('#stats h2').getBoundingClientRect().top;
                var tools = document.getElementById('tools').getBoundingClientRect().bottom;
                var shown = top >= tools && top < innerHeight;
                if (!shown && (waited += 100) < 8000)
                    return setTimeout(look, 100);
                check('the statistics in view after their link', shown, true);
                next();
            })();
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

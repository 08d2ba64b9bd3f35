// Appended to a copy of a page by bench/page/run. Reports on the console, as "PELORIN key
// value" lines: first contentful paint and the load event (ms from navigation start); on a
// modern page also how long showing one speaker, a search and a jump to the end take, and the
// longest task meanwhile (the longest the tab stood still).
(function () {
    function report(key, value) {
        console.log('PELORIN ' + key + ' ' + value);
    }
    var longest = 0;
    try {
        new PerformanceObserver(function (list) {
            list.getEntries().forEach(function (e) { longest = Math.max(longest, e.duration); });
        }).observe({type: 'longtask', buffered: false});
    } catch (e) { }
    function waitFor(condition, then) {
        (function poll() {
            if (condition())
                then();
            else
                setTimeout(poll, 10);
        })();
    }
    window.addEventListener('load', function () {
        setTimeout(function () {
            var nav = performance.getEntriesByType('navigation')[0];
            var fcp = performance.getEntriesByName('first-contentful-paint')[0];
            report('fcp', fcp ? fcp.startTime.toFixed(0) : 'none');
            report('load', nav.loadEventStart.toFixed(0));
            var found = document.getElementById('found');
            if (!found) {
                report('done', 1);
                return;
            }
            var finished = function () { return /件$/.test(found.textContent); };
            longest = 0;
            var start = performance.now();
            document.querySelector('button.only[data-s="s1"]').click();
            waitFor(finished, function () {
                report('filter', (performance.now() - start).toFixed(0));
                document.getElementById('all').click();
                var q = document.getElementById('q');
                q.value = 'zzzzzz';
                start = performance.now();
                q.dispatchEvent(new Event('input'));
                waitFor(function () { return found.textContent === '0 件'; }, function () {
                    report('search', (performance.now() - start - 150).toFixed(0));
                    document.getElementById('all').click();
                    start = performance.now();
                    window.scrollTo(0, document.documentElement.scrollHeight);
                    requestAnimationFrame(function () {
                        requestAnimationFrame(function () {
                            report('scroll', (performance.now() - start).toFixed(0));
                            report('longtask', longest.toFixed(0));
                            report('done', 1);
                        });
                    });
                });
            });
        }, 0);
    });
})();

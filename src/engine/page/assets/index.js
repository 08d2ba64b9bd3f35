(function () {
  'use strict';
  var root = document.documentElement;
  root.classList.add('js');
  var query = document.getElementById('q');
  var status = document.getElementById('status');
  var hitList = document.getElementById('hits');
  var rows = Array.prototype.slice.call(document.querySelectorAll('tbody tr[data-page]'));
  var ShownHits = 100;
  var CountedHits = 100000;

  // A page links to its neighbours through the index ("#older=PAGE", "#newer=PAGE"): the rows
  // are newest first, so the older page is the next row.
  function follow() {
    var m = /^#(older|newer)=(.+)$/.exec(location.hash);
    if (!m)
      return;
    var at = -1;
    for (var i = 0; i < rows.length; i++) {
      rows[i].classList.remove('here');
      if (rows[i].getAttribute('data-page') === m[2])
        at = i;
    }
    if (at < 0) {
      status.textContent = 'そのページはこの一覧にありません。';
      return;
    }
    var next = m[1] === 'older' ? at + 1 : at - 1;
    if (next >= 0 && next < rows.length) {
      location.replace(rows[next].getAttribute('data-page'));
      return;
    }
    rows[at].classList.add('here');
    rows[at].scrollIntoView({block: 'center'});
    status.textContent = m[1] === 'older' ? 'これより前のページはありません。'
                                         : 'これより後のページはありません。';
  }
  follow();
  window.addEventListener('hashchange', follow);

  // The timeline: the whole archive's months, a row a year, each shaded by the utterances of
  // all pages in it (the rows' "data-months"). A month's button lists the pages of that month,
  // each linked to its first day there (the row's "data-days") where the page has day anchors.
  // Built here from the rows, so without the script the index is the table alone.
  function timeline() {
    var Shades = 4;
    var perMonth = {}, first = Infinity, last = -Infinity;
    rows.forEach(function (row) {
      var parts = (row.getAttribute('data-months') || '').split(' ');
      var m = /^(\d{4})\/(\d{2})$/.exec(parts[0]);
      if (!m || parts.length < 2)
        return;
      var start = Number(m[1]) * 12 + Number(m[2]) - 1;
      var days = (row.getAttribute('data-days') || '').split(' ');
      var anchored = row.getAttribute('data-anchors') === '1' && days.length === parts.length - 1;
      for (var i = 1; i < parts.length; i++) {
        var count = Number(parts[i]);
        if (!(count > 0))
          continue;
        var month = start + i - 1;
        (perMonth[month] = perMonth[month] || []).push(
          {row: row, count: count, day: anchored ? Number(days[i - 1]) : 0});
        first = Math.min(first, month);
        last = Math.max(last, month);
      }
    });
    if (first > last)
      return;
    var totals = {}, busiest = 1;
    Object.keys(perMonth).forEach(function (month) {
      totals[month] = perMonth[month].reduce(function (sum, p) { return sum + p.count; }, 0);
      busiest = Math.max(busiest, totals[month]);
    });
    function el(name, className, text) {
      var e = document.createElement(name);
      if (className)
        e.className = className;
      if (text !== undefined)
        e.textContent = text;
      return e;
    }
    function two(n) { return (n < 10 ? '0' : '') + n; }
    var section = el('section', 'tl');
    section.setAttribute('aria-labelledby', 'tl-t');
    var heading = el('h2', '', 'タイムライン');
    heading.id = 'tl-t';
    section.appendChild(heading);
    section.appendChild(el('p', '', '月を選ぶと、その月のチャットが出ます（濃いほど発言が多い月）。'));
    var grid = el('div', 'tl-grid');
    grid.appendChild(el('span', 'tl-y'));
    for (var h = 1; h <= 12; h++)
      grid.appendChild(el('span', 'tl-h', String(h)));
    var list = el('div', 'tl-list');
    list.setAttribute('aria-live', 'polite');
    var pressed = null;
    function show(month, button) {
      if (pressed)
        pressed.setAttribute('aria-pressed', 'false');
      pressed = button;
      button.setAttribute('aria-pressed', 'true');
      var year = Math.floor(month / 12), number = month % 12 + 1;
      var pages = perMonth[month].slice().sort(function (a, b) { return b.count - a.count; });
      list.textContent = '';
      list.appendChild(el('h3', '', year + '年' + number + '月・' + pages.length + ' ページ・'
                                    + totals[month] + ' 件'));
      var ul = el('ul');
      pages.forEach(function (p) {
        var li = el('li');
        var a = el('a', '', titleOf(p.row));
        a.href = p.row.getAttribute('data-page')
          + (p.day > 0 ? '#d' + ('000' + year).slice(-4) + two(number) + two(p.day) : '');
        li.appendChild(a);
        // Chats of one name are told apart by their logs, as in the rows.
        var log = p.row.querySelector('td.chat .log');
        if (log && p.row.getAttribute('data-chat'))
          li.appendChild(el('span', 'cnt', log.textContent));
        li.appendChild(el('span', 'cnt', p.count + ' 件'));
        ul.appendChild(li);
      });
      list.appendChild(ul);
    }
    for (var y = Math.floor(first / 12); y <= Math.floor(last / 12); y++) {
      grid.appendChild(el('span', 'tl-y', String(y)));
      for (var k = 0; k < 12; k++) {
        var month = y * 12 + k, total = totals[month] || 0;
        if (!total) {
          grid.appendChild(el('span', 'tl-c'));
          continue;
        }
        var b = el('button', 'tl-c q' + Math.ceil(total * Shades / busiest));
        b.type = 'button';
        b.setAttribute('aria-pressed', 'false');
        b.setAttribute('aria-label', y + '年' + (k + 1) + '月 ' + total + ' 件');
        b.title = b.getAttribute('aria-label');
        b.tabIndex = -1;
        b.setAttribute('data-month', String(month));
        b.addEventListener('click', show.bind(null, month, b));
        grid.appendChild(b);
      }
    }
    // One stop for the Tab key, the latest month; the arrows go from month to month (up and
    // down a year), so that the table after it is a Tab away, not a hundred.
    var cells = Array.prototype.slice.call(grid.querySelectorAll('button'));
    cells[cells.length - 1].tabIndex = 0;
    grid.addEventListener('keydown', function (event) {
      var at = cells.indexOf(event.target);
      if (at < 0)
        return;
      var month = Number(event.target.getAttribute('data-month')), to = -1;
      if (event.key === 'ArrowLeft' || event.key === 'ArrowRight') {
        to = at + (event.key === 'ArrowLeft' ? -1 : 1);
      } else if (event.key === 'ArrowUp' || event.key === 'ArrowDown') {
        // The nearest month with words in the year above or below.
        var want = month + (event.key === 'ArrowUp' ? -12 : 12), best = Infinity;
        cells.forEach(function (c, i) {
          var m = Number(c.getAttribute('data-month'));
          if (Math.floor(m / 12) === Math.floor(want / 12) && Math.abs(m - want) < best) {
            best = Math.abs(m - want);
            to = i;
          }
        });
      } else if (event.key === 'Home' || event.key === 'End') {
        to = event.key === 'Home' ? 0 : cells.length - 1;
      } else {
        return;
      }
      event.preventDefault();
      if (to < 0 || to >= cells.length)
        return;
      event.target.tabIndex = -1;
      cells[to].tabIndex = 0;
      cells[to].focus();
    });
    section.appendChild(grid);
    section.appendChild(list);
    var main = document.querySelector('main');
    main.insertBefore(section, main.firstChild);
  }
  timeline();

  // Text and words are matched folded (search.js).
  var fold = pelorinSearch.fold, places = pelorinSearch.places, endOf = pelorinSearch.endOf;
  var blockAt = pelorinSearch.blockAt;
  // Each page's utterances, joined by a character no text holds, folded once when it arrives.
  var Separator = '\u0001';
  var pages = [];
  var wanted = 0, arrived = 0, missing = 0, started = false;

  function titleOf(row) {
    return row.querySelector('td.chat a').textContent;
  }
  window.pelorinSearchData = function (version, name, speakers, items) {
    var script = document.currentScript;
    var row = script && rows[Number(script.getAttribute('data-row'))];
    if (version !== 1 || !row)
      return;
    var texts = [], who = [], dayStarts = [], days = [];
    for (var i = 0; i < items.length;) {
      if (typeof items[i] === 'string') {
        dayStarts.push(texts.length);
        days.push(items[i++]);
        continue;
      }
      var text = String(items[i + 1]);
      who.push(items[i]);
      texts.push(text.indexOf(Separator) < 0 ? text : text.split(Separator).join(' '));
      i += 2;
    }
    var folded = fold(texts.join(Separator));
    var starts = new Int32Array(texts.length + 1);
    for (var k = 1, p = 0; k < texts.length; k++) {
      p = folded.indexOf(Separator, p) + 1;
      starts[k] = p;
    }
    starts[texts.length] = folded.length + 1;
    pages[Number(script.getAttribute('data-row'))] = {
      row: row, title: titleOf(row), link: row.getAttribute('data-page'),
      anchors: row.getAttribute('data-anchors') === '1', speakers: speakers, texts: texts,
      who: who, dayStarts: dayStarts, days: days, folded: folded, starts: starts
    };
  };

  // While the pages arrive, a search already typed goes through those in, now and then, so the
  // first hits show long before a large archive is all in; the last pass is the full one.
  var partly = 0;
  function preparing() {
    return '検索の準備中… ' + (arrived + missing) + ' / ' + wanted + ' ページ'
      + (words && !hitList.hidden ? '。届いたページの一致を表示しています' : '');
  }
  function progress() {
    if (arrived + missing < wanted) {
      status.textContent = preparing();
      if (words && !partly)
        partly = setTimeout(function () { partly = 0; search(); }, 400);
      return;
    }
    clearTimeout(partly);
    partly = 0;
    status.textContent = '';
    search();
  }
  // The search data of every page, loaded as scripts beside the pages, a few at a time.
  function load() {
    if (started)
      return;
    started = true;
    // Pages listed by earlier versions, or whose data could not be written, have none.
    var queue = [];
    rows.forEach(function (row, at) {
      if (row.getAttribute('data-search') === '1')
        queue.push(at);
    });
    wanted = rows.length;
    missing = rows.length - queue.length;
    var next = 0;
    function one() {
      if (next >= queue.length)
        return;
      var at = queue[next++];
      var script = document.createElement('script');
      script.setAttribute('data-row', String(at));
      script.onload = function () {
        if (pages[at])
          arrived++;
        else
          missing++;
        script.remove();
        progress();
        one();
      };
      script.onerror = function () {
        missing++;
        script.remove();
        progress();
        one();
      };
      script.src = rows[at].getAttribute('data-page') + '.js';
      document.body.appendChild(script);
    }
    for (var i = 0; i < 4; i++)
      one();
    progress();
  }

  function dayOf(page, m) {
    var day = '';
    for (var i = 0; i < page.dayStarts.length && page.dayStarts[i] <= m; i++)
      day = page.days[i];
    return day;
  }
  // Where in `text` the folded words are; null when they are not in it.
  function locate(text, words) {
    var at = fold(text).indexOf(words);
    if (at < 0)
      return null;
    var from = places(text);
    return [from ? from[at] : at, endOf(from, at + words.length)];
  }
  function snippet(text, words, near) {
    // Long texts are looked at around the place the folded text named.
    var base = Math.max(0, near - 200);
    var place = locate(text.slice(base, near + words.length + 200), words);
    var span = document.createElement('span');
    span.className = 'snip';
    var flat = function (s) { return s.replace(/\s+/g, ' '); };
    if (!place) {
      span.textContent = flat(text.slice(0, 160));
      return span;
    }
    var start = base + place[0], end = base + place[1];
    var from = Math.max(0, start - 40);
    span.appendChild(document.createTextNode((from > 0 ? '…' : '') + flat(text.slice(from, start))));
    var mark = document.createElement('mark');
    mark.textContent = text.slice(start, end);
    span.appendChild(mark);
    var to = Math.min(text.length, end + 100);
    span.appendChild(document.createTextNode(flat(text.slice(end, to)) + (to < text.length ? '…' : '')));
    return span;
  }
  function hitItem(page, m, near, words) {
    var li = document.createElement('li');
    var a = document.createElement('a');
    a.href = page.link + (page.anchors ? '#u' + (m + 1) : '');
    var head = document.createElement('span');
    head.className = 'hit-head';
    var parts = [['hit-page', page.title], ['hit-date', dayOf(page, m)],
                 ['hit-who', String(page.speakers[page.who[m]] || '')]];
    parts.forEach(function (part) {
      if (!part[1])
        return;
      var s = document.createElement('span');
      s.className = part[0];
      s.textContent = part[1];
      head.appendChild(s);
    });
    a.appendChild(head);
    a.appendChild(snippet(page.texts[m], words, near));
    li.appendChild(a);
    return li;
  }

  // One pass over every page, newest first, a few milliseconds at a time.
  var pass = 0;
  var words = '';
  function search() {
    var mine = ++pass;
    var found = [], total = 0, pagesHit = 0, index = 0;
    if (!words) {
      hitList.textContent = '';
      hitList.hidden = true;
      status.textContent = '';
      return;
    }
    var early = arrived + missing < wanted; // only the pages in so far
    if (!early)
      status.textContent = '検索中…';
    function slice() {
      if (mine !== pass)
        return;
      var until = performance.now() + 12;
      while (index < pages.length && performance.now() < until) {
        var page = pages[index++];
        if (!page)
          continue;
        var f = page.folded, from = 0, at, hit = false;
        while (total < CountedHits && (at = f.indexOf(words, from)) >= 0) {
          var m = blockAt(page.starts, at);
          if (found.length < ShownHits)
            found.push([page, m, at - page.starts[m]]);
          total++;
          hit = true;
          from = page.starts[m + 1];
        }
        if (hit)
          pagesHit++;
      }
      if (index < pages.length && total < CountedHits) {
        setTimeout(slice, 0);
        return;
      }
      show(found, total, pagesHit, early);
    }
    slice();
  }
  function show(found, total, pagesHit, early) {
    // The last list stays until this one is ready, so that it does not flicker while pages
    // arrive.
    var list = document.createDocumentFragment();
    found.forEach(function (f) { list.appendChild(hitItem(f[0], f[1], f[2], words)); });
    hitList.textContent = '';
    hitList.appendChild(list);
    hitList.hidden = found.length === 0;
    if (early) {
      status.textContent = preparing();
      return;
    }
    // Past the count the search stops, so the pages are not all counted either.
    var text = total === 0 ? '見つかりませんでした。'
      : total >= CountedHits ? total + ' 件以上' : total + ' 件（' + pagesHit + ' ページ）';
    if (total > found.length)
      text += '。新しい順に ' + found.length + ' 件を表示しています';
    if (missing)
      text += '。' + missing + ' ページは検索データがありません';
    status.textContent = text;
  }

  var waiting = 0;
  query.addEventListener('focus', load);
  query.addEventListener('input', function () {
    load();
    clearTimeout(waiting);
    waiting = setTimeout(function () {
      words = fold(query.value.trim()).split(Separator).join('');
      search();
    }, 100);
  });
  query.addEventListener('keydown', function (event) {
    if (event.key === 'Escape' && query.value) {
      query.value = '';
      words = '';
      search();
    }
  });
})();

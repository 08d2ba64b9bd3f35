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
  var missing = rows.filter(function (row) { return row.getAttribute('data-search') !== '1'; }).length;

  function titleOf(row) {
    return row.querySelector('td.chat a').textContent;
  }

  // The term files (written beside the index): which pages hold each folded character and
  // pair of characters, and in how many utterances. A search loads the few its words fall in
  // and reads the text of those pages alone; without them it reads every page's text.
  var terms = (function () {
    var meta = document.querySelector('meta[name="pelorin-terms"]');
    var m = meta && /^([^ ]+\/) (\d+)$/.exec(meta.getAttribute('content'));
    return m ? {folder: m[1], shards: Number(m[2]), loaded: {}, waiting: {}} : null;
  })();
  var digit = {};
  '0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz-_'.split('').forEach(
    function (c, i) { digit[c] = i; });
  // A term's pages: their rows, and the utterances there that hold it.
  function postings(text) {
    var rowsOf = [], counts = [], row = -1, pair = [], n = 0;
    for (var i = 0; i < text.length; i++) {
      var v = digit[text[i]];
      n = n * 32 + (v & 31);
      if (v >= 32)
        continue;
      pair.push(n);
      n = 0;
      if (pair.length === 2) {
        row += pair[0] + 1;
        rowsOf.push(row);
        counts.push(pair[1] + 1);
        pair = [];
      }
    }
    return {rows: rowsOf, counts: counts};
  }
  function shardOf(term) {
    var key = (term.charCodeAt(0) << 16 | (term.length > 1 ? term.charCodeAt(1) : 0)) >>> 0;
    return (Math.imul(key, 0x9E3779B1 | 0) >>> 16) & (terms.shards - 1);
  }
  window.pelorinSearchTerms = function (version, shard, items) {
    var script = document.currentScript;
    if (version !== 1 || !terms || !script || Number(script.getAttribute('data-shard')) !== shard)
      return;
    var map = new Map();
    for (var i = 0; i + 1 < items.length; i += 2)
      map.set(items[i], items[i + 1]);
    terms.loaded[shard] = map;
  };
  function loadShard(shard, done) {
    if (terms.loaded[shard] !== undefined)
      return done();
    if (terms.waiting[shard])
      return terms.waiting[shard].push(done);
    terms.waiting[shard] = [done];
    var script = document.createElement('script');
    script.setAttribute('data-shard', String(shard));
    script.onload = script.onerror = function () {
      if (terms.loaded[shard] === undefined)
        terms.loaded[shard] = null; // missing or broken: the search reads every page
      script.remove();
      var callbacks = terms.waiting[shard];
      delete terms.waiting[shard];
      callbacks.forEach(function (f) { f(); });
    };
    script.src = terms.folder + ('000' + shard).slice(-4) + '.js';
    document.body.appendChild(script);
  }
  // The terms looked up for the words: the word itself when it is one unit, else its pairs
  // (at most eight, spread over it).
  function termsOf(words) {
    if (words.length === 1)
      return [words];
    var pairs = [];
    for (var i = 0; i + 1 < words.length; i++) {
      var pair = words.substr(i, 2);
      if (pair.indexOf('\u0000') < 0 && pairs.indexOf(pair) < 0)
        pairs.push(pair);
    }
    if (pairs.length <= 8)
      return pairs;
    var some = [];
    for (var k = 0; k < 8; k++)
      some.push(pairs[Math.round(k * (pairs.length - 1) / 7)]);
    return some;
  }
  // The pages that may hold the words (newest first), and when the words are one or two
  // units, how many utterances do. Null when the term files cannot tell.
  function candidates(words, done) {
    var wanted = terms ? termsOf(words) : [];
    if (!wanted.length)
      return done(null);
    var left = wanted.length;
    wanted.forEach(function (term) {
      loadShard(shardOf(term), function () {
        if (--left === 0)
          done(intersect(wanted, words.length <= 2));
      });
    });
  }
  function intersect(wanted, exact) {
    var lists = [];
    for (var i = 0; i < wanted.length; i++) {
      var map = terms.loaded[shardOf(wanted[i])];
      if (!map)
        return null;
      var text = map.get(wanted[i]);
      if (text === undefined)
        return {rows: [], counts: [], exact: true};
      lists.push(postings(text));
    }
    lists.sort(function (a, b) { return a.rows.length - b.rows.length; });
    var result = lists[0];
    for (var l = 1; l < lists.length; l++) {
      var other = lists[l], rowsOf = [], counts = [], j = 0;
      for (var r = 0; r < result.rows.length; r++) {
        while (j < other.rows.length && other.rows[j] < result.rows[r])
          j++;
        if (j < other.rows.length && other.rows[j] === result.rows[r]) {
          rowsOf.push(result.rows[r]);
          counts.push(Math.min(result.counts[r], other.counts[j]));
        }
      }
      result = {rows: rowsOf, counts: counts};
    }
    result.exact = exact;
    return result;
  }

  // The text of pages, loaded as scripts beside them; the latest few kept for the next search.
  var CachedUnits = 16 * 1024 * 1024;
  var cache = new Map(), cachedUnits = 0, loading = {};
  window.pelorinSearchData = function (version, name, speakers, items) {
    var script = document.currentScript;
    var at = script ? Number(script.getAttribute('data-row')) : -1;
    var row = rows[at];
    if (version !== 1 || !row || !loading[at])
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
    loading[at].page = {
      row: row, title: titleOf(row), link: row.getAttribute('data-page'),
      anchors: row.getAttribute('data-anchors') === '1', speakers: speakers, texts: texts,
      who: who, dayStarts: dayStarts, days: days, folded: folded, starts: starts
    };
  };
  function loadPage(at, done) {
    var page = cache.get(at);
    if (page) {
      cache.delete(at);
      cache.set(at, page);
      return done(page);
    }
    if (loading[at])
      return loading[at].callbacks.push(done);
    loading[at] = {callbacks: [done], page: null};
    var script = document.createElement('script');
    script.setAttribute('data-row', String(at));
    script.onload = script.onerror = function () {
      var load = loading[at];
      delete loading[at];
      script.remove();
      if (load.page) {
        cache.set(at, load.page);
        cachedUnits += load.page.folded.length;
        cache.forEach(function (old, key) {
          if (cachedUnits > CachedUnits && key !== at) {
            cache.delete(key);
            cachedUnits -= old.folded.length;
          }
        });
      }
      load.callbacks.forEach(function (f) { f(load.page); });
    };
    script.src = rows[at].getAttribute('data-page') + '.js';
    document.body.appendChild(script);
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
  function hitItem(hit, words) {
    var li = document.createElement('li');
    var a = document.createElement('a');
    a.href = hit.link + (hit.anchors ? '#u' + (hit.m + 1) : '');
    var head = document.createElement('span');
    head.className = 'hit-head';
    var parts = [['hit-page', hit.title], ['hit-date', hit.day], ['hit-who', hit.who]];
    parts.forEach(function (part) {
      if (!part[1])
        return;
      var s = document.createElement('span');
      s.className = part[0];
      s.textContent = part[1];
      head.appendChild(s);
    });
    a.appendChild(head);
    a.appendChild(snippet(hit.text, words, hit.near));
    li.appendChild(a);
    return li;
  }

  // A search: the pages that may hold the words, read newest first (a few loading ahead),
  // until the list is full and, where the term files could not count them, every hit counted.
  var ShownHits = 100, CountedHits = 100000, Ahead = 4;
  var pass = 0;
  var words = '';
  function search() {
    var mine = ++pass;
    if (!words) {
      hitList.textContent = '';
      hitList.hidden = true;
      status.textContent = '';
      return;
    }
    status.textContent = '検索中…';
    var asked = words;
    candidates(asked, function (known) {
      if (mine !== pass)
        return;
      var list = known ? known.rows : rows.map(function (row, at) {
        return row.getAttribute('data-search') === '1' ? at : -1;
      }).filter(function (at) { return at >= 0; });
      read(mine, asked, list, known && known.exact ? known : null);
    });
  }
  function read(mine, asked, list, counted) {
    var found = [], total = 0, pagesHit = 0, next = 0, requested = 0, pages = {};
    if (counted) {
      counted.counts.forEach(function (c) { total += c; });
      pagesHit = list.length;
    }
    var shownAt = performance.now(), shown = 0;
    function enough() {
      return found.length >= ShownHits && (counted || total >= CountedHits);
    }
    function request() {
      while (requested < list.length && requested < next + Ahead) {
        var at = list[requested++];
        loadPage(at, arrived.bind(null, at));
      }
    }
    function arrived(at, page) {
      if (mine !== pass)
        return;
      pages[at] = page || false;
      while (next < list.length && pages[list[next]] !== undefined && !enough()) {
        scan(pages[list[next]]);
        delete pages[list[next++]];
      }
      if (next >= list.length || enough())
        return show(found, total, pagesHit, 0, list.length, !!counted);
      // A long search shows its first hits at once, then what it has found so far now and then.
      if (found.length && (!shown || found.length >= ShownHits && shown < ShownHits
                           || performance.now() - shownAt > 300)) {
        shown = found.length;
        shownAt = performance.now();
        show(found, total, pagesHit, next, list.length);
      }
      request();
    }
    function scan(page) {
      if (!page)
        return;
      var f = page.folded, from = 0, at, hit = false;
      while ((at = f.indexOf(asked, from)) >= 0 && (counted ? found.length < ShownHits
                                                            : total < CountedHits)) {
        var m = blockAt(page.starts, at);
        if (found.length < ShownHits)
          found.push({link: page.link, anchors: page.anchors, m: m, title: page.title,
                      day: dayOf(page, m), who: String(page.speakers[page.who[m]] || ''),
                      text: page.texts[m], near: at - page.starts[m]});
        if (!counted)
          total++;
        hit = true;
        from = page.starts[m + 1];
      }
      if (hit && !counted)
        pagesHit++;
    }
    if (!list.length)
      return show(found, 0, 0, 0, 0, true);
    request();
  }
  // `done` of `of` pages read: while some are left, the list so far and where the search is.
  // A count the term files gave is exact; one the search made stops at CountedHits.
  function show(found, total, pagesHit, done, of, exact) {
    var list = document.createDocumentFragment();
    found.forEach(function (f) { list.appendChild(hitItem(f, words)); });
    hitList.textContent = '';
    hitList.appendChild(list);
    hitList.hidden = found.length === 0;
    if (done > 0) {
      status.textContent = '検索中… ' + done + ' / ' + of + ' ページ';
      return;
    }
    // Past the count the search stops, so the pages are not all counted either.
    var text = total === 0 ? '見つかりませんでした。'
      : total >= CountedHits && !exact ? total + ' 件以上' : total + ' 件（' + pagesHit + ' ページ）';
    if (total > found.length)
      text += '。新しい順に ' + found.length + ' 件を表示しています';
    if (missing)
      text += '。' + missing + ' ページは検索データがありません';
    status.textContent = text;
  }

  var waiting = 0;
  query.addEventListener('input', function () {
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

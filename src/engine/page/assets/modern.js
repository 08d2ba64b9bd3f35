(function () {
  'use strict';
  var root = document.documentElement;
  root.classList.add('js');
  function byId(id) { return document.getElementById(id); }
  var query = byId('q');
  var found = byId('found');
  var said = byId('said');
  var hitsOnly = byId('hits');
  var now = function () { return performance.now(); };

  // Work on a long page is done in slices of a few milliseconds; a message port runs the next
  // slice without the delay timers add.
  var port = null, queued = [];
  if (window.MessageChannel) {
    var channel = new MessageChannel();
    channel.port1.onmessage = function () { queued.shift()(); };
    port = channel.port2;
  }
  function later(fn) {
    if (!port)
      return void setTimeout(fn, 0);
    queued.push(fn);
    port.postMessage(0);
  }
  var Slice = 8;

  // Text and words are matched folded (search.js).
  var fold = pelorinSearch.fold, places = pelorinSearch.places, endOf = pelorinSearch.endOf;
  var blockAt = pelorinSearch.blockAt;

  // The sections in page order, found from one to the next as they arrive: a live collection
  // of them would be walked again from the start after every change of the page.
  var parts = [];
  var loaded = false;
  function moreParts() {
    for (;;) {
      var last = parts[parts.length - 1], next = last ? last.nextElementSibling : null;
      var log = byId('log');
      for (var chapter = last ? last.parentNode : null; !next && log;) {
        chapter = chapter ? chapter.nextElementSibling : log.firstElementChild;
        if (!chapter)
          return parts.length;
        if (chapter.className === 'chap')
          next = chapter.firstElementChild;
      }
      if (!next)
        return parts.length;
      next.pi = parts.length;
      parts.push(next);
    }
  }
  // What the blocks of a section are, from the list at its end: speaker N's utterance N, its
  // continuation after a notice -N, a notice or plain text 0, a day heading 'd'. Kept once the
  // section is complete (the last one may still be arriving).
  var infos = [];
  function infoOf(i) {
    if (infos[i])
      return infos[i];
    var list = parts[i].lastElementChild;
    var codes = list && list.tagName === 'TEMPLATE' ? list.getAttribute('data-w').split(' ') : [];
    var n = codes[0] === '' ? 0 : codes.length;
    var info = {who: new Int32Array(n), day: new Uint8Array(n)};
    for (var j = 0; j < n; j++) {
      if (codes[j] === 'd')
        info.day[j] = 1;
      else
        info.who[j] = +codes[j];
    }
    if (loaded || i + 1 < parts.length)
      infos[i] = info;
    return info;
  }
  // A section's text as searched, folded, and where in it each block starts and where the
  // searched text of each starts and ends (of an utterance, its message; of a day heading,
  // nothing). The section is read in one piece, once: touching every block, or reading the
  // page again for every search, would leave the garbage collector much to go through, and it
  // goes through the whole long page each time. The carriage returns the page puts between blocks
  // and after names tell the blocks apart (see ModernBody); where the chat's own text holds one,
  // the blocks are read one by one instead.
  var texts = [];
  function textOf(i) {
    if (texts[i])
      return texts[i];
    var text = readText(i);
    if (loaded || i + 1 < parts.length)
      texts[i] = text;
    return text;
  }
  function readText(i) {
    var info = infoOf(i), n = info.who.length;
    var t = fold(parts[i].textContent);
    var starts = new Int32Array(n + 1), from = new Int32Array(n), to = new Int32Array(n);
    var at = t.indexOf('\r') + 1;
    for (var j = 0; j < n && at > 0; j++) {
      starts[j] = at;
      if (info.who[j] > 0)
        at = t.indexOf('\r', at) + 1;
      var end = at > 0 ? t.indexOf('\r', at) : -1;
      from[j] = info.day[j] ? end : at;
      to[j] = end;
      at = end + 1;
    }
    if (at <= 0 || t.indexOf('\r', at) >= 0)
      return textOneByOne(i);
    starts[n] = 0x7fffffff;
    return {t: t, starts: starts, from: from, to: to};
  }
  function textOneByOne(i) {
    var info = infoOf(i), n = info.who.length, kids = parts[i].children, t = '';
    var starts = new Int32Array(n + 1), from = new Int32Array(n), to = new Int32Array(n);
    for (var j = 0; j < n; j++) {
      var b = kids[j], text = '';
      if (!info.day[j]) {
        var p = b.className.charCodeAt(0) === 117 ? b.lastElementChild : b;
        text = p && (p === b || p.tagName === 'P') ? fold(p.textContent) : '';
      }
      starts[j] = from[j] = t.length;
      t += text;
      to[j] = t.length;
      t += '\r';
    }
    starts[n] = 0x7fffffff;
    return {t: t, starts: starts, from: from, to: to};
  }

  // What is shown: one speaker only, or all but the hidden ones; a search and whether only the
  // blocks that match it stay.
  var only = 0;
  var hidden = {};
  var hiddenCount = 0;
  var words = '';
  function shownSpeaker(w) {
    var n = w < 0 ? -w : w;
    return only ? n === only : !(n && hidden[n]);
  }

  // The matches: per section with any, where its blocks start in its text as searched and the
  // positions of the matches there, in page order; the one shown.
  var hits = [];
  var total = 0;
  var complete = true;
  var current = null; // {i: section, k: match}
  var pass = 0;
  var searched = ''; // what the matches were found for

  function numberOf(h) {
    var n = h.k + 1;
    for (var i = 0; i < h.i; i++)
      n += hits[i] ? hits[i].at.length : 0;
    return n;
  }
  function showCount(counted) {
    if (words)
      found.textContent = total === 0 ? (complete ? '0 件' : '…')
        : (current ? numberOf(current) : '…') + ' / ' + (complete ? total : '…');
    else
      found.textContent = only || hiddenCount ? (complete ? counted + ' 件' : '…') : '';
  }

  // The section at the top of the window, where a new search starts looking.
  var tools = byId('tools');
  function sectionInView() {
    var top = tools.getBoundingClientRect().bottom + 8;
    var x = byId('log').getBoundingClientRect().left + 40;
    for (var y = top; y < innerHeight; y += 40) {
      var el = document.elementFromPoint(x, y);
      var part = el && el.closest('.part');
      if (part)
        return part.pi === undefined ? 0 : part.pi;
    }
    return 0;
  }

  // The blocks marked as matching, per section, while only those are shown.
  var marked = [];
  function unmarkHits(i) {
    var marks = marked[i];
    if (!marks)
      return;
    for (var k = 0; k < marks.length; k++)
      marks[k].classList.remove('hit');
    marked[i] = null;
  }

  // One pass over the sections in slices: the matches, the blocks shown, the count.
  function refresh() {
    var mine = ++pass;
    var filterHits = !!(words && hitsOnly.checked);
    root.classList.toggle('flt', filterHits);
    // Showing only the matches, or all again, needs no new search.
    var key = words + '|' + only + '|' + Object.keys(hidden).join(' ');
    var known = complete && key === searched ? hits : null;
    searched = key;
    hits = [];
    total = 0;
    complete = false;
    // A new search starts from what is in view; the same matches keep the one shown.
    var kept = known ? current : null;
    var start = kept ? kept.i : words && scrollY > 0 ? sectionInView() : 0;
    current = null;
    unmark();
    var counted = 0, i = 0;
    var shownChapter = {node: null, any: false};
    function settleChapter() {
      var c = shownChapter.node;
      if (c && c.className === 'chap' && c.hidden === shownChapter.any)
        c.hidden = !shownChapter.any;
    }
    showCount(0);
    function run() {
      if (mine !== pass)
        return;
      var until = now() + Slice;
      var n = moreParts();
      while (i < n && now() < until) {
        var who = infoOf(i).who, part = parts[i], list = null, text = null;
        if (known) {
          text = known[i];
          list = text ? text.at : null;
        } else if (words) {
          text = textOf(i);
          for (var p = text.t.indexOf(words); p >= 0; p = text.t.indexOf(words, p + words.length)) {
            var b = blockAt(text.starts, p);
            if (p >= text.from[b] && p + words.length <= text.to[b] && shownSpeaker(who[b]))
              (list || (list = [])).push(p);
          }
        }
        hits[i] = list ? {at: list, starts: text.starts, from: text.from} : null;
        var any = false;
        if (filterHits) {
          // Only the blocks that match stay: the section hides the others by a style rule, so
          // that only the matching blocks are touched.
          any = !!list;
          unmarkHits(i);
          if (list) {
            var kids = part.children, marks = marked[i] = [];
            for (var k = 0; k < list.length; k++) {
              var m = kids[blockAt(text.starts, list[k])];
              if (marks[marks.length - 1] !== m) {
                m.classList.add('hit');
                marks.push(m);
              }
            }
          }
        } else {
          for (var j = 0; j < who.length; j++) {
            if (shownSpeaker(who[j])) {
              any = true;
              if (who[j] > 0)
                counted++;
            }
          }
        }
        if (part.classList.contains('hf') !== (filterHits && any))
          part.classList.toggle('hf');
        if (part.hidden === any)
          part.hidden = !any;
        // A chapter left empty is hidden too, or it would keep the room it was reckoned at.
        var chapter = part.parentNode;
        if (chapter !== shownChapter.node) {
          settleChapter();
          shownChapter = {node: chapter, any: false};
        }
        shownChapter.any = shownChapter.any || any;
        if (list) {
          total += list.length;
          if (!current && i >= start) {
            current = {i: i, k: kept && kept.i === i ? kept.k : 0};
            show(true);
          }
        }
        i++;
      }
      if (i < n) {
        showCount(counted);
        later(run);
        return;
      }
      settleChapter();
      complete = true;
      if (!current && total) {
        for (i = 0; !hits[i]; i++) { }
        current = {i: i, k: 0};
        show(true);
      }
      showCount(counted);
    }
    run();
  }

  // The matches near what is on screen are marked (as highlights, which leave the page's
  // text as it is); the one shown is marked more strongly, and so is its block.
  var highlights = window.CSS && CSS.highlights && window.Highlight
    ? {all: new Highlight(), one: new Highlight()} : null;
  if (highlights) {
    CSS.highlights.set('hit', highlights.all);
    CSS.highlights.set('hit-now', highlights.one);
  }
  var shownBlock = null;
  // Where the folded characters of a text node came from, kept: a block's text is walked again
  // for each of its matches.
  var placed = new WeakMap();
  function placesOf(node) {
    if (!placed.has(node))
      placed.set(node, places(node.data));
    return placed.get(node);
  }
  // A match as a static range: the page keeps no live ranges, which every change of the page
  // would have to update.
  function rangeOf(b, from, length) {
    var host = b.className.charCodeAt(0) === 117 ? b.lastElementChild : b;
    var walker = document.createTreeWalker(host, NodeFilter.SHOW_TEXT), node, pos = 0;
    var range = {startContainer: null, startOffset: 0, endContainer: null, endOffset: 0};
    while ((node = walker.nextNode())) {
      var at = placesOf(node);
      var size = at ? at.length - 1 : node.data.length;
      if (!range.startContainer && from < pos + size) {
        range.startContainer = node;
        range.startOffset = at ? at[from - pos] : from - pos;
      }
      if (range.startContainer && from + length <= pos + size) {
        range.endContainer = node;
        range.endOffset = endOf(at, from + length - pos);
        return new StaticRange(range);
      }
      pos += size;
    }
    return null;
  }
  function unmark() {
    if (highlights) {
      highlights.all.clear();
      highlights.one.clear();
    }
    if (shownBlock)
      shownBlock.classList.remove('now');
    shownBlock = null;
  }
  var Around = 2, MostMarks = 2000;
  var painted = -1;
  // Marks the matches in the sections around `middle` (by default the one in view).
  function paint(middle) {
    if (!highlights || !current)
      return;
    highlights.all.clear();
    if (middle === undefined)
      middle = sectionInView();
    var marks = 0;
    painted = middle;
    for (var i = Math.max(0, middle - Around); i <= middle + Around && i < hits.length; i++) {
      var h = hits[i];
      if (!h)
        continue;
      for (var k = 0; k < h.at.length && marks < MostMarks; k++, marks++) {
        var j = blockAt(h.starts, h.at[k]);
        var r = rangeOf(parts[i].children[j], h.at[k] - h.from[j], words.length);
        if (r)
          highlights.all.add(r);
      }
    }
  }
  function show(scroll) {
    if (!current)
      return;
    var h = hits[current.i], pos = h.at[current.k];
    var j = blockAt(h.starts, pos), b = parts[current.i].children[j];
    if (shownBlock)
      shownBlock.classList.remove('now');
    shownBlock = b;
    b.classList.add('now');
    if (highlights) {
      highlights.one.clear();
      var r = rangeOf(b, pos - h.from[j], words.length);
      if (r)
        highlights.one.add(r);
    }
    if (scroll) {
      b.scrollIntoView({block: 'center'});
      paint(current.i);
      // Sections drawn on the way may settle at another height than reckoned: look again.
      requestAnimationFrame(function () {
        var box = b.getBoundingClientRect();
        if (box.top < tools.getBoundingClientRect().bottom || box.bottom > innerHeight)
          b.scrollIntoView({block: 'center'});
      });
    }
    showCount();
  }
  function step(by) {
    if (!current)
      return;
    var i = current.i, k = current.k + by;
    while (k < 0 || k >= (hits[i] ? hits[i].at.length : 0)) {
      i += by;
      if (i < 0 || i >= hits.length) {
        if (!complete)
          return; // the count is not done: the end is not known yet
        i = by > 0 ? 0 : hits.length - 1;
      }
      k = by > 0 ? 0 : (hits[i] ? hits[i].at.length - 1 : -1);
    }
    current = {i: i, k: k};
    show(true);
  }
  // Once the reader stops scrolling, the matches in view are marked.
  var repaint = 0;
  window.addEventListener('scroll', function () {
    if (!current)
      return;
    clearTimeout(repaint);
    repaint = setTimeout(function () {
      var middle = sectionInView();
      if (middle !== painted)
        paint(middle);
    }, 120);
  }, {passive: true});

  // The legend's buttons are looked up within it: a search of the whole document would go
  // through every block of a long page.
  var legend = document.querySelector('.legend');
  // Showing or hiding speakers is one style rule, which reaches every utterance at once
  // however long the log.
  var sheet = document.styleSheets[0];
  var filterRule = null;
  function showButtons() {
    var buttons = legend.getElementsByTagName('button');
    for (var i = 0; i < buttons.length; i++) {
      var b = buttons[i], n = +b.getAttribute('data-s').slice(1);
      var on = b.classList.contains('only') ? n === only : !!hidden[n];
      b.setAttribute('aria-pressed', on ? 'true' : 'false');
    }
    hiddenCount = Object.keys(hidden).length;
    var selector = only ? '.part>:not(.s' + only + ')'
      : Object.keys(hidden).map(function (n) { return '.part>.s' + n; }).join(',');
    if (filterRule) {
      for (var r = sheet.cssRules.length - 1; r >= 0; r--) {
        if (sheet.cssRules[r] === filterRule)
          sheet.deleteRule(r);
      }
      filterRule = null;
    }
    if (selector)
      filterRule = sheet.cssRules[sheet.insertRule(selector + '{display:none}',
                                                   sheet.cssRules.length)];
  }
  legend.addEventListener('click', function (event) {
    var button = event.target.closest('button');
    if (!button)
      return;
    var n = +button.getAttribute('data-s').slice(1);
    if (button.classList.contains('only')) {
      only = only === n ? 0 : n;
      if (only)
        delete hidden[n];
    } else {
      if (hidden[n])
        delete hidden[n];
      else
        hidden[n] = true;
      if (hidden[n] && only === n)
        only = 0;
    }
    showButtons();
    refresh();
  });
  byId('all').addEventListener('click', function () {
    only = 0;
    hidden = {};
    words = '';
    query.value = '';
    hitsOnly.checked = false;
    showButtons();
    refresh();
  });
  byId('next').addEventListener('click', function () { step(1); });
  byId('prev').addEventListener('click', function () { step(-1); });
  hitsOnly.addEventListener('change', refresh);

  var waiting = 0;
  function searchNow() {
    clearTimeout(waiting);
    waiting = 0;
    var w = fold(query.value.trim());
    if (w === words)
      return false;
    words = w;
    refresh();
    return true;
  }
  query.addEventListener('input', function (event) {
    if (event.isComposing)
      return; // a word still being put together in an input method
    clearTimeout(waiting);
    waiting = setTimeout(searchNow, 40);
  });
  query.addEventListener('compositionend', searchNow);
  query.addEventListener('keydown', function (event) {
    if (event.isComposing)
      return;
    if (event.key === 'Enter') {
      event.preventDefault();
      if (!searchNow())
        step(event.shiftKey ? -1 : 1);
    } else if (event.key === 'Escape' && query.value) {
      query.value = '';
      searchNow();
    }
  });

  // The link of a message: following it marks the message; with a click it is copied too.
  var saying = 0;
  document.addEventListener('click', function (event) {
    var a = event.target.closest && event.target.closest('.u > a');
    if (!a || event.button !== 0 || event.ctrlKey || event.metaKey || event.shiftKey)
      return;
    var address = location.href.split('#')[0] + a.getAttribute('href');
    if (!navigator.clipboard || !navigator.clipboard.writeText)
      return;
    navigator.clipboard.writeText(address).then(function () {
      said.textContent = 'この発言へのリンクをコピーしました';
      clearTimeout(saying);
      saying = setTimeout(function () { said.textContent = ''; }, 2500);
    }, function () { });
  });

  // The message the address points to (a link from the index, or one copied), a day's heading
  // (from the calendar or the index), or the sections after the last message, is brought into
  // view again until it stays: sections not drawn yet have a reckoned height, and drawing the
  // ones on the way moves it elsewhere.
  function keepTarget() {
    var b = location.hash.length > 2 && document.getElementById(location.hash.slice(1));
    if (!b || !b.matches('.u, .day, #cal, #stats'))
      return;
    // A few frames more are watched once it is still: a section drawn late moves it too.
    var tries = 0;
    (function look() {
      b.scrollIntoView({block: 'start'});
      var top = b.getBoundingClientRect().top;
      (function watch(still) {
        requestAnimationFrame(function () {
          if (Math.abs(b.getBoundingClientRect().top - top) > 1) {
            if (++tries < 40)
              look();
          } else if (still < 10) {
            watch(still + 1);
          }
        });
      })(0);
    })();
  }
  addEventListener('hashchange', keepTarget);

  // Sections that arrived while a filter was set are settled once the page is complete.
  document.addEventListener('DOMContentLoaded', function () {
    loaded = true;
    if (words || only || hiddenCount)
      refresh();
    keepTarget();
  });
})();

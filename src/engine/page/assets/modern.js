(function () {
  'use strict';
  var root = document.documentElement;
  root.classList.add('js');
  var query = document.getElementById('q');
  var found = document.getElementById('found');
  var themeButton = document.getElementById('theme');
  var dark = window.matchMedia ? window.matchMedia('(prefers-color-scheme: dark)') : null;
  var only = '';
  var hidden = {};
  var words = '';
  var pass = 0;

  function stored() {
    try { return window.localStorage.getItem('pelorin-theme') || ''; } catch (e) { return ''; }
  }
  function store(theme) {
    try { window.localStorage.setItem('pelorin-theme', theme); } catch (e) { }
  }
  function isDark() {
    var t = root.getAttribute('data-theme');
    return t ? t === 'dark' : !!(dark && dark.matches);
  }
  function showTheme() {
    var d = isDark();
    themeButton.textContent = d ? 'ライトにする' : 'ダークにする';
    themeButton.setAttribute('aria-pressed', d ? 'true' : 'false');
  }
  var saved = stored();
  if (saved === 'light' || saved === 'dark')
    root.setAttribute('data-theme', saved);
  showTheme();
  if (dark && dark.addEventListener)
    dark.addEventListener('change', showTheme);
  themeButton.addEventListener('click', function () {
    var next = isDark() ? 'light' : 'dark';
    root.setAttribute('data-theme', next);
    store(next);
    showTheme();
  });

  // The speaker class of a block ("s3"); notices and plain lines have none.
  function speakerOf(el) {
    var c = el.classList;
    return c.contains('u') ? c[1] : '';
  }
  function speakerShown(s) {
    return only ? s === only : !(s && hidden[s]);
  }
  function filtering() {
    return !!(only || words || Object.keys(hidden).length);
  }
  // One pass over the sections, a few milliseconds at a time.
  function apply() {
    var mine = ++pass;
    var parts = document.getElementsByClassName('part');
    var index = 0, count = 0;
    var active = filtering();
    found.textContent = active ? '…' : '';
    function section(part) {
      var blocks = part.children, any = false;
      var text = words ? part.textContent.toLowerCase() : '';
      if (words && text.indexOf(words) < 0) {
        part.hidden = true;
        return;
      }
      for (var i = 0; i < blocks.length; i++) {
        var b = blocks[i];
        if (words || part.searched) {
          var match = !words || b.textContent.toLowerCase().indexOf(words) >= 0;
          if (b.hidden === match)
            b.hidden = !match;
          if (!match)
            continue;
        }
        var s = speakerOf(b);
        if (speakerShown(s) && (s || !only)) {
          any = true;
          if (s && !b.classList.contains('more'))
            count++;
        }
      }
      part.searched = !!words;
      if (part.hidden === any)
        part.hidden = !any;
    }
    function slice() {
      if (mine !== pass)
        return;
      var until = performance.now() + 12;
      while (index < parts.length && performance.now() < until)
        section(parts[index++]);
      if (index < parts.length) {
        setTimeout(slice, 0);
        return;
      }
      found.textContent = active ? count + ' 件' : '';
    }
    slice();
  }

  function showButtons() {
    var buttons = document.querySelectorAll('.legend button');
    for (var i = 0; i < buttons.length; i++) {
      var b = buttons[i], s = b.getAttribute('data-s');
      var on = b.classList.contains('only') ? s === only : !!hidden[s];
      b.setAttribute('aria-pressed', on ? 'true' : 'false');
    }
    var classes = [];
    if (only)
      classes.push('only-' + only);
    Object.keys(hidden).forEach(function (s) { classes.push('hide-' + s); });
    var kept = root.className.split(' ').filter(function (c) {
      return c && c.indexOf('only-') !== 0 && c.indexOf('hide-') !== 0;
    });
    root.className = kept.concat(classes).join(' ');
  }
  document.querySelector('.legend').addEventListener('click', function (event) {
    var button = event.target.closest('button');
    if (!button)
      return;
    var s = button.getAttribute('data-s');
    if (button.classList.contains('only')) {
      only = only === s ? '' : s;
      if (only)
        delete hidden[s];
    } else {
      if (hidden[s])
        delete hidden[s];
      else
        hidden[s] = true;
      if (hidden[s] && only === s)
        only = '';
    }
    showButtons();
    apply();
  });
  document.getElementById('all').addEventListener('click', function () {
    only = '';
    hidden = {};
    words = '';
    query.value = '';
    showButtons();
    apply();
  });
  var waiting = 0;
  query.addEventListener('input', function () {
    clearTimeout(waiting);
    waiting = setTimeout(function () {
      words = query.value.trim().toLowerCase();
      apply();
    }, 150);
  });
  query.addEventListener('keydown', function (event) {
    if (event.key === 'Escape' && query.value) {
      query.value = '';
      words = '';
      apply();
    }
  });
  // Sections that arrived after a filter was set are settled once the page is complete.
  document.addEventListener('DOMContentLoaded', function () {
    if (filtering())
      apply();
  });
})();

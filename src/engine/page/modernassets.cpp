#include "engine/page/modernassets.h"

namespace modernassets {

// An utterance is `<div class="u sN" id="uM"><a href="#uM">name</a><time>…</time><p>text</p>`
// (a continuation after a notice: class "u sN more", no name); the speaker's class holds its
// light and dark colour as --cl / --cd, and "--c" is the one the theme uses. Sections off
// screen are neither laid out nor painted, so a long log opens at once.
const QString Style = QStringLiteral(R"CSS(
:root{color-scheme:light;--bg:#FFFFFF;--fg:#1F2328;--muted:#57606A;--rule:#D0D7DE;--field:#FFFFFF;--note:var(--notel);--n:var(--nl)}
.u,.legend li{--c:var(--cl)}
*{box-sizing:border-box}
html{-webkit-text-size-adjust:100%;text-size-adjust:100%}
body{margin:0;background:var(--bg);color:var(--fg);font:16px/1.6 system-ui,-apple-system,"Noto Sans CJK JP","Hiragino Sans","Yu Gothic",Meiryo,sans-serif}
.top,main{max-width:50rem;margin:0 auto;padding:0 1rem}
.top{padding-top:1rem;border-bottom:1px solid var(--rule)}
h1{font-size:1.5rem;margin:0 0 .25rem;overflow-wrap:anywhere}
.facts{margin:0 0 .75rem;color:var(--muted)}
.tools{display:none;flex-wrap:wrap;gap:.5rem;align-items:center;margin:0 0 .75rem}
.js .tools{display:flex}
.tools input{flex:1 1 12rem;min-width:0;font:inherit;padding:.35rem .6rem;border:1px solid var(--muted);border-radius:.4rem;background:var(--field);color:var(--fg)}
button{font:inherit;font-size:.9375rem;padding:.25rem .7rem;border:1px solid var(--muted);border-radius:.4rem;background:var(--bg);color:var(--fg);cursor:pointer}
button[aria-pressed=true]{background:var(--fg);color:var(--bg)}
:focus-visible{outline:3px solid #2F81F7;outline-offset:2px}
#found{color:var(--muted)}
.legend{list-style:none;margin:0 0 1rem;padding:0;display:flex;flex-wrap:wrap;gap:.4rem .6rem}
.legend li{display:flex;flex-wrap:wrap;align-items:center;gap:.35rem;padding:.2rem .5rem;border:1px solid var(--rule);border-radius:.5rem}
.legend .sw{display:inline-block;width:.9em;height:.9em;border-radius:50%;background:var(--c)}
.legend .n{font-weight:bold;color:var(--c);overflow-wrap:anywhere;unicode-bidi:isolate}
.legend .cnt{color:var(--muted)}
.js-only{display:none}
.js .js-only{display:inline-flex;gap:.3rem}
main{padding-top:.5rem;padding-bottom:2rem}
.part{content-visibility:auto;contain-intrinsic-size:auto 1200px}
.u{margin:.6rem 0;padding:.1rem 0 .1rem .75rem;border-left:4px solid var(--c)}
.u.more{margin-top:-.4rem}
.u>a{color:var(--c);font-weight:bold;text-decoration:none;overflow-wrap:anywhere;margin-right:.6rem;unicode-bidi:isolate}
.u>a:hover,.u>a:focus-visible{text-decoration:underline}
.u>time{color:var(--muted);font-size:.875rem}
.u>p{margin:0;white-space:pre-wrap;overflow-wrap:anywhere}
.note{margin:.6rem 0;padding:.3rem .75rem;background:var(--note);border-radius:.4rem;color:var(--n);white-space:pre-wrap;overflow-wrap:anywhere}
.plain{margin:.6rem 0;color:var(--muted);white-space:pre-wrap;overflow-wrap:anywhere}
.u>p a,.note a,.plain a{color:inherit}
[hidden]{display:none!important}
)CSS");

const QString DarkVariables
    = QStringLiteral("color-scheme:dark;--bg:#1B1D21;--fg:#E6EDF3;--muted:#9DA7B3;--rule:#3D444D;"
                     "--field:#111316;--note:var(--noted);--n:var(--nd)");

const QString PrintStyle = QStringLiteral(R"CSS(
@media print{
:root{color-scheme:light;--bg:#FFFFFF;--fg:#000000;--muted:#444444;--note:var(--notel);--n:var(--nl)}
.u,.legend li{--c:var(--cl)!important}
*{-webkit-print-color-adjust:exact;print-color-adjust:exact}
.tools,.js-only,#found{display:none!important}
.part{content-visibility:visible}
.u,.note,.plain,.legend li{break-inside:avoid}
}
)CSS");

// Runs right after the heading, before the utterances arrive: the controls work while a long
// page is still loading. Showing or hiding a speaker is a class on the root (the style sheet
// has a rule per speaker); the search and the sections left empty are settled by a pass over
// the page cut into slices of a few milliseconds, so the tab never stalls.
const QString Script = QStringLiteral(R"JS(
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
)JS");

} // namespace modernassets

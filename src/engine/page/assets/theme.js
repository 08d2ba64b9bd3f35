// The theme switch of every page the program writes: the reader's choice is kept for all of
// them (in the browser's storage for files, where it has one), else the system's theme holds.
(function () {
  'use strict';
  var root = document.documentElement;
  var themeButton = document.getElementById('theme');
  var dark = window.matchMedia ? window.matchMedia('(prefers-color-scheme: dark)') : null;
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
})();

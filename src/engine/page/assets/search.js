// The search of the modern page and of the index: a text and the words looked for are folded
// alike (NFKC, so full- and half-width forms are one; letters in lower case; katakana as
// hiragana), and the words match where their folded form lies in the text's. Each page runs
// this before its own script.
var pelorinSearch = (function () {
  'use strict';
  // A final sigma folds as any sigma, so that a character folds the same alone as in a word.
  var Folded = /[\u03c2\u30a1-\u30f6\u30fd\u30fe]/g;
  function foldOne(c) {
    return c === '\u03c2' ? '\u03c3' : String.fromCharCode(c.charCodeAt(0) - 0x60);
  }
  // A long text is folded through a typed array: a few times quicker than a replace.
  function fold(text) {
    var t = text.normalize('NFKC').toLowerCase();
    if (t.length < 256)
      return t.replace(Folded, foldOne);
    var n = t.length, units = new Uint16Array(n), out = '';
    for (var i = 0; i < n; i++) {
      var c = t.charCodeAt(i);
      units[i] = (c >= 0x30a1 && c <= 0x30f6) || c === 0x30fd || c === 0x30fe ? c - 0x60
        : c === 0x3c2 ? 0x3c3 : c;
    }
    for (var at = 0; at < n; at += 8192)
      out += String.fromCharCode.apply(null, units.subarray(at, at + 8192));
    return out;
  }

  // Where in `s` each character of its folded form came from (a character and the marks that
  // follow it fold together), then s.length; null when they are one to one, or cannot be told
  // apart. A match found in the folded text is marked there in the text as written.
  var mark = /[\u0300-\u036f\u3099\u309a\uff9e\uff9f\ufe00-\ufe0f]/;
  var markOrPair = /[\u0300-\u036f\u3099\u309a\uff9e\uff9f\ufe00-\ufe0f\ud800-\udfff]/;
  function places(s) {
    var folded = fold(s);
    // Without marks and characters of two units, each character folds into one or more: as
    // many as there were, they are one to one.
    if (folded.length === s.length && !markOrPair.test(s))
      return null;
    var at = [];
    for (var i = 0; i < s.length;) {
      var end = i + (s.codePointAt(i) > 0xffff ? 2 : 1);
      while (end < s.length && mark.test(s[end]))
        end++;
      for (var n = fold(s.slice(i, end)).length; n > 0; n--)
        at.push(i);
      i = end;
    }
    at.push(s.length);
    return at.length === folded.length + 1 ? at : null;
  }
  // Where in the text the folded text up to `k` ends, a character it ends within taken whole
  // (`at` is the text's places()).
  function endOf(at, k) {
    if (!at)
      return k;
    var j = k;
    while (j > 0 && j < at.length - 1 && at[j] === at[k - 1])
      j++;
    return at[j];
  }

  // The block of a folded text that holds position `pos`: `starts` holds where each block
  // starts, in order, and one more entry past the last.
  function blockAt(starts, pos) {
    var lo = 0, hi = starts.length - 2;
    while (lo < hi) {
      var mid = (lo + hi + 1) >> 1;
      if (starts[mid] <= pos)
        lo = mid;
      else
        hi = mid - 1;
    }
    return lo;
  }

  return {fold: fold, places: places, endOf: endOf, blockAt: blockAt};
})();

// Appended to a copy of a generated page; reports what a reader of the page would see.
window.addEventListener('load', function () {
    var results = {};
    function rgb(code) {
        var n = parseInt(code.slice(1), 16);
        return 'rgb(' + (n >> 16) + ', ' + ((n >> 8) & 255) + ', ' + (n & 255) + ')';
    }
    function textElement(text) {
        var walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
        for (var node = walker.nextNode(); node; node = walker.nextNode()) {
            var tag = node.parentElement.tagName;
            if (tag !== 'SCRIPT' && tag !== 'STYLE' && tag !== 'TITLE'
                && node.nodeValue.indexOf(text) >= 0)
                return node.parentElement;
        }
        return null;
    }
    function colorOf(text) {
        var el = textElement(text);
        return el ? getComputedStyle(el).color : 'missing';
    }
    function weightOf(text) {
        var el = textElement(text);
        return el ? getComputedStyle(el).fontWeight : 'missing';
    }
    function check(name, actual, expected) {
        results[name] = {ok: actual === expected, actual: String(actual), expected: String(expected)};
    }
    var c = window.PELORIN_EXPECTED;
    try {
        check('first speaker colour', colorOf('words of Ann'), rgb(c.ann));
        check('second speaker colour', colorOf('words of Bo'), rgb(c.bo));
        check('second utterance line', colorOf('more of Bo'), rgb(c.bo));
        check('body colour', colorOf('.Bbody'), rgb(c.body));
        check('narration colour', colorOf('Bo joined'), rgb(c.nar));
        check('legend label colour', colorOf('Ann'), rgb(c.ann));

        var select = document.querySelector('select[onchange*="HATSUGEN_01"]');
        select.value = c.pick;
        select.dispatchEvent(new Event('change'));
        check('drop-down recolours utterances', colorOf('words of Ann'), rgb(c.pick));
        check('drop-down recolours legend label', getComputedStyle(
                document.querySelector('td font.HATSUGEN_01')).color, rgb(c.pick));
        var ids = document.querySelectorAll('[id="HATSUGEN_01"]');
        var all = ids.length > 1;
        for (var i = 0; i < ids.length; i++)
            all = all && getComputedStyle(ids[i]).color === rgb(c.pick);
        check('drop-down recolours every element of the class', all, true);
        check('drop-down leaves other speakers', colorOf('words of Bo'), rgb(c.bo));

        var box = document.querySelector('input[onclick*="HATSUGEN_02"]');
        box.click();
        check('bold box ticked', weightOf('more of Bo'), '700');
        check('bold box leaves other speakers', weightOf('words of Ann'), '400');
        box.click();
        check('bold box cleared', weightOf('more of Bo'), '400');

        var swatch = document.querySelector('font[onclick*="#CCFFFF"]');
        swatch.click();
        check('background swatch', getComputedStyle(document.body).backgroundColor,
              rgb('#CCFFFF'));

        check('no injected script ran', String(window.PELORIN_INJECTED), 'undefined');
        check('no injected image', document.querySelectorAll('img').length, 0);
        check('chat bold markup shows', weightOf('strong words'), '700');
        check('injected text shown', textElement('<script>window') !== null, true);
    } catch (e) {
        results['check script'] = {ok: false, actual: String(e), expected: 'no exception'};
    }
    var out = document.createElement('pre');
    out.id = 'pelorin-result';
    out.textContent = JSON.stringify(results);
    document.body.appendChild(out);
});

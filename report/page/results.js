(function () {
  'use strict';
  var STEP = 50;
  // The data blocks are taken out of the document as text, each parsed when first needed: the
  // browser holds the data once, and whatever reads the document back (saving it, --dump-dom)
  // does not go through megabytes of it.
  var blocks = {};
  ['page-data', 'page-tree', 'page-origins'].forEach(function (id) {
    var block = document.getElementById(id);
    blocks[id] = block.textContent;
    block.remove();
  });
  function parse(id) {
    var parsed = JSON.parse(blocks[id]);
    blocks[id] = null;
    return parsed;
  }
  var data = parse('page-data'), origins = null, tree = null;
  function places() { return origins || (origins = parse('page-origins')); }
  function treeData() { return tree || (tree = parse('page-tree')); }
  function text(i) { return treeData().t[i]; }
  var scores = {1: 'PASS', 2: 'FAIL', 3: 'INSPECT'};
  var filter = document.getElementById('filter');
  // [score, text, cause, [classes], reason]: a finding with a reason was accepted.
  var sections = [{score: 2, box: document.getElementById('fail-list')},
                  {score: 3, box: document.getElementById('inspect-list')},
                  {accepted: true, box: document.getElementById('accepted-list')}];
  function isIn(section, f) {
    return (f[4] !== undefined) === !!section.accepted && (section.accepted || f[0] === section.score);
  }
  var treeBox = document.getElementById('tree');
  function el(tag, cls, text) {
    var e = document.createElement(tag);
    if (cls) e.className = cls;
    if (text !== undefined) e.textContent = text;
    return e;
  }
  function count(n, one, many) { return n + ' ' + (n === 1 ? one : many); }
  // [further uses, place, ...], places as indexes.
  function placeList(flat) {
    var s = places().s, list = el('ul', 'origins');
    for (var i = 1; i < flat.length; i++) list.appendChild(el('li', null, s[flat[i]]));
    if (flat[0]) list.appendChild(el('li', 'more', 'and ' + flat[0] + ' more uses'));
    return list;
  }
  // Lists are drawn a step at a time: the first on load, the next on the button or when the
  // button scrolls near the screen.
  var nearEnd = window.IntersectionObserver ? new IntersectionObserver(function (entries) {
    entries.forEach(function (e) { if (e.isIntersecting) e.target.click(); });
  }, {rootMargin: '400px'}) : null;
  function paged(box, items, draw, moreText) {
    var drawn = 0, button = el('button', 'more');
    button.type = 'button';
    function next() {
      var end = Math.min(items.length, drawn + STEP), part = document.createDocumentFragment();
      for (; drawn < end; drawn++) part.appendChild(draw(items[drawn]));
      box.insertBefore(part, button);
      button.hidden = drawn === items.length;
      button.textContent = button.hidden ? '' : moreText(items.length - drawn);
    }
    box.appendChild(button);
    button.addEventListener('click', next);
    if (nearEnd) nearEnd.observe(button);
    next();
  }
  function clear(box) {
    if (nearEnd) box.querySelectorAll('button.more').forEach(function (b) { nearEnd.unobserve(b); });
    box.textContent = '';
  }
  function showMore(n) { return 'Show ' + Math.min(n, STEP) + ' more of ' + n; }
  function moreMatch(n) { return n + ' more match: show ' + Math.min(n, STEP) + ' more'; }

  function findingElement(i) {
    var f = data.f[i], d = el('details', 'finding');
    d.dataset.i = i;
    var summary = el('summary', null, f[1] + ' ');
    summary.appendChild(el('span', 'n', count(f[3].length, 'class', 'classes')));
    d.appendChild(summary);
    if (f[2]) d.appendChild(el('p', 'cause', f[2]));
    if (f[4] !== undefined) d.appendChild(el('p', 'accepted', 'Accepted: ' + f[4]));
    return d;
  }
  function fillFinding(d) {
    if (d.dataset.filled) return;
    d.dataset.filled = '1';
    var i = +d.dataset.i, where = places().f[i] || [], list = el('ul', 'classes');
    d.appendChild(list);
    paged(list, data.f[i][3].map(function (c, k) { return [c, where[k]]; }), function (c) {
      var item = el('li');
      item.appendChild(el('span', 'cls', data.c[c[0]]));
      if (c[1] && (c[1][0] || c[1].length > 1)) item.appendChild(placeList(c[1]));
      return item;
    }, showMore);
  }
  var hay = [];
  function haystack(i) {
    if (hay[i] === undefined) {
      var f = data.f[i], where = places().f[i] || [], s = places().s, parts = [f[1], f[2], f[4]];
      f[3].forEach(function (c, k) {
        parts.push(data.c[c]);
        var flat = where[k] || [];
        for (var j = 1; j < flat.length; j++) parts.push(s[flat[j]]);
      });
      hay[i] = parts.join('\n').toLowerCase();
    }
    return hay[i];
  }
  function drawFindings(query) {
    var total = 0, matched = 0;
    sections.forEach(function (section) {
      if (!section.box) return;
      var items = [];
      data.f.forEach(function (f, i) {
        if (!isIn(section, f)) return;
        total++;
        if (!query || haystack(i).indexOf(query) >= 0) items.push(i);
      });
      matched += items.length;
      clear(section.box);
      paged(section.box, items, findingElement, query ? moreMatch : showMore);
    });
    document.getElementById('shown').textContent = query ? matched + ' of ' + total + ' shown' : '';
  }

  function groupElement(g) {
    var d = el('details', 'group');
    d.groupData = g;
    var summary = el('summary', null, text(g[0]));
    summary.appendChild(el('span', 'n', ' ' + count(g[1].length, 'result', 'results') + ', ' +
                                        count(g[2].length, 'group', 'groups')));
    d.appendChild(summary);
    return d;
  }
  // [name, score, description, [level, text, ...], cause, places], texts as indexes.
  function resultElement(r) {
    var item = el('div', 'result'), score = scores[r[1]] || 'UNKNOWN';
    item.appendChild(el('span', 'score ' + score, score));
    item.appendChild(document.createTextNode(text(r[0])));
    var lines = el('ul');
    lines.appendChild(el('li', null, text(r[2])));
    for (var i = 0; i + 1 < r[3].length; i += 2) {
      var level = r[3][i] === 2 ? 'ERROR' : 'WARNING';
      lines.appendChild(el('li', level === 'ERROR' ? 'FAIL' : 'INSPECT', level + ': ' + text(r[3][i + 1])));
    }
    if (r[4] !== undefined && text(r[4])) lines.appendChild(el('li', 'cause', 'Cause: ' + text(r[4])));
    item.appendChild(lines);
    if (r[5] !== undefined) item.appendChild(placeList(places().r[r[5]]));
    return item;
  }
  function fillGroup(d) {
    if (d.dataset.filled) return;
    d.dataset.filled = '1';
    var g = d.groupData;
    if (g[1].length) paged(d.appendChild(el('div', 'results')), g[1], resultElement, showMore);
    if (g[2].length) paged(d.appendChild(el('div', 'groups')), g[2], groupElement, showMore);
  }
  // A group whose name matches is drawn closed and whole; any other only with the results and
  // groups under it that match, opened. At most STEP matches are drawn, the rest counted.
  function pruned(g, hit, budget) {
    function take() {
      if (budget.left > 0) { budget.left--; return true; }
      budget.more++;
      return false;
    }
    if (hit[g[0]]) return take() ? groupElement(g) : null;
    var d = null;
    function add(child) {
      if (!d) {
        d = groupElement(g);
        d.dataset.filled = '1';
        d.open = true;
      }
      d.appendChild(child);
    }
    g[1].forEach(function (r) {
      if (hit[r[0]] && take()) add(resultElement(r));
    });
    g[2].forEach(function (s) {
      var child = pruned(s, hit, budget);
      if (child) add(child);
    });
    return d;
  }
  function drawTree(query) {
    clear(treeBox);
    var top = treeData().g[2], shown = document.getElementById('shown');
    shown.textContent = '';
    if (!query) return paged(treeBox, top, groupElement, showMore);
    var budget = {left: STEP, more: 0};
    var hit = treeData().t.map(function (t) { return t.toLowerCase().indexOf(query) >= 0; });
    top.forEach(function (g) {
      var d = pruned(g, hit, budget);
      if (d) treeBox.appendChild(d);
    });
    if (budget.more) shown.textContent = budget.more + ' more match';
    else if (!treeBox.firstChild) shown.textContent = 'nothing matches';
  }

  document.addEventListener('toggle', function (e) {
    var d = e.target;
    if (!d.open) return;
    if (d.classList.contains('finding')) fillFinding(d);
    else if (d.classList.contains('group')) fillGroup(d);
  }, true);
  var whole = document.getElementById('view-tree');
  // The state lives in the address too (#filter=...&view=tree), so that a page opens as it was.
  function draw() {
    var query = filter.value.trim().toLowerCase();
    document.getElementById('failures').hidden = whole.checked;
    treeBox.hidden = !whole.checked;
    if (whole.checked) drawTree(query);
    else drawFindings(query);
    var state = new URLSearchParams();
    if (filter.value) state.set('filter', filter.value);
    if (whole.checked) state.set('view', 'tree');
    try {
      history.replaceState(null, '', '#' + state.toString());
    } catch (e) {
      // Some browsers keep the address of a file fixed; the page works the same.
    }
  }
  var timer;
  filter.addEventListener('input', function () {
    clearTimeout(timer);
    timer = setTimeout(draw, 150);
  });
  whole.addEventListener('change', draw);
  document.getElementById('view-failures').addEventListener('change', draw);
  var state = new URLSearchParams(location.hash.slice(1));
  filter.value = state.get('filter') || '';
  whole.checked = state.get('view') === 'tree';
  draw();
  var first = document.querySelector('#failures details.finding');
  if (first && !whole.checked) {
    first.open = true;
    fillFinding(first);
  }
})();

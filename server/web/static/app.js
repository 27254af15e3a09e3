'use strict';
// The console page: login, the command line (history, completion with usage lines), replies,
// the preview before a command that changes the world, the live audit and journal panes, and
// the map (map.js), which follows every command's changes from the live stream.

const $ = (id) => document.getElementById(id);
const kMaxLiveLines = 500;
const kMaxLiveChars = 2000;   // a live line longer than this shows its start only
const kFoldChars = 600, kFoldLines = 8;
const kMaxShownChars = 1 << 20;  // an unfolded reply shows at most this much
// Command groups (of the command reference) that read or report only: their lines run at once.
const kReadOnlyGroups = new Set(['server-info', 'player-queries', 'tribe-listings', 'world-dumps',
                                 'messaging', 'stress-test']);

const state = { csrf: '', commands: [], history: [], historyAt: 0, events: null, map: null,
                pendingLine: null };

async function api(path, body) {
  const options = { credentials: 'same-origin', headers: {} };
  if (body !== undefined) {
    options.method = 'POST';
    options.headers['Content-Type'] = 'application/json';
    options.headers['X-CSRF-Token'] = state.csrf;
    options.body = JSON.stringify(body);
  }
  const response = await fetch(path, options);
  const data = await response.json().catch(() => ({ error: response.statusText }));
  if (response.status === 401 && path !== '/api/login') showLogin('');
  if (!response.ok) throw Object.assign(new Error(data.error || response.statusText), { status: response.status });
  return data;
}

function showLogin(message) {
  state.events?.close();
  state.events = null;
  $('console-view').classList.add('hidden');
  $('login-view').classList.remove('hidden');
  $('login-error').textContent = message;
  $('password').focus();
}

async function enter(session) {
  state.csrf = session.csrf;
  $('account').textContent = session.account ? 'as ' + session.account : '';
  $('login-view').classList.add('hidden');
  $('console-view').classList.remove('hidden');
  $('line').focus();
  openEvents();
  await Promise.all([loadMap(), loadCommands()]);
}

// ---- live streams ----

function openEvents() {
  state.events?.close();
  const events = new EventSource('/api/events');
  state.events = events;
  let broken = false;
  events.addEventListener('audit', (e) => addLive('audit', e.data));
  events.addEventListener('journal', (e) => addLive('journal', e.data));
  events.addEventListener('map', (e) => state.map.apply(JSON.parse(e.data)));
  // A stream that fell too far behind was ended: after reconnecting, load the world afresh.
  events.addEventListener('error', () => {
    broken = true;
    if (events.readyState === EventSource.CLOSED) api('/api/session').then(openEvents, () => {});
  });
  events.addEventListener('open', () => { if (broken) loadMap(); broken = false; });
}

// Lines arrive in bursts (a command may make thousands of calls): they are kept and shown once
// a frame, only the last kMaxLiveLines of them.
const live = { audit: [], journal: [] };
let liveQueued = false;

function addLive(pane, text) {
  live[pane].push(text.length > kMaxLiveChars
    ? `${text.slice(0, kMaxLiveChars)} ... (${text.length} characters)` : text);
  if (live[pane].length > kMaxLiveLines) live[pane].splice(0, live[pane].length - kMaxLiveLines);
  if (!liveQueued) {
    liveQueued = true;
    requestAnimationFrame(showLive);
  }
}

function showLive() {
  liveQueued = false;
  for (const pane of ['audit', 'journal']) {
    const lines = live[pane].splice(0);
    if (!lines.length) continue;
    const list = $(pane), filter = $(pane + '-filter').value;
    const atEnd = list.scrollTop + list.clientHeight >= list.scrollHeight - 4;
    const items = lines.map((text) => {
      const item = document.createElement('li');
      item.textContent = text;
      item.hidden = !matches(text, filter);
      return item;
    });
    list.append(...items);
    while (list.children.length > kMaxLiveLines) list.firstChild.remove();
    if (atEnd) list.scrollTop = list.scrollHeight;
  }
}

function matches(text, filter) {
  return !filter || text.toLowerCase().includes(filter.toLowerCase());
}

for (const pane of ['audit', 'journal'])
  $(pane + '-filter').addEventListener('input', (e) => {
    for (const item of $(pane).children) item.hidden = !matches(item.textContent, e.target.value);
  });

// ---- map ----

async function loadMap() {
  $('map-status').textContent = 'loading the world...';
  try {
    const stats = await state.map.load();
    showMapStats(stats);
  } catch (error) {
    $('map-status').textContent = String(error.message);
  }
}

function showMapStats(stats) {
  window.orvaneMapStats = { ...stats };
  $('map-status').textContent = `${stats.count.toLocaleString()} entities; loaded in ` +
      `${Math.round(stats.loadMs)} ms, drawn in ${Math.round(stats.drawMs)} ms`;
}

function setUpMap() {
  state.map = new WorldMap($('map'), (ids) => {
    const line = $('line');
    line.value = line.value.replace(/\s*$/, line.value.trim() ? ' ' : '') + ids;
    line.focus();
  });
  state.map.onReload = loadMap;
  state.map.onDrawn = (stats) => { if (stats.count !== undefined) showMapStats(stats); };
  state.map.onHover = (hit) => {
    const box = $('hover');
    box.classList.toggle('hidden', !hit);
    if (!hit) return;
    box.textContent = hit.text;
    box.style.left = hit.x + 14 + 'px';
    box.style.top = hit.y + 14 + 'px';
  };
  state.map.onTribes = (tribes) => {
    const select = $('tribe-filter');
    if (select.options.length - 1 === tribes.size) return;
    const chosen = select.value;
    select.length = 1;
    for (const [id, name] of tribes) select.add(new Option(`${name} (${id})`, String(id)));
    select.value = chosen;
  };
  for (const box of document.querySelectorAll('.map-tools input[data-kind]'))
    box.addEventListener('change', () => { state.map.show[box.dataset.kind] = box.checked; state.map.draw(); });
  $('tribe-filter').addEventListener('change', (e) => {
    state.map.tribe = e.target.value === '' ? null : Number(e.target.value);
    state.map.draw();
  });
  $('map-reload').addEventListener('click', loadMap);
}

// ---- commands: names, usage lines, completion ----

// Usage lines and groups from the built-in command reference; names from the server's own list.
async function loadCommands() {
  const reference = await (await fetch('/static/commands.md')).text();
  const known = new Map();
  for (const row of reference.matchAll(/^\| `([^`]+)` \| `([^`]+)` \| (.*) \|$/gm))
    known.set(row[1].toLowerCase(), { group: row[2], usage: row[3].replace(/<br>.*$/, '').replace(/`/g, '') });
  const listed = await api('/api/command', { line: 'emu.commands' });
  const names = (listed.replies[0] || '').split('\n').filter(Boolean);
  state.commands = names.map((name) => ({ name, ...(known.get(name.toLowerCase()) ||
                                                   { group: name, usage: '' }) }));
}

function firstWord(line) {
  return line.trim().split(/\s+/)[0] || '';
}

function commandOf(line) {
  const word = firstWord(line).toLowerCase();
  return state.commands.find((c) => c.name.toLowerCase() === word);
}

function suggest() {
  const line = $('line').value;
  const list = $('suggestions');
  list.replaceChildren();
  if (!line || /\s/.test(line.trimStart())) {
    list.classList.add('hidden');
    return [];
  }
  const prefix = line.trim().toLowerCase();
  const found = state.commands.filter((c) => c.name.toLowerCase().startsWith(prefix)).slice(0, 12);
  for (const [i, c] of found.entries()) {
    const item = document.createElement('li');
    item.className = i === 0 ? 'current' : '';
    item.append(c.name);
    const usage = document.createElement('span');
    usage.className = 'usage';
    usage.textContent = c.usage;
    item.append(usage);
    item.addEventListener('mousedown', (e) => { e.preventDefault(); complete(c); });
    list.append(item);
  }
  list.classList.toggle('hidden', found.length === 0);
  return found;
}

function complete(command) {
  $('line').value = command.name + ' ';
  $('suggestions').classList.add('hidden');
  $('line').focus();
}

$('line').addEventListener('input', suggest);
$('line').addEventListener('blur', () => $('suggestions').classList.add('hidden'));
$('line').addEventListener('keydown', (e) => {
  const line = $('line');
  if (e.key === 'Tab') {
    const found = suggest();
    if (found.length) {
      e.preventDefault();
      complete(found[0]);
    }
  } else if (e.key === 'ArrowUp' || e.key === 'ArrowDown') {
    if (!state.history.length) return;
    e.preventDefault();
    state.historyAt = Math.max(0, Math.min(state.history.length,
                                           state.historyAt + (e.key === 'ArrowUp' ? -1 : 1)));
    line.value = state.history[state.historyAt] ?? '';
  } else if (e.key === 'Escape') {
    $('suggestions').classList.add('hidden');
  }
});

// ---- running lines, with the preview first for what changes the world ----

function needsPreview(line) {
  if (!$('preview-first').checked) return false;
  const command = commandOf(line);
  return !!command && !/^(emu\.|Get|List)/.test(command.name) && !kReadOnlyGroups.has(command.group);
}

async function run(line) {
  try {
    const result = await api('/api/command', { line });
    showReply(line, result.replies);
    return result.replies;
  } catch (error) {
    showReply(line, [error.message], true);
    return null;
  }
}

function showReply(line, replies, failed = false) {
  const entry = document.createElement('div');
  entry.className = 'reply' + (failed ? ' failed' : '');
  const head = document.createElement('div');
  head.className = 'line';
  head.textContent = '> ' + line;
  entry.append(head);
  for (const text of replies.length ? replies : ['(no reply)']) {
    const body = document.createElement('pre');
    const lines = text.length > kFoldChars ? null : text.split('\n');
    if (lines && lines.length <= kFoldLines) {
      body.textContent = text;
      entry.append(body);
      continue;
    }
    // Folded: the text goes into the page only when opened, and at most kMaxShownChars of it.
    const fold = document.createElement('details');
    const summary = document.createElement('summary');
    const end = text.indexOf('\n');
    summary.textContent = `${text.slice(0, end < 0 ? 120 : Math.min(end, 120))} ... (${text.length} characters)`;
    fold.append(summary, body);
    fold.addEventListener('toggle', () => {
      if (!fold.open || body.textContent) return;
      body.textContent = text.length > kMaxShownChars
        ? `${text.slice(0, kMaxShownChars)}\n... (${text.length - kMaxShownChars} more characters)` : text;
    });
    entry.append(fold);
  }
  const replies_ = $('replies');
  replies_.prepend(entry);
  while (replies_.children.length > 200) replies_.lastChild.remove();
}

async function preview(line) {
  const replies = await run('emu.preview ' + line);
  if (!replies) return;
  let report = null;
  try { report = JSON.parse(replies[0]); } catch { /* the preview failed: its reply says why */ }
  const removed = report?.world?.removed ?? [];
  const counts = state.map.setHighlight(removed);
  const parts = Object.entries(counts).map(([kind, n]) => `${n} ${kind}${n === 1 ? '' : 's'}`);
  $('preview-summary').textContent = report
      ? `${line}: would remove ${parts.length ? parts.join(', ') : 'nothing'}` +
        `, add ${report.world.added.length}, change ${report.world.changed.length} ` +
        `(${report.calls.length} game calls). Run it?`
      : `${line}: no preview (${replies[0]}). Run it anyway?`;
  $('preview-detail').textContent = report ? report.replies.map((r) => r.body).join('\n') : '';
  state.pendingLine = line;
  $('preview').classList.remove('hidden');
  $('preview-confirm').focus();
}

function endPreview() {
  state.pendingLine = null;
  $('preview').classList.add('hidden');
  state.map.setHighlight([]);
  $('line').focus();
}

$('preview-confirm').addEventListener('click', async () => {
  const line = state.pendingLine;
  endPreview();
  if (line) await run(line);
});
$('preview-cancel').addEventListener('click', endPreview);

$('command-form').addEventListener('submit', async (e) => {
  e.preventDefault();
  const line = $('line').value.trim();
  if (!line) return;
  state.history.push(line);
  state.historyAt = state.history.length;
  $('line').value = '';
  $('suggestions').classList.add('hidden');
  if (needsPreview(line)) await preview(line);
  else await run(line);
});

// ---- login ----

$('login-form').addEventListener('submit', async (e) => {
  e.preventDefault();
  $('login-button').disabled = true;
  try {
    const session = await api('/api/login', { password: $('password').value });
    $('password').value = '';
    await enter(session);
  } catch (error) {
    $('login-error').textContent = error.message;
  } finally {
    $('login-button').disabled = false;
  }
});

$('logout').addEventListener('click', async () => {
  await api('/api/logout', {}).catch(() => {});
  showLogin('logged out');
});

setUpMap();
api('/api/session').then(enter, () => showLogin(''));

'use strict';
// The world on a canvas: players, dinos and structures in map coordinates, from the server's
// snapshot (typed columns, see server/web/map_data.h) and the rows of what each command touched.
// Points are written straight into the canvas's pixels, so a million of them draw in a few
// tens of milliseconds; hover and click find the nearest drawn point.

const kUnclaimedTeam = 2000000000;
const kTamedAbove = 50000;
const kColours = { player: 0xffffffff, tamed: 0xff44cc44, wild: 0xff3399ee, unclaimed: 0xffee44cc,
                   actor: 0xff888888, background: 0xff13100e, highlight: 0xff3333ff };

function dinoKind(team) {
  return team === kUnclaimedTeam ? 'unclaimed' : team > kTamedAbove ? 'tamed' : 'wild';
}

// A colour per tribe (ABGR, as the pixels take it), the same for the same team every time.
function tribeColour(team) {
  let h = Math.imul(team ^ 0x9e3779b9, 0x85ebca6b) >>> 0;
  h ^= h >>> 13;
  const hue = (h % 360) / 360;
  const f = (n) => {
    const k = (n + hue * 12) % 12;
    return Math.round(255 * (0.62 - 0.38 * Math.max(-1, Math.min(k - 3, 9 - k, 1))));
  };
  return (0xff000000 | (f(4) << 16) | (f(8) << 8) | f(0)) >>> 0;
}

// One kind of entity as growable columns; `alive` marks rows still in the world.
class Group {
  constructor(kind, n, columns) {
    this.kind = kind;
    this.n = n;
    this.cols = columns;
    this.alive = new Uint8Array(n).fill(1);
    this.colour = new Uint32Array(n);
    this.index = null;  // key -> row, made on the first change
  }
  grow() {
    const capacity = Math.max(16, this.alive.length * 2);
    for (const name of Object.keys(this.cols)) {
      const old = this.cols[name];
      const next = new old.constructor(capacity);
      next.set(old.subarray(0, this.n));
      this.cols[name] = next;
    }
    for (const name of ['alive', 'colour']) {
      const next = new this[name].constructor(capacity);
      next.set(this[name].subarray(0, this.n));
      this[name] = next;
    }
  }
  keyOf(row) {
    const c = this.cols;
    return this.kind === 'dinos' ? c.id1[row] * 4294967296 + c.id2[row] : c.key[row];
  }
  rowOf(key) {
    if (!this.index) {
      this.index = new Map();
      for (let i = 0; i < this.n; i++) this.index.set(this.keyOf(i), i);
    }
    return this.index.get(key);
  }
  // Adds or updates a row from the server's JSON row; returns its index.
  upsert(key, values) {
    let row = this.rowOf(key);
    if (row === undefined) {
      if (this.n >= this.alive.length) this.grow();
      row = this.n++;
      this.index.set(key, row);
    }
    for (const [name, value] of Object.entries(values)) this.cols[name][row] = value;
    this.alive[row] = 1;
    return row;
  }
}

class WorldMap {
  constructor(canvas, onPick) {
    this.canvas = canvas;
    this.onPick = onPick;
    this.groups = {};
    this.players = [];
    this.tribes = new Map();
    this.classes = [];
    this.names = [];
    this.show = { players: true, tamed: true, wild: true, unclaimed: true, structures: true, actors: true };
    this.tribe = null;         // a team to show alone, or null
    this.highlight = [];       // [group, row] or ['players', index] of a preview's removals
    this.view = { cx: 0, cy: 0, scale: 1 };
    this.stats = {};
    this.pending = [];         // changes that came before the snapshot
    this.loaded = false;
    this.listen();
  }

  // Loads the whole world; resolves with {loadMs, count}.
  async load() {
    const started = performance.now();
    this.loaded = false;
    const response = await fetch('/api/map', { credentials: 'same-origin' });
    if (!response.ok) throw new Error('map: ' + response.status);
    const buffer = await response.arrayBuffer();
    const length = new DataView(buffer).getUint32(0, true);
    const header = JSON.parse(new TextDecoder().decode(new Uint8Array(buffer, 4, length)));
    let offset = Math.ceil((4 + length) / 4) * 4;
    const types = { f32: Float32Array, i32: Int32Array, u32: Uint32Array };
    const columns = { dinos: {}, structures: {}, actors: {} };
    for (const [group, name, type] of header.columns) {
      const n = header.counts[group];
      columns[group][name] = new types[type](buffer, offset, n);
      offset += 4 * n;
    }
    this.classes = header.classes;
    this.names = header.names;
    this.classIndex = new Map(this.classes.map((c, i) => [c, i]));
    this.nameIndex = null;
    for (const group of ['dinos', 'structures', 'actors'])
      this.groups[group] = new Group(group, header.counts[group], columns[group]);
    for (const group of Object.values(this.groups))
      for (let i = 0; i < group.n; i++) group.colour[i] = this.colourOf(group.kind, group.cols.team[i]);
    this.setPlayers(header.players, header.tribes);
    this.fit();
    this.loaded = true;
    for (const change of this.pending.splice(0)) this.apply(change);
    this.stats.loadMs = performance.now() - started;
    this.stats.count = Object.values(this.groups).reduce((n, g) => n + g.n, 0) + this.players.length;
    this.draw();
    return this.stats;
  }

  colourOf(kind, team) {
    if (kind === 'dinos') return kColours[dinoKind(team)];
    if (kind === 'actors') return kColours.actor;
    return tribeColour(team);
  }

  setPlayers(players, tribes) {
    this.players = players;
    this.tribes = new Map(tribes.map((t) => [t.id, t.name]));
    this.onTribes?.(this.tribes);
  }

  textIndex(table, text) {
    if (!this[table + 'Index']) this[table + 'Index'] = new Map(this[table].map((c, i) => [c, i]));
    let i = this[table + 'Index'].get(text);
    if (i === undefined) {
      i = this[table].push(text) - 1;
      this[table + 'Index'].set(text, i);
    }
    return i;
  }

  // The rows a command touched (map_data.h's MapRows).
  apply(change) {
    if (change.reload) {
      this.onReload?.();
      return;
    }
    if (!this.loaded) {
      this.pending.push(change);
      return;
    }
    this.setPlayers(change.players, change.tribes);
    for (const row of change.rows) {
      const group = this.groups[{ dino: 'dinos', structure: 'structures', actor: 'actors' }[row.kind]];
      if (row.gone) {
        const targets = row.kind === 'spawned' ? [this.groups.structures, this.groups.actors] : [group];
        const key = row.kind === 'dino' ? row.id1 * 4294967296 + row.id2 : row.key;
        for (const g of targets) {
          const r = g.rowOf(key);
          if (r !== undefined) g.alive[r] = 0;
        }
        continue;
      }
      const values = { x: row.x, y: row.y, team: row.team, cls: this.textIndex('classes', row.class),
                       name: this.textIndex('names', row.name ?? '') };
      const key = row.kind === 'dino' ? row.id1 * 4294967296 + row.id2 : row.key;
      if (row.kind === 'dino') Object.assign(values, { id1: row.id1, id2: row.id2 });
      else values.key = row.key;
      const r = group.upsert(key, values);
      group.colour[r] = this.colourOf(group.kind, row.team);
    }
    this.scheduleDraw();
  }

  // Keys of a preview's removed entities -> highlighted rows; returns the counts by kind.
  setHighlight(removed) {
    this.highlight = [];
    const counts = {};
    for (const entity of removed) {
      counts[entity.kind] = (counts[entity.kind] || 0) + 1;
      if (entity.kind === 'player') {
        const i = this.players.findIndex((p) => p.eos === entity.key);
        if (i >= 0) this.highlight.push(['players', i]);
        continue;
      }
      const group = this.groups[{ dino: 'dinos', structure: 'structures', actor: 'actors' }[entity.kind]];
      if (!group) continue;
      const key = entity.kind === 'dino' ? entity.key[0] * 4294967296 + entity.key[1]
                : typeof entity.key === 'number' ? entity.key : -1 - Number(String(entity.key).split(':')[1]);
      const row = group.rowOf(key);
      if (row !== undefined && group.alive[row]) this.highlight.push([group.kind, row]);
    }
    this.draw();
    return counts;
  }

  // Whether the row passes the filters (kind and tribe) and is still in the world.
  visible(group, i) {
    if (!group.alive[i]) return false;
    const team = group.cols.team[i];
    if (this.tribe !== null && team !== this.tribe) return false;
    if (group.kind === 'dinos') return this.show[dinoKind(team)];
    return this.show[group.kind];
  }

  fit() {
    let minX = Infinity, minY = Infinity, maxX = -Infinity, maxY = -Infinity;
    const take = (x, y) => {
      if (x < minX) minX = x; if (x > maxX) maxX = x;
      if (y < minY) minY = y; if (y > maxY) maxY = y;
    };
    for (const g of Object.values(this.groups))
      for (let i = 0; i < g.n; i++) take(g.cols.x[i], g.cols.y[i]);
    for (const p of this.players) take(p.x, p.y);
    if (minX === Infinity) { minX = minY = -1000; maxX = maxY = 1000; }
    const { width, height } = this.size();
    this.view.cx = (minX + maxX) / 2;
    this.view.cy = (minY + maxY) / 2;
    this.view.scale = 0.92 * Math.min(width / Math.max(1, maxX - minX), height / Math.max(1, maxY - minY));
  }

  size() {
    const rect = this.canvas.getBoundingClientRect();
    return { width: Math.max(1, Math.floor(rect.width)), height: Math.max(1, Math.floor(rect.height)) };
  }

  toScreen(x, y, width, height) {
    const v = this.view;
    return [(x - v.cx) * v.scale + width / 2, (y - v.cy) * v.scale + height / 2];
  }

  scheduleDraw() {
    if (this.drawQueued) return;
    this.drawQueued = true;
    requestAnimationFrame(() => { this.drawQueued = false; this.draw(); });
  }

  draw() {
    const started = performance.now();
    const { width, height } = this.size();
    if (this.canvas.width !== width || this.canvas.height !== height) {
      this.canvas.width = width;
      this.canvas.height = height;
    }
    const ctx = this.canvas.getContext('2d');
    const image = ctx.createImageData(width, height);
    const pixels = new Uint32Array(image.data.buffer);
    pixels.fill(kColours.background);
    const v = this.view;
    const size = Math.max(2, Math.min(6, Math.round(v.scale * 40)));
    const ox = width / 2 - v.cx * v.scale - (size >> 1), oy = height / 2 - v.cy * v.scale - (size >> 1);
    for (const name of ['actors', 'structures', 'dinos']) {
      const g = this.groups[name];
      if (!g) continue;
      const { x, y } = g.cols;
      for (let i = 0; i < g.n; i++) {
        if (!this.visible(g, i)) continue;
        const sx = (x[i] * v.scale + ox) | 0, sy = (y[i] * v.scale + oy) | 0;
        if (sx < 0 || sy < 0 || sx + size > width || sy + size > height) continue;
        const colour = g.colour[i];
        for (let dy = 0; dy < size; dy++) pixels.fill(colour, (sy + dy) * width + sx, (sy + dy) * width + sx + size);
      }
    }
    ctx.putImageData(image, 0, 0);
    if (this.show.players)
      for (const p of this.players) {
        if (this.tribe !== null && p.team !== this.tribe) continue;
        const [sx, sy] = this.toScreen(p.x, p.y, width, height);
        ctx.fillStyle = p.alive ? '#fff' : '#777';
        ctx.beginPath();
        ctx.arc(sx, sy, 5, 0, 2 * Math.PI);
        ctx.fill();
      }
    ctx.strokeStyle = '#f33';
    ctx.lineWidth = 1.5;
    for (const [name, row] of this.highlight) {
      const [x, y] = name === 'players' ? [this.players[row].x, this.players[row].y]
                                        : [this.groups[name].cols.x[row], this.groups[name].cols.y[row]];
      const [sx, sy] = this.toScreen(x, y, width, height);
      ctx.strokeRect(sx - 4, sy - 4, 8, 8);
    }
    this.stats.drawMs = performance.now() - started;
    this.onDrawn?.(this.stats);
  }

  // The shown entity nearest to a canvas point, within a few pixels.
  pick(px, py) {
    const { width, height } = this.size();
    const v = this.view;
    let best = null, bestD = 64;
    if (this.show.players)
      this.players.forEach((p, i) => {
        if (this.tribe !== null && p.team !== this.tribe) return;
        const [sx, sy] = this.toScreen(p.x, p.y, width, height);
        const d = (sx - px) ** 2 + (sy - py) ** 2;
        if (d < bestD) { bestD = d; best = ['players', i]; }
      });
    const wx = (px - width / 2) / v.scale + v.cx, wy = (py - height / 2) / v.scale + v.cy;
    const r2 = bestD / (v.scale * v.scale);
    let bestW = best ? 0 : r2;
    for (const name of ['dinos', 'structures', 'actors']) {
      const g = this.groups[name];
      if (!g) continue;
      const { x, y } = g.cols;
      for (let i = 0; i < g.n; i++) {
        const d = (x[i] - wx) ** 2 + (y[i] - wy) ** 2;
        if (d < bestW && this.visible(g, i)) { bestW = d; best = [name, i]; }
      }
    }
    return best;
  }

  // What hovering shows, and what a click puts in the command line.
  describe([name, row]) {
    if (name === 'players') {
      const p = this.players[row];
      return { text: `player ${p.name}\nEOS ${p.eos}\nplayer id ${p.player_id}\nteam ${p.team}${this.tribeName(p.team)}`,
               ids: p.eos };
    }
    const g = this.groups[name], c = g.cols;
    const cls = this.classes[c.cls[row]], label = this.names[c.name[row]], team = c.team[row];
    if (name === 'dinos')
      return { text: `dino ${label || '(no name)'}\nclass ${cls}\nids ${c.id1[row]} ${c.id2[row]}\n` +
                     `team ${team} (${dinoKind(team)})${this.tribeName(team)}`,
               ids: `${c.id1[row]} ${c.id2[row]}` };
    const key = c.key[row];
    const where = key >= 0 ? `${name === 'structures' ? 'structure' : 'actor'} ${key}` : `spawned ${-1 - key}`;
    return { text: `${where}\nclass ${cls}${label ? '\nowner ' + label : ''}\nteam ${team}${this.tribeName(team)}`,
             ids: String(team) };
  }

  tribeName(team) {
    const name = this.tribes.get(team);
    return name ? ` "${name}"` : '';
  }

  listen() {
    const c = this.canvas;
    let drag = null;
    c.addEventListener('mousedown', (e) => { drag = { x: e.clientX, y: e.clientY, moved: false }; });
    window.addEventListener('mouseup', (e) => {
      if (drag && !drag.moved && e.target === c) {
        const hit = this.pick(e.offsetX, e.offsetY);
        if (hit) this.onPick?.(this.describe(hit).ids);
      }
      drag = null;
    });
    c.addEventListener('mousemove', (e) => {
      if (drag && (Math.abs(e.clientX - drag.x) + Math.abs(e.clientY - drag.y) > 2 || drag.moved)) {
        this.view.cx -= (e.clientX - drag.x) / this.view.scale;
        this.view.cy -= (e.clientY - drag.y) / this.view.scale;
        drag = { x: e.clientX, y: e.clientY, moved: true };
        this.scheduleDraw();
        return;
      }
      this.hoverAt = [e.offsetX, e.offsetY];
      if (!this.hoverQueued) {
        this.hoverQueued = true;
        requestAnimationFrame(() => { this.hoverQueued = false; this.hover(); });
      }
    });
    c.addEventListener('mouseleave', () => this.onHover?.(null));
    c.addEventListener('wheel', (e) => {
      e.preventDefault();
      const { width, height } = this.size();
      const v = this.view;
      const wx = (e.offsetX - width / 2) / v.scale + v.cx, wy = (e.offsetY - height / 2) / v.scale + v.cy;
      v.scale *= Math.exp(-e.deltaY * 0.0015);
      v.cx = wx - (e.offsetX - width / 2) / v.scale;
      v.cy = wy - (e.offsetY - height / 2) / v.scale;
      this.scheduleDraw();
    }, { passive: false });
    window.addEventListener('resize', () => this.scheduleDraw());
  }

  hover() {
    if (!this.hoverAt || !this.loaded) return;
    const hit = this.pick(...this.hoverAt);
    this.onHover?.(hit ? { x: this.hoverAt[0], y: this.hoverAt[1], text: this.describe(hit).text } : null);
  }
}

window.WorldMap = WorldMap;

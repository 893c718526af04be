// The studio's measures, from a run anyone can repeat (`make misura-studio`):
// the size of studio.html, raw and gzipped; the time from opening it to a
// usable editor; the time from the last keystroke to the diagnostics shown,
// on the default world and on a generated world of 1 000 places; and the
// solver's states per second in the Worker against velt-autore risolvi on
// the default world. Each timing is taken RIPETIZIONI times: median, min, max.
// Usage: node misura.mjs STUDIO NATIVO (the native build, with genera_mondo)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { execFileSync, spawnSync } from 'node:child_process';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const [STUDIO, NATIVO] = process.argv.slice(2);
if (!STUDIO || !NATIVO) {
  console.error('uso: node misura.mjs STUDIO NATIVO');
  process.exit(2);
}
const RIPETIZIONI = 5;
const cifre = (v) => v.toFixed(0);
function riassunto(nome, valori, unita = 'ms') {
  const s = [...valori].sort((a, b) => a - b);
  console.log(`${nome}: mediana ${cifre(s[s.length >> 1])} ${unita} (min ${cifre(s[0])}, max ${cifre(s.at(-1))}, ${s.length} prove)`);
}

const html = fs.readFileSync(STUDIO);
console.log(`studio.html: ${html.length} byte, ${zlib.gzipSync(html, { level: 9 }).length} byte con gzip -9`);

const cartella = fs.mkdtempSync(path.join(os.tmpdir(), 'velt-misura-'));
const grande = path.join(cartella, 'mille.ini');
fs.writeFileSync(grande, execFileSync(path.join(NATIVO, 'bench', 'genera_mondo'), ['1000', '2'], { maxBuffer: 1 << 28 }));

const browser = await chromium.launch({
  executablePath: process.env.VELT_CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'],
});

// Opens the studio in a fresh profile: ms to an editable editor, and to the
// first analysis shown.
async function apri() {
  const contesto = await browser.newContext();
  const p = await contesto.newPage();
  const inizio = performance.now();
  await p.goto(pathToFileURL(STUDIO).href);
  await p.waitForSelector('.cm-content[contenteditable="true"]');
  const editor = performance.now() - inizio;
  await p.waitForSelector('body[data-pronto="1"][data-analisi]', { state: 'attached', timeout: 120000 });
  return { p, contesto, editor, pronto: performance.now() - inizio };
}

// One keystroke at the end of the text: ms until its diagnostics are shown
// (the debounce included), and the analysis's own time in the Worker.
const battuta = (p) => p.evaluate(() => new Promise((ok) => {
  const v = window.velt.editor, corpo = document.body;
  const prima = Number(corpo.dataset.analisi);
  const o = new MutationObserver(() => {
    if (Number(corpo.dataset.analisi) > prima) {
      o.disconnect();
      ok({ ms: performance.now() - inizio, lavoro: Number(corpo.dataset.msAnalisi) });
    }
  });
  o.observe(corpo, { attributes: true });
  const inizio = performance.now();
  v.dispatch({ changes: { from: v.state.doc.length, insert: '\n' } });
}));

const aperture = [], pronti = [];
for (let i = 0; i < RIPETIZIONI; i++) {
  const a = await apri();
  aperture.push(a.editor);
  pronti.push(a.pronto);
  await a.contesto.close();
}
riassunto('apertura fino all\'editor utilizzabile', aperture);
riassunto('apertura fino alla prima analisi mostrata', pronti);

for (const [nome, file] of [['mondo predefinito', null], ['mondo di 1 000 luoghi', grande]]) {
  const a = await apri();
  if (file) {
    const prima = Number(await a.p.$eval('body', (b) => b.dataset.analisi));
    await a.p.setInputFiles('#file-mondo', file);
    await a.p.waitForFunction((n) => Number(document.body.dataset.analisi) > n, prima, { timeout: 120000 });
  }
  const totali = [], lavori = [];
  for (let i = 0; i < RIPETIZIONI; i++) {
    const b = await battuta(a.p);
    totali.push(b.ms);
    lavori.push(b.lavoro);
  }
  riassunto(`${nome}: dall'ultima battuta alla diagnostica (attesa di 300 ms compresa)`, totali);
  riassunto(`${nome}: analisi e mappa nel Worker`, lavori);
  await a.contesto.close();
}

// The solver on the default world: its whole search (about 35 000 states to
// the solution), natively (the process's whole run) and in the Worker.
{
  const mondo = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', '..', 'worlds', 'mondo.ini');
  const nativi = [];
  let esplorati = 0;
  for (let i = 0; i < RIPETIZIONI; i++) {
    const inizio = performance.now();
    const r = spawnSync(path.join(NATIVO, 'autore', 'velt-autore'), ['risolvi', mondo]);
    const ms = performance.now() - inizio;
    esplorati = Number((/(\d+) stat[oi] esplorat/.exec(r.stderr.toString()) || [])[1] || 0);
    nativi.push(esplorati / (ms / 1000));
  }
  const a = await apri();
  const web = [];
  await a.p.click('#scheda-prove');
  for (let i = 0; i < RIPETIZIONI; i++) {
    await a.p.evaluate(() => { delete document.body.dataset.statiAlSecondo; });
    await a.p.click('#risolvi');
    await a.p.waitForSelector('body[data-stati-al-secondo]', { state: 'attached', timeout: 600000 });
    web.push(Number(await a.p.$eval('body', (b) => b.dataset.statiAlSecondo)));
  }
  await a.contesto.close();
  console.log(`risolvi sul mondo predefinito: ${esplorati} stati esplorati`);
  riassunto('risolvi nativo (processo intero)', nativi, 'stati/s');
  riassunto('Risolvi nel Worker (richiesta intera)', web, 'stati/s');
}
await browser.close();
fs.rmSync(cartella, { recursive: true });

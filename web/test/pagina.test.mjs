// The page in a real browser: headless Chromium driven by playwright-core.
// Every game played in the page is played again by the terminal program
// velt-utf8 on the same world with the same input: the page's text (without
// the echo of the typed lines) must be exactly what velt-utf8 prints.
// Environment (set by CTest): VELT_PAGINA the built page, VELT_NATIVO the
// native build, VELT_SORGENTI the repository, VELT_ARTEFATTI where the
// screenshots go; VELT_CHROMIUM the browser, default Debian's. Each test's
// name starts with its group, which CTest runs as one test.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { variabile, terminale } from './comune.mjs';

const PAGINA = variabile('VELT_PAGINA');
const NATIVO = variabile('VELT_NATIVO');
const SORGENTI = variabile('VELT_SORGENTI');
const ARTEFATTI = variabile('VELT_ARTEFATTI');
const sorgente = (...p) => path.join(SORGENTI, ...p);
const righe = (file) => fs.readFileSync(file, 'latin1').split('\n').slice(0, -1);
const SOLUZIONE = righe(sorgente('tests/transcripts/mondo-predefinito-soluzione/input'));
const PREDEFINITO = fs.readFileSync(sorgente('worlds/mondo.ini'));
const CAFFE = fs.readFileSync(sorgente('tests/transcripts/utf8/mondo.ini'));
const CAFFE_UTF8 = execFileSync('iconv', ['-f', 'CP850', '-t', 'UTF-8'], { input: CAFFE }).toString();
const FATALE = fs.readFileSync(sorgente('tests/transcripts/mondo-inizio-ignoto/mondo.ini'));


let browser, server, base;
before(async () => {
  const html = fs.readFileSync(PAGINA);
  server = http.createServer((req, res) => {
    res.writeHead(req.url === '/' ? 200 : 404, { 'content-type': 'text/html; charset=utf-8' });
    res.end(req.url === '/' ? html : '');
  });
  await new Promise((ok) => server.listen(0, '127.0.0.1', ok));
  base = `http://127.0.0.1:${server.address().port}/`;
  browser = await chromium.launch({
    executablePath: process.env.VELT_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  fs.mkdirSync(ARTEFATTI, { recursive: true });
});
after(async () => {
  await browser?.close();
  server?.close();
});

// A fresh browser profile (so fresh IndexedDB) with the page opened at `url`
// (after `prepara` on the new page), waiting for the first question. Takes a
// screenshot when the test ends.
async function apri(t, url = base, prepara) {
  const contesto = await browser.newContext();
  const p = await contesto.newPage();
  await prepara?.(p);
  const inizio = performance.now();
  await p.goto(url);
  await pronta(p);
  p.msPrimaDomanda = performance.now() - inizio;
  t.after(async () => {
    await p.screenshot({ path: path.join(ARTEFATTI, `${t.name.replace(/\W+/g, '-')}.png`) });
    await contesto.close();
  });
  return p;
}
// Waits until the game waits for a line or its run has ended.
const pronta = (p) => p.waitForSelector('body[data-in-attesa="1"], body[data-stato]', { state: 'attached' });
async function digita(p, input) {
  for (const r of input) {
    await p.fill('#riga', r);
    await p.press('#riga', 'Enter');
    await pronta(p);
  }
}
// The same from inside the page, with no automation round trip per line:
// the time the page and the engine take.
const digitaDentro = (p, input) => p.evaluate(async (input) => {
  const riga = document.getElementById('riga');
  const corpo = document.body;
  const pronta = () => new Promise((ok) => {
    const o = new MutationObserver(() => {
      if (corpo.dataset.inAttesa === '1' || corpo.dataset.stato) ok(o.disconnect());
    });
    o.observe(corpo, { attributes: true });
  });
  const inizio = performance.now();
  for (const r of input) {
    const dopo = pronta();
    riga.value = r;
    riga.dispatchEvent(new KeyboardEvent('keydown', { key: 'Enter' }));
    await dopo;
  }
  return performance.now() - inizio;
}, input);
// The page's text without the echoed lines, and the echoed lines.
const schermo = (p) => p.$eval('#schermo', (s) => [...s.childNodes]
  .filter((n) => !n.classList?.contains('eco')).map((n) => n.textContent).join(''));
const echi = (p) => p.$$eval('#schermo .eco', (e) => e.map((n) => n.textContent));
const stato = (p) => p.$eval('body', (b) => b.dataset.stato);
const avviso = (p) => p.$eval('#avviso', (a) => a.textContent);
// Runs `azione` and waits until it has started a new run and that run waits
// for a line (or has ended).
async function nuovaCorsa(p, azione) {
  const prima = await p.$eval('body', (b) => b.dataset.corsa);
  await azione();
  await p.waitForFunction((n) => document.body.dataset.corsa !== n, prima);
  await pronta(p);
}
const file = (nome, dati) => ({ name: nome, mimeType: 'text/plain', buffer: Buffer.from(dati) });
const apriMondo = (p, nome, dati) => nuovaCorsa(p, () => p.setInputFiles('#file-mondo', file(nome, dati)));

// Plays `input` in the page and checks it against velt-utf8 on `mondo`
// (with the saved game `salvato`).
async function comeTerminale(p, mondo, input, salvato, scrivi = digita) {
  const inizio = performance.now();
  await scrivi(p, input);
  const ms = performance.now() - inizio;
  const atteso = terminale(mondo, input, salvato);
  assert.equal(await schermo(p), atteso.testo);
  assert.deepEqual(await echi(p), input.map((r) => `${r}\n`));
  assert.equal(await stato(p), String(atteso.stato));
  return { ms, atteso };
}

test('soluzione: il mondo predefinito si vince con la sua soluzione, come in velt-utf8', async (t) => {
  const p = await apri(t);
  const { ms, atteso } = await comeTerminale(p, PREDEFINITO, SOLUZIONE, null, digitaDentro);
  assert.match(atteso.testo, /Hai vinto!/);
  t.diagnostic(`prima domanda dopo ${p.msPrimaDomanda.toFixed(0)} ms; soluzione: pagina ` +
               `${ms.toFixed(0)} ms, velt-utf8 ${atteso.ms.toFixed(1)} ms`);
});

// Typed accented letters reach the engine as code page 850 bytes. Each case:
// the file opened in the page, the same world in code page 850, the input.
const digitati = [
  ['mondo predefinito, prendi perché', PREDEFINITO, PREDEFINITO, ['no', 'prendi perché', 'esci', 'no'],
   /Oggetto perché non trovato/],
  ['tè preso nel mondo del caffè (UTF-8)', CAFFE_UTF8, CAFFE, ['no', 'prendi tè', 'si', 'guarda zaino', 'esci', 'no'],
   /Hai messo l'oggetto tè nello zaino/],
];
for (const [nome, dato, mondo, input, atteso] of digitati) {
  test(`accenti: lettere accentate digitate, ${nome}`, async (t) => {
    const p = await apri(t);
    await apriMondo(p, 'mondo.ini', dato);
    assert.match((await comeTerminale(p, mondo, input)).atteso.testo, atteso);
  });
}

test('mondi: il mondo del giocatore, in code page 850 e in UTF-8, dà lo stesso gioco', async (t) => {
  const p = await apri(t);
  const input = ['no', 'guarda', 'prendi zucchero', 'si', 'esci', 'no'];
  await apriMondo(p, 'caffe.ini', CAFFE);
  assert.equal(await avviso(p), '');
  await comeTerminale(p, CAFFE, input);
  await apriMondo(p, 'caffe-utf8.ini', CAFFE_UTF8);
  assert.match(await avviso(p), /convertito in code page 850/);
  await comeTerminale(p, CAFFE, input);
  // A NUL byte in the world reaches the page too.
  const nul = Buffer.from(CAFFE.toString('latin1').replace('bancone', 'ban\0cone'), 'latin1');
  await apriMondo(p, 'nul.ini', nul);
  assert.match((await comeTerminale(p, nul, input)).atteso.testo, /ban\0cone/);
  // Typographic punctuation becomes plain; a character the code page lacks
  // is reported with its line and the current game goes on.
  await apriMondo(p, 'tipografico.ini', CAFFE_UTF8.replace('Un bancone lucido.', 'Un bancone “lucido”… l’ultimo'));
  await digita(p, ['no']);
  assert.match(await schermo(p), /Un bancone "lucido"\.\.\. l'ultimo/);
  const prima = await schermo(p);
  await p.setInputFiles('#file-mondo', file('euro.ini', CAFFE_UTF8.replace('Un bancone lucido.', 'Un caffè costa 1 €.')));
  await p.waitForFunction(() => /Riga 9: il carattere «€» non esiste in code page 850/
    .test(document.getElementById('avviso').textContent));
  assert.equal(await schermo(p), prima);
});

test('salvataggi: salva, o esci e si, ricarica la pagina, si: la partita riprende; scarica e carica', async (t) => {
  const p = await apri(t);
  const primo = ['no', 'vai basso', 'sposta sacchi', 'prendi chiave', 'si', 'salva'];
  const secondo = ['si', 'guarda zaino', 'vai alto', 'esci', 'si'];
  const terzo = ['si', 'guarda', 'esci', 'no'];
  await digita(p, primo);
  // Up and Down recall the lines typed before.
  for (const [tasto, riga] of [['ArrowUp', 'salva'], ['ArrowUp', 'si'], ['ArrowDown', 'salva'], ['ArrowDown', '']]) {
    await p.press('#riga', tasto);
    assert.equal(await p.inputValue('#riga'), riga);
  }
  const salvato = terminale(PREDEFINITO, [...primo, 'esci', 'no']).salvato;
  await p.reload();
  await pronta(p);
  const { atteso } = await comeTerminale(p, PREDEFINITO, secondo, salvato);
  assert.match(atteso.testo, /- chiave/);
  await p.reload();
  await pronta(p);
  assert.match((await comeTerminale(p, PREDEFINITO, terzo, atteso.salvato)).atteso.testo, /Il giardino/);
  const [scaricato] = await Promise.all([p.waitForEvent('download'), p.click('#scarica')]);
  assert.deepEqual(fs.readFileSync(await scaricato.path()), atteso.salvato);
  // Another world has saves of its own: none yet.
  await apriMondo(p, 'caffe.ini', CAFFE);
  await comeTerminale(p, CAFFE, ['si']);
  assert.equal(await stato(p), '1');
  // In a fresh profile the downloaded save is uploaded and resumed.
  const q = await apri(t);
  await nuovaCorsa(q, () => q.setInputFiles('#file-salvataggio', file('world.ini', atteso.salvato)));
  assert.match(await avviso(q), /Salvataggio caricato/);
  await comeTerminale(q, PREDEFINITO, terzo, atteso.salvato);
});

test('salvataggi: se il browser rifiuta di salvare, la pagina lo dice e la partita continua', async (t) => {
  const p = await apri(t, base, (p) => p.addInitScript(() => {
    IDBFactory.prototype.open = () => { throw new DOMException('spazio esaurito', 'QuotaExceededError'); };
  }));
  await comeTerminale(p, PREDEFINITO, ['no', 'vai basso', 'salva', 'esci', 'no']);
  assert.match(await avviso(p), /^I salvataggi non restano nel browser \(spazio esaurito\)\.\n/);
  assert.match(await avviso(p), /\nSalvataggio nel browser non riuscito \(spazio esaurito\)[^\n]*\nPartita finita/);
});

test('fatale: un mondo con un errore fatale mostra l\'errore; la pagina ricomincia', async (t) => {
  const p = await apri(t);
  await apriMondo(p, 'fatale.ini', FATALE);
  await comeTerminale(p, FATALE, ['no']);
  assert.equal(await stato(p), '1');
  assert.match(await avviso(p), /Il gioco si è fermato \(stato 1\)/);
  await apriMondo(p, 'caffe.ini', CAFFE);
  assert.equal(await stato(p), undefined);
  await comeTerminale(p, CAFFE, ['no', 'esci', 'no']);
  await nuovaCorsa(p, () => p.click('#ricomincia'));
  await comeTerminale(p, CAFFE, ['no', 'esci', 'no']);
});

test('pubblica: con velt-autore, la pagina da file:// ha il titolo del mondo, si gioca e si vince', async (t) => {
  const cartella = fs.mkdtempSync(path.join(os.tmpdir(), 'velt-pubblica-'));
  t.after(() => fs.rmSync(cartella, { recursive: true }));
  const gioco = path.join(cartella, 'gioco.html');
  const mondo = path.join(cartella, 'mondo.utf8.ini');
  fs.writeFileSync(mondo, execFileSync('iconv', ['-f', 'CP850', '-t', 'UTF-8'], { input: PREDEFINITO }));
  fs.writeFileSync(gioco, execFileSync(path.join(NATIVO, 'autore', 'velt-autore'),
    ['pubblica', mondo, '--pagina', PAGINA]));
  const p = await apri(t, pathToFileURL(gioco).href);
  assert.equal(await p.title(), 'Il segreto di Villa Aurora');
  const { atteso } = await comeTerminale(p, PREDEFINITO, SOLUZIONE);
  assert.match(atteso.testo, /Hai vinto!/);
});

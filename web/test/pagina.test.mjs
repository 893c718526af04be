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
import {
  terminale, lanciaChromium, PAGINA, NATIVO, sorgente, righe, SOLUZIONE, PREDEFINITO, ARTEFATTI,
} from './comune.mjs';

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
  browser = await lanciaChromium(['--disable-quic']);
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
  // The closing message, and only it, is marked; the page says so once.
  const finale = await p.$$eval('[data-finito]', (e) => e.map((n) => n.textContent));
  assert.equal(finale.length, 1);
  assert.match(finale[0], /^ - Il medaglione e il diario sono tornati nella torre\.[^]*Hai vinto!\n$/);
  assert.equal((await avviso(p)).split('Sei arrivato alla fine del gioco.').length, 2);
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
  await p.waitForFunction(() => /Riga 9: il carattere '€' \(U\+20AC\), alla colonna 18, non esiste nella code page 850/
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
  // The stop came from the question, not from the world: nothing blames it.
  assert.match(await avviso(p), /Il gioco si è fermato \(stato 1\): il motivo è scritto qui sopra/);
  assert.doesNotMatch(await avviso(p), /mondo/);
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
  await vinciPubblicata(t, gioco);
});

// The published default world `gioco`, opened from file://: its title is the
// world's, and the walkthrough plays as in velt-utf8 to the win.
async function vinciPubblicata(t, gioco) {
  const p = await apri(t, pathToFileURL(gioco).href);
  assert.equal(await p.title(), 'Il segreto di Villa Aurora');
  const { atteso } = await comeTerminale(p, PREDEFINITO, SOLUZIONE);
  assert.match(atteso.testo, /Hai vinto!/);
  // The published page is the player's: its saves, none of the author's controls.
  assert.equal(await p.$('#apri'), null);
  assert.equal(await p.$('footer'), null);
  assert.ok(await p.isVisible('#scarica'));
  assert.ok(await p.isVisible('#carica'));
}

// The page that the Debian package's velt-autore published, away from any
// build: tests/pacchetto.sh names it in VELT_PUBBLICATA, with the package's
// programs as VELT_NATIVO.
test('pacchetto: la pagina pubblicata dal velt-autore installato si gioca e si vince',
  { skip: !process.env.VELT_PUBBLICATA && 'solo con tests/pacchetto.sh' },
  (t) => vinciPubblicata(t, process.env.VELT_PUBBLICATA));

test('pubblica: autore e descrizione sulla pagina e nelle anteprime; un salvataggio si carica', async (t) => {
  const cartella = fs.mkdtempSync(path.join(os.tmpdir(), 'velt-pubblica-'));
  t.after(() => fs.rmSync(cartella, { recursive: true }));
  const gioco = path.join(cartella, 'gioco.html');
  const mondo = path.join(cartella, 'caffe.ini');
  fs.writeFileSync(mondo, CAFFE);
  execFileSync(path.join(NATIVO, 'autore', 'velt-autore'),
    ['pubblica', mondo, '--pagina', PAGINA, '-o', gioco, '--autore', 'Ada <Lovelace>',
     '--descrizione', 'Un "caffè" al bar & niente più']);
  const p = await apri(t, pathToFileURL(gioco).href);
  assert.equal(await p.title(), 'Il caffè');
  assert.equal(await p.textContent('h1'), 'Il caffè');
  const meta = (sel) => p.$eval(sel, (m) => m.content);
  assert.equal(await meta('meta[name="description"]'), 'Un "caffè" al bar & niente più');
  assert.equal(await meta('meta[property="og:title"]'), 'Il caffè');
  assert.equal(await meta('meta[property="og:description"]'), 'Un "caffè" al bar & niente più');
  assert.equal(await p.textContent('#descrizione'), 'Un "caffè" al bar & niente più');
  assert.equal(await p.textContent('#autore'), 'Un gioco di Ada <Lovelace>');
  // A save made in the terminal is uploaded and resumed.
  const salvato = terminale(CAFFE, ['no', 'prendi zucchero', 'si', 'salva', 'esci', 'no']).salvato;
  await nuovaCorsa(p, () => p.setInputFiles('#file-salvataggio', file('world.ini', salvato)));
  assert.match((await comeTerminale(p, CAFFE, ['si', 'guarda zaino', 'esci', 'no'], salvato)).atteso.testo,
               /- zucchero/);
});

// Letters typed right after an action must reach the input line.
async function scriveNellaRiga(p, testo = 'guarda') {
  await p.keyboard.type(testo);
  assert.equal(await p.evaluate(() => document.activeElement.id), 'riga');
  assert.equal(await p.inputValue('#riga'), testo);
  await p.fill('#riga', '');
}

test('fuoco: dopo ogni pulsante, finestra e file rifiutato si scrive di nuovo nella riga', async (t) => {
  const p = await apri(t);
  // A file picker closed without a file.
  const [scelta] = await Promise.all([p.waitForEvent('filechooser'), p.click('#carica')]);
  await scelta.setFiles([]);
  await p.waitForFunction(() => document.activeElement.id === 'riga');
  await scriveNellaRiga(p);
  // A button that only reports something.
  await p.click('#scarica');
  assert.match(await avviso(p), /Non c'è ancora un salvataggio/);
  await scriveNellaRiga(p);
  // A world the page refuses.
  await p.setInputFiles('#file-mondo', file('euro.ini', CAFFE_UTF8.replace('Un bancone lucido.', '1 €.')));
  await p.waitForFunction(() => /non esiste nella code page 850/.test(document.getElementById('avviso').textContent));
  await scriveNellaRiga(p);
  // The dialog, keeping the game and leaving it.
  await digita(p, ['no', 'vai basso']);
  await p.click('#apri');
  await p.click('#conferma button[value="no"]');
  await scriveNellaRiga(p);
  await p.click('#ricomincia');
  await nuovaCorsa(p, () => p.click('#conferma button[value="si"]'));
  await scriveNellaRiga(p);
});

test('conferma: aprire un mondo o caricare un salvataggio chiede prima di lasciare una partita', async (t) => {
  const p = await apri(t);
  const corsa = () => p.$eval('body', (b) => b.dataset.corsa);
  const aperta = () => p.$eval('#conferma', (d) => d.open);
  // Nothing typed yet: no question.
  let [scelta] = await Promise.all([p.waitForEvent('filechooser'), p.click('#carica')]);
  await scelta.setFiles([]);
  assert.equal(await aperta(), false);
  await digita(p, ['no', 'vai basso']);
  const prima = await corsa();
  for (const pulsante of ['#carica', '#apri', '#ricomincia']) {
    await p.click(pulsante);
    assert.equal(await aperta(), true, pulsante);
    await p.keyboard.press('Enter'); // the focused button keeps the game
    assert.equal(await aperta(), false);
    assert.equal(await corsa(), prima);
  }
  // After "salva" nothing would be lost.
  await digita(p, ['salva']);
  [scelta] = await Promise.all([p.waitForEvent('filechooser'), p.click('#apri')]);
  assert.equal(await aperta(), false);
  await scelta.setFiles([]);
  // A line after it: the question again, and leaving opens the picker.
  await digita(p, ['guarda']);
  await p.click('#apri');
  [scelta] = await Promise.all([p.waitForEvent('filechooser'), p.click('#conferma button[value="si"]')]);
  await nuovaCorsa(p, () => scelta.setFiles(file('caffe.ini', CAFFE)));
  await comeTerminale(p, CAFFE, ['no', 'esci', 'no']);
  // A game over has nothing to lose either.
  await nuovaCorsa(p, () => p.click('#ricomincia'));
});

test('aspetto: il titolo è quello del mondo aperto; la riga arriva al bordo; sul telefono una riga di icone', async (t) => {
  const p = await apri(t);
  await digita(p, ['no']);
  assert.equal(await p.title(), 'Il segreto di Villa Aurora');
  await apriMondo(p, 'caffe.ini', CAFFE);
  assert.equal(await p.title(), 'caffe');
  await digita(p, ['no']);
  assert.equal(await p.title(), 'Il caffè');
  assert.equal(await p.textContent('h1'), 'Il caffè');
  // The input line starts after the prompt, on its line, and reaches the
  // right edge of the text.
  const misure = () => p.evaluate(() => {
    const r = document.getElementById('riga').getBoundingClientRect();
    const prompt = [...document.querySelectorAll('#schermo .prompt')].pop().getClientRects();
    const ultima = prompt[prompt.length - 1];
    const t = document.getElementById('terminale');
    const destra = t.getBoundingClientRect().left + t.clientWidth - parseFloat(getComputedStyle(t).paddingRight);
    return { sinistra: r.left - ultima.right, alto: Math.abs(r.top - ultima.top), resto: destra - r.right };
  });
  for (const larghezza of [1280, 390]) {
    await p.setViewportSize({ width: larghezza, height: 800 });
    await p.waitForTimeout(100);
    const m = await misure();
    assert.ok(m.sinistra >= 0 && m.sinistra < 4 && m.alto < 8 && m.resto >= 0 && m.resto < 4,
              `${larghezza}: ${JSON.stringify(m)}`);
  }
  // On a phone the header is one line of icons whose names screen readers still read.
  const righe = await p.evaluate(() => {
    const h = document.querySelector('header');
    const alto = new Set([...h.querySelectorAll('h1, button')].map((e) => Math.round(e.getBoundingClientRect().top / 10)));
    return { righe: alto.size, altezza: h.getBoundingClientRect().height };
  });
  assert.ok(righe.righe <= 2 && righe.altezza < 60, JSON.stringify(righe));
  for (const nome of ['Apri un mondo…', 'Scarica salvataggio', 'Carica salvataggio', 'Ricomincia']) {
    const pulsante = p.getByRole('button', { name: nome, exact: true });
    assert.ok(await pulsante.isVisible(), nome);
    assert.ok((await pulsante.boundingBox()).width < 48, nome);
  }
});

test('lettori: il prompt non si ripete, la riga digitata sì una volta, i nomi dei luoghi sono titoli', async (t) => {
  const p = await apri(t);
  await digita(p, ['no', 'vai basso', 'aiuto', 'vai alto']);
  // Every prompt stays in the text but is hidden from screen readers, and
  // the last one names the input.
  const prompt = await p.$$eval('#schermo .prompt', (e) => e.map((n) => [n.textContent, n.getAttribute('aria-hidden')]));
  assert.equal(prompt.length, 5);
  for (const [testo, nascosto] of prompt) {
    assert.match(testo, /^Sono in attesa di (un comando|una risposta) => $/);
    assert.equal(nascosto, 'true');
  }
  assert.equal(await p.getAttribute('#riga', 'aria-label'), 'Sono in attesa di un comando');
  // Nothing else in the log is hidden: the typed lines are read once each.
  assert.equal(await p.$$eval('#schermo [aria-hidden]', (e) => e.length), prompt.length);
  assert.deepEqual(await echi(p), ['no\n', 'vai basso\n', 'aiuto\n', 'vai alto\n']);
  // Place names, not the help's lines that look like them, are headings.
  assert.deepEqual(await p.$$eval('#schermo h2', (e) => e.map((n) => n.textContent)),
                   ['* Il giardino di Villa Aurora', '* La cantina', '* Il giardino di Villa Aurora']);
  // The text is still the terminal's, which then reaches the end of its input.
  assert.equal(`${await schermo(p)}\n >>>> GRAZIE PER AVER GIOCATO CON NOI <<<<\n\n`,
               terminale(PREDEFINITO, ['no', 'vai basso', 'aiuto', 'vai alto']).testo);
});

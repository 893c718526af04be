// The studio in a real browser, opened from file:// as an author opens it:
// headless Chromium driven by playwright-core. What the studio plays, tests
// and publishes is checked against the terminal programs of the native
// build on the same world. Environment (set by CTest): VELT_STUDIO the built
// studio, VELT_PAGINA the player's page, VELT_NATIVO the native build,
// VELT_SORGENTI the repository, VELT_ARTEFATTI where screenshots go;
// VELT_CHROMIUM the browser, default Debian's. Each test's name starts with
// its group, which CTest runs as one test.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { zipSync, unzipSync, strToU8, strFromU8 } from 'fflate';
import {
  variabile, terminale, lanciaChromium, PAGINA, NATIVO, sorgente, SOLUZIONE, PREDEFINITO, ARTEFATTI,
} from './comune.mjs';

const STUDIO = variabile('VELT_STUDIO');


let browser;
before(async () => {
  browser = await lanciaChromium(['--allow-file-access-from-files']);
  fs.mkdirSync(ARTEFATTI, { recursive: true });
});
after(async () => { await browser?.close(); });

// A fresh profile with the studio opened from file://, once its first
// analysis and test run are shown. Blocks every request that leaves the
// file: the studio must work offline.
async function apri(t, prepara) {
  const contesto = await browser.newContext({ acceptDownloads: true });
  const p = await contesto.newPage();
  await prepara?.(p);
  p.fuori = [];
  await contesto.route(/^(?!file:|blob:|data:)/, (r) => { p.fuori.push(r.request().url()); r.abort(); });
  p.errori = [];
  p.on('pageerror', (e) => p.errori.push(String(e)));
  await p.goto(pathToFileURL(STUDIO).href);
  await pronto(p);
  t.after(async () => {
    await p.screenshot({ path: path.join(ARTEFATTI, `studio-${t.name.replace(/\W+/g, '-')}.png`) });
    assert.deepEqual(p.errori, [], 'errori nella pagina');
    assert.deepEqual(p.fuori, [], 'richieste fuori dal file');
    await contesto.close();
  });
  return p;
}
const pronto = (p) => p.waitForSelector('body[data-pronto="1"][data-prove]', { state: 'attached', timeout: 60000 });
const dato = (p, nome) => p.$eval('body', (b, n) => b.dataset[n], nome);
// Runs `azione`, then waits until an analysis (or a test run) newer than
// the one before has been shown.
async function dopo(p, chiave, azione) {
  const prima = Number(await dato(p, chiave) || 0);
  await azione();
  await p.waitForFunction(([k, n]) => Number(document.body.dataset[k] || 0) > n, [chiave, prima], { timeout: 60000 });
}
const testoEditor = (p) => p.evaluate(() => window.velt.editor.state.doc.toString());
const rigaCursore = (p) => p.evaluate(() => {
  const s = window.velt.editor.state;
  return s.doc.lineAt(s.selection.main.head).number;
});
// Puts the cursor at the start of line `n` of the editor.
const vaiRiga = (p, n) => p.evaluate((n) => {
  const v = window.velt.editor;
  v.dispatch({ selection: { anchor: v.state.doc.line(n).from } });
  v.focus();
}, n);
const numeroRiga = (testo, riga) => testo.split('\n').indexOf(riga) + 1;
// The play pane's text without the echoed lines, and its echoed lines.
const schermo = (p) => p.evaluate(() => window.velt.gioco().testo());
const echi = (p) => p.$$eval('#schermo .eco', (e) => e.map((n) => n.textContent));
const inAttesa = (p) => p.waitForSelector('body[data-gioco="attesa"], body[data-gioco="fine"]', { state: 'attached' });
async function digita(p, input) {
  for (const r of input) {
    await p.fill('#riga', r);
    await p.press('#riga', 'Enter');
    await inAttesa(p);
  }
}
async function scaricato(p, azione) {
  const [d] = await Promise.all([p.waitForEvent('download'), azione()]);
  return { nome: d.suggestedFilename(), dati: fs.readFileSync(await d.path()) };
}

test('diagnostica: un errore scritto compare alla sua riga, sparisce quando è corretto, e una correzione va con un clic', async (t) => {
  const p = await apri(t);
  assert.equal(await p.textContent('#conta-problemi'), 'Nessun problema.');
  const riga = numeroRiga(await testoEditor(p), '[Oggetto]');
  // A misspelled marker typed at the keyboard.
  await vaiRiga(p, riga);
  await p.keyboard.press('End');
  await dopo(p, 'analisi', () => p.keyboard.press('Backspace'));
  await dopo(p, 'analisi', async () => {
    await p.keyboard.type('x]');
  });
  const problemi = await p.$$eval('#problemi li .vai', (e) => e.map((x) => x.textContent));
  assert.ok(problemi.some((x) => new RegExp(`^Riga ${riga}: (errore|avviso): `).test(x)), problemi.join('\n'));
  assert.match(await p.textContent('#conta-problemi'), /^\d+ error[ei], \d+ avvis[oi]\.$/);
  assert.ok(await p.$('.cm-gutter-lint .cm-lint-marker'), 'nessun segno a margine');
  assert.ok(await p.$('.cm-lintRange'), 'nessuna sottolineatura');
  // Fixed by hand: the list is empty again.
  await dopo(p, 'analisi', async () => {
    await p.keyboard.press('Backspace');
    await p.keyboard.press('Backspace');
    await p.keyboard.type(']');
  });
  assert.equal(await p.textContent('#conta-problemi'), 'Nessun problema.');
  // A marker with a typo, fixed by its one-click repair.
  await dopo(p, 'analisi', () => p.evaluate((n) => {
    const v = window.velt.editor, l = v.state.doc.line(n);
    v.dispatch({ changes: { from: l.from, to: l.to, insert: '[Ogetto]' } });
  }, riga));
  const correggi = await p.$('#problemi .correggi');
  assert.ok(correggi, 'nessuna correzione proposta');
  await dopo(p, 'analisi', () => correggi.click());
  assert.equal((await testoEditor(p)).split('\n')[riga - 1], '[Oggetto]');
  assert.equal(await p.textContent('#conta-problemi'), 'Nessun problema.');
});

test('struttura: la struttura e la definizione portano al record; la mappa anche', async (t) => {
  const p = await apri(t);
  const testo = await testoEditor(p);
  // Outline: the place "cantina".
  await p.click('#elenco-struttura button.luogo:text-is("luogo cantina")');
  assert.equal(await rigaCursore(p), numeroRiga(testo, 'NOMELUOGO=cantina'));
  // F12 on the start place's name under [Utente] goes to its record.
  const inizio = testo.split('\n').find((r) => r.startsWith('INIZIO='));
  await vaiRiga(p, numeroRiga(testo, inizio));
  await p.keyboard.press('End');
  await p.keyboard.press('F12');
  assert.equal(await rigaCursore(p), numeroRiga(testo, `NOMELUOGO=${inizio.slice(7)}`));
  // F12 at once after a line is added at the top, before the next analysis:
  // the record in the text as it is now.
  const ora = await p.evaluate((r) => {
    const v = window.velt.editor;
    v.dispatch({ changes: { from: 0, insert: '# in cima\n' } });
    const t = v.state.doc.toString();
    v.dispatch({ selection: { anchor: t.indexOf(r) + r.length } });
    v.focus();
    return t;
  }, inizio);
  await p.keyboard.press('F12');
  await p.waitForFunction((n) => {
    const s = window.velt.editor.state;
    return s.doc.lineAt(s.selection.main.head).number === n;
  }, numeroRiga(ora, `NOMELUOGO=${inizio.slice(7)}`), { timeout: 5000 });
  // A click on a room of the map goes to its record.
  await p.click('#scheda-mappa');
  const riga = await p.$eval('#disegno-mappa [data-riga]', (e) => Number(e.dataset.riga));
  await p.click('#disegno-mappa [data-riga] >> nth=0');
  const cursore = await rigaCursore(p);
  assert.ok(cursore >= riga && cursore <= riga + 2, `cursore alla riga ${cursore}, record alla ${riga}`);
  assert.ok(await p.$('#disegno-mappa .corrente'), 'il luogo sotto il cursore non è evidenziato');
});

test('gioco: il pannello vince il mondo predefinito con il testo di velt-utf8', async (t) => {
  const p = await apri(t);
  await p.click('#gioca');
  await inAttesa(p);
  assert.equal(await p.evaluate(() => document.activeElement.id), 'riga');
  assert.equal(await p.getAttribute('#schermo', 'role'), 'log');
  await digita(p, SOLUZIONE);
  const atteso = terminale(PREDEFINITO, SOLUZIONE);
  assert.equal(await schermo(p), atteso.testo);
  assert.deepEqual(await echi(p), SOLUZIONE.map((r) => `${r}\n`));
  assert.equal(await dato(p, 'giocoStato'), String(atteso.stato));
});

test('gioco: dopo una modifica alla descrizione, la partita rigiocata mostra il testo nuovo', async (t) => {
  const p = await apri(t);
  await p.check('#automatico');
  await p.click('#gioca');
  await inAttesa(p);
  await digita(p, ['no', 'guarda']);
  const vecchia = 'Erbacce alte fino al ginocchio circondano una fontana asciutta.';
  const nuova = 'Un prato appena tagliato circonda una fontana piena.';
  assert.ok((await schermo(p)).includes(vecchia));
  const riga = numeroRiga(await testoEditor(p), vecchia);
  await dopo(p, 'analisi', () => p.evaluate(([n, t]) => {
    const v = window.velt.editor, l = v.state.doc.line(n);
    v.dispatch({ changes: { from: l.from, to: l.to, insert: t } });
  }, [riga, nuova]));
  await p.waitForFunction((t) => window.velt.gioco().testo().includes(t), nuova);
  await inAttesa(p);
  const testo = await schermo(p);
  assert.ok(!testo.includes(vecchia));
  assert.deepEqual(await echi(p), ['no\n', 'guarda\n']);
  // velt-utf8 on the edited world: the same text, up to its reaction to the
  // end of its input.
  const mondo = execFileSync('iconv', ['-f', 'UTF-8', '-t', 'CP850'], { input: await testoEditor(p) });
  const atteso = terminale(mondo, ['no', 'guarda']).testo;
  assert.ok(testo.endsWith('Sono in attesa di un comando => '));
  assert.equal(atteso.slice(0, testo.length), testo);
});

test('prove: una partita registrata diventa una prova, con un controllo dalla selezione, e passa', async (t) => {
  const p = await apri(t);
  await p.click('#gioca');
  await inAttesa(p);
  await digita(p, ['no', 'vai basso']);
  await dopo(p, 'prove', () => p.click('#registra'));
  // The text "non è illuminato" selected in the play pane becomes a check.
  await p.evaluate(() => {
    const s = document.getElementById('schermo');
    const nodo = [...s.childNodes].reverse().find((n) => n.nodeType === 3 && n.textContent.includes('non è illuminato'));
    const i = nodo.textContent.indexOf('non è illuminato');
    const r = document.createRange();
    r.setStart(nodo, i);
    r.setEnd(nodo, i + 'non è illuminato'.length);
    document.getSelection().removeAllRanges();
    document.getSelection().addRange(r);
  });
  await dopo(p, 'prove', () => p.click('#controllo'));
  await p.click('#scheda-prove');
  assert.equal(await p.inputValue('#testo-prova'),
               '# Partita registrata nello studio\n> no\n> vai basso\n? non è illuminato\n');
  const esiti = await p.$$eval('#elenco-prove li', (e) => e.map((x) => [x.className, x.textContent]));
  assert.deepEqual(esiti.map(([c]) => c), ['superata', 'superata']);
  assert.match(await p.textContent('#esito-prove'), /^Prove: 2 superate, 0 fallite\./);
  // A check that cannot hold fails, with its line.
  await p.fill('#testo-prova', '> no\n? Benvenuto in un altro gioco\n');
  await p.waitForSelector('#elenco-prove li.fallita');
  assert.match(await p.textContent('#elenco-prove li.fallita pre'), /partita\.prova:2: fallito: \? Benvenuto in un altro gioco/);
});

test('prove: Risolvi trova la soluzione, che diventa una prova che passa, e la copertura si vede', async (t) => {
  const p = await apri(t);
  await p.click('#scheda-prove');
  await p.click('#risolvi');
  await p.waitForSelector('#in-prova:not([disabled])', { timeout: 120000 });
  assert.match(await p.textContent('#progresso'), /^Trovata una soluzione di \d+ comandi/);
  await dopo(p, 'prove', () => p.click('#in-prova'));
  assert.match(await p.inputValue('#testo-prova'), /\n\* finale\n> esci\n> no\n$/);
  const soluzione = await p.$eval('#elenco-prove button[aria-pressed="true"]', (b) => b.parentElement.className);
  assert.equal(soluzione, 'superata');
  // Coverage: the lines no test shows are marked, and never more than before.
  const segni = await p.$$eval('.cm-line.mai-mostrato', (e) => e.length);
  assert.ok(segni > 0, 'nessun testo segnato come mai mostrato');
  assert.match(await p.textContent('#esito-prove'), /Copertura: \d+ testi mostrati su \d+/);
});

test('prove: Ferma interrompe Risolvi', async (t) => {
  const p = await apri(t);
  await p.click('#scheda-prove');
  await p.click('#risolvi');
  await p.click('#ferma');
  await p.waitForFunction(() => document.getElementById('progresso').textContent === 'Ricerca fermata.');
  assert.equal(await p.isDisabled('#risolvi'), false);
});

test('pubblica: la pagina scaricata è quella di velt-autore pubblica, byte per byte', async (t) => {
  const p = await apri(t);
  const { nome, dati } = await scaricato(p, () => p.click('#pubblica'));
  assert.equal(nome, 'mondo.html');
  const atteso = execFileSync(path.join(NATIVO, 'autore', 'velt-autore'),
                              ['pubblica', sorgente('worlds/mondo.ini'), '--pagina', PAGINA]);
  assert.ok(dati.equals(atteso), 'la pagina pubblicata differisce');
  // Salva writes the world back in its code page 850, as it was.
  await p.evaluate(() => { delete window.showSaveFilePicker; });
  const salvato = await scaricato(p, () => p.click('#salva'));
  assert.ok(salvato.dati.equals(PREDEFINITO), 'il mondo salvato differisce dal file');
});

test('archivio: dopo una ricarica il progetto modificato è ancora lì, con le sue prove', async (t) => {
  const p = await apri(t);
  await dopo(p, 'conservato', () => p.evaluate(() => {
    const v = window.velt.editor;
    v.dispatch({ changes: { from: 0, insert: '# una riga nuova\n' } });
  }));
  const prima = await testoEditor(p);
  p.on('dialog', (d) => d.accept());
  await p.reload();
  await pronto(p);
  assert.equal(await testoEditor(p), prima);
  assert.deepEqual(await p.$$eval('#elenco-prove li button', (e) => e.map((x) => x.textContent.slice(2))),
                   ['mondo.prova']);
  assert.equal(await p.$$eval('#progetti option', (o) => o.length), 1);
});

test('archivio: un browser che rifiuta l\'archivio lo dice, e il testo resta nell\'editor', async (t) => {
  const p = await apri(t, (p) => p.addInitScript(() => {
    indexedDB.open = () => { throw new DOMException('archivio negato', 'SecurityError'); };
  }));
  assert.match(await p.textContent('#avviso'), /^Il browser non conserva (il progetto|i progetti) \(/);
  assert.match(await p.textContent('#avviso'), /archivio negato/);
  // The example is still there to edit, play and test.
  assert.ok((await testoEditor(p)).startsWith('[Titolo]\nIl segreto di Villa Aurora\n'));
  assert.match(await p.textContent('#esito-prove'), /^Prove: 1 superata, 0 fallite\./);
});

test('tastiera: le azioni principali si raggiungono dalla tastiera', async (t) => {
  const p = await apri(t);
  // Tab from the top reaches the editor; Escape then Tab leaves it.
  const raggiunti = [];
  await p.evaluate(() => document.activeElement.blur());
  for (let i = 0; i < 30; i++) {
    await p.keyboard.press('Tab');
    const q = await p.evaluate(() => document.activeElement.id || document.activeElement.className);
    raggiunti.push(q);
    if (q.includes('cm-content')) break;
  }
  for (const id of ['nuovo', 'apri', 'salva', 'pubblica', 'semplice', 'mostra-aiuto']) {
    assert.ok(raggiunti.includes(id), `${id} non raggiunto: ${raggiunti.join(' ')}`);
  }
  assert.ok(raggiunti.at(-1).includes('cm-content'), `editor non raggiunto: ${raggiunti.join(' ')}`);
  await p.keyboard.press('Escape');
  await p.keyboard.press('Tab');
  assert.ok(!(await p.evaluate(() => document.activeElement.className)).includes('cm-content'), 'l\'editor trattiene Tab');
  // The outline is one stop: the arrows move within it, Enter goes to a record.
  await p.focus('#elenco-struttura button');
  let voce = '';
  for (let i = 0; i < 20 && !voce.startsWith('luogo '); i++) {
    await p.keyboard.press('ArrowDown');
    voce = await p.evaluate(() => document.activeElement.textContent);
  }
  assert.match(voce, /^luogo /);
  assert.equal(await p.$$eval('#elenco-struttura button[tabindex="0"]', (b) => b.length), 1);
  await p.keyboard.press('Enter');
  assert.ok((await p.evaluate(() => document.activeElement.className)).includes('cm-content'));
  assert.equal((await testoEditor(p)).split('\n')[(await rigaCursore(p)) - 1], `NOMELUOGO=${voce.slice(6)}`);
  // The panels' tabs move with the arrows; Gioca starts a game with the keyboard.
  await p.focus('#scheda-gioco');
  await p.keyboard.press('ArrowRight');
  assert.equal(await p.evaluate(() => document.activeElement.id), 'scheda-mappa');
  assert.equal(await p.isVisible('#mappa'), true);
  await p.keyboard.press('ArrowLeft');
  await p.focus('#gioca');
  await p.keyboard.press('Enter');
  await inAttesa(p);
  await p.keyboard.type('no');
  await p.keyboard.press('Enter');
  await inAttesa(p);
  assert.ok((await schermo(p)).includes('Benvenuto in VELT'));
  // The plain text mode is a toggle, remembered after a reload.
  await p.focus('#semplice');
  await p.keyboard.press('Enter');
  assert.equal(await p.isVisible('#testo-semplice'), true);
  await p.reload();
  await pronto(p);
  assert.equal(await p.isVisible('#testo-semplice'), true);
  assert.equal(await p.inputValue('#testo-semplice'), await testoEditor(p));
  // The help opens from the keyboard and Escape closes it.
  await p.focus('#mostra-aiuto');
  await p.keyboard.press('Enter');
  assert.equal(await p.isVisible('#aiuto h1'), true);
  await p.keyboard.press('Escape');
  assert.equal(await p.isVisible('#aiuto'), false);
  assert.equal(await p.getAttribute('#conta-problemi', 'role'), 'status');
  assert.equal(await p.getAttribute('#esito-prove', 'role'), 'status');
});

// Types `digitato` on a new line after the first line equal to `dopo`, asks
// for completion as an author does with Ctrl-Space, and gives the labels
// offered.
async function proposte(p, dopo, digitato) {
  const riga = numeroRiga(await testoEditor(p), dopo);
  assert.ok(riga > 0, `riga «${dopo}» assente`);
  await vaiRiga(p, riga);
  await p.keyboard.press('End');
  await dopoAnalisi(p, () => p.keyboard.press('Enter'));
  await p.keyboard.type(digitato);
  await p.keyboard.press('Control+Space');
  await p.waitForSelector('.cm-tooltip-autocomplete li');
  // The editor ignores Enter for a moment after the list appears.
  await p.waitForTimeout(150);
  return p.$$eval('.cm-tooltip-autocomplete li .cm-completionLabel', (e) => e.map((x) => x.textContent));
}
const dopoAnalisi = (p, azione) => dopo(p, 'analisi', azione);
const LUOGHI = ['giardino', 'cantina', 'atrio', 'cucina', 'biblioteca', 'torre'];
const OGGETTI = ['lanterna', 'fiammiferi', 'portone', 'fontana', 'sacchi', 'chiave', 'botte', 'specchio',
                 'credenza', 'medaglione', 'tazza', 'camino', 'diario', 'scaffali', 'finestra'];

// Each case: the line after which the author types, what is typed, what must
// be offered (all of it, or exactly it) and what must not, and the line that
// Enter makes of the first offer.
const COMPLETAMENTI = [
  { nome: 'le sezioni tra una sezione e l\'altra', dopo: '[EndUtente]', digitato: '[',
    esatti: ['[Titolo]', '[Zaino]', '[Luogo]', '[OggInLuogo]', '[PuntatoriALuogo]', '[Utente]', '[FineGioco]'] },
  { nome: 'i record di oggetto tra gli oggetti di un luogo', dopo: '[EndOggInContenitore]', digitato: '[Ogg',
    offerti: ['[Oggetto]', '[OggOstruzione]', '[OggContenitore]', '[OggNascondiglio]'],
    esclusi: ['[OggInLuogo]', '[Luogo]'] },
  { nome: 'la chiusura del record in cui si scrive', dopo: 'DESCRIZIONE=Una botte di rovere, vuota da tempo.',
    digitato: '[EndO', offerti: ['[EndOggetto]'], esclusi: ['[EndOggOstruzione]', '[EndOggContenitore]'],
    riga: '[EndOggetto]' },
  { nome: 'le chiavi di un oggetto', dopo: 'NOMEOGGETTO=botte', digitato: 'TRASP',
    offerti: ['TRASPORTABILE='], riga: 'TRASPORTABILE=' },
  { nome: 'le chiavi di un luogo, non quelle di un oggetto', dopo: 'NOMELUOGO=giardino', digitato: 'ILLUMINA',
    offerti: ['ILLUMINAZIONE='], esclusi: ['ILLUMINABILE='] },
  { nome: 'le chiavi di un oggetto, non quelle di un luogo', dopo: 'NOMEOGGETTO=fontana', digitato: 'ILLUMINA',
    offerti: ['ILLUMINABILE='], esclusi: ['ILLUMINAZIONE='] },
  { nome: 'i luoghi dopo INIZIO=', dopo: 'INIZIO=giardino', digitato: 'INIZIO=', esatti: LUOGHI },
  { nome: 'i luoghi dopo FINELUOGO=', dopo: 'OBJ=diario', digitato: 'FINELUOGO=bib', offerti: ['biblioteca'],
    esclusi: OGGETTI, riga: 'FINELUOGO=biblioteca' },
  { nome: 'i luoghi dopo un\'uscita', dopo: 'NOMELUOGO=torre', digitato: 'NORD=', esatti: LUOGHI },
  { nome: 'gli oggetti dopo REAGENTE=', dopo: 'NOMEOGGETTO=finestra', digitato: 'REAGENTE=', esatti: OGGETTI },
  { nome: 'gli oggetti dopo OBJ=', dopo: 'OBJ=diario', digitato: 'OBJ=med', offerti: ['medaglione'],
    esclusi: LUOGHI, riga: 'OBJ=medaglione' },
];

for (const c of COMPLETAMENTI) {
  test(`completamento: ${c.nome}`, async (t) => {
    const p = await apri(t);
    const offerti = await proposte(p, c.dopo, c.digitato);
    if (c.esatti) assert.deepEqual([...offerti].sort(), [...c.esatti].sort());
    for (const o of c.offerti || []) assert.ok(offerti.includes(o), `${o} non proposto: ${offerti.join(' ')}`);
    for (const o of c.esclusi || []) assert.ok(!offerti.includes(o), `${o} proposto: ${offerti.join(' ')}`);
    if (c.riga) {
      await p.keyboard.press('Enter');
      assert.equal((await testoEditor(p)).split('\n')[(await rigaCursore(p)) - 1], c.riga);
    }
  });
}

// The world's lines `chiave=nome` for the keys given, renamed.
const rinominato = (testo, chiavi, vecchio, nuovo) =>
  testo.split('\n').map((r) => (chiavi.some((k) => r === `${k}=${vecchio}`) ? r.replace(/=.*/, `=${nuovo}`) : r))
    .join('\n');
const CHIAVI_LUOGO = ['NOMELUOGO', 'INIZIO', 'FINELUOGO', 'NORD', 'SUD', 'EST', 'OVEST', 'ALTO', 'BASSO'];

test('rinomina: F2 su un luogo lo rinomina ovunque, non nei testi, e la prova passa ancora', async (t) => {
  const p = await apri(t);
  const prima = await testoEditor(p);
  p.on('dialog', (d) => d.accept('grotta'));
  await vaiRiga(p, numeroRiga(prima, 'BASSO=cantina'));
  await p.keyboard.press('End');
  await dopo(p, 'prove', () => p.keyboard.press('F2'));
  const dopoF2 = await testoEditor(p);
  assert.equal(dopoF2, rinominato(prima, CHIAVI_LUOGO, 'cantina', 'grotta'));
  assert.ok(dopoF2.includes('scende in cantina'), 'rinominato anche un testo del gioco');
  assert.equal(await p.textContent('#conta-problemi'), 'Nessun problema.');
  assert.match(await p.textContent('#esito-prove'), /^Prove: 1 superata, 0 fallite\./);
  // Undo brings the old name back everywhere at once.
  await dopoAnalisi(p, () => p.keyboard.press('Control+z'));
  assert.equal(await testoEditor(p), prima);
});

test('rinomina: F2 subito dopo aver scritto, prima della nuova analisi, rinomina il testo com\'è ora', async (t) => {
  const p = await apri(t);
  p.on('dialog', (d) => d.accept('grotta'));
  // A line added at the top moves every record down by one; F2 comes at
  // once, well within the pause before the analysis.
  const prima = await p.evaluate(() => {
    const v = window.velt.editor;
    v.dispatch({ changes: { from: 0, insert: '# in cima\n' } });
    const testo = v.state.doc.toString();
    v.dispatch({ selection: { anchor: testo.indexOf('BASSO=cantina') + 'BASSO=cantina'.length } });
    v.focus();
    return testo;
  });
  await p.keyboard.press('F2');
  await p.waitForFunction((t) => window.velt.editor.state.doc.toString() !== t, prima);
  assert.equal(await testoEditor(p), rinominato(prima, CHIAVI_LUOGO, 'cantina', 'grotta'));
});

test('rinomina: F2 su un oggetto, dal suo nome o da un riferimento, lo rinomina ovunque', async (t) => {
  const p = await apri(t);
  const prima = await testoEditor(p);
  const nuovi = ['ciondolo', 'lume'];
  p.on('dialog', (d) => d.accept(nuovi.shift()));
  // From the reference under [FineGioco].
  await vaiRiga(p, numeroRiga(prima, 'OBJ=medaglione'));
  await p.keyboard.press('End');
  await dopoAnalisi(p, () => p.keyboard.press('F2'));
  const uno = rinominato(prima, ['NOMEOGGETTO', 'OBJ', 'REAGENTE'], 'medaglione', 'ciondolo');
  assert.equal(await testoEditor(p), uno);
  assert.ok(uno.includes('Un medaglione d\'argento'), 'la descrizione deve restare');
  // From its own name: "fiammiferi" is also the lantern's reagent.
  await vaiRiga(p, numeroRiga(uno, 'NOMEOGGETTO=fiammiferi'));
  await p.keyboard.press('End');
  await dopoAnalisi(p, () => p.keyboard.press('F2'));
  assert.equal(await testoEditor(p), rinominato(uno, ['NOMEOGGETTO', 'OBJ', 'REAGENTE'], 'fiammiferi', 'lume'));
  assert.equal(await p.textContent('#conta-problemi'), 'Nessun problema.');
});

// A zip of `file` ({name: bytes or text}) for the file picker.
const zip = (file) => Buffer.from(zipSync(Object.fromEntries(
  Object.entries(file).map(([n, d]) => [n, typeof d === 'string' ? strToU8(d) : new Uint8Array(d)]))));
const PROVA_ESEMPIO = fs.readFileSync(sorgente('worlds/mondo.prova'), 'utf8');
const utf8DaCp850 = (byte) => execFileSync('iconv', ['-f', 'CP850', '-t', 'UTF-8'], { input: byte });

test('progetto: Esporta scrive il mondo e le sue prove come file, e Importa li riapre', async (t) => {
  const p = await apri(t);
  const { nome, dati } = await scaricato(p, () => p.click('#esporta'));
  assert.equal(nome, 'mondo.zip');
  const file = unzipSync(new Uint8Array(dati));
  assert.deepEqual(Object.keys(file).sort(), ['mondo.ini', 'mondo.prova']);
  assert.ok(Buffer.from(file['mondo.ini']).equals(PREDEFINITO), 'il mondo esportato differisce dal file');
  assert.equal(strFromU8(file['mondo.prova']), PROVA_ESEMPIO);

  // Imported in another browser: a world in UTF-8 inside a folder, and one
  // more test, which fails.
  const q = await apri(t);
  const mondo = utf8DaCp850(PREDEFINITO);
  const nuova = '> no\n? Benvenuto in un altro gioco\n';
  await dopo(q, 'prove', () => q.setInputFiles('#file-progetto', { name: 'villa.zip', mimeType: 'application/zip',
    buffer: zip({ 'villa/villa.ini': mondo, 'villa/mondo.prova': PROVA_ESEMPIO, 'villa/altro.prova': nuova }) }));
  assert.equal(await testoEditor(q), mondo.toString());
  assert.deepEqual(await q.$$eval('#elenco-prove li',
                                  (e) => e.map((x) => [x.className, x.querySelector('button').textContent])),
                   [['fallita', '✗ altro.prova'], ['superata', '✓ mondo.prova']]);
  assert.equal(await q.$eval('#progetti', (s) => s.selectedOptions[0].textContent), 'villa.ini');
  // Exported again: the same files, the world still in UTF-8.
  const { nome: nome2, dati: dati2 } = await scaricato(q, () => q.click('#esporta'));
  assert.equal(nome2, 'villa.zip');
  const di2 = unzipSync(new Uint8Array(dati2));
  assert.deepEqual(Object.keys(di2).sort(), ['altro.prova', 'mondo.prova', 'villa.ini']);
  assert.ok(Buffer.from(di2['villa.ini']).equals(mondo), 'il mondo riesportato differisce');
  assert.equal(strFromU8(di2['altro.prova']), nuova);
  assert.equal(strFromU8(di2['mondo.prova']), PROVA_ESEMPIO);
});

test('progetto: un archivio senza mondo non si apre, e il progetto aperto resta', async (t) => {
  const p = await apri(t);
  const prima = await testoEditor(p);
  await p.setInputFiles('#file-progetto', { name: 'vuoto.zip', mimeType: 'application/zip',
                                           buffer: zip({ 'mondo.prova': PROVA_ESEMPIO }) });
  await p.waitForSelector('#avviso:not([hidden])');
  assert.match(await p.textContent('#avviso'), /^vuoto\.zip non si apre: .*file di mondo/);
  assert.equal(await testoEditor(p), prima);
});

// Drops the files {name: bytes} on the element `selettore`, at its middle.
async function lascia(p, selettore, file) {
  const voci = Object.entries(file).map(([n, d]) => [n, Buffer.from(d).toString('base64')]);
  await p.$eval(selettore, (el, voci) => {
    const dt = new DataTransfer();
    for (const [n, b] of voci) dt.items.add(new File([Uint8Array.from(atob(b), (c) => c.charCodeAt(0))], n));
    const r = el.getBoundingClientRect();
    const dove = { dataTransfer: dt, bubbles: true, cancelable: true,
                   clientX: r.left + r.width / 2, clientY: r.top + Math.min(r.height / 2, 40) };
    el.dispatchEvent(new DragEvent('dragenter', dove));
    el.dispatchEvent(new DragEvent('dragover', dove));
    el.dispatchEvent(new DragEvent('drop', dove));
  }, voci);
}

// Each case: the file dropped, its bytes, where, and the text the editor
// must show.
const TRASCINATI = [
  { nome: 'un mondo in code page 850 lasciato sull\'editor', file: 'villa.ini', dati: PREDEFINITO,
    dove: '.cm-content', testo: utf8DaCp850(PREDEFINITO).toString() },
  { nome: 'un mondo in UTF-8 lasciato sull\'editor', file: 'nuovo.ini', dove: '.cm-content',
    dati: Buffer.from('[Titolo]\nLà sù\n[EndTitolo]\n'), testo: '[Titolo]\nLà sù\n[EndTitolo]\n' },
  { nome: 'un mondo in UTF-8 lasciato sulla pagina', file: 'nuovo.txt', dove: '#problemi',
    dati: Buffer.from('[Titolo]\nCittà\n[EndTitolo]\n'), testo: '[Titolo]\nCittà\n[EndTitolo]\n' },
];

for (const c of TRASCINATI) {
  test(`apertura: ${c.nome} si apre come progetto, e Salva lo riscrive com'era`, async (t) => {
    const p = await apri(t);
    const esempio = await testoEditor(p);
    await lascia(p, c.dove, { [c.file]: c.dati });
    await p.waitForFunction((n) => document.querySelector('#progetti').selectedOptions[0]?.textContent === n, c.file);
    await p.waitForFunction(() => document.body.dataset.conservato);
    assert.equal(await testoEditor(p), c.testo);
    await p.evaluate(() => { delete window.showSaveFilePicker; });
    const salvato = await scaricato(p, () => p.click('#salva'));
    assert.equal(salvato.nome, c.file);
    assert.ok(salvato.dati.equals(c.dati), 'il mondo salvato differisce da quello aperto');
    // The example the file was dropped on is intact.
    assert.deepEqual(await p.$$eval('#progetti option', (o) => o.map((x) => x.textContent).sort()),
                     [c.file, 'mondo.ini'].sort());
    await dopo(p, 'analisi', () => p.selectOption('#progetti', { label: 'mondo.ini' }));
    assert.equal(await testoEditor(p), esempio, 'l\'esempio è cambiato');
  });
}

// Storage that fills up once the studio is open: every write is refused as
// the browser refuses it, with a quota error on its transaction.
const ARCHIVIO_PIENO = () => {
  const put = IDBObjectStore.prototype.put;
  IDBObjectStore.prototype.put = function (...a) {
    const r = put.apply(this, a);
    if (window.archivioPieno) {
      const tr = this.transaction;
      Object.defineProperty(tr, 'error', { value: new DOMException('Quota exceeded.', 'QuotaExceededError') });
      tr.abort();
    }
    return r;
  };
};

test('archivio: un archivio pieno è detto, il testo resta nell\'editor, e quando c\'è posto si conserva', async (t) => {
  const p = await apri(t, (p) => p.addInitScript(ARCHIVIO_PIENO));
  assert.equal(await p.isVisible('#avviso'), false);
  await p.evaluate(() => { window.archivioPieno = true; });
  await vaiRiga(p, 1);
  await p.keyboard.type('# scritto con l\'archivio pieno\n');
  await p.waitForSelector('#avviso:not([hidden])');
  assert.match(await p.textContent('#avviso'), /^Il browser non conserva il progetto: il suo spazio è pieno/);
  assert.ok((await testoEditor(p)).startsWith('# scritto con l\'archivio pieno\n[Titolo]\n'));
  // The text can still be written out, and is kept once there is room.
  await p.evaluate(() => { delete window.showSaveFilePicker; });
  const salvato = await scaricato(p, () => p.click('#salva'));
  assert.ok(utf8DaCp850(salvato.dati).toString().startsWith('# scritto con l\'archivio pieno\n'));
  await p.evaluate(() => { window.archivioPieno = false; });
  await vaiRiga(p, 1);
  await dopo(p, 'conservato', () => p.keyboard.type('#'));
  assert.equal(await p.isVisible('#avviso'), false);
  const testo = await testoEditor(p);
  await p.reload();
  await pronto(p);
  assert.equal(await testoEditor(p), testo);
});

// The studio: the editor, the analysis's answers (problems, outline,
// definitions, completion, rename, map), the play pane, the tests pane,
// publishing and the projects kept in the browser. The analysis and the
// tools run in Workers (lavori.js); the engine plays in the page (gioco.js).
// The body's data attributes let tests and measures see the state:
// data-analisi counts the analyses shown, data-prove the test runs finished,
// data-conservato the autosaves done.
import { EditorView, basicSetup } from 'codemirror';
import { EditorState, StateEffect, StateField, RangeSetBuilder } from '@codemirror/state';
import { Decoration, keymap } from '@codemirror/view';
import { setDiagnostics, lintGutter } from '@codemirror/lint';
import { autocompletion } from '@codemirror/autocomplete';
import { zipSync, unzipSync, strToU8, strFromU8 } from 'fflate';
import { mondoVelt, completamento, FRASI } from './linguaggio.js';
import { Lavoro, autore } from './lavori.js';
import { Gioco } from './gioco.js';
import * as archivio from './archivio.js';

const $ = (id) => document.getElementById(id);
const corpo = document.body;
const PAGINA = JSON.parse($('dati-pagina').textContent);
const ESEMPIO = JSON.parse($('dati-esempio').textContent);
const utf8 = new TextEncoder();
const testoDi = (byte) => new TextDecoder().decode(byte);
const daBase64 = (t) => Uint8Array.from(atob(t), (c) => c.charCodeAt(0));
const conta = (chiave) => { corpo.dataset[chiave] = String(Number(corpo.dataset[chiave] || 0) + 1); };

let progetto = null;
let ultima = null;        // the latest analysis shown
let versioneUltima = -1;  // the text's `versione` it was made from
let versione = 0;         // bumped at every change of the text
let modificato = false;   // changes not yet written out with Salva
let soluzione = null;     // the solver's last script, as lines

function avvisa(testo) {
  $('avviso').textContent = testo;
  $('avviso').hidden = !testo;
}

// ---- the editor -----------------------------------------------------------

const segnaCopertura = StateEffect.define();
const copertura = StateField.define({
  create: () => Decoration.none,
  update(insieme, tr) {
    insieme = insieme.map(tr.changes);
    for (const e of tr.effects) if (e.is(segnaCopertura)) insieme = e.value;
    return insieme;
  },
  provide: (f) => EditorView.decorations.from(f),
});

const editor = new EditorView({
  parent: $('editor'),
  state: EditorState.create({
    doc: '',
    extensions: [
      basicSetup,
      EditorState.phrases.of(FRASI),
      mondoVelt,
      lintGutter(),
      autocompletion({ override: [completamento((testo, riga, colonna) => lavoro.chiedi({ tipo: 'completa', testo, riga, colonna }))] }),
      copertura,
      keymap.of([
        { key: 'F12', run: () => { definizioneAttuale(); return true; } },
        { key: 'F2', run: () => { rinomina(); return true; } },
      ]),
      EditorView.domEventHandlers({
        // A file dropped on the editor is opened as a project (by the
        // page's handler), not pasted into the text.
        drop: (ev) => ev.dataTransfer?.files.length > 0,
        mousedown(ev, view) {
          if (!(ev.ctrlKey || ev.metaKey)) return false;
          const pos = view.posAtCoords({ x: ev.clientX, y: ev.clientY });
          if (pos === null || !vaiAllaDefinizione(pos)) return false;
          ev.preventDefault();
          return true;
        },
      }),
      EditorView.contentAttributes.of({ 'aria-label': 'Testo del mondo' }),
      EditorView.updateListener.of((u) => {
        if (u.docChanged) cambiato();
        if (u.selectionSet || u.docChanged) evidenziaLuogo();
      }),
    ],
  }),
});

const doc = () => editor.state.doc;
function posizione(riga, colonna) {
  if (riga < 1) return 0;
  const l = doc().line(Math.min(riga, doc().lines));
  return l.from + Math.min(colonna, l.length);
}
function vaiA(riga, colonna = 0, fine = colonna) {
  const da = posizione(riga, colonna);
  editor.dispatch({ selection: { anchor: da, head: posizione(riga, fine) }, scrollIntoView: true });
  if (corpo.classList.contains('semplice')) {
    const t = $('testo-semplice');
    t.focus();
    t.setSelectionRange(da, da);
  } else {
    editor.focus();
  }
}
function sostituisci(testo) {
  editor.dispatch({ changes: { from: 0, to: doc().length, insert: testo } });
}

// ---- changes, autosave, analysis ------------------------------------------

let attesaAnalisi = 0, attesaArchivio = 0, archivioRifiutato = false;
function cambiato() {
  versione++;
  modificato = true;
  if ($('testo-semplice').value !== doc().toString() && corpo.classList.contains('semplice')) {
    $('testo-semplice').value = doc().toString();
  }
  clearTimeout(attesaAnalisi);
  attesaAnalisi = setTimeout(analizzaOra, 300);
  programmaArchivio();
}

function programmaArchivio() {
  if (!progetto) return;
  clearTimeout(attesaArchivio);
  attesaArchivio = setTimeout(conservaOra, 500);
}
async function conservaOra() {
  progetto.testo = doc().toString();
  try {
    await archivio.conserva(progetto);
    if (archivioRifiutato) avvisa('');
    archivioRifiutato = false;
    conta('conservato');
  } catch (e) {
    archivioRifiutato = true;
    // A full storage is said in words: the browser's own message is English.
    const perche = e?.name === 'QuotaExceededError' ? ': il suo spazio è pieno' : ` (${e.message || e})`;
    avvisa(`Il browser non conserva il progetto${perche}; il testo resta nell'editor, ` +
           'ma scrivilo con «Salva» o «Esporta» prima di chiudere.');
  }
}

const lavoro = new Lavoro();
const byteDelMondo = () => utf8.encode(doc().toString());
// The editor's text in code page 850, as the game and the tools read a world
// file (converted by velt-autore converti; kept until the next change).
let cp850 = { versione: -1, byte: null };
async function mondoCp850() {
  if (cp850.versione === versione) return cp850.byte;
  const questa = versione;
  const r = await autore(lavoro, ['converti', '/p/u.ini', '/p/c.ini'], { 'u.ini': byteDelMondo() }, 'c.ini');
  if (r.stato !== 0) throw new Error(r.errori.trim().replaceAll('/p/u.ini', progetto.nome));
  if (questa === versione) cp850 = { versione: questa, byte: r.file };
  return r.file;
}

async function analizzaOra() {
  const questa = versione;
  const risposta = await lavoro.chiedi({ tipo: 'analizza', testo: doc().toString() });
  if (questa !== versione) return;
  ultima = risposta;
  versioneUltima = questa;
  mostraProblemi();
  mostraStruttura();
  mostraMappa();
  corpo.dataset.msAnalisi = risposta.ms.toFixed(1);
  conta('analisi');
  if ($('automatico').checked && gioco?.corsa) gioca(false);
  eseguiProve(questa);
}

// ---- problems -------------------------------------------------------------

function correggi(c) {
  editor.dispatch({ changes: { from: posizione(c.dove.riga, c.dove.colonna),
                               to: posizione(c.dove.riga, c.dove.fine), insert: c.testo } });
}

function mostraProblemi() {
  const d = ultima.diagnostiche;
  editor.dispatch(setDiagnostics(editor.state, d.map((x) => ({
    from: posizione(x.dove.riga, x.dove.colonna),
    to: posizione(x.dove.riga, x.dove.fine),
    severity: x.errore ? 'error' : 'warning',
    source: x.codice,
    message: x.messaggio,
    actions: x.correzioni.map((c) => ({ name: c.titolo, apply: () => correggi(c) })),
  }))));
  const errori = d.filter((x) => x.errore).length, avvisi = d.length - errori;
  $('conta-problemi').textContent = d.length === 0 ? 'Nessun problema.'
    : `${errori} ${errori === 1 ? 'errore' : 'errori'}, ${avvisi} ${avvisi === 1 ? 'avviso' : 'avvisi'}.`;
  const elenco = $('problemi');
  elenco.textContent = '';
  for (const x of d) {
    const li = document.createElement('li');
    li.className = x.errore ? 'errore' : 'avviso';
    const vai = document.createElement('button');
    vai.type = 'button';
    vai.className = 'vai';
    vai.textContent = `${x.dove.riga ? `Riga ${x.dove.riga}` : 'File'}: ${x.errore ? 'errore' : 'avviso'}: ${x.messaggio}`;
    vai.addEventListener('click', () => vaiA(x.dove.riga, x.dove.colonna, x.dove.fine));
    li.append(vai);
    for (const c of x.correzioni) {
      const b = document.createElement('button');
      b.type = 'button';
      b.className = 'correggi';
      b.textContent = `Correggi: ${c.titolo}`;
      b.addEventListener('click', () => correggi(c));
      li.append(' ', b);
    }
    elenco.append(li);
  }
}

// ---- outline, definitions, rename -----------------------------------------

const GENERI = { sezione: 'sezione', luogo: 'luogo', oggetto: 'oggetto', ostruzione: 'ostruzione',
                 contenitore: 'contenitore', nascondiglio: 'nascondiglio' };
function mostraStruttura() {
  const radice = $('elenco-struttura');
  radice.textContent = '';
  const liste = new Map([[-1, radice]]);
  ultima.simboli.forEach((s, i) => {
    const li = document.createElement('li');
    const b = document.createElement('button');
    b.type = 'button';
    b.className = `simbolo ${s.genere}`;
    b.textContent = s.genere === 'sezione' ? s.nome : `${GENERI[s.genere]} ${s.nome}`;
    b.title = s.descrizione;
    b.addEventListener('click', () => vaiA(s.nome_dove.riga || s.prima, s.nome_dove.colonna, s.nome_dove.fine));
    li.append(b);
    (liste.get(s.dentro) || radice).append(li);
    const sotto = document.createElement('ul');
    li.append(sotto);
    liste.set(i, sotto);
  });
  // One stop of Tab for the whole outline; the arrows move within it.
  radice.querySelectorAll('button').forEach((b, i) => { b.tabIndex = i === 0 ? 0 : -1; });
}
$('elenco-struttura').addEventListener('keydown', (ev) => {
  const voci = [...$('elenco-struttura').querySelectorAll('button')];
  const i = voci.indexOf(document.activeElement);
  const passo = { ArrowDown: 1, ArrowUp: -1, Home: -i, End: voci.length - 1 - i }[ev.key];
  if (i < 0 || passo === undefined) return;
  ev.preventDefault();
  const prossima = voci[Math.max(0, Math.min(voci.length - 1, i + passo))];
  voci[i].tabIndex = -1;
  prossima.tabIndex = 0;
  prossima.focus();
});

// The symbol named at `pos`: through a reference, or its own name; none
// while the analysis shown is of an older text.
function simboloIn(pos) {
  if (!ultima || versioneUltima !== versione) return -1;
  const l = doc().lineAt(pos), col = pos - l.from;
  const dentro = (d) => d.riga === l.number && col >= d.colonna && col <= d.fine;
  const r = ultima.riferimenti.find((x) => dentro(x.dove));
  if (r) return r.definizione;
  return ultima.simboli.findIndex((s) => s.genere !== 'sezione' && dentro(s.nome_dove));
}

function vaiAllaDefinizione(pos) {
  const i = simboloIn(pos);
  if (i < 0) return false;
  const s = ultima.simboli[i];
  vaiA(s.nome_dove.riga, s.nome_dove.colonna, s.nome_dove.fine);
  return true;
}
// F12: the definition of the name at the cursor, in the text as it is now.
async function definizioneAttuale() {
  if (await analisiAttuale()) vaiAllaDefinizione(editor.state.selection.main.head);
}

// The analysis of the text as it is now: the one shown, or a new one when
// the text changed since (its places are lines and columns of that text).
async function analisiAttuale() {
  if (versioneUltima !== versione) {
    clearTimeout(attesaAnalisi);
    await analizzaOra();
  }
  return versioneUltima === versione;
}

// Renames the symbol at the cursor: its name and every reference to it.
async function rinomina(nuovo) {
  if (!(await analisiAttuale())) return false;
  const i = simboloIn(editor.state.selection.main.head);
  if (i < 0) return false;
  const s = ultima.simboli[i];
  nuovo ??= window.prompt(`Nuovo nome per «${s.nome}»`, s.nome);
  if (!nuovo || nuovo === s.nome) return true;
  const posti = [s.nome_dove, ...ultima.riferimenti.filter((r) => r.definizione === i).map((r) => r.dove)];
  editor.dispatch({ changes: posti.map((d) => ({ from: posizione(d.riga, d.colonna), to: posizione(d.riga, d.fine),
                                                  insert: nuovo })) });
  return true;
}

// ---- map ------------------------------------------------------------------

// The map is drawn when its panel is shown, and redrawn only while it is:
// a large world's picture costs more than its analysis.
let mappaDisegnata = null;
function mostraMappa() {
  if ($('mappa').hidden || mappaDisegnata === ultima) return;
  mappaDisegnata = ultima;
  $('disegno-mappa').innerHTML = ultima.svg;
  evidenziaLuogo();
}
function rigaDi(el) {
  for (let e = el; e && e !== $('disegno-mappa'); e = e.parentElement) {
    if (e.dataset?.riga) return Number(e.dataset.riga);
  }
  return 0;
}
$('disegno-mappa').addEventListener('click', (ev) => {
  const riga = rigaDi(ev.target);
  if (!riga) return;
  const s = ultima?.simboli.find((x) => x.genere === 'luogo' && x.prima === riga);
  if (s) vaiA(s.nome_dove.riga, s.nome_dove.colonna, s.nome_dove.fine);
  else vaiA(riga);
});
function evidenziaLuogo() {
  if (!ultima || $('mappa').hidden) return;
  const n = doc().lineAt(editor.state.selection.main.head).number;
  const luogo = ultima.simboli.find((s) => s.genere === 'luogo' && s.prima <= n && n <= s.ultima);
  for (const el of $('disegno-mappa').querySelectorAll('[data-riga]')) {
    el.classList.toggle('corrente', Boolean(luogo) && Number(el.dataset.riga) === luogo.prima);
  }
}

// ---- play -----------------------------------------------------------------

let gioco = null;
try {
  gioco = new Gioco({ pagina: PAGINA, schermo: $('schermo'), terminale: $('terminale'), riga: $('riga') });
} catch (e) {
  avvisa(`Il gioco non parte in questo browser (${e.message || e}).`);
}

// Plays the editor's text, typing again the lines typed so far (or none).
async function gioca(daCapo, fuoco) {
  if (!gioco) return;
  let mondo;
  try {
    mondo = await mondoCp850();
  } catch (e) {
    avvisa(`Il mondo non si gioca: ${e.message}`);
    return;
  }
  await gioco.avvia(mondo, daCapo ? [] : gioco.righe);
  if (fuoco && !$('riga').disabled) $('riga').focus();
}
$('gioca').addEventListener('click', () => gioca(false, true));
$('automatico').addEventListener('change', () => {
  try { localStorage.setItem('velt-studio-automatico', $('automatico').checked ? '1' : '0'); } catch { /* not remembered */ }
});
$('ricomincia').addEventListener('click', () => gioca(true, true));

// ---- tests ----------------------------------------------------------------

let provaScelta = null;
const esiti = {};

function mostraProve() {
  const elenco = $('elenco-prove');
  elenco.textContent = '';
  for (const nome of Object.keys(progetto.prove).sort()) {
    const li = document.createElement('li');
    const esito = esiti[nome];
    li.className = esito ? (esito.ok ? 'superata' : 'fallita') : '';
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = `${esito ? (esito.ok ? '✓' : '✗') : '…'} ${nome}`;
    b.setAttribute('aria-pressed', String(nome === provaScelta));
    b.addEventListener('click', () => scegliProva(nome));
    li.append(b);
    if (esito && !esito.ok) {
      const pre = document.createElement('pre');
      pre.textContent = esito.uscita;
      li.append(pre);
    }
    elenco.append(li);
  }
}
function scegliProva(nome) {
  provaScelta = nome;
  $('testo-prova').value = nome ? progetto.prove[nome] : '';
  $('testo-prova').disabled = !nome;
  mostraProve();
}
let attesaProve = 0;
$('testo-prova').addEventListener('input', () => {
  if (!provaScelta) return;
  progetto.prove[provaScelta] = $('testo-prova').value;
  programmaArchivio();
  clearTimeout(attesaProve);
  attesaProve = setTimeout(() => eseguiProve(versione), 300);
});

function nuovaProva(base, testo) {
  let nome = `${base}.prova`;
  for (let n = 2; progetto.prove[nome] !== undefined; n++) nome = `${base}-${n}.prova`;
  progetto.prove[nome] = testo;
  programmaArchivio();
  scegliProva(nome);
  eseguiProve(versione);
  return nome;
}

// The lines typed in the play pane as a new test, chosen in the tests pane.
function registraPartita() {
  const nome = nuovaProva('partita', `# Partita registrata nello studio\n${gioco.righe.map((r) => `> ${r}\n`).join('')}`);
  avvisa(`Partita registrata come ${nome}: la trovi nel pannello Prove.`);
}

$('registra').addEventListener('click', () => {
  if (!gioco?.righe.length) {
    avvisa('Gioca prima qualche comando: la prova registra le righe scritte nel pannello di gioco.');
    return;
  }
  registraPartita();
});

// Puts "? testo" after the `k`-th player line of a test (and its checks).
export function inserisciControllo(prova, k, testo) {
  const righe = prova.split('\n');
  if (righe[righe.length - 1] === '') righe.pop();
  let giocate = 0, dopo = 0;
  for (let i = 0; i < righe.length; i++) {
    const r = righe[i];
    const giocatore = r !== '' && !'?!*#'.includes(r[0]);
    if (giocatore) {
      if (giocate === k) break;
      giocate++;
    }
    dopo = i + 1;
  }
  righe.splice(giocate < k ? righe.length : dopo, 0, `? ${testo}`);
  return `${righe.join('\n')}\n`;
}

// The last text selected in the play pane, and how many player lines came
// before it: a click on a button may clear the selection itself.
let selezione = null;
document.addEventListener('selectionchange', () => {
  const sel = document.getSelection();
  if (sel.isCollapsed || !$('schermo').contains(sel.anchorNode)) return;
  const testo = sel.toString().split('\n').map((r) => r.trim()).find((r) => r);
  const inizio = sel.getRangeAt(0).startContainer;
  const k = [...$('schermo').querySelectorAll('.eco')]
    .filter((e) => e.compareDocumentPosition(inizio) & Node.DOCUMENT_POSITION_FOLLOWING).length;
  selezione = testo ? { testo, k, corsa: gioco.corse } : null;
});

$('controllo').addEventListener('click', () => {
  if (!selezione || selezione.corsa !== gioco.corse) {
    avvisa('Seleziona nel pannello di gioco il testo che la prova deve trovare.');
    return;
  }
  if (!provaScelta) registraPartita();
  progetto.prove[provaScelta] = inserisciControllo(progetto.prove[provaScelta], selezione.k, selezione.testo);
  scegliProva(provaScelta);
  programmaArchivio();
  eseguiProve(versione);
});

// Runs every test of the project on the editor's text, then the coverage.
async function eseguiProve(questa) {
  const nomiProve = Object.keys(progetto?.prove || {}).sort();
  let mondo;
  try {
    mondo = await mondoCp850();
  } catch (e) {
    $('esito-prove').textContent = `Le prove non girano: ${e.message}`;
    conta('prove');
    return;
  }
  let superate = 0;
  for (const nome of nomiProve) {
    const r = await autore(lavoro, ['prova', '/p/mondo.ini', `/p/${nome}`],
                           { 'mondo.ini': mondo, [nome]: progetto.prove[nome] ?? '' });
    if (questa !== versione) return;
    esiti[nome] = { ok: r.stato === 0, uscita: testoDi(r.uscita).replaceAll('/p/', '') + r.errori };
    if (r.stato === 0) superate++;
  }
  mostraProve();
  const fallite = nomiProve.length - superate;
  $('esito-prove').textContent = nomiProve.length === 0 ? 'Nessuna prova nel progetto.'
    : `Prove: ${superate} ${superate === 1 ? 'superata' : 'superate'}, ${fallite} ${fallite === 1 ? 'fallita' : 'fallite'}.`;
  if (nomiProve.length) {
    const file = { 'mondo.ini': mondo };
    for (const n of nomiProve) file[n] = progetto.prove[n];
    const r = await autore(lavoro, ['copertura', '/p/mondo.ini', ...nomiProve.map((n) => `/p/${n}`)], file);
    if (questa !== versione) return;
    mostraCopertura(testoDi(r.uscita));
  } else {
    mostraCopertura('');
  }
  conta('prove');
}

function mostraCopertura(uscita) {
  const segni = [];
  let sommario = '';
  for (const r of uscita.split('\n')) {
    const m = /^\/p\/mondo\.ini:(\d+): mai mostrato: (.*)$/.exec(r);
    if (m && Number(m[1]) <= doc().lines) segni.push([Number(m[1]), m[2]]);
    else if (r.startsWith('copertura:')) sommario = r;
  }
  segni.sort((a, b) => a[0] - b[0]);
  const b = new RangeSetBuilder();
  for (const [riga, cosa] of segni) {
    b.add(doc().line(riga).from, doc().line(riga).from,
          Decoration.line({ class: 'mai-mostrato', attributes: { title: `Mai mostrato da una prova: ${cosa}` } }));
  }
  editor.dispatch({ effects: segnaCopertura.of(b.finish()) });
  if (sommario) $('esito-prove').textContent += ` Copertura: ${sommario.slice(11)}`;
}

// ---- solver ---------------------------------------------------------------

const risolutore = new Lavoro((testo) => {
  const ultimo = testo.split('\r').map((r) => r.trim()).filter((r) => r).pop();
  if (ultimo) $('progresso').textContent = ultimo;
});
$('risolvi').addEventListener('click', async () => {
  $('risolvi').disabled = true;
  $('ferma').disabled = false;
  $('in-prova').disabled = true;
  $('progresso').textContent = 'Risolvi: ricerca in corso…';
  try {
    // The solver reads a UTF-8 world as it is and writes its solution in UTF-8.
    const r = await autore(risolutore, ['risolvi', '/p/mondo.ini'], { 'mondo.ini': byteDelMondo() });
    const esplorati = Number((/(\d+) stat[oi] esplorat/.exec(r.errori) || [])[1] || 0);
    corpo.dataset.statiAlSecondo = String(Math.round(esplorati / (r.ms / 1000)));
    if (r.stato === 0) {
      soluzione = testoDi(r.uscita).split('\n').filter((x) => x !== '');
      $('progresso').textContent = `${r.errori.trim().split('\n').pop().replace(/^risolvi: /, 'Trovata una ')} ` +
        `(${corpo.dataset.statiAlSecondo} stati al secondo).`;
      $('in-prova').disabled = false;
    } else {
      soluzione = null;
      $('progresso').textContent = `${testoDi(r.uscita)}${r.errori}`.trim();
    }
  } catch (e) {
    $('progresso').textContent = e.fermato ? 'Ricerca fermata.' : `Il risolutore si è fermato: ${e.message}`;
  } finally {
    $('risolvi').disabled = false;
    $('ferma').disabled = true;
  }
});
$('ferma').addEventListener('click', () => risolutore.ferma());
$('in-prova').addEventListener('click', () => {
  if (!soluzione) return;
  const fine = soluzione.lastIndexOf('esci');
  const comandi = fine < 0 ? soluzione : soluzione.slice(0, fine);
  const resto = fine < 0 ? [] : soluzione.slice(fine);
  nuovaProva('soluzione', `# La soluzione più breve trovata da Risolvi\n${comandi.map((r) => `> ${r}\n`).join('')}` +
             `* finale\n${resto.map((r) => `> ${r}\n`).join('')}`);
});

// ---- files, projects ------------------------------------------------------

function scarica(nome, dati) {
  const a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob([dati]));
  a.download = nome;
  a.click();
  setTimeout(() => URL.revokeObjectURL(a.href), 10000);
}
const base = () => (progetto?.nome || 'mondo.ini').replace(/\.[^.]*$/, '');

// A world file's bytes as text: UTF-8 when they are, else code page 850.
async function decodifica(byte) {
  try {
    return { testo: new TextDecoder('utf-8', { fatal: true }).decode(byte), codifica: 'utf8' };
  } catch {
    const r = await autore(lavoro, ['converti', '--utf8', '/p/c.ini', '/p/u.ini'], { 'c.ini': byte }, 'u.ini');
    if (r.stato !== 0) throw new Error(r.errori.trim());
    return { testo: testoDi(r.file), codifica: 'cp850' };
  }
}
// The world as its file is written: in code page 850 unless it came in UTF-8.
const codificaMondo = () => (progetto.codifica === 'cp850' ? mondoCp850() : byteDelMondo());

let maniglia = null; // where Salva writes, once chosen (File System Access API)
$('salva').addEventListener('click', async () => {
  try {
    const dati = await codificaMondo();
    if (window.showSaveFilePicker) {
      try {
        maniglia ??= await window.showSaveFilePicker({ suggestedName: progetto.nome });
      } catch (e) {
        if (e.name === 'AbortError') return;
        throw e;
      }
      const w = await maniglia.createWritable();
      await w.write(dati);
      await w.close();
    } else {
      scarica(progetto.nome, dati);
    }
    modificato = false;
    avvisa(`Mondo scritto: ${progetto.nome}.`);
  } catch (e) {
    avvisa(`Il mondo non è stato scritto: ${e.message || e}`);
  }
});

$('pubblica').addEventListener('click', async () => {
  const r = await autore(lavoro, ['pubblica', '/p/mondo.ini', '--pagina', '/p/pagina.html'],
                         { 'mondo.ini': byteDelMondo(), 'pagina.html': PAGINA });
  if (r.stato !== 0) {
    avvisa(`Pubblica non riuscito: ${r.errori.trim().replaceAll('/p/mondo.ini', progetto.nome)}`);
    return;
  }
  scarica(`${base()}.html`, r.uscita);
});

$('esporta').addEventListener('click', async () => {
  try {
    const file = { [progetto.nome]: await codificaMondo() };
    for (const [n, t] of Object.entries(progetto.prove)) file[n] = strToU8(t);
    scarica(`${base()}.zip`, zipSync(file));
  } catch (e) {
    avvisa(`Esportazione non riuscita: ${e.message || e}`);
  }
});

async function importa(byte) {
  const file = unzipSync(byte);
  const mondo = Object.keys(file).find((n) => /\.(ini|txt)$/i.test(n));
  if (!mondo) throw new Error('nell\'archivio non c\'è un file di mondo (.ini)');
  const prove = {};
  for (const n of Object.keys(file)) if (n.endsWith('.prova')) prove[n.split('/').pop()] = strFromU8(file[n]);
  const { testo, codifica } = await decodifica(file[mondo]);
  await apriProgetto({ id: `p${Date.now()}`, nome: mondo.split('/').pop(), testo, codifica, prove });
}

async function apriFile(file) {
  const byte = new Uint8Array(await file.arrayBuffer());
  try {
    if (/\.zip$/i.test(file.name)) {
      await importa(byte);
    } else if (/\.prova$/i.test(file.name)) {
      nuovaProva(file.name.replace(/\.prova$/, ''), testoDi(byte));
    } else {
      const { testo, codifica } = await decodifica(byte);
      await apriProgetto({ id: `p${Date.now()}`, nome: file.name, testo, codifica, prove: {} });
    }
  } catch (e) {
    avvisa(`${file.name} non si apre: ${e.message || e}`);
  }
}
$('apri').addEventListener('click', () => $('file-mondo').click());
$('importa').addEventListener('click', () => $('file-progetto').click());
for (const id of ['file-mondo', 'file-progetto']) {
  $(id).addEventListener('change', async (ev) => {
    const [file] = ev.target.files;
    ev.target.value = '';
    if (file) await apriFile(file);
  });
}
document.addEventListener('dragover', (ev) => { ev.preventDefault(); corpo.classList.add('trascina'); });
document.addEventListener('dragleave', () => corpo.classList.remove('trascina'));
document.addEventListener('drop', async (ev) => {
  ev.preventDefault();
  corpo.classList.remove('trascina');
  for (const file of ev.dataTransfer.files) await apriFile(file);
});

const NUOVO_MONDO = `[Titolo]\nIl mio mondo\n[EndTitolo]\n\n[Luogo]\nNOMELUOGO=ingresso\nSOPRANOME=L'ingresso\n` +
  `[Descrizione]\nUna stanza vuota.\n[EndDescrizione]\n[EndLuogo]\n\n[Utente]\nINIZIO=ingresso\n[EndUtente]\n`;
$('nuovo').addEventListener('click', () =>
  apriProgetto({ id: `p${Date.now()}`, nome: 'nuovo.ini', testo: NUOVO_MONDO, codifica: 'cp850', prove: {} }));

let elencati = [];
async function elencaProgetti() {
  try {
    elencati = (await archivio.elenca()).sort((a, b) => b.aggiornato - a.aggiornato);
  } catch (e) {
    archivioRifiutato = true;
    avvisa(`Il browser non conserva i progetti (${e.message || e}): il testo resta nell'editor finché la ` +
           'pagina è aperta; scrivilo con «Salva» o «Esporta».');
  }
  const scelta = $('progetti');
  scelta.textContent = '';
  const tutti = elencati.some((p) => p.id === progetto?.id) || !progetto ? elencati : [progetto, ...elencati];
  for (const p of tutti) {
    const o = document.createElement('option');
    o.value = p.id;
    o.textContent = p.nome;
    o.selected = p.id === progetto?.id;
    scelta.append(o);
  }
}
$('progetti').addEventListener('change', (ev) => {
  const p = elencati.find((x) => x.id === ev.target.value);
  if (p) apriProgetto(p, true);
});

async function apriProgetto(p, giaConservato) {
  if (progetto) await conservaOra();
  progetto = { prove: {}, ...p };
  maniglia = null;
  for (const k of Object.keys(esiti)) delete esiti[k];
  sostituisci(progetto.testo);
  modificato = false;
  scegliProva(Object.keys(progetto.prove).sort()[0] || null);
  if (!giaConservato) await conservaOra();
  await elencaProgetti();
  if (gioco) gioca(true);
}

// Ctrl-S (Cmd-S) writes the world, as in any editor.
document.addEventListener('keydown', (ev) => {
  if ((ev.ctrlKey || ev.metaKey) && !ev.altKey && ev.key.toLowerCase() === 's') {
    ev.preventDefault();
    $('salva').click();
  }
});

window.addEventListener('beforeunload', (ev) => {
  if (!modificato) return;
  ev.preventDefault();
  ev.returnValue = '';
});

// ---- plain text mode, panels, help ----------------------------------------

const testoSemplice = $('testo-semplice');
function modoSemplice(si) {
  corpo.classList.toggle('semplice', si);
  $('semplice').setAttribute('aria-pressed', String(si));
  testoSemplice.hidden = !si;
  $('editor').hidden = si;
  if (si) testoSemplice.value = doc().toString();
  try { localStorage.setItem('velt-studio-semplice', si ? '1' : '0'); } catch { /* not remembered */ }
}
testoSemplice.addEventListener('input', () => {
  const t = testoSemplice.value;
  const vecchio = doc().toString();
  let i = 0;
  while (i < t.length && i < vecchio.length && t[i] === vecchio[i]) i++;
  let j = 0;
  while (j < t.length - i && j < vecchio.length - i && t[t.length - 1 - j] === vecchio[vecchio.length - 1 - j]) j++;
  editor.dispatch({ changes: { from: i, to: vecchio.length - j, insert: t.slice(i, t.length - j) } });
});
$('semplice').addEventListener('click', () => modoSemplice(!corpo.classList.contains('semplice')));

const schede = [...document.querySelectorAll('[role="tab"]')];
function mostraScheda(s, fuoco) {
  for (const x of schede) {
    const si = x === s;
    x.setAttribute('aria-selected', String(si));
    x.tabIndex = si ? 0 : -1;
    $(x.getAttribute('aria-controls')).hidden = !si;
  }
  if (ultima) mostraMappa();
  if (fuoco) s.focus();
}
for (const s of schede) {
  s.addEventListener('click', () => mostraScheda(s));
  s.addEventListener('keydown', (ev) => {
    const i = schede.indexOf(s);
    if (ev.key === 'ArrowRight') mostraScheda(schede[(i + 1) % schede.length], true);
    else if (ev.key === 'ArrowLeft') mostraScheda(schede[(i + schede.length - 1) % schede.length], true);
  });
}
function aiuto(si) {
  $('aiuto').hidden = !si;
  $('mostra-aiuto').setAttribute('aria-expanded', String(si));
  (si ? $('chiudi-aiuto') : $('mostra-aiuto')).focus();
}
$('mostra-aiuto').addEventListener('click', () => aiuto($('aiuto').hidden));
$('chiudi-aiuto').addEventListener('click', () => aiuto(false));
$('aiuto').addEventListener('keydown', (ev) => { if (ev.key === 'Escape') aiuto(false); });

// ---- start ----------------------------------------------------------------

async function avvio() {
  let semplice = false;
  try { semplice = localStorage.getItem('velt-studio-semplice') === '1'; } catch { /* default */ }
  modoSemplice(semplice);
  try { $('automatico').checked = localStorage.getItem('velt-studio-automatico') === '1'; } catch { /* default */ }
  await elencaProgetti();
  const incorporato = $('mondo-incorporato').textContent.trim();
  if (incorporato) {
    const { testo, codifica } = await decodifica(daBase64(incorporato));
    const gia = elencati.find((p) => p.incorporato === incorporato);
    await apriProgetto(gia || { id: `p${Date.now()}`, nome: 'mondo.ini', testo, codifica, prove: {}, incorporato },
                       Boolean(gia));
  } else if (elencati.length) {
    await apriProgetto(elencati[0], true);
  } else {
    const { testo, codifica } = await decodifica(daBase64(ESEMPIO.mondo));
    await apriProgetto({ id: 'esempio', nome: ESEMPIO.nome, testo, codifica, prove: { ...ESEMPIO.prove } });
  }
  corpo.dataset.pronto = '1';
}
avvio().catch((e) => avvisa(`Lo studio non parte in questo browser: ${e.message || e}`));

// For the tests and the measures.
window.velt = { editor, rinomina, inserisciControllo, gioco: () => gioco };

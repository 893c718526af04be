// The world-file language for the editor: highlighting of markers, keys,
// values and text blocks; folding of every "[X]" … "[EndX]"; the marker
// that matches the one under the cursor; completion of the markers and keys
// that the record or section around the cursor allows, and of names after
// the keys that name a place or an object.
import { StreamLanguage, foldService, HighlightStyle, syntaxHighlighting } from '@codemirror/language';
import { Decoration, ViewPlugin } from '@codemirror/view';
import { tags } from '@lezer/highlight';
import { insertCompletionText } from '@codemirror/autocomplete';

// Blocks whose lines are the game's text, not keys.
const TESTI = new Set(['Titolo', 'Descrizione', 'Suggerimento', 'MsgFineGioco']);
// The keys of each record and section, and the blocks that open inside it.
const OGGETTO = ['NOMEOGGETTO', 'DESCRIZIONE', 'SUGGERIMENTO', 'REAGENTE', 'ILLUMINABILE',
  'TRASPORTABILE', 'SPOSTABILE', 'APRIBILE', 'ACCESO'];
const DIREZIONI = ['NORD', 'SUD', 'EST', 'OVEST', 'ALTO', 'BASSO'];
const RECORD = {
  luogo: { apre: 'Luogo', chiavi: ['NOMELUOGO', 'SOPRANOME', 'ILLUMINAZIONE', 'STATO'],
           blocchi: ['Descrizione', 'Suggerimento'] },
  oggetto: { apre: 'Oggetto', chiavi: OGGETTO },
  ostruzione: { apre: 'OggOstruzione', chiavi: [...OGGETTO, 'DIREZIONE', 'APERTO'] },
  contenitore: { apre: 'OggContenitore', chiavi: [...OGGETTO, 'APERTO'], lista: 'OggInContenitore' },
  nascondiglio: { apre: 'OggNascondiglio', chiavi: OGGETTO, lista: 'OggNascosti' },
};
const OGGETTI = ['Oggetto', 'OggOstruzione', 'OggContenitore', 'OggNascondiglio'];
const SEZIONI = {
  Titolo: {}, Zaino: { marcatori: OGGETTI }, Luogo: RECORD.luogo,
  OggInLuogo: { chiavi: ['NOMELUOGO'], marcatori: OGGETTI },
  PuntatoriALuogo: { chiavi: ['NOMELUOGO', ...DIREZIONI, ...DIREZIONI.map((d) => `OSTRUZIONE${d}`)] },
  Utente: { chiavi: ['INIZIO'] }, FineGioco: { chiavi: ['OBJ', 'FINELUOGO'], blocchi: ['MsgFineGioco'] },
};
// Keys whose value names a place, or an object.
const A_LUOGO = new Set(['INIZIO', 'FINELUOGO', ...DIREZIONI]);
const A_OGGETTO = new Set(['REAGENTE', 'OBJ']);

// The marker of a line: {nome, chiude} or null.
export function marcatore(testo) {
  const m = /^\[(End)?([A-Za-z]+)\]\s*$/.exec(testo);
  return m && { nome: m[2], chiude: Boolean(m[1]) };
}

const mondo = StreamLanguage.define({
  name: 'velt',
  startState: () => ({ testo: false }),
  copyState: (s) => ({ testo: s.testo }),
  token(stream, stato) {
    if (stream.sol()) {
      const m = marcatore(stream.string);
      if (m) {
        stream.skipToEnd();
        stato.testo = !m.chiude && TESTI.has(m.nome);
        return 'keyword';
      }
      if (stato.testo) {
        stream.skipToEnd();
        return 'string';
      }
      if (stream.match(/^[A-Za-z]+(?==)/)) return 'propertyName';
    }
    if (!stato.testo && stream.eat('=')) return 'operator';
    stream.skipToEnd();
    if (stato.testo) return 'string';
    return /^(TRUE|FALSE)\s*$/i.test(stream.current()) ? 'bool' : 'atom';
  },
});

const stile = HighlightStyle.define([
  { tag: tags.keyword, class: 'm-marcatore' },
  { tag: tags.propertyName, class: 'm-chiave' },
  { tag: tags.string, class: 'm-testo' },
  { tag: tags.bool, class: 'm-booleano' },
  { tag: tags.atom, class: 'm-valore' },
]);

// The line of the marker that closes (or opens) the one on line `n`, or 0.
export function compagno(doc, n) {
  const m = marcatore(doc.line(n).text);
  if (!m) return 0;
  let livello = 0;
  const passo = m.chiude ? -1 : 1;
  for (let i = n + passo; i >= 1 && i <= doc.lines; i += passo) {
    const altro = marcatore(doc.line(i).text);
    if (!altro || altro.nome !== m.nome) continue;
    if (altro.chiude === m.chiude) livello++;
    else if (livello-- === 0) return i;
  }
  return 0;
}

const piega = foldService.of((stato, da) => {
  const riga = stato.doc.lineAt(da);
  const m = marcatore(riga.text);
  if (!m || m.chiude) return null;
  const fine = compagno(stato.doc, riga.number);
  if (fine <= riga.number + 1) return null;
  return { from: riga.to, to: stato.doc.line(fine - 1).to };
});

// The marker matching the one the cursor stands on is underlined too.
const abbinato = Decoration.line({ class: 'm-abbinato' });
const abbina = ViewPlugin.fromClass(class {
  constructor(view) { this.decorations = this.calcola(view); }
  update(u) { if (u.docChanged || u.selectionSet) this.decorations = this.calcola(u.view); }
  calcola(view) {
    const doc = view.state.doc;
    const n = doc.lineAt(view.state.selection.main.head).number;
    const altro = compagno(doc, n);
    if (!altro) return Decoration.none;
    const righe = [n, altro].sort((a, b) => a - b);
    return Decoration.set(righe.map((r) => abbinato.range(doc.line(r).from)));
  }
}, { decorations: (p) => p.decorations });

// The innermost symbol of the analysis whose lines after its opening marker
// hold line `r`, or null.
function intorno(simboli, r) {
  let scelto = null;
  for (const s of simboli) {
    if (s.prima >= r) break;
    if (r <= s.ultima) scelto = s;
  }
  return scelto;
}

// The block among `blocchi` opened and not closed on lines `da` to `a`
// (excluded) of `doc`, or null.
function bloccoAperto(doc, da, a, blocchi = []) {
  let aperto = null;
  for (let i = da; i < a; i++) {
    const m = marcatore(doc.line(i).text);
    if (!m || !blocchi.includes(m.nome)) continue;
    aperto = m.chiude ? null : m.nome;
  }
  return aperto;
}

// What may open line `r` of `doc` where the analysis found `simboli`: the
// markers and the keys of the record or section around it.
function inizioRiga(doc, r, simboli) {
  const s = intorno(simboli, r);
  if (!s) return { marcatori: Object.keys(SEZIONI).map((m) => `[${m}]`), chiavi: [] };
  const sezione = s.genere === 'sezione' ? /^\[(.*)\]$/.exec(s.nome)?.[1] : null;
  const regole = sezione ? SEZIONI[sezione] || {} : RECORD[s.genere] || {};
  const apre = sezione || regole.apre;
  const blocco = bloccoAperto(doc, s.prima + 1, r, regole.blocchi);
  if (blocco) return { marcatori: [`[End${blocco}]`], chiavi: [] };
  // The list of a container or a hiding place follows its record, among its lines.
  let chiuso = false;
  for (let i = s.prima + 1; i < r && regole.lista; i++) chiuso ||= marcatore(doc.line(i).text)?.nome === apre;
  if (chiuso) {
    return { marcatori: [`[${regole.lista}]`, '[Oggetto]', `[End${regole.lista}]`], chiavi: [] };
  }
  return {
    marcatori: [...(regole.blocchi || []), ...(regole.marcatori || [])].map((m) => `[${m}]`).concat(`[End${apre}]`),
    chiavi: regole.chiavi || [],
  };
}

// Writes the marker chosen, in place of the bracket the editor closed
// when the author typed "[".
function marcatoreIntero(view, scelta, da, a) {
  const fine = view.state.sliceDoc(a, a + 1) === ']' ? a + 1 : a;
  view.dispatch(insertCompletionText(view.state, scelta.label, da, fine));
}

// Completion from the latest analysis: `analisi()` gives its symbols, or
// null before the first one.
export function completamento(analisi) {
  return (ctx) => {
    const riga = ctx.state.doc.lineAt(ctx.pos);
    const prima = riga.text.slice(0, ctx.pos - riga.from);
    const simboli = analisi()?.simboli || [];
    const { marcatori, chiavi } = inizioRiga(ctx.state.doc, riga.number, simboli);
    if (/^\[[A-Za-z]*$/.test(prima)) {
      return { from: riga.from, validFor: /^\[[A-Za-z]*$/,
               options: marcatori.map((m) => ({ label: m, type: 'keyword', apply: marcatoreIntero })) };
    }
    const valore = /^([A-Za-z]+)=([^=]*)$/.exec(prima);
    if (valore) {
      const chiave = valore[1].toUpperCase();
      // NOMELUOGO names a place outside a place record, where it defines one.
      const dentro = intorno(simboli, riga.number);
      const luogo = A_LUOGO.has(chiave) ||
        (chiave === 'NOMELUOGO' && dentro?.genere === 'sezione' && dentro.nome !== '[Luogo]');
      const generi = luogo ? ['luogo']
        : A_OGGETTO.has(chiave) ? ['oggetto', 'ostruzione', 'contenitore', 'nascondiglio'] : null;
      if (!generi) return null;
      const nomi = [...new Set(simboli.filter((s) => generi.includes(s.genere)).map((s) => s.nome))];
      return { from: ctx.pos - valore[2].length, options: nomi.map((n) => ({ label: n, type: 'variable' })) };
    }
    if (/^[A-Za-z]+$/.test(prima) || (ctx.explicit && prima === '')) {
      return { from: riga.from, options: chiavi.map((k) => ({ label: `${k}=`, type: 'property' })),
               validFor: /^[A-Za-z]*$/ };
    }
    return null;
  };
}

export const mondoVelt = [mondo, syntaxHighlighting(stile), piega, abbina];

// The editor's own words, in Italian.
export const FRASI = {
  'Find': 'Trova', 'Replace': 'Sostituisci', 'next': 'successivo', 'previous': 'precedente',
  'all': 'tutti', 'match case': 'maiuscole', 'regexp': 'espressione regolare', 'by word': 'parola intera',
  'replace': 'sostituisci', 'replace all': 'sostituisci tutti', 'close': 'chiudi',
  'current match': 'occorrenza corrente', 'on line': 'alla riga', 'Go to line': 'Vai alla riga',
  'go': 'vai', 'Folded lines': 'Righe piegate', 'Unfolded lines': 'Righe aperte', 'to': 'a',
  'folded code': 'testo piegato', 'unfold': 'apri', 'Fold line': 'Piega', 'Unfold line': 'Apri',
  'Diagnostics': 'Problemi', 'No diagnostics': 'Nessun problema', 'Selection deleted': 'Selezione cancellata',
  'Control character': 'Carattere di controllo', 'replaced $ matches': 'sostituite $ occorrenze',
  'Completions': 'Completamenti', 'Info': 'Informazione', 'Warning': 'Avviso', 'Error': 'Errore',
};

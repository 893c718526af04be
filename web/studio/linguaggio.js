// The world-file language for the editor: highlighting of markers, keys,
// values and text blocks; folding of every "[X]" … "[EndX]"; the marker
// that matches the one under the cursor; completion as the analysis
// proposes it.
import { StreamLanguage, foldService, HighlightStyle, syntaxHighlighting } from '@codemirror/language';
import { Decoration, ViewPlugin } from '@codemirror/view';
import { tags } from '@lezer/highlight';
import { insertCompletionText } from '@codemirror/autocomplete';

// Blocks whose lines are the game's text, not keys.
const TESTI = new Set(['Titolo', 'Descrizione', 'Suggerimento', 'MsgFineGioco']);

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

// Writes the marker chosen, in place of the bracket the editor closed
// when the author typed "[".
function marcatoreIntero(view, scelta, da, a) {
  const fine = view.state.sliceDoc(a, a + 1) === ']' ? a + 1 : a;
  view.dispatch(insertCompletionText(view.state, scelta.label, da, fine));
}

// The editor's type of each kind of proposal.
const TIPI = { marcatore: 'keyword', chiave: 'property', luogo: 'variable', oggetto: 'variable', valore: 'constant' };

// Completion as the analysis answers it: `chiedi(testo, riga, colonna)`
// gives a promise of {da, a, proposte}, where the line counts from 1 and
// columns count characters (code points) of the line from 0.
export function completamento(chiedi) {
  return async (ctx) => {
    const riga = ctx.state.doc.lineAt(ctx.pos);
    const prima = riga.text.slice(0, ctx.pos - riga.from);
    // Only asked for, or while a marker, a key or a value is being typed.
    if (!ctx.explicit && !/^(\[[A-Za-z]*|[A-Za-z]+(=[^=]*)?)$/.test(prima)) return null;
    let risposta;
    try {
      risposta = await chiedi(ctx.state.doc.toString(), riga.number, [...prima].length);
    } catch {
      return null;  // the Worker was stopped: nothing to propose
    }
    const { da, proposte } = risposta;
    if (ctx.aborted || proposte.length === 0) return null;
    const from = riga.from + [...prima].slice(0, da).join('').length;
    return {
      from,
      options: proposte.map((p) => ({
        label: p.testo, type: TIPI[p.genere], apply: p.genere === 'marcatore' ? marcatoreIntero : p.testo,
      })),
    };
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

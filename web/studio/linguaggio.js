// The world-file language for the editor: highlighting of markers, keys,
// values and text blocks; folding of every "[X]" … "[EndX]"; the marker
// that matches the one under the cursor; completion of markers and keys,
// and of names after the keys that name a place or an object.
import { StreamLanguage, foldService, HighlightStyle, syntaxHighlighting } from '@codemirror/language';
import { Decoration, ViewPlugin } from '@codemirror/view';
import { tags } from '@lezer/highlight';

// The opening markers (each closed by "[End…]").
export const MARCATORI = ['Titolo', 'Zaino', 'Oggetto', 'OggOstruzione', 'OggContenitore',
  'OggInContenitore', 'OggNascondiglio', 'OggNascosti', 'Luogo', 'Descrizione', 'Suggerimento',
  'OggInLuogo', 'PuntatoriALuogo', 'Utente', 'FineGioco', 'MsgFineGioco'];
// Blocks whose lines are the game's text, not keys.
const TESTI = new Set(['Titolo', 'Descrizione', 'Suggerimento', 'MsgFineGioco']);
export const CHIAVI = ['NOMEOGGETTO', 'DESCRIZIONE', 'REAGENTE', 'SUGGERIMENTO', 'ILLUMINABILE',
  'TRASPORTABILE', 'APRIBILE', 'SPOSTABILE', 'ACCESO', 'APERTO', 'STATO', 'DIREZIONE',
  'NOMELUOGO', 'SOPRANOME', 'ILLUMINAZIONE', 'INIZIO', 'FINELUOGO', 'OBJ', 'NORD', 'SUD', 'EST',
  'OVEST', 'ALTO', 'BASSO', 'OSTRUZIONENORD', 'OSTRUZIONESUD', 'OSTRUZIONEEST',
  'OSTRUZIONEOVEST', 'OSTRUZIONEALTO', 'OSTRUZIONEBASSO'];
// Keys whose value names a place, or an object.
const A_LUOGO = new Set(['INIZIO', 'FINELUOGO', 'NOMELUOGO', 'NORD', 'SUD', 'EST', 'OVEST', 'ALTO', 'BASSO']);
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

// Completion: `nomi()` gives {luoghi, oggetti} from the latest analysis.
export function completamento(nomi) {
  return (ctx) => {
    const riga = ctx.state.doc.lineAt(ctx.pos);
    const prima = riga.text.slice(0, ctx.pos - riga.from);
    if (/^\[[A-Za-z]*$/.test(prima)) {
      const opzioni = [];
      for (const m of MARCATORI) {
        opzioni.push({ label: `[${m}]`, type: 'keyword' }, { label: `[End${m}]`, type: 'keyword' });
      }
      return { from: riga.from, options: opzioni, validFor: /^\[[A-Za-z]*$/ };
    }
    const valore = /^([A-Za-z]+)=([^=]*)$/.exec(prima);
    if (valore) {
      const chiave = valore[1].toUpperCase();
      const { luoghi, oggetti } = nomi();
      const elenco = A_LUOGO.has(chiave) && chiave !== 'NOMELUOGO' ? luoghi : A_OGGETTO.has(chiave) ? oggetti : null;
      if (!elenco) return null;
      return { from: ctx.pos - valore[2].length, options: elenco.map((n) => ({ label: n, type: 'variable' })) };
    }
    if (/^[A-Za-z]+$/.test(prima) || (ctx.explicit && prima === '')) {
      return { from: riga.from, options: CHIAVI.map((k) => ({ label: `${k}=`, type: 'property' })),
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

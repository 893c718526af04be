'use strict';
// The grammar and the folding markers on the repository's worlds that
// velt-autore controlla finds clean (its cases whose expected summary is
// "0 errori, 0 avvisi"): nothing in them may be marked invalid or passed
// over, every [Luogo] record must define its place's name, and the folding
// markers must pair each [X] with its own [EndX]. A grammar that misses a
// key, a marker or a region's end fails here on real worlds, not only on its
// own cases.

const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const vt = require('vscode-textmate');
const onig = require('vscode-oniguruma');

const pacchetto = require('../package.json');
const radice = path.join(__dirname, '..', '..', '..');
const casi = path.join(radice, 'autore', 'test', 'casi');

// The worlds of the checker's clean cases: `mondo.ini` in the case folder,
// or the repository path that the file `mondo` names.
function mondiPuliti() {
  const mondi = [];
  for (const caso of fs.readdirSync(casi).sort()) {
    const cartella = path.join(casi, caso);
    const leggi = (nome) => fs.readFileSync(path.join(cartella, nome), 'latin1');
    if (!fs.existsSync(path.join(cartella, 'comando')) || !fs.existsSync(path.join(cartella, 'atteso'))) continue;
    if (!/^controlla\b/.test(leggi('comando'))) continue;
    if (!/: 0 errori, 0 avvisi\n?$/.test(leggi('atteso'))) continue;
    const mondo = fs.existsSync(path.join(cartella, 'mondo'))
      ? path.join(radice, leggi('mondo').trim())
      : path.join(cartella, 'mondo.ini');
    mondi.push({ caso, mondo });
  }
  return mondi;
}

async function grammatica() {
  const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm'));
  await onig.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
  const [voce] = pacchetto.contributes.grammars;
  const registro = new vt.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (sorgenti) => new onig.OnigScanner(sorgenti),
      createOnigString: (testo) => new onig.OnigString(testo),
    }),
    loadGrammar: async (scope) => (scope === voce.scopeName
      ? vt.parseRawGrammar(fs.readFileSync(path.join(__dirname, '..', voce.path), 'utf8'), voce.path)
      : null),
  });
  return registro.loadGrammar(voce.scopeName);
}

const mondi = mondiPuliti();

test('the checker has clean cases to compare with, the default world among them', () => {
  assert.ok(mondi.some(({ mondo }) => mondo === path.join(radice, 'worlds', 'mondo.ini')),
    JSON.stringify(mondi));
});

for (const { caso, mondo } of mondi) {
  test(`the world of ${caso}: nothing invalid or passed over, every fold paired`, async () => {
    const g = await grammatica();
    const [lingua] = pacchetto.contributes.languages;
    const { start, end } = require(path.join('..', lingua.configuration)).folding.markers;
    const [inizio, fine] = [new RegExp(start), new RegExp(end)];
    const aperti = [];
    // The game's bytes are code page 850; every marker and key is ASCII, so
    // reading them as latin1 keeps each line's structure.
    const righe = fs.readFileSync(mondo, 'latin1').split(/\r?\n/);
    let stato = vt.INITIAL;
    let luoghi = 0;
    const nomi = [];
    righe.forEach((riga, n) => {
      const { tokens, ruleStack } = g.tokenizeLine(riga, stato);
      stato = ruleStack;
      if (riga === '[Luogo]') luoghi++;
      assert.ok(!(inizio.test(riga) && fine.test(riga)), `riga ${n + 1}: folds both ways`);
      if (inizio.test(riga)) aperti.push(riga.slice(1, -1));
      if (fine.test(riga)) assert.strictEqual(`End${aperti.pop()}`, riga.slice(1, -1), `riga ${n + 1}`);
      for (const t of tokens) {
        const segnati = t.scopes.filter((s) => s.startsWith('invalid.') || s.startsWith('comment.'));
        assert.deepStrictEqual(segnati, [], `riga ${n + 1}: ${riga}`);
        if (t.scopes.includes('entity.name.type.place.velt')) nomi.push(riga.slice(t.startIndex, t.endIndex));
      }
    });
    assert.deepStrictEqual(aperti, []);
    assert.ok(luoghi > 0);
    assert.strictEqual(nomi.length, luoghi, `place names defined: ${nomi.join(', ')}`);
    assert.ok(nomi.every((nome) => nome !== ''));
  });
}

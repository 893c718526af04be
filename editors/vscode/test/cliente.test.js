'use strict';
// The client in extension.js, run against stand-ins for the editor's API and
// for the language client: which command line it gives the server, which
// documents it hands over, what it says when the server cannot start, and
// how a change of the setting restarts it. The names it uses must be the ones
// package.json declares.

const test = require('node:test');
const assert = require('node:assert');
const Module = require('node:module');
const path = require('node:path');

const pacchetto = require('../package.json');

// The stand-ins record what the extension did.
let registro;
function nuovoRegistro(impostazione, avvioFallisce) {
  return { impostazione, avvioFallisce, clienti: [], errori: [], ascoltatori: [] };
}

class ClienteFinto {
  constructor(id, nome, server, opzioni) {
    Object.assign(this, { id, nome, server, opzioni, avviato: false, fermato: false });
    registro.clienti.push(this);
  }
  async start() {
    if (registro.avvioFallisce) throw new Error('spawn velt-autore ENOENT');
    this.avviato = true;
  }
  async stop() {
    if (!this.avviato) throw new Error('Client is not running');
    this.fermato = true;
  }
}

const vscodeFinto = {
  workspace: {
    getConfiguration: (sezione) => ({
      get: (chiave) => (`${sezione}.${chiave}` === 'velt.server.comando' ? registro.impostazione : undefined),
    }),
    onDidChangeConfiguration: (ascolta) => {
      registro.ascoltatori.push(ascolta);
      return { dispose() {} };
    },
  },
  window: { showErrorMessage: (testo) => registro.errori.push(testo) },
};

const caricaOriginale = Module._load;
Module._load = function (richiesta, ...resto) {
  if (richiesta === 'vscode') return vscodeFinto;
  if (richiesta === 'vscode-languageclient/node') return { LanguageClient: ClienteFinto };
  return caricaOriginale.call(this, richiesta, ...resto);
};
const estensione = require(path.join('..', pacchetto.main));

const linguaggio = pacchetto.contributes.languages[0].id;
const impostazioni = Object.keys(pacchetto.contributes.configuration.properties);

async function attiva(impostazione, avvioFallisce = false) {
  registro = nuovoRegistro(impostazione, avvioFallisce);
  await estensione.activate({ subscriptions: [] });
  return registro;
}

// The setting as the user leaves it, and the program the server is started with.
const programmi = [
  { impostazione: undefined, programma: 'velt-autore' },
  { impostazione: '', programma: 'velt-autore' },
  { impostazione: '   ', programma: 'velt-autore' },
  { impostazione: '/opt/velt/bin/velt-autore', programma: '/opt/velt/bin/velt-autore' },
  { impostazione: ' velt-autore-prova ', programma: 'velt-autore-prova' },
];

for (const { impostazione, programma } of programmi) {
  test(`the server is «${programma} lsp» when the setting is ${JSON.stringify(impostazione)}`, async () => {
    const r = await attiva(impostazione);
    assert.strictEqual(r.clienti.length, 1);
    const [c] = r.clienti;
    // Exactly these two fields: a transport would make the client add --stdio.
    assert.deepStrictEqual(c.server, { command: programma, args: ['lsp'] });
    assert.deepStrictEqual(c.opzioni.documentSelector, [{ language: linguaggio }]);
    assert.ok(c.avviato);
    assert.deepStrictEqual(r.errori, []);
    await estensione.deactivate();
    assert.ok(c.fermato);
  });
}

test('a server that cannot start is said once, naming a setting that package.json declares', async () => {
  const r = await attiva('/nessun/velt-autore', true);
  assert.strictEqual(r.errori.length, 1);
  assert.match(r.errori[0], /«\/nessun\/velt-autore lsp»/);
  assert.match(r.errori[0], /ENOENT/);
  const nominata = impostazioni.filter((nome) => r.errori[0].includes(nome));
  assert.deepStrictEqual(nominata, ['velt.server.comando']);
  await estensione.deactivate();  // nothing was started, so nothing to stop and no error
});

test('changing the setting restarts the server with the new program; other settings do not', async () => {
  const r = await attiva(undefined);
  assert.strictEqual(r.ascoltatori.length, 1);
  const cambio = (nome) => ({ affectsConfiguration: (s) => s === nome });

  await r.ascoltatori[0](cambio('editor.fontSize'));
  assert.strictEqual(r.clienti.length, 1);

  r.impostazione = '/usr/games/velt-autore';
  await r.ascoltatori[0](cambio(impostazioni[0]));
  assert.strictEqual(r.clienti.length, 2);
  assert.ok(r.clienti[0].fermato);
  assert.deepStrictEqual(r.clienti[1].server, { command: '/usr/games/velt-autore', args: ['lsp'] });
  assert.ok(r.clienti[1].avviato);
  await estensione.deactivate();
  assert.ok(r.clienti[1].fermato);
});

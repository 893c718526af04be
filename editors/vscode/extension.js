'use strict';
// The client of velt's language server: for world files (language `velt`) it
// starts `velt-autore lsp`, which speaks the protocol on its standard input
// and output, and hands it every open world. Diagnostics, the outline,
// definitions, completion and renames all come from the server.

const vscode = require('vscode');
const { LanguageClient } = require('vscode-languageclient/node');

const LINGUAGGIO = 'velt';
// The setting that names the program: `velt.server.comando`.
const SEZIONE = 'velt';
const CHIAVE = 'server.comando';

let cliente;

// The server's command line: the configured program and `lsp`, nothing else.
// No transport is named, so the client adds no option of its own (such as
// --stdio) and talks to the process over its standard streams.
function opzioniServer(programma) {
  return { command: programma, args: ['lsp'] };
}

// The configured program; an empty or missing setting means `velt-autore`,
// found through PATH.
function programmaConfigurato() {
  const valore = vscode.workspace.getConfiguration(SEZIONE).get(CHIAVE);
  return typeof valore === 'string' && valore.trim() !== '' ? valore.trim() : 'velt-autore';
}

// Starts a client on the configured program. When the program cannot be
// started it says so once, naming the setting to fix; the grammar and the
// folding keep working without a server.
async function avvia() {
  const programma = programmaConfigurato();
  const nuovo = new LanguageClient(LINGUAGGIO, 'velt-autore lsp', opzioniServer(programma), {
    documentSelector: [{ language: LINGUAGGIO }],
  });
  cliente = nuovo;
  try {
    await nuovo.start();
  } catch (errore) {
    if (cliente === nuovo) cliente = undefined;
    const motivo = errore && errore.message ? errore.message : String(errore);
    vscode.window.showErrorMessage(
      `velt: non riesco ad avviare «${programma} lsp» (${motivo}). ` +
        `Installa velt-autore o indica il suo percorso nell'impostazione ${SEZIONE}.${CHIAVE}.`);
  }
}

async function ferma() {
  const vecchio = cliente;
  cliente = undefined;
  if (!vecchio) return;
  try {
    await vecchio.stop();
  } catch {
    // A server that has already ended leaves nothing to stop.
  }
}

// A change of the setting stops the running server and starts the new one.
async function activate(contesto) {
  contesto.subscriptions.push(
    vscode.workspace.onDidChangeConfiguration(async (evento) => {
      if (!evento.affectsConfiguration(`${SEZIONE}.${CHIAVE}`)) return;
      await ferma();
      await avvia();
    }));
  await avvia();
}

function deactivate() {
  return ferma();
}

module.exports = { activate, deactivate };

// What the browser tests share: the environment CTest sets, the system's
// Chromium, the default world and its walkthrough, and the terminal program that every game played
// in a page is checked against.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { chromium } from 'playwright-core';

export const variabile = (nome) => {
  assert.ok(process.env[nome], `variabile d'ambiente ${nome} mancante`);
  return process.env[nome];
};

export const PAGINA = variabile('VELT_PAGINA');
export const NATIVO = variabile('VELT_NATIVO');
export const SORGENTI = variabile('VELT_SORGENTI');
export const ARTEFATTI = variabile('VELT_ARTEFATTI');
export const sorgente = (...p) => path.join(SORGENTI, ...p);
export const righe = (file) => fs.readFileSync(file, 'latin1').split('\n').slice(0, -1);
export const SOLUZIONE = righe(sorgente('tests/transcripts/mondo-predefinito-soluzione/input'));
export const PREDEFINITO = fs.readFileSync(sorgente('worlds/mondo.ini'));

// velt-utf8 of the native build in a scratch folder holding `mondo` (and
// `salvato` as world.ini): its output, status and saved game.
export function terminale(mondo, input, salvato) {
  const cartella = fs.mkdtempSync(path.join(os.tmpdir(), 'velt-'));
  try {
    fs.writeFileSync(path.join(cartella, 'mondo.ini'), mondo);
    if (salvato) fs.writeFileSync(path.join(cartella, 'world.ini'), salvato);
    const inizio = performance.now();
    const r = spawnSync(path.join(NATIVO, 'velt-utf8'), { cwd: cartella, input: input.map((r) => `${r}\n`).join('') });
    const ms = performance.now() - inizio;
    assert.equal(r.error, undefined, `velt-utf8 non parte: ${r.error}`);
    const world = path.join(cartella, 'world.ini');
    return { testo: r.stdout.toString(), stato: r.status, ms,
             salvato: fs.existsSync(world) ? fs.readFileSync(world) : null };
  } finally {
    fs.rmSync(cartella, { recursive: true, force: true });
  }
}

// Debian's Chromium (or VELT_CHROMIUM), headless, quiet on the network, with
// the flags `altri` besides.
export function lanciaChromium(altri = []) {
  return chromium.launch({
    executablePath: process.env.VELT_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', ...altri],
  });
}

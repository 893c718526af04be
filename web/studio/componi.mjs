// Composes the studio, one self-contained page: the HTML shell with its
// style, the bundle of the editor and the studio's script (esbuild), the
// tools' module for the Worker, the player's page, the example project and
// the help rendered from its Markdown source.
// Usage: node componi.mjs --sorgenti REPO --pagina velt.html
//                         --strumenti strumenti.js --uscita studio.html
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import * as esbuild from 'esbuild';
import { marked } from 'marked';

const qui = path.dirname(fileURLToPath(import.meta.url));
const opzioni = {};
for (let i = 2; i + 1 < process.argv.length; i += 2) opzioni[process.argv[i].slice(2)] = process.argv[i + 1];
for (const o of ['sorgenti', 'pagina', 'strumenti', 'uscita']) {
  if (!opzioni[o]) {
    console.error(`componi.mjs: manca --${o}`);
    process.exit(2);
  }
}

// A script element's text ends at the first "</script" (in any case); these
// pieces go inside script elements.
const nelloScript = (testo) => testo.replace(/<\/(script)/gi, '<\\/$1');
// JSON inside a script element: every "<" escaped, so nothing can close it.
const json = (valore) => JSON.stringify(valore).replace(/</g, '\\u003c');

const pacchetto = await esbuild.build({
  entryPoints: [path.join(qui, 'studio.js')],
  bundle: true, minify: true, write: false, format: 'iife', target: 'es2020', legalComments: 'none',
});
const sorgente = (...p) => path.join(opzioni.sorgenti, ...p);
const esempio = {
  nome: 'mondo.ini',
  mondo: fs.readFileSync(sorgente('worlds/mondo.ini')).toString('base64'),
  prove: { 'mondo.prova': fs.readFileSync(sorgente('worlds/mondo.prova'), 'utf8') },
};
const aiuto = marked.parse(fs.readFileSync(sorgente('docs/studio.md'), 'utf8'));

const parti = {
  '/*@STILE@*/': fs.readFileSync(path.join(qui, 'studio.css'), 'utf8'),
  '<!--@AIUTO@-->': aiuto,
  '/*@PAGINA@*/': json(fs.readFileSync(opzioni.pagina, 'utf8')),
  '/*@STRUMENTI@*/': json(fs.readFileSync(opzioni.strumenti, 'utf8')),
  '/*@ESEMPIO@*/': json(esempio),
  '/*@STUDIO@*/': nelloScript(pacchetto.outputFiles[0].text),
};
let html = fs.readFileSync(path.join(qui, 'studio.html'), 'utf8');
for (const [segnaposto, testo] of Object.entries(parti)) {
  const i = html.indexOf(segnaposto);
  if (i < 0) throw new Error(`studio.html: manca ${segnaposto}`);
  html = html.slice(0, i) + testo + html.slice(i + segnaposto.length);
}
// Written beside and renamed, so a failed build leaves no half page.
fs.writeFileSync(`${opzioni.uscita}.tmp`, html);
fs.renameSync(`${opzioni.uscita}.tmp`, opzioni.uscita);

'use strict';
// The page around the engine. Each run of the game is a fresh instance of the
// engine (creaVelt); opening another world or starting again drops the old
// run, whose pending line read is then never answered. The body's data
// attributes tell tests whether the game waits for a line (data-in-attesa)
// and, when the run has ended, its exit status (data-stato); data-corsa
// counts the runs started.
(() => {
  const $ = (id) => document.getElementById(id);
  const corpo = document.body, terminale = $('terminale'), schermo = $('schermo');
  const riga = $('riga'), avviso = $('avviso');

  // The world published inside this page (base64), if any; else the engine's
  // bundled default world.
  const incorporato = (() => {
    const testo = $('mondo-incorporato').textContent.trim();
    return testo ? Uint8Array.from(atob(testo), (c) => c.charCodeAt(0)) : null;
  })();
  if (incorporato) $('titolo').textContent = document.title;

  let mondo = incorporato; // the bytes of the world being played, as given
  let corsa = null;        // the current run: {modulo, cartella, risposta}
  const storia = [];
  let posto = 0;
  let corse = 0;

  function avvisa(testo, aggiungi) {
    avviso.textContent = aggiungi && avviso.textContent ? avviso.textContent + '\n' + testo : testo;
    avviso.hidden = !avviso.textContent;
  }

  function scrivi(testo, classe) {
    if (classe) {
      const eco = document.createElement('span');
      eco.className = classe;
      eco.textContent = testo;
      schermo.append(eco);
    } else {
      schermo.append(testo);
    }
    terminale.scrollTop = terminale.scrollHeight;
  }

  // Each world keeps its own folder, and so its own saves: the name comes
  // from the world's bytes (FNV-1a and length).
  function chiave(dati) {
    let h = 0x811c9dc5;
    for (const b of dati) h = Math.imul(h ^ b, 0x01000193) >>> 0;
    return `/velt/mondo-${h.toString(16).padStart(8, '0')}-${dati.length}`;
  }

  function sincronizza(FS, dalDisco) {
    return new Promise((ok, ko) => FS.syncfs(dalDisco, (e) => (e ? ko(e) : ok())));
  }

  // The engine's own conversion of a world file (see velt_converti):
  // {dati, convertito} or {errore}.
  function converti(modulo, grezzi) {
    const p = modulo._malloc(grezzi.length + 1);
    modulo.HEAPU8.set(grezzi, p);
    const e = modulo._velt_converti(p, grezzi.length) >> 2;
    modulo._free(p);
    const [stato, testo, lunghezza, numero, motivo] = modulo.HEAPU32.slice(e, e + 5);
    if (stato === 2) {
      return { errore: `Riga ${numero}: ${modulo.UTF8ToString(motivo)}. Correggi il file e riaprilo.` };
    }
    return { dati: modulo.HEAPU8.slice(testo, testo + lunghezza), convertito: stato === 1 };
  }

  // Starts a run on the world `grezzi` (null: the page's own world), with the
  // saved game `salvataggio` put in its folder first if given. A world that
  // cannot be converted leaves the current run alone and returns false.
  async function avvia(grezzi, salvataggio) {
    const questa = {};
    const decodifica = new TextDecoder();
    const modulo = await creaVelt({
      veltScrivi: (byte) => corsa === questa && scrivi(decodifica.decode(byte, { stream: true })),
      veltLeggi: () => leggi(questa),
      veltFine: (stato) => corsa === questa && fine(stato),
      onAbort: () => corsa === questa && fine('interrotto'),
      print: (t) => console.log(t),
      printErr: (t) => console.warn(t),
    });
    const FS = modulo.FS;
    const esito = converti(modulo, grezzi || FS.readFile('/predefinito/mondo.ini'));
    if (esito.errore) {
      avvisa(esito.errore);
      return false;
    }
    corsa = questa;
    mondo = grezzi;
    corpo.dataset.corsa = String(++corse);
    schermo.textContent = '';
    corpo.dataset.inAttesa = '0';
    delete corpo.dataset.stato;
    avvisa(esito.convertito ? 'Il mondo era scritto in UTF-8: convertito in code page 850.' : '');
    FS.mkdir('/velt');
    try {
      FS.mount(FS.filesystems.IDBFS, {}, '/velt');
      await sincronizza(FS, true);
    } catch (e) {
      avvisa(`I salvataggi non restano nel browser (${e.message || e}).`, true);
    }
    if (corsa !== questa) return false;
    questa.modulo = modulo;
    questa.cartella = chiave(esito.dati);
    if (!FS.analyzePath(questa.cartella).exists) FS.mkdir(questa.cartella);
    FS.writeFile(`${questa.cartella}/mondo.ini`, esito.dati);
    if (salvataggio) {
      FS.writeFile(`${questa.cartella}/world.ini`, salvataggio);
      avvisa('Salvataggio caricato: rispondi «si» alla prima domanda per riprenderlo.', true);
    }
    FS.chdir(questa.cartella);
    riga.disabled = false;
    riga.focus();
    modulo.callMain([]);
    return true;
  }

  // Writes the game's folder back to IndexedDB; if that fails the page says
  // so (once a run) and the game goes on.
  async function conserva(questa) {
    try {
      await sincronizza(questa.modulo.FS, false);
    } catch (e) {
      if (!questa.rifiutato) {
        avvisa(`Salvataggio nel browser non riuscito (${e.message || e}): la partita ` +
               'continua, ma potrebbe non restare dopo la chiusura della pagina.', true);
      }
      questa.rifiutato = true;
    }
  }

  // The console's line read, after the folder is written back.
  async function leggi(questa) {
    const mai = () => new Promise(() => {});
    if (corsa !== questa) return mai();
    await conserva(questa);
    if (corsa !== questa) return mai();
    return new Promise((risolvi) => {
      questa.risposta = risolvi;
      corpo.dataset.inAttesa = '1';
    });
  }

  function invia() {
    const risolvi = corsa && corsa.risposta;
    if (!risolvi) return;
    const testo = riga.value;
    riga.value = '';
    corsa.risposta = null;
    corpo.dataset.inAttesa = '0';
    if (testo && testo !== storia[storia.length - 1]) storia.push(testo);
    posto = storia.length;
    scrivi(`${testo}\n`, 'eco');
    risolvi(testo);
  }

  // The end of a run. A game saved by "esci" is already in IndexedDB: the
  // engine's save syncs the file and the folder, and with Asyncify a sync
  // writes the folder back.
  function fine(stato) {
    corpo.dataset.inAttesa = '0';
    corpo.dataset.stato = String(stato);
    riga.disabled = true;
    avvisa(stato === 0 ? 'Partita finita: «Ricomincia» per giocare di nuovo.'
                       : `Il gioco si è fermato (stato ${stato}): correggi il mondo e riaprilo, ` +
                         'oppure «Ricomincia».', true);
    $('ricomincia').focus();
  }

  async function leggiFile(file) {
    return new Uint8Array(await file.arrayBuffer());
  }

  riga.addEventListener('keydown', (ev) => {
    if (ev.key === 'Enter') {
      ev.preventDefault();
      invia();
    } else if (ev.key === 'ArrowUp' && posto > 0) {
      ev.preventDefault();
      riga.value = storia[--posto];
    } else if (ev.key === 'ArrowDown' && posto < storia.length) {
      ev.preventDefault();
      riga.value = storia[++posto] ?? '';
    }
  });
  // The input line keeps the focus: a click on the text (unless it selects)
  // or a key typed elsewhere brings it back.
  terminale.addEventListener('click', () => {
    if (document.getSelection().isCollapsed && !riga.disabled) riga.focus();
  });
  document.addEventListener('keydown', (ev) => {
    const altrove = ev.target !== riga && !(ev.target instanceof HTMLButtonElement);
    if (altrove && !riga.disabled && ev.key.length === 1 && !ev.ctrlKey && !ev.metaKey) riga.focus();
  });

  $('apri').addEventListener('click', () => $('file-mondo').click());
  $('file-mondo').addEventListener('change', async (ev) => {
    const [file] = ev.target.files;
    ev.target.value = '';
    if (file) avvia(await leggiFile(file));
  });
  $('ricomincia').addEventListener('click', () => avvia(mondo));
  $('scarica').addEventListener('click', () => {
    const nome = corsa && corsa.cartella && `${corsa.cartella}/world.ini`;
    if (!nome || !corsa.modulo.FS.analyzePath(nome).exists) {
      avvisa('Non c\'è ancora un salvataggio di questo mondo: si crea con il comando «salva».');
      return;
    }
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([corsa.modulo.FS.readFile(nome)]));
    a.download = 'world.ini';
    a.click();
    riga.focus();
    setTimeout(() => URL.revokeObjectURL(a.href), 1000);
  });
  $('carica').addEventListener('click', () => $('file-salvataggio').click());
  $('file-salvataggio').addEventListener('change', async (ev) => {
    const [file] = ev.target.files;
    ev.target.value = '';
    if (file) avvia(mondo, await leggiFile(file));
  });

  // A world file dropped anywhere on the page is played.
  document.addEventListener('dragover', (ev) => {
    ev.preventDefault();
    corpo.classList.add('trascina');
  });
  document.addEventListener('dragleave', () => corpo.classList.remove('trascina'));
  document.addEventListener('drop', async (ev) => {
    ev.preventDefault();
    corpo.classList.remove('trascina');
    const [file] = ev.dataTransfer.files;
    if (file) avvia(await leggiFile(file));
  });

  avvia(incorporato).catch((e) => avvisa(`Il gioco non parte in questo browser (${e.message || e}).`));
})();

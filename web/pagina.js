'use strict';
// The page around the engine. Each run of the game is a fresh instance of the
// engine (creaVelt); opening another world or starting again drops the old
// run, whose pending line read is then never answered. The body's data
// attributes tell tests whether the game waits for a line (data-in-attesa)
// and, when the run has ended, its exit status (data-stato); data-corsa
// counts the runs started. The engine's output of one turn is gathered and
// shown at once when the turn ends (a line read or the end of the run), so a
// screen reader hears each reply as one addition to the log.
(() => {
  const $ = (id) => document.getElementById(id);
  const corpo = document.body, terminale = $('terminale'), schermo = $('schermo');
  const riga = $('riga'), avviso = $('avviso'), conferma = $('conferma');
  // The author's page lets the player open any world; the published page
  // (written without that button) plays only its own.
  const autore = $('apri') !== null;

  // The world published inside this page (base64), if any; else the engine's
  // bundled default world.
  const incorporato = (() => {
    const testo = $('mondo-incorporato').textContent.trim();
    return testo ? Uint8Array.from(atob(testo), (c) => c.charCodeAt(0)) : null;
  })();

  let mondo = incorporato; // the bytes of the world being played, as given
  let corsa = null;        // the current run: {modulo, cartella, risposta, cambiata, finita}
  // The output of the current turn: pieces, each opened by a mark of the
  // engine (see `segno` in the console: 0 title, 1 place, 2 closing message).
  let turno = [];
  const SEGNI = ['titolo', 'luogo', 'fine'];
  const storia = [];
  let posto = 0;
  let corse = 0;

  function avvisa(testo, aggiungi) {
    avviso.textContent = aggiungi && avviso.textContent ? avviso.textContent + '\n' + testo : testo;
    avviso.hidden = !avviso.textContent;
  }

  function mostraTitolo(titolo) {
    document.title = titolo || 'velt';
    $('titolo').textContent = document.title;
  }

  // Where the focus goes after a button, a dialog or a file: the input line
  // while the game runs, else the button that starts it again.
  function torna() {
    (riga.disabled ? $('ricomincia') : riga).focus();
  }

  function elemento(nome, classe, testo) {
    const e = document.createElement(nome);
    e.className = classe;
    e.textContent = testo;
    return e;
  }

  // Shows the output of the turn that has ended. When the game waits for a
  // line, the text after the last line feed is its prompt: it stays in the
  // transcript, hidden from screen readers, and labels the input instead,
  // so it is not read out again at every turn. A place's name line becomes
  // a heading; the closing message a band marked data-finito, announced
  // once. The text is the engine's, character for character.
  function mostraTurno(attesa) {
    const pezzi = turno;
    turno = [{ segno: null, testo: '' }];
    let prompt = '';
    const ultimo = pezzi[pezzi.length - 1];
    if (attesa && ultimo) {
      const a = ultimo.testo.lastIndexOf('\n');
      prompt = ultimo.testo.slice(a + 1);
      ultimo.testo = ultimo.testo.slice(0, a + 1);
    }
    const parti = document.createDocumentFragment();
    for (const { segno, testo } of pezzi) {
      // The title mark comes right before the title, which may be empty.
      if (segno === 'titolo') mostraTitolo(testo.split('\n', 1)[0].trim());
      const inizio = testo.search(/[^\n]/);
      if (!segno || segno === 'titolo' || inizio < 0) {
        parti.append(testo);
        continue;
      }
      parti.append(testo.slice(0, inizio));
      const resto = testo.slice(inizio);
      if (segno === 'fine') {
        // One line feed ends the band's last line; the rest follow it.
        const fine = Math.min(resto.search(/\n*$/) + 1, resto.length);
        const fascia = elemento('div', 'finale', resto.slice(0, fine));
        fascia.dataset.finito = '';
        parti.append(fascia, resto.slice(fine));
        avvisa('Sei arrivato alla fine del gioco.', true);
        continue;
      }
      const a = resto.indexOf('\n');
      const linea = a < 0 ? resto : resto.slice(0, a);
      parti.append(elemento('h2', 'luogo', linea), resto.slice(linea.length));
    }
    if (prompt) {
      const p = elemento('span', 'prompt', prompt);
      p.setAttribute('aria-hidden', 'true');
      parti.append(p);
      riga.setAttribute('aria-label', prompt.replace(/=>\s*$/, '').trim() || 'Comando');
    }
    schermo.append(parti);
    allarga();
    terminale.scrollTop = terminale.scrollHeight;
  }

  // The input line takes the rest of the prompt's line, or a line of its
  // own when too little of it is left.
  function allarga() {
    riga.style.width = '12ch';
    const bordo = terminale.getBoundingClientRect().left + terminale.clientLeft;
    const destra = bordo + terminale.clientWidth - parseFloat(getComputedStyle(terminale).paddingRight);
    // A pixel less, for the fractions of pixels that would push it over.
    const libero = Math.floor(destra - riga.getBoundingClientRect().left) - 1;
    riga.style.width = libero > riga.offsetWidth ? `${libero}px` : '100%';
  }
  new ResizeObserver(allarga).observe(terminale);

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
      veltScrivi: (byte) => {
        if (corsa === questa) turno[turno.length - 1].testo += decodifica.decode(byte, { stream: true });
      },
      veltSegna: (n) => corsa === questa && turno.push({ segno: SEGNI[n], testo: '' }),
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
      torna();
      return false;
    }
    corsa = questa;
    mondo = grezzi;
    corpo.dataset.corsa = String(++corse);
    turno = [{ segno: null, testo: '' }];
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
    mostraTurno(true);
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
    // Whatever the line, the game may differ from its last save, unless the
    // line saves it.
    corsa.cambiata = testo !== 'salva';
    schermo.append(elemento('span', 'eco', `${testo}\n`));
    risolvi(testo);
  }

  // The end of a run. A game saved by "esci" is already in IndexedDB: the
  // engine's save syncs the file and the folder, and with Asyncify a sync
  // writes the folder back.
  // A stop can come from the world or from the saved-game question (no save
  // to load): the engine's own text above says which, the page only where
  // to go on.
  function fine(stato) {
    mostraTurno(false);
    corsa.finita = true;
    corpo.dataset.inAttesa = '0';
    corpo.dataset.stato = String(stato);
    riga.disabled = true;
    avvisa(stato === 0 ? 'Partita finita: «Ricomincia» per giocare di nuovo.'
                       : `Il gioco si è fermato (stato ${stato}): il motivo è scritto qui sopra. ` +
                         '«Ricomincia» per giocare di nuovo.', true);
    $('ricomincia').focus();
  }

  // Before an action that drops the current game: true at once when nothing
  // would be lost (no game, a game over, or no line since the last "salva"),
  // else the player's answer to the dialog. The focus goes back to the input
  // when the player keeps the game.
  function lasciare(azione) {
    if (!corsa || corsa.finita || !corsa.cambiata) return Promise.resolve(true);
    $('conferma-testo').textContent = `${azione} lascia la partita in corso, che non è salvata ` +
                                      'da quando hai scritto l\'ultimo comando «salva».';
    conferma.returnValue = '';
    conferma.showModal();
    return new Promise((ok) => conferma.addEventListener('close', () => {
      const si = conferma.returnValue === 'si';
      if (!si) torna();
      ok(si);
    }, { once: true }));
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
  // A button keeps only the space bar, which presses it: the focus may still
  // lie on one for a moment after a dialog closes, and no letter is lost.
  document.addEventListener('keydown', (ev) => {
    const pulsante = ev.target instanceof HTMLButtonElement && ev.key === ' ';
    const altrove = ev.target !== riga && !pulsante && !conferma.open;
    if (altrove && !riga.disabled && ev.key.length === 1 && !ev.ctrlKey && !ev.metaKey) riga.focus();
  });

  // A world opened by the player: its file name is the title until the
  // game shows the world's own.
  async function apriMondo(file) {
    if (await avvia(await leggiFile(file))) mostraTitolo(file.name.replace(/\.[^.]*$/, ''));
  }

  // The file pickers: the focus comes back whether a file was chosen or not.
  for (const id of ['file-mondo', 'file-salvataggio']) $(id).addEventListener('cancel', torna);
  $('apri')?.addEventListener('click', async () => {
    if (await lasciare('Aprire un altro mondo')) $('file-mondo').click();
  });
  $('file-mondo').addEventListener('change', async (ev) => {
    const [file] = ev.target.files;
    ev.target.value = '';
    if (file) await apriMondo(file);
    torna();
  });
  $('ricomincia').addEventListener('click', async () => {
    if (await lasciare('Ricominciare')) await avvia(mondo);
    torna();
  });
  $('scarica').addEventListener('click', () => {
    const nome = corsa && corsa.cartella && `${corsa.cartella}/world.ini`;
    if (!nome || !corsa.modulo.FS.analyzePath(nome).exists) {
      avvisa('Non c\'è ancora un salvataggio di questo mondo: si crea con il comando «salva».');
      torna();
      return;
    }
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([corsa.modulo.FS.readFile(nome)]));
    a.download = 'world.ini';
    a.click();
    torna();
    setTimeout(() => URL.revokeObjectURL(a.href), 1000);
  });
  $('carica').addEventListener('click', async () => {
    if (await lasciare('Caricare un salvataggio')) $('file-salvataggio').click();
  });
  $('file-salvataggio').addEventListener('change', async (ev) => {
    const [file] = ev.target.files;
    ev.target.value = '';
    if (file) await avvia(mondo, await leggiFile(file));
    torna();
  });

  // On the author's page a world file dropped anywhere is played.
  if (autore) {
    document.addEventListener('dragover', (ev) => {
      ev.preventDefault();
      corpo.classList.add('trascina');
    });
    document.addEventListener('dragleave', () => corpo.classList.remove('trascina'));
    document.addEventListener('drop', async (ev) => {
      ev.preventDefault();
      corpo.classList.remove('trascina');
      const [file] = ev.dataTransfer.files;
      if (file && await lasciare('Aprire un altro mondo')) await apriMondo(file);
      torna();
    });
  }

  avvia(incorporato).catch((e) => avvisa(`Il gioco non parte in questo browser (${e.message || e}).`));
})();

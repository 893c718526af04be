// The play pane: the player's page engine, unchanged, plays the editor's
// text. Each run is a fresh instance of the engine; the lines typed in the
// run are kept, so a new run after an edit types them again by itself. The
// pane's text is the engine's output with each typed line echoed in a span
// of class "eco". The body's data-gioco says "attesa" while the game waits
// for a line, "fine" when the run has ended (data-gioco-stato: its status).

// The engine's script, taken from the player's page held in the studio.
function motore(pagina) {
  const doc = new DOMParser().parseFromString(pagina, 'text/html');
  const script = [...doc.scripts].find((s) => s.textContent.includes('var creaVelt'));
  if (!script) throw new Error('la pagina del giocatore non contiene il motore');
  // eslint-disable-next-line no-new-func
  return new Function(`${script.textContent}\nreturn creaVelt;`)();
}

export class Gioco {
  constructor({ pagina, schermo, terminale, riga }) {
    this.creaVelt = motore(pagina);
    Object.assign(this, { schermo, terminale, riga });
    this.corsa = null;
    this.righe = []; // the lines typed in the current run, in order
    this.corse = 0;
    riga.addEventListener('keydown', (ev) => {
      if (ev.key === 'Enter') {
        ev.preventDefault();
        this.invia(riga.value);
      }
    });
    terminale.addEventListener('click', () => {
      if (document.getSelection().isCollapsed && !riga.disabled) riga.focus();
    });
  }

  stato(valore, esito) {
    document.body.dataset.gioco = valore;
    if (esito === undefined) delete document.body.dataset.giocoStato;
    else document.body.dataset.giocoStato = String(esito);
  }

  scrivi(testo, classe) {
    if (classe) {
      const eco = document.createElement('span');
      eco.className = classe;
      eco.textContent = testo;
      this.schermo.append(eco);
    } else {
      this.schermo.append(testo);
    }
    this.terminale.scrollTop = this.terminale.scrollHeight;
  }

  // Starts a run on the world `byte` (code page 850) and types
  // `ripeti` (lines) as the game asks for them. Resolves when the run waits
  // for the player or has ended.
  async avvia(byte, ripeti = []) {
    const questa = { coda: [...ripeti] };
    this.corsa = questa;
    const decodifica = new TextDecoder();
    const modulo = await this.creaVelt({
      veltScrivi: (b) => this.corsa === questa && this.scrivi(decodifica.decode(b, { stream: true })),
      veltLeggi: () => this.leggi(questa),
      veltFine: (stato) => this.corsa === questa && this.fine(questa, stato),
      // The marks of the text (headings, the closing message) only change how
      // the player's page shows it: the pane shows the plain text.
      veltSegna: () => {},
      onAbort: () => this.corsa === questa && this.fine(questa, 'interrotto'),
      print: () => {},
      printErr: () => {},
    });
    if (this.corsa !== questa) return;
    this.corse++;
    this.righe = [];
    this.schermo.textContent = '';
    this.stato('avvio');
    questa.pronta = new Promise((ok) => { questa.segnala = ok; });
    modulo.FS.mkdir('/gioco');
    modulo.FS.writeFile('/gioco/mondo.ini', byte);
    modulo.FS.chdir('/gioco');
    this.riga.disabled = false;
    modulo.callMain([]);
    await questa.pronta;
  }

  leggi(questa) {
    if (this.corsa !== questa) return new Promise(() => {});
    if (questa.coda.length) {
      const testo = questa.coda.shift();
      this.righe.push(testo);
      this.scrivi(`${testo}\n`, 'eco');
      return Promise.resolve(testo);
    }
    return new Promise((ok) => {
      questa.risposta = ok;
      this.stato('attesa');
      questa.segnala();
    });
  }

  invia(testo) {
    const questa = this.corsa;
    if (!questa || !questa.risposta) return;
    const ok = questa.risposta;
    questa.risposta = null;
    this.riga.value = '';
    this.stato('gioca');
    this.righe.push(testo);
    this.scrivi(`${testo}\n`, 'eco');
    ok(testo);
  }

  fine(questa, stato) {
    this.riga.disabled = true;
    this.stato('fine', stato);
    questa.segnala?.();
  }

  // The pane's text without the echoed lines (what velt-utf8 prints).
  testo() {
    return [...this.schermo.childNodes].filter((n) => !n.classList?.contains('eco'))
      .map((n) => n.textContent).join('');
  }
}

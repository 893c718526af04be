// The studio's Workers: each runs the tools' module (the analysis and
// velt-autore compiled to WebAssembly), started from a blob: URL, since a
// page opened from file:// cannot start a Worker from a file. Requests are
// answered in order; a Worker busy with the solver is stopped by ending it.

// The Worker's own code (after the module's script): answers
//  {tipo: 'analizza', testo} with the analysis as plain data,
//  {tipo: 'completa', testo, riga, colonna} with what may be written there
//  (riga from 1, colonna in characters from 0): {da, a, proposte}, and
//  {tipo: 'autore', argomenti, file} with velt-autore's run on files put in
//  the module's file system first: {stato, uscita (bytes), errori}.
// The tools' remarks arrive while they run as {avanzamento}.
function lavoratore() {
  /* global creaStrumenti */
  const pronto = creaStrumenti({
    avanza: (testo) => postMessage({ avanzamento: testo }),
    print: () => {},
    printErr: () => {},
  });
  const inC = (m, byte) => {
    const p = m._malloc(byte.length + 1);
    m.HEAPU8.set(byte, p);
    m.HEAPU8[p + byte.length] = 0;
    return p;
  };
  onmessage = async ({ data }) => {
    const m = await pronto;
    let risposta;
    try {
      if (data.tipo === 'analizza') {
        const byte = new TextEncoder().encode(data.testo);
        const inizio = performance.now();
        const p = inC(m, byte);
        const json = m.UTF8ToString(m._strumenti_analizza(p, byte.length));
        m._free(p);
        risposta = JSON.parse(json);
        risposta.ms = performance.now() - inizio;
      } else if (data.tipo === 'completa') {
        const byte = new TextEncoder().encode(data.testo);
        const p = inC(m, byte);
        risposta = JSON.parse(m.UTF8ToString(m._strumenti_completa(p, byte.length, data.riga, data.colonna)));
        m._free(p);
      } else {
        if (m.FS.analyzePath('/p').exists) {
          for (const f of m.FS.readdir('/p')) if (f !== '.' && f !== '..') m.FS.unlink(`/p/${f}`);
        } else {
          m.FS.mkdir('/p');
        }
        for (const [nome, dati] of Object.entries(data.file || {})) m.FS.writeFile(`/p/${nome}`, dati);
        const inizio = performance.now();
        const p = inC(m, new TextEncoder().encode(data.argomenti.join('\n')));
        const stato = m._strumenti_autore(p);
        m._free(p);
        const leggi = (nome) => (m.FS.analyzePath(nome).exists ? m.FS.readFile(nome) : new Uint8Array());
        risposta = { stato, uscita: m.FS.readFile('/uscita'), errori: new TextDecoder().decode(m.FS.readFile('/errori')),
                     ms: performance.now() - inizio, file: data.leggi ? leggi(`/p/${data.leggi}`) : null };
      }
    } catch (e) {
      risposta = { eccezione: String(e && e.message || e) + (e && e.errno !== undefined ? ` (errno ${e.errno})` : '') + String(e.stack) };
    }
    postMessage({ id: data.id, risposta });
  };
}

const codice = JSON.parse(document.getElementById('dati-strumenti').textContent) +
  `\n(${lavoratore.toString()})();\n`;
const url = URL.createObjectURL(new Blob([codice], { type: 'text/javascript' }));

// One Worker: `chiedi(richiesta)` returns a promise of the answer;
// `avanzamento` receives the remarks as they come.
export class Lavoro {
  constructor(avanzamento) {
    this.avanzamento = avanzamento;
    this.attese = new Map();
    this.prossimo = 1;
    this.avvia();
  }
  avvia() {
    this.worker = new Worker(url);
    this.worker.onmessage = ({ data }) => {
      if (data.avanzamento !== undefined) {
        this.avanzamento?.(data.avanzamento);
        return;
      }
      const attesa = this.attese.get(data.id);
      this.attese.delete(data.id);
      if (data.risposta.eccezione) attesa?.ko(new Error(data.risposta.eccezione));
      else attesa?.ok(data.risposta);
    };
    this.worker.onerror = (e) => {
      for (const a of this.attese.values()) a.ko(new Error(e.message || 'errore del Worker'));
      this.attese.clear();
    };
  }
  chiedi(richiesta) {
    const id = this.prossimo++;
    return new Promise((ok, ko) => {
      this.attese.set(id, { ok, ko });
      this.worker.postMessage({ ...richiesta, id });
    });
  }
  // Ends whatever runs: pending requests fail with `fermato`, and a fresh
  // Worker takes the next ones.
  ferma() {
    this.worker.terminate();
    for (const a of this.attese.values()) a.ko(Object.assign(new Error('fermato'), { fermato: true }));
    this.attese.clear();
    this.avvia();
  }
}

// velt-autore with `argomenti` on the files `file` ({nome: bytes or text}),
// in the Worker of `lavoro`.
export const autore = (lavoro, argomenti, file, leggi) =>
  lavoro.chiedi({ tipo: 'autore', argomenti, file, leggi });

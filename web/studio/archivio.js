// The projects kept in the browser's IndexedDB: each one is
// {id, nome, testo (the world, as edited), codifica ('cp850' or 'utf8', how
// the world file is written out), prove ({file: text}), aggiornato}.
// Every operation rejects when the browser refuses the storage.
const BASE = 'velt-studio';

function apri() {
  return new Promise((ok, ko) => {
    const r = indexedDB.open(BASE, 1);
    r.onupgradeneeded = () => r.result.createObjectStore('progetti', { keyPath: 'id' });
    r.onsuccess = () => ok(r.result);
    r.onerror = () => ko(r.error);
    r.onblocked = () => ko(new Error('archivio bloccato da un\'altra scheda'));
  });
}

let base = null;
async function transazione(modo, fai) {
  base ??= apri();
  const db = await base;
  return new Promise((ok, ko) => {
    const t = db.transaction('progetti', modo);
    const r = fai(t.objectStore('progetti'));
    t.oncomplete = () => ok(r?.result);
    t.onerror = () => ko(t.error);
    t.onabort = () => ko(t.error || new Error('scrittura annullata'));
  });
}

export const elenca = () => transazione('readonly', (s) => s.getAll());
export const conserva = (progetto) =>
  transazione('readwrite', (s) => s.put({ ...progetto, aggiornato: Date.now() }));
export const cancella = (id) => transazione('readwrite', (s) => s.delete(id));

#include "analisi/analisi.h"

#include <algorithm>
#include <istream>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "analisi/ascoltatore.h"
#include "analisi/caricamento.h"
#include "console/cp850.h"

namespace {

// Bytes in memory read as a stream where they lie, without a copy.
class flusso_memoria : public std::streambuf {
public:
  explicit flusso_memoria(std::string_view testo) {
    char* inizio = const_cast<char*>(testo.data());  // only ever read
    setg(inizio, inizio, inizio + testo.size());
  }
};

// Where, in `testo`, character `colonna` (from 1) of line `riga` starts.
std::size_t posizione(const std::string& testo, unsigned long riga, unsigned long colonna) {
  std::size_t p = 0;
  for (unsigned long n = 1; n < riga; ++n) p = testo.find('\n', p) + 1;
  for (unsigned long c = 1; c < colonna; ++c) {
    ++p;
    while (p < testo.size() && (static_cast<unsigned char>(testo[p]) & 0xC0) == 0x80) ++p;
  }
  return p;
}

// An obstruction object can clear its direction when it can still be opened,
// can be moved, or can be used with its reagent (`usa` always names a tool).
bool libera(const oggetto& o) {
  const auto* ostr = dynamic_cast<const oggostr*>(&o);
  return ostr != nullptr &&
         ((o.apribile_() && !ostr->aperto()) || o.spostabile_() || !o.reagente_().empty());
}

bool direzione_valida(std::string_view parola) {
  return std::find_if(std::begin(parole_direzione), std::end(parole_direzione),
                      [&parola](const char* p) { return parola == p; }) !=
         std::end(parole_direzione);
}

// The places the start reaches through links, obstructed or not.
std::unordered_set<const luogo*> raggiunti(const ambiente& mondo) {
  std::unordered_set<const luogo*> visti;
  const luogo* partenza = mondo.corrente();
  auto it = mondo.luoghi_().find(partenza->nome_ref());
  if (it == mondo.luoghi_().end() || it->second.get() != partenza) return visti;
  visti.insert(partenza);
  std::vector<const luogo*> da_fare{partenza};
  while (!da_fare.empty()) {
    const luogo* l = da_fare.back();
    da_fare.pop_back();
    for (int d = 0; d < NUM_DIREZIONI; ++d) {
      const luogo* meta = l->collegamento(direzione(d));
      if (meta != nullptr && visti.insert(meta).second) da_fare.push_back(meta);
    }
  }
  return visti;
}

// The checks that need the whole world: obstructions that nothing clears,
// names that name no object, places that cannot be reached. The references
// are resolved already.
void esamina_mondo(const ambiente& mondo, const std::unordered_set<const luogo*>& visti,
                   ascoltatore& a, risultato& r) {
  std::vector<const oggetto*> tutti;
  // Directions cleared by obstructions that the player can carry anywhere.
  std::set<std::string, std::less<>> portatili;
  auto raccogli = [&](const oggetto& o) {
    tutti.push_back(&o);
    if (libera(o) && o.prendi()) portatili.emplace(static_cast<const oggostr&>(o).direzione_());
  };
  per_ogni_oggetto(ambiente::zaino.contenuto(), raccogli);
  for (const auto& voce : mondo.luoghi_()) per_ogni_oggetto(voce.second->oggetti_(), raccogli);

  for (const oggetto* o : tutti) {
    if (const auto* ostr = dynamic_cast<const oggostr*>(o)) {
      if (!direzione_valida(ostr->direzione_())) {
        a.aggiungi(a.riga_di(o->id()), gravita::avviso, "direzione-sconosciuta",
                   "l'ostruzione " + tra_apici(o->nome()) + " ha DIREZIONE " +
                       tra_apici(ostr->direzione_()) +
                       ", che non è nord, sud, est, ovest, alto o basso");
      }
    }
  }
  for (std::size_t i = 0; i < r.riferimenti.size(); ++i) {
    const riferimento& rif = r.riferimenti[i];
    const uso u = a.usi()[i];
    // A name that no object record defines.
    if ((u != uso::reagente && u != uso::obj) || rif.definizione >= 0) continue;
    const long dentro = a.contenitori()[i];
    a.aggiungi(rif.dove.riga, gravita::avviso,
               u == uso::obj ? "richiesto-inesistente" : "oggetto-inesistente",
               u == uso::obj ? "l'oggetto richiesto '" + rif.nome + "' non è un oggetto del mondo"
                             : "il REAGENTE '" + rif.nome + "' dell'oggetto '" +
                                   (dentro < 0 ? std::string()
                                               : r.simboli[static_cast<std::size_t>(dentro)].nome) +
                                   "' non è un oggetto del mondo",
               rif.dove.colonna, rif.dove.fine);
  }

  for (const auto& voce : mondo.luoghi_()) {
    const luogo& l = *voce.second;
    std::set<std::string, std::less<>> liberate = portatili;
    per_ogni_oggetto(l.oggetti_(), [&liberate](const oggetto& o) {
      if (libera(o)) liberate.emplace(static_cast<const oggostr&>(o).direzione_());
    });
    for (int d = 0; d < NUM_DIREZIONI; ++d) {
      if (!l.ostruzione(direzione(d)).empty() && liberate.count(parole_direzione[d]) == 0) {
        a.aggiungi(a.riga_di(voce.first), gravita::avviso, "ostruzione-bloccata",
                   std::string("l'uscita ") + parole_direzione[d] + " del luogo " +
                       tra_apici(voce.first) +
                       " è ostruita, ma nessuna ostruzione del luogo può liberarla");
      }
    }
  }

  if (mondo.luoghi_().empty() || a.inizio_mancante) return;
  if (visti.empty()) {
    a.aggiungi(0, gravita::avviso, "senza-partenza",
               "manca il luogo di partenza (INIZIO in [Utente]): nessun luogo è raggiungibile");
    return;
  }
  for (const auto& voce : mondo.luoghi_()) {
    if (visti.count(voce.second.get()) != 0) continue;
    a.aggiungi(
        a.riga_di(voce.first), gravita::avviso, "irraggiungibile",
        std::string(voce.second.get() == mondo.finale() ? "il luogo di fine " : "il luogo ") +
            tra_apici(voce.first) + " non è raggiungibile dalla partenza");
  }
}

// The map: every place of the world in name order, and its exits.
void disegna_mappa(const ambiente& mondo, const std::unordered_set<const luogo*>& visti,
                   const ascoltatore& a, grafo_mappa& g) {
  std::unordered_map<const luogo*, long> indice;
  for (const auto& voce : mondo.luoghi_()) {
    const luogo& l = *voce.second;
    indice.emplace(&l, static_cast<long>(g.nodi.size()));
    nodo_mappa n;
    n.simbolo = a.simbolo_luogo(voce.first);
    n.nome = in_utf8(voce.first);
    n.titolo = l.sopranome_().empty() ? n.nome : in_utf8(l.sopranome_());
    n.buio = !l.illuminazione_();
    n.partenza = &l == mondo.corrente();
    n.fine = &l == mondo.finale();
    n.raggiungibile = visti.count(&l) != 0;
    g.nodi.push_back(std::move(n));
  }
  for (const auto& voce : mondo.luoghi_()) {
    const luogo& l = *voce.second;
    for (int d = 0; d < NUM_DIREZIONI; ++d) {
      const luogo* meta = l.collegamento(direzione(d));
      if (meta == nullptr) continue;
      uscita_mappa u;
      u.da = indice[&l];
      u.a = indice[meta];
      u.direzione = d;
      u.ostruzione = in_utf8(l.ostruzione(direzione(d)));
      u.senso_unico = meta->collegamento(direzione(d ^ 1)) != &l;  // nord<->sud ...
      if (const intervallo* dove = a.collegamento(voce.first, d)) u.dove = *dove;
      g.uscite.push_back(std::move(u));
    }
  }
}

}  // namespace

risultato analizza(std::string_view dati) {
  risultato r;
  // A UTF-8 file is read converted; each character code page 850 lacks is
  // an error where it stands, and a question mark in its place for the rest.
  std::string scritto, convertito;
  std::vector<diagnostica> mancanti;
  std::string_view testo = dati;
  if (utf8_non_ascii(dati)) {
    scritto.assign(dati);
    for (;;) {
      conversione_cp850 esito = converti_in_cp850(scritto);
      if (esito.riuscita) {
        convertito = std::move(esito.testo);
        break;
      }
      diagnostica d;
      d.livello = gravita::errore;
      d.dove = {esito.riga, esito.colonna - 1, esito.colonna};
      d.codice = "carattere-mancante";
      d.messaggio = motivo_conversione(esito);
      mancanti.push_back(std::move(d));
      // So many are no longer a world's text: they alone are the answer.
      if (mancanti.size() == 100) {
        r.diagnostiche = std::move(mancanti);
        return r;
      }
      const std::size_t p = posizione(scritto, esito.riga, esito.colonna);
      scritto.replace(p, esito.carattere.size(), "?");
    }
    r.convertito = true;
    testo = convertito;
  }
  righe_testo righe(testo, scritto);
  ascoltatore a(righe, testo.size(), r);
  partita p;
  bool fermato = false;
  {
    ambiente::zaino.svuota();
    console_autore risposte;
    silenzio zitto;
    flusso_memoria memoria(testo);
    std::istream flusso(&memoria);
    try {
      p.mondo.carica_da(flusso, &a);
    } catch (const arresto_fatale&) {
      a.fermato();
      fermato = true;
    }
  }
  a.concludi();
  const std::unordered_set<const luogo*> visti = raggiunti(p.mondo);
  if (!fermato) esamina_mondo(p.mondo, visti, a, r);
  disegna_mappa(p.mondo, visti, a, r.mappa);
  // For the map's pictures: each place's record line and the world's title.
  for (nodo_mappa& n : r.mappa.nodi) {
    if (n.simbolo >= 0) n.riga = r.simboli[static_cast<std::size_t>(n.simbolo)].prima;
  }
  r.mappa.titolo = in_utf8(p.mondo.prntitolo());
  if (!r.mappa.titolo.empty() && r.mappa.titolo.back() == '\n') r.mappa.titolo.pop_back();
  ambiente::zaino.svuota();

  // Columns in the author's characters.
  const auto in_caratteri = [&righe](intervallo& i) {
    if (i.riga == 0) return;
    const auto colonna = [&](unsigned long c) {
      return c == FINO_A_FINE_RIGA ? righe.lunghezza(i.riga) : righe.colonna(i.riga, c);
    };
    i.colonna = colonna(i.colonna);
    i.fine = colonna(i.fine);
  };
  for (diagnostica& d : r.diagnostiche) {
    in_caratteri(d.dove);
    for (correzione& c : d.correzioni) in_caratteri(c.dove);
  }
  for (simbolo& s : r.simboli) in_caratteri(s.nome_dove);
  for (riferimento& rif : r.riferimenti) in_caratteri(rif.dove);
  for (uscita_mappa& u : r.mappa.uscite) in_caratteri(u.dove);
  r.diagnostiche.insert(r.diagnostiche.end(), mancanti.begin(), mancanti.end());
  std::stable_sort(
      r.diagnostiche.begin(), r.diagnostiche.end(),
      [](const diagnostica& x, const diagnostica& y) { return x.dove.riga < y.dove.riga; });
  return r;
}

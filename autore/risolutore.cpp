#include "autore/risolutore.h"

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <unordered_set>

namespace {

// Names with a blank cannot be typed as one word of a command.
bool nominabile(const std::string& nome) {
  return !nome.empty() && nome.find(' ') == std::string::npos;
}

std::string salva_testo(const ambiente& mondo) {
  std::ostringstream testo;
  mondo.salva_su(testo);
  return testo.str();
}

// Loads a state into a fresh world. Object and place numbers are not part
// of a state; restarting them keeps the counters from growing without end.
std::unique_ptr<partita> carica_stato(const std::string& testo) {
  oggetto::CodOgg = 1;
  luogo::luogocod = 0;
  auto p = std::make_unique<partita>();
  ambiente::zaino.svuota();
  std::istringstream ingresso(testo);
  p->mondo.carica_da(ingresso);
  return p;
}

// A state is known by two independent 64-bit hashes of its text.
struct impronta {
  size_t a, b;
  bool operator==(const impronta& o) const { return a == o.a && b == o.b; }
};
struct hash_impronta {
  size_t operator()(const impronta& i) const { return i.a; }
};

impronta impronta_di(const std::string& testo) {
  uint64_t fnv = 1469598103934665603ull;
  for (unsigned char c : testo) fnv = (fnv ^ c) * 1099511628211ull;
  return {std::hash<std::string>()(testo), static_cast<size_t>(fnv)};
}

struct nodo {
  size_t padre;
  passo arrivo;
};

std::vector<passo> percorso(const std::vector<nodo>& nodi, size_t n, passo ultimo) {
  std::vector<passo> passi{std::move(ultimo)};
  for (; n != 0; n = nodi[n].padre) passi.push_back(nodi[n].arrivo);
  return {passi.rbegin(), passi.rend()};
}

}  // namespace

std::string stato_iniziale(partita& p) {
  silenzio zitto;
  p.mondo.start();
  for (const auto& voce : p.mondo.luoghi_()) {
    voce.second->guarda("");  // shows, and so drops, the place's hint
    voce.second->cambiastato();
  }
  // Hints of objects: dropped through the objects' own holders.
  std::function<void(const mappa_oggetti&)> togli = [&togli](const mappa_oggetti& mappa) {
    for (const auto& voce : mappa) {
      voce.second->deletesugg();
      if (const auto* c = dynamic_cast<const oggcont*>(voce.second.get())) togli(c->contenuto());
      if (const auto* n = dynamic_cast<const oggnasc*>(voce.second.get())) togli(n->nascosti());
    }
  };
  togli(ambiente::zaino.contenuto());
  for (const auto& voce : p.mondo.luoghi_()) togli(voce.second->oggetti_());
  return salva_testo(p.mondo);
}

std::vector<std::string> comandi_possibili(const ambiente& mondo) {
  const luogo& qui = *mondo.corrente();
  std::vector<std::string> comandi;
  for (int d = 0; d < NUM_DIREZIONI; ++d) {
    if (qui.collegamento(direzione(d)) != nullptr && qui.ostruzione(direzione(d)).empty()) {
      comandi.push_back(std::string("vai ") + parole_direzione[d]);
    }
  }
  std::vector<std::string> portati;
  for (const auto& voce : ambiente::zaino.contenuto()) {
    if (nominabile(std::string(voce.first))) portati.emplace_back(voce.first);
  }
  std::set<std::string> prendibili;
  for (const auto& voce : qui.oggetti_()) {
    prendibili.emplace(voce.first);
    if (const auto* c = dynamic_cast<const oggcont*>(voce.second.get())) {
      for (const auto& dentro : c->contenuto()) prendibili.emplace(dentro.first);
    }
  }
  for (const std::string& nome : prendibili) {
    if (nominabile(nome)) comandi.push_back("prendi " + nome);
  }
  for (const std::string& nome : portati) comandi.push_back("lascia " + nome);
  for (const auto& voce : qui.oggetti_()) {
    const std::string x(voce.first);
    if (!nominabile(x)) continue;
    for (const char* verbo : {"apri ", "accendi ", "sposta "}) {
      comandi.push_back(verbo + x);
      for (const std::string& y : portati) comandi.push_back(verbo + x + " con " + y);
    }
    const std::string reagente(voce.second->reagente_());
    if (nominabile(reagente) && !ambiente::zaino.search(reagente)) {
      comandi.push_back("sposta " + x + " con " + reagente);
    }
    for (const std::string& y : portati) comandi.push_back("usa " + y + " con " + x);
  }
  return comandi;
}

namespace {

esito_ricerca esplora(const std::string& iniziale, unsigned long max_stati, std::ostream* progresso,
                      bool& mostrato) {
  esito_ricerca esito;
  console_autore risponditore;
  silenzio zitto;
  std::vector<nodo> nodi{{0, {"", 0}}};
  std::unordered_set<impronta, hash_impronta> visti{impronta_di(iniziale)};
  std::deque<std::pair<size_t, std::string>> coda{{0, iniziale}};
  auto ultimo_avviso = std::chrono::steady_clock::now();
  while (!coda.empty()) {
    if (esito.esplorati == max_stati) return esito;
    const size_t n = coda.front().first;
    const std::string testo = std::move(coda.front().second);
    coda.pop_front();
    ++esito.esplorati;
    std::unique_ptr<partita> p = carica_stato(testo);
    std::vector<std::string> comandi = comandi_possibili(p->mondo);
    // The end check follows every command line. Any state reached by a
    // command has had it; the start has not, so there any line can win.
    if (n == 0) comandi.insert(comandi.begin(), "guarda");
    for (const std::string& comando : comandi) {
      // A command that changed nothing leaves a world as good as a fresh
      // load; after any other the state is loaded again.
      risponditore.domande = 0;
      p->mondo.analizza(comando);
      const passo fatto{comando, risponditore.domande};
      if (p->mondo.messaggio_finale().empty()) {
        esito.trovata = true;
        esito.passi = percorso(nodi, n, fatto);
        return esito;
      }
      std::string dopo = salva_testo(p->mondo);
      if (dopo == testo) continue;
      if (visti.insert(impronta_di(dopo)).second) {
        nodi.push_back({n, fatto});
        coda.emplace_back(nodi.size() - 1, std::move(dopo));
      }
      p = carica_stato(testo);
    }
    if (progresso != nullptr && (esito.esplorati & 255) == 0 &&
        std::chrono::steady_clock::now() - ultimo_avviso > std::chrono::seconds(1)) {
      ultimo_avviso = std::chrono::steady_clock::now();
      mostrato = true;
      *progresso << "\rrisolvi: " << esito.esplorati << " stati esplorati, " << coda.size()
                 << " in attesa" << std::flush;
    }
  }
  esito.completa = true;
  return esito;
}

}  // namespace

esito_ricerca cerca_soluzione(const std::string& iniziale, unsigned long max_stati,
                              std::ostream* progresso) {
  bool mostrato = false;
  esito_ricerca esito = esplora(iniziale, max_stati, progresso, mostrato);
  if (mostrato) *progresso << '\n';
  return esito;
}

void scrivi_copione(const std::vector<passo>& passi, std::ostream& uscita) {
  uscita << "no\n";
  for (const passo& p : passi) {
    uscita << p.comando << '\n';
    for (unsigned i = 0; i < p.domande; ++i) uscita << "si\n";
  }
  uscita << "esci\nno\n";
}

#include "autore/risolutore.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

// Names with a blank cannot be typed as one word of a command.
bool nominabile(std::string_view nome) {
  return !nome.empty() && nome.find(' ') == std::string_view::npos;
}

// A state is a list of (slot, value) pairs, sorted by slot, holding only the
// slots whose value differs from the start. Slot 0 is the player's place;
// then, for each object, its place and its flags; then one slot per exit of
// each place, 1 when its obstruction has been cleared.
using coppia = std::pair<uint32_t, uint32_t>;
using differenze = std::vector<coppia>;

// Where an object lies: the kind of holder in the low two bits, its number
// (a place's or an object's) above them.
enum : uint32_t { IN_LUOGO = 0, IN_CONTENITORE = 1, NASCOSTO = 2, ALTROVE = 3 };
constexpr uint32_t NELLO_ZAINO = (0u << 2) | ALTROVE;
constexpr uint32_t DISTRUTTO = (1u << 2) | ALTROVE;
constexpr uint32_t dove(uint32_t numero, uint32_t tipo) { return (numero << 2) | tipo; }

// Flags that play changes.
constexpr uint32_t ACCESO = 1, APERTO = 2;

enum genere : uint8_t { SEMPLICE, OSTRUZIONE, CONTENITORE, NASCONDIGLIO };

// What is needed to rebuild a hidden object that a reveal destroyed (a
// reveal into a place holding its name destroys it). Hidden lists hold
// plain objects only.
struct copia_nascosto {
  std::string nome, descrizione, reagente;
  bool illuminabile, trasportabile, spostabile, apribile;
};

// One live world and the solver's picture of it. Objects are known by
// their number in the catalogue made at the start; the engine's own object
// numbers (`oggetto::id`) lead to it.
class mondo_vivo {
public:
  explicit mondo_vivo(ambiente& a);

  uint32_t slot_luogo(uint32_t i) const { return 1 + i; }
  uint32_t slot_flag(uint32_t i) const { return 1 + n_oggetti() + i; }
  uint32_t slot_uscita(uint32_t l, int d) const {
    return 1 + 2 * n_oggetti() + l * NUM_DIREZIONI + static_cast<uint32_t>(d);
  }
  uint32_t n_oggetti() const { return static_cast<uint32_t>(oggetti.size()); }

  // The value of `slot` in the state `s`.
  uint32_t valore(const differenze& s, uint32_t slot) const {
    auto it = std::lower_bound(s.begin(), s.end(), coppia{slot, 0});
    return it != s.end() && it->first == slot ? it->second : iniziale[slot];
  }
  // Sets the live world's slots to the given values.
  void imposta(const differenze& valori);
  // Sets the live world from state `da` (which it is in) to state `a`.
  void passa(const differenze& da, const differenze& a);

  // Notes what the try about to run can touch: the objects of the player's
  // place (and in its containers and hiding places) and of the backpack.
  void fotografa();
  // After a try: the slots it changed, with their new values, and the
  // picture brought up to date. Destroyed objects get a rebuilt copy.
  void confronta(differenze& cambiati);
  const std::vector<uint32_t>& iniziali() const { return iniziale; }

  ambiente& mondo;
  std::vector<luogo*> luoghi;

private:
  struct visto {
    uint32_t oggetto, dove, flag;
  };
  void elenca(std::vector<visto>& elenco) const;
  // The part of `confronta` for objects, when the picture changed.
  void confronta_oggetti(differenze& cambiati);
  void cataloga(oggetto& o, uint32_t dove);
  uint32_t flag_di(uint32_t i) const;
  mappa_oggetti& contenitore_di(uint32_t dove);
  // The catalogue number of an object of the live world; an object the
  // catalogue does not know would be a fault of the solver.
  uint32_t numero(const oggetto& o) const {
    const uint32_t i = da_id.at(static_cast<size_t>(o.id()));
    if (i == UINT32_MAX) throw std::logic_error("risolvi: oggetto sconosciuto");
    return i;
  }
  void registra(uint32_t i, oggetto* o);

  std::unordered_map<const luogo*, uint32_t> numero_luogo;
  std::vector<oggetto*> oggetti;
  std::vector<genere> generi;
  std::vector<uint32_t> posto;                  // where each object lies now
  std::vector<uint32_t> da_id;                  // engine object number -> catalogue number
  std::vector<std::unique_ptr<oggetto>> limbo;  // destroyed objects, kept here
  std::unordered_map<uint32_t, copia_nascosto> copie;
  std::vector<std::string> ostruzioni;  // the start text of each exit
  std::vector<uint8_t> sgombre;         // per exit: its obstruction is cleared now
  std::vector<uint32_t> iniziale;       // each slot's value at the start
  uint32_t giocatore = 0;
  // The picture taken before a try.
  uint32_t qui = 0;
  std::vector<visto> prima, dopo;
  std::vector<uint32_t> segno;  // per object: the picture it was seen in
  uint32_t foto = 0;
  // An object on its way between holders: still in the node of the map it
  // left (moved on without a new allocation), or loose (from the limbo).
  struct viaggio {
    uint32_t oggetto;
    mappa_oggetti::node_type nodo;
    std::unique_ptr<::oggetto> sciolto;
  };
  // Scratch space kept between calls.
  std::vector<viaggio> in_viaggio;
  differenze valori_passa;
};

void mondo_vivo::registra(uint32_t i, oggetto* o) {
  const size_t id = static_cast<size_t>(o->id());
  if (da_id.size() <= id) da_id.resize(id + 1, UINT32_MAX);
  da_id[id] = i;
  oggetti[i] = o;
}

void mondo_vivo::cataloga(oggetto& o, uint32_t dove_sta) {
  const uint32_t i = n_oggetti();
  oggetti.push_back(nullptr);
  registra(i, &o);
  posto.push_back(dove_sta);
  genere g = SEMPLICE;
  if (auto* c = dynamic_cast<oggcont*>(&o)) {
    g = CONTENITORE;
    for (auto& voce : c->contenuto_mod()) cataloga(*voce.second, dove(i, IN_CONTENITORE));
  } else if (auto* n = dynamic_cast<oggnasc*>(&o)) {
    g = NASCONDIGLIO;
    for (auto& voce : n->nascosti_mod()) {
      oggetto& h = *voce.second;
      copie[n_oggetti()] = {h.nome(),          h.descrizione(), std::string(h.reagente_()),
                            h.illuminabile_(), h.prendi(),      h.spostabile_(),
                            h.apribile_()};
      cataloga(h, dove(i, NASCOSTO));
    }
  } else if (dynamic_cast<oggostr*>(&o) != nullptr) {
    g = OSTRUZIONE;
  }
  if (generi.size() <= i) generi.resize(i + 1);
  generi[i] = g;
}

mondo_vivo::mondo_vivo(ambiente& a) : mondo(a) {
  for (const auto& voce : a.luoghi_()) luoghi.push_back(voce.second.get());
  // A world without a start leaves the player in the placeholder place.
  if (std::find(luoghi.begin(), luoghi.end(), a.corrente()) == luoghi.end()) {
    luoghi.push_back(a.corrente());
  }
  for (uint32_t l = 0; l < luoghi.size(); ++l) numero_luogo[luoghi[l]] = l;
  for (uint32_t l = 0; l < luoghi.size(); ++l) {
    for (auto& voce : luoghi[l]->oggetti_mod()) cataloga(*voce.second, dove(l, IN_LUOGO));
  }
  for (auto& voce : ambiente::zaino.contenuto_mod()) cataloga(*voce.second, NELLO_ZAINO);
  limbo.resize(oggetti.size());
  segno.resize(oggetti.size());
  iniziale.assign(slot_uscita(static_cast<uint32_t>(luoghi.size()), 0), 0);
  giocatore = numero_luogo.at(a.corrente());
  iniziale[0] = giocatore;
  for (uint32_t i = 0; i < n_oggetti(); ++i) {
    iniziale[slot_luogo(i)] = posto[i];
    iniziale[slot_flag(i)] = flag_di(i);
  }
  for (const luogo* l : luoghi) {
    for (int d = 0; d < NUM_DIREZIONI; ++d) ostruzioni.emplace_back(l->ostruzione(direzione(d)));
  }
  sgombre.assign(ostruzioni.size(), 0);
}

uint32_t mondo_vivo::flag_di(uint32_t i) const {
  const oggetto* o = oggetti[i];
  uint32_t f = o->lux() ? ACCESO : 0;
  if (generi[i] == CONTENITORE && static_cast<const oggcont*>(o)->aperto()) f |= APERTO;
  if (generi[i] == OSTRUZIONE && static_cast<const oggostr*>(o)->aperto()) f |= APERTO;
  return f;
}

mappa_oggetti& mondo_vivo::contenitore_di(uint32_t d) {
  const uint32_t n = d >> 2;
  switch (d & 3) {
    case IN_LUOGO:
      return luoghi[n]->oggetti_mod();
    case IN_CONTENITORE:
      return static_cast<oggcont*>(oggetti[n])->contenuto_mod();
    case NASCOSTO:
      return static_cast<oggnasc*>(oggetti[n])->nascosti_mod();
    default:
      return ambiente::zaino.contenuto_mod();
  }
}

// Objects are taken out of their holders first and put into the new ones
// afterwards: every state holds each name once per holder, so no object is
// refused on the way.
void mondo_vivo::imposta(const differenze& valori) {
  in_viaggio.clear();
  const uint32_t primo_flag = slot_flag(0), prima_uscita = slot_uscita(0, 0);
  for (const coppia& c : valori) {
    const uint32_t slot = c.first, v = c.second;
    if (slot == 0) {
      mondo.imposta_corrente(*luoghi[v]);
      giocatore = v;
    } else if (slot < primo_flag) {
      const uint32_t i = slot - 1;
      if (posto[i] == v) continue;
      viaggio in_moto{i, {}, {}};
      if (posto[i] == DISTRUTTO) {
        in_moto.sciolto = std::move(limbo[i]);
      } else {
        mappa_oggetti& m = contenitore_di(posto[i]);
        auto it = m.find(oggetti[i]->nome_ref());
        if (it == m.end() || it->second.get() != oggetti[i]) {
          throw std::logic_error("risolvi: oggetto fuori posto");
        }
        in_moto.nodo = m.extract(it);
      }
      posto[i] = v;
      in_viaggio.push_back(std::move(in_moto));
    } else if (slot < prima_uscita) {
      const uint32_t i = slot - primo_flag;
      oggetti[i]->imposta_acceso((v & ACCESO) != 0);
      if (generi[i] == CONTENITORE) static_cast<oggcont*>(oggetti[i])->imposta_aperto(v & APERTO);
      if (generi[i] == OSTRUZIONE) static_cast<oggostr*>(oggetti[i])->imposta_aperto(v & APERTO);
    } else {
      const uint32_t u = slot - prima_uscita;
      luoghi[u / NUM_DIREZIONI]->imposta_ostruzione(direzione(u % NUM_DIREZIONI),
                                                    v != 0 ? std::string() : ostruzioni[u]);
      sgombre[u] = v != 0;
    }
  }
  for (viaggio& v : in_viaggio) {
    const uint32_t i = v.oggetto;
    if (posto[i] == DISTRUTTO) {
      limbo[i] = v.nodo ? std::move(v.nodo.mapped()) : std::move(v.sciolto);
    } else {
      // A node moves whole only between maps of the same storage: the
      // backpack's map lives outside the world's arena.
      mappa_oggetti& m = contenitore_di(posto[i]);
      if (v.nodo && v.nodo.get_allocator() == m.get_allocator()) {
        m.insert(std::move(v.nodo));
      } else {
        std::unique_ptr<oggetto> o = v.nodo ? std::move(v.nodo.mapped()) : std::move(v.sciolto);
        v.nodo = {};
        const std::string_view nome = o->nome_ref();
        m.try_emplace(nome, std::move(o));
      }
    }
  }
}

void mondo_vivo::passa(const differenze& da, const differenze& a) {
  differenze& valori = valori_passa;
  valori.clear();
  auto i = da.begin();
  auto j = a.begin();
  while (i != da.end() || j != a.end()) {
    if (j == a.end() || (i != da.end() && i->first < j->first)) {
      valori.emplace_back(i->first, iniziale[i->first]);
      ++i;
    } else {
      if (i != da.end() && i->first == j->first) ++i;
      valori.push_back(*j++);
    }
  }
  imposta(valori);
}

// Holders go one level deep: lists hold plain objects only. Containers and
// hiding places in the backpack are walked too, so an object carried away
// inside one is not taken for destroyed.
void mondo_vivo::elenca(std::vector<visto>& elenco) const {
  elenco.clear();
  const auto aggiungi = [this, &elenco](const mappa_oggetti& mappa, uint32_t dove_sta) {
    for (const auto& voce : mappa) {
      const uint32_t i = numero(*voce.second);
      elenco.push_back({i, dove_sta, flag_di(i)});
      if (generi[i] == CONTENITORE) {
        for (const auto& d : static_cast<const oggcont*>(oggetti[i])->contenuto()) {
          const uint32_t k = numero(*d.second);
          elenco.push_back({k, dove(i, IN_CONTENITORE), flag_di(k)});
        }
      } else if (generi[i] == NASCONDIGLIO) {
        for (const auto& d : static_cast<const oggnasc*>(oggetti[i])->nascosti()) {
          const uint32_t k = numero(*d.second);
          elenco.push_back({k, dove(i, NASCOSTO), flag_di(k)});
        }
      }
    }
  };
  aggiungi(luoghi[qui]->oggetti_(), dove(qui, IN_LUOGO));
  aggiungi(ambiente::zaino.contenuto(), NELLO_ZAINO);
}

void mondo_vivo::fotografa() {
  qui = giocatore;
  elenca(prima);
  ++foto;
  for (const visto& v : prima) segno[v.oggetto] = foto;
}

void mondo_vivo::confronta(differenze& cambiati) {
  cambiati.clear();
  const uint32_t ora =
      mondo.corrente() == luoghi[giocatore] ? giocatore : numero_luogo.at(mondo.corrente());
  if (ora != giocatore) {
    cambiati.emplace_back(0, ora);
    giocatore = ora;
  }
  elenca(dopo);
  // Most tries change no object: the same ones, where they were, with the
  // same flags, in the same order.
  const auto stesso = [](const visto& a, const visto& b) {
    return a.oggetto == b.oggetto && a.dove == b.dove && a.flag == b.flag;
  };
  if (dopo.size() != prima.size() || !std::equal(dopo.begin(), dopo.end(), prima.begin(), stesso)) {
    confronta_oggetti(cambiati);
  }
  for (int d = 0; d < NUM_DIREZIONI; ++d) {
    const uint32_t u = slot_uscita(qui, d) - slot_uscita(0, 0);
    const bool libera = luoghi[qui]->ostruzione(direzione(d)).empty() && !ostruzioni[u].empty();
    if (libera != (sgombre[u] != 0)) {
      cambiati.emplace_back(slot_uscita(qui, d), libera ? 1 : 0);
      sgombre[u] = libera;
    }
  }
  std::sort(cambiati.begin(), cambiati.end());
}

void mondo_vivo::confronta_oggetti(differenze& cambiati) {
  ++foto;
  for (const visto& v : dopo) {
    segno[v.oggetto] = foto;
    if (v.dove != posto[v.oggetto]) {
      cambiati.emplace_back(slot_luogo(v.oggetto), v.dove);
      posto[v.oggetto] = v.dove;
    }
  }
  // Flags are compared with the picture; objects that vanished were
  // destroyed, and a rebuilt copy takes their place in the limbo.
  for (const visto& v : prima) {
    const uint32_t i = v.oggetto;
    if (segno[i] != foto) {
      const copia_nascosto& c = copie.at(i);
      limbo[i] = std::make_unique<oggetto>(c.nome, c.descrizione, c.illuminabile, c.trasportabile,
                                           c.spostabile, c.apribile, (v.flag & ACCESO) != 0, "",
                                           c.reagente);
      registra(i, limbo[i].get());
      posto[i] = DISTRUTTO;
      cambiati.emplace_back(slot_luogo(i), DISTRUTTO);
    } else {
      const uint32_t f = flag_di(i);
      if (f != v.flag) cambiati.emplace_back(slot_flag(i), f);
    }
  }
}

// The stored states: each one's pairs as variable-length numbers (the slot
// as the distance from the previous slot), one after the other in one
// buffer, found again through an open-addressing table of state numbers.
class archivio {
public:
  archivio() : tabella(1024, 0) { inizio.push_back(0); }

  // The number of the state `s`, and whether it is new. A new state
  // remembers its parent and the ordinal of the command that led to it.
  std::pair<uint32_t, bool> inserisci(const differenze& s, uint32_t padre, uint32_t mossa) {
    codice.clear();
    uint32_t precedente = 0;
    for (const coppia& c : s) {
      scrivi(c.first - precedente);
      scrivi(c.second);
      precedente = c.first;
    }
    const uint64_t h = hash(codice.data(), codice.size());
    size_t k = h & (tabella.size() - 1);
    while (tabella[k] != 0) {
      const uint32_t n = tabella[k] - 1;
      if (inizio[n + 1] - inizio[n] == codice.size() &&
          std::memcmp(&dati[inizio[n]], codice.data(), codice.size()) == 0) {
        return {n, false};
      }
      k = (k + 1) & (tabella.size() - 1);
    }
    const uint32_t n = static_cast<uint32_t>(padri.size());
    tabella[k] = n + 1;
    dati.insert(dati.end(), codice.begin(), codice.end());
    inizio.push_back(static_cast<uint32_t>(dati.size()));
    padri.push_back(padre);
    mosse.push_back(mossa);
    if (padri.size() * 2 > tabella.size()) ingrandisci();
    return {n, true};
  }

  void leggi(uint32_t n, differenze& s) const {
    s.clear();
    size_t p = inizio[n];
    uint32_t slot = 0;
    while (p < inizio[n + 1]) {
      slot += leggi_numero(p);
      const uint32_t v = leggi_numero(p);
      s.emplace_back(slot, v);
    }
  }

  size_t quanti() const { return padri.size(); }
  // The buffer's offsets are 32-bit: the search stops before they overflow.
  bool pieno() const { return dati.size() > UINT32_MAX / 2; }
  uint32_t padre(uint32_t n) const { return padri[n]; }
  uint32_t mossa(uint32_t n) const { return mosse[n]; }
  size_t memoria() const {
    return dati.capacity() +
           4 * (inizio.capacity() + padri.capacity() + mosse.capacity() + tabella.capacity());
  }

private:
  void scrivi(uint32_t v) {
    while (v >= 0x80) {
      codice.push_back(static_cast<uint8_t>(v | 0x80));
      v >>= 7;
    }
    codice.push_back(static_cast<uint8_t>(v));
  }
  uint32_t leggi_numero(size_t& p) const {
    uint32_t v = 0;
    for (int spostamento = 0;; spostamento += 7) {
      const uint8_t b = dati[p++];
      v |= static_cast<uint32_t>(b & 0x7F) << spostamento;
      if (b < 0x80) return v;
    }
  }
  static uint64_t hash(const uint8_t* p, size_t n) {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
    for (size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 0x100000001B3ull;
    return h ^ (h >> 29);
  }
  void ingrandisci() {
    std::vector<uint32_t> nuova(tabella.size() * 2, 0);
    for (uint32_t n = 0; n < padri.size(); ++n) {
      size_t k = hash(&dati[inizio[n]], inizio[n + 1] - inizio[n]) & (nuova.size() - 1);
      while (nuova[k] != 0) k = (k + 1) & (nuova.size() - 1);
      nuova[k] = n + 1;
    }
    tabella.swap(nuova);
  }

  std::vector<uint8_t> dati;
  std::vector<uint32_t> inizio;
  std::vector<uint32_t> padri;
  std::vector<uint32_t> mosse;
  std::vector<uint32_t> tabella;
  std::vector<uint8_t> codice;
};

// The state `s` with the changes `cambiati` (sorted by slot) applied; values
// back at their start value leave the list.
void applica(const differenze& s, const differenze& cambiati, const std::vector<uint32_t>& iniz,
             differenze& nuovo) {
  nuovo.clear();
  auto i = s.begin();
  auto j = cambiati.begin();
  while (i != s.end() || j != cambiati.end()) {
    coppia c;
    if (j == cambiati.end() || (i != s.end() && i->first < j->first)) {
      c = *i++;
    } else {
      if (i != s.end() && i->first == j->first) ++i;
      c = *j++;
    }
    if (iniz[c.first] != c.second) nuovo.push_back(c);
  }
}

}  // namespace

void prepara_ricerca(partita& p) {
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
}

namespace {

// The command "verbo x con y" (" con y" left out when `y` is empty), built
// with one allocation: the solver builds thousands of them per second.
std::string comando(const char* verbo, std::string_view x, std::string_view y = {}) {
  const size_t lunghezza_verbo = std::strlen(verbo);
  std::string c;
  c.reserve(lunghezza_verbo + x.size() + (y.empty() ? 0 : 5 + y.size()));
  c.append(verbo, lunghezza_verbo).append(x);
  if (!y.empty()) c.append(" con ").append(y);
  return c;
}

}  // namespace

std::vector<std::string> comandi_possibili(const ambiente& mondo) {
  const luogo& qui = *mondo.corrente();
  std::vector<std::string> comandi;
  for (int d = 0; d < NUM_DIREZIONI; ++d) {
    if (qui.collegamento(direzione(d)) != nullptr && qui.ostruzione(direzione(d)).empty()) {
      comandi.push_back(std::string("vai ") + parole_direzione[d]);
    }
  }
  // Names are views of the names inside the objects, which outlive this call.
  std::vector<std::string_view> portati;
  for (const auto& voce : ambiente::zaino.contenuto()) {
    if (nominabile(voce.first)) portati.push_back(voce.first);
  }
  // Every name in reach once, in byte order.
  std::vector<std::string_view> prendibili;
  for (const auto& voce : qui.oggetti_()) {
    prendibili.push_back(voce.first);
    if (voce.second->contenitore()) {
      for (const auto& dentro : static_cast<const oggcont&>(*voce.second).contenuto()) {
        prendibili.push_back(dentro.first);
      }
    }
  }
  std::sort(prendibili.begin(), prendibili.end());
  prendibili.erase(std::unique(prendibili.begin(), prendibili.end()), prendibili.end());
  comandi.reserve(NUM_DIREZIONI + prendibili.size() +
                  qui.oggetti_().size() * (4 + 4 * portati.size()) + portati.size());
  for (std::string_view nome : prendibili) {
    if (nominabile(nome)) comandi.push_back(comando("prendi ", nome));
  }
  for (std::string_view nome : portati) comandi.push_back(comando("lascia ", nome));
  for (const auto& voce : qui.oggetti_()) {
    const std::string_view x = voce.first;
    if (!nominabile(x)) continue;
    for (const char* verbo : {"apri ", "accendi ", "sposta "}) {
      comandi.push_back(comando(verbo, x));
      for (std::string_view y : portati) comandi.push_back(comando(verbo, x, y));
    }
    const std::string_view reagente = voce.second->reagente_();
    if (nominabile(reagente) && !ambiente::zaino.search(std::string(reagente))) {
      comandi.push_back(comando("sposta ", x, reagente));
    }
    for (std::string_view y : portati) comandi.push_back(comando("usa ", y, x));
  }
  return comandi;
}

namespace {

// The commands tried in a state. The end check follows every command line:
// any state reached by a command has had it, the start has not, so there
// any line can win and "guarda" comes first.
std::vector<std::string> comandi_da_provare(const ambiente& mondo, bool partenza) {
  std::vector<std::string> comandi = comandi_possibili(mondo);
  if (partenza) comandi.insert(comandi.begin(), "guarda");
  return comandi;
}

// What the explored states show about the end: whether the player stood
// there, and which required objects lay there.
struct sguardo_fine {
  explicit sguardo_fine(const ambiente& m) : visti(m.richiesti().size(), false) {}
  void guarda(const ambiente& m) {
    const luogo* fine = m.finale();
    if (fine == nullptr) return;
    if (m.corrente() == fine) raggiunta = true;
    for (size_t j = 0; j < visti.size(); ++j) {
      if (!visti[j] && fine->oggetti_().count(m.richiesti()[j]) != 0) visti[j] = true;
    }
  }
  bool raggiunta = false;
  std::vector<bool> visti;
};

// Replays the commands leading to state `n` and then the command `ultima`
// from the start state, into which the world has been set; the questions
// of each command are counted as the game asks them.
std::vector<passo> ripercorri(ambiente& mondo, const archivio& stati, uint32_t n, uint32_t ultima,
                              console_autore& risponditore) {
  std::vector<uint32_t> mosse{ultima};
  for (; n != 0; n = stati.padre(n)) mosse.push_back(stati.mossa(n));
  std::vector<passo> passi;
  for (auto it = mosse.rbegin(); it != mosse.rend(); ++it) {
    const std::vector<std::string> comandi = comandi_da_provare(mondo, passi.empty());
    risponditore.domande = 0;
    mondo.analizza(comandi.at(*it));
    passi.push_back({comandi[*it], risponditore.domande});
  }
  return passi;
}

}  // namespace

esito_ricerca cerca_soluzione(partita& p, unsigned long max_stati, std::ostream* progresso,
                              const visita_stato& visita) {
  esito_ricerca esito;
  console_autore risponditore;
  silenzio zitto;
  mondo_vivo vivo(p.mondo);
  archivio stati;
  sguardo_fine fine(p.mondo);
  differenze corrente, s, cambiati, nuovo;
  const std::string messaggio = p.mondo.messaggio_finale();
  stati.inserisci(corrente, 0, 0);
  bool mostrato = false;
  auto ultimo_avviso = std::chrono::steady_clock::now();
  for (uint32_t n = 0; n < stati.quanti(); ++n) {
    if (esito.esplorati == max_stati || stati.pieno()) break;
    ++esito.esplorati;
    stati.leggi(n, s);
    vivo.passa(corrente, s);
    corrente.swap(s);
    fine.guarda(p.mondo);
    if (visita) visita(n, p.mondo);
    vivo.fotografa();
    // Each command is handed over to the interpreter: a state keeps only
    // the ordinal of the command that led to it.
    std::vector<std::string> comandi = comandi_da_provare(p.mondo, n == 0);
    for (uint32_t k = 0; k < comandi.size(); ++k) {
      p.mondo.analizza(std::move(comandi[k]));
      if (p.mondo.messaggio_finale().empty()) {
        esito.trovata = true;
        // Back to the start, with the message, to replay the whole path.
        vivo.confronta(cambiati);
        applica(corrente, cambiati, vivo.iniziali(), nuovo);
        vivo.passa(nuovo, {});
        p.mondo.imposta_messaggio_finale(messaggio);
        esito.passi = ripercorri(p.mondo, stati, n, k, risponditore);
        esito.memoria = stati.memoria();
        esito.conservati = stati.quanti();
        if (mostrato) *progresso << '\n';
        return esito;
      }
      vivo.confronta(cambiati);
      if (cambiati.empty()) continue;
      applica(corrente, cambiati, vivo.iniziali(), nuovo);
      const auto trovato = stati.inserisci(nuovo, n, k);
      if (visita) visita(trovato.first, p.mondo);
      // Back to the state being expanded: only the changed slots.
      for (coppia& c : cambiati) c.second = vivo.valore(corrente, c.first);
      vivo.imposta(cambiati);
    }
    if (progresso != nullptr && (esito.esplorati & 255) == 0 &&
        std::chrono::steady_clock::now() - ultimo_avviso > std::chrono::seconds(1)) {
      ultimo_avviso = std::chrono::steady_clock::now();
      mostrato = true;
      *progresso << "\rrisolvi: " << esito.esplorati << " stati esplorati, "
                 << stati.quanti() - n - 1 << " in attesa" << std::flush;
    }
  }
  if (mostrato) *progresso << '\n';
  esito.completa = esito.esplorati == stati.quanti();
  esito.fine_raggiunta = fine.raggiunta;
  for (size_t j = 0; j < fine.visti.size(); ++j) {
    if (!fine.visti[j]) esito.mai_nella_fine.push_back(p.mondo.richiesti()[j]);
  }
  esito.memoria = stati.memoria();
  esito.conservati = stati.quanti();
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

// The solver's compact states against the game's own saved text, on the
// small worlds of the author-tool cases that have a closing message, and on
// the start of the default world: two
// states are one in the compact form exactly when the saver writes the same
// text for them, and after every try the world the game's code left behind
// saves as the text of the state the solver filed it under.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "autore/risolutore.h"

namespace fs = std::filesystem;

namespace {

fs::path sorgenti() {
  const char* radice = std::getenv("VELT_SORGENTI");
  return radice != nullptr ? fs::path(radice) : fs::current_path();
}

struct confronto {
  unsigned long stati = 0;
  unsigned long visite = 0;
  bool trovata = false;
};

// Runs the search on `mondo` and checks every visit; the texts are known by
// a 64-bit hash, which keeps the default world's states in memory.
confronto confronta(const fs::path& mondo, unsigned long max_stati) {
  confronto esito;
  partita p;
  try {
    EXPECT_TRUE(carica_file(mondo.string(), p, nullptr)) << mondo;
  } catch (const arresto_fatale&) {
    ambiente::zaino.svuota();
    return esito;  // a world the game stops on is not searched
  }
  if (p.mondo.messaggio_finale().empty()) {
    ambiente::zaino.svuota();
    return esito;  // nothing to search for
  }
  prepara_ricerca(p);
  std::map<unsigned long, size_t> testo_di;
  std::map<size_t, unsigned long> stato_di;
  const auto visita = [&](unsigned long n, const ambiente& a) {
    ++esito.visite;
    std::ostringstream testo;
    a.salva_su(testo);
    const size_t h = std::hash<std::string>()(testo.str());
    const auto noto = testo_di.emplace(n, h);
    EXPECT_EQ(noto.first->second, h) << mondo << ": lo stato " << n << " ha due testi";
    const auto stesso = stato_di.emplace(h, n);
    EXPECT_EQ(stesso.first->second, n) << mondo << ": gli stati " << n << " e "
                                       << stesso.first->second << " hanno lo stesso testo";
  };
  const esito_ricerca r = cerca_soluzione(p, max_stati, nullptr, visita);
  ambiente::zaino.svuota();
  esito.stati = testo_di.size();
  esito.trovata = r.trovata;
  return esito;
}

TEST(stati_compatti, coincidono_con_il_testo_salvato) {
  unsigned long mondi = 0;
  for (const auto& caso : fs::directory_iterator(sorgenti() / "autore/test/casi")) {
    const fs::path mondo = caso.path() / "mondo.ini";
    if (!fs::exists(mondo)) continue;
    SCOPED_TRACE(mondo.string());
    const confronto c = confronta(mondo, 100000);
    if (c.visite > 0) ++mondi;
  }
  EXPECT_GE(mondi, 10u);
}

// The default world is too large to compare whole; its first states cover
// every kind of object and a good part of the map.
TEST(stati_compatti, mondo_predefinito_all_inizio) {
  const confronto c = confronta(sorgenti() / "worlds/mondo.ini", 5000);
  EXPECT_GT(c.stati, 5000u);
  EXPECT_FALSE(c.trovata);
}

}  // namespace

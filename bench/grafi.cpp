#include "bench/grafi.h"

#include <random>
#include <string>
#include <vector>

namespace {

std::string nome_nodo(std::size_t i, std::size_t luoghi) {
  std::string cifre = std::to_string(i);
  const std::size_t larga = std::to_string(luoghi > 0 ? luoghi - 1 : 0).size();
  return "luogo" + std::string(larga - cifre.size(), '0') + cifre;
}

grafo_mappa nodi(std::size_t luoghi) {
  grafo_mappa g;
  g.titolo = "Mondo generato";
  g.nodi.resize(luoghi);
  for (std::size_t i = 0; i < luoghi; ++i) {
    g.nodi[i].nome = nome_nodo(i, luoghi);
    g.nodi[i].titolo = "Luogo " + std::to_string(i);
    g.nodi[i].riga = 1 + 10 * i;
  }
  if (luoghi > 0) {
    g.nodi.front().partenza = true;
    g.nodi.back().fine = true;
  }
  return g;
}

void collega(grafo_mappa& g, std::size_t da, std::size_t a, int direzione) {
  uscita_mappa u;
  u.da = static_cast<long>(da);
  u.a = static_cast<long>(a);
  u.direzione = direzione;
  g.uscite.push_back(u);
}

}  // namespace

grafo_mappa grafo_griglia(std::size_t luoghi) {
  grafo_mappa g = nodi(luoghi);
  std::size_t w = 1;
  while (w * w < luoghi) ++w;
  for (std::size_t i = 0; i < luoghi; ++i) {
    if (i >= w) collega(g, i, i - w, 0);
    if (i + w < luoghi) collega(g, i, i + w, 1);
    if ((i + 1) % w != 0 && i + 1 < luoghi) collega(g, i, i + 1, 2);
    if (i % w != 0) collega(g, i, i - 1, 3);
  }
  return g;
}

grafo_mappa grafo_casuale(std::size_t luoghi, std::size_t uscite, std::uint32_t seme) {
  grafo_mappa g = nodi(luoghi);
  if (luoghi == 0) return g;
  std::mt19937 caso(seme);
  auto fino_a = [&](std::size_t n) { return static_cast<std::size_t>(caso() % n); };
  // At most one exit per place and direction, as in a world.
  std::vector<char> presa(luoghi * NUM_DIREZIONI_MAPPA, 0);
  auto aggiungi = [&](std::size_t da, std::size_t a, int d, bool ostruita) {
    char& p = presa[da * NUM_DIREZIONI_MAPPA + static_cast<std::size_t>(d)];
    if (p) return;
    p = 1;
    collega(g, da, a, d);
    if (ostruita) g.uscite.back().ostruzione = "Un cancello chiuso.";
  };
  for (std::size_t i = 0; i < luoghi; ++i) {
    if (fino_a(10) == 0) g.nodi[i].titolo = "La lunghissima galleria degli specchi numero " + std::to_string(i);
    if (fino_a(7) == 0) g.nodi[i].buio = true;
    if (fino_a(20) == 0) continue;
    const std::size_t quante = 1 + fino_a(uscite);
    for (std::size_t k = 0; k < quante; ++k) {
      const std::size_t a = fino_a(4) == 0 ? fino_a(luoghi) : (i + 1 + fino_a(5)) % luoghi;
      const int d = static_cast<int>(fino_a(NUM_DIREZIONI_MAPPA));
      aggiungi(i, a, d, fino_a(6) == 0);
      if (fino_a(2) == 0) aggiungi(a, i, d ^ 1, false);
    }
  }
  // The flags the analysis would give: one-way exits, places the start
  // cannot reach.
  std::vector<long> indietro(luoghi * NUM_DIREZIONI_MAPPA, -1);
  for (const uscita_mappa& u : g.uscite) {
    indietro[static_cast<std::size_t>(u.da) * NUM_DIREZIONI_MAPPA + static_cast<std::size_t>(u.direzione)] = u.a;
  }
  std::vector<std::vector<long>> da_qui(luoghi);
  for (uscita_mappa& u : g.uscite) {
    u.senso_unico = indietro[static_cast<std::size_t>(u.a) * NUM_DIREZIONI_MAPPA +
                             static_cast<std::size_t>(u.direzione ^ 1)] != u.da;
    da_qui[static_cast<std::size_t>(u.da)].push_back(u.a);
  }
  std::vector<char> visto(luoghi, 0);
  std::vector<long> coda = {0};
  visto[0] = 1;
  for (std::size_t t = 0; t < coda.size(); ++t) {
    for (long v : da_qui[static_cast<std::size_t>(coda[t])]) {
      if (!visto[static_cast<std::size_t>(v)]) {
        visto[static_cast<std::size_t>(v)] = 1;
        coda.push_back(v);
      }
    }
  }
  for (std::size_t i = 0; i < luoghi; ++i) g.nodi[i].raggiungibile = visto[i] != 0;
  return g;
}

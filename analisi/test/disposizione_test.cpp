// The map's layout: the compass kept wherever a perfect layout exists, no
// two boxes or labels overlapping on any graph, groups apart, the same layout
// for the same graph; and the SVG that carries it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <map>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analisi/disposizione.h"
#include "bench/grafi.h"

namespace {

const char* const parole[] = {"nord", "sud", "est", "ovest", "alto", "basso"};

// A graph written as data: "a nord b, b sud a, c alto a!" (a trailing '!'
// obstructs the exit). Places are created in name order.
grafo_mappa grafo(const std::string& uscite) {
  std::vector<std::string> parti;
  std::istringstream in(uscite);
  for (std::string p; std::getline(in, p, ',');) parti.push_back(p);
  std::map<std::string, long> nomi;
  std::vector<std::array<std::string, 3>> terne;
  for (const std::string& p : parti) {
    std::istringstream t(p);
    std::array<std::string, 3> terna;
    if (!(t >> terna[0] >> terna[1] >> terna[2])) continue;
    nomi[terna[0]];
    nomi[terna[2] == "!" ? terna[0] : terna[2]];
    terne.push_back(terna);
  }
  grafo_mappa g;
  for (auto& voce : nomi) {
    voce.second = static_cast<long>(g.nodi.size());
    nodo_mappa n;
    n.nome = voce.first;
    n.titolo = "Il luogo " + voce.first;
    g.nodi.push_back(n);
  }
  if (!g.nodi.empty()) g.nodi.front().partenza = true;
  for (auto& terna : terne) {
    uscita_mappa u;
    const bool ostruita = terna[2].back() == '!';
    if (ostruita) terna[2].pop_back();
    u.da = nomi[terna[0]];
    u.a = nomi[terna[2]];
    u.direzione = static_cast<int>(std::find(parole, parole + 6, terna[1]) - parole);
    if (ostruita) u.ostruzione = "Chiuso.";
    g.uscite.push_back(u);
  }
  for (uscita_mappa& u : g.uscite) {
    u.senso_unico = std::none_of(g.uscite.begin(), g.uscite.end(), [&](const uscita_mappa& r) {
      return r.da == u.a && r.a == u.da && r.direzione == (u.direzione ^ 1);
    });
  }
  return g;
}

// Every free nord/sud and est/ovest pair leads the right way on the page.
void controlla_bussola(const grafo_mappa& g) {
  std::map<std::pair<long, int>, const uscita_mappa*> per_direzione;
  for (const uscita_mappa& u : g.uscite) per_direzione[{u.da, u.direzione}] = &u;
  std::size_t coppie = 0;
  for (const uscita_mappa& u : g.uscite) {
    if (u.direzione >= 4 || !u.ostruzione.empty()) continue;
    auto r = per_direzione.find({u.a, u.direzione ^ 1});
    if (r == per_direzione.end() || r->second->a != u.da || !r->second->ostruzione.empty()) continue;
    ++coppie;
    const nodo_mappa &da = g.nodi[static_cast<std::size_t>(u.da)],
                     &a = g.nodi[static_cast<std::size_t>(u.a)];
    const std::string cosa = da.nome + " " + parole[u.direzione] + " " + a.nome;
    switch (u.direzione) {
      case 0: EXPECT_LT(a.y, da.y) << cosa; break;
      case 1: EXPECT_GT(a.y, da.y) << cosa; break;
      case 2: EXPECT_GT(a.x, da.x) << cosa; break;
      default: EXPECT_LT(a.x, da.x) << cosa;
    }
  }
  EXPECT_GT(coppie, 0u) << "no free pair to check";
}

struct rettangolo {
  double l, t, r, b;
  std::string cosa;
};

bool sovrapposti(const rettangolo& a, const rettangolo& b) {
  return a.l < b.r && b.l < a.r && a.t < b.b && b.t < a.b;
}

// Pairs of overlapping rectangles, by a sweep over their left edges.
std::vector<std::string> sovrapposizioni(std::vector<rettangolo> tutti) {
  std::sort(tutti.begin(), tutti.end(), [](const rettangolo& a, const rettangolo& b) { return a.l < b.l; });
  std::vector<std::string> trovate;
  for (std::size_t i = 0; i < tutti.size() && trovate.size() < 5; ++i) {
    for (std::size_t j = i + 1; j < tutti.size() && tutti[j].l < tutti[i].r; ++j) {
      if (sovrapposti(tutti[i], tutti[j])) trovate.push_back(tutti[i].cosa + " / " + tutti[j].cosa);
    }
  }
  return trovate;
}

std::vector<rettangolo> box(const grafo_mappa& g) {
  std::vector<rettangolo> r;
  for (const nodo_mappa& n : g.nodi) {
    EXPECT_GT(n.larghezza, 0);
    EXPECT_GT(n.altezza, 0);
    r.push_back({n.x - n.larghezza / 2, n.y - n.altezza / 2, n.x + n.larghezza / 2,
                 n.y + n.altezza / 2, n.nome});
  }
  return r;
}

// Reads ` NOME="VALUE"` at `p` in `s`, moving `p` past it. False, with `p` anywhere, when the text differs.
bool attributo(const std::string& s, std::size_t& p, const std::string& nome, std::string& valore) {
  const std::string inizio = " " + nome + "=\"";
  if (s.compare(p, inizio.size(), inizio) != 0) return false;
  p += inizio.size();
  const std::size_t fine = s.find('"', p);
  if (fine == std::string::npos) return false;
  valore = s.substr(p, fine - p);
  p = fine + 1;
  return true;
}

// The boxes and direction labels of the SVG as drawn, the labels measured
// generously (7 units a character, 12 tall at 11 units): none may overlap.
// Only boxes written as <rect x y width height ...> count, as the writer
// draws places.
std::vector<rettangolo> disegnati(const std::string& svg) {
  std::vector<rettangolo> r;
  std::string x, y, w, h, ancora;
  for (std::size_t p = svg.find("<rect x="); p != std::string::npos; p = svg.find("<rect x=", p)) {
    p += 5;
    if (attributo(svg, p, "x", x) && attributo(svg, p, "y", y) &&
        attributo(svg, p, "width", w) && attributo(svg, p, "height", h)) {
      r.push_back({std::stod(x), std::stod(y), std::stod(x) + std::stod(w),
                   std::stod(y) + std::stod(h), "box " + x});
    }
  }
  const std::string etichetta = "<text class=\"direzione\"";
  for (std::size_t p = svg.find(etichetta); p != std::string::npos; p = svg.find(etichetta, p)) {
    p += etichetta.size();
    if (!attributo(svg, p, "x", x) || !attributo(svg, p, "y", y) ||
        !attributo(svg, p, "text-anchor", ancora) || (ancora != "start" && ancora != "end")) {
      continue;
    }
    const std::size_t apre = svg.find('>', p), chiude = svg.find('<', apre);
    const std::string parola = svg.substr(apre + 1, chiude - apre - 1);
    const double w7 = 7.0 * static_cast<double>(parola.size());
    const double l = ancora == "start" ? std::stod(x) : std::stod(x) - w7;
    r.push_back({l, std::stod(y) - 9, l + w7, std::stod(y) + 3, parola + " at " + x + "," + y});
  }
  return r;
}

void controlla_disegno(grafo_mappa& g) {
  disponi(g);
  const std::vector<std::string> box_sopra = sovrapposizioni(box(g));
  EXPECT_TRUE(box_sopra.empty()) << box_sopra.front();
  std::ostringstream svg;
  scrivi_svg(g, svg);
  const std::vector<rettangolo> tutti = disegnati(svg.str());
  EXPECT_EQ(std::count_if(tutti.begin(), tutti.end(),
                          [](const rettangolo& r) { return r.cosa.rfind("box", 0) == 0; }),
            static_cast<long>(g.nodi.size()));
  const std::vector<std::string> sopra = sovrapposizioni(tutti);
  EXPECT_TRUE(sopra.empty()) << sopra.front();
}

// The default world's map, as the analysis gives it.
grafo_mappa mondo_predefinito() {
  const char* radice = std::getenv("VELT_SORGENTI");
  EXPECT_NE(radice, nullptr) << "VELT_SORGENTI names the source tree";
  std::ifstream file(std::string(radice == nullptr ? "." : radice) + "/worlds/mondo.ini",
                     std::ios::binary);
  std::ostringstream dati;
  dati << file.rdbuf();
  return analizza(dati.str()).mappa;
}

// --- The compass -------------------------------------------------------------

TEST(Bussola, MondoPredefinito) {
  grafo_mappa g = mondo_predefinito();
  ASSERT_GT(g.nodi.size(), 3u);
  disponi(g);
  controlla_bussola(g);
}

TEST(Bussola, Griglie) {
  for (std::size_t luoghi : {10u, 100u, 1000u}) {
    SCOPED_TRACE(luoghi);
    grafo_mappa g = grafo_griglia(luoghi);
    disponi(g);
    controlla_bussola(g);
    // A grid is drawn as a grid: places in a row of the world share a row
    // of the page.
    std::size_t w = 1;
    while (w * w < luoghi) ++w;
    for (std::size_t i = 1; i < luoghi; ++i) {
      if (i % w != 0) {
        EXPECT_EQ(g.nodi[i].y, g.nodi[i - 1].y) << g.nodi[i].nome;
      }
    }
  }
}

// --- Levels --------------------------------------------------------------------

TEST(Piani, AltoSopraBassoSotto) {
  grafo_mappa g = grafo("m alto t, t basso m, m basso c, c alto m, t est u, u ovest t");
  // The start is the middle place whatever its name.
  for (nodo_mappa& n : g.nodi) n.partenza = n.nome == "m";
  disponi(g);
  std::map<std::string, const nodo_mappa*> per_nome;
  for (const nodo_mappa& n : g.nodi) per_nome[n.nome] = &n;
  EXPECT_EQ(per_nome["m"]->piano, 0);
  EXPECT_EQ(per_nome["t"]->piano, 1);
  EXPECT_EQ(per_nome["u"]->piano, 1);
  EXPECT_EQ(per_nome["c"]->piano, -1);
  EXPECT_LT(per_nome["t"]->y, per_nome["m"]->y);
  EXPECT_LT(per_nome["m"]->y, per_nome["c"]->y);
  EXPECT_GT(per_nome["u"]->x, per_nome["t"]->x);
}

// --- No overlap --------------------------------------------------------------------

// Small worlds written by hand: every one drawn with no overlap, and those
// with a perfect layout (that a careless walk gets wrong) by the compass.
TEST(Sovrapposizioni, GrafiScritti) {
  const struct {
    const char* uscite;
    bool perfetta;
  } casi[] = {
      {"", false},
      {"a nord a", false},
      {"a est b, b est a, a ovest b, b ovest a", false},
      // a ring of four
      {"a est b, b ovest a, b sud c, c nord b, c ovest d, d est c, d nord a, a sud d", true},
      // a long corridor east, then back west north of it
      {"a est b, b ovest a, b est c, c ovest b, c est d, d ovest c, d nord e, e sud d, "
       "e ovest f, f est e, f ovest g, g est f",
       true},
      // an obstructed pair and a one-way exit beside free pairs
      {"a nord b!, b sud a, a est c, c ovest a, c nord d, d sud c, d ovest b", true},
      // a second floor laid out by the compass on its own
      {"a est b, b ovest a, a alto c, c basso a, c est d, d ovest c, d sud e, e nord d", true},
      // everything leads north into the same place
      {"a nord z, b nord z, c nord z, d nord z, e nord z, f nord z, g nord z, h nord z", false},
      // a loop that contradicts itself
      {"a est b, b est c, c est d, d est a, a sud c, c nord a", false},
      // one-way exits only, in all six directions
      {"a nord b, b est c, c sud d, d ovest e, e alto f, f basso g, g nord a", false},
      // a ladder of levels and separate groups
      {"a alto b, b alto c, c alto d, e basso f, f basso g, h est i, x nord y!", false},
  };
  for (const auto& caso : casi) {
    SCOPED_TRACE(caso.uscite);
    grafo_mappa g = grafo(caso.uscite);
    controlla_disegno(g);
    if (caso.perfetta) controlla_bussola(g);
  }
}

TEST(Sovrapposizioni, GrafiGenerati) {
  for (std::size_t luoghi : {1u, 2u, 10u, 100u, 400u}) {
    for (std::uint32_t seme : {1u, 2u, 3u}) {
      SCOPED_TRACE(std::to_string(luoghi) + " luoghi, seme " + std::to_string(seme));
      grafo_mappa g = grafo_casuale(luoghi, 1 + seme, seme);
      controlla_disegno(g);
    }
  }
  grafo_mappa g = grafo_griglia(100);
  controlla_disegno(g);
}

// Only the boxes, on big graphs.
TEST(Sovrapposizioni, GrafiGrandi) {
  for (std::uint32_t seme : {7u, 8u}) {
    grafo_mappa g = grafo_casuale(5000, 6, seme);
    disponi(g);
    const std::vector<std::string> sopra = sovrapposizioni(box(g));
    EXPECT_TRUE(sopra.empty()) << sopra.front();
  }
}

// --- Groups apart, the same layout every time -----------------------------------------

TEST(Disposizione, GruppiSeparati) {
  grafo_mappa g = grafo_casuale(300, 2, 11);
  disponi(g);
  // Groups by a union-find over the exits.
  std::vector<std::size_t> capo(g.nodi.size());
  std::iota(capo.begin(), capo.end(), 0);
  auto trova = [&](std::size_t i) {
    while (capo[i] != i) i = capo[i] = capo[capo[i]];
    return i;
  };
  for (const uscita_mappa& u : g.uscite) capo[trova(static_cast<std::size_t>(u.da))] = trova(static_cast<std::size_t>(u.a));
  std::map<std::size_t, rettangolo> gruppi;
  for (std::size_t i = 0; i < g.nodi.size(); ++i) {
    const nodo_mappa& n = g.nodi[i];
    auto [it, nuovo] = gruppi.try_emplace(trova(i), rettangolo{n.x, n.y, n.x, n.y, n.nome});
    rettangolo& r = it->second;
    r.l = std::min(r.l, n.x - n.larghezza / 2);
    r.r = std::max(r.r, n.x + n.larghezza / 2);
    r.t = std::min(r.t, n.y - n.altezza / 2);
    r.b = std::max(r.b, n.y + n.altezza / 2);
  }
  ASSERT_GT(gruppi.size(), 2u);
  std::vector<rettangolo> r;
  for (const auto& voce : gruppi) r.push_back(voce.second);
  const std::vector<std::string> sopra = sovrapposizioni(r);
  EXPECT_TRUE(sopra.empty()) << sopra.front();
}

TEST(Disposizione, StessoGrafoStessaDisposizione) {
  grafo_mappa a = grafo_casuale(500, 4, 5);
  grafo_mappa b = a;
  std::shuffle(b.uscite.begin(), b.uscite.end(), std::mt19937(3));
  disponi(a);
  disponi(b);
  for (std::size_t i = 0; i < a.nodi.size(); ++i) {
    EXPECT_EQ(a.nodi[i].x, b.nodi[i].x) << a.nodi[i].nome;
    EXPECT_EQ(a.nodi[i].y, b.nodi[i].y) << a.nodi[i].nome;
    EXPECT_EQ(a.nodi[i].piano, b.nodi[i].piano) << a.nodi[i].nome;
  }
}

// --- The SVG ----------------------------------------------------------------------------

TEST(Svg, TestiEAttributi) {
  grafo_mappa g = grafo("a est b, b ovest a, b nord c!, c alto c");
  g.titolo = "Il \"castello\" <di> Tom & Jerry";
  g.nodi[0].nome = "a'1";
  g.nodi[0].titolo = "L'ingresso \xC3\xA8 qui";
  g.nodi[0].riga = 7;
  g.nodi[1].buio = true;
  g.nodi[2].fine = true;
  g.nodi[2].raggiungibile = false;
  disponi(g);
  std::ostringstream o;
  scrivi_svg(g, o);
  const std::string svg = o.str();
  for (const char* atteso :
       {"Il &quot;castello&quot; &lt;di&gt; Tom &amp; Jerry</text>",
        "data-nome=\"a&apos;1\" data-riga=\"7\"", ">L&apos;ingresso \xC3\xA8 qui</text>",
        "class=\"luogo buio\" data-nome=\"b\"", "class=\"luogo fine irraggiungibile\" data-nome=\"c\"",
        "class=\"uscita coppia\" data-da=\"a&apos;1\" data-a=\"b\"", "<title>Chiuso.</title>",
        "class=\"uscita ostruita\" data-da=\"b\"", "class=\"uscita senso-unico\" data-da=\"c\"",
        ">partenza</text>", ">fine, irraggiungibile</text>"}) {
    EXPECT_NE(svg.find(atteso), std::string::npos) << atteso;
  }
  // The pair is one arrow; the obstructed exit and the loop one each.
  std::size_t frecce = 0;
  for (std::size_t p = svg.find("<path class=\"uscita"); p != std::string::npos;
       p = svg.find("<path class=\"uscita", p + 1))
    ++frecce;
  EXPECT_EQ(frecce, 3u);
  EXPECT_EQ(svg.find("Tom & Jerry"), std::string::npos);
}

}  // namespace

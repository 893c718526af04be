#include "analisi/disposizione.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

// The layout works in two steps. First every place gets a cell of an integer
// grid, one grid per connected group of places ("component") and per level:
// a breadth-first walk from the start puts each newly met place on the cell
// its exit points to, and when that cell is taken, further along the same
// direction (so north stays above), then on the nearest free cell around it,
// and at worst on a spare row at the bottom. Up and down are walked last, so
// each level is laid out by the compass before the next begins; a level sits
// above the one it is reached from by "alto". Then the cells become
// coordinates: empty rows and columns are dropped, the levels of a component
// are stacked, the components are packed in shelves, and each column is as
// wide as its widest box. One place per cell and columns as wide as their
// boxes mean that no two boxes can overlap. A hash of the taken cells keeps
// the whole walk linear in the number of places and exits, sorting aside.

namespace {

// Sizes in SVG user units. The widths of the texts are estimates for a
// proportional sans-serif face, kept generous so the texts stay inside.
constexpr double CARATTERE_TITOLO = 8.0;     // per character, titles at 13 units
constexpr double CARATTERE_SEGNI = 6.4;      // the line of marks at 10 units
constexpr double CARATTERE_ETICHETTA = 6.8;  // direction labels at 11 units
constexpr double IMBOTTITURA = 24;           // inside a box, both sides together
constexpr double LARGHEZZA_MINIMA = 112;     // room for a label slot beside another
constexpr double ALTEZZA_BOX = 44;
constexpr double SPAZIO_X = 60;  // between columns: an east and a west label side by side
constexpr double SPAZIO_Y = 48;  // between rows: a south and a north label one above the other
constexpr double VUOTA_X = 24, VUOTA_Y = 16;  // a column or row with no box
// The labels of the exits sit beside their box (scrivi_svg): an east label
// above the middle line and a west one below it share a gap between columns;
// a south label and the north label of the box below share a gap between
// rows; the labels above or below a box sit right and left of its middle.
constexpr double ETICHETTA = 5 * CARATTERE_ETICHETTA;  // the longest, "ovest" or "basso"
static_assert(SPAZIO_X >= ETICHETTA + 16, "an east or west label fits between two columns");
static_assert(SPAZIO_Y >= 2 * 14 + 8, "a south and a north label fit between two rows");
static_assert(LARGHEZZA_MINIMA >= 2 * (ETICHETTA + 20), "two labels fit above or below a box");

constexpr int NUM_PIANE = 4;  // nord, sud, est, ovest: the directions of the grid
constexpr long DX[NUM_PIANE] = {0, 0, 1, -1};
constexpr long DY[NUM_PIANE] = {-1, 1, 0, 0};
constexpr int ALTO = 4;

int opposta(int d) { return d ^ 1; }  // nord<->sud, est<->ovest, alto<->basso

// An exit between two nodes of a graph of `n`, in one of the six directions.
bool valida(const uscita_mappa& u, long n) {
  return u.da >= 0 && u.da < n && u.a >= 0 && u.a < n && u.direzione >= 0 &&
         u.direzione < NUM_DIREZIONI_MAPPA;
}

// Characters of a UTF-8 text: its bytes that do not continue a sequence.
std::size_t caratteri(const std::string& testo) {
  std::size_t n = 0;
  for (unsigned char c : testo) n += (c & 0xC0) != 0x80;
  return n;
}

struct cella {
  long componente = 0;
  long piano = 0;
  long x = 0, y = 0;
  bool operator==(const cella& c) const {
    return componente == c.componente && piano == c.piano && x == c.x && y == c.y;
  }
};

struct hash_cella {
  std::size_t operator()(const cella& c) const {
    std::uint64_t h = static_cast<std::uint64_t>(c.componente) * 0x9E3779B97F4A7C15ull;
    h ^= static_cast<std::uint64_t>(c.piano) + 0x7F4A7C15ull + (h << 6) + (h >> 2);
    h ^= static_cast<std::uint64_t>(c.x) * 0xC2B2AE3D27D4EB4Full + (h << 6) + (h >> 2);
    h ^= static_cast<std::uint64_t>(c.y) * 0x165667B19E3779F9ull + (h << 6) + (h >> 2);
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
};

// Far below anything the walk reaches (each place lands at most a few cells
// from one already placed), on 32-bit targets too: the spare row, which the
// compaction then brings right under the rest of its level.
constexpr long RIGA_RISERVA = std::numeric_limits<long>::max() / 2;
constexpr long RAGGIO = 3;  // rings searched around a taken cell

// The width of a place's box: its title or its marks, whichever is longer,
// with room for the labels of its exits.
double larghezza_box(const nodo_mappa& n) {
  const double testo = std::max(static_cast<double>(caratteri(n.titolo)) * CARATTERE_TITOLO,
                                static_cast<double>(caratteri(segni_luogo(n))) * CARATTERE_SEGNI);
  return std::max(LARGHEZZA_MINIMA, testo + IMBOTTITURA);
}

struct vicino {
  long nodo;
  int direzione;  // from the place whose neighbour this is
};

class disposizione {
public:
  explicit disposizione(grafo_mappa& g) : g(g), n(static_cast<long>(g.nodi.size())) {}

  void esegui() {
    adiacenze();
    posto.assign(static_cast<std::size_t>(n), 0);
    dove.assign(static_cast<std::size_t>(n), cella{});
    occupate.reserve(static_cast<std::size_t>(n));
    // The start's group first, then every other in name order.
    for (long i = 0; i < n; ++i) {
      if (g.nodi[static_cast<std::size_t>(i)].partenza) {
        percorri(i);
        break;
      }
    }
    for (long i = 0; i < n; ++i) {
      if (!posto[static_cast<std::size_t>(i)]) percorri(i);
    }
    coordinate();
  }

private:
  grafo_mappa& g;
  const long n;
  std::vector<std::size_t> inizio;  // adjacency in compressed rows
  std::vector<vicino> vicini;
  std::vector<char> posto;
  std::vector<cella> dove;
  std::unordered_map<cella, long, hash_cella> occupate;
  std::vector<std::vector<long>> componenti;  // members in the order they were placed
  long riserva = 0;                           // next column of the current spare rows

  // Each exit seen from both ends (so a one-way exit still ties its places
  // together), sorted by direction and then neighbour, whatever the order of
  // the exits in the graph.
  void adiacenze() {
    inizio.assign(static_cast<std::size_t>(n) + 1, 0);
    for (const uscita_mappa& u : g.uscite) {
      if (!valida(u, n)) continue;
      ++inizio[static_cast<std::size_t>(u.da) + 1];
      ++inizio[static_cast<std::size_t>(u.a) + 1];
    }
    for (std::size_t i = 1; i < inizio.size(); ++i) inizio[i] += inizio[i - 1];
    vicini.assign(inizio.back(), vicino{0, 0});
    std::vector<std::size_t> pieno(inizio.begin(), inizio.end() - 1);
    for (const uscita_mappa& u : g.uscite) {
      if (!valida(u, n)) continue;
      vicini[pieno[static_cast<std::size_t>(u.da)]++] = {u.a, u.direzione};
      vicini[pieno[static_cast<std::size_t>(u.a)]++] = {u.da, opposta(u.direzione)};
    }
    for (long i = 0; i < n; ++i) {
      std::sort(vicini.begin() + static_cast<long>(inizio[static_cast<std::size_t>(i)]),
                vicini.begin() + static_cast<long>(inizio[static_cast<std::size_t>(i) + 1]),
                [](const vicino& a, const vicino& b) {
                  return a.direzione != b.direzione ? a.direzione < b.direzione : a.nodo < b.nodo;
                });
    }
  }

  bool libera(const cella& c) const { return occupate.find(c) == occupate.end(); }

  void metti(long v, const cella& c) {
    posto[static_cast<std::size_t>(v)] = 1;
    dove[static_cast<std::size_t>(v)] = c;
    occupate.emplace(c, v);
    componenti.back().push_back(v);
  }

  // The cell for a place that wants `voluta`, reached going `direzione`
  // (-1: up or down, no direction in the grid).
  cella trova(cella voluta, int direzione) {
    if (libera(voluta)) return voluta;
    if (direzione >= 0) {
      cella c = voluta;
      for (int passo = 0; passo < RAGGIO; ++passo) {
        c.x += DX[direzione];
        c.y += DY[direzione];
        if (libera(c)) return c;
      }
    }
    for (long r = 1; r <= RAGGIO; ++r) {
      for (long dy = -r; dy <= r; ++dy) {
        for (long dx = -r; dx <= r; ++dx) {
          if (std::max(std::labs(dx), std::labs(dy)) != r) continue;
          cella c = voluta;
          c.x += dx;
          c.y += dy;
          if (libera(c)) return c;
        }
      }
    }
    cella c = voluta;
    c.y = RIGA_RISERVA;
    do {
      c.x = riserva++;
    } while (!libera(c));
    return c;
  }

  // Lays out the group of places tied to `radice`, which goes on level 0.
  void percorri(long radice) {
    componenti.emplace_back();
    riserva = 0;
    const long componente = static_cast<long>(componenti.size()) - 1;
    std::vector<long>& coda = componenti.back();  // the placed ones, in order: the queue
    metti(radice, cella{componente, 0, 0, 0});
    struct salto {
      long da, a;
      int direzione;
    };
    std::vector<salto> scale;  // up and down, walked when the level is done
    std::size_t testa = 0, testa_scale = 0;
    for (;;) {
      while (testa < coda.size()) {
        const long u = coda[testa++];
        const cella qui = dove[static_cast<std::size_t>(u)];
        for (std::size_t k = inizio[static_cast<std::size_t>(u)];
             k < inizio[static_cast<std::size_t>(u) + 1]; ++k) {
          const vicino& v = vicini[k];
          if (posto[static_cast<std::size_t>(v.nodo)]) continue;
          if (v.direzione >= NUM_PIANE) {
            scale.push_back({u, v.nodo, v.direzione});
            continue;
          }
          cella voluta = qui;
          voluta.x += DX[v.direzione];
          voluta.y += DY[v.direzione];
          metti(v.nodo, trova(voluta, v.direzione));
        }
      }
      while (testa_scale < scale.size() && posto[static_cast<std::size_t>(scale[testa_scale].a)])
        ++testa_scale;
      if (testa_scale == scale.size()) break;
      const salto& s = scale[testa_scale++];
      cella voluta = dove[static_cast<std::size_t>(s.da)];
      voluta.piano += s.direzione == ALTO ? 1 : -1;
      metti(s.a, trova(voluta, -1));
    }
  }

  // Ranks of `valori` among their distinct values, in place.
  static long comprimi(std::vector<long>& valori) {
    std::vector<long> distinti = valori;
    std::sort(distinti.begin(), distinti.end());
    distinti.erase(std::unique(distinti.begin(), distinti.end()), distinti.end());
    for (long& v : valori) v = std::lower_bound(distinti.begin(), distinti.end(), v) - distinti.begin();
    return static_cast<long>(distinti.size());
  }

  void coordinate() {
    // Each component becomes a block of columns and rows of its own: its
    // levels stacked, the highest on top, with an empty row between.
    struct blocco {
      long colonne = 0, righe = 0, x = 0, y = 0;
    };
    std::vector<blocco> blocchi(componenti.size());
    std::vector<long> gx(static_cast<std::size_t>(n)), gy(static_cast<std::size_t>(n));
    double area = 0;
    long piu_larga = 0;
    for (std::size_t c = 0; c < componenti.size(); ++c) {
      std::vector<long>& membri = componenti[c];
      std::vector<long> xs, ys;
      for (long v : membri) xs.push_back(dove[static_cast<std::size_t>(v)].x);
      blocchi[c].colonne = comprimi(xs);
      // Members by level, highest first, then in the order they were placed.
      std::vector<long> ordine(membri.size());
      for (std::size_t i = 0; i < ordine.size(); ++i) ordine[i] = static_cast<long>(i);
      std::stable_sort(ordine.begin(), ordine.end(), [&](long a, long b) {
        return dove[static_cast<std::size_t>(membri[static_cast<std::size_t>(a)])].piano >
               dove[static_cast<std::size_t>(membri[static_cast<std::size_t>(b)])].piano;
      });
      long righe = 0;
      for (std::size_t i = 0; i < ordine.size();) {
        const long piano = dove[static_cast<std::size_t>(membri[static_cast<std::size_t>(ordine[i])])].piano;
        std::size_t j = i;
        ys.clear();
        for (; j < ordine.size() &&
               dove[static_cast<std::size_t>(membri[static_cast<std::size_t>(ordine[j])])].piano == piano;
             ++j) {
          ys.push_back(dove[static_cast<std::size_t>(membri[static_cast<std::size_t>(ordine[j])])].y);
        }
        if (righe > 0) ++righe;  // the empty row between two levels
        const long altezza = comprimi(ys);
        for (std::size_t k = i; k < j; ++k) {
          gy[static_cast<std::size_t>(membri[static_cast<std::size_t>(ordine[k])])] = righe + ys[k - i];
        }
        righe += altezza;
        i = j;
      }
      blocchi[c].righe = righe;
      for (std::size_t i = 0; i < membri.size(); ++i) gx[static_cast<std::size_t>(membri[i])] = xs[i];
      area += static_cast<double>(blocchi[c].colonne + 1) * static_cast<double>(righe + 1);
      piu_larga = std::max(piu_larga, blocchi[c].colonne);
    }

    // Shelves of blocks, as wide as makes the whole about as wide as tall
    // on the page (a cell is about twice as wide as it is tall).
    const long scaffale = std::max(piu_larga, static_cast<long>(std::ceil(std::sqrt(area * 0.45))));
    long cx = 0, cy = 0, alta = 0, colonne = 0, righe = 0;
    for (blocco& b : blocchi) {
      if (cx > 0 && cx + b.colonne > scaffale) {
        cy += alta + 1;
        cx = 0;
        alta = 0;
      }
      b.x = cx;
      b.y = cy;
      cx += b.colonne + 1;
      alta = std::max(alta, b.righe);
      colonne = std::max(colonne, b.x + b.colonne);
      righe = std::max(righe, b.y + b.righe);
    }

    std::vector<double> larghe(static_cast<std::size_t>(colonne), 0);
    std::vector<char> piene(static_cast<std::size_t>(righe), 0);
    for (std::size_t c = 0; c < componenti.size(); ++c) {
      for (long v : componenti[c]) {
        nodo_mappa& nodo = g.nodi[static_cast<std::size_t>(v)];
        gx[static_cast<std::size_t>(v)] += blocchi[c].x;
        gy[static_cast<std::size_t>(v)] += blocchi[c].y;
        nodo.piano = static_cast<int>(dove[static_cast<std::size_t>(v)].piano);
        nodo.larghezza = larghezza_box(nodo);
        nodo.altezza = ALTEZZA_BOX;
        double& l = larghe[static_cast<std::size_t>(gx[static_cast<std::size_t>(v)])];
        l = std::max(l, nodo.larghezza);
        piene[static_cast<std::size_t>(gy[static_cast<std::size_t>(v)])] = 1;
      }
    }
    std::vector<double> sinistra(larghe.size()), cima(piene.size());
    double x = 0, y = 0;
    for (std::size_t i = 0; i < larghe.size(); ++i) {
      sinistra[i] = x;
      x += (larghe[i] > 0 ? larghe[i] + SPAZIO_X : VUOTA_X);
    }
    for (std::size_t i = 0; i < piene.size(); ++i) {
      cima[i] = y;
      y += (piene[i] ? ALTEZZA_BOX + SPAZIO_Y : VUOTA_Y);
    }
    for (long v = 0; v < n; ++v) {
      nodo_mappa& nodo = g.nodi[static_cast<std::size_t>(v)];
      const std::size_t c = static_cast<std::size_t>(gx[static_cast<std::size_t>(v)]);
      nodo.x = sinistra[c] + larghe[c] / 2;
      nodo.y = cima[static_cast<std::size_t>(gy[static_cast<std::size_t>(v)])] + ALTEZZA_BOX / 2;
    }
  }
};

}  // namespace

std::string segni_luogo(const nodo_mappa& n) {
  std::string s;
  auto aggiungi = [&](const std::string& parola) { s += (s.empty() ? "" : ", ") + parola; };
  if (n.partenza) aggiungi("partenza");
  if (n.fine) aggiungi("fine");
  if (n.piano != 0) aggiungi("piano " + std::string(n.piano > 0 ? "+" : "") + std::to_string(n.piano));
  if (!n.raggiungibile) aggiungi("irraggiungibile");
  return s;
}

std::vector<tratto> tratti(const grafo_mappa& g) {
  const long n = static_cast<long>(g.nodi.size());
  std::vector<long> uscita(static_cast<std::size_t>(n) * NUM_DIREZIONI_MAPPA, -1);
  for (std::size_t i = 0; i < g.uscite.size(); ++i) {
    const uscita_mappa& u = g.uscite[i];
    if (valida(u, n)) {
      uscita[static_cast<std::size_t>(u.da * NUM_DIREZIONI_MAPPA + u.direzione)] = static_cast<long>(i);
    }
  }
  std::vector<tratto> t(g.uscite.size(), tratto::nessuno);
  for (std::size_t i = 0; i < g.uscite.size(); ++i) {
    const uscita_mappa& u = g.uscite[i];
    if (!valida(u, n)) continue;
    const long r = uscita[static_cast<std::size_t>(u.a * NUM_DIREZIONI_MAPPA + opposta(u.direzione))];
    const bool coppia = r >= 0 && g.uscite[static_cast<std::size_t>(r)].a == u.da && u.a != u.da &&
                        u.ostruzione.empty() && g.uscite[static_cast<std::size_t>(r)].ostruzione.empty();
    if (!coppia) {
      t[i] = tratto::sola;
    } else if (u.da < u.a) {
      t[i] = tratto::coppia;
    }
  }
  return t;
}

void disponi(grafo_mappa& g) { disposizione(g).esegui(); }

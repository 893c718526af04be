// The map's layout on generated graphs of 1 000 and 10 000 places: grids
// (every place where the compass puts it) and tangles of random exits (most
// places pushed aside), each beside its floor, a breadth-first walk that
// meets every place and exit once and writes one coordinate per place; and
// the SVG of the laid-out grid, written to a stream that throws it away.
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <vector>

#include "analisi/disposizione.h"
#include "bench/grafi.h"

namespace {

const grafo_mappa& griglia(std::size_t luoghi) {
  static grafo_mappa g1 = grafo_griglia(1000), g2 = grafo_griglia(10000);
  return luoghi == 1000 ? g1 : g2;
}

const grafo_mappa& groviglio(std::size_t luoghi) {
  static grafo_mappa g1 = grafo_casuale(1000, 4, 1), g2 = grafo_casuale(10000, 4, 1);
  return luoghi == 1000 ? g1 : g2;
}

void disponi_su(benchmark::State& stato, const grafo_mappa& modello) {
  for (auto _ : stato) {
    stato.PauseTiming();
    grafo_mappa g = modello;
    stato.ResumeTiming();
    disponi(g);
    benchmark::DoNotOptimize(g.nodi.data());
    stato.PauseTiming();
    g = grafo_mappa();
    stato.ResumeTiming();
  }
  stato.SetItemsProcessed(static_cast<int64_t>(stato.iterations() * modello.nodi.size()));
}

void pavimento_su(benchmark::State& stato, const grafo_mappa& modello) {
  const std::size_t n = modello.nodi.size();
  for (auto _ : stato) {
    std::vector<std::size_t> inizio(n + 1, 0);
    for (const uscita_mappa& u : modello.uscite) {
      ++inizio[static_cast<std::size_t>(u.da) + 1];
      ++inizio[static_cast<std::size_t>(u.a) + 1];
    }
    for (std::size_t i = 1; i <= n; ++i) inizio[i] += inizio[i - 1];
    std::vector<long> vicini(inizio.back());
    std::vector<std::size_t> pieno(inizio.begin(), inizio.end() - 1);
    for (const uscita_mappa& u : modello.uscite) {
      vicini[pieno[static_cast<std::size_t>(u.da)]++] = u.a;
      vicini[pieno[static_cast<std::size_t>(u.a)]++] = u.da;
    }
    std::vector<double> x(n, -1);
    std::vector<long> coda;
    coda.reserve(n);
    for (std::size_t r = 0; r < n; ++r) {
      if (x[r] >= 0) continue;
      x[r] = static_cast<double>(coda.size());
      coda.push_back(static_cast<long>(r));
      for (std::size_t t = coda.size() - 1; t < coda.size(); ++t) {
        const std::size_t u = static_cast<std::size_t>(coda[t]);
        for (std::size_t k = inizio[u]; k < inizio[u + 1]; ++k) {
          const std::size_t v = static_cast<std::size_t>(vicini[k]);
          if (x[v] >= 0) continue;
          x[v] = static_cast<double>(coda.size());
          coda.push_back(vicini[k]);
        }
      }
    }
    benchmark::DoNotOptimize(x.data());
  }
  stato.SetItemsProcessed(static_cast<int64_t>(stato.iterations() * n));
}

void disponi_griglia(benchmark::State& s) { disponi_su(s, griglia(static_cast<std::size_t>(s.range(0)))); }
void disponi_griglia_pavimento(benchmark::State& s) {
  pavimento_su(s, griglia(static_cast<std::size_t>(s.range(0))));
}
void disponi_groviglio(benchmark::State& s) { disponi_su(s, groviglio(static_cast<std::size_t>(s.range(0)))); }
void disponi_groviglio_pavimento(benchmark::State& s) {
  pavimento_su(s, groviglio(static_cast<std::size_t>(s.range(0))));
}

class scarico : public std::streambuf {
protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

void scrivi_svg_griglia(benchmark::State& stato) {
  grafo_mappa g = griglia(static_cast<std::size_t>(stato.range(0)));
  disponi(g);
  scarico nulla;
  std::ostream nessuno(&nulla);
  for (auto _ : stato) scrivi_svg(g, nessuno);
  stato.SetItemsProcessed(static_cast<int64_t>(stato.iterations() * g.nodi.size()));
}

#define MISURA(f) BENCHMARK(f)->Unit(benchmark::kMillisecond)->Arg(1000)->Arg(10000)->Repetitions(3)->DisplayAggregatesOnly(true)
MISURA(disponi_griglia);
MISURA(disponi_griglia_pavimento);
MISURA(disponi_groviglio);
MISURA(disponi_groviglio_pavimento);
MISURA(scrivi_svg_griglia);

}  // namespace

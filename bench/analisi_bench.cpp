// The analysis of a world file (analisi/analisi.h) on the default world and
// on a generated world of 20 000 places with 10 objects each (about 94 MB),
// each beside its floor: a plain load of the same bytes by the game's loader,
// which the analysis runs underneath. The difference is what the analysis
// itself adds: the observer, the outline, the references, the checks and
// the map.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "analisi/analisi.h"
#include "analisi/caricamento.h"
#include "bench/generatore.h"

namespace {

const std::string& predefinito() {
  static const std::string testo = [] {
    std::ifstream f(VELT_RADICE "/worlds/mondo.ini", std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
  }();
  return testo;
}

const std::string& generato() {
  static const std::string testo = [] {
    std::ostringstream s;
    genera_mondo(s, 20000, 10);
    return s.str();
  }();
  return testo;
}

const std::string& testo_di(const benchmark::State& stato) {
  return stato.range(0) == 0 ? predefinito() : generato();
}

// Bytes in memory read as a stream where they lie.
class flusso_testo : public std::streambuf {
public:
  explicit flusso_testo(const std::string& testo) {
    char* inizio = const_cast<char*>(testo.data());  // only ever read
    setg(inizio, inizio, inizio + testo.size());
  }
};

void analisi(benchmark::State& stato) {
  const std::string& testo = testo_di(stato);
  std::size_t diagnosi = 0;
  for (auto _ : stato) {
    const risultato r = analizza(testo);
    diagnosi = r.diagnostiche.size();
    benchmark::DoNotOptimize(r.simboli.data());
  }
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * testo.size()));
  stato.counters["diagnosi"] = static_cast<double>(diagnosi);
}

void analisi_pavimento(benchmark::State& stato) {
  const std::string& testo = testo_di(stato);
  for (auto _ : stato) {
    ambiente::zaino.svuota();
    partita p;
    {
      console_autore risposte;
      silenzio zitto;
      flusso_testo memoria(testo);
      std::istream flusso(&memoria);
      p.mondo.carica_da(flusso);
    }
    benchmark::DoNotOptimize(p.mondo.luoghi_().size());
    ambiente::zaino.svuota();
  }
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * testo.size()));
}

}  // namespace

// Argument 0: the default world; 1: the generated one.
BENCHMARK(analisi)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(analisi_pavimento)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The solver of velt-autore: states explored per second of one core, and
// bytes held per stored state, on the default world (searched to its
// solution) and on generated worlds of 10, 100 and 1 000 places with two
// objects each (each searched for a fixed number of states). The cost of a
// state should not grow with the world, so the three generated figures
// should stay close to each other.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "autore/risolutore.h"
#include "bench/generatore.h"

namespace {

const unsigned long STATI_GENERATI = 20000;

// Loads the world text into `p` and prepares it for the search.
void prepara(const std::string& testo, partita& p) {
  ambiente::zaino.svuota();
  std::istringstream ingresso(testo);
  {
    silenzio zitto;
    p.mondo.carica_da(ingresso);
  }
  prepara_ricerca(p);
}

void misura(benchmark::State& stato, const std::string& testo, unsigned long max_stati) {
  unsigned long esplorati = 0;
  double byte_per_stato = 0;
  for (auto _ : stato) {
    stato.PauseTiming();
    partita p;
    prepara(testo, p);
    stato.ResumeTiming();
    const esito_ricerca esito = cerca_soluzione(p, max_stati, nullptr);
    stato.PauseTiming();
    esplorati += esito.esplorati;
    byte_per_stato = static_cast<double>(esito.memoria) / static_cast<double>(esito.conservati);
    ambiente::zaino.svuota();
    stato.ResumeTiming();
  }
  stato.counters["stati/s"] =
      benchmark::Counter(static_cast<double>(esplorati), benchmark::Counter::kIsRate);
  stato.counters["byte/stato"] = byte_per_stato;
  stato.counters["esplorati"] =
      static_cast<double>(esplorati) / static_cast<double>(stato.iterations());
}

void risolvi_predefinito(benchmark::State& stato) {
  std::ifstream f(VELT_RADICE "/worlds/mondo.ini", std::ios::binary);
  std::ostringstream testo;
  testo << f.rdbuf();
  misura(stato, testo.str(), 1000000);
}

void risolvi_generato(benchmark::State& stato) {
  std::ostringstream testo;
  genera_mondo(testo, static_cast<std::size_t>(stato.range(0)), 2);
  misura(stato, testo.str(), STATI_GENERATI);
}

BENCHMARK(risolvi_predefinito)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->DisplayAggregatesOnly(true);
BENCHMARK(risolvi_generato)
    ->Unit(benchmark::kMillisecond)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Repetitions(3)
    ->DisplayAggregatesOnly(true);

}  // namespace

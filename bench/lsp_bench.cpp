// The language server's answer to an edit: the time from a didChange that
// carries the whole text (full sync, as the server asks) to the
// publishDiagnostics written back, framed, on the default world and on a
// generated world of about 5 MB; beside it, in the same run, its floor: the
// analysis alone of the same text.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "analisi/analisi.h"
#include "bench/generatore.h"
#include "console/cp850.h"
#include "lsp/server.h"
#include "lsp/trasporto.h"

namespace {

// The two worlds as an editor holds them: UTF-8 text.
const std::string& testo_mondo(int quale) {
  static const std::string predefinito = [] {
    std::ifstream in(VELT_RADICE "/worlds/mondo.ini", std::ios::binary);
    std::ostringstream tutto;
    tutto << in.rdbuf();
    return cp850_a_utf8(tutto.str());
  }();
  // 1 100 places of 10 objects each: about 5 MB.
  static const std::string generato = [] {
    std::ostringstream mondo;
    genera_mondo(mondo, 1100, 10);
    return cp850_a_utf8(mondo.str());
  }();
  return quale == 0 ? predefinito : generato;
}

const char* const URI = "file:///mondo.ini";

void modifica_a_diagnostiche(benchmark::State& stato) {
  const std::string& testo = testo_mondo(static_cast<int>(stato.range(0)));
  std::istringstream niente;
  std::ostringstream uscita;
  trasporto canale(niente, uscita, std::string::npos);
  std::size_t pubblicate = 0;
  server_lsp server([&](const nlohmann::json& m) {
    canale.scrivi(m.dump());
    ++pubblicate;
  });
  server.ricevi(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
  nlohmann::json apri = {
      {"jsonrpc", "2.0"},
      {"method", "textDocument/didOpen"},
      {"params",
       {{"textDocument",
         {{"uri", URI}, {"languageId", "velt"}, {"version", 1}, {"text", testo}}}}}};
  server.ricevi(apri.dump());
  nlohmann::json cambia = {{"jsonrpc", "2.0"},
                           {"method", "textDocument/didChange"},
                           {"params",
                            {{"textDocument", {{"uri", URI}, {"version", 2}}},
                             {"contentChanges", {{{"text", testo}}}}}}};
  const std::string messaggio = cambia.dump();
  pubblicate = 0;
  for (auto _ : stato) {
    uscita.str(std::string());
    server.ricevi(messaggio);
    benchmark::DoNotOptimize(uscita.str().size());
  }
  if (pubblicate != static_cast<std::size_t>(stato.iterations())) {
    stato.SkipWithError("a didChange published no diagnostics");
  }
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * testo.size()));
}

void solo_analisi(benchmark::State& stato) {
  const std::string& testo = testo_mondo(static_cast<int>(stato.range(0)));
  for (auto _ : stato) {
    risultato r = analizza(testo);
    benchmark::DoNotOptimize(r.diagnostiche.size());
  }
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * testo.size()));
}

}  // namespace

// Argument 0: the default world; 1: the generated one of about 5 MB.
BENCHMARK(modifica_a_diagnostiche)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(solo_analisi)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

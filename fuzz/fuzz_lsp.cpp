// Fuzz target: the input is the byte stream an editor writes to the language
// server (headers, bodies, JSON, documents), read to its end with a limit of
// 1 MiB per message. Whatever it holds, the server must keep going and every
// message it writes back must be framed right and be valid JSON; anything
// else aborts.
#include <cstdlib>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "fuzz/supporto.h"
#include "lsp/lsp.h"
#include "lsp/trasporto.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  sessione_fuzz sessione;
  std::istringstream ingresso(std::string(reinterpret_cast<const char*>(dati), n));
  std::ostringstream uscita;
  esegui_lsp(ingresso, uscita, 1u << 20);

  std::istringstream inviati(uscita.str());
  std::ostringstream nulla;
  trasporto lettore(inviati, nulla, std::string::npos);
  std::string corpo;
  for (;;) {
    const trasporto::esito esito = lettore.leggi(corpo);
    if (esito == trasporto::esito::fine) break;
    if (esito != trasporto::esito::messaggio || !nlohmann::json::accept(corpo)) std::abort();
  }
  return 0;
}

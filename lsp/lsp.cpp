#include "lsp/lsp.h"

#include <string>

#include "lsp/server.h"
#include "lsp/trasporto.h"

int esegui_lsp(std::istream& ingresso, std::ostream& uscita, std::size_t limite) {
  trasporto canale(ingresso, uscita, limite);
  server_lsp server([&canale](const nlohmann::json& m) {
    // Text that is not UTF-8 (a name in a broken document) is sent with
    // replacement characters rather than stopping the server.
    canale.scrivi(m.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
  });
  std::string corpo;
  while (!server.finito()) {
    switch (canale.leggi(corpo)) {
      case trasporto::esito::messaggio:
        server.ricevi(corpo);
        break;
      case trasporto::esito::fine:
        return server.stato_uscita();
      case trasporto::esito::intestazione_rotta:
        server.errore_trasporto(errori_rpc::ANALISI_JSON,
                                "intestazione non valida: manca Content-Length");
        break;
      case trasporto::esito::troppo_grande:
        server.errore_trasporto(errori_rpc::RICHIESTA_NON_VALIDA,
                                "messaggio di " + std::to_string(canale.lunghezza_scartata()) +
                                    " byte: il limite è " + std::to_string(limite));
        break;
    }
  }
  return server.stato_uscita();
}

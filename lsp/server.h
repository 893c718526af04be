#pragma once
#include <functional>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "lsp/documento.h"

// The language server's state and its answers, apart from any stream: each
// message received goes to `ricevi`, and every message the server sends (a
// response, a notification) goes to the function given at construction, in
// order.
//
// Lifecycle: before "initialize" every request gets the error "server not
// initialized" and notifications are dropped; after "shutdown" every request
// gets "invalid request". "exit" ends the session, with status 0 after a
// shutdown and 1 otherwise. A message that is not JSON, not a JSON-RPC
// message, or whose parameters do not fit its method gets a JSON-RPC error
// (a notification, which has no answer, gets a log message instead), and the
// server goes on.
class server_lsp {
public:
  using json = nlohmann::json;
  explicit server_lsp(std::function<void(const json&)> invia);

  // Handles the body of one message, as read from the stream.
  void ricevi(const std::string& corpo);
  // A message the transport could not read: answered with `codice` and
  // `messaggio` (id null), the session goes on.
  void errore_trasporto(int codice, const std::string& messaggio);

  bool finito() const { return uscito; }
  int stato_uscita() const { return chiuso ? 0 : 1; }

private:
  json esegui(const std::string& metodo, const json& parametri);
  void notifica(const std::string& metodo, const json& parametri);
  void pubblica(const std::string& uri, const documento* doc);
  const documento* aperto(const json& parametri) const;

  std::function<void(const json&)> invia;
  std::map<std::string, documento> documenti;
  bool inizializzato = false, chiuso = false, uscito = false;
};

// JSON-RPC and LSP error codes.
namespace errori_rpc {
constexpr int ANALISI_JSON = -32700;
constexpr int RICHIESTA_NON_VALIDA = -32600;
constexpr int METODO_SCONOSCIUTO = -32601;
constexpr int PARAMETRI_NON_VALIDI = -32602;
constexpr int ERRORE_INTERNO = -32603;
constexpr int NON_INIZIALIZZATO = -32002;
constexpr int RICHIESTA_FALLITA = -32803;
}  // namespace errori_rpc

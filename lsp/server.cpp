#include "lsp/server.h"

#include <utility>

#include "lsp/funzioni.h"

namespace {

struct metodo_sconosciuto {};
struct troppo_annidato {};
constexpr int PROFONDITA_MASSIMA = 64;

json risposta(const json& id) { return {{"jsonrpc", "2.0"}, {"id", id}}; }

json errore(const json& id, int codice, const std::string& messaggio) {
  json r = risposta(id);
  r["error"] = {{"code", codice}, {"message", messaggio}};
  return r;
}

json capacita() {
  return {{"positionEncoding", "utf-16"},
          {"textDocumentSync", {{"openClose", true}, {"change", 1}}},
          {"documentSymbolProvider", true},
          {"definitionProvider", true},
          {"referencesProvider", true},
          {"hoverProvider", true},
          {"renameProvider", {{"prepareProvider", true}}},
          {"codeActionProvider", {{"codeActionKinds", json::array({"quickfix"})}}},
          {"completionProvider", {{"triggerCharacters", json::array({"[", "="})}}}};
}

unsigned long riga_di(const json& parametri) {
  return parametri.at("position").at("line").get<unsigned long>();
}
unsigned long unita_di(const json& parametri) {
  return parametri.at("position").at("character").get<unsigned long>();
}
const std::string& uri_di(const json& parametri) {
  return parametri.at("textDocument").at("uri").get_ref<const std::string&>();
}

}  // namespace

server_lsp::server_lsp(std::function<void(const json&)> invia) : invia(std::move(invia)) {}

void server_lsp::errore_trasporto(int codice, const std::string& messaggio) {
  invia(errore(nullptr, codice, messaggio));
}

const documento* server_lsp::aperto(const json& parametri) const {
  const auto d = documenti.find(uri_di(parametri));
  return d == documenti.end() ? nullptr : &d->second;
}

void server_lsp::pubblica(const std::string& uri, const documento* doc) {
  json parametri = {{"uri", uri}, {"diagnostics", json::array()}};
  if (doc != nullptr) {
    parametri["diagnostics"] = diagnostiche_lsp(*doc);
    parametri["version"] = doc->versione;
  }
  invia({{"jsonrpc", "2.0"},
         {"method", "textDocument/publishDiagnostics"},
         {"params", std::move(parametri)}});
}

json server_lsp::esegui(const std::string& metodo, const json& p) {
  if (metodo == "initialize") {
    inizializzato = true;
    return {{"capabilities", capacita()}, {"serverInfo", {{"name", "velt-autore"}}}};
  }
  if (metodo == "shutdown") {
    chiuso = true;
    return nullptr;
  }
  const bool noto = metodo == "textDocument/documentSymbol" ||
                    metodo == "textDocument/definition" || metodo == "textDocument/references" ||
                    metodo == "textDocument/hover" || metodo == "textDocument/prepareRename" ||
                    metodo == "textDocument/rename" || metodo == "textDocument/codeAction" ||
                    metodo == "textDocument/completion";
  if (!noto) throw metodo_sconosciuto{};
  // A document the editor never opened (or has closed) has no answers.
  const documento* doc = aperto(p);
  if (doc == nullptr) return nullptr;
  const std::string& uri = uri_di(p);
  if (metodo == "textDocument/documentSymbol") return simboli_lsp(*doc);
  if (metodo == "textDocument/codeAction") {
    static const json senza_contesto = json::object();
    const auto contesto = p.find("context");
    return azioni_lsp(*doc, uri, p.at("range"), contesto != p.end() ? *contesto : senza_contesto);
  }
  const unsigned long riga = riga_di(p), unita = unita_di(p);
  if (metodo == "textDocument/definition") return definizione_lsp(*doc, uri, riga, unita);
  if (metodo == "textDocument/references") {
    const bool dichiarazioni =
        p.contains("context") && p.at("context").value("includeDeclaration", false);
    return riferimenti_lsp(*doc, uri, riga, unita, dichiarazioni);
  }
  if (metodo == "textDocument/hover") return hover_lsp(*doc, riga, unita);
  if (metodo == "textDocument/prepareRename") return prepara_rinomina_lsp(*doc, riga, unita);
  if (metodo == "textDocument/rename") {
    return rinomina_lsp(*doc, uri, riga, unita, p.at("newName").get<std::string>());
  }
  return completamento_lsp(*doc, riga, unita);
}

void server_lsp::notifica(const std::string& metodo, const json& p) {
  if (metodo == "textDocument/didOpen") {
    const json& td = p.at("textDocument");
    const std::string& uri = td.at("uri").get_ref<const std::string&>();
    documento nuovo(td.at("text").get<std::string>(), td.value("version", 0L));
    const auto voce = documenti.insert_or_assign(uri, std::move(nuovo)).first;
    pubblica(uri, &voce->second);
  } else if (metodo == "textDocument/didChange") {
    const std::string& uri = uri_di(p);
    const auto voce = documenti.find(uri);
    if (voce == documenti.end())
      throw std::invalid_argument("didChange di un documento non aperto: " + uri);
    // The changes are checked before any is made, so a bad one leaves the
    // document as it was.
    const json& cambi = p.at("contentChanges");
    for (const json& c : cambi) {
      c.at("text").get_ref<const std::string&>();
      if (c.contains("range")) {
        c.at("range").at("start").at("line").get<unsigned long>();
        c.at("range").at("start").at("character").get<unsigned long>();
        c.at("range").at("end").at("line").get<unsigned long>();
        c.at("range").at("end").at("character").get<unsigned long>();
      }
    }
    documento& doc = voce->second;
    for (const json& c : cambi) {
      const std::string& testo = c.at("text").get_ref<const std::string&>();
      if (!c.contains("range")) {
        doc.sostituisci(testo);
        continue;
      }
      const json& da = c.at("range").at("start");
      const json& a = c.at("range").at("end");
      doc.modifica(da.at("line").get<unsigned long>(), da.at("character").get<unsigned long>(),
                   a.at("line").get<unsigned long>(), a.at("character").get<unsigned long>(),
                   testo);
    }
    doc.versione = p.at("textDocument").value("version", doc.versione);
    doc.analizza();
    pubblica(uri, &doc);
  } else if (metodo == "textDocument/didClose") {
    const std::string& uri = uri_di(p);
    if (documenti.erase(uri) > 0) pubblica(uri, nullptr);
  }
  // Any other notification ("initialized", "$/cancelRequest", saves,
  // settings) asks nothing of this server.
}

void server_lsp::ricevi(const std::string& corpo) {
  json m;
  try {
    // The depth is capped: no message of the protocol nests deeply, and
    // copying or printing a value nested without end would recurse as deep.
    m = json::parse(corpo, [](int profondita, json::parse_event_t, json&) {
      if (profondita > PROFONDITA_MASSIMA) throw troppo_annidato{};
      return true;
    });
  } catch (const json::parse_error& e) {
    invia(errore(nullptr, errori_rpc::ANALISI_JSON,
                 "JSON non valido al byte " + std::to_string(e.byte)));
    return;
  } catch (const troppo_annidato&) {
    invia(errore(nullptr, errori_rpc::RICHIESTA_NON_VALIDA,
                 "messaggio annidato oltre " + std::to_string(PROFONDITA_MASSIMA) + " livelli"));
    return;
  }
  if (!m.is_object()) {
    invia(errore(nullptr, errori_rpc::RICHIESTA_NON_VALIDA, "il messaggio non è un oggetto JSON"));
    return;
  }
  const auto id = m.find("id");
  const bool con_id = id != m.end();
  if (con_id && !id->is_number_integer() && !id->is_string()) {
    invia(errore(nullptr, errori_rpc::RICHIESTA_NON_VALIDA, "id non valido"));
    return;
  }
  const json chi = con_id ? *id : json(nullptr);
  const auto metodo = m.find("method");
  if (metodo == m.end() && con_id && (m.contains("result") || m.contains("error"))) {
    return;  // an answer to a request this server never sends
  }
  const auto parametri = m.find("params");
  const auto versione = m.find("jsonrpc");
  if (versione == m.end() || *versione != "2.0" || metodo == m.end() || !metodo->is_string() ||
      (parametri != m.end() && !parametri->is_object() && !parametri->is_array())) {
    invia(errore(chi, errori_rpc::RICHIESTA_NON_VALIDA, "non è un messaggio JSON-RPC 2.0"));
    return;
  }
  const std::string& nome = metodo->get_ref<const std::string&>();
  static const json senza_parametri = json::object();
  const json& p = parametri != m.end() ? *parametri : senza_parametri;
  if (!con_id) {
    if (nome == "exit") {
      uscito = true;
      return;
    }
    if (!inizializzato || chiuso) return;
    try {
      notifica(nome, p);
    } catch (const std::exception& e) {
      invia({{"jsonrpc", "2.0"},
             {"method", "window/logMessage"},
             {"params", {{"type", 1}, {"message", nome + ": " + e.what()}}}});
    }
    return;
  }
  if (!inizializzato && nome != "initialize") {
    invia(errore(chi, errori_rpc::NON_INIZIALIZZATO, "il server aspetta initialize"));
    return;
  }
  if (chiuso || (inizializzato && nome == "initialize")) {
    invia(errore(chi, errori_rpc::RICHIESTA_NON_VALIDA,
                 chiuso ? "il server è spento: aspetta exit" : "initialize è già arrivato"));
    return;
  }
  json r = risposta(chi);
  try {
    r["result"] = esegui(nome, p);
  } catch (const metodo_sconosciuto&) {
    r = errore(chi, errori_rpc::METODO_SCONOSCIUTO, "metodo sconosciuto: " + nome);
  } catch (const richiesta_fallita& e) {
    r = errore(chi, errori_rpc::RICHIESTA_FALLITA, e.messaggio);
  } catch (const json::exception& e) {
    r = errore(chi, errori_rpc::PARAMETRI_NON_VALIDI,
               std::string("parametri non validi: ") + e.what());
  } catch (const std::exception& e) {
    r = errore(chi, errori_rpc::ERRORE_INTERNO, e.what());
  }
  invia(r);
}

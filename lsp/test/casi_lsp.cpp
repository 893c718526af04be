// Runs one case of the language server. A case is a folder holding:
//   descrizione  one line saying what the case shows
//   sessione     the messages, in order: each block opens with a line
//                  -->        a JSON message sent, framed as an editor does;
//                             an object {"@file": "NAME"} anywhere in it
//                             stands for the text of the case's file NAME
//                  --> corpo  the lines up to the next block, sent as one
//                             message body (not JSON, perhaps)
//                  --> byte   the lines up to the next block, joined by
//                             nothing, sent as raw bytes, with the escapes
//                             \r, \n, \xHH and a doubled backslash: for
//                             broken headers
//                  <--        a JSON message the server must send
//                Lines before the first block, and lines starting with
//                "#" outside the raw blocks, are comments.
//   stato        the server's expected exit status
//   limite       (optional) the largest message the server reads, in bytes
// The server runs in this process on the whole input at once; what it sends
// must be exactly the expected messages, in order, compared as JSON.
// Usage: casi_lsp CASE
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "autore/comune.h"
#include "lsp/lsp.h"
#include "lsp/trasporto.h"

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

bool leggi(const fs::path& file, std::string& testo) {
  return fs::exists(file) && leggi_tutto(file.string(), testo, std::cerr);
}

// Replaces every {"@file": NAME} in `m` with the text of the file.
void sostituisci_file(json& m, const fs::path& caso) {
  if (m.is_object() && m.size() == 1 && m.contains("@file")) {
    std::string testo;
    const std::string nome = m["@file"].get<std::string>();
    if (!leggi(caso / nome, testo)) throw std::runtime_error("manca il file " + nome);
    m = testo;
    return;
  }
  if (m.is_structured()) {
    for (auto& figlio : m) sostituisci_file(figlio, caso);
  }
}

std::string senza_escape(const std::string& riga) {
  std::string fuori;
  for (std::size_t i = 0; i < riga.size(); ++i) {
    if (riga[i] != '\\' || i + 1 == riga.size()) {
      fuori += riga[i];
      continue;
    }
    const char c = riga[++i];
    if (c == 'r') fuori += '\r';
    else if (c == 'n') fuori += '\n';
    else if (c == 'x' && i + 2 < riga.size()) {
      fuori += static_cast<char>(std::stoi(riga.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else fuori += c;
  }
  return fuori;
}

std::string incornicia(const std::string& corpo) {
  return "Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "uso: casi_lsp CASO\n";
    return 2;
  }
  const fs::path caso = argv[1];
  std::string sessione, stato_testo, limite_testo;
  if (!leggi(caso / "sessione", sessione) || !leggi(caso / "stato", stato_testo)) {
    std::cerr << caso << ": mancano sessione o stato\n";
    return 2;
  }
  std::size_t limite = LIMITE_MESSAGGIO;
  if (leggi(caso / "limite", limite_testo)) limite = std::stoul(limite_testo);

  // The blocks of the session.
  std::string ingresso;
  std::vector<json> attesi;
  std::istringstream righe(sessione);
  std::string genere, testo;
  const auto chiudi = [&]() {
    if (genere == "-->") {
      json m = json::parse(testo);
      sostituisci_file(m, caso);
      ingresso += incornicia(m.dump());
    } else if (genere == "--> corpo") {
      if (!testo.empty()) testo.pop_back();
      ingresso += incornicia(testo);
    } else if (genere == "--> byte") {
      ingresso += testo;
    } else if (genere == "<--") {
      attesi.push_back(json::parse(testo));
    }
    testo.clear();
  };
  try {
    for (std::string riga; std::getline(righe, riga);) {
      if (riga.rfind("-->", 0) == 0 || riga.rfind("<--", 0) == 0) {
        chiudi();
        genere = riga;
        while (!genere.empty() && genere.back() == ' ') genere.pop_back();
        continue;
      }
      const bool grezzo = genere == "--> byte" || genere == "--> corpo";
      if (!grezzo && riga.rfind('#', 0) == 0) continue;
      testo += genere == "--> byte" ? senza_escape(riga) : riga + "\n";
    }
    chiudi();
  } catch (const std::exception& e) {
    std::cerr << caso << ": sessione illeggibile: " << e.what() << "\n";
    return 2;
  }

  std::istringstream in(ingresso);
  std::ostringstream out;
  const int stato = esegui_lsp(in, out, limite);

  // What the server sent, read back with the server's own framing.
  std::istringstream inviati(out.str());
  std::ostringstream scarto;
  trasporto lettore(inviati, scarto, std::string::npos);
  std::vector<json> ricevuti;
  std::string corpo;
  bool buono = true;
  for (;;) {
    const auto esito = lettore.leggi(corpo);
    if (esito == trasporto::esito::fine) break;
    if (esito != trasporto::esito::messaggio || !json::accept(corpo)) {
      std::cerr << "il server ha scritto un messaggio mal formato: " << corpo << "\n";
      buono = false;
      break;
    }
    ricevuti.push_back(json::parse(corpo));
  }
  for (std::size_t i = 0; i < std::max(attesi.size(), ricevuti.size()); ++i) {
    if (i < attesi.size() && i < ricevuti.size() && attesi[i] == ricevuti[i]) continue;
    buono = false;
    std::cerr << "messaggio " << i + 1
              << ":\n  atteso:   " << (i < attesi.size() ? attesi[i].dump() : "(nessuno)")
              << "\n  ricevuto: " << (i < ricevuti.size() ? ricevuti[i].dump() : "(nessuno)")
              << "\n";
  }
  if (stato != std::stoi(stato_testo)) {
    buono = false;
    std::cerr << "stato d'uscita " << stato << ", atteso " << stato_testo;
  }
  return buono ? 0 : 1;
}

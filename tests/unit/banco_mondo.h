#pragma once
// Shared bench for the tests of the world files: a console fed from a list of
// lines whose fatal exit throws instead of ending the program, the capture of
// standard output, and a fresh game (placeholder place and world holder)
// loaded from a string.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "console/console.h"
#include "game/ambiente.h"

namespace mondo_prova {

// Thrown where the program would print nothing more and end with status 1.
struct uscita_fatale {};

// Answers come from `righe`; at their end the input is over.
class console_di_prova : public console {
public:
  bool leggi_riga(std::string& riga) override {
    if (righe.empty()) {
      riga.clear();
      return false;
    }
    riga = righe.front();
    righe.pop_front();
    return true;
  }
  void pausa() override {}
  [[noreturn]] void termina_fatale() override { throw uscita_fatale{}; }

  std::deque<std::string> righe;
};

class banco_mondo : public ::testing::Test {
protected:
  banco_mondo() : vecchio_cout(std::cout.rdbuf(catturato.rdbuf())) {
    precedente = usa_console(&cons);
    ambiente::zaino.svuota();
    nuovo_gioco();
    // No input may make the loader wait for ever: a test that hangs dies.
    ::alarm(60);
  }
  ~banco_mondo() override {
    ::alarm(0);
    mondo.reset();
    dio.reset();
    ambiente::zaino.svuota();
    usa_console(precedente);
    std::cout.rdbuf(vecchio_cout);
  }

  // Drops the game (not the backpack) and starts an empty one, as the main
  // loop does before loading.
  void nuovo_gioco() {
    mondo.reset();
    dio = std::make_unique<luogo>("dio", "IO sono un dio", "", true, false, "");
    mondo = std::make_unique<ambiente>(*dio);
  }

  // Everything printed since the last call.
  std::string uscita() {
    std::string testo = catturato.str();
    catturato.str("");
    return testo;
  }

  // Loads `testo` into the current game; returns what the loader printed.
  std::string carica(const std::string& testo) {
    uscita();
    std::istringstream ingresso(testo);
    mondo->carica_da(ingresso);
    return uscita();
  }

  // Loads `testo`, which must end the program; returns everything printed.
  std::string carica_fatale(const std::string& testo) {
    uscita();
    std::istringstream ingresso(testo);
    EXPECT_THROW(mondo->carica_da(ingresso), uscita_fatale);
    return uscita();
  }

  // The game as the saver writes it.
  std::string salvato() const {
    std::ostringstream testo;
    mondo->salva_su(testo);
    return testo.str();
  }

  // Plays command lines; `risposte` answer the questions they ask. Returns
  // what the commands printed.
  std::string gioca(const std::vector<std::string>& comandi,
                    const std::vector<std::string>& risposte = {}) {
    uscita();
    cons.righe.assign(risposte.begin(), risposte.end());
    for (const std::string& c : comandi) mondo->analizza(c);
    EXPECT_TRUE(cons.righe.empty()) << "answers left over";
    return uscita();
  }

  // The names held by a map of objects, in order, each followed by ';'.
  static std::string nomi(const mappa_oggetti& mappa) {
    std::string elenco;
    for (const auto& voce : mappa) (elenco += voce.first) += ";";
    return elenco;
  }

  luogo& posto(const std::string& nome) const {
    auto it = mondo->luoghi_().find(nome);
    if (it == mondo->luoghi_().end()) throw std::runtime_error("no place " + nome);
    return *it->second;
  }

  std::ostringstream catturato;
  std::streambuf* vecchio_cout;
  console_di_prova cons;
  console* precedente = nullptr;
  std::unique_ptr<luogo> dio;
  std::unique_ptr<ambiente> mondo;
};

// The text of a data file of the world tests, from tests/unit/mondi/.
// For a forked child only: root reads and writes whatever the permission
// bits say, so a child that must meet them becomes an ordinary user (nobody)
// first, and ends with status 2 if it cannot.
inline void come_utente_comune() {
  if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(2);
}

// The whole content of a file, byte for byte; empty when it cannot be read.
inline std::string leggi_file(const std::filesystem::path& nome) {
  std::ifstream in(nome, std::ios::binary);
  std::ostringstream testo;
  testo << in.rdbuf();
  return testo.str();
}

// Replaces the content of a file with `testo`.
inline void scrivi_file(const std::filesystem::path& nome, const std::string& testo) {
  std::ofstream(nome, std::ios::binary | std::ios::trunc) << testo;
}

// VELT_SORGENTI names the source folder when ctest runs the tests; run by
// hand, the data folder is found beside this header.
inline std::string dati_mondo(const std::string& nome) {
  const char* sorgenti = std::getenv("VELT_SORGENTI");
  const std::filesystem::path unit = sorgenti != nullptr && *sorgenti != '\0'
                                         ? std::filesystem::path(sorgenti) / "tests" / "unit"
                                         : std::filesystem::path(__FILE__).parent_path();
  const std::filesystem::path file = unit / "mondi" / nome;
  if (!std::filesystem::is_regular_file(file)) {
    throw std::runtime_error("missing test data mondi/" + nome);
  }
  return leggi_file(file);
}

}  // namespace mondo_prova

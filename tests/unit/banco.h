#pragma once
// Test bench for the objects and places: the player's answers come from a
// string, everything printed goes to a string, and the backpack starts empty.

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include "console/console.h"
#include "game/ambiente.h"
#include "objects/accenti.h"

// The properties of an object under construction; every flag starts false
// and every text empty, as the record reader does for a missing key.
struct tratti {
  bool i = false, t = false, s = false, a = false, ac = false;
  std::string sugg, r;
  tratti& illuminabile() { return vero(i); }
  tratti& trasportabile() { return vero(t); }
  tratti& spostabile() { return vero(s); }
  tratti& apribile() { return vero(a); }
  tratti& acceso() { return vero(ac); }
  tratti& suggerimento(std::string testo) { return testo_(sugg, std::move(testo)); }
  tratti& reagente(std::string nome) { return testo_(r, std::move(nome)); }

private:
  tratti& vero(bool& flag) {
    flag = true;
    return *this;
  }
  tratti& testo_(std::string& campo, std::string valore) {
    campo = std::move(valore);
    return *this;
  }
};

inline std::unique_ptr<oggetto> nuovo(const std::string& nome, const tratti& p = tratti(),
                                      const std::string& des = "una cosa") {
  return std::make_unique<oggetto>(nome, des, p.i, p.t, p.s, p.a, p.ac, p.sugg, p.r);
}

inline std::unique_ptr<oggostr> ostacolo(const std::string& nome, const std::string& dir,
                                         const tratti& p = tratti(), bool aperto = false) {
  return std::make_unique<oggostr>(nome, "un ostacolo", p.i, p.t, p.s, p.a, p.ac, p.sugg, p.r, dir,
                                   aperto);
}

inline std::unique_ptr<oggcont> contenitore(const std::string& nome, const tratti& p = tratti(),
                                            bool aperto = true) {
  return std::make_unique<oggcont>(nome, "un contenitore", p.i, p.t, p.s, p.a, p.ac, p.sugg, p.r,
                                   aperto);
}

inline std::unique_ptr<oggnasc> nascondiglio(const std::string& nome, const tratti& p = tratti()) {
  return std::make_unique<oggnasc>(nome, "un nascondiglio", p.i, p.t, p.s, p.a, p.ac, p.sugg, p.r);
}

// An object that records its own destruction, to tell a destroyed object
// from one that was merely dropped on the floor (leaked) or kept.
class spia : public oggetto {
public:
  spia(const std::string& nome, bool& distrutto, const std::string& des = "una spia")
      : oggetto(nome, des, false, true, false, false, false, "", ""), segnale(distrutto) {
    segnale = false;
  }
  ~spia() override { segnale = true; }

private:
  bool& segnale;
};

// Hands `p` to `holder` (a place or a container) and returns the object, so
// the test can still look at it.
template <class H, class T>
T& metti(H& holder, std::unique_ptr<T> p) {
  T& tenuto = *p;
  holder += std::move(p);
  return tenuto;
}

// Hides `p` in a hiding place and returns the object.
template <class T>
T& nascondi(oggnasc& dove, std::unique_ptr<T> p) {
  T& tenuto = *p;
  dove *= std::move(p);
  return tenuto;
}

class banco : public ::testing::Test {
protected:
  void SetUp() override {
    console_prima = usa_console(nullptr);
    cin_prima = std::cin.rdbuf(ingresso.rdbuf());
    std::cin.clear();
    cout_prima = std::cout.rdbuf(uscita.rdbuf());
    zaino.svuota();
  }

  void TearDown() override {
    zaino.svuota();
    std::cout.rdbuf(cout_prima);
    std::cin.rdbuf(cin_prima);
    std::cin.clear();
    usa_console(console_prima);
  }

  // The lines the player will type, each followed by a line feed.
  void risponde(const std::string& righe) {
    ingresso.clear();
    ingresso.str(righe);
    std::cin.clear();
  }

  // What was printed since the last call.
  std::string stampato() {
    std::string testo = uscita.str();
    uscita.str("");
    return testo;
  }

  // What the player typed and nobody read.
  std::string non_letto() {
    std::string resto;
    std::getline(ingresso, resto, '\0');
    return resto;
  }

  oggcont& zaino = ambiente::zaino;
  std::istringstream ingresso;
  std::ostringstream uscita;

private:
  console* console_prima = nullptr;
  std::streambuf* cin_prima = nullptr;
  std::streambuf* cout_prima = nullptr;
};

// Fixed texts that several tests compare against.
#define DOMANDA_LUOGO(ogg) \
  "\n - Vuoi prendere l'oggetto " ogg " presente nel luogo si/no\n\nRisposta => "
#define DOMANDA_CONT(ogg, tipo) \
  "\n - Vuoi prendere questo oggetto " ogg " da " tipo " ? si/no\n\nRisposta => "
#define LISTA "\n  Questa " E_GRAVE " la lista degli oggetti presenti in questo luogo.\n"
#define BUIO "\n - Spiacente: il luogo non " E_GRAVE " illuminato.\n"

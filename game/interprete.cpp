#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "game/ambiente.h"
#include "objects/accenti.h"

namespace {

// Words are maximal runs of bytes other than the blank; tabs and every other
// byte belong to words, and letters keep their case.
std::vector<std::string> parole(const std::string& s) {
  std::vector<std::string> msg;
  msg.reserve(4);  // "verb first con second": grown once, not three times
  std::string::size_type i = 0;
  while (true) {
    i = s.find_first_not_of(' ', i);
    if (i == std::string::npos) break;
    std::string::size_type fine = s.find(' ', i);
    if (fine == std::string::npos) fine = s.size();
    msg.emplace_back(s, i, fine - i);
    i = fine;
  }
  return msg;
}

// The shape "verb first con second" of the two-object commands. `solo` is
// the reply for the verb alone; `manca_con` is the reply for the verb and one
// name, or null when one name is a command of its own (with an empty second
// name). True, with the names filled in, when the action is to run.
bool forma_con(const std::vector<std::string>& msg, const char* solo, const char* manca_con,
               std::string& ogg1, std::string& ogg2) {
  if (msg.size() == 1) {
    std::cout << solo;
    return false;
  }
  if (msg.size() == 2) {
    if (manca_con != nullptr) {
      std::cout << manca_con;
      return false;
    }
    ogg1 = msg[1];
    return true;
  }
  if (msg[2] != "con") {
    std::cout << "\n ! ERRORE: La parola scritta dopo il primo oggetto non " E_GRAVE " 'con'.\n";
    return false;
  }
  if (msg.size() == 3) {
    std::cout << "\n ! ERRORE: Manca il secondo oggetto.\n";
    return false;
  }
  ogg1 = msg[1];
  ogg2 = msg[3];
  return true;
}

}  // namespace

// Only the action of the line's first word runs: a second word that is itself
// a command word is just a name. A line of no command prints nothing; the
// end-of-game check follows every line.
void ambiente::analizza(std::string s) {
  const std::vector<std::string> msg = parole(s);
  // A view: no copy, and the command words are told apart by length first.
  const std::string_view word = msg.empty() ? std::string_view() : std::string_view(msg[0]);
  std::string ogg1, ogg2;
  salvataggio_fallito = false;
  if (word == "prendi") {
    if (msg.size() >= 2) {
      utente->prendi(msg[1], zaino);
    } else {
      std::cout << "\n - Si! Penso proprio che ti prender" O_GRAVE " a schiaffi...!\n";
    }
  } else if (word == "usa") {
    if (forma_con(msg, "\n - Che cosa dovrei usare? \n",
                  "\n ! ERRORE: sintassi non riconosciuta. Manca 'con'.\n", ogg1, ogg2)) {
      utente->usa(utente, zaino, ogg1, ogg2);
    }
  } else if (word == "lascia") {
    if (msg.size() >= 2) {
      utente->lascia(utente, msg[1], zaino);
    } else {
      std::cout << "\n - Bisogna lasciarsi dietro tutti i desideri terreni: la felicit" A_GRAVE
                   " " E_GRAVE " in noi!\n";
    }
  } else if (word == "vai") {
    if (msg.size() >= 2) {
      utente->vai(utente, msg[1]);
    } else {
      std::cout << "\n - Sapere dove andare nella vita " E_GRAVE " importante...\n";
    }
  } else if (word == "apri") {
    if (forma_con(msg, "\n - Che cosa dovrei aprire? \n", nullptr, ogg1, ogg2)) {
      utente->apri(utente, zaino, ogg1, ogg2);
    }
  } else if (word == "sposta") {
    if (forma_con(msg,
                  "\n - Interpretare i tuoi comandi " E_GRAVE
                  " arduo, soprattutto se non sai cosa vuoi fare!\n",
                  nullptr, ogg1, ogg2)) {
      utente->sposta(utente, ogg1, ogg2);
    }
  } else if (word == "accendi") {
    if (forma_con(msg,
                  "\n - Cosa dovrei accendere?\n - Piuttosto accendi il tuo cervello prima...\n",
                  nullptr, ogg1, ogg2)) {
      utente->accendi(zaino, ogg1, ogg2);
    }
  } else if (word == "guarda") {
    if (msg.size() >= 2 && msg[1] == "zaino") {
      zaino.guarda();
    } else {
      utente->guarda(msg.size() >= 2 ? msg[1] : std::string());
    }
  } else if (word == "esci") {
    std::cout << "\n - Vuoi salvare la partita? si/no\n\nSono in attesa di una risposta => ";
    if (risposta() == "si") salvataggio_fallito = salva() != 0;
  } else if (word == "salva") {
    salva();
  } else if (word == "aiuto") {
    help();
  }
  end();
}

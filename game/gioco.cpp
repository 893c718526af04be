#include <iostream>
#include <memory>
#include <string>

#include "console/console.h"
#include "game/ambiente.h"

namespace {
const char* const prompt = "\nSono in attesa di un comando => ";
}

// One run is a loop of games. The whole line "carica" drops the game and
// loads another; the whole line "esci", or the end of the input, ends the
// run, except when the player asked to save and the save failed: then the
// game goes on, so the player can retry or quit without saving. Each game
// starts with an empty backpack, so a loaded game carries exactly what its
// file says.
int gioca() {
  std::string stringa;
  bool fine_input = false;
  while (true) {
    auto dio = std::make_unique<luogo>("dio", "IO sono un dio", "", true, false, "");
    ambiente::zaino.svuota();
    auto a = std::make_unique<ambiente>(*dio);
    a->carica();
    if (stringa == "carica") std::cout << "\n - Gioco caricato correttamente.\n\n";
    std::cout << "Benvenuto in VELT: ";
    console_attiva().segna(segno::titolo);
    std::cout << a->prntitolo() << '\n'
              << "Scrivere 'aiuto' per aver un aiuto su i comandi del gioco\n";
    a->start();
    std::cout << prompt;
    do {
      // At the end of the input no line was read: nothing runs, not even the
      // end-of-game check, and the run ends as after "esci".
      if (!console_attiva().leggi_riga(stringa)) {
        fine_input = true;
        break;
      }
      a->analizza(stringa);
      if (stringa == "esci" && a->esci_non_salvato()) {
        std::cout << "\n - Partita non salvata: il gioco continua.\n";
        stringa.clear();  // no longer the line that ends the run
      }
      if (stringa != "carica" && stringa != "esci") std::cout << prompt;
    } while (stringa != "esci" && stringa != "carica");
    a.reset();
    dio.reset();
    if (fine_input || stringa == "esci") break;
  }
  std::cout << "\n >>>> GRAZIE PER AVER GIOCATO CON NOI <<<<\n\n";
  console_attiva().pausa();
  std::cout.flush();
  return 0;
}

#include <iostream>
#include <string>

#include "game/ambiente.h"
#include "objects/accenti.h"

void help() {
  // A rule is 78 strokes, printed without a line feed of its own.
  const std::string regola(78, TRATTO[0]);
  std::cout << regola
            << "\n* aiuto           -> Stampa questa lista dei comandi\n"
               "* prendi oggetto  -> Prende un oggetto che " E_GRAVE
               " nel luogo mettendolo nello zaino\n"
               "* usa _ con _     -> Usa un oggetto con un'altro oggetto\n"
               "* vai             -> Vai in un luogo (nord - sud - est - ovest - alto - basso)\n"
               "* apri oggetto    -> Apre un oggetto\n"
               "  apri _ con _    -> Apre un oggetto usando un'altro oggetto\n"
               "* sposta oggetto  -> Sposta un oggetto\n"
               "* sposta _ con _  -> Sposta un oggetto usando un altro oggetto\n"
               "* accendi oggetto -> Accende un oggetto\n"
               "  accendi _ con _ -> Accende un oggetto usando un altro oggetto\n"
               "* guarda          -> Guarda il luogo in cui sei\n"
               "  guarda oggetto  -> Guarda un oggetto che " E_GRAVE
               " nel luogo\n"
               "* esci            -> Esce dal gioco\n"
               "* carica          -> Carica un gioco salvato\n"
               "* salva           -> Salva il gioco corrente\n"
            << regola
            << "\n# zaino           -> Il tuo zainetto dove puoi mettere tutti gli oggetti che\n"
               "                     vuoi portare con te\n"
               "# guarda zaino    -> Visualizza gli oggetti che hai nello zaino\n"
               "# lascia oggetto  -> Lascia un oggetto che hai nello zaino\n"
            << regola
            << "\n *** Bisogna avere pi" U_GRAVE
               " fiducia in questo sconosciuto: Noi stessi. L.V. ***\n";
}

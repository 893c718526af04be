#pragma once
#include <ostream>
#include <string>

#include "analisi/analisi.h"

// `velt-autore controlla`: reads the world file `nome`, has it analysed (the
// game's own loader underneath, analisi/analisi.h) and writes every problem
// found, one per line, as
// "{nome}:{riga}: errore: ..." (what stops the game) or
// "{nome}:{riga}: avviso: ..." (what the game accepts but is almost surely a
// mistake), in line order, then a summary line. A file read converted from
// UTF-8 is noted once on `errori`. Returns the number of errors.
int controlla(const std::string& nome, std::ostream& uscita, std::ostream& errori);

// Writes diagnostic `d` of the file `nome` as `controlla` does:
// "{nome}:{riga}: errore: {messaggio}" (no line for the file as a whole).
void scrivi_diagnostica(const std::string& nome, const diagnostica& d, std::ostream& uscita);

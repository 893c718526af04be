#pragma once
#include <string>
#include <vector>

#include "analisi/analisi.h"
#include "analisi/testo.h"

// Completion in a world file: what may be written at a place of a line,
// following the format of the file. What may open a line depends on the
// record or section around it, which the analysis's symbols give; after the
// `=` of a key come the values that key takes (the places, the objects,
// TRUE and FALSE ...). Front ends only translate the answer.

enum class genere_proposta { marcatore, chiave, luogo, oggetto, valore };

struct proposta {
  std::string etichetta;  // what the list of proposals shows
  std::string testo;      // what replaces the stretch
  genere_proposta genere = genere_proposta::valore;
};

struct completamento {
  // The stretch of the line to replace, in the author's characters: from
  // the start of the line, or from just after its `=`, to the cursor.
  unsigned long da = 0, a = 0;
  std::vector<proposta> proposte;  // each label once, in the order found
};

// The proposals at column `colonna` (in the author's characters, from 0) of
// line `riga` (from 1) of the text whose lines are `righe` and whose
// analysis is `r`. The text is the file as the author wrote it: in a file
// the analysis converted from UTF-8 a character is a code point, in any
// other one a byte. A column past the end of the line means its end; a line
// past the last one is empty.
completamento completa(const risultato& r, const righe_testo& righe, unsigned long riga,
                       unsigned long colonna);

#pragma once
#include <string>

#include "console/cp850.h"

// A world file as an author hands it over (to the tools, to the game's
// MONDO argument, to the page), turned into the code page 850 text the
// engine reads. A file that is valid UTF-8 and holds non-ASCII text was
// saved by a UTF-8 editor and is converted by `converti_in_cp850`; any other
// file is already the engine's own bytes and is taken as it is. The
// conversion keeps every line feed, so line numbers stay the author's.
struct mondo_letto {
  enum esito_t { LETTO, CONVERTITO, ILLEGGIBILE, NON_CONVERTIBILE };
  esito_t esito = ILLEGGIBILE;
  std::string testo;              // LETTO, CONVERTITO: the code page 850 text
  conversione_cp850 conversione;  // NON_CONVERTIBILE: where and why it failed
};

// The bytes `dati` of a world file already in memory; never ILLEGGIBILE.
mondo_letto mondo_da_testo(std::string dati);

// The world file `nome`. ILLEGGIBILE when it is not a readable regular file
// (the files `apri_mondo` accepts) or reading it fails.
mondo_letto leggi_mondo(const std::string& nome);

// The note that `nome` was converted, said once by whoever read it: UTF-8,
// without a line feed.
std::string nota_conversione(const std::string& nome);

#include "autore/converti.h"

#include <cstdio>

#include "autore/comune.h"
#include "console/cp850.h"

int converti(const std::string& origine, const std::string& destinazione, bool indietro,
             std::ostream& errori) {
  std::string dati;
  if (!leggi_tutto(origine, dati, errori)) return 1;
  std::string testo;
  if (indietro) {
    // Converting it again would turn each accented letter into two.
    if (utf8_non_ascii(dati)) {
      errori << origine << ": errore: il file è già in UTF-8: " << destinazione
             << " non è stato scritto\n";
      return 1;
    }
    testo = cp850_a_utf8(dati);
  } else {
    conversione_cp850 esito = converti_in_cp850(dati);
    if (!esito.riuscita) {
      errori << errore_conversione(origine, esito) << ": " << destinazione
             << " non è stato scritto\n";
      return 1;
    }
    testo = std::move(esito.testo);
  }
  if (!scrivi_intero(destinazione, testo)) {
    errori << "velt-autore: impossibile scrivere " << destinazione << '\n';
    return 1;
  }
  return 0;
}

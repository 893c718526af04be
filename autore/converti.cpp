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
      const unsigned char primo = static_cast<unsigned char>(esito.carattere[0]);
      errori << origine << ':' << esito.riga << ": errore: ";
      if (esito.carattere.size() == 1 && primo >= 0x80) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", primo);
        errori << "il byte " << byte << " non è UTF-8 valido";
      } else {
        errori << "il carattere '" << esito.carattere
               << "' non esiste nella code page 850 e non ha un equivalente semplice";
      }
      errori << ": " << destinazione << " non è stato scritto\n";
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

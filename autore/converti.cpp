#include "autore/converti.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "autore/comune.h"
#include "console/cp850.h"

namespace {

// Writes `testo` to a new file in the destination's folder, then renames it
// over the destination. False, with nothing left behind, on any failure.
bool scrivi_intero(const std::string& destinazione, const std::string& testo) {
  std::string temporaneo = destinazione + ".XXXXXX";
  const int fd = ::mkstemp(&temporaneo[0]);
  if (fd < 0) return false;
  const mode_t maschera = ::umask(0);
  ::umask(maschera);
  bool ok = ::fchmod(fd, 0644 & ~maschera) == 0;
  for (size_t scritti = 0; ok && scritti < testo.size();) {
    const ssize_t n = ::write(fd, testo.data() + scritti, testo.size() - scritti);
    ok = n > 0;
    if (ok) scritti += static_cast<size_t>(n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temporaneo.c_str(), destinazione.c_str()) == 0;
  if (!ok) ::unlink(temporaneo.c_str());
  return ok;
}

}  // namespace

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

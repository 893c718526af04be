#include "autore/studio.h"

#include <sstream>

#include "autore/comune.h"
#include "autore/pubblica.h"
#include "autore/risorse.h"

std::string studio_predefinito() { return percorso_dati("studio.html").string(); }

int studio(const std::string& mondo, const std::string& pagina, const std::string& destinazione,
           std::ostream& errori) {
  std::string dati;
  if (!mondo.empty() && !leggi_tutto(mondo, dati, errori)) return 2;
  std::string html;
  std::ostringstream scarto;  // a missing studio gets a message of its own
  if (!leggi_tutto(pagina, html, scarto)) {
    errori << "velt-autore: manca lo studio (" << pagina << "): lo costruisce 'make web'\n";
    return 2;
  }
  const auto m = html.find(mondo_vuoto);
  if (m == std::string::npos) {
    errori << "velt-autore: " << pagina << " non è lo studio\n";
    return 2;
  }
  if (!mondo.empty()) html.insert(m + mondo_vuoto.size(), base64(dati));
  if (!scrivi_intero(destinazione, html)) {
    errori << "velt-autore: impossibile scrivere " << destinazione << '\n';
    return 2;
  }
  return 0;
}

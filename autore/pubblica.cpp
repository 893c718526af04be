#include "autore/pubblica.h"

#include <sstream>

#include "autore/comune.h"
#include "console/cp850.h"

#ifndef VELT_PAGINA_WEB
#define VELT_PAGINA_WEB "build-web/web/velt.html"
#endif

const char* const pagina_predefinita = VELT_PAGINA_WEB;

namespace {

// The place of the page that publishing fills in with the title.
const std::string titolo_vuoto = "<title>velt</title>";

}  // namespace

const std::string mondo_vuoto =
    "<script id=\"mondo-incorporato\" type=\"application/octet-stream\">";

std::string base64(const std::string& dati) {
  static const char cifre[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string uscita;
  uscita.reserve((dati.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < dati.size(); i += 3) {
    unsigned long gruppo = static_cast<unsigned char>(dati[i]) << 16;
    if (i + 1 < dati.size()) gruppo |= static_cast<unsigned char>(dati[i + 1]) << 8;
    if (i + 2 < dati.size()) gruppo |= static_cast<unsigned char>(dati[i + 2]);
    for (std::size_t k = 0; k < 4; ++k) {
      uscita += i + k <= dati.size() ? cifre[(gruppo >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return uscita;
}

namespace {

// The game's title lines as one line of HTML text; "velt" when untitled.
std::string titolo_html(const std::string& titolo) {
  std::string uscita;
  for (const char c : cp850_a_utf8(titolo)) {
    switch (c) {
      case '&':
        uscita += "&amp;";
        break;
      case '<':
        uscita += "&lt;";
        break;
      case '>':
        uscita += "&gt;";
        break;
      case '\n':
      case '\r':
      case '\t':
        uscita += ' ';
        break;
      default:
        uscita += c;
    }
  }
  const auto fine = uscita.find_last_not_of(' ');
  uscita.erase(fine == std::string::npos ? 0 : fine + 1);
  return uscita.empty() ? "velt" : uscita;
}

}  // namespace

int pubblica(const std::string& nome, const std::string& pagina, std::ostream& uscita,
             std::ostream& errori) {
  std::string mondo;
  if (!leggi_tutto(nome, mondo, errori)) return 2;
  if (utf8_non_ascii(mondo)) {
    conversione_cp850 c = converti_in_cp850(mondo);
    if (!c.riuscita) {
      errori << nome << ':' << c.riga << ": errore: il carattere \"" << c.carattere
             << "\" non esiste in code page 850\n";
      return 1;
    }
    mondo = std::move(c.testo);
  }
  std::string titolo;
  try {
    partita p;
    ambiente::zaino.svuota();
    console_autore risponditore;
    silenzio zitto;
    std::istringstream ingresso(mondo);
    p.mondo.carica_da(ingresso);
    titolo = p.mondo.prntitolo();
  } catch (const arresto_fatale&) {
    errori << "velt-autore: il gioco si ferma leggendo " << nome
           << ": i problemi li elenca 'velt-autore controlla'\n";
    ambiente::zaino.svuota();
    return 2;
  }
  ambiente::zaino.svuota();
  std::string html;
  std::ostringstream scarto;  // a missing page gets a message of its own
  if (!leggi_tutto(pagina, html, scarto)) {
    errori << "velt-autore: manca la pagina del gioco per il browser (" << pagina
           << "): la costruisce 'make web'\n";
    return 2;
  }
  const auto t = html.find(titolo_vuoto);
  const auto m = html.find(mondo_vuoto);
  if (t == std::string::npos || m == std::string::npos || t > m) {
    errori << "velt-autore: " << pagina << " non è la pagina del gioco per il browser\n";
    return 2;
  }
  uscita << html.substr(0, t) << "<title>" << titolo_html(titolo) << "</title>"
         << html.substr(t + titolo_vuoto.size(), m + mondo_vuoto.size() - t - titolo_vuoto.size())
         << base64(mondo) << html.substr(m + mondo_vuoto.size());
  return 0;
}

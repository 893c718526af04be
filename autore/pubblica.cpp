#include "autore/pubblica.h"

#include <sstream>

#include "autore/comune.h"
#include "autore/risorse.h"
#include "console/cp850.h"

std::string pagina_predefinita() { return percorso_dati("velt.html").string(); }

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

// The other places of the page that publishing fills in, all before the
// world's script; the world goes right after that script's opening tag.
const std::string titolo_vuoto = "<title>velt</title>";
const std::string intestazione_vuota = "<h1 id=\"titolo\">velt</h1>";
const std::string descrizione_vuota = "<meta name=\"description\" content=\"\">";
const std::string og_titolo_vuoto = "<meta property=\"og:title\" content=\"velt\">";
const std::string og_descrizione_vuota = "<meta property=\"og:description\" content=\"\">";
const std::string presentazione_vuota = "<!--@PRESENTAZIONE@-->";
// What only the author's page has lies between these two, as often as it
// comes; the published page drops it.
const std::string autore_inizio = "<!--@AUTORE@-->";
const std::string autore_fine = "<!--@/AUTORE@-->";

// UTF-8 text as one line of HTML, fit for an element or a quoted attribute:
// the markup characters escaped, line breaks and tabs turned into spaces,
// trailing blanks dropped.
std::string testo_html(const std::string& testo) {
  std::string uscita;
  for (const char c : testo) {
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
      case '"':
        uscita += "&quot;";
        break;
      case '\'':
        uscita += "&#39;";
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
  return uscita;
}

// Replaces the first `vuoto` in `html` with `pieno`; false when it is not there.
bool riempi(std::string& html, const std::string& vuoto, const std::string& pieno) {
  const auto dove = html.find(vuoto);
  if (dove == std::string::npos) return false;
  html.replace(dove, vuoto.size(), pieno);
  return true;
}

// The page's head and body up to the world's script, filled in for the
// world titled `titolo` (HTML) and presented by `chi`; false when a place
// to fill is missing.
bool componi(std::string& html, const std::string& titolo, const presentazione& chi) {
  const std::string descrizione = testo_html(chi.descrizione);
  std::string sopra;
  if (!descrizione.empty()) sopra += "<p id=\"descrizione\">" + descrizione + "</p>";
  if (!testo_html(chi.autore).empty()) {
    sopra += "<p id=\"autore\">Un gioco di " + testo_html(chi.autore) + "</p>";
  }
  if (!sopra.empty()) sopra = "<section id=\"presentazione\">" + sopra + "</section>";
  bool ok =
      riempi(html, titolo_vuoto, "<title>" + titolo + "</title>") &&
      riempi(html, intestazione_vuota, "<h1 id=\"titolo\">" + titolo + "</h1>") &&
      riempi(html, descrizione_vuota,
             "<meta name=\"description\" content=\"" + descrizione + "\">") &&
      riempi(html, og_titolo_vuoto, "<meta property=\"og:title\" content=\"" + titolo + "\">") &&
      riempi(html, og_descrizione_vuota,
             "<meta property=\"og:description\" content=\"" + descrizione + "\">") &&
      riempi(html, presentazione_vuota, sopra);
  bool tolto = false;
  for (auto inizio = html.find(autore_inizio); ok && inizio != std::string::npos;
       inizio = html.find(autore_inizio, inizio)) {
    const auto fine = html.find(autore_fine, inizio);
    ok = fine != std::string::npos;
    if (ok) html.erase(inizio, fine + autore_fine.size() - inizio);
    tolto = true;
  }
  return ok && tolto;
}

}  // namespace

int pubblica(const std::string& nome, const std::string& pagina, const presentazione& chi,
             std::ostream& uscita, std::ostream& errori) {
  std::string mondo;
  mondo_letto::esito_t letto;
  if (!leggi_mondo_autore(nome, mondo, errori, &letto)) {
    return letto == mondo_letto::NON_CONVERTIBILE ? 1 : 2;
  }
  std::string titolo;
  try {
    partita p;
    carica_testo(mondo, p, nullptr);
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
  const auto m = html.find(mondo_vuoto);
  std::string testa = html.substr(0, m == std::string::npos ? 0 : m + mondo_vuoto.size());
  titolo = testo_html(cp850_a_utf8(titolo));
  if (m == std::string::npos || !componi(testa, titolo.empty() ? "velt" : titolo, chi)) {
    errori << "velt-autore: " << pagina << " non è la pagina del gioco per il browser\n";
    return 2;
  }
  uscita << testa << base64(mondo) << html.substr(m + mondo_vuoto.size());
  return 0;
}

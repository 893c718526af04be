#include <emscripten.h>
#include <sys/stat.h>

#include <cstddef>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "analisi/analisi.h"
#include "analisi/completamento.h"
#include "analisi/disposizione.h"
#include "autore/principale.h"

// The author tools and the analysis for the studio's Worker: the same code
// as velt-autore, called from JavaScript. Files are exchanged through the
// module's in-memory file system; answers are UTF-8.

// The JavaScript bodies below are not C++: the formatter leaves them alone.
// clang-format off
// A piece of the tools' remarks, handed over as soon as it is flushed (the
// solver flushes its progress line every second).
EM_JS(void, strumenti_avanza, (const char* dati, std::size_t n), {
  if (Module.avanza) Module.avanza(UTF8ToString(dati, n));
});
// clang-format on

namespace {

// Keeps everything written, and hands each flushed piece to the page.
class buffer_avvisi : public std::stringbuf {
protected:
  int sync() override {
    const std::string tutto = str();
    if (tutto.size() > inviati) strumenti_avanza(tutto.data() + inviati, tutto.size() - inviati);
    inviati = tutto.size();
    return 0;
  }

private:
  std::size_t inviati = 0;
};

void stringa_json(std::ostream& o, std::string_view s) {
  static const char cifre[] = "0123456789abcdef";
  o << '"';
  for (const char c : s) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      o << '\\' << c;
    } else if (c == '\n') {
      o << "\\n";
    } else if (b < 0x20) {
      o << "\\u00" << cifre[b >> 4] << cifre[b & 15];
    } else {
      o << c;
    }
  }
  o << '"';
}

void intervallo_json(std::ostream& o, const intervallo& i) {
  o << "{\"riga\":" << i.riga << ",\"colonna\":" << i.colonna << ",\"fine\":" << i.fine << '}';
}

const char* const generi[] = {"sezione", "luogo", "oggetto", "ostruzione", "contenitore",
                              "nascondiglio"};

void risultato_json(std::ostream& o, const risultato& r, const std::string& svg) {
  o << "{\"diagnostiche\":[";
  const char* virgola = "";
  for (const diagnostica& d : r.diagnostiche) {
    o << virgola << "{\"errore\":" << (d.livello == gravita::errore ? "true" : "false")
      << ",\"dove\":";
    intervallo_json(o, d.dove);
    o << ",\"codice\":";
    stringa_json(o, d.codice);
    o << ",\"messaggio\":";
    stringa_json(o, d.messaggio);
    o << ",\"correzioni\":[";
    const char* v = "";
    for (const correzione& c : d.correzioni) {
      o << v << "{\"titolo\":";
      stringa_json(o, c.titolo);
      o << ",\"dove\":";
      intervallo_json(o, c.dove);
      o << ",\"testo\":";
      stringa_json(o, c.testo);
      o << '}';
      v = ",";
    }
    o << "]}";
    virgola = ",";
  }
  o << "],\"simboli\":[";
  virgola = "";
  for (const simbolo& s : r.simboli) {
    o << virgola << "{\"genere\":\"" << generi[static_cast<int>(s.genere)] << "\",\"nome\":";
    stringa_json(o, s.nome);
    o << ",\"prima\":" << s.prima << ",\"ultima\":" << s.ultima << ",\"nome_dove\":";
    intervallo_json(o, s.nome_dove);
    o << ",\"dentro\":" << s.dentro << ",\"descrizione\":";
    stringa_json(o, s.descrizione);
    o << '}';
    virgola = ",";
  }
  o << "],\"riferimenti\":[";
  virgola = "";
  for (const riferimento& f : r.riferimenti) {
    o << virgola << "{\"a_luogo\":" << (f.a_luogo ? "true" : "false") << ",\"nome\":";
    stringa_json(o, f.nome);
    o << ",\"dove\":";
    intervallo_json(o, f.dove);
    o << ",\"definizione\":" << f.definizione << '}';
    virgola = ",";
  }
  o << "],\"svg\":";
  stringa_json(o, svg);
  o << ",\"convertito\":" << (r.convertito ? "true" : "false") << '}';
}

const char* const generi_proposta[] = {"marcatore", "chiave", "luogo", "oggetto", "valore"};

std::string risposta;

}  // namespace

// The analysis of the world `dati` and its laid-out map, as JSON; valid
// until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* strumenti_analizza(const char* dati, std::size_t n) {
  risultato r = analizza(std::string_view(dati, n));
  disponi(r.mappa);
  std::ostringstream svg;
  scrivi_svg(r.mappa, svg);
  std::ostringstream o;
  risultato_json(o, r, svg.str());
  risposta = o.str();
  return risposta.c_str();
}

// What may be written at column `colonna` (in characters, from 0) of line
// `riga` (from 1) of the world `dati`, analysed anew: {"da", "a", "proposte":
// [{"etichetta", "testo", "genere"}]}, the stretch in characters of the
// line. Valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* strumenti_completa(const char* dati, std::size_t n,
                                                               unsigned long riga,
                                                               unsigned long colonna) {
  const std::string_view testo(dati, n);
  const completamento c = completa(analizza(testo), righe_testo(testo), riga, colonna);
  std::ostringstream o;
  o << "{\"da\":" << c.da << ",\"a\":" << c.a << ",\"proposte\":[";
  const char* virgola = "";
  for (const proposta& p : c.proposte) {
    o << virgola << "{\"etichetta\":";
    stringa_json(o, p.etichetta);
    o << ",\"testo\":";
    stringa_json(o, p.testo);
    o << ",\"genere\":\"" << generi_proposta[static_cast<int>(p.genere)] << "\"}";
    virgola = ",";
  }
  o << "]}";
  risposta = o.str();
  return risposta.c_str();
}

// Runs velt-autore with the arguments `argomenti` (one a line): its output
// goes to the file /uscita, its remarks to /errori (and, piece by piece, to
// the page). Returns its exit status.
extern "C" EMSCRIPTEN_KEEPALIVE int strumenti_autore(const char* argomenti) {
  // Emscripten starts with a umask that creates files nobody may read back.
  ::umask(022);
  std::vector<std::string> a;
  std::istringstream righe(argomenti);
  for (std::string r; std::getline(righe, r);) a.push_back(r);
  std::ofstream uscita("/uscita", std::ios::binary | std::ios::trunc);
  buffer_avvisi buffer;
  std::ostream errori(&buffer);
  const int stato = esegui_autore(a, uscita, errori);
  errori.flush();
  std::ofstream("/errori", std::ios::binary | std::ios::trunc) << buffer.str();
  return stato;
}

#include "lsp/trasporto.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

// A header line longer than this keeps only its end: enough to find the
// start of the next header in it.
constexpr std::size_t RIGA_MASSIMA = 64 * 1024;
constexpr std::size_t CODA_TENUTA = 64;

const std::string LUNGHEZZA = "content-length:";

std::string minuscole(std::string testo) {
  std::transform(testo.begin(), testo.end(), testo.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return testo;
}

// The value of a Content-Length header: decimal digits between optional
// blanks. A length too long for size_t becomes the largest size_t, which is
// over any limit.
bool leggi_lunghezza(const std::string& valore, std::size_t& n) {
  const auto inizio = valore.find_first_not_of(" \t");
  const auto fine = valore.find_last_not_of(" \t");
  if (inizio == std::string::npos) return false;
  n = 0;
  for (auto i = inizio; i <= fine; ++i) {
    const unsigned char c = static_cast<unsigned char>(valore[i]);
    if (!std::isdigit(c)) return false;
    const std::size_t cifra = c - '0';
    if (n > (std::numeric_limits<std::size_t>::max() - cifra) / 10) {
      n = std::numeric_limits<std::size_t>::max();
    } else {
      n = n * 10 + cifra;
    }
  }
  return true;
}

// "Name: value", the name made of the characters HTTP allows in a token.
bool campo(const std::string& riga) {
  const auto due_punti = riga.find(':');
  if (due_punti == 0 || due_punti == std::string::npos) return false;
  return std::all_of(
      riga.begin(), riga.begin() + static_cast<long>(due_punti), [](unsigned char c) {
        return std::isalnum(c) ||
               std::string("!#$%&'*+-.^_`|~").find(static_cast<char>(c)) != std::string::npos;
      });
}

}  // namespace

trasporto::trasporto(std::istream& ingresso, std::ostream& uscita, std::size_t limite)
    : in(ingresso), out(uscita), limite(limite) {}

// One line without its CR LF (or lone LF); false at the end of the input
// with nothing read.
bool trasporto::leggi_riga(std::string& riga) {
  riga.clear();
  if (!avanzo.empty()) {
    riga.swap(avanzo);
    return true;
  }
  std::streambuf* buf = in.rdbuf();
  bool letto = false;
  for (;;) {
    const auto c = buf->sbumpc();
    if (c == std::char_traits<char>::eof()) {
      in.setstate(std::ios::eofbit);
      return letto;
    }
    letto = true;
    if (c == '\n') break;
    riga.push_back(static_cast<char>(c));
    if (riga.size() > RIGA_MASSIMA) riga.erase(0, riga.size() - CODA_TENUTA);
  }
  if (!riga.empty() && riga.back() == '\r') riga.pop_back();
  return true;
}

bool trasporto::salta(std::size_t n) {
  char pezzo[64 * 1024];
  while (n > 0) {
    const auto quanti = static_cast<std::streamsize>(std::min(n, sizeof pezzo));
    const auto letti = in.rdbuf()->sgetn(pezzo, quanti);
    if (letti <= 0) return false;
    n -= static_cast<std::size_t>(letti);
  }
  return true;
}

trasporto::esito trasporto::leggi(std::string& corpo) {
  corpo.clear();
  bool con_lunghezza = false, rotta = false, qualcosa = false;
  std::size_t n = 0;
  std::string riga;
  for (;;) {
    if (!leggi_riga(riga)) return esito::fine;
    if (riga.empty()) {
      if (qualcosa) break;
      continue;  // blank lines between messages
    }
    qualcosa = true;
    const std::string basso = minuscole(riga);
    if (basso.compare(0, LUNGHEZZA.size(), LUNGHEZZA) == 0) {
      if (leggi_lunghezza(riga.substr(LUNGHEZZA.size()), n)) {
        con_lunghezza = true;
      } else {
        rotta = true;
      }
    } else if (!campo(riga)) {
      const auto altrove = basso.find(LUNGHEZZA);
      if (altrove != std::string::npos) {
        avanzo = riga.substr(altrove);
        return esito::intestazione_rotta;
      }
      rotta = true;
    }
  }
  if (rotta || !con_lunghezza) return esito::intestazione_rotta;
  if (n > limite) {
    scartati = n;
    salta(n);
    return esito::troppo_grande;
  }
  // In pieces, so a length that the input does not hold costs no memory.
  char pezzo[64 * 1024];
  while (corpo.size() < n) {
    const auto quanti = static_cast<std::streamsize>(std::min(n - corpo.size(), sizeof pezzo));
    const auto letti = in.rdbuf()->sgetn(pezzo, quanti);
    if (letti <= 0) {
      corpo.clear();
      return esito::fine;
    }
    corpo.append(pezzo, static_cast<std::size_t>(letti));
  }
  return esito::messaggio;
}

void trasporto::scrivi(const std::string& corpo) {
  out << "Content-Length: " << corpo.size() << "\r\n\r\n" << corpo;
  out.flush();
}

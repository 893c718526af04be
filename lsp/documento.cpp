#include "lsp/documento.h"

#include <utility>

std::size_t carattere_utf8(std::string_view testo, std::size_t i, unsigned& unita) {
  unita = 1;
  const unsigned char c = static_cast<unsigned char>(testo[i]);
  std::size_t lunghezza = 1;
  if (c >= 0xF0 && c <= 0xF4) {
    lunghezza = 4;
  } else if (c >= 0xE0) {
    lunghezza = c <= 0xEF ? 3 : 1;
  } else if (c >= 0xC2) {
    lunghezza = 2;
  }
  if (lunghezza == 1 || i + lunghezza > testo.size()) return 1;
  for (std::size_t k = 1; k < lunghezza; ++k) {
    if ((static_cast<unsigned char>(testo[i + k]) & 0xC0) != 0x80) return 1;
  }
  if (lunghezza == 4) unita = 2;
  return lunghezza;
}

documento::documento(std::string testo, long versione)
    : versione(versione), contenuto(std::move(testo)) {
  indicizza();
  analizza();
}

void documento::indicizza() {
  inizi.assign(1, 0);
  for (std::size_t i = contenuto.find('\n'); i != std::string::npos;
       i = contenuto.find('\n', i + 1)) {
    inizi.push_back(i + 1);
  }
}

void documento::analizza() { esito = ::analizza(contenuto); }

void documento::sostituisci(std::string nuovo) {
  contenuto = std::move(nuovo);
  indicizza();
}

void documento::modifica(unsigned long riga_da, unsigned long unita_da, unsigned long riga_a,
                         unsigned long unita_a, const std::string& nuovo) {
  std::size_t da = byte(riga_da, unita_da), a = byte(riga_a, unita_a);
  if (a < da) std::swap(da, a);
  contenuto.replace(da, a - da, nuovo);
  indicizza();
}

std::string_view documento::riga(unsigned long r) const {
  if (r >= inizi.size()) return {};
  const std::size_t inizio = inizi[r];
  std::size_t fine = r + 1 < inizi.size() ? inizi[r + 1] - 1 : contenuto.size();
  if (fine > inizio && contenuto[fine - 1] == '\r' && r + 1 < inizi.size()) --fine;
  return std::string_view(contenuto).substr(inizio, fine - inizio);
}

// Walks line `r` up to `u` UTF-16 units, never splitting a character:
// returns the bytes walked and counts the characters in `caratteri`.
std::size_t documento::cammina(unsigned long r, unsigned long u, unsigned long& caratteri) const {
  const std::string_view linea = riga(r);
  std::size_t i = 0;
  unsigned long contate = 0;
  caratteri = 0;
  while (i < linea.size()) {
    unsigned passo = 0;
    const std::size_t lunghezza = carattere_utf8(linea, i, passo);
    if (contate + passo > u) break;
    contate += passo;
    i += lunghezza;
    ++caratteri;
  }
  return i;
}

std::size_t documento::byte(unsigned long r, unsigned long u) const {
  if (r >= inizi.size()) return contenuto.size();
  unsigned long caratteri = 0;
  return inizi[r] + cammina(r, u, caratteri);
}

unsigned long documento::colonna(unsigned long r, unsigned long u) const {
  unsigned long caratteri = 0;
  cammina(r, u, caratteri);
  return caratteri;
}

unsigned long documento::unita(unsigned long r, unsigned long c) const {
  const std::string_view linea = riga(r);
  std::size_t i = 0;
  unsigned long contate = 0;
  for (unsigned long caratteri = 0; caratteri < c && i < linea.size(); ++caratteri) {
    unsigned passo = 0;
    i += carattere_utf8(linea, i, passo);
    contate += passo;
  }
  return contate;
}

#include "console/cp850.h"

#include <algorithm>
#include <cstdio>

namespace {

// The characters of the bytes 0x80 to 0xFF of code page 850.
const char16_t alti[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

// The byte of code point `c` in code page 850; -1 when the code page lacks it.
int byte_di(char32_t c) {
  if (c < 0x80) return static_cast<int>(c);
  for (int i = 0; i < 128; ++i) {
    if (alti[i] == c) return 0x80 + i;
  }
  return -1;
}

void aggiungi_utf8(std::string& uscita, unsigned char byte) {
  if (byte < 0x80) {
    uscita += static_cast<char>(byte);
    return;
  }
  const char16_t c = alti[byte - 0x80];
  if (c < 0x800) {
    uscita += static_cast<char>(0xC0 | (c >> 6));
  } else {
    uscita += static_cast<char>(0xE0 | (c >> 12));
    uscita += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  uscita += static_cast<char>(0x80 | (c & 0x3F));
}

// Decodes the UTF-8 sequence that starts at `p` (whose first byte is 0x80 or
// more), rejecting overlong forms, surrogates and code points past U+10FFFF.
// Returns the code point and sets `lunghezza`; 0 when the bytes are not UTF-8.
char32_t decodifica(std::string_view testo, std::size_t p, std::size_t& lunghezza) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(testo[p + i]); };
  const unsigned char primo = b(0);
  std::size_t n;
  char32_t c;
  char32_t minimo;
  if (primo >= 0xC2 && primo <= 0xDF) {
    n = 2, c = primo & 0x1F, minimo = 0x80;
  } else if (primo >= 0xE0 && primo <= 0xEF) {
    n = 3, c = primo & 0x0F, minimo = 0x800;
  } else if (primo >= 0xF0 && primo <= 0xF4) {
    n = 4, c = primo & 0x07, minimo = 0x10000;
  } else {
    return 0;
  }
  if (testo.size() - p < n) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b(i) & 0x3F);
  }
  if (c < minimo || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  lunghezza = n;
  return c;
}

// The plain text for a character that editors type but code page 850 lacks;
// nullptr for any other character.
const char* equivalente(char32_t c) {
  switch (c) {
    case 0x2018:
    case 0x2019:
    case 0x201A:
    case 0x201B:
    case 0x2032:
      return "'";
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x201F:
    case 0x2033:
      return "\"";
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2013:
    case 0x2014:
    case 0x2015:
    case 0x2212:
      return "-";
    case 0x2026:
      return "...";
    case 0x2007:
    case 0x202F:
    case 0x2009:
    case 0x200A:
      return " ";
    default:
      return nullptr;
  }
}

}  // namespace

void accoda_utf8(std::string& uscita, const char* s, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) aggiungi_utf8(uscita, static_cast<unsigned char>(s[i]));
}

std::string cp850_a_utf8(const std::string& testo) {
  std::string uscita;
  uscita.reserve(testo.size());
  accoda_utf8(uscita, testo.data(), testo.size());
  return uscita;
}

std::string utf8_a_cp850(const std::string& testo) {
  std::string uscita;
  uscita.reserve(testo.size());
  for (std::size_t p = 0; p < testo.size();) {
    std::size_t lunghezza = 1;
    const char32_t c =
        static_cast<unsigned char>(testo[p]) >= 0x80 ? decodifica(testo, p, lunghezza) : 0;
    const int byte = c != 0 ? byte_di(c) : -1;
    if (byte >= 0) {
      uscita += static_cast<char>(byte);
    } else {
      uscita.append(testo, p, lunghezza);
    }
    p += lunghezza;
  }
  return uscita;
}

bool utf8_non_ascii(std::string_view testo) {
  bool alto = false;
  for (std::size_t p = 0; p < testo.size();) {
    if (static_cast<unsigned char>(testo[p]) < 0x80) {
      ++p;
      continue;
    }
    std::size_t lunghezza = 0;
    if (decodifica(testo, p, lunghezza) == 0) return false;
    alto = true;
    p += lunghezza;
  }
  return alto;
}

conversione_cp850 converti_in_cp850(const std::string& testo) {
  conversione_cp850 esito;
  std::string& uscita = esito.testo;
  uscita.reserve(testo.size());
  unsigned long riga = 1;
  std::size_t p = testo.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  std::size_t inizio_riga = p;  // where the current line starts in `testo`
  while (p < testo.size()) {
    const unsigned char primo = static_cast<unsigned char>(testo[p]);
    if (primo < 0x80) {
      if (primo == '\n') ++riga, inizio_riga = p + 1;
      uscita += static_cast<char>(primo);
      ++p;
      continue;
    }
    std::size_t lunghezza = 0;
    const char32_t c = decodifica(testo, p, lunghezza);
    const int byte = c != 0 ? byte_di(c) : -1;
    const char* piano = c != 0 && byte < 0 ? equivalente(c) : nullptr;
    if (byte >= 0) {
      uscita += static_cast<char>(byte);
    } else if (piano != nullptr) {
      uscita += piano;
    } else {
      esito.riuscita = false;
      esito.riga = riga;
      // Characters before it on its line: every byte but continuation bytes.
      esito.colonna = 1 + static_cast<unsigned long>(std::count_if(
                              testo.begin() + static_cast<std::ptrdiff_t>(inizio_riga),
                              testo.begin() + static_cast<std::ptrdiff_t>(p), [](char b) {
                                return (static_cast<unsigned char>(b) & 0xC0) != 0x80;
                              }));
      esito.carattere = c != 0 ? testo.substr(p, lunghezza) : testo.substr(p, 1);
      uscita.clear();
      return esito;
    }
    p += lunghezza;
  }
  return esito;
}

std::string motivo_conversione(const conversione_cp850& esito) {
  const std::string colonna = "alla colonna " + std::to_string(esito.colonna);
  std::size_t lunghezza = 0;
  const char32_t c = esito.carattere.empty() ? 0 : decodifica(esito.carattere, 0, lunghezza);
  char codice[16];
  if (c == 0) {
    const unsigned byte =
        esito.carattere.empty() ? 0u : static_cast<unsigned char>(esito.carattere[0]);
    std::snprintf(codice, sizeof codice, "0x%02X", byte);
    return std::string("il byte ") + codice + ", " + colonna + ", non è UTF-8 valido";
  }
  std::snprintf(codice, sizeof codice, "U+%04X", static_cast<unsigned>(c));
  return "il carattere '" + esito.carattere + "' (" + codice + "), " + colonna +
         ", non esiste nella code page 850 e non ha un equivalente semplice";
}

std::string errore_conversione(const std::string& nome, const conversione_cp850& esito) {
  return nome + ':' + std::to_string(esito.riga) + ": errore: " + motivo_conversione(esito);
}

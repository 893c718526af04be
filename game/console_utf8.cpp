#include "game/console_utf8.h"

#include <iostream>

namespace {

// The characters of the bytes 0x80 to 0xFF of code page 850.
const char16_t alti[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8,
    0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2,
    0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1,
    0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD,
    0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2,
    0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534,
    0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560,
    0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580, 0x00D3, 0x00DF, 0x00D4,
    0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD,
    0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8, 0x00B0,
    0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

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

// Decodes one two- or three-byte sequence at `p`; 0 when there is none.
char32_t decodifica(const std::string& testo, std::size_t p, std::size_t& lunghezza) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(testo[p + i]); };
  const std::size_t resto = testo.size() - p;
  if (b(0) >= 0xC2 && b(0) <= 0xDF && resto >= 2 && (b(1) & 0xC0) == 0x80) {
    lunghezza = 2;
    return (char32_t(b(0) & 0x1F) << 6) | (b(1) & 0x3F);
  }
  if (b(0) >= 0xE0 && b(0) <= 0xEF && resto >= 3 && (b(1) & 0xC0) == 0x80 &&
      (b(2) & 0xC0) == 0x80) {
    lunghezza = 3;
    return (char32_t(b(0) & 0x0F) << 12) | (char32_t(b(1) & 0x3F) << 6) | (b(2) & 0x3F);
  }
  return 0;
}

// Writes through to the terminal's buffer, turning each byte into UTF-8.
class buffer_utf8 : public std::streambuf {
public:
  explicit buffer_utf8(std::streambuf* destinazione) : destinazione(destinazione) {}

protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    std::string uscita;
    uscita.reserve(static_cast<std::size_t>(n) + 16);
    for (std::streamsize i = 0; i < n; ++i) aggiungi_utf8(uscita, static_cast<unsigned char>(s[i]));
    const auto scritti = destinazione->sputn(uscita.data(), static_cast<std::streamsize>(uscita.size()));
    return scritti == static_cast<std::streamsize>(uscita.size()) ? n : 0;
  }
  int sync() override { return destinazione->pubsync(); }

private:
  std::streambuf* destinazione;
};

}  // namespace

std::string cp850_a_utf8(const std::string& testo) {
  std::string uscita;
  uscita.reserve(testo.size());
  for (char c : testo) aggiungi_utf8(uscita, static_cast<unsigned char>(c));
  return uscita;
}

std::string utf8_a_cp850(const std::string& testo) {
  std::string uscita;
  uscita.reserve(testo.size());
  for (std::size_t p = 0; p < testo.size();) {
    std::size_t lunghezza = 1;
    const char32_t c = static_cast<unsigned char>(testo[p]) >= 0x80 ? decodifica(testo, p, lunghezza) : 0;
    int byte = -1;
    for (int i = 0; c != 0 && i < 128; ++i) {
      if (alti[i] == c) byte = 0x80 + i;
    }
    if (byte >= 0) {
      uscita += static_cast<char>(byte);
    } else {
      uscita.append(testo, p, lunghezza);
    }
    p += lunghezza;
  }
  return uscita;
}

console_utf8::console_utf8()
    : traduttore(std::make_unique<buffer_utf8>(std::cout.rdbuf())), originale(std::cout.rdbuf()) {
  std::cout.rdbuf(traduttore.get());
}

console_utf8::~console_utf8() {
  std::cout.flush();
  std::cout.rdbuf(originale);
}

bool console_utf8::leggi_riga(std::string& riga) {
  const bool letta = console::leggi_riga(riga);
  riga = utf8_a_cp850(riga);
  return letta;
}

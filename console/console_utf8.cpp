#include "console/console_utf8.h"

#include <iostream>

namespace {

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
    accoda_utf8(uscita, s, static_cast<std::size_t>(n));
    const auto scritti = destinazione->sputn(uscita.data(), static_cast<std::streamsize>(uscita.size()));
    return scritti == static_cast<std::streamsize>(uscita.size()) ? n : 0;
  }
  int sync() override { return destinazione->pubsync(); }

private:
  std::streambuf* destinazione;
};

}  // namespace

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

void console_utf8::errore(const std::string& testo) { console::errore(cp850_a_utf8(testo)); }

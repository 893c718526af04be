#include "console/console_utf8.h"

#include <iostream>

namespace {

// Writes through to the terminal's buffer, turning each byte into UTF-8.
class buffer_utf8 : public std::streambuf {
public:
  explicit buffer_utf8(std::streambuf* destinazione) : destinazione(destinazione) {}

  // The text written since the last line feed, in UTF-8, and forgets it:
  // the prompt on the screen when a line is read. Empty when it grew beyond
  // any prompt's length.
  std::string prendi_riga_aperta() {
    std::string riga = lunga ? std::string() : std::move(aperta);
    aperta.clear();
    lunga = false;
    return riga;
  }

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
    const auto a_capo = uscita.rfind('\n');
    if (a_capo != std::string::npos) {
      aperta.assign(uscita, a_capo + 1, std::string::npos);
      lunga = false;
    } else if (!lunga) {
      aperta += uscita;
    }
    if (aperta.size() > 512) {
      aperta.clear();
      lunga = true;
    }
    const auto scritti =
        destinazione->sputn(uscita.data(), static_cast<std::streamsize>(uscita.size()));
    return scritti == static_cast<std::streamsize>(uscita.size()) ? n : 0;
  }
  int sync() override { return destinazione->pubsync(); }

private:
  std::streambuf* destinazione;
  std::string aperta;  // the text after the last line feed
  bool lunga = false;  // that text outgrew any prompt
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

std::string console_utf8::riga_aperta() {
  return static_cast<buffer_utf8*>(traduttore.get())->prendi_riga_aperta();
}

bool console_utf8::leggi_riga(std::string& riga) {
  const bool letta = console::leggi_riga(riga);
  riga = utf8_a_cp850(riga);
  return letta;
}

void console_utf8::errore(const std::string& testo) { console::errore(cp850_a_utf8(testo)); }

void console_utf8::errore_utf8(const std::string& testo) { console::errore(testo); }

#include "console/console_web.h"

#include <emscripten.h>

#include <cstdlib>
#include <iostream>

#include "console/cp850.h"

// The JavaScript bodies below are not C++: the formatter leaves them alone.
// clang-format off
// The page side: the module object of each run carries the functions below
// (see web/pagina.js), so a run that the page has dropped never reaches the
// page again.
EM_JS(void, pagina_scrivi, (const char* dati, std::size_t n), {
  Module.veltScrivi(HEAPU8.slice(dati, dati + n));
});

// Waits for the player's line; returns its length in UTF-8 and stores a
// buffer from malloc, or -1 at the end of the input.
EM_ASYNC_JS(int, pagina_leggi, (char** dati), {
  const riga = await Module.veltLeggi();
  if (riga === null) return -1;
  const n = lengthBytesUTF8(riga);
  const p = _malloc(n + 1);
  stringToUTF8(riga, p, n + 1);
  HEAPU32[dati >> 2] = p;
  return n;
});

EM_JS(void, pagina_fine, (int stato), { Module.veltFine(stato); });

// The number of a mark is its place in `segno`.
EM_JS(void, pagina_segna, (int segno), { Module.veltSegna(segno); });

// A run whose program has ended never resumes: this wait never ends.
EM_ASYNC_JS(void, pagina_ferma, (), { await new Promise(() => {}); });
// clang-format on

namespace {

// Keeps what is written until the stream is flushed, then hands it over.
class buffer_pagina : public std::streambuf {
protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) dati += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    dati.append(s, static_cast<std::size_t>(n));
    return n;
  }
  int sync() override {
    if (!dati.empty()) pagina_scrivi(dati.data(), dati.size());
    dati.clear();
    return 0;
  }

private:
  std::string dati;
};

}  // namespace

namespace dettaglio_web {

uscita_pagina::uscita_pagina()
    : pagina(std::make_unique<buffer_pagina>()), originale(std::cout.rdbuf(pagina.get())) {}

uscita_pagina::~uscita_pagina() {
  std::cout.flush();
  std::cout.rdbuf(originale);
}

}  // namespace dettaglio_web

bool console_web::leggi_riga(std::string& riga) {
  std::cout.flush();
  char* dati = nullptr;
  const int n = pagina_leggi(&dati);
  if (n < 0) {
    riga.clear();
    return false;
  }
  riga = utf8_a_cp850(std::string(dati, static_cast<std::size_t>(n)));
  std::free(dati);
  return true;
}

void console_web::termina_fatale() {
  std::cout.flush();
  fine_pagina(1);
  pagina_ferma();
  std::abort();
}

void console_web::segna(segno s) {
  std::cout.flush();
  pagina_segna(static_cast<int>(s));
}

void fine_pagina(int stato) {
  std::cout.flush();
  pagina_fine(stato);
}

#pragma once
#include <memory>
#include <streambuf>
#include <string>

#include "console/console_utf8.h"

// The console of the browser page (built with Emscripten and Asyncify).
// Output is the UTF-8 terminal's: code page 850 turned into UTF-8, handed to
// the page as raw bytes at each flush (a world may hold a NUL byte, so never
// as a C string). A line read flushes the output and waits, without blocking
// the browser, until the page hands over the line the player typed; the page
// first writes the game's folder back to its persistent storage. The pause
// does nothing, and a fatal world-file error ends the run with status 1 for
// the page to show. A mark hands over the output written before it, then
// tells the page what the text after it is.
namespace dettaglio_web {
// Gathers the bytes written to std::cout and hands them to the page when the
// stream is flushed. Installed before the UTF-8 transcoding, which writes
// into it.
class uscita_pagina {
protected:
  uscita_pagina();
  ~uscita_pagina();

private:
  std::unique_ptr<std::streambuf> pagina;
  std::streambuf* originale;
};
}  // namespace dettaglio_web

class console_web : private dettaglio_web::uscita_pagina, public console_utf8 {
public:
  bool leggi_riga(std::string& riga) override;
  void pausa() override {}
  [[noreturn]] void termina_fatale() override;
  void segna(segno s) override;
};

// Tells the page that the run ended with exit status `stato`.
void fine_pagina(int stato);

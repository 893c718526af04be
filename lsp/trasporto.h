#pragma once
#include <cstddef>
#include <istream>
#include <ostream>
#include <string>

// The framing of the language server's messages on a byte stream: a header
// of "Name: value" lines, each ended by CR LF, an empty line, then a body of
// exactly Content-Length bytes.
class trasporto {
public:
  enum class esito {
    messaggio,           // `corpo` holds the body of one message
    fine,                // the input is over (a message cut short included)
    intestazione_rotta,  // a header with no valid Content-Length: skipped
    troppo_grande,       // a body over the limit: read and thrown away
  };

  // Reads from `ingresso` and writes to `uscita`; a body longer than
  // `limite` bytes is never kept in memory.
  trasporto(std::istream& ingresso, std::ostream& uscita, std::size_t limite);

  // Reads the next message. A header line that is not "Name: value" breaks
  // its header; when such a line holds "Content-Length:" further on (the
  // body of a message whose length was lost, run into the next header), the
  // next header starts there, so the stream gets back in step.
  // `lunghezza_scartata` is then the announced length of a body over the
  // limit.
  esito leggi(std::string& corpo);
  std::size_t lunghezza_scartata() const { return scartati; }

  // Writes one message with its header and flushes the stream.
  void scrivi(const std::string& corpo);

private:
  bool leggi_riga(std::string& riga);
  bool salta(std::size_t n);
  std::istream& in;
  std::ostream& out;
  std::size_t limite;
  std::size_t scartati = 0;
  std::string avanzo;  // the start of a header found inside a broken line
};

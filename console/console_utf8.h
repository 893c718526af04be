#pragma once
#include <memory>
#include <streambuf>
#include <string>

#include "console/console.h"
#include "console/cp850.h"

// The console of a UTF-8 terminal. While it exists, everything written to
// standard output is turned from code page 850 into UTF-8, and every line it
// reads is turned from UTF-8 into code page 850, so the engine itself keeps
// working in code page 850 bytes.
class console_utf8 : public console {
public:
  console_utf8();
  ~console_utf8() override;
  bool leggi_riga(std::string& riga) override;
  void errore(const std::string& testo) override;
  void errore_utf8(const std::string& testo) override;

protected:
  // What was written since the last line feed, in UTF-8 (the prompt the
  // player answers), forgotten once taken.
  std::string riga_aperta();

private:
  std::unique_ptr<std::streambuf> traduttore;
  std::streambuf* originale;
};

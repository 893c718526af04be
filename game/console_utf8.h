#pragma once
#include <memory>
#include <streambuf>
#include <string>

#include "game/console.h"

// Code page 850 to UTF-8: every byte from 0x80 up becomes its character.
std::string cp850_a_utf8(const std::string& testo);
// UTF-8 to code page 850: each character that the code page has becomes its
// byte; anything else (plain ASCII, characters the code page lacks, bytes
// that are not valid UTF-8) passes through unchanged.
std::string utf8_a_cp850(const std::string& testo);

// The console of a UTF-8 terminal. While it exists, everything written to
// standard output is turned from code page 850 into UTF-8, and every line it
// reads is turned from UTF-8 into code page 850, so the engine itself keeps
// working in code page 850 bytes.
class console_utf8 : public console {
public:
  console_utf8();
  ~console_utf8() override;
  bool leggi_riga(std::string& riga) override;

private:
  std::unique_ptr<std::streambuf> traduttore;
  std::streambuf* originale;
};

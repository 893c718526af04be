#pragma once
#include <memory>
#include <string>

#include "console/console_utf8.h"

struct editline;
struct history;

// The console of a UTF-8 terminal where a player types: lines are read
// through libedit, with editing, a history of the session (Up and Down) and
// multibyte characters erased as one, then turned into code page 850 like
// console_utf8's. Meant for standard input and output both terminals; it
// sets the C library's character type locale to a UTF-8 one, which libedit
// needs for multibyte editing (C.UTF-8 when the environment names none).
class console_libedit : public console_utf8 {
public:
  console_libedit();
  ~console_libedit() override;
  console_libedit(const console_libedit&) = delete;
  console_libedit& operator=(const console_libedit&) = delete;
  bool leggi_riga(std::string& riga) override;

private:
  static const char* prompt_di(editline* e);

  editline* editore;
  history* storia;
  std::string prompt;
};

// True when standard output is a terminal and the character set of the
// environment's locale is UTF-8: a terminal that shows UTF-8. The C
// library's character type locale is left as it was.
bool terminale_utf8();

// The console for a UTF-8 terminal: libedit's when standard input and output
// are both terminals, so the player edits lines; otherwise console_utf8,
// which reads piped or redirected lines byte for byte.
std::unique_ptr<console_utf8> console_per_utf8();

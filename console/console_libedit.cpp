#include "console/console_libedit.h"

#include <histedit.h>
#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "console/cp850.h"

namespace {

bool locale_utf8() {
  const char* codifica = ::nl_langinfo(CODESET);
  return codifica != nullptr && std::strcmp(codifica, "UTF-8") == 0;
}

}  // namespace

bool terminale_utf8() {
  if (!::isatty(STDOUT_FILENO)) return false;
  const char* attuale = std::setlocale(LC_CTYPE, nullptr);
  const std::string prima = attuale != nullptr ? attuale : "C";
  const bool utf8 = std::setlocale(LC_CTYPE, "") != nullptr && locale_utf8();
  static_cast<void>(std::setlocale(LC_CTYPE, prima.c_str()));
  return utf8;
}

std::unique_ptr<console_utf8> console_per_utf8() {
  if (::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO)) return std::make_unique<console_libedit>();
  return std::make_unique<console_utf8>();
}

console_libedit::console_libedit() {
  // The terminal is UTF-8 whatever the locale says, since velt-utf8 writes
  // UTF-8 to it: an unset or "C" locale must not turn multibyte off.
  if (std::setlocale(LC_CTYPE, "") == nullptr || !locale_utf8()) {
    static_cast<void>(std::setlocale(LC_CTYPE, "C.UTF-8"));
  }
  editore = ::el_init("velt", stdin, stdout, stderr);
  storia = ::history_init();
  HistEvent evento;
  ::history(storia, &evento, H_SETSIZE, 1000);
  ::history(storia, &evento, H_SETUNIQUE, 1);
  ::el_set(editore, EL_CLIENTDATA, this);
  ::el_set(editore, EL_PROMPT, &console_libedit::prompt_di);
  ::el_set(editore, EL_EDITOR, "emacs");
  ::el_set(editore, EL_HIST, ::history, storia);
  ::el_set(editore, EL_SIGNAL, 1);
  ::el_source(editore, nullptr);  // the player's ~/.editrc, if any
}

console_libedit::~console_libedit() {
  ::el_end(editore);
  ::history_end(storia);
}

const char* console_libedit::prompt_di(editline* e) {
  void* dati = nullptr;
  ::el_get(e, EL_CLIENTDATA, &dati);
  return static_cast<console_libedit*>(dati)->prompt.c_str();
}

// The game has already printed its prompt; libedit writes it again from the
// start of the line, over itself, so that its idea of the cursor's column
// is the terminal's and redrawing an edited line keeps the prompt whole.
bool console_libedit::leggi_riga(std::string& riga) {
  std::cout.flush();
  prompt = riga_aperta();
  if (!prompt.empty() && ::write(STDOUT_FILENO, "\r", 1) != 1) prompt.clear();
  int n = 0;
  const char* letta = ::el_gets(editore, &n);
  if (letta == nullptr || n <= 0) {
    riga.clear();
    return false;
  }
  // Without the line feed, which a line ended by Ctrl-D lacks.
  riga.assign(letta);
  if (!riga.empty() && riga.back() == '\n') riga.pop_back();
  if (!riga.empty()) {
    HistEvent evento;
    ::history(storia, &evento, H_ENTER, riga.c_str());
  }
  riga = utf8_a_cp850(riga);
  return true;
}

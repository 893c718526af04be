#include "objects/testo.h"

#include <cstring>

#include "objects/arena.h"

testo::testo(std::string_view s) : testo(s, arena::attiva()) {}

testo::testo(std::string_view s, arena* a) {
  if (s.empty()) return;
  if (a != nullptr) {
    const std::string_view copia = a->copia(s);
    dati = copia.data();
    misura = copia.size();
    return;
  }
  char* p = new char[s.size()];
  std::memcpy(p, s.data(), s.size());
  dati = p;
  misura = s.size() | PROPRIO;
}

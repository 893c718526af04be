#include "objects/testo.h"

#include <cstring>

#include "objects/arena.h"

testo::testo(std::string_view s) {
  if (s.empty()) return;
  if (arena* a = arena::attiva()) {
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

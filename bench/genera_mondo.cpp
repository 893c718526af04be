#include <cstdlib>
#include <iostream>
#include <string>

#include "bench/generatore.h"

namespace {

bool numero(const char* testo, std::size_t& valore) {
  char* fine = nullptr;
  const unsigned long long n = std::strtoull(testo, &fine, 10);
  if (fine == testo || *fine != '\0' || testo[0] == '-') return false;
  valore = static_cast<std::size_t>(n);
  return true;
}

}  // namespace

// genera_mondo N M > mondo.ini: a world of N places with M objects each.
// genera_mondo N M C: instead, a script of C commands for that world, one
// line each, as a player would type them (answers included).
int main(int argc, char** argv) {
  std::size_t luoghi = 0, oggetti = 0, comandi = 0;
  if ((argc != 3 && argc != 4) || !numero(argv[1], luoghi) || !numero(argv[2], oggetti) ||
      (argc == 4 && !numero(argv[3], comandi))) {
    std::cerr << "uso: genera_mondo LUOGHI OGGETTI_PER_LUOGO [COMANDI]\n";
    return 2;
  }
  std::ios::sync_with_stdio(false);
  if (argc == 3) {
    genera_mondo(std::cout, luoghi, oggetti);
  } else {
    for (const std::string& riga : genera_copione(luoghi, oggetti, comandi))
      std::cout << riga << '\n';
  }
  std::cout.flush();
  return std::cout ? 0 : 1;
}

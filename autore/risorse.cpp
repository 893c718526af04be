#include "autore/risorse.h"

#include <system_error>

#ifndef VELT_DATI_DA_PROGRAMMI
#define VELT_DATI_DA_PROGRAMMI "../share/games/velt"
#endif

std::filesystem::path percorso_dati(const std::string& nome) {
  std::error_code e;
  const std::filesystem::path programma = std::filesystem::read_symlink("/proc/self/exe", e);
  if (e || programma.empty()) return {};
  return (programma.parent_path() / VELT_DATI_DA_PROGRAMMI / nome).lexically_normal();
}

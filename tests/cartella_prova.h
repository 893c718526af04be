#pragma once
// The scratch folder of one test run by a test program, shared by the
// transcript runner and the author tools' case runner: made fresh under the
// temporary directory, and removed when the test ends, passed or failed. A
// failed test keeps its folder only when asked to (VELT_TENERE set to
// anything but "" or "0"), and then says where.
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

// A new empty folder PREFISSO-XXXXXX under the temporary directory; empty,
// with the reason on standard error, when it cannot be made.
inline std::filesystem::path nuova_cartella_prova(const std::string& prefisso) {
  std::error_code e;
  std::string modello = (std::filesystem::temp_directory_path(e) / (prefisso + "-XXXXXX")).string();
  if (e || ::mkdtemp(modello.data()) == nullptr) {
    std::cerr << "cannot make the scratch folder " << modello << "\n";
    return {};
  }
  return modello;
}

inline bool tenere_cartelle_prova() {
  const char* v = std::getenv("VELT_TENERE");
  return v != nullptr && *v != '\0' && std::string(v) != "0";
}

// Ends the test `nome`: removes `cartella` (every folder in it opened for
// writing first, as a test may have closed some) unless the test failed
// and VELT_TENERE asks to keep it; on a failure prints one line saying so.
// Returns the exit status: 0 when `ok`, 1 otherwise.
inline int chiudi_cartella_prova(const std::filesystem::path& cartella, bool ok,
                                 const std::string& nome) {
  const bool tieni = !ok && tenere_cartelle_prova();
  if (!tieni) {
    std::error_code e;
    ::chmod(cartella.c_str(), 0700);
    for (const auto& voce : std::filesystem::recursive_directory_iterator(cartella, e)) {
      if (voce.is_directory(e) && !voce.is_symlink(e)) ::chmod(voce.path().c_str(), 0700);
    }
    std::filesystem::remove_all(cartella, e);
  }
  if (ok) return 0;
  if (tieni) {
    std::cout << nome << ": FAILED; scratch folder kept in " << cartella.string() << "\n";
  } else {
    std::cout << nome << ": FAILED (VELT_TENERE=1 keeps its scratch folder)\n";
  }
  return 1;
}

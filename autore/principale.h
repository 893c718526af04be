#pragma once
#include <ostream>
#include <string>
#include <vector>

// The command line of velt-autore: `controlla FILE`, `mappa FILE [--svg]`,
// `risolvi FILE [--max-stati N]`. Writes results to `uscita` and remarks to
// `errori`; returns the exit status (2 for a wrong command line).
int esegui_autore(const std::vector<std::string>& argomenti, std::ostream& uscita,
                  std::ostream& errori);

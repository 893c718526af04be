#pragma once
#include <ostream>
#include <string>
#include <vector>

// The command line of velt-autore: the first argument names the command
// (`controlla`, `mappa`, `risolvi`, `prova`, `copertura`, `converti`), the
// others are its own; the table of commands in principale.cpp lists them
// with their usage, one entry per command. Writes results to `uscita` and
// remarks to `errori`; returns the exit status. `--help` writes the usage
// and one line per command to `uscita`, `COMMAND --help` that command's
// usage and options, and both return 0; a command line that fits no command
// writes the usage (of the command named, if any) to `errori` and returns 2.
int esegui_autore(const std::vector<std::string>& argomenti, std::ostream& uscita,
                  std::ostream& errori);

#pragma once
#include <filesystem>
#include <string>

// The file `nome` among velt's data (the default world, the player's page),
// found from where the running program is, never from where it was built:
// the folder of the program (/proc/self/exe) joined with the path from the
// programs' folder to the data folder, as installed (../share/games/velt).
// So /usr/games/velt-autore finds /usr/share/games/velt/NOME, and a build's
// autore/velt-autore finds share/games/velt/NOME in the build folder, where
// `make web` copies the page. The file need not exist; the path is empty
// when the program's own location cannot be read.
std::filesystem::path percorso_dati(const std::string& nome);

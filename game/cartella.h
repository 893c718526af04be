#pragma once
#include <filesystem>
#include <string>

// The folder where a world given on the command line is played and saved,
// under `base` (the user's $XDG_DATA_HOME/velt). One folder per world file:
// NAME-CODE, NAME being the file's name without its extension and CODE
// sixteen hex digits from the file's full path, links resolved. The folder
// records that path in its file `origine`, so two files never share it
// (were two paths to give one CODE, the second gets NAME-CODE-2) and the
// same file, named by any relative path or link, always finds it again.
//
// Two exceptions keep older folders in use. A world file that already lies
// in a folder of `base` (its own copy, mondo.ini) is played in that folder.
// A folder made by the older rule, `base`/NAME, becomes the world's folder
// (it is renamed) only when it certainly holds this world's game: its
// mondo.ini, the copy made at the last start, is byte for byte `testo`, and
// its saved game world.ini has the world's title and the same place names.
// Any other such folder is left untouched.
//
// Returns the folder, made if needed; on failure an empty path, with the
// reason in `errore`.
std::filesystem::path cartella_partita(const std::filesystem::path& base,
                                       const std::filesystem::path& mondo, const std::string& testo,
                                       std::string& errore);

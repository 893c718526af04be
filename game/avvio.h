#pragma once

// The command line shared by velt and velt-utf8:
//
//   PROGRAMMA [OPZIONI] [MONDO]
//
// --help and --version print to standard output and return 0. An unknown
// option, a second world or a world file that cannot be read print one line
// on standard error (through the active console) and return 2 before any
// game output. With MONDO the game runs in the world's own folder under the
// user's data folder ($XDG_DATA_HOME/velt/NAME/, by default
// ~/.local/share/velt/NAME/, NAME being the file's name without its
// extension), where MONDO is copied as mondo.ini at each start; a folder that
// cannot be made or filled returns 1. A MONDO saved in UTF-8 is copied
// converted to code page 850 (see mondo_letto), with one note on standard
// error; one holding a character the code page lacks returns 2, with the
// line, column and character. Without arguments the game runs in the
// working directory, as it always did. Otherwise returns the game's status.
// With `cp850` the program takes the option --cp850 (it has chosen its
// console by it already) and --help lists it.
int avvia(int argc, char** argv, const char* programma, bool cp850 = false);

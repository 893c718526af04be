#pragma once
#include <ostream>
#include <string>
#include <vector>

// Walkthrough tests for authors. A test file is plain text, UTF-8 like the
// author's editor (it is converted to code page 850 before use):
//   > TEXT     a line the player types (the first one answers the load
//              question); the blank after '>' is optional
//   ? TEXT     what the game printed since the previous player line
//              contains TEXT
//   ! TEXT     it does not contain TEXT
//   * finale   the closing message has appeared by now
//   # ...      a comment; a blank line is nothing
//   any other line is a player line too, so the output of `risolvi` is a
//   valid test with no checks. A check before any player line looks at what
//   the game printed before its first question.

// `velt-autore prova MONDO FILE...`: runs the world, in-process with the
// game's own code in a scratch folder, on each test file and writes every
// failed check as "FILE:LINE: fallito: ..." with the text actually printed,
// then a summary line. Returns 0 only when every check holds, 1 otherwise.
int prova(const std::string& mondo, const std::vector<std::string>& file, std::ostream& uscita,
          std::ostream& errori);

// `velt-autore copertura MONDO FILE...`: runs the test files and writes,
// as "MONDO:LINE: ...", every text of the world that none of them showed
// (place descriptions and hints, object descriptions and hints, obstruction
// texts, the closing message), LINE being where the text is written; then a
// summary line with the share shown. Returns 0, or 1 when the world or a
// test file could not be run.
int copertura(const std::string& mondo, const std::vector<std::string>& file, std::ostream& uscita,
              std::ostream& errori);

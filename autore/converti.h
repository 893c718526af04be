#pragma once
#include <ostream>
#include <string>

// `velt-autore converti [--utf8] ORIGINE DESTINAZIONE`: converts a world file
// written in UTF-8 into the code page 850 the game reads (or, with
// `indietro`, a code page 850 file into UTF-8 for editing). The destination
// is written to a new file beside it and renamed over it only when the whole
// text converted and was written, so a failure leaves no half-written file
// and an existing destination untouched. A character that code page 850
// lacks and has no plain equivalent is reported on `errori` with its line;
// a file to turn into UTF-8 that is UTF-8 already is refused.
// Returns the exit status: 0 done, 1 not done.
int converti(const std::string& origine, const std::string& destinazione, bool indietro,
             std::ostream& errori);

#pragma once
#include <ostream>
#include <string>

// The page `make web` builds, where `pubblica` looks for it by default.
extern const char* const pagina_predefinita;

// The empty element of the player's page and of the studio that holds an
// inlined world, as base64 text.
extern const std::string mondo_vuoto;

// `dati` in base64 (RFC 4648, with padding).
std::string base64(const std::string& dati);

// `pubblica MONDO [--pagina FILE]`: writes to `uscita` one self-contained
// HTML file that plays the world `nome` in a browser: the page `pagina` (the
// browser build's velt.html) with the world inlined and the world's title as
// the page's title. A world in UTF-8 is converted to code page 850 first, as
// the page does with a file the player opens. Returns 0; 1 when the world
// holds a character that code page 850 lacks; 2 when the world or the page
// cannot be read or the game would stop on the world. Nothing is written to
// `uscita` unless it succeeds; the reason goes to `errori`.
int pubblica(const std::string& nome, const std::string& pagina, std::ostream& uscita,
             std::ostream& errori);

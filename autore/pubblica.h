#pragma once
#include <ostream>
#include <string>

// The player's page that `pubblica` uses without --pagina: velt.html among
// the installed data, beside the running program (see percorso_dati).
std::string pagina_predefinita();

// The empty element of the player's page and of the studio that holds an
// inlined world, as base64 text.
extern const std::string mondo_vuoto;

// `dati` in base64 (RFC 4648, with padding).
std::string base64(const std::string& dati);

// What the published page says about the game besides its title (UTF-8; an
// empty field is left out).
struct presentazione {
  std::string autore;
  std::string descrizione;
};

// `pubblica MONDO [--pagina FILE]`: writes to `uscita` one self-contained
// HTML file that plays the world `nome` in a browser: the page `pagina` (the
// browser build's velt.html) with the world inlined, the world's title as
// the page's title and heading, `chi` above the game and in the meta tags
// for link previews, and without the author's controls (opening another
// world, the note about encodings). A world in UTF-8 is converted to code page 850 first, as
// the page does with a file the player opens. Returns 0; 1 when the world
// holds a character that code page 850 lacks; 2 when the world or the page
// cannot be read or the game would stop on the world. Nothing is written to
// `uscita` unless it succeeds; the reason goes to `errori`.
int pubblica(const std::string& nome, const std::string& pagina, const presentazione& chi,
             std::ostream& uscita, std::ostream& errori);

#pragma once
#include <ostream>
#include <string>

// The studio installed beside the default world (studio.html, found as
// pagina_predefinita finds the player's page), where `studio` looks for it
// by default.
std::string studio_predefinito();

// `studio [MONDO] -o FILE [--studio STUDIO]`: writes to `destinazione` the
// studio page `pagina` (the browser build's studio.html), with the world
// file `mondo` inlined when one is named, so the studio opens on it. The
// world goes in as it is, in code page 850 or UTF-8: the studio reads both.
// The file is written beside the destination and renamed over it only when
// complete. Returns 0; 2 when the world or the studio cannot be read or the
// destination cannot be written, with the reason on `errori`.
int studio(const std::string& mondo, const std::string& pagina, const std::string& destinazione,
           std::ostream& errori);

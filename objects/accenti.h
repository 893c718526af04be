#pragma once
// Accented letters of the engine's own messages, as single bytes of the
// console's OEM code page (850). They are string literals, so a message is
// written as adjacent literals: "perch" E_GRAVE " ..." keeps every byte visible
// and avoids hex escapes that swallow the letters after them.
#define A_GRAVE "\x85"
#define E_GRAVE "\x8A"
#define O_GRAVE "\x95"
#define U_GRAVE "\x97"
// The horizontal box-drawing stroke used by the help text's rules.
#define TRATTO "\xC4"

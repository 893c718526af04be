#pragma once
#include <string>

#include <nlohmann/json.hpp>

#include "lsp/documento.h"

// The server's answers about one document, built from its analysis: each
// function takes the document and the request's parameters already read,
// and returns the JSON of the LSP result. Positions are the editor's (line
// from 0, UTF-16 units).

using json = nlohmann::json;

// A request that is well formed but cannot be done (a rename to a name that
// is not allowed); the server answers it with this error.
struct richiesta_fallita {
  std::string messaggio;
};

// The range of the editor that an author's stretch covers. Line 0 (the file
// as a whole) is the start of the document.
json intervallo_lsp(const documento& doc, const intervallo& dove);

// Diagnostic[]: every diagnostic of the analysis, with its code.
json diagnostiche_lsp(const documento& doc);

// DocumentSymbol[]: sections, places and objects, each inside the symbol that
// encloses it.
json simboli_lsp(const documento& doc);

// Location, or null: where the place or object named at the position is
// defined. A name in its own definition leads to itself.
json definizione_lsp(const documento& doc, const std::string& uri, unsigned long riga,
                     unsigned long unita);

// Location[], or null: every use of the place or object named at the
// position, in file order, with the definitions when `dichiarazioni`. Names
// are the game's identity (it finds places and objects by name), so every
// use of the same name counts, whichever definition it resolves to.
json riferimenti_lsp(const documento& doc, const std::string& uri, unsigned long riga,
                     unsigned long unita, bool dichiarazioni);

// Hover, or null: the kind of the named thing and the first line of its
// description.
json hover_lsp(const documento& doc, unsigned long riga, unsigned long unita);

// The range and text of the name at the position, or null when there is no
// name to rename there.
json prepara_rinomina_lsp(const documento& doc, unsigned long riga, unsigned long unita);

// WorkspaceEdit: every definition and use of the name at the position become
// `nuovo`. Throws `richiesta_fallita` when `nuovo` cannot be a name (empty,
// on more than one line, a character that code page 850 lacks, "NULL" for a
// place) or is the name of another place or object already.
json rinomina_lsp(const documento& doc, const std::string& uri, unsigned long riga,
                  unsigned long unita, const std::string& nuovo);

// CodeAction[]: the analysis's fixes for the diagnostics on the lines of
// `intervallo`, as quick fixes.
json azioni_lsp(const documento& doc, const std::string& uri, const json& intervallo,
                const json& contesto);

// CompletionItem[] at the position: markers that may stand on that line,
// keys of the enclosing record or section, place names after the `=` of
// links, NOMELUOGO, INIZIO and FINELUOGO, object names after REAGENTE and
// OBJ, and the words a direction or a flag may be.
json completamento_lsp(const documento& doc, unsigned long riga, unsigned long unita);

#pragma once
#include <cstddef>
#include <istream>
#include <ostream>

// The largest message the language server reads: a world of many times the
// size of any written by hand fits; a longer message is skipped and answered
// with an error.
constexpr std::size_t LIMITE_MESSAGGIO = 64u * 1024 * 1024;

// `velt-autore lsp`: the language server for world files, speaking LSP over
// `ingresso` and `uscita` until the editor sends "exit" or closes the input.
// Returns the exit status: 0 after a "shutdown", 1 otherwise.
int esegui_lsp(std::istream& ingresso, std::ostream& uscita, std::size_t limite = LIMITE_MESSAGGIO);

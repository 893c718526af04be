#include "analisi/completamento.h"

#include "lsp/funzioni.h"

namespace {

// LSP's CompletionItemKind, by the kind of proposal.
int tipo_lsp(genere_proposta g) {
  switch (g) {
    case genere_proposta::marcatore:
      return 14;  // Keyword
    case genere_proposta::chiave:
      return 10;  // Property
    case genere_proposta::luogo:
      return 7;  // Class
    case genere_proposta::oggetto:
      return 6;  // Variable
    default:
      return 12;  // Value
  }
}

}  // namespace

json completamento_lsp(const documento& doc, unsigned long riga, unsigned long unita) {
  if (riga >= doc.numero_righe()) return json::array();
  const righe_testo righe(doc.testo());
  const completamento c = completa(doc.analisi(), righe, riga + 1, doc.colonna(riga, unita));
  const json dove = {{"start", {{"line", riga}, {"character", doc.unita(riga, c.da)}}},
                     {"end", {{"line", riga}, {"character", doc.unita(riga, c.a)}}}};
  json voci = json::array();
  for (const proposta& p : c.proposte) {
    voci.push_back({{"label", p.etichetta},
                    {"kind", tipo_lsp(p.genere)},
                    {"textEdit", {{"range", dove}, {"newText", p.testo}}}});
  }
  return voci;
}

#include "autore/mappa.h"

#include "autore/comune.h"
#include "console/console_utf8.h"

namespace {

// A DOT string: UTF-8 between double quotes, with quotes and backslashes
// escaped and line feeds as DOT's centred line breaks.
std::string dot(const std::string& testo) {
  std::string fuori = "\"";
  for (char c : cp850_a_utf8(testo)) {
    if (c == '"' || c == '\\') fuori += '\\';
    if (c == '\n') {
      fuori += "\\n";
    } else {
      fuori += c;
    }
  }
  return fuori + '"';
}

direzione opposta(int d) { return direzione(d ^ 1); }  // nord<->sud, est<->ovest, alto<->basso

bool libera(const luogo& l, int d) { return l.ostruzione(direzione(d)).empty(); }

void scrivi_nodo(const ambiente& mondo, const luogo& l, std::ostream& uscita) {
  std::string etichetta = l.sopranome_().empty() ? l.name() : std::string(l.sopranome_());
  std::string stile;
  if (&l == mondo.corrente()) {
    etichetta += "\n(partenza)";
    stile += ", color=darkgreen, penwidth=2";
  }
  if (&l == mondo.finale()) {
    etichetta += "\n(fine)";
    stile += ", color=red, penwidth=2";
  }
  if (!l.illuminazione_()) stile += ", style=\"rounded,filled\", fillcolor=gray45, fontcolor=white";
  uscita << "  " << dot(l.name()) << " [label=" << dot(etichetta) << stile << "];\n";
}

void scrivi_uscite(const luogo& l, std::ostream& uscita) {
  for (int d = 0; d < NUM_DIREZIONI; ++d) {
    const luogo* meta = l.collegamento(direzione(d));
    if (meta == nullptr) continue;
    const bool ritorno = meta->collegamento(opposta(d)) == &l;
    const bool coppia = ritorno && meta != &l && libera(l, d) && libera(*meta, opposta(d));
    // A free pair is drawn once, from the place whose name sorts first.
    if (coppia && meta->name() < l.name()) continue;
    uscita << "  " << dot(l.name()) << " -> " << dot(meta->name()) << " [";
    if (coppia) {
      uscita << "dir=both, taillabel=\"" << parole_direzione[d] << "\", headlabel=\""
             << parole_direzione[opposta(d)] << '"';
    } else {
      uscita << "label=\"" << parole_direzione[d] << '"';
      if (!ritorno) uscita << ", color=blue, fontcolor=blue";
      if (!libera(l, d)) {
        uscita << ", style=dashed, tooltip=" << dot(std::string(l.ostruzione(direzione(d))));
      }
    }
    uscita << "];\n";
  }
}

}  // namespace

void scrivi_mappa(const ambiente& mondo, std::ostream& uscita) {
  uscita << "digraph mondo {\n";
  std::string titolo = mondo.prntitolo();
  if (!titolo.empty() && titolo.back() == '\n') titolo.pop_back();
  if (!titolo.empty()) uscita << "  label=" << dot(titolo) << ";\n  labelloc=t;\n";
  uscita << "  graph [nodesep=0.8, ranksep=0.9];\n"
         << "  node [shape=box, style=rounded];\n"
         << "  edge [fontsize=10, labelfontsize=10, labeldistance=2, labelangle=35];\n";
  for (const auto& voce : mondo.luoghi_()) scrivi_nodo(mondo, *voce.second, uscita);
  for (const auto& voce : mondo.luoghi_()) scrivi_uscite(*voce.second, uscita);
  uscita << "}\n";
}

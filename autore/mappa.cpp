#include "autore/mappa.h"

#include <algorithm>
#include <vector>

#include "analisi/disposizione.h"
#include "autore/comune.h"

namespace {

// A DOT string: UTF-8 between double quotes, with quotes and backslashes
// escaped and line feeds as DOT's centred line breaks.
std::string dot(const std::string& testo) {
  std::string fuori = "\"";
  for (char c : testo) {
    if (c == '"' || c == '\\') fuori += '\\';
    if (c == '\n') {
      fuori += "\\n";
    } else {
      fuori += c;
    }
  }
  return fuori + '"';
}

void scrivi_nodo(const nodo_mappa& n, std::ostream& uscita) {
  std::string etichetta = n.titolo;
  std::string stile;
  if (n.partenza) {
    etichetta += "\n(partenza)";
    stile += ", color=darkgreen, penwidth=2";
  }
  if (n.fine) {
    etichetta += "\n(fine)";
    stile += ", color=red, penwidth=2";
  }
  if (n.buio) stile += ", style=\"rounded,filled\", fillcolor=gray45, fontcolor=white";
  uscita << "  " << dot(n.nome) << " [label=" << dot(etichetta) << stile << "];\n";
}

void scrivi_arco(const grafo_mappa& g, const uscita_mappa& u, tratto t, std::ostream& uscita) {
  const int d = u.direzione;
  uscita << "  " << dot(g.nodi[static_cast<std::size_t>(u.da)].nome) << " -> "
         << dot(g.nodi[static_cast<std::size_t>(u.a)].nome) << " [";
  if (t == tratto::coppia) {
    uscita << "dir=both, taillabel=\"" << parole_direzione[d] << "\", headlabel=\""
           << parole_direzione[d ^ 1] << '"';
  } else {
    uscita << "label=\"" << parole_direzione[d] << '"';
    if (u.senso_unico) uscita << ", color=blue, fontcolor=blue";
    if (!u.ostruzione.empty()) uscita << ", style=dashed, tooltip=" << dot(u.ostruzione);
  }
  uscita << "];\n";
}

}  // namespace

void scrivi_dot(const grafo_mappa& g, std::ostream& uscita) {
  uscita << "digraph mondo {\n";
  if (!g.titolo.empty()) uscita << "  label=" << dot(g.titolo) << ";\n  labelloc=t;\n";
  uscita << "  graph [nodesep=0.8, ranksep=0.9];\n"
         << "  node [shape=box, style=rounded];\n"
         << "  edge [fontsize=10, labelfontsize=10, labeldistance=2, labelangle=35];\n";
  for (const nodo_mappa& n : g.nodi) scrivi_nodo(n, uscita);
  // Exits by place, then direction, whatever their order in the graph.
  const std::vector<tratto> t = tratti(g);
  std::vector<std::size_t> ordine;
  for (std::size_t i = 0; i < g.uscite.size(); ++i) {
    if (t[i] != tratto::nessuno) ordine.push_back(i);
  }
  std::sort(ordine.begin(), ordine.end(), [&](std::size_t a, std::size_t b) {
    const uscita_mappa &x = g.uscite[a], &y = g.uscite[b];
    return x.da != y.da ? x.da < y.da : x.direzione < y.direzione;
  });
  for (std::size_t i : ordine) scrivi_arco(g, g.uscite[i], t[i], uscita);
  uscita << "}\n";
}

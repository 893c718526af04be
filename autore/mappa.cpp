#include "autore/mappa.h"

#include <algorithm>
#include <vector>

#include "analisi/disposizione.h"
#include "autore/comune.h"
#include "console/cp850.h"

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

grafo_mappa grafo_del_mondo(const ambiente& mondo,
                            const std::map<std::string, unsigned long>& righe) {
  grafo_mappa g;
  g.titolo = cp850_a_utf8(mondo.prntitolo());
  if (!g.titolo.empty() && g.titolo.back() == '\n') g.titolo.pop_back();
  std::map<const luogo*, long> indice;
  for (const auto& voce : mondo.luoghi_()) {
    const luogo& l = *voce.second;
    nodo_mappa n;
    n.nome = cp850_a_utf8(l.name());
    n.titolo = cp850_a_utf8(l.sopranome_().empty() ? l.name() : std::string(l.sopranome_()));
    n.buio = !l.illuminazione_();
    n.partenza = &l == mondo.corrente();
    n.fine = &l == mondo.finale();
    n.raggiungibile = false;
    auto riga = righe.find(l.name());
    if (riga != righe.end()) n.riga = riga->second;
    indice[&l] = static_cast<long>(g.nodi.size());
    g.nodi.push_back(n);
  }
  for (const auto& voce : mondo.luoghi_()) {
    const luogo& l = *voce.second;
    for (int d = 0; d < NUM_DIREZIONI; ++d) {
      const luogo* meta = l.collegamento(direzione(d));
      if (meta == nullptr || indice.count(meta) == 0) continue;
      uscita_mappa u;
      u.da = indice[&l];
      u.a = indice[meta];
      u.direzione = d;
      u.ostruzione = cp850_a_utf8(std::string(l.ostruzione(direzione(d))));
      u.senso_unico = meta->collegamento(direzione(d ^ 1)) != &l;
      g.uscite.push_back(u);
    }
  }
  std::vector<std::vector<long>> avanti(g.nodi.size());
  for (const uscita_mappa& u : g.uscite) avanti[static_cast<std::size_t>(u.da)].push_back(u.a);
  std::vector<long> coda;
  for (std::size_t i = 0; i < g.nodi.size(); ++i) {
    if (g.nodi[i].partenza) coda.push_back(static_cast<long>(i));
  }
  for (std::size_t t = 0; t < coda.size(); ++t) {
    nodo_mappa& n = g.nodi[static_cast<std::size_t>(coda[t])];
    if (n.raggiungibile) continue;
    n.raggiungibile = true;
    for (long v : avanti[static_cast<std::size_t>(coda[t])]) coda.push_back(v);
  }
  return g;
}

#include <algorithm>
#include <cmath>
#include <string>

#include "analisi/caricamento.h"
#include "analisi/disposizione.h"

// The SVG of a laid-out map, written by hand: boxes on top of the arrows, so
// an arrow that crosses a place passes under it, and the labels last. Styles
// are attributes, not a style sheet, so the picture looks the same inside a
// page that embeds it; class names and data attributes are there for such a
// page to find places and exits.

namespace {

constexpr double MARGINE = 48;  // around the places: room for the outer labels
constexpr double TITOLO = 34;   // the world's title
constexpr double LEGENDA = 40;  // the lines explaining the marks
constexpr double SCOSTA = 6;    // an arrow of its own beside the way back
constexpr double CIMA_SCALA = 14;  // where up and down leave a box, from its corner

const char* const NERO = "#333333";
const char* const BLU = "#1f5fbf";
const char* const ARANCIO = "#b35900";

// Text for an attribute or an element: the five XML specials as entities,
// control characters (which XML forbids) as blanks.
std::string xml(const std::string& testo) {
  std::string fuori;
  fuori.reserve(testo.size());
  for (char c : testo) {
    switch (c) {
      case '&': fuori += "&amp;"; break;
      case '<': fuori += "&lt;"; break;
      case '>': fuori += "&gt;"; break;
      case '"': fuori += "&quot;"; break;
      case '\'': fuori += "&apos;"; break;
      default: fuori += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
  }
  return fuori;
}

// A coordinate with one decimal, whatever the locale (and with no
// floating-point formatting, which not every library of the browser build has).
std::string num(double v) {
  const long long decimi = std::llround(v * 10);
  const unsigned long long assoluto = static_cast<unsigned long long>(decimi < 0 ? -decimi : decimi);
  return (decimi < 0 ? "-" : "") + std::to_string(assoluto / 10) + '.' +
         static_cast<char>('0' + assoluto % 10);
}

struct punto {
  double x, y;
};

// Where an exit in direction `d` leaves the box of `n`, and which way it
// heads from there.
punto attacco(const nodo_mappa& n, int d) {
  const double l = n.x - n.larghezza / 2, r = n.x + n.larghezza / 2;
  const double t = n.y - n.altezza / 2, b = n.y + n.altezza / 2;
  switch (d) {
    case 0: return {n.x, t};
    case 1: return {n.x, b};
    case 2: return {r, n.y};
    case 3: return {l, n.y};
    case 4: return {l + CIMA_SCALA, t};
    default: return {r - CIMA_SCALA, b};
  }
}

punto verso(int d) {
  static const punto v[NUM_DIREZIONI_MAPPA] = {{0, -1}, {0, 1}, {1, 0}, {-1, 0}, {-0.6, -1}, {0.6, 1}};
  return v[d];
}

// An exit drawn on its own is moved aside, to the right of the way it
// leaves, so that it does not hide the exit back along the same line.
punto scosta(int d) {
  static const punto v[NUM_DIREZIONI_MAPPA] = {{1, 0}, {-1, 0}, {0, -1}, {0, 1}, {1, 0}, {-1, 0}};
  return {v[d].x * SCOSTA, v[d].y * SCOSTA};
}

// The label of the exit in direction `d` of `n`: each direction has its own
// slot beside the box, clear of the other slots of the box and of the slots
// of the neighbouring boxes (the layout leaves gaps wide enough for them).
void etichetta(const nodo_mappa& n, int d, const char* colore, std::ostream& o) {
  const double l = n.x - n.larghezza / 2, r = n.x + n.larghezza / 2;
  const double t = n.y - n.altezza / 2, b = n.y + n.altezza / 2;
  double x = 0, y = 0;
  bool a_destra = true;  // the text starts at x (else it ends there)
  switch (d) {
    case 0: x = n.x + 10, y = t - 5; break;
    case 1: x = n.x - 10, y = b + 13, a_destra = false; break;
    case 2: x = r + 5, y = n.y - 5; break;
    case 3: x = l - 5, y = n.y + 13, a_destra = false; break;
    case 4: x = l + CIMA_SCALA + 10, y = t - 5; break;
    default: x = r - CIMA_SCALA - 10, y = b + 13, a_destra = false;
  }
  o << "<text class=\"direzione\" x=\"" << num(x) << "\" y=\"" << num(y) << "\" text-anchor=\""
    << (a_destra ? "start" : "end") << "\" fill=\"" << colore << "\">" << parole_direzione[d] << "</text>\n";
}

// The colour and marker suffix of an exit.
struct aspetto {
  const char* colore;
  const char* nome;
  const char* classe;
};

aspetto aspetto_di(const uscita_mappa& u, tratto t) {
  if (t == tratto::coppia) return {NERO, "nera", "uscita coppia"};
  if (!u.ostruzione.empty()) return {ARANCIO, "arancio", "uscita ostruita"};
  if (u.senso_unico) return {BLU, "blu", "uscita senso-unico"};
  return {NERO, "nera", "uscita"};
}

void scrivi_uscita(const grafo_mappa& g, const uscita_mappa& u, tratto t, std::ostream& o) {
  const nodo_mappa& da = g.nodi[static_cast<std::size_t>(u.da)];
  const nodo_mappa& a = g.nodi[static_cast<std::size_t>(u.a)];
  const int d = u.direzione, ritorno = d ^ 1;
  const aspetto s = aspetto_di(u, t);
  punto p0 = attacco(da, d), p3 = attacco(a, ritorno);
  punto v0 = verso(d), v3 = verso(ritorno);
  if (t == tratto::sola) {
    const punto c = scosta(d);
    p0 = {p0.x + c.x, p0.y + c.y};
    p3 = {p3.x + c.x, p3.y + c.y};
  }
  if (u.da == u.a) {
    // Back into the same place: a small loop on that side of the box.
    const punto base = attacco(da, d), di_lato = {v0.y * 10, -v0.x * 10};
    p0 = {base.x + di_lato.x, base.y + di_lato.y};
    p3 = {base.x - di_lato.x, base.y - di_lato.y};
    v3 = v0;
  }
  const double distanza = std::hypot(p3.x - p0.x, p3.y - p0.y);
  const double leva = u.da == u.a ? 36 : std::clamp(distanza * 0.4, 16.0, 90.0);
  const punto c1 = {p0.x + v0.x * leva, p0.y + v0.y * leva};
  const punto c2 = {p3.x + v3.x * leva, p3.y + v3.y * leva};
  o << "<path class=\"" << s.classe << "\" data-da=\"" << xml(da.nome) << "\" data-a=\""
    << xml(a.nome) << "\" d=\"M" << num(p0.x) << ',' << num(p0.y) << " C" << num(c1.x) << ','
    << num(c1.y) << ' ' << num(c2.x) << ',' << num(c2.y) << ' ' << num(p3.x) << ',' << num(p3.y)
    << "\" fill=\"none\" stroke=\"" << s.colore << "\" stroke-width=\"1.5\"";
  if (!u.ostruzione.empty()) o << " stroke-dasharray=\"6 4\"";
  if (t == tratto::coppia) o << " marker-start=\"url(#velt-coda-" << s.nome << ")\"";
  o << " marker-end=\"url(#velt-punta-" << s.nome << ")\"";
  if (u.ostruzione.empty()) {
    o << "/>\n";
  } else {
    o << "><title>" << xml(u.ostruzione) << "</title></path>\n";
  }
}

void scrivi_luogo(const nodo_mappa& n, std::ostream& o) {
  std::string classe = "luogo";
  if (n.buio) classe += " buio";
  if (n.partenza) classe += " partenza";
  if (n.fine) classe += " fine";
  if (!n.raggiungibile) classe += " irraggiungibile";
  const char* bordo = n.partenza ? "#1a7f37" : n.fine ? "#c62828" : n.raggiungibile ? "#444444" : "#999999";
  const char* testo = n.buio ? "#ffffff" : "#222222";
  const std::string segni = segni_luogo(n);
  o << "<g class=\"" << classe << "\" data-nome=\"" << xml(n.nome) << "\" data-riga=\"" << n.riga
    << "\">\n<title>" << xml(n.nome) << "</title>\n<rect x=\"" << num(n.x - n.larghezza / 2)
    << "\" y=\"" << num(n.y - n.altezza / 2) << "\" width=\"" << num(n.larghezza)
    << "\" height=\"" << num(n.altezza) << "\" rx=\"6\" fill=\"" << (n.buio ? "#4a4a4a" : "#fffdf5")
    << "\" stroke=\"" << bordo << "\" stroke-width=\"" << (n.partenza || n.fine ? 3 : 1.5) << '"';
  if (!n.raggiungibile) o << " stroke-dasharray=\"5 3\"";
  o << "/>\n<text class=\"titolo\" x=\"" << num(n.x) << "\" y=\"" << num(n.y + (segni.empty() ? 5 : -2))
    << "\" text-anchor=\"middle\" font-size=\"13\" fill=\"" << testo << "\">" << xml(n.titolo)
    << "</text>\n";
  if (!segni.empty()) {
    o << "<text class=\"segni\" x=\"" << num(n.x) << "\" y=\"" << num(n.y + 14)
      << "\" text-anchor=\"middle\" font-size=\"10\" font-style=\"italic\" fill=\"" << testo
      << "\">" << xml(segni) << "</text>\n";
  }
  o << "</g>\n";
}

void scrivi_frecce(std::ostream& o) {
  const struct {
    const char* nome;
    const char* colore;
  } colori[] = {{"nera", NERO}, {"blu", BLU}, {"arancio", ARANCIO}};
  o << "<defs>\n";
  for (const auto& c : colori) {
    o << "<marker id=\"velt-punta-" << c.nome << "\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" "
      << "markerWidth=\"7\" markerHeight=\"7\" orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 z\" fill=\""
      << c.colore << "\"/></marker>\n"
      << "<marker id=\"velt-coda-" << c.nome << "\" viewBox=\"0 0 10 10\" refX=\"1\" refY=\"5\" "
      << "markerWidth=\"7\" markerHeight=\"7\" orient=\"auto\"><path d=\"M10,0 L0,5 L10,10 z\" fill=\""
      << c.colore << "\"/></marker>\n";
  }
  o << "</defs>\n";
}

}  // namespace

void scrivi_svg(const grafo_mappa& g, std::ostream& o) {
  double destra = 0, basso = 0;
  for (const nodo_mappa& n : g.nodi) {
    destra = std::max(destra, n.x + n.larghezza / 2);
    basso = std::max(basso, n.y + n.altezza / 2);
  }
  const double testa = (g.titolo.empty() ? 0 : TITOLO) + LEGENDA;
  const double larga = std::max(destra + 2 * MARGINE, 560.0);
  const double alta = basso + 2 * MARGINE + testa;
  o << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    << "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"velt-mappa\" width=\"" << num(larga)
    << "\" height=\"" << num(alta) << "\" viewBox=\"0 0 " << num(larga) << ' ' << num(alta)
    << "\" font-family=\"DejaVu Sans, Verdana, sans-serif\">\n";
  scrivi_frecce(o);
  o << "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  double y = MARGINE / 2;
  if (!g.titolo.empty()) {
    std::string titolo = g.titolo;
    std::replace(titolo.begin(), titolo.end(), '\n', ' ');
    o << "<text class=\"titolo-mondo\" x=\"" << num(larga / 2) << "\" y=\"" << num(y + 16)
      << "\" text-anchor=\"middle\" font-size=\"18\" font-weight=\"bold\" fill=\"#222222\">"
      << xml(titolo) << "</text>\n";
    y += TITOLO;
  }
  // Two lines, each narrower than the narrowest picture.
  o << "<text class=\"legenda\" x=\"" << num(larga / 2) << "\" y=\"" << num(y + 10)
    << "\" text-anchor=\"middle\" font-size=\"11\" fill=\"#555555\">"
    << "<tspan fill=\"#1a7f37\">bordo verde: partenza</tspan> · "
    << "<tspan fill=\"#c62828\">bordo rosso: fine</tspan> · grigio: buio · "
    << "bordo tratteggiato: irraggiungibile</text>\n"
    << "<text class=\"legenda\" x=\"" << num(larga / 2) << "\" y=\"" << num(y + 26)
    << "\" text-anchor=\"middle\" font-size=\"11\" fill=\"#555555\">"
    << "<tspan fill=\"" << BLU << "\">freccia blu: senso unico</tspan> · "
    << "<tspan fill=\"" << ARANCIO << "\">freccia tratteggiata: ostruita</tspan> · "
    << "alto e basso: un altro piano</text>\n";
  o << "<g transform=\"translate(" << num(MARGINE) << ',' << num(MARGINE + testa) << ")\">\n";
  const std::vector<tratto> t = tratti(g);
  o << "<g class=\"uscite\">\n";
  for (std::size_t i = 0; i < g.uscite.size(); ++i) {
    if (t[i] != tratto::nessuno) scrivi_uscita(g, g.uscite[i], t[i], o);
  }
  o << "</g>\n<g class=\"luoghi\">\n";
  for (const nodo_mappa& n : g.nodi) scrivi_luogo(n, o);
  o << "</g>\n<g class=\"direzioni\" font-size=\"11\" stroke=\"#ffffff\" stroke-width=\"3\" "
    << "paint-order=\"stroke\">\n";
  for (std::size_t i = 0; i < g.uscite.size(); ++i) {
    if (t[i] == tratto::nessuno) continue;
    const uscita_mappa& u = g.uscite[i];
    const char* colore = aspetto_di(u, t[i]).colore;
    etichetta(g.nodi[static_cast<std::size_t>(u.da)], u.direzione, colore, o);
    if (t[i] == tratto::coppia) etichetta(g.nodi[static_cast<std::size_t>(u.a)], u.direzione ^ 1, colore, o);
  }
  o << "</g>\n</g>\n</svg>\n";
}

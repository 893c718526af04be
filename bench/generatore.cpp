#include "bench/generatore.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "objects/accenti.h"

namespace {

const char* const direzioni[] = {"nord", "sud", "est", "ovest"};
const char* const chiavi_direzioni[] = {"NORD", "SUD", "EST", "OVEST", "ALTO", "BASSO"};
const char* const materiali[] = {"legno", "pietra", "ferro", "ottone", "marmo", "vetro", "rame"};
const char* const colori[] = {"grigie", "rosse", "bianche", "scure", "verdi"};

// The kind of the object in slot `j` of every place, in turn.
enum genere_slot { CONTENITORE, NASCONDIGLIO, OSTRUZIONE, LAMPADA, SEMPLICE, NUM_GENERI };

genere_slot genere_di(std::size_t j) { return static_cast<genere_slot>(j % NUM_GENERI); }

// The direction (index into `direzioni`) blocked by the obstruction of slot `j`.
std::size_t direzione_di(std::size_t j) { return (j / NUM_GENERI) % 4; }

std::string nome_slot(std::size_t j) {
  static const char* const radici[] = {"baule", "tappeto", "cancello", "lanterna", "moneta"};
  return radici[genere_di(j)] + std::to_string(j);
}

// The grid is as wide as the square root of the number of places, so it is
// about as tall as it is wide.
std::size_t larghezza(std::size_t luoghi) {
  std::size_t w = static_cast<std::size_t>(std::sqrt(static_cast<double>(luoghi)));
  while (w * w < luoghi) ++w;
  return std::max<std::size_t>(w, 1);
}

// Zero-padded, so the names sort as their numbers do.
std::string nome_luogo(std::size_t i, std::size_t luoghi) {
  std::string cifre = std::to_string(i);
  const std::size_t larga = std::to_string(luoghi > 0 ? luoghi - 1 : 0).size();
  return "luogo" + std::string(larga - cifre.size(), '0') + cifre;
}

// One object record with every key of its kind, as the game saves it.
struct record {
  const char* genere;
  std::string nome, descrizione, suggerimento, reagente, direzione;
  bool illuminabile = false, trasportabile = false, spostabile = false, apribile = false,
       acceso = false;
  int aperto = -1;  // -1: the kind has no APERTO key
};

const char* flag(bool b) { return b ? "TRUE" : "FALSE"; }

void scrivi_record(std::string& out, const record& r) {
  out += "\n[";
  out += r.genere;
  out += "]\nNOMEOGGETTO=" + r.nome + "\nDESCRIZIONE=" + r.descrizione +
         "\nSUGGERIMENTO=" + r.suggerimento + "\nREAGENTE=" + r.reagente;
  if (r.genere == std::string("OggOstruzione")) out += "\nDIREZIONE=" + r.direzione;
  out += std::string("\nILLUMINABILE=") + flag(r.illuminabile) +
         "\nTRASPORTABILE=" + flag(r.trasportabile) + "\nSPOSTABILE=" + flag(r.spostabile) +
         "\nAPRIBILE=" + flag(r.apribile) + "\nACCESO=" + flag(r.acceso);
  if (r.aperto >= 0) out += std::string("\nAPERTO=") + flag(r.aperto != 0);
  out += std::string("\n[End") + r.genere + "]\n";
}

record semplice(std::string nome, std::string descrizione) {
  record r;
  r.genere = "Oggetto";
  r.nome = std::move(nome);
  r.descrizione = std::move(descrizione);
  r.trasportabile = true;
  return r;
}

// The record of slot `j` of place `i` with its list, if its kind has one;
// counts the objects written into `contati`.
std::string oggetto_slot(std::size_t i, std::size_t j, std::size_t& contati) {
  const std::string n = std::to_string(i);
  const std::string nome = nome_slot(j);
  const char* materiale = materiali[(i + j) % 7];
  std::string out;
  record r;
  switch (genere_di(j)) {
    case CONTENITORE: {
      r.genere = "OggContenitore";
      r.nome = nome;
      r.descrizione = std::string("Un baule di ") + materiale + " del luogo " + n + ", chiuso.";
      if (j == 0) r.suggerimento = "Il coperchio si solleva senza chiave.";
      r.apribile = true;
      r.aperto = 0;
      scrivi_record(out, r);
      out += "\n[OggInContenitore]\n";
      for (const char* parte : {"a", "b"}) {
        scrivi_record(out, semplice("gemma" + std::to_string(j) + parte,
                                    "Una gemma trovata nel baule " + std::to_string(j) +
                                        " del luogo " + n + "."));
      }
      out += "[EndOggInContenitore]\n";
      contati += 3;
      return out;
    }
    case NASCONDIGLIO: {
      r.genere = "OggNascondiglio";
      r.nome = nome;
      r.descrizione = "Un tappeto consumato, steso sul pavimento del luogo " + n + ".";
      r.suggerimento = "Sotto il tappeto c'era qualcosa.";
      r.spostabile = true;
      scrivi_record(out, r);
      out += "\n[OggNascosti]\n";
      scrivi_record(out, semplice("chiave" + std::to_string(j),
                                  std::string("Una piccola chiave di ") + materiale + "."));
      out += "[EndOggNascosti]\n";
      contati += 2;
      return out;
    }
    case OSTRUZIONE:
      r.genere = "OggOstruzione";
      r.nome = nome;
      r.descrizione =
          std::string("Un cancello di ") + materiale + " verso " + direzioni[direzione_di(j)] + ".";
      r.suggerimento = "Il cancello cigola mentre si apre.";
      r.direzione = direzioni[direzione_di(j)];
      r.apribile = true;
      r.aperto = 0;
      break;
    case LAMPADA:
      r.genere = "Oggetto";
      r.nome = nome;
      r.descrizione = "Una lanterna a olio con il vetro annerito.";
      r.reagente = "fiammiferi";
      r.illuminabile = true;
      r.trasportabile = true;
      break;
    default:
      r = semplice(nome, "Una moneta d'argento coniata nel luogo " + n + ".");
      if (i % 3 == 0) r.suggerimento = "Sul retro c'" E_GRAVE " inciso un numero.";
  }
  scrivi_record(out, r);
  contati += 1;
  return out;
}

void scrivi_luogo(std::string& out, std::size_t i, std::size_t luoghi, std::size_t oggetti,
                  std::size_t& contati) {
  const std::size_t w = larghezza(luoghi);
  const std::string nome = nome_luogo(i, luoghi);
  const std::string n = std::to_string(i);
  out += "[Luogo]\nNOMELUOGO=" + nome + "\nSOPRANOME=Stanza " + n + " (riga " +
         std::to_string(i / w) + ", colonna " + std::to_string(i % w) + ")" +
         "\nILLUMINAZIONE=" + flag(i % 7 != 3) + "\nSTATO=FALSE\n[Descrizione]\n" +
         "Una stanza dalle pareti di " + materiali[i % 7] + ", la numero " + n + ".\n" +
         "Le lastre del pavimento sono " + colori[i % 5] + " e consumate dal tempo.\n" +
         (i % 4 == 0 ? "Da qualche parte si sente gocciolare dell'acqua.\n" : "") +
         "[EndDescrizione]\n[Suggerimento]\n" +
         (i % 2 == 0 ? "Forse conviene guardare meglio\nsotto i tappeti.\n" : "") +
         "[EndSuggerimento]\n[EndLuogo]\n\n[OggInLuogo]\nNOMELUOGO=" + nome + "\n";
  // Objects are written in the order of their names, as the game keeps them.
  std::vector<std::pair<std::string, std::string>> record_luogo;
  for (std::size_t j = 0; j < oggetti; ++j) {
    record_luogo.emplace_back(nome_slot(j), oggetto_slot(i, j, contati));
  }
  std::sort(record_luogo.begin(), record_luogo.end());
  for (const auto& r : record_luogo) out += r.second;
  out += "[EndOggInLuogo]\n\n";
}

void scrivi_puntatori(std::string& out, std::size_t i, std::size_t luoghi, std::size_t oggetti) {
  const std::size_t w = larghezza(luoghi);
  const bool vicino[4] = {i >= w, i + w < luoghi, i % w + 1 < w && i + 1 < luoghi, i % w > 0};
  const std::size_t meta[4] = {i - w, i + w, i + 1, i - 1};
  std::string ostruzione[6];
  for (std::size_t j = 0; j < oggetti; ++j) {
    if (genere_di(j) == OSTRUZIONE) {
      ostruzione[direzione_di(j)] = std::string("Un cancello chiuso sbarra la strada verso ") +
                                    direzioni[direzione_di(j)] + ".";
    }
  }
  out += "\n[PuntatoriALuogo]\nNOMELUOGO=" + nome_luogo(i, luoghi);
  for (int d = 0; d < 6; ++d) {
    out += std::string("\n") + chiavi_direzioni[d] + "=" +
           (d < 4 && vicino[d] ? nome_luogo(meta[d], luoghi) : std::string("NULL"));
  }
  for (int d = 0; d < 6; ++d) {
    out += std::string("\nOSTRUZIONE") + chiavi_direzioni[d] + "=" + ostruzione[d];
  }
  out += "\n[EndPuntatoriALuogo]\n";
}

}  // namespace

std::size_t genera_mondo(std::ostream& uscita, std::size_t luoghi, std::size_t oggetti) {
  std::size_t contati = 1;  // the matches in the backpack
  std::string out = "[Titolo]\nMondo generato di " + std::to_string(luoghi) + " luoghi\ncon " +
                    std::to_string(oggetti) + " oggetti per luogo\n[EndTitolo]\n\n[Zaino]\n" +
                    "[OggInContenitore]\n";
  scrivi_record(out, semplice("fiammiferi", "Una scatola di fiammiferi."));
  out += "\n[EndOggInContenitore]\n[EndZaino]\n\n";
  uscita << out;
  for (std::size_t i = 0; i < luoghi; ++i) {
    out.clear();
    scrivi_luogo(out, i, luoghi, oggetti, contati);
    uscita << out;
  }
  for (std::size_t i = 0; i < luoghi; ++i) {
    out.clear();
    scrivi_puntatori(out, i, luoghi, oggetti);
    uscita << out;
  }
  uscita << "\n[Utente]\n";
  if (luoghi > 0) uscita << "INIZIO=" << nome_luogo(0, luoghi) << '\n';
  uscita << "[EndUtente]\n\n[FineGioco]\nOBJ=" << nome_slot(SEMPLICE);
  if (luoghi > 0) uscita << "\nFINELUOGO=" << nome_luogo(luoghi - 1, luoghi);
  uscita << "\n[MsgFineGioco]\nHai riportato la moneta fino all'ultima stanza.\n"
            "Il gioco " E_GRAVE " finito.\n[EndMsgFineGioco]\n[EndFineGioco]\n";
  return contati;
}

bool risposta_copione(const std::string& riga) { return riga == "si"; }

namespace {

// The commands of one visit to place `i`, ending with the move to `prossimo`
// (none when it is the same place).
void visita(std::vector<std::string>& righe, std::size_t i, std::size_t prossimo,
            std::size_t luoghi, std::size_t oggetti) {
  righe.emplace_back("guarda");
  for (std::size_t j = 0; j < oggetti; ++j) {
    if (genere_di(j) == OSTRUZIONE) righe.push_back("apri " + nome_slot(j));
  }
  if (oggetti > CONTENITORE) {
    const std::string gemma = "gemma" + std::to_string(CONTENITORE) + "a";
    for (const std::string& r : {"apri " + nome_slot(CONTENITORE), "prendi " + gemma,
                                 std::string("si"), "lascia " + gemma}) {
      righe.push_back(r);
    }
  }
  if (oggetti > NASCONDIGLIO) righe.push_back("sposta " + nome_slot(NASCONDIGLIO));
  if (oggetti > SEMPLICE) {
    const std::string moneta = nome_slot(SEMPLICE);
    for (const std::string& r : {"prendi " + moneta, std::string("si"), std::string("guarda zaino"),
                                 "lascia " + moneta, "guarda " + moneta}) {
      righe.push_back(r);
    }
  }
  if (oggetti > LAMPADA) righe.push_back("accendi " + nome_slot(LAMPADA) + " con fiammiferi");
  const std::size_t w = larghezza(luoghi);
  if (prossimo == i + 1) righe.emplace_back("vai est");
  if (prossimo + 1 == i) righe.emplace_back("vai ovest");
  if (prossimo == i + w) righe.emplace_back("vai sud");
  if (prossimo + w == i) righe.emplace_back("vai nord");
}

}  // namespace

// The walk snakes along the full rows of the grid (east on even rows, west
// on odd ones, south at the end of a row), then walks back the same way.
std::vector<std::string> genera_copione(std::size_t luoghi, std::size_t oggetti,
                                        std::size_t comandi) {
  std::vector<std::string> righe;
  if (luoghi == 0) return righe;
  const std::size_t w = larghezza(luoghi);
  std::vector<std::size_t> percorso;
  for (std::size_t riga = 0; riga < std::max<std::size_t>(luoghi / w, 1); ++riga) {
    for (std::size_t c = 0; c < w && riga * w + c < luoghi; ++c) {
      percorso.push_back(riga * w + (riga % 2 == 0 ? c : w - 1 - c));
    }
  }
  std::size_t contati = 0;
  std::size_t k = 0;
  bool avanti = true;
  while (contati < comandi) {
    std::size_t dopo = k;
    if (percorso.size() > 1) {
      if (avanti && k + 1 == percorso.size()) avanti = false;
      if (!avanti && k == 0) avanti = true;
      dopo = avanti ? k + 1 : k - 1;
    }
    const std::size_t inizio = righe.size();
    visita(righe, percorso[k], percorso[dopo], luoghi, oggetti);
    for (std::size_t r = inizio; r < righe.size(); ++r) {
      if (risposta_copione(righe[r])) continue;
      if (contati == comandi) {
        // Cut the visit here; the answer of the last question stays.
        righe.resize(r);
        break;
      }
      ++contati;
    }
    k = dopo;
  }
  return righe;
}

void console_copione::ricomincia(const std::vector<std::string>& copione) {
  righe = &copione;
  letta = 0;
}

bool console_copione::leggi_riga(std::string& riga) {
  if (righe == nullptr || letta == righe->size()) {
    riga.clear();
    return false;
  }
  riga = (*righe)[letta++];
  return true;
}

void console_copione::termina_fatale() { throw std::runtime_error("errore fatale nel mondo"); }

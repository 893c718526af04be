#include "game/cartella.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

const char* const origine = "origine";

bool leggi(const fs::path& file, std::string& testo) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  testo.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

// Sixteen hex digits of the 64-bit FNV-1a hash of `testo`: stable across
// builds and machines, unlike std::hash.
std::string codice(const std::string& testo) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : testo) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  char cifre[17];
  std::snprintf(cifre, sizeof cifre, "%016llx", static_cast<unsigned long long>(h));
  return cifre;
}

// What a world and a game saved from it have in common whatever was played:
// the title's lines and the names of the places.
struct impronta {
  std::string titolo;
  std::set<std::string> luoghi;
  bool operator==(const impronta& altra) const {
    return titolo == altra.titolo && luoghi == altra.luoghi;
  }
};

impronta impronta_di(const std::string& testo) {
  impronta i;
  std::istringstream righe(testo);
  bool nel_titolo = false;
  for (std::string r; std::getline(righe, r);) {
    if (!r.empty() && r.back() == '\r') r.pop_back();
    if (r == "[Titolo]") {
      nel_titolo = true;
    } else if (r == "[EndTitolo]") {
      nel_titolo = false;
    } else if (nel_titolo) {
      i.titolo += r + '\n';
    } else if (r.rfind("NOMELUOGO=", 0) == 0) {
      i.luoghi.insert(r.substr(10));
    }
  }
  return i;
}

// True when the older rule's folder `vecchia` certainly holds the game of
// the world `testo` (see cartella_partita).
bool del_mondo(const fs::path& vecchia, const std::string& testo) {
  std::error_code e;
  if (fs::is_symlink(vecchia, e) || !fs::is_directory(vecchia, e) ||
      fs::exists(vecchia / origine, e)) {
    return false;
  }
  std::string copia, salvato;
  return leggi(vecchia / "mondo.ini", copia) && copia == testo &&
         leggi(vecchia / "world.ini", salvato) && impronta_di(salvato) == impronta_di(testo);
}

}  // namespace

fs::path cartella_partita(const fs::path& base, const fs::path& mondo, const std::string& testo,
                          std::string& errore) {
  std::error_code e;
  fs::path percorso = fs::absolute(mondo, e);
  if (!e) percorso = fs::weakly_canonical(percorso, e);
  if (e) {
    errore = "impossibile risolvere il percorso di " + mondo.string();
    return {};
  }
  const fs::path base_vera = fs::weakly_canonical(base, e);
  if (!e && percorso.parent_path().parent_path() == base_vera) return percorso.parent_path();

  // As the older rule named its folders: the stem of "..ini" is ".", which
  // named no folder of its own, so the whole name stands in.
  fs::path nome = percorso.stem();
  if (nome == "." || nome == "..") nome = percorso.filename();
  const std::string segno = percorso.string() + '\n';
  const std::string prima = nome.string() + '-' + codice(percorso.string());
  for (int n = 1; n <= 100; ++n) {
    const fs::path cartella = base / (n == 1 ? prima : prima + '-' + std::to_string(n));
    std::string scritto;
    if (leggi(cartella / origine, scritto)) {
      if (scritto == segno) return cartella;
      continue;  // another world's folder
    }
    if (n == 1 && !fs::exists(cartella, e) && del_mondo(base / nome, testo)) {
      fs::rename(base / nome, cartella, e);  // on failure the world starts afresh
    }
    fs::create_directories(cartella, e);
    if (e) {
      errore = "impossibile creare la cartella " + cartella.string();
      return {};
    }
    std::ofstream marca(cartella / origine, std::ios::binary | std::ios::trunc);
    marca << segno;
    marca.close();
    if (!marca) {
      errore = "impossibile scrivere " + (cartella / origine).string();
      return {};
    }
    return cartella;
  }
  errore = "troppe cartelle per il nome " + nome.string() + " in " + base.string();
  return {};
}

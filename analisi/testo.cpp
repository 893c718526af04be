#include "analisi/testo.h"

#include <cstring>

namespace {

void indicizza(std::string_view t, std::vector<std::size_t>& inizi) {
  // Counted first, so the index is allocated once: a big world has millions
  // of lines.
  std::size_t righe = 1;
  for (const char *p = t.data(), *fine = t.data() + t.size(); p < fine; ++righe) {
    const auto* a_capo =
        static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(fine - p)));
    if (a_capo == nullptr) break;
    p = a_capo + 1;
  }
  inizi.reserve(righe);
  inizi.push_back(0);
  for (const char *p = t.data(), *fine = t.data() + t.size(); p < fine;) {
    const auto* a_capo =
        static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(fine - p)));
    if (a_capo == nullptr) break;
    inizi.push_back(static_cast<std::size_t>(a_capo - t.data()) + 1);
    p = a_capo + 1;
  }
}

}  // namespace

const std::vector<std::size_t>& righe_testo::indice() const {
  if (inizi.empty()) {
    indicizza(testo, inizi);
    if (!originale.empty()) indicizza(originale, inizi_originale);
  }
  return inizi;
}

unsigned long righe_testo::numero() const {
  return static_cast<unsigned long>(indice().size()) - (finisce_a_capo() || testo.empty() ? 1 : 0);
}

std::string_view righe_testo::tratto(std::string_view t, const std::vector<std::size_t>& inizi,
                                     unsigned long n) {
  if (n == 0 || n > inizi.size()) return {};
  const std::size_t inizio = inizi[n - 1];
  std::size_t fine = n < inizi.size() ? inizi[n] - 1 : t.size();
  if (fine < inizio) fine = inizio;
  std::string_view r = t.substr(inizio, fine - inizio);
  while (!r.empty() && r.back() == '\r') r.remove_suffix(1);
  return r;
}

unsigned long righe_testo::colonna(unsigned long n, std::size_t byte) const {
  if (originale.empty()) return static_cast<unsigned long>(byte);
  // Walk the author's line, character by character, counting the bytes each
  // became in the converted line.
  indice();
  std::string_view scritta = tratto(originale, inizi_originale, n);
  std::size_t p = n == 1 && scritta.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  std::size_t convertiti = 0;
  unsigned long caratteri = 0;
  while (convertiti < byte && p < scritta.size()) {
    const auto primo = static_cast<unsigned char>(scritta[p]);
    std::size_t lunga = primo < 0x80 ? 1 : primo >= 0xF0 ? 4 : primo >= 0xE0 ? 3 : 2;
    // U+2026, the ellipsis, became three dots.
    convertiti += scritta.substr(p, 3) == "\xE2\x80\xA6" ? 3 : 1;
    p += lunga;
    ++caratteri;
  }
  return caratteri;
}

unsigned long righe_testo::ultima_piena(unsigned long da, unsigned long fino) const {
  for (unsigned long n = da; n > fino; --n) {
    if (riga(n).find_first_not_of(" \t") != std::string_view::npos) return n;
  }
  return fino;
}

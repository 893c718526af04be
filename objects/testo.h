#pragma once
#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

class arena;

// A text of an object or a place: a name, a description, a hint. Made while
// an arena is active (a world being loaded), it views its copy in the arena,
// which owns the bytes; made outside one, it owns a copy on the heap. A text
// never changes; it can only be forgotten (a hint shown once).
class testo {
public:
  testo() = default;
  explicit testo(std::string_view s);
  // A copy of `s` in `a`, or on the heap when `a` is null.
  testo(std::string_view s, arena* a);
  ~testo() { libera(); }
  testo(const testo&) = delete;
  testo& operator=(const testo&) = delete;
  testo(testo&& altro) noexcept : dati(altro.dati), misura(altro.misura) {
    altro.dati = "";
    altro.misura = 0;
  }
  testo& operator=(testo&& altro) noexcept {
    if (this != &altro) {
      libera();
      dati = altro.dati;
      misura = altro.misura;
      altro.dati = "";
      altro.misura = 0;
    }
    return *this;
  }

  std::string_view vista() const { return {dati, misura & ~PROPRIO}; }
  // Implicit: a text reads as a view wherever one is taken.
  operator std::string_view() const { return vista(); }  // NOLINT(google-explicit-constructor)
  std::string str() const { return std::string(vista()); }
  bool empty() const { return vista().empty(); }
  void clear() {
    libera();
    dati = "";
    misura = 0;
  }

private:
  // The top bit of `misura` says that `dati` is a heap copy of this text's.
  static constexpr std::size_t PROPRIO = ~(~std::size_t(0) >> 1);
  void libera() {
    if ((misura & PROPRIO) != 0) delete[] dati;
  }

  // Never null, so the bytes of an empty text can be copied like any other.
  const char* dati = "";
  std::size_t misura = 0;
};

inline std::ostream& operator<<(std::ostream& o, const testo& t) { return o << t.vista(); }

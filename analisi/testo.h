#pragma once
#include <cstddef>
#include <string_view>
#include <vector>

// The lines of the text the analysis reads, and the way back from its bytes
// to the characters the author sees. The text is the file itself (code page
// 850) or the file converted from UTF-8 (`originale` then holds the file as
// written): a converted line has as many characters as the author's, but an
// ellipsis became three dots and a byte-order mark went.
class righe_testo {
public:
  // Views `testo` (and `originale`, empty when nothing was converted): both
  // must outlive this object.
  // The index of the lines is made when first needed: a clean file seldom
  // needs it.
  explicit righe_testo(std::string_view testo, std::string_view originale = {})
      : testo(testo), originale(originale) {}

  // The number of lines, as the game's reader counts them: a last line
  // without its line feed counts, the empty rest after a final line feed
  // does not.
  unsigned long numero() const;
  bool finisce_a_capo() const { return !testo.empty() && testo.back() == '\n'; }
  // Line `n` (from 1) of the text read, without its line feed and trailing
  // carriage returns, as the game's reader hands it out; empty beyond the end.
  std::string_view riga(unsigned long n) const { return tratto(testo, indice(), n); }
  // The column, in the author's characters, of byte `byte` of line `n`.
  unsigned long colonna(unsigned long n, std::size_t byte) const;
  // The length of line `n` in the author's characters.
  unsigned long lunghezza(unsigned long n) const { return colonna(n, riga(n).size()); }
  // The last line from `da` down to `fino` (both included) holding more
  // than blanks, or `fino` when there is none.
  unsigned long ultima_piena(unsigned long da, unsigned long fino) const;

private:
  static std::string_view tratto(std::string_view t, const std::vector<std::size_t>& inizi,
                                 unsigned long n);
  const std::vector<std::size_t>& indice() const;
  std::string_view testo, originale;
  // Where each line starts; made by `indice`.
  mutable std::vector<std::size_t> inizi, inizi_originale;
};

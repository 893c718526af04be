// Replays saved fuzz inputs through a fuzz target without libFuzzer, so the
// inputs that once failed stay tested in every build:
//
//   rigioca_NAME <file-or-folder>...
//
// Folders are read in name order, hidden files skipped. Every input is read
// before the first runs (a target may change the working folder). Exit
// status 0 when every input ran; a failing input aborts or is reported by the
// sanitizers.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/supporto.h"

namespace fs = std::filesystem;

namespace {

bool aggiungi(const fs::path& file, std::vector<std::pair<std::string, std::string>>& ingressi) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << file << "\n";
    return false;
  }
  std::ostringstream dati;
  dati << in.rdbuf();  // an empty file sets failbit here, and is an input all the same
  ingressi.emplace_back(file.string(), dati.str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, std::string>> ingressi;
  for (int i = 1; i < argc; ++i) {
    const fs::path percorso = argv[i];
    if (!fs::is_directory(percorso)) {
      if (!aggiungi(percorso, ingressi)) return 1;
      continue;
    }
    std::vector<fs::path> file;
    for (const auto& voce : fs::directory_iterator(percorso)) {
      if (voce.is_regular_file() && voce.path().filename().string()[0] != '.') {
        file.push_back(voce.path());
      }
    }
    std::sort(file.begin(), file.end());
    for (const fs::path& f : file) {
      if (!aggiungi(f, ingressi)) return 1;
    }
  }
  for (const auto& ingresso : ingressi) {
    std::cerr << "replaying " << ingresso.first << "\n";
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(ingresso.second.data()),
                           ingresso.second.size());
  }
  std::cerr << ingressi.size() << " inputs replayed\n";
  return 0;
}

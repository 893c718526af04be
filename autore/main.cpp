#include <iostream>

#include "autore/principale.h"

// velt-autore: the tools for world authors (checker, map, solver).
int main(int argc, char** argv) {
  return esegui_autore(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}

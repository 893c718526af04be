#include "world/righe.h"

#include <iostream>

bool maiuscolizza(std::string& linea) {
  if (linea.empty()) {
    std::cout << "\n ! ERRORE: riga vuota.\n";
    return false;
  }
  for (char& c : linea) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  }
  return true;
}

bool research(const std::string& linea, std::string& right, std::string& left) {
  const std::string::size_type uguale = linea.find('=');
  if (uguale == std::string::npos) return false;
  left.assign(linea, 0, uguale);
  right.assign(linea, uguale + 1, std::string::npos);
  maiuscolizza(left);
  return true;
}

void lettore::leggi(std::string& linea) {
  if (!std::getline(in, linea)) {
    linea.clear();
    return;
  }
  ++numero;
  if (!linea.empty() && linea.back() == '\r') linea.pop_back();
}

void lettore::leggi_non_vuota(std::string& linea) {
  leggi(linea);
  while (linea.empty() && !eof()) leggi(linea);
}

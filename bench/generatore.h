#pragma once
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "console/console.h"

// Generated worlds for measuring the engine on worlds of any size.
//
// A world of `luoghi` places laid out in a grid (each place linked to its
// neighbours to the north, south, east and west), each place holding
// `oggetti` objects of every kind in turn: a closed container with two
// objects inside, a hiding place with one hidden object, an obstruction that
// blocks one of the place's exits (with the place's obstruction text), a lamp
// lit with the matches of the backpack, a plain object that can be taken.
// Descriptions have several lines; every other place and some objects have
// a hint. The output is deterministic and is laid out exactly as the game
// saves a world, so loading it and saving it again gives the same bytes.

// Writes the world; returns the number of objects in it (contents, hidden
// objects and the backpack's included).
std::size_t genera_mondo(std::ostream& uscita, std::size_t luoghi, std::size_t oggetti);

// A script for the world of the same size: the lines a player types, walking
// the grid and in each place looking, opening, taking (each take answered
// "si" on the next line), dropping, moving and lighting objects. It holds
// exactly `comandi` command lines besides the answers.
std::vector<std::string> genera_copione(std::size_t luoghi, std::size_t oggetti,
                                        std::size_t comandi);

// True for the lines of the script that answer a question.
bool risposta_copione(const std::string& riga);

// A console that plays a script: the questions read their answers from it,
// the pause does nothing, and a fatal world-file error throws
// std::runtime_error instead of ending the program. `ricomincia` starts a
// script (which must outlive the reading) from its first line; `letta` is
// the index of the next line, so a driver can hand the command lines to the
// interpreter itself and leave the answers to the questions.
class console_copione : public console {
public:
  void ricomincia(const std::vector<std::string>& copione);
  bool leggi_riga(std::string& riga) override;
  void pausa() override {}
  [[noreturn]] void termina_fatale() override;

  const std::vector<std::string>* righe = nullptr;
  std::size_t letta = 0;
};

#pragma once
#include <string>

// What a stretch of the output is, for a front end that shows it apart (the
// browser page); a terminal prints the same bytes whatever the stretch.
enum class segno {
  titolo,  // the world's title follows, up to the end of its line
  luogo,   // a place's name line follows
  fine,    // the closing message of the game follows, to the end of the turn
};

// The seam between the engine and the player's terminal. Everything the
// engine reads from the player, the wait before the program ends and the exit
// after a fatal world-file error go through the active console, so tests,
// fuzzers and the UTF-8 flavour can swap it. Messages themselves are written
// to standard output by whoever prints them.
class console {
public:
  virtual ~console();
  // Reads one line of input without its line feed. At the end of the input
  // it returns false and leaves `riga` empty.
  virtual bool leggi_riga(std::string& riga);
  // Writes a message of the program (in code page 850) to standard error.
  virtual void errore(const std::string& testo);
  // Writes a UTF-8 message (about an author's UTF-8 file) to standard error:
  // in code page 850 where the console's terminal is (the characters the
  // code page lacks pass as they are), unchanged where it is UTF-8.
  virtual void errore_utf8(const std::string& testo);
  // The wait before the program ends: when standard input and output are both
  // terminals it asks for Enter and reads one line; otherwise it does nothing.
  virtual void pausa();
  // Ends the program after a fatal world-file error: the pause, then exit
  // status 1, without saving or releasing anything.
  [[noreturn]] virtual void termina_fatale();
  // Tells the front end that the text written next is `s`. The terminal
  // consoles ignore it: the bytes printed never depend on it.
  virtual void segna(segno s);
};

// The console in use; a plain console unless another was installed.
console& console_attiva();
// Installs `c` as the active console until the returned one is put back.
console* usa_console(console* c);

// Reads the answer to a question: one whole line, empty when input has ended.
std::string risposta();
// Ends the program after a fatal world-file error (see termina_fatale).
[[noreturn]] void fatale();

#!/bin/sh
# velt writes to a real terminal (tmux) what it writes to a pipe, byte for
# byte, unless the terminal shows UTF-8: with the C locale, and with --cp850
# at a UTF-8 one, the terminal gets the code page 850 bytes; at a UTF-8 one it
# gets the same text in UTF-8. Checked on --help, --version and a game read
# from a file.
#
#   terminale-byte.sh <velt> <world file>
set -eu
programma=$(realpath "$1")
cartella=$(mktemp -d "${TMPDIR:-/tmp}/velt-terminale-XXXXXX")
t="tmux -L velt-byte-$$"
trap '$t kill-server 2>/dev/null || true; rm -rf "$cartella"' EXIT
cp "$2" "$cartella/mondo.ini"
printf 'no\nguarda fontana\nesci\nno\n' >"$cartella/input"
cd "$cartella"
senza_locale='env -u LANG -u LC_ALL -u LC_CTYPE -u LANGUAGE'

# Runs velt with the environment assignments `$1` and the arguments `$2`,
# input from the file `input`, at a tmux terminal, and leaves in `terminale`
# the bytes the terminal received (without the carriage returns the terminal
# adds to each line feed); its output to a pipe goes to `tubo`.
esegui() {
  rm -f via terminale.grezzo
  $t -f /dev/null new-session -d -x 100 -y 50 \
    "while [ ! -e via ]; do sleep 0.05; done; $senza_locale $1 '$programma' $2 <input; echo; echo fine-velt; sleep 60"
  $t pipe-pane -o "cat >'$cartella/terminale.grezzo'"
  touch via
  i=0
  until grep -q fine-velt terminale.grezzo 2>/dev/null; do
    i=$((i + 1))
    if [ $i -ge 200 ]; then
      echo "velt $2 ($1) never ended at the terminal"
      exit 1
    fi
    sleep 0.1
  done
  $t kill-server
  tr -d '\r' <terminale.grezzo | sed '/^fine-velt$/,$d' | sed '$d' >terminale
  # shellcheck disable=SC2086
  $senza_locale $1 "$programma" $2 <input >tubo
}

# `$1` and `$2` as for esegui; `$3`: "byte" when the terminal must get the
# pipe's bytes, "utf8" when it must get them turned into UTF-8.
controlla() {
  esegui "$1" "$2"
  if [ "$3" = utf8 ]; then iconv -f CP850 -t UTF-8 tubo >atteso; else cp tubo atteso; fi
  if ! cmp -s atteso terminale; then
    echo "velt $2 ($1): the terminal did not get the $3 text"
    diff atteso terminale | head -20
    exit 1
  fi
}

# The pipe's bytes are code page 850: "là" is l and 0x85.
esegui '' --help
grep -q "$(printf 'salva l\205')" tubo || { echo "velt --help does not write code page 850"; exit 1; }

for argomenti in --help --version ''; do
  controlla '' "$argomenti" byte
  controlla 'LC_ALL=C' "$argomenti" byte
  controlla 'LANG=C.UTF-8' "--cp850 $argomenti" byte
  controlla 'LANG=C.UTF-8' "$argomenti" utf8
  controlla 'LC_CTYPE=C.UTF-8' "$argomenti" utf8
done

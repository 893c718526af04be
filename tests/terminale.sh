#!/bin/sh
# A game at a real terminal (tmux) that shows UTF-8: the world's accented
# letters are shown as UTF-8, lines are edited through libedit, an accented
# letter is erased as one character, Up brings back the previous line, and
# the prompt stays whole. The locale is unset, then given the assignments
# that follow the world file (velt-utf8 needs none, velt a UTF-8 locale).
#
#   terminale.sh <velt-utf8 | velt> <world file> [VARIABLE=VALUE...]
set -eu
programma=$(realpath "$1")
locale=$(shift 2 && echo "$@")
cartella=$(mktemp -d "${TMPDIR:-/tmp}/velt-terminale-XXXXXX")
t="tmux -L velt-terminale-$$"
trap '$t kill-server 2>/dev/null || true; rm -rf "$cartella"' EXIT
cp "$2" "$cartella/mondo.ini"
cd "$cartella"
$t -f /dev/null new-session -d -x 100 -y 50 \
  "env -u LANG -u LC_ALL -u LC_CTYPE -u LANGUAGE $locale '$programma'; echo \"stato=\$?\"; sleep 60"

schermo() { $t capture-pane -p -S -500 | sed 's/ *$//'; }
# Waits until the screen shows the line `$1` (a fixed string; blanks at the
# end do not count) `$2` times.
aspetta() {
  i=0
  riga=$(printf '%s' "$1" | sed 's/ *$//')
  while [ "$(schermo | grep -cxF -- "$riga")" -lt "$2" ]; do
    i=$((i + 1))
    if [ $i -ge 200 ]; then
      echo "the screen never showed $2 times the line: $1"
      schermo
      exit 1
    fi
    sleep 0.1
  done
}

prompt='Sono in attesa di un comando => '
aspetta 'Sono in attesa di una risposta => ' 1
$t send-keys 'no' Enter
aspetta "$prompt" 1
aspetta 'Il portone è chiuso a chiave: chissà dove il vecchio custode' 1
# A letter of two bytes typed and erased, then the cursor moved and a word
# finished in the middle of the line.
$t send-keys 'guarda fontnaè' BSpace Left Left 'a' Enter
aspetta "${prompt}guarda fontana" 1
aspetta ' fontana - Una fontana di pietra, asciutta da anni.' 1
$t send-keys Up
aspetta "${prompt}guarda fontana" 2
$t send-keys Enter
aspetta ' fontana - Una fontana di pietra, asciutta da anni.' 2
$t send-keys 'esci' Enter 'no' Enter
aspetta 'Premere INVIO per continuare . . .' 1
$t send-keys Enter
aspetta "stato=0" 1

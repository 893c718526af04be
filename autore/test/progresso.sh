#!/bin/sh
# risolvi's progress lines: on standard error when it is a terminal (tmux),
# never when it is a file. The world is a generated one whose search of
# STATI states lasts well over the second after which progress shows.
#
#   progresso.sh <velt-autore> <genera_mondo>
set -eu
autore=$(realpath "$1")
cartella=$(mktemp -d "${TMPDIR:-/tmp}/velt-progresso-XXXXXX")
t="tmux -L velt-progresso-$$"
trap '$t kill-server 2>/dev/null || true; rm -rf "$cartella"' EXIT
cd "$cartella"
"$2" 30 3 > mondo.ini
STATI=60000
progresso='stati esplorati, [0-9]* in attesa'

# Standard error a file: only the search's own lines, none rewritten in place.
inizio=$(date +%s)
stato=0
"$autore" risolvi mondo.ini --max-stati $STATI > uscita 2> errori || stato=$?
durata=$(($(date +%s) - inizio))
[ "$stato" -eq 1 ] || { echo "risolvi ended with $stato, expected 1 (the limit)"; exit 1; }
[ "$durata" -ge 2 ] || { echo "the search took ${durata}s: too short to show progress"; exit 1; }
if grep -q "$progresso" errori || grep -q "$(printf '\r')" errori; then
  echo "progress lines on a standard error that is not a terminal:"
  od -c errori | head
  exit 1
fi

# Standard error a terminal: the progress line shows.
$t -f /dev/null new-session -d -x 100 -y 20 \
  "'$autore' risolvi mondo.ini --max-stati $STATI > /dev/null; echo \"stato=\$?\"; sleep 60"
i=0
until $t capture-pane -p | grep -q '^stato='; do
  i=$((i + 1))
  [ $i -lt 600 ] || { echo "risolvi never ended at the terminal"; $t capture-pane -p; exit 1; }
  sleep 0.1
done
$t capture-pane -p | grep -q "^risolvi: [0-9]* $progresso" || {
  echo "no progress line at the terminal:"
  $t capture-pane -p
  exit 1
}

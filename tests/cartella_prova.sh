# The scratch folder of a shell test, sourced by the tests' scripts; as the
# test programs' (cartella_prova.h) it goes when the script ends, passed or
# failed. A failed script (status other than 0) keeps it only when asked to
# (VELT_TENERE set to anything but "" or "0"), and then says where.
#
#   nuova_cartella_prova PREFIX   sets $cartella_prova, a new folder in TMPDIR
#   alla_fine=COMMAND             (optional) run at the end, before the removal

nuova_cartella_prova() {
  cartella_prova=$(mktemp -d "${TMPDIR:-/tmp}/$1-XXXXXX")
  trap 'chiudi_cartella_prova $?' EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

chiudi_cartella_prova() {
  eval "${alla_fine:-:}" || true
  if [ "$1" -ne 0 ] && [ -n "${VELT_TENERE:-}" ] && [ "$VELT_TENERE" != 0 ]; then
    echo "$(basename "$0"): FAILED; scratch folder kept in $cartella_prova"
  else
    chmod -R u+rwx "$cartella_prova" 2>/dev/null || true
    rm -rf "$cartella_prova"
  fi
}

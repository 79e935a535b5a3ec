# shellcheck shell=bash
# The virtual My Number card behind a private pcscd (vpcd) for scripts that run
# the Linux programs: cardsim-pcscd of the linux build, which takes turns with
# every other user of pcscd through the rig's lock. The sourcing script sets
# work (its folder) and linux_build; TAV_E2E_PORT (default 35400) is the reader's port.

pcscd_rig=""

# start_pcscd_rig <daemon options: --card mynumber ...>: returns once every card
# is in; the readers' names are in pcscd_readers ("a;b"), the folder of the
# cards' certificates (reader<i>-<slot>.der) in pcscd_certs.
start_pcscd_rig() {
  mkdir -p "$work/keys"
  rm -f "$work/pcscd-rig.in"
  mkfifo "$work/pcscd-rig.in"
  "$linux_build/tools/cardsim/harness/cardsim-pcscd" "$linux_build/tools/cardsim/daemon/cardsim-daemon" \
    "${TAV_E2E_PORT:-35400}" "$work/keys" "$@" <"$work/pcscd-rig.in" >"$work/pcscd-rig.log" 2>&1 &
  pcscd_rig=$!
  exec 8>"$work/pcscd-rig.in"
  local i
  # Another test's pcscd may hold the lock for a while first.
  for i in $(seq 1200); do
    if grep -q '^ready ' "$work/pcscd-rig.log"; then
      pcscd_readers="$(sed -n 's/^ready //p' "$work/pcscd-rig.log")"
      pcscd_certs="$(sed -n 's/^certs //p' "$work/pcscd-rig.log")"
      return 0
    fi
    if ! kill -0 "$pcscd_rig" 2>/dev/null; then break; fi
    sleep 0.1
  done
  echo "the pcscd rig did not start:" >&2
  cat "$work/pcscd-rig.log" >&2
  return 1
}

# stop_pcscd_rig: its input ends, and it stops pcscd and the daemon.
stop_pcscd_rig() {
  if [ -n "$pcscd_rig" ]; then
    exec 8>&- || true
    wait "$pcscd_rig" 2>/dev/null || true
    pcscd_rig=""
  fi
}

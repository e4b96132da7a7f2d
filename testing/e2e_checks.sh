# What every end-to-end script shares, whichever program it drives: counting
# checks and waiting for a state with a bound.

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

# Polls COMMAND every tenth of a second until it succeeds or SECONDS pass.
#   wait_for SECONDS COMMAND [ARGUMENTS...]
wait_for() {
  local deadline=$(($(date +%s%N) / 1000000 + $1 * 1000)); shift
  until "$@"; do
    (($(date +%s%N) / 1000000 < deadline)) || return 1
    sleep 0.1
  done
}

# Waiting for a state, never for a time, in the black-box tests (sourced).
# A loaded machine makes everything slower by a factor that varies from run
# to run: each wait polls until what it waits for is so, up to a generous
# bound (BARCODES_WAIT seconds), and on failure says what it last saw.
wait_bound=${BARCODES_WAIT:-45}

# A command that fails outside a check ends the test (set -e): say which,
# rather than stop with nothing said, also inside a function (set -E: the
# functions inherit the trap). Only the test's own shell says it: a command
# substitution's failure is its caller's to judge.
set -E
trap 'wait_status=$?; [ "$BASHPID" != "$$" ] ||
  echo "FAIL: exit $wait_status at ${BASH_SOURCE[0]##*/} line $LINENO: $BASH_COMMAND" >&2' ERR

# until_so WHAT COMMAND...: runs COMMAND until it succeeds and prints what it
# printed then; after the bound, prints "FAIL: WHAT" and what COMMAND printed
# last on stderr, and fails.
until_so() {
  local what=$1 seen end=$((SECONDS + wait_bound))
  shift
  until seen=$("$@" 2>&1); do
    if ((SECONDS >= end)); then
      printf 'FAIL: %s (after %s s); last seen:\n%s\n' "$what" "$wait_bound" "$seen" >&2
      return 1
    fi
    sleep 0.1  # between retries
  done
  [ -z "$seen" ] || printf '%s\n' "$seen"
}

# xvfb LOG: a private Xvfb on a display of its own, DISPLAY set to it and its
# PID in xvfb_pid. It takes the first number it can listen on whole, so it
# passes over one held by another server, even one seen only through the
# abstract sockets it shares with a chroot; it says it is ready once it is.
# -noreset: with its last client gone it would reset, and a program started
# meanwhile would find no display.
xvfb() {
  exec 3< <(Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>"$1" & echo "pid $!")
  read -r _ xvfb_pid <&3
  read -r display <&3
  export DISPLAY=:$display
}

# window TITLE [PID]: the id of a visible window titled TITLE (of PID);
# else the names of the visible windows there are.
window() {
  xdotool search --onlyvisible ${2:+--pid "$2"} --name "^$1\$" 2>/dev/null | sed -n 1p | grep . && return
  echo "visible windows:" $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null)
  return 1
}

# windows PID: how many visible windows PID has (a popup menu is one).
windows() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | wc -l; }

# Runs COMMAND... and succeeds only when the output it prints is WANT.
prints() {
  local want=$1 got
  shift
  got=$("$@" 2>&1) || true
  printf '%s\n' "$got"
  [ "$got" = "$want" ]
}

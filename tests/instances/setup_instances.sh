#!/usr/bin/env bash
# setup.exe and running stand-ins of the product in the product's own instance
# list: the real question box, Yes closes them, No leaves them, "-install -s"
# closes without asking, and the stand-ins hear setup's registration and
# withdrawal.
source "$LM_SOURCE/tests/e2e/lib.sh"

t_start=$(date +%s.%N)
list_name='Orvantic.Lumishot-XR.v4'
fixture_exe="$LM_BUILD/fixtures/none/LmShot6.exe"
instlist_exe="$LM_BUILD/tests/instances/instlist.exe"
work=$(mktemp -d "$LM_BUILD/instances_e2e.XXXXXX")
# setup.exe runs from a folder of its own, away from any package.
cp "$LM_BUILD/setup.exe" "$work/setup.exe"

declare -a started=()
cleanup() {
  local p
  for p in "${started[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  for p in "${started[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

to_win() { local p=$1; echo "Z:${p//\//\\}"; }
running() { [ -e "/proc/$1" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }
ended() { ! running "$1"; }
listed() { W "$instlist_exe" "$list_name" 2>/dev/null | tr -d '\r' | sed -n 's/^ids *//p' | xargs; }
list_empty() { [ -z "$(listed)" ]; }
box_shows() { driver dump "Lumishot Setup" | grep -qxF "text: $1"; }
has_line() { [ -f "$1" ] && tr -d '\r' <"$1" | grep -qx "$2"; }

# start_fixture NAME [OPTION...]: starts a stand-in logging to $work/NAME.log; sets
# fixture_pid (Linux) and fixture_id (Windows process id).
start_fixture() {
  local log="$work/$1.log"
  shift
  W "$fixture_exe" -log "$(to_win "$log")" "$@" >/dev/null 2>&1 &
  fixture_pid=$!
  started+=("$fixture_pid")
  wait_for 30 has_line "$log" ready || fail "stand-in $1 did not start"
  fixture_id=$(tr -d '\r' <"$log" | sed -n 's/^pid //p')
  if [[ " $* " == *" -guard "* ]]; then has_line "$log" guarded || fail "stand-in $1 could not refuse termination"; fi
}

start_setup() {
  W "$work/setup.exe" "$@" >/dev/null 2>&1 &
  setup_pid=$!
  started+=("$setup_pid")
}

# After the instances are dealt with, setup goes on with its own work, which is
# not under test here: answer what it shows (Cancel, else OK) until it ends,
# so that it withdraws from the list as usual.
finish_setup() {
  local limit=$(( $(date +%s) + 60 )) shown id
  while running "$setup_pid"; do
    [ "$(date +%s)" -lt "$limit" ] || fail "setup did not end; it shows: $(driver dump "Lumishot Setup")"
    shown=$(driver dump "Lumishot Setup") || { sleep 0.2; continue; }
    echo "setup goes on with: $(grep -m1 '^text: ' <<<"$shown" || head -1 <<<"$shown")"
    for id in 2 1; do
      if grep -q "^control $id Button visible" <<<"$shown"; then driver click "Lumishot Setup" "$id" >/dev/null; break; fi
    done
    sleep 0.5
  done
  wait "$setup_pid" 2>/dev/null || true
  wait_for 20 list_empty || fail "the list still holds $(listed) after setup and the stand-ins ended"
}

# The box's Windows process id, from the driver's dump.
box_owner() { sed -n 's/^window .* pid \([0-9]*\) caption .*/\1/p' <<<"$1" | head -1; }

string_1='1 instance of Lumishot is currently opened. If you click "Yes" button, SETUP will try to close it without saving any editing work you may have done. \n\nContinue installation?'
string_3='Setup of Lumishot aborted. Please close other instances of Lumishot manually, saving any editing work you have done in them, then restart this setup program.'
string_4_with_2='2 instances of Lumishot are currently opened. ff you click "Yes" button, SETUP will try to close them without saving any editing work you may have done. \n\nContinue installation?'

[ "$(listed)" = "" ] || fail "the product's instance list is not empty before the test: $(listed)"

# Setup waits only 10 ms between the close request and the termination; on a
# busy machine a stand-in may not run within that time. A guarded stand-in
# refuses termination, so that it ends only when the close request has reached
# it; the last case shows the termination itself with a stand-in that has no
# window, which nothing but termination can end.

# --- Two stand-ins, Yes.
start_fixture a1 -guard; a_pid=$fixture_pid; a_id=$fixture_id
start_fixture b1 -guard; b_pid=$fixture_pid; b_id=$fixture_id
start_setup
box=$(driver wait "Lumishot Setup" 30000) || fail "no question box"
s_id=$(box_owner "$box")
[ -n "$s_id" ] || fail "no process id in the dump: $box"
grep -qxF "text: $string_4_with_2" <<<"$box" || fail "question text: $box"
grep -Eq '^control 6 Button visible default &?Yes$' <<<"$box" || fail "Yes is not the default button: $box"
grep -Eq '^control 7 Button visible &?No$' <<<"$box" || fail "no No button: $box"
ok "two instances: string 4 with 2, Yes the default"
[ "$(listed)" = "$a_id $b_id $s_id" ] || fail "list order: $(listed), expected $a_id $b_id $s_id"
ok "the list holds both stand-ins, then setup"
check "the first stand-in heard setup's registration" wait_for 10 has_line "$work/a1.log" "1946 $s_id"
check "the second stand-in heard setup's registration" wait_for 10 has_line "$work/b1.log" "1946 $s_id"
driver click "Lumishot Setup" 6 >/dev/null
check "the first stand-in ended" wait_for 20 ended "$a_pid"
check "the second stand-in ended" wait_for 20 ended "$b_pid"
check "the first stand-in got the close request" has_line "$work/a1.log" "close 1001"
check "the second stand-in got the close request" has_line "$work/b1.log" "close 1001"
finish_setup

# --- Two stand-ins, No.
start_fixture a2 -guard; a_pid=$fixture_pid; a_id=$fixture_id
start_fixture b2 -guard; b_pid=$fixture_pid; b_id=$fixture_id
start_setup -install
box=$(driver wait "Lumishot Setup" 30000) || fail "no question box"
s_id=$(box_owner "$box")
grep -qxF "text: $string_4_with_2" <<<"$box" || fail "question text: $box"
driver click "Lumishot Setup" 7 >/dev/null
check "string 3 follows No" wait_for 20 box_shows "$string_3"
box=$(driver dump "Lumishot Setup")
grep -Eq '^control (1|2) Button visible default &?OK$' <<<"$box" || fail "string 3 is not an OK box: $box"
driver click "Lumishot Setup" "$(sed -n 's/^control \([12]\) Button .*OK$/\1/p' <<<"$box" | head -1)" >/dev/null
check "setup ends after string 3" wait_for 20 ended "$setup_pid"
check "the first stand-in still runs" running "$a_pid"
check "the second stand-in still runs" running "$b_pid"
for f in a2 b2; do
  has_line "$work/$f.log" "close 1001" && fail "stand-in $f got a close request after No"
  check "stand-in $f heard setup's registration" has_line "$work/$f.log" "1946 $s_id"
  check "stand-in $f heard setup's withdrawal" wait_for 10 has_line "$work/$f.log" "1947 $s_id"
done
[ "$(listed)" = "$a_id $b_id" ] || fail "after setup ended the list is $(listed), expected $a_id $b_id"
ok "setup withdrew from the list at its exit"
kill -9 "$a_pid" "$b_pid"
wait "$a_pid" "$b_pid" 2>/dev/null || true

# --- "-install -s": no question; a guarded stand-in gets the close request,
# one without a window is terminated.
start_fixture c -guard; c_pid=$fixture_pid
start_fixture d -windows none; d_pid=$fixture_pid
start_setup -install -s
check "the stand-in is closed without a question" wait_for 30 ended "$c_pid"
check "the stand-in got the close request" has_line "$work/c.log" "close 1001"
check "the stand-in without a window is terminated" wait_for 30 ended "$d_pid"
finish_setup

echo "wall time: $(echo "$(date +%s.%N) - $t_start" | bc) s"

#!/usr/bin/env bash
# Tries the README on a fresh, minimal Debian 12 (bookworm) or 13 (trixie):
# a debootstrap minbase root of that release (kept in a cache between runs)
# with only git, ca-certificates and sudo added, and this working tree's HEAD
# cloned into it. There it runs the run command and the test command as root
# and as an ordinary user with passwordless sudo (the user's Installing
# section right after its run command, and the README's Windows command).
# Each command is read from the README's own code blocks. One line per step;
# the exit status is non-zero when a step fails. Needs root (chroot, mount).
#   scripts/fresh-machine.sh [bookworm|trixie]   (both, one after the other, when none is named)
# FRESH_MACHINE_CACHE  the cache folder (default ~/.cache/barcodes-fresh-machine)
# FRESH_MACHINE_KEEP=1 keeps the root and the logs afterwards
# FRESH_MACHINE_SOAK="N SUITE..."  then, as the user with sudo, scripts/soak.sh --load N SUITE...
# FRESH_MACHINE_BENCH=N  last, as the user with sudo, scripts/bench.sh N, its tables printed
# FRESH_MACHINE_DISPLAY  X display number for the xvfb-run checks (default:
#                        the first free from 70; the root shares the
#                        machine's abstract X sockets)
#
# The program itself needs a display: in the root there is none, so the run
# command passes when it builds and the program exits with its one-line
# no-display message; its advice (xvfb-run) is then tried with a timeout:
# the program must still be running on the virtual display after 5 s.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
case "${1:-}" in
  bookworm) version=12 ;;
  trixie) version=13 ;;
  "")
    # Each release in a run of its own, with its own root and clean-up.
    status=0
    for release in bookworm trixie; do
      echo "== Debian $release"
      "$src/scripts/fresh-machine.sh" "$release" || status=1
    done
    exit "$status"
    ;;
  *) echo "usage: $0 [bookworm|trixie]" >&2; exit 2 ;;
esac
release=$1
[ "$(id -u)" -eq 0 ] || { echo "fresh-machine.sh needs root (debootstrap, chroot, mount)" >&2; exit 2; }
for tool in debootstrap chroot mount flock; do
  command -v "$tool" >/dev/null || { echo "needs $tool (apt-get install debootstrap)" >&2; exit 2; }
done

cache=${FRESH_MACHINE_CACHE:-$HOME/.cache/barcodes-fresh-machine}
mkdir -p "$cache"
work=$(mktemp -d "${TMPDIR:-/var/tmp}/barcodes-fresh-$release.XXXXXX")
root=$work/root logs=$work/logs
mkdir -p "$root" "$logs"
mirror=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
mirror=${mirror:-http://deb.debian.org/debian}
branch=$(git rev-parse --abbrev-ref HEAD)
if [ -n "$(git status --porcelain)" ]; then
  echo "note: uncommitted changes are not part of the clone (HEAD $(git rev-parse --short HEAD))"
fi

# readme N: the commands of the README's Nth sh block (1: the two commands,
# 2: Installing, 3: Windows), as the clone has it, comments taken off.
readme() {
  git show "$branch:README.md" | awk -v n="$1" '/^```sh$/ {b++; on = b == n; next} /^```/ {on = 0} on' |
    sed 's/[[:space:]]*#.*$//' | grep .
}
run_cmd=$(readme 1 | sed -n 1p) test_cmd=$(readme 1 | sed -n 2p)
install_cmds=$(readme 2 | sed '$!s/$/ \&\&/') windows_cmd=$(readme 3)
for cmd in "$run_cmd" "$test_cmd" "$install_cmds" "$windows_cmd"; do
  [ -n "$cmd" ] || { echo "a command is missing from the README's code blocks" >&2; exit 2; }
done

cleanup() {
  # End what still runs inside the root, then unmount, newest first.
  for proc in /proc/[0-9]*; do
    [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill -KILL "${proc#/proc/}" 2>/dev/null
  done
  if [ -f "$work/mounts" ]; then
    tac "$work/mounts" | while read -r target; do
      umount "$target" 2>/dev/null || umount -l "$target" || true
    done
  fi
  if [ "${FRESH_MACHINE_KEEP:-0}" = 1 ]; then
    echo "kept: $work"
  elif ! grep -q "^$root" <<<"$(findmnt -rn -o TARGET)"; then
    rm -rf "$work"
  fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP  # through cleanup, also when stopped

failed=0
step_no=0
# step NAME COMMAND...: runs it with its output in a log, prints one line.
step() {
  local name=$1 log started status=0
  shift
  step_no=$((step_no + 1))
  log=$logs/$(printf '%02d' "$step_no")-${name//[^A-Za-z0-9]/-}.log
  started=$(date +%s)
  # In the background, so that set -e holds inside the step.
  "$@" >"$log" 2>&1 &
  wait $! || status=$?
  if [ "$status" -eq 0 ]; then
    printf 'PASS %-44s %4ss\n' "$name" $(($(date +%s) - started))
  else
    failed=1
    printf 'FAIL %-44s %4ss  %s\n' "$name" $(($(date +%s) - started)) "$(tail -n 1 "$log" | cut -c1-160)"
    printf '     log: %s\n' "$log"
  fi
  return "$status"
}

# in_root USER COMMAND: a login shell in the root with a clean environment.
in_root() {
  local user=$1 home=/root
  [ "$user" = root ] || home=/home/$user
  chroot --userspec="$user:$user" --groups="$user" "$root" env -i HOME="$home" USER="$user" \
    LOGNAME="$user" PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb bash -lc "cd ~ && $2"
}

base_root() {
  exec 9>"$cache/lock"
  flock 9
  if [ ! -s "$cache/$release-minbase.tar" ]; then
    rm -rf "$cache/base"
    debootstrap --variant=minbase "$release" "$cache/base" "$mirror"
    tar -C "$cache/base" -cf "$cache/$release-minbase.tar.tmp" .
    mv "$cache/$release-minbase.tar.tmp" "$cache/$release-minbase.tar"
    rm -rf "$cache/base"
  fi
  flock -u 9
  tar -C "$root" -xf "$cache/$release-minbase.tar"
}

bind() {  # bind SOURCE TARGET_IN_ROOT
  mkdir -p "$root$2"
  mount --bind "$1" "$root$2"
  echo "$root$2" >>"$work/mounts"  # steps run in subshells: cleanup reads this
}

prepare_root() {
  for fs in /proc /sys /dev /dev/pts /dev/shm; do bind "$fs" "$fs"; done
  # Downloads only, one folder per release; every install is new.
  mkdir -p "$cache/apt-archives-$release/partial"
  bind "$cache/apt-archives-$release" /var/cache/apt/archives
  # The machine's own package sources (its mirrors), for this release.
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    host=$(. /etc/os-release && echo "$VERSION_CODENAME")
    sed "s/\b$host\b/$release/g" /etc/apt/sources.list.d/debian.sources \
      >"$root/etc/apt/sources.list.d/debian.sources"
    rm -f "$root/etc/apt/sources.list"
  fi
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  echo "127.0.1.1 $(hostname)" >>"$root/etc/hosts"
  in_root root 'apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      git ca-certificates sudo >/dev/null'
  # apt-get asks before it installs more than it was named; a person says yes.
  echo 'APT::Get::Assume-Yes "true";' >"$root/etc/apt/apt.conf.d/90yes"
  in_root root 'useradd -m -s /bin/bash dev &&
    echo "dev ALL=(ALL) NOPASSWD:ALL" >/etc/sudoers.d/dev && chmod 0440 /etc/sudoers.d/dev'
}

clone() {
  git clone -q --bare --branch "$branch" "$src" "$root/srv/barcodes.git"
  in_root root 'git clone -q /srv/barcodes.git barcodes && git -C barcodes log --oneline -1'
  # /srv belongs to root: let dev's git read it.
  in_root dev 'git config --global --add safe.directory /srv/barcodes.git &&
    git clone -q /srv/barcodes.git barcodes && git -C barcodes log --oneline -1'
}

# The run command ends with the program's one line: no display, and how to
# run it under Xvfb from where it was built.
run_command() {  # USER
  local out status=0 home=/root
  [ "$1" = root ] || home=/home/$1
  out=$(in_root "$1" "cd barcodes && $run_cmd" 2>&1) || status=$?
  echo "$out"
  [ "$status" -eq 1 ] &&
    tail -n 1 <<<"$out" | grep -qx "barcodes: there is no graphical display .*xvfb-run -a $home/barcodes/build/app/app/barcodes"
}

free_display() {
  local n=${FRESH_MACHINE_DISPLAY:-70}
  [ -n "${FRESH_MACHINE_DISPLAY:-}" ] && { echo "$n"; return; }
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] ||
        grep -q "@/tmp/.X11-unix/X$n\$" /proc/net/unix; do n=$((n + 1)); done
  echo "$n"
}

# The advice of that line, with a timeout: still running after 5 s.
headless_advice() {  # USER PROGRAM
  local status=0
  in_root "$1" "xvfb-run -n $(free_display) -a timeout 5 $2" || status=$?
  echo "exit status $status (124: still running when the timeout ended it)"
  [ "$status" -eq 124 ]
}

windows_command() {  # the README's Windows command, as the user with sudo
  in_root dev "cd barcodes && $windows_cmd"
  # file 5.44 says "PE32+ executable (GUI) x86-64", 5.46 "PE32+ executable for MS Windows
  # 5.02 (GUI), x86-64".
  in_root dev 'cd barcodes && file build/windows/app/barcodes.exe | grep -Eq "PE32\+ executable .*\(GUI\),? x86-64" &&
    ls build/windows/barcodes-1.0.0-x64.msi'
}

installing() {  # the README's Installing section, as the user with sudo
  in_root dev "cd barcodes && $install_cmds"
  in_root dev 'dpkg -L barcodes | grep -x /usr/share/doc/barcodes/copyright && command -v barcodes'
  local out status=0
  out=$(in_root dev 'barcodes' 2>&1) || status=$?
  echo "$out"
  [ "$status" -eq 1 ] && grep -qx "barcodes: there is no graphical display .*xvfb-run -a /usr/bin/barcodes" <<<"$out"
}

step "minimal Debian $version root (cached debootstrap)" base_root || exit 1
step "add git, ca-certificates, sudo; user dev" prepare_root || exit 1
step "clone $branch for root and for dev" clone || exit 1
# The ordinary user first, so that its sudo installs what each command needs.
for user in dev root; do
  home=/root; [ "$user" = root ] || home=/home/$user
  if step "$user: run command ($run_cmd)" run_command "$user"; then
    step "$user: its xvfb-run advice" headless_advice "$user" "$home/barcodes/build/app/app/barcodes" || true
    if [ "$user" = dev ] && step "dev: Installing section, after the run command" installing; then
      step "dev: installed program under xvfb-run" headless_advice dev barcodes || true
    fi
    [ "$user" = dev ] && { step "dev: Windows command ($windows_cmd)" windows_command || true; }
  fi
  step "$user: test command ($test_cmd)" in_root "$user" "cd barcodes && $test_cmd" || true
done
[ -z "${FRESH_MACHINE_SOAK:-}" ] ||
  step "dev: soak.sh --load $FRESH_MACHINE_SOAK" in_root dev "barcodes/scripts/soak.sh --load $FRESH_MACHINE_SOAK" || true
if [ -n "${FRESH_MACHINE_BENCH:-}" ] &&
  step "dev: bench.sh $FRESH_MACHINE_BENCH" in_root dev "cd barcodes && scripts/bench.sh $FRESH_MACHINE_BENCH"; then
  sed -n '/^Measured on/,$p' "$logs/$(printf '%02d' "$step_no")"-*.log
fi
exit "$failed"

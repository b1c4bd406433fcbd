#!/usr/bin/env bash
# cmake --install into an empty prefix: the program runs from there, the Files/
# defaults and the example settings are in place, and the systemd unit starts this
# prefix's program headless.
#
#   install_test.sh BUILD_DIR VERSION
set -euo pipefail

build="$1"
version="$2"
prefix="$(mktemp -d "${TMPDIR:-/tmp}/kv-install.XXXXXX")"
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install_test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

"$prefix/bin/korvantis" --version | grep -q "^korvantis $version " || fail "the installed program does not run or is not version $version"
share="$prefix/share/korvantis"
for file in Files/TimeOut.html Files/find.bmp Files/home_page.bmp SETSERVER.INI.example korvantis.service; do
  [[ -s "$share/$file" ]] || fail "$file missing"
done
[[ -s "$prefix/share/doc/korvantis/README.md" ]] || fail "README.md missing"
[[ -s "$prefix/share/doc/korvantis/installation.md" ]] || fail "docs/installation.md missing"

unit="$share/korvantis.service"
grep -qx "ExecStart=$prefix/bin/korvantis --headless" "$unit" || fail "ExecStart does not name this prefix's program"
grep -qx "Restart=on-failure" "$unit" || fail "no restart on failure"
grep -qx "KillSignal=SIGTERM" "$unit" || fail "not stopped with SIGTERM"
grep -q "^User=" "$unit" || fail "no dedicated user"
grep -qx "ConditionPathExists=/var/lib/korvantis/SETSERVER.INI" "$unit" || fail "starts without settings"

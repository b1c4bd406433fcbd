#!/usr/bin/env bash
# The service folder's defaults as postinst puts them there (packaging/deb/install-defaults):
# a first installation, an upgrade with new defaults, the administrator's changes and
# the service's own files kept.
#
#   defaults_test.sh SOURCE_DIR
set -euo pipefail

helper="$1/packaging/deb/install-defaults"
work="$(mktemp -d "${TMPDIR:-/tmp}/kv-defaults.XXXXXX")"
trap 'rm -rf "$work"' EXIT
fail() { echo "defaults_test: $*" >&2; exit 1; }

share="$work/share"
home="$work/home"
mkdir -p "$share/Files/sub" "$home"
echo "time-out 1" >"$share/Files/TimeOut.html"
echo "picture 1" >"$share/Files/find.bmp"
echo "nested 1" >"$share/Files/sub/a.css"
echo "[SHLYAH_BAZA] 1" >"$share/SETSERVER.INI.example"

# First installation: everything copied, no SETSERVER.INI made.
"$helper" "$share" "$home" >/dev/null
for name in Files/TimeOut.html Files/find.bmp Files/sub/a.css SETSERVER.INI.example; do
  cmp -s "$share/$name" "$home/$name" || fail "$name not installed"
done
[[ ! -e "$home/SETSERVER.INI" ]] || fail "a SETSERVER.INI was made"
[[ "$(stat -c %a "$home/Files/find.bmp")" == 644 ]] || fail "a default is not readable by all"

# The service's own files, an administrator's change and an administrator's own file.
echo "settings" >"$home/SETSERVER.INI"
echo "database" >"$home/KORVANTIS_KLIENT.FDB"
mkdir "$home/LOG" && echo "log" >"$home/LOG/web.rtf"
echo "our time-out page" >"$home/Files/TimeOut.html"
echo "our logo" >"$home/Files/logo.png"

# An upgrade whose defaults all changed, and one file no longer shipped.
echo "time-out 2" >"$share/Files/TimeOut.html"
echo "picture 2" >"$share/Files/find.bmp"
echo "nested 2" >"$share/Files/sub/a.css"
echo "[SHLYAH_BAZA] 2" >"$share/SETSERVER.INI.example"
messages="$("$helper" "$share" "$home")"

for name in Files/find.bmp Files/sub/a.css SETSERVER.INI.example; do
  cmp -s "$share/$name" "$home/$name" || fail "the unchanged default $name was not upgraded"
done
[[ "$(cat "$home/Files/TimeOut.html")" == "our time-out page" ]] || fail "a changed default was overwritten"
[[ "$messages" == *"keeping $home/Files/TimeOut.html"*"$share/Files/TimeOut.html"* ]] ||
  fail "the kept file and its new default are not named: $messages"
[[ "$(grep -c keeping <<<"$messages")" == 1 ]] || fail "more than the changed file is reported: $messages"
[[ "$(cat "$home/SETSERVER.INI")" == settings ]] || fail "SETSERVER.INI touched"
[[ "$(cat "$home/KORVANTIS_KLIENT.FDB")" == database ]] || fail "the database touched"
[[ "$(cat "$home/LOG/web.rtf")" == log ]] || fail "a log touched"
[[ "$(cat "$home/Files/logo.png")" == "our logo" ]] || fail "the administrator's own file touched"
files="$(cd "$home" && find . -type f | sort | tr '\n' ' ')"
[[ "$files" == "./.korvantis-defaults.md5sums ./Files/TimeOut.html ./Files/find.bmp ./Files/logo.png ./Files/sub/a.css ./KORVANTIS_KLIENT.FDB ./LOG/web.rtf ./SETSERVER.INI ./SETSERVER.INI.example " ]] ||
  fail "the folder holds other files (temporary ones left?): $files"

# The changed file stays the administrator's at later upgrades too, even when that
# upgrade's default is what it was before; a deleted default comes back.
echo "time-out 1" >"$share/Files/TimeOut.html"
rm "$home/Files/find.bmp"
"$helper" "$share" "$home" >/dev/null
[[ "$(cat "$home/Files/TimeOut.html")" == "our time-out page" ]] || fail "the changed file was overwritten later"
cmp -s "$share/Files/find.bmp" "$home/Files/find.bmp" || fail "a deleted default did not come back"

# A file the administrator set back to the default is the package's again.
cp "$share/Files/TimeOut.html" "$home/Files/TimeOut.html"
"$helper" "$share" "$home" >/dev/null
echo "time-out 3" >"$share/Files/TimeOut.html"
"$helper" "$share" "$home" >/dev/null
cmp -s "$share/Files/TimeOut.html" "$home/Files/TimeOut.html" || fail "a default set back is not upgraded"

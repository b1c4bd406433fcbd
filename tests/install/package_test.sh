#!/usr/bin/env bash
# packaging/build-deb on this build folder: the package's fields, its files, its
# unit and maintainer scripts, and lintian's verdict. Nothing is installed here.
#
#   package_test.sh SOURCE_DIR BUILD_DIR VERSION
set -euo pipefail

source_dir="$1"
build="$2"
version="$3"
work="$(mktemp -d "${TMPDIR:-/tmp}/kv-package.XXXXXX")"
trap 'rm -rf "$work"' EXIT
fail() { echo "package_test: $*" >&2; exit 1; }

deb="$("$source_dir/packaging/build-deb" "$build" "$work" | tail -n 1)"
arch="$(dpkg --print-architecture)"
[[ "$deb" == "$work/korvantis_${version}_${arch}.deb" ]] || fail "package named $deb"

field() { dpkg-deb --field "$deb" "$1"; }
[[ "$(field Package)" == korvantis ]] || fail "Package is $(field Package)"
[[ "$(field Version)" == "$version" ]] || fail "Version is $(field Version), not $version"
[[ "$(field Architecture)" == "$arch" ]] || fail "Architecture is $(field Architecture)"
depends="$(field Depends)"
# Found by dpkg-shlibdeps, then the ones loaded at run time.
for dependency in libc6 libqt6core6 libqt6widgets6 libfbclient2 libcurl4 \
                  firebird3.0-server-core qt6-qpa-plugins qt6-translations-l10n ca-certificates procps adduser; do
  [[ ", $depends," == *", $dependency"[\ ,]* ]] || fail "Depends lacks $dependency: $depends"
done
[[ "$depends" != *@* ]] || fail "a field of control.in was left unfilled: $depends"

# Files: owned by root, the program where the unit runs it, no settings of a service
# folder and nothing under /var (postinst makes the folder).
listing="$(dpkg-deb --contents "$deb")"
if grep -v ' root/root ' <<<"$listing"; then fail "files not owned by root"; fi
paths="$(awk '{print $NF}' <<<"$listing")"
for path in ./usr/bin/korvantis ./lib/systemd/system/korvantis.service \
            ./usr/libexec/korvantis/install-defaults \
            ./usr/share/korvantis/Files/TimeOut.html ./usr/share/korvantis/SETSERVER.INI.example \
            ./usr/share/doc/korvantis/copyright ./usr/share/doc/korvantis/changelog.gz \
            ./usr/share/doc/korvantis/installation.md ./usr/share/man/man1/korvantis.1.gz; do
  grep -qx -- "$path" <<<"$paths" || fail "$path missing"
done
if grep -E '(^|/)SETSERVER\.INI$|^\./var/|^\./usr/share/korvantis/korvantis\.service$' <<<"$paths"; then
  fail "the package holds files a service folder or the unit's place owns"
fi

# The packaged program is the version it is packaged as.
dpkg-deb --extract "$deb" "$work/root"
dpkg-deb --control "$deb" "$work/control"
"$work/root/usr/bin/korvantis" --version | grep -q "^korvantis $version " ||
  fail "the packaged program says $("$work/root/usr/bin/korvantis" --version)"

unit="$work/root/lib/systemd/system/korvantis.service"
for line in "ExecStart=/usr/bin/korvantis --headless" "WorkingDirectory=/var/lib/korvantis" \
            "User=korvantis" "ConditionPathExists=/var/lib/korvantis/SETSERVER.INI" \
            "LimitNOFILE=65536" "WantedBy=multi-user.target"; do
  grep -qxF "$line" "$unit" || fail "the unit lacks $line"
done
documentation="$(sed -n 's|^Documentation=file://||p' "$unit")"
[[ -f "$work/root$documentation" ]] || fail "the unit's Documentation $documentation is not packaged"

# What postinst runs is in the package.
helper="$(grep -o '/usr/libexec/korvantis/[a-z-]*' "$work/control/postinst")"
[[ -x "$work/root$helper" ]] || fail "postinst runs $helper, which is not packaged"

# Lintian (it also checks the maintainer scripts' syntax and the md5sums): errors fail;
# the rest is shown.
status=0
lintian_output="$(lintian --tag-display-limit 0 "$deb" 2>&1)" || status=$?
[[ -z "$lintian_output" ]] || echo "$lintian_output"
if grep -q '^E: ' <<<"$lintian_output"; then fail "lintian reports errors"; fi
((status == 0)) || fail "lintian failed ($status)"

#!/usr/bin/env bash
# Packs this build tree as the Debian package, unpacks it into a scratch folder and checks what
# an installation gets: the files, the control fields, a program that starts from the unpacked
# tree, and no lintian error.
# Usage: check_package.sh CPACK BUILD_DIR TRANSLATIONS_SOURCE_DIR. Exit code 77: no Debian tools, skipped.
set -euo pipefail
cpack=$1 build=$2 translations=$3

for tool in dpkg-deb dpkg-shlibdeps readelf; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/setup installs it)"
        exit 77
    fi
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
debs=("$scratch"/out/*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb, got ${debs[*]}"; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

# Control fields.
package=$(dpkg-deb -f "$deb" Package)
version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[ "$package" = vorel-console ] || fail "Package is '$package'"
for dependency in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6svg6 \
    libquazip1-qt6-1 libcurl4 curl; do
    grep -Eq "(^|, )$dependency( |,|$)" <<<"$depends" || fail "Depends lacks $dependency"
done
grep -Eq "(^|, )qt6-translations-l10n( |,|$)" <<<"$(dpkg-deb -f "$deb" Recommends)" ||
    fail "Recommends lacks qt6-translations-l10n"
dpkg-deb -e "$deb" "$scratch/control"
grep -qx /etc/vorel-console/Zelt_ConsoleApp.ini "$scratch/control/conffiles" ||
    fail "the ini file is not a conffile"

# Contents.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$scratch/contents"
expected=(
    /usr/bin/Zelt_ConsoleApp
    /usr/share/applications/com.vorel.Console.desktop
    /usr/share/metainfo/com.vorel.Console.metainfo.xml
    /usr/share/icons/hicolor/scalable/apps/com.vorel.Console.svg
    /etc/vorel-console/Zelt_ConsoleApp.ini
    /usr/share/doc/vorel-console/copyright
    /usr/share/doc/vorel-console/changelog.gz
    /usr/share/man/man1/Zelt_ConsoleApp.1.gz
)
for size in 16 32 48 64 128 256; do
    expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/com.vorel.Console.png")
done
shopt -s nullglob
for source in "$translations"/*.ts; do
    expected+=("/usr/share/vorel-console/translations/$(basename "$source" .ts).qm")
done
shopt -u nullglob
for file in "${expected[@]}"; do
    grep -qx "$file" "$scratch/contents" || fail "$file is not in the package"
done

library=$(grep -E '^/usr/lib/([^/]+/)?vorel-console/libBrenn_AWS\.so$' "$scratch/contents") ||
    fail "libBrenn_AWS.so is not in a private folder below /usr/lib"
libdir=${library%/*}

root=$scratch/root
dpkg-deb -x "$deb" "$root"
program=$root/usr/bin/Zelt_ConsoleApp

# The launcher's command and its ini file come with the package.
desktop=$root/usr/share/applications/com.vorel.Console.desktop
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
read -r -a launcher <<<"$exec_line"
[ -x "$root/usr/bin/${launcher[0]}" ] || fail "the launcher runs '${launcher[0]}', not in /usr/bin"
[ "${launcher[1]:-}" = -i ] && [ -f "$root${launcher[2]:-}" ] ||
    fail "the launcher names no packaged ini file: $exec_line"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no icon '$icon'"

# The library is found through the program's RPATH, wherever the tree is unpacked.
rpath=$(readelf -d "$program" | sed -n 's/.*R.*PATH.*\[\(.*\)\]/\1/p')
[ "$rpath" = "\$ORIGIN/..${libdir#/usr}" ] || fail "RPATH is '$rpath', the library is in $libdir"

export QT_QPA_PLATFORM=offscreen
help=$(LD_LIBRARY_PATH=$root$libdir "$program" --help) || fail "--help failed"
for text in "-i <ini file>" "Path to the INI File" "--version"; do
    grep -qF -- "$text" <<<"$help" || fail "--help does not show '$text': $help"
done
printed=$(env -u LD_LIBRARY_PATH "$program" --version) || fail "--version failed"
[ "$printed" = "Zelt_ConsoleApp $version" ] ||
    fail "--version prints '$printed', the package is $version"

# The unpacked console opens its window and runs: its first request, the service's versions,
# fails against a closed port, and the failure is reported from the event loop. Every host is
# set, so that no start-up warning about the configuration waits for an answer.
for group in Zelt_MeetingService Zelt_AuthService Zelt_Service; do
    printf '[%s]\nhost=http://127.0.0.1:1\n' "$group"
done >"$scratch/throwaway.ini"
env -u LD_LIBRARY_PATH "$program" -i "$scratch/throwaway.ini" >"$scratch/run.log" 2>&1 &
console=$!
for _ in $(seq 300); do
    grep -q 'onServiceVersionsE.*ERROR:' "$scratch/run.log" && break
    kill -0 "$console" 2>/dev/null || break
    sleep 0.1
done
if kill "$console" 2>/dev/null; then
    wait "$console" || true
    grep -q 'onServiceVersionsE.*ERROR:' "$scratch/run.log" ||
        fail "the console did not get to its first request: $(cat "$scratch/run.log")"
else
    fail "the console ended at start: $(cat "$scratch/run.log")"
fi

if command -v lintian >/dev/null; then
    lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"
else
    echo "lintian is not installed: not checked"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package checked"

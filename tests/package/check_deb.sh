#!/usr/bin/env bash
# Builds the Debian package of a build folder into a temporary folder and
# checks it as Debian would: every bundle of the build tree is in it, the
# tool and its manual page (which must name every option the tool's help
# names), the changelog's version is the package's, and lintian finds no
# error and no warning.
#   check_deb.sh BUILD_DIR TOOL
set -euo pipefail
build=$1
tool=$2

if ! command -v lintian > /dev/null; then
  echo "lintian is not installed (scripts/install-deps.sh installs it)"
  exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$tmp" > "$tmp/cpack.log" 2>&1; then
  cat "$tmp/cpack.log"
  exit 1
fi
debs=("$tmp"/morvante_*.deb)
deb=${debs[0]}
echo "package: $(basename "$deb")"
# Names may hold spaces (the presets'): everything after the five columns.
dpkg-deb -c "$deb" | sed -E 's/^([^ ]+ +){5}//' > "$tmp/contents"
dpkg-deb -x "$deb" "$tmp/root"

# Nothing outside /usr; the bundles whole, each where its hosts look.
if grep -v -e '^\./$' -e '^\./usr/' "$tmp/contents"; then fail "files outside /usr"; fi
for bundle in "$build"/MORVANTE.*/; do
  name=$(basename "$bundle")
  case "$name" in
    *.vst3) dest=usr/lib/vst3 ;;
    *.lv2) dest=usr/lib/lv2 ;;
    *) continue ;;
  esac
  while read -r file; do
    grep -qxF "./$dest/$name/$file" "$tmp/contents" || fail "$dest/$name/$file is not in the package"
    # The build tree keeps its symbols: only the package's copy is stripped.
    if [[ $file == *.so && $(readelf -S "$bundle/$file") != *.symtab* ]]; then
      fail "the build tree's $name/$file was stripped"
    fi
  done < <(cd "$bundle" && find . -type f -printf '%P\n')
done
# Every factory preset the build wrote, where VST3 hosts browse presets.
while read -r preset; do
  grep -qxF "./usr/share/vst3/presets/Penvarrowsonics/MORVANTE/$preset" "$tmp/contents" ||
    fail "the factory preset $preset is not in the package"
done < <(cd "$build/presets/vst3" && find . -name '*.vstpreset' -printf '%P\n')
for file in usr/bin/morvante-process usr/share/man/man1/morvante-process.1.gz \
    usr/share/doc/morvante/copyright usr/share/doc/morvante/changelog.gz; do
  grep -qxF "./$file" "$tmp/contents" || fail "$file is not in the package"
done

# The manual page is written by hand: it must keep up with the options.
man_page=$(zcat "$tmp/root/usr/share/man/man1/morvante-process.1.gz" | sed 's/\\-/-/g')
options=$("$tool" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
for option in $options; do
  grep -qE -- "${option}([^a-z-]|\$)" <<< "$man_page" || fail "the manual page lacks $option"
done

zcat "$tmp/root/usr/share/doc/morvante/changelog.gz" > "$tmp/changelog"
changelog_version=$(dpkg-parsechangelog -l "$tmp/changelog" -S Version)
package_version=$(dpkg-deb -f "$deb" Version)
[[ $changelog_version == "$package_version" ]] ||
  fail "the changelog's latest entry is $changelog_version, the package is $package_version"

echo "lintian:"
lintian --fail-on error,warning --display-info "$deb" || fail "lintian reports errors or warnings"
exit $status

#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks that everything a
# Linux desktop needs is there and valid.
set -euo pipefail
build_dir=$1
destdir=$(mktemp -d)
trap 'rm -rf "$destdir"' EXIT
DESTDIR="$destdir" cmake --install "$build_dir" --prefix /usr >/dev/null
root="$destdir/usr"

status=0
for file in bin/corvanta bin/corvanta-cli \
            share/corvanta/help/cva13.qch \
            share/corvanta/presets/fender-twin-reverb-aa270.cvp \
            share/applications/org.example.Corvanta.desktop \
            share/metainfo/org.example.Corvanta.metainfo.xml \
            share/mime/packages/corvanta.xml \
            share/icons/hicolor/scalable/apps/corvanta.svg \
            share/icons/hicolor/48x48/apps/corvanta.png \
            share/icons/hicolor/256x256/apps/corvanta.png; do
  if [ ! -e "$root/$file" ]; then
    echo "missing after install: $file"
    status=1
  fi
done

# The installed tool finds the presets installed beside the help.
presets=$("$root/bin/corvanta-cli" --list-presets 2>&1 | grep -c "$(printf '\t')") || true
[ "$presets" -ge 24 ] || { echo "installed corvanta-cli lists $presets presets"; status=1; }
# It loads its plot module from the installed library folder.
"$root/bin/corvanta-cli" --png "$destdir/plot.png" >/dev/null && [ -s "$destdir/plot.png" ] ||
  { echo "installed corvanta-cli cannot draw its plot"; status=1; }
# And its render module.
"$root/bin/corvanta-cli" --render-demo 0.1 --output "$destdir/demo.wav" && [ -s "$destdir/demo.wav" ] ||
  { echo "installed corvanta-cli cannot render audio"; status=1; }
# And its live module: without a JACK server it says so.
live=$(JACK_DEFAULT_SERVER=corvanta-install-check-none "$root/bin/corvanta-cli" --live 2>&1) || true
grep -q "No JACK server" <<<"$live" || { echo "installed corvanta-cli cannot load its live module: $live"; status=1; }
"$root/bin/corvanta-cli" --version | grep -qx "corvanta-cli 1.3.0.41" || { echo "installed corvanta-cli has the wrong version"; status=1; }
grep -qx "X-Corvanta-Version=1.3.0.41" "$root/share/applications/org.example.Corvanta.desktop" || { echo "desktop entry lacks the version"; status=1; }
grep -q 'release version="1.3.0.41"' "$root/share/metainfo/org.example.Corvanta.metainfo.xml" || { echo "metainfo lacks the release"; status=1; }

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/share/applications/org.example.Corvanta.desktop" || status=1
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$root/share/metainfo/org.example.Corvanta.metainfo.xml" || status=1
fi
# The Debian package carries the run-time dependencies the scan cannot see.
package_dir="$destdir/package"
mkdir -p "$package_dir"
cpack --config "$build_dir/CPackConfig.cmake" -B "$package_dir" >/dev/null
deb=$(ls "$package_dir"/corvanta_1.3.0.41_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6sql6-sqlite libqt6widgets6 libqt6help6; do
  case "$depends" in
    *"$needed"*) ;;
    *) echo "package does not depend on $needed: $depends"; status=1 ;;
  esac
done
exit $status

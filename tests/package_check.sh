#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks it: the files a
# user gets, the AppStream metainfo, the desktop entry, and lintian.
#   package_check.sh BUILD-DIR [WORK-DIR]
# WORK-DIR defaults to a new folder in $TMPDIR: lintian cannot open unpacked
# files below a path that is not ASCII, as a clone's may be.
set -euo pipefail
build=$1 work=${2:-$(mktemp -d)}
for tool in cpack dpkg-deb dpkg-shlibdeps lintian appstreamcli desktop-file-validate; do
  command -v $tool >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
deb=$(echo "$work"/tessaronedit_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/files"
for f in usr/bin/tessaronedit usr/bin/tessaron-pack usr/share/applications/tessaronedit.desktop \
         usr/share/metainfo/org.tessaron.tessaronedit.metainfo.xml \
         usr/share/man/man1/tessaronedit.1.gz usr/share/man/man1/tessaron-pack.1.gz \
         usr/share/doc/tessaronedit/copyright usr/share/doc/tessaronedit/changelog.gz \
         usr/share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/tessaronedit.png; do
  grep -qx "./$f" "$work/files" || { echo "missing from the package: $f"; exit 1; }
done
for dep in qt6-qpa-plugins fonts-liberation2; do
  dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//' | grep -q "^$dep\b" ||
    { echo "the package does not depend on $dep: $(dpkg-deb -f "$deb" Depends)"; exit 1; }
done
dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/tessaron-pack" --version
appstreamcli validate --no-net --pedantic "$work/root/usr/share/metainfo/org.tessaron.tessaronedit.metainfo.xml"
desktop-file-validate "$work/root/usr/share/applications/tessaronedit.desktop"
lintian --info --pedantic --display-experimental --fail-on error,warning,info,pedantic "$deb" 2> >(grep -v "root privileges" >&2)
echo "$(basename "$deb"): $(wc -l <"$work/files") entries, metainfo, desktop entry and lintian clean"

#!/bin/sh
# The installed player: `cmake --install` into a temporary root, and the Debian
# package unpacked into another, each playing its default show from an
# unrelated folder, its Video entry and a capture through the installed video
# module; lintian on the package; the manual page against --help.
# Usage: install_test.sh BUILD_DIR (needs an X server, as ctest has).
set -e
# The installed player finds its modules itself.
unset DEMO_MODULE_DIR
BUILD=$(cd "$1" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir "$WORK/elsewhere"
cd "$WORK/elsewhere"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# A few small frames of the installed default show, then --check on it.
play_installed() {
    rm -rf frames
    "$1" --no-gui --size 64x48 --render 0:1000:500 --out frames 2>render.log || { tail render.log; fail "$1 --render"; }
    test -s frames/frame_0000000.png && test -s frames/frame_0000500.png || fail "$1 wrote no frames"
    "$1" --no-gui --check >check.txt 2>&1 || { tail check.txt; fail "$1 --check"; }
    # The default show's Video entry, and a capture.
    echo 95000 >times.txt
    "$1" --no-gui --size 64x48 --times times.txt --out frames 2>video.log || { tail video.log; fail "$1 --times"; }
    test -s frames/frame_0095000.png || fail "$1 drew no frame of the Video entry"
    rm -f take.mkv
    "$1" --no-gui --size 64x48 --capture take.mkv --from 95000 --to 95200 2>capture.log ||
        { tail capture.log; fail "$1 --capture"; }
    test -s take.mkv || fail "$1 captured nothing"
}

echo "cmake --install into a temporary root:"
DESTDIR="$WORK/installed" cmake --install "$BUILD" --prefix /opt/glimraven >/dev/null
PLAYER="$WORK/installed/opt/glimraven/bin/glimraven"
play_installed "$PLAYER"

# Which show plays: -C DIR, then a script named on the command line, then
# data/ in the working directory, then the installed one (above). The broken
# show's unknown entry shows that it was the one read.
mkdir -p broken/data
printf 'music.ogg\n0\n1\nNoSuchEffect\n0\n1000\n' >broken/data/demo.txt
check_broken() {  # the message to find, then the player's arguments
    want=$1
    shift
    status=0
    "$PLAYER" --no-gui --check "$@" >check.txt 2>&1 || status=$?
    test "$status" = 1 && grep -q "$want" check.txt || { cat check.txt; fail "--check $*: no \"$want\" and exit 1"; }
}
check_broken NoSuchEffect -C broken
check_broken NoSuchEffect broken/data/demo.txt
(cd broken && check_broken NoSuchEffect)
printf 'not a show\n' >notes.txt
check_broken "not a show's script" notes.txt
check_broken "No such file" missing/data/demo.txt

echo "The Debian package:"
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK/package" >/dev/null
DEB=$(ls "$WORK"/package/glimraven_*.deb)
dpkg-deb -x "$DEB" "$WORK/unpacked"
play_installed "$WORK/unpacked/usr/bin/glimraven"
for module in glimraven-video.so glimraven-dialogs.so; do
    dpkg-deb -c "$DEB" | grep -q "/glimraven/$module\$" || fail "the package has no $module"
done
echo "$(basename "$DEB"): $(du -k "$DEB" | cut -f1) KiB; Depends: $(dpkg-deb -f "$DEB" Depends)"
lintian --fail-on error "$DEB" || fail "lintian found errors"

echo "Every option of --help is in the manual page:"
zcat "$WORK/unpacked/usr/share/man/man1/glimraven.1.gz" | sed 's/\\-/-/g' >man.txt
for option in $("$PLAYER" --help | grep -o -e '--[a-z-]*' -e '-C' | sort -u); do
    grep -q -e "$option" man.txt || fail "$option is missing from the manual page"
done
echo "install test passed"

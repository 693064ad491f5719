#!/usr/bin/env bash
# Installs the Debian package (scripts/package.sh builds it) on a clean Debian 12 made with
# debootstrap, and checks it as a user would meet it: `apt-get install ./pagelyst_*.deb`
# resolves its dependencies, every file is in place, `pagelyst-cli demo` runs, the desktop
# program starts under Xvfb with a scenario on its command line (screenshot in
# build/screenshots/34-installed.png), and `apt-get remove --purge` leaves nothing behind.
#
# Runs as root (debootstrap, chroot, mounts). The base system with the checking tools (Xvfb,
# ImageMagick, x11-utils, xdotool) is cached in build/package-check/ as a tarball, so only the first run
# downloads it; the mirror is the one this machine's apt uses (MIRROR overrides it).
set -euo pipefail
cd "$(dirname "$0")/.."
root_dir=$(pwd)
work=$root_dir/build/package-check
chroot_dir=$work/root
suite=bookworm
variant=minbase
tools="xvfb imagemagick x11-utils xdotool"
# A new tool list makes a new cache.
cache=$work/$suite-$variant-$(md5sum <<<"$tools" | cut -c1-8).tar.gz
shot=$root_dir/build/screenshots/34-installed.png
tip_shot=$root_dir/build/screenshots/34-installed-tip.png

[[ $(id -u) == 0 ]] || { echo "package-check.sh: run as root" >&2; exit 1; }
command -v debootstrap >/dev/null || { echo "package-check.sh: apt-get install debootstrap" >&2; exit 1; }
deb=$(find build/package -maxdepth 1 -name "pagelyst_*.deb" 2>/dev/null | head -1)
[[ -n $deb ]] || { echo "package-check.sh: no package; run scripts/package.sh first" >&2; exit 1; }

# The host's Debian mirror, from its one-line or deb822 sources.
sources=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null || true)
mirror=${MIRROR:-$(grep -oE 'https?://[^ ]+/debian/?( |$)' <<<"$sources" | head -1 | tr -d ' ')}
mirror=${mirror%/}
security=$(grep -oE 'https?://[^ ]+/debian-security/?( |$)' <<<"$sources" | head -1 | tr -d ' ')
security=${security%/}
[[ -n $mirror ]] || { echo "package-check.sh: no Debian mirror in /etc/apt; set MIRROR" >&2; exit 1; }
echo "== $suite ($variant) from $mirror${security:+ and $security}"

mounts=()
cleanup() {
    set +e
    # Whatever this run started inside the chroot and left running (after a failed step).
    for proc in /proc/[0-9]*; do
        [[ $(readlink "$proc/root" 2>/dev/null) == "$chroot_dir" ]] && kill "${proc#/proc/}" 2>/dev/null
    done
    sleep 0.5
    for ((i = ${#mounts[@]} - 1; i >= 0; --i)); do umount -l "${mounts[$i]}" 2>/dev/null; done
    # Only once nothing of the host is mounted inside it any more.
    if ! grep -q " $chroot_dir/" /proc/mounts; then rm -rf --one-file-system "$chroot_dir"; fi
}
trap cleanup EXIT
mount_in() {  # mount_in TARGET mount-arguments...
    local target=$chroot_dir$1
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounts+=("$target")
}
in_chroot() {
    chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive /bin/bash -euo pipefail -c "$1"
}
setup_mounts() {
    mount_in /proc -t proc proc
    mount_in /sys -t sysfs sysfs
    mount_in /dev --bind /dev
    mount_in /dev/pts --bind /dev/pts
    mount_in /dev/shm -t tmpfs -o mode=1777 tmpfs
    cp /etc/resolv.conf /etc/hosts "$chroot_dir/etc/"
}

rm -rf --one-file-system "$chroot_dir"
mkdir -p "$chroot_dir" "$(dirname "$shot")"
start=$SECONDS
if [[ -f $cache ]]; then
    echo "== base system from $cache"
    tar -xzpf "$cache" --numeric-owner -C "$chroot_dir"
    setup_mounts
else
    echo "== debootstrap (once; cached afterwards)"
    debootstrap --variant="$variant" "$suite" "$chroot_dir" "$mirror" >"$work/debootstrap.log" 2>&1 ||
        { tail -20 "$work/debootstrap.log"; exit 1; }
    {
        echo "deb $mirror $suite main"
        echo "deb $mirror $suite-updates main"
        [[ -n $security ]] && echo "deb $security $suite-security main"
    } >"$chroot_dir/etc/apt/sources.list"
    # No service starts inside the chroot.
    printf '#!/bin/sh\nexit 101\n' >"$chroot_dir/usr/sbin/policy-rc.d"
    chmod +x "$chroot_dir/usr/sbin/policy-rc.d"
    setup_mounts
    in_chroot "apt-get update -qq && apt-get install -y -qq --no-install-recommends $tools >/dev/null"
    in_chroot "apt-get clean"
    tar -czpf "$cache.part" --numeric-owner --one-file-system -C "$chroot_dir" \
        --exclude=./proc --exclude=./sys --exclude=./dev/pts --exclude=./dev/shm . &&
        mv "$cache.part" "$cache"
fi
echo "   ready in $((SECONDS - start)) s"

echo "== apt-get install ./$(basename "$deb")"
cp "$deb" "$chroot_dir/tmp/"
in_chroot "apt-get update -qq && apt-get install -y -qq /tmp/$(basename "$deb") >/tmp/install.log 2>&1 ||
    { tail -30 /tmp/install.log; exit 1; }; grep -E '^(Setting up|Unpacking) ' /tmp/install.log | wc -l |
    xargs -I{} echo '   {} steps; package status:' \$(dpkg-query -W -f='\${Status} \${Version}' pagelyst)"

echo "== files in place (dpkg -L pagelyst)"
expected=(
    /usr/bin/pagelyst /usr/bin/pagelyst-cli
    /usr/share/pagelyst/help/index.html /usr/share/pagelyst/tips.txt
    /usr/share/applications/pagelyst.desktop /usr/share/mime/packages/pagelyst.xml
    /usr/share/icons/hicolor/scalable/apps/pagelyst.svg
    /usr/share/man/man1/pagelyst.1.gz /usr/share/man/man1/pagelyst-cli.1.gz
    /usr/share/doc/pagelyst/copyright /usr/share/doc/pagelyst/changelog.gz
)
for size in 16 32 48 64 128 256; do expected+=("/usr/share/icons/hicolor/${size}x$size/apps/pagelyst.png"); done
in_chroot "dpkg -L pagelyst" >"$work/files.txt"
for file in "${expected[@]}"; do
    if ! grep -qx "$file" "$work/files.txt" || [[ ! -e $chroot_dir$file ]]; then
        echo "   missing: $file" >&2
        exit 1
    fi
done
# Everything the package lists is on disk (the help pages among them, whatever the folder holds).
while read -r path; do
    [[ -e $chroot_dir$path ]] || { echo "   listed but missing: $path" >&2; exit 1; }
done <"$work/files.txt"
echo "   ${#expected[@]} expected files present, $(grep -c '^/usr/share/pagelyst/help/.' "$work/files.txt") help files; all $(grep -c . "$work/files.txt") listed paths exist"
# The scenario type, once the mime database's trigger has run (shared-mime-info is there with Qt).
if [[ -f $chroot_dir/usr/share/mime/globs2 ]]; then
    grep -q 'application/x-pagelyst-scenario:\*\.wsa' "$chroot_dir/usr/share/mime/globs2" ||
        { echo "   *.wsa is not in the mime database" >&2; exit 1; }
    echo "   *.wsa registered as application/x-pagelyst-scenario"
fi

echo "== pagelyst-cli demo"
in_chroot "export PAGELYST_HOME=/tmp/home; mkdir -p /tmp/home /tmp/demo
    pagelyst-cli demo --out /tmp/demo --save-scenario /tmp/demo/demo.wsa >/tmp/demo.log 2>&1 ||
        { cat /tmp/demo.log; exit 1; }
    tail -3 /tmp/demo.log; test -s /tmp/demo/demo.wsa; ls /tmp/demo | sed 's/^/   wrote /'"

echo "== pagelyst /tmp/demo/demo.wsa under Xvfb"
# The X server picks a free display itself: the chroot shares the host's network namespace, and
# with it the abstract sockets of every X server already running here.
in_chroot "export PAGELYST_HOME=/tmp/home
    rm -f /tmp/display
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>/tmp/display >/tmp/xvfb.log 2>&1 &
    xvfb=\$!
    for i in \$(seq 50); do [ -s /tmp/display ] && break; sleep 0.2; done
    [ -s /tmp/display ] || { echo '   Xvfb did not start'; cat /tmp/xvfb.log; exit 1; }
    export DISPLAY=:\$(head -1 /tmp/display)
    echo \"   Xvfb on \$DISPLAY\"
    pagelyst /tmp/demo/demo.wsa >/tmp/pagelyst.log 2>&1 &
    program=\$!
    shown=
    for i in \$(seq 60); do
        # Read whole, so that an early match cannot break the pipe under pipefail.
        windows=\$(xwininfo -root -tree 2>/dev/null || true)
        if grep -q '\"demo.wsa' <<<\"\$windows\"; then shown=1; break; fi
        kill -0 \$program 2>/dev/null || break
        sleep 0.5
    done
    sleep 4
    if [ -z \"\$shown\" ] || ! kill -0 \$program 2>/dev/null; then
        echo '   no window with the scenario'; xwininfo -root -tree | grep '\"' | head
        kill -0 \$program 2>/dev/null || { wait \$program; echo \"   pagelyst ended with \$?\"; }
        cat /tmp/pagelyst.log /tmp/xvfb.log; kill \$program \$xvfb 2>/dev/null; exit 1
    fi
    xwininfo -root -tree | grep -iE '\"(demo|tip)' | sed 's/^ */   window: /'
    # The tip of the day comes up first (its text is read from the installed tips.txt);
    # Escape closes it, as a user would, and the window with the scenario is photographed.
    import -window root /tmp/shot-tip.png
    tip=\$(xdotool search --name 'Tip of the Day' | head -1)
    if [ -n \"\$tip\" ]; then
        xdotool windowfocus \$tip; sleep 0.5; xdotool key Escape
        for i in \$(seq 20); do xdotool search --onlyvisible --name 'Tip of the Day' >/dev/null || break; sleep 0.5; done
        sleep 2
    fi
    import -window root /tmp/shot.png
    kill \$program; wait \$program || true
    kill \$xvfb; wait \$xvfb || true"
cp "$chroot_dir/tmp/shot.png" "$shot"
cp "$chroot_dir/tmp/shot-tip.png" "$tip_shot"
echo "   screenshots: ${shot#"$root_dir"/} (${tip_shot#"$root_dir"/} with the tip of the day)"

echo "== apt-get remove --purge pagelyst"
in_chroot "apt-get remove --purge -y -qq pagelyst >/dev/null; ! dpkg-query -W pagelyst 2>/dev/null |
    grep -q .; echo '   package status:' \$(dpkg-query -W -f='\${Status}' pagelyst 2>/dev/null || echo 'not known')"
left=0
while read -r path; do
    # Shared folders (/usr/share/icons/hicolor/48x48/apps, ...) belong to other packages too.
    [[ -d $chroot_dir$path && $path != /usr/share/pagelyst* && $path != /usr/share/doc/pagelyst ]] && continue
    if [[ -e $chroot_dir$path ]]; then echo "   left: $path" >&2; left=1; fi
done <"$work/files.txt"
[[ $left == 0 ]] || exit 1
echo "   nothing of the package is left"
echo "== package check passed in $SECONDS s"

#!/usr/bin/env bash
# The program as a user installs it: the shipped desktop entry and
# software-centre metadata pass the standard validators, and the Debian
# package, unpacked into a throwaway root, holds a program that starts, finds
# its pictures, help documents and sound there, and quits with status 0.
# Usage: package.sh PATH-TO-KESTRUNE SOURCE-DIR BUILD-DIR
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$1"
SOURCE=$(readlink -f -- "$2")
BUILD=$(readlink -f -- "$3")

metadata_is_valid() {
    desktop-file-validate "$SOURCE/packaging/org.kestrune.Kestrune.desktop" >"$E2E_TMP/desktop.log" 2>&1 ||
        e2e_fail "desktop-file-validate: $(cat "$E2E_TMP/desktop.log")"
    appstreamcli validate --no-net --pedantic "$SOURCE/packaging/org.kestrune.Kestrune.metainfo.xml" \
        >"$E2E_TMP/appstream.log" 2>&1 ||
        e2e_fail "appstreamcli validate: $(cat "$E2E_TMP/appstream.log")"
    grep -q '^DBusActivatable=true' "$SOURCE/packaging/org.kestrune.Kestrune.desktop" ||
        e2e_fail "the desktop entry does not say DBusActivatable=true"
}

installed_program_runs() {
    (cd "$BUILD" && cpack -G DEB -B "$E2E_TMP/package" -D CPACK_PACKAGING_INSTALL_PREFIX=/usr \
        >"$E2E_TMP/cpack.log" 2>&1) || e2e_fail "cpack: $(tail -5 "$E2E_TMP/cpack.log")"
    local deb
    deb=$(ls "$E2E_TMP"/package/kestrune_*.deb 2>/dev/null | head -n 1)
    [[ -n $deb ]] || e2e_fail "cpack made no .deb: $(ls "$E2E_TMP/package")"
    dpkg-deb -f "$deb" Depends >"$E2E_TMP/depends"
    grep -q 'libqt6widgets6' "$E2E_TMP/depends" || e2e_fail "the package does not depend on Qt: $(cat "$E2E_TMP/depends")"
    local root=$E2E_TMP/root
    dpkg -x "$deb" "$root" || e2e_fail "dpkg -x could not unpack ${deb##*/}"
    local file
    for file in usr/bin/kestrune usr/share/applications/org.kestrune.Kestrune.desktop \
        usr/share/metainfo/org.kestrune.Kestrune.metainfo.xml usr/share/mime/packages/kestrune.xml \
        usr/share/icons/hicolor/scalable/apps/org.kestrune.Kestrune.svg usr/share/man/man1/kestrune.1 \
        usr/share/dbus-1/services/org.kestrune.Kestrune.service \
        "usr/share/kestrune/Images/Kestrune's_Manual.pdf" usr/share/kestrune/Images/Click.aif \
        usr/share/kestrune/Images/UpArrow.png; do
        [[ -f $root/$file ]] || e2e_fail "the package lacks /${file}"
    done

    # The unpacked program, with a stand-in for the desktop's document
    # handler that writes down what it is asked to open.
    mkdir -p "$E2E_TMP/handler"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\n' "$E2E_TMP" >"$E2E_TMP/handler/xdg-open"
    chmod +x "$E2E_TMP/handler/xdg-open"
    export PATH="$E2E_TMP/handler:$PATH"
    ln -sf "$root/usr/bin/kestrune" "$E2E_TMP/bin/kestrune"
    local k
    for ((k = 1; k <= 12; k++)); do
        printf 'Orvane Audio,PR-%d, %d.5, %d.25, %d.1, 6.312, 220, 12.5, 275, 95.4\r' $k $((10 + k)) $((18 + k)) $((40 + k))
    done >"$E2E_TMP/Catalogue.kedata"
    e2e_launch app "$E2E_TMP" Catalogue.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" Catalogue.kedata "opening Catalogue.kedata in the installed program"
    # The software centre's screenshot, as the installed program shows a sheet.
    mkdir -p "$BUILD/screenshots"
    import -window "$E2E_MAIN" "$BUILD/screenshots/kestrune-sheet.png" ||
        e2e_fail "could not take the screenshot"
    e2e_key "$E2E_MAIN" ctrl+slash
    e2e_poll 5 test -s "$E2E_TMP/opened" || e2e_fail "the installed program opened no manual"
    local opened
    opened=$(head -n 1 "$E2E_TMP/opened")
    [[ $opened == "file://$root/usr/share/kestrune/Images/Kestrune's_Manual.pdf" ||
        $opened == "file://$root/usr/share/kestrune/Images/Kestrune%27s_Manual.pdf" ]] ||
        e2e_fail "the installed program opened '${opened}', not the manual it installed"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q in the installed program"
}

e2e_case "the desktop entry and the metadata pass the validators" metadata_is_valid
e2e_case "the package unpacked into a root runs and finds its files" installed_program_runs
e2e_finish

#!/usr/bin/env bash
# A path handed over the bus whose bytes the file calls would read
# otherwise than written (a NUL byte, raw or as %00) is refused with the
# alert of a file that cannot be opened: the file its name stops at is
# neither opened as the document nor written over.
# Usage: unusable_paths.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

VICTIM='Name,Model,1,2,3,4,5,6,7,8\n'

# nul_case HOW: HOW is uri (OpenDocuments with %00) or bytes (OpenDocumentFiles
# with a raw NUL byte).
nul_case() {
    local how=$1 docs=$E2E_TMP/docs
    e2e_write "$docs/victim.csv" "$VICTIM"
    e2e_write "$E2E_TMP/expected" "$VICTIM"
    e2e_launch app "$docs"
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" Kestrune "start-up with no document"
    local -a call=(dbus-send --session --print-reply --dest=org.kestrune.Kestrune
        /org/kestrune/Kestrune)
    if [[ $how == uri ]]; then
        call+=(org.kestrune.Kestrune.OpenDocuments "array:string:file://${docs}/victim.csv%00.kedata")
    else
        local bytes
        bytes=$(printf '%s' "$docs/victim.csv" | od -An -tu1 | tr -s ' \n' ',,')
        bytes="${bytes#,}0,46,107,101,100,97,116,97" # NUL, then ".kedata"
        # dbus-send cannot send an array of byte arrays; gdbus can.
        command -v gdbus >/dev/null || e2e_fail "gdbus is missing (tools/bootstrap installs it)"
        call=(gdbus call --session --dest org.kestrune.Kestrune --object-path /org/kestrune/Kestrune
            --method org.kestrune.Kestrune.OpenDocumentFiles "[[${bytes}]]")
    fi
    timeout 10 "${call[@]}" >"$E2E_TMP/call.out" 2>&1 || e2e_fail "the call failed: $(cat "$E2E_TMP/call.out")"
    e2e_wait_dialog "the hand-over of victim.csv with a NUL before .kedata (the alert)"
    e2e_title_is "$E2E_MAIN" Kestrune || e2e_fail "the NUL path opened a sheet titled '${E2E_TITLE}'"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return on the alert"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q"
    e2e_expect_bytes "$docs/victim.csv" "$E2E_TMP/expected" "victim.csv"
}

e2e_case "a %00 in a handed-over URI is refused" nul_case uri
e2e_case "a NUL byte in a handed-over path is refused" nul_case bytes
e2e_finish

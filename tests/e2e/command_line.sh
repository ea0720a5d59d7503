#!/usr/bin/env bash
# The options answer at once on the terminal: --help and --version print and
# end with status 0, an unknown option is refused with status 2. None of them
# opens a window or hands anything to a running Kestrune.
# Usage: command_line.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# option_case ARGUMENTS STATUS STREAM PATTERN: with a Kestrune running on a
# document, `kestrune ARGUMENTS` ends with STATUS and prints a line matching
# PATTERN on STREAM (out or err); the running one is left as it was.
option_case() {
    local arguments=$1 status=$2 stream=$3 pattern=$4
    e2e_write "$E2E_TMP/docs/doc.kedata" 'Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r'
    e2e_write "$E2E_TMP/docs/other.kedata" 'Other,O-7, 16.5, 25, 8.25, 2.5, 150, 6, 90, 33.3\r'
    e2e_launch app "$E2E_TMP/docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata"
    local -a args
    read -r -a args <<<"$arguments"
    (cd "$E2E_TMP/docs" && timeout 10 "$E2E_TMP/bin/kestrune" "${args[@]}" other.kedata \
        >"$E2E_TMP/out" 2>"$E2E_TMP/err")
    local got=$?
    ((got == status)) || e2e_fail "kestrune ${arguments} ended with status ${got}, not ${status}: $(cat "$E2E_TMP/err")"
    grep -Eq -- "$pattern" "$E2E_TMP/$stream" ||
        e2e_fail "kestrune ${arguments} printed on std${stream}: '$(cat "$E2E_TMP/$stream")'"
    e2e_expect_instances 1 "after kestrune ${arguments}"
    sleep 0.3 # a hand-over would have opened other.kedata by now
    e2e_title_is "$E2E_MAIN" doc.kedata || e2e_fail "kestrune ${arguments} changed the running sheet to '${E2E_TITLE}'"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q"
}

e2e_case "--help prints the usage"          option_case --help    0 out '^Usage: kestrune \[OPTION\]\.\.\. \[FILE\]\.\.\.$'
e2e_case "--version prints the version"     option_case --version 0 out '^Kestrune [0-9]+\.[0-9]+\.[0-9]+$'
e2e_case "an unknown option is an error"    option_case --bogus   2 err "^kestrune: unknown option '--bogus'$"
e2e_finish

#!/usr/bin/env bash
# Saves and opens at the edges of the system: a document reached through a
# symbolic link, a save beyond the process's file-size limit, a document too
# large for its memory limit. Nothing is lost, the program keeps running and
# Quit still ends it with status 0.
# Usage: limits.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

DOC='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r'
NEW_ROW='n/a,n/a, 0, 0, 0, 0, 0, 0, 0, 0\r'

# The launched program's process id, in E2E_PID.
app_pid() {
    E2E_PID=$(e2e_instance_pids | head -n 1)
    [[ -n $E2E_PID ]] || e2e_fail "no kestrune process runs"
}

# Add New Model marks the sheet shown under TITLE changed.
add_row() {
    local title=$1
    e2e_click "$E2E_MAIN" "${E2E_ADD_NEW_MODEL[@]}"
    e2e_poll 2 e2e_title_is "$E2E_MAIN" "${title}*" || e2e_fail "Add New Model did not mark ${title} changed"
}

# Ctrl+Q on a changed sheet, Don't Save: the program ends with status 0.
quit_without_saving() {
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_wait_dialog "Ctrl+Q on the changed sheet"
    e2e_key "$E2E_DIALOG" alt+d
    e2e_expect_exit app 0 "Ctrl+Q, Don't Save"
}

link_case() {
    local docs=$E2E_TMP/docs
    mkdir -p "$docs/real"
    e2e_write "$docs/real/target.kedata" "$DOC"
    ln -s real/target.kedata "$docs/link.kedata"
    e2e_write "$E2E_TMP/expected" "${DOC}${NEW_ROW}"
    e2e_launch app "$docs" link.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" link.kedata "opening link.kedata"
    add_row link.kedata
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_title "$E2E_MAIN" link.kedata "the sheet after Ctrl+S"
    [[ -L $docs/link.kedata && $(readlink "$docs/link.kedata") == real/target.kedata ]] ||
        e2e_fail "Ctrl+S replaced the symbolic link link.kedata"
    e2e_expect_bytes "$docs/real/target.kedata" "$E2E_TMP/expected" "the file the link names, after Ctrl+S"
    [[ $(ls -A "$docs/real") == target.kedata && $(ls -A "$docs" | wc -l) == 2 ]] ||
        e2e_fail "the save left other files behind: $(ls -A "$docs" "$docs/real")"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the save"
}

file_size_case() {
    local docs=$E2E_TMP/docs
    mkdir -p "$docs"
    for ((k = 0; k < 3000; k++)); do printf "Maker %d,PR-%d, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r" $k $k; done >"$docs/big.kedata"
    cp -- "$docs/big.kedata" "$E2E_TMP/before"
    e2e_launch app "$docs" big.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" big.kedata "opening big.kedata"
    app_pid
    prlimit --pid "$E2E_PID" --fsize=100000 || e2e_fail "could not limit the file size of the program"
    add_row big.kedata
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_dialog "Ctrl+S beyond the file-size limit (the program must say the save failed)"
    e2e_key "$E2E_DIALOG" Return # Continue
    e2e_wait_dialog_gone "Continue in the file-error alert"
    e2e_expect_instances 1 "after the failed save"
    e2e_title_is "$E2E_MAIN" "big.kedata*" || e2e_fail "after the failed save the sheet is not marked changed any more"
    e2e_expect_bytes "$docs/big.kedata" "$E2E_TMP/before" "the document after a save that hit the file-size limit"
    [[ $(ls -A "$docs") == big.kedata ]] || e2e_fail "the failed save left files behind: $(ls -A "$docs")"
    quit_without_saving
}

memory_case() {
    local docs=$E2E_TMP/docs
    e2e_write "$docs/small.kedata" "$DOC"
    # Five million short models need several hundred megabytes more than the
    # limit leaves.
    yes 'a,b,1,2,3,4,5,6,7,8' | head -n 5000000 | tr '\n' '\r' >"$docs/huge.kedata"
    e2e_launch app "$docs" small.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" small.kedata "opening small.kedata"
    app_pid
    local size
    size=$(awk '/^VmSize:/ {print $2}' "/proc/$E2E_PID/status")
    prlimit --pid "$E2E_PID" --as=$(((size + 150000) * 1024)) || e2e_fail "could not limit the memory of the program"
    e2e_launch second "$docs" huge.kedata
    e2e_expect_exit second 0 "handing huge.kedata over"
    e2e_wait_dialog "opening a document larger than the memory limit"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "OK in the alert"
    e2e_expect_instances 1 "after the refused document"
    e2e_wait_title "$E2E_MAIN" small.kedata "the sheet after the refused document"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the refused document"
}

e2e_case "a save through a symbolic link writes the file it names" link_case
e2e_case "a save beyond the file-size limit fails and loses nothing" file_size_case
e2e_case "a document beyond the memory limit is refused, the sheet stays" memory_case
e2e_finish

#!/usr/bin/env bash
# Quit ends the program with status 0 from every state a user can be in: no
# sheet, an unchanged document, a changed one (after the save-changes
# question, answered once), through Ctrl+Q and through the sheet's Quit button.
# Usage: quit.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

ORIGINAL='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\rBeta,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'
# The same after row 2's manufacturer was typed over with "Zephyr".
EDITED='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\rZephyr,X-1, 10, 30, 5, 0.5, 80, 3, 24, 12\r'

declare -A quit_words=([key]=Ctrl+Q [button]="the Quit button")
declare -A answer_words=([save]=Save [dontsave]="Don't Save" [cancel]=Cancel)

# How the user asks to quit.
ask_quit() {
    case $1 in
    key) e2e_key "$E2E_MAIN" ctrl+q ;;
    button) e2e_click "$E2E_MAIN" "${E2E_QUIT_BUTTON[@]}" ;;
    esac
}

# Answers the save-changes question that must be on screen now.
answer_question() {
    local answer=$1
    e2e_wait_dialog "the save-changes question after Quit"
    case $answer in
    save) e2e_key "$E2E_DIALOG" Return ;;          # Save is the default button
    dontsave) e2e_key "$E2E_DIALOG" Tab space ;;   # the focus moves from Save to Don't Save
    cancel) e2e_key "$E2E_DIALOG" Escape ;;
    esac
}

# quit_case START EDIT QUIT ANSWERS EXPECTED
#   START    none (no document), doc (a document on the command line), settled (the
#            same, left unchanged for two seconds before the launch), new (Ctrl+N)
#   EDIT     - or cell: a cell is typed over and left as it is (no Return)
#   QUIT     key (Ctrl+Q) or button (the Quit button of the sheet)
#   ANSWERS  - or the answers to the save-changes question, comma-separated;
#            after a cancel the user asks to quit again the same way
#   EXPECTED - or the document's bytes once the program has ended: original, edited
quit_case() {
    local start=$1 edit=$2 quit=$3 answers=$4 expected=$5
    local docs=$E2E_TMP/docs doc=$E2E_TMP/docs/doc.kedata sheet_name=doc.kedata
    [[ $start == new ]] && sheet_name=untitled.kedata
    e2e_write "$doc" "$ORIGINAL"
    if [[ $start == settled ]]; then
        # A document not changed in the last two seconds is read while the
        # launch timer runs; one just written is read when it fires.
        sleep 2.1
        start=doc
    fi
    case $start in
    none) e2e_launch app "$docs" ;;
    doc) e2e_launch app "$docs" doc.kedata ;;
    new) e2e_launch app "$docs" ;;
    esac
    e2e_wait_main
    case $start in
    none) e2e_wait_title "$E2E_MAIN" Kestrune "start-up with no document" ;;
    doc) e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata from the command line" ;;
    new)
        e2e_wait_title "$E2E_MAIN" Kestrune "start-up with no document"
        e2e_key "$E2E_MAIN" ctrl+n
        e2e_wait_title "$E2E_MAIN" untitled.kedata "File > New Data Sheet (Ctrl+N)"
        ;;
    esac

    if [[ $edit == cell ]]; then
        if [[ $start == doc ]]; then
            e2e_click "$E2E_MAIN" "$E2E_MANUFACTURER_X" "$(e2e_row_y 2)"
            e2e_type "$E2E_MAIN" Zephyr
        else
            e2e_type "$E2E_MAIN" Tmp # a new sheet starts in its first cell
        fi
    fi

    ask_quit "$quit"
    local answer
    local -a list=()
    [[ $answers != - ]] && IFS=, read -r -a list <<<"$answers"
    for answer in "${list[@]}"; do
        answer_question "$answer"
        if [[ $answer == cancel ]]; then
            e2e_wait_dialog_gone "Cancel in the save-changes question"
            e2e_has_ended app && e2e_fail "Cancel in the save-changes question ended the program"
            e2e_expect_instances 1 "after Cancel"
            e2e_wait_title "$E2E_MAIN" "${sheet_name}*" "after Cancel the sheet keeps its change"
            ask_quit "$quit"
        fi
    done
    local done_what="Quit by ${quit_words[$quit]}"
    for answer in "${list[@]}"; do
        done_what+=", ${answer_words[$answer]}"
    done
    if ! e2e_wait_exit app; then
        if e2e_find_dialog; then
            if ((${#list[@]} == 0)); then
                e2e_fail "${done_what}: with nothing to save the program shows '${E2E_DIALOG_TITLE}' instead of ending"
            fi
            e2e_fail "${done_what}: the program still runs and asks again ('${E2E_DIALOG_TITLE}' window)"
        fi
        e2e_describe_main
        e2e_fail "${done_what}: the program still runs ${E2E_EXIT_TIMEOUT} s later; ${E2E_SHOWN}"
    fi
    ((E2E_STATUS == 0)) || e2e_fail "${done_what}: the program $(e2e_ending "$E2E_STATUS"), not with status 0"

    case $expected in
    original) e2e_write "$E2E_TMP/expected" "$ORIGINAL" ;;
    edited) e2e_write "$E2E_TMP/expected" "$EDITED" ;;
    esac
    if [[ $expected != - ]]; then
        e2e_expect_bytes "$doc" "$E2E_TMP/expected" "the document after Quit"
    fi
    local leftovers
    leftovers=$(find "$docs" -mindepth 1 ! -name doc.kedata | head -n 3)
    [[ -z $leftovers ]] || e2e_fail "Quit left files beside the document: ${leftovers//$'\n'/, }"
    e2e_expect_instances 0 "after Quit"
}

#        title                                                   start edit quit   answers          document
e2e_case "no document, Ctrl+Q"                         quit_case none  -    key    -                original
e2e_case "unchanged document, Ctrl+Q"                  quit_case doc   -    key    -                original
e2e_case "changed document, Ctrl+Q, Save"              quit_case doc   cell key    save             edited
e2e_case "settled document, changed, Ctrl+Q, Save"     quit_case settled cell key  save             edited
e2e_case "changed new sheet, Ctrl+Q, Don't Save"       quit_case new   cell key    dontsave         original
e2e_case "unchanged document, Quit button"             quit_case doc   -    button -                original
e2e_case "changed document, Quit button, Cancel, then Don't Save" \
                                                       quit_case doc   cell button cancel,dontsave  original
e2e_finish

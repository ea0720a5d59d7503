#!/usr/bin/env bash
# Numbers typed into the Dia cells of a document opened from the command
# line: "12,5" is stored as 12.5; "abc" does not let the selection go (Down
# is refused and the text stays selected, so the next key press types over
# it); "1e400" is dropped at Ctrl+S, which saves the cell as it was and says
# so in a note; "abc" then Escape puts the cell back, so Ctrl+Q asks
# nothing. The saved bytes tell every step apart.
# Usage: typed_numbers.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

# Three models as the program writes them.
DOCUMENT='Acme,PR-1, 30, 25, 50, 4, 500, 6, 240, 77\rAcme,PR-2, 31, 25, 50, 4, 500, 6, 240, 77\rAcme,PR-3, 32, 25, 50, 4, 500, 6, 240, 77\r'
# Row 1 took 12,5; the 7 typed over the refused "abc" went into row 2, the
# row the selection stayed on; row 3 kept its Dia when "1e400" was dropped.
SAVED='Acme,PR-1, 12.5, 25, 50, 4, 500, 6, 240, 77\rAcme,PR-2, 7, 25, 50, 4, 500, 6, 240, 77\rAcme,PR-3, 32, 25, 50, 4, 500, 6, 240, 77\r'

DIA_X=300

typed_case() {
    local docs=$E2E_TMP/docs
    e2e_write "$docs/doc.kedata" "$DOCUMENT"
    e2e_write "$E2E_TMP/expected" "$SAVED"
    e2e_launch app "$docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata from the command line"

    # A clicked cell's text arrives selected: typing replaces it.
    e2e_click "$E2E_MAIN" "$DIA_X" "$(e2e_row_y 1)"
    e2e_type "$E2E_MAIN" "12,5"
    e2e_key "$E2E_MAIN" Down
    e2e_wait_title "$E2E_MAIN" "doc.kedata*" "12,5 typed into Dia of row 1 and Down"
    e2e_type "$E2E_MAIN" "abc"
    e2e_key "$E2E_MAIN" Down # refused: row 2 stays selected, "abc" selected
    e2e_type "$E2E_MAIN" "7"
    e2e_key "$E2E_MAIN" Down
    e2e_type "$E2E_MAIN" "1e400"
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_title "$E2E_MAIN" doc.kedata "Ctrl+S with 1e400 in Dia of row 3"
    e2e_expect_bytes "$docs/doc.kedata" "$E2E_TMP/expected" "the saved document"
    e2e_wait_dialog "the note that 1e400 was not kept"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the note"

    e2e_type "$E2E_MAIN" "abc"
    e2e_key "$E2E_MAIN" Escape
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the save"
    e2e_expect_bytes "$docs/doc.kedata" "$E2E_TMP/expected" "the document after Quit"
}

e2e_case "12,5, abc and 1e400 typed into cells, moved on and saved" typed_case
e2e_finish

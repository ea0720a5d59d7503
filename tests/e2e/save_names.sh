#!/usr/bin/env bash
# What a save is named and what it leaves behind: a name typed without an
# extension saves a document with one, a save that had to change a name
# leaves the sheet saved, and a file Kestrune does not read is refused with
# an alert that says why.
# Usage: save_names.sh PATH-TO-KESTRUNE
source "$(dirname -- "${BASH_SOURCE[0]}")/lib.sh"
e2e_init "$@"

DOCUMENT='Acme,PR-200, 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r'
# The model name typed over with a comma and straight double quotes, which a
# document can only carry as typographic quotes (Mac OS Roman \322 and \323).
QUOTED='Acme,"PR 250 \322Pro\323, black", 20.5, 18.25, 45.1, 6.312, 220, 12.5, 275, 95.4\r'

# Save As on a new sheet with the name "pr3" typed without an extension.
save_as_without_extension() {
    local docs=$E2E_TMP/docs
    e2e_launch app "$docs"
    e2e_wait_main
    e2e_key "$E2E_MAIN" ctrl+n
    e2e_wait_title "$E2E_MAIN" untitled.kedata "Ctrl+N"
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_dialog "Ctrl+S on a new sheet"
    e2e_key "$E2E_DIALOG" ctrl+a
    e2e_type "$E2E_DIALOG" "$docs/pr3"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return in the Save As dialog"
    e2e_poll "$E2E_WINDOW_TIMEOUT" test -e "$docs/pr3.kedata" ||
        e2e_fail "Save As \"pr3\" wrote $(ls -A "$docs" | tr '\n' ' '), not pr3.kedata"
    [[ ! -e $docs/pr3 ]] || e2e_fail "Save As \"pr3\" also wrote a file named pr3"
    e2e_wait_title "$E2E_MAIN" pr3.kedata "the sheet after Save As \"pr3\""
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q after the save"
}

# A name that needs quotes and holds straight double quotes is saved with
# typographic ones; the note says so, and the sheet is saved after it.
save_that_changes_a_name() {
    local docs=$E2E_TMP/docs
    e2e_write "$docs/doc.kedata" "$DOCUMENT"
    e2e_write "$E2E_TMP/expected" "$QUOTED"
    e2e_launch app "$docs" doc.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" doc.kedata "opening doc.kedata"
    e2e_click "$E2E_MAIN" "$E2E_MODEL_NAME_X" "$(e2e_row_y 1)"
    e2e_key "$E2E_MAIN" ctrl+a
    e2e_type "$E2E_MAIN" 'PR 250 "Pro", black'
    e2e_key "$E2E_MAIN" ctrl+s
    e2e_wait_dialog "Ctrl+S of a name the document cannot hold as typed (the note)"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return on the note"
    e2e_expect_bytes "$docs/doc.kedata" "$E2E_TMP/expected" "the saved document"
    e2e_wait_title "$E2E_MAIN" doc.kedata "the sheet after the save (no mark of changes)"
    e2e_key "$E2E_MAIN" ctrl+w
    e2e_wait_title "$E2E_MAIN" Kestrune "Ctrl+W on the saved sheet (no question)"
    e2e_no_dialog || e2e_fail "Ctrl+W on the saved sheet showed '${E2E_DIALOG_TITLE}'"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q"
}

# A document handed over while the question of Close is up opens once the
# Close has gone through.
hand_over_during_close() {
    local docs=$E2E_TMP/docs
    e2e_write "$docs/first.kedata" "$DOCUMENT"
    e2e_write "$docs/other.kedata" 'Other,O-7, 16.5, 25, 8.25, 2.5, 150, 6, 90, 33.3\r'
    e2e_launch app "$docs" first.kedata
    e2e_wait_main
    e2e_wait_title "$E2E_MAIN" first.kedata "opening first.kedata"
    e2e_click "$E2E_MAIN" "${E2E_ADD_NEW_MODEL[@]}"
    e2e_poll 2 e2e_title_is "$E2E_MAIN" "first.kedata*" || e2e_fail "Add New Model did not mark the sheet changed"
    e2e_key "$E2E_MAIN" ctrl+w
    e2e_wait_dialog "Ctrl+W on the changed sheet"
    e2e_launch second "$docs" other.kedata
    e2e_expect_exit second 0 "the second kestrune handing over other.kedata"
    e2e_key "$E2E_DIALOG" alt+d # Don't Save
    e2e_wait_title "$E2E_MAIN" other.kedata "the document handed over during the question of Close"
    e2e_expect_instances 1 "after the hand-over"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q"
}

# kestrune FILE of a kind it does not read: an alert names the file.
not_a_document() {
    local docs=$E2E_TMP/docs
    e2e_write "$docs/notes.pdf" '%%PDF-1.4\n'
    e2e_launch app "$docs" notes.pdf
    e2e_wait_main
    e2e_wait_dialog "kestrune notes.pdf"
    e2e_title_is "$E2E_MAIN" Kestrune || e2e_fail "kestrune notes.pdf opened a sheet titled '${E2E_TITLE}'"
    e2e_key "$E2E_DIALOG" Return
    e2e_wait_dialog_gone "Return on the alert"
    e2e_key "$E2E_MAIN" ctrl+q
    e2e_expect_exit app 0 "Ctrl+Q"
}

e2e_case "Save As with a name typed without an extension" save_as_without_extension
e2e_case "a save that changed a name leaves the sheet saved" save_that_changes_a_name
e2e_case "a document handed over during the question of Close" hand_over_during_close
e2e_case "a file of another kind on the command line: an alert" not_a_document
e2e_finish

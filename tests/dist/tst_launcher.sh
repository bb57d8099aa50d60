#!/bin/sh
# SPDX-FileCopyrightText: 2026 The vorta developers
# SPDX-License-Identifier: GPL-3.0-or-later
# The reader's launcher against a fake installed tree and a stub program that records where and
# how it was started. Usage: tst_launcher.sh LAUNCHER WORK, where LAUNCHER was configured to read
# WORK/installed and start WORK/program.
set -u
launcher=$1
work=$2
installed=$work/installed
passed=0
failed=0

fail() {
    echo "FAIL $case_name: $*"
    case_ok=0
}

# A small story tree; a genre folder with a space in its name, as the catalogue allows.
make_installed() {
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
    mkdir -p "$installed/Genres/skazka" "$installed/Genres/two words"
    printf ' 2 \r\n 5 \r\n' >"$installed/vorta.cfg"
    printf 'Tale,skazka\r\nOther,two words\r\n' >"$installed/Genres/genres.vtq"
    printf '1\r\n1\r\nonce\r\n' >"$installed/Genres/skazka/1.vtq"
    printf '1\r\n1\r\ntwice\r\n' >"$installed/Genres/two words/1.vtq"
    cat >"$work/program" <<'STUB'
#!/bin/sh
pwd >"$STUB_RECORD"
echo "$#" >>"$STUB_RECORD"
exit "${STUB_STATUS:-0}"
STUB
    chmod +x "$work/program"
    export STUB_RECORD="$work/record"
    rm -f "$STUB_RECORD"
}

# Runs the launcher with XDG_DATA_HOME set to $1 (unset when $1 is "-").
start() {
    rm -f "$STUB_RECORD"
    if [ "$1" = - ]; then
        (unset XDG_DATA_HOME && "$launcher") 2>"$work/stderr"
    else
        XDG_DATA_HOME=$1 "$launcher" 2>"$work/stderr"
    fi
}

expect_started_in() {
    if [ ! -f "$STUB_RECORD" ]; then
        fail "the program did not start"
        return
    fi
    [ "$(sed -n 1p "$STUB_RECORD")" = "$1" ] || fail "started in $(sed -n 1p "$STUB_RECORD"), not $1"
    [ "$(sed -n 2p "$STUB_RECORD")" = 0 ] || fail "the program was given arguments"
}

# The reader's folder holds the installed story, byte for byte, and no leftovers.
expect_story_of_installed() {
    diff -r -x vorta.cfg -x .installed-story "$installed" "$1" >/dev/null ||
        fail "the story in $1 differs from the installed one"
    [ -z "$(find "$1" -name '.fresh.*')" ] || fail "a temporary copy was left in $1"
}

expect_settings() {
    printf "$2" | cmp -s - "$1/vorta.cfg" || fail "vorta.cfg in $1 is not the expected one"
}

# Even as root, whose writes ignore modes, a copy without the owner's write bit is a fault: the
# reader could not save settings or take the next story.
expect_all_writable() {
    [ -z "$(find "$1" ! -perm -u+w)" ] || fail "read-only files in $1: $(find "$1" ! -perm -u+w)"
}

case_first_start() {
    start "$work/home" || fail "exit status $?"
    expect_started_in "$work/home/vorta"
    expect_story_of_installed "$work/home/vorta"
    expect_settings "$work/home/vorta" ' 2 \r\n 5 \r\n'
    expect_all_writable "$work/home/vorta"
}

case_later_start_keeps_settings_and_story() {
    start "$work/home"
    printf ' 9 \r\n 1 \r\n' >"$work/home/vorta/vorta.cfg"
    printf 'edited by the reader\r\n' >"$work/home/vorta/Genres/skazka/1.vtq"
    start "$work/home" || fail "exit status $?"
    expect_started_in "$work/home/vorta"
    expect_settings "$work/home/vorta" ' 9 \r\n 1 \r\n'
    grep -q 'edited by the reader' "$work/home/vorta/Genres/skazka/1.vtq" ||
        fail "an unchanged installed story replaced the reader's file"
}

case_newer_story_replaces_story_not_settings() {
    start "$work/home"
    printf ' 9 \r\n 1 \r\n' >"$work/home/vorta/vorta.cfg"
    printf '1\r\n1\r\nnewer\r\n' >"$installed/Genres/skazka/1.vtq"
    rm -r "$installed/Genres/two words"
    mkdir "$installed/Genres/third"
    printf '1\r\n1\r\nthird\r\n' >"$installed/Genres/third/1.vtq"
    printf ' 3 \r\n 3 \r\n' >"$installed/vorta.cfg"
    start "$work/home" || fail "exit status $?"
    expect_story_of_installed "$work/home/vorta"
    expect_settings "$work/home/vorta" ' 9 \r\n 1 \r\n'
}

case_read_only_installed_tree() {
    chmod -R a-w "$installed"
    start "$work/home" || fail "exit status $?"
    expect_story_of_installed "$work/home/vorta"
    expect_all_writable "$work/home/vorta"
    chmod -R u+w "$installed"
    printf '1\r\n1\r\nnewer\r\n' >"$installed/Genres/skazka/1.vtq"
    chmod -R a-w "$installed"
    start "$work/home" || fail "exit status $? on the newer story"
    expect_story_of_installed "$work/home/vorta"
    expect_all_writable "$work/home/vorta"
}

case_unset_data_home_means_home() {
    HOME=$work/user start - || fail "exit status $?"
    expect_started_in "$work/user/.local/share/vorta"
    expect_story_of_installed "$work/user/.local/share/vorta"
}

case_relative_data_home_is_ignored() {
    HOME=$work/user start relative || fail "exit status $?"
    expect_started_in "$work/user/.local/share/vorta"
}

case_settings_removed_by_the_reader_come_back() {
    start "$work/home"
    rm "$work/home/vorta/vorta.cfg"
    start "$work/home" || fail "exit status $?"
    expect_settings "$work/home/vorta" ' 2 \r\n 5 \r\n'
}

case_program_status_is_the_launchers() {
    STUB_STATUS=3 start "$work/home"
    [ $? -eq 3 ] || fail "the program's exit status 3 was not passed on"
}

# --help and --version reach the program as they are, and prepare no story folder.
case_help_prepares_nothing() {
    for option in --help --version; do
        rm -f "$STUB_RECORD"
        XDG_DATA_HOME=$work/home "$launcher" "$option" 2>"$work/stderr" || fail "exit status $?"
        [ "$(sed -n 2p "$STUB_RECORD")" = 1 ] || fail "$option did not reach the program"
        [ ! -e "$work/home/vorta" ] || fail "$option prepared the story folder"
    done
}

case_unwritable_folder_fails_before_the_program() {
    printf 'not a folder' >"$work/file"
    if start "$work/file"; then
        fail "the launcher succeeded"
    fi
    [ ! -f "$STUB_RECORD" ] || fail "the program started without its folder"
    grep -q '^vorta: ' "$work/stderr" || fail "no message on stderr"
}

for case_name in first_start later_start_keeps_settings_and_story \
    newer_story_replaces_story_not_settings read_only_installed_tree \
    unset_data_home_means_home relative_data_home_is_ignored \
    settings_removed_by_the_reader_come_back program_status_is_the_launchers \
    help_prepares_nothing unwritable_folder_fails_before_the_program; do
    make_installed
    case_ok=1
    "case_$case_name"
    if [ "$case_ok" = 1 ]; then
        passed=$((passed + 1))
        echo "PASS $case_name"
    else
        failed=$((failed + 1))
    fi
done
chmod -R u+w "$work" 2>/dev/null
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

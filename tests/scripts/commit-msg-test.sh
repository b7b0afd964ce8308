#!/usr/bin/env bash
# The commit-msg hook takes the messages it should and refuses the others, each with the
# reason. Usage: commit-msg-test.sh PATH/TO/commit-msg
set -uo pipefail
hook="${1:?usage: commit-msg-test.sh HOOK}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

long_subject="$(printf 'x%.0s' {1..73})"
fitting_subject="$(printf 'x%.0s' {1..72})"
failures=0

# expect NAME ACCEPT|REFUSE EXPECTED-REASON MESSAGE
expect() {
    local name="$1" verdict="$2" reason="$3" text="$4"
    printf '%b' "$text" >"$work/message"
    local output status
    output="$("$hook" "$work/message" 2>&1)"
    status=$?
    if [ "$verdict" = ACCEPT ] && [ "$status" -ne 0 ]; then
        echo "FAIL $name: refused ($output)"
        failures=$((failures + 1))
    elif [ "$verdict" = REFUSE ] && { [ "$status" -eq 0 ] || [[ "$output" != *"$reason"* ]]; }; then
        echo "FAIL $name: status $status, output '$output', expected '$reason'"
        failures=$((failures + 1))
    fi
}

expect "subject and body" ACCEPT "" "Split the reader\n\nIt did three jobs.\n"
expect "subject alone" ACCEPT "" "Split the reader\n"
expect "72 characters" ACCEPT "" "$fitting_subject\n"
expect "git's comments are not part of it" ACCEPT "" "Split the reader\n# Please enter the commit message\n\nWhy.\n"
expect "trailing blank lines" ACCEPT "" "Split the reader\n\n\n"
expect "73 characters" REFUSE "the subject is 73 characters long" "$long_subject\n\nWhy.\n"
expect "body glued to the subject" REFUSE "the second line must be blank" "Split the reader\nIt did three jobs.\n"
expect "empty" REFUSE "the message is empty" "\n# only a comment\n"
expect "blank subject" REFUSE "the first line (the subject) is blank" "   \n\nWhy.\n"

[ "$failures" -eq 0 ] && echo "commit-msg: all cases pass"
exit "$((failures > 0))"

#!/usr/bin/env bash
# Times "vantor-cli --msts DIR check all-stock" on a generated installation of
# engines and wagons with their shapes, sounds and cab views: five runs, then the
# median, beside the median of reading every file the check reads once with cat.
#
# Usage: tools/measure-check.sh [BUILD_DIR] [COUNT]
#   BUILD_DIR  a build folder holding bin/vantor-cli and bin/make_check_installation
#              (default: build/dev)
#   COUNT      engines and wagons, one per stock folder (default: 5000)
set -euo pipefail

name=measure-check
maker=make_check_installation
source "$(dirname "${BASH_SOURCE[0]}")/measure-common.sh"

find "$install/Trains/Trainset" -type f \( -name '*.eng' -o -name '*.wag' -o -name '*.sms' -o -name '*.cvf' \) \
    -print0 >"$install.files"

# The generated installation is clean: the check must report nothing.
status=0
report="$("$cli" --msts "$install" check all-stock)" || status=$?
if [[ $status -ne 0 || -n "$report" ]]; then
    echo "measure-check: the check reported problems (exit $status):" >&2
    printf '%s\n' "$report" | head -5 >&2
    exit 1
fi

in_turns "exec '$cli' --msts '$install' check all-stock" "xargs -0 cat <'$install.files'"
files="$(tr -cd '\0' <"$install.files" | wc -c)"
echo "Installation: $count engines and wagons; the check reads $files files"
echo "vantor-cli check all-stock: ${a_times[*]} s, median $a_median s"
echo "cat of those files:         ${b_times[*]} s, median $b_median s"
awk -v a="$a_median" -v b="$b_median" 'BEGIN {
    if (b > 0) printf "check / cat: %.2f\n", a / b
    else print "check / cat: cat took under the timer'\''s resolution"
}'

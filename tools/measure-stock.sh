#!/usr/bin/env bash
# Times "vantor-cli --msts DIR stock" against "find DIR/Trains/Trainset -name '*.??g'"
# on a generated installation: five runs each, then the medians and their ratio.
#
# Usage: tools/measure-stock.sh [BUILD_DIR] [COUNT]
#   BUILD_DIR  a build folder holding bin/vantor-cli and bin/make_stock_installation
#              (default: build/dev)
#   COUNT      stock items, one per folder (default: 5000)
set -euo pipefail

name=measure-stock
maker=make_stock_installation
source "$(dirname "${BASH_SOURCE[0]}")/measure-common.sh"

# Both programs must agree on what they find before their times mean anything.
rows="$("$cli" --msts "$install" stock | wc -l)"
files="$(find "$install/Trains/Trainset" -name '*.??g' | wc -l)"
if [[ "$rows" != "$files" ]]; then
    echo "measure-stock: vantor-cli printed $rows rows, find found $files files" >&2
    exit 1
fi

in_turns "exec '$cli' --msts '$install' stock" "exec find '$install/Trains/Trainset' -name '*.??g'"
echo "Installation: $count stock items in $count folders ($rows rows)"
echo "vantor-cli stock: ${a_times[*]} s, median $a_median s"
echo "find:             ${b_times[*]} s, median $b_median s"
awk -v a="$a_median" -v b="$b_median" 'BEGIN {
    if (b > 0) printf "vantor-cli / find: %.2f (target at most 2)\n", a / b
    else print "vantor-cli / find: find took under the timer'\''s resolution"
}'

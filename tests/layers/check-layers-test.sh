#!/usr/bin/env bash
# scripts/check-layers passes on the tree and names an include planted
# against the layers, and a widget header planted in quote/.
set -euo pipefail
source_dir=$1
script=$source_dir/scripts/check-layers
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$script" "$source_dir/src" >/dev/null

cp -r "$source_dir/src" "$work/src"
printf '#include "app/MainFrame.h"\n' >> "$work/src/markets/FindMatcher.cpp"
printf '#include <QtWidgets/QWidget>\n' >> "$work/src/quote/QuoteService.cpp"
if output=$("$script" "$work/src"); then
  echo "check-layers accepted upward includes" >&2
  exit 1
fi
grep -q '^markets/FindMatcher.cpp:[0-9]*: markets/ includes app/' <<<"$output"
grep -q '^quote/QuoteService.cpp:[0-9]*: quote/ includes a Qt header' <<<"$output"
echo "check-layers: planted includes named"

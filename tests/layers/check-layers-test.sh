#!/usr/bin/env bash
# scripts/check-layers passes on the tree and names includes planted
# against the layers, and widget headers planted in quote/ and base/.
set -euo pipefail
source_dir=$1
script=$source_dir/scripts/check-layers
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$script" "$source_dir/src" >/dev/null

cp -r "$source_dir/src" "$work/src"
printf '#include "app/MainFrame.h"\n' >> "$work/src/markets/ListView.cpp"
printf '#include "markets/ListView.h"\n' >> "$work/src/marketdata/FindMatcher.cpp"
printf '#include "framework/View.h"\n' >> "$work/src/quote/QuoteService.cpp"
printf '#include "quote/QuoteRecord.h"\n' >> "$work/src/base/CText.cpp"
printf '#include "window/QuorelleView.h"\n' >> "$work/src/chart/Graph.cpp"
printf '#include "watchlist/WatchlistDoc.h"\n' >> "$work/src/window/QuorelleDoc.cpp"
printf '#include <QtWidgets/QWidget>\n' >> "$work/src/quote/QuoteService.cpp"
printf '#include <QWidget>\n' >> "$work/src/base/Globals.cpp"
if output=$("$script" "$work/src"); then
  echo "check-layers accepted upward includes" >&2
  exit 1
fi
grep -q '^markets/ListView.cpp:[0-9]*: markets/ includes app/' <<<"$output"
grep -q '^marketdata/FindMatcher.cpp:[0-9]*: marketdata/ includes markets/' <<<"$output"
grep -q '^quote/QuoteService.cpp:[0-9]*: quote/ includes framework/' <<<"$output"
grep -q '^base/CText.cpp:[0-9]*: base/ includes quote/' <<<"$output"
grep -q '^chart/Graph.cpp:[0-9]*: chart/ includes window/' <<<"$output"
grep -q '^window/QuorelleDoc.cpp:[0-9]*: window/ includes watchlist/' <<<"$output"
grep -q '^quote/QuoteService.cpp:[0-9]*: quote/ includes a Qt header' <<<"$output"
grep -q '^base/Globals.cpp:[0-9]*: base/ includes a Qt header' <<<"$output"
echo "check-layers: planted includes named"

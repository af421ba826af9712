#!/usr/bin/env bash
# Redraws the toolbar button images and the window icons with ImageMagick.
# The PNG files are committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")/images"

font=DejaVu-Sans-Condensed-Bold

# Market buttons: the market's short name on a coloured plate, 45 x 16.
market() {  # file text background
  convert -size 45x16 xc:none -fill "$3" -stroke '#404040' -draw 'roundrectangle 1,1 43,14 3,3' \
          -font "$font" -pointsize 9 -fill white -stroke none -gravity center -annotate +0+0 "$2" "$1"
}
market nyse.png NYSE '#1f4e96'
market amex.png AMEX '#2e7d32'
market nasdaq.png NASDAQ '#6a1b9a'
market tsx.png TSX '#c62828'
market cve.png CVE '#ef6c00'
market lse.png LSE '#37474f'

# Find Quote Worldwide: a globe.
convert -size 45x16 xc:none -stroke '#1f4e96' -fill '#9ecbff' -draw 'circle 22,8 22,1' \
        -fill none -draw 'ellipse 22,8 3,7 0,360' -draw 'line 15,8 29,8' \
        -draw 'line 16,4 28,4' -draw 'line 16,12 28,12' worldwide.png

# Properties: a sheet with two sliders.
convert -size 45x16 xc:none -stroke '#404040' -fill white -draw 'rectangle 15,1 30,14' \
        -stroke '#1f4e96' -draw 'line 17,5 28,5' -draw 'line 17,10 28,10' \
        -fill '#ef6c00' -stroke '#404040' -draw 'rectangle 19,3 21,7' -draw 'rectangle 24,8 26,12' properties.png

# Find in a list: list lines under a magnifying glass.
convert -size 45x16 xc:none -stroke '#808080' -draw 'line 12,3 26,3' -draw 'line 12,7 26,7' \
        -draw 'line 12,11 26,11' -stroke '#202020' -strokewidth 2 -fill '#ffffffa0' \
        -draw 'circle 27,7 27,3' -draw 'line 30,10 34,14' findinlist.png

# Watchlist: a short table of rows with rising and falling marks.
convert -size 45x16 xc:none -stroke '#404040' -fill white -draw 'rectangle 13,1 31,14' \
        -stroke '#808080' -draw 'line 14,5 30,5' -draw 'line 14,9 30,9' \
        -stroke '#1f4e96' -draw 'line 15,3 23,3' -draw 'line 15,7 23,7' -draw 'line 15,11 23,11' \
        -stroke none -fill '#2e7d32' -draw 'polygon 26,4 29,4 27.5,2' \
        -fill '#c62828' -draw 'polygon 26,6 29,6 27.5,8' -fill '#2e7d32' -draw 'polygon 26,12 29,12 27.5,10' watchlist.png

# Window icons, 32 x 32: main frame, quote windows, market list windows.
convert -size 32x32 xc:none -fill '#1f4e96' -stroke '#0d2a57' -draw 'roundrectangle 1,1 30,30 5,5' \
        -stroke '#ffd54f' -strokewidth 3 -fill none -draw 'polyline 5,24 11,16 16,20 22,9 27,12' \
        -fill white -stroke none -font "$font" -pointsize 9 -gravity south -annotate +0+1 'Q' quorelle.png
convert -size 32x32 xc:white -fill none -stroke '#404040' -draw 'rectangle 0,0 31,31' \
        -stroke '#b0b0b0' -draw 'line 4,8 28,8' -draw 'line 4,16 28,16' -draw 'line 4,24 28,24' \
        -stroke '#1f4e96' -strokewidth 2 -draw 'polyline 4,25 10,18 15,21 21,10 28,13' quotewindow.png
convert -size 32x32 xc:white -fill none -stroke '#404040' -draw 'rectangle 0,0 31,31' \
        -fill '#1f4e96' -stroke none -draw 'rectangle 1,1 30,6' -fill '#808080' \
        -draw 'rectangle 4,10 18,11' -draw 'rectangle 21,10 27,11' -draw 'rectangle 4,16 18,17' \
        -draw 'rectangle 21,16 27,17' -draw 'rectangle 4,22 18,23' -draw 'rectangle 21,22 27,23' listwindow.png

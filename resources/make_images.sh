#!/usr/bin/env bash
# Draws the pictures of the window's top bar into Images/. Run once after
# changing a picture; the PNGs are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/Images"

blue='#C5DEFF' # (0.7725, 0.8706, 1.0), the face of the row counter and model name
edge='#7F9CC4'

# Rounded wells behind the row counter (63 x 21) and the model name (135 x 22).
convert -size 63x21 xc:none -fill "$blue" -stroke "$edge" -strokewidth 1 \
    -draw 'roundrectangle 0.5,0.5 62.5,20.5 5,5' -strip PNG32:NumberBuleBack.png
convert -size 135x22 xc:none -fill "$blue" -stroke "$edge" -strokewidth 1 \
    -draw 'roundrectangle 0.5,0.5 134.5,21.5 5,5' -strip PNG32:TitleBuleBack.png

# The row move buttons' arrows, 16 x 16.
convert -size 16x16 xc:none -fill '#3C4E66' -stroke none \
    -draw 'polygon 8,2 14,9 10,9 10,14 6,14 6,9 2,9' -strip PNG32:UpArrow.png
convert -size 16x16 xc:none -fill '#3C4E66' -stroke none \
    -draw 'polygon 8,14 14,7 10,7 10,2 6,2 6,7 2,7' -strip PNG32:DownArrow.png

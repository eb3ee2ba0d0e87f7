#!/usr/bin/env bash
# Makes the screenshots in docs/ from the real program under a virtual X server:
#   docs/screenshots.sh build/kringbaas
# Needs xvfb, openbox, xdotool, imagemagick, poppler-utils and python3 (for the sample data).
set -euo pipefail
program=$(readlink -f "${1:-build/kringbaas}")
docs=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

cp "$program" "$work/kringbaas"
printf 'PI4ZUD\r\nZoetermeer\r\n145.550\r\nMhz\r\nJO22ab\r\n' > "$work/basis"
printf '45\r\n' > "$work/rondetijd"

display=:$((RANDOM % 400 + 100))
Xvfb "$display" -screen 0 1920x1200x24 >/dev/null 2>&1 &
sleep 1
export DISPLAY=$display
openbox >/dev/null 2>&1 &
sleep 0.5

# A first start makes the database; the sample data goes in after it.
(cd "$work" && exec ./kringbaas >/dev/null 2>&1) &
first=$!
sleep 2
xdotool key Escape || true
sleep 0.5
kill "$first"
wait "$first" 2>/dev/null || true
sleep 0.5

python3 - "$work/kringbaasbase.mdb" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.create_collation('kbfold', lambda a, b: (a.casefold() > b.casefold()) - (a.casefold() < b.casefold()))
hams = [
    ('PA3ABC', 'JAN', 'Dorpsstraat 1', '2712 AB', 'ZOETERMEER', 'JO22ab', 'NEDERLAND', '079-1234567', 'jan@example.nl', 'Bouwt zelf antennes.'),
    ('PD0XYZ', 'ANTON', 'Kerkweg 12', '2611 CD', 'DELFT', 'JO22dx', 'NEDERLAND', '', 'anton@example.nl', 'Nieuw in de ronde.'),
    ('ON4ABC', 'PIET', 'Grote Markt 3', '2000', 'ANTWERPEN', 'JO21ef', 'BELGIE', '', '', 'Fietst mee in de zomer.'),
    ('PE1KEES', 'KEES', 'Molenlaan 7', '3011 XY', 'ROTTERDAM', 'JO21fw', 'NEDERLAND', '010-7654321', 'kees@example.nl', 'Loopt mee sinds 1998.'),
    ('PA1JAN', 'JANNEKE', 'Havenweg 2', '1781 AA', 'DEN HELDER', 'JO22ks', 'NEDERLAND', '', '', 'QRV met 5 watt.'),
    ('PD2TON', 'TONNY', 'Stationsplein 4', '3511 ED', 'UTRECHT', 'JO22ni', 'NEDERLAND', '', '', 'Antenne op het dak.'),
    ('PA0GER', 'GERRIT', 'Dijkweg 9', '1619 AB', 'ANDIJK', 'JO22ov', 'NEDERLAND', '', '', 'Morse liefhebber.'),
    ('PE2ANS', 'ANS', 'Lindelaan 3', '5611 AA', 'EINDHOVEN', 'JO21ok', 'NEDERLAND', '', '', ''),
    ('PA5WIM', 'WIM', 'Beukenlaan 8', '9711 AB', 'GRONINGEN', 'JO33ff', 'NEDERLAND', '', '', 'Zoekt een 2m eindtrap.'),
    ('PD7JOS', 'JOS', 'Markt 1', '6211 CK', 'MAASTRICHT', 'JO20su', 'NEDERLAND', '', '', ''),
    ('PA9MAR', 'MARIEKE', 'Kade 5', '8011 AA', 'ZWOLLE', 'JO32ck', 'NEDERLAND', '', '', 'Net terug van vakantie.'),
    ('PE0HAN', 'HANS', 'Wilhelminastraat 2', '7511 AA', 'ENSCHEDE', 'JO32lf', 'NEDERLAND', '', '', ''),
]
db.execute('DELETE FROM qrz')
db.executemany('INSERT INTO qrz (call, naam, adres, postcode, qth, grid, land, telefoon, email, byzonderheden) '
               'VALUES (?,?,?,?,?,?,?,?,?,?)', hams)
db.execute('DELETE FROM ronde')
fields = ['rondecall', 'datum', 'kringbaas', 'luis7']
values = ['PI4ZUD', 'donderdag 10 december 2026', 'Henk', 1]
for i, ham in enumerate(hams, start=1):
    fields += ['call%d' % i, 'naam%d' % i, 'qth%d' % i, 'on%d' % i]
    values += [ham[0], ham[1], ham[4], ham[9]]
db.execute('INSERT INTO ronde (%s) VALUES (%s)' % (','.join(fields), ','.join('?' * len(values))), values)
db.commit()
PY

(cd "$work" && exec ./kringbaas >/dev/null 2>&1) &
app=$!
sleep 2
xdotool key Escape   # "Een niewe ronde beginnen?" -> Nee: the stored round is shown
sleep 1
main=$(xdotool search --name "ZUD arizizirirod" | head -1)
menubar=22
# Clicks at a place in twips of a window's client area, below its menu bar.
click() { xdotool mousemove --window "$1" $(($2 / 15)) $((menubar + $3 / 15)) click 1; sleep 0.2; }
shoot() { import -frame -window "$1" "$docs/$2"; }
row_y() { echo $((1680 + 360 * $1 + 180)); }
# Turns for a few stations, the last one has the turn; one station is away.
for row in 1 2 3 1 4 5 2 6; do click "$main" 15000 "$(row_y "$row")"; done
click "$main" 16050 "$(row_y 9)"
xdotool mousemove 5 5
sleep 0.5
shoot "$main" ronde.png

# The same round as a PDF: "Ronde Exporteren naar PDF", its file dialog, the message after it.
xdotool key ctrl+e
sleep 1.5
xdotool key ctrl+a
xdotool type "$work/ronde.pdf"
xdotool key Return
sleep 1
xdotool key Return
sleep 0.5
pdftoppm -r 80 -png -singlefile "$work/ronde.pdf" "$docs/ronde-pdf"

# The ham list, from its menu, and a search for names with "AN" in them.
xdotool mousemove --window "$main" 205 10 click 1
sleep 1.5
ham=$(xdotool search --name "HAM Lijst" | head -1)
shoot "$ham" hamlijst.png
click "$ham" $((120 + 3240 + 600)) $((5400 + 480 + 150))
sleep 0.3
xdotool key Down Return
sleep 0.3
click "$ham" $((120 + 120 + 600)) $((5400 + 480 + 150))
xdotool type "AN"
xdotool key Return
sleep 1.5
found=$(xdotool search --name "meerdere resultaten" | head -1)
shoot "$found" resultaten.png
kill "$app"
wait "$app" 2>/dev/null || true
sleep 0.5

# A round led now, planned at one minute: the clocks run and the bar fills.
printf '1\r\n' > "$work/rondetijd"
python3 - "$work/kringbaasbase.mdb" <<'PY'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1])
notes = ['Nieuwe leden welkom heten.\nPA5WIM zoekt een 2m eindtrap.', 'Velddag 14 juni: wie helpt mee?', '', '', '', '', '', '', '',
         '1. Opening door de kringbaas\n2. Mededelingen van de club\n3. Rondje langs de stations\n4. Rondvraag\n5. Sluiting, 73!']
db.execute('DELETE FROM notes')
db.execute('INSERT INTO notes (n1, n2, n3, n4, n5, n6, n7, n8, n9, n10) VALUES (?,?,?,?,?,?,?,?,?,?)', notes)
db.commit()
PY
(cd "$work" && TZ=Europe/Amsterdam exec ./kringbaas >/dev/null 2>&1) &
app=$!
sleep 2
xdotool key Return   # "Een niewe ronde beginnen?" -> Ja
sleep 0.5
xdotool type PA3ABC  # a known call begins the round at once
xdotool key Return
sleep 1
main=$(xdotool search --name "ZUD arizizirirod" | head -1)
for call in PD0XYZ ON4ABC PE1KEES PA1JAN; do
    xdotool type "$call"
    xdotool key Return
    sleep 0.6
done
xdotool key Escape   # the call entry box closes
sleep 20
xdotool mousemove 5 5
shoot "$main" rondetijd.png

# The notes, from the button "Notities", with the agenda in front.
click "$main" 2827 847
sleep 1
notes=$(xdotool search --name "^Notities$" | head -1)
sleep 0.5
click "$notes" 11500 -100
sleep 0.5
shoot "$notes" notities.png
echo "screenshots in $docs"

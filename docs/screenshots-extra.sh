#!/usr/bin/env bash
# Makes the screenshots of the menu "Extra" in docs/ from the real program under a virtual X
# server: the statistics window and the preview of a ham list import.
#   docs/screenshots-extra.sh build/kringbaas
# Needs xvfb, openbox, xdotool, imagemagick and python3 (for the sample data).
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

python3 - "$work/kringbaasbase.mdb" "$work/hams.csv" <<'PY'
import datetime, random, sqlite3, sys
db = sqlite3.connect(sys.argv[1])
db.create_collation('kbfold', lambda a, b: (a.casefold() > b.casefold()) - (a.casefold() < b.casefold()))
hams = [('PA3ABC', 'JAN', 'ZOETERMEER', 'JO22ab'), ('PD0XYZ', 'ANTON', 'DELFT', 'JO22dx'),
        ('ON4ABC', 'PIET', 'ANTWERPEN', 'JO21ef'), ('PE1KEES', 'KEES', 'ROTTERDAM', 'JO21fw'),
        ('PA1JAN', 'JANNEKE', 'DEN HELDER', 'JO22ks'), ('PD2TON', 'TONNY', 'UTRECHT', 'JO22ni'),
        ('PA0GER', 'GERRIT', 'ANDIJK', 'JO22ov'), ('PE2ANS', 'ANS', 'EINDHOVEN', 'JO21ok'),
        ('PA5WIM', 'WIM', 'GRONINGEN', 'JO33ff'), ('PD7JOS', 'JOS', 'MAASTRICHT', 'JO20su'),
        ('PA9MAR', 'MARIEKE', 'ZWOLLE', 'JO32ck'), ('PE0HAN', 'HANS', 'ENSCHEDE', 'JO32lf')]
db.execute('DELETE FROM qrz')
db.executemany('INSERT INTO qrz (call, naam, qth, grid, land) VALUES (?,?,?,?,\'NEDERLAND\')', hams)
db.execute('DELETE FROM ronde')
days = ['maandag', 'dinsdag', 'woensdag', 'donderdag', 'vrijdag', 'zaterdag', 'zondag']
months = ['januari', 'februari', 'maart', 'april', 'mei', 'juni', 'juli', 'augustus',
          'september', 'oktober', 'november', 'december']
rng = random.Random(1953)
weight = [0.95, 0.9, 0.5, 0.8, 0.3, 0.6, 0.7, 0.2, 0.4, 0.5, 0.15, 0.35]
day = datetime.date(2026, 1, 1)
while day.weekday() != 3:
    day += datetime.timedelta(days=1)
while day <= datetime.date(2026, 12, 10):
    datum = '%s %02d %s %d' % (days[day.weekday()], day.day, months[day.month - 1], day.year)
    present = [h for h, w in zip(hams, weight) if rng.random() < w]
    fields, values = ['rondecall', 'datum', 'kringbaas', 'begintijd'], ['PA3ABC', datum, 'Jan', day.isoformat() + 'T19:00:00Z']
    for i, h in enumerate(present, start=1):
        fields += ['call%d' % i, 'naam%d' % i, 'qth%d' % i]
        values += [h[0], h[1], h[2]]
    db.execute('INSERT INTO ronde (%s) VALUES (%s)' % (','.join(fields), ','.join('?' * len(values))), values)
    day += datetime.timedelta(days=7)
db.commit()
with open(sys.argv[2], 'w', encoding='utf-8', newline='') as f:
    f.write('\ufeffCall;Naam;Woonplaats;Grid;E-mail\r\n')
    f.write('PA3ABC;Jan;Zoetermeer;JO22ab;jan@example.nl\r\n')
    f.write('PD0XYZ;ANTON;DELFT;JO22dx;\r\n')
    f.write('PE9NEW;Nieuwe;Leiden;jo22hd;nieuw@example.nl\r\n')
    f.write('PE9ZOE;Zoë;"Den Haag; Scheveningen";jo22fb;\r\n')
    f.write(';Zonder call;Delft;;\r\n')
    f.write('PE9GRD;Grid;Gouda;jo22;\r\n')
    f.write('PE9MAIL;Mail;Gouda;;geen-adres\r\n')
PY

(cd "$work" && exec ./kringbaas >/dev/null 2>&1) &
sleep 2
xdotool key Escape   # "Een niewe ronde beginnen?" -> Nee
sleep 1
main=$(xdotool search --name "ZUD arizizirirod" | head -1)
extra() {  # opens the menu "Extra" and chooses its nth entry
    xdotool mousemove --window "$main" "$extra_x" 10 click 1
    sleep 0.5
    for _ in $(seq "$1"); do xdotool key Down; done
    xdotool key Return
    sleep 1.5
}
extra_x=${EXTRA_X:-300}

extra 3   # Statistieken
stats=$(xdotool search --name "^Statistieken$" | head -1)
import -frame -window "$stats" "$docs/statistieken.png"
xdotool key Escape
sleep 0.5

extra 5   # HAM-lijst importeren…
xdotool key ctrl+a
xdotool type "$work/hams.csv"
xdotool key Return
sleep 1.5
preview=$(xdotool search --name "HAM-lijst importeren" | tail -1)
import -frame -window "$preview" "$docs/import.png"
echo "screenshots in $docs"

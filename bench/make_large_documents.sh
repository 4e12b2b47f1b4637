#!/usr/bin/env bash
# Large invoice-like DOCX files with images, written by LibreOffice headless
# from generated Flat ODT: letterhead header and footer, long text, many
# tables of positions, photos and scans (PNG, made here with python3's zlib:
# noise in a narrow band, so they deflate about as little as real ones do).
# The corpus's documents are small; these are the largest a word processor
# writes of the kind a surveying office keeps as a template.
# Usage: bench/make_large_documents.sh OUTDIR [SIZE...]   (SIZE: 2 10 30, about
#        that many MB of DOCX; default all three)
# Then e.g.: bench/templates_floor.sh OUTDIR/*.docx
# Without soffice or python3 it says so and makes nothing (exit 0).
set -euo pipefail
out="${1:?Aufruf: bench/make_large_documents.sh AUSGABEORDNER [2 10 30]}"
shift
sizes=("$@")
((${#sizes[@]})) || sizes=(2 10 30)
for tool in soffice python3; do
  command -v "$tool" >/dev/null || { echo "make_large_documents: $tool not installed, no documents made" >&2; exit 0; }
done
mkdir -p "$out"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT

python3 - "$dir" "${sizes[@]}" <<'EOF'
import base64, os, random, struct, sys, zlib

dir_, sizes = sys.argv[1], [int(s) for s in sys.argv[2:]]
rnd = random.Random(30)

def png(width, height, gray, seed):
    """Rows of noise in a band that drifts down the image: about 4-5 bits of
    entropy a byte, so deflate keeps 55-70 % of it, as with photos and scans."""
    r = random.Random(seed)
    channels = 1 if gray else 3
    tables = []
    for k in range(16):
        base = 40 + 12 * k if not gray else 160 + 5 * k
        span = 24 if not gray else 16
        tables.append(bytes(base + (b % span) for b in range(256)))
    rows = []
    for y in range(height):
        rows.append(b"\0" + r.randbytes(width * channels).translate(tables[(y * 16) // height]))
    raw = zlib.compress(b"".join(rows), 6)
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 0 if gray else 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", raw) + chunk(b"IEND", b"")

WORDS = ("Flurstück Grenze Vermessung Gemarkung Abmarkung Grenzstein Katasteramt Liegenschaft Grundstück "
         "Teilung Zerlegung Messung Punkt Lageplan Gebäude Einmessung Antrag Bescheid Flur Fortführung "
         "Nachweis Koordinate Höhe Bezugssystem Fläche Eigentümer Termin Niederschrift Anerkennung").split()

def sentence():
    w = [rnd.choice(WORDS) for _ in range(rnd.randint(8, 20))]
    return " ".join(w) + "."

def paragraph(style="Text"):
    return '<text:p text:style-name="%s">%s</text:p>' % (style, " ".join(sentence() for _ in range(rnd.randint(3, 7))))

def table(n, rows):
    head = "".join('<table:table-cell table:style-name="Cell" office:value-type="string"><text:p text:style-name="Head">%s</text:p></table:table-cell>' % h
                   for h in ("Pos.", "Leistung", "Menge", "Einheit", "EP €", "GP €"))
    body = []
    for r in range(rows):
        qty, price = rnd.randint(1, 40), rnd.randint(500, 90000) / 100
        cells = ("%d.%d" % (n, r + 1), sentence(), str(qty), rnd.choice(("Stk", "m", "h", "Pkt")),
                 ("%.2f" % price).replace(".", ","), ("%.2f" % (qty * price)).replace(".", ","))
        body.append("<table:table-row>" + "".join(
            '<table:table-cell table:style-name="Cell" office:value-type="string"><text:p text:style-name="Cell">%s</text:p></table:table-cell>' % c
            for c in cells) + "</table:table-row>")
    return ('<table:table table:name="Pos%d" table:style-name="Tab">'
            '<table:table-column table:style-name="ColN"/><table:table-column table:style-name="ColW"/>'
            '<table:table-column table:style-name="ColN" table:number-columns-repeated="4"/>'
            '<table:table-header-rows><table:table-row>%s</table:table-row></table:table-header-rows>%s</table:table>'
            % (n, head, "".join(body)))

def frame(n, data, w_cm, h_cm):
    return ('<text:p text:style-name="Text"><draw:frame draw:name="Bild%d" text:anchor-type="as-char" svg:width="%.2fcm" svg:height="%.2fcm">'
            '<draw:image><office:binary-data>%s</office:binary-data></draw:image></draw:frame></text:p>'
            % (n, w_cm, h_cm, base64.b64encode(data).decode()))

# size: (photos WxH, scans WxH, photo count, scan count, tables, rows per table, text paragraphs between)
PLANS = {2: ((700, 500), (800, 1100), 2, 1, 40, 12, 2),
         10: ((1400, 1000), (1240, 1754), 2, 3, 200, 15, 2),
         30: ((2000, 1500), (1654, 2339), 3, 6, 600, 15, 3)}

HEAD = """<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink" office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
<office:styles>
 <style:style style:name="Text" style:family="paragraph"><style:paragraph-properties fo:margin-bottom="0.2cm"/><style:text-properties fo:font-size="10pt"/></style:style>
 <style:style style:name="Title" style:family="paragraph"><style:text-properties fo:font-size="16pt" fo:font-weight="bold"/></style:style>
 <style:style style:name="Head" style:family="paragraph"><style:text-properties fo:font-size="9pt" fo:font-weight="bold"/></style:style>
 <style:style style:name="Cell" style:family="paragraph"><style:text-properties fo:font-size="9pt"/></style:style>
 <style:style style:name="Letterhead" style:family="paragraph"><style:paragraph-properties fo:text-align="end"/><style:text-properties fo:font-size="8pt"/></style:style>
</office:styles>
<office:automatic-styles>
 <style:page-layout style:name="PL"><style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm" fo:margin-left="2cm" fo:margin-right="1.5cm" fo:margin-top="1cm" fo:margin-bottom="1cm"/>
  <style:header-style><style:header-footer-properties fo:min-height="1.5cm"/></style:header-style><style:footer-style><style:header-footer-properties fo:min-height="1cm"/></style:footer-style></style:page-layout>
 <style:style style:name="Tab" style:family="table"><style:table-properties style:width="17.5cm" table:align="left"/></style:style>
 <style:style style:name="ColN" style:family="table-column"><style:table-column-properties style:column-width="2.2cm"/></style:style>
 <style:style style:name="ColW" style:family="table-column"><style:table-column-properties style:column-width="6.7cm"/></style:style>
 <style:style style:name="Cell" style:family="table-cell"><style:table-cell-properties fo:border="0.5pt solid #000000" fo:padding="0.05cm"/></style:style>
</office:automatic-styles>
<office:master-styles><style:master-page style:name="Standard" style:page-layout-name="PL">
 <style:header><text:p text:style-name="Letterhead">Vermessungsbüro Muster · Öffentlich bestellte Vermessungsingenieure · Hauptstraße 1 · 12345 Musterstadt</text:p></style:header>
 <style:footer><text:p text:style-name="Letterhead">Bankverbindung DE00 0000 0000 0000 0000 00 · USt-IdNr. DE000000000 · Seite <text:page-number text:select-page="current"/></text:p></style:footer>
</style:master-page></office:master-styles>
<office:body><office:text>
"""

for size in sizes:
    if size not in PLANS:
        sys.exit("make_large_documents: no plan for %d MB (2, 10 or 30)" % size)
    photo, scan, photos, scans, tables, rows, paras = PLANS[size]
    pieces = [HEAD, '<text:p text:style-name="Title">Rechnung und Vermessungsbericht (groß, %d MB)</text:p>' % size]
    pieces += [paragraph() for _ in range(6)]
    images = [(png(*photo, False, 100 * size + i), photo, 15.0) for i in range(photos)] + \
             [(png(*scan, True, 200 * size + i), scan, 14.0) for i in range(scans)]
    every = max(1, tables // max(1, len(images)))
    for t in range(tables):
        pieces += [paragraph() for _ in range(paras)]
        pieces.append(table(t + 1, rows))
        if t % every == every - 1 and images:
            data, (w, h), width = images.pop(0)
            pieces.append(frame(t, data, width, width * h / w))
    for data, (w, h), width in images:
        pieces.append(frame(999, data, width, width * h / w))
    pieces += [paragraph() for _ in range(4)]
    pieces.append("</office:text></office:body></office:document>\n")
    with open(os.path.join(dir_, "gross-%02dMB.fodt" % size), "w", encoding="utf-8") as f:
        f.write("".join(pieces))
EOF

# A private profile, so no user's LibreOffice settings or running instance take part.
soffice --headless --norestore "-env:UserInstallation=file://$dir/profile" --convert-to docx \
  --outdir "$out" "$dir"/*.fodt >"$dir/soffice.log" 2>&1 || { cat "$dir/soffice.log" >&2; exit 1; }
for s in "${sizes[@]}"; do
  f="$out/$(printf 'gross-%02dMB' "$s").docx"
  [ -s "$f" ] || { cat "$dir/soffice.log" >&2; echo "make_large_documents: $f not written" >&2; exit 1; }
  echo "$f $(($(stat -c %s "$f") / 1024)) kB"
done

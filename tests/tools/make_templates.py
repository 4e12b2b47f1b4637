#!/usr/bin/env python3
"""Writes the office-template fixtures in templates/: one small letter per
construct a template brings along (hand-written WordprocessingML)."""
import os
import zipfile

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "templates")
W = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
ROOT = ('<w:document xmlns:w="%s" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" '
        'xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" '
        'xmlns:w14="http://schemas.microsoft.com/office/word/2010/wordml" '
        'xmlns:w15="http://schemas.microsoft.com/office/word/2012/wordml" mc:Ignorable="w14 w15">' % W)
SECT = ('<w:sectPr w:rsidR="00A1B2C3"><w:pgSz w:w="11906" w:h="16838"/><w:pgMar w:top="1417" w:right="1417" '
        'w:bottom="1134" w:left="1417" w:header="708" w:footer="708" w:gutter="0"/><w:cols w:space="708"/></w:sectPr>')
serial = [0]


def p(inner, ppr=""):
    serial[0] += 1
    return ('<w:p w:rsidR="00A1B2C3" w:rsidRDefault="00D4E5F6" w14:paraId="1A2B%04X" w14:textId="77EE%04X">%s%s</w:p>'
            % (serial[0], serial[0], ppr, inner))


def r(text, rpr=""):
    return '<w:r w:rsidR="00D4E5F6">%s<w:t xml:space="preserve">%s</w:t></w:r>' % (rpr, text)


def tc(inner, w=4500):
    return '<w:tc><w:tcPr><w:tcW w:w="%d" w:type="dxa"/></w:tcPr>%s</w:tc>' % (w, inner)


def tbl(rows, cols=2, w=4500, style="Tabellenraster"):
    grid = "".join('<w:gridCol w:w="%d"/>' % w for _ in range(cols))
    return ('<w:tbl><w:tblPr><w:tblStyle w:val="%s"/><w:tblW w:w="0" w:type="auto"/>'
            '<w:tblLook w:val="04A0" w:firstRow="1" w:lastRow="0" w:firstColumn="1" w:lastColumn="0" w:noHBand="0" w:noVBand="1"/>'
            '</w:tblPr><w:tblGrid>%s</w:tblGrid>%s</w:tbl>' % (style, grid, rows))


def tr(*cells):
    return '<w:tr w:rsidR="00A1B2C3" w14:paraId="3C4D0001" w14:textId="3C4D0002">%s</w:tr>' % "".join(cells)


LETTERHEAD = p(r("Vermessungsbüro Beispiel", '<w:rPr><w:b/><w14:ligatures w14:val="standard"/></w:rPr>'), '<w:pPr><w:pStyle w:val="Kopf"/><w:jc w:val="right"/></w:pPr>')
LEAD = p(r("Für die Vermessung berechnen wir:"))
ITAL = "<w:rPr><w:i/></w:rPr>"

CASES = {
    "bookmark-at-end": LETTERHEAD + LEAD + p(r("Mit freundlichen Grüßen") +
                                              '<w:bookmarkStart w:id="0" w:name="_GoBack"/><w:bookmarkEnd w:id="0"/>'),
    "simple-field": LETTERHEAD + p(r("Musterstadt, den ") + '<w:fldSimple w:instr=" DATE \\@ &quot;dd.MM.yyyy&quot; ">'
                                   '<w:r><w:t>01.02.2026</w:t></w:r></w:fldSimple>'),
    "complex-field": LETTERHEAD + p(r("Seite ") + '<w:r><w:fldChar w:fldCharType="begin"/></w:r>'
                                    '<w:r><w:instrText xml:space="preserve"> PAGE </w:instrText></w:r>'
                                    '<w:r><w:fldChar w:fldCharType="separate"/></w:r>' + r("1") +
                                    '<w:r><w:fldChar w:fldCharType="end"/></w:r>'),
    "hyperlink-at-end": '<w:bookmarkStart w:id="4" w:name="Anfang"/>' + LETTERHEAD + '<w:bookmarkEnd w:id="4"/>' +
                        p(r("Zum ") + '<w:hyperlink w:anchor="Anfang" w:history="1"><w:r><w:rPr><w:rStyle w:val="Hyperlink"/>'
                          '</w:rPr><w:t>Briefkopf</w:t></w:r></w:hyperlink>'),
    "content-controls": '<w:sdt><w:sdtPr><w:alias w:val="Anschrift"/><w:tag w:val="anschrift"/><w:id w:val="-1201"/></w:sdtPr>'
                        '<w:sdtContent>' + p(r("Herrn Max Muster")) + p(r("Am Weg 2")) + '</w:sdtContent></w:sdt>' +
                        p(r("Ort: ") + '<w:sdt><w:sdtPr><w:alias w:val="Ort"/><w:id w:val="-1202"/></w:sdtPr><w:sdtContent>' +
                          r("Musterstadt") + '</w:sdtContent></w:sdt>'),
    "row-content-controls": LETTERHEAD + tbl(tr(tc(p(r("Flurstück"))), tc(p(r("12/3")))) +
                            '<w:sdt><w:sdtPr><w:alias w:val="Eigenschaften"/><w:id w:val="-1301"/></w:sdtPr><w:sdtContent>' +
                            tr(tc(p(r("Gemarkung"))), tc(p(r("Nord")))) + tr(tc(p(r("Fläche"))), tc(p(r("812 m²")))) +
                            '</w:sdtContent></w:sdt>') + LEAD,
    "cell-content-controls": LETTERHEAD + tbl(tr(tc(p(r("Auftrag"))),
                                                 '<w:sdt><w:sdtPr><w:alias w:val="Nummer"/><w:id w:val="-1401"/></w:sdtPr>'
                                                 '<w:sdtContent>' + tc(p(r("A-17"))) + '</w:sdtContent></w:sdt>')) + LEAD,
    "permissions": p('<w:permStart w:id="91" w:edGrp="everyone"/>' + r("Hier darf jeder schreiben.") + '<w:permEnd w:id="91"/>') +
                   p(r("Gruß") + '<w:permStart w:id="92" w:ed="buero"/>' + r(" Ihr Büro") + '<w:permEnd w:id="92"/>'),
    "tracked-changes": LETTERHEAD + p('<w:ins w:id="21" w:author="Büro" w:date="2026-01-05T10:00:00Z">' + r("neuer Satz. ") +
                                      '</w:ins><w:del w:id="22" w:author="Büro" w:date="2026-01-05T10:01:00Z"><w:r>'
                                      '<w:delText>alter Satz.</w:delText></w:r></w:del>',
                                      '<w:pPr><w:rPr><w:ins w:id="23" w:author="Büro" w:date="2026-01-05T10:02:00Z"/></w:rPr></w:pPr>'),
    "nested-letterhead": tbl(tr(tc(tbl(tr(tc(p(r("Logo")), 2000), tc(p(r("Name")), 2000)), 2, 2000) + p("")),
                                tc(p(r("Am Markt 1"))))) + LEAD,
    "nested-at-marker": LEAD + tbl(tr(tc(p(r("Summe"))), tc(tbl(tr(tc(p(r("innen")), 2000)), 1, 2000) + p("")))),
    "numbered": LETTERHEAD + p(r("Erster Punkt"), '<w:pPr><w:pStyle w:val="Liste"/><w:numPr><w:ilvl w:val="0"/>'
                               '<w:numId w:val="1"/></w:numPr></w:pPr>') +
                p(r("Zweiter Punkt"), '<w:pPr><w:numPr><w:ilvl w:val="0"/><w:numId w:val="1"/></w:numPr></w:pPr>'),
    "own-comments": LETTERHEAD + p('<w:commentRangeStart w:id="3"/>' + r("Bitte prüfen") + '<w:commentRangeEnd w:id="3"/>'
                                   '<w:r><w:rPr><w:rStyle w:val="Kommentarzeichen"/></w:rPr><w:commentReference w:id="3"/></w:r>'),
    "protected": LETTERHEAD + LEAD,
}

COMMENTS = ('<w:comments xmlns:w="%s"><w:comment w:id="3" w:author="Chefin" w:date="2026-01-05T09:00:00Z" w:initials="C">'
            '<w:p w14:paraId="0C0C0001" xmlns:w14="http://schemas.microsoft.com/office/word/2010/wordml"><w:pPr>'
            '<w:pStyle w:val="Kommentartext"/></w:pPr><w:r><w:rPr><w:rStyle w:val="Kommentarzeichen"/></w:rPr>'
            '<w:annotationRef/></w:r><w:r><w:rPr><w:b/><w:u w:val="single"/></w:rPr><w:t>Wichtig:</w:t></w:r>'
            '<w:r><w:t xml:space="preserve"> Betrag nachrechnen.</w:t></w:r></w:p></w:comment></w:comments>' % W)
NUMBERING = ('<w:numbering xmlns:w="%s"><w:abstractNum w:abstractNumId="0"><w:lvl w:ilvl="0"><w:start w:val="1"/>'
             '<w:numFmt w:val="decimal"/><w:lvlText w:val="%%1."/></w:lvl></w:abstractNum><w:num w:numId="1">'
             '<w:abstractNumId w:val="0"/></w:num></w:numbering>' % W)
SETTINGS = ('<w:settings xmlns:w="%s"><w:documentProtection w:edit="readOnly" w:enforcement="1" '
            'w:cryptProviderType="rsaAES" w:cryptAlgorithmClass="hash" w:cryptAlgorithmType="typeAny" '
            'w:cryptAlgorithmSid="14" w:cryptSpinCount="100000" w:hash="AAAA" w:salt="BBBB"/></w:settings>' % W)
DECL = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
CT = "application/vnd.openxmlformats-officedocument.wordprocessingml."


def write(name, body):
    parts = {"word/document.xml": DECL + ROOT + "<w:body>" + body + SECT + "</w:body></w:document>"}
    rels, types = [], [("/word/document.xml", CT + "document.main+xml")]
    extra = {"own-comments": ("comments", COMMENTS), "numbered": ("numbering", NUMBERING), "protected": ("settings", SETTINGS)}
    if name in extra:
        kind, xml = extra[name]
        parts["word/%s.xml" % kind] = DECL + xml
        rels.append('<Relationship Id="rId9" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/%s" '
                    'Target="%s.xml"/>' % (kind, kind))
        types.append(("/word/%s.xml" % kind, CT + kind + "+xml"))
    parts["word/_rels/document.xml.rels"] = (DECL + '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                                             + "".join(rels) + "</Relationships>")
    parts["_rels/.rels"] = (DECL + '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                            '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
                            'officeDocument" Target="word/document.xml"/></Relationships>')
    parts["[Content_Types].xml"] = (DECL + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                                    '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                                    '<Default Extension="xml" ContentType="application/xml"/>' +
                                    "".join('<Override PartName="%s" ContentType="%s"/>' % t for t in types) + "</Types>")
    with zipfile.ZipFile(os.path.join(HERE, name + ".docx"), "w", zipfile.ZIP_DEFLATED) as z:
        for part in ["[Content_Types].xml", "_rels/.rels"] + sorted(k for k in parts if k not in ("[Content_Types].xml", "_rels/.rels")):
            info = zipfile.ZipInfo(part, (1980, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, parts[part].encode("utf-8"))


os.makedirs(HERE, exist_ok=True)
for case, body in CASES.items():
    write(case, body)
# An encrypted document is an OLE compound file, whatever its name says.
with open(os.path.join(HERE, "encrypted.docx"), "wb") as f:
    f.write(bytes.fromhex("D0CF11E0A1B11AE1") + bytes(504) + b"EncryptionInfo" + bytes(512))

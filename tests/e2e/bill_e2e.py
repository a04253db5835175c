#!/usr/bin/python3
"""End to end: vantorel-bill on the sample sale gives a .doc that independent readers agree
with: LibreOffice lays it out in as many pages with the same lines as vantorel-bill's own PDF,
and python-docx reads back the text, the underlined values with their blanks and both tables.

Usage: bill_e2e.py VANTOREL_BILL WORK_FOLDER
"""
import json
import os
import re
import shutil
import subprocess
import sys

import docx

SAMPLE = {
    "Amount Of Motor Vehicle": "$2900.00", "Name Of Seller": "Tobin Harl",
    "Name Of Buyer": "Orwen Palk", "Name Of Witness": "Dalric Vesk", "Make": "Ford",
    "Year": "1969", "VIN": "1G1FP22PXS2100001", "Odometer": "55,000", "Model": "Thunderbird",
    "Color": "Blue", "No Days Vehicle Inspected": "95",
}


def run(*args, **kw):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kw)


def pdf_lines(path):
    text = run("pdftotext", "-layout", path, "-").stdout
    pages = text.split("\f")
    if pages and not pages[-1].strip():
        pages.pop()
    return [[" ".join(line.split()) for line in page.splitlines() if line.strip()] for page in pages]


def main():
    bill, work = sys.argv[1], sys.argv[2]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    record = os.path.join(work, "sale.json")
    with open(record, "w", encoding="utf-8") as f:
        json.dump(SAMPLE, f)
    doc_path = os.path.join(work, "bill.doc")
    pdf_path = os.path.join(work, "bill.pdf")
    env = dict(os.environ, TEMP=work, QT_QPA_PLATFORM="offscreen")
    run(bill, record, "--doc", doc_path, "--pdf", pdf_path, env=env)
    leftovers = [n for n in os.listdir(work) if n.startswith("wendlo")]
    assert not leftovers, f"temporary document left behind: {leftovers}"

    # LibreOffice: same page count, same lines.
    profile = "file://" + os.path.join(work, "lo-profile")
    run("soffice", f"-env:UserInstallation={profile}", "--headless", "--convert-to", "pdf",
        "--outdir", os.path.join(work, "lo"), doc_path, timeout=300)
    ours = pdf_lines(pdf_path)
    theirs = pdf_lines(os.path.join(work, "lo", "bill.pdf"))
    assert len(ours) == len(theirs), f"pages: ours {len(ours)}, LibreOffice {len(theirs)}"
    for number, (a, b) in enumerate(zip(ours, theirs), 1):
        assert a == b, f"page {number} differs:\n ours: {a}\n LibreOffice: {b}"

    # python-docx: the text, the underlined values with their blanks, the tables.
    document = docx.Document(doc_path)
    paragraphs = [p.text for p in document.paragraphs]
    assert paragraphs[0] == "Motor Vehicle Bill of Sale", paragraphs[0]
    opening = paragraphs[2]
    assert opening.startswith("BE IT KNOWN, that for payment in the sum of $  $2900.00  , "), opening
    underlined = [r.text for p in document.paragraphs for r in p.runs if r.underline]
    for value in ["$2900.00", "Tobin Harl", "Orwen Palk", "", "", "95", ""]:
        assert f"  {value}  " in underlined, (value, underlined)
    assert len(underlined) == 7, underlined
    tables = document.tables
    assert len(tables) == 2, len(tables)
    vehicle = [[c.text for c in row.cells] for row in tables[0].rows]
    assert vehicle == [["Make: Ford", "Model or series:  Thunderbird"], ["Year: 1969", "Color: Blue"],
                       ["VIN #: 1G1FP22PXS2100001", "Style: "], ["Odometer reading: 55,000", "Title #: "]], vehicle
    signature = [row.cells[0].text for row in tables[1].rows]
    assert signature == ["Date signed: ", "Seller: ", "Buyer: ", "In the presence of (Witness): ",
                         "Print name of witness: Dalric Vesk"], signature
    section = document.sections[0]
    assert (section.page_width.inches, section.page_height.inches) == (8.5, 11.0)
    assert (section.left_margin.inches, section.top_margin.inches) == (1.25, 1.0)
    certification = [p for p in paragraphs if p.startswith("Seller certifies")]
    assert len(certification) == 1 and len(certification[0]) == 316, certification
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""Reads a saved package with python-docx, an independent reader, and prints what it found
as JSON: the body paragraphs, the underlined runs, the tables, the page setup (in twips) and
the compatibility mode. The C++ test compares that with the model it saved."""
import json
import sys

import docx
from docx.oxml.ns import qn

EMU_PER_TWIP = 635


def twips(length):
    return int(round(length / EMU_PER_TWIP))


def main(path):
    document = docx.Document(path)
    paragraphs = [p.text for p in document.paragraphs]
    underlined = [run.text for p in document.paragraphs for run in p.runs if run.underline]
    fonts = sorted({run.font.name for p in document.paragraphs for run in p.runs if run.font.name})
    tables = []
    cell_runs = []
    for table in document.tables:
        tables.append([[cell.text for cell in row.cells] for row in table.rows])
        for row in table.rows:
            for cell in row.cells:
                for p in cell.paragraphs:
                    cell_runs.extend({"bold": bool(r.bold), "size": r.font.size.pt} for r in p.runs)
        style = table.style.name if table.style is not None else None
        tables[-1] = {"style": style, "cells": tables[-1],
                      "rowHeight": twips(table.rows[0].height) if table.rows[0].height else 0}
    section = document.sections[0]
    compat = None
    for setting in document.settings.element.iter(qn("w:compatSetting")):
        if setting.get(qn("w:name")) == "compatibilityMode":
            compat = setting.get(qn("w:val"))
    json.dump({
        "paragraphs": paragraphs,
        "underlined": underlined,
        "fonts": fonts,
        "tables": tables,
        "cellRuns": cell_runs,
        "section": {
            "width": twips(section.page_width), "height": twips(section.page_height),
            "top": twips(section.top_margin), "bottom": twips(section.bottom_margin),
            "left": twips(section.left_margin), "right": twips(section.right_margin),
            "header": twips(section.header_distance), "footer": twips(section.footer_distance),
            "landscape": section.orientation == docx.enum.section.WD_ORIENT.LANDSCAPE,
        },
        "compatibilityMode": compat,
    }, sys.stdout, ensure_ascii=False)


if __name__ == "__main__":
    main(sys.argv[1])

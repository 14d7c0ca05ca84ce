#!/usr/bin/env python3
"""Write the revision work packages of the built-in dictionary (data/revisions/).

Each package is a TSV file for one writer, at most PACKAGE_SIZE rows, with a
header of "#" lines saying what to do (docs/dictionary.md, "Work packages").
A row of the dictionary is in one package at most; the first class that
takes it wins, in this order:

  homographs_NN.tsv   every headword with several readings, all its readings
                      together (new readings of characters: written in
                      data/glosses/batch_21.tsv by the writer of the package);
  proper_only.tsv     proper nouns whose characters also make an ordinary
                      word (大树, 山下): add the common sense;
  places_NN.tsv       entries labelled "(lieu-dit)": describe the place;
  pinyin_only.tsv     glosses that only repeat the pinyin;
  labels.tsv          labels a script cannot mend;
  classifiers_NN.tsv  frequent nouns without a CC-CEDICT classifier: answer.

Columns: headword TAB numbered pinyin TAB current gloss TAB what to check;
classifier packages: headword TAB numbered pinyin TAB hint TAB answer.

Usage: python3 tools/dictdata/work_packages.py [--force]
(--force overwrites packages that exist; writers' answers would be lost.)
"""

import argparse
import collections
import math
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_quality  # noqa: E402
import common  # noqa: E402
import select_candidates as sc  # noqa: E402

PACKAGE_SIZE = 800

# Findings of the outside review, repeated to the writer of the row.
REVIEW_NOTES = {
    "大爷": "relecture : dà yé et dà ye ont leurs sens inversés",
    "个头": "relecture : ge tóu a reçu le sens de gè tóu",
    "差事": "relecture : copie la glose de l'autre lecture",
    "款式": "relecture : copie la glose de l'autre lecture",
    "滑溜": "relecture : copie la glose de l'autre lecture",
    "工夫": "relecture : copie la glose de l'autre lecture",
    "支吾": "relecture : zhī wú a reçu le sens de zhī wu",
    "同仁": "relecture : confondu avec 铜仁 (ville du Guizhou) ; 同仁 : collègues",
    "梅林": "relecture : mot ordinaire (bosquet de pruniers) glosé comme nom propre",
}
REVISIONS = os.path.join(common.REPO_DATA, "revisions")
READINGS_BATCH = "batch_21.tsv"

HEADERS = {
    "homographs": [
        "Headwords with several readings: review each reading by itself.",
        "For each row: the gloss gives the senses of THIS reading only (never those of",
        "another reading: 大爷 dà yé / dà ye, 个头 gè tóu / ge tóu); a reading that only",
        "differs in pronunciation says so (\"sang [prononciation courante]\"); surnames",
        "are \"(nom de famille)\".  Rows whose gloss is \"-\" are new readings: write",
        f"their gloss in data/glosses/{READINGS_BATCH} (same two first columns).",
        "Edit the glosses in data/glosses/ (the file is in the last column), not here.",
    ],
    "proper_only": [
        "Proper nouns whose characters also make an ordinary word (大树 \"grand arbre\",",
        "山下 \"au pied de la montagne\"): if the ordinary word exists, add its sense",
        "first; keep the proper noun only if it earns its place, with a place label",
        "instead of \"(lieu-dit)\".  Edit in data/glosses/ (file in the last column).",
    ],
    "places": [
        "Entries labelled \"(lieu-dit)\": replace the label by a place label",
        "(docs/dictionary.md, \"Places\"): \"(pays)\", \"(province)\", \"(ville du Hubei)\",",
        "\"(district de Pékin)\", \"(fleuve)\", \"(montagne)\"...; a gloss that only",
        "repeats the pinyin says what the place is.  Drop the row (from data/glosses/",
        "and data/batches/ alike) only if the place is not known.",
        "Edit in data/glosses/ (file in the last column).",
    ],
    "pinyin_only": [
        "Glosses that only repeat the pinyin (\"Shizong\"): say what it is",
        "(\"Shizong, nom de temple de plusieurs empereurs\" is not enough if the",
        "French reader cannot tell: name the person, the work, the place kind).",
        "Edit in data/glosses/ (file in the last column).",
    ],
    "labels": [
        "Labels that need a decision (docs/dictionary.md, \"Labels\"): \"(ancien)\" becomes",
        "\"(vieilli)\" for an obsolete word, \"(Chine impériale)\" or \"(Antiquité)\" for",
        "a thing of the past; \"(nom propre)\" says what it names; a classifier's own",
        "meaning is written \"[classificateur] sorte, genre\" (the form \"[classificateur :",
        "本]\" is reserved for the classifiers of nouns).  Edit in data/glosses/.",
    ],
    "classifiers": [
        "Frequent nouns for which CC-CEDICT gives no classifier.  Write the usual",
        "classifier(s) in the last column, simplified characters separated by \", \"",
        "(个, or 本, 部), or \"-\" when the noun takes none (abstract or mass nouns",
        "counted otherwise, proper nouns).  The hint gives the classifiers of the",
        "noun's last word when CC-CEDICT has them.  Answer here; to_tsv.py reads",
        "this file and adds \"[classificateur : ...]\" as the last sense.",
        "headword TAB numbered pinyin TAB hint TAB answer",
    ],
}
ROW_FORMAT = "headword TAB numbered pinyin TAB current gloss TAB what to check TAB gloss file"


def read_glosses():
    """{(headword, numbered pinyin): (gloss file, gloss)}."""
    out = {}
    gdir = os.path.join(common.REPO_DATA, "glosses")
    for name in sorted(os.listdir(gdir)):
        if name.endswith(".tsv"):
            for line in open(os.path.join(gdir, name), encoding="utf-8"):
                f = line.rstrip("\n").split("\t")
                if len(f) == 3 and not line.startswith("#"):
                    out[(f[0], f[1])] = (name, f[2])
    return out


def read_selection():
    """[(headword, numbered pinyin, source, batch)] of data/candidates.tsv."""
    rows = []
    for line in open(os.path.join(common.REPO_DATA, "candidates.tsv"), encoding="utf-8"):
        if not line.startswith("#"):
            _, h, p, s, b = line.rstrip("\n").split("\t")
            rows.append((h, p, s, b))
    return rows


def chunks(groups, size=PACKAGE_SIZE):
    """Split groups of rows into packages of about equal size, no group split."""
    total = sum(len(g) for g in groups)
    if not total:
        return []
    count = math.ceil(total / size)
    target = math.ceil(total / count)
    out, cur = [], []
    for g in groups:
        if cur and len(cur) + len(g) > target:
            out.append(cur)
            cur = []
        cur.extend(g)
    if cur:
        out.append(cur)
    return out


def marked(p):
    import to_tsv
    return to_tsv.numbered_to_marked(p)


def plan(inp):
    sel = read_selection()
    glosses = read_glosses()
    taken = set()
    packages = collections.OrderedDict()

    # 1. Homographs: all readings of a headword together; groups with new
    # readings first (one package: its writer writes batch_21).
    by_head = collections.defaultdict(list)
    for h, p, s, b in sel:
        by_head[h].append((p, s, b))
    with_new, others = [], []
    for h, readings in by_head.items():
        if len(readings) < 2 or not any((h, p) in glosses for p, _, _ in readings):
            continue
        rows = []
        for p, s, b in readings:
            if (h, p) in glosses:
                gfile, gloss = glosses[(h, p)]
                other = [q for q, _, _ in readings if q != p and (h, q) in glosses
                         and same_senses(gloss, glosses[(h, q)][1])]
                what = "relire cette lecture"
                if h in REVIEW_NOTES:
                    what += " ; " + REVIEW_NOTES[h]
                if other:
                    what += f" ; mêmes sens que {marked(other[0])} : séparer"
                rows.append((h, p, gloss, what, gfile))
            else:
                rows.append((h, p, "-", f"nouvelle lecture ({s}) : écrire la glose", READINGS_BATCH))
        taken.update((h, p) for p, _, _ in readings)
        (with_new if any(r[2] == "-" for r in rows) else others).append(rows)
    new_pkg = [r for g in with_new for r in g]
    if len(new_pkg) > PACKAGE_SIZE:
        sys.exit(f"homographs with new readings: {len(new_pkg)} rows, more than one package")
    homograph_pkgs = [new_pkg] + chunks(others)
    for i, rows in enumerate(homograph_pkgs, 1):
        packages[f"homographs_{i:02d}"] = ("homographs", rows)

    def single(kind, predicate, what):
        rows = []
        for (h, p), (gfile, gloss) in glosses.items():
            if (h, p) in taken:
                continue
            w = predicate(h, p, gloss)
            if w:
                rows.append((h, p, gloss, what if w is True else w, gfile))
                taken.add((h, p))
        return rows

    # 2. Proper nouns that are also ordinary words.
    lower_heads = {h for h, p, _, _ in sel if p[:1].islower()}

    def proper_only(h, p, gloss):
        if h in REVIEW_NOTES:
            return REVIEW_NOTES[h]
        if not p[:1].isupper() or h in lower_heads or not 2 <= len(h) <= 3:
            return False
        # Only proper senses: each begins with a capital or is a "(lieu-dit)".
        if not all(x[:1].isupper() or "(lieu-dit)" in x for x in gloss.split(" / ")):
            return False
        if not all(c in inp.level1_set for c in h):
            return False
        # Said in films (which seldom name Chinese places or people), and
        # not the name of a country, city or person that films name.
        if (inp.subtitle_count.get(h, 0) < sc.ORDINARY_SUBTITLE_MIN
                or inp.jieba_tag.get(h, "") in ("nr", "nrt", "nrfg")):
            return False
        # Not a country, province or city that CC-CEDICT knows as such,
        # unless it also gives a classifier (a common noun: 大梁 "poutre").
        defs = inp.cedict.get(h, {}).get(p, [])
        if sc.cedict_classifiers(defs):
            return True
        names = [d for d in defs if all(w[:1].isupper() or w in ("of", "the", "and", "de")
                                        for w in re.findall(r"[A-Za-z]+", d))]
        return "known" not in sc.place_kinds(defs) and len(names) < len(sc.meaningful(defs))

    rows = single("proper_only", proper_only, "mot ordinaire ? ajouter son sens courant")
    packages["proper_only"] = ("proper_only", sorted(rows, key=lambda r: -inp.jieba_freq.get(r[0], 0)))

    # 3. "(lieu-dit)".
    rows = single("places", lambda h, p, g: "(lieu-dit)" in g, "étiquette de lieu")
    for i, chunk in enumerate(chunks([[r] for r in rows]), 1):
        packages[f"places_{i:02d}"] = ("places", chunk)

    # 4. Glosses that only repeat the pinyin.
    packages["pinyin_only"] = ("pinyin_only", single(
        "pinyin_only", lambda h, p, g: check_quality.repeats_pinyin(marked(p), g), "dire ce que c'est"))

    # 5. Labels that need a writer.
    def label_issue(h, p, g):
        probs = [e for e in check_quality.label_problems(h, g) if "retired: see" in e]
        if re.search(r"\[classificateur : [^\]\u4e00-\u9fff]", g):
            probs.append("classificateur : écrire « [classificateur] sens »")
        if re.search(r"\(nom de personne\)|\(personne\)$", g):
            probs.append("dire qui est la personne")
        return "; ".join(probs) or False

    packages["labels"] = ("labels", single("labels", label_issue, ""))
    return packages


def same_senses(a, b):
    sa = {check_quality.without_label(x).casefold() for x in a.split(" / ")}
    sb = {check_quality.without_label(x).casefold() for x in b.split(" / ")}
    return sa <= sb or sb <= sa


def classifier_packages(inp):
    rows = [(h, p, s) for h, p, s, _ in read_selection()]
    _, without = sc.classifier_rows(rows, inp)
    out = []
    for h, p, _ in without:
        hint = ""
        for i in range(1, len(h)):
            suffix = h[i:]
            for q, defs in inp.cedict.get(suffix, {}).items():
                cls = sc.cedict_classifiers(defs)
                if cls and q[:1].islower():
                    hint = f"comme {suffix} : {', '.join(cls)}"
                    break
            if hint:
                break
        out.append((h, p, hint, ""))
    return chunks([[r] for r in out])


def write_package(path, kind, rows, four_columns=False):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for line in HEADERS[kind]:
            f.write(f"# {line}\n")
        if not four_columns:
            f.write(f"# {ROW_FORMAT}\n")
        f.write(f"# {len(rows)} rows\n")
        for r in rows:
            f.write("\t".join(r) + "\n")


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--force", action="store_true", help="overwrite existing packages")
    args = ap.parse_args(argv)
    inp = sc.Inputs()
    os.makedirs(REVISIONS, exist_ok=True)
    out = {name: (kind, rows, False) for name, (kind, rows) in plan(inp).items()}
    for i, rows in enumerate(classifier_packages(inp), 1):
        out[f"classifiers_{i:02d}"] = ("classifiers", rows, True)
    existing = [n for n in out if os.path.exists(os.path.join(REVISIONS, n + ".tsv"))]
    if existing and not args.force:
        print("packages exist (writers may have answered): " + ", ".join(existing)
              + "; --force overwrites them", file=sys.stderr)
        return 1
    for name, (kind, rows, four) in out.items():
        write_package(os.path.join(REVISIONS, name + ".tsv"), kind, rows, four)
        print(f"data/revisions/{name}.tsv: {len(rows)} rows")
    return 0


if __name__ == "__main__":
    sys.exit(main())

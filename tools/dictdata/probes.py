#!/usr/bin/env python3
"""Probes of the built-in dictionary: words of the classes that reviews
found missing, looked up in data/dictionary.tsv.

Usage:
  python3 tools/dictdata/probes.py [--dictionary FILE]
      print one line per probe: present or missing, the group, the word;
      exit status 1 when a probe is missing

A probe is a headword, with a reading when one reading is wanted (tone
marks, syllables written together: "Lǎozǐ"), or with SURNAME when one of
its entries must give the surname ("(nom de famille)").
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import stats  # noqa: E402

SURNAME = "surname"

# (group, [headword or (headword, reading or SURNAME)]).
PROBES = [
    ("names in 州", "广州 杭州 苏州 郑州 兰州 福州 贵州 神州".split()),
    ("surnames that are a sense", [(c, SURNAME) for c in "王张陈黄周林马"]),
    ("surnames of their own", [(c, SURNAME) for c in "廖邹邱闫龚邵覃"]),
    ("famous names", [("老子", "Lǎozǐ"), ("孙子", "Sūnzǐ")]),
    ("chengyu", "守株待兔 对牛弹琴 亡羊补牢 井底之蛙".split()),
    ("words of the last twenty years", "支付宝 验证码 微博 抖音 内卷 躺平 截图 弹幕 吐槽".split()),
    ("book and set words", "不敢 不肯 只见 甚么 荆州".split()),
    ("readings corrected", [("好久不见", "hǎojiǔbùjiàn"), ("空地导弹", "kōngdìdǎodàn"),
                            ("分拆", "fēnchāi"), ("梵高", "FànGāo"), ("春日", "chūnrì"),
                            ("脑袋", "nǎodai")]),
]


def joined(pinyin):
    """'Lǎo zǐ' -> 'Lǎozǐ': readings compared without their blanks."""
    return pinyin.replace(" ", "")


def found(entries, probe):
    """True when the (headword, pinyin, gloss) entries satisfy the probe."""
    word, want = probe if isinstance(probe, tuple) else (probe, None)
    mine = [(p, g) for h, p, g in entries if h == word]
    if want is None:
        return bool(mine)
    if want == SURNAME:
        return any("(nom de famille)" in g for _, g in mine)
    return any(joined(p) == want for p, _ in mine)


def run(entries):
    """[(group, probe, present)] for every probe."""
    return [(group, probe, found(entries, probe)) for group, probes in PROBES for probe in probes]


def label(probe):
    if not isinstance(probe, tuple):
        return probe
    word, want = probe
    return f"{word} ({'nom de famille' if want == SURNAME else want})"


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--dictionary", default=stats.DICTIONARY)
    args = ap.parse_args(argv)
    results = run(stats.read_entries(args.dictionary))
    for group, probe, present in results:
        print(f"{'present' if present else 'missing'}\t{group}\t{label(probe)}")
    missing = sum(1 for *_, present in results if not present)
    print(f"{len(results) - missing} of {len(results)} probes present")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())

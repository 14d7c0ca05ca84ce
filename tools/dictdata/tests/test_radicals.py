"""Tests of the radical list generator (tools/dictdata/radicals.py).

Run: python3 -m unittest discover -s tools/dictdata/tests -v
The check against the Unihan database is skipped where the package
unicode-data is not installed.
"""

import collections
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.dirname(HERE)
REPO = os.path.dirname(os.path.dirname(TOOLS))
sys.path.insert(0, TOOLS)

import radicals  # noqa: E402

TREE = radicals.read_tree(os.path.join(REPO, "data", "radicaltree.txt"))
FORMS = radicals.Forms()


def unihan(rs=None, adobe=None):
    return {"kRSUnicode": rs or {}, "kRSAdobe_Japan1_6": adobe or {}}


def nodes(c, rs=None, adobe=None, cnchar=None):
    return radicals.radicals_of(c, unihan(rs, adobe), cnchar or {}, FORMS, TREE)


class FormsTable(unittest.TestCase):
    def test_every_kangxi_radical_is_mapped(self):
        numbers = {n.rstrip("'") for n in FORMS.default}
        self.assertEqual(numbers, {str(n) for n in range(1, 215)})

    def test_every_node_named_is_in_the_tree(self):
        self.assertEqual(FORMS.nodes() - set(TREE), set())

    def test_simplified_forms_have_their_own_node(self):
        self.assertEqual(FORMS.default["120'"], "纟")
        self.assertEqual(FORMS.default["149'"], "讠/言")
        self.assertEqual(FORMS.default["149"], "言")
        self.assertEqual(FORMS.radical["120"], {"糸", "纟"})


class Filing(unittest.TestCase):
    def test_modern_radical_alone_when_kangxi_is_the_same(self):
        self.assertEqual(nodes("你", rs={"你": "9.5"}, cnchar={"你": "亻"}), (["亻"], False))

    def test_kangxi_radical_added_when_it_differs(self):
        self.assertEqual(nodes("背", rs={"背": "130.5"}, cnchar={"背": "北"}), (["月"], False))
        self.assertEqual(nodes("主", rs={"主": "3.4"}, adobe={"主": "C+2323+3.1.4 C+2323+96.4.1"},
                               cnchar={"主": "丶"}), (["丶", "王"], False))

    def test_variant_glyphs_of_adobe_are_not_used(self):
        self.assertEqual(nodes("主", rs={"主": "3.4"}, adobe={"主": "V+13812+8.2.3"},
                               cnchar={"主": "丶"}), (["丶"], False))

    def test_side_of_the_ear_radical_comes_from_kangxi(self):
        self.assertEqual(nodes("阳", rs={"阳": "170.4"}, cnchar={"阳": "阝"})[0], ["阝(g)"])
        self.assertEqual(nodes("邮", rs={"邮": "163.5"}, cnchar={"邮": "阝"})[0], ["阝(d)"])

    def test_simplified_mark_without_modern_data(self):
        self.assertEqual(nodes("红", rs={"红": "120'.3"}), (["纟"], False))
        self.assertEqual(nodes("紅", rs={"紅": "120.3"}), (["糸"], False))

    def test_radical_character_under_its_own_node(self):
        self.assertEqual(nodes("其", rs={"其": "12.6"}, cnchar={"其": "八"})[0], ["八(丷)", "其"])

    def test_fold_only_when_nothing_else_files(self):
        self.assertEqual(nodes("年", rs={"年": "51.3"}, cnchar={"年": "干"}), (["一"], True))
        self.assertEqual(nodes("街", rs={"街": "144.6"}), (["彳"], True))
        self.assertEqual(nodes("甜", rs={"甜": "99.6"}, cnchar={"甜": "舌"}), (["舌"], False))

    def test_no_source_no_filing(self):
        self.assertEqual(nodes("x"), ([], False))


class Readings(unittest.TestCase):
    def test_most_frequent_first_and_capital_after_lower_case(self):
        entries = [("乐", "lè"), ("乐", "yuè"), ("乐", "lè"), ("张", "Zhāng"), ("张", "zhāng"),
                   ("音乐", "yīn yuè"), ("快乐", "kuài lè"), ("乐队", "yuè duì")]
        frequency = {"音乐": 500, "快乐": 100, "乐队": 100}
        readings = radicals.dictionary_readings(entries, frequency, {})
        self.assertEqual(readings["乐"], ["yuè", "lè"])
        self.assertEqual(readings["张"], ["zhāng", "Zhāng"])
        # kHanyuPinlu counts come before the words' frequency.
        readings = radicals.dictionary_readings(entries, frequency, {"乐": "lè(90) yuè(80)"})
        self.assertEqual(readings["乐"], ["lè", "yuè"])


@unittest.skipUnless(os.path.exists(os.path.join(radicals.UNIHAN_DIR, "Unihan_OtherMappings.txt.bz2")),
                     "unicode-data is not installed")
class GeneratedList(unittest.TestCase):
    def test_every_level_1_and_2_character_is_filed_in_order(self):
        values = radicals.read_unihan([("Unihan_OtherMappings.txt.bz2", "kTGH")])["kTGH"]
        levels = {c: int(v.split()[0].split(":")[1]) for c, v in values.items()
                  if v.startswith("2013:")}
        filed = collections.Counter()
        strokes = None
        with open(os.path.join(REPO, "data", "radicals.txt"), encoding="utf-8") as f:
            for line in f:
                if line.startswith("#"):
                    strokes = 0
                    continue
                c, _, count = line.rstrip("\n").split("\t")
                self.assertGreaterEqual(int(count), strokes, line)
                strokes = int(count)
                filed[c] += 1
        level1 = [c for c, n in levels.items() if n <= 3500]
        self.assertEqual(len(level1), 3500)
        self.assertEqual([c for c in level1 if not filed[c]], [])
        self.assertEqual([c for c, n in levels.items() if n <= 6500 and ord(c) < 0x10000
                          and not filed[c]], [])


if __name__ == "__main__":
    unittest.main()

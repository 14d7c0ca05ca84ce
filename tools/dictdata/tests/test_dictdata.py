"""Tests of the dictionary data tools.

Run: python3 -m unittest discover -s tools/dictdata/tests -v
The checks that need the Unihan database (package unicode-data) are
skipped where it is not installed.
"""

import collections
import os
import re
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.dirname(HERE)
REPO = os.path.dirname(os.path.dirname(TOOLS))
sys.path.insert(0, TOOLS)

import check_quality  # noqa: E402
import common  # noqa: E402
import coverage  # noqa: E402
import probes  # noqa: E402
import review_sample  # noqa: E402
import select_candidates  # noqa: E402
import stats  # noqa: E402
import to_tsv  # noqa: E402
import traditional  # noqa: E402

# A few Unihan readings (toneless), enough for the checker tests below.
READINGS = {
    "绿": {"lü", "lu"}, "路": {"lu"}, "女": {"nü", "ru"}, "一": {"yi"},
    "会": {"hui", "kuai"}, "儿": {"er"}, "北": {"bei"}, "京": {"jing"},
    "乐": {"le", "yue"}, "好": {"hao"}, "天": {"tian"},
    "丝": {"si"}, "不": {"bu"}, "苟": {"gou"}, "状": {"zhuang"}, "元": {"yuan"}, "殿": {"dian"},
    "试": {"shi"}, "榜": {"bang"}, "眼": {"yan"}, "中": {"zhong"}, "秋": {"qiu"}, "网": {"wang"},
    "球": {"qiu"}, "刘": {"liu"}, "李": {"li"},
}


def check(*lines):
    """Violation reasons for the given dictionary lines, revision checks aside."""
    _, violations = check_quality.check_lines(list(lines), READINGS, strict=False)
    return [reason for _, reason in violations]


def check_strict(*lines):
    """Violation reasons, revision checks included."""
    _, violations = check_quality.check_lines(list(lines), READINGS, strict=True)
    return [reason for _, reason in violations]


class ToneMarks(unittest.TestCase):
    def test_self_test_passes(self):
        self.assertEqual(to_tsv.self_test(), 0)

    def test_placement(self):
        for numbered, marked in [("xiao3", "xiǎo"), ("zhou1", "zhōu"), ("jiu3", "jiǔ"),
                                 ("dui4", "duì"), ("lu:e4", "lüè"), ("Lu:4", "Lǜ"),
                                 ("Ou1 zhou1", "Ōu zhōu"), ("yi1 hui4 r5", "yī huì r")]:
            self.assertEqual(to_tsv.pinyin_to_marked(numbered), marked)

    def test_cases_shared_with_the_importer(self):
        """Each row of tests/data/tone_cases.tsv, as the C++ importer reads it too."""
        path = os.path.join(REPO, "tests", "data", "tone_cases.tsv")
        with open(path, encoding="utf-8") as f:
            rows = [line.rstrip("\n").split("\t") for line in f if not line.startswith("#")]
        self.assertGreater(len(rows), 20)
        for numbered, marked, what in rows:
            with self.subTest(what, numbered=numbered):
                self.assertEqual(to_tsv.numbered_to_marked(numbered), marked)

    def test_own_data_accepts_syllables_only(self):
        self.assertEqual(to_tsv.pinyin_to_marked("m2 ng3 e^2 hm5"), "ḿ ňg ế hm")
        for bad in ("10shi4", "ling2li4", "·", "sh4"):
            with self.assertRaises(to_tsv.ConvertError):
                to_tsv.pinyin_to_marked(bad)

    def test_rejects_bad_tones(self):
        for bad in ("ma6", "ma0", "m:a1"):
            with self.assertRaises(to_tsv.ConvertError):
                to_tsv.pinyin_to_marked(bad)

    def test_command_line_sorts_and_fails_on_errors(self):
        with tempfile.TemporaryDirectory() as tmp:
            src = os.path.join(tmp, "in.tsv")
            out = os.path.join(tmp, "out.tsv")
            with open(src, "w", encoding="utf-8") as f:
                f.write("乐\tyue4\tmusique\n好\thao3\tbon\n# note\n\n乐\tle4\tjoyeux\n一\tyi1\tun, une\n")
            subprocess.run([sys.executable, os.path.join(TOOLS, "to_tsv.py"), "-o", out, src], check=True)
            with open(out, encoding="utf-8") as f:
                self.assertEqual(f.read(), "一\tyī\tun, une\n乐\tyuè\tmusique\n乐\tlè\tjoyeux\n好\thǎo\tbon\n")
            with open(src, "a", encoding="utf-8") as f:
                f.write("天\ttian7\tciel\n")
            r = subprocess.run([sys.executable, os.path.join(TOOLS, "to_tsv.py"), "-o", out, src],
                               capture_output=True, text=True)
            self.assertEqual(r.returncode, 1)
            self.assertIn(":7:", r.stderr)


class TraditionalForms(unittest.TestCase):
    # CC-CEDICT lines (simplified -> [(traditional, reading, definitions)]) and
    # Unihan's traditional forms, as the tool reads them.
    CEDICT = {
        "国": [("國", "guo2", ["country"]), ("囯", "guo2", ["variant of 國[guo2]"])],
        "干": [("乾", "gan1", ["dry"]), ("干", "gan1", ["shield"]), ("幹", "gan4", ["to do"])],
        "发": [("發", "fa1", ["to send"]), ("髮", "fa4", ["hair"])],
        "游戏": [("遊戲", "you2 xi4", ["game"])],
        "头发": [("頭髮", "tou2 fa5", ["hair"])],
        "好": [("好", "hao3", ["good"])],
        "鲜": [("鮮", "xian1", ["fresh"]), ("鱻", "xian1", ["fresh (archaic)"])],
        "里": [("裡", "li3", ["inside"]), ("裏", "li3", ["variant of 裡[li3]"])],
    }
    UNIHAN = {"国": {"國"}, "干": {"乾", "幹", "干"}, "发": {"發", "髮"}, "戏": {"戲"}, "头": {"頭"},
              "鲜": {"鮮"}, "里": {"裡", "裏"}}
    DECISIONS = {("干", "gan1"): "乾"}
    CASES = [
        # (headword, reading, expected form or None, the kind of note it makes)
        ("国", "guo2", "國", None),
        ("里", "li3", "裡", None),                   # the variant-only line is left out
        ("干", "gan1", "乾", "decided"),             # several forms: the decision
        ("干", "gan4", "幹", None),
        ("发", "fa4", "髮", None),
        ("游戏", "you2 xi4", "遊戲", "cedict only"),  # Unihan does not link 游 遊
        ("头发", "tou2 fa5", "頭髮", None),
        ("发型", "fa4 xing2", "髮型", None),         # no line: its characters' entries
        ("发明", "fa1 ming2", None, "unknown"),       # no entry of 发 fa1 decides
        ("鲜", "xian1", "鮮", "conflict"),           # a form Unihan refuses is not taken
        ("好", "hao3", "好", None),
    ]

    def test_derive(self):
        rows = [(h, p) for h, p, _, _ in self.CASES]
        derived, notes = traditional.derive(rows, self.CEDICT, self.UNIHAN, {}, self.DECISIONS)
        for (head, pinyin, expected, kind), (_, _, got) in zip(self.CASES, derived):
            with self.subTest(head=head, pinyin=pinyin):
                self.assertEqual(got, expected)
                if kind:
                    self.assertTrue(any(m.startswith(f"{head} {pinyin}") for m in notes[kind]), notes)
        self.assertEqual(traditional.output_lines(derived)[:3], ["国\tguo2\t國", "里\tli3\t裡", "干\tgan1\t乾"])
        self.assertNotIn("好\thao3\t好", traditional.output_lines(derived))

    def test_several_forms_undecided(self):
        _, notes = traditional.derive([("干", "gan1")], self.CEDICT, self.UNIHAN, {}, {})
        self.assertEqual(notes["undecided"], ["干 gan1: 乾/干"])

    def test_fourth_column(self):
        with tempfile.TemporaryDirectory() as tmp:
            src, trad, out = (os.path.join(tmp, n) for n in ("in.tsv", "trad.tsv", "out.tsv"))
            with open(src, "w", encoding="utf-8") as f:
                f.write("干\tgan1\tsec\n干\tgan4\tfaire\n好\thao3\tbon\n")
            with open(trad, "w", encoding="utf-8") as f:
                f.write("干\tgan1\t乾\n好\thao3\t好\n")
            run = [sys.executable, os.path.join(TOOLS, "to_tsv.py"), "-o", out, "--traditional", trad, src]
            subprocess.run(run, check=True)
            with open(out, encoding="utf-8") as f:
                self.assertEqual(f.read(), "好\thǎo\tbon\t\n干\tgān\tsec\t乾\n干\tgàn\tfaire\t\n")
            with open(trad, "a", encoding="utf-8") as f:
                f.write("好\thao3\t好好\n")
            r = subprocess.run(run, capture_output=True, text=True)
            self.assertEqual(r.returncode, 1)
            self.assertIn("trad.tsv:3", r.stderr)


class Selection(unittest.TestCase):
    """The parts of the selection that need no installed input."""

    def test_layout_keeps_committed_batches(self):
        rows = [("一", "yi1", "char"), ("和", "huo2", "reading"), ("冯", "Feng2", "surname"),
                ("微信", "Wei1 xin4", "everyday"), ("外卖", "wai4 mai4", "everyday"),
                ("快递", "kuai4 di4", "everyday")]
        batches = {0: [("一", "yi1"), ("石首", "Shi2 shou3")]}
        saved = select_candidates.NEW_BATCH_SIZE
        select_candidates.NEW_BATCH_SIZE = 2
        try:
            where, new, unselected, recased = select_candidates.layout(rows, batches)
        finally:
            select_candidates.NEW_BATCH_SIZE = saved
        self.assertEqual(where[("一", "yi1")], 0)
        self.assertEqual(unselected, [(0, "石首", "Shi2 shou3")])
        self.assertEqual(recased, {})
        # New readings of characters in a batch of their own, then the words.
        self.assertEqual(new, {1: [("和", "huo2"), ("冯", "Feng2")],
                               2: [("微信", "Wei1 xin4"), ("外卖", "wai4 mai4")],
                               3: [("快递", "kuai4 di4")]})

    def test_layout_by_theme(self):
        """New rows go to batches of their theme, in the order of THEMES."""
        rows = [("一", "yi1", "char"), ("网购", "wang3 gou4", "modern"), ("看到", "kan4 dao4", "subtitle"),
                ("守株待兔", "shou3 zhu1 dai4 tu4", "chengyu"), ("广州", "Guang3 zhou1", "place"),
                ("乔伊", "Qiao2 yi1", "subtitle-name"), ("驰名中外", "chi2 ming2 zhong1 wai4", "chengyu-composed"),
                ("廖", "Liao4", "surname-top"), ("冯", "Feng2", "surname")]
        where, new, unselected, recased = select_candidates.layout(rows, {0: [("一", "yi1")]})
        self.assertEqual(new, {1: [("冯", "Feng2")],
                               2: [("广州", "Guang3 zhou1"), ("乔伊", "Qiao2 yi1"), ("廖", "Liao4")],
                               3: [("守株待兔", "shou3 zhu1 dai4 tu4"), ("驰名中外", "chi2 ming2 zhong1 wai4")],
                               4: [("网购", "wang3 gou4")], 5: [("看到", "kan4 dao4")]})

    def test_word_readings_by_edition(self):
        """The third edition keeps the names in 州 and the famous names that the
        earlier rules dropped; a name plus 市 or a listed "X + 州" stays dropped."""
        cedict = {"广": {"guang3": ["wide"]}, "广州": {"Guang3 zhou1": ["Guangzhou"]},
                  "武汉": {"Wu3 han4": ["Wuhan"]}, "武汉市": {"Wu3 han4 shi4": ["Wuhan city"]},
                  "得克萨斯": {"De2 ke4 sa4 si1": ["Texas"]},
                  "得克萨斯州": {"De2 ke4 sa4 si1 zhou1": ["Texas, US state"]},
                  "老子": {"Lao3 zi3": ["Laozi"], "lao3 zi5": ["father"]}}
        readings = {c: {s.lower() for prons in cedict.values() for p in prons for w in [p.split()]
                        for s in w} for c in "广州武汉市得克萨斯老子"}
        third = (select_candidates.THIRD_ADMIN_SUFFIXES, select_candidates.FAMOUS_NAMES)
        for word, first, third_edition in [
                ("广州", [], ["Guang3 zhou1"]),
                ("武汉市", [], []),
                ("得克萨斯州", [], []),
                ("老子", ["lao3 zi5"], ["Lao3 zi3", "lao3 zi5"])]:
            with self.subTest(word):
                self.assertEqual(select_candidates.word_readings(word, cedict, readings), first)
                self.assertEqual(select_candidates.word_readings(word, cedict, readings, *third), third_edition)

    def test_layout_recases_in_place(self):
        """A row selected in another case keeps its batch; a reading that differs
        in more than case is a new row, and a committed pair of each case stays."""
        rows = [("渭水", "Wei4 shui3", "frequent"), ("硬骨鱼", "ying4 gu3 yu2", "frequent"),
                ("井冈山", "Jing3 gang1 Shan1", "word"), ("井冈山", "Jing3 gang1 shan1", "word"),
                ("露茜", "Lu4 xi1", "subtitle")]
        batches = {4: [("渭水", "wei4 shui3"), ("硬骨鱼", "Ying4 gu3 yu2"),
                       ("井冈山", "Jing3 gang1 Shan1"), ("井冈山", "Jing3 gang1 shan1")],
                   5: [("露茜", "lu4 xi2")]}
        where, new, unselected, recased = select_candidates.layout(rows, batches)
        self.assertEqual(recased, {(4, "渭水", "wei4 shui3"): "Wei4 shui3",
                                   (4, "硬骨鱼", "Ying4 gu3 yu2"): "ying4 gu3 yu2"})
        self.assertEqual(where[("渭水", "Wei4 shui3")], 4)
        self.assertEqual(unselected, [(5, "露茜", "lu4 xi2")])
        self.assertEqual(new, {6: [("露茜", "Lu4 xi1")]})

    def test_layout_rewrites_a_fixed_reading_in_place(self):
        """A committed row whose reading READING_FIXES corrects keeps its batch
        and is rewritten there, case included; an unlisted reading is not."""
        rows = [("分拆", "fen1 chai1", "frequent"), ("梵高", "Fan4 Gao1", "subtitle"),
                ("好久", "hao3 jiu3", "hsk")]
        batches = {39: [("分拆", "fen4 chai1"), ("梵高", "Fan2 Gao1"), ("好久", "hao4 jiu3")]}
        where, new, unselected, recased = select_candidates.layout(rows, batches)
        self.assertEqual(recased, {(39, "分拆", "fen4 chai1"): "fen1 chai1",
                                   (39, "梵高", "Fan2 Gao1"): "Fan4 Gao1"})
        self.assertEqual(where[("分拆", "fen1 chai1")], 39)
        self.assertEqual(unselected, [(39, "好久", "hao4 jiu3")])
        self.assertEqual(new, {40: [("好久", "hao3 jiu3")]})

    def test_recase_rows_keeps_the_gloss(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "batch_04.tsv")
            with open(path, "w", encoding="utf-8") as f:
                f.write("# note\n渭水\twei4 shui3\tWei (rivière du Shaanxi)\n渭\twei4\tWei\n")
            self.assertEqual(select_candidates.recase_rows(path, {("渭水", "wei4 shui3"): "Wei4 shui3"}), 1)
            with open(path, encoding="utf-8") as f:
                self.assertEqual(f.read(), "# note\n渭水\tWei4 shui3\tWei (rivière du Shaanxi)\n渭\twei4\tWei\n")

    def test_case_fixes_change_the_case_only(self):
        for (head, given), fixed in select_candidates.READING_CASE.items():
            with self.subTest(head=head):
                self.assertEqual(given.lower(), fixed.lower())
                self.assertNotEqual(given, fixed)
                self.assertEqual(len(fixed.split()), len(head))

    def test_surname_rows_are_capitalised_single_characters(self):
        for head, reading in select_candidates.SURNAME_ROWS.items():
            with self.subTest(head=head):
                self.assertEqual(len(head), 1)
                self.assertRegex(reading, r"^[A-Z][a-z:]*[1-5]$")

    def test_classifier_notes(self):
        for defs, expected in [
            (["book", "CL:本[ben3],冊|册[ce4],部[bu4]"], ["本", "册", "部"]),
            (["car", "CL:輛|辆[liang4]"], ["辆"]),
            (["CL:個|个[ge4]", "CL:個|个[ge4],位[wei4]"], ["个", "位"]),
            (["no classifier here"], []),
        ]:
            with self.subTest(defs=defs):
                self.assertEqual(select_candidates.cedict_classifiers(defs), expected)

    def test_place_kinds(self):
        for defs, expected in [
            (["Wannian county in Shangrao, Jiangxi"], ["local"]),
            (["Danjiangkou county level city in Shiyan, Hubei"], ["local"]),
            (["Sanya prefecture level city, Hainan"], ["known"]),
            (["Dongcheng district of central Beijing"], ["known"]),
            (["Qixing district of Guilin city"], ["local"]),
            (["Yunnan province in southwest China"], ["known"]),
            (["to gallop", "surname Feng"], []),
        ]:
            with self.subTest(defs=defs):
                self.assertEqual(select_candidates.place_kinds(defs), expected)

    def test_recorded_versions(self):
        with tempfile.TemporaryDirectory() as tmp:
            with open(os.path.join(tmp, "candidates.tsv"), "w", encoding="utf-8") as f:
                f.write("# input npm:chinese-lexicon 1.0.43\n# input debian:unicode-data 15.0.0-1\n"
                        "1\t一\tyi1\tchar\tbatch_00\n")
            self.assertEqual(select_candidates.read_recorded_versions(tmp),
                             {"npm:chinese-lexicon": "1.0.43", "debian:unicode-data": "15.0.0-1"})

    def test_npm_inputs_pinned_exactly(self):
        for name, version in common.pinned_npm_versions().items():
            self.assertRegex(version, r"^\d+\.\d+\.\d+$", name)

    def test_lexicon_lists_parsed(self):
        with tempfile.TemporaryDirectory() as tmp:
            hsk = os.path.join(tmp, "hsk.js")
            with open(hsk, "w", encoding="utf-8") as f:
                f.write('let hsk = [\n    ["的", "我"],\n    ["就"],\n    ["啊"],\n    ["得"],\n'
                        '    ["嗯"],\n    ["哦",\n "会晤"],\n];\n\nlet hskDict = {};\n')
            self.assertEqual(common.load_hsk(hsk), [("的", 1), ("我", 1), ("就", 2), ("啊", 3),
                                                     ("得", 4), ("嗯", 5), ("哦", 6), ("会晤", 6)])
            sub = os.path.join(tmp, "sub.js")
            with open(sub, "w", encoding="utf-8") as f:
                f.write("// source\nlet data = `的\t1682530\t6243\n我\t1682285\t6242`;\n")
            self.assertEqual(common.load_subtitle_frequencies(sub), [("的", 1682530), ("我", 1682285)])


class Classifiers(unittest.TestCase):
    def write(self, tmp, name, text):
        path = os.path.join(tmp, name)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        return path

    def test_last_sense_from_the_files(self):
        with tempfile.TemporaryDirectory() as tmp:
            facts = self.write(tmp, "facts.tsv", "书\tshu1\t本, 册\n车\tche1\t辆\n人\tren2\t个\n")
            answers = self.write(tmp, "answers.tsv", "# package\n"
                                 "车\tche1\tindice\t-\n"       # none: overrides the facts
                                 "人\tren2\tindice\t\n"         # undecided: facts kept
                                 "水\tshui3\tindice\t杯, 瓶\n")
            table = to_tsv.read_classifiers([facts, answers])
            entries = [("书", "shū", "livre"), ("车", "chē", "voiture"), ("人", "rén", "personne"),
                       ("水", "shuǐ", "eau"), ("书", "shū", "écrire")]
            numbered = ["shu1", "che1", "ren2", "shui3", "shu4"]
            self.assertEqual(to_tsv.add_classifiers(entries, numbered, table), [])
            self.assertEqual([g for _, _, g in entries],
                             ["livre / [classificateur : 本, 册]", "voiture",
                              "personne / [classificateur : 个]", "eau / [classificateur : 杯, 瓶]",
                              "écrire"])

    def test_written_in_the_gloss_is_an_error(self):
        entries = [("书", "shū", "livre / [classificateur : 本]"), ("种", "zhǒng", "[classificateur : sorte]")]
        errors = to_tsv.add_classifiers(entries, ["shu1", "zhong3"], {})
        self.assertEqual(len(errors), 1)
        self.assertIn("书", errors[0])


class RevisionChecks(unittest.TestCase):
    # (dictionary lines, words of an expected reason, or None when clean)
    CASES = [
        (["北京\tBěi jīng\tPékin (capitale de la Chine)"], None),
        (["北京\tBěi jīng\tPékin (lieu-dit)"], "lieu-dit"),
        (["北京\tBěi jīng\tville de Pékin (lieu-dit)"], "administrative place"),
        (["天\ttiān\tciel (abréviation)"], "write '(abrégé)'"),
        (["天\ttiān\tciel (mathématique)"], "write '(mathématiques)'"),
        (["天\ttiān\tciel (mathématiques)"], None),
        (["天\ttiān\tboum [onomatopée]"], "onomatopée"),
        (["天\ttiān\tboum (onomatopée)"], None),
        (["天\ttiān\tciel (ancien)"], "retired"),
        (["天\ttiān\tciel (des troupes)"], None),
        (["天\ttiān\tciel / jour / Ciel"], "sense repeated"),
        (["天\ttiān\tciel, jour / jour"], None),
        (["北京\tBěi jīng\tBeijing (nom propre)"], "repeats the pinyin"),
        (["北京\tBěi jīng\tBeijing, Beijing"], "repeats the pinyin"),
        (["北京\tBěi jīng\tBeijing (capitale de la Chine)"], None),
        (["北京\tběi jīng\tbeijing"], None),
        (["乐\tlè\tjoyeux / rire", "乐\tyuè\tjoyeux / rire"], "same senses"),
        (["乐\tlè\tjoyeux", "乐\tyuè\tjoyeux, gai / rire"], None),
        (["乐\tlè\tjoyeux (familier)", "乐\tyuè\tjoyeux / musique"], "same senses"),
        (["北京\tBěi jīng\tNew York (ville des États-Unis)"], None),
        (["北京\tBěi jīng\tNew things"], "English"),
        (["北京\tBěi jīng\tquoi / He (nom de famille)"], None),
        (["北京\tBěi jīng\the said"], "English"),
        # "(lieu-dit)" in any form, and places named without a documented kind.
        (["北京\tBěi jīng\tPékin (lieu-dit, Shandong)"], "lieu-dit"),
        (["北京\tBěi jīng\tPékin (lieu-dit du Hebei)"], "lieu-dit"),
        (["北京\tBěi jīng\tPékin (Lieu-dit)"], "lieu-dit"),
        (["北京\tBěi jīng\tPékin (lieu-dit) (capitale de la Chine)"], "lieu-dit"),
        (["北京\tBěi jīng\tPékin (lieu)"], "not a documented kind"),
        (["北京\tBěi jīng\tPékin (localité du Hebei)"], "not a documented kind"),
        (["北京\tBěi jīng\tPékin (ancienne région de Chine)"], "not a documented kind"),
        (["北京\tBěi jīng\tPékin (ancienne capitale de la Chine)"], None),
        (["北京\tBěi jīng\tPékin (ancien État)"], None),
        # Place labels: a kind alone, or a kind and where it is.
        (["北京\tBěi jīng\tPékin (municipalité)"], None),
        (["北京\tBěi jīng\tPékin (ville du Hubei)"], None),
        (["北京\tBěi jīng\tPékin (ville d'Italie)"], None),
        (["北京\tBěi jīng\tPékin (montagnes de l'Anhui)"], None),
        (["北京\tBěi jīng\tPékin (district de Kaohsiung, Taïwan)"], None),
        (["北京\tBěi jīng\tPékin (préfecture autonome du Yunnan)"], None),
        (["北京\tBěi jīng\tPékin (rivière entre la Chine et la Russie)"], None),
        (["北京\tBěi jīng\tPékin (île en mer de Chine)"], None),
        (["北京\tBěi jīng\tPékin (ville antique de Mésopotamie)"], "kind alone or followed"),
        (["北京\tBěi jīng\tPékin (district forestier du Hubei)"], "kind alone or followed"),
        (["北京\tBěi jīng\tPékin (région historique)"], "kind alone or followed"),
        (["北京\tBěi jīng\tPékin (villes du Hubei)"], None),  # not a kind: a precision
        (["天\ttiān\tmajestueux (montagne, édifice)"], "kind alone or followed"),
        (["天\ttiān\tmajestueux (d'une montagne, d'un édifice)"], None),
        # Provinces take the article of PROVINCE_NAMES.
        (["北京\tBěi jīng\tPékin (ville de Hubei)"], "write 'du Hubei'"),
        (["北京\tBěi jīng\tPékin (ville du Hainan)"], "write 'de Hainan'"),
        (["北京\tBěi jīng\tPékin (ville de Hainan)"], None),
        (["北京\tBěi jīng\tPékin (ville de Taiwan)"], "write 'de Taïwan'"),
        (["北京\tBěi jīng\tPékin (ville du Anhui)"], "write 'de l'Anhui'"),
        (["北京\tBěi jīng\tPékin (montagnes de Mongolie-Intérieure)"], "de la Mongolie-Intérieure"),
        (["北京\tBěi jīng\tPékin (district de Pékin)"], None),
        # Labels in a list, in another case, or opening a sense.
        (["天\ttiān\tciel (familier, dialectal)"], None),
        (["天\ttiān\tciel (injure, dialectal)"], "write '(injurieux)'"),
        (["天\ttiān\tmoi (humble, ancien)"], "retired"),
        (["天\ttiān\tciel (Internet)"], "write '(internet)'"),
        (["天\ttiān\tciel (Figuré)"], "write '(figuré)'"),
        (["天\ttiān\tmarine (ancienne), flotte"], "retired"),
        (["天\ttiān\tciel / (figuré) protecteur"], "opens a sense"),
        (["天\ttiān\tciel / (digue) céder"], None),
        # A word the sense is found in is written in brackets.
        (["天\ttiān\tverre (dans 玻璃)"], "[dans"),
        (["天\ttiān\tYuezhi (peuple ancien, dans 月氏)"], "[dans"),
        (["天\ttiān\tverre [dans 玻璃]"], None),
        (["天\ttiān\tciel (dans la langue écrite)"], None),
        # Spellings of the third edition.
        (["一丝不苟\tyī sī bù gǒu\tméticuleux (Chengyu)"], "write '(chengyu)'"),
        (["一丝不苟\tyī sī bù gǒu\tméticuleux (figuré, chengyu)"], None),
        (["天\ttiān\tciel (chengyu)"], "four-character idiom only"),
        (["状元\tzhuàng yuan\tpremier lauréat de l'examen du palais"], "(Chine impériale)"),
        (["状元\tzhuàng yuan\tpremier lauréat de l'examen du palais (Chine impériale)"], None),
        (["殿试\tdiàn shì\texamen au palais (Chine impériale)"], "write 'examen du palais'"),
        (["榜眼\tbǎng yǎn\tdeuxième lauréat du concours impérial du palais (Chine impériale)"],
         "write 'examen du palais'"),
        (["中秋\tZhōng qiū\tfête de la Mi-Automne"], "write 'mi-automne'"),
        (["中秋\tZhōng qiū\tfête de la mi automne"], "write 'mi-automne'"),
        (["中秋\tZhōng qiū\tfête de la mi-automne"], None),
        (["网\twǎng\tsite internet"], "write 'Internet'"),
        (["网\twǎng\tpublier (internet, familier)"], None),
        (["网\twǎng\tsur Internet / aimer (internet)"], None),
        (["球\tqiú\tballon (basket, tennis...)"], "ellipsis"),
        (["球\tqiú\tballon (basket, tennis…)"], None),
        (["刘\tliú\tLiu (nom de famille)"], "read with a capital"),
        (["刘\tLiú\tLiu (nom de famille)"], None),
        (["李\tlǐ\tprune / Li (nom de famille)"], None),
    ]

    def test_cases(self):
        for lines, expected in self.CASES:
            with self.subTest(lines=lines):
                reasons = check_strict(*lines)
                if expected is None:
                    self.assertEqual(reasons, [])
                else:
                    self.assertTrue(any(expected in r for r in reasons), reasons)

    def test_strict_by_default(self):
        """The revision classes are mended: the command line treats them as violations."""
        self.assertTrue(check_quality.STRICT)

    def test_documented_label_set(self):
        """The labels and place kinds of the checker are those docs/dictionary.md lists."""
        with open(os.path.join(REPO, "docs", "dictionary.md"), encoding="utf-8") as f:
            doc = f.read()
        labels_part = doc[doc.index("## Labels"):doc.index("- Retired, never to be written")]
        # Every `(label)` of the section; a list such as `(familier, dialectal)` is an example.
        documented = {x for x in re.findall(r"`\(([^`()]+)\)`", labels_part) if ", " not in x}
        self.assertEqual(documented, set(check_quality.LABELS))
        retired = doc[doc.index("- Retired, never to be written"):doc.index("### Places")]
        self.assertEqual(set(re.findall(r"`\(([^`()]+)\)`", retired)),
                         set(check_quality.RETIRED_LABELS))
        kinds = re.search(r"The kinds: (.*?)\. ", doc[doc.index("### Places"):], re.S).group(1)
        self.assertEqual({" ".join(k.split()) for k in kinds.split(",")},
                         set(check_quality.PLACE_KINDS))
        provinces = re.search(r"Province names as in French: (.*?)\.\n", doc, re.S).group(1)
        self.assertEqual({" ".join(p.split()) for p in provinces.split(",")},
                         set(check_quality.PROVINCE_FORM.values()))

    def test_warnings_until_strict(self):
        stats, violations = check_quality.check_lines(["天\ttiān\tciel / ciel"], READINGS, strict=False)
        self.assertEqual(violations, [])
        self.assertEqual(len(stats["revision warnings"]), 1)


class Checker(unittest.TestCase):
    def test_clean_entries(self):
        self.assertEqual(check("北京\tBěi jīng\tPékin (lieu-dit)",
                               "一会儿\tyī huì r\tun moment, un instant",
                               "乐\tlè\tjoyeux / rire", "乐\tyuè\tmusique",
                               "绿\tlǜ\tvert [couleur]"), [])

    def test_traditional_column(self):
        for line, expected in (("乐\tyuè\tmusique\t樂", None), ("乐\tyuè\tmusique\t", None),
                               ("乐\tyuè\tmusique\t乐", "equal to the headword"),
                               ("乐\tyuè\tmusique\t樂樂", "as many Chinese characters"),
                               ("乐\tyuè\tmusique\tX", "as many Chinese characters"),
                               ("乐\tyuè\tmusique\t樂\t", "fields instead of 3")):
            with self.subTest(line=line):
                reasons = check(line)
                if expected is None:
                    self.assertEqual(reasons, [])
                else:
                    self.assertTrue(any(expected in r for r in reasons), reasons)

    def test_umlaut_matters(self):
        self.assertTrue(any("not a reading" in r for r in check("路\tlǚ\troute")))
        self.assertEqual(check("绿\tlù\tvert"), [])  # lu is a Unihan reading of 绿
        self.assertTrue(any("not a Mandarin syllable" in r for r in check("天\ttiän\tciel")))

    def test_readings_and_counts(self):
        self.assertTrue(any("not a reading" in r for r in check("好\thǎn\tbon")))
        self.assertTrue(any("syllables for" in r for r in check("北京\tběi\tPékin")))
        self.assertTrue(any("exactly one blank" in r for r in check("北京\tBěi  jīng\tPékin")))
        self.assertTrue(any("'r'" in r for r in check("北京\tBěi r\tPékin")))
        self.assertTrue(any("several tone marks" in r for r in check("好\thǎó\tbon")))

    def test_french_key(self):
        self.assertTrue(any("no French key" in r for r in check("一\tyī\t[numéral] / 1")))
        self.assertEqual(check("一\tyī\tÉtat [exemple] / (littéraire) un"), [])

    def test_english_words(self):
        self.assertTrue(any("English" in r and "the" in r for r in check("天\ttiān\tciel, the sky")))
        # French words made of English-looking pieces are not flagged.
        self.assertEqual(check("天\ttiān\tallé, thé, usé / jeu de go / personne"), [])

    def test_layout(self):
        self.assertTrue(any("'/'" in r for r in check("天\ttiān\tciel/jour")))
        self.assertTrue(any("double blanks" in r for r in check("天\ttiān\tciel  bleu")))
        self.assertTrue(any("trailing" in r for r in check("天\ttiān\tciel ")))
        self.assertTrue(any("unbalanced" in r for r in check("天\ttiān\tciel (bleu")))
        self.assertTrue(any("empty sense" in r for r in check("天\ttiān\tciel /  / jour")))
        self.assertTrue(any("fields" in r for r in check("天\ttiān")))
        self.assertTrue(any("BMP" in r for r in check("天\ttiān\tciel \U0001F600")))
        self.assertTrue(any("control" in r for r in check("天\ttiān\tciel\x07")))
        self.assertTrue(any("max 7" in r for r in check("一一一一一一一一\tyī yī yī yī yī yī yī yī\tun")))

    def test_duplicates(self):
        reasons = check("乐\tlè\tjoyeux", "乐\tlè\tcontent")
        self.assertEqual(reasons, ["duplicate of line 1"])

    def test_missing_unihan_exits_77(self):
        saved = check_quality.UNIHAN_READINGS
        check_quality.UNIHAN_READINGS = "/nonexistent/Unihan_Readings.txt.bz2"
        try:
            self.assertEqual(check_quality.main(["check_quality.py", os.devnull]), 77)
        finally:
            check_quality.UNIHAN_READINGS = saved


class Figures(unittest.TestCase):
    ENTRIES = [("一", "yī", "un, une"), ("乐", "lè", "joyeux / rire"), ("乐", "yuè", "musique"),
               ("北京", "Běi jīng", "Pékin (capitale de la Chine)"),
               ("书", "shū", "livre / [classificateur : 本, 册]"),
               ("书本", "shū běn", "livre [classificateur : 本] / manuel"),
               ("一会儿", "yī huì r", "un moment / [dans 等一会儿]")]

    def test_dictionary_counts(self):
        c = stats.dictionary_counts(self.ENTRIES)
        self.assertEqual(c["entries"], 7)
        self.assertEqual(c["distinct headwords"], 6)
        self.assertEqual(c["single characters (entries)"], 4)
        self.assertEqual(c["single characters (distinct)"], 3)
        self.assertEqual(c["words by length (entries)"], {2: 2, 3: 1})
        self.assertEqual(c["homograph groups"], 1)
        self.assertEqual(c["French keys"], 9)
        self.assertEqual(c["nouns with a classifier"], 1)  # 书本's is not its last sense

    def test_classifier_is_the_last_sense(self):
        for gloss, expected in [("livre / [classificateur : 本]", True),
                                ("[classificateur : 本] / livre", False),
                                ("[classificateur] sorte, genre", False),
                                ("livre / [classificateur : 本, 部]", True)]:
            with self.subTest(gloss):
                self.assertEqual(stats.has_classifier(gloss), expected)

    def test_hsk_words_counted_once(self):
        hsk = [("的", 1), ("我", 1), ("得", 2), ("得", 4), ("会晤", 6)]
        self.assertEqual(stats.hsk_coverage({"的", "得"}, hsk),
                         (2, 4, {1: (1, 2), 2: (1, 1), 6: (0, 1)}))

    def test_subtitle_words_chinese_only(self):
        subtitles = [("的", 9), ("OK", 8), ("看到", 7), ("好人", 6), ("真的", 5)]
        self.assertEqual(stats.subtitle_share({"的", "好人", "真的"}, subtitles, top=3),
                         (2, 3, ["看到"]))

    def test_coverage_cuts_longest_first(self):
        c = coverage.coverage({"北京", "北", "京", "大学", "北京大学", "学"}, "北京大学学\n京x北")
        self.assertEqual(c, {"han": 7, "found": 4, "found_long": 1, "in_words": 7, "in_long_words": 4})
        c = coverage.coverage({"北"}, "北京")
        self.assertEqual((c["in_words"], c["in_long_words"], c["han"]), (1, 0, 2))


class Review(unittest.TestCase):
    def test_sample_is_seeded_and_in_order(self):
        entries = [(str(i), "yī", "un") for i in range(1000)]
        first = review_sample.sample(entries, seed=10, size=200)
        self.assertEqual(first, review_sample.sample(entries, seed=10, size=200))
        self.assertNotEqual(first, review_sample.sample(entries, seed=11, size=200))
        numbers = [n for n, _ in first]
        self.assertEqual(len(set(numbers)), 200)
        self.assertEqual(numbers, sorted(numbers))
        self.assertTrue(all(entries[n - 1] == e for n, e in first))

    def test_count_refuses_unknown_verdicts(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "review.tsv")
            with open(path, "w", encoding="utf-8") as f:
                f.write("# note\n1\t一\tyī\tok\t\n2\t二\tèr\tminor\tlabel\n")
            self.assertEqual(review_sample.count(path), {"ok": 1, "minor": 1})
            with open(path, "a", encoding="utf-8") as f:
                f.write("3\t三\tsān\tbad\t\n")
            with self.assertRaises(ValueError):
                review_sample.count(path)

    def test_committed_reviews_are_complete(self):
        for name, size in [("review_2nd_edition.tsv", review_sample.SIZE), ("review_3rd_edition.tsv", 300),
                           ("review_3rd_edition_audit.tsv", 300), ("review_3rd_edition_final.tsv", 300)]:
            with self.subTest(name):
                path = os.path.join(TOOLS, name)
                self.assertEqual(sum(review_sample.count(path).values()), size)

    def test_probes_present(self):
        """The words of the classes that reviews found missing stay in the
        committed dictionary (probes.py)."""
        entries = stats.read_entries(os.path.join(REPO, "data", "dictionary.tsv"))
        missing = [probe for _, probe, present in probes.run(entries) if not present]
        self.assertEqual(missing, [])

    def test_probe_kinds(self):
        entries = [("王", "wáng", "roi / Wang (nom de famille)"), ("老子", "lǎo zi", "père (familier)"),
                   ("老子", "Lǎo zǐ", "Laozi, philosophe")]
        for probe, present in [("老子", True), ("老", False), (("老子", "Lǎozǐ"), True),
                               (("老子", "lǎozǐ"), False), (("王", probes.SURNAME), True),
                               (("老子", probes.SURNAME), False)]:
            with self.subTest(probe):
                self.assertEqual(probes.found(entries, probe), present)


class CommittedSelection(unittest.TestCase):
    """data/batches and data/glosses as the selection tool and the writers leave them."""

    def read(self, sub):
        folder = os.path.join(REPO, "data", sub)
        return {name: select_candidates.read_pairs(os.path.join(folder, name))
                for name in sorted(os.listdir(folder)) if select_candidates.BATCH_RE.fullmatch(name)}

    def test_gloss_files_follow_their_batch(self):
        """Each gloss file holds rows of the batch of the same name, in its order:
        a writer leaves rows out, never adds, reorders or re-cases one."""
        batches = self.read("batches")
        glosses = self.read("glosses")
        self.assertEqual(set(glosses), set(batches))
        for name, rows in glosses.items():
            with self.subTest(name):
                batch = batches[name]
                self.assertEqual(len(set(rows)), len(rows), "a row written twice")
                position = {pair: i for i, pair in enumerate(batch)}
                missing = [pair for pair in rows if pair not in position]
                self.assertEqual(missing, [], "rows that are not in the batch")
                order = [position[pair] for pair in rows]
                self.assertEqual(order, sorted(order), "rows out of the batch's order")

    def test_places_left_out_are_in_no_batch(self):
        """The places that the writers found not known were removed from
        data/batches and data/glosses alike; the selection leaves them out."""
        heads = {h for rows in self.read("batches").values() for h, p in rows if p[:1].isupper()}
        heads |= {h for rows in self.read("glosses").values() for h, p in rows if p[:1].isupper()}
        self.assertEqual(heads & select_candidates.NOT_KNOWN_PLACES, set())


@unittest.skipUnless(os.path.exists(check_quality.UNIHAN_READINGS), "unicode-data not installed")
class BuiltInDictionary(unittest.TestCase):
    def test_dictionary_passes_checker(self):
        r = subprocess.run([sys.executable, os.path.join(TOOLS, "check_quality.py"),
                            os.path.join(REPO, "data", "dictionary.tsv")],
                           capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stdout[-3000:])

    def test_feminine_forms_are_keys(self):
        """A French lookup goes by the beginning of a sense: the feminine of a
        noun of a person is a sense of its own ("ami / amie", never "ami, amie")."""
        keys = collections.defaultdict(set)
        for head, _, gloss in stats.read_entries(os.path.join(REPO, "data", "dictionary.tsv")):
            for sense in check_quality.french_senses(gloss):
                keys[head].add(sense.split(" (")[0])
        for head, feminine in (("朋友", "amie"), ("邻居", "voisine"), ("律师", "avocate"),
                               ("学生", "étudiante"), ("大学生", "étudiante"), ("工人", "ouvrière"),
                               ("顾客", "cliente"), ("法国人", "Française"), ("居民", "habitante")):
            with self.subTest(head=head):
                self.assertIn(feminine, keys[head])

    # The probes of the third edition's review: (headword, pinyin, text the
    # gloss must hold, text it must not hold).
    PROBES = [
        ("延误", "yán wù", "retarder", None),
        ("裁缝", "cái feng", "tailleur", None), ("裁缝", "cái féng", "coudre", "tailleur"),
        ("摆设", "bǎi she", "bibelots", None), ("摆设", "bǎi shè", "disposer", "bibelots"),
        ("嗯", "ǹg", "acquiescement", None), ("兄弟", "xiōng di", "petit frère", None),
        ("调头", "diào tóu", "demi-tour", None), ("熟", "shóu", "prononciation courante", None),
        ("地下", "dì xia", "par terre", None), ("德行", "dé xing", "péjoratif", None),
        ("点", "diǎn", "goutte / virgule", None), ("会", "huì", "省会", None),
        ("会", "huì", "foire", None), ("打", "dǎ", "打车", None),
        ("收藏", "shōu cáng", "favori", None), ("档", "dàng", "vitesse", None),
        ("档", "dàng", "créneau", None), ("相", "xiāng", "mutuellement", "en personne"),
        ("句子", "jù zi", "[classificateur : 个]", None),
        ("手机", "shǒu jī", "[classificateur : 部, 个, 台]", None),
        ("常识", "cháng shí", "connaissances", "classificateur"),
        ("袜子", "wà zi", "[classificateur : 双", None),
        ("殿试", "diàn shì", "examen du palais", None), ("刘", "Liú", "Liu", None),
        ("各种各样", "gè zhǒng gè yàng", "(chengyu)", None),
        ("中秋节", "Zhōng qiū jié", "mi-automne", None),
    ]

    def test_review_probes(self):
        glosses = {(h, p): g for h, p, g in stats.read_entries(os.path.join(REPO, "data", "dictionary.tsv"))}
        for head, pinyin, holds, lacks in self.PROBES:
            with self.subTest(head=head, pinyin=pinyin):
                gloss = glosses.get((head, pinyin), "")
                self.assertIn(holds, gloss)
                if lacks:
                    self.assertNotIn(lacks, gloss)

    def test_dictionary_is_up_to_date_with_glosses(self):
        glosses = os.path.join(REPO, "data", "glosses")
        files = sorted(os.path.join(glosses, f) for f in os.listdir(glosses) if f.endswith(".tsv"))
        revisions = os.path.join(REPO, "data", "revisions")
        classifiers = [os.path.join(REPO, "data", "classifiers.tsv")] + sorted(
            os.path.join(revisions, f) for f in os.listdir(revisions)
            if f.startswith("classifiers_") and f.endswith(".tsv"))
        args = [a for path in classifiers for a in ("--classifiers", path)]
        with open(os.path.join(REPO, "data", "dictionary.tsv"), encoding="utf-8") as f:
            if f.readline().count("\t") == 3:  # made with the traditional forms
                args += ["--traditional", os.path.join(REPO, "data", "traditional.tsv")]
        r = subprocess.run([sys.executable, os.path.join(TOOLS, "to_tsv.py")] + args + files,
                           capture_output=True, text=True, check=True)
        with open(os.path.join(REPO, "data", "dictionary.tsv"), encoding="utf-8") as f:
            self.assertEqual(r.stdout, f.read())


if __name__ == "__main__":
    unittest.main()

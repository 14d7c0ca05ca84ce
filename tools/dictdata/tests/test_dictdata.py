"""Tests of the dictionary data tools.

Run: python3 -m unittest discover -s tools/dictdata/tests -v
The checks that need the Unihan database (package unicode-data) are
skipped where it is not installed.
"""

import os
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
import select_candidates  # noqa: E402
import to_tsv  # noqa: E402

# A few Unihan readings (toneless), enough for the checker tests below.
READINGS = {
    "绿": {"lü", "lu"}, "路": {"lu"}, "女": {"nü", "ru"}, "一": {"yi"},
    "会": {"hui", "kuai"}, "儿": {"er"}, "北": {"bei"}, "京": {"jing"},
    "乐": {"le", "yue"}, "好": {"hao"}, "天": {"tian"},
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
            where, new, unselected = select_candidates.layout(rows, batches)
        finally:
            select_candidates.NEW_BATCH_SIZE = saved
        self.assertEqual(where[("一", "yi1")], 0)
        self.assertEqual(unselected, [(0, "石首", "Shi2 shou3")])
        # New readings of characters in a batch of their own, then the words.
        self.assertEqual(new, {1: [("和", "huo2"), ("冯", "Feng2")],
                               2: [("微信", "Wei1 xin4"), ("外卖", "wai4 mai4")],
                               3: [("快递", "kuai4 di4")]})

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
    ]

    def test_cases(self):
        for lines, expected in self.CASES:
            with self.subTest(lines=lines):
                reasons = check_strict(*lines)
                if expected is None:
                    self.assertEqual(reasons, [])
                else:
                    self.assertTrue(any(expected in r for r in reasons), reasons)

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


@unittest.skipUnless(os.path.exists(check_quality.UNIHAN_READINGS), "unicode-data not installed")
class BuiltInDictionary(unittest.TestCase):
    def test_dictionary_passes_checker(self):
        r = subprocess.run([sys.executable, os.path.join(TOOLS, "check_quality.py"),
                            os.path.join(REPO, "data", "dictionary.tsv")],
                           capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stdout[-3000:])

    def test_dictionary_is_up_to_date_with_glosses(self):
        glosses = os.path.join(REPO, "data", "glosses")
        files = sorted(os.path.join(glosses, f) for f in os.listdir(glosses) if f.endswith(".tsv"))
        revisions = os.path.join(REPO, "data", "revisions")
        classifiers = [os.path.join(REPO, "data", "classifiers.tsv")] + sorted(
            os.path.join(revisions, f) for f in os.listdir(revisions)
            if f.startswith("classifiers_") and f.endswith(".tsv"))
        args = [a for path in classifiers for a in ("--classifiers", path)]
        r = subprocess.run([sys.executable, os.path.join(TOOLS, "to_tsv.py")] + args + files,
                           capture_output=True, text=True, check=True)
        with open(os.path.join(REPO, "data", "dictionary.tsv"), encoding="utf-8") as f:
            self.assertEqual(r.stdout, f.read())


if __name__ == "__main__":
    unittest.main()

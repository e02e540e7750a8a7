#!/usr/bin/env python3
"""Matrices split into row blocks and computed by a thread pool.

    python3 bench/python/threads.py [--threads 1 2] [--texts 200] [--strings 4000] [--repeat 3]

Every computation of the module runs with the interpreter lock released, so
threads that each compute a block of rows of one matrix run at the same time.
Two workloads: a dictionary matrix of --texts queries against as many choices
(texts of two words, read through the shipped Japanese sample bundle) and a
string matrix of --strings romaji strings of 12 letters against as many. Texts
are drawn with a fixed seed.
For each thread count the best of --repeat wall-clock times is shown with its
speed-up and the cores the process kept busy (CPU time over wall time: near
the thread count when the threads ran at once and had the cores to
themselves), and the joined blocks are checked against the matrix computed in
one call.
"""

import argparse
import os
import random
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

import _orvel

ROOT = Path(__file__).resolve().parents[2]
BUNDLE = ROOT / "bundles" / "ja-unidic-sample"
WORDS = [
    "東京", "大阪", "京都", "日本", "新聞", "天気", "学校", "先生", "電車", "会社",
    "ねこ", "いぬ", "さくら", "やま", "かわ", "うみ", "そら", "はな", "ともだち", "ありがとう",
    "ラーメン", "カメラ", "テレビ", "コーヒー", "の", "は", "へ", "で", "です", "ます",
]


def japanese_texts(rng, count, words_per_text=2):
    return ["".join(rng.choice(WORDS) for _ in range(words_per_text)) for _ in range(count)]


def romaji_texts(rng, count, length=12):
    return ["".join(rng.choice("aiueokstnhmryw") for _ in range(length)) for _ in range(count)]


def blocks(rows, count):
    size = -(-len(rows) // count)
    return [rows[i : i + size] for i in range(0, len(rows), size)]


def pooled(matrix, queries, choices, threads):
    """The matrix of queries against choices, one row block per task."""
    # Several blocks per thread, so that a slow block does not leave a thread idle.
    parts = blocks(queries, threads * 4)
    with ThreadPoolExecutor(max_workers=threads) as pool:
        results = pool.map(lambda block: matrix(block, choices), parts)
        return [row for result in results for row in result]


def best_time(call, repeat):
    """The best wall-clock time of the calls, and the CPU time of that call."""
    best = (float("inf"), 0.0)
    for _ in range(repeat):
        wall, cpu = time.perf_counter(), time.process_time()
        call()
        best = min(best, (time.perf_counter() - wall, time.process_time() - cpu))
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--threads", type=int, nargs="+", default=[1, 2])
    parser.add_argument("--texts", type=int, default=200)
    parser.add_argument("--strings", type=int, default=4000)
    parser.add_argument("--repeat", type=int, default=3)
    args = parser.parse_args()

    rng = random.Random(17)
    ja = _orvel.JapaneseDictionary.load_bundle(str(BUNDLE))
    workloads = [
        (
            "JapaneseDictionary._cdist_normalized_similarity",
            ja._cdist_normalized_similarity,
            japanese_texts(rng, args.texts),
            japanese_texts(rng, args.texts),
        ),
        (
            "_cdist_distance (strings)",
            _orvel._cdist_distance,
            romaji_texts(rng, args.strings),
            romaji_texts(rng, args.strings),
        ),
    ]
    print(f"{os.cpu_count()} cores; best of {args.repeat}")
    for name, matrix, queries, choices in workloads:
        expected = matrix(queries, choices)
        print(f"{name}: {len(queries)} x {len(choices)}")
        base = None
        for threads in args.threads:
            assert pooled(matrix, queries, choices, threads) == expected
            seconds, cpu = best_time(lambda: pooled(matrix, queries, choices, threads), args.repeat)
            base = base or seconds
            # CPU time over wall time: how many cores the process kept busy.
            print(
                f"  threads {threads}: {seconds:8.3f} s   speed-up {base / seconds:4.2f}"
                f"   cores busy {cpu / seconds:4.2f}"
            )


if __name__ == "__main__":
    main()

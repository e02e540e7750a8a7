#!/usr/bin/env python3
"""Sound-alike scoring with the two sample bundles shipped in bundles/.

    python3 examples/sound_alike.py [--bundles DIR]

Loads the Japanese (UniDic) and Chinese (CC-CEDICT) sample bundles, then
shows how alike a few pairs sound, ranks choices for a query and finds the
stretch of a sentence that sounds most like a query.
"""

import argparse
from pathlib import Path

import _orvel

BUNDLES = Path(__file__).resolve().parent.parent / "bundles"


def show_pairs(title, dictionary, pairs):
    print(title)
    for left, right in pairs:
        distance = dictionary.distance(left, right)
        similarity = dictionary.normalized_similarity(left, right)
        print(f"  {left} ~ {right}: distance {distance}, similarity {similarity:.3f}")


def show_ranking(dictionary, query, choices):
    # One row per query, one similarity per choice.
    [row] = dictionary._cdist_normalized_similarity([query], choices)
    print(f"  {query}:")
    for score, choice in sorted(zip(row, choices), key=lambda item: -item[0]):
        print(f"    {score:.3f}  {choice}")


def show_alignment(dictionary, query, sentence):
    found = dictionary._partial_ratio_alignment(query, sentence, 0)
    if found is None:
        print(f"  {query} in {sentence}: nothing sounds alike")
        return
    score, _, _, start, end = found
    marked = f"{sentence[:start]}[{sentence[start:end]}]{sentence[end:]}"
    print(f"  {query} in {marked}: similarity {score:.3f}, characters {start}..{end}")


def main():
    parser = argparse.ArgumentParser(description="Sound-alike scoring with the sample bundles.")
    parser.add_argument("--bundles", type=Path, default=BUNDLES, help="directory holding the two sample bundles")
    args = parser.parse_args()

    ja = _orvel.JapaneseDictionary.load_bundle(str(args.bundles / "ja-unidic-sample"))
    zh = _orvel.ChineseDictionary.load_bundle(str(args.bundles / "zh-cedict-sample"))
    print(f"Loaded {ja.artifact_name} ({ja.source_name}, readings from {ja.reading_field}) and "
          f"{zh.artifact_name} ({zh.source_name}, pinyin view {zh.pinyin_view}).")
    print()

    show_pairs("Japanese, read as romaji:", ja,
               [("東京", "とうきょう"), ("東京", "tokyo"), ("とうきょう", "tokyo"), ("日本", "にっぽん"), ("大阪", "oosaka")])
    show_pairs("Chinese, read as pinyin with tone digits:", zh,
               [("北京", "beijing"), ("北京", "bei3jing1"), ("北京", "背景"), ("北京", "南京"), ("重庆", "chongqing")])
    print()

    print("Choices ranked by how alike they sound:")
    show_ranking(ja, "とうきょう", ["東京", "京都", "大阪", "東北", "トーキョー", "tokyo", "教授"])
    show_ranking(zh, "beijing", ["北京", "南京", "背景", "上海", "北极", "贝京"])
    print()

    print("The stretch of a sentence that sounds most like a query:")
    show_alignment(ja, "とうきょう", "私は来年東京の大学に行きます")
    show_alignment(ja, "kyouto", "京都と大阪を旅行した")
    show_alignment(zh, "beijing", "我明年去北京上大学")
    show_alignment(zh, "shanghai", "他住在上海市")


if __name__ == "__main__":
    main()

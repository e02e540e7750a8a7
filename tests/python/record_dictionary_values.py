#!/usr/bin/env python3
"""Records what every dictionary method returns on real sentences with the
shipped sample bundles, so that a later build can be checked against it.

    python3 tests/python/record_dictionary_values.py OUT.json

Run it against the module to be recorded (PYTHONPATH or an installed
_orvel). Each entry is [class, method, args, kwargs, outcome], the outcome
being ["value", v] or ["error", exception class name, message]. Floats are
stored with repr() so that they read back bit for bit.
"""

import json
import sys
from pathlib import Path

import _orvel

ROOT = Path(__file__).resolve().parents[2]

JA_TEXTS = [
    "東京", "とうきょう", "tokyo", "私は東京に行きたい", "東京都の新聞社", "明日は雨が降るでしょう",
    "あしたはあめがふるでしょう", "今日は天気がいい", "一二三四五", "漢字仮名交じり文", "カラオケ", "ねこa",
    "東京駅から新幹線", "ハヨリジツヨウテキナ", "大阪へ向かう", "コーヒーを飲む", "日本語の勉強", "先生",
    "你好", "",
]
ZH_TEXTS = [
    "北京", "beijing", "bei3jing1", "我明年去北京上大学", "中国", "你好", "ni3hao3", "上海", "shanghai",
    "我爱你", "とうきょう", "",
]
JA_SPANS = [
    ("は天気がいい", "今日は天気がいいので散歩に行きました", 0),
    ("は天気がいい", "今日は天気がいいので散歩に行きました", 6),
    ("とうきょう", "私は東京に行きたい", 0),
    ("東京", "明日は東京に行きます", 3),
    ("", "東京", 0),
    ("你", "東京", 0),
]
ZH_SPANS = [
    ("beijing", "我明年去北京上大学", 0),
    ("上海", "我住在上海", 0),
    ("ni3hao3", "你好你好", 2),
    ("", "北京", 0),
]

PAIR_METHODS = ["distance", "damerau_distance", "combined_distance", "normalized_similarity",
                "normalized_distance", "ratio"]
MATRIX_METHODS = ["_cdist_distance", "_cdist_damerau_distance", "_cdist_combined_distance",
                  "_cdist_normalized_similarity", "_cdist_normalized_distance"]


def pairs(texts):
    out = []
    for i, a in enumerate(texts):
        out.append((a, texts[(i + 1) % len(texts)]))
        out.append((a, texts[(i + 3) % len(texts)]))
    return out


def encode(value):
    if isinstance(value, float):
        return {"float": repr(value)}
    if isinstance(value, (list, tuple)):
        return [encode(v) for v in value]
    return value


def outcome(call):
    try:
        return ["value", encode(call())]
    except (ValueError, TypeError) as e:
        return ["error", type(e).__name__, str(e)]


def cases(name, d, texts, spans):
    for left, right in pairs(texts):
        for method in PAIR_METHODS:
            yield name, method, [left, right], {}
        yield name, "within_distance", [left, right, 3], {}
        yield name, "within_damerau_distance", [left, right, 3], {}
        yield name, "normalized_similarity", [left, right], {"score_cutoff": 0.5}
    for method in MATRIX_METHODS:
        yield name, method, [texts[:6], texts[4:9]], {}
    for query, text, width in spans:
        yield name, "_partial_ratio_alignment", [query, text, width], {}
        yield name, "_partial_distance_alignment", [query, text, width], {}
        yield name, "_partial_distance_alignment", [query, text, width], {"score_cutoff": 2}


def main():
    ja = _orvel.JapaneseDictionary.load_bundle(str(ROOT / "bundles" / "ja-unidic-sample" / "metadata.yaml"))
    zh = _orvel.ChineseDictionary.load_bundle(str(ROOT / "bundles" / "zh-cedict-sample" / "metadata.yaml"))
    dictionaries = {"JapaneseDictionary": ja, "ChineseDictionary": zh}
    records = []
    for name, d, texts, spans in (("JapaneseDictionary", ja, JA_TEXTS, JA_SPANS),
                                  ("ChineseDictionary", zh, ZH_TEXTS, ZH_SPANS)):
        for cls, method, args, kwargs in cases(name, d, texts, spans):
            call = getattr(dictionaries[cls], method)
            records.append([cls, method, args, kwargs, outcome(lambda: call(*args, **kwargs))])
    lines = ",\n".join(json.dumps(r, ensure_ascii=False) for r in records)
    Path(sys.argv[1]).write_text("[\n" + lines + "\n]\n", encoding="utf-8")


if __name__ == "__main__":
    main()

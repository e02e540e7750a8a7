"""Dictionaries and data shared by the dictionary and bundle tests (no tests here).

The small payloads of tests/data hold the words the tests use: 東京 (トウキョウ),
日本 (ニポン, ニホン, ニッポン), 北京 (bei3jing1), 重庆 (chong2qing4), 行 (hang2,
heng2, xing2), ...
"""

from pathlib import Path

import pytest

import _orvel

ROOT = Path(__file__).resolve().parents[2]
JA_SMALL = ROOT / "tests" / "data" / "unidic" / "small.yaml"
ZH_SMALL = ROOT / "tests" / "data" / "cedict" / "small-tone3.yaml"
ZH_SMALL_NO_TONE = ROOT / "tests" / "data" / "cedict" / "small-no-tone.yaml"
BUNDLES = ROOT / "bundles"
JA_BUNDLE = BUNDLES / "ja-unidic-sample"
ZH_BUNDLE = BUNDLES / "zh-cedict-sample"

JA_UNREADABLE = "unsupported character"
ZH_UNREADABLE = "unsupported direct pinyin input"


@pytest.fixture(scope="session")
def ja():
    return _orvel.JapaneseDictionary.load_payload(str(JA_SMALL))


@pytest.fixture(scope="session")
def zh():
    return _orvel.ChineseDictionary.load_payload(str(ZH_SMALL))


@pytest.fixture(scope="session", params=["ja", "zh"])
def dictionary(request, ja, zh):
    """Each language's dictionary in turn."""
    return {"ja": ja, "zh": zh}[request.param]


def limit_message(dictionary, field, value, limit):
    family = "UniDic artifact" if isinstance(dictionary, _orvel.JapaneseDictionary) else "zh artifact"
    return f"{family} {field} length/count {value} exceeds limit {limit}"

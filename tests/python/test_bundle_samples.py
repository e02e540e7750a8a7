"""The sample bundles shipped in bundles/ load, verify and read real words."""

import pytest

import _orvel
from test_dictionary_fixtures import BUNDLES, JA_BUNDLE, ZH_BUNDLE

# The canonical checksums published with the source payloads: the shipped
# indexed payloads hold exactly the 40,000-surface UniDic sample and the
# whole of CC-CEDICT in the tone3 view.
UNIDIC_SAMPLE_CHECKSUM = "867c39b0a0a090751f077c37b60d17698a88e84066042754f3dddaeed3e82f07"
CEDICT_TONE3_CHECKSUM = "88ff1b834a9172261f4317b6fb92ce74056f5e4e359cd7682970eb21082bacfa"


@pytest.fixture(scope="module")
def ja():
    return _orvel.JapaneseDictionary.load_bundle(str(JA_BUNDLE))


@pytest.fixture(scope="module")
def zh():
    return _orvel.ChineseDictionary.load_bundle(str(ZH_BUNDLE / "metadata.yaml"))


def test_the_bundles_are_the_published_samples():
    ja_meta = (JA_BUNDLE / "metadata.yaml").read_text(encoding="utf-8")
    zh_meta = (ZH_BUNDLE / "metadata.yaml").read_text(encoding="utf-8")
    assert UNIDIC_SAMPLE_CHECKSUM in ja_meta and "entries: 40000" in ja_meta
    assert CEDICT_TONE3_CHECKSUM in zh_meta and "entries: 198075" in zh_meta
    assert "file_digest:" in ja_meta and "file_digest:" in zh_meta
    for bundle in (JA_BUNDLE, ZH_BUNDLE):
        assert (bundle / "LICENSE").read_text(encoding="utf-8").strip()
    size = sum(p.stat().st_size for p in BUNDLES.rglob("*") if p.is_file())
    assert size < 10 * 1024 * 1024


def test_names_and_defaults(ja, zh):
    assert (ja.artifact_name, ja.source_name, ja.reading_field) == ("ja-unidic-sample", "UniDic", "kana")
    assert (zh.artifact_name, zh.source_name, zh.pinyin_view) == ("zh-cedict-sample", "CC-CEDICT", "tone3")


def test_japanese_sound_alikes(ja):
    # 東京 reads トウキョウ (toukyou); tokyo lacks its two u.
    assert ja.distance("東京", "とうきょう") == 0
    assert ja.distance("東京", "トウキョウ") == 0
    assert ja.distance("とうきょう", "tokyo") == 2
    assert ja.normalized_similarity("東京", "tokyo") == pytest.approx(5 / 7)
    assert ja.normalized_similarity("東京", "tokyo") > ja.normalized_similarity("東京", "大阪")
    # 日本 has the readings ニポン, ニホン and ニッポン.
    assert ja.distance("日本", "にほん") == ja.distance("日本", "にっぽん") == 0
    row = ja._cdist_normalized_similarity(["とうきょう"], ["東京", "京都", "大阪", "トーキョー"])[0]
    assert row[0] == 1.0 and row[0] > row[1] and row[0] > row[2]
    assert ja._partial_ratio_alignment("とうきょう", "私は東京に行きたい", 0) == (1.0, 0, 5, 2, 4)


def test_chinese_sound_alikes(zh):
    # 北京 reads bei3jing1; typed toneless pinyin lacks two digits.
    assert zh.distance("北京", "bei3jing1") == 0
    assert zh.distance("北京", "beijing") == 2
    assert zh.normalized_similarity("北京", "beijing") == pytest.approx(7 / 9)
    assert zh.normalized_similarity("北京", "beijing") > zh.normalized_similarity("北京", "上海")
    # 重庆 chong2qing4; 行 is polyphonic (hang2, heng2, xing2).
    assert zh.distance("重庆", "chong2qing4") == 0
    assert zh.distance("行", "xing2") == zh.distance("行", "hang2") == 0
    assert zh._partial_ratio_alignment("beijing", "我爱北京天安门", 0)[3:] == (2, 4)


def test_bundles_can_be_loaded_from_the_bundle_directory(monkeypatch):
    monkeypatch.chdir(JA_BUNDLE)
    assert _orvel.JapaneseDictionary.load_bundle("metadata.yaml").artifact_name == "ja-unidic-sample"
    monkeypatch.chdir(BUNDLES)
    assert _orvel.ChineseDictionary.load_bundle("zh-cedict-sample").artifact_name == "zh-cedict-sample"

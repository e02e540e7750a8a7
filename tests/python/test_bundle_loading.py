"""load_bundle of both classes over small bundles made in a temporary directory."""

import hashlib
import json
import shutil
from pathlib import Path

import pytest

import _orvel
from test_dictionary_fixtures import JA_BUNDLE, JA_SMALL, ZH_SMALL, ZH_SMALL_NO_TONE

Ja = _orvel.JapaneseDictionary
Zh = _orvel.ChineseDictionary

# Canonical checksums of the small payloads of tests/data (their README).
JA_SMALL_CHECKSUM = "872b8213fd3b8ec05c6771fd9574ca1dc08d8b217890465a690c9a8ec8ebdce0"
JA_SMALL_FNV = "b59446d543b795eb"
ZH_SMALL_CHECKSUM = "e3f093458e74fd4a774d9283ddde84a1132b7c716a90cd15b14850981575a56f"
ZH_NO_TONE_CHECKSUM = "531a0439c3080ac4bb5bdd30ecc0e0a1bbb33ec16228c3581d4212b4f2f5ae91"


def sha256_file(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


def to_yaml(value, indent=""):
    """Block YAML of nested dicts and lists; texts double-quoted."""
    lines = []
    if isinstance(value, dict):
        for key, item in value.items():
            if isinstance(item, (dict, list)) and item:
                lines.append(f"{indent}{key}:")
                lines.append(to_yaml(item, indent + "  "))
            else:
                lines.append(f"{indent}{key}: {scalar(item)}")
    else:
        for item in value:
            body = to_yaml(item, indent + "  ").lstrip()
            lines.append(f"{indent}- {body}")
    return "\n".join(lines)


def scalar(value):
    if value is None:
        return "null"
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, int):
        return str(value)
    if isinstance(value, list):
        return "[]"
    return json.dumps(value, ensure_ascii=False)


def ja_metadata():
    return {
        "schema_version": 1,
        "artifact_type": "orvel.unidic.reading-index",
        "artifact_name": "ja-test",
        "generator": "tests",
        "payload": {
            "path": "payload/small.yaml",
            "format": "yaml",
            "file_digest_algorithm": "sha256-file-v1",
            "file_digest": sha256_file(JA_SMALL),
            "checksum_algorithm": "sha256-canonical-v1",
            "checksum": JA_SMALL_CHECKSUM,
        },
        "source": {"name": "UniDic", "version": "3.1.1", "lex_csv": "lex.csv"},
        "build": {"reading_field": "kana", "exclude_ascii_surfaces": True, "exclude_symbol_pos": True,
                  "entries": 300},
        "query_defaults": {"max_span_chars": 8, "max_paths": 1024, "longest_match_only": False},
        "license": {"selected_license": "BSD-3-Clause",
                    "references": [{"label": "data licence", "path": "LICENSE"}]},
    }


def zh_metadata(payload=ZH_SMALL, view="tone3", checksum=ZH_SMALL_CHECKSUM):
    return {
        "schema_version": 1,
        "artifact_type": "orvel.zh.reading-index",
        "artifact_name": "zh-test",
        "generator": "tests",
        "payload": {
            "path": "payload/small.yaml",
            "format": "yaml",
            "file_digest_algorithm": "sha256-file-v1",
            "file_digest": sha256_file(payload),
            "checksum_algorithm": "sha256-canonical-v1",
            "checksum": checksum,
        },
        "source": {"name": "CC-CEDICT", "version": "2026-09-10", "cedict": "cedict.txt"},
        "build": {"pinyin_view": view, "entries": 287},
        "query_defaults": {"max_span_chars": 8, "max_paths": 1024, "longest_match_only": False},
        "license": {"selected_license": "CC-BY-SA-4.0",
                    "references": [{"label": "data licence", "path": "LICENSE"}]},
    }


def make_bundle(root, metadata, payload):
    root.mkdir(parents=True, exist_ok=True)
    (root / "payload").mkdir(exist_ok=True)
    shutil.copyfile(payload, root / "payload" / "small.yaml")
    (root / "LICENSE").write_text("licence text\n", encoding="utf-8")
    (root / "metadata.yaml").write_text(to_yaml(metadata) + "\n", encoding="utf-8")
    return root


def snapshot(root):
    return {str(p.relative_to(root)): p.read_bytes() for p in sorted(root.rglob("*")) if p.is_file()}


@pytest.fixture
def ja_bundle(tmp_path):
    return make_bundle(tmp_path / "ja", ja_metadata(), JA_SMALL)


@pytest.fixture
def zh_bundle(tmp_path):
    return make_bundle(tmp_path / "zh", zh_metadata(), ZH_SMALL)


# ---- what a good bundle gives ------------------------------------------------


def test_the_object_takes_names_and_defaults_from_the_metadata(tmp_path):
    meta = zh_metadata()
    meta["query_defaults"]["longest_match_only"] = True
    zh = Zh.load_bundle(str(make_bundle(tmp_path / "zh", meta, ZH_SMALL)))
    assert (zh.artifact_name, zh.source_name, zh.pinyin_view) == ("zh-test", "CC-CEDICT", "tone3")
    # longest_match_only becomes the default longest_only: 银行 is read only as
    # the one word, not as 银 + 行 (yin2xing2).
    assert zh.distance("银行", "yin2xing2") > 0
    assert zh.distance("银行", "yin2xing2", longest_only=False) == 0
    assert zh.distance("银行", "yin2xing2") > 0

    meta = ja_metadata()
    meta["build"]["reading_field"] = "pron"
    meta["query_defaults"]["max_readings_per_segment"] = 1
    ja = Ja.load_bundle(str(make_bundle(tmp_path / "ja", meta, JA_SMALL)))
    assert (ja.artifact_name, ja.source_name, ja.reading_field) == ("ja-test", "UniDic", "pron")
    # 日本 reads ニポン, ニホン, ニッポン; with one reading per segment only nipon.
    assert ja.distance("日本", "nihon") == 1
    assert ja.distance("日本", "nihon", max_readings_per_segment=None) == 1
    assert ja.distance("日本", "nihon", max_readings_per_segment=5) == 0
    assert ja.distance("日本", "nihon") == 1


def test_metadata_path_forms(ja_bundle, tmp_path, monkeypatch):
    for path in (str(ja_bundle), str(ja_bundle / "metadata.yaml"), str(ja_bundle) + "/"):
        assert Ja.load_bundle(path).artifact_name == "ja-test"
    monkeypatch.chdir(ja_bundle)
    assert Ja.load_bundle("metadata.yaml").distance("東京", "toukyou") == 0
    assert Ja.load_bundle(".", None).artifact_name == "ja-test"


def test_bundle_dir_is_the_root_wherever_the_metadata_lies(ja_bundle, tmp_path):
    elsewhere = tmp_path / "elsewhere.yaml"
    shutil.copyfile(ja_bundle / "metadata.yaml", elsewhere)
    assert Ja.load_bundle(str(elsewhere), str(ja_bundle)).artifact_name == "ja-test"
    assert Ja.load_bundle(metadata_path=str(elsewhere), bundle_dir=str(ja_bundle) + "/").source_name == "UniDic"
    with pytest.raises(ValueError, match="^missing license reference data licence at "):
        Ja.load_bundle(str(elsewhere))
    # the metadata's own directory is ignored once bundle_dir is given
    with pytest.raises(ValueError, match="missing license reference"):
        Ja.load_bundle(str(ja_bundle), str(tmp_path))


def test_accepted_relative_paths(tmp_path):
    for path in ("./payload/small.yaml", "payload/./small.yaml", "payload//small.yaml"):
        meta = ja_metadata()
        meta["payload"]["path"] = path
        meta["license"]["references"] = [{"label": "l", "path": "./LICENSE"}, {"label": "m", "path": ".//LICENSE"}]
        assert Ja.load_bundle(str(make_bundle(tmp_path / path.replace("/", "_"), meta, JA_SMALL))) is not None


def test_other_checksum_algorithm_and_no_licences(tmp_path):
    meta = ja_metadata()
    meta["payload"]["checksum_algorithm"] = "fnv1a64-canonical-v1"
    meta["payload"]["checksum"] = JA_SMALL_FNV
    meta["license"]["references"] = []
    del meta["payload"]["file_digest_algorithm"], meta["payload"]["file_digest"]
    assert Ja.load_bundle(str(make_bundle(tmp_path / "b", meta, JA_SMALL))).artifact_name == "ja-test"


# ---- refusals -----------------------------------------------------------------


def edit(section, key, value):
    def apply(meta):
        if value is DELETE:
            del meta[section][key]
        else:
            meta[section][key] = value
    return apply


DELETE = object()
UPPER_DIGEST = sha256_file(JA_SMALL).upper()

JA_REFUSALS = [
    ("schema", lambda m: m.update(schema_version=2), "unsupported Japanese metadata schema version 2"),
    ("schema before type", lambda m: m.update(schema_version=0, artifact_type="x"),
     "unsupported Japanese metadata schema version 0"),
    ("type", lambda m: m.update(artifact_type="orvel.zh.reading-index"),
     'unsupported Japanese artifact type "orvel.zh.reading-index"'),
    ("type with a quote", lambda m: m.update(artifact_type='a"b'), 'unsupported Japanese artifact type "a\\"b"'),
    ("payload ..", edit("payload", "path", "../x"), 'bundle path "../x" must be relative and stay inside the bundle'),
    ("payload a/../b", edit("payload", "path", "a/../b"),
     'bundle path "a/../b" must be relative and stay inside the bundle'),
    ("payload absolute", edit("payload", "path", "/etc/x"),
     'bundle path "/etc/x" must be relative and stay inside the bundle'),
    ("payload backslash", edit("payload", "path", "payload\\small.yaml"),
     'bundle path "payload\\\\small.yaml" must be relative and stay inside the bundle'),
    ("licence ..", lambda m: m["license"].update(references=[{"label": "l", "path": "../LICENSE"}]),
     'bundle path "../LICENSE" must be relative and stay inside the bundle'),
    ("licence before payload",
     lambda m: (m["license"].update(references=[{"label": "gone", "path": "NOTICE"}]),
                m["payload"].update(path="../x")),
     "missing license reference gone at {root}/NOTICE"),
    ("licence directory", lambda m: m["license"].update(references=[{"label": "dir", "path": "payload"}]),
     "missing license reference dir at {root}/payload"),
    ("licences in order",
     lambda m: m["license"].update(references=[{"label": "a", "path": "LICENSE"}, {"label": "b", "path": "B"},
                                               {"label": "c", "path": "/c"}]),
     "missing license reference b at {root}/B"),
    ("digest alone", edit("payload", "file_digest_algorithm", DELETE),
     "payload file digest algorithm and digest must be provided together"),
    ("algorithm alone", edit("payload", "file_digest", None),
     "payload file digest algorithm and digest must be provided together"),
    ("algorithm in capitals", edit("payload", "file_digest_algorithm", "SHA256-FILE-V1"),
     'unsupported payload file digest algorithm "SHA256-FILE-V1"'),
    ("upper-case digest", edit("payload", "file_digest", UPPER_DIGEST),
     f"payload file digest mismatch: metadata has {UPPER_DIGEST}, recomputed {UPPER_DIGEST.lower()}"),
    ("digest of a missing payload", edit("payload", "path", "payload/none.yaml"),
     "No such file or directory (os error 2)"),
    ("format", edit("payload", "format", "Yaml"),
     "unsupported payload_format \"Yaml\"; expected 'yaml', 'binary', or 'indexed'"),
    ("checksum algorithm", edit("payload", "checksum_algorithm", "md5"), 'unsupported checksum algorithm "md5"'),
    ("checksum", edit("payload", "checksum", "0" * 64),
     f"payload checksum mismatch: metadata has {'0' * 64}, recomputed {JA_SMALL_CHECKSUM}"),
    ("entries", edit("build", "entries", 301), "entry count mismatch: metadata has 301, payload has 300"),
    ("checksum before entries",
     lambda m: (m["build"].update(entries=1), m["payload"].update(checksum="x")),
     f"payload checksum mismatch: metadata has x, recomputed {JA_SMALL_CHECKSUM}"),
    ("max_span_chars", edit("query_defaults", "max_span_chars", 257),
     "UniDic artifact max_span_chars length/count 257 exceeds limit 256"),
    ("max_paths", edit("query_defaults", "max_paths", 20000),
     "UniDic artifact max_paths length/count 20000 exceeds limit 16384"),
    ("max_readings_per_segment", edit("query_defaults", "max_readings_per_segment", 300),
     "UniDic artifact max_readings_per_segment length/count 300 exceeds limit 256"),
    ("verification before the limits",
     lambda m: (m["query_defaults"].update(max_paths=20000), m["build"].update(entries=1)),
     "entry count mismatch: metadata has 1, payload has 300"),
    ("decoding", lambda m: m.pop("generator"), "missing field `generator`"),
]


@pytest.mark.parametrize("change, message", [case[1:] for case in JA_REFUSALS], ids=[case[0] for case in JA_REFUSALS])
def test_japanese_refusals(tmp_path, change, message):
    meta = ja_metadata()
    change(meta)
    root = make_bundle(tmp_path / "b", meta, JA_SMALL)
    before = snapshot(root)
    with pytest.raises(ValueError) as raised:
        Ja.load_bundle(str(root))
    assert str(raised.value) == message.format(root=root)
    assert snapshot(root) == before


ZH_REFUSALS = [
    ("schema", lambda m: m.update(schema_version=7), "unsupported zh metadata schema version 7"),
    ("type", lambda m: m.update(artifact_type="orvel.zh.reading-index "),
     'unsupported zh artifact type "orvel.zh.reading-index "'),
    ("digest alone", edit("payload", "file_digest_algorithm", None),
     "zh payload file digest algorithm and digest must be provided together"),
    ("algorithm", edit("payload", "file_digest_algorithm", "sha256"),
     'unsupported zh payload file digest algorithm "sha256"'),
    ("binary format", edit("payload", "format", "binary"),
     "unsupported payload_format \"binary\"; expected 'yaml' or 'indexed'"),
    ("entries before checksum",
     lambda m: (m["build"].update(entries=1), m["payload"].update(checksum="x")),
     "entry count mismatch: metadata has 1, payload has 287"),
    ("view", edit("build", "pinyin_view", "no-tone"), "pinyin view mismatch: metadata has no-tone, payload has tone3"),
    ("checksum", edit("payload", "checksum", "y"),
     f"payload checksum mismatch: metadata has y, recomputed {ZH_SMALL_CHECKSUM}"),
    ("max_paths", edit("query_defaults", "max_paths", 20000),
     "zh artifact max_paths length/count 20000 exceeds limit 16384"),
    ("Japanese metadata", lambda m: m.update(source={"name": "UniDic", "version": "1", "lex_csv": "x"}),
     "source: missing field `cedict`"),
]


@pytest.mark.parametrize("change, message", [case[1:] for case in ZH_REFUSALS], ids=[case[0] for case in ZH_REFUSALS])
def test_chinese_refusals(tmp_path, change, message):
    meta = zh_metadata()
    change(meta)
    root = make_bundle(tmp_path / "b", meta, ZH_SMALL)
    with pytest.raises(ValueError) as raised:
        Zh.load_bundle(str(root))
    assert str(raised.value).startswith(message)


def test_view_aliases_do_not_match_the_payload(tmp_path):
    for alias in ("normal", "notone"):
        meta = zh_metadata(ZH_SMALL_NO_TONE, alias, ZH_NO_TONE_CHECKSUM)
        root = make_bundle(tmp_path / alias, meta, ZH_SMALL_NO_TONE)
        with pytest.raises(ValueError) as raised:
            Zh.load_bundle(str(root))
        assert str(raised.value) == f"pinyin view mismatch: metadata has {alias}, payload has no-tone"
    meta = zh_metadata(ZH_SMALL_NO_TONE, "no-tone", ZH_NO_TONE_CHECKSUM)
    assert Zh.load_bundle(str(make_bundle(tmp_path / "ok", meta, ZH_SMALL_NO_TONE))).pinyin_view == "no-tone"


def test_metadata_file_errors(tmp_path, ja_bundle):
    with pytest.raises(ValueError, match=r"^No such file or directory \(os error 2\)$"):
        Ja.load_bundle(str(tmp_path / "nothing"))
    with pytest.raises(ValueError, match=r"^No such file or directory \(os error 2\)$"):
        Ja.load_bundle(str(tmp_path))  # a directory without metadata.yaml
    (ja_bundle / "metadata.yaml").write_bytes(b"schema_version: 1\n\xff\n")
    with pytest.raises(ValueError, match=r"^invalid utf-8 sequence of 1 bytes from index 18$"):
        Ja.load_bundle(str(ja_bundle))
    (ja_bundle / "metadata.yaml").write_text("", encoding="utf-8")
    with pytest.raises(ValueError, match="^missing field `schema_version`"):
        Ja.load_bundle(str(ja_bundle))


def test_paths_with_a_nul_name_no_file(ja_bundle):
    with pytest.raises(ValueError, match="^embedded null byte$"):
        Ja.load_bundle(str(ja_bundle) + "\0/x")
    with pytest.raises(ValueError, match="^embedded null byte$"):
        Ja.load_bundle(str(ja_bundle / "metadata.yaml"), str(ja_bundle) + "\0")
    # A payload path from the metadata up to a NUL names the real payload,
    # whose digest then matches; the load refuses the path all the same.
    meta = ja_metadata()
    meta["payload"]["path"] = "payload/small.yaml\0.other"
    (ja_bundle / "metadata.yaml").write_text(to_yaml(meta) + "\n", encoding="utf-8")
    with pytest.raises(ValueError, match="^embedded null byte$"):
        Ja.load_bundle(str(ja_bundle))


def test_argument_errors(ja_bundle):
    with pytest.raises(TypeError, match="JapaneseDictionary.load_bundle.*'bundle_dir'"):
        Ja.load_bundle(str(ja_bundle), 1)
    with pytest.raises(TypeError, match="ChineseDictionary.load_bundle.*'metadata_path'"):
        Zh.load_bundle(None)
    with pytest.raises(TypeError, match="'metadata_path'"):
        Ja.load_bundle(ja_bundle)  # a Path object is not a str


# ---- damaged payloads of a real bundle ----------------------------------------


def copy_shipped(tmp_path):
    root = tmp_path / "copy"
    shutil.copytree(JA_BUNDLE, root)
    return root


def drop_digest(root):
    text = (root / "metadata.yaml").read_text(encoding="utf-8")
    kept = [line for line in text.splitlines() if "file_digest" not in line]
    (root / "metadata.yaml").write_text("\n".join(kept) + "\n", encoding="utf-8")


def test_a_truncated_payload_is_refused(tmp_path):
    root = copy_shipped(tmp_path)
    payload = root / "payload" / "readings.idx"
    payload.write_bytes(payload.read_bytes()[:-100])
    with pytest.raises(ValueError, match="^payload file digest mismatch: metadata has [0-9a-f]{64}, recomputed"):
        Ja.load_bundle(str(root))
    drop_digest(root)
    with pytest.raises(ValueError, match="UniDic indexed"):
        Ja.load_bundle(str(root))


def test_an_edited_payload_is_refused(tmp_path):
    root = copy_shipped(tmp_path)
    payload = root / "payload" / "readings.idx"
    data = bytearray(payload.read_bytes())
    # a katakana byte near the end, inside the readings records
    at = len(data) - 10
    data[at] ^= 0x01
    payload.write_bytes(bytes(data))
    with pytest.raises(ValueError, match="^payload file digest mismatch"):
        Ja.load_bundle(str(root))
    drop_digest(root)
    with pytest.raises(ValueError) as raised:
        Ja.load_bundle(str(root))
    assert "checksum mismatch" in str(raised.value) or "UniDic indexed" in str(raised.value)


def test_a_swapped_payload_is_refused(tmp_path):
    # another valid Japanese payload in the place of the sample's, its digest
    # updated: the canonical checksum still tells them apart
    root = copy_shipped(tmp_path)
    shutil.copyfile(JA_SMALL, root / "payload" / "readings.idx")
    text = (root / "metadata.yaml").read_text(encoding="utf-8")
    shipped_digest = sha256_file(JA_BUNDLE / "payload" / "readings.idx")
    text = text.replace(shipped_digest, sha256_file(JA_SMALL)).replace('format: "indexed"', 'format: "yaml"')
    (root / "metadata.yaml").write_text(text, encoding="utf-8")
    with pytest.raises(ValueError, match=f"^payload checksum mismatch: .*recomputed {JA_SMALL_CHECKSUM}$"):
        Ja.load_bundle(str(root))

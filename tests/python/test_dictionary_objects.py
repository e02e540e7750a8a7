"""The dictionary classes as Python sees them: surface, load_payload, properties, options."""

import inspect
import re

import pytest

import _orvel
from test_dictionary_fixtures import JA_BUNDLE, JA_SMALL, ZH_BUNDLE, ZH_SMALL, ja, zh, dictionary, limit_message  # noqa: F401

CLASSES = [_orvel.JapaneseDictionary, _orvel.ChineseDictionary]
OPTIONS = "max_readings_per_segment=None, max_span_chars=None, max_paths=None, longest_only=None"
PARTIAL_OPTIONS = "max_readings_per_segment=None, reading_max_span_chars=None, max_paths=None, longest_only=None"
METHODS = [
    ("distance", f"(left, right, *, {OPTIONS}, score_cutoff=None)"),
    ("damerau_distance", f"(left, right, *, {OPTIONS}, score_cutoff=None)"),
    ("combined_distance", f"(left, right, *, {OPTIONS}, score_cutoff=None)"),
    ("within_distance", f"(left, right, threshold, *, {OPTIONS})"),
    ("within_damerau_distance", f"(left, right, threshold, *, {OPTIONS})"),
    ("normalized_similarity", f"(left, right, *, {OPTIONS}, score_cutoff=None)"),
    ("normalized_distance", f"(left, right, *, {OPTIONS}, score_cutoff=None)"),
    ("ratio", f"(left, right, *, {OPTIONS}, score_cutoff=None)"),
    ("_partial_distance_alignment", f"(query, text, max_span_chars, *, {PARTIAL_OPTIONS}, score_cutoff=None)"),
    ("_partial_ratio_alignment", f"(query, text, max_span_chars, *, {PARTIAL_OPTIONS}, score_cutoff=None)"),
    ("_cdist_distance", f"(queries, choices, *, {OPTIONS}, score_cutoff=None)"),
    ("_cdist_damerau_distance", f"(queries, choices, *, {OPTIONS}, score_cutoff=None)"),
    ("_cdist_combined_distance", f"(queries, choices, *, {OPTIONS}, score_cutoff=None)"),
    ("_cdist_normalized_similarity", f"(queries, choices, *, {OPTIONS}, score_cutoff=None)"),
    ("_cdist_normalized_distance", f"(queries, choices, *, {OPTIONS}, score_cutoff=None)"),
]


def third_name(cls):
    return "reading_field" if cls is _orvel.JapaneseDictionary else "pinyin_view"


# ---- the classes ------------------------------------------------------------


def test_module_lists_the_classes_after_the_functions():
    assert _orvel.__all__[-2:] == ["JapaneseDictionary", "ChineseDictionary"]
    assert len(_orvel.__all__) == 23


@pytest.mark.parametrize("cls", CLASSES, ids=lambda c: c.__name__)
def test_class_surface(cls):
    assert cls.__module__ == "builtins"
    assert cls.__qualname__ == cls.__name__
    assert cls.__doc__ is None
    assert cls.__bases__ == (object,)
    items = [name for name in vars(cls) if not name.startswith("__")]
    assert items == ["load_payload", "load_bundle", "artifact_name", "source_name", third_name(cls),
                     *(name for name, _ in METHODS)]
    assert str(inspect.signature(cls.load_payload)) == "(path, payload_format='yaml')"
    assert cls.load_payload.__doc__ is None
    assert str(inspect.signature(cls.load_bundle)) == "(metadata_path, bundle_dir=None)"
    for name, signature in METHODS:
        method = getattr(cls, name)
        assert method.__text_signature__ == "($self" + (", " + signature[1:] if signature != "()" else ")")
        assert method.__doc__ is None
    for name in ("artifact_name", "source_name", third_name(cls)):
        assert vars(cls)[name].__doc__ is None


@pytest.mark.parametrize("cls", CLASSES, ids=lambda c: c.__name__)
def test_classes_cannot_be_made_or_changed_from_python(cls):
    with pytest.raises(TypeError):
        cls()
    with pytest.raises(TypeError):
        cls.__new__(cls)
    with pytest.raises(TypeError):
        cls.extra = 1
    with pytest.raises(TypeError):
        type("Sub", (cls,), {})


def test_objects_are_frozen(dictionary):
    for name in ("artifact_name", "source_name", "reading_field" if isinstance(dictionary, _orvel.JapaneseDictionary) else "pinyin_view", "new_attribute"):
        with pytest.raises(AttributeError):
            setattr(dictionary, name, "x")
    with pytest.raises(AttributeError):
        dictionary.__dict__
    with pytest.raises(TypeError):
        import weakref

        weakref.ref(dictionary)
    assert dictionary.artifact_name is None


def test_methods_and_properties_check_their_receiver(ja, zh):
    with pytest.raises(TypeError):
        _orvel.JapaneseDictionary.distance(zh, "a", "b")
    with pytest.raises(TypeError):
        _orvel.ChineseDictionary.pinyin_view.__get__(ja)
    with pytest.raises(TypeError):
        _orvel.JapaneseDictionary.artifact_name.__get__("not a dictionary")


@pytest.mark.parametrize("cls", CLASSES, ids=lambda c: c.__name__)
def test_binding_errors_name_class_and_method(cls, dictionary):
    name = cls.__name__
    with pytest.raises(TypeError, match=rf"^{name}\.load_payload\(\)"):
        cls.load_payload()
    with pytest.raises(TypeError, match=rf"^{name}\.load_bundle\(\)"):
        cls.load_bundle(metadata_path="x", bundle_dir="y", extra=1)
    obj = cls.load_payload(str(JA_SMALL if cls is _orvel.JapaneseDictionary else ZH_SMALL))
    with pytest.raises(TypeError, match=rf"^{name}\.ratio\(\) missing"):
        obj.ratio("a")
    with pytest.raises(TypeError, match=rf"^{name}\._cdist_distance\(\)"):
        obj._cdist_distance(["a"], ["b"], 3)


# ---- load_payload -----------------------------------------------------------

JA_INDEXED = JA_BUNDLE / "payload" / "readings.idx"
ZH_INDEXED = ZH_BUNDLE / "payload" / "readings.idx"

# (class, format) -> the loader the name reaches, seen through the error of
# each loader on a file in another format, or the whole message when the name
# is refused without opening anything.
DISPATCH = [
    (_orvel.JapaneseDictionary, ["yaml", "yaml.surface-readings.v1"], "invalid UniDic artifact payload YAML"),
    (_orvel.JapaneseDictionary, ["binary", "binary.surface-readings.v1"], "invalid UniDic binary artifact magic"),
    (_orvel.JapaneseDictionary, ["indexed", "fst", "indexed-fst.surface-readings.v1"],
     "invalid UniDic indexed artifact magic"),
    (_orvel.ChineseDictionary, ["yaml", "yaml.surface-readings.v1"], "invalid zh artifact payload YAML"),
    (_orvel.ChineseDictionary, ["indexed", "fst", "indexed-fst.surface-readings.v1"],
     "invalid zh indexed artifact magic"),
]


@pytest.mark.parametrize("cls, names, prefix", DISPATCH, ids=lambda v: getattr(v, "__name__", None))
def test_load_payload_dispatches_each_accepted_name(cls, names, prefix, tmp_path):
    wrong = tmp_path / "wrong.bin"
    wrong.write_bytes(b"schema_version: [1\n" + b"#" * 100)
    for name in names:
        with pytest.raises(ValueError) as raised:
            cls.load_payload(str(wrong), name)
        assert str(raised.value).startswith(prefix), name


@pytest.mark.parametrize(
    "cls, name, message",
    [
        (_orvel.ChineseDictionary, "binary", "unsupported payload_format \"binary\"; expected 'yaml' or 'indexed'"),
        (_orvel.ChineseDictionary, "binary.surface-readings.v1",
         "unsupported payload_format \"binary.surface-readings.v1\"; expected 'yaml' or 'indexed'"),
        (_orvel.JapaneseDictionary, "YAML",
         "unsupported payload_format \"YAML\"; expected 'yaml', 'binary', or 'indexed'"),
        (_orvel.JapaneseDictionary, "",
         "unsupported payload_format \"\"; expected 'yaml', 'binary', or 'indexed'"),
        (_orvel.JapaneseDictionary, "fst ",
         "unsupported payload_format \"fst \"; expected 'yaml', 'binary', or 'indexed'"),
        (_orvel.JapaneseDictionary, 'a"b\nc\\',
         "unsupported payload_format \"a\\\"b\\nc\\\\\"; expected 'yaml', 'binary', or 'indexed'"),
        (_orvel.ChineseDictionary, "yaml\0", "unsupported payload_format \"yaml\\0\"; expected 'yaml' or 'indexed'"),
    ],
)
def test_unsupported_format_is_refused_before_the_file_is_opened(cls, name, message, tmp_path):
    missing = tmp_path / "does-not-exist"
    with pytest.raises(ValueError) as raised:
        cls.load_payload(str(missing), name)
    assert str(raised.value) == message


def test_load_payload_reads_yaml_by_default_and_indexed_as_fst():
    for cls, yaml_path, indexed_path in [
        (_orvel.JapaneseDictionary, JA_SMALL, JA_INDEXED),
        (_orvel.ChineseDictionary, ZH_SMALL, ZH_INDEXED),
    ]:
        from_yaml = cls.load_payload(str(yaml_path))
        from_fst = cls.load_payload(path=str(indexed_path), payload_format="fst")
        for obj in (from_yaml, from_fst):
            assert (obj.artifact_name, obj.source_name, getattr(obj, third_name(cls))) == (None, None, None)
    assert from_fst.distance("北京", "bei3jing1") == 0


def test_load_payload_argument_errors():
    with pytest.raises(TypeError, match="payload_format"):
        _orvel.JapaneseDictionary.load_payload(str(JA_SMALL), None)
    with pytest.raises(TypeError, match="payload_format"):
        _orvel.ChineseDictionary.load_payload(str(ZH_SMALL), payload_format=b"yaml")
    with pytest.raises(TypeError, match="'path'"):
        _orvel.JapaneseDictionary.load_payload(JA_SMALL)  # a Path object is not a str
    # path is converted before payload_format
    with pytest.raises(TypeError, match="'path'"):
        _orvel.JapaneseDictionary.load_payload(1, None)


def test_load_payload_failures_are_the_loader_messages(tmp_path):
    missing = str(tmp_path / "missing.yaml")
    with pytest.raises(ValueError, match=r"^failed to read UniDic artifact payload: .*\(os error 2\)$"):
        _orvel.JapaneseDictionary.load_payload(missing)
    with pytest.raises(ValueError) as raised:
        _orvel.ChineseDictionary.load_payload(str(tmp_path), "indexed")
    assert "not a regular file" in str(raised.value)
    # A Japanese payload is not a Chinese one.
    with pytest.raises(ValueError, match="zh"):
        _orvel.ChineseDictionary.load_payload(str(JA_INDEXED), "indexed")


# ---- per-call options -------------------------------------------------------

LIMIT_CASES = [
    # keywords, the limit error (field, value, limit) or None when accepted
    ({"max_span_chars": 256}, None),
    ({"max_span_chars": 257}, ("max_span_chars", 257, 256)),
    ({"max_paths": 16384}, None),
    ({"max_paths": 16385}, ("max_paths", 16385, 16384)),
    ({"max_readings_per_segment": 256}, None),
    ({"max_readings_per_segment": 257}, ("max_readings_per_segment", 257, 256)),
    ({"max_span_chars": 300, "max_paths": 20000}, ("max_span_chars", 300, 256)),
    ({"max_paths": 20000, "max_readings_per_segment": 300}, ("max_paths", 20000, 16384)),
    ({"max_span_chars": 2**64 - 1}, ("max_span_chars", 2**64 - 1, 256)),
    ({"max_span_chars": 0, "max_paths": 0, "max_readings_per_segment": 0}, None),
]


@pytest.mark.parametrize("options, error", LIMIT_CASES)
def test_option_limits_of_every_method_family(dictionary, options, error):
    calls = [
        lambda **k: dictionary.distance("a", "b", **k),
        lambda **k: dictionary.within_damerau_distance("a", "b", 1, **k),
        lambda **k: dictionary.normalized_distance("a", "b", **k),
        lambda **k: dictionary._cdist_combined_distance(["a"], ["b"], **k),
        lambda **k: dictionary._partial_ratio_alignment(
            "a", "b", 0, **{("reading_max_span_chars" if key == "max_span_chars" else key): v for key, v in k.items()}
        ),
    ]
    for call in calls:
        if error is None:
            call(**options)
        else:
            with pytest.raises(ValueError) as raised:
                call(**options)
            assert str(raised.value) == limit_message(dictionary, *error)


def test_zero_options_read_nothing_from_the_dictionary(ja):
    # With no dictionary surface looked up, 東京 has no reading at all; the
    # typed kana still reads directly.
    assert ja.distance("とうきょう", "toukyou", max_span_chars=0) == 0
    with pytest.raises(ValueError, match="unsupported character '東'"):
        ja.distance("東京", "toukyou", max_span_chars=0)
    with pytest.raises(ValueError, match="unsupported character '東'"):
        ja.distance("東京", "toukyou", max_readings_per_segment=0)
    assert ja.distance("東京", "toukyou", max_readings_per_segment=1) == 0


def test_options_given_to_one_call_do_not_stick(ja):
    assert ja.distance("東京", "toukyou") == 0
    with pytest.raises(ValueError):
        ja.distance("東京", "toukyou", max_span_chars=0)
    assert ja.distance("東京", "toukyou") == 0
    assert ja.distance("東京", "toukyou", max_span_chars=None, longest_only=None) == 0


def test_option_kinds(dictionary):
    with pytest.raises(TypeError, match="longest_only"):
        dictionary.distance("a", "b", longest_only=1)
    with pytest.raises(OverflowError, match="max_paths"):
        dictionary.distance("a", "b", max_paths=-1)
    with pytest.raises(OverflowError, match="max_span_chars"):
        dictionary.distance("a", "b", max_span_chars=2**64)
    with pytest.raises(TypeError, match="max_readings_per_segment"):
        dictionary.distance("a", "b", max_readings_per_segment=1.0)
    # options are converted in order, before the limits are checked
    with pytest.raises(TypeError, match="longest_only"):
        dictionary.distance("a", "b", max_paths=20000, longest_only="yes")
    assert dictionary.distance("a", "b", longest_only=True) == dictionary.distance("a", "b", longest_only=False)


def test_longest_only_changes_the_readings(zh):
    # 银行 is one surface (yin2hang2); with every surface tried, 银 + 行 adds
    # the readings yin2xing2 and yin2heng2 as well.
    assert zh.distance("银行", "yin2xing2") == 0
    assert zh.distance("银行", "yin2xing2", longest_only=True) > 0
    assert zh.distance("银行", "yin2hang2", longest_only=True) == 0


def test_a_path_with_a_nul_names_no_file():
    # The system would read the path only up to the NUL, which names the
    # small payload itself.
    for cls, path in ((_orvel.JapaneseDictionary, JA_SMALL), (_orvel.ChineseDictionary, ZH_SMALL)):
        with pytest.raises(ValueError, match="^embedded null byte$"):
            cls.load_payload(str(path) + "\0.bak")
        with pytest.raises(ValueError, match="^embedded null byte$"):
            cls.load_payload(str(path) + "\0", "indexed")
    # the format is looked at first
    with pytest.raises(ValueError, match="^unsupported payload_format"):
        _orvel.ChineseDictionary.load_payload(str(ZH_SMALL) + "\0", "binary")

"""Payload files and bundles that are not what they claim to be: special files,
links out of the bundle, NUL bytes, byte-order marks and small files that
would expand into large work. Each is refused (or read) with a clear result,
never a hang; calls that could hang or exhaust memory on a fault run in a
child interpreter with a time bound and, where memory is the point, an
address-space cap."""

import json
import os
import random
import shutil
import subprocess
import sys
import textwrap

import pytest

import _orvel
from test_bundle_loading import (
    JA_SMALL_CHECKSUM,
    ja_metadata,
    make_bundle,
    to_yaml,
    zh_metadata,
)
from test_dictionary_fixtures import JA_SMALL, ZH_SMALL

Ja = _orvel.JapaneseDictionary
Zh = _orvel.ChineseDictionary

JA_NOT_REGULAR = "failed to read UniDic artifact payload: artifact payload path is not a regular file"
ZH_NOT_REGULAR = "failed to read zh artifact payload: artifact payload path is not a regular file"

# The sanitizer runtime reserves terabytes of address space and keeps freed
# memory in quarantine: neither a cap on the address space nor a measure of
# the peak means anything under it.
UNDER_SANITIZER = "asan" in os.environ.get("LD_PRELOAD", "")


# Defined in every child: caps the child's address space at what it uses now
# plus `extra` bytes.
CHILD_PRELUDE = """
import resource

def cap_address_space(extra):
    with open("/proc/self/status") as status:
        size = next(int(line.split()[1]) * 1024 for line in status if line.startswith("VmSize:"))
    resource.setrlimit(resource.RLIMIT_AS, (size + extra, size + extra))
"""


def run_isolated(code, timeout=60):
    """Runs `code` in a fresh interpreter that imports _orvel as this one
    does; returns its standard output. A call that hangs fails the test at
    `timeout` instead of hanging it."""
    env = dict(os.environ, PYTHONPATH=os.pathsep.join(p for p in sys.path if p))
    program = CHILD_PRELUDE + textwrap.dedent(code)
    done = subprocess.run([sys.executable, "-c", program], capture_output=True, text=True,
                          timeout=timeout, env=env, check=False)
    assert done.returncode == 0, f"child ended with {done.returncode}: {done.stderr[-2000:]}"
    return done.stdout


def refusal_in_child(call, timeout=60):
    """The ValueError text of `call` (an expression over _orvel, Ja and Zh),
    computed in a child interpreter."""
    out = run_isolated(f"""
        import json, _orvel
        Ja, Zh = _orvel.JapaneseDictionary, _orvel.ChineseDictionary
        try:
            {call}
            print(json.dumps(None))
        except ValueError as e:
            print(json.dumps(str(e)))
    """, timeout)
    return json.loads(out)


# ---- files that are not regular files ----------------------------------------


@pytest.fixture
def fifo(tmp_path):
    path = tmp_path / "fifo"
    os.mkfifo(path)
    return path


@pytest.mark.parametrize("cls, fmt, message", [
    ("Ja", "yaml", JA_NOT_REGULAR),
    ("Ja", "binary", JA_NOT_REGULAR),
    ("Ja", "indexed", JA_NOT_REGULAR),
    ("Zh", "yaml", ZH_NOT_REGULAR),
    ("Zh", "indexed", ZH_NOT_REGULAR),
])
def test_a_fifo_payload_is_refused_without_waiting(fifo, cls, fmt, message):
    assert refusal_in_child(f"{cls}.load_payload({str(fifo)!r}, {fmt!r})", timeout=30) == message


@pytest.mark.parametrize("cls, fmt, message", [
    ("Ja", "yaml", JA_NOT_REGULAR),
    ("Ja", "binary", JA_NOT_REGULAR),
    ("Zh", "yaml", ZH_NOT_REGULAR),
])
def test_a_payload_linked_to_a_device_is_refused(tmp_path, cls, fmt, message):
    link = tmp_path / "zero"
    link.symlink_to("/dev/zero")
    assert refusal_in_child(f"{cls}.load_payload({str(link)!r}, {fmt!r})", timeout=30) == message


def test_a_fifo_in_a_bundle_is_refused_without_waiting(tmp_path):
    root = make_bundle(tmp_path / "meta", ja_metadata(), JA_SMALL)
    (root / "metadata.yaml").unlink()
    os.mkfifo(root / "metadata.yaml")
    assert refusal_in_child(f"Ja.load_bundle({str(root)!r})", timeout=30) == \
        "artifact metadata path is not a regular file"

    # behind a recorded digest: the digest is the first read of the payload
    root = make_bundle(tmp_path / "digest", ja_metadata(), JA_SMALL)
    (root / "payload" / "small.yaml").unlink()
    os.mkfifo(root / "payload" / "small.yaml")
    assert refusal_in_child(f"Ja.load_bundle({str(root)!r})", timeout=30) == \
        "artifact payload path is not a regular file"

    # without a digest the payload loader meets it
    meta = zh_metadata()
    del meta["payload"]["file_digest_algorithm"], meta["payload"]["file_digest"]
    root = make_bundle(tmp_path / "load", meta, ZH_SMALL)
    (root / "payload" / "small.yaml").unlink()
    os.mkfifo(root / "payload" / "small.yaml")
    assert refusal_in_child(f"Zh.load_bundle({str(root)!r})", timeout=30) == ZH_NOT_REGULAR


def test_metadata_is_read_only_from_a_regular_file_of_bounded_size(tmp_path):
    root = make_bundle(tmp_path / "b", ja_metadata(), JA_SMALL)
    metadata = root / "metadata.yaml"
    text = metadata.read_text(encoding="utf-8")
    metadata.unlink()
    metadata.symlink_to("/dev/zero")
    assert refusal_in_child(f"Ja.load_bundle({str(root)!r})", timeout=30) == \
        "artifact metadata path is not a regular file"
    # 4 MiB hold any real metadata many times over
    metadata.unlink()
    metadata.write_text(text + "# " + "x" * (4 << 20) + "\n", encoding="utf-8")
    with pytest.raises(ValueError) as raised:
        Ja.load_bundle(str(root))
    assert str(raised.value) == "UniDic artifact metadata_bytes length/count 4194305 exceeds limit 4194304"
    metadata.write_text(text + "# " + "x" * 1_000_000 + "\n", encoding="utf-8")
    assert Ja.load_bundle(str(root)).artifact_name == "ja-test"


def test_directories_still_fail_when_read(tmp_path):
    # The loaders that do not test the file type read a directory and fail
    # with the system's error, as before.
    with pytest.raises(ValueError, match=r"^invalid UniDic artifact payload YAML: Is a directory \(os error 21\)$"):
        Ja.load_payload(str(tmp_path), "yaml")
    with pytest.raises(ValueError, match=r"^failed to read UniDic artifact payload: Is a directory \(os error 21\)$"):
        Ja.load_payload(str(tmp_path), "binary")
    with pytest.raises(ValueError, match=f"^{JA_NOT_REGULAR}$"):
        Ja.load_payload(str(tmp_path), "indexed")


# ---- links out of the bundle ---------------------------------------------------


def outside_message(path):
    return f'bundle path "{path}" must be relative and stay inside the bundle'


def test_links_that_leave_the_bundle_are_refused(tmp_path):
    secret = tmp_path / "secret.txt"
    secret.write_text("root:x:0:0:root:/root:/bin/bash\n", encoding="utf-8")
    outside_payload = tmp_path / "outside" / "small.yaml"
    outside_payload.parent.mkdir()
    shutil.copyfile(JA_SMALL, outside_payload)

    def bundle(name):
        return make_bundle(tmp_path / name, ja_metadata(), JA_SMALL)

    root = bundle("licence")
    (root / "LICENSE").unlink()
    (root / "LICENSE").symlink_to(secret)
    with pytest.raises(ValueError) as raised:
        Ja.load_bundle(str(root))
    assert str(raised.value) == outside_message("LICENSE")

    root = bundle("relative-link")
    (root / "LICENSE").unlink()
    (root / "LICENSE").symlink_to("../secret.txt")
    with pytest.raises(ValueError, match="^" + outside_message("LICENSE") + "$"):
        Ja.load_bundle(str(root))

    # a payload linked to a file outside: its contents never reach a message
    root = bundle("payload")
    (root / "payload" / "small.yaml").unlink()
    (root / "payload" / "small.yaml").symlink_to(secret)
    with pytest.raises(ValueError) as raised:
        Ja.load_bundle(str(root))
    assert str(raised.value) == outside_message("payload/small.yaml")
    assert "root:x" not in str(raised.value)

    # a payload folder linked outside
    root = bundle("folder")
    shutil.rmtree(root / "payload")
    (root / "payload").symlink_to(outside_payload.parent)
    with pytest.raises(ValueError, match="^" + outside_message("payload/small.yaml") + "$"):
        Ja.load_bundle(str(root))


def test_links_inside_the_bundle_are_followed(tmp_path):
    root = make_bundle(tmp_path / "b", ja_metadata(), JA_SMALL)
    (root / "docs").mkdir()
    (root / "LICENSE").rename(root / "docs" / "LICENSE")
    (root / "LICENSE").symlink_to("docs/LICENSE")
    (root / "payload" / "small.yaml").rename(root / "payload" / "real.yaml")
    (root / "payload" / "small.yaml").symlink_to(root / "payload" / "real.yaml")
    assert Ja.load_bundle(str(root)).artifact_name == "ja-test"
    # the bundle root itself may be reached through a link
    (tmp_path / "link").symlink_to(root)
    assert Ja.load_bundle(str(tmp_path / "link")).artifact_name == "ja-test"
    assert Ja.load_bundle(str(tmp_path / "link" / "metadata.yaml"), str(tmp_path / "link")) is not None


def test_textual_checks_come_before_the_link_check(tmp_path):
    root = make_bundle(tmp_path / "b", ja_metadata(), JA_SMALL)
    meta = ja_metadata()
    meta["license"]["references"] = [{"label": "l", "path": "missing"}, {"label": "m", "path": "../x"}]
    (root / "metadata.yaml").write_text(to_yaml(meta) + "\n", encoding="utf-8")
    with pytest.raises(ValueError, match=f"^missing license reference l at {root}/missing$"):
        Ja.load_bundle(str(root))


# ---- NUL bytes -------------------------------------------------------------------


def test_a_licence_path_with_a_nul_is_refused(tmp_path):
    meta = ja_metadata()
    meta["license"]["references"] = [{"label": "l", "path": "LICENSE\0junk"}]
    root = make_bundle(tmp_path / "b", meta, JA_SMALL)
    with pytest.raises(ValueError, match="^embedded null byte$"):
        Ja.load_bundle(str(root))


def test_messages_keep_their_whole_text(tmp_path):
    meta = ja_metadata()
    meta["payload"]["checksum"] = "ab\0cd"
    root = make_bundle(tmp_path / "b", meta, JA_SMALL)
    with pytest.raises(ValueError) as raised:
        Ja.load_bundle(str(root))
    assert str(raised.value) == f"payload checksum mismatch: metadata has ab\0cd, recomputed {JA_SMALL_CHECKSUM}"


# ---- byte-order marks --------------------------------------------------------------


BOM = "\ufeff"


def test_a_byte_order_mark_is_accepted(tmp_path):
    root = make_bundle(tmp_path / "b", ja_metadata(), JA_SMALL)
    metadata = root / "metadata.yaml"
    metadata.write_text(BOM + metadata.read_text(encoding="utf-8"), encoding="utf-8")
    assert Ja.load_bundle(str(root)).artifact_name == "ja-test"

    for cls, source in ((Ja, JA_SMALL), (Zh, ZH_SMALL)):
        marked = tmp_path / f"marked-{source.name}"
        marked.write_text(BOM + source.read_text(encoding="utf-8"), encoding="utf-8")
        plain = cls.load_payload(str(source))
        with_mark = cls.load_payload(str(marked))
        assert with_mark.distance("東京", "toukyou") == plain.distance("東京", "toukyou")


def test_positions_after_a_byte_order_mark_are_unchanged(tmp_path):
    for text in ("schema_version: x\n", "schema_version: 1\npayload_type: [\n", "\n\nschema_version: 1\n"):
        plain, marked = tmp_path / "plain.yaml", tmp_path / "marked.yaml"
        plain.write_text(text, encoding="utf-8")
        marked.write_text(BOM + text, encoding="utf-8")
        messages = []
        for path in (plain, marked):
            with pytest.raises(ValueError) as raised:
                Ja.load_payload(str(path))
            messages.append(str(raised.value))
        assert messages[0] == messages[1]
        assert "line" in messages[0]


# ---- small files that expand -----------------------------------------------------


def ja_payload_yaml(entries_text):
    return ("schema_version: 1\npayload_type: orvel.unidic.reading-index.surface-readings\n"
            f"entries:\n{entries_text}")


def test_alias_expansion_is_bounded_by_what_it_produces(tmp_path):
    # 100 aliases of a 200 KB scalar: few jumps, 20 MB of text.
    big = "x" * 200_000
    aliases = ", ".join(["*r"] * 100)
    path = tmp_path / "aliases.yaml"
    path.write_text(ja_payload_yaml(f"  - surface: a\n    readings: [&r {big}, {aliases}]\n"), encoding="utf-8")
    with pytest.raises(ValueError, match="^invalid UniDic artifact payload YAML: repetition limit exceeded$"):
        Ja.load_payload(str(path))
    # a few aliases of small nodes are still followed
    path.write_text(ja_payload_yaml("  - surface: &s a\n    readings: &r [b]\n  - surface: *s\n    readings: *r\n"),
                    encoding="utf-8")
    with pytest.raises(ValueError, match='duplicate surface "a"$'):
        Ja.load_payload(str(path))


@pytest.mark.skipif(UNDER_SANITIZER, reason="address-space cap")
def test_alias_expansion_stays_within_memory(tmp_path):
    # A 1 MB scalar aliased 2,000 times would take 2 GB; the child may use
    # 512 MB more than it started with.
    path = tmp_path / "bomb.yaml"
    aliases = ", ".join(["*r"] * 2000)
    path.write_text(ja_payload_yaml(f"  - surface: a\n    readings: [&r {'y' * 1_000_000}, {aliases}]\n"),
                    encoding="utf-8")
    out = run_isolated(f"""
        import _orvel
        cap_address_space(512 << 20)
        try:
            _orvel.JapaneseDictionary.load_payload({str(path)!r})
        except (ValueError, MemoryError) as e:
            print(type(e).__name__, e)
    """)
    assert out.strip() == "ValueError invalid UniDic artifact payload YAML: repetition limit exceeded"


def test_deep_nesting_is_refused_before_the_scanner_gets_there(tmp_path):
    path = tmp_path / "deep.yaml"
    # under a key the entry does not have, whose value is skipped whole
    path.write_text(ja_payload_yaml("  - surface: a\n    note: " + "[" * 100_000 + "\n"), encoding="utf-8")
    # The scanner's work grows with the square of the depth: 100,000 levels
    # would take minutes.
    message = refusal_in_child(f"Ja.load_payload({str(path)!r})", timeout=30)
    # the root mapping, the entries, one entry, then 125 levels of the note
    assert message == "invalid UniDic artifact payload YAML: nesting deeper than 128 levels at line 5 column 136"
    # 128 levels are still walked
    path.write_text(ja_payload_yaml("  - surface: a\n    note: " + "[" * 125 + "]" * 125 + "\n"), encoding="utf-8")
    with pytest.raises(ValueError, match="entries\\[0\\]: missing field `readings`"):
        Ja.load_payload(str(path))


@pytest.mark.skipif(UNDER_SANITIZER, reason="the sanitizer's own memory")
def test_a_yaml_payload_is_decoded_in_memory_proportional_to_its_size(tmp_path):
    # Entries shaped like a real dictionary's, about 8 MB of them: the load
    # (decoding, checks and the index it builds) may take at most 8 times
    # the file in memory.
    rng = random.Random(5)
    kana = [chr(c) for c in range(0x30A1, 0x30F7)]
    lines = []
    for i in range(150_000):
        surface = "".join(rng.choice(kana) for _ in range(rng.randrange(1, 6))) + str(i)
        readings = ", ".join("".join(rng.choice(kana) for _ in range(rng.randrange(2, 7))) + f"{j}"
                             for j in range(rng.randrange(1, 4)))
        lines.append(f"  - surface: {surface}\n    readings: [{readings}]\n")
    path = tmp_path / "large.yaml"
    path.write_text(ja_payload_yaml("".join(lines)), encoding="utf-8")
    size = path.stat().st_size
    out = run_isolated(f"""
        import _orvel
        before = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss
        ja = _orvel.JapaneseDictionary.load_payload({str(path)!r})
        print(resource.getrusage(resource.RUSAGE_SELF).ru_maxrss - before)
    """)
    assert int(out) * 1024 <= 8 * size, f"{int(out) * 1024 / size:.1f} times the file"

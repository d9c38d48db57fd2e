"""Tests of the atlas generator's rules and of the shipped resources/atlas.txt.

They need neither npm nor the network: the generator's functions run on a small
GeoNames-style fixture, and the shipped file is read by character positions the
way the place lookup reads it.
"""

import os
import re
import sys
import unittest
import unicodedata
from pathlib import Path
from zoneinfo import ZoneInfo, ZoneInfoNotFoundError

ROOT = Path(os.environ.get("ZODIARA_SOURCE_DIR") or Path(__file__).resolve().parents[2])
sys.path.insert(0, str(ROOT / "tools" / "atlas"))

import make_atlas as atlas  # noqa: E402

HEADER = (ROOT / "chart" / "chart.h").read_text(encoding="utf-8")
TABLE = atlas.read_zone_table(HEADER)


def has_tzdata():
    try:
        ZoneInfo("America/New_York")
    except ZoneInfoNotFoundError:
        return False
    return True


def index_of(abbreviation, offset_minutes):
    return next(i for i, zone in enumerate(TABLE)
                if zone.abbreviation == abbreviation and zone.offset_minutes == offset_minutes)


def lookup_parse(line):
    """A line taken apart by positions, as the place lookup does it: the place up to
    the first two spaces; after any spaces 3 degree digits, a direction, 2 minute
    digits; after any spaces 2 degree digits, a direction, 2 minute digits; then the
    first table zone, in table order, whose abbreviation stands in the rest as a word."""
    cut = line.find("  ")
    if cut < 0:
        return {"place": line[:49]}
    rest = line[cut:]
    pos = len(rest) - len(rest.lstrip(" "))
    parsed = {"place": line[:cut][:49],
              "lon_deg": rest[pos:pos + 3], "lon_dir": rest[pos + 3:pos + 4],
              "lon_min": rest[pos + 4:pos + 6]}
    pos += 6
    pos += len(rest[pos:]) - len(rest[pos:].lstrip(" "))
    parsed.update(lat_deg=rest[pos:pos + 2], lat_dir=rest[pos + 2:pos + 3],
                  lat_min=rest[pos + 3:pos + 5])
    remainder = rest[pos + 5:]
    parsed["zone"] = -1
    for index, zone in enumerate(TABLE):
        pattern = r"(?<![^\W_])" + re.escape(zone.abbreviation) + r"(?![^\W_])"
        if re.search(pattern, remainder):
            parsed["zone"] = index
            break
    parsed["remainder"] = remainder
    return parsed


FIRST_WITH_ABBREVIATION = {}
for _index, _zone in enumerate(TABLE):
    FIRST_WITH_ABBREVIATION.setdefault(_zone.abbreviation, _index)


def line_problems(line):
    """What is wrong with one atlas line, read as the lookup reads it."""
    problems = []
    if len(line) > atlas.MAX_LINE_CHARS:
        problems.append("too long")
    try:
        line.encode("cp1252")
    except UnicodeEncodeError:
        problems.append("a chart cannot store the place")
    parsed = lookup_parse(line)
    if parsed["place"] != line[:atlas.PLACE_WIDTH].rstrip() or not re.match(r"^\S.*, \S", parsed["place"]):
        problems.append(f"place {parsed['place']!r}")
    if "lon_deg" not in parsed:
        return problems + ["no coordinates"]
    fields = [("lon_deg", r"\d{3}", 180), ("lon_dir", "[EW]", None), ("lon_min", r"\d\d", 59),
              ("lat_deg", r"\d\d", 90), ("lat_dir", "[NS]", None), ("lat_min", r"\d\d", 59)]
    for key, pattern, largest in fields:
        text = parsed[key]
        if not re.fullmatch(pattern, text) or (largest is not None and int(text) > largest):
            problems.append(f"{key} {text!r}")
    words = parsed["remainder"].split()
    if len(words) not in (1, 2) or not re.fullmatch(r"[A-Z][A-Za-z_+-]*(/[A-Za-z0-9_+-]+)+", words[-1]):
        problems.append(f"zone text {parsed['remainder']!r}")
    # The lookup must select the zone the line names, and keep the user's when it names none.
    written = words[0] if len(words) == 2 else None
    if parsed["zone"] != (FIRST_WITH_ABBREVIATION.get(written, -2) if written else -1):
        problems.append(f"selects zone {parsed['zone']} for {written!r}")
    return problems


class ZoneTableTest(unittest.TestCase):
    def test_offsets_agree_with_the_names(self):
        # Each name line states its offset in brackets; the offset array must agree.
        block = re.search(r"TimeZoneNames\s*=\s*\{(.*?)\};", HEADER, re.S).group(1)
        stated = re.findall(r'"[^"]*\(([+-]?)(\d\d):(\d\d)\)', block)
        self.assertEqual(len(TABLE), 29)
        self.assertEqual(len(stated), 29)
        for zone, (sign, hours, minutes) in zip(TABLE, stated):
            expected = (int(hours) * 60 + int(minutes)) * (-1 if sign == "-" else 1)
            self.assertEqual(zone.offset_minutes, expected, zone.abbreviation)


class OffsetMappingTest(unittest.TestCase):
    def test_standard_offsets_of_the_real_table(self):
        rows = [  # UTC offset of the place's standard time, expected abbreviation
            (-300, "EST"), (-210, "NST"), (330, "IST"), (570, "ACST"), (600, "AEST"),
            (0, "UT"), (60, "CET"), (210, "IT"), (-600, "AHST"), (-180, "BZT2"),
            (345, None),   # Nepal: no table zone
            (270, None),   # Afghanistan
            (720, None),   # New Zealand
            (390, None),   # Myanmar: its NST (index 20) is shadowed by Newfoundland's (index 4)
        ]
        for utc_offset, abbreviation in rows:
            with self.subTest(utc_offset=utc_offset):
                index = atlas.table_zone_for(utc_offset, TABLE)
                self.assertEqual(TABLE[index].abbreviation if index is not None else None,
                                 abbreviation)

    def test_shared_offset_prefers_the_zone_naming_the_region(self):
        table = atlas.read_zone_table('''
            TimeZoneNames = {"XT, (-05:30), Xanadu Time", "IST, (-05:30), Indian Time",
                             "NST, (+03:30), Newfoundland Standard Time", "LST, (+03:30), Labrador Time"};
            TimeZoneOffsets = {{{-5, -30, 0, 0}, {-5, -30, 0, 0}, {3, 30, 0, 0}, {3, 30, 0, 0}}};''')
        rows = [(330, ["Maharashtra", "India"], "IST"),
                (330, ["Xanadu Province", "Nowhere"], "XT"),
                (330, ["Somewhere", "Else"], "XT"),  # neither named: the first in the table
                (-210, ["Newfoundland and Labrador", "Canada"], "NST"),
                (-210, ["Labrador", "Canada"], "LST")]
        for utc_offset, regions, abbreviation in rows:
            with self.subTest(regions=regions):
                index = atlas.table_zone_for(utc_offset, table, regions)
                self.assertEqual(table[index].abbreviation, abbreviation)

    @unittest.skipUnless(has_tzdata(), "system tzdata not installed")
    def test_standard_offset_ignores_summer_time(self):
        rows = [("America/New_York", -300), ("Australia/Sydney", 600), ("Asia/Kathmandu", 345),
                ("America/St_Johns", -210), ("America/Santiago", -240), ("Europe/London", 0),
                ("Europe/Dublin", 0),  # tzdata calls Irish winter the saving time
                ("Asia/Kolkata", 330)]
        for zone_name, minutes in rows:
            with self.subTest(zone=zone_name):
                self.assertEqual(atlas.standard_utc_offset_minutes(zone_name), minutes)


class CoordinateTest(unittest.TestCase):
    def test_rounding_to_minutes(self):
        rows = [(atlas.format_longitude, -74.0060, "074W00"),
                (atlas.format_latitude, 40.7128, "40N43"),
                (atlas.format_longitude, 85.3206, "085E19"),
                (atlas.format_latitude, -33.8688, "33S52"),
                (atlas.format_longitude, 10.9933, "011E00"),   # 59.6' carries into the degree
                (atlas.format_latitude, -89.9999, "90S00"),
                (atlas.format_longitude, 179.9999, "180E00"),
                (atlas.format_longitude, 0.125, "000E08"),     # exactly 7.5' rounds up
                (atlas.format_longitude, -0.004, "000E00"),    # rounds to nothing: no West
                (atlas.format_latitude, 0.0, "00N00")]
        for function, value, text in rows:
            with self.subTest(value=value):
                self.assertEqual(function(value), text)


class TextTest(unittest.TestCase):
    def test_names_a_chart_can_store(self):
        rows = [("Kraków", "Krakow", "Kraków"),
                ("Łódź", "Lodz", "Lodz"),
                ("Eskişehir", "Eskisehir", "Eskisehir"),
                ("Łódzkie  Voivodeship", "", "Lodzkie Voivodeship"),
                ("Sant Julià de Lòria", "", "Sant Julià de Lòria"),
                ("Hà Nội", "", "Ha Noi")]
        for name, ascii_name, expected in rows:
            with self.subTest(name=name):
                self.assertEqual(atlas.to_windows1252(name, ascii_name), expected)

    def test_place_text_fits_its_column(self):
        long_region = "Autonomous Region in Muslim Mindanao"
        rows = [("Mumbai", "Maharashtra", "India", "Mumbai, Maharashtra, India"),
                ("Cotabato", long_region, "Philippines", "Cotabato, Philippines"),
                ("Kathmandu", None, "Nepal", "Kathmandu, Nepal"),
                ("Grytviken", None, "South Georgia and the South Sandwich Islands",
                 "Grytviken, South Georgia and the South Sandwich"),
                ("A" * 60, "Region", "Chad", "A" * 48)]
        for name, region, country, expected in rows:
            with self.subTest(name=name):
                text = atlas.place_text(name, region, country)
                self.assertEqual(text, expected)
                self.assertLessEqual(len(text), atlas.PLACE_WIDTH)


class LineLayoutTest(unittest.TestCase):
    def test_fields_sit_where_the_lookup_reads_them(self):
        line = atlas.format_line("New York City, New York, United States",
                                 -74.00597, 40.71427, "EST", "America/New_York")
        self.assertEqual(line[atlas.LONGITUDE_COLUMN:atlas.LONGITUDE_COLUMN + 6], "074W00")
        self.assertEqual(line[atlas.LATITUDE_COLUMN:atlas.LATITUDE_COLUMN + 5], "40N43")
        self.assertEqual(line[atlas.ABBREVIATION_COLUMN:atlas.ZONE_NAME_COLUMN], "EST  ")
        self.assertEqual(line[atlas.ZONE_NAME_COLUMN:], "America/New_York")
        parsed = lookup_parse(line)
        self.assertEqual((parsed["place"], parsed["lon_deg"], parsed["lon_dir"], parsed["lon_min"],
                          parsed["lat_deg"], parsed["lat_dir"], parsed["lat_min"], parsed["zone"]),
                         ("New York City, New York, United States", "074", "W", "00",
                          "40", "N", "43", index_of("EST", 300)))

    def test_unfit_lines_are_refused(self):
        rows = [("Two  spaces, Chad", "Africa/Ndjamena"),
                ("P" * (atlas.PLACE_WIDTH + 1), "Africa/Ndjamena"),
                ("Chad", "Area/" + "Z" * 40)]
        for place, zone_name in rows:
            with self.subTest(place=place, zone=zone_name):
                with self.assertRaises(ValueError):
                    atlas.format_line(place, 15.0, 12.0, "CET", zone_name)


def fixture_row(geoname_id, name, lat, lon, feature, country, admin1, population, zone,
                ascii_name=None):
    fields = [str(geoname_id), name, ascii_name or name, "", str(lat), str(lon), "P", feature,
              country, "", admin1, "", "", "", str(population), "", "0", zone, "2023-01-01"]
    return "\t".join(fields) + "\n"


FIXTURE = [
    fixture_row(1, "Springfield", 39.80, -89.64, "PPLA", "US", "IL", 114394, "America/Chicago"),
    fixture_row(2, "Springfield", 42.10, -72.59, "PPLA2", "US", "MA", 155929, "America/New_York"),
    # The same place listed twice, 3 km apart: the more populous stays.
    fixture_row(3, "Springfield", 39.82, -89.62, "PPLX", "US", "IL", 20000, "America/Chicago"),
    # A namesake in the same state far away is another town.
    fixture_row(4, "Springfield", 37.21, -93.29, "PPL", "US", "MO", 169176, "America/Chicago"),
    fixture_row(5, "Ashford", 51.15, 0.87, "PPL", "GB", "ENG", 62787, "Europe/London"),
    fixture_row(6, "Ashford", 51.43, -0.46, "PPL", "GB", "ENG", 27382, "Europe/London"),
    fixture_row(7, "Kathmandu", 27.70169, 85.3206, "PPLC", "NP", "", 1442271, "Asia/Kathmandu"),
    fixture_row(8, "Łódź", 51.75, 19.47, "PPLA", "PL", "74", 768755, "Europe/Warsaw", "Lodz"),
    fixture_row(9, "Vaduz", 47.14, 9.52, "PPLC", "LI", "11", 5197, "Europe/Vaduz"),
    fixture_row(10, "Smallville", 40.0, -90.0, "PPL", "US", "IL", 14999, "America/Chicago"),
    fixture_row(11, "Pompeii", 40.75, 14.49, "PPLH", "IT", "04", 25000, "Europe/Rome"),
    fixture_row(12, "St. John's", 47.56, -52.71, "PPLA", "CA", "05", 99182, "America/St_Johns"),
    fixture_row(13, "'Ajlun", 32.33, 35.75, "PPLA", "JO", "20", 125557, "Asia/Amman"),
    fixture_row(14, "Yangon", 16.80, 96.16, "PPLA", "MM", "17", 4477638, "Asia/Yangon"),
]
ADMIN1 = {"US.IL": "Illinois", "US.MA": "Massachusetts", "US.MO": "Missouri", "GB.ENG": "England",
          "PL.74": "Łódź Voivodeship", "LI.11": "Vaduz", "CA.05": "Newfoundland and Labrador",
          "JO.20": "Ajloun", "MM.17": "Yangon"}
COUNTRIES = {"US": "United States", "GB": "United Kingdom", "NP": "Nepal", "PL": "Poland",
             "LI": "Liechtenstein", "IT": "Italy", "CA": "Canada", "JO": "Jordan", "MM": "Myanmar"}
# Standard offsets given here so that these cases do not depend on the machine's tzdata.
STANDARD = {"America/Chicago": -360, "America/New_York": -300, "Europe/London": 0,
            "Asia/Kathmandu": 345, "Europe/Warsaw": 60, "Europe/Vaduz": 60,
            "America/St_Johns": -210, "Asia/Amman": 180, "Asia/Yangon": 390}


class BuildAtlasTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cities = list(atlas.parse_cities(FIXTURE))
        cls.lines = atlas.build_atlas(cities, ADMIN1, COUNTRIES, TABLE, STANDARD.__getitem__)
        cls.places = [line[:atlas.PLACE_WIDTH].rstrip() for line in cls.lines]

    def test_selection_duplicates_and_order(self):
        self.assertEqual(self.places, [
            "'Ajlun, Ajloun, Jordan",
            "Ashford, England, United Kingdom",
            "Ashford, England, United Kingdom",
            "Kathmandu, Nepal",
            "Lodz, Lodz Voivodeship, Poland",
            "Springfield, Illinois, United States",
            "Springfield, Massachusetts, United States",
            "Springfield, Missouri, United States",
            "St. John's, Newfoundland and Labrador, Canada",
            "Vaduz, Vaduz, Liechtenstein",
            "Yangon, Yangon, Myanmar",
        ])

    def test_duplicate_keeps_the_most_populous_entry(self):
        illinois = self.lines[self.places.index("Springfield, Illinois, United States")]
        self.assertIn("089W38 39N48 CST  America/Chicago", illinois)

    def test_zones_of_the_lines(self):
        rows = [("St. John's", index_of("NST", 210)), ("Kathmandu", -1), ("Yangon", -1),
                ("Springfield, Massachusetts", index_of("EST", 300)), ("'Ajlun", index_of("BAT", -180)),
                ("Vaduz", index_of("CET", -60))]
        for prefix, zone in rows:
            with self.subTest(place=prefix):
                line = next(line for line in self.lines if line.startswith(prefix))
                self.assertEqual(lookup_parse(line)["zone"], zone)


class ShippedAtlasTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.raw = (ROOT / "resources" / "atlas.txt").read_bytes()
        cls.lines = cls.raw.decode("utf-8").split("\n")

    def test_file_form(self):
        self.assertFalse(self.raw.startswith(b"\xef\xbb\xbf"), "no byte-order mark")
        self.assertNotIn(b"\r", self.raw)
        self.assertEqual(self.lines[-1], "", "the last line ends with a newline")
        self.assertGreaterEqual(len(self.lines) - 1, 25000)
        self.assertEqual(len(set(self.lines)), len(self.lines), "no line twice")

    def test_every_line_parses_by_position(self):
        problems = [(number, problem) for number, line in enumerate(self.lines[:-1], 1)
                    for problem in line_problems(line)]
        self.assertEqual(problems[:10], [], f"{len(problems)} problems")

    @unittest.skipUnless(has_tzdata(), "system tzdata not installed")
    def test_abbreviations_match_standard_offsets(self):
        expected = {}
        for line in self.lines[:-1]:
            zone_name = line[atlas.ZONE_NAME_COLUMN:]
            written = line[atlas.ABBREVIATION_COLUMN:atlas.ZONE_NAME_COLUMN].strip() or None
            if zone_name not in expected:
                index = atlas.table_zone_for(atlas.standard_utc_offset_minutes(zone_name), TABLE)
                expected[zone_name] = TABLE[index].abbreviation if index is not None else None
            self.assertEqual(written, expected[zone_name], line)

    def test_sorted_by_place(self):
        def key(line):
            text = line[:atlas.PLACE_WIDTH].rstrip()
            plain = "".join(c for c in unicodedata.normalize("NFKD", text)
                            if not unicodedata.combining(c)).casefold()
            return plain.lstrip("'‘’ʻ`-.")
        keys = [key(line) for line in self.lines[:-1]]
        out_of_order = [i for i in range(1, len(keys)) if keys[i - 1] > keys[i]]
        self.assertEqual(out_of_order, [])

    def test_known_places(self):
        rows = ["New York City, New York, United States            074W00 40N43 EST  America/New_York",
                "Kathmandu, Bagmati Province, Nepal                085E19 27N42      Asia/Kathmandu",
                "Mumbai, Maharashtra, India                        072E53 19N04 IST  Asia/Kolkata",
                "St. John's, Newfoundland and Labrador, Canada     052W43 47N34 NST  America/St_Johns"]
        for row in rows:
            with self.subTest(row=row):
                self.assertIn(row, self.lines)


if __name__ == "__main__":
    unittest.main()

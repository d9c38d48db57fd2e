"""The atlas generator's rules on a small GeoNames-style fixture, and the shipped atlas and index
read by character positions the way the place lookup reads them. No npm, no network."""

import os
import re
import sys
import unittest
from pathlib import Path

ROOT = Path(os.environ.get("ZODIARA_SOURCE_DIR") or Path(__file__).resolve().parents[2])
sys.path.insert(0, str(ROOT / "tools" / "atlas"))
import make_atlas as atlas  # noqa: E402

TABLE = atlas.read_zone_table((ROOT / "chart" / "chart.h").read_text(encoding="utf-8"))
HAS_TZDATA = Path("/usr/share/zoneinfo/America/New_York").exists()


def abbreviation_for(utc_offset, regions=(), table=TABLE):
    index = atlas.table_zone_for(utc_offset, table, regions)
    return table[index].abbreviation if index is not None else None


def zone_selected_by_lookup(line):
    """The first table abbreviation standing as a word after the latitude, as the lookup finds it."""
    rest = line[atlas.LATITUDE_COLUMN + 5:]
    return next((zone.abbreviation for zone in TABLE
                 if re.search(rf"(?<![^\W_]){re.escape(zone.abbreviation)}(?![^\W_])", rest)), None)


def row(geoname_id, name, lat, lon, feature, country, admin1, population, zone, alternates="", ascii_name=None):
    return "\t".join([str(geoname_id), name, ascii_name or name, alternates, str(lat), str(lon), "P", feature,
                      country, "", admin1, "", "", "", str(population), "", "0", zone, "2023-01-01"])


class RulesTest(unittest.TestCase):
    def test_table_zone_of_a_standard_offset(self):
        shared = atlas.read_zone_table('''TimeZoneNames = {"XT, (-05:30), Xanadu Time", "IST, (-05:30), India",
            "NST, (+03:30), Newfoundland", "NST, (-06:30), North Sumatra", "LMT, Local Mean Time"};
            TimeZoneOffsets = {{{-5, -30, 0, 0}, {-5, -30, 0, 0}, {3, 30, 0}, {-6, -30, 0}, {0, 0, 0}}};''')
        rows = [(-300, (), TABLE, "EST"), (-210, (), TABLE, "NST"), (330, (), TABLE, "IST"), (570, (), TABLE, "ACST"),
                (0, (), TABLE, "UT"), (-180, (), TABLE, "BZT2"), (345, (), TABLE, "NPT"), (720, (), TABLE, "NZST"),
                (390, (), TABLE, "MMT"), (270, (), TABLE, "AFT"), (765, (), TABLE, "CHAST"), (-720, (), TABLE, "IDLW"),
                (330, ("Maharashtra", "India"), shared, "IST"), (330, ("Somewhere",), shared, "XT"),
                (390, (), shared, None),  # its NST is read as Newfoundland's, earlier in the table
                (0, ("Local Mean Time",), shared, None)]  # LMT's offset is the longitude's, never a place's
        for offset, regions, table, expected in rows:
            with self.subTest(offset=offset, regions=regions):
                self.assertEqual(abbreviation_for(offset, regions, table), expected)

    def test_zone_table_names_agree_with_offsets(self):
        self.assertEqual([(zone.abbreviation, zone.offset_minutes) for zone in TABLE[-3:]],
                         [("MART", 570), ("IDLW", 720), ("LMT", None)])
        with self.assertRaisesRegex(ValueError, "MMT"):
            atlas.read_zone_table('TimeZoneNames = {"MMT, (-06:30), Myanmar"}; TimeZoneOffsets = {{{-6, 0, 0}}};')

    @unittest.skipUnless(HAS_TZDATA, "system tzdata not installed")
    def test_standard_offset_ignores_summer_time(self):
        rows = [("America/New_York", -300), ("Australia/Sydney", 600), ("America/St_Johns", -210),
                ("Europe/Dublin", 0), ("America/Santiago", -240), ("Asia/Kathmandu", 345)]
        for zone_name, minutes in rows:
            self.assertEqual(atlas.standard_utc_offset_minutes(zone_name), minutes, zone_name)

    def test_texts_and_coordinates(self):
        rows = [(atlas.format_longitude(-74.0060), "074W00"), (atlas.format_latitude(-33.8688), "33S52"),
                (atlas.format_longitude(10.9933), "011E00"),  # 59.6' carries into the degree
                (atlas.format_longitude(0.125), "000E08"), (atlas.format_longitude(-0.004), "000E00"),
                (atlas.to_windows1252("Kraków", "Krakow"), "Kraków"), (atlas.to_windows1252("Łódź", "Lodz"), "Lodz"),
                (atlas.to_windows1252("Hà  Nội"), "Ha Noi"),
                (atlas.place_text("Cotabato", "Autonomous Region in Muslim Mindanao", "Philippines"),
                 "Cotabato, Philippines"),
                (atlas.place_text("Grytviken", None, "South Georgia and the South Sandwich Islands"),
                 "Grytviken, South Georgia and the South Sandwich")]
        for actual, expected in rows:
            self.assertEqual(actual, expected)

    def test_common_names_a_latin_keyboard_types(self):
        city = next(atlas.parse_cities([row(1, "Köln", 50.9, 6.9, "PPLA2", "DE", "07", 963395, "Europe/Berlin",
                                            "CGN,Cologne,Colonia Agrippina,Koeln,Köln,kolon,Кёльн,Kelnas *,"
                                            "Munchen,München,Kol'n,Cwlen 2", "Koeln")]))
        self.assertEqual(atlas.common_names(city, "Köln"),
                         ["Koeln", "Cologne", "Colonia Agrippina", "München", "Kol'n"])


FIXTURE = [
    row(1, "Springfield", 39.80, -89.64, "PPLA", "US", "IL", 114394, "America/Chicago", "Capital City"),
    row(3, "Springfield", 39.82, -89.62, "PPLX", "US", "IL", 20000, "America/Chicago"),  # the same, 3 km off
    row(4, "Springfield", 37.21, -93.29, "PPL", "US", "IL", 169176, "America/Chicago"),  # a namesake far away
    row(5, "Soldeu", 42.58, 1.67, "PPL", "AD", "02", 602, "Europe/Andorra"),
    row(6, "Pompeii", 40.75, 14.49, "PPLH", "IT", "04", 25000, "Europe/Rome"),
    row(7, "Kathmandu", 27.70169, 85.3206, "PPLC", "NP", "", 1442271, "Asia/Kathmandu", "KTM,Kantipur"),
    row(8, "'Ajlun", 32.33, 35.75, "PPLA", "JO", "20", 125557, "Asia/Amman"),
    row(9, "Hamlet", 40.0, -90.0, "PPL", "US", "IL", 0, "America/Chicago"),
    row(10, "Waitangi", -43.95, -176.56, "PPL", "NZ", "10", 300, "Pacific/Chatham"),
]
STANDARD = {"America/Chicago": -360, "Europe/Andorra": 60, "Europe/Rome": 60, "Asia/Kathmandu": 345,
            "Asia/Amman": 180, "Pacific/Chatham": 765}


def build_fixture():
    return atlas.build_atlas(atlas.parse_cities(FIXTURE), {"US.IL": "Illinois", "AD.02": "Canillo",
                                                           "NZ.10": "Chatham Islands"},
                             {"US": "United States", "AD": "Andorra", "NP": "Nepal", "JO": "Jordan",
                              "NZ": "New Zealand"}, TABLE, STANDARD.__getitem__)


class BuildAtlasTest(unittest.TestCase):
    def test_every_place_once_sorted_with_its_index_record(self):
        entries = build_fixture()
        self.assertEqual([entry.index_record() for entry in entries], [
            "035E45 32N20\t125557", "090W00 40N00\t0", "085E19 27N42\t1442271\tKantipur", "001E40 42N35\t602",
            "093W17 37N13\t169176", "089W38 39N48\t114394\tCapital City", "176W34 43S57\t300"])
        # A five-letter abbreviation moves the zone name, still the last field, one column right.
        self.assertEqual([(entry.line[:atlas.PLACE_WIDTH].rstrip(), zone_selected_by_lookup(entry.line),
                           entry.line.rsplit(" ", 1)[1]) for entry in entries], [
            ("'Ajlun, Jordan", "BAT", "Asia/Amman"), ("Hamlet, Illinois, United States", "CST", "America/Chicago"),
            ("Kathmandu, Nepal", "NPT", "Asia/Kathmandu"), ("Soldeu, Canillo, Andorra", "CET", "Europe/Andorra"),
            ("Springfield, Illinois, United States", "CST", "America/Chicago"),
            ("Springfield, Illinois, United States", "CST", "America/Chicago"),
            ("Waitangi, Chatham Islands, New Zealand", "CHAST", "Pacific/Chatham")])
        self.assertTrue(entries[-1].line.endswith("43S57 CHAST Pacific/Chatham"))

    def test_rezoning_rewrites_only_the_abbreviations(self):
        built = [entry.line for entry in build_fixture()]
        blank = [atlas.with_abbreviation(line, None) for line in built]
        self.assertEqual(blank[-1][atlas.PLACE_WIDTH:], "  176W34 43S57      Pacific/Chatham")
        wrong = [atlas.with_abbreviation(line, "CHAST") for line in built]
        for stale in (blank, wrong):
            self.assertEqual(atlas.rezone_lines(stale, TABLE, STANDARD.__getitem__), built)
        # Before Nepal and the Chatham Islands had zones of their own.
        self.assertEqual(atlas.zones_without_table_zone(STANDARD, TABLE[:29], STANDARD.__getitem__),
                         {"Asia/Kathmandu": 345, "Pacific/Chatham": 765})
        self.assertEqual(atlas.zones_without_table_zone(STANDARD, TABLE, STANDARD.__getitem__), {})
        for line in ("Nowhere  074W00 40N43 EST America/New_York", built[0][:-len("Asia/Amman")]):
            with self.assertRaises(ValueError):
                atlas.rezone_lines([line], TABLE, STANDARD.__getitem__)


class ShippedAtlasTest(unittest.TestCase):
    LINE = re.compile(r"(?P<place>\S.{0,47}?) *  (?P<lon>\d{3}[EW][0-5]\d) (?P<lat>\d\d[NS][0-5]\d) "
                      r"(?P<abbreviation>[A-Z0-9]{0,5}) +(?P<zone>[A-Za-z_]+(/[A-Za-z0-9_+-]+)+)")

    def test_lines_and_index_read_as_the_lookup_reads_them(self):
        raw = (ROOT / "resources" / "atlas.txt").read_bytes()
        lines = raw.decode("utf-8").split("\n")
        records = (ROOT / "resources" / atlas.INDEX_FILE_NAME).read_text(encoding="utf-8").split("\n")
        self.assertFalse(raw.startswith(b"\xef\xbb\xbf") or b"\r" in raw or lines.pop() or records.pop())
        self.assertGreater(len(lines), 190000)
        self.assertEqual(len(lines), len(records))
        offsets = {}
        problems = []
        without_zone = []
        for line, record in zip(lines, records):
            match, fields = self.LINE.fullmatch(line), record.split("\t")
            zone = match and match["zone"]
            if match and not match["abbreviation"]:
                without_zone.append(line)
            if HAS_TZDATA and zone and zone not in offsets:
                offsets[zone] = abbreviation_for(atlas.standard_utc_offset_minutes(zone))
            if (not match or len(line) > atlas.MAX_LINE_CHARS or int(match["lon"][:3]) > 180
                    or match.start("zone") != atlas.ABBREVIATION_COLUMN + 1 + max(atlas.ABBREVIATION_WIDTH,
                                                                                  len(match["abbreviation"]))
                    or int(match["lat"][:2]) > 90 or "  " in match["place"]
                    or zone_selected_by_lookup(line) != (match["abbreviation"] or None)
                    or offsets.get(zone, match["abbreviation"] or None) != (match["abbreviation"] or None)
                    or fields[0] != f"{match['lon']} {match['lat']}" or not fields[1].isdigit()
                    or not all(fields[2:]) or "  " in record):
                problems.append((line, record))
            line.encode("cp1252"), record.encode("cp1252")
        self.assertEqual(problems[:5], [], f"{len(problems)} problems")
        # Every standard offset of today has a table zone, so every place has one.
        self.assertEqual(without_zone[:5], [], f"{len(without_zone)} lines without a table zone")


if __name__ == "__main__":
    unittest.main()

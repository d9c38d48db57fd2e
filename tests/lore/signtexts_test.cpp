// The string table's ids and texts, the pair rule, the form of the compatibility texts, and
// the sign rules and lookups built on them.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "chart.h"
#include "signtexts.h"

using namespace zodiara;

namespace {

struct IdText {
    int id;
    std::string_view text;
};

// Every short text as the reference gives it, spelling and figures included.
constexpr IdText ShortTexts[] = {
    {101, "Error"},
    {102, "Error:  Atlas data file not found.   Recopy atlas.txt to your working directory."},
    {4300, "Ram"},
    {4301, "Bull"},
    {4302, "Twins"},
    {4303, "Crab"},
    {4304, "Lion"},
    {4305, "Virgin"},
    {4306, "Scales"},
    {4307, "Scorpion"},
    {4308, "Archer"},
    {4309, "Seagoat"},
    {4310, "Water bearer"},
    {4311, "Fish"},
    {4100, "activity"},
    {4101, "stability"},
    {4102, "versatility"},
    {4103, "devotion"},
    {4104, "magnetism"},
    {4105, "practicality"},
    {4106, "harmony"},
    {4107, "intensity"},
    {4108, "visualization"},
    {4109, "ambition"},
    {4110, "imagination"},
    {4111, "understanding"},
    {4200, "I am"},
    {4201, "I have"},
    {4202, "I think"},
    {4203, "I feel"},
    {4204, "I will"},
    {4205, "I analyze"},
    {4206, "I balance"},
    {4207, "I desire"},
    {4208, "I understand"},
    {4209, "I use"},
    {4210, "I know"},
    {4211, "I believe"},
    {3000, "01-10-19-28-37-46-55"},
    {3001, "02-11-20-29-37-47-56"},
    {3002, "03-12-21-30-48-57"},
    {3003, "04-13-22-31-40-49-58"},
    {3004, "05-14-23-32-41-50"},
    {3005, "06-15-24-33-42-51"},
    {3006, "07-16-25-34-43-52"},
    {3007, "08-17-26-35-44-53"},
    {3008, "09-18-27-36-45-54"},
    {3009, "10-28-37-46-55"},
    {3010, "11-29-38-47-56"},
    {3011, "12-21-39-48-57"},
    {4000, "head, face, brain, upper teeth"},
    {4001, "throat, neck, ears, vocal chords, thyroid, tongue, mouth, tonsils, lower teeth"},
    {4002, "lungs, collar bone, hands, arms, shoulder, nervous system"},
    {4003, "breast, stomach, upper lobes of liver"},
    {4004, "heart, sides, upper back"},
    {4005, "intestines, liver, pancreas, gall bladder, lower plexus, upper bowel"},
    {4006, "kidneys, lower back, adrenal glands, appendix"},
    {4007, "gentitals, bladder, rectum, reproductive organs"},
    {4008, "hips, thighs, upper leg"},
    {4009, "knees and lower leg"},
    {4010, "ankles"},
    {4011, "feet"},
    {2000, "pioneering, executive, competitive, impulsive, eager, courageous, independent, dynamic, lives in present, quick"},
    {2001, "patient, conservative, domestic, sensual, thorough, stable, dependable, practical, artistic, loyal"},
    {2002, "dual, congenial, curious, adaptable, expressive, quick-witted, literary, inventive, dextrous, clever"},
    {2003, "tenacious, intuitive, maternal, domestic, sensitive, retentive, helpful, sympathetic, emotional, patriotic, good memory, traditional"},
    {2004, "dramatic, idealistic, proud, ambitious, creative, dignified, romantic, generous, self-assured, optimistic"},
    {2005, "industrious, studious, scientific, methodical, discriminating, fact-finding, exacting, clean, humane, perfectionist"},
    {2006, "cooperative, persuasive, companionable, peace-loving, refined, judicial, artistic, diplomatic, sociable, suave"},
    {2007, "motivated, penetrating, executive, resourceful, determined, scientific, investigative, probing, passionate, aware"},
    {2008, "straightforward, philosophical, freedom-loving, broadminded, athletic, generous, optimistic, religious, scholarly, enthusiastic"},
    {2009, "cautious, responsible, scrupulous, conventional, businesslike, perfectionist, traditional, practical, hardworking, economical"},
    {2010, "independent, inventive, tolerant, individualistic, progressive, artistic, scientific, logical, humane, intellectual, altruistic"},
    {2011, "compassionate, charitable, sympathetic, emotional, sacrificing, intuitive, introspective, musical, artistic"},
    {1000, "domineering, quick-tempered, violent, intolerant, hasty, arrogant, lacks follow-through"},
    {1001, "self indulgent, stubborn, slow moving, argumentative, short tempered, possessive, greedy, materialistic"},
    {1002, "changeable, ungrateful, scatterbrained, restless, scheming, lacks concentration, lacks follow-through"},
    {1003, "grim, touchy, easily hurt, negative, manipulative, over cautious, lazy, selfish, self sorrow"},
    {1004, "vain, status seeking, childish, overbearing, fears ridicule, cruel, boastful, pretentious, arrogant"},
    {1005, "critical, petty, melancholy, self-centered, fearful of disease and poverty, picky, academic, skeptical, sloppy"},
    {1006, "fickle, apathetic, loves intrigue, peace loving, pouting, indecisive, easily deterred"},
    {1007, "vengeful, temperamental, secretive, overbearing, violent, sarcastic, suspicious, jealous, intolerant"},
    {1008, "argumentative, exaggerative, talkative, procrastinates, self-indulgent, blunt, impatient, gambler, pushy, hot-headed"},
    {1009, "egotistic, domineering, unforgiving, fatalistic, mind rules heart, stubborn, brooding, inhibited, status-seeking"},
    {1010, "unpredictable, temperamental, bored by details, cold, opinionated, shy, eccentric, radical, impersonal, rebellious"},
    {1011, "procrastinating, over-talkative, melancholy, pessimistic, emotionally inhibited, timid, impractical, indolent, often feels misunderstood"},
};

class ShortText : public testing::TestWithParam<IdText> {};

TEST_P(ShortText, IsStoredVerbatimUnderItsId)
{
    const IdText row = GetParam();
    ASSERT_TRUE(stringTableText(row.id).has_value()) << row.id;
    EXPECT_EQ(*stringTableText(row.id), row.text);
    if (row.id >= 1000) {
        const int sign = row.id % 100;
        EXPECT_EQ(SignText(row.id - sign, sign), row.text);
        EXPECT_LT(row.text.size(), 299u) << "must fit the traits box's buffer";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ShortText, testing::ValuesIn(ShortTexts),
                         [](const testing::TestParamInfo<IdText>& info) { return std::to_string(info.param.id); });

TEST(StringTable, IdsOutsideTheTableHaveNoText)
{
    for (int id : {-1, 0, 100, 103, 999, 1012, 1099, 1100, 2012, 3012, 4012, 4099, 4112, 4212, 4312, 4400,
                   4999, 5012, 5100, 6000, 7001, 16012, 17011, 99999}) {
        EXPECT_FALSE(stringTableText(id).has_value()) << id;
    }
    EXPECT_TRUE(SignText(SymbolBase, 12).empty());
    EXPECT_TRUE(SignText(SymbolBase, -1).empty());
    EXPECT_TRUE(SignText(4500, 0).empty());
    EXPECT_TRUE(CompatibilityText(0, 12).empty());
    EXPECT_TRUE(CompatibilityText(-1, 3).empty());
}

TEST(StringTable, HoldsExactlyTheShortTextsAndTheSeventyEightPairs)
{
    int present = 0;
    for (int id = 0; id <= 20000; ++id)
        present += stringTableText(id).has_value();
    EXPECT_EQ(present, int(std::size(ShortTexts)) + CompatibilityTextCount);
}

TEST(CompatibilityText, PairIsUnorderedAndKeyedByLowerSignFirst)
{
    for (int a = 0; a < 12; ++a) {
        for (int b = 0; b < 12; ++b) {
            const int id = compatibilityTextId(a, b);
            EXPECT_EQ(id, 5000 + 1000 * std::min(a, b) + std::max(a, b));
            EXPECT_EQ(id, compatibilityTextId(b, a));
            ASSERT_TRUE(stringTableText(id).has_value()) << id;
            EXPECT_EQ(CompatibilityText(a, b), *stringTableText(id));
            EXPECT_EQ(CompatibilityText(a, b), CompatibilityText(b, a));
        }
    }
    EXPECT_EQ(compatibilityTextId(11, 0), 5011);
    EXPECT_TRUE(CompatibilityText(11, 0).starts_with("Aries and Pisces:\n"));
    EXPECT_EQ(compatibilityTextId(11, 11), 16011);
    EXPECT_EQ(compatibilityTextId(3, 3), 8003);
    EXPECT_TRUE(CompatibilityText(4, 0).starts_with("Aries and Leo:\n"));
}

// Sentence ends in the advice: a full stop, question or exclamation mark before a space or
// at the end.
int sentenceCount(std::string_view advice)
{
    int count = 0;
    for (std::size_t i = 0; i < advice.size(); ++i) {
        const char c = advice[i];
        if ((c == '.' || c == '!' || c == '?') && (i + 1 == advice.size() || advice[i + 1] == ' '))
            ++count;
    }
    return count;
}

TEST(CompatibilityText, EveryTextHasItsHeadingAndTheAgreedForm)
{
    std::set<std::string_view> advices;
    for (int a = 0; a < 12; ++a) {
        for (int b = a; b < 12; ++b) {
            const std::string_view text = CompatibilityText(a, b);
            SCOPED_TRACE(std::string(text));
            const std::string heading = std::string(SignNames[a]) + " and " + std::string(SignNames[b]) + ":\n";
            ASSERT_TRUE(text.starts_with(heading));
            const std::string_view advice = text.substr(heading.size());
            EXPECT_EQ(advice.find('\n'), std::string_view::npos);
            EXPECT_GE(text.size(), 154u);
            EXPECT_LE(text.size(), 318u);
            const int sentences = sentenceCount(advice);
            EXPECT_GE(sentences, 2);
            EXPECT_LE(sentences, 4);
            EXPECT_TRUE(advice.ends_with('.') || advice.ends_with('!'));
            EXPECT_FALSE(advice.starts_with(' '));
            for (unsigned char c : advice)
                EXPECT_TRUE(c >= 0x20 && c < 0x7f) << "plain printable ASCII only: " << int(c);
            advices.insert(advice);
        }
    }
    EXPECT_EQ(advices.size(), std::size_t(CompatibilityTextCount)) << "two pairs share the same advice";
}

TEST(SignRules, RulersAndOpposites)
{
    constexpr std::string_view rulers[12] = {"Mars", "Venus", "Mercury", "Moon", "Sun", "Mercury",
                                             "Venus", "Pluto", "Jupiter", "Saturn", "Uranus", "Neptune"};
    constexpr std::string_view opposites[12] = {"Libra", "Scorpio", "Sagittarius", "Capricorn",
                                                "Aquarius", "Pisces", "Aries", "Taurus",
                                                "Gemini", "Cancer", "Leo", "Virgo"};
    for (int sign = 0; sign < 12; ++sign) {
        EXPECT_EQ(BodyNames[RulingBody(sign)], rulers[sign]) << sign;
        EXPECT_EQ(SignNames[OppositeSign(sign)], opposites[sign]) << sign;
        EXPECT_EQ(OppositeSign(OppositeSign(sign)), sign);
    }
}

// The first and last day of each range, read from the range texts themselves so the date
// lookup cannot drift from what the boxes show.
struct DayOfYear {
    int month;
    int day;
};

DayOfYear parseRangeEnd(std::string_view text)
{
    const auto space = text.find(' ');
    for (int m = 0; m < 12; ++m) {
        if (text.substr(0, space) == MonthNames[m])
            return {m + 1, std::stoi(std::string(text.substr(space + 1)))};
    }
    ADD_FAILURE() << "no month in " << text;
    return {0, 0};
}

DayOfYear dayBefore(DayOfYear d)
{
    constexpr int lengths[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.day > 1)
        return {d.month, d.day - 1};
    const int month = d.month == 1 ? 12 : d.month - 1;
    return {month, lengths[month - 1]};
}

TEST(SignOfDate, AgreesWithEveryRangeTextAtBothEnds)
{
    for (int sign = 0; sign < 12; ++sign) {
        const std::string_view range = SignDateRanges[sign];
        const auto dash = range.find(" - ");
        const DayOfYear first = parseRangeEnd(range.substr(0, dash));
        const DayOfYear last = parseRangeEnd(range.substr(dash + 3));
        EXPECT_EQ(signOfDate(first.month, first.day), sign) << range;
        EXPECT_EQ(signOfDate(last.month, last.day), sign) << range;
        const DayOfYear before = dayBefore(first);
        EXPECT_EQ(signOfDate(before.month, before.day), (sign + 11) % 12) << range;
    }
}

TEST(SignOfDate, RefusesDatesNoYearHas)
{
    EXPECT_EQ(signOfDate(2, 29), 11);
    EXPECT_EQ(signOfDate(12, 31), 9);
    EXPECT_EQ(signOfDate(1, 1), 9);
    for (auto [month, day] : {std::pair{2, 30}, {4, 31}, {13, 1}, {0, 10}, {1, 0}, {6, 31}, {12, 32}})
        EXPECT_FALSE(signOfDate(month, day).has_value()) << month << "-" << day;
}

struct SignWord {
    std::string_view text;
    int sign;  // -1: refused
};

class ParseSign : public testing::TestWithParam<SignWord> {};

TEST_P(ParseSign, ReadsNamesIndexesAndBirthdays)
{
    const SignWord row = GetParam();
    const auto sign = parseSign(row.text);
    if (row.sign < 0)
        EXPECT_FALSE(sign.has_value()) << *sign;
    else
        EXPECT_EQ(sign, row.sign);
}

INSTANTIATE_TEST_SUITE_P(Words, ParseSign, testing::Values(
    SignWord{"Aries", 0}, SignWord{"aries", 0}, SignWord{"SAGITTARIUS", 8}, SignWord{"pIsCeS", 11},
    SignWord{"0", 0}, SignWord{"11", 11}, SignWord{"07", 7}, SignWord{"12", -1}, SignWord{"-1", -1},
    SignWord{"03-21", 0}, SignWord{"3-21", 0}, SignWord{"03-20", 11}, SignWord{"12-31", 9},
    SignWord{"01-19", 9}, SignWord{"01-20", 10}, SignWord{"02-29", 11}, SignWord{"02-30", -1},
    SignWord{"13-01", -1}, SignWord{"03-021", -1}, SignWord{"03-", -1}, SignWord{"-21", -1},
    SignWord{"", -1}, SignWord{"Ari", -1}, SignWord{"Aries ", -1}, SignWord{" 1", -1},
    SignWord{"+1", -1}, SignWord{"1a", -1}, SignWord{"Ram", -1}));

}  // namespace

// The string table's ids and texts, the pair rule, the form of the compatibility texts, and
// the sign rules and lookups built on them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

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
    {101, "Error"}, {102, "Error:  Atlas data file not found.   Recopy atlas.txt to your working directory."},
    {4300, "Ram"}, {4301, "Bull"}, {4302, "Twins"}, {4303, "Crab"}, {4304, "Lion"}, {4305, "Virgin"},
    {4306, "Scales"}, {4307, "Scorpion"}, {4308, "Archer"}, {4309, "Seagoat"}, {4310, "Water bearer"}, {4311, "Fish"},
    {4100, "activity"}, {4101, "stability"}, {4102, "versatility"}, {4103, "devotion"}, {4104, "magnetism"},
    {4105, "practicality"}, {4106, "harmony"}, {4107, "intensity"}, {4108, "visualization"},
    {4109, "ambition"}, {4110, "imagination"}, {4111, "understanding"},
    {4200, "I am"}, {4201, "I have"}, {4202, "I think"}, {4203, "I feel"}, {4204, "I will"}, {4205, "I analyze"},
    {4206, "I balance"}, {4207, "I desire"}, {4208, "I understand"}, {4209, "I use"}, {4210, "I know"},
    {4211, "I believe"},
    {3000, "01-10-19-28-37-46-55"}, {3001, "02-11-20-29-37-47-56"}, {3002, "03-12-21-30-48-57"},
    {3003, "04-13-22-31-40-49-58"}, {3004, "05-14-23-32-41-50"}, {3005, "06-15-24-33-42-51"},
    {3006, "07-16-25-34-43-52"}, {3007, "08-17-26-35-44-53"}, {3008, "09-18-27-36-45-54"},
    {3009, "10-28-37-46-55"}, {3010, "11-29-38-47-56"}, {3011, "12-21-39-48-57"},
    {4000, "head, face, brain, upper teeth"},
    {4001, "throat, neck, ears, vocal chords, thyroid, tongue, mouth, tonsils, lower teeth"},
    {4002, "lungs, collar bone, hands, arms, shoulder, nervous system"},
    {4003, "breast, stomach, upper lobes of liver"}, {4004, "heart, sides, upper back"},
    {4005, "intestines, liver, pancreas, gall bladder, lower plexus, upper bowel"},
    {4006, "kidneys, lower back, adrenal glands, appendix"},
    {4007, "gentitals, bladder, rectum, reproductive organs"},
    {4008, "hips, thighs, upper leg"}, {4009, "knees and lower leg"}, {4010, "ankles"}, {4011, "feet"},
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

TEST(StringTable, HoldsTheShortTextsVerbatimAndNothingButThemAndTheSeventyEightPairs)
{
    for (const IdText& row : ShortTexts)
        EXPECT_EQ(stringTableText(row.id), row.text) << row.id;
    int present = 0;
    for (int id = -1; id <= 20000; ++id)
        present += stringTableText(id).has_value();
    EXPECT_EQ(present, int(std::size(ShortTexts)) + CompatibilityTextCount);
    // Out-of-range signs must not index past the tables.
    EXPECT_TRUE(SignText(SymbolBase, 12).empty() && SignText(SymbolBase, -1).empty());
    EXPECT_TRUE(CompatibilityText(0, 12).empty() && CompatibilityText(-1, 3).empty());
}

// One text per unordered pair, headed "<lower sign> and <higher sign>:" and one line feed.
TEST(CompatibilityText, PairRuleAndFormOfEveryText)
{
    std::set<std::string_view> texts;
    for (int a = 0; a < 12; ++a) {
        for (int b = 0; b < 12; ++b) {
            const int id = compatibilityTextId(b, a);
            EXPECT_EQ(id, 5000 + 1000 * std::min(a, b) + std::max(a, b));
            const std::string_view text = stringTableText(id).value_or("");
            EXPECT_EQ(CompatibilityText(a, b), text);
            if (a > b)
                continue;
            const std::string heading = std::string(SignNames[a]) + " and " + std::string(SignNames[b]) + ":\n";
            EXPECT_EQ(std::tuple(text.starts_with(heading), std::count(text.begin(), text.end(), '\n'),
                                 text.size() >= 154 && text.size() <= 318), std::tuple(true, 1, true)) << text;
            texts.insert(text.substr(text.find('\n') + 1));
        }
    }
    EXPECT_EQ(texts.size(), std::size_t(CompatibilityTextCount)) << "two pairs share the same advice";
}

TEST(SignRules, RulersOppositesAndTheDateRanges)
{
    constexpr std::string_view rulers[12] = {"Mars", "Venus", "Mercury", "Moon", "Sun", "Mercury",
                                             "Venus", "Pluto", "Jupiter", "Saturn", "Uranus", "Neptune"};
    constexpr std::string_view opposites[12] = {"Libra", "Scorpio", "Sagittarius", "Capricorn", "Aquarius", "Pisces",
                                                "Aries", "Taurus", "Gemini", "Cancer", "Leo", "Virgo"};
    const auto month = [](const std::string& name) {
        return int(std::find(MonthNames.begin(), MonthNames.end(), name) - MonthNames.begin()) + 1;
    };
    for (int sign = 0; sign < 12; ++sign) {
        // Both ends of each range text, so the date lookup cannot drift from what the boxes show.
        std::istringstream range{std::string(SignDateRanges[sign])};
        std::string firstMonth, dash, lastMonth;
        int firstDay = 0, lastDay = 0;
        range >> firstMonth >> firstDay >> dash >> lastMonth >> lastDay;
        EXPECT_EQ(std::tuple(BodyNames[RulingBody(sign)], SignNames[OppositeSign(sign)],
                             signOfDate(month(firstMonth), firstDay), signOfDate(month(lastMonth), lastDay)),
                  std::tuple(rulers[sign], opposites[sign], sign, sign)) << SignDateRanges[sign];
    }
}

TEST(ParseSign, ReadsNamesIndexesAndBirthdaysAndRefusesTheRest)
{
    constexpr std::pair<std::string_view, int> cases[] = {  // -1: refused
        {"aries", 0}, {"pIsCeS", 11}, {"11", 11}, {"07", 7}, {"12", -1}, {"-1", -1},
        {"3-21", 0}, {"03-20", 11}, {"12-31", 9}, {"01-20", 10}, {"02-29", 11}, {"02-30", -1}, {"04-31", -1},
        {"13-01", -1}, {"03-021", -1}, {"03-", -1}, {"", -1}, {"Ari", -1}, {"Aries ", -1}, {"+1", -1}, {"Ram", -1}};
    for (auto [text, sign] : cases)
        EXPECT_EQ(parseSign(text).value_or(-1), sign) << '"' << text << '"';
}

}  // namespace

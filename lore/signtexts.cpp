#include "lore/signtexts.h"

#include <array>
#include <cctype>
#include <charconv>

namespace zodiara {

namespace {

constexpr std::array<std::string_view, SignCount> Symbols = {
    "Ram", "Bull", "Twins", "Crab", "Lion", "Virgin", "Scales", "Scorpion", "Archer", "Seagoat", "Water bearer", "Fish",
};

constexpr std::array<std::string_view, SignCount> KeyWords = {
    "activity", "stability", "versatility",   "devotion", "magnetism",   "practicality",
    "harmony",  "intensity", "visualization", "ambition", "imagination", "understanding",
};

constexpr std::array<std::string_view, SignCount> KeyPhrases = {
    "I am",      "I have",   "I think",      "I feel", "I will", "I analyze",
    "I balance", "I desire", "I understand", "I use",  "I know", "I believe",
};

constexpr std::array<std::string_view, SignCount> LuckyNumbers = {
    "01-10-19-28-37-46-55", "02-11-20-29-37-47-56", "03-12-21-30-48-57", "04-13-22-31-40-49-58",
    "05-14-23-32-41-50",    "06-15-24-33-42-51",    "07-16-25-34-43-52", "08-17-26-35-44-53",
    "09-18-27-36-45-54",    "10-28-37-46-55",       "11-29-38-47-56",    "12-21-39-48-57",
};

constexpr std::array<std::string_view, SignCount> Anatomy = {
    "head, face, brain, upper teeth",
    "throat, neck, ears, vocal chords, thyroid, tongue, mouth, tonsils, lower teeth",
    "lungs, collar bone, hands, arms, shoulder, nervous system",
    "breast, stomach, upper lobes of liver",
    "heart, sides, upper back",
    "intestines, liver, pancreas, gall bladder, lower plexus, upper bowel",
    "kidneys, lower back, adrenal glands, appendix",
    "gentitals, bladder, rectum, reproductive organs",
    "hips, thighs, upper leg",
    "knees and lower leg",
    "ankles",
    "feet",
};

constexpr std::array<std::string_view, SignCount> PositiveTraits = {
    "pioneering, executive, competitive, impulsive, eager, courageous, independent, dynamic, lives in present, quick",
    "patient, conservative, domestic, sensual, thorough, stable, dependable, practical, artistic, loyal",
    "dual, congenial, curious, adaptable, expressive, quick-witted, literary, inventive, dextrous, clever",
    "tenacious, intuitive, maternal, domestic, sensitive, retentive, helpful, sympathetic, emotional, patriotic, good memory, traditional",
    "dramatic, idealistic, proud, ambitious, creative, dignified, romantic, generous, self-assured, optimistic",
    "industrious, studious, scientific, methodical, discriminating, fact-finding, exacting, clean, humane, perfectionist",
    "cooperative, persuasive, companionable, peace-loving, refined, judicial, artistic, diplomatic, sociable, suave",
    "motivated, penetrating, executive, resourceful, determined, scientific, investigative, probing, passionate, aware",
    "straightforward, philosophical, freedom-loving, broadminded, athletic, generous, optimistic, religious, scholarly, enthusiastic",
    "cautious, responsible, scrupulous, conventional, businesslike, perfectionist, traditional, practical, hardworking, economical",
    "independent, inventive, tolerant, individualistic, progressive, artistic, scientific, logical, humane, intellectual, altruistic",
    "compassionate, charitable, sympathetic, emotional, sacrificing, intuitive, introspective, musical, artistic",
};

constexpr std::array<std::string_view, SignCount> NegativeTraits = {
    "domineering, quick-tempered, violent, intolerant, hasty, arrogant, lacks follow-through",
    "self indulgent, stubborn, slow moving, argumentative, short tempered, possessive, greedy, materialistic",
    "changeable, ungrateful, scatterbrained, restless, scheming, lacks concentration, lacks follow-through",
    "grim, touchy, easily hurt, negative, manipulative, over cautious, lazy, selfish, self sorrow",
    "vain, status seeking, childish, overbearing, fears ridicule, cruel, boastful, pretentious, arrogant",
    "critical, petty, melancholy, self-centered, fearful of disease and poverty, picky, academic, skeptical, sloppy",
    "fickle, apathetic, loves intrigue, peace loving, pouting, indecisive, easily deterred",
    "vengeful, temperamental, secretive, overbearing, violent, sarcastic, suspicious, jealous, intolerant",
    "argumentative, exaggerative, talkative, procrastinates, self-indulgent, blunt, impatient, gambler, pushy, hot-headed",
    "egotistic, domineering, unforgiving, fatalistic, mind rules heart, stubborn, brooding, inhibited, status-seeking",
    "unpredictable, temperamental, bored by details, cold, opinionated, shy, eccentric, radical, impersonal, rebellious",
    "procrastinating, over-talkative, melancholy, pessimistic, emotionally inhibited, timid, impractical, indolent, often feels misunderstood",
};

// The table of one kind of text, a text per sign.
const std::array<std::string_view, SignCount>& traitTexts(TraitKind kind)
{
    switch (kind) {
    case TraitKind::Symbol: return Symbols;
    case TraitKind::KeyPhrase: return KeyPhrases;
    case TraitKind::KeyWord: return KeyWords;
    case TraitKind::LuckyNumbers: return LuckyNumbers;
    case TraitKind::Anatomy: return Anatomy;
    case TraitKind::PositiveTraits: return PositiveTraits;
    case TraitKind::NegativeTraits: break;
    }
    return NegativeTraits;
}

// First day of each sign's range as (month, day); the range runs to the day before the next.
constexpr std::array<std::array<int, 2>, SignCount> SignStarts = {
    {{3, 21}, {4, 20}, {5, 21}, {6, 22}, {7, 23}, {8, 23}, {9, 23}, {10, 24}, {11, 22}, {12, 22}, {1, 20}, {2, 19}}};

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// One or two decimal digits, nothing else.
std::optional<int> smallNumber(std::string_view text)
{
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

std::string_view signTrait(Sign sign, TraitKind kind) { return traitTexts(kind)[index(sign)]; }

std::string yourSignText(Sign sign)
{
    std::string text = "Your sign is\n";
    text += signName(sign);
    text += " the\n";
    text += signTrait(sign, TraitKind::Symbol);
    return text;
}

SignTraits signTraits(Sign sign)
{
    const int i = index(sign);
    SignTraits t;
    t.sign = sign;
    t.name = signName(sign);
    t.symbol = signTrait(sign, TraitKind::Symbol);
    t.dateRange = SignDateRanges[i];
    t.quality = QualityNames[signQuality(i)];
    t.element = ElementNames[signElement(i)];
    t.principle = PrincipleNames[signPrinciple(i)];
    t.ruler = bodyName(rulingBody(sign));
    t.opposite = signName(oppositeSign(sign));
    t.keyPhrase = signTrait(sign, TraitKind::KeyPhrase);
    t.keyWord = signTrait(sign, TraitKind::KeyWord);
    t.luckyNumbers = signTrait(sign, TraitKind::LuckyNumbers);
    t.anatomy = signTrait(sign, TraitKind::Anatomy);
    t.positiveTraits = signTrait(sign, TraitKind::PositiveTraits);
    t.negativeTraits = signTrait(sign, TraitKind::NegativeTraits);
    return t;
}

std::optional<Sign> signOfDate(int month, int day)
{
    // Any year's calendar, so 29 February counts.
    constexpr int monthLengths[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > monthLengths[month - 1])
        return std::nullopt;
    // The sign whose range started most recently on or before the date; the year wraps
    // inside Capricorn.
    const int key = month * 100 + day;
    Sign best = Sign::Capricorn;
    int bestKey = -1;
    for (int i = 0; i < SignCount; ++i) {
        const int start = SignStarts[i][0] * 100 + SignStarts[i][1];
        if (start <= key && start > bestKey) {
            best = Sign{i};
            bestKey = start;
        }
    }
    return best;
}

std::optional<Sign> parseSign(std::string_view text)
{
    for (int i = 0; i < SignCount; ++i) {
        if (equalsIgnoringCase(text, SignNames[i]))
            return Sign{i};
    }
    if (const auto dash = text.find('-'); dash != std::string_view::npos) {
        const auto month = smallNumber(text.substr(0, dash));
        const auto day = smallNumber(text.substr(dash + 1));
        if (!month || !day)
            return std::nullopt;
        return signOfDate(*month, *day);
    }
    if (const auto number = smallNumber(text); number && *number < SignCount)
        return Sign{*number};
    return std::nullopt;
}

}  // namespace zodiara

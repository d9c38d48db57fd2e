#include "lore/compatibilitytexts.h"

#include <utility>

namespace zodiara {

namespace {

// Position of the pair a <= b (both 0..11) in the table.
constexpr int compatibilityIndex(int a, int b) { return a * SignCount - a * (a - 1) / 2 + (b - a); }
static_assert(compatibilityIndex(0, 0) == 0 && compatibilityIndex(1, 1) == SignCount);
static_assert(compatibilityIndex(SignCount - 1, SignCount - 1) == CompatibilityTextCount - 1);

// One text per unordered pair: Aries with every sign, then Taurus with Taurus onwards, and so
// on. Each text is its heading, a line feed and the advice.
constexpr std::array<std::string_view, CompatibilityTextCount> Texts = {
    // Aries
    "Aries and Aries:\n"
    "Two Mars-ruled pioneers make a fast, fiery pair who never bore each other. Both want to "
    "lead, so take turns at the front and let quarrels burn out as quickly as they flare. "
    "Finish what you start together, and forgive as readily as you charge ahead.",
    "Aries and Taurus:\n"
    "Mars meets Venus: Aries brings drive and daring, Taurus patience and staying power. "
    "Aries must not rush a partner who needs time to feel sure, and Taurus should not dig in "
    "just to slow Aries down. Built slowly, this bond becomes loyal, warm and sensual.",
    "Aries and Gemini:\n"
    "Fire and air feed each other in a lively sextile full of plans and laughter. Gemini "
    "gives words to Aries's energy, and Aries gives Gemini's bright ideas a push into action. "
    "Both tire of routine quickly, so keep shared adventures fresh and see at least some "
    "plans through.",
    "Aries and Cancer:\n"
    "Two cardinal signs in a square: Aries charges out into the world while Cancer guards "
    "home and heart. Aries can teach courage and Cancer tenderness, if Aries softens its "
    "bluntness and Cancer says plainly what hurts instead of retreating into its shell.",
    "Aries and Leo:\n"
    "A warm fire trine: Aries's daring and Leo's generous pride kindle passion and real "
    "admiration. Let Aries lead the charge and let Leo shine; trouble comes only when two "
    "strong egos fight over the spotlight. Praise each other often and the flame stays "
    "bright.",
    "Aries and Virgo:\n"
    "Aries acts first and asks later; Virgo checks every detail before it moves. The contrast "
    "works when Aries values Virgo's care and Virgo stops correcting each hasty step. Give "
    "this awkward pairing a shared practical goal, and it becomes a quick and capable team.",
    "Aries and Libra:\n"
    "Opposites on the axis of Mars and Venus attract strongly: Aries is direct and "
    "self-reliant, Libra gracious and partner-minded. Each has what the other lacks. Aries "
    "should learn to ask and listen, Libra to say what it wants; then the pull becomes a true "
    "partnership.",
    "Aries and Scorpio:\n"
    "Scorpio's old ruler is Mars too, so this pairing is passionate, intense and competitive. "
    "Aries fights in the open and forgets; Scorpio waits and remembers. Keep everything "
    "honest and in the light, refuse to play power games, and together you can face anything.",
    "Aries and Sagittarius:\n"
    "Two fire signs in trine make an adventurous, optimistic and frank couple. Jupiter's wide "
    "horizons suit Aries's appetite for the new, and neither of you holds a grudge for long. "
    "Watch for careless words and half-finished schemes; a goal you share keeps the fun from "
    "scattering.",
    "Aries and Capricorn:\n"
    "Cardinal fire squares cardinal earth: both are ambitious, but Aries wants it now and "
    "Capricorn wants it done properly. Respect Capricorn's long view and Aries's courage "
    "alike. Agree on who leads in which matters, and you make a formidable, if sometimes "
    "prickly, team.",
    "Aries and Aquarius:\n"
    "A stimulating sextile: Aries brings action, Aquarius brings original ideas and a cause "
    "worth fighting for. Both prize independence, so give each other room to breathe. Aries "
    "must accept Aquarius's cool detachment, and Aquarius should not mistake Aries's heat for "
    "thoughtlessness.",
    "Aries and Pisces:\n"
    "The first and last signs of the zodiac meet: bold, impatient Aries and gentle, dreamy "
    "Pisces. Aries can protect and encourage Pisces, and Pisces can show Aries compassion and "
    "imagination. Aries should tread softly on Pisces's feelings; Pisces should speak up "
    "rather than drift away.",
    // Taurus
    "Taurus and Taurus:\n"
    "Two Venus-ruled earth signs build a calm, sensual and secure life, fond of comfort, good "
    "food and lovely things. Loyalty comes easily to you both. The dangers are a shared "
    "stubborn streak and a rut of routine; try something new now and then, and learn to yield "
    "gracefully.",
    "Taurus and Gemini:\n"
    "Steady Taurus and changeable Gemini move at different speeds. Gemini brings wit, news "
    "and variety; Taurus brings calm and a solid base to come home to. Taurus should not hold "
    "on too tightly, and Gemini should keep its promises; then each learns a great deal from "
    "the other.",
    "Taurus and Cancer:\n"
    "An easy, tender sextile of earth and water: both of you love home, security and the "
    "people in your care. Taurus offers steadiness, Cancer nurture and deep feeling. Watch "
    "for possessiveness and for moods kept in silence, and share your worries before they "
    "harden.",
    "Taurus and Leo:\n"
    "Two fixed signs in a square: Venus's love of comfort meets the Sun's love of splendor. "
    "Both are loyal, affectionate and generous, and both are very stubborn. Leo needs "
    "admiration and Taurus needs reassurance; give these freely and avoid contests of will "
    "over money or pride.",
    "Taurus and Virgo:\n"
    "An earth trine that feels natural from the start: practical, dependable and quietly "
    "devoted. Taurus brings warmth and an easy sensuality, Virgo care, order and useful help. "
    "Virgo should criticize less and Taurus should stay open to change, or life together can "
    "grow too predictable.",
    "Taurus and Libra:\n"
    "Both signs are ruled by Venus and love beauty, art and harmony, yet earthy Taurus wants "
    "possession and security while airy Libra wants company and balance. Taurus should not be "
    "jealous of Libra's many friends, and Libra should make decisions with Taurus instead of "
    "leaving them hanging.",
    "Taurus and Scorpio:\n"
    "Opposite fixed signs with a strong, magnetic pull: both are loyal, sensual and "
    "determined. Taurus seeks calm and comfort, Scorpio depth and intensity. Jealousy and "
    "stubbornness are the risks; trust must be earned and never tested, and then this bond "
    "can last a lifetime.",
    "Taurus and Sagittarius:\n"
    "Earth and fire at an awkward angle: Taurus wants to stay and build, Sagittarius to roam "
    "and explore. Jupiter's optimism can lift Taurus, and Taurus can give Sagittarius a home "
    "worth returning to. Keep freedom and security in balance, and never try to fence the "
    "other in.",
    "Taurus and Capricorn:\n"
    "An earth trine made for the long run: both of you are patient and practical and you "
    "prize security. Capricorn brings ambition and discipline, Taurus warmth and an honest "
    "enjoyment of life's rewards. Remember to play as well as work, and say aloud the "
    "affection you both feel.",
    "Taurus and Aquarius:\n"
    "Two fixed signs in a square: Taurus holds to what is proven, Aquarius to what is new. "
    "Uranus's sudden changes can unsettle Taurus, and Taurus's routines can chafe Aquarius. "
    "With tolerance you are steadfast friends; respect each other's values rather than trying "
    "to convert them.",
    "Taurus and Pisces:\n"
    "A gentle sextile of earth and water: Taurus gives Pisces a safe harbor, and Pisces gives "
    "Taurus imagination, romance and tenderness. You share a love of music and beauty. Taurus "
    "must be patient with Pisces's shifting moods, and Pisces should be straightforward about "
    "money and plans.",
    // Gemini
    "Gemini and Gemini:\n"
    "Two Mercury-ruled twins make a witty, curious and talkative couple who never run out of "
    "things to discuss. Life stays lively and varied. The risk is that nothing ever settles; "
    "choose a few commitments you share, follow them through, and talk about feelings as well "
    "as ideas.",
    "Gemini and Cancer:\n"
    "Neighbors of air and water: Gemini thinks its way through life and Cancer feels its way. "
    "Gemini brings lightness and humor, Cancer care and a real home. Gemini should take "
    "Cancer's moods seriously, and Cancer should not hear every light remark as a rejection.",
    "Gemini and Leo:\n"
    "A bright sextile of air and fire: Gemini's wit amuses Leo, and Leo's warmth and style "
    "delight Gemini. Together you enjoy friends, parties and a busy social life. Gemini must "
    "give Leo the loyal attention it needs, and Leo must not expect Gemini to follow its "
    "script.",
    "Gemini and Virgo:\n"
    "Both signs are ruled by Mercury and love ideas, but Gemini skims many subjects while "
    "Virgo masters a few. This mutable square sparks good conversation and some nervous "
    "friction. Virgo should relax its standards, Gemini should finish what it starts, and "
    "both should worry less.",
    "Gemini and Libra:\n"
    "An easy air trine: conversation, charm and shared interests come naturally. Libra's "
    "grace and sense of fairness suit Gemini's quick mind, and neither of you smothers the "
    "other. Both can dodge hard choices and unwelcome truths, so make sure someone takes the "
    "wheel when it matters.",
    "Gemini and Scorpio:\n"
    "Light, curious Gemini and deep, private Scorpio form a demanding combination. Scorpio "
    "wants total commitment; Gemini wants freedom to roam, chat and flirt. Gemini must prove "
    "trustworthy and Scorpio must ease its suspicion; if both stay honest, each gains from "
    "the other's way of seeing.",
    "Gemini and Sagittarius:\n"
    "Opposite mutable signs, ruled by Mercury and Jupiter: the student and the philosopher. "
    "Both of you love travel, talk and freedom, and together life becomes an adventure. "
    "Neither is fond of routine or detail, so share the chores fairly and give your restless "
    "spirits some common ground.",
    "Gemini and Capricorn:\n"
    "Youthful Gemini and mature Capricorn see life from very different angles. Capricorn "
    "offers structure, ambition and reliability; Gemini offers versatility and a light heart. "
    "Capricorn should not dismiss Gemini as frivolous, and Gemini should respect Capricorn's "
    "need for plans and results.",
    "Gemini and Aquarius:\n"
    "An air trine of lively minds: Gemini's curiosity and Aquarius's original ideas make a "
    "friendship of equals. Both need space, and both are happy to give it. Warmth is the "
    "thing to watch; show feeling as well as interest, and a meeting of minds can become a "
    "meeting of hearts.",
    "Gemini and Pisces:\n"
    "Two mutable signs in a square: Gemini lives in thought, Pisces in feeling and "
    "imagination. Pisces's sensitivity can be bruised by Gemini's teasing, and Gemini can "
    "feel lost in Pisces's moods. Kindness, honesty and a creative project you share will "
    "help bridge the gap.",
    // Cancer
    "Cancer and Cancer:\n"
    "Two Moon-ruled water signs understand each other's feelings almost without words. Home, "
    "family and emotional security come first for you both, and nurture flows both ways. "
    "Moods can feed on each other, though; take turns being the strong one, and never sulk in "
    "silence.",
    "Cancer and Leo:\n"
    "Neighbors ruled by the Moon and the Sun: Cancer's tender care and Leo's warm generosity "
    "can make a loving home. Leo gives confidence, Cancer devotion. Cancer should not feel "
    "slighted by Leo's need for an audience, and Leo should handle Cancer's sensitive heart "
    "gently.",
    "Cancer and Virgo:\n"
    "A helpful sextile of water and earth: both of you care for others, Cancer through "
    "feeling and Virgo through practical service. Together you keep a tidy, secure home. "
    "Virgo should soften its criticism, and Cancer should let go of small worries; both of "
    "you need regular reassurance.",
    "Cancer and Libra:\n"
    "Two cardinal signs in a square: Cancer looks inward to home and family, Libra outward to "
    "company and society. Both want harmony but mean different things by it. Libra should "
    "honor Cancer's feelings, Cancer should accept Libra's need for people, and both should "
    "speak up plainly.",
    "Cancer and Scorpio:\n"
    "A deep water trine: emotional, loyal and intuitive, this pair can form an intense and "
    "lasting bond. Scorpio offers strength and passion, Cancer tenderness and a safe home. "
    "Watch for jealousy and for old hurts nursed in private; forgive openly and the bond will "
    "hold.",
    "Cancer and Sagittarius:\n"
    "The homebody and the wanderer: Cancer wants roots, Sagittarius horizons. Jupiter's humor "
    "and optimism can lift Cancer's moods, and Cancer can give Sagittarius a welcome to come "
    "back to. Sagittarius must mind its blunt tongue, and Cancer must not cling when its "
    "partner needs to roam.",
    "Cancer and Capricorn:\n"
    "Opposite cardinal signs, the Moon and Saturn: the nurturer and the provider. Both value "
    "family, tradition and security, and together you can build something solid. Capricorn "
    "must show its feelings openly, and Cancer must see that hard work is one of Capricorn's "
    "ways of loving.",
    "Cancer and Aquarius:\n"
    "Warm, private Cancer and cool, sociable Aquarius make an unusual match. Cancer wants "
    "closeness; Aquarius wants freedom and a wide circle of friends. Aquarius should not "
    "treat Cancer's feelings as irrational, and Cancer should not smother; letting friendship "
    "come first makes this work.",
    "Cancer and Pisces:\n"
    "A tender water trine: sympathetic, imaginative and romantic, you understand each other's "
    "feelings deeply. Cancer gives Pisces security, and Pisces gives Cancer compassion and "
    "dreams. Together you must keep a foot in practical reality and not hide from the world "
    "in each other.",
    // Leo
    "Leo and Leo:\n"
    "Two Sun-ruled lions make a generous, dramatic and warm-hearted couple who love to "
    "celebrate life. Loyalty and affection are abundant. Both need to be admired, so take "
    "turns in the spotlight, applaud each other sincerely, and never let pride make an "
    "apology impossible.",
    "Leo and Virgo:\n"
    "Neighbors of fire and earth: Leo brings warmth and confidence, Virgo care, discretion "
    "and practical help. Virgo's modesty balances Leo's flair. Virgo must criticize gently "
    "and praise often, and Leo must notice and value the quiet devotion that Virgo shows in "
    "small daily things.",
    "Leo and Libra:\n"
    "A graceful sextile of fire and air: both love beauty, society and romance, and together "
    "you make a charming, well-matched couple. Leo leads with warmth, Libra with diplomacy. "
    "Watch for extravagance and vanity, and let Libra's sense of fairness temper Leo's pride.",
    "Leo and Scorpio:\n"
    "Two fixed signs in a square: Leo's open warmth meets Scorpio's hidden intensity. The "
    "attraction is powerful and both are fiercely loyal, but neither likes to yield. Avoid "
    "battles of will; Leo should respect Scorpio's privacy, and Scorpio should never wound "
    "Leo's pride in a test of love.",
    "Leo and Sagittarius:\n"
    "A joyful fire trine: generous, optimistic and adventurous, you share laughter, travel "
    "and big plans. The Sun and Jupiter both love to expand and shine. Sagittarius must not "
    "let its love of freedom look like indifference, and Leo must not ask for constant "
    "attention.",
    "Leo and Capricorn:\n"
    "The Sun's warmth meets Saturn's reserve. Both of you are ambitious and value dignity and "
    "achievement, so you can accomplish much side by side. Leo should accept Capricorn's "
    "caution with money and feelings, and Capricorn should give Leo the open praise and "
    "affection it needs.",
    "Leo and Aquarius:\n"
    "Opposite fixed signs: Leo's heart meets Aquarius's mind, the personal meets the "
    "collective. The attraction is strong, and each widens the other's world. Leo must not "
    "feel neglected by Aquarius's many causes, and Aquarius must offer warmth and loyalty as "
    "well as friendship.",
    "Leo and Pisces:\n"
    "Radiant Leo and gentle, imaginative Pisces share a love of romance and the arts. Leo "
    "protects and Pisces adores, and at first that suits you both. Leo should be gentle with "
    "Pisces's sensitivity, and Pisces should be clear and reliable rather than elusive; "
    "respect keeps the dream alive.",
    // Virgo
    "Virgo and Virgo:\n"
    "Two Mercury-ruled Virgos make a careful, considerate and hardworking pair who share high "
    "standards and a love of order. Each appreciates the other's help. The danger is "
    "criticism and worry doubled; be as gentle with each other as you are thorough, and make "
    "time simply to relax.",
    "Virgo and Libra:\n"
    "Side by side and ruled by Mercury and Venus, Virgo brings care and precision, Libra "
    "charm and a sense of beauty. Both of you are refined and considerate. Virgo must not "
    "nag, and Libra must not leave every decision open; shared taste and good manners make "
    "daily life a pleasure.",
    "Virgo and Scorpio:\n"
    "A perceptive sextile of earth and water: both are observant, discreet and devoted once "
    "committed. Scorpio's depth intrigues Virgo, and Virgo's reliability reassures Scorpio. "
    "Watch for criticism meeting suspicion; speak plainly, and keep each other's confidences "
    "faithfully.",
    "Virgo and Sagittarius:\n"
    "Two mutable signs in a square: Virgo studies the details, Sagittarius the big picture. "
    "Both love to learn but go about it differently. Sagittarius should not brush off Virgo's "
    "concerns, and Virgo should not fence in Sagittarius's enthusiasm; a purpose you share "
    "will align your efforts.",
    "Virgo and Capricorn:\n"
    "An earth trine of sound sense: responsible, practical and loyal, you build steadily "
    "toward shared goals. Capricorn brings ambition, Virgo an eye for detail, and both "
    "respect hard work. Work can crowd out tenderness, so set time aside for pleasure and say "
    "what you feel.",
    "Virgo and Aquarius:\n"
    "Precise Virgo and inventive Aquarius meet at an uneasy angle. Both are rational and keen "
    "to be useful to others, and both respect intelligence. Virgo must accept Aquarius's "
    "unconventional ways, and Aquarius must value Virgo's practical care; together you can do "
    "a great deal of good.",
    "Virgo and Pisces:\n"
    "Opposite mutable signs, Mercury and Neptune: reason meets intuition, order meets "
    "imagination. Each can heal the other, Virgo grounding Pisces and Pisces softening Virgo. "
    "Virgo must not pick apart Pisces's dreams, and Pisces must not drift away from everyday "
    "duties.",
    // Libra
    "Libra and Libra:\n"
    "Two Venus-ruled Libras make a gracious, romantic and sociable couple who love beauty and "
    "hate quarrels. Harmony comes easily. But decisions can wait forever and problems get "
    "smoothed over instead of solved; take turns choosing, and allow each other honest "
    "disagreement.",
    "Libra and Scorpio:\n"
    "Side by side in the zodiac, airy Libra is light and sociable and watery Scorpio deep and "
    "private. Venus and Pluto make a seductive pairing. Libra must be sincere and keep "
    "flirting in check, and Scorpio must not demand more intensity than Libra can give; in "
    "this match trust is everything.",
    "Libra and Sagittarius:\n"
    "A cheerful sextile of air and fire: sociable and idealistic, you share a love of travel, "
    "people and ideas. Sagittarius brings enthusiasm, Libra tact. Sagittarius's blunt honesty "
    "can bruise Libra, and Libra's indecision can frustrate Sagittarius; a sense of humor "
    "carries you both.",
    "Libra and Capricorn:\n"
    "Two cardinal signs in a square: Libra wants harmony and company, Capricorn achievement "
    "and order. Both value partnership and a good name. Capricorn should not turn cold or "
    "controlling, and Libra should take responsibilities seriously; fair compromise is the "
    "key to this match.",
    "Libra and Aquarius:\n"
    "An air trine of friendship and shared ideals: both of you are sociable, fair-minded and "
    "interested in people. Libra brings grace and warmth, Aquarius originality and vision. "
    "Aquarius should not become too detached, and Libra should not expect agreement on "
    "everything.",
    "Libra and Pisces:\n"
    "Venus and Neptune meet at an awkward angle: romantic, artistic and kind, you share a "
    "love of beauty and peace. But both of you avoid conflict and practical matters. Someone "
    "must take charge of daily life, and each should say honestly what they want rather than "
    "hoping the other will guess.",
    // Scorpio
    "Scorpio and Scorpio:\n"
    "Two Pluto-ruled Scorpios form an intense, passionate and deeply loyal bond; each "
    "understands the other's depths. But jealousy, secrecy and power struggles are doubled as "
    "well. Be open with each other, and never use what you know of your partner as a weapon.",
    "Scorpio and Sagittarius:\n"
    "Neighbors of water and fire: Scorpio is intense and private, Sagittarius open and free. "
    "Each has something to teach, depth for Sagittarius and optimism for Scorpio. Sagittarius "
    "should be tactful and faithful, and Scorpio less possessive; give each other both "
    "closeness and space.",
    "Scorpio and Capricorn:\n"
    "A powerful sextile of water and earth: determined, ambitious and loyal, you both keep "
    "your feelings guarded. Together you can build something that lasts. Let each other in "
    "emotionally, and put your combined strength into shared goals instead of a contest for "
    "control.",
    "Scorpio and Aquarius:\n"
    "Two fixed signs in a square: Scorpio feels intensely, Aquarius thinks independently, and "
    "both are very strong-willed. Pluto and Uranus both love change, but on their own terms. "
    "Scorpio must not be possessive of Aquarius's freedom, and Aquarius must not be offhand "
    "about Scorpio's feelings.",
    "Scorpio and Pisces:\n"
    "A deep water trine: intuitive, romantic and compassionate, you understand each other "
    "without words. Scorpio gives strength and protection, Pisces gentleness and imagination. "
    "Keep your shared world honest and grounded, and do not let moods or secrets drift "
    "between you.",
    // Sagittarius
    "Sagittarius and Sagittarius:\n"
    "Two Jupiter-ruled archers form a cheerful, adventurous and freedom-loving pair, always "
    "ready for a journey or a new idea. Frankness comes easily and boredom rarely. But nobody "
    "wants to mind the practical details; share the chores, keep your promises, and keep "
    "faith with each other.",
    "Sagittarius and Capricorn:\n"
    "Jupiter meets Saturn in neighboring signs: optimism meets caution, expansion meets "
    "discipline. Sagittarius can lighten Capricorn's load, and Capricorn can help Sagittarius "
    "turn dreams into achievements. Respect each other's pace and values, and do not try to "
    "change each other.",
    "Sagittarius and Aquarius:\n"
    "A lively sextile of fire and air: both of you are idealistic, independent and curious "
    "about the wider world. Friendship comes first here and freedom is respected. Remember to "
    "show affection and make time for each other, so that the partnership stays personal and "
    "not merely companionable.",
    "Sagittarius and Pisces:\n"
    "Two mutable signs in a square, both once ruled by Jupiter: idealistic, kind and drawn to "
    "the spiritual. Sagittarius is direct and outgoing, Pisces gentle and sensitive. "
    "Sagittarius should choose its words with care, and Pisces should say what it feels "
    "instead of retreating.",
    // Capricorn
    "Capricorn and Capricorn:\n"
    "Two Saturn-ruled Capricorns form a responsible, ambitious and loyal partnership. Each "
    "respects the other's discipline and goals, and together you achieve a great deal. But "
    "life can become all work and no play; make room for fun, and show the feelings you keep "
    "so well hidden.",
    "Capricorn and Aquarius:\n"
    "Neighbors that share Saturn as their old ruler: Capricorn is traditional, Aquarius "
    "progressive, and both are practical and independent. Capricorn must accept Aquarius's "
    "unconventional ideas, and Aquarius must respect Capricorn's need for order; each keeps "
    "the other honest.",
    "Capricorn and Pisces:\n"
    "A gentle sextile of earth and water: Capricorn gives Pisces structure and security, and "
    "Pisces gives Capricorn imagination and tenderness. Capricorn should be patient with "
    "Pisces's moods and dreams, and Pisces should be dependable in the practical matters "
    "Capricorn cares about.",
    // Aquarius
    "Aquarius and Aquarius:\n"
    "Two Uranus-ruled Aquarians form an original, independent and friendly pair, sharing "
    "ideals and a wide circle of friends. Freedom is never a problem between you. Warmth may "
    "be; show affection, share personal feelings as well as ideas, and do not let detachment "
    "become distance.",
    "Aquarius and Pisces:\n"
    "The last two signs of the zodiac: Aquarius is detached and rational, Pisces emotional "
    "and intuitive, and both are humane idealists who want a better world. Aquarius should "
    "offer warmth and patience, and Pisces should not expect to be rescued; shared causes "
    "bring you together.",
    // Pisces
    "Pisces and Pisces:\n"
    "Two Neptune-ruled Pisces make a gentle, romantic and imaginative pair who understand "
    "each other's dreams and feelings. But neither enjoys practical matters; share the bills "
    "and chores, help each other face reality, and do not let sympathy turn into shared "
    "escapism.",
};

constexpr bool headingsMatchPairs()
{
    using namespace std::string_view_literals;
    for (int a = 0; a < SignCount; ++a) {
        for (int b = a; b < SignCount; ++b) {
            std::string_view text = Texts[compatibilityIndex(a, b)];
            const std::string_view first = SignNames[a];
            const std::string_view second = SignNames[b];
            if (!text.starts_with(first))
                return false;
            text.remove_prefix(first.size());
            if (!text.starts_with(" and "sv))
                return false;
            text.remove_prefix(5);
            if (!text.starts_with(second))
                return false;
            text.remove_prefix(second.size());
            if (!text.starts_with(":\n"sv))
                return false;
        }
    }
    return true;
}
static_assert(headingsMatchPairs(), "a compatibility text is out of its place");

}  // namespace

std::string_view compatibilityText(Sign a, Sign b)
{
    if (a > b)
        std::swap(a, b);
    return Texts[compatibilityIndex(index(a), index(b))];
}

const std::array<std::string_view, CompatibilityTextCount>& compatibilityTexts() { return Texts; }

}  // namespace zodiara

#include "lore/lorecommands.h"

#include <optional>

#include "lore/compatibilitytexts.h"
#include "lore/signtexts.h"

namespace zodiara {

namespace {

constexpr int UsageError = 2;
constexpr std::string_view SignForms = "a sign name, an index 0..11 or a birthday MM-DD";

std::optional<Sign> signArgument(std::string_view command, std::string_view text, std::ostream& err)
{
    const auto sign = parseSign(text);
    if (!sign)
        err << "zodiara-chart: " << command << ": \"" << text << "\" is not a sign; give " << SignForms << ".\n";
    return sign;
}

void appendLine(std::string& out, std::string_view label, std::string_view value)
{
    out += label;
    out.append(label.size() < 17 ? 17 - label.size() : 1, ' ');
    out += value;
    out += '\n';
}

}  // namespace

std::string traitsReport(Sign sign)
{
    const SignTraits t = signTraits(sign);
    std::string out = "Your sign is ";
    out += t.name;
    out += " the ";
    out += t.symbol;
    out += '\n';
    appendLine(out, "Birthdays:", t.dateRange);
    appendLine(out, "Quality:", t.quality);
    appendLine(out, "Element:", t.element);
    appendLine(out, "Principle:", t.principle);
    appendLine(out, "Ruled by:", t.ruler);
    appendLine(out, "Opposite sign:", t.opposite);
    appendLine(out, "Key phrase:", t.keyPhrase);
    appendLine(out, "Key word:", t.keyWord);
    appendLine(out, "Lucky Numbers:", t.luckyNumbers);
    appendLine(out, "Anatomy:", t.anatomy);
    appendLine(out, "Positive traits:", t.positiveTraits);
    appendLine(out, "Negative traits:", t.negativeTraits);
    return out;
}

int runTraitsCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 1) {
        err << "zodiara-chart: traits: expected one sign (" << SignForms << ").\n";
        return UsageError;
    }
    const auto sign = signArgument("traits", args[0], err);
    if (!sign)
        return UsageError;
    out << traitsReport(*sign);
    return 0;
}

int runCompatibilityCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 2) {
        err << "zodiara-chart: compatibility: expected two signs (each " << SignForms << ").\n";
        return UsageError;
    }
    const auto yours = signArgument("compatibility", args[0], err);
    if (!yours)
        return UsageError;
    const auto partners = signArgument("compatibility", args[1], err);
    if (!partners)
        return UsageError;
    out << compatibilityText(*yours, *partners) << '\n';
    return 0;
}

}  // namespace zodiara

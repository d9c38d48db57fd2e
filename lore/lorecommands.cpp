#include "lore/lorecommands.h"

#include <optional>
#include <utility>

#include "lore/compatibilitytexts.h"
#include "lore/signtexts.h"

namespace zodiara {

namespace {

constexpr std::string_view SignForms = "a sign name, an index 0..11 or a birthday MM-DD";

LoreAnswer refused(std::string reason) { return {LoreUsageError, {}, std::move(reason)}; }

std::string notASign(std::string_view command, std::string_view text)
{
    return std::string(command) + ": \"" + std::string(text) + "\" is not a sign; give " + std::string(SignForms) + ".";
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

LoreAnswer runTraitsCommand(std::span<const std::string_view> args)
{
    if (args.size() != 1)
        return refused("traits: expected one sign (" + std::string(SignForms) + ").");
    const auto sign = parseSign(args[0]);
    if (!sign)
        return refused(notASign("traits", args[0]));
    return {0, traitsReport(*sign), {}};
}

LoreAnswer runCompatibilityCommand(std::span<const std::string_view> args)
{
    if (args.size() != 2)
        return refused("compatibility: expected two signs (each " + std::string(SignForms) + ").");
    const auto yours = parseSign(args[0]);
    if (!yours)
        return refused(notASign("compatibility", args[0]));
    const auto partners = parseSign(args[1]);
    if (!partners)
        return refused(notASign("compatibility", args[1]));
    return {0, std::string(compatibilityText(*yours, *partners)) + "\n", {}};
}

}  // namespace zodiara

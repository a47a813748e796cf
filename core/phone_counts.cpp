#include "core/phone_counts.h"

#include "common/json_writer.h"

namespace pelmar {
namespace {

constexpr std::array<PhoneKind, kPhoneKindCount> kKinds = {
    PhoneKind::Mobile, PhoneKind::FixedLine, PhoneKind::FixedLineOrMobile, PhoneKind::TollFree, PhoneKind::Voip,
    PhoneKind::Other,  PhoneKind::Invalid};

// The key in words: "fixed line".
std::string KindWords(PhoneKind kind) {
    std::string words(PhoneKindKey(kind));
    for (char& c : words)
        if (c == '_') c = ' ';
    return words;
}

bool Rejected(PhoneKind kind, bool mobileOnly) {
    if (kind == PhoneKind::Invalid) return true;
    return mobileOnly && kind != PhoneKind::Mobile && kind != PhoneKind::FixedLineOrMobile;
}

}  // namespace

PhoneKind KindOf(PhoneType type) {
    switch (type) {
        case PhoneType::Mobile: return PhoneKind::Mobile;
        case PhoneType::FixedLine: return PhoneKind::FixedLine;
        case PhoneType::FixedLineOrMobile: return PhoneKind::FixedLineOrMobile;
        case PhoneType::TollFree: return PhoneKind::TollFree;
        case PhoneType::Voip: return PhoneKind::Voip;
        case PhoneType::Invalid: return PhoneKind::Invalid;
        default: return PhoneKind::Other;
    }
}

std::string_view PhoneKindKey(PhoneKind kind) {
    static constexpr std::array<std::string_view, kPhoneKindCount> kKeys = {
        "mobile", "fixed_line", "fixed_line_or_mobile", "toll_free", "voip", "other", "invalid"};
    return kKeys[static_cast<std::size_t>(kind)];
}

void PhoneCounts::Count(const ParsedPhone& phone) {
    ++kinds_[static_cast<std::size_t>(KindOf(phone.type))];
    ++regions_[phone.region];
}

void WritePhoneCounts(JsonWriter& json, const PhoneCounts& counts) {
    json.BeginObject().Key("types").BeginObject();
    for (const PhoneKind kind : kKinds) json.Key(PhoneKindKey(kind)).Number(counts.Of(kind));
    json.EndObject().Key("regions").BeginObject();
    for (const auto& [region, count] : counts.Regions()) json.Key(region).Number(count);
    json.EndObject().EndObject();
}

std::string PhoneCountsLine(const PhoneCounts& counts, bool mobileOnly) {
    std::string line = "numbers:";
    for (const PhoneKind kind : kKinds) {
        if (kind != PhoneKind::Mobile && counts.Of(kind) == 0) continue;
        if (kind != PhoneKind::Mobile) line += ',';
        line += ' ' + std::to_string(counts.Of(kind)) + ' ' + KindWords(kind);
        if (Rejected(kind, mobileOnly)) line += " (rejected)";
    }
    return line;
}

}  // namespace pelmar

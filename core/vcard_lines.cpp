#include "core/vcard_lines.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "common/error.h"
#include "common/text.h"

namespace pelmar {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::ranges::transform(upper, upper.begin(), AsciiUpper);
    return upper;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// The name without its group: "item1.TEL" is TEL.
std::string_view WithoutGroup(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? name : name.substr(dot + 1);
}

// A 2.1 parameter written without its name is an encoding, a value kind or,
// mostly, a type.
std::string BareParameterName(std::string_view value) {
    for (const std::string_view encoding : {"QUOTED-PRINTABLE", "BASE64", "B", "8BIT", "7BIT"})
        if (EqualsNoCase(value, encoding)) return "ENCODING";
    for (const std::string_view kind : {"INLINE", "URL", "URI", "CID", "CONTENT-ID"})
        if (EqualsNoCase(value, kind)) return "VALUE";
    return "TYPE";
}

void AddParameter(std::string_view text, std::vector<VcardParameter>& parameters) {
    text = TrimBlanks(text);
    if (text.empty()) return;
    const std::size_t equals = text.find('=');
    std::string name =
        equals == std::string_view::npos ? BareParameterName(text) : Upper(TrimBlanks(text.substr(0, equals)));
    std::string value(equals == std::string_view::npos ? text : TrimBlanks(text.substr(equals + 1)));
    std::erase(value, '"');
    if (name != "TYPE") {
        parameters.push_back({std::move(name), std::move(value)});
        return;
    }
    // Types are compared in lower case, one value each: TYPE=cell,voice and
    // TYPE="cell,pref" are two.
    std::ranges::transform(value, value.begin(), AsciiLower);
    for (std::size_t at = 0; at <= value.size();) {
        const std::size_t comma = std::min(value.find(',', at), value.size());
        const std::string_view type = TrimBlanks(std::string_view(value).substr(at, comma - at));
        if (!type.empty()) parameters.push_back({"TYPE", std::string(type)});
        at = comma + 1;
    }
}

bool IsBinary(const VcardProperty& property) {
    for (const std::string_view name : {"PHOTO", "LOGO", "SOUND", "KEY"})
        if (property.name == name) return true;
    const std::string_view encoding = property.Parameter("ENCODING");
    return EqualsNoCase(encoding, "B") || EqualsNoCase(encoding, "BASE64");
}

}  // namespace

TextPieces PiecesOf(std::string_view text, std::size_t size) {
    return [text, size = std::max<std::size_t>(size, 1), at = std::size_t{0}]() mutable {
        const std::string_view piece = text.substr(std::min(at, text.size()), size);
        at += piece.size();
        return piece;
    };
}

bool VcardLineReader::Next(std::string_view& line) {
    for (;;) {
        const std::size_t end = text_.find_first_of("\r\n", pos_);
        // A CR last in what is read so far may have its LF in the next piece.
        if (end != std::string::npos && (end + 1 < text_.size() || text_[end] == '\n' || atEnd_)) {
            line = std::string_view(text_).substr(pos_, end - pos_);
            pos_ = end + (text_.compare(end, 2, "\r\n") == 0 ? 2 : 1);
            break;
        }
        if (atEnd_) {
            if (pos_ >= text_.size()) return false;
            line = std::string_view(text_).substr(pos_);
            pos_ = text_.size();
            break;
        }
        text_.erase(0, pos_);
        pos_ = 0;
        const std::string_view piece = pieces_();
        if (piece.empty()) atEnd_ = true;
        text_.append(piece);
    }
    if (number_ == std::numeric_limits<int32_t>::max()) throw Error(errnum::Overflow, "Overflow");
    ++number_;
    return true;
}

std::string_view VcardProperty::Parameter(std::string_view name) const {
    for (const VcardParameter& parameter : parameters)
        if (parameter.name == name) return parameter.value;
    return {};
}

bool VcardProperty::HasType(std::string_view type) const {
    return std::ranges::any_of(parameters,
                               [&](const VcardParameter& p) { return p.name == "TYPE" && p.value == type; });
}

bool VcardProperty::HasTypeOtherThan(std::initializer_list<std::string_view> allowed) const {
    return std::ranges::any_of(parameters, [&](const VcardParameter& p) {
        return p.name == "TYPE" && std::ranges::find(allowed, p.value) == allowed.end();
    });
}

int VcardProperty::Preference() const {
    int preference = HasType("pref") ? 1 : 0;
    for (const VcardParameter& parameter : parameters) {
        if (parameter.name != "PREF") continue;
        int n = 1;  // a PREF without a number still prefers
        const auto [end, error] =
            std::from_chars(parameter.value.data(), parameter.value.data() + parameter.value.size(), n);
        if (error != std::errc() || n < 1 || n > 100) n = 1;
        preference = preference == 0 ? n : std::min(preference, n);
    }
    return preference;
}

bool VcardProperty::QuotedPrintable() const { return EqualsNoCase(Parameter("ENCODING"), "QUOTED-PRINTABLE"); }

namespace {

// Parses the part of `line` before its first unquoted colon into `property`
// (name and parameters) and returns where the colon is; npos when there is
// none.
std::size_t ParsePropertyHead(std::string_view line, VcardProperty& property) {
    property.parameters.clear();
    std::size_t end = line.find_first_of(";:");
    if (end == std::string_view::npos) return std::string_view::npos;
    property.name = Upper(TrimBlanks(WithoutGroup(line.substr(0, end))));
    bool quoted = false;
    std::size_t start = end + 1;
    for (std::size_t at = end; at < line.size(); ++at) {
        const char c = line[at];
        if (at > end && c == '"') quoted = !quoted;
        if (quoted || (c != ';' && c != ':')) continue;
        if (at > end) AddParameter(line.substr(start, at - start), property.parameters);
        if (c == ':') return at;
        start = at + 1;
    }
    return std::string_view::npos;
}

}  // namespace

PropertyStart StartProperty(std::string_view line, VcardProperty& head) {
    PropertyStart start;
    head.name.clear();
    head.parameters.clear();
    // A blank line, or a line that continues a property skipped before it
    // (2.1 ends its base64 values with a blank line), starts nothing.
    if (line.empty() || IsBlank(line.front())) return start;
    start.colon = ParsePropertyHead(line, head);
    if (start.colon == std::string_view::npos || head.name.empty()) return PropertyStart{};
    start.quotedPrintable = head.QuotedPrintable();
    start.binary = IsBinary(head);
    if (EqualsNoCase(TrimBlanks(line.substr(start.colon + 1)), "VCARD"))
        start.boundary = head.name == "BEGIN" ? 1 : head.name == "END" ? -1 : 0;
    return start;
}

int CardBoundaryOf(std::string_view line) {
    VcardProperty head;
    return StartProperty(line, head).boundary;
}

LineJoin JoinOf(const PropertyStart& start, bool previousEndsInEquals, std::string_view next) {
    if (start.quotedPrintable && previousEndsInEquals) {
        // A file cut after a soft break still has its card's end, and the
        // reason the rejects file adds after the last property stays its own.
        VcardProperty head;
        if (StartProperty(next, head).boundary != -1 && head.name != kRejectedProperty) return LineJoin::SoftBreak;
    }
    if (!next.empty() && IsBlank(next.front())) return LineJoin::Fold;
    return LineJoin::None;
}

bool VcardPropertyReader::NextLine(std::string_view& line) {
    if (hasPending_) {
        hasPending_ = false;
        line = pending_;
        return true;
    }
    pendingNumber_ = 0;
    return lines_.Next(line);
}

void VcardPropertyReader::Join(const PropertyStart& start, bool endsInEquals) {
    for (std::string_view next; lines_.Next(next);) {
        const LineJoin join = JoinOf(start, endsInEquals, next);
        if (join == LineJoin::None) {
            pending_.assign(next);
            pendingNumber_ = lines_.Number();
            hasPending_ = true;
            return;
        }
        endsInEquals = next.ends_with('=');
        if (start.binary || start.colon == std::string::npos) continue;
        if (join == LineJoin::SoftBreak) {
            logical_.pop_back();
            logical_.append(next);
        } else {
            logical_.append(version21_ ? next : next.substr(1));
        }
    }
}

bool VcardPropertyReader::Next(VcardProperty& property) {
    for (std::string_view line; NextLine(line);) {
        const int32_t first = pendingNumber_ ? pendingNumber_ : lines_.Number();
        const PropertyStart start = StartProperty(line, property);
        // Only the first line of a binary value is ever held.
        logical_.assign(line);
        Join(start, line.ends_with('='));
        if (start.colon == std::string::npos || start.binary) continue;
        property.line = first;
        property.value.assign(logical_, start.colon + 1);
        property.boundary = start.boundary;
        if (start.boundary == 1) version21_ = false;
        if (property.name == "VERSION") version21_ = TrimBlanks(property.value) == "2.1";
        return true;
    }
    return false;
}

}  // namespace pelmar

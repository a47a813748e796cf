#pragma once
// vCard text as properties (2.1, 3.0 and 4.0 alike): physical lines, then
// content lines unfolded into one property each, with the property's group,
// name and parameters parsed and its value left as written (still escaped and
// still quoted-printable). The text comes decoded a piece at a time, so that
// a file of any size is never held whole.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelmar {

// Decoded text, a piece at a time; an empty piece ends it. A piece stays
// valid until the next call.
using TextPieces = std::function<std::string_view()>;

// Pieces of `text` (which must outlive them) of at most `size` bytes.
TextPieces PiecesOf(std::string_view text, std::size_t size);

// Lines ended by CR LF, CR or LF: phones and address books write all three.
class VcardLineReader {
public:
    explicit VcardLineReader(TextPieces pieces) : pieces_(std::move(pieces)) {}

    // The next line without its end, valid until the next call; false at the
    // end of the text.
    bool Next(std::string_view& line);
    // The number of the line Next gave last, from 1.
    int32_t Number() const noexcept { return number_; }

private:
    TextPieces pieces_;
    std::string text_;  // read, not yet returned from pos_ on
    std::size_t pos_ = 0;
    bool atEnd_ = false;
    int32_t number_ = 0;
};

struct VcardParameter {
    std::string name;   // upper case; a 2.1 bare value is filed under its parameter
    std::string value;  // without its quotes
};

struct VcardProperty {
    int32_t line = 0;  // of its first physical line
    std::string name;  // upper case, without its group ("item1.TEL" is TEL)
    std::vector<VcardParameter> parameters;
    std::string value;  // unfolded, as written
    int boundary = 0;   // as PropertyStart says

    // The first value of parameter `name` (upper case); "" when it has none.
    std::string_view Parameter(std::string_view name) const;
    // Whether a TYPE value (any case; lists split at commas) is `type` (lower case).
    bool HasType(std::string_view type) const;
    // Whether any TYPE value is outside `allowed` (lower case).
    bool HasTypeOtherThan(std::initializer_list<std::string_view> allowed) const;
    // 1..100 for a preferred property (PREF=n, or a pref type as 1); 0 when not.
    int Preference() const;
    bool QuotedPrintable() const;
};

// What the first physical line of a property says about it. That line
// alone decides what the property is and how the lines after it join it, so
// that the reader and the rejects file, which copies lines, judge alike.
struct PropertyStart {
    std::size_t colon = std::string_view::npos;  // npos: the line starts no property
    bool quotedPrintable = false;
    bool binary = false;  // PHOTO, LOGO, SOUND, KEY, or a base64 value
    int boundary = 0;     // +1 for BEGIN:VCARD, -1 for END:VCARD (any case, any group)
};
// Parses the name and parameters of `line` into `head`.
PropertyStart StartProperty(std::string_view line, VcardProperty& head);

// +1 / -1 when the physical line `line` starts BEGIN:VCARD / END:VCARD, else 0.
int CardBoundaryOf(std::string_view line);

enum class LineJoin {
    None,       // `next` starts something new
    Fold,       // it begins with a blank or a tab
    SoftBreak,  // the quoted-printable line before it ended in "="
};
// The property the rejects file adds to a card, which the reader ignores.
inline constexpr std::string_view kRejectedProperty = "X-PELMAR-REJECTED";

// How the physical line `next` joins the property begun as `start`, whose
// last line so far ended in "=" or not. A soft break never takes END:VCARD
// or an X-PELMAR-REJECTED line.
LineJoin JoinOf(const PropertyStart& start, bool previousEndsInEquals, std::string_view next);

// Properties unfolded from physical lines: a line that begins with a blank or
// a tab continues the one before it (2.1 keeps that blank, 3.0 and 4.0 drop
// it); a quoted-printable value whose line ends in "=" goes on in the next
// line. Binary values (PHOTO, LOGO, SOUND, KEY, and any value encoded in
// base64) are skipped as their lines come, never gathered. Blank lines and
// lines that are no property are skipped too, with the lines joined to them.
class VcardPropertyReader {
public:
    explicit VcardPropertyReader(TextPieces pieces) : lines_(std::move(pieces)) {}

    // The next property; false at the end of the text.
    bool Next(VcardProperty& property);
    // Physical lines read so far, for a progress bar.
    int32_t LinesRead() const noexcept { return lines_.Number(); }

private:
    bool NextLine(std::string_view& line);
    // The lines after a property's first, unfolded onto logical_.
    void Join(const PropertyStart& start, bool endsInEquals);

    VcardLineReader lines_;
    std::string pending_;  // a line read ahead that starts the next property
    int32_t pendingNumber_ = 0;
    bool hasPending_ = false;
    bool version21_ = false;  // the current card says VERSION:2.1
    std::string logical_;
};

}  // namespace pelmar

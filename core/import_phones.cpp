#include "core/import_phones.h"

#include <algorithm>

#include "common/error.h"
#include "core/import_run.h"
#include "core/normalise.h"
#include "core/phone_region.h"

namespace pelmar {
namespace {

using F = ContactField;

// A field's text as the run reads it: whole and trimmed when normalised,
// through the field lookup otherwise. A field the mapping could not resolve
// reads as nothing; the run itself records why.
std::string ReadAsTheRunDoes(const RecordStore& rows, const ColumnMapping& mapping, int32_t n, ContactField field,
                             bool normalised) {
    const FieldSource& source = mapping.Source(field);
    if (source.failure || source.position < 0) return {};
    if (!normalised) {
        std::string value;
        LookUpField(
            rows, n, source, [](const ErrorInfo&, const std::string&, LogStamp) {}, value);
        return value;
    }
    if (source.position == 0) return TrimValue(rows.RowText(n));
    if (source.position <= rows.SubItemCount(n)) return TrimValue(rows.SubItem(n, source.position));
    return {};
}

}  // namespace

bool ImportPhones::On() const noexcept { return options_.parsePhones; }

void ImportPhones::Start(const RecordStore& rows, const ColumnMapping& mapping, bool normalised) {
    if (!On()) return;
    regions_ = {"", ""};
    const int32_t count = rows.RowCount();
    regionOf_.assign(static_cast<std::size_t>(count), kNoRegion);
    std::vector<PhoneRequest> requests(static_cast<std::size_t>(count));
    for (int32_t n = 1; n <= count; ++n) {
        const RegionLookup region =
            RecordRegion(ReadAsTheRunDoes(rows, mapping, n, F::CountryCode, normalised), options_.phoneRegion);
        uint16_t& index = regionOf_[static_cast<std::size_t>(n - 1)];
        if (!region) {
            if (!region.reason.empty()) {
                index = kUnknownRegion;
                unknown_.emplace(n, region.reason);
            }
            continue;
        }
        // A run names few regions: a short search beats a map here.
        const auto known = std::find(regions_.begin() + 2, regions_.end(), region.region);
        index = static_cast<uint16_t>(known - regions_.begin());
        if (known == regions_.end()) regions_.push_back(region.region);
        std::string text = ReadAsTheRunDoes(rows, mapping, n, F::MobileNumber, normalised);
        requests[static_cast<std::size_t>(n - 1)] = {normalised ? NormalisePhone(text) : std::move(text),
                                                     region.region};
    }
    parsed_ = std::make_unique<PhoneParseAhead>(std::move(requests));
}

bool ImportPhones::Begin(int32_t n) {
    current_.reset();
    if (!On()) return false;
    // Start failed (and the run recorded why): each record fails alike.
    if (!parsed_) throw Error(errnum::InvalidProcedureCall, "The mobile numbers were not read ahead of the run");
    const uint16_t index = regionOf_[static_cast<std::size_t>(n - 1)];
    if (index == kNoRegion) return false;
    if (index != kUnknownRegion) current_ = parsed_->Take(static_cast<std::size_t>(n - 1));
    return true;
}

std::optional<FieldRejection> ImportPhones::Apply(int32_t n, ContactRecord& record) {
    if (!On()) return std::nullopt;
    if (const auto unknown = unknown_.find(n); unknown != unknown_.end())
        return FieldRejection{F::CountryCode, unknown->second};
    if (!current_) return std::nullopt;
    const ParsedPhone& phone = *current_;
    counts_.Count(phone);
    if (!phone.Valid()) return FieldRejection{F::MobileNumber, phone.reason};
    if (options_.mobileOnly) {
        if (auto reason = NotMobileReason(phone)) return FieldRejection{F::MobileNumber, std::move(*reason)};
    }
    record.MobileNumber = phone.e164;
    record.CountryCode = CallingCodeText(phone);
    const std::string_view region = RegionOf(n);
    for (std::string* other : {&record.HomePhone, &record.OfficePhone, &record.Fax})
        if (!other->empty()) *other = FormatOtherPhone(*other, region);
    return std::nullopt;
}

std::string_view ImportPhones::RegionOf(int32_t n) const {
    if (!On() || n < 1 || static_cast<std::size_t>(n) > regionOf_.size()) return {};
    return regions_[regionOf_[static_cast<std::size_t>(n - 1)]];
}

}  // namespace pelmar

#include "core/contact_field.h"

namespace pelmar {

std::optional<ContactField> FieldNamed(std::string_view name) {
    for (const ContactField field : kContactFields)
        if (FieldName(field) == name) return field;
    return std::nullopt;
}

}  // namespace pelmar

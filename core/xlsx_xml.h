#pragma once
// The XML parts of a workbook, parsed as they inflate (expat): a handler
// sees each element's start and end and its text, never a tree. A part
// that declares a document type is refused before any of its declarations
// is read, so no entity of it is ever expanded.
#include <string>
#include <string_view>

#include "core/xlsx_zip.h"

namespace pelmar::xlsx {

class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    // Names are local, without their namespace prefix ("sheet", "id").
    virtual void Start(std::string_view name, const char** attributes) = 0;
    virtual void End(std::string_view name) = 0;
    virtual void Text(std::string_view text) = 0;
};

// Parses part `part` of `archive` for `handler`. A handler that throws ends
// the parse with its exception; XML that is not well-formed is refused.
void ParsePart(const ZipArchive& archive, const std::string& part, XmlHandler& handler);

// The value of the attribute whose local name is `name`; empty when none.
std::string_view Attribute(const char** attributes, std::string_view name);

// `name` without its prefix: "r:id" is "id".
std::string_view LocalName(std::string_view name);

}  // namespace pelmar::xlsx

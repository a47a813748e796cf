#pragma once
// What the import wizard and the export dialog offer beyond their first
// form, each off or silent unless its user asks for it: a note about a
// source whose lines end in LF alone, and a file dropped on a window taken
// as if typed into its location box and left.
#include <string>
#include <string_view>

#include "forms/import_form.h"

namespace pelmar {

class ExportDialog;

inline constexpr const char* kLfOnlyHint =
    "This file's lines end in LF: tick Standard CSV to read it as one record per line";

// Whether `text` has a line feed and no carriage return.
bool EndsLinesInLfOnly(std::string_view text);
// The note under the standard CSV box: kLfOnlyHint while the loaded
// source's lines end in LF alone and the box is unticked, else "".
std::string LineEndHint(const ImportForm& form);

// A file dropped on page 1: the location box takes `path` and is checked as
// when the focus leaves it. False when the check refused it; the focus then
// goes to the box.
bool SourceDropped(ImportForm& form, const std::string& path);
// A file dropped on the export dialog: likewise for its destination box.
bool DestinationDropped(ExportDialog& dialog, const std::string& path);

}  // namespace pelmar

#pragma once
// The files the calling thread's last ImportContacts wrote besides its log,
// for hosts that point their user at them: the rejected-records (.bad) file
// when a record failed, and the standard CSV format's rejects file when it
// took a record.
#include <string>

namespace pelmar {

struct ImportForm;

struct ImportOutputs {
    std::string badFile;      // "" when not written
    std::string rejectsFile;  // "" when not written
};

const ImportOutputs& LastImportOutputs();
// What the closed wizard `form` wrote; a call that showed no wizard records
// an empty ImportOutputs.
void RecordImportOutputs(const ImportForm* form);

}  // namespace pelmar

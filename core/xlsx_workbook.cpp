#include "core/xlsx_workbook.h"

#include <map>
#include <vector>

#include "core/xlsx_xml.h"

namespace pelmar::xlsx {
namespace {

struct Relationship {
    std::string type;  // its last step: "officeDocument", "worksheet", ...
    std::string target;
    bool external = false;
};

// Far more relationships and sheets than a workbook has, few enough to keep.
constexpr std::size_t kMostEntries = 1 << 16;

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The relationships part of `source` ("xl/workbook.xml" has
// "xl/_rels/workbook.xml.rels"), by id.
class RelationshipsHandler : public XmlHandler {
public:
    void Start(std::string_view name, const char** attributes) override {
        if (name != "Relationship") return;
        if (byId_.size() >= kMostEntries) Refuse("The workbook has too many relationships.");
        std::string_view type = Attribute(attributes, "Type");
        type = type.substr(type.rfind('/') + 1);
        byId_[std::string(Attribute(attributes, "Id"))] = {std::string(type),
                                                           std::string(Attribute(attributes, "Target")),
                                                           Attribute(attributes, "TargetMode") == "External"};
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}

    std::map<std::string, Relationship> byId_;
};

std::map<std::string, Relationship> ReadRelationships(const ZipArchive& archive, const std::string& source) {
    const std::size_t slash = source.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : source.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? source : source.substr(slash + 1);
    const std::string part = folder + "_rels/" + name + ".rels";
    RelationshipsHandler handler;
    if (archive.Has(part)) ParsePart(archive, part, handler);
    return std::move(handler.byId_);
}

// The part the first internal relationship of type `type` names; empty when none.
std::string TargetOfType(const std::map<std::string, Relationship>& relationships, std::string_view source,
                         std::string_view type) {
    for (const auto& [id, relationship] : relationships)
        if (relationship.type == type && !relationship.external) return ResolveTarget(source, relationship.target);
    return {};
}

struct Sheet {
    std::string name;
    std::string id;  // of its relationship
};

class WorkbookHandler : public XmlHandler {
public:
    void Start(std::string_view name, const char** attributes) override {
        if (name == "sheet") {
            if (sheets_.size() >= kMostEntries) Refuse("The workbook has too many sheets.");
            sheets_.push_back({std::string(Attribute(attributes, "name")), std::string(Attribute(attributes, "id"))});
        } else if (name == "workbookPr") {
            const std::string_view date1904 = Attribute(attributes, "date1904");
            date1904_ = date1904 == "1" || date1904 == "true";
        }
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}

    std::vector<Sheet> sheets_;
    bool date1904_ = false;
};

}  // namespace

std::string ResolveTarget(std::string_view source, std::string_view target) {
    std::vector<std::string_view> steps;
    if (!target.starts_with('/')) {
        const std::size_t slash = source.rfind('/');
        std::string_view folder = slash == std::string_view::npos ? std::string_view() : source.substr(0, slash);
        while (!folder.empty()) {
            const std::size_t next = folder.find('/');
            steps.push_back(folder.substr(0, next));
            folder = next == std::string_view::npos ? std::string_view() : folder.substr(next + 1);
        }
    }
    for (std::string_view rest = target; !rest.empty();) {
        const std::size_t next = rest.find('/');
        const std::string_view step = rest.substr(0, next);
        rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 1);
        if (step.empty() || step == ".") continue;
        if (step == "..") {
            if (steps.empty())
                Refuse("The workbook refers to \"" + std::string(target) + "\", a path outside the archive.");
            steps.pop_back();
        } else {
            steps.push_back(step);
        }
    }
    std::string part;
    for (const std::string_view step : steps) part += std::string(part.empty() ? "" : "/") + std::string(step);
    return part;
}

WorkbookParts FindWorkbookParts(const ZipArchive& archive, std::string_view sheet) {
    const std::string workbook = TargetOfType(ReadRelationships(archive, ""), "", "officeDocument");
    if (workbook.empty() || !archive.Has(workbook)) Refuse("The file is not an xlsx workbook (no workbook part).");
    WorkbookHandler handler;
    ParsePart(archive, workbook, handler);
    const std::map<std::string, Relationship> relationships = ReadRelationships(archive, workbook);

    WorkbookParts parts;
    parts.date1904 = handler.date1904_;
    parts.sharedStrings = TargetOfType(relationships, workbook, "sharedStrings");
    parts.styles = TargetOfType(relationships, workbook, "styles");
    for (const Sheet& candidate : handler.sheets_) {
        const auto relationship = relationships.find(candidate.id);
        const bool worksheet = relationship != relationships.end() && relationship->second.type == "worksheet" &&
                               !relationship->second.external;
        if (sheet.empty() ? !worksheet : !SameNoCase(candidate.name, sheet)) continue;
        if (!worksheet) Refuse("The workbook's sheet \"" + candidate.name + "\" is not a worksheet.");
        parts.sheetName = candidate.name;
        parts.sheet = ResolveTarget(workbook, relationship->second.target);
        break;
    }
    if (parts.sheet.empty())
        Refuse(sheet.empty() ? std::string("The workbook has no worksheet.")
                             : "The workbook has no sheet named \"" + std::string(sheet) + "\".");
    if (!parts.sharedStrings.empty() && !archive.Has(parts.sharedStrings)) parts.sharedStrings.clear();
    if (!parts.styles.empty() && !archive.Has(parts.styles)) parts.styles.clear();
    return parts;
}

}  // namespace pelmar::xlsx

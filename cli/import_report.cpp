#include "cli/import_report.h"

#include "common/json_writer.h"

namespace pelmar::cli {

std::string ImportReportJson(const ImportReport& report, const ImportResult& result) {
    JsonWriter json;
    const auto pathOrNull = [&](const std::optional<std::string>& path) {
        if (path)
            json.String(*path);
        else
            json.Null();
    };
    const ImportRunCounts& c = result.Counts;
    json.BeginObject();
    json.Key("source").String(report.source).Key("format").String(report.format).Key("dryRun").Bool(report.dryRun);
    json.Key("counts").BeginObject();
    json.Key("total").Number(c.TotalRecords).Key("imported").Number(c.ImportedCount);
    json.Key("failed").Number(c.FailedCount).Key("skipped").Number(c.SkippedCount);
    json.Key("updated").Number(result.UpdatedCount).Key("committed").Number(result.CommittedCount);
    json.EndObject();
    if (result.Numbers) WritePhoneCounts(json.Key("numbers"), *result.Numbers);
    json.Key("log").String(report.log);
    json.Key("badFile");
    pathOrNull(report.badFile);
    json.Key("rejectsFile");
    pathOrNull(report.rejectsFile);
    json.Key("problems").BeginArray();
    for (const RecordProblem& p : result.Problems) {
        json.BeginObject();
        json.Key("record").Number(p.recordNumber).Key("line").Number(p.line);
        json.Key("kind").String(p.kind == RecordProblem::Kind::Rejected ? "rejected" : "failed");
        json.Key("field").String(p.field).Key("value").String(p.value).Key("reason").String(p.reason);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Text() + "\n";
}

}  // namespace pelmar::cli

#include "report_command.hpp"

#include <ostream>

namespace zerkon::cli {

int runReport(const ReportRequest& request, Console& console) {
    std::vector<FileReport> reports;
    int failures = 0;
    int tablesWritten = 0;
    for (const std::string& file : request.files) {
        FileReport report{file, previewHarmonize(file, request.range, request.elevation)};
        if (!report.preview.ok()) {
            console.err << "zerkon-cli: " << file << ": " << report.preview.reason << '\n';
            ++failures;
        }
        if (request.json) {
            reports.push_back(std::move(report)); // failures too: the document names every file asked for
        } else if (report.preview.ok()) {
            if (tablesWritten++ > 0) console.out << '\n';
            writeReportTable(console.out, report);
        }
    }
    if (request.json) console.out << reportJson(reports);
    return failures == 0 ? 0 : 1;
}

} // namespace zerkon::cli

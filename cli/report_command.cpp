#include "report_command.hpp"

#include "file_list.hpp"
#include "folders_listed_once.hpp"
#include "text_format.hpp"

#include <zerkon/file_system.hpp>
#include <zerkon/outcome.hpp>

#include <ostream>

namespace zerkon::cli {

int runReport(const ReportRequest& request, Console& console) {
    std::vector<FileReport> reports;
    int failures = 0;
    int tablesWritten = 0;
    FoldersListedOnce folders;
    for (const NamedFile& named : eachFileOnce(request.files)) {
        sayAlsoNamed(named, console.err);
        const std::string& file = named.path;
        FileReport report{file, {}};
        if (named.refusal.empty()) {
            report.preview = previewHarmonize(file, request.settings, {&folders, {}});
        } else {
            report.preview.failure = Failure::notAFile;
            report.preview.reason = named.refusal;
        }
        if (!report.preview.ok()) {
            sayAbout(console.err, file, report.preview.reason);
            ++failures;
        }
        if (request.json) {
            reports.push_back(std::move(report)); // failures too: the document names every file asked for
        } else if (report.preview.ok()) {
            if (tablesWritten++ > 0) console.out << '\n';
            writeReportTable(console.out, report, request.wide);
        }
    }
    if (request.json) console.out << reportJson(reports);
    return failures == 0 ? 0 : 1;
}

} // namespace zerkon::cli

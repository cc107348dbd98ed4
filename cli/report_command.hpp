// zerkon-cli report: what a pass would do to each station, as tables or as one JSON document. Writes nothing.
#pragma once

#include "console.hpp"

#include <zerkon/preview.hpp>
#include <zerkon/station_settings.hpp>

#include <iosfwd>
#include <string>
#include <vector>

namespace zerkon::cli {

struct ReportRequest {
    std::vector<std::string> files;
    RunSettings settings;
    bool json = false;
    bool wide = false; // every column of the table, over 100 characters wide
};

struct FileReport {
    std::string path;
    Preview preview;
};

// Returns the exit code: 0 when every file was read, 1 when any was not.
int runReport(const ReportRequest& request, Console& console);

void writeReportTable(std::ostream& out, const FileReport& report, bool wide);
std::string reportJson(const std::vector<FileReport>& reports); // with a final newline

} // namespace zerkon::cli

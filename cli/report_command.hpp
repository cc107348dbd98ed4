// zerkon-cli report: what a pass would do to each station, as tables or as one JSON document. Writes nothing.
#pragma once

#include "console.hpp"

#include <zerkon/dp_format.hpp>
#include <zerkon/preview.hpp>

#include <iosfwd>
#include <string>
#include <vector>

namespace zerkon::cli {

struct ReportRequest {
    std::vector<std::string> files;
    std::string range = kDefaultRangeText;
    std::string elevation = kDefaultElevationText;
    std::vector<StationSettings> stations; // aimed at their own settings
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

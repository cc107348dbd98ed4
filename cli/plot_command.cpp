#include "plot_command.hpp"

#include "file_list.hpp"
#include "svg_plot.hpp"
#include "text_format.hpp"

#include <zerkon/dp_names.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/outcome.hpp>
#include <zerkon/preview.hpp>
#include <zerkon/replace_file.hpp>

#include <ostream>

namespace zerkon::cli {
namespace {

// Why the picture may not be written under `svgPath` whatever is there now: a DP file or its compiled copy is never
// overwritten with a picture. Empty when the name may take one.
std::string forbiddenPictureName(const std::string& svgPath, const std::string& dpPath) {
    if (isDpName(svgPath) || nameEndsWith(svgPath, ".cdp"))
        return "a picture is never written under a .dp or .cdp name; name it .svg";
    if (sameFile(svgPath, dpPath)) return "that is the DP file itself; name the picture .svg";
    return {};
}

// Writes `bytes` to a file that did not exist; a partly written one is removed. Returns the reason of a failure.
std::string writeNewFile(FileSystem& files, const std::string& path, const std::string& bytes) {
    std::error_code error;
    const std::unique_ptr<OutputFile> output = files.createNew(path, NewFileAccess::usual, error);
    if (!output) {
        if (error == std::errc::file_exists) return "exists already; add --force to replace it";
        return "cannot create it: " + error.message();
    }
    output->write(bytes.data(), bytes.size(), error);
    if (!error) output->close(error);
    if (!error) return {};
    std::error_code ignored;
    files.remove(path, ignored);
    return "cannot write it: " + error.message();
}

} // namespace

int runPlot(const PlotRequest& request, Console& console) {
    const auto fail = [&](const std::string& file, const std::string& reason, int code) {
        sayAbout(console.err, file, reason);
        return code;
    };
    if (const std::string reason = forbiddenPictureName(request.svgPath, request.file); !reason.empty())
        return fail(request.svgPath, reason, 2);
    const Preview preview = previewHarmonize(request.file, request.settings, {request.fileSystem, {}});
    if (!preview.ok()) return fail(request.file, preview.reason, 1);

    FileSystem& files = request.fileSystem ? *request.fileSystem : machineFileSystem();
    const std::string svg = convergencePlotSvg(fileName(request.file), preview);
    // An existing picture is replaced only once the new one is complete beside it.
    const auto writeSvg = [&](InputFile*, OutputFile& output, const std::string& temporary) {
        std::error_code error;
        output.write(svg.data(), svg.size(), error);
        return error ? "cannot write \"" + temporary + "\": " + error.message() : std::string();
    };
    const std::string reason = request.force
                                   ? replaceFile(files, request.svgPath, CurrentFile::overwritten, "", writeSvg).reason
                                   : writeNewFile(files, request.svgPath, svg);
    if (!reason.empty()) return fail(request.svgPath, reason, 1);
    console.out << printable(request.svgPath) << ": " << plural(preview.counts.stationsAimed, "gun station")
                << " drawn\n";
    return 0;
}

} // namespace zerkon::cli

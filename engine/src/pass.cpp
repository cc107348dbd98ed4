#include <zerkon/pass.hpp>

#include <zerkon/dp_rewriter.hpp>
#include <zerkon/file_system.hpp>

#include "file_replacement.hpp"
#include "pass_inputs.hpp"
#include "rewrite_loop.hpp"
#include "text_stream.hpp"

namespace zerkon {
namespace {

// Both files are open; writes every line of `input` as the rewriter rewrites it into `output`. Returns the reason of a
// failure, empty on success.
std::string rewriteInto(InputFile& input, OutputFile& output, DpRewriter& rewriter, PassCounts& counts,
                        const std::string& path, const std::string& temporary) {
    CrLfWriter writer(output);
    const std::error_code readError = rewriteEachLine(input, rewriter, counts, [&](const RewrittenLine& line) {
        writer.write(line.after);
        return !writer.error();
    });
    if (!writer.error() && readError) return fileOperationReason("read", path, readError);
    writer.flushBuffer();
    if (writer.error()) return fileOperationReason("write", temporary, writer.error());
    return {};
}

} // namespace

PassResult harmonizeFile(const std::string& path, const RunSettings& settings, const PassOptions& options) {
    FileSystem& files = options.fileSystem ? *options.fileSystem : machineFileSystem();
    const PassInputs inputs = checkPassInputs(files, path, settings);
    if (!inputs.ok()) return failed<PassResult>(inputs);
    if (Outcome twin = checkNoCaseTwin(files, inputs.path); !twin.ok()) return failed<PassResult>(std::move(twin));
    DpRewriter rewriter(inputs.settings,
                        runComment(inputs.settings, passLocalTime(options)) + stationsComment(settings.stations),
                        settings.stations);
    PassResult result;
    const Replaced done =
        replaceFile(files, inputs.path, CurrentFile::keptAsBackup, inputs.path,
                    [&](InputFile* source, OutputFile& output, const std::string& temporary) {
                        return rewriteInto(*source, output, rewriter, result.counts, inputs.path, temporary);
                    });
    if (!done.reason.empty()) return failed<PassResult>(Failure::fileOperation, done.reason);

    result.backupPath = done.keptAs;
    static_cast<ReplacementNotes&>(result) = done;
    return result;
}

} // namespace zerkon

#include <zerkon/pass.hpp>

#include <zerkon/dp_rewriter.hpp>
#include <zerkon/file_system.hpp>

#include "failures.hpp"
#include "file_replacement.hpp"
#include "pass_inputs.hpp"
#include "text_stream.hpp"

#include <cstring>
#include <memory>

namespace zerkon {
namespace {

// Writes `lines`, whole lines as read. Runs of plain lines already end in CR LF, so they are copied as they are,
// in one piece up to the next line a rule looks at: handing each line to the rewriter instead makes a large pass
// take twice as long.
void rewriteLines(std::string_view lines, LineReader& reader, DpRewriter& rewriter, CrLfWriter& writer,
                  std::string& rewritten, PassCounts& counts) {
    const char* const end = lines.data() + lines.size();
    const char* runStart = lines.data();
    for (const char* lineStart = runStart; lineStart != end;) {
        const void* newline = std::memchr(lineStart, '\n', static_cast<std::size_t>(end - lineStart));
        const char* const lineEnd = newline ? static_cast<const char*>(newline) + 1 : end;
        const std::string_view line(lineStart, static_cast<std::size_t>(lineEnd - lineStart));
        const bool loneLineFeed = newline && (line.size() < 2 || lineEnd[-2] != '\r');
        const bool plain = DpRewriter::isPlainLine(line);
        if (plain && !loneLineFeed) {
            lineStart = lineEnd;
            continue;
        }
        writer.writeBytes(std::string_view(runStart, static_cast<std::size_t>(lineStart - runStart)));
        if (plain) {
            writer.writeAsRead(line);
        } else {
            rewritten.clear();
            counts.add(rewriter.rewriteLine(reader.translate(line), rewritten));
            writer.write(rewritten);
        }
        runStart = lineStart = lineEnd;
    }
    writer.writeBytes(std::string_view(runStart, static_cast<std::size_t>(end - runStart)));
}

// Both files are open; streams every line of `input` through the rewriter into `output`. Returns the reason of a
// failure, empty on success.
std::string rewriteInto(InputFile& input, OutputFile& output, DpRewriter& rewriter, PassCounts& counts,
                        const std::string& path, const std::string& temporary) {
    LineReader reader(input);
    CrLfWriter writer(output);
    std::string rewritten;
    std::string_view lines;
    while (reader.nextLinesAsRead(lines)) {
        rewriteLines(lines, reader, rewriter, writer, rewritten, counts);
        if (writer.error()) return fileOperationReason("write", temporary, writer.error());
    }
    if (reader.error()) return fileOperationReason("read", path, reader.error());
    writer.flushBuffer();
    if (writer.error()) return fileOperationReason("write", temporary, writer.error());
    return {};
}

} // namespace

PassResult harmonizeFile(const std::string& path, const RunSettings& settings, const PassOptions& options) {
    FileSystem& files = options.fileSystem ? *options.fileSystem : machineFileSystem();
    const PassInputs inputs = checkPassInputs(files, path, settings);
    if (!inputs.ok()) return failed<PassResult>(inputs);
    Replacement replacement(inputs.path, true, inputs.path);
    DpRewriter rewriter(inputs.settings,
                        runComment(inputs.settings, passLocalTime(options)) + stationsComment(settings.stations),
                        settings.stations);
    PassResult result;
    std::string reason = beginReplacement(files, replacement);
    if (reason.empty())
        reason = rewriteInto(*replacement.source, *replacement.output, rewriter, result.counts, inputs.path,
                             replacement.temporary);
    reason = finishReplacement(files, replacement, std::move(reason));
    if (!reason.empty()) return failed<PassResult>(Failure::fileOperation, std::move(reason));

    result.backupPath = replacement.keptAs;
    result.compiledDeleted = replacement.compiledDeleted;
    result.warning = replacement.warning;
    return result;
}

} // namespace zerkon

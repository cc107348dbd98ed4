#include <zerkon/pass.hpp>

#include <zerkon/dp_names.hpp>
#include <zerkon/dp_rewriter.hpp>
#include <zerkon/file_system.hpp>
#include <zerkon/number_text.hpp>

#include "text_stream.hpp"

#include <cmath>
#include <cstring>
#include <memory>

namespace zerkon {
namespace {

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

PassResult failed(Failure failure, std::string reason) {
    PassResult result;
    result.failure = failure;
    result.reason = std::move(reason);
    return result;
}

PassResult fileFailure(const std::string& what, const std::string& path, const std::error_code& error) {
    return failed(Failure::fileOperation, "cannot " + what + " " + quoted(path) + ": " + error.message());
}

std::tm machineLocalTime() {
    const std::time_t now = std::time(nullptr);
    return *std::localtime(&now);
}

// A range or elevation that holds no finite number would aim the guns at garbage: refuse it before any file.
bool readSetting(std::string_view text, float& value) {
    const ScannedFloat number = scanFloat(text);
    value = number.value;
    return number.ok && std::isfinite(number.value);
}

// Backups are never overwritten: the first number whose name is free is taken, so a gap left by a deleted backup
// is reused.
bool nextFreeBackupName(FileSystem& files, const std::string& path, std::string& name, std::error_code& error) {
    for (unsigned number = 1; number != 0; ++number) {
        name = backupName(path, number);
        if (files.status(name, error) == PathKind::absent && !error) return true;
        if (error) return false;
    }
    error = std::make_error_code(std::errc::file_exists);
    return false;
}

// The new content is written beside the DP file first, so the DP file is replaced only once it is complete.
std::unique_ptr<OutputFile> createTemporary(FileSystem& files, const std::string& path, std::string& name,
                                            std::error_code& error) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        name = path + ".zerkon-tmp" + (attempt > 0 ? std::to_string(attempt) : std::string());
        error.clear();
        auto file = files.createNew(name, error);
        if (file || error != std::errc::file_exists) return file;
    }
    return nullptr;
}

// Writes `lines`, whole lines as read. Runs of plain lines already end in CR LF, so they are copied as they are,
// in one piece up to the next line a rule looks at.
void rewriteLines(std::string_view lines, LineReader& reader, DpRewriter& rewriter, CrLfWriter& writer,
                  std::string& rewritten) {
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
            rewriter.rewriteLine(reader.translate(line), rewritten);
            writer.write(rewritten);
        }
        runStart = lineStart = lineEnd;
    }
    writer.writeBytes(std::string_view(runStart, static_cast<std::size_t>(end - runStart)));
}

// Both files are open; streams every line of `input` through the rewriter into `output`.
PassResult rewriteInto(InputFile& input, OutputFile& output, DpRewriter& rewriter, const std::string& path,
                       const std::string& temporary) {
    LineReader reader(input);
    CrLfWriter writer(output);
    std::string rewritten;
    std::string_view lines;
    while (reader.nextLinesAsRead(lines)) {
        rewriteLines(lines, reader, rewriter, writer, rewritten);
        if (writer.error()) return fileFailure("write", temporary, writer.error());
    }
    if (reader.error()) return fileFailure("read", path, reader.error());
    writer.flushBuffer();
    if (writer.error()) return fileFailure("write", temporary, writer.error());
    return {};
}

// The original takes the backup name and the new file the DP file's name. Where the file system has links, the backup
// is made a second name of the original and the new file then replaces the DP file in one step, so whenever the
// process is stopped a whole file is under the DP file's name. Elsewhere two renames do it, and between them only
// the backup holds the original.
PassResult putInPlace(FileSystem& files, const std::string& path, const std::string& backup,
                      const std::string& temporary) {
    std::error_code error;
    files.link(path, backup, error);
    if (!error) {
        files.replace(temporary, path, error);
        if (!error) return {};
        std::error_code ignored;
        files.remove(backup, ignored); // the original still has its own name; the renames may do better
    }
    error.clear();
    files.rename(path, backup, error);
    if (error) return fileFailure("rename " + quoted(path) + " to", backup, error);
    files.rename(temporary, path, error);
    if (!error) return {};
    PassResult result = fileFailure("rename " + quoted(temporary) + " to", path, error);
    std::error_code undoError;
    files.rename(backup, path, undoError); // put the original back under its own name
    if (undoError) result.reason += "; the previous content is kept in " + quoted(backup);
    return result;
}

} // namespace

PassResult harmonizeFile(const std::string& path, std::string_view rangeText, std::string_view elevationText,
                         const PassOptions& options) {
    // The backup and compiled names cut three and two characters from the end of the path.
    if (path.size() < 3) return failed(Failure::badPath, quoted(path) + " is too short to be the path of a DP file");
    float rangeFeet = 0.0f;
    float elevationFeet = 0.0f;
    if (!readSetting(rangeText, rangeFeet))
        return failed(Failure::badRange, "the range " + quoted(rangeText) + " is not a number");
    if (!readSetting(elevationText, elevationFeet))
        return failed(Failure::badElevation, "the elevation " + quoted(elevationText) + " is not a number");
    const AimSettings settings = makeAimSettings(rangeFeet, elevationFeet);

    FileSystem& files = options.fileSystem ? *options.fileSystem : machineFileSystem();
    std::error_code error;
    const PathKind kind = files.status(path, error);
    if (error) return fileFailure("query", path, error);
    if (kind == PathKind::absent) return failed(Failure::notAFile, quoted(path) + " does not exist");
    if (kind == PathKind::other) return failed(Failure::notAFile, quoted(path) + " is not a file");

    std::string backup;
    if (!nextFreeBackupName(files, path, backup, error)) return fileFailure("find a backup name for", path, error);

    std::unique_ptr<InputFile> input = files.openForReading(path, error);
    if (!input) return fileFailure("open", path, error);
    std::string temporary;
    std::unique_ptr<OutputFile> output = createTemporary(files, path, temporary, error);
    if (!output) return fileFailure("create", temporary, error);

    const std::tm now = options.localTime ? options.localTime() : machineLocalTime();
    DpRewriter rewriter(settings, runComment(settings, now));
    PassResult result = rewriteInto(*input, *output, rewriter, path, temporary);
    if (result.ok()) {
        output->flush(error);
        if (error) result = fileFailure("flush", temporary, error);
    }
    if (result.ok()) {
        output->close(error);
        if (error) result = fileFailure("close", temporary, error);
    }
    if (result.ok()) {
        input->close(error);
        if (error) result = fileFailure("close", path, error);
    }
    if (result.ok()) result = putInPlace(files, path, backup, temporary);
    if (!result.ok()) {
        output.reset(); // closed first: Windows deletes no open file
        input.reset();
        std::error_code ignored;
        files.remove(temporary, ignored);
        return result;
    }

    // The compiled copy is stale only now that the new DP file is complete.
    const std::string compiled = compiledName(path);
    files.remove(compiled, error);
    if (error && error != std::errc::no_such_file_or_directory)
        result.warning = "cannot delete the compiled copy " + quoted(compiled) + ": " + error.message();

    result.backupPath = backup;
    result.counts = rewriter.counts();
    return result;
}

} // namespace zerkon

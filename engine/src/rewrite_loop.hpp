// The one loop over the lines of a DP file, shared by the pass and its preview: each line goes through the rewriter,
// and what it became goes to a sink.
#pragma once

#include "text_stream.hpp"

#include <zerkon/dp_rewriter.hpp>
#include <zerkon/file_system.hpp>

#include <string>
#include <string_view>
#include <system_error>

namespace zerkon {

struct RewrittenLine {
    std::string_view before; // as read, its CR LF a newline
    std::string_view after;  // what the pass writes for it, newlines as in `before`
    const LineOutcome& outcome;
};

// Hands every line of `input` to `rewriter`, counts what it did, and gives the result to `sink`, a callable taking a
// RewrittenLine and returning false to stop. Returns the failure to read, if any.
template <typename Sink>
std::error_code rewriteEachLine(InputFile& input, DpRewriter& rewriter, PassCounts& counts, Sink&& sink) {
    LineReader reader(input);
    std::string rewritten;
    std::string_view line;
    while (reader.next(line)) {
        rewritten.clear();
        const LineOutcome outcome = rewriter.rewriteLine(line, rewritten);
        counts.add(outcome);
        const std::string_view after = outcome.action == LineAction::copied ? line : std::string_view(rewritten);
        if (!sink(RewrittenLine{line, after, outcome})) break;
    }
    return reader.error();
}

} // namespace zerkon

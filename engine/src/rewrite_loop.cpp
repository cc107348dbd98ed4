#include "rewrite_loop.hpp"

#include "text_stream.hpp"

namespace zerkon {

std::error_code rewriteEachLine(InputFile& input, DpRewriter& rewriter, PassCounts& counts,
                                const std::function<bool(const RewrittenLine&)>& sink) {
    LineReader reader(input);
    std::string rewritten;
    std::string_view line;
    while (reader.next(line)) {
        rewritten.clear();
        const LineOutcome outcome = rewriter.rewriteLine(line, rewritten);
        counts.add(outcome);
        if (!sink({line, rewritten, outcome})) break;
    }
    return reader.error();
}

} // namespace zerkon

#include "cli/FailureReport.h"

#include "cli/Cli.h"
#include "crypto/UnlockedKeybag.h"

namespace salvora::cli {

int usageFailure(const CommandContext& context, const Error& error) {
    if (error.kind == ErrorKind::WrongPassword)
        context.complain(WrongPassword);
    else
        context.complain(error.operation.empty() ? error.reason : error.description());
    return UsageError;
}

std::size_t complainOfFailures(const CommandContext& context,
                               const std::vector<FileOutcome>& outcomes) {
    std::size_t failed = 0;
    for (const FileOutcome& outcome : outcomes) {
        if (!outcome.error) {
            if (outcome.savedAs)
                context.complain(outcome.target + ": saved as " + *outcome.savedAs);
            if (outcome.warning)
                context.complain("warning: " + outcome.target + ": " +
                                 outcome.warning->description());
            continue;
        }
        ++failed;
        // Name the file unless the error already does.
        const std::string description = outcome.error->description();
        context.complain(outcome.error->path == outcome.target
                             ? description
                             : outcome.target + ": " + description);
    }
    return failed;
}

}  // namespace salvora::cli

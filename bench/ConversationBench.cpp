#include "bench/ConversationBench.h"

#include <unistd.h>

#include <filesystem>

#include "bench/Measure.h"
#include "bench/ProcessBench.h"

namespace salvora::bench {
namespace {

std::string processFigure(const ProcessTimes& times) {
    return seconds(times.seconds) + " (processor " + seconds(times.processorSeconds) + "), " +
           mebibytes(times.peakBytes) + (times.succeeded ? "" : " (FAILED)");
}

template <typename Write>
void written(Report& report, const std::string& what, Write&& write) {
    report.figure("written: " + what, seconds(secondsOf(write)));
    ::sync();
}

// Each run starts from no export. What a run wrote is moved aside, not removed, and goes with the
// scratch folder at the end: ext4 without a journal, as on many a virtual machine's disk, passes
// over each inode freed in the last minute one by one when it makes a file, so removing tens of
// thousands of files just before a run slows that run several times over, which no user meets.
std::function<void()> settingAside(std::vector<std::string> folders, const std::string& scratch) {
    return [folders = std::move(folders), aside = scratch + "/set-aside"] {
        std::filesystem::create_directories(aside);
        for (const std::string& folder : folders) {
            if (!std::filesystem::exists(folder)) continue;
            const auto earlier = std::distance(std::filesystem::directory_iterator(aside),
                                               std::filesystem::directory_iterator());
            std::filesystem::rename(folder, aside + "/" + std::to_string(earlier));
        }
        ::sync();
    };
}

// An export's goals: at most `most` seconds and `mebibytes` at its peak, and `timesFaster` than
// its Python reference, which writes the same files. The script writing only the text files is
// timed beside them, for scale.
struct ExportGoals {
    std::string label;
    std::string command;        // of salvora-cli
    std::string reference;      // the Python script
    std::string textReference;  // the Python script of the text files alone
    double most;
    double mebibytes;
    double timesFaster;
};

void timeAgainstReference(Report& report, const ConversationBenchSetup& setup,
                          const std::string& backup, const ExportGoals& goals) {
    const std::string ours = setup.scratch + "/export-salvora";
    const std::string theirs = setup.scratch + "/export-reference";
    const std::string text = setup.scratch + "/export-text";
    const std::vector<ProcessTimes> times =
        timeProcesses({{setup.cli, goals.command, backup, ours},
                       {"python3", setup.references + "/" + goals.reference, backup, theirs},
                       {"python3", setup.references + "/" + goals.textReference, backup, text}},
                      setup.runs, settingAside({ours, theirs, text}, setup.scratch));
    const ProcessTimes& salvora = times[0];
    const ProcessTimes& reference = times[1];
    const std::string label = goals.label;
    report.figure(label + ": salvora-cli " + goals.command, processFigure(salvora));
    report.figure(label + ": " + goals.reference, processFigure(reference));
    report.figure(label + ": " + goals.textReference + ", the text files alone",
                  processFigure(times[2]) + ", " + ratio(times[2].seconds / salvora.seconds));
    report.target(label + " <= " + seconds(goals.most),
                  salvora.succeeded && salvora.seconds <= goals.most, seconds(salvora.seconds));
    if (goals.mebibytes > 0)
        report.target(label + ": peak memory <= " + mebibytes(goals.mebibytes * 1048576),
                      salvora.succeeded && salvora.peakBytes <= goals.mebibytes * 1048576,
                      mebibytes(salvora.peakBytes));
    const double faster = reference.seconds / salvora.seconds;
    report.target(label + " >= " + ratio(goals.timesFaster) + " faster than " + goals.reference,
                  salvora.succeeded && reference.succeeded && faster >= goals.timesFaster,
                  ratio(faster));
}

}  // namespace

void benchMessagesExport(Report& report, const ConversationBenchSetup& setup, const SmsPlan& plan) {
    const std::string what =
        count(plan.messages) + " messages in " + count(plan.conversations) + " conversations";
    report.heading("Messages: " + what + ", whole processes");
    const std::string backup = setup.scratch + "/messages-backup";
    written(report, "sms.db of " + what, [&] { writeSmsBackup(backup, plan); });
    timeAgainstReference(
        report, setup, backup,
        {"messages export", "messages", "messages_export.py", "messages_text.py", 5, 400, 3});
    std::filesystem::remove_all(backup);
}

void benchMessageAttachments(Report& report, const ConversationBenchSetup& setup,
                             const SmsPlan& plan) {
    report.heading("Messages: " + count(plan.attachments) + " attachments (" +
                   megabytes(double(plan.attachmentBytes)) + ") against cp -r");
    const std::string backup = setup.scratch + "/attachments-backup";
    written(report, "the attachments' backup", [&] { writeSmsBackup(backup, plan); });
    const std::string ours = setup.scratch + "/export-salvora";
    const std::string copy = setup.scratch + "/copy";
    const std::vector<ProcessTimes> times =
        timeProcesses({{setup.cli, "messages", backup, ours}, {"cp", "-r", backup, copy}},
                      setup.runs, settingAside({ours, copy}, setup.scratch));
    std::filesystem::remove_all(backup);
    report.figure("salvora-cli messages", processFigure(times[0]));
    report.figure("cp -r of the backup folder", processFigure(times[1]));
    const double share = times[0].seconds / times[1].seconds;
    report.target("attachments: messages export <= 1.2 x cp -r",
                  times[0].succeeded && times[1].succeeded && share <= 1.2, ratio(share));
}

void benchWhatsAppExport(Report& report, const ConversationBenchSetup& setup, std::size_t messages,
                         std::size_t chats) {
    const std::string what = count(messages) + " messages in " + count(chats) + " chats";
    report.heading("WhatsApp: " + what + ", whole processes");
    const std::string backup = setup.scratch + "/whatsapp-backup";
    written(report, "ChatStorage.sqlite of " + what,
            [&] { writeWhatsAppBackup(backup, messages, chats); });
    timeAgainstReference(
        report, setup, backup,
        {"WhatsApp export", "whatsapp", "whatsapp_export.py", "whatsapp_text.py", 5, 400, 3});
    std::filesystem::remove_all(backup);
}

void benchContactsExport(Report& report, const ConversationBenchSetup& setup,
                         std::size_t contacts) {
    report.heading("Contacts: " + count(contacts) + " with photos, a whole process");
    const std::string backup = setup.scratch + "/contacts-backup";
    written(report, "the address book", [&] { writeContactsBackup(backup, contacts); });
    const std::string ours = setup.scratch + "/export-salvora";
    const ProcessTimes times = timeProcesses({{setup.cli, "contacts", backup, ours}}, setup.runs,
                                             settingAside({ours}, setup.scratch))[0];
    std::filesystem::remove_all(backup);
    report.figure("salvora-cli contacts", processFigure(times));
    report.target("contacts export <= 2 s", times.succeeded && times.seconds <= 2,
                  seconds(times.seconds));
}

}  // namespace salvora::bench

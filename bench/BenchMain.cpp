// salvora-bench: writes large backups into a temporary folder, times the catalogue builds, save
// all against `cp -r`, whole `salvora-cli` processes against Python references and the window's
// two steps, prints every figure with each target met or not, and removes what it wrote.
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>

#include "bench/CallsBench.h"
#include "bench/CatalogueBench.h"
#include "bench/ChildProcess.h"
#include "bench/ConversationBench.h"
#include "bench/LargeBackup.h"
#include "bench/Measure.h"
#include "bench/PhotosBench.h"
#include "bench/ProcessBench.h"
#include "bench/Report.h"
#include "bench/SaveAllBench.h"
#include "bench/WalBench.h"
#include "support/TemporaryFolder.h"

namespace salvora::bench {
namespace {

struct Options {
    std::size_t files = 1'000'000;
    std::size_t applications = 300;
    std::size_t largestApplicationFiles = 200'000;
    std::size_t storedFiles = 10'000;
    std::uint64_t storedBytes = std::uint64_t{1} << 30;
    int runs = 5;
    // Whole processes take a second or less, and vary the most.
    int processRuns = 11;
    int saveRuns = 3;
    // An export of a million messages takes seconds.
    int exportRuns = 5;
    std::string cli;
    std::string references;
    std::string window;
    std::string openDatabase;
    std::uint64_t walDatabaseBytes = std::uint64_t{1} << 30;
    std::size_t calls = 100'000;
    SmsPlan messages;
    SmsPlan attachments{10'000, 100, 2'000, std::uint64_t{512} << 20};
    std::size_t whatsAppMessages = 1'000'000;
    std::size_t whatsAppChats = 2'000;
    std::size_t contacts = 20'000;
    std::set<std::string> steps{"mbdb", "db",       "cli",         "window",   "save",     "photos",
                                "wal",  "messages", "attachments", "whatsapp", "contacts", "calls"};

    bool includes(const std::string& step) const { return steps.contains(step); }
};

std::string processorModel() {
    std::ifstream info("/proc/cpuinfo");
    for (std::string line; std::getline(info, line);) {
        if (line.starts_with("model name")) return line.substr(line.find(':') + 2);
    }
    return "unknown processor";
}

// The machine's load average over the last minute: on a busy machine wall-clock times grow,
// processor times much less.
std::string loadAverage() {
    std::ifstream load("/proc/loadavg");
    std::string lastMinute;
    load >> lastMinute;
    return lastMinute.empty() ? "unknown" : lastMinute;
}

// Writes the backup in a child process, so the measurements that follow start from this
// process's own small heap, as the programs measured do, not from what writing left behind.
void generate(Report& report, const std::string& label, const std::string& folder,
              const BackupPlan& plan, CatalogueLayout layout) {
    std::cout << std::flush;
    const pid_t child = ::fork();
    if (child == 0) {
        int status = 0;
        try {
            WrittenBackup written;
            const double elapsed = secondsOf(
                [&] { written = writeLargeBackup(folder, plan, layout, "Bench iPhone"); });
            report.figure("written: " + label, count(written.files) + " files, " +
                                                   count(written.folders) + " folders, " +
                                                   megabytes(double(written.storedBytes)) +
                                                   " stored, in " + seconds(elapsed));
        } catch (const std::exception& failure) {
            std::cerr << "salvora-bench: " << failure.what() << '\n';
            status = 1;
        }
        std::cout << std::flush;
        // Leaves without unwinding: the work folder belongs to the parent.
        ::_exit(status);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        throw std::runtime_error("could not write the " + label + " backup");
}

void benchManifestDatabase(Report& report, const std::string& folder, const Options& options) {
    report.heading("Catalogue build, manifest database (Manifest.mbdx + Manifest.mbdb)");
    const CatalogueTimes times =
        timeCatalogue(folder, {"Manifest.mbdx", "Manifest.mbdb"}, options.runs);
    report.figure("applications / files", count(times.applications) + " / " + count(times.files));
    report.figure("build", seconds(times.build));
    report.figure("read both files, " + megabytes(times.catalogueBytes) + " (floor)",
                  seconds(times.read));
    const double buildByRead = times.build.wall / times.read.wall;
    report.figure("build / read", ratio(buildByRead) + " (processor " +
                                      ratio(times.build.processor / times.read.processor) + ")");
    report.target("catalogue build <= 3 x reading its files", buildByRead <= 3, ratio(buildByRead));
    report.target("catalogue build <= 1 s", times.build.wall <= 1, seconds(times.build.wall));
}

void benchManifestDb(Report& report, const std::string& folder, const Options& options) {
    report.heading("Catalogue build, Manifest.db");
    const CatalogueTimes times = timeCatalogue(folder, {"Manifest.db"}, options.runs);
    report.figure("applications / files", count(times.applications) + " / " + count(times.files));
    report.figure("build", seconds(times.build));
    report.figure("read Manifest.db, " + megabytes(times.catalogueBytes), seconds(times.read));
    report.target("Manifest.db build <= 1.5 s", times.build.wall <= 1.5, seconds(times.build.wall));

    const InfoPlistTimes names = timeInfoPlistNames(folder, options.runs);
    report.figure(
        "Info.plist, " + megabytes(names.bytes) + ": " + count(names.named) + " store names read",
        seconds(names.names));
    report.figure("decoding the whole Info.plist instead", seconds(names.whole));
    const double share = names.names.wall / times.build.wall;
    report.target("store names <= 5 % of the Manifest.db build", share <= 0.05,
                  std::to_string(share * 100).substr(0, 4) + " %");
}

// One layout's whole-process goals: time and peak memory of `apps --json`, and how many times
// faster than its Python reference.
struct ProcessGoals {
    const char* label;
    std::string folder;
    std::string reference;  // the Python script, in bench/reference
    double seconds;
    double mebibytes;
    double timesFaster;
};

std::string processFigure(const ProcessTimes& times) {
    return seconds(times.seconds) + " (processor " + seconds(times.processorSeconds) + "), " +
           mebibytes(times.peakBytes) + (times.succeeded ? "" : " (FAILED)");
}

void benchCliProcesses(Report& report, const std::vector<ProcessGoals>& layouts,
                       const Options& options) {
    report.heading("Whole processes: salvora-cli against the Python references");
    if (options.cli.empty() || options.references.empty()) {
        report.skipped("whole-process goals", "no --cli or --references given");
        return;
    }
    for (const ProcessGoals& goals : layouts) {
        const std::string label = goals.label;
        const std::vector<ProcessTimes> times =
            timeProcesses({{options.cli, "apps", goals.folder, "--json"},
                           {options.cli, "files", goals.folder},
                           {"python3", options.references + "/" + goals.reference, goals.folder}},
                          options.processRuns);
        const ProcessTimes& apps = times[0];
        const ProcessTimes& files = times[1];
        const ProcessTimes& reference = times[2];
        report.figure(label + ": salvora-cli apps --json", processFigure(apps));
        report.figure(label + ": salvora-cli files", processFigure(files));
        report.figure(label + ": " + goals.reference, processFigure(reference));
        const double faster = reference.seconds / apps.seconds;
        report.target(label + ": apps <= " + seconds(goals.seconds),
                      apps.succeeded && apps.seconds <= goals.seconds, seconds(apps.seconds));
        report.target(label + ": apps peak memory <= " + mebibytes(goals.mebibytes * 1048576),
                      apps.succeeded && apps.peakBytes <= goals.mebibytes * 1048576,
                      mebibytes(apps.peakBytes));
        report.target(
            label + ": apps >= " + ratio(goals.timesFaster) + " faster than " + goals.reference,
            apps.succeeded && reference.succeeded && faster >= goals.timesFaster, ratio(faster));
        report.target(label + ": files <= 1.5 x apps",
                      files.succeeded && files.seconds <= 1.5 * apps.seconds,
                      ratio(files.seconds / apps.seconds));
    }
}

// The figures of a saver timed against `cp -r` of the same backup, and its goal.
void reportAgainstCopy(Report& report, const std::string& saver, const std::string& files,
                       const SaveTimes& times) {
    report.figure(files + " / bytes", count(times.files) + " / " + megabytes(double(times.bytes)));
    report.figure(saver + " (median)", seconds(times.save));
    report.figure("cp -r of the backup folder (median)", seconds(times.copy));
    report.figure(saver + " / cp -r", ratio(times.save.wall / times.copy.wall) + " (processor " +
                                          ratio(times.save.processor / times.copy.processor) + ")");
    report.figure("files " + saver + " could not save", count(times.failures));
    report.target(saver + " <= 1.2 x cp -r",
                  times.failures == 0 && times.save.wall <= 1.2 * times.copy.wall,
                  ratio(times.save.wall / times.copy.wall));
}

void benchSaveAll(Report& report, const std::string& folder, const std::string& scratch,
                  const Options& options) {
    report.heading("Save all of one application");
    reportAgainstCopy(report, "save all", "files",
                      timeSaveAll(folder, storedApplicationName(), scratch, options.saveRuns));
}

void benchPhotos(Report& report, const std::string& folder, const std::string& scratch,
                 const Options& options) {
    report.heading("Photos and videos out of the camera roll");
    reportAgainstCopy(report, "photo export", "photos",
                      timePhotoExport(folder, scratch, options.saveRuns));
}

// The window benchmark writes "name value" lines.
std::map<std::string, double> readFigures(const std::string& path) {
    std::map<std::string, double> figures;
    std::ifstream in(path);
    std::string name;
    double value = 0;
    while (in >> name >> value) figures[name] = value;
    return figures;
}

void benchWindow(Report& report, const std::string& home, const std::string& scratch,
                 const Options& options) {
    report.heading("The window (offscreen)");
    // The first click comes after the window has been shown and the machine left idle a while,
    // as a user's does: a machine that has been busy up to the click can answer it faster.
    const char* deviceGoal =
        "window: choosing the device after 15 s idle shows its applications <= 0.25 s";
    const char* applicationGoal = "window: choosing an application shows its files < 0.5 s";
    if (options.window.empty()) {
        report.skipped(deviceGoal, "no --window given");
        report.skipped(applicationGoal, "no --window given");
        return;
    }
    const std::string output = scratch + "/window.txt";
    const ChildRun run = runChild(
        {options.window, "--idle", "15", largestApplicationName(), std::to_string(options.runs)},
        output, {"HOME=" + home, "QT_QPA_PLATFORM=offscreen"});
    std::map<std::string, double> figures = readFigures(output);
    if (!run.succeeded || !figures.contains("device-seconds")) {
        report.skipped(deviceGoal, "the window benchmark failed");
        report.skipped(applicationGoal, "the window benchmark failed");
        return;
    }
    report.figure("device chosen: applications shown",
                  count(std::size_t(figures["applications"])) + " rows");
    report.figure("device chosen again (previous catalogue let go)",
                  seconds(figures["device-again-seconds"]));
    report.figure("application chosen: files shown",
                  count(std::size_t(figures["files"])) + " rows");
    report.target(deviceGoal, figures["device-seconds"] <= 0.25,
                  seconds(figures["device-seconds"]));
    report.figure("device chosen: the summary pane shows every count",
                  seconds(figures["summary-counts-seconds"]));
    report.figure("device chosen: the summary pane shows the size on disk",
                  seconds(figures["summary-size-seconds"]));
    report.target(applicationGoal, figures["application-seconds"] < 0.5,
                  seconds(figures["application-seconds"]));
    report.target("window: the first key typed into the file filter answers < 0.05 s",
                  figures["filter-first-key-seconds"] < 0.05,
                  seconds(figures["filter-first-key-seconds"]));
    report.target("window: every later key typed into the file filter answers < 0.05 s",
                  figures["filter-later-keys-seconds"] < 0.05,
                  seconds(figures["filter-later-keys-seconds"]));
}

// The window's save all of the stored files, in a home of its own so that the large backup
// stays as the other steps measure it: the longest the event loop went without handling a
// timer meanwhile. The stall depends on the number of files, not on their bytes.
void benchWindowSave(Report& report, const std::string& scratch, const Options& options) {
    const std::string goal = "window: the event loop's longest stall during save all of " +
                             count(options.storedFiles) + " files < 0.1 s";
    if (options.window.empty()) return report.skipped(goal, "no --window given");
    const std::string home = scratch + "/window-save-home";
    BackupPlan plan;
    plan.files = plan.storedFiles = options.storedFiles;
    plan.storedBytes = std::uint64_t{100} << 20;
    plan.applications = 0;
    generate(report, "stored files for the window",
             home + "/Application Data/Apple Computer/MobileSync/Backup/stored", plan,
             CatalogueLayout::ManifestDatabase);
    const std::string destination = scratch + "/window-saved";
    std::filesystem::create_directories(destination);
    const std::string output = scratch + "/window-save.txt";
    const ChildRun run = runChild(
        {options.window, storedApplicationName(), "2", storedApplicationName(), destination},
        output, {"HOME=" + home, "QT_QPA_PLATFORM=offscreen"});
    std::map<std::string, double> figures = readFigures(output);
    if (!run.succeeded || !figures.contains("save-all-longest-stall-seconds"))
        return report.skipped(goal, "the window benchmark failed");
    const double stall = figures["save-all-longest-stall-seconds"];
    report.target(goal, stall < 0.1, seconds(stall));
}

// Each writes its backup, times the exports and removes it again: together they would take
// gigabytes.
void benchConversations(Report& report, const std::string& scratch, const Options& options) {
    const ConversationBenchSetup setup{options.cli, options.references, scratch,
                                       options.exportRuns};
    const bool any = options.includes("messages") || options.includes("attachments") ||
                     options.includes("whatsapp") || options.includes("contacts");
    if (any && (options.cli.empty() || options.references.empty())) {
        report.skipped("conversation and contact exports", "no --cli or --references given");
        return;
    }
    if (options.includes("messages")) benchMessagesExport(report, setup, options.messages);
    if (options.includes("attachments"))
        benchMessageAttachments(report, setup, options.attachments);
    if (options.includes("whatsapp"))
        benchWhatsAppExport(report, setup, options.whatsAppMessages, options.whatsAppChats);
    if (options.includes("contacts")) benchContactsExport(report, setup, options.contacts);
}

int run(const Options& options) {
    Report report(std::cout);
    report.heading("Salvora benchmarks: " + std::to_string(::sysconf(_SC_NPROCESSORS_ONLN)) +
                   " x " + processorModel() + ", warm cache, medians of " +
                   std::to_string(options.runs) +
                   " runs (whole processes: " + std::to_string(options.processRuns) +
                   ", save all: " + std::to_string(options.saveRuns) + ")");

    test::TemporaryFolder work;
    const std::string home = work / "home";
    const std::string mbdbFolder =
        home + "/Application Data/Apple Computer/MobileSync/Backup/large";
    const std::string dbFolder = work / "manifest-db";
    const std::string saveFolder = work / "save-all";
    const std::string photosFolder = work / "camera-roll";
    const std::string callsFolder = work / "calls";

    BackupPlan plan;
    plan.files = options.files;
    plan.applications = options.applications;
    plan.largestApplicationFiles = options.largestApplicationFiles;
    BackupPlan savePlan;
    savePlan.files = savePlan.storedFiles = options.storedFiles;
    savePlan.storedBytes = options.storedBytes;
    savePlan.applications = 0;

    report.heading("Backups written to " + work.path());
    if (options.includes("mbdb") || options.includes("cli") || options.includes("window"))
        generate(report, "manifest database", mbdbFolder, plan, CatalogueLayout::ManifestDatabase);
    if (options.includes("db") || options.includes("cli"))
        generate(report, "Manifest.db", dbFolder, plan, CatalogueLayout::ManifestDb);
    if (options.includes("save"))
        generate(report, "stored files", saveFolder, savePlan, CatalogueLayout::ManifestDatabase);
    if (options.includes("photos")) {
        const double elapsed = secondsOf(
            [&] { writeCameraRollBackup(photosFolder, options.storedFiles, options.storedBytes); });
        report.figure("written: camera roll",
                      count(options.storedFiles) + " photos in " + seconds(elapsed));
    }
    if (options.includes("calls")) {
        const double elapsed =
            secondsOf([&] { writeCallHistoryBackup(callsFolder, options.calls); });
        report.figure("written: call history",
                      count(options.calls) + " calls in " + seconds(elapsed));
    }
    WalDatabaseBackups walBackups;
    if (options.includes("wal")) {
        const double elapsed = secondsOf(
            [&] { walBackups = writeWalDatabaseBackups(work / "wal", options.walDatabaseBytes); });
        report.figure("written: WAL-mode database, plain and encrypted", seconds(elapsed));
    }
    ::sync();

    report.figure("load average before measuring", loadAverage());
    if (options.includes("mbdb")) benchManifestDatabase(report, mbdbFolder, options);
    if (options.includes("db")) benchManifestDb(report, dbFolder, options);
    if (options.includes("cli"))
        benchCliProcesses(
            report,
            {{"manifest database", mbdbFolder, "count_manifest_database.py", 0.25, 200, 8},
             {"Manifest.db", dbFolder, "group_manifest_db.py", 0.5, 150, 2.5}},
            options);
    if (options.includes("window")) {
        benchWindow(report, home, work.path(), options);
        benchWindowSave(report, work.path(), options);
    }
    if (options.includes("save")) benchSaveAll(report, saveFolder, work.path(), options);
    if (options.includes("photos")) benchPhotos(report, photosFolder, work.path(), options);
    if (options.includes("wal"))
        benchWalDatabase(report, walBackups, options.openDatabase, options.processRuns);
    if (options.includes("calls"))
        benchCallExport(report, callsFolder, work.path(), options.cli, options.calls,
                        options.processRuns);
    benchConversations(report, work.path(), options);
    report.heading("Load average after measuring: " + loadAverage());
    report.summary();
    return 0;
}

}  // namespace
}  // namespace salvora::bench

int main(int argc, char** argv) {
    if (int status = salvora::bench::measuringMain(argc, argv); status >= 0) return status;
    salvora::bench::Options options;
    CLI::App app("Times Salvora on large backups it writes into a temporary folder.",
                 "salvora-bench");
    app.add_option("--files", options.files, "Regular files of the large backups")
        ->capture_default_str();
    app.add_option("--applications", options.applications)->capture_default_str();
    app.add_option("--largest", options.largestApplicationFiles,
                   "Files of the application the window chooses")
        ->capture_default_str();
    app.add_option("--stored-files", options.storedFiles, "Files save all copies")
        ->capture_default_str();
    app.add_option("--stored-bytes", options.storedBytes, "Their sizes added up")
        ->capture_default_str();
    app.add_option("--runs", options.runs, "Timed runs of each catalogue build")
        ->capture_default_str();
    app.add_option("--process-runs", options.processRuns,
                   "Timed runs of each whole process, the processes compared taken in turn")
        ->capture_default_str();
    app.add_option("--save-runs", options.saveRuns, "Timed runs of save all and of cp -r")
        ->capture_default_str();
    app.add_option("--cli", options.cli, "salvora-cli, to time whole processes");
    app.add_option("--references", options.references,
                   "The folder of the Python references the processes are timed against");
    app.add_option("--window", options.window, "salvora-window-bench, to time the window");
    app.add_option("--open-database", options.openDatabase,
                   "salvora-bench-open-database, to time opening a WAL-mode database");
    app.add_option("--wal-bytes", options.walDatabaseBytes, "The WAL-mode database's size")
        ->capture_default_str();
    app.add_option("--calls", options.calls, "Calls of the call history exported")
        ->capture_default_str();
    app.add_option("--export-runs", options.exportRuns,
                   "Timed runs of each conversation and contact export")
        ->capture_default_str();
    app.add_option("--messages", options.messages.messages, "Messages of the sms.db exported")
        ->capture_default_str();
    app.add_option("--conversations", options.messages.conversations)->capture_default_str();
    app.add_option("--attachments", options.attachments.attachments,
                   "Attachments of the backup the attachment copies are timed on")
        ->capture_default_str();
    app.add_option("--attachment-bytes", options.attachments.attachmentBytes,
                   "Their sizes added up")
        ->capture_default_str();
    app.add_option("--whatsapp-messages", options.whatsAppMessages)->capture_default_str();
    app.add_option("--whatsapp-chats", options.whatsAppChats)->capture_default_str();
    app.add_option("--contacts", options.contacts, "Contacts with photos exported")
        ->capture_default_str();
    app.add_option("--steps", options.steps,
                   "Which to run: mbdb db cli window save photos wal messages attachments "
                   "whatsapp contacts calls")
        ->check(CLI::IsMember({"mbdb", "db", "cli", "window", "save", "photos", "wal", "messages",
                               "attachments", "whatsapp", "contacts", "calls"}))
        ->delimiter(',')
        ->capture_default_str();
    CLI11_PARSE(app, argc, argv);
    try {
        return salvora::bench::run(options);
    } catch (const std::exception& failure) {
        std::cerr << "salvora-bench: " << failure.what() << '\n';
        return 1;
    }
}

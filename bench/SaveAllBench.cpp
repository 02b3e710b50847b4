#include "bench/SaveAllBench.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "bench/ChildProcess.h"
#include "bench/Measure.h"
#include "catalog/Catalog.h"
#include "recovery/Recovery.h"

namespace salvora::bench {
namespace {

// While it lives, standard error (where the log goes) is written to a file.
class StandardErrorToFile {
  public:
    explicit StandardErrorToFile(const std::string& path)
        : saved_(::dup(STDERR_FILENO)),
          file_(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644)) {
        if (saved_ < 0 || file_ < 0) throw std::runtime_error("could not open " + path);
        ::dup2(file_, STDERR_FILENO);
    }
    ~StandardErrorToFile() {
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        ::close(file_);
    }
    StandardErrorToFile(const StandardErrorToFile&) = delete;
    StandardErrorToFile& operator=(const StandardErrorToFile&) = delete;

  private:
    int saved_;
    int file_;
};

double timedCopy(const std::string& source, const std::string& destination) {
    ChildRun run = runChild({"cp", "-r", source, destination});
    if (!run.succeeded) throw std::runtime_error("cp -r " + source + " failed");
    return run.seconds;
}

}  // namespace

SaveTimes timeSaveAll(const std::string& backupFolder, const std::string& application,
                      const std::string& scratch, int runs) {
    DeviceRecord device;
    device.directory = backupFolder;
    Catalog catalog;
    catalog.buildCatalogForDevice(device);
    auto found = device.applications->find(application);
    if (found == device.applications->end())
        throw std::runtime_error("no application " + application + " in " + backupFolder);
    const std::vector<FileRecord>& files = found->second->files;

    SaveTimes times;
    times.files = files.size();
    for (const FileRecord& file : files)
        times.bytes += std::filesystem::file_size(backupFolder + "/" + file.name);

    const std::string destination = scratch + "/destination";
    timedCopy(backupFolder, destination);
    std::filesystem::remove_all(destination);

    std::vector<double> copies;
    std::vector<double> saves;
    for (int run = 0; run < runs; ++run) {
        ::sync();
        copies.push_back(timedCopy(backupFolder, destination));
        std::filesystem::remove_all(destination);
        ::sync();
        {
            StandardErrorToFile log(scratch + "/save-all.log");
            std::vector<FileOutcome> outcomes;
            saves.push_back(
                secondsOf([&] { outcomes = saveAll(device.directory, files, destination); }));
            for (const FileOutcome& outcome : outcomes) times.failures += outcome.error ? 1 : 0;
        }
        std::filesystem::remove_all(destination);
    }
    times.save = median(saves);
    times.copy = median(copies);
    return times;
}

}  // namespace salvora::bench

// salvora-crypto-bench: the two slow steps of an encrypted backup against OpenSSL doing the
// same work on its own. Decrypting a stored file (decryptStoredFile to /dev/null, and a whole
// save into a file) against `openssl enc -d -aes-256-cbc` on the same bytes with the cache
// warm; deriving the keybag's key (derivePasswordKey) against PKCS5_PBKDF2_HMAC called directly
// with the same counts. Prints the medians and whether each target is met.
#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <vector>

#include "catalog/model/HexName.h"
#include "catalog/model/Records.h"
#include "crypto/KeyDerivation.h"
#include "crypto/StoredFileDecryption.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/FileDescriptor.h"
#include "foundation/FolderCreation.h"
#include "foundation/Log.h"
#include "recovery/Recovery.h"

namespace salvora::bench {
namespace {

using Bytes = std::vector<std::byte>;

struct Options {
    std::size_t megabytes = 512;
    int runs = 5;
    std::uint32_t preIterations = 10'000'000;  // DPIC of keybags from iOS 10.2 on
    std::uint32_t iterations = 10'000;         // ITER
    int derivationRuns = 3;
    std::string folder = "/tmp";
};

template <typename Work>
double secondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Medians {
    double ours;
    double theirs;
};

// Runs the two in turn, so that a machine busy with other work slows both alike.
template <typename Ours, typename Theirs>
Medians alternating(int runs, Ours&& ours, Theirs&& theirs) {
    std::vector<double> oursTimes;
    std::vector<double> theirsTimes;
    for (int run = 0; run < runs; ++run) {
        oursTimes.push_back(secondsOf(ours));
        theirsTimes.push_back(secondsOf(theirs));
    }
    return {median(oursTimes), median(theirsTimes)};
}

Bytes randomBytes(std::size_t count) {
    Bytes bytes(count);
    RAND_bytes(reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(count));
    return bytes;
}

// Writes `megabytes` MiB of random plaintext encrypted the way the phone stores files,
// without holding more than a piece of it in memory. False, with errno set, when it can't be
// written.
bool writeStoredFile(const std::string& path, const SecretKey& key, std::size_t megabytes) {
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(),
                                                                            &EVP_CIPHER_CTX_free);
    const std::array<unsigned char, 16> zeroIv{};
    EVP_EncryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr, key.data(), zeroIv.data());
    FileDescriptor out(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (!out.valid()) return false;
    const Bytes piece = randomBytes(std::size_t{1} << 20);
    Bytes encrypted(piece.size() + 16);
    auto* into = reinterpret_cast<unsigned char*>(encrypted.data());
    int written = 0;
    for (std::size_t i = 0; i < megabytes; ++i) {
        EVP_EncryptUpdate(context.get(), into, &written,
                          reinterpret_cast<const unsigned char*>(piece.data()),
                          static_cast<int>(piece.size()));
        if (!writeAll(out.get(), std::span(encrypted).first(static_cast<std::size_t>(written))))
            return false;
    }
    EVP_EncryptFinal_ex(context.get(), into, &written);
    return writeAll(out.get(), std::span(encrypted).first(static_cast<std::size_t>(written)));
}

void warmCache(const std::string& path) {
    FileDescriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    Bytes buffer(std::size_t{1} << 20);
    while (readUpTo(in.get(), buffer) > 0) {
    }
}

int run(const std::string& command) {
    int status = std::system(command.c_str());
    if (status != 0) std::cerr << "failed: " << command << '\n';
    return status;
}

struct Verdict {
    std::string goal;
    bool met;
    double ratio;
};

std::vector<Verdict> verdicts;

void compare(const std::string& goal, Medians times, double limit) {
    const double ratio = times.ours / times.theirs;
    std::printf("  %-44s ours %.3f s, OpenSSL %.3f s: %.2fx\n", goal.c_str(), times.ours,
                times.theirs, ratio);
    verdicts.push_back(
        {goal + " <= " + std::to_string(limit).substr(0, 3) + "x", ratio <= limit, ratio});
}

void benchDecryption(const Options& options) {
    const std::string folder =
        options.folder + "/salvora-crypto-bench-" + std::to_string(::getpid());
    if (Status made = createDirectory(folder); !made) {
        std::cerr << made.error().description() << '\n';
        return;
    }
    const std::string stored = folder + "/stored";
    const Bytes keyBytes = randomBytes(SecretKey::Size);
    const SecretKey key(
        std::span<const std::byte, SecretKey::Size>(keyBytes.data(), SecretKey::Size));
    if (!writeStoredFile(stored, key, options.megabytes)) {
        std::cerr << "could not write " << stored << ": " << std::strerror(errno) << '\n';
        ::unlink(stored.c_str());
        ::rmdir(folder.c_str());
        return;
    }
    warmCache(stored);
    const std::uint64_t size = std::uint64_t{options.megabytes} << 20;
    const double mebibytes = static_cast<double>(options.megabytes);
    const std::string openssl = "openssl enc -d -aes-256-cbc -K " + hexName(keyBytes) +
                                " -iv 00000000000000000000000000000000 -in " + stored;

    std::printf("Decryption of %zu MiB, warm cache, median of %d\n", options.megabytes,
                options.runs);
    const Medians toNull = alternating(
        options.runs,
        [&] {
            FileDescriptor null(::open("/dev/null", O_WRONLY | O_CLOEXEC));
            auto decryption =
                decryptStoredFile(stored, key, size, descriptorSink(null.get(), "/dev/null"));
            if (!decryption) std::cerr << decryption.error().description() << '\n';
        },
        [&] { run(openssl + " -out /dev/null"); });
    std::printf("  decryptStoredFile: %.0f MiB/s; openssl enc: %.0f MiB/s\n",
                mebibytes / toNull.ours, mebibytes / toNull.theirs);
    compare("to /dev/null", toNull, 1.5);

    // The way a user gets the file: saved beside the others, and a file OpenSSL writes.
    std::map<std::uint32_t, SecretKey> classKeys{{3, key}};
    const UnlockedKeybag keybag(classKeys);
    Bytes wrapped{std::byte{3}, std::byte{0}, std::byte{0}, std::byte{0}};
    {
        std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(
            EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
        EVP_CIPHER_CTX_set_flags(context.get(), EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
        EVP_EncryptInit_ex(context.get(), EVP_aes_256_wrap(), nullptr, key.data(), nullptr);
        std::array<unsigned char, 40> out{};
        int written = 0;
        EVP_EncryptUpdate(context.get(), out.data(), &written, key.data(), 32);
        for (unsigned char c : out) wrapped.push_back(static_cast<std::byte>(c));
    }
    FileDetailsList details;
    TextArena texts;
    const FileRecord record =
        FileRecord::copying(texts, "stored", "saved", false, &details,
                            details.add({std::nullopt, size, std::move(wrapped)}));
    const std::string saved = folder + "/saved";
    LogSilence silence;
    const Medians save = alternating(
        options.runs,
        [&] {
            ::unlink(saved.c_str());
            auto outcome = saveFile(folder, record, saved, &keybag);
            if (outcome.error) std::cerr << outcome.error->description() << '\n';
        },
        [&] {
            ::unlink(saved.c_str());
            run(openssl + " -out " + saved);
        });
    compare("saved into a file", save, 1.5);
    ::unlink((folder + "/saved").c_str());
    ::unlink(stored.c_str());
    ::rmdir(folder.c_str());
}

void directPbkdf2(const Keybag& keybag, std::string_view password) {
    std::array<unsigned char, 32> preDerived{};
    std::array<unsigned char, 32> key{};
    const auto* secret = reinterpret_cast<const char*>(password.data());
    int secretLength = static_cast<int>(password.size());
    if (keybag.preDerivation) {
        const Bytes& salt = keybag.preDerivation->salt;
        PKCS5_PBKDF2_HMAC(secret, secretLength, reinterpret_cast<const unsigned char*>(salt.data()),
                          static_cast<int>(salt.size()),
                          static_cast<int>(keybag.preDerivation->iterations), EVP_sha256(), 32,
                          preDerived.data());
        secret = reinterpret_cast<const char*>(preDerived.data());
        secretLength = 32;
    }
    PKCS5_PBKDF2_HMAC(secret, secretLength,
                      reinterpret_cast<const unsigned char*>(keybag.salt.data()),
                      static_cast<int>(keybag.salt.size()), static_cast<int>(keybag.iterations),
                      EVP_sha1(), 32, key.data());
}

void benchDerivation(const Options& options, bool withPreDerivation) {
    Keybag keybag;
    keybag.salt = randomBytes(20);
    keybag.iterations = options.iterations;
    if (withPreDerivation)
        keybag.preDerivation = PasswordPreDerivation{1, options.preIterations, randomBytes(20)};
    const std::string password = "correct horse battery staple";
    std::printf("Key derivation, %s, median of %d\n",
                withPreDerivation
                    ? ("DPIC " + std::to_string(options.preIterations) + " (SHA-256) + ITER " +
                       std::to_string(options.iterations) + " (SHA-1)")
                          .c_str()
                    : ("ITER " + std::to_string(options.iterations) + " (SHA-1)").c_str(),
                options.derivationRuns);
    // Short derivations are repeated, so each sample lasts long enough to time.
    const int repeats = withPreDerivation ? 1 : 100;
    const Medians times = alternating(
        options.derivationRuns,
        [&] {
            for (int i = 0; i < repeats; ++i)
                if (!derivePasswordKey(keybag, password)) std::cerr << "derivation failed\n";
        },
        [&] {
            for (int i = 0; i < repeats; ++i) directPbkdf2(keybag, password);
        });
    compare(withPreDerivation ? "with pre-derivation" : "without pre-derivation (x100)", times,
            1.2);
}

}  // namespace
}  // namespace salvora::bench

int main(int argc, char** argv) {
    using namespace salvora::bench;
    Options options;
    CLI::App app("Times decryption and key derivation against OpenSSL on its own.",
                 "salvora-crypto-bench");
    app.add_option("--megabytes", options.megabytes, "Size of the stored file, in MiB");
    app.add_option("--runs", options.runs, "Runs of each decryption");
    app.add_option("--dpic", options.preIterations, "PBKDF2-HMAC-SHA256 iterations (DPIC)");
    app.add_option("--iter", options.iterations, "PBKDF2-HMAC-SHA1 iterations (ITER)");
    app.add_option("--derivation-runs", options.derivationRuns, "Runs of each derivation");
    app.add_option("--folder", options.folder, "Where to write the stored file");
    CLI11_PARSE(app, argc, argv);

    benchDecryption(options);
    benchDerivation(options, true);
    benchDerivation(options, false);
    std::printf("Targets\n");
    bool allMet = true;
    for (const Verdict& verdict : verdicts) {
        std::printf("  %-4s %s (%.2fx)\n", verdict.met ? "met" : "MISS", verdict.goal.c_str(),
                    verdict.ratio);
        allMet = allMet && verdict.met;
    }
    return allMet ? 0 : 1;
}

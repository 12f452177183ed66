// Time and peak memory of Open and Save of large files of short lines ("\n", "\r",
// "[\n", and "[a]\n", the most bookkeeping a file can ask for) and of the 1 MiB
// file with 10,000 foreign sections. Each Open and each Save runs in a child
// process of its own, whose peak resident size (ru_maxrss) is its memory; the
// parent holds no file in memory. Prints the median time and the largest peak of
// each, against the bound of three times the file's size plus 16 MiB.
//
//   qe_large_file_bench [MiB of each large file, 100] [runs, 3]
//
// Targets: each large file opens and saves in at most 2 s; every peak within the
// bound. Exits 1 when a result is wrong (a load that lost the file's values, a save
// that did not write what it should), not when a target is missed.
#include "config/file_io.h"
#include "config/ini_text.h"
#include "config/read_ini.h"
#include "config/save_target.h"
#include "config/write_ini.h"
#include "large_file.h"
#include "ui/form/form.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace qe::bench;

struct Sample {
    double seconds = 0;
    long peakKiB = 0;
    bool right = false;
};

// Writes count copies of unit in pieces, so that the parent never holds the file.
void writeRepeated(const std::string& path, const std::string& unit, std::size_t size) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    std::string piece;
    while (piece.size() < (1u << 20))
        piece += unit;
    for (std::size_t done = 0; done < size; done += piece.size())
        std::fwrite(piece.data(), 1, std::min(piece.size(), size - done), out);
    std::fclose(out);
}

// Open: the reset and the load. Right when the file's ID arrived (files without
// one: when the default stayed).
bool open(qe::Form& form, const std::string& path, const std::string& id) {
    const qe::IniText text(qe::readForLoad(path));
    form.cleanINI();
    qe::ReadINI(form.fields(), text);
    return id.empty() || form.fields().txtID.text() == id;
}

// Save: the fields written into the file as the editor's Save does.
void save(const qe::Form& form, const std::string& path) {
    qe::SaveTarget target(path);
    qe::IniText text(target.takeBytes());
    qe::WriteINI(form.fields(), text);
    target.replace(text.bytes());
}

// Runs one Open or Save in a child and measures it there. A Save writes the ID
// savedId, so that saves by turns with two IDs each write the file (a save of the
// bytes the file holds writes nothing).
Sample measure(bool saving, const std::string& path, const std::string& id,
               const std::string& savedId = kID) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        SilentHost host;
        qe::Form form(host);
        form.cleanINI();
        form.fields().txtID.setText(savedId);
        const auto start = std::chrono::steady_clock::now();
        Sample sample;
        if (saving)
            save(form, path);
        else
            sample.right = open(form, path, id);
        sample.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        struct rusage usage {};
        ::getrusage(RUSAGE_SELF, &usage);
        sample.peakKiB = usage.ru_maxrss;
        // Checked after the measurement: the check reads the file once more.
        if (saving)
            sample.right =
                qe::IniText(qe::readForLoad(path)).read("parameters", "id", "") == savedId;
        const bool sent = ::write(pipeEnds[1], &sample, sizeof sample) == sizeof sample;
        ::_exit(sent ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    Sample sample;
    const bool got = ::read(pipeEnds[0], &sample, sizeof sample) == sizeof sample;
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!got) sample.right = false;
    return sample;
}

// A child that does nothing: the peak of the program itself.
long idlePeakKiB() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    int status = 0;
    struct rusage usage {};
    ::wait4(child, &status, 0, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    char folderName[] = "/tmp/qe-large-XXXXXX";
    if (!::mkdtemp(folderName)) return 1;
    const std::string folder = folderName;

    struct File {
        std::string name;
        std::string id; // the ID the file holds, empty for none
        std::size_t size = 0;
    };
    std::vector<File> files;
    for (const auto& [name, unit] : {std::pair<const char*, const char*>{"lf", "\n"},
                                     {"cr", "\r"},
                                     {"open-bracket-lf", "[\n"},
                                     {"short-sections", "[a]\n"}}) {
        files.push_back({name, "", mib << 20});
        writeRepeated(folder + "/" + name, unit, files.back().size);
    }
    {
        const std::string text = largeText();
        files.push_back({"foreign-sections", kID, text.size()});
        writeRepeated(folder + "/foreign-sections", text, text.size());
    }

    std::printf("idle peak of the program: %.1f MiB\n", static_cast<double>(idlePeakKiB()) / 1024);
    std::printf("%-18s %-5s %10s %12s %12s  %s\n", "file", "op", "median s", "peak MiB",
                "bound MiB", "targets");
    bool wrong = false;
    for (const File& file : files) {
        const std::string path = folder + "/" + file.name;
        const double bound = 3.0 * static_cast<double>(file.size) / (1 << 20) + 16;
        for (const bool saving : {false, true}) {
            std::vector<double> seconds;
            long peak = 0;
            for (int run = 0; run < runs; ++run) {
                const Sample sample =
                    measure(saving, path, file.id, run % 2 ? kID + std::string("x") : kID);
                wrong = wrong || !sample.right;
                seconds.push_back(sample.seconds);
                peak = std::max(peak, sample.peakKiB);
            }
            std::sort(seconds.begin(), seconds.end());
            const double median = seconds[seconds.size() / 2];
            const double peakMiB = static_cast<double>(peak) / 1024;
            const bool large = file.size >= (64u << 20);
            std::printf("%-18s %-5s %10.3f %12.1f %12.1f  %s%s\n", file.name.c_str(),
                        saving ? "save" : "open", median, peakMiB, bound,
                        peakMiB <= bound ? "memory met" : "memory MISSED",
                        large ? (median <= 2 ? ", time met" : ", time MISSED") : "");
        }
        std::remove(path.c_str());
    }
    ::rmdir(folder.c_str());
    if (wrong) std::fprintf(stderr, "A run gave a wrong result.\n");
    return wrong ? 1 : 0;
}

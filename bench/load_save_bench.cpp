// Open and Save of a typical file and of a large file with 10,000 foreign sections,
// against reading the file once and writing it once atomically with plain calls,
// in the same run. Prints the medians and the ratios, and checks every result after
// timing it: a fast wrong answer is no result.
//
// Targets: a typical Open under 200 microseconds; Open of the large file within ten
// times the plain read, Save within two times the plain write.
#include "config/file_io.h"
#include "config/ini_text.h"
#include "config/read_ini.h"
#include "config/save_target.h"
#include "config/write_ini.h"
#include "large_file.h"
#include "ui/form/form.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace qe::bench;

std::string g_folder;
bool g_wrong = false;

std::string pathOf(const std::string& name) {
    return g_folder + "/" + name;
}

void wrongResult(benchmark::State& state, const std::string& what) {
    g_wrong = true;
    state.SkipWithError(what.c_str());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The whole file in one read of its size.
std::string plainRead(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

// A temporary file beside the target, written, flushed to disk and renamed over it;
// then the folder flushed, as the editor's save does.
bool plainReplace(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0) return false;
    bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    const int folder = ::open(g_folder.c_str(), O_RDONLY | O_DIRECTORY);
    ok = folder >= 0 && ::fsync(folder) == 0 && ok;
    if (folder >= 0) ::close(folder);
    return ok;
}

void open(qe::Form& form, const std::string& path) {
    const qe::IniText text(qe::readForLoad(path));
    form.cleanINI();
    qe::ReadINI(form.fields(), text);
}

void save(const qe::Form& form, const std::string& path) {
    qe::SaveTarget target(path);
    qe::IniText text(target.takeBytes());
    qe::WriteINI(form.fields(), text);
    target.replace(text.bytes());
}

void BM_Open(benchmark::State& state, const std::string& name) {
    SilentHost host;
    qe::Form form(host);
    const std::string path = pathOf(name);
    for (auto _ : state)
        open(form, path);
    if (form.fields().txtID.text() != kID || form.fields().seCPU.text() != "4")
        wrongResult(state, "the load did not give the file's values");
}

void BM_Save(benchmark::State& state, const std::string& name) {
    SilentHost host;
    qe::Form form(host);
    open(form, pathOf(name));
    const std::string target = pathOf("saved-" + name);
    writeFile(target, plainRead(pathOf(name)));
    // A save that would write the bytes the file holds writes nothing; two IDs by
    // turns make every save write.
    const std::string ids[] = {kID, kID + std::string("x")};
    std::size_t saves = 0;
    for (auto _ : state) {
        form.fields().txtID.setText(ids[++saves % 2]);
        save(form, target);
    }

    qe::IniText expected(plainRead(pathOf(name)));
    qe::WriteINI(form.fields(), expected);
    if (plainRead(target) != expected.bytes()) wrongResult(state, "the saved file is wrong");
}

void BM_Reset(benchmark::State& state) {
    SilentHost host;
    qe::Form form(host);
    open(form, pathOf("typical.ini"));
    for (auto _ : state)
        form.cleanINI();
    if (form.fields().txtID.text() == kID) wrongResult(state, "the reset kept the loaded ID");
}

void BM_PlainRead(benchmark::State& state, const std::string& name) {
    const std::string path = pathOf(name);
    std::size_t size = 0;
    for (auto _ : state) {
        std::string bytes = plainRead(path);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    if (size != plainRead(path).size() || size == 0) wrongResult(state, "short read");
}

// The idiomatic stream read, character by character; for comparison only.
void BM_StreamRead(benchmark::State& state, const std::string& name) {
    const std::string path = pathOf(name);
    std::size_t size = 0;
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes(std::istreambuf_iterator<char>(in), {});
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    if (size != plainRead(path).size()) wrongResult(state, "short read");
}

// The parts of an Open: the read, and the parse of the bytes (a copy of them).
void BM_ReadForLoad(benchmark::State& state, const std::string& name) {
    const std::string path = pathOf(name);
    std::size_t size = 0;
    for (auto _ : state)
        size = qe::readForLoad(path).size();
    if (size != plainRead(path).size()) wrongResult(state, "short read");
}

void BM_Parse(benchmark::State& state, const std::string& name) {
    const std::string bytes = plainRead(pathOf(name));
    std::string id;
    for (auto _ : state)
        id = qe::IniText(bytes).read("parameters", "id", "");
    if (id != kID) wrongResult(state, "the parse lost the ID");
}

void BM_PlainWrite(benchmark::State& state, const std::string& name) {
    const std::string bytes = plainRead(pathOf(name));
    const std::string target = pathOf("plain-" + name);
    bool ok = true;
    for (auto _ : state)
        ok = plainReplace(target, bytes) && ok;
    if (!ok || plainRead(target) != bytes) wrongResult(state, "the plain write failed");
}

// Keeps the median of every benchmark, by name, beside the usual console output.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians; // microseconds

    MedianReporter() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

void registerAll() {
    auto add = [](const std::string& name, auto function, const std::string& file) {
        benchmark::RegisterBenchmark((name + "/" + file).c_str(), function, file)
            ->Unit(benchmark::kMicrosecond)
            ->Repetitions(10)
            ->ReportAggregatesOnly(true)
            ->UseRealTime();
    };
    for (const std::string file : {"typical.ini", "large.ini"}) {
        add("open", BM_Open, file);
        add("plain_read", BM_PlainRead, file);
        add("stream_read", BM_StreamRead, file);
        add("read_for_load", BM_ReadForLoad, file);
        add("parse", BM_Parse, file);
        add("save", BM_Save, file);
        add("plain_write", BM_PlainWrite, file);
    }
    benchmark::RegisterBenchmark("reset", BM_Reset)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(10)
        ->ReportAggregatesOnly(true);
}

void printSummary(const std::map<std::string, double>& medians) {
    auto median = [&](const std::string& name) {
        auto it = medians.find(name);
        return it == medians.end() ? 0.0 : it->second;
    };
    std::printf("\nMedians (microseconds) and ratios to the plain calls:\n");
    for (const std::string file : {"typical.ini", "large.ini"}) {
        const double open = median("open/" + file), read = median("plain_read/" + file);
        const double save = median("save/" + file), write = median("plain_write/" + file);
        const double stream = median("stream_read/" + file);
        std::printf("  %-12s open %10.1f  plain read  %10.1f  ratio %5.2f  (stream read %.1f, "
                    "ratio %.2f)\n",
                    file.c_str(), open, read, read > 0 ? open / read : 0.0, stream,
                    stream > 0 ? open / stream : 0.0);
        std::printf("  %-12s save %10.1f  plain write %10.1f  ratio %5.2f\n", file.c_str(), save,
                    write, write > 0 ? save / write : 0.0);
    }
    const double typicalOpen = median("open/typical.ini");
    const double largeOpen = median("open/large.ini") / median("plain_read/large.ini");
    const double largeSave = median("save/large.ini") / median("plain_write/large.ini");
    std::printf("Targets: typical open %.1f us < 200 us: %s; large open ratio %.2f <= 10: %s; "
                "large save ratio %.2f <= 2: %s\n",
                typicalOpen, typicalOpen < 200 ? "met" : "MISSED", largeOpen,
                largeOpen <= 10 ? "met" : "MISSED", largeSave, largeSave <= 2 ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    char folder[] = "/tmp/qe-bench-XXXXXX";
    if (!::mkdtemp(folder)) {
        std::perror("mkdtemp");
        return 1;
    }
    g_folder = folder;
    const std::string foreign = foreignSection(0) + foreignSection(1);
    writeFile(pathOf("typical.ini"), foreign + kOwnedText);
    writeFile(pathOf("large.ini"), largeText());

    benchmark::Initialize(&argc, argv);
    registerAll();
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printSummary(reporter.medians);

    for (const char* name : {"typical.ini", "large.ini", "saved-typical.ini", "saved-large.ini",
                             "plain-typical.ini", "plain-large.ini"})
        std::remove(pathOf(name).c_str());
    ::rmdir(folder);
    if (g_wrong) std::fprintf(stderr, "A benchmark gave a wrong result.\n");
    return g_wrong ? 1 : 0;
}
